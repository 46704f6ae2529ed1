#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Python module's cost over numpy arrays beside the same loops in C++.

usage: python_bench.py BENCH   (BENCH the built erlangb_bench; the module on
PYTHONPATH, as build/bench/python)

A million erlangb_continuous evaluations and a hundred thousand
erlangc_agents staffings, on the arrays that erlangb_bench's
continuous_array and staffing_array loop over. The machine's other work
shows as noise of tens of percent in a single timing, so the two are
timed in turns, three rounds of three runs each, and the shortest of each
compared."""
import json
import subprocess
import sys
import time

import numpy as np

import teletraffic as tt


def spaced(n, first, last):
    """n values from first to last, as the C++ benchmark spaces them."""
    return first + (last - first) * np.arange(n) / (n - 1)


def best(call, repeat=3):
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
                          "--benchmark_repetitions=3", "--benchmark_format=json"],
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
    calls = {
        "continuous_array": lambda: tt.erlangb_continuous(x, A),
        "staffing_array": lambda: tt.erlangc_agents(loads, service_level=0.8, answer_time=20 / 180),
    }
    python = {name: float("inf") for name in calls}
    native = dict(python)
    for _ in range(3):
        for name, took in cxx(sys.argv[1]).items():
            native[name] = min(native[name], took)
        for name, call in calls.items():
            python[name] = min(python[name], best(call))
    what = {"continuous_array": "10^6 erlangb_continuous", "staffing_array": "10^5 erlangc_agents"}
    for name, label in what.items():
        print(f"{label}: C++ {native[name]:.1f} ms, Python {python[name]:.1f} ms, "
              f"ratio {python[name] / native[name]:.2f}")


if __name__ == "__main__":
    main()
