// SPDX-License-Identifier: MIT
// Erlang X's figures. The contracts are in erlangx.h.
#include "teletraffic/erlangx.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "teletraffic/blocking.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/falsi.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double most_places = 1e5;

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
// on as p_j = p_(j-1) step(j), falling from its mode on. Every term
// positive: the tail beyond `last` as below, then each step down adds one.
template <class Step>
std::vector<double> tails(Scaled p0, int last, const Step& step)
{
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

bool whole(double v) { return v == std::floor(v); }

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
    // Endless lines: a queue of about (A - s) patience places.
    if (unlimited ? (A - s) * patience > most_places : lines - s > most_places) return nothing;
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
        if (unlimited && r < 1 && q.back().e < all.e - 60) break;
        if (m > most_places) return nothing;
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
            virtual_within = tails(p0, last, [&](int j) { return st / j; });
        } else {
            const double u = t / patience;
            const double x =
                u > 746 ? 0 : std::exp(-u) * (1 - std::fma(-u, patience, t) / patience);
            const double y = -std::expm1(-u);
            virtual_within = tails(p0, last, [&](int j) { return y * (a + j - 1) / j; });
            answered_within = tails(times(p0, x), last, [&](int j) { return y * (a + j) / j; });
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
