// SPDX-License-Identifier: MIT
// Extended Erlang B: blocked callers who try again. The contracts are in
// retrial.h.
#include "teletraffic/retrial.h"

#include <cmath>
#include <limits>

#include "teletraffic/blocking.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

bool in_domain(double n, double A0, double recall)
{
    return n > 0 && n <= erlangb_max_circuits && A0 >= 0 && A0 <= erlangb_max_load && recall >= 0 &&
           recall <= 1;
}

bool target_domain(double target) { return target > 0 && target < 1; }

// The offered load with retries, for arguments in the domain:
// f(a) = a (1 - r B(n, a)) - A0 rises with a (the blocked traffic a B rises
// at most one for one), f(A0) <= 0, and f grows past 0 as a doubles; Newton
// steps, f'(a) = 1 - r B (1 + slope) with the slope d ln B / d ln a, kept
// inside the bracket (halving it otherwise).
double offered(double n, double A0, double r)
{
    if (A0 == 0) return 0.0;
    if (r == 1 && A0 >= n) return HUGE_VAL;
    const auto f = [&](double a) {
        return a * (1 - r * std::exp(teletraffic::detail::continuous(n, a).lnB)) - A0;
    };
    double lo = A0;
    double hi = A0;
    while (f(hi) < 0) lo = hi, hi *= 2;
    double a = lo == hi ? lo : 0.5 * (lo + hi);
    for (int step = 0; step < 100 && hi - lo > 1e-15 * hi; ++step) {
        const teletraffic::detail::Blocking b = teletraffic::detail::continuous(n, a);
        const double B = std::exp(b.lnB);
        const double g = a * (1 - r * B) - A0;
        if (g == 0) return a;
        (g < 0 ? lo : hi) = a;
        const double next = a - g / (1 - r * B * (1 + b.slope));
        const double last = a;
        a = next > lo && next < hi ? next : 0.5 * (lo + hi);
        if (std::fabs(a - last) <= 1e-15 * a) break;
    }
    return a;
}

}  // namespace

double extended_erlangb_offered(double n, double A0, double recall)
{
    if (!in_domain(n, A0, recall)) return none;
    return offered(n, A0, recall);
}

double extended_erlangb(double n, double A0, double recall)
{
    if (!in_domain(n, A0, recall)) return none;
    return erlangb_continuous(n, offered(n, A0, recall));
}

double extended_erlangb_lost(double n, double A0, double recall)
{
    if (!in_domain(n, A0, recall)) return none;
    if (A0 == 0 || recall == 1) return 0.0;
    // At most 1 (it is B (1 - r) / (1 - r B)), which rounding may pass.
    const double a = offered(n, A0, recall);
    return std::fmin(1.0, a * erlangb_continuous(n, a) * (1 - recall) / A0);
}

int extended_erlangb_circuits(double A0, double recall, double target)
{
    if (!(A0 >= 0 && A0 <= erlangb_max_load && recall >= 0 && recall <= 1 && target_domain(target)))
        return 0;
    return erlangb_circuits(A0 / (1 - recall * target), target);
}

double extended_erlangb_fractional_circuits(double A0, double recall, double target)
{
    if (!(recall >= 0 && recall <= 1 && target_domain(target))) return none;
    return erlangb_fractional_circuits(A0 / (1 - recall * target), target);
}

double extended_erlangb_load(double n, double recall, double target)
{
    if (!(recall >= 0 && recall <= 1)) return none;
    return erlangb_continuous_load(n, target) * (1 - recall * target);
}
