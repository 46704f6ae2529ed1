// SPDX-License-Identifier: MIT
// Inside the teletraffic library only, not installed: what the waiting
// systems' staffing shares.
#ifndef TELETRAFFIC_TARGETS_H
#define TELETRAFFIC_TARGETS_H

#include "teletraffic/erlangc.h"

namespace teletraffic::detail {

// Whether every target set lies in its domain, as erlangc.h states them,
// at least one being set.
bool targets_valid(const StaffingTarget& target);

// A probability that rounding may have carried a step past 1, as 1 (a NaN
// stays NaN, where fmin would hide it).
inline double at_most_one(double p) { return p > 1 ? 1.0 : p; }

}  // namespace teletraffic::detail

#endif  // TELETRAFFIC_TARGETS_H
