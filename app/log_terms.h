// SPDX-License-Identifier: MIT
// The Erlang B formula as the erlangb calculator has always computed it:
// each term A^k / k! formed from its logarithm. Kept for the calculator
// alone, whose printed digits depend on this arithmetic; everything else
// takes erlangb() from the teletraffic library, which is more accurate
// (this is off by up to 7e-12 relative at 1000 circuits) and faster.
#ifndef ERLANGB_LOG_TERMS_H
#define ERLANGB_LOG_TERMS_H

// B(n, A) over the calculator's range, 1 to 500 circuits and up to 500
// erlangs, where the terms' sum stays finite (beyond about 700 erlangs it
// overflows, and B is NaN). 0 at A = 0. Cost: n steps of a log and an exp.
double erlangb_log_terms(int n, double A);

#endif  // ERLANGB_LOG_TERMS_H
