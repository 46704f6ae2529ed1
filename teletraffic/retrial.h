// SPDX-License-Identifier: MIT
// Loss systems whose blocked callers try again: the extended Erlang B
// model. Fresh calls offer A0 erlangs to n circuits; a share `recall` of
// the blocked attempts is repeated (at once, as fresh calls, the model's
// assumption), the rest given up. The circuits then see an offered load a
// with a (1 - recall B(n, a)) = A0, B the continuous Erlang B function,
// and block B(n, a) of the attempts. With recall = 1 the fresh load is the
// carried load, and a the offered load behind a measured carried load.
// Part of the teletraffic library: #include <teletraffic/retrial.h>, link
// teletraffic. Nothing here reads, prints or keeps state.
//
// n real, 0 < n <= erlangb_max_circuits; A0 in [0, erlangb_max_load];
// recall in [0, 1]; a target strictly between 0 and 1. Arguments outside
// these, or NaN, give NaN (0 for a count). With recall = 1 a fresh load of
// n or more has no finite answer: the offered load is +infinity, the
// blocking per attempt 1. Accuracy: 1e-12 relative against 40-digit
// arithmetic (tests/loss_reference.py) over n and A0 up to 10^5 wherever a
// figure is at least 1e-300.
#ifndef TELETRAFFIC_RETRIAL_H
#define TELETRAFFIC_RETRIAL_H

#include "teletraffic/erlangb.h"

// The offered load a, retries included. Cost: Newton steps on a (the
// slope of B comes with it) inside a bracket out from A0: 4 to 10
// evaluations of the continuous function (1.7 us at 20 circuits, 5.5 at
// 1,000; bench/, retrial_figure).
double extended_erlangb_offered(double n, double A0, double recall);

// The share of attempts blocked, B(n, a). The same cost.
double extended_erlangb(double n, double A0, double recall);

// The share of fresh callers finally lost, a B(n, a) (1 - recall) / A0: 0
// with recall = 1 (nobody gives up) or no load. The same cost.
double extended_erlangb_lost(double n, double A0, double recall);

// The fewest whole circuits whose blocking per attempt is at most target:
// Erlang B's count for A0 / (1 - recall target), as a (1 - recall B(n, a))
// rises with a. 0 where an argument lies outside its domain, or the count
// would exceed erlangb_max_circuits. Cost: erlangb_circuits's.
int extended_erlangb_circuits(double A0, double recall, double target);

// The most fresh load n circuits take blocking at most target of the
// attempts: erlangb_continuous_load(n, target) (1 - recall target). Cost:
// erlangb_continuous_load's.
double extended_erlangb_load(double n, double recall, double target);

// The real number of circuits x at which the blocking per attempt is
// exactly target: erlangb_fractional_circuits(A0 / (1 - recall target),
// target), between the count and one fewer. NaN where an argument lies
// outside its domain. Cost: erlangb_fractional_circuits's.
double extended_erlangb_fractional_circuits(double A0, double recall, double target);

#endif  // TELETRAFFIC_RETRIAL_H
