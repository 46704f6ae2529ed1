// SPDX-License-Identifier: MIT
// Fuzzes the teletraffic library with arbitrary doubles (subnormals,
// infinities, NaN, negative zero and all) and holds every public function to
// what its header promises: NaN (0 for a count) exactly outside the domain,
// results within their ranges, counts that agree with the figures, inverses
// that invert, monotone figures, and solvers that stop short of their caps.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "fuzz_stdin.h"
#include "teletraffic/engset.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/erlangx.h"
#include "teletraffic/overflow.h"
#include "teletraffic/poisson.h"
#include "teletraffic/retrial.h"

namespace {

// The input's doubles, read 8 bytes at a time as they lie; 0 once it runs out.
struct Doubles {
    const std::uint8_t* data;
    std::size_t size;
    double next()
    {
        double v = 0;
        if (size >= sizeof v) {
            std::memcpy(&v, data, sizeof v);
            data += sizeof v, size -= sizeof v;
        }
        return v;
    }
};

bool probability(double p) { return p > 0 && p < 1; }
bool load(double A) { return A >= 0 && A <= erlangb_max_load; }
bool agents(double s) { return s > 0 && s <= erlangb_max_circuits; }
// A double's value as a count of circuits, kept to a range whose walks are
// quick: the formula's cost grows with it.
int count(double v) { return std::isfinite(v) ? static_cast<int>(std::fmod(v, 200000.0)) : 0; }
// Within a relative distance.
bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance * b; }

// B at whole and real circuits, and its identities: within [0, 1], falling
// in the circuits, rising in the load, the recurrence B(x + 1) =
// A B / (x + 1 + A B), and the formula equal to the continuous function.
void blocking(double x, double A, int n)
{
    const double B = erlangb_continuous(x, A);
    FUZZ_CHECK(std::isnan(B) == !(x >= 0 && A >= 0));
    if (std::isnan(B)) return;
    FUZZ_CHECK(B >= 0 && B <= 1);
    FUZZ_CHECK(erlangb_continuous(x * 1.001 + 1e-9, A) <= B * (1 + 1e-12));
    FUZZ_CHECK(erlangb_continuous(x, A * 1.001 + 1e-300) >= B * (1 - 1e-12));
    if (std::isfinite(x) && std::isfinite(A) && x <= erlangb_max_circuits) {
        const double next = erlangb_continuous(x + 1, A);
        if (next > 1e-290) FUZZ_CHECK(near(next, A * B / (x + 1 + A * B), 1e-10));
    }
    const double formula = erlangb(n, A);
    FUZZ_CHECK(std::isnan(formula) == !(A >= 0 && std::isfinite(A)));
    if (!std::isnan(formula)) FUZZ_CHECK(formula >= 0 && formula <= 1);
    if (n >= 1 && load(A) && formula > 1e-290)
        FUZZ_CHECK(near(formula, erlangb_continuous(n, A), 1e-10));
}

// The inverses of B: the count and its real root, the load of whole and of
// real circuits; each inverts B within its stated accuracy and stops short
// of its cap.
void inverses(double A, double target, double x, double start)
{
    int evaluations = 0;
    const bool sizing = load(A) && probability(target);
    const int n = erlangb_circuits(A, target, &evaluations);
    FUZZ_CHECK((n > 0) == sizing);
    FUZZ_CHECK(evaluations <= 41);
    if (n > 0) {
        FUZZ_CHECK(erlangb(n, A) <= target);
        if (n > 1) FUZZ_CHECK(erlangb(n - 1, A) > target);
        const double real = erlangb_fractional_circuits(A, target, &evaluations);
        FUZZ_CHECK(real > n - 1 - 1e-9 && real <= n && evaluations < 100);
        if (A > 0 && real > 1e-6 && target > 1e-290) {
            FUZZ_CHECK(erlangb_continuous(real - 1e-8 * (1 + real), A) >= target * (1 - 1e-10));
            FUZZ_CHECK(erlangb_continuous(real + 1e-8 * (1 + real), A) <= target * (1 + 1e-10));
        }
    } else {
        FUZZ_CHECK(std::isnan(erlangb_fractional_circuits(A, target)));
    }

    // The load that x real circuits carry at the target: the root brackets
    // the target between a hair below and above it.
    const bool carrying = x > 0 && x <= erlangb_max_circuits && probability(target);
    const double carried = erlangb_continuous_load(x, target, &evaluations);
    FUZZ_CHECK(std::isnan(carried) == !carrying);
    if (!carrying) return;
    FUZZ_CHECK(carried >= 0 && carried <= x / (1 - target) * (1 + 1e-9));
    FUZZ_CHECK(evaluations <= 32);
    if (carried > 1e-290 && target > 1e-290) {
        FUZZ_CHECK(erlangb_continuous(x, carried * (1 - 1e-9)) <= target * (1 + 1e-10));
        FUZZ_CHECK(erlangb_continuous(x, carried * (1 + 1e-9)) >= target * (1 - 1e-10));
    }
    const int whole = static_cast<int>(std::ceil(x));
    if (whole != x) return;
    const double near_start = erlangb_load_near(whole, target, start, &evaluations);
    FUZZ_CHECK(evaluations < 100);
    FUZZ_CHECK(near(near_start, carried, 1e-11));
}

// The overflow of a group and the final group's blocking and size by each
// method, with the traffic either a group's overflow or given as it comes.
void overflow(double x, double A, double mean, double variance, double c, double target)
{
    const Traffic o = erlangb_overflow(x, A);
    const bool inside = x >= 0 && x <= erlangb_max_circuits && load(A);
    FUZZ_CHECK(std::isnan(o.mean) == !inside && std::isnan(o.variance) == !inside);
    if (inside) FUZZ_CHECK(o.mean >= 0 && o.mean <= A && o.variance >= o.mean * (1 - 1e-9));
    const Traffic t = inside && (x > 3 * mean) ? o : Traffic{mean, variance};
    const double Z = t.variance / t.mean;
    const bool none = t.mean == 0 && t.variance == 0;
    const bool grouped = none || (t.mean >= overflow_min_mean && t.mean <= overflow_max_mean &&
                                  t.variance >= t.mean && Z <= overflow_max_peakedness);
    int evaluations = 0;
    const EquivalentRandom g = erlangb_equivalent_random(t, &evaluations);
    FUZZ_CHECK(std::isnan(g.load) == !grouped && std::isnan(g.circuits) == !grouped);
    FUZZ_CHECK(evaluations <= 40);
    const EquivalentRandom rapp = erlangb_rapp(t);
    FUZZ_CHECK(std::isnan(rapp.load) == !grouped);
    if (grouped) {
        FUZZ_CHECK(g.load >= t.mean && g.circuits >= 0 && rapp.circuits >= 0);
        const Traffic back = erlangb_overflow(g.circuits, g.load);
        if (!none)
            FUZZ_CHECK(near(back.mean, t.mean, 1e-8) && near(back.variance, t.variance, 1e-8));
    }
    const bool hayward = none || (t.mean > 0 && Z > 0 && Z <= overflow_max_peakedness &&
                                  t.mean / Z <= erlangb_max_load);
    for (const OverflowMethod method :
         {OverflowMethod::equivalent_random, OverflowMethod::rapp, OverflowMethod::hayward}) {
        const bool has = method == OverflowMethod::hayward ? hayward : grouped;
        const double B = erlangb_overflow_blocking(t, c, method);
        FUZZ_CHECK(std::isnan(B) == !(has && c >= 0));
        if (std::isnan(B)) continue;
        FUZZ_CHECK(B >= 0 && B <= 1 && (c != 0 || B == 1));
        FUZZ_CHECK(erlangb_overflow_blocking(t, c * 1.001 + 1e-9, method) <= B * (1 + 1e-9));
        const int n = erlangb_overflow_circuits(t, target, method);
        FUZZ_CHECK((n > 0) == (target >= overflow_min_target && target < 1));
        const double real = erlangb_overflow_fractional_circuits(t, target, method);
        FUZZ_CHECK(std::isnan(real) == (n == 0));
        if (n == 0) continue;
        FUZZ_CHECK(erlangb_overflow_blocking(t, n, method) <= target);
        if (n > 1) FUZZ_CHECK(erlangb_overflow_blocking(t, n - 1, method) > target);
        const double slack = 1e-6 * (1 + (none ? 0 : Z));  // Hayward's circuits are times Z
        FUZZ_CHECK(real >= 0 && real <= n + slack && real > n - 1 - slack);
    }
    if (grouped) {
        const double B = erlangb_group_blocking(t, g, c);
        FUZZ_CHECK(std::isnan(B) == !(c >= 0));
        if (c >= 0) FUZZ_CHECK(near(B, erlangb_overflow_blocking(t, c), 1e-12));
    }
}

// Erlang C's figures: probabilities in [0, 1], the service level at least
// the share that does not wait and rising with the time, the mean wait
// from 0 to infinity.
void waiting(double s, double A, double t)
{
    const bool inside = agents(s) && load(A);
    const double C = erlangc(s, A);
    FUZZ_CHECK(std::isnan(C) == !inside);
    const double level = erlangc_service_level(s, A, t);
    FUZZ_CHECK(std::isnan(level) == !(inside && t >= 0));
    const double wait = erlangc_mean_wait(s, A);
    FUZZ_CHECK(std::isnan(wait) == !inside);
    if (!inside) return;
    FUZZ_CHECK(C >= 0 && C <= 1 && wait >= 0);
    if (agents(s * 1.001)) FUZZ_CHECK(erlangc(s * 1.001, A) <= C * (1 + 1e-12));
    if (std::isnan(level)) return;
    FUZZ_CHECK(level >= 0 && level <= 1);
    FUZZ_CHECK(level >= 1 - C - 1e-12);
    FUZZ_CHECK(erlangc_service_level(s, A, t * 1.5 + 1e-9) >= level * (1 - 1e-12));
}

// Staffing: the count meets every target set and one agent fewer does not
// (while above the load); the real count lies in the whole one's last agent.
void staffing(double A, const StaffingTarget& target, unsigned set)
{
    int evaluations = 0;
    const int n = erlangc_agents(A, target, &evaluations);
    FUZZ_CHECK(n >= 0 && evaluations < 200);
    const double real = erlangc_fractional_agents(A, target, &evaluations);
    FUZZ_CHECK(std::isnan(real) == (n == 0));
    if (n == 0) {
        // Outside the domains, or more agents than erlangb_max_circuits.
        const bool level = set & 1 ? probability(target.service_level) && target.answer_time >= 0 &&
                                         std::isfinite(target.answer_time)
                                   : true;
        const bool wait = set & 2 ? target.mean_wait > 0 && std::isfinite(target.mean_wait) : true;
        const bool p = set & 4 ? probability(target.wait_probability) : true;
        const bool o =
            set & 8 ? probability(target.max_occupancy) && A / target.max_occupancy < 1e6 : true;
        if (load(A) && level && wait && p && o && set != 0 && A < 1e5)
            FUZZ_CHECK(!"a load within the domain and below 100000 erlangs has no staff");
        return;
    }
    FUZZ_CHECK(n > A && real > n - 1 - 1e-9 && real <= n);
    const auto meets_at = [&](int m, double load) {
        return (!(set & 1) ||
                erlangc_service_level(m, load, target.answer_time) >= target.service_level) &&
               (!(set & 2) || erlangc_mean_wait(m, load) <= target.mean_wait) &&
               (!(set & 4) || erlangc(m, load) <= target.wait_probability) &&
               // (the quotient as a double, scaled as the library scales it
               // where a double's quotient would be subnormal)
               (!(set & 8) ||
                (load < 1 ? std::ldexp(load, 600) / m <= std::ldexp(target.max_occupancy, 600)
                          : load / m <= target.max_occupancy));
    };
    const auto meets = [&](int m) { return meets_at(m, A); };
    FUZZ_CHECK(meets(n));
    if (n - 1 > A) FUZZ_CHECK(!meets(n - 1));

    // The load n agents carry: at least A, which they meet, and met there.
    const double carried = erlangc_load(n, target, &evaluations);
    FUZZ_CHECK(std::isnan(carried) == (n > erlangb_max_load));
    if (std::isnan(carried)) return;
    FUZZ_CHECK(evaluations <= 3 * 80 && carried < n);
    // Where a target lies among the subnormals, or a service level within
    // 1e-12 of 1, its figure has too few digits to judge by, and the load
    // the figures meet may fall short of A.
    const bool blurred = (set & 2 && target.mean_wait < 1e-290) ||
                         (set & 4 && target.wait_probability < 1e-290) ||
                         (set & 1 && target.service_level > 1 - 1e-12);
    if (!blurred) FUZZ_CHECK(carried >= A * (1 - 1e-9));
    if (carried > 0) FUZZ_CHECK(meets_at(n, carried));
}

// Erlang A's figures: NaN exactly outside the domain; shares in [0, 1]; the
// abandons among the calls that wait, those within t among all; the
// service level at most the share not abandoning; staffing for the
// abandonment that meets it, whose load comes back to it; and real agents
// for an occupancy that meet it.
void abandoning(double s, double A, double patience, double t)
{
    const bool inside = agents(s) && load(A) && patience > 0;
    const double wait = erlanga_wait_probability(s, A, patience);
    const double lost = erlanga_abandonment(s, A, patience);
    const double level = erlanga_service_level(s, A, patience, t);
    const double within = erlanga_abandoned_within(s, A, patience, t);
    const double asa = erlanga_mean_wait(s, A, patience);
    FUZZ_CHECK(std::isnan(wait) == !inside && std::isnan(lost) == !inside);
    FUZZ_CHECK(std::isnan(asa) == !inside);
    FUZZ_CHECK(std::isnan(level) == !(inside && t >= 0) && std::isnan(within) == std::isnan(level));
    if (!inside) return;
    FUZZ_CHECK(wait >= 0 && wait <= 1 && lost >= 0 && lost <= wait * (1 + 1e-12) + 1e-300);
    FUZZ_CHECK(asa >= 0);
    if (std::isnan(level)) return;
    FUZZ_CHECK(level >= 0 && level <= 1 - lost + 1e-12);
    FUZZ_CHECK(within >= 0 && within <= lost * (1 + 1e-12));
    StaffingTarget target;
    target.max_abandonment = 0.5 * (lost + 0.5);
    const bool valid = probability(target.max_abandonment) && A <= 1e5;
    if (!valid) return;
    int evaluations = 0;
    const int n = erlanga_agents(A, patience, target, &evaluations);
    FUZZ_CHECK(n > 0 && evaluations <= 40);
    FUZZ_CHECK(erlanga_abandonment(n, A, patience) <= target.max_abandonment);
    const double carried = erlanga_load(n, patience, target, &evaluations);
    FUZZ_CHECK(carried >= A * (1 - 1e-9) && evaluations <= 60);
    // The occupancy, from the answered share itself, meets its target at the
    // real agents staffed for it, however nearly every caller abandons there.
    const double busy = erlanga_occupancy(s, A, patience);
    FUZZ_CHECK(busy >= 0 && busy <= 1);
    StaffingTarget occupancy;
    occupancy.max_occupancy = 0.01 + 0.98 * busy;
    const double real = erlanga_fractional_agents(A, patience, occupancy);
    // (A load below the normal doubles has too few digits to judge by.)
    if (A > 1e-290)
        FUZZ_CHECK(erlanga_occupancy(real, A, patience) <= occupancy.max_occupancy * (1 + 1e-9));
}

// Engset's figures: NaN exactly outside the domain; shares in [0, 1], the
// call congestion at most the time congestion and the traffic congestion
// at most the call congestion; the offered traffic back from beta; the
// circuits for it meet the target where one fewer misses. Counts are kept
// to a few thousand, whose passes are quick.
void few_sources(double a, double b, double beta, double d)
{
    const int n = std::isfinite(a) ? static_cast<int>(std::fmod(a, 3000.0)) : -1;
    const int S = std::isfinite(b) ? static_cast<int>(std::fmod(b, 5000.0)) : 0;
    const bool inside = n >= 0 && S >= 1 && beta >= 0 && std::isfinite(beta);
    const double time = engset_time_congestion(n, S, beta);
    const double call = engset_call_congestion(n, S, beta);
    const double traffic = engset_traffic_congestion(n, S, beta);
    const double carried = engset_carried(n, S, beta);
    const double E = engset_offered(n, S, beta);
    FUZZ_CHECK(std::isnan(time) == !inside && std::isnan(call) == !inside);
    FUZZ_CHECK(std::isnan(traffic) == !inside && std::isnan(carried) == !inside);
    FUZZ_CHECK(std::isnan(E) == !inside);
    if (!inside) return;
    FUZZ_CHECK(time >= 0 && time <= 1 && call >= 0 && call <= time * (1 + 1e-12));
    FUZZ_CHECK(traffic >= 0 && traffic <= call * (1 + 1e-12));
    FUZZ_CHECK(carried >= 0 && carried <= std::min(n, S) * (1 + 1e-12) &&
               E >= carried * (1 - 1e-12));
    if (!(E > 0 && std::isfinite(E)) || (n >= S && E >= S)) return;  // (past the doubles)
    FUZZ_CHECK(near(engset_offered(n, S, engset_beta(n, S, E)), E, 1e-12));
    const double target = std::fabs(std::fmod(d, 1.0));
    if (!probability(target)) return;
    const int k = engset_circuits(S, E, target);
    FUZZ_CHECK(k > 0 || E >= S);
    if (k == 0) return;
    const auto blocking = [&](int m) {
        return m >= S ? 0.0 : engset_call_congestion(m, S, engset_beta(m, S, E));
    };
    FUZZ_CHECK(blocking(k) <= target * (1 + 1e-9));
    if (k > 1) FUZZ_CHECK(blocking(k - 1) > target * (1 - 1e-9));
}

// Extended Erlang B and the Poisson formula: NaN exactly outside the
// domain; shares in [0, 1]; the offered load a fixed point, a (1 - recall
// B) = A0, at least A0; the Poisson blocking falling in the circuits; each
// count blocking at most the target where one fewer blocks more.
void retrying(double x, double A, double recall, double d)
{
    const bool inside = x > 0 && x <= erlangb_max_circuits && load(A);
    const double a = extended_erlangb_offered(x, A, recall);
    const double B = extended_erlangb(x, A, recall);
    const double lost = extended_erlangb_lost(x, A, recall);
    const double P = poisson_blocking(x, A);
    const bool retries = inside && recall >= 0 && recall <= 1;
    FUZZ_CHECK(std::isnan(a) == !retries && std::isnan(B) == !retries);
    FUZZ_CHECK(std::isnan(lost) == !retries && std::isnan(P) == !inside);
    if (!inside) return;
    FUZZ_CHECK(P >= 0 && P <= 1);
    if (x + 1 <= erlangb_max_circuits) FUZZ_CHECK(poisson_blocking(x + 1, A) <= P * (1 + 1e-12));
    const double target = std::fabs(std::fmod(d, 1.0));
    if (probability(target)) {
        const int n = poisson_circuits(A, target);
        FUZZ_CHECK(n > 0 && poisson_blocking(n, A) <= target * (1 + 1e-9));
        if (n > 1) FUZZ_CHECK(poisson_blocking(n - 1, A) > target * (1 - 1e-9));
    }
    if (!retries) return;
    FUZZ_CHECK(a >= A && B >= 0 && B <= 1 && lost >= 0 && lost <= 1);
    if (std::isfinite(a) && A > 1e-290) FUZZ_CHECK(near(a * (1 - recall * B), A, 1e-9));
    if (!probability(target)) return;
    const int n = extended_erlangb_circuits(A, recall, target);
    if (n == 0) return;
    FUZZ_CHECK(extended_erlangb(n, A, recall) <= target * (1 + 1e-9));
    if (n > 1) FUZZ_CHECK(extended_erlangb(n - 1, A, recall) > target * (1 - 1e-9));
}

// Erlang X at up to 60 agents and 400 places more, or endless lines: NaN
// outside the domain, and where the lines are finite nowhere else; shares
// in [0, 1] that add up (the blocked and the waiting, the abandoning among
// the waiting, the answered within t among the answered); as many lines
// as agents block as Erlang B does; the offered load with redials a fixed
// point between the fresh load and that over 1 - redial.
void limited(double a, double b, double A, double patience, double t)
{
    const double s = std::isfinite(a) ? std::floor(std::fabs(std::fmod(a, 60.0))) : 0;
    const double lines =
        std::isfinite(b) ? s + std::floor(std::fabs(std::fmod(b, 400.0))) : HUGE_VAL;
    const bool inside = s >= 1 && load(A) && patience > 0;
    const double wait = erlangx_wait_probability(s, A, lines, patience);
    FUZZ_CHECK(inside || std::isnan(wait));
    FUZZ_CHECK(!inside || std::isinf(lines) || !std::isnan(wait));
    if (std::isnan(wait)) return;
    const double blocked = erlangx_blocking(s, A, lines, patience);
    const double abandon = erlangx_abandonment(s, A, lines, patience);
    const double slack = 1 + 1e-12;
    FUZZ_CHECK(blocked >= 0 && wait >= 0 && blocked + wait <= slack);
    FUZZ_CHECK(abandon >= 0 && abandon <= wait * slack);
    FUZZ_CHECK(erlangx_mean_wait(s, A, lines, patience) >= 0);
    FUZZ_CHECK(erlangx_virtual_mean_wait(s, A, lines, patience) >= 0);
    if (t >= 0 && std::isfinite(t)) {
        const double level = erlangx_service_level(s, A, lines, patience, t);
        const double answered = erlangx_answered_service_level(s, A, lines, patience, t);
        const double offered = erlangx_virtual_service_level(s, A, lines, patience, t);
        // (1 less the others cancels: 1e-12 absolute)
        FUZZ_CHECK(level >= 0 && level <= 1 - blocked - abandon + 1e-12);
        FUZZ_CHECK(answered >= level / slack && answered <= slack);
        FUZZ_CHECK(offered >= 0 && offered <= slack);
    }
    const double B = erlangb(static_cast<int>(s), A);
    if (B > 1e-290) FUZZ_CHECK(near(erlangx_blocking(s, A, s, patience), B, 1e-9));
    const double redial = std::fabs(std::fmod(t, 1.0));
    const double offered = erlangx_offered(s, A, lines, patience, redial);
    if (!std::isfinite(offered) || A < 1e-290) return;
    const double lost = erlangx_blocking(s, offered, lines, patience) +
                        erlangx_abandonment(s, offered, lines, patience);
    FUZZ_CHECK(offered >= A / slack && offered <= A / (1 - redial) * slack);
    FUZZ_CHECK(near(offered * (1 - redial * lost), A, 1e-9));
}

// Whether s agents meet the one target set in `target` (of kind `kind`,
// as limited_staffing numbers them) at the fresh load A0, by the figures.
bool limited_meets(int kind, const StaffingTarget& target, double s, double A0, double lines,
                   double patience, double redial)
{
    const double A = redial == 0 ? A0 : erlangx_offered(s, A0, lines, patience, redial);
    const double t = target.answer_time;
    switch (kind) {
    case 0: return erlangx_service_level(s, A, lines, patience, t) >= target.service_level;
    case 1: return erlangx_answered_service_level(s, A, lines, patience, t) >= target.service_level;
    case 2: return erlangx_virtual_service_level(s, A, lines, patience, t) >= target.service_level;
    case 3: return erlangx_wait_probability(s, A, lines, patience) <= target.wait_probability;
    case 4: return erlangx_abandonment(s, A, lines, patience) <= target.max_abandonment;
    case 5: return erlangx_blocking(s, A, lines, patience) <= target.max_blocking;
    default: return erlangx_mean_wait(s, A, lines, patience) <= target.mean_wait;
    }
}

// Erlang X's staffing, load and patience for one target of kind `kind`
// (the service level of offered, answered and virtual calls, the wait
// probability, the abandonment, the blocking, the mean wait) at fresh
// loads below 50 erlangs and up to 60 lines: the agents meet it and one
// fewer miss; the load's agents meet it; the patience gives the share.
void limited_staffing(int kind, double a, double b, double patience, double v, double t)
{
    const double A0 = std::isfinite(a) ? std::fabs(std::fmod(a, 50.0)) : a;
    const double lines = std::isfinite(b) ? 1 + std::floor(std::fabs(std::fmod(b, 60.0))) : b;
    const double share = std::isfinite(v) ? std::fabs(std::fmod(v, 1.0)) : v;
    const double redial = std::isfinite(t) && t > 0 ? std::fmod(t, 1.0) : 0;
    if (!(patience <= 20 || std::isinf(patience)) || A0 * patience > 500) return;  // quick runs
    StaffingTarget target;
    double* const field[] = {&target.service_level,   &target.service_level,
                             &target.service_level,   &target.wait_probability,
                             &target.max_abandonment, &target.max_blocking,
                             &target.mean_wait};
    *field[kind] = kind == 6 ? share * 3 : share;
    if (kind <= 2) target.answer_time = share / 4;
    target.service_level_of = static_cast<ServiceLevelOf>(kind <= 2 ? kind : 0);
    const int n = erlangx_agents(A0, lines, patience, redial, target);
    if (n > 0) {
        FUZZ_CHECK(n <= lines);
        FUZZ_CHECK(limited_meets(kind, target, n, A0, lines, patience, redial));
        FUZZ_CHECK(n == 1 || !limited_meets(kind, target, n - 1, A0, lines, patience, redial));
        const double load = erlangx_load(n, lines, patience, redial, target);
        FUZZ_CHECK(std::isnan(load) || load == 0 ||
                   limited_meets(kind, target, n, load, lines, patience, redial));
    }
    const double s = std::fmin(lines, std::fmax(1.0, std::ceil(A0)));
    const double p = erlangx_patience(s, A0, lines, share);
    FUZZ_CHECK(std::isnan(p) || p > 0);
}

}  // namespace

// The first byte chooses the family of functions (240 to 247: Erlang X's
// figures; 248 and above its staffing, the low three bits the target);
// the rest are doubles.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    Doubles d{data + 1, size - 1};
    const double a = d.next(), b = d.next(), c = d.next(), e = d.next();
    if (data[0] >= 248) {
        limited_staffing(data[0] % 7, a, b, c, e, d.next());
        return 0;
    }
    if (data[0] >= 240) {
        limited(a, b, c, e, d.next());
        return 0;
    }
    switch (data[0] % 8) {
    case 0: blocking(a, b, count(c)); break;
    case 1: inverses(a, b, c, e); break;
    case 2: overflow(a, b, c, e, d.next(), d.next()); break;
    case 3: waiting(a, b, c); break;
    case 4: abandoning(a, b, c, e); break;
    case 6: few_sources(a, b, c, e); break;
    case 7: retrying(a, b, c, e); break;
    default: {
        // The second byte's low four bits choose the targets set.
        const unsigned set = size > 1 ? data[1] & 15u : 1u;
        StaffingTarget target;
        if (set & 1) target.service_level = b, target.answer_time = c;
        if (set & 2) target.mean_wait = e;
        if (set & 4) target.wait_probability = d.next();
        if (set & 8) target.max_occupancy = d.next();
        // A NaN target is one not set.
        const unsigned given = (set & 1 && !(std::isnan(b) && std::isnan(c)) ? 1u : 0u) |
                               (std::isnan(target.mean_wait) ? 0u : 2u) |
                               (std::isnan(target.wait_probability) ? 0u : 4u) |
                               (std::isnan(target.max_occupancy) ? 0u : 8u);
        staffing(a, target, given);
    }
    }
    return 0;
}
