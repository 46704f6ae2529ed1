// SPDX-License-Identifier: MIT
// Inside the teletraffic library only, not installed: what the waiting
// systems' staffing shares, and what Erlang X takes from Erlang A.
#ifndef TELETRAFFIC_TARGETS_H
#define TELETRAFFIC_TARGETS_H

#include <cmath>

#include "teletraffic/erlangc.h"

namespace teletraffic::detail {

// Whether every target set lies in its domain, as erlangc.h states them,
// at least one being set.
bool targets_valid(const StaffingTarget& target);

// The kinds of target a StaffingTarget holds, and each one's value (NaN
// while unset).
enum class Kind { level, wait, probability, occupancy, abandonment, blocking };

inline double value_of(const StaffingTarget& target, Kind kind)
{
    switch (kind) {
    case Kind::level: return target.service_level;
    case Kind::wait: return target.mean_wait;
    case Kind::probability: return target.wait_probability;
    case Kind::occupancy: return target.max_occupancy;
    case Kind::abandonment: return target.max_abandonment;
    default: return target.max_blocking;
    }
}

inline bool is_set(const StaffingTarget& target, Kind kind)
{
    return !std::isnan(value_of(target, kind));
}

// A probability that rounding may have carried a step past 1, as 1 (a NaN
// stays NaN, where fmin would hide it).
inline double at_most_one(double p) { return p > 1 ? 1.0 : p; }

// Erlang A's (erlanga.h) virtual figures: the share of calls whose offered
// wait is at most t (t = +infinity for none), and their mean offered wait
// (the calls that find an agent free wait 0). For whole s >= 1, 0 < A <=
// erlangb_max_load, patience > 0, t >= 0; Erlang C's figures past a
// patience of 1e100. Accuracy as erlanga.h's figures; cost one quadrature.
struct OfferedWait {
    double level, mean;
};
OfferedWait erlanga_offered_wait(double s, double A, double patience, double t);

}  // namespace teletraffic::detail

#endif  // TELETRAFFIC_TARGETS_H
