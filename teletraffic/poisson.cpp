// SPDX-License-Identifier: MIT
// The Poisson formula: blocked calls held. The contracts are in poisson.h.
#include "teletraffic/poisson.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "teletraffic/blocking.h"
#include "teletraffic/falsi.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

bool target_domain(double target) { return target > 0 && target < 1; }

// P(n, A) for n > 0 and A > 0.
double blocking(double n, double A)
{
    const teletraffic::detail::IncompleteGamma g = teletraffic::detail::incomplete_gamma(n, A);
    return std::fmin(1.0, std::exp(g.lnP) + std::exp(g.ln_poisson + g.ln_poisson_lo));
}

// ln P(n, A) - ln target, finite where P is 0.
double excess(double n, double A, double target)
{
    return std::log(std::fmax(blocking(n, A), std::numeric_limits<double>::denorm_min())) -
           std::log(target);
}

}  // namespace

double poisson_blocking(double n, double A)
{
    if (!(n > 0 && n <= erlangb_max_circuits && A >= 0 && A <= erlangb_max_load)) return none;
    return A == 0 ? 0.0 : blocking(n, A);
}

int poisson_circuits(double A, double target)
{
    if (!(A >= 0 && A <= erlangb_max_load && target_domain(target))) return 0;
    if (A == 0) return 1;
    // P falls as the circuits grow: from Erlang B's count out, doubling,
    // to a bracket (no circuits block everything).
    const auto excess_at = [&](int n) { return excess(n, A, target); };
    int lo = 0;
    double g_lo = HUGE_VAL;
    int hi = std::max(1, erlangb_circuits(A, target));
    double g_hi = excess_at(hi);
    while (g_hi > 0) {
        if (hi == erlangb_max_circuits) return 0;
        lo = hi, g_lo = g_hi;
        hi = std::min(erlangb_max_circuits, 2 * hi);
        g_hi = excess_at(hi);
    }
    return teletraffic::detail::whole_root(lo, g_lo, hi, g_hi, excess_at);
}

double poisson_fractional_circuits(double A, double target)
{
    const int n = poisson_circuits(A, target);
    if (n == 0) return none;
    if (A == 0) return 0.0;
    // P falls over (n - 1, n]; no circuits block everything.
    const auto g = [&](double x) { return excess(x, A, target); };
    const double g_hi = g(n);
    if (g_hi == 0) return n;
    int steps = 0;
    return teletraffic::detail::falsi(
        g, n - 1, n > 1 ? g(n - 1) : -std::log(target), n, g_hi, [&](double a, double b) {
            return std::fabs(a - b) <= 1e-15 * std::fmax(1.0, b) || ++steps > 100;
        });
}

double poisson_load(double n, double target)
{
    if (!(n > 0 && n <= erlangb_max_circuits && target_domain(target))) return none;
    // P rises with the load: steps in ln A from Erlang B's load bracket the
    // target, regula falsi closes.
    const auto g = [&](double u) { return excess(n, std::exp(u), target); };
    double u0 = std::log(erlangb_continuous_load(n, target));
    if (!std::isfinite(u0)) u0 = std::log(n);
    double g0 = g(u0);
    double u1 = u0;
    double g1 = g0;
    for (int i = 0; (g0 > 0) == (g1 > 0) && i < 60; ++i) {
        u0 = u1, g0 = g1;
        u1 = std::fmin(std::log(erlangb_max_load), u0 + (g0 > 0 ? -1 : 1) * std::ldexp(0.5, i));
        g1 = g(u1);
    }
    if ((g0 > 0) == (g1 > 0)) return g1 > 0 ? 0.0 : erlangb_max_load;
    int steps = 0;
    return std::exp(teletraffic::detail::falsi(g, u0, g0, u1, g1, [&](double a, double b) {
        return std::fabs(a - b) <= 1e-15 * std::fmax(1.0, std::fabs(b)) || ++steps > 100;
    }));
}
