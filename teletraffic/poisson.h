// SPDX-License-Identifier: MIT
// Loss systems whose blocked calls are held: the Poisson (Molina) formula.
// A call that finds every circuit busy stays for its holding time as if it
// had been carried, so that the calls present are Poisson(A) and the
// blocking is the chance that they reach n: P(n, A), the regularized lower
// incomplete gamma function, for real n. Part of the teletraffic library:
// #include <teletraffic/poisson.h>, link teletraffic. Nothing here reads,
// prints or keeps state.
//
// n real, 0 < n <= erlangb_max_circuits; A in [0, erlangb_max_load]; a
// target strictly between 0 and 1. Arguments outside these, or NaN, give
// NaN (0 for a count). Accuracy: 1e-12 relative against 40-digit
// arithmetic (tests/loss_reference.py) over n and A up to 10^5 wherever a
// figure is at least 1e-300.
#ifndef TELETRAFFIC_POISSON_H
#define TELETRAFFIC_POISSON_H

#include "teletraffic/erlangb.h"

// P(n, A) = P(n + 1, A) + A^n e^-A / Gamma(n + 1), two positive terms by
// the continuous Erlang B function's methods. Cost: about one of its
// evaluations.
double poisson_blocking(double n, double A);

// The fewest whole circuits blocking at most target. 0 where an argument
// lies outside its domain or the count would exceed erlangb_max_circuits.
// Cost: out from Erlang B's count, doubling, to a bracket, then regula
// falsi on whole numbers: 3 to 8 figures.
int poisson_circuits(double A, double target);

// The real number of circuits x at which P(x, A) is exactly target,
// between poisson_circuits's count and one fewer; 0 where A = 0. NaN where
// an argument lies outside its domain or the count would exceed
// erlangb_max_circuits. Accuracy: the x whose P is within 1e-12 of the
// target. Cost: poisson_circuits's, then regula falsi in x: 5 to 10
// figures more.
double poisson_fractional_circuits(double A, double target);

// The load n circuits carry blocking exactly target. Cost: regula falsi in
// ln A from Erlang B's load: 5 to 10 figures.
double poisson_load(double n, double target);

#endif  // TELETRAFFIC_POISSON_H
