#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Loss systems beyond Erlang B in 40-digit arithmetic (mpmath): Engset,
extended Erlang B and the Poisson formula.

With S sources of traffic beta per idle source, the states of k busy
circuits weigh C(S, k) beta^k; the time congestion of n circuits is the
last state's share, the call congestion B that of S - 1 sources, and the
total offered traffic E = S beta / (1 + beta (1 - B)). The sizing answers
come from halving over the counts, each judged by its exact figure.

Extended Erlang B: the offered load a solves a (1 - r B(x, a)) = A0, B
from tests/continuous_reference.py; the Poisson formula: P(n, A) by
mpmath's regularized incomplete gamma function.

    python3 tests/loss_reference.py
        prints the tables of tests/loss_test.cpp between the lines that
        mark them; CI checks that the test file holds them.
"""
from mpmath import binomial, exp, findroot, gammainc, log, mp, mpf

from continuous_reference import log_blocking

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


def retrial(x, A0, r):
    """Offered load, blocking per attempt, share finally lost."""
    x, A0, r = mpf(x), mpf(A0), mpf(r)
    a = root_in_log(lambda a: log(a * (1 - r * exp(log_blocking(x, a))) / A0), log(A0),
                    log(A0) + 20)
    B = exp(log_blocking(x, a))
    return a, B, a * B * (1 - r) / A0


def erlangb_whole(n, A):
    B = mpf(1)
    for k in range(1, n + 1):
        B = A * B / (k + A * B)
    return B


def retrial_circuits(A0, r, target):
    A = mpf(A0) / (1 - mpf(r) * target)
    n = 1
    while erlangb_whole(n, A) > target:
        n += 1
    return n


def retrial_load(x, r, target):
    A = root_in_log(lambda A: log_blocking(x, A) - log(target), -50, 15)
    return A * (1 - mpf(r) * target)


def poisson(n, A):
    return gammainc(mpf(n), 0, mpf(A), regularized=True)


def poisson_circuits(A, target):
    hi = 1
    while poisson(hi, A) > target:
        hi *= 2
    return least(0, hi, lambda n: poisson(n, A) <= target)


def poisson_load(n, target):
    return root_in_log(lambda A: log(poisson(n, A) / target), -50, 15)


def falling_root(f, lo, hi):
    """The root of f, falling, between lo and hi: halving to a millionth,
    then the secant."""
    lo, hi = mpf(lo), mpf(hi)
    while hi - lo > mpf("1e-6"):
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if f(mid) > 0 else (lo, mid)
    return findroot(f, (lo, hi), solver="secant")


def retrial_fractional(A0, r, target):
    A = mpf(A0) / (1 - mpf(r) * target)
    n = retrial_circuits(A0, r, target)
    return falling_root(lambda x: log_blocking(x, A) - log(target), n - 1, n)


def poisson_fractional(A, target):
    n = poisson_circuits(A, target)
    return falling_root(lambda x: log(poisson(x, A) / target), max(n - 1, mpf("1e-30")), n)


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
# (x, A0, recall): the published example, the load behind 15 erlangs
# carried, no recall, real circuits, a heavy overload nearly all of whose
# blocked callers come back, and thousands of circuits.
RETRIALS = [(20.0, 15.0, 0.6), (20.0, 15.0, 1.0), (10.0, 8.0, 0.0), (2.5, 1.0, 0.9),
            (10.0, 30.0, 0.95), (5000.0, 4900.0, 0.5)]
# (A0, recall, target), (x, recall, target)
RETRIAL_CIRCUITS = [(15.0, 0.6, 0.01), (100.0, 0.9, 0.05), (0.5, 1.0, 0.001)]
RETRIAL_LOADS = [(26.0, 0.6, 0.01), (7.5, 1.0, 0.2), (1000.0, 0.3, 1e-6)]
# (n, A): the published example, real and sub-one circuits, tiny loads and
# blocking, thousands of circuits.
POISSON = [(20.0, 15.0), (0.5, 0.3), (1.0, 1e-10), (2.5, 7.0), (100.0, 50.0), (1000.0, 1100.0),
           (5000.0, 4900.0)]
# (A, target), (n, target)
POISSON_CIRCUITS = [(15.0, 0.01), (0.2, 0.5), (1000.0, 0.001)]
POISSON_LOADS = [(25.0, 0.01), (0.5, 0.1), (1000.0, 1e-6)]
# (A, recall, target): real circuits, below one circuit too.
FRACTIONAL = [(15.0, 0.6, 0.01), (100.0, 0.9, 0.05), (0.2, None, 0.5), (15.0, None, 0.01),
              (1000.0, None, 0.001)]


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
    print("const RetrialRow retrials[] = {")
    for x, A0, r in RETRIALS:
        print(f"    {{{x!r}, {A0!r}, {r!r}, {', '.join(g(v) for v in retrial(x, A0, r))}}},")
    print("};")
    print("const CountRow retrial_circuits[] = {")
    for A0, r, t in RETRIAL_CIRCUITS:
        print(f"    {{{A0!r}, {r!r}, {t!r}, {retrial_circuits(A0, r, mpf(t))}}},")
    print("};")
    print("const SizedLoadRow retrial_loads[] = {")
    for x, r, t in RETRIAL_LOADS:
        print(f"    {{{x!r}, {r!r}, {t!r}, {g(retrial_load(x, r, mpf(t)))}}},")
    print("};")
    print("const PoissonRow poisson_rows[] = {")
    for n, A in POISSON:
        print(f"    {{{n!r}, {A!r}, {g(poisson(n, A))}}},")
    print("};")
    print("const CountRow poisson_circuit_rows[] = {")
    for A, t in POISSON_CIRCUITS:
        print(f"    {{{A!r}, 0.0, {t!r}, {poisson_circuits(A, mpf(t))}}},")
    print("};")
    print("const SizedLoadRow poisson_loads[] = {")
    for n, t in POISSON_LOADS:
        print(f"    {{{n!r}, 0.0, {t!r}, {g(poisson_load(n, mpf(t)))}}},")
    print("};")
    print("const FractionalRow fractional[] = {")
    for A, r, t in FRACTIONAL:
        x = poisson_fractional(A, mpf(t)) if r is None else retrial_fractional(A, r, mpf(t))
        print(f"    {{{A!r}, {-1.0 if r is None else r!r}, {t!r}, {g(x)}}},")
    print("};")


if __name__ == "__main__":
    rows()
