// SPDX-License-Identifier: MIT
// Inside the teletraffic library only, not installed: the root finders its
// solvers share once they hold a bracket, on reals and on whole numbers.
#ifndef TELETRAFFIC_FALSI_H
#define TELETRAFFIC_FALSI_H

#include <algorithm>
#include <cmath>

namespace teletraffic::detail {

// The root of g between x0 and x1, where g0 = g(x0) and g1 = g(x1) are
// finite and of opposite signs: regula falsi with Anderson and Bjorck's
// scaling of the value at an end that stays, so that both ends close in,
// superlinearly. Stops when g is 0 or done(x0, x1) holds for the ends at
// hand, and returns the last point evaluated. A step that rounding (or an
// infinite g) puts outside the ends, or NaN, bisects them instead.
template <class G, class Done>
double falsi(const G& g, double x0, double g0, double x1, double g1, const Done& done)
{
    while (g1 != 0 && !done(x0, x1)) {
        double x = x1 - g1 * (x1 - x0) / (g1 - g0);
        if (!(x >= std::fmin(x0, x1) && x <= std::fmax(x0, x1))) x = 0.5 * (x0 + x1);
        const double gx = g(x);
        if ((gx > 0) != (g1 > 0)) {
            x0 = x1, g0 = g1;
        } else {
            const double m = 1 - gx / g1;
            g0 *= m > 0 ? m : 0.5;
        }
        x1 = x, g1 = gx;
    }
    return x1;
}

// The least whole number in (lo, hi] whose excess is <= 0, the excess
// falling as the number grows: regula falsi on whole numbers (Illinois:
// an end that stays twice has its excess halved), each step at the whole
// number above its root. g_lo > 0 >= g_hi.
template <class Excess>
int whole_root(int lo, double g_lo, int hi, double g_hi, const Excess& excess_at)
{
    for (int side = 0; hi - lo > 1;) {
        const auto low = static_cast<double>(lo);
        const auto high = static_cast<double>(hi);
        double root = low + (high - low) * (g_lo / (g_lo - g_hi));
        if (!(root > low && root < high)) root = 0.5 * (low + high);
        const int n = std::min(hi - 1, std::max(lo + 1, static_cast<int>(std::ceil(root))));
        const double g = excess_at(n);
        if (g <= 0) {
            if (side == 1) g_lo /= 2;
            hi = n, g_hi = g, side = 1;
        } else {
            if (side == -1) g_hi /= 2;
            lo = n, g_lo = g, side = -1;
        }
    }
    return hi;
}

}  // namespace teletraffic::detail

#endif  // TELETRAFFIC_FALSI_H
