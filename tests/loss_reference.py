#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Engset's loss system in 40-digit arithmetic (mpmath), from its sums.

With S sources of traffic beta per idle source, the states of k busy
circuits weigh C(S, k) beta^k; the time congestion of n circuits is the
last state's share, the call congestion B that of S - 1 sources, and the
total offered traffic E = S beta / (1 + beta (1 - B)). The sizing answers
come from scanning the counts, each judged by its exact figure.

    python3 tests/loss_reference.py
        prints the tables of tests/engset_test.cpp between the lines that
        mark them; CI checks that the test file holds them.
"""
from mpmath import binomial, findroot, log, mp, mpf

mp.dps = 40


def time_congestion(n, S, beta):
    if n > S:
        return mpf(0)
    terms = [binomial(S, k) * beta ** k for k in range(n + 1)]
    return terms[-1] / sum(terms)


def figures(n, S, beta):
    """Time, call and traffic congestion, carried and offered traffic."""
    beta = mpf(beta)
    B = time_congestion(n, S - 1, beta)
    y = beta * (1 - B)
    return (time_congestion(n, S, beta), B, B / (1 + y), S * y / (1 + y), S * beta / (1 + y))


def root_in_log(f, lo, hi):
    """The root of f(e^u), rising in u, between e^lo and e^hi: halving to
    a millionth, then the secant."""
    lo, hi = mpf(lo), mpf(hi)
    while hi - lo > mpf("1e-6"):
        mid = (lo + hi) / 2
        lo, hi = (lo, mid) if f(mp.e ** mid) > 0 else (mid, hi)
    return mp.e ** findroot(lambda u: f(mp.e ** u), (lo, hi), solver="secant")


def beta_of(n, S, E):
    return root_in_log(lambda b: log(figures(n, S, b)[4] / E), -100, 100)


def call_congestion_at(n, S, E):
    return figures(n, S, beta_of(n, S, E))[1] if n < S else mpf(0)


def least(lo, hi, ok):
    """The least whole number in (lo, hi] for which ok holds, ok(hi) holding
    and ok rising."""
    while hi - lo > 1:
        mid = (lo + hi) // 2
        lo, hi = (lo, mid) if ok(mid) else (mid, hi)
    return hi


def circuits(S, E, target):
    return least(0, S, lambda n: call_congestion_at(n, S, E) <= target)


def load(n, S, target):
    beta = root_in_log(lambda b: log(figures(n, S, b)[1] / target), -100, 100)
    return figures(n, S, beta)[4]


def sources(n, a, target):
    hi = 2 * n
    while call_congestion_at(n, hi, a * hi) <= target:
        hi *= 2
    return least(n, hi, lambda S: call_congestion_at(n, S, a * S) > target) - 1


def g(v):
    return mp.nstr(v, 20, min_fixed=0, max_fixed=0)


# (n, S, beta): the published example, no circuits, as many circuits as
# sources and more, thousands of sources lightly and heavily loaded.
FIGURES = [(4, 10, 0.3), (12, 30, 0.24970275838127426), (0, 5, 1.0), (10, 10, 0.5), (50, 40, 0.1),
           (100, 10000, 0.0101), (1000, 10000, 0.2), (5, 1000, 1e-4), (9999, 10000, 100.0)]
# (S, E, target), (n, S, target), (n, a, target)
CIRCUITS = [(30, 6.0, 0.01), (1000, 100.0, 0.001), (200, 150.0, 0.2), (10, 9.5, 0.5)]
LOADS = [(12, 30, 0.01), (100, 1000, 0.001), (9, 10, 0.3)]
SOURCES = [(12, 0.2, 0.01), (30, 0.05, 0.001)]


def rows():
    print("const FigureRow figures[] = {")
    for n, S, beta in FIGURES:
        print(f"    {{{n}, {S}, {beta!r}, {', '.join(g(v) for v in figures(n, S, beta))}}},")
    print("};")
    print("const CircuitsRow circuits[] = {")
    for S, E, t in CIRCUITS:
        print(f"    {{{S}, {E!r}, {t!r}, {circuits(S, E, mpf(t))}}},")
    print("};")
    print("const LoadRow loads[] = {")
    for n, S, t in LOADS:
        print(f"    {{{n}, {S}, {t!r}, {g(load(n, S, mpf(t)))}}},")
    print("};")
    print("const SourcesRow sources[] = {")
    for n, a, t in SOURCES:
        print(f"    {{{n}, {a!r}, {t!r}, {sources(n, mpf(a), mpf(t))}}},")
    print("};")


if __name__ == "__main__":
    rows()
