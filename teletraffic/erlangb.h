// SPDX-License-Identifier: MIT
// The Erlang B formula of teletraffic engineering, and its two inverses:
// the circuits a blocking target needs, and the load they carry at it; and
// the continuous Erlang B function of real (fractional) circuits, with its
// two inverses. Part of the teletraffic library (C++17, the standard
// library alone): #include <teletraffic/erlangb.h>, link teletraffic.
// Nothing here reads, prints or keeps state; every function is safe to call
// from any thread.
#ifndef TELETRAFFIC_ERLANGB_H
#define TELETRAFFIC_ERLANGB_H

// ---- Limits of the inverses ------------------------------------------------

// The largest offered load, in erlangs, that erlangb_circuits sizes for. The
// circuits it finds then stay below about 5.1 million.
inline constexpr double erlangb_max_load = 5e6;

// The most circuits erlangb_load takes, enough for every count that
// erlangb_circuits gives. An evaluation of B costs at most one step per
// circuit, so a call takes at most about 0.1 s.
inline constexpr int erlangb_max_circuits = 10000000;

// ---- The formula -----------------------------------------------------------

// Blocking probability of a loss system: the share of calls that find all
// n circuits busy when A erlangs of traffic are offered to them,
//   B(n, A) = (A^n / n!) / sum of A^k / k! for k = 0..n,
// the continuous function below at whole n. With no circuits (n < 1) every
// call is lost: B = 1. A = 0 gives B = 0 (n >= 1); a negative, NaN or
// infinite A gives NaN. A subnormal A is inside: B is then the 0 or
// subnormal value rounded.
// Accuracy: relative error below 1e-13 against 40-digit arithmetic (2e-14
// measured) for n up to erlangb_max_circuits and A up to erlangb_max_load,
// wherever B is a normal double (above 2.2e-308); below, the digits a
// subnormal holds.
// Cost: that of erlangb_continuous, 0.1 to 0.8 microseconds at any n.
double erlangb(int n, double A);

// ---- Sizing: the inverses ----------------------------------------------------

// The fewest circuits n >= 1 whose blocking at offered load A is at most
// target: erlangb(n, A) <= target and, when n > 1, erlangb(n - 1, A) > target,
// exactly as erlangb computes them. A = 0 needs one circuit. Returns 0, which
// no answer is, when A is negative, NaN or above erlangb_max_load, or when
// target is NaN or outside (0, 1). Below about 2.2e-308 the blocking values
// are subnormal and lose digits, so the count, though it still agrees with
// erlangb, may exceed the exact one.
// Cost: evaluations of erlangb, from a first guess (a normal approximation
// above 200 erlangs, the Poisson term below) by secant steps over whole
// numbers of circuits that end on the count and the one below it: 2 to 5
// at most loads and targets, at most 8 (16 for subnormal targets; after 12
// steps the rest halve the interval the count is known to lie in), a few
// microseconds at any load. `evaluations`, when given, receives the number
// made.
int erlangb_circuits(double A, double target, int* evaluations = nullptr);

// The largest offered load at which n circuits keep their blocking at or
// below target: the root A of B(n, A) = target (B grows with A). One circuit
// has the closed form target / (1 - target). Returns NaN when n < 1 or
// n > erlangb_max_circuits, or when target is NaN or outside (0, 1).
// Accuracy: relative error below 1e-12 over the whole domain, from targets
// at the smallest normal double (tiny loads; a subnormal target carries
// fewer digits, and the load no more than those) to targets a rounding
// step below 1 (loads near n / (1 - target)). Cost: safeguarded Newton steps, each an
// evaluation of B(n, A) in at most n steps, about n - A + 6 sqrt(A) (so a
// handful for targets near 1); where that would exceed 3000 steps, by
// erlangb_continuous instead (microseconds at any n). Above 32 circuits they start from a
// close first guess (about 2 microseconds) and take 2 to 5 evaluations; up
// to 32 they start between the bounds the root lies in and take at most 7,
// in about 0.5 microseconds in all. The steps stop at 101 evaluations,
// which no root has needed, and return the last load reached. When
// `evaluations` is given, the number of evaluations made is stored there
// (0 for the closed form and outside the domain).
double erlangb_load(int n, double target, int* evaluations = nullptr);

// The same root, with the Newton steps started from `start` instead of the
// first guess: a load near the root, such as the answers for fewer circuits
// at the same target extrapolated to n. A start within about 1e-6 of the
// root takes 2 evaluations; one outside the bounds the root is known to lie
// in (0, say) is ignored and the first guess taken. Same domain, results
// and accuracy as erlangb_load.
double erlangb_load_near(int n, double target, double start, int* evaluations = nullptr);

// ---- Fractional circuits: the continuous function ----------------------------

// The Erlang B function for a real number x >= 0 of circuits:
//   B(x, A) = A^x e^(-A) / Gamma(x + 1, A),
//   1 / B(x, A) = A * integral from 0 to infinity of e^(-A t) (1 + t)^x dt,
// with Gamma(s, A) the upper incomplete gamma function. At whole x it is the
// Erlang B formula; for every x it obeys B(x + 1, A) = A B / (x + 1 + A B)
// and dB/dA = B (x / A - 1 + B). B(0, A) = 1; A = 0 gives 0 for x > 0; an
// infinite A gives 1, an infinite x (with finite A) 0; NaN or a negative x
// or A gives NaN. Every other x and A is inside, subnormal ones too;
// beyond 1e300 (far outside the accuracy stated below) B is taken as
// 1 - x / A where A > x, else 0, within 1e-150.
// Accuracy: relative error below 1e-12 against 50-digit arithmetic (6e-14
// measured), and below 1e-13 at whole x (2e-14 measured), for x from 0 to
// erlangb_max_circuits and A from 0 (subnormal loads included) to
// erlangb_max_load, wherever B is at least 1e-300.
// Below one circuit, where B may lie within a rounding step of 1, 1 - B
// keeps the same relative accuracy inside the library (Erlang C's
// figures rest on it).
// Method and cost, with s = x + 1: Legendre's continued fraction for
// Gamma(s, A) where A >= s, the power series of the lower function where
// A < s (for x < 1 that of Q(x, A) for small x, about 25 terms), each at
// most about 700 terms and a handful far from x = A; where
// s >= 5000 and |A - s| <= 0.05 s, Temme's uniform expansion, a few
// function calls. The Poisson factor A^x e^(-A) / Gamma(x + 1) comes from
// its saddle-point form (Stirling's error term and the deviance
// x ln(x/A) + A - x, carried to about 32 digits where it exceeds 4, so
// that e^-deviance keeps B's digits), never from large logarithms that
// cancel.
double erlangb_continuous(double x, double A);

// The real number of circuits x > 0 at which offered load A blocks exactly
// target: B(x, A) = target (B falls as x grows). It lies in (n - 1, n] for
// n = erlangb_circuits(A, target), to within 1e-9 circuits (1e-10 aimed
// at). A = 0 needs no circuits: 0. NaN where erlangb_circuits gives 0.
// Cost: the count erlangb_circuits makes, then 2 to 8 evaluations of
// erlangb_continuous (secant steps kept in that interval; at most 102,
// after which the last step is returned), counted in `evaluations` when it
// is given.
double erlangb_fractional_circuits(double A, double target, int* evaluations = nullptr);

// The load A at which x > 0 real circuits block exactly target: the root of
// B(x, A) = target. At whole x it is erlangb_load(x, target); otherwise the
// loads of floor(x) and ceil(x) circuits bracket it and Newton steps on
// ln B over ln A, with the slope x - A + A B, find it to the same 1e-12
// (relative), in 2 to 7 evaluations of erlangb_continuous after the two
// whole-number loads (counted in `evaluations` when it is given). Below
// 0.01 circuits at a target within about x of 1, B's own rounding bounds
// the load to about 1e-16 / slope (2e-10 at x = 1e-6, 1 - 1e-6), found
// in at most 30 evaluations; at 31 the steps stop and the last is
// returned. Below one circuit a small target's load can be subnormal
// (B(0.001, 5.2e-302) is 0.5), with the digits such a load holds, or lie
// below the smallest double: then 0. NaN when x <= 0, x >
// erlangb_max_circuits, or target is NaN or outside (0, 1).
double erlangb_continuous_load(double x, double target, int* evaluations = nullptr);

#endif  // TELETRAFFIC_ERLANGB_H
