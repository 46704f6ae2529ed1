// SPDX-License-Identifier: MIT
// Erlang X's figures. The contracts are in erlangx.h.
#include "teletraffic/erlangx.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "teletraffic/blocking.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/falsi.h"
#include "teletraffic/targets.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double most_places = 1e5;
// Endless lines' queue is summed to 3,000 places, Erlang A's quadrature
// beyond (as erlanga.h itself chooses).
constexpr double endless_places = 3000;

// A number >= 0 as v 2^e, v in [0.5, 1) or 0: the weights of a queue of
// thousands of places, growing by 3 a place, and the chance of waiting past
// t at 20,000 holding times of agents' work, pass a double's range.
struct Scaled {
    double v = 0;
    int e = 0;
};

// v 2^e, normalized.
Scaled scaled(double v, int e = 0)
{
    int k = 0;
    const double m = std::frexp(v, &k);
    return {m, m == 0 ? 0 : e + k};
}

Scaled times(Scaled a, double r) { return scaled(a.v * r, a.e); }

Scaled times(Scaled a, Scaled b) { return scaled(a.v * b.v, a.e + b.e); }

Scaled plus(Scaled a, Scaled b)
{
    if (a.v == 0) return b;
    if (b.v == 0) return a;
    if (a.e < b.e) std::swap(a, b);
    return scaled(a.v + std::ldexp(b.v, b.e - a.e), a.e);
}

// a / b, b > 0.
double ratio(Scaled a, Scaled b) { return std::ldexp(a.v / b.v, a.e - b.e); }

// a as a double (0 below the smallest).
double value(Scaled a) { return std::ldexp(a.v, a.e); }

// e^(-c) (1 + lo) for c >= 0, its power of 2 split off exactly (ln 2 in
// two parts, the first with trailing zeros, so that k times it is exact);
// 0 past e^(-1e9), far below anything a sum here could use.
Scaled exp_scaled(double c, double lo)
{
    if (!(c <= 1e9)) return {};
    constexpr double ln2_hi = 6.93147180369123816490e-01;
    constexpr double ln2_lo = 1.90821492927058770002e-10;
    const double k = std::floor(c / 0.6931471805599453);
    const double r = (c - k * ln2_hi) - k * ln2_lo;
    return scaled(std::exp(-r) * (1 + lo), -static_cast<int>(k));
}

// The figures of a point, as erlangx.h defines them.
struct Figures {
    double blocking, wait, abandonment, service_level, answered_service_level,
        virtual_service_level, mean_wait, virtual_mean_wait;
    double answered;  // 1 - blocking - abandonment, summed without cancelling
};

// P(offered wait <= t) of a call with m ahead, for m = 0 .. last: the tail
// beyond m of the distribution whose first term is p0 and whose terms go
// on as p_j = p_(j-1) y (b + j) / j (a negative binomial one), or y / j
// (a Poisson one), falling from its mode on. Every term positive: the tail
// beyond `last` as below, then each step down adds one.
std::vector<double> tails(Scaled p0, int last, double y, double b, bool poisson)
{
    const auto step = [&](int j) { return poisson ? y / j : y * (b + j) / j; };
    // A first term past e^(-1e9): no place here comes near the mean, and
    // every offered wait is within t (the steps may be infinite).
    std::vector<double> out(static_cast<size_t>(last) + 1, 1.0);
    if (p0.v == 0) return out;
    std::vector<Scaled> p(static_cast<size_t>(last) + 1);
    p[0] = p0;
    double head = value(p0);
    for (size_t j = 1; j < p.size(); ++j) {
        p[j] = times(p[j - 1], step(static_cast<int>(j)));
        head += value(p[j]);
    }
    // 1 less the head keeps 12 digits down to a tail of 2^-12; below, the
    // tail's own terms, where they fall fast enough to be summed (a heavy
    // tail, a and x both small, keeps the difference).
    double tail = 1 - head;
    if (tail < 0x1p-12) {
        double sum = 0;
        Scaled term = p.back();
        for (int j = last + 1; j < last + 10000000; ++j) {
            const double r = step(j);
            term = times(term, r);
            sum += value(term);
            // Past the mode, once the terms no longer reach the sum's last
            // bit (or any double).
            if (term.v == 0 || (r < 1 && (value(term) < 0x1p-56 * sum || term.e < -1100))) {
                tail = sum;
                break;
            }
        }
    }
    for (size_t m = p.size(); m-- > 0;) {
        out[m] = tail;
        tail += value(p[m]);
    }
    return out;
}

// Erlang C's figures, for endless lines and patience.
Figures erlangc_figures(double s, double A, double t)
{
    const double sl = erlangc_service_level(s, A, t);
    const double w = erlangc_mean_wait(s, A);
    return {0, erlangc(s, A), 0, sl, sl, sl, w, w, 1};
}

// Erlang A's figures, for endless lines whose queue passes the places a sum
// here takes.
Figures erlanga_figures(double s, double A, double patience, double t, bool timed)
{
    const teletraffic::detail::OfferedWait offered =
        teletraffic::detail::erlanga_offered_wait(s, A, patience, timed ? t : HUGE_VAL);
    Figures f{};
    f.blocking = 0;
    f.wait = erlanga_wait_probability(s, A, patience);
    f.abandonment = erlanga_abandonment(s, A, patience);
    f.answered = erlanga_occupancy(s, A, patience) * s / A;  // kept where few are answered
    f.service_level = timed ? erlanga_service_level(s, A, patience, t) : none;
    f.answered_service_level = f.service_level / f.answered;
    f.virtual_service_level = timed ? offered.level : none;
    f.mean_wait = erlanga_mean_wait(s, A, patience);
    f.virtual_mean_wait = offered.mean;
    return f;
}

bool whole(double v) { return v == std::floor(v); }

// Whether endless lines' weights (below) fall by less than e^30 from their
// peak to the last place summed, so that their sum would pass it: a bound
// on that fall by ln x <= x - 1, each place past the peak d = (A - s)
// patience (< those places) adding at most (j - d) / (A patience); 1e100
// or more patience as endless (the places' steps are then A / s).
bool long_queue(double s, double A, double patience)
{
    const double n = endless_places;
    const double d = (A - s) * patience;
    const double j0 = std::fmax(1.0, std::floor(d) + 1);
    const double fall = (n - j0 + 1) * ((j0 + n) / 2 / (A * patience) + (s - A) / A);
    return fall < 30;
}

// The figures outside the domain.
constexpr Figures nothing = {none, none, none, none, none, none, none, none, none};

// Every figure of a point; the timed ones (and their passes) only where
// `timed`.
Figures figures(double s, double A, double lines, double patience, double t, bool timed)
{
    if (!(s >= 1 && s <= erlangb_max_circuits && whole(s) && A >= 0 && A <= erlangb_max_load &&
          lines >= s && (whole(lines) || std::isinf(lines)) && patience > 0 &&
          (!timed || (t >= 0 && std::isfinite(t)))))
        return nothing;
    if (A == 0) return {0, 0, 0, 1, 1, 1, 0, 0, 1};
    // Past a patience of 1e100 every figure but the abandons is endless
    // patience's to 1e-100 (and s patience may pass the doubles): the
    // abandons are kept to first order.
    const bool endless = !(patience <= 1e100);
    const bool unlimited = std::isinf(lines);
    if (unlimited && std::isinf(patience)) return erlangc_figures(s, A, timed ? t : 0);
    // Endless lines: a queue of about (A - s) patience places, past the
    // places summed Erlang A's figures; so too where the weights past their
    // peak could not yet have fallen by the 2^-60 that ends the sum below.
    if (unlimited && ((A - s) * patience > endless_places || long_queue(s, A, patience)))
        return erlanga_figures(s, A, patience, t, timed);
    if (!unlimited && lines - s > most_places) return nothing;
    // The weights of the states s + m relative to state s: each place
    // further A over the rate of leaving it, s + m / patience.
    const double a = s * patience;
    const auto grow = [&](int m) { return endless ? A / s : A * patience / (a + m); };
    std::vector<Scaled> q{scaled(1)};
    Scaled all = q[0];
    for (int m = 1; unlimited || m <= lines - s; ++m) {
        const double r = grow(m);
        q.push_back(times(q.back(), r));
        all = plus(all, q.back());
        // (A weight of 0, the step underflowing, ends it too: its exponent is 0.)
        if (unlimited && r < 1 && (q.back().v == 0 || q.back().e < all.e - 60)) break;
        if (unlimited && m > endless_places) return erlanga_figures(s, A, patience, t, timed);
    }
    // The states below s weigh (1 - B) / B: B(s, A) as its logarithm, 1 - B
    // as s / (s + A B(s - 1, A)), which no rounding cancels.
    const teletraffic::detail::Blocking b = teletraffic::detail::continuous(s, A);
    const Scaled B = exp_scaled(-b.lnB, b.lnB_lo);
    const double free_weight = s / (s + A * (s == 1 ? 1.0 : erlangb(static_cast<int>(s) - 1, A)));
    const Scaled total = plus(scaled(free_weight), times(B, all));
    const auto share = [&](Scaled sum) { return ratio(times(B, sum), total); };
    const double free = free_weight / std::ldexp(total.v, total.e);
    // A call that finds the lines all taken is blocked; the others wait with
    // m ahead of them, m = 0 .. last.
    const int last = static_cast<int>(q.size()) - (unlimited ? 1 : 2);
    std::vector<double> virtual_within;
    std::vector<double> answered_within;
    if (timed && last >= 0) {
        // p_0 = e^(-s t), its product's rounding kept; the wait before an
        // answer weighs a further e^(-t / patience).
        const double st = s * t;
        const Scaled p0 = exp_scaled(st, -std::fma(s, t, -st));
        if (endless) {
            virtual_within = tails(p0, last, st, 0, true);
        } else {
            const double u = t / patience;
            const double x =
                u > 746 ? 0 : std::exp(-u) * (1 - std::fma(-u, patience, t) / patience);
            const double y = -std::expm1(-u);
            virtual_within = tails(p0, last, y, a - 1, false);
            answered_within = tails(times(p0, x), last, y, a, false);
        }
    }
    // The sums over the places of their weights times each call's chance
    // (or mean) of waiting, abandoning, being answered (within t, and with
    // an offered wait within t) and its waits, as doubles 2^R: the largest
    // weight near 2^600, so that weights 2^-1600 of it still count.
    const int R = all.e - 600;
    double wait = 0;
    double abandon = 0;
    double answered = 0;
    double within = 0;
    double virtual_within_sum = 0;
    double waited = 0;
    double virtual_waited = 0;
    double harmonic = 0;           // patience times the sum of 1 / (a + i), i = 0 .. m
    double answered_harmonic = 0;  // the same of 1 / (a + 1 + i)
    for (int m = 0; m <= last; ++m) {
        const auto k = static_cast<size_t>(m);
        const double w = std::ldexp(q[k].v, q[k].e - R);
        wait += w;
        const double answer = endless ? 1 : a / (a + m + 1);
        harmonic += endless ? 1 / s : patience / (a + m);
        answered_harmonic += endless ? 1 / s : patience / (a + m + 1);
        abandon += w * (endless ? (m + 1) / s / patience : (m + 1) / (a + m + 1));
        answered += w * answer;
        waited += w * (answer * answered_harmonic);
        virtual_waited += w * harmonic;
        if (!timed) continue;
        virtual_within_sum += w * virtual_within[k];
        within += w * (endless ? virtual_within[k] : answer * answered_within[k]);
    }
    const auto shifted = [&](double sum) { return share(scaled(sum, R)); };
    const double got = free + shifted(wait);
    const double answered_share = free + shifted(answered);
    Figures f{};
    f.blocking = unlimited ? 0 : share(q.back());
    f.wait = shifted(wait);
    f.abandonment = shifted(abandon);
    f.answered = answered_share;
    f.mean_wait = shifted(waited) / answered_share;
    f.virtual_mean_wait = shifted(virtual_waited) / got;
    if (timed) {
        f.service_level = free + shifted(within);
        f.answered_service_level = f.service_level / answered_share;
        f.virtual_service_level = (free + shifted(virtual_within_sum)) / got;
    }
    return f;
}

}  // namespace

double erlangx_blocking(double s, double A, double lines, double patience)
{
    return figures(s, A, lines, patience, 0, false).blocking;
}

double erlangx_wait_probability(double s, double A, double lines, double patience)
{
    return figures(s, A, lines, patience, 0, false).wait;
}

double erlangx_abandonment(double s, double A, double lines, double patience)
{
    return figures(s, A, lines, patience, 0, false).abandonment;
}

double erlangx_service_level(double s, double A, double lines, double patience, double t)
{
    return figures(s, A, lines, patience, t, true).service_level;
}

double erlangx_answered_service_level(double s, double A, double lines, double patience, double t)
{
    return figures(s, A, lines, patience, t, true).answered_service_level;
}

double erlangx_virtual_service_level(double s, double A, double lines, double patience, double t)
{
    return figures(s, A, lines, patience, t, true).virtual_service_level;
}

double erlangx_mean_wait(double s, double A, double lines, double patience)
{
    return figures(s, A, lines, patience, 0, false).mean_wait;
}

double erlangx_virtual_mean_wait(double s, double A, double lines, double patience)
{
    return figures(s, A, lines, patience, 0, false).virtual_mean_wait;
}

double erlangx_offered(double s, double A0, double lines, double patience, double redial)
{
    if (!(A0 >= 0 && redial >= 0 && redial < 1)) return none;
    // f(A) = A (1 - redial (blocking + abandonment)) - A0 rises with A (the
    // answered and the lost traffic both do); f(A0) <= 0 <= f(A0 / (1 -
    // redial)).
    const auto f = [&](double A) {
        return A * ((1 - redial) + redial * figures(s, A, lines, patience, 0, false).answered) - A0;
    };
    const double lo = A0;
    const double hi = std::fmin(A0 / (1 - redial), erlangb_max_load);
    const double f_lo = f(lo);
    const double f_hi = f(hi);
    if (!(f_lo <= 0 && f_hi >= 0)) return none;
    if (f_lo == 0) return lo;
    int steps = 0;
    return teletraffic::detail::falsi(f, lo, f_lo, hi, f_hi, [&](double x0, double x1) {
        return std::fabs(x0 - x1) <= 1e-15 * x1 || ++steps > 100;
    });
}

namespace {

// ---- Staffing, the load and the patience ---------------------------------

using teletraffic::detail::is_set;
using teletraffic::detail::Kind;
using teletraffic::detail::value_of;
constexpr Kind kinds[] = {Kind::level,     Kind::wait,        Kind::probability,
                          Kind::occupancy, Kind::abandonment, Kind::blocking};

// Whether a kind's figure may rise and then fall as the agents (`agents`)
// or the load grow: with few lines, calls blocked rather than queued
// neither wait nor abandon. The blocking grows with the agents where the
// callers' patience is below the holding time (those who give up free
// their line sooner than an agent would): as the agents grow, it falls or
// rises throughout. The others only ease as the agents grow and tighten
// as the load does.
bool peaked(Kind kind, bool agents)
{
    return kind == Kind::probability || kind == Kind::abandonment ||
           (agents && kind == Kind::blocking);
}

// A point's figure for a kind of target, the service level by the target's
// definition.
double figure(const StaffingTarget& target, Kind kind, const Figures& f, double s, double A)
{
    switch (kind) {
    case Kind::level:
        return target.service_level_of == ServiceLevelOf::offered    ? f.service_level
               : target.service_level_of == ServiceLevelOf::answered ? f.answered_service_level
                                                                     : f.virtual_service_level;
    case Kind::wait: return f.mean_wait;
    case Kind::probability: return f.wait;
    case Kind::occupancy: return std::fmin(f.answered * A / s, 1.0);
    case Kind::abandonment: return f.abandonment;
    default: return f.blocking;
    }
}

// How far a point misses a target, as a difference of logarithms (of the
// complements for a service level above 1/2, whose misses are then near
// 1): > 0 exactly where it misses (a NaN figure misses by +infinity), so
// that the figures, not the logarithms' rounding, decide.
double excess(const StaffingTarget& target, Kind kind, const Figures& f, double s, double A)
{
    const double v = figure(target, kind, f, s, A);
    const double goal = value_of(target, kind);
    const bool met = kind == Kind::level ? v >= goal : v <= goal;
    if (std::isnan(v)) return HUGE_VAL;  // beyond the figures' reach: not known to meet
    const double g = kind != Kind::level ? std::log(v) - std::log(goal)
                     : goal > 0.5        ? std::log1p(-v) - std::log1p(-goal)
                                         : std::log(goal) - std::log(v);
    // Finite where a figure is 0 or 1, so that a secant through it is.
    return met ? std::fmin(std::fmax(g, -800.0), 0.0)
               : std::fmax(std::fmin(g, 800.0), std::numeric_limits<double>::denorm_min());
}

// What the searches ask of the model: the lines, patience and redial
// share, the targets, and a count of the points evaluated.
struct Model {
    double lines, patience, redial;
    const StaffingTarget& target;
    int& evaluations;
};

// The offered load of s agents under the fresh load A0, as erlangx_offered
// gives it.
double offered(const Model& m, double s, double A0)
{
    return m.redial == 0 ? A0 : erlangx_offered(s, A0, m.lines, m.patience, m.redial);
}

// The figures of s agents at the offered load A (timed where a service
// level is a target), counted as a point.
Figures point(const Model& m, double s, double A)
{
    ++m.evaluations;
    const bool timed = is_set(m.target, Kind::level);
    return figures(s, A, m.lines, m.patience, timed ? m.target.answer_time : 0.0, timed);
}

// The largest excess over the targets that only ease as the agents grow,
// at s agents and fresh load A0 (-infinity where none is set).
double worst(const Model& m, double s, double A0)
{
    const double A = offered(m, s, A0);
    const Figures f = point(m, s, A);
    double g = -HUGE_VAL;
    for (const Kind kind : kinds)
        if (is_set(m.target, kind) && !peaked(kind, true))
            g = std::fmax(g, excess(m.target, kind, f, s, A));
    return g;
}

// Whether s agents meet every target at fresh load A0.
bool meets(const Model& m, double s, double A0)
{
    const double A = offered(m, s, A0);
    const Figures f = point(m, s, A);
    return std::all_of(std::begin(kinds), std::end(kinds), [&](Kind kind) {
        return !is_set(m.target, kind) || excess(m.target, kind, f, s, A) <= 0;
    });
}

// The excess over one target at s agents and fresh load A0.
double excess_at(const Model& m, Kind kind, double s, double A0)
{
    const double A = offered(m, s, A0);
    return excess(m.target, kind, point(m, s, A), s, A);
}

bool in_lines(double lines) { return lines >= 1 && (whole(lines) || std::isinf(lines)); }

// Whether the targets lie in their domains (a service level by any
// definition), at least one being set.
bool targets_in_domain(const StaffingTarget& target)
{
    return teletraffic::detail::targets_valid(target) &&
           (target.service_level_of == ServiceLevelOf::offered ||
            target.service_level_of == ServiceLevelOf::answered ||
            target.service_level_of == ServiceLevelOf::virtual_wait);
}

// The fewest whole agents in [from, top] whose excess (g) is <= 0, the
// points that meet it lying above those that miss; 0 where top misses.
// From `start`, out by `step` doubling to a bracket, then regula falsi on
// whole numbers.
template <class G>
int fewest(int from, int top, int start, int step, const G& g)
{
    int n = std::min(top, std::max(from, start));
    double gn = g(n);
    int lo = from - 1;
    int hi = top;
    double g_lo = HUGE_VAL;
    double g_hi = 0;
    if (gn <= 0) {
        hi = n, g_hi = gn;
        while (lo < hi - 1) {
            n = std::max(lo + 1, hi - step);
            step *= 2;
            gn = g(n);
            if (gn > 0) {
                lo = n, g_lo = gn;
                break;
            }
            hi = n, g_hi = gn;
        }
    } else {
        lo = n, g_lo = gn;
        for (bool met = false; !met;) {
            if (n == top) return 0;
            n = std::min(top, n + step);
            step *= 2;
            gn = g(n);
            met = gn <= 0;
            if (!met) lo = n, g_lo = gn;
        }
        hi = n, g_hi = gn;
    }
    if (hi - lo <= 1) return hi;
    return teletraffic::detail::whole_root(lo, g_lo, hi, g_hi, g);
}

}  // namespace

int erlangx_agents(double A0, double lines, double patience, double redial,
                   const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!targets_in_domain(target) || !(A0 >= 0 && A0 <= erlangb_max_load) || !in_lines(lines) ||
        !(patience > 0) || !(redial >= 0 && redial < 1))
        return 0;
    if (A0 == 0) return 1;
    const Model model{lines, patience, redial, target, *evaluations};
    const int top = static_cast<int>(std::fmin(lines, erlangb_max_circuits));
    // The targets that only ease as agents come: the fewest that meet them,
    // from the load's count out by sqrt(A0).
    const int step = std::max(1, static_cast<int>(std::sqrt(A0)));
    const int start = static_cast<int>(std::fmin(std::ceil(A0), top));
    const bool monotone = std::any_of(std::begin(kinds), std::end(kinds), [&](Kind kind) {
        return is_set(target, kind) && !peaked(kind, true);
    });
    int s = monotone ? fewest(1, top, start, step, [&](int n) { return worst(model, n, A0); }) : 1;
    // The others rise to a peak and then fall, or fall or rise throughout:
    // where s misses one, the points past s that meet it lie above those
    // that miss. The largest of the fewest of those, until s meets every
    // target.
    while (s != 0) {
        const double A = offered(model, s, A0);
        const Figures f = point(model, s, A);
        int next = s;
        for (const Kind kind : kinds) {
            const double g = is_set(target, kind) ? excess(target, kind, f, s, A) : 0;
            if (g <= 0) continue;
            // Halving, which needs no shape of the excess between.
            const auto at = [&](int k) { return excess_at(model, kind, k, A0); };
            if (s == top || at(top) > 0) return 0;
            int lo = s;
            int hi = top;
            while (hi - lo > 1) {
                const int mid = lo + (hi - lo) / 2;
                (at(mid) <= 0 ? hi : lo) = mid;
            }
            next = std::max(next, hi);
        }
        if (next == s) return s;
        s = next;
    }
    return 0;
}

namespace {

// The end that meets (g <= 0) of a bracket around g's root closed to
// 1e-14 in x, from m (g(m) = gm <= 0) and n (g(n) = gn > 0), either
// order: regula falsi, Illinois (an end that stays twice has its value
// halved), each step at least half that off both ends, so that where the
// figures' rounding flattens g near its root the bracket still closes.
template <class G>
double met_end(const G& g, double m, double gm, double n, double gn)
{
    for (int side = 0, steps = 0; steps < 200; ++steps) {
        const double tol = 1e-14 * std::fmax(1.0, std::fabs(m));
        if (std::fabs(n - m) <= tol) break;
        double x = n - gn * (n - m) / (gn - gm);
        const double lo = std::fmin(m, n) + tol / 2;
        const double hi = std::fmax(m, n) - tol / 2;
        if (!(x >= lo && x <= hi))
            x = std::isnan(x) ? 0.5 * (m + n) : std::fmin(hi, std::fmax(lo, x));
        const double gx = g(x);
        if (gx <= 0) {
            if (side == 1) gn /= 2;
            m = x, gm = gx, side = 1;
        } else {
            if (side == -1) gm /= 2;
            n = x, gn = gx, side = -1;
        }
    }
    return m;
}

// The largest ln A0 up to which g (rising in it, or rising and falling:
// see humped()) stays <= 0, from `least` (where it is) to `most`; `most`
// where it holds throughout. `from` a guess, `step` the first step.
template <class G>
double first_miss(const G& g, double least, double most, double from, double step, bool hump)
{
    const double g_most = g(most);
    if (g_most > 0) {
        // Out from the guess to a bracket (a hump's misses lie together,
        // so the first met point below a miss bounds them).
        double x1 = std::fmin(most, std::fmax(least, from));
        double g1 = g(x1);
        double x0 = x1;
        double g0 = g1;
        while ((g0 > 0) == (g1 > 0)) {
            x0 = x1, g0 = g1;
            x1 = g0 > 0 ? std::fmax(least, x0 - step) : std::fmin(most, x0 + step);
            step *= 2;
            g1 = g(x1);
            if (x1 == least && g1 > 0) return least;
        }
        return g0 <= 0 ? met_end(g, x0, g0, x1, g1) : met_end(g, x1, g1, x0, g0);
    }
    if (!hump) return most;
    // Met at both ends: a hump between may still miss. Golden-section search
    // for its top in the last 60 units of ln A0 (the figure is 1e-26 of its
    // value there below those), to 1e-3.
    double a = std::fmax(least, most - 60);
    double b = most;
    constexpr double r = 0.6180339887498949;
    double c = b - r * (b - a);
    double d = a + r * (b - a);
    double gc = g(c);
    double gd = g(d);
    while (b - a > 1e-3 && gc <= 0 && gd <= 0) {
        if (gc > gd) {
            b = d, d = c, gd = gc;
            c = b - r * (b - a);
            gc = g(c);
        } else {
            a = c, c = d, gc = gd;
            d = a + r * (b - a);
            gd = g(d);
        }
    }
    if (gc <= 0 && gd <= 0) return most;
    const double top = gc > 0 ? c : d;
    return met_end(g, least, g(least), top, gc > 0 ? gc : gd);
}

}  // namespace

double erlangx_load(double s, double lines, double patience, double redial,
                    const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!targets_in_domain(target) || !(s >= 1 && s <= erlangb_max_circuits && whole(s)) ||
        !in_lines(lines) || !(lines >= s) || !(patience > 0) || !(redial >= 0 && redial < 1))
        return none;
    const Model model{lines, patience, redial, target, *evaluations};
    const double least = std::log(std::numeric_limits<double>::denorm_min());
    // The most fresh load whose offered load stays within the domain.
    const double top = erlangb_max_load * (1 - redial);
    const double most = std::log(top);
    const double step = std::fmin(0.5, 1 / std::sqrt(s));
    // The targets that only tighten as the load grows first: the humps'
    // misses are then sought below the least of their loads.
    double x = most;
    for (const bool humps : {false, true}) {
        for (const Kind kind : kinds) {
            if (!is_set(target, kind) || peaked(kind, false) != humps) continue;
            const auto g = [&](double v) {
                return excess_at(model, kind, s, std::fmin(std::exp(v), top));
            };
            // Endless lines block nobody: every figure tightens with the load.
            x = std::fmin(
                x, first_miss(g, least, x, std::log(s), step, humps && std::isfinite(lines)));
        }
    }
    double load = x == least ? 0.0 : x == most ? top : std::exp(x);
    // The figures decide: a load a rounding step past a target steps down.
    for (int i = 0; i < 60 && load > 0 && !meets(model, s, load); ++i) load *= 1 - 0x1p-50;
    return load;
}

double erlangx_patience(double s, double A, double lines, double abandonment)
{
    if (!(abandonment > 0 && abandonment < 1)) return none;
    // The abandonment falls as the patience grows: from the blocking of s
    // agents as they find them (all who wait hang up at once) toward 0 (or
    // 1 - s / A, with endless lines in an overload). Steps in ln patience
    // from 1 out to a bracket, within 1e-300 to 1e300 (to 1e100 with endless
    // lines, whose abandons are Erlang C's past it), then regula falsi. A
    // share rounded to 0 counts as the least double, so that a secant
    // through it is finite.
    const double target = std::log(abandonment);
    const auto g = [&](double x) {
        const double v = erlangx_abandonment(s, A, lines, std::exp(x));
        return std::log(v == 0 ? std::numeric_limits<double>::denorm_min() : v) - target;
    };
    const double most = std::isinf(lines) ? 230.25 : 690;
    double x1 = 0;
    double g1 = g(x1);
    if (std::isnan(g1)) return none;
    double x0 = x1;
    double g0 = g1;
    double step = 1;
    while ((g0 > 0) == (g1 > 0)) {
        if (x1 <= -690 || x1 >= most) return none;
        x0 = x1, g0 = g1;
        x1 = std::fmax(-690.0, std::fmin(most, x0 + (g0 > 0 ? step : -step)));
        g1 = g(x1);
        step *= 2;
    }
    return std::exp(g0 <= 0 ? met_end(g, x0, g0, x1, g1) : met_end(g, x1, g1, x0, g0));
}
