#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Erlang A (M/M/s+M) in 60-digit arithmetic, from the confluent
hypergeometric function rather than the library's quadrature.

With b = s patience and a = A patience, the calls that wait weigh
S(a) = 1F1(1; b + 1; a) against the state of s calls, those that find an
agent free 1 / B(s, A) - 1, and the queue's mean length is
M(a) = b - (b - a) S(a). Within t (v = t / patience, w = e^-v,
f = -b v + a (1 - w)): the answered calls weigh
1 / B - 1 + (b / a) (S(a) - 1 - e^f (S(a w) - 1)), the abandoned ones
(M(a) - e^f M(a w)) / a; the answered calls' total wait is
patience b times the integral of -ln u u^b e^(a (1 - u)) over (0, 1), which
is minus the derivative of 1F1(1; c + 2; a) / (c + 1) in c at c = b.

    python3 tests/erlanga_reference.py
        prints the table of tests/erlanga_test.cpp between the lines that
        mark it; CI checks that the test file holds it.
    python3 tests/erlanga_reference.py --check PROGRAM [COUNT]
        draws COUNT random (agents, load, patience, answer time), patience
        times agents and load at most 20,000, and fails
        if PROGRAM (erlangc --patience, --csv, holding time 1 s) gives a
        figure off by more than 1e-12 (relative) where it is at least
        1e-300.
"""
import math
import random
import subprocess
import sys

from mpmath import diff, exp, hyp1f1, log, mp, mpf

from continuous_reference import log_blocking

mp.dps = 60


def figures(s, A, patience, t):
    """Wait probability, abandonment, service level, abandoned within t,
    mean wait of the answered calls."""
    with mp.workdps(60 + min(int(A * patience / 2), 500)):  # S(a), S(a w) may cancel to e^-a
        return [+x for x in exact(mpf(s), mpf(A), mpf(patience), mpf(t))]


def exact(s, A, p, t):
    b, a = s * p, A * p
    free = exp(-log_blocking(s, A)) - 1
    S = lambda x: hyp1f1(1, b + 1, x, maxterms=10**6)
    M = lambda x: b - (b - x) * S(x)
    v = t / p
    w = exp(-v)
    f = -b * v + a * (1 - w)
    Sa = S(a)
    Z = free + Sa
    answered = free + b / a * (Sa - 1)
    level = free + b / a * (Sa - 1 - exp(f) * (S(a * w) - 1))
    within = (M(a) - exp(f) * M(a * w)) / a
    waited = -p * b * diff(lambda c: hyp1f1(1, c + 2, a, maxterms=10**6) / (c + 1), b)
    return Sa / Z, M(a) / (a * Z), level / Z, within / Z, waited / answered


def g(v):
    """20 digits; 0 below 1e-300, where no figure is held to them (and a
    double would not hold it)."""
    return "0.0" if abs(v) < mpf("1e-300") else mp.nstr(v, 20, min_fixed=0, max_fixed=0)


# (s, A, patience, t): the published example (10 erlangs, 180 s calls,
# 120 s patience, 20 s), overload (25 times the agents too, where the
# waits run many patiences long), fractional and sub-one agents, tiny and
# long patience, s close to A at thousands of erlangs, t = 0 and long;
# then an overload whose calls within t are few (100 agents, 400 erlangs),
# the agents 10,000 erlangs need for 80 % within a ninth of a holding
# time, a load a hair above 2,000 agents with long patience, t before
# and after the offered wait's peak, a load just below 8,000 agents
# whose callers' patience is a tenth of a holding time, three times 100
# agents' load with waits a thousand holding times long, and 2,000 agents
# a hair above their load whose patient callers seldom abandon (where the
# quadrature takes every figure).
POINTS = [(8.0, 10.0, 2 / 3, 1 / 9), (12.0, 10.0, 2 / 3, 1 / 9), (10.0, 30.0, 1.0, 0.1),
          (7.5, 6.0, 2.0, 0.2), (0.5, 0.3, 0.01, 1.0), (5.0, 15.0, 0.01, 1.0),
          (100.0, 100.0, 1000.0, 0.0), (1000.0, 1100.0, 10.0, 0.5), (2000.0, 1990.0, 100.0, 10.0),
          (50.0, 10.0, 1.0, 0.05), (3.0, 9.0, 100.0, 5.0), (50.0, 52.0, 1e-06, 0.001),
          (2.0, 50.0, 1.0, 0.5), (100.0, 400.0, 1.0, 2.0), (8629.0, 10000.0, 2 / 3, 1 / 9),
          (2000.0, 2000.005, 100.0, 1e-4), (2000.0, 2000.005, 100.0, 1.0),
          (8000.0, 7950.0, 0.1, 0.05), (100.0, 300.0, 1000.0, 1e-4),
          (2000.0, 1980.0, 100.0, 1.0)]


def rows():
    print("const Row reference[] = {")
    for s, A, p, t in POINTS:
        values = ", ".join(g(x) for x in figures(s, A, p, t))
        print(f"    {{{s!r}, {A!r}, {p!r}, {t!r}, {values}}},")
    print("};")


def check(path, count):
    rng = random.Random(20261208)
    worst, where = 0, None
    for _ in range(count):
        s = math.exp(rng.uniform(math.log(0.5), math.log(2000)))
        A = s * math.exp(rng.uniform(math.log(0.2), math.log(3)))
        # (1F1 at a = A patience beyond some 20,000 is too slow for CI)
        p = math.exp(rng.uniform(math.log(0.01), math.log(min(1000, 20000 / max(s, A)))))
        t = rng.uniform(0, 10)
        out = subprocess.run([path, "-a", repr(A), "-n", repr(s), "--patience", repr(p), "-w",
                              repr(t), "-t", "1", "--csv"], capture_output=True, text=True,
                             check=True)
        got = [mpf(x) for x in out.stdout.split("\n")[1].split(",")]
        want = figures(s, A, p, t)
        # load,agents,wait_probability,abandoned,service_level,mean_wait,occupancy
        for expected, have in zip((want[0], want[1], want[2], want[4]),
                                  (got[2], got[3], got[4], got[5])):
            if expected >= mpf("1e-300") and abs(have / expected - 1) > worst:
                worst, where = abs(have / expected - 1), (s, A, p, t)
    print(f"{count} random figures: largest relative error {float(worst):.2e} at {where}")
    return worst <= mpf("1e-12")


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[1] == "--check":
        sys.exit(0 if check(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 100) else 1)
    rows()
