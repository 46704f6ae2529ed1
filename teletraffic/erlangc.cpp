// SPDX-License-Identifier: MIT
// Erlang C: waiting, service level, mean wait and staffing. The contracts
// are in erlangc.h.
#include "teletraffic/erlangc.h"

#include <algorithm>
#include <cmath>

#include "teletraffic/blocking.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/falsi.h"
#include "teletraffic/targets.h"

using teletraffic::detail::at_most_one;
using teletraffic::detail::Blocking;
using teletraffic::detail::continuous;

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

bool in_domain(double s, double A)
{
    return s > 0 && s <= erlangb_max_circuits && A >= 0 && A <= erlangb_max_load;
}

// ln C and ln(1 - C) for s > A > 0.
struct Waiting {
    double lnC, ln_not;
};

// From ln B(s, A) and the slope s - A + A B, which for s > A never cancels:
// C = s B / slope, 1 - C = (s - A) (1 - B) / slope.
Waiting waiting(double s, double A, double lnB, double slope)
{
    const double ln_slope = std::log(slope);
    return {std::log(s) + lnB - ln_slope, std::log(s - A) + std::log(-std::expm1(lnB)) - ln_slope};
}

Waiting waiting(double s, double A)
{
    const Blocking b = continuous(s, A);
    return waiting(s, A, b.lnB, b.slope);
}

// A target on the queue as g(s) = ln C - k (s - A) - m ln(s - A) - ln T,
// which falls through 0 where the figure meets it exactly: the service
// level's unanswered share C e^(-(s - A) t) against 1 - level (k = t), the
// mean wait C / (s - A) (m = 1), the wait probability C (neither).
enum class Kind { level, wait, probability };
struct Goal {
    Kind kind;
    double k, m, lnT;
};

double goal_value(const Goal& goal, double s, double A, double lnC)
{
    return lnC - goal.k * (s - A) - goal.m * std::log(s - A) - goal.lnT;
}

// Whether n agents meet the target, by the figures the functions give.
bool meets(const StaffingTarget& target, Kind kind, double n, double A)
{
    switch (kind) {
    case Kind::level:
        return erlangc_service_level(n, A, target.answer_time) >= target.service_level;
    case Kind::wait: return erlangc_mean_wait(n, A) <= target.mean_wait;
    default: return erlangc(n, A) <= target.wait_probability;
    }
}

// The beta of the square-root staffing model s = A + beta sqrt(A) at which
// a target's g is 0: there C = 1 / (1 + e^L), L = ln(beta Phi(beta) /
// phi(beta)), and Newton's steps on g(beta), kept inside the bracket the
// signs give (halving it otherwise), settle in a few.
double model_beta(const Goal& goal, double A)
{
    constexpr double log_sqrt_2pi = 0.91893853320467274178;
    const double root_A = std::sqrt(A);
    double lo = 0;
    double hi = 40;
    double beta = 1;
    for (int i = 1;; ++i) {
        const double ln_Phi = std::log(0.5 * std::erfc(-beta / std::sqrt(2.0)));
        const double L = std::log(beta) + ln_Phi + 0.5 * beta * beta + log_sqrt_2pi;
        const double lnC = L > 30 ? -L - std::log1p(std::exp(-L)) : -std::log1p(std::exp(L));
        const double g = goal_value(goal, A + beta * root_A, A, lnC);
        (g > 0 ? lo : hi) = beta;
        // d lnC / d beta = -(1 - C) dL / d beta, dL = 1 / beta + phi / Phi + beta
        const double mills = std::exp(-0.5 * beta * beta - log_sqrt_2pi - ln_Phi);
        const double slope =
            -(1 - std::exp(lnC)) * (1 / beta + mills + beta) - goal.k * root_A - goal.m / beta;
        double next = beta - g / slope;
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        if (std::fabs(next - beta) < 1e-4 || i == 12) return next;
        beta = next;
    }
}

// The fewest whole agents n > A whose figures meet one queue target, or 0
// past erlangb_max_circuits: from the model's guess, one evaluation, the
// recurrence in ln B a step at a time up, and the figures at the count and
// one below to confirm it.
int goal_agents(const StaffingTarget& target, const Goal& goal, double A, int& evaluations)
{
    const int least = static_cast<int>(std::floor(A)) + 1;
    int n = std::max(least, static_cast<int>(std::ceil(A + model_beta(goal, A) * std::sqrt(A))));
    double lnB = continuous(n, A).lnB;
    ++evaluations;
    const double lnA = std::log(A);
    const auto g = [&](int m, double lnb) {
        const double slope = m - A + A * std::exp(lnb);
        return goal_value(goal, m, A, std::log(m) + lnb - std::log(slope));
    };
    // B(n + 1) = A B / (n + 1 + A B) up to the count; the model's guess lies
    // below it (a guess above is stepped down by the figures themselves).
    while (g(n, lnB) > 0) {
        if (n == erlangb_max_circuits) return 0;
        lnB = lnA + lnB - std::log(n + 1 + A * std::exp(lnB));
        ++n;
    }
    // The figures decide where they and the steps differ in rounding.
    const auto met = [&](int m) { return ++evaluations, meets(target, goal.kind, m, A); };
    while (!met(n)) {
        if (n == erlangb_max_circuits) return 0;
        ++n;
    }
    while (n > least && met(n - 1)) --n;
    return n;
}

// The queue targets set, as goals; false when one lies outside its domain.
bool goals(const StaffingTarget& target, Goal (&out)[3], int& count)
{
    count = 0;
    const auto probability = [](double p) { return p > 0 && p < 1; };
    if (!std::isnan(target.service_level) || !std::isnan(target.answer_time)) {
        if (!probability(target.service_level) || !(target.answer_time >= 0) ||
            std::isinf(target.answer_time))
            return false;
        out[count++] = {Kind::level, target.answer_time, 0, std::log1p(-target.service_level)};
    }
    if (!std::isnan(target.mean_wait)) {
        if (!(target.mean_wait > 0) || std::isinf(target.mean_wait)) return false;
        out[count++] = {Kind::wait, 0, 1, std::log(target.mean_wait)};
    }
    if (!std::isnan(target.wait_probability)) {
        if (!probability(target.wait_probability)) return false;
        out[count++] = {Kind::probability, 0, 0, std::log(target.wait_probability)};
    }
    return true;
}

// Whether s agents carrying A keep A / s at most `occupancy`: the double
// quotient, taken with both scaled by a power of two where A is small, so
// that it keeps its digits where it would be subnormal.
bool occupancy_met(double A, double s, double occupancy)
{
    const double scale = A < 1 ? 0x1p600 : 1;
    return A * scale / s <= occupancy * scale;
}

// The fewest whole agents n > A with A / n at most the occupancy target, or
// 0 past erlangb_max_circuits.
int occupancy_agents(double A, double occupancy)
{
    if (!(A / occupancy <= erlangb_max_circuits)) return 0;
    const int least = static_cast<int>(std::floor(A)) + 1;
    int n = std::max(least, static_cast<int>(std::ceil(A / occupancy)));
    while (!occupancy_met(A, n, occupancy)) ++n;
    while (n > least && occupancy_met(A, n - 1, occupancy)) --n;
    return n;
}

// The targets set, as goals on the queue and the occupancy's; false when
// none is set or one lies outside its domain.
bool targets(const StaffingTarget& target, Goal (&set)[3], int& count)
{
    const auto unset_or_share = [](double p) { return std::isnan(p) || (p > 0 && p < 1); };
    return goals(target, set, count) && unset_or_share(target.max_occupancy) &&
           unset_or_share(target.max_abandonment) && unset_or_share(target.max_blocking) &&
           (count > 0 || !std::isnan(target.max_occupancy) || !std::isnan(target.max_abandonment) ||
            !std::isnan(target.max_blocking));
}

// The agents of erlangc_agents, and the real agents of each target when
// `fractional` is given; the evaluations made are added to `evaluations`.
int agents(double A, const StaffingTarget& target, double* fractional, int& evaluations)
{
    Goal set[3];
    int count = 0;
    const double occupancy = target.max_occupancy;
    const bool occupancy_set = !std::isnan(occupancy);
    if (!targets(target, set, count) || !(A >= 0 && A <= erlangb_max_load)) return 0;
    if (A == 0) {
        if (fractional != nullptr) *fractional = 0;  // none wait
        return 1;
    }
    int whole = static_cast<int>(std::floor(A)) + 1;  // where nothing else binds
    double real = A;
    if (occupancy_set) {
        whole = occupancy_agents(A, occupancy);
        real = A / occupancy;
        if (whole == 0 || whole > erlangb_max_circuits) return 0;
    }
    for (int i = 0; i < count; ++i) {
        const Goal& goal = set[i];
        const int n = goal_agents(target, goal, A, evaluations);
        if (n == 0) return 0;
        whole = std::max(whole, n);
        if (fractional == nullptr) continue;
        // The real root in (n - 1, n], but above A, where g is +infinity
        // for the mean wait: halve the bracket until that end is finite.
        const auto g = [&](double s) {
            ++evaluations;
            return goal_value(goal, s, A, waiting(s, A).lnC);
        };
        double lo = std::max(A, n - 1.0);
        double hi = n;
        double g_lo = lo > A ? g(lo) : goal.kind == Kind::wait ? HUGE_VAL : -goal.lnT;
        const double g_hi = g(hi);
        while (std::isinf(g_lo) && hi - lo > 1e-12 * hi) {
            const double mid = 0.5 * (lo + hi);
            const double g_mid = g(mid);
            if (g_mid > 0)
                lo = mid, g_lo = g_mid;
            else
                hi = mid;
        }
        // Where the figures and g differ in rounding at an end, that end.
        // (A root within a rounding of A, a mean wait target beyond any
        // the agents could miss, leaves g infinite at lo: then hi.)
        double x = hi;
        if (!(g_lo > 0)) {
            x = lo + 1e-10;
        } else if (g_hi < 0 && std::isfinite(g_lo)) {
            int steps = 0;
            x = teletraffic::detail::falsi(g, lo, g_lo, hi, g_hi, [&](double a, double b) {
                return std::fabs(a - b) <= 1e-11 * std::fmax(1.0, b) || ++steps > 100;
            });
        }
        real = std::max(real, x);
    }
    if (fractional != nullptr) *fractional = real;
    return whole;
}

// The largest load below s at which s agents meet one queue target. g rises
// with the load, from -infinity near 0 to above 0 near s, and so with
// x = ln(A / (s - A)), which spreads (0, s) over the line: steps outward
// from the square-root model's guess bracket the root, and Anderson-Bjorck
// closes on it (the load to 1e-13). x stays where the load is
// a double above 0 and below s: a root below the least is 0, one above the
// most is the most.
double goal_load(const Goal& goal, double s, int& evaluations)
{
    const auto load = [s](double x) {
        return x < 0 ? s * std::exp(x) / (1 + std::exp(x)) : s / (1 + std::exp(-x));
    };
    int made = 0;  // this target's, for the cap
    const auto g = [&](double x) {
        ++made, ++evaluations;
        const double A = load(x);
        return goal_value(goal, s, A, waiting(s, A).lnC);
    };
    const double least = std::log(std::numeric_limits<double>::denorm_min() / s) + 1;
    constexpr double most = 36;  // e^-36 is above a rounding step of 1: A < s
    // s = A + beta sqrt(A), beta taken at s: sqrt(A) = (sqrt(beta^2 + 4 s) - beta) / 2,
    // and A / (s - A) = sqrt(A) / beta.
    const double beta = model_beta(goal, s);
    const double guess = std::log(0.5 * (std::sqrt(beta * beta + 4 * s) - beta) / beta);
    double x0 = std::fmin(most, std::fmax(least, guess));
    double g0 = g(x0);
    double x1 = x0;
    double g1 = g0;
    for (int i = 0; (g0 > 0) == (g1 > 0); ++i) {
        if (x1 == (g1 > 0 ? least : most)) return g1 > 0 ? 0.0 : load(most);
        x0 = x1, g0 = g1;
        const double step = std::ldexp(0.5, i);  // 0.5, 1, 2, ...: the ends within 12
        x1 = std::fmin(most, std::fmax(least, x0 + (g0 > 0 ? -step : step)));
        g1 = g(x1);
    }
    // A step dx moves the load by dA / A = dx (1 - A / s) = dx / (1 + e^x).
    return load(teletraffic::detail::falsi(g, x0, g0, x1, g1, [&](double a, double b) {
        return std::fabs(a - b) <= 1e-13 * (1 + std::exp(b)) || made >= 80;
    }));
}

}  // namespace

bool teletraffic::detail::targets_valid(const StaffingTarget& target)
{
    Goal set[3];
    int count = 0;
    return targets(target, set, count);
}

double erlangc(double s, double A)
{
    if (!in_domain(s, A)) return none;
    if (A == 0) return 0.0;
    if (s <= A) return 1.0;
    return at_most_one(std::exp(waiting(s, A).lnC));
}

double erlangc_service_level(double s, double A, double t)
{
    if (!in_domain(s, A) || !(t >= 0)) return none;
    if (A == 0) return 1.0;
    if (s <= A) return 0.0;
    const Waiting w = waiting(s, A);
    return at_most_one(std::exp(w.ln_not) - std::exp(w.lnC) * std::expm1(-(s - A) * t));
}

double erlangc_mean_wait(double s, double A)
{
    if (!in_domain(s, A)) return none;
    if (A == 0) return 0.0;
    if (s <= A) return HUGE_VAL;
    return std::exp(waiting(s, A).lnC - std::log(s - A));
}

int erlangc_agents(double A, const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    return agents(A, target, nullptr, *evaluations);
}

double erlangc_fractional_agents(double A, const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    double real = none;
    return agents(A, target, &real, *evaluations) == 0 ? none : real;
}

double erlangc_load(double s, const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    Goal set[3];
    int count = 0;
    if (!targets(target, set, count) || !(s > 0 && s <= erlangb_max_load)) return none;
    const bool occupancy_set = !std::isnan(target.max_occupancy);
    // With the abandonment or the blocking alone, met everywhere: the queue's limit, below s.
    double A = occupancy_set ? s * target.max_occupancy : std::nextafter(s, 0.0);
    for (int i = 0; i < count; ++i) A = std::fmin(A, goal_load(set[i], s, *evaluations));
    // The figures decide, as they do for erlangc_agents: a load a rounding
    // step or two past a target is stepped down to where they meet it.
    const auto met = [&](double load) {
        for (int i = 0; i < count; ++i)
            if (!meets(target, set[i].kind, s, load)) return false;
        return !occupancy_set || occupancy_met(load, s, target.max_occupancy);
    };
    for (int i = 0; i < 60 && !met(A); ++i) A -= std::ldexp(A, i - 52);
    return A;
}
