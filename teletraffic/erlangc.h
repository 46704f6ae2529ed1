// SPDX-License-Identifier: MIT
// Waiting systems: Erlang C. Calls that find every agent busy wait in a
// queue, served in order, instead of being lost: the probability that a
// call waits, the share answered within a time, the mean wait, and the
// agents a load needs to meet targets on them. Part of the teletraffic
// library: #include <teletraffic/erlangc.h>, link teletraffic. Nothing here
// reads, prints or keeps state.
//
// Times are in holding times (the mean handling time is 1), loads A in
// erlangs (0 <= A <= erlangb_max_load), agents s real (whole or
// fractional, through the continuous Erlang B function;
// 0 < s <= erlangb_max_circuits); subnormal loads and agents lie inside.
// Arguments outside these, or NaN, give NaN. Probabilities never leave
// [0, 1]: a figure that rounds past 1 is 1. Accuracy is relative error
// against 40-digit arithmetic.
#ifndef TELETRAFFIC_ERLANGC_H
#define TELETRAFFIC_ERLANGC_H

#include <limits>

// ---- The figures -------------------------------------------------------------

// The probability that a call waits, C = s B / (s - A (1 - B)) with B the
// Erlang B blocking of s agents, as s B / slope with the slope
// s - A + A B of the continuous function, which does not cancel. 1 when
// s <= A (the queue grows without bound), 0 when A = 0. Accuracy: 1e-12
// wherever it is at least 1e-300, below one agent and at tiny loads too.
// Cost: one evaluation of the continuous function.
double erlangc(double s, double A);

// The share of calls answered within t >= 0 holding times,
// 1 - C e^(-(s - A) t), taken as (1 - C) + C (1 - e^(-(s - A) t)) with
// 1 - C = (s - A) (1 - B) / slope: two parts that do not cancel, even where
// s is close to A. 0 when s <= A; NaN for a negative or NaN t. Accuracy:
// 1e-12, also where it is tiny (s a hair above A) and below one agent;
// the share not answered, 1 - the result, where it matters, is
// C e^(-(s - A) t) to the same. Cost: one evaluation.
double erlangc_service_level(double s, double A, double t);

// The mean wait over all calls, C / (s - A), in holding times; +infinity
// when s <= A. Accuracy: 1e-12 wherever it is at least 1e-300, given
// s - A as s and A are given. Cost: one evaluation.
double erlangc_mean_wait(double s, double A);

// ---- Staffing ------------------------------------------------------------------

// Targets on the figures above, each unset (NaN) until a caller sets it:
// a service level of at least `service_level` within `answer_time`, a mean
// wait of at most `mean_wait`, a wait probability of at most
// `wait_probability`, an occupancy A / s of at most `max_occupancy`, and a
// share of abandoned calls of at most `max_abandonment` (for erlanga.h;
// met everywhere here, where nobody abandons), and a share of blocked
// calls of at most `max_blocking` (for erlangx.h, whose lines may all be
// taken; met everywhere here and in erlanga.h, whose lines are endless).
// Their domains: service_level, wait_probability, max_occupancy,
// max_abandonment and max_blocking strictly between 0 and 1, answer_time
// >= 0 (with service_level only), mean_wait above 0 and finite.
// `service_level_of` says which calls the service level counts (see
// ServiceLevelOf); here, where every call is answered and waits its
// offered wait, the three agree.
enum class ServiceLevelOf {
    offered,       // the calls answered within the time, of all calls offered
    answered,      // of the answered calls
    virtual_wait,  // the calls that get a line whose offered wait is within the time
};
struct StaffingTarget {
    double service_level = std::numeric_limits<double>::quiet_NaN();
    double answer_time = std::numeric_limits<double>::quiet_NaN();
    double mean_wait = std::numeric_limits<double>::quiet_NaN();
    double wait_probability = std::numeric_limits<double>::quiet_NaN();
    double max_occupancy = std::numeric_limits<double>::quiet_NaN();
    double max_abandonment = std::numeric_limits<double>::quiet_NaN();
    double max_blocking = std::numeric_limits<double>::quiet_NaN();
    ServiceLevelOf service_level_of = ServiceLevelOf::offered;
};

// The fewest whole agents s > A that meet every target set, each judged by
// the figures the functions above give at s (and not met at s - 1, unless
// s - 1 <= A). 0, which no answer is, when no target is set, when one lies
// outside its domain, when A does, or when the answer would exceed
// erlangb_max_circuits. Cost, per target on the queue: a square-root-
// staffing guess (a few erfcs), one evaluation of the continuous function,
// the recurrence B(n + 1) = A B / (n + 1 + A B) stepped up from the guess
// to the count in O(1) a step, and the figures at the count and one agent
// fewer to confirm it: 3 evaluations, more only where the figures and the
// steps differ in rounding; under 10 evaluations' worth of time (about a
// microsecond) at any load. Occupancy is judged by A / s as a double,
// one that keeps its digits where A is subnormal. The evaluations are counted in `evaluations`
// when it is given.
int erlangc_agents(double A, const StaffingTarget& target, int* evaluations = nullptr);

// The real number of agents at which the binding target is met exactly:
// the largest, over the targets set, of the real s where its figure equals
// it, found by regula falsi (Anderson-Bjorck) between the whole count less
// one and the whole count, so it lies in (erlangc_agents - 1,
// erlangc_agents]. Accuracy: 1e-9 agents. NaN where erlangc_agents gives 0.
// Cost: erlangc_agents, then 3 to 20 evaluations per target on the queue
// (5 to 8 typically; the steps stop at 100, returning the last), counted
// in `evaluations` with the count's when it is given.
double erlangc_fractional_agents(double A, const StaffingTarget& target,
                                 int* evaluations = nullptr);

// ---- The load agents carry ------------------------------------------------

// The largest load s agents carry while meeting every target set (the
// third question beside the figures and the staffing): the smallest, over
// the targets, of the load at which the figure equals its target, s times
// max_occupancy for the occupancy, judged by the figures the functions
// above give at it (they meet every target there). s real, above 0 and at
// most erlangb_max_load (so that the load lies in the domain). NaN when no
// target is set, one lies outside its domain, or s does. Round trip: for
// whole s, erlangc_agents of the load is s. Accuracy: 1e-12 (relative) in
// the load; a load below the smallest double is 0, one within a rounding
// step of s a few steps below s. Cost, per target on the queue: the square-root model's guess,
// steps outward in ln(A / (s - A)) to a bracket and Anderson-Bjorck on it,
// about 6 to 10 evaluations of the continuous function (at most 80),
// counted in `evaluations` when it is given.
double erlangc_load(double s, const StaffingTarget& target, int* evaluations = nullptr);

#endif  // TELETRAFFIC_ERLANGC_H
