#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The continuous Erlang B function in 60-digit arithmetic (mpmath).

B(x, A) = A^x e^(-A) / Gamma(x + 1, A), with Gamma(s, A) from the power
series of the lower function where A < s = x + 1 and from Legendre's
continued fraction above, each run until its terms stop mattering at 55
digits. (mpmath's own gammainc agrees to 1e-54 wherever it converges; the
script checks a sample of that first.)

    python3 tests/continuous_reference.py
        prints the rows of the table in tests/continuous_test.cpp, between
        the lines that mark it; CI checks that the table holds them.
    python3 tests/continuous_reference.py --check PROGRAM [COUNT]
        evaluates B at COUNT random (x, A) over the whole domain through
        PROGRAM (erlangb-table -n x -a A --csv), a tenth of them at loads
        below 1e-6 (subnormal ones too), a third at whole x (the formula),
        and fails if any value is off by more than 1e-12 (relative; 1e-13
        at whole x) where B >= 1e-300.
"""
import math
import random
import subprocess
import sys

from mpmath import exp, gammainc, log, loggamma, mp, mpf

mp.dps = 60


def log_blocking(x, A):
    """ln B(x, A) in 60 digits, for x > 0 and A > 0."""
    x, A = mpf(x), mpf(A)
    s = x + 1
    eps = mpf(10) ** -55
    log_poisson = x * log(A) - A - loggamma(x + 1)
    if A < s:
        term, total, k = mpf(1), mpf(1), 0
        while True:
            k += 1
            term *= A / (s + k)
            total += term
            if term < eps * total:
                break
        lower = exp(log_poisson + log(A / s) + log(total))
        return log_poisson - log(1 - lower)
    tiny = mpf(10) ** -300
    f, C, D, n = A + 1 - s, A + 1 - s, mpf(0), 0
    while True:
        n += 1
        a, b = -n * (n - s), A + 2 * n + 1 - s
        D = b + a * D
        C = b + a / C
        D = 1 / (D if D != 0 else tiny)
        C = C if C != 0 else tiny
        f *= C * D
        if abs(C * D - 1) < eps:
            return log(f / A)


def cross_check():
    rng = random.Random(3)
    for _ in range(100):
        x = math.exp(rng.uniform(math.log(1e-3), math.log(3000)))
        A = math.exp(rng.uniform(math.log(1e-6), math.log(1e4)))
        other = mpf(x) * log(A) - A - log(gammainc(mpf(x) + 1, mpf(A)))
        assert abs(other - log_blocking(x, A)) < mpf(10) ** -45, (x, A)


def near_1e300(A):
    """The x at which B(x, A) is about 1e-300 (x far above A)."""
    lo, hi = A, 40 * A + 2000
    for _ in range(80):
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if log_blocking(mid, A) > -690 else (lo, mid)
    return float(f"{lo:.6g}")


# (x, A): below one circuit (B a hair below 1, a subnormal load, A near
# x + 1, where the series for small x meets Legendre's), the published examples, x = A near 1e2, 1e4 and
# 1e6 (on both sides of the uniform expansion's edges), A far above and far
# below x, B near 1e-300, and whole x (compared with erlangb too; the last
# with x / A past the largest double).
POINTS = [
    (1e-06, 1e-06), (2e-06, 1e-06), (0.5, 1e-320), (0.999, 1.9), (0.001, 5e6), (0.3, 100.0), (0.5, 1e-06), (0.9, 0.01),
    (0.5, 1.0), (10.5, 8.0), (24.7, 20.0), (100.25, 90.0),
    (99.5, 100.5), (100.5, 100.5), (100.5, 120.0),
    (9999.5, 10000.0), (10000.5, 10240.0), (10000.5, 9600.0),
    (4997.5, 4998.5), (5000.5, 5001.5), (5000.5, 5260.0), (5000.5, 5245.0),
    (999999.5, 1e6), (1e6 + 0.5, 1e6 + 100), (1e6 + 0.5, 1.03e6), (1e6 + 0.5, 0.997e6),
    (1e6 + 0.5, 1.06e6), (9999999.5, 1e7), (9999999.5, 9.99e6), (9999999.5, 1.0501e7),
    (3.5, 5e6), (1000.5, 5e6), (0.5, 1e4),
    (50.5, 1.0), (10000.5, 9000.0),
    (near_1e300(10.0), 10.0), (near_1e300(1000.0), 1000.0), (near_1e300(1e5), 1e5),
    (1.0, 1.0), (10.0, 5.0), (24.0, 34.2), (46.0, 34.2), (100.0, 84.06), (300.0, 277.13),
    (500.0, 500.0), (700.0, 720.0), (1000.0, 1000.0), (2000.0, 1000.0), (100000.0, 100000.0),
    (1000000.0, 999000.0),
    (300.0, 30.0), (500.0, 52.7864), (500.0, 480.0), (1000.0, 300.0), (3000.0, 1500.0),
    (5000.0, 3000.0), (10000.0, 7000.0), (100000.0, 90000.0), (10000000.0, 9990000.0),
    (1.0, 1e-310),
]


def rows():
    for x, A in POINTS:
        b = exp(log_blocking(x, A))
        print(f"    {{{x!r}, {A!r}, {mp.nstr(b, 20, min_fixed=0, max_fixed=0)}}},")


def check(program, count):
    rng = random.Random(20261207)
    worst, where, done = 0, None, 0
    while done < count:
        x = rng.random() if rng.random() < 0.15 else math.exp(rng.uniform(math.log(1e-3), math.log(1e7)))
        if rng.random() < 1 / 3:
            x = float(math.ceil(x))
        mode = rng.random()
        if mode < 0.1:  # tiny loads, down into the subnormal doubles
            A = math.exp(rng.uniform(math.log(1e-320), math.log(1e-6)))
        elif mode < 0.4:
            A = math.exp(rng.uniform(math.log(1e-6), math.log(5e6)))
        elif mode < 0.8:
            A = (x + 1) * (1 + rng.uniform(-1, 1) * min(0.5, 10 / math.sqrt(x + 1)))
        else:
            A = (x + 1) * (1 + rng.uniform(-0.06, 0.06))
        if not 0 < A <= 5e6:
            continue
        ref = log_blocking(x, A)
        if ref < -690:
            continue
        out = subprocess.run([program, "-n", repr(x), "-a", repr(A), "--csv"],
                             capture_output=True, text=True, check=True).stdout.split("\n")[1]
        got = mpf(out.split(",")[2])
        error = abs(got / exp(ref) - 1) * (10 if x == int(x) else 1)
        if error > worst:
            worst, where = error, (x, A)
        done += 1
    print(f"{count} random (x, A): largest relative error {float(worst):.2e} at {where}"
          " (ten times the error at whole x)")
    return worst <= mpf("1e-12")


if __name__ == "__main__":
    cross_check()
    if len(sys.argv) > 2 and sys.argv[1] == "--check":
        sys.exit(0 if check(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 400) else 1)
    rows()
