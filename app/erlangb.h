// SPDX-License-Identifier: MIT
// The Erlang B formula of teletraffic engineering, and its two inverses:
// the circuits a blocking target needs, and the load they carry at it.
#ifndef ERLANGB_H
#define ERLANGB_H

// ---- Limits of the inverses ------------------------------------------------

// The largest offered load, in erlangs, that erlangb_circuits sizes for. The
// circuits it finds then stay below about 5.1 million, counted in about
// 0.04 s (6.7 million and 0.2 s for subnormal targets).
inline constexpr double erlangb_max_load = 5e6;

// The most circuits erlangb_load takes, enough for every count that
// erlangb_circuits gives. An evaluation of B costs at most one step per
// circuit, so a call takes at most about 0.1 s.
inline constexpr int erlangb_max_circuits = 10000000;

// ---- The formula -----------------------------------------------------------

// Blocking probability of a loss system: the share of calls that find all
// n circuits busy when A erlangs of traffic are offered to them,
//   B(n, A) = (A^n / n!) / sum of A^k / k! for k = 0..n.
// Each term is formed from its logarithm; once those terms overflow (past
// about 700 erlangs) it uses the recurrence B(k) = A B(k-1) / (k + A B(k-1)),
// which never does. A vanishing last term gives B = 0. With no circuits
// (n < 1) every call is lost: B = 1. A = 0 gives B = 0; a negative, NaN or
// infinite A gives no meaningful result (NaN for NaN and infinity).
// Cost: n steps of one log and one exp.
double erlangb(int n, double A);

// ---- Sizing: the inverses ----------------------------------------------------

// The fewest circuits n >= 1 whose blocking at offered load A is at most
// target: erlangb(n, A) <= target and, when n > 1, erlangb(n - 1, A) > target,
// exactly as erlangb computes them. A = 0 needs one circuit. Returns 0, which
// no answer is, when A is negative, NaN or above erlangb_max_load, or when
// target is NaN or outside (0, 1). Below about 2.2e-308 the blocking values
// are subnormal and lose digits, so the count, though it still agrees with
// erlangb, may exceed the exact one. Cost: one pass over k = 1..n, about that
// of one call erlangb(n, A).
int erlangb_circuits(double A, double target);

// The largest offered load at which n circuits keep their blocking at or
// below target: the root A of B(n, A) = target (B grows with A). One circuit
// has the closed form target / (1 - target). Returns NaN when n < 1 or
// n > erlangb_max_circuits, or when target is NaN or outside (0, 1).
// Accuracy: relative error below 1e-12 over the whole domain, from targets
// at the smallest double (tiny loads) to targets a rounding step below 1
// (loads near n / (1 - target)). Cost: safeguarded Newton steps, each an
// evaluation of B(n, A) in at most n steps, about n - A + 6 sqrt(A) (so a
// handful for targets near 1). Above 32 circuits they start from a
// close first guess (about 2 microseconds) and take 2 to 5 evaluations; up
// to 32 they start between the bounds the root lies in and take at most 7,
// in about 0.5 microseconds in all. When `evaluations` is given, the number
// of evaluations made is stored there (0 for the closed form and outside
// the domain).
double erlangb_load(int n, double target, int* evaluations = nullptr);

// The same root, with the Newton steps started from `start` instead of the
// first guess: a load near the root, such as the answers for fewer circuits
// at the same target extrapolated to n. A start within about 1e-6 of the
// root takes 2 evaluations; one outside the bounds the root is known to lie
// in (0, say) is ignored and the first guess taken. Same domain, results
// and accuracy as erlangb_load.
double erlangb_load_near(int n, double target, double start, int* evaluations = nullptr);

#endif  // ERLANGB_H
