#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Erlang X's figures in 60-digit arithmetic (mpmath), from the finite
chain itself: s agents, `lines` places, calls at rate A, each waiting
caller leaving at rate 1 / patience.

The states k = 0 .. lines weigh A^k / k! up to s, then each place more
A / (s + m / patience). An arriving call that finds m callers ahead of it
is answered with probability s / (s + (m + 1) / patience), and its offered
wait (the wait if it never hung up) is a sum of exponentials of rates
s + i / patience, i = 0 .. m, whose distribution is the regularized
incomplete beta function P(wait > t) = I_x(a, m + 1), x = e^(-t /
patience), a = s patience; a call answered within t weighs a / (a + m + 1)
(1 - I_x(a + 1, m + 1)). For a whole second argument 1 - I_x is the tail
of a negative binomial distribution, which is how it is summed here
(mpmath's betainc fails past a few hundred), checked against betainc on
small cases. With endless patience the wait is Gamma(m + 1,
s). Endless lines are cut where the states weigh below 1e-80 of the
largest.

    python3 tests/erlangx_reference.py
        prints the tables of tests/erlangx_test.cpp between the lines that
        mark them; CI checks that the test file holds them.
"""
from mpmath import betainc, exp, findroot, fsum, gammainc, inf, mp, mpf

mp.dps = 80


def withins(a, x, last):
    """1 - I_x(a, m + 1) for m = 0 .. last: the sums of the terms x^a
    C(a + j - 1, j) (1 - x)^j beyond j = m, every term positive (1 less
    the head keeps 80 digits absolute, not relative): beyond `last`, 1
    less the head where that is at least 1e-30, else the terms until they
    fall below 1e-100 of their sum; then one more for each m below."""
    terms = [x ** a]
    for j in range(1, last + 1):
        terms.append(terms[-1] * (1 - x) * (a + j - 1) / j)
    tail, term, j = 1 - fsum(terms), terms[-1], last
    direct = tail < mpf("1e-30")
    tail = 0 if direct else tail
    while direct:
        j += 1
        step = (1 - x) * (a + j - 1) / j
        term *= step
        tail += term
        if term == 0 or (step < 1 and term < tail * mpf(10) ** -100):
            break
    out = [mpf(0)] * (last + 1)
    for m in range(last, -1, -1):
        out[m] = tail
        tail += terms[m]
    return out


for a_, m_, x_ in [(2.5, 3, 0.3), (0.01, 7, 0.9), (40, 12, 0.99)]:
    got = withins(mpf(a_), mpf(x_), m_)[-1]
    assert abs(got / betainc(a_, m_ + 1, x_, 1, regularized=True) - 1) < mpf(10) ** -50


def figures(s, A, lines, patience, t):
    """Blocking, wait probability, abandonment, service level of offered
    and of answered calls, virtual service level, mean wait of answered
    calls, virtual mean wait."""
    A, t = mpf(A), mpf(t)
    th = 0 if patience == inf else 1 / mpf(patience)
    w = [mpf(1)]
    k = 0
    largest = w[0]
    while lines == inf or k < lines:
        k += 1
        w.append(w[-1] * A / (k if k <= s else s + (k - s) * th))
        largest = max(largest, w[-1])
        past_peak = k > s + (max(A - s, 0) / th if th else 0)
        if lines == inf and past_peak and w[-1] < largest * mpf(10) ** -80:
            break
    total = fsum(w)
    p = [v / total for v in w]
    blocking = p[-1] if lines != inf else mpf(0)
    waiting = range(s, len(p) - 1 if lines != inf else len(p))
    free = fsum(p[:s])
    wait = abandon = within = virtual_within = waited = virtual_waited = answered = mpf(0)
    if th:
        a = s / th
        x = exp(-th * t)
        within_at = withins(a, x, len(waiting))
        answered_within_at = withins(a + 1, x, len(waiting))
    mean = answered_mean = mpf(0)
    for k in waiting:
        m = k - s
        if th:
            answer = a / (a + m + 1)
            within_offered = within_at[m]
            answered_within = answer * answered_within_at[m]
            mean += 1 / (s + m * th)
            answered_mean += 1 / (s + th + m * th)
        else:
            answer = 1
            within_offered = answered_within = gammainc(m + 1, 0, s * t, regularized=True)
            mean = answered_mean = mpf(m + 1) / s
        wait += p[k]
        abandon += p[k] * (1 - answer)
        answered += p[k] * answer
        within += p[k] * answered_within
        virtual_within += p[k] * within_offered
        waited += p[k] * answer * answered_mean
        virtual_waited += p[k] * mean
    got = free + wait
    answered += free
    return (blocking, wait, abandon, free + within, (free + within) / answered,
            (free + virtual_within) / got, waited / answered, virtual_waited / got)


# (s, A, lines, patience, t): the published example; as many lines as
# agents (Erlang B); one agent lightly loaded and impatient; overloads with
# long queues, patient and impatient; light loads of many agents; a load
# at the agents without abandons; endless lines with abandons; long lines
# without them, below and above the agents' load; endless lines and
# patience (Erlang C); no wait asked for; a full queue whose calls answered
# within t are few, 1e-31, from its first places; offered waits of a heavy
# tail (one agent, t 30 patiences), whose terms no sum reaches; endless
# lines whose queue runs to thousands of places, over the load and at it.
POINTS = [(12, 10.0, 16, 2 / 3, 1 / 9), (1, 3.0, 1, inf, 0.5), (1, 0.2, 6, 0.01, 10.0),
          (100, 300.0, 5100, 1e5, 0.1), (100, 20.0, 200, 1.0, 10.0), (2000, 6000.0, 2600, 0.01, 10.0),
          (2000, 2000.0, 2100, inf, 0.01), (12, 36.0, inf, 0.5, 2.0), (50, 40.0, inf, 100.0, 0.3),
          (2000, 1800.0, 2500, 1e5, 10.0), (12, 10.0, 512, inf, 1.0), (12, 30.0, 1012, inf, 1.0),
          (100, 90.0, inf, inf, 0.2), (30, 31.5, 60, 3.0, 0.0), (100, 130.0, 400, 1e5, 0.5),
          (1, 1.0, 1001, 0.01, 0.3), (50, 60.0, inf, 500.0, 2.0), (20, 20.0, inf, 1e4, 1.0)]


def offered(s, A0, lines, patience, redial):
    """The A with A (1 - redial (blocking + abandonment)) = A0: halving to a
    millionth between A0 and A0 / (1 - redial), then the secant."""
    def f(A):
        b, _, ab, *_ = figures(s, A, lines, patience, 0)
        return A * (1 - redial * (b + ab)) - A0
    lo, hi = mpf(A0), mpf(A0) / (1 - mpf(redial))
    while hi - lo > mpf("1e-6") * hi:
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if f(mid) < 0 else (lo, mid)
    return findroot(f, (lo, hi), solver="secant")


# (s, A0, lines, patience, redial): the published example; a waiting room
# of as many lines as agents (extended Erlang B); an overload of endless
# lines nearly all of whose lost callers call again; a long queue of
# patient callers.
OFFERED = [(12, 10.0, 16, 2 / 3, 0.5), (20, 15.0, 20, 1.0, 0.6), (12, 30.0, inf, 0.5, 0.9),
           (100, 110.0, 300, 20.0, 0.3)]


def g(v):
    return "0.0" if v < mpf("1e-300") else mp.nstr(v, 20, min_fixed=0, max_fixed=0)


def c(v):
    return "inf" if v == inf else repr(float(v))


if __name__ == "__main__":
    print("const FigureRow figures[] = {")
    for s, A, lines, patience, t in POINTS:
        values = ", ".join(g(v) for v in figures(s, A, lines, patience, t))
        print(f"    {{{s}, {A!r}, {c(lines)}, {c(patience)}, {c(t)}, {values}}},")
    print("};")
    print("const OfferedRow offered_rows[] = {")
    for s, A0, lines, patience, redial in OFFERED:
        A = offered(s, A0, lines, patience, redial)
        print(f"    {{{s}, {A0!r}, {c(lines)}, {c(patience)}, {redial!r}, {g(A)}}},")
    print("};")
