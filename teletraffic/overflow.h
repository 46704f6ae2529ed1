// SPDX-License-Identifier: MIT
// Overflow traffic: the calls a first-choice group turns away and offers to
// a final group, described by their mean and variance; the final group's
// blocking and size by Wilkinson's equivalent random method (solved
// exactly), by Rapp's approximation of it, or by Hayward's approximation.
// Part of the teletraffic library: #include <teletraffic/overflow.h>, link
// teletraffic. Nothing here reads, prints or keeps state.
//
// Accuracy is relative error against 40-digit arithmetic over the domain
// below, where the traffic's mean M lies in [0.001, 10000] erlangs and its
// peakedness Z = variance / mean in [1, 50]. Outside it the functions that
// need an equivalent random group return NaN (0 for a count), as they do
// for smooth traffic (Z < 1), which has none. No traffic at all, {0, 0}
// (what a group overflows whose blocking underflows, 1000 circuits offered
// 1 erlang say), lies inside for every method: its group is {0, 0}, a final
// group of c > 0 circuits blocks 0 of it, and it needs one whole circuit, 0
// real ones.
#ifndef TELETRAFFIC_OVERFLOW_H
#define TELETRAFFIC_OVERFLOW_H

// ---- Traffic ---------------------------------------------------------------

// Offered traffic by the mean and the variance of the number of circuits it
// would hold busy on a group without limit. Poisson traffic of A erlangs is
// {A, A}; independent streams offered together add, mean to mean and
// variance to variance. Peakedness is variance / mean: above 1 the traffic
// is peaked (overflow), below 1 smooth.
struct Traffic {
    double mean;
    double variance;
};

// The smallest and largest mean, and the largest peakedness, of the domain.
inline constexpr double overflow_min_mean = 0.001;
inline constexpr double overflow_max_mean = 10000;
inline constexpr double overflow_max_peakedness = 50;

// The smallest blocking target the final group is sized for: below it the
// group's own target, target M / A*, may leave the normal doubles.
inline constexpr double overflow_min_target = 1e-290;

// Riordan's moments of the traffic that x >= 0 circuits (real: the
// continuous Erlang B function) overflow when offered A Poisson erlangs:
//   M = A B(x, A),  V = M (1 - M + A / (x + 1 - A + M)).
// x = 0 gives {A, A}; A = 0 gives {0, 0}; NaN, negative or infinite
// arguments, or x above erlangb_max_circuits or A above erlangb_max_load,
// give {NaN, NaN}. Accuracy: 1e-12 where the group is not overloaded
// (A <= x + 1), 1e-10 where it is; x + 1 - A + M comes from the continuous
// function's slope, which does not cancel. Cost: one evaluation of the
// continuous function.
Traffic erlangb_overflow(double x, double A);

// ---- The equivalent random group ---------------------------------------------

// A Poisson load and a real number of circuits.
struct EquivalentRandom {
    double load;
    double circuits;
};

// Wilkinson's equivalent random group of traffic t: the load A* and the
// circuits N* >= 0 whose overflow has t's mean and variance, solved exactly.
// Peakedness exactly 1 gives {M, 0}; smooth traffic, and traffic outside the
// domain, {NaN, NaN}. Accuracy: A* and N* to 1e-10 (N* relative to A*;
// 6e-11 the most measured). Method: the variance equation gives N* for each
// A* in closed form, along a line from the load at N* = 0; on it the mean
// equation A B(N, A) = M is solved in the logarithm of the distance along
// it, from Rapp's A*, by steps outward to a bracket and the
// Anderson-Bjorck method. Where the group is overloaded A B and M are
// large and close, and their difference is taken from the continuous
// function's slope N - A + A B instead, which does not cancel. Cost: 3 to
// 20 evaluations of the continuous function, at most 40, counted in
// `evaluations` when it is given.
EquivalentRandom erlangb_equivalent_random(Traffic t, int* evaluations = nullptr);

// Rapp's approximation of the equivalent random group, with Z the
// peakedness: A* = V + 3 Z (Z - 1), N* = A* (M + Z) / (M + Z - 1) - M - 1,
// a negative N* taken as 0. Same domain as erlangb_equivalent_random; a
// few arithmetic operations.
EquivalentRandom erlangb_rapp(Traffic t);

// ---- The final group ---------------------------------------------------------

enum class OverflowMethod {
    equivalent_random,  // Wilkinson's group, solved exactly
    rapp,               // Rapp's approximation of it
    hayward,            // B(c / Z, M / Z): no group; smooth traffic too
};

// The share of traffic t's calls that a final group of c >= 0 circuits
// (real allowed) loses: A* B(N* + c, A*) / M through the equivalent random
// group of the method, or Hayward's B(c / Z, M / Z). c = 0 loses all: 1.
// NaN for a negative or NaN c, and where the method has no group for t (see
// above; Hayward's needs M > 0, 0 < Z <= 50 and M / Z <= erlangb_max_load,
// so smooth traffic too). Accuracy, for the exact method: 1e-9
// wherever the blocking is at least 1e-300. Cost: the group's solve and one
// evaluation of the continuous function.
double erlangb_overflow_blocking(Traffic t, double c,
                                 OverflowMethod method = OverflowMethod::equivalent_random);

// The same share through an equivalent random group g of t that the caller
// has already (from erlangb_equivalent_random or erlangb_rapp), without
// solving it again: A* B(N* + c, A*) / M, 1 for c = 0, NaN for a negative
// or NaN c or a NaN g. Cost: one evaluation of the continuous function.
double erlangb_group_blocking(Traffic t, EquivalentRandom g, double c);

// The fewest whole circuits whose blocking, as erlangb_overflow_blocking
// gives it, is at most target: it gives more than target for one circuit
// fewer. 0 where the blocking is NaN or target lies outside
// [overflow_min_target, 1). Cost:
// the fractional count, then two or three evaluations of the blocking.
int erlangb_overflow_circuits(Traffic t, double target,
                              OverflowMethod method = OverflowMethod::equivalent_random);

// The real number of circuits c > 0 at which the blocking is exactly
// target (at least overflow_min_target): x - N* for the real x of erlangb_fractional_circuits at
// the equivalent load A* and target times M / A*, or Z times it at M / Z for Hayward; within 1e-9
// circuits (times Z for Hayward). Rapp's group may block less than target as c approaches 0 (its A*
// B(N*, A*) is not quite M): then 0. NaN where the count is 0.
double erlangb_overflow_fractional_circuits(
    Traffic t, double target, OverflowMethod method = OverflowMethod::equivalent_random);

#endif  // TELETRAFFIC_OVERFLOW_H
