// The Erlang B formula of teletraffic engineering.
#ifndef ERLANGB_H
#define ERLANGB_H

// Blocking probability of a loss system: the share of calls that find all
// n circuits busy when A erlangs of traffic are offered to them,
//   B(n, A) = (A^n / n!) / sum of A^k / k! for k = 0..n.
// Each term is formed from its logarithm, so nothing overflows for the
// calculator's ranges (n up to 500, A up to 500); a vanishing last term
// gives B = 0. With no circuits (n < 1) every call is lost: B = 1.
// A must not be negative; A = 0 gives B = 0.
double erlangb(int n, double A);

#endif  // ERLANGB_H
