#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reference loads for the sizing tests, in 60-digit decimal arithmetic.

For each (circuits n, blocking target t) it finds the offered load A with
B(n, A) = t, where B is the Erlang B formula evaluated by its recurrence
B(k) = A B(k-1) / (k + A B(k-1)), B(0) = 1, entirely in decimal. The target
is the exact value of the double the C++ test passes. It prints the rows of
the table in tests/sizing_test.cpp, between the lines that mark it:

    python3 tests/load_reference.py > rows.txt

and CI checks that the table still holds what this script prints.
"""
import math
from decimal import Decimal, getcontext

getcontext().prec = 60

CIRCUITS = [1, 2, 4, 10, 46, 100, 1000, 10000, 100000, 1000000]
TARGETS = ["5e-324", "1e-300", "1e-06", "0.01", "0.5", "0.999"]


def blocking(n, a):
    """B(n, a) in decimal."""
    b = Decimal(1)
    for k in range(1, n + 1):
        ab = a * b
        b = ab / (k + ab)
    return b


def blocking_float(n, a):
    b = 1.0
    for k in range(1, n + 1):
        b = a * b / (k + a * b)
    return b


def load(n, t):
    """The root of B(n, a) = t: bisection in floating point for a start, then
    Newton steps on ln B over ln a in decimal (d ln B / d ln a is n - a + a B)
    until they no longer move 50 digits."""
    lo, hi = math.log(1e-200), math.log(n / (1 - float(t)) * 2)
    for _ in range(60):  # B(n, a) as a float is good enough to start
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if blocking_float(n, math.exp(mid)) < float(t) else (lo, mid)
    a, lnt = Decimal(math.exp(lo)), t.ln()
    for _ in range(100):
        b = blocking(n, a)
        step = (b.ln() - lnt) / (n - a + a * b)
        a *= (-step).exp()
        if abs(step) < Decimal("1e-50"):
            return a
    raise RuntimeError(f"no convergence for n={n}, t={t}")


def main():
    for n in CIRCUITS:
        for text in TARGETS:
            t = Decimal(float(text))  # the double's exact value
            a = load(n, t)
            rounded = a.quantize(Decimal("0.0001"))
            print(f'    {{{n}, {text}, {a:.20e}, "{rounded}"}},')


if __name__ == "__main__":
    main()
