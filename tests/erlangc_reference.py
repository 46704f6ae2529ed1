#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Erlang C, the service level, the mean wait and staffing in 60-digit
arithmetic.

B(s, A) as continuous_reference.py computes it; C = s B / (s - A (1 - B)),
the service level 1 - C e^(-(s - A) t) and the mean wait C / (s - A), times
in holding times. The fewest whole agents that meet a target by bisection
over whole numbers; the real agents where the figure equals it by the
Anderson-Bjorck method between the whole count less one and the whole
count.

    python3 tests/erlangc_reference.py
        prints the tables (figures, staffing, the load agents carry) of tests/erlangc_test.cpp between the lines that
        mark them; CI checks that the test file holds them.
    python3 tests/erlangc_reference.py --check PROGRAM [COUNT]
        draws COUNT random (agents, load, answer time) and staffing targets
        and fails if PROGRAM (erlangc, --csv, holding time 1 s) gives the
        figures off by more than 1e-12 (relative) where they are at least
        1e-300, or the real agents off by more than 1e-9.
"""
import math
import random
import subprocess
import sys

from mpmath import exp, findroot, floor, log, mp, mpf

from continuous_reference import log_blocking


def figures(s, A, t):
    """C, the service level within t and the mean wait of s > A agents."""
    s, A, t = mpf(s), mpf(A), mpf(t)
    B = exp(log_blocking(s, A))
    C = s * B / (s - A * (1 - B))
    return C, 1 - C * exp(-(s - A) * t), C / (s - A)


def excess(kind, value, t, s, A):
    """How far s agents miss the target (> 0 where they miss it)."""
    C, level, wait = figures(s, A, t)
    if kind == "level":
        return log(1 - level) - log(1 - mpf(value))
    if kind == "wait":
        return log(wait) - log(mpf(value))
    if kind == "probability":
        return log(C) - log(mpf(value))
    return log(mpf(A) / s) - log(mpf(value))  # occupancy


def agents(A, kind, value, t=0):
    """The fewest whole agents above A meeting the target, and the real ones."""
    A = mpf(A)
    lo = int(floor(A))  # misses: at A or below everyone waits
    hi = lo + 1
    while excess(kind, value, t, hi, A) > 0:
        lo, hi = hi, hi + 2 * (hi - lo)
    while hi - lo > 1:
        mid = (lo + hi) // 2
        lo, hi = (lo, mid) if excess(kind, value, t, mid, A) <= 0 else (mid, hi)
    if kind == "occupancy":
        return hi, A / mpf(value)
    a = max(A + mpf(10) ** -30, mpf(hi - 1))
    real = findroot(lambda s: excess(kind, value, t, s, A), (a, mpf(hi)), solver="anderson",
                    tol=mpf(10) ** -50)
    return hi, real


def carried(s, kind, value, t=0):
    """The largest load s agents carry while meeting the target."""
    s = mpf(s)
    if kind == "occupancy":
        return s * mpf(value)
    # In u = ln(A / (s - A)) the excess rises from below 0 to above it:
    # bisection to a narrow bracket, then the Anderson-Bjorck method.
    f = lambda u: excess(kind, value, t, s, s / (1 + exp(-u)))
    lo, hi = mpf(-40), mpf(30)
    for _ in range(40):
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if f(mid) < 0 else (lo, mid)
    root = findroot(f, (lo, hi), solver="anderson", tol=mpf(10) ** -50)
    return s / (1 + exp(-root))


def g(v):
    return mp.nstr(v, 20, min_fixed=0, max_fixed=0)


# (s, A, t): the published example (10 erlangs of 180 s calls, 20 s), s a
# hair above A (where 1 - C e^(-(s - A) t) cancels), whole agents at a
# thousand erlangs (where the fixed formula for B is good to only about
# 1e-12), below one agent (at a millionth of an erlang too, where 1 - B is
# what matters, and at a subnormal load), large loads, and C far down.
POINTS = [(13.0, 10.0, 20 / 180), (14.0, 10.0, 20 / 180), (12.5, 10.0, 20 / 180),
          (10.000001, 10.0, 1.0), (1000.001, 1000.0, 0.5), (100.5, 100.0, 0.0),
          (1050.0, 1000.0, 0.1), (1001.0, 1000.0, 2.0), (0.5, 0.1, 2.0), (0.001, 0.0001, 1.0),
          (2e-06, 1e-06, 1.0), (1.000001e-06, 1e-06, 0.0), (0.5, 1e-320, 1.0),
          (10100.0, 10000.0, 0.01), (1001000.0, 1000000.0, 0.001), (200.0, 100.0, 1.0),
          (1400.0, 1000.0, 0.05)]

# (A, kind, target, t): each kind of target, small and large loads, and a
# mean wait that the fewest agents above the load meet.
STAFFING = [(10.0, "level", 0.8, 20 / 180), (10000.0, "level", 0.8, 20 / 180),
            (0.05, "level", 0.95, 0.5), (10.0, "wait", 15 / 180, 0), (5000.0, "wait", 0.001, 0),
            (10.0, "wait", 100.0, 0),
            (100.0, "probability", 0.2, 0), (1e6, "probability", 0.01, 0),
            (10.0, "occupancy", 0.85, 0), (17.0, "level", 0.8, 20 / 180)]


# (s, kind, target, t): the load question, each kind of target, below one
# agent and at ten thousand.
LOADS = [(30.0, "probability", 0.15, 0), (14.0, "level", 0.8, 20 / 180),
         (10000.0, "level", 0.8, 20 / 180), (0.5, "wait", 0.1, 0), (100.0, "wait", 0.05, 0),
         (12.0, "occupancy", 0.85, 0)]


def rows():
    print("const FigureRow figure_rows[] = {")
    for s, A, t in POINTS:
        C, level, wait = figures(s, A, t)
        print(f"    {{{s!r}, {A!r}, {t!r}, {g(C)}, {g(level)}, {g(wait)}}},")
    print("};")
    print("const StaffingRow staffing_rows[] = {")
    for A, kind, value, t in STAFFING:
        whole, real = agents(A, kind, value, t)
        print(f"    {{{A!r}, Kind::{kind}, {value!r}, {t!r}, {whole}, {g(real)}}},")
    print("};")
    print("const LoadRow load_rows[] = {")
    for s, kind, value, t in LOADS:
        print(f"    {{{s!r}, Kind::{kind}, {value!r}, {t!r}, {g(carried(s, kind, value, t))}}},")
    print("};")


def program(path, *args):
    out = subprocess.run([path, *args, "-t", "1", "--csv"], capture_output=True, text=True,
                         check=True)
    return [mpf(v) if v else None for v in out.stdout.split("\n")[1].split(",")]


def check(path, count):
    rng = random.Random(20261208)
    worst_figure, where_figure, worst_agents, where_agents = 0, None, 0, None
    for _ in range(count):
        A = math.exp(rng.uniform(math.log(1e-9), math.log(1e5)))
        s = A + math.exp(rng.uniform(math.log(1e-6), math.log(10 * math.sqrt(A) + 10)))
        t = math.exp(rng.uniform(math.log(1e-3), math.log(10)))
        expected = figures(s, A, t)
        got = program(path, "-a", repr(A), "-n", repr(s), "-w", repr(t))
        for want, have in zip(expected, (got[2], got[3], got[4])):
            if want >= mpf("1e-300") and abs(have / want - 1) > worst_figure:
                worst_figure, where_figure = abs(have / want - 1), (s, A, t)
        level = rng.uniform(0.5, 0.999)
        _, real = agents(A, "level", level, t)
        got = program(path, "-a", repr(A), "-s", repr(level), "-w", repr(t), "--fractional")
        if abs(got[1] - real) > worst_agents:
            worst_agents, where_agents = abs(got[1] - real), (A, level, t)
    print(f"{count} random figures: largest relative error {float(worst_figure):.2e} at "
          f"{where_figure}")
    print(f"{count} random staffings: largest error in agents {float(worst_agents):.2e} at "
          f"{where_agents}")
    return worst_figure <= mpf("1e-12") and worst_agents <= mpf("1e-9")


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--check":
        sys.exit(0 if check(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 100) else 1)
    rows()
