// SPDX-License-Identifier: MIT
// Overflow traffic and the final group. The contracts are in overflow.h.
#include "teletraffic/overflow.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "teletraffic/blocking.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/falsi.h"

using teletraffic::detail::Blocking;
using teletraffic::detail::continuous;

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// Whether t is no traffic at all: the overflow of a group that loses none.
bool no_traffic(const Traffic& t) { return t.mean == 0 && t.variance == 0; }

// Whether t lies in the domain of the equivalent random group.
bool has_group(const Traffic& t)
{
    return no_traffic(t) ||
           (t.mean >= overflow_min_mean && t.mean <= overflow_max_mean && t.variance >= t.mean &&
            t.variance <= overflow_max_peakedness * t.mean);
}

// The group of the method for t; Hayward's has the peakedness as its load
// and no circuits. NaN fields where the method has none.
EquivalentRandom group(const Traffic& t, OverflowMethod method)
{
    switch (method) {
    case OverflowMethod::equivalent_random: return erlangb_equivalent_random(t);
    case OverflowMethod::rapp: return erlangb_rapp(t);
    default: break;
    }
    if (no_traffic(t)) return {1.0, 0.0};
    const double Z = t.variance / t.mean;
    const bool ok =
        t.mean > 0 && Z > 0 && Z <= overflow_max_peakedness && t.mean / Z <= erlangb_max_load;
    return ok ? EquivalentRandom{Z, 0.0} : EquivalentRandom{none, none};
}

// The blocking of c >= 0 circuits through the method's group g (see group).
double blocking(const Traffic& t, const EquivalentRandom& g, double c, OverflowMethod method)
{
    if (method == OverflowMethod::hayward) return erlangb_continuous(c / g.load, t.mean / g.load);
    if (c == 0) return 1.0;
    if (no_traffic(t)) return 0.0;
    // Rapp's group, an approximation, may overflow more than t's mean.
    const double B = std::exp(std::log(g.load / t.mean) + continuous(g.circuits + c, g.load).lnB);
    return B > 1 ? 1.0 : B;
}

}  // namespace

Traffic erlangb_overflow(double x, double A)
{
    if (!(x >= 0 && x <= erlangb_max_circuits) || !(A >= 0 && A <= erlangb_max_load))
        return {none, none};
    if (A == 0) return {0.0, 0.0};
    if (x == 0) return {A, A};
    // x + 1 - A + M is one more than the slope x - A + A B.
    const Blocking b = continuous(x, A);
    const double M = A * std::exp(b.lnB);
    return {M, M * (1 - M + A / (1 + b.slope))};
}

EquivalentRandom erlangb_equivalent_random(Traffic t, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!has_group(t)) return {none, none};
    if (no_traffic(t)) return {0.0, 0.0};
    const double M = t.mean;
    const double w = (t.variance - M) / M;  // the peakedness less one, without cancelling
    if (w == 0) return {M, 0.0};
    // The variance equation, solved for the circuits, is a line in (A, N):
    // N = (A - lowest) (M + 1 + w) / (M + w), from N = 0 at A = lowest. On
    // it the overflow's mean A B(N, A) falls from lowest > M towards 0 as
    // d = A - lowest grows, and passes M once: g(u) = ln(A B / M) at
    // d = e^u falls through 0 once.
    const double lowest = (M + 1) * (M + w) / (M + 1 + w);
    const double ratio = (M + 1 + w) / (M + w);
    const double offset = w / (M + 1 + w);  // lowest - M
    const auto g = [&](double u) {
        ++*evaluations;
        const double d = std::exp(u);
        const double A = lowest + d;
        const double N = ratio * d;
        const Blocking b = continuous(N, A);
        // Where the group is overloaded, A B and M are large and close:
        // their difference is that of the idle part N - A + A B, the
        // continuous function's slope, which it gives without cancelling
        // there, and N - A + M = d / (M + w) - offset.
        if (A >= N + 1) return std::log1p((b.slope - (d / (M + w) - offset)) / M);
        return std::log(A / M) + b.lnB;
    };
    // From Rapp's load, steps growing outward until g changes sign, then the
    // Anderson-Bjorck method: regula falsi that scales down the value kept
    // at an end that stays, so that both ends close in.
    const double start = erlangb_rapp(t).load - lowest;
    double u0 = std::log(start > 0 ? start : w * M);
    double g0 = g(u0);
    double u1 = u0;
    double g1 = g0;
    for (int i = 0; g1 != 0 && (g0 > 0) == (g1 > 0) && *evaluations < 40; ++i) {
        // Outward by the secant's reach, kept within 1/4 to 2 times 2^i.
        const double step = std::ldexp(0.25, i);
        const double reach = u1 != u0 ? std::fabs(g1 * (u1 - u0) / (g1 - g0)) : step;
        u0 = u1, g0 = g1;
        u1 = u0 + std::copysign(std::fmin(std::fmax(reach, step), 8 * step), g0);
        g1 = g(u1);
    }
    // Both A* and N* move by d's change: it ends below 1e-13 of A*.
    const double d =
        std::exp(teletraffic::detail::falsi(g, u0, g0, u1, g1, [&](double a, double b) {
            return std::fabs(std::exp(a) - std::exp(b)) <= 1e-13 * (lowest + std::exp(b)) ||
                   *evaluations >= 40;
        }));
    return {lowest + d, ratio * d};
}

EquivalentRandom erlangb_rapp(Traffic t)
{
    if (!has_group(t)) return {none, none};
    if (no_traffic(t)) return {0.0, 0.0};
    const double M = t.mean;
    const double Z = t.variance / M;
    const double A = t.variance + 3 * Z * (Z - 1);
    return {A, std::fmax(0.0, A * (M + Z) / (M + Z - 1) - M - 1)};
}

double erlangb_overflow_blocking(Traffic t, double c, OverflowMethod method)
{
    if (!(c >= 0)) return none;
    const EquivalentRandom g = group(t, method);
    return std::isnan(g.load) ? none : blocking(t, g, c, method);
}

double erlangb_group_blocking(Traffic t, EquivalentRandom g, double c)
{
    if (!(c >= 0) || std::isnan(g.load + g.circuits)) return none;
    return blocking(t, g, c, OverflowMethod::equivalent_random);
}

int erlangb_overflow_circuits(Traffic t, double target, OverflowMethod method)
{
    const double x = erlangb_overflow_fractional_circuits(t, target, method);
    if (std::isnan(x)) return 0;
    // The real root lies within a rounding of the count; the blocking as
    // erlangb_overflow_blocking gives it decides.
    const EquivalentRandom g = group(t, method);
    int n = std::max(1, static_cast<int>(std::ceil(x)));
    while (blocking(t, g, n, method) > target) ++n;
    while (n > 1 && blocking(t, g, n - 1, method) <= target) --n;
    return n;
}

double erlangb_overflow_fractional_circuits(Traffic t, double target, OverflowMethod method)
{
    if (!(target >= overflow_min_target && target < 1)) return none;
    const EquivalentRandom g = group(t, method);
    if (std::isnan(g.load)) return none;
    if (no_traffic(t)) return 0.0;
    if (method == OverflowMethod::hayward)
        return g.load * erlangb_fractional_circuits(t.mean / g.load, target);
    // B(N* + c, A*) = target M / A*, below B(N*, A*) = M / A* for the exact
    // group: c > 0. Rapp's group may block less than the target already as
    // c approaches 0: then 0.
    const double x = erlangb_fractional_circuits(g.load, target * t.mean / g.load) - g.circuits;
    return x > 0 ? x : 0.0;
}
