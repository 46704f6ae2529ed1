// SPDX-License-Identifier: MIT
// Erlang A: callers who abandon. The contracts are in erlanga.h.
//
// A call that finds s + k calls in the system is answered after its offered
// wait V, the sum of exponential times of rates s + j theta, j = 0 .. k
// (theta = 1 / patience: those ahead of it abandon too), unless its own
// patience runs out first, which it does with probability 1 - e^(-theta V).
// Weighted by the states' stationary probabilities, relative to the state
// of s calls, the calls that wait have offered waits of density s e^h(tau),
//   h(tau) = -s tau + (A / theta) (1 - e^(-theta tau)),
// concave, h(0) = 0, peaking at tau* = ln(A / s) / theta where A > s; the
// calls that find an agent free weigh 1 / B(s, A) - 1. Every figure is a
// ratio of integrals of e^h against 1, e^(-theta tau) (answered),
// 1 - e^(-theta tau) (abandoned) and tau e^(-theta tau) (the answered
// calls' wait), before and after t. As theta falls to 0, h tends to
// -(s - A) tau and the figures to Erlang C's: nothing cancels on the way.
// The integrals are also sums over the queue's states and incomplete
// gamma functions (below); evaluate() takes the cheapest that keeps the
// digits, the quadrature the rest.
#include "teletraffic/erlanga.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "teletraffic/blocking.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/falsi.h"
#include "teletraffic/targets.h"

namespace {

using real = long double;  // where a product or logarithm carries the last bits of A
constexpr double none = std::numeric_limits<double>::quiet_NaN();

// e^(-x) - 1 + x, without cancelling where x is small: there its series
// x^2 (1/2! - x/3! + x^2/4! - ...), by Horner's rule.
template <class T>
T bend(T x)
{
    if (std::fabs(x) >= T(0.5)) return std::expm1(-x) + x;
    static const T inverse_factorial[] = {T(1) / 2,
                                          T(1) / 6,
                                          T(1) / 24,
                                          T(1) / 120,
                                          T(1) / 720,
                                          T(1) / 5040,
                                          T(1) / 40320,
                                          T(1) / 362880,
                                          T(1) / 3628800,
                                          T(1) / 39916800,
                                          T(1) / 479001600,
                                          T(1) / 6227020800,
                                          T(1) / 87178291200,
                                          T(1) / 1307674368000,
                                          T(1) / 20922789888000,
                                          T(1) / 355687428096000,
                                          T(1) / 6402373705728000,
                                          T(1) / 121645100408832000,
                                          T(1) / 2432902008176640000};
    // The terms past x^n fall below 1e-21 of the sum: n = 5 for |x| below
    // 1e-4, 9 below 0.02, 20 up to 1/2.
    const T size = std::fabs(x);
    const int last = size < T(1e-4) ? 3 : size < T(0.02) ? 7 : 18;
    T sum = 0;
    for (int k = last; k >= 0; --k) sum = sum * -x + inverse_factorial[k];
    return sum * x * x;
}

// r - ln(1 + r), the same way below |r| = 0.01; above, from the long
// double logarithm, whose digits the subtraction (of a term 2 / |r| times
// the result at most) leaves to 2e-17.
real deviance_ratio(real r)
{
    if (std::fabs(static_cast<double>(r)) >= 0.01) return r - std::log1p(r);
    real power = r;
    real sum = 0;
    for (int k = 2; k < 80; ++k) {
        power *= -r;
        const real term = -power / k;
        sum += term;
        if (std::fabs(static_cast<double>(term)) <= 1e-21 * static_cast<double>(sum)) break;
    }
    return sum;
}

// A point of the offered wait where the integrand is anchored: its time,
// the load there A e^(-theta tau), the gap s less that load, and h less its
// peak value.
struct Anchor {
    double tau, load, gap, h;
};

struct Model {
    double s, A, theta;
    double weight;  // the nodes' factor: s, times 2^600 where s is below 2^-600
    real h_peak;    // h(tau*) where A > s, else 0
    real ln_free;   // ln(1 / B - 1) - h_peak: the calls that find an agent free
};

// h(at + delta) - h(at).
template <class T>
T rise(const Model& m, const Anchor& at, T delta)
{
    const T x = m.theta * delta;
    // Far back, the load there, A e^(-theta (tau + delta)), is taken whole:
    // load e^-x alone overflows where the load has underflowed.
    if (x < -1)
        return -m.s * delta -
               (std::exp(std::log(m.A) - m.theta * (at.tau + delta)) - at.load) / m.theta;
    // Far ahead, e^-x - 1 + x in parts, lest it overflow.
    if (x > 1) return -m.s * delta - at.load / m.theta * std::expm1(-x);
    return -at.gap * delta - at.load / m.theta * bend(x);
}

// The five integrals, over a piece of the offered wait, each relative to
// e^h_peak: of the calls that wait, that are answered, that abandon, of
// the answered calls' wait, and of the waiting calls' offered wait.
struct Masses {
    double wait = 0, answered = 0, abandoned = 0, waited = 0, offered_waited = 0;
};

// to += weight times o.
void add(Masses& to, const Masses& o, double weight)
{
    to.wait += weight * o.wait, to.answered += weight * o.answered;
    to.abandoned += weight * o.abandoned, to.waited += weight * o.waited;
    to.offered_waited += weight * o.offered_waited;
}

// The integrands at at + delta times a node's weight, delta and the weight
// doubles or, where they lie beyond any double (1 / s for s subnormal),
// long doubles.
template <class T>
Masses at_node(const Model& m, const Anchor& at, T delta, T weight)
{
    const T h = rise(m, at, delta);
    // h is at most its peak value; far from the anchor, at patiences beyond
    // any call centre's, rounding may say otherwise.
    const double value = std::exp(std::fmin(at.h + static_cast<double>(h), 0.0));
    // Nothing here, though delta or the weight be infinite (where long
    // doubles have no more range than doubles, at subnormal agents).
    if (value == 0) return {};
    const T tau = at.tau + delta;
    const auto x = static_cast<double>(m.theta * tau);
    // e^-x and 1 - e^-x, each to its own digits
    const double kept = x < 1 ? -std::expm1(-x) : 0;
    const double decay = x < 1 ? 1 - kept : std::exp(-x);
    const T answered = weight * value * decay;
    return {static_cast<double>(weight * value), static_cast<double>(answered),
            static_cast<double>(weight * value * (x < 1 ? kept : 1 - decay)),
            answered > 0 ? static_cast<double>(tau * answered) : 0.0,
            static_cast<double>(tau * weight * value)};
}

// Whether two estimates agree to well within the accuracy wanted: the
// quadrature's error about squares each time its step halves.
bool close(const Masses& a, const Masses& b)
{
    const auto near = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * std::fabs(x); };
    return near(a.wait, b.wait) && near(a.answered, b.answered) && near(a.abandoned, b.abandoned) &&
           near(a.waited, b.waited) && near(a.offered_waited, b.offered_waited);
}

// The quadrature's nodes u = k / 128, 0 <= k <= 576: sinh and cosh, as
// the rules below use them, tabled once.
constexpr int per_unit = 128;
constexpr int node_count = 577;  // u up to 4.5
// For each: the exponent a = pi/2 sinh u, its e^a and e^-a (exp-sinh's
// nodes), pi/2 cosh u, and tanh-sinh's distance from an end,
// y = 1 / (1 + e^2a), with its weight 2 (pi/2 cosh u) y (1 - y).
struct Nodes {
    double arg[node_count], up[node_count], down[node_count], cosh_u[node_count];
    double y[node_count], y_weight[node_count];
};

const Nodes& nodes()
{
    static const Nodes table = [] {
        Nodes n{};
        for (int k = 0; k < node_count; ++k) {
            const double u = static_cast<double>(k) / per_unit;
            n.arg[k] = 1.57079632679489661923 * std::sinh(u);
            n.up[k] = std::exp(n.arg[k]), n.down[k] = std::exp(-n.arg[k]);
            n.cosh_u[k] = 1.57079632679489661923 * std::cosh(u);
            n.y[k] = 1 / (1 + std::exp(2 * n.arg[k]));
            n.y_weight[k] = 2 * n.cosh_u[k] * n.y[k] * (1 - n.y[k]);
        }
        return n;
    }();
    return table;
}

// The masses over [lo, hi] by tanh-sinh, or over [lo, infinity) by
// exp-sinh when hi is null; a node takes the nearer end as its anchor.
Masses piece(const Model& m, const Anchor& lo, const Anchor* hi)
{
    const Nodes& table = nodes();
    const double length = hi != nullptr ? hi->tau - lo.tau : 0;
    // exp-sinh's scale: where e^h has fallen by about e from lo. h falls
    // from lo, concave: from a first guess by its slope and curvature there,
    // steps out until it has (past 1 / theta the curvature stops acting).
    real scale = 1 / (lo.gap + std::sqrt(static_cast<real>(lo.load) * m.theta));
    for (int i = 0; i < 400 && hi == nullptr && rise(m, lo, scale) > -1; ++i) scale *= 4;
    // The node at u = sign k / 128, its weight times s: the masses as the
    // figures weigh them, within doubles though 1 / s be beyond them.
    const auto node = [&](int k, double sign) {
        if (hi == nullptr) {
            const double e = sign > 0 ? table.up[k] : table.down[k];
            const double delta = static_cast<double>(scale) * e;
            if (delta < 1e300) return at_node(m, lo, delta, m.weight * delta * table.cosh_u[k]);
            const real far = scale * e;
            return at_node(m, lo, far, m.weight * far * table.cosh_u[k]);
        }
        const double weight = m.weight * length * table.y_weight[k];
        const double y = table.y[k];
        return sign < 0 ? at_node(m, lo, length * y, weight) : at_node(m, *hi, -length * y, weight);
    };
    if (hi != nullptr && !(length > 0)) return {};
    // Level 0 (step 1/2) walks out from u = 0 each way until the nodes stop
    // counting; the finer levels fill in between, within the same reach.
    Masses sum = node(0, 1);
    int reach[2] = {0, 0};
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? -1 : 1;
        for (int k = 64; k < node_count; k += 64) {
            const Masses at = node(k, sign);
            add(sum, at, 1);
            reach[side] = k;
            if (sum.wait > 0 && at.wait <= 1e-18 * sum.wait && at.waited <= 1e-18 * sum.waited &&
                at.abandoned <= 1e-18 * sum.abandoned &&
                at.offered_waited <= 1e-18 * sum.offered_waited)
                break;
        }
    }
    Masses estimate;
    add(estimate, sum, 0.5);
    // The finest level, 1/128, is the last, converged or not.
    for (int stride = 32;; stride /= 2) {
        for (int k = stride; k < reach[0]; k += 2 * stride) add(sum, node(k, -1), 1);
        for (int k = stride; k < reach[1]; k += 2 * stride) add(sum, node(k, 1), 1);
        Masses next;
        add(next, sum, static_cast<double>(stride) / per_unit);
        if (stride == 1 || (stride <= 16 && close(next, estimate))) return next;
        estimate = next;
    }
}

// The figures of a point; `answered` is 1 - abandoned computed directly,
// which keeps its digits where nearly every caller abandons (the
// occupancy, answered * A / s, rests on it).
struct Figures {
    double wait, abandoned, level, unanswered, abandoned_within, mean_wait, answered;
    double virtual_level = none, virtual_mean_wait = none;  // the quadrature's alone
};

// Every figure of s agents, load A > 0 and finite patience, the service
// level and the abandons within t >= 0 (infinity for none).
Figures figures(double s, double A, double patience, double t)
{
    // The free agents' weight and the masses are both s times something
    // where s is tiny: both are taken 2^600 times larger there, to keep
    // their digits.
    const bool tiny = s < 0x1p-600;
    Model m{s, A, 1 / patience, tiny ? s * 0x1p600 : s, 0, 0};
    const real gap = static_cast<real>(s) - A;
    Anchor zero{0, A, static_cast<double>(gap), 0};
    Anchor peak{0, s, 0, 0};
    const bool peaked = A > s;
    real log_ratio = 0;  // ln(A / s)
    if (peaked) {
        // (A - s) / s, beyond the doubles for subnormal s: there ln(A / s)
        // from the logarithms, and nothing cancels in A - s - s ln(A / s).
        const real ratio = -gap / s;
        const bool huge = ratio > 1e30;
        log_ratio = huge ? std::log(static_cast<real>(A)) - std::log(static_cast<real>(s))
                         : std::log1p(ratio);
        peak.tau = static_cast<double>(log_ratio * patience);
        m.h_peak =
            static_cast<real>(patience) * (huge ? -gap - s * log_ratio : s * deviance_ratio(ratio));
        zero.h = static_cast<double>(-m.h_peak);
    }
    const teletraffic::detail::Blocking b = teletraffic::detail::continuous(s, A);
    m.ln_free = std::log(-std::expm1(b.lnB)) - b.lnB - m.h_peak + (tiny ? 600 * std::log(2.0) : 0);
    bool split = std::isfinite(t) && t > 0;
    Anchor at_t{t, 0, 0, 0};
    if (split) {
        const real fall = std::expm1(-m.theta * t);  // e^(-theta t) - 1
        // s - A e^(-theta t), from s - A where e^(-theta t) is near 1
        const real decay = std::exp(-static_cast<real>(m.theta) * t);
        at_t.load = static_cast<double>(A * decay);
        at_t.gap = static_cast<double>(fall > -0.5 ? gap - A * fall : s - A * decay);
        const real from_peak = t - log_ratio * patience;
        at_t.h = peaked ? static_cast<double>(-static_cast<real>(s) * patience *
                                              bend(from_peak / static_cast<real>(patience)))
                        : rise(m, zero, t);
        // Past the peak, where nothing is left after t, t is as good as infinite.
        if (t >= peak.tau && at_t.h < -2000) split = false, t = HUGE_VAL;
    }
    Masses before;
    Masses after;
    if (!peaked) {
        if (split) before = piece(m, zero, &at_t);
        after = piece(m, split ? at_t : zero, nullptr);
    } else if (split && t < peak.tau) {
        before = piece(m, zero, &at_t);
        after = piece(m, at_t, &peak);
        add(after, piece(m, peak, nullptr), 1);
    } else {
        before = piece(m, zero, &peak);
        if (split) {
            add(before, piece(m, peak, &at_t), 1);
            after = piece(m, at_t, nullptr);
        } else {
            after = piece(m, peak, nullptr);
        }
    }
    if (t == 0) add(after, before, 1), before = Masses{};
    if (!std::isfinite(t)) add(before, after, 1), after = Masses{};
    // Both parts relative to the larger, the free agents' weight being
    // beyond any long double where s is far above A.
    const real larger = std::fmax(m.ln_free, 0.0L);
    const real free = std::exp(m.ln_free - larger);
    const real k = std::exp(-larger);  // the masses are the weight times the integrals
    const real all = free + k * (before.wait + after.wait);
    const real abandoned = k * (before.abandoned + after.abandoned);
    const real answered_late = k * after.answered;
    const real within = k * before.abandoned - k * std::expm1(-m.theta * t) * after.wait;
    const real answered = free + k * (before.answered + after.answered);
    Figures f;
    f.wait = static_cast<double>(k * (before.wait + after.wait) / all);
    f.abandoned = static_cast<double>(abandoned / all);
    f.unanswered = static_cast<double>((abandoned + answered_late) / all);
    f.level = static_cast<double>((free + k * before.answered) / all);
    f.abandoned_within = static_cast<double>((std::isfinite(t) ? within : abandoned) / all);
    // No call answered within the doubles' reach (patience near the least):
    // those few wait next to nothing.
    f.mean_wait =
        answered > 0 ? static_cast<double>(k * (before.waited + after.waited) / answered) : 0;
    f.answered = static_cast<double>(answered / all);
    f.virtual_level = static_cast<double>((free + k * before.wait) / all);
    f.virtual_mean_wait =
        static_cast<double>(k * (before.offered_waited + after.offered_waited) / all);
    return f;
}

// ---- The figures state by state -------------------------------------------
//
// Substituting u = (A / theta) e^(-theta tau) turns the integrals above into
// lower incomplete gamma functions, whose series are sums over the states
// of the queue, every term positive. With a = s patience and x = A
// patience, a call that finds k calls waiting ahead of it weighs
// T_k = x^k / ((a + 1) ... (a + k)) against the state of s calls; it is
// answered with probability a / (a + k + 1) (the stages of its offered wait
// have rates s + i theta, and the product of (s + i theta) / (s + (i + 1)
// theta) telescopes), abandons with (k + 1) / (a + k + 1), and, when
// answered, has waited patience H_k on average, H_k the sum of 1 / (a + i),
// i = 1 .. k + 1. The calls whose offered wait exceeds t weigh e^h(t) times
// the same sums in y = x e^(-theta t), the answered ones e^(-theta t) of
// that. Nothing cancels but the service level and the abandons within t,
// each a difference checked below.

// h(t) for t >= 0 (+infinity too), without cancelling: from the peak,
// where the load exceeds the agents, as h(tau*) - s patience
// bend((t - tau*) / patience); elsewhere as -(s - A) t - A patience
// bend(t / patience), two terms of one sign.
real h_at(double s, double A, double patience, double t)
{
    if (t == 0) return 0;  // exactly, which the peak's form may miss by a rounding step
    if (std::isinf(t)) return -HUGE_VALL;
    const real p = patience;
    if (A <= s) return -(static_cast<real>(s) - A) * t - A * p * bend(t / p);
    const real ratio = (static_cast<real>(A) - s) / s;
    const real from_peak = t - p * std::log1p(ratio);
    return p * s * (deviance_ratio(ratio) - bend(from_peak / p));
}

// ln(1 / B(s, A) - 1), the weight of the calls that find an agent free
// against the state of s calls, with the part of ln B below its last bit.
real ln_free(double s, double A)
{
    const teletraffic::detail::Blocking b = teletraffic::detail::continuous(s, A);
    return std::log(-std::expm1(b.lnB)) - static_cast<real>(b.lnB) - b.lnB_lo;
}

// h(tau*), the largest h, where the load exceeds the agents; else 0.
real h_peak(double s, double A, double patience)
{
    return A > s ? patience * s * deviance_ratio((static_cast<real>(A) - s) / s) : 0;
}

// About how many terms the sums at x take for the last to fall below
// e^-40 of the largest: they climb until k reaches x - a, then fall off
// within some sqrt(80 max(x, a)) more, or 45 / ln(a / x) where x < a.
double terms(double a, double x)
{
    if (x > a) return x - a + std::sqrt(80 * x);
    return std::fmin(std::sqrt(80 * (a + 1)), 45 / std::log(a / x));
}

// Whether a = s patience and x = A patience are below 1e12, where their
// doubles' rounding (1e-4 at most) moves the incomplete gamma functions to
// first order only, which gamma_at() takes into account.
bool within_reach(double a, double x) { return a < 1e12 && x < 1e12; }

// ln P(a + 1, z), ln Q(a + 1, z) and ln Poisson(a, z) for the a and z that
// long doubles hold (s patience, A patience e^(-t / patience), whose
// doubles would move P or Q by 1e-12 and more in their far tails), from
// the incomplete gamma function at their doubles: P and Q move chiefly
// with z - a, d ln Q / dz = -Poisson(a, z) / Q and d ln P / dz =
// Poisson(a, z) / P, and the parts below the doubles move them by those
// times their difference; ln Poisson by a / z - 1 and ln z - digamma(a +
// 1) (about ln(z / (a + 1/2))) times theirs (to first order, which is all
// they need).
struct Gamma {
    double lnP, lnQ;
    real ln_poisson;
};
Gamma gamma_at(real a, real z)
{
    const auto a_rounded = static_cast<double>(a);
    const auto z_rounded = static_cast<double>(z);
    const teletraffic::detail::IncompleteGamma g =
        teletraffic::detail::incomplete_gamma(a_rounded, z_rounded);
    const auto da = static_cast<double>(a - a_rounded);
    const auto dz = static_cast<double>(z - z_rounded);
    return {g.lnP + std::exp(g.ln_poisson - g.lnP) * (dz - da),
            g.lnQ - std::exp(g.ln_poisson - g.lnQ) * (dz - da),
            static_cast<real>(g.ln_poisson) + g.ln_poisson_lo + (a_rounded / z_rounded - 1) * dz +
                std::log(z_rounded / (a_rounded + 0.5)) * da};
}

// Every figure by the sums above, where they take at most 3,000 terms, to
// a few rounding steps per term; false elsewhere, or where the service
// level would cancel by more than 16 (or, when `within` asks for them, the
// abandons within t by more than 2), for the quadrature to take.
bool by_states(double s, double A, double patience, double t, bool within, Figures& f)
{
    const double a = s * patience;
    const double x = A * patience;
    // The largest term is e^h(tau*), which the doubles must hold.
    if (!(s >= 1e-280 && a >= 1e-280) || terms(a, x) > 3000 || h_peak(s, A, patience) > 600)
        return false;
    const real h = h_at(s, A, patience, t);
    const double decay = std::exp(-t / patience);  // e^(-theta t)
    const double y = x * decay;
    double T = 1;  // the terms at x and at y, and H_k
    double U = 1;
    double H = 0;
    Masses all_waiting;  // the sums over every call that waits
    Masses late;         // and over those offered a wait past t (but their wait)
    for (int k = 0;; ++k) {
        if (k == 5000) return false;  // never reached short of NaN
        const double inv = 1 / (a + (k + 1));
        const double keep = a * inv;
        const double gone = (k + 1) * inv;
        H += inv;
        add(all_waiting, {1, keep, gone, keep * H}, T);
        add(late, {1, keep, gone, 0}, U);
        T *= x * inv, U *= y * inv;
        // Once the terms fall by r a step, what is left of each sum is at
        // most the next term over 1 - r, times its growing weight (looked
        // at every eighth term, which costs more than the terms).
        const double r = x * inv;
        if (r >= 1 || k % 8 != 7) continue;
        const double rest = T / (1 - r);
        const double rest_late = U / (1 - r);
        if (rest <= 1e-17 * all_waiting.abandoned && rest * keep <= 1e-17 * all_waiting.answered &&
            rest * keep * (H + inv / (1 - r)) <= 1e-17 * all_waiting.waited &&
            rest_late <= 1e-17 * late.abandoned && rest_late * keep <= 1e-17 * late.answered)
            break;
    }
    const real weight = std::exp(h);  // of the calls offered a wait past t
    const double wait = all_waiting.wait;
    const double answered = all_waiting.answered;
    const double abandoned = all_waiting.abandoned;
    const real answered_late = weight * decay * late.answered;
    real in_time = answered - answered_late;
    const real abandoned_late = weight * decay * late.abandoned;
    // The abandons within t only where they are at least half of all (the
    // weight e^h carries its exponent's rounding into the difference).
    if (within && t > 0 && abandoned > 2 * (abandoned - abandoned_late)) return false;
    // The free agents' weight 1 / B - 1 and the queue's, relative to the
    // larger: the first is beyond any double where s is far above A.
    const real free_weight = ln_free(s, A);
    const real larger = std::fmax(free_weight, 0.0L);
    const real free = std::exp(free_weight - larger);
    const real k = std::exp(-larger);
    if (t > 0 && free + k * answered > 16 * (free + k * in_time)) {
        // Most answered calls wait past t (an overload): those within t
        // as the upper function's difference, (a / x) (Q(a + 1, y) -
        // Q(a + 1, x)) / Poisson(a, x), which cancels only where t is short.
        if (!within_reach(a, x)) return false;
        const real exact_a = static_cast<real>(s) * patience;
        const real exact_x = static_cast<real>(A) * patience;
        const real exact_y = exact_x * std::exp(-t / static_cast<real>(patience));
        const Gamma at_x = gamma_at(exact_a, exact_x);
        const real later = std::exp(gamma_at(exact_a, exact_y).lnQ - at_x.ln_poisson);
        in_time = a / x * (later - std::exp(at_x.lnQ - at_x.ln_poisson));
        // (NaN, too, where Q / Poisson leaves even the long doubles.)
        if (!(free + k * a / x * later <= 16 * (free + k * in_time))) return false;
    }
    const real all = free + k * wait;
    f.wait = static_cast<double>(k * wait / all);
    f.abandoned = static_cast<double>(k * abandoned / all);
    f.unanswered = static_cast<double>(k * (abandoned + answered_late) / all);
    f.level = static_cast<double>((free + k * in_time) / all);
    f.abandoned_within = static_cast<double>(k * (abandoned - abandoned_late) / all);
    f.answered = static_cast<double>((free + k * answered) / all);
    f.mean_wait = static_cast<double>(patience * k * all_waiting.waited / (free + k * answered));
    return true;
}

// The figures but the mean wait and the abandons within t, for s patience
// >= 1, from the incomplete gamma function: against the state of s calls
// the calls that wait weigh 1 + S(x), those answered (a / x) S(x), and
// those answered after t (a / x) S(y), S(z) = P(a + 1, z) / Poisson(a, x);
// the abandoned ones 1 + (1 - a / x) S(x), two terms of one sign where the
// load is above the agents, and which may cancel below, where the waiting
// calls rarely abandon. Two or three evaluations' worth; false where the
// abandoned or the service level would cancel by more than 16.
bool by_gamma(double s, double A, double patience, double t, Figures& f)
{
    if (!(s * patience >= 1 && within_reach(s * patience, A * patience))) return false;
    // The masses relative to the larger of 1 and S(x), either of which may
    // lie beyond the doubles: with norm = ln(1 / Poisson(a, x)), the state
    // of s calls weighs e^-scale, and P(a + 1, z) or Q(a + 1, z) weighs
    // e^(its logarithm + norm - scale).
    const real a = static_cast<real>(s) * patience;
    const real x = static_cast<real>(A) * patience;
    const Gamma at_x = gamma_at(a, x);
    const real norm = -at_x.ln_poisson;
    const real scale = std::fmax(0.0L, at_x.lnP + norm);
    const auto weight = [&](double ln) { return std::exp(static_cast<double>(ln + norm - scale)); };
    const double waiting = weight(at_x.lnP);
    const double upper = weight(at_x.lnQ);
    double late = std::isinf(t) ? 0 : waiting;  // of the calls offered a wait past t
    // The calls answered within t, against P(a + 1, x), as P(a + 1, x) -
    // P(a + 1, y) or as Q(a + 1, y) - Q(a + 1, x), whichever cancels less,
    // and what it was taken from.
    double in_time = waiting - late;
    double minuend = in_time;
    if (t > 0 && std::isfinite(t)) {
        const Gamma at_y = gamma_at(a, x * std::exp(-t / static_cast<real>(patience)));
        late = weight(at_y.lnP);
        const double upper_late = weight(at_y.lnQ);
        in_time = waiting - late, minuend = waiting;
        if (upper_late < waiting) in_time = upper_late - upper, minuend = upper_late;
    }
    // Terms whose exponent is large are far below the others: doubles keep
    // what digits matter.
    const double one = std::exp(static_cast<double>(-scale));
    const double kept = s / A;  // a / x
    const double abandoned = one + (A - s) / A * waiting;
    if (!(one <= 16 * abandoned)) return false;
    // The free agents' weight 1 / B - 1 is below A / (A - s) where A > s (B
    // >= 1 - s / A): where that is below 1e-17 of every figure, as in a
    // deep overload, it needs no evaluation.
    double free = A > s ? std::exp(static_cast<double>(std::log(A / (A - s)) - scale)) : HUGE_VAL;
    if (free > 1e-17 * std::fmin(abandoned, kept * in_time))
        free = std::exp(static_cast<double>(ln_free(s, A) - scale));
    if (!std::isfinite(free)) return false;  // s far above A: the others' tiny figures
    if (!(free + kept * minuend <= 16 * (free + kept * in_time))) return false;
    const double all = free + one + waiting;
    f.wait = (one + waiting) / all;
    f.abandoned = abandoned / all;
    f.unanswered = (abandoned + kept * late) / all;
    f.level = (free + kept * in_time) / all;
    f.answered = (free + kept * waiting) / all;
    f.abandoned_within = f.mean_wait = none;
    return true;
}

// Whether callers are as good as never abandoning: beyond 1e100 holding
// times the figures are Erlang C's to far below a rounding step, and
// products with the patience would leave the doubles.
bool endless(double patience) { return patience > 1e100; }

bool in_domain(double s, double A, double patience)
{
    return s > 0 && s <= erlangb_max_circuits && A >= 0 && A <= erlangb_max_load && patience > 0;
}

// What a caller needs beyond the shares: the abandons within t, the mean wait.
constexpr unsigned want_within = 1;
constexpr unsigned want_mean_wait = 2;

// The figures, with the limits of no load and of callers who never
// abandon; by the cheapest way that keeps the accuracy: the incomplete
// gamma function (where the sums would be long), the sums over the states,
// the quadrature.
Figures evaluate(double s, double A, double patience, double t, unsigned need = 0)
{
    if (A == 0) return {0, 0, 1, 0, 0, 0, 1};
    if (patience < 1e-290) {  // every call that waits abandons at once, to 1e-280
        const double B = erlangb_continuous(s, A);
        // 1 - B from ln B, whose digits it keeps where B is near 1
        const double answered = -std::expm1(teletraffic::detail::continuous(s, A).lnB);
        return {B, B, 1 - B, B, t > 0 ? B : 0, 0, answered};
    }
    if (endless(patience)) {
        const double level = erlangc_service_level(s, A, t);
        return {erlangc(s, A),           s > A ? 0 : 1 - s / A, level, 1 - level, 0,
                erlangc_mean_wait(s, A), s > A ? 1 : s / A};
    }
    Figures f{};
    if ((need & (want_within | want_mean_wait)) == 0 && terms(s * patience, A * patience) > 250 &&
        by_gamma(s, A, patience, t, f))
        return f;
    if (by_states(s, A, patience, t, (need & want_within) != 0, f)) return f;
    return figures(s, A, patience, t);
}

// ---- Staffing and the load: targets as log excesses ----------------------

using teletraffic::detail::is_set;
using teletraffic::detail::Kind;
// Endless lines block nobody: a blocking target is met throughout.
constexpr Kind kinds[] = {Kind::level, Kind::wait, Kind::probability, Kind::occupancy,
                          Kind::abandonment};

// What a kind of target needs of evaluate() beyond the shares.
unsigned need(Kind kind) { return kind == Kind::wait ? want_mean_wait : 0; }

// The logarithm of a figure (or its complement), which may have rounded
// to 0: finite, so that a solver's secant through it is.
double ln(double figure)
{
    return std::log(std::fmax(figure, std::numeric_limits<double>::denorm_min()));
}

// How far the figures miss one target, as a difference of logarithms: > 0
// where they miss it.
double excess(const StaffingTarget& target, Kind kind, const Figures& f, double s, double A)
{
    switch (kind) {
    case Kind::level: return ln(f.unanswered) - std::log1p(-target.service_level);
    case Kind::wait: return ln(f.mean_wait) - std::log(target.mean_wait);
    case Kind::probability: return ln(f.wait) - std::log(target.wait_probability);
    case Kind::occupancy:
        return ln(f.answered) + std::log(A) - std::log(s) - std::log(target.max_occupancy);
    default: return ln(f.abandoned) - std::log(target.max_abandonment);
    }
}

// excess() with, for a share, the logarithm of its complement taken off
// (logit(figure) - logit(target)): the same root, but no flat stretch
// where the share nears 1, as every share does when the agents vanish
// under a vanishing load, and the occupancy when nearly every caller
// abandons, which would stall regula falsi there.
double logit_excess(const StaffingTarget& target, Kind kind, const Figures& f, double s, double A)
{
    const double g = excess(target, kind, f, s, A);
    switch (kind) {
    case Kind::level: return g - ln(f.level) + std::log(target.service_level);
    case Kind::probability: return g - ln(1 - f.wait) + std::log1p(-target.wait_probability);
    case Kind::abandonment: return g - ln(f.answered) + std::log1p(-target.max_abandonment);
    case Kind::occupancy: return g - ln(1 - f.answered * A / s) + std::log1p(-target.max_occupancy);
    default: return g;
    }
}

bool meets(const StaffingTarget& target, Kind kind, const Figures& f, double s, double A)
{
    switch (kind) {
    case Kind::level: return f.level >= target.service_level;
    case Kind::wait: return f.mean_wait <= target.mean_wait;
    case Kind::probability: return f.wait <= target.wait_probability;
    case Kind::occupancy: return std::fmin(f.answered * A / s, 1.0) <= target.max_occupancy;
    default: return f.abandoned <= target.max_abandonment;
    }
}

double answer_time(const StaffingTarget& target)
{
    return is_set(target, Kind::level) ? target.answer_time : 0.0;
}

// Whether s agents meet every target, judged by the figures; `worst` gets
// the largest excess over the targets, which guides the solvers' steps.
bool judge(const StaffingTarget& target, double s, double A, double patience, int& evaluations,
           double& worst)
{
    ++evaluations;
    const Figures f = evaluate(s, A, patience, answer_time(target),
                               is_set(target, Kind::wait) ? want_mean_wait : 0);
    worst = -HUGE_VAL;
    bool all = true;
    for (const Kind kind : kinds) {
        if (!is_set(target, kind)) continue;
        all = all && meets(target, kind, f, s, A);
        worst = std::fmax(worst, excess(target, kind, f, s, A));
    }
    return all;
}

// The targets without the abandonment, for Erlang C's guesses; false when
// that leaves none.
bool without_abandonment(StaffingTarget& target)
{
    target.max_abandonment = none;
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [&](Kind kind) { return is_set(target, kind); });
}

// The agents per erlang one target needs where calls come as a fluid
// (loads so large that every share is its mean): with s < A every call
// waits, s / A of them are answered, all after a wait of patience
// ln(A / s); with s > A nobody waits. A guess for the overload, where
// Erlang C's count lies far above.
double fluid_share(const StaffingTarget& target, Kind kind, double patience)
{
    switch (kind) {
    case Kind::level:
        return std::fmax(target.service_level, std::exp(-target.answer_time / patience));
    case Kind::wait: return std::exp(-target.mean_wait / patience);
    case Kind::abandonment: return 1 - target.max_abandonment;
    case Kind::occupancy: return 1 / target.max_occupancy;
    default: return 1;
    }
}

// The fewest whole agents, at least 1, that meet every target, or 0 past
// erlangb_max_circuits. The figures decide whether n agents meet them; the
// largest excess over the targets, which falls with n, guides the steps:
// from Erlang C's count, or the fluid guess where that lies far below it,
// out by sqrt(A), then by secant steps, to a bracket, then regula falsi on whole
// numbers (Illinois: an end that stays twice has its excess halved), each
// step at the whole number above the root it predicts, or the one below
// the fewest known to meet, so that the last two figures are mostly the
// answer and the count below it.
int whole_agents(double A, double patience, const StaffingTarget& target, int& evaluations)
{
    if (A == 0) return 1;
    // Where the load overwhelms the agents, the fluid guess is nearer than
    // Erlang C's count, which is above A.
    double fluid = 0;
    for (const Kind kind : kinds)
        if (is_set(target, kind)) fluid = std::fmax(fluid, A * fluid_share(target, kind, patience));
    const bool overload = fluid < A - 4 * std::sqrt(A);
    int n = overload ? std::max(1, static_cast<int>(fluid)) : 0;  // fluid below A there
    StaffingTarget c = target;
    if (!overload) {
        n = without_abandonment(c) ? erlangc_agents(A, c) : 0;
        if (n == 0) n = std::max(1, static_cast<int>(std::ceil(A)));
    }
    double g = 0;
    int lo = 0;  // the most agents known to miss (no agents answer nothing)
    int hi = 0;  // the fewest known to meet, 0 while none is
    double g_lo = 0;
    double g_hi = 0;
    double step = 0;    // the last step while one side alone is known
    double last_n = 0;  // and the figures before
    double last_g = 0;
    for (int side = 0;;) {
        const bool met = judge(target, n, A, patience, evaluations, g);
        if (met) {
            if (side == 1 && lo != 0) g_lo /= 2;  // Illinois: an end that stays
            hi = n, g_hi = g, side = 1;
        } else {
            if (n == erlangb_max_circuits) return 0;
            if (side == -1 && hi != 0) g_hi /= 2;
            lo = n, g_lo = g, side = -1;
        }
        if (hi - lo == 1) return hi;
        double root = 0;
        if (lo != 0 && hi != 0) {
            // A bracket: regula falsi on it, or halving where the excesses fail.
            root = lo + (hi - lo) * (g_lo / (g_lo - g_hi));
            if (!(root > lo && root < hi)) root = 0.5 * (lo + hi);
        } else {
            // One side alone: out by sqrt(A) first (by one agent below a
            // fluid guess that meets, which the answer mostly is or lies
            // just under), then to where the secant through the last two
            // figures points, at least one agent and at most four times the
            // last step (twice where it points back).
            const double secant = g * (n - last_n) / (last_g - g);  // its root less n
            const double reach = met ? -secant : secant;
            const double first = overload && met ? 1 : std::fmax(1.0, std::floor(std::sqrt(A)));
            step = step == 0      ? first
                   : !(reach > 0) ? 2 * step
                                  : std::fmin(4 * step, std::fmax(1.0, reach));
            root = met ? n - step : n + step;
        }
        last_n = n, last_g = g;
        // The whole number above the root, or below hi where that is hi.
        double next = std::ceil(root);
        if (hi != 0 && next >= hi) next = hi - 1;
        next = std::fmax(next, lo + 1.0);
        n = static_cast<int>(std::fmin(next, static_cast<double>(erlangb_max_circuits)));
    }
}

// Whether the targets lie in their domains here: a service level by
// another definition than the offered calls' is Erlang X's (erlangx.h,
// endless lines) where callers abandon.
bool valid(const StaffingTarget& target, double patience)
{
    return teletraffic::detail::targets_valid(target) &&
           (target.service_level_of == ServiceLevelOf::offered || endless(patience));
}

}  // namespace

double erlanga_wait_probability(double s, double A, double patience)
{
    if (!in_domain(s, A, patience)) return none;
    return teletraffic::detail::at_most_one(evaluate(s, A, patience, 0).wait);
}

double erlanga_abandonment(double s, double A, double patience)
{
    if (!in_domain(s, A, patience)) return none;
    return teletraffic::detail::at_most_one(evaluate(s, A, patience, 0).abandoned);
}

double erlanga_service_level(double s, double A, double patience, double t)
{
    if (!in_domain(s, A, patience) || !(t >= 0)) return none;
    return teletraffic::detail::at_most_one(evaluate(s, A, patience, t).level);
}

double erlanga_abandoned_within(double s, double A, double patience, double t)
{
    if (!in_domain(s, A, patience) || !(t >= 0)) return none;
    return teletraffic::detail::at_most_one(
        evaluate(s, A, patience, t, want_within).abandoned_within);
}

teletraffic::detail::OfferedWait teletraffic::detail::erlanga_offered_wait(double s, double A,
                                                                           double patience,
                                                                           double t)
{
    if (endless(patience))
        return {std::isfinite(t) ? erlangc_service_level(s, A, t) : 1, erlangc_mean_wait(s, A)};
    const Figures f = figures(s, A, patience, t);
    return {std::isfinite(t) ? f.virtual_level : 1, f.virtual_mean_wait};
}

double erlanga_mean_wait(double s, double A, double patience)
{
    if (!in_domain(s, A, patience)) return none;
    return evaluate(s, A, patience, 0, want_mean_wait).mean_wait;
}

double erlanga_occupancy(double s, double A, double patience)
{
    if (!in_domain(s, A, patience)) return none;
    if (endless(patience)) return s > A ? A / s : 1;
    return teletraffic::detail::at_most_one(evaluate(s, A, patience, 0).answered * A / s);
}

int erlanga_agents(double A, double patience, const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!valid(target, patience) || !(A >= 0 && A <= erlangb_max_load) || !(patience > 0)) return 0;
    if (endless(patience)) return erlangc_agents(A, target, evaluations);
    return whole_agents(A, patience, target, *evaluations);
}

double erlanga_fractional_agents(double A, double patience, const StaffingTarget& target,
                                 int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!valid(target, patience) || !(A >= 0 && A <= erlangb_max_load) || !(patience > 0))
        return none;
    if (endless(patience)) return erlangc_fractional_agents(A, target, evaluations);
    const int whole = whole_agents(A, patience, target, *evaluations);
    if (whole == 0) return none;
    if (A == 0) return 0.0;
    const double t = answer_time(target);
    // Below one agent the steps go in ln s, from 2^-60 (the least tried) to 1.
    const bool below_one = whole == 1;
    const auto agents_at = [&](double x) { return below_one ? std::exp(x) : x; };
    double real_agents = 0;
    for (const Kind kind : kinds) {
        if (!is_set(target, kind)) continue;
        const auto g = [&](double x) {
            ++*evaluations;
            const double s = agents_at(x);
            return logit_excess(target, kind, evaluate(s, A, patience, t, need(kind)), s, A);
        };
        double hi = below_one ? 0 : whole;
        double lo = below_one ? std::log(0x1p-60) : whole - 1.0;
        double g_hi = g(hi);
        double g_lo = none;
        // The occupancy below one agent may level off at a value above the
        // target as s falls, flat in ln s: the bracket is first narrowed
        // in steps of a thousandfold, so that the steps never start there.
        while (kind == Kind::occupancy && below_one && g_hi < 0 && hi - lo > 7) {
            const double next = hi - 3 * std::log(10.0);
            const double g_next = g(next);
            if (!(g_next < 0)) {
                lo = next, g_lo = g_next;
                break;
            }
            hi = next, g_hi = g_next;
        }
        if (std::isnan(g_lo)) g_lo = g(lo);
        // Met at the low end: another target binds, or (a mean wait only the
        // last few calls' waits reach) none does, and the least tried is it.
        // Where the figures and g differ in rounding at an end, that end.
        double found = agents_at(hi);
        if (!(g_lo > 0)) {
            found = below_one ? 0x1p-60 : lo + 1e-10;
        } else if (g_hi < 0) {
            int steps = 0;
            found = agents_at(
                teletraffic::detail::falsi(g, lo, g_lo, hi, g_hi, [&](double a, double b) {
                    return std::fabs(a - b) <= 1e-11 * std::fmax(1.0, b) || ++steps > 100;
                }));
        }
        real_agents = std::max(real_agents, found);
    }
    return real_agents;
}

double erlanga_load(double s, double patience, const StaffingTarget& target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!valid(target, patience) || !(s > 0 && s <= erlangb_max_load) || !(patience > 0))
        return none;
    if (endless(patience)) return erlangc_load(s, target, evaluations);
    const double t = answer_time(target);
    const double least = std::log(std::numeric_limits<double>::denorm_min());
    const double most = std::log(erlangb_max_load);
    // Erlang C's load, below s, guides the steps where the fluid load does
    // not lie far above it (the load overwhelming the agents).
    double fluid = erlangb_max_load;
    for (const Kind kind : kinds)
        if (is_set(target, kind)) fluid = std::fmin(fluid, s / fluid_share(target, kind, patience));
    StaffingTarget c = target;
    const double guess =
        fluid < s + 4 * std::sqrt(s) && without_abandonment(c) ? erlangc_load(s, c) : s;
    double load = erlangb_max_load;
    for (const Kind kind : kinds) {
        if (!is_set(target, kind)) continue;
        // The figure worsens as the load grows: steps in ln A from the
        // guess bracket where it meets the target, Anderson-Bjorck closes.
        double met = -HUGE_VAL;  // the largest ln A seen to meet the target
        double g_met = 0;
        double g_last = 0;  // at the last point
        const auto g = [&](double x) {
            ++*evaluations;
            const double A = std::exp(x);
            g_last = excess(target, kind, evaluate(s, A, patience, t, need(kind)), s, A);
            if (g_last <= 0 && x > met) met = x, g_met = g_last;
            return g_last;
        };
        double x0 = std::log(guess > 0 ? guess : s);
        // Where the load overwhelms the agents, the fluid load is nearer.
        x0 = std::fmax(x0, std::log(s / fluid_share(target, kind, patience)) - 2 / std::sqrt(s));
        // The loads of Erlang A and C differ by some per cent at thousands of
        // agents, tens of per cent at a few: the first step in ln A so.
        const double first = std::fmin(0.5, 1 / std::sqrt(s));
        double g0 = g(x0);
        double x1 = x0;
        double g1 = g0;
        bool edge = false;
        for (int i = 0; (g0 > 0) == (g1 > 0); ++i) {
            if (x1 == (g1 > 0 ? least : most)) {
                edge = true;
                break;
            }
            x0 = x1, g0 = g1;
            x1 = std::fmin(most, std::fmax(least, x0 + (g0 > 0 ? -1 : 1) * std::ldexp(first, i)));
            g1 = g(x1);
        }
        double A = g1 > 0 ? 0.0 : erlangb_max_load;
        if (!edge) {
            // Done when the ends are 1e-14 apart, or the last point is
            // the one before (the figures' rounding stalls the steps); the
            // answer is the largest load seen to meet the target where
            // that is within 1e-13 of the last point.
            int steps = 0;
            double last = NAN;
            const double root =
                teletraffic::detail::falsi(g, x0, g0, x1, g1, [&](double a, double b) {
                    const bool stalled = b == last;
                    last = b;
                    return std::fabs(a - b) <= 1e-14 || stalled || ++steps > 100;
                });
            // Else a point missing by a rounding step or two of the figures:
            // twice the secant's way back toward the end that meets.
            double x = root - met <= 1e-13 ? met : root;
            if (x == root && g_last > 0 && met > -HUGE_VAL)
                x = std::fmax(met, root - 2 * g_last * (root - met) / (g_last - g_met));
            A = std::exp(x);
        }
        load = std::fmin(load, A);
    }
    // The figures decide: a load a rounding step past a target steps down.
    double worst = 0;
    for (int i = 0; i < 60 && load > 0 && !judge(target, s, load, patience, *evaluations, worst);
         ++i)
        load -= std::ldexp(load, i - 52);
    return load;
}
