#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The regularized incomplete gamma functions P(x + 1, A) and Q(x + 1, A)
in 60-digit arithmetic, which the library's Erlang A takes from the
continuous Erlang B function's methods.

Q(x + 1, A) = Poisson(x, A) / B(x, A), B from tests/continuous_reference.py;
below A = x + 1, P from its power series, Poisson(x, A) (A / (x + 1)) (1 +
A / (x + 2) + A^2 / ((x + 2) (x + 3)) + ...), so that a tiny P keeps its
digits; each the other's complement elsewhere.

    python3 tests/gamma_reference.py
        prints the rows of the table in tests/continuous_test.cpp between
        the lines that mark it; CI checks that the test file holds them.
"""
from mpmath import exp, log, loggamma, mp, mpf

from continuous_reference import log_blocking

mp.dps = 60

# (x, A): the series below the median (P near 0.03, and P tiny), Temme's
# region below it (and far enough below that erfc underflows), at it and
# above, Legendre's continued fraction far above, below one circuit.
POINTS = [(10.0, 5.0), (1000.0, 700.0), (20000.0, 19900.0), (40000.0, 38500.0),
          (1000000.0, 1000000.0), (20000.0, 20100.0), (100.0, 300.0), (0.5, 0.3), (0.5, 3.0)]


def lower(x, A):
    term, total, k = mpf(1), mpf(1), 0
    while term > mpf(10) ** -58 * total:
        k += 1
        term *= A / (x + 1 + k)
        total += term
    return total * A / (x + 1)


def rows():
    print("const GammaRow gamma_reference[] = {")
    for x, A in POINTS:
        xm, Am = mpf(x), mpf(A)
        ln_poisson = xm * log(Am) - Am - loggamma(xm + 1)
        lnQ = ln_poisson - log_blocking(xm, Am)
        lnP = ln_poisson + log(lower(xm, Am)) if A < x + 1 else log(1 - exp(lnQ))
        if A < x + 1:
            lnQ = log(1 - exp(lnP))
        values = ", ".join(mp.nstr(v, 20, min_fixed=0, max_fixed=0) for v in (lnP, lnQ, ln_poisson))
        print(f"    {{{x!r}, {A!r}, {values}}},")
    print("};")


if __name__ == "__main__":
    rows()
