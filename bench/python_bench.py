#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Python module's cost over numpy arrays beside the same loops in C++.

usage: python_bench.py BENCH   (BENCH the built erlangb_bench; the module on
PYTHONPATH, as build/bench/python)

A million erlangb_continuous evaluations and a hundred thousand
erlangc_agents staffings, on the arrays that erlangb_bench's
continuous_array and staffing_array loop over; each timed as the best of
five calls, the C++ loops as the best of five repetitions."""
import json
import subprocess
import sys
import time

import numpy as np

import teletraffic as tt


def spaced(n, first, last):
    """n values from first to last, as the C++ benchmark spaces them."""
    return first + (last - first) * np.arange(n) / (n - 1)


def best(call, repeat=5):
    """The shortest of `repeat` runs of call(), in milliseconds."""
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return 1000 * min(times)


def cxx(bench):
    """The C++ loops' shortest repetitions, in milliseconds, by name."""
    out = subprocess.run([bench, "--benchmark_filter=^(continuous|staffing)_array$",
                          "--benchmark_repetitions=5", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    times = {}
    for run in json.loads(out)["benchmarks"]:
        if run.get("run_type") == "iteration":
            times[run["run_name"]] = min(times.get(run["run_name"], float("inf")), run["real_time"])
    return times


def main():
    x = spaced(10**6, 1, 200)
    A = 0.8 * x
    loads = spaced(10**5, 1, 1000)
    python = {
        "continuous_array": best(lambda: tt.erlangb_continuous(x, A)),
        "staffing_array": best(lambda: tt.erlangc_agents(loads, service_level=0.8,
                                                         answer_time=20 / 180)),
    }
    what = {"continuous_array": "10^6 erlangb_continuous", "staffing_array": "10^5 erlangc_agents"}
    native = cxx(sys.argv[1])
    for name, label in what.items():
        print(f"{label}: C++ {native[name]:.1f} ms, Python {python[name]:.1f} ms, "
              f"ratio {python[name] / native[name]:.2f}")


if __name__ == "__main__":
    main()
