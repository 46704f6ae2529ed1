#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Overflow traffic and the equivalent random method in 40-digit arithmetic.

B(x, A) = A^x e^(-A) / Gamma(x + 1, A) (as continuous_reference.py
computes it, in 60 digits); Riordan's
moments M = A B(x, A), V = M (1 - M + A / (x + 1 - A + M)); Wilkinson's
equivalent random group (A*, N*) of traffic (M, V) as the root of the mean
equation along the line the variance equation draws, N* = (A* - lowest)
(M + Z) / (M + Z - 1), lowest = (M + 1) (M + Z - 1) / (M + Z), found by
the Anderson-Bjorck method to 45 digits; Rapp's A* = V + 3 Z (Z - 1);
the final group's blocking A* B(N* + c, A*) / M (at most 1), and
Hayward's B(c / Z, M / Z).

    python3 tests/overflow_reference.py
        prints the tables of tests/overflow_test.cpp between the lines that
        mark them; CI checks that the test file holds them.
    python3 tests/overflow_reference.py --check PROGRAM [COUNT]
        draws COUNT random traffics over the domain (mean 0.001 to 10000
        erlangs, peakedness 1 to 50) and groups (x, A), and fails if
        PROGRAM (erlangb-overflow, --csv) gives the moments, A* and N* off
        by more than 1e-10, or the blocking by more than 1e-9 (relative).
"""
import math
import random
import subprocess
import sys

from mpmath import exp, findroot, log, mp, mpf

from continuous_reference import log_blocking


def moments(x, A):
    x, A = mpf(x), mpf(A)
    M = A * exp(log_blocking(x, A))
    return M, M * (1 - M + A / (x + 1 - A + M))


def equivalent_random(M, V, start=None):
    """(A*, N*) for traffic (M, V); `start`, a close A*, saves steps."""
    M, V = mpf(M), mpf(V)
    w = (V - M) / M
    if w == 0:
        return M, mpf(0)
    lowest = (M + 1) * (M + w) / (M + 1 + w)
    ratio = (M + 1 + w) / (M + w)

    def excess(u):  # ln of the mean over M, at A = lowest + e^u: falls through 0
        d = exp(u)
        return log(lowest + d) + log_blocking(ratio * d, lowest + d) - log(M)

    # A bracket, widened from the start (or from d = w M) until the signs
    # differ, then the Anderson-Bjorck method within it.
    u = log(start - lowest) if start is not None and start > lowest else log(w * M)
    step = mpf("1e-8") if start is not None else mpf(1)
    lo, hi = u - step, u + step
    while excess(lo) <= 0:
        lo -= step
        step *= 2
    while excess(hi) >= 0:
        hi += step
        step *= 2
    u = findroot(excess, (lo, hi), solver="anderson", tol=mpf(10) ** -90)
    return lowest + exp(u), ratio * exp(u)


def rapp(M, V):
    M, V = mpf(M), mpf(V)
    Z = V / M
    A = V + 3 * Z * (Z - 1)
    return A, max(mpf(0), A * (M + Z) / (M + Z - 1) - M - 1)


def blocking(M, V, c, method):
    M, V, c = mpf(M), mpf(V), mpf(c)
    if method == "hayward":
        Z = V / M
        return exp(log_blocking(c / Z, M / Z))
    A, N = equivalent_random(M, V) if method == "equivalent_random" else rapp(M, V)
    return min(mpf(1), A * exp(log_blocking(N + c, A)) / M)


def g(v):
    return mp.nstr(v, 20, min_fixed=0, max_fixed=0)


# First-choice groups (x, A): not overloaded, overloaded, far overloaded,
# below one circuit, large, and one whose overflow is tiny.
GROUPS = [(10.0, 8.0), (20.0, 25.0), (0.5, 0.3), (5.5, 2.0), (100.0, 80.0), (100.0, 120.0),
          (3.0, 30.0), (1000.5, 1050.0), (12000.0, 11800.0), (50.0, 10.0)]

# Traffic (M, V) and final groups c: the two groups above together, the
# domain's corners, peakedness a hair above 1, and large means.
FINALS = [(7.970542288766227, 18.385229682863162, 10.0), (0.001, 0.05, 100.0),
          (0.001, 0.001001, 1.0), (3.0, 3.0000003, 4.5), (10000.0, 10000.0 * 50, 12000.0),
          (10000.0, 10001.0, 10100.0), (5009.725963523107, 10334.195764528577, 5200.0),
          (40.0, 90.0, 60.0), (40.0, 90.0, 580.5), (2.0, 5.0, 12.0)]


def rows():
    print("const GroupRow groups[] = {")
    for x, A in GROUPS:
        M, V = moments(x, A)
        print(f"    {{{x!r}, {A!r}, {g(M)}, {g(V)}}},")
    print("};")
    print("const FinalRow finals[] = {")
    for M, V, c in FINALS:
        A, N = equivalent_random(M, V)
        blocked = [g(blocking(M, V, c, m)) for m in ("equivalent_random", "rapp", "hayward")]
        print(f"    {{{M!r}, {V!r}, {g(A)}, {g(N)}, {c!r}, {', '.join(blocked)}}},")
    print("};")


def program(path, *args):
    out = subprocess.run([path, *args, "--csv"], capture_output=True, text=True, check=True)
    return [mpf(v) if v else None for v in out.stdout.split("\n")[1].split(",")]


def check(path, count):
    rng = random.Random(20261208)
    worst = {"moments": (0, None), "group": (0, None), "blocking": (0, None)}

    def note(kind, error, where):
        if error > worst[kind][0]:
            worst[kind] = (error, where)

    for _ in range(count):
        x = math.exp(rng.uniform(math.log(0.01), math.log(2e4)))
        A = x * math.exp(rng.uniform(-1.5, 1.5))
        M, V = moments(x, A)
        if M >= mpf("1e-290"):
            got = program(path, "-g", f"{x!r}:{A!r}", "--method", "hayward")
            note("moments", max(abs(got[0] / M - 1), abs(got[1] / V - 1)), (x, A))

        M = math.exp(rng.uniform(math.log(1e-3), math.log(1e4)))
        Z = 1 + math.exp(rng.uniform(math.log(1e-8), math.log(49)))
        V = M * Z
        got = program(path, "-m", repr(M), "-v", repr(V))
        A, N = equivalent_random(M, V, got[3])
        note("group", max(abs(got[3] / A - 1), abs(got[4] - N) / A), (M, V))
        c = math.exp(rng.uniform(math.log(0.1), math.log(2 * N + 20)))
        expected = A * exp(log_blocking(N + c, A)) / M
        if expected >= mpf("1e-300"):
            got = program(path, "-m", repr(M), "-v", repr(V), "-n", repr(c))
            note("blocking", abs(got[1] / expected - 1), (M, V, c))
    for kind, (error, where) in worst.items():
        print(f"{count} random {kind}: largest relative error {float(error):.2e} at {where}")
    return (worst["moments"][0] <= mpf("1e-10") and worst["group"][0] <= mpf("1e-10") and
            worst["blocking"][0] <= mpf("1e-9"))


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--check":
        sys.exit(0 if check(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 100) else 1)
    rows()
