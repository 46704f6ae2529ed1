// SPDX-License-Identifier: MIT
// Engset: few sources. The contracts are in engset.h.
//
// With S sources of traffic beta per idle source, the states k = 0 .. n
// busy circuits weigh C(S, k) beta^k (a truncated binomial), so that the
// time congestion E = C(S, n) beta^n / (sum over k <= n), whose inverse
// steps as 1 / E_k = 1 + k / ((S - k + 1) beta) / E_(k-1) from 1 / E_0 = 1.
// An arriving call sees the states of S - 1 sources (the caller is idle),
// so the call congestion B is the time congestion of S - 1 sources. The
// carried traffic Y then satisfies Y = E (1 - B) with E = beta (S - Y).
#include "teletraffic/engset.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "teletraffic/erlangb.h"
#include "teletraffic/falsi.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// The time congestion and its complement, each to its own digits (the
// complement from the last step's term, before 1 is added to it).
struct Congestion {
    double blocked, open;
};

// The time congestion of n circuits and S >= 0 sources (none: every
// circuit idle, 1 where n = 0), for n >= 0 and beta >= 0.
Congestion time_congestion(int n, int S, double beta)
{
    if (n > S) return {0, 1};
    double inverse = 1;  // 1 / E_k
    double last = 0;     // 1 / E_k - 1
    for (int k = 1; k <= n; ++k) {
        last = k / ((S - k + 1) * beta) * inverse;
        inverse = 1 + last;
    }
    // (Past the largest double, E is 0 and its complement 1.)
    if (std::isinf(inverse)) return {0, 1};
    return {1 / inverse, last / inverse};
}

bool sources_domain(int S) { return S >= 1 && S <= erlangb_max_circuits; }

bool figures_domain(int n, int S, double beta)
{
    return n >= 0 && sources_domain(S) && beta >= 0 && std::isfinite(beta);
}

bool target_domain(double target) { return target > 0 && target < 1; }

// The offered traffic E = S beta / (1 + beta (1 - B)), B the call
// congestion, as S / (1 / beta + 1 - B), which no beta overflows.
double offered(int n, int S, double beta)
{
    return S / (1 / beta + time_congestion(n, S - 1, beta).open);
}

// The call congestion of n circuits at total offered traffic E, judged
// against the target: ln B - ln target (finite where B is 0). E must be
// reachable (below S where n >= S).
double excess(int n, int S, double E, double target)
{
    const double B = time_congestion(n, S - 1, engset_beta(n, S, E)).blocked;
    return std::log(std::fmax(B, std::numeric_limits<double>::denorm_min())) - std::log(target);
}

}  // namespace

double engset_time_congestion(int n, int S, double beta)
{
    if (!figures_domain(n, S, beta)) return none;
    return time_congestion(n, S, beta).blocked;
}

double engset_call_congestion(int n, int S, double beta)
{
    if (!figures_domain(n, S, beta)) return none;
    return time_congestion(n, S - 1, beta).blocked;
}

double engset_traffic_congestion(int n, int S, double beta)
{
    if (!figures_domain(n, S, beta)) return none;
    const Congestion c = time_congestion(n, S - 1, beta);
    return c.blocked / (1 + beta * c.open);
}

double engset_carried(int n, int S, double beta)
{
    if (!figures_domain(n, S, beta)) return none;
    const double y = beta * time_congestion(n, S - 1, beta).open;
    return S / (1 / y + 1);  // S y / (1 + y), which no y overflows
}

double engset_offered(int n, int S, double beta)
{
    if (!figures_domain(n, S, beta)) return none;
    return offered(n, S, beta);
}

double engset_beta(int n, int S, double E)
{
    if (!(n >= 0 && sources_domain(S) && E >= 0 && std::isfinite(E)) || (n >= S && E >= S))
        return none;
    if (E == 0) return 0.0;
    // E <= S beta (the idle sources are at most S), and E >= S beta /
    // (1 + beta) where nothing is blocked, E >= beta (S - n) where n < S
    // (at most n busy): the root lies between.
    const double lo = E / S;
    double hi = E < S ? E / (S - E) : HUGE_VAL;
    if (n < S) hi = std::fmin(hi, E / (S - n));
    const auto g = [&](double beta) { return offered(n, S, beta) - E; };
    const double g_lo = g(lo);
    const double g_hi = g(hi);
    if (!(g_lo < 0)) return lo;
    if (!(g_hi > 0)) return hi;
    int steps = 0;
    return teletraffic::detail::falsi(g, lo, g_lo, hi, g_hi, [&](double a, double b) {
        return std::fabs(a - b) <= 1e-15 * b || ++steps > 100;
    });
}

int engset_circuits(int S, double E, double target)
{
    if (!(sources_domain(S) && E >= 0 && std::isfinite(E) && target_domain(target))) return 0;
    // n >= S blocks nothing, where S sources can offer E at all.
    const auto excess_at = [&](int n) {
        if (n >= S) return E < S ? -HUGE_VAL : HUGE_VAL;
        return excess(n, S, E, target);
    };
    // Erlang B's count: Poisson traffic of the same load, rougher than the
    // sources' (whose busy ones stop calling), blocks more. The answer lies
    // at or below it, and at or below S; where neither meets the target, E
    // is at or above S and too much even for S - 1 circuits.
    const int hi =
        std::min(S, std::max(1, erlangb_circuits(std::fmin(E, erlangb_max_load), target)));
    const double g_hi = excess_at(hi);
    if (g_hi > 0) return 0;
    return teletraffic::detail::whole_root(0, HUGE_VAL, hi, g_hi, excess_at);
}

double engset_load(int n, int S, double target)
{
    if (!(n >= 0 && sources_domain(S) && target_domain(target))) return none;
    if (n >= S) return S;
    if (n == 0) return 0.0;
    // The call congestion rises with beta: steps in ln beta from Erlang B's
    // load spread over S - 1 sources bracket the target, regula falsi
    // closes.
    const auto g = [&](double u) {
        const double B = time_congestion(n, S - 1, std::exp(u)).blocked;
        return std::log(std::fmax(B, std::numeric_limits<double>::denorm_min())) - std::log(target);
    };
    double u0 = std::log(erlangb_load(n, target) / (S - 1));
    double g0 = g(u0);
    double u1 = u0;
    double g1 = g0;
    for (int i = 0; (g0 > 0) == (g1 > 0); ++i) {
        u0 = u1, g0 = g1;
        u1 = u0 + (g0 > 0 ? -1 : 1) * std::ldexp(0.5, i);
        g1 = g(u1);
    }
    int steps = 0;
    const double u = teletraffic::detail::falsi(g, u0, g0, u1, g1, [&](double a, double b) {
        return std::fabs(a - b) <= 1e-15 * std::fmax(1.0, std::fabs(b)) || ++steps > 100;
    });
    return offered(n, S, std::exp(u));
}

int engset_sources(int n, double a, double target)
{
    if (!(n >= 1 && a > 0 && a < 1 && target_domain(target))) return 0;
    constexpr int most = erlangb_max_circuits;
    // S <= n blocks nothing; more sources block more.
    const auto excess_at = [&](int S) {
        if (S <= n) return -HUGE_VAL;
        return excess(n, S, a * S, target);
    };
    // Erlang B's load over a, for sources without end, is about the answer:
    // out from it, doubling, to a bracket.
    int lo = n;
    double g_lo = -HUGE_VAL;
    const double guess = std::ceil(erlangb_load(n, target) / a);
    int hi = std::max(n + 1, static_cast<int>(std::fmin(guess, most)));
    double g_hi = excess_at(hi);
    while (g_hi <= 0) {
        if (hi >= most) return 0;
        lo = hi, g_lo = g_hi;
        hi = std::min(most, 2 * hi);
        g_hi = excess_at(hi);
    }
    // Now lo meets and hi misses: the most that meets is one below the
    // least that misses, the least whose negated excess is below 0 (a tie
    // meets).
    constexpr double least = std::numeric_limits<double>::denorm_min();
    const auto misses = [&](int S) {
        const double e = excess_at(S);
        return e > 0 ? -e : std::fmax(-e, least);
    };
    return teletraffic::detail::whole_root(lo, std::fmax(-g_lo, least), hi, -g_hi, misses) - 1;
}
