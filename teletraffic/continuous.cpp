// SPDX-License-Identifier: MIT
// The continuous Erlang B function of real circuits and its two inverses.
#include <algorithm>
#include <cmath>
#include <limits>

#include "teletraffic/blocking.h"
#include "teletraffic/erlangb.h"

using teletraffic::detail::Blocking;
using teletraffic::detail::continuous;

namespace {

constexpr double log_2pi = 1.8378770664093454836;
constexpr double pi = 3.14159265358979323846;

// A number as the unevaluated sum hi + lo of two doubles, |lo| at most half
// a rounding step of hi: about 32 digits, for the few quantities whose
// rounding exp() would magnify (a deviance of 700 rounded to a double moves
// e^-700 by 1e-13).
struct Twofold {
    double hi, lo;
};

// a + b exactly; an infinite sum alone (a deviance past the doubles).
Twofold two_sum(double a, double b)
{
    const double s = a + b;
    if (!std::isfinite(s)) return {s, 0};
    const double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

// a * b exactly, by Dekker's splitting (no fused multiply-add needed);
// beyond 2^995, where the splitting would overflow, the rounded product
// alone (no figure of the library needs its digits there).
Twofold two_product(double a, double b)
{
    if (std::fabs(a) > 0x1p995 || std::fabs(b) > 0x1p995) return {a * b, 0};
    const auto split = [](double x) {
        const double c = 134217729.0 * x;  // 2^27 + 1
        const double high = c - (c - x);
        return Twofold{high, x - high};
    };
    const double p = a * b;
    const Twofold x = split(a);
    const Twofold y = split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// The pair renormalised, for |hi| >= |lo|; an infinite one alone.
Twofold normal(double hi, double lo)
{
    const double s = hi + lo;
    if (!std::isfinite(s)) return {s, 0};
    return {s, lo - (s - hi)};
}

// Sums and products to about 1e-30 of the larger operand.
Twofold operator+(Twofold a, Twofold b)
{
    const Twofold s = two_sum(a.hi, b.hi);
    return normal(s.hi, s.lo + a.lo + b.lo);
}
Twofold operator-(Twofold a) { return {-a.hi, -a.lo}; }
Twofold operator*(Twofold a, Twofold b)
{
    const Twofold p = two_product(a.hi, b.hi);
    return normal(p.hi, p.lo + a.hi * b.lo + a.lo * b.hi);
}
Twofold operator/(Twofold a, Twofold b)
{
    const double q = a.hi / b.hi;
    const Twofold r = a + -(b * Twofold{q, 0});
    return normal(q, r.hi / b.hi);
}

// 1/3 + w/5 + w^2/7 + ... for 0 <= w <= 1/9, to a rounding step or two.
double odd_series(double w)
{
    double sum = 1.0 / 3;
    double power = 1;
    for (int k = 1; k < 20 && power > 1e-17; ++k) power *= w, sum += power / (2 * k + 3);
    return sum;
}

// ln y for y > 0 (subnormal too), to about 4e-19 absolute: y = 2^e m with
// m in [sqrt(1/2), sqrt(2)), and ln m = 2 atanh(u) = 2u + 2u^3 (1/3 + ...),
// u = (m - 1) / (m + 1), the last part, below 0.0034, in doubles.
Twofold log_twofold(double y)
{
    constexpr Twofold ln2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
    int e = 0;
    double m = std::frexp(y, &e);
    if (m < 0.70710678118654752) m *= 2, --e;
    const Twofold u = Twofold{m - 1, 0} / two_sum(m, 1);
    const double cube = 2 * u.hi * u.hi * u.hi * odd_series(u.hi * u.hi);
    return Twofold{static_cast<double>(e), 0} * ln2 + Twofold{2 * u.hi, 2 * u.lo} +
           Twofold{cube, 0};
}

// The deviance x ln(x/A) + A - x >= 0 of x, A > 0, to a few rounding steps
// of it and 2e-14 absolute at most (1e-15 below 4). Where x and A are close and the two
// terms nearly cancel, as the series (x - A) v + 2x v^3 (1/3 + v^2/5 + ...)
// in v = (x - A) / (x + A), |v| < 1/3, whose terms never cancel much, the
// leading one in pairs where it exceeds 4 (the rest is below 0.15 of
// it); elsewhere from the logarithms, in pairs.
Twofold deviance(double x, double A)
{
    const Twofold d = two_sum(x, -A);
    if (std::fabs(d.hi) < (x + A) / 3) {
        const double v = d.hi / (x + A);
        const double rest = 2 * x * v * v * v * odd_series(v * v);
        if (d.hi * v < 4) return {d.hi * v + rest, 0};
        return d * (d / two_sum(x, A)) + Twofold{rest, 0};
    }
    // ln(x / A) from the quotient's pair, ln(q.hi) + q.lo / q.hi, unless
    // the quotient leaves the normal doubles.
    const double ratio = x / A;
    if (!(ratio > 0x1p-1000 && ratio < 0x1p1000))
        return Twofold{x, 0} * (log_twofold(x) + -log_twofold(A)) + -d;
    const Twofold q = Twofold{x, 0} / Twofold{A, 0};
    const Twofold log_ratio = log_twofold(q.hi) + Twofold{q.lo / q.hi, 0};
    return Twofold{x, 0} * log_ratio + -d;
}

// Stirling's error term ln Gamma(x + 1) - (x + 1/2) ln x + x - ln(2 pi)/2,
// for x > 0: at whole x below 15 from a table (to a rounding step), at
// other x below 15 from lgamma (to about 1e-15, its terms cancelling to a
// hundredth), and from its asymptotic series above (error below 1e-18).
double stirling_error(double x)
{
    static const double whole[] = {0.08106146679532726,  0.0413406959554093,   0.02767792568499834,
                                   0.020790672103765093, 0.016644691189821193, 0.013876128823070748,
                                   0.01189670994589177,  0.010411265261972096, 0.009255462182712733,
                                   0.00833056343336287,  0.007573675487951841, 0.00694284010720953,
                                   0.006408994188004207, 0.0059513701127588475};
    if (x < 15 && x >= 1 && x == std::floor(x)) return whole[static_cast<int>(x) - 1];
    if (x < 15) return std::lgamma(x + 1) - (x + 0.5) * std::log(x) + x - 0.5 * log_2pi;
    const double r = 1 / x;
    const double r2 = r * r;
    return r *
           (1.0 / 12 - r2 * (1.0 / 360 -
                             r2 * (1.0 / 1260 -
                                   r2 * (1.0 / 1680 - r2 * (1.0 / 1188 - r2 * (691.0 / 360360))))));
}

// ln Gamma(1 + a) for 0 <= a < 1, to a few rounding steps relative to it
// even where a is tiny, where lgamma(1 + a) would lose a's digits to the
// sum 1 + a: below 0.2 from its Taylor series, -gamma a + sum of
// zeta(k) (-a)^k / k for k >= 2, whose terms shrink by a.
double lgamma1p(double a)
{
    if (a >= 0.2) return std::lgamma(1 + a);
    static const double zeta_over_k[] = {
        // zeta(k) / k, k = 2 .. 26
        0.82246703342411321824,  0.40068563438653142847,  0.27058080842778454788,
        0.20738555102867398527,  0.16955717699740818995,  0.14404989676884611812,
        0.12550966952474304242,  0.11133426586956469049,  0.10009945751278180853,
        0.090954017145829042233, 0.083353840546109004025, 0.076932516411352191473,
        0.071432946295361336059, 0.066668705882420468033, 0.062500955141213040742,
        0.058823978658684582339, 0.055555767627403611102, 0.052631679379616660734,
        0.05000004769810169364,  0.047619070330142227991, 0.045454556293204669442,
        0.043478266053040259361, 0.041666669150341210469, 0.040000001192140140586,
        0.038461539034675185706};
    constexpr double euler = 0.57721566490153286061;
    double sum = 0;
    double power = -a;
    for (const double c : zeta_over_k) power *= -a, sum += c * power;
    return sum - euler * a;
}

// ln of the Poisson factor A^x e^(-A) / Gamma(x + 1), x > 0, in its
// saddle-point form, to about 1e-15 absolute wherever it is above -745.
Twofold log_poisson(double x, double A)
{
    return -deviance(x, A) + Twofold{-0.5 * (log_2pi + std::log(x)) - stirling_error(x), 0};
}

// ln B and the slope d ln B / d ln A = x - A + A B, where B is below about
// one half and the slope cancels little.
Blocking with_slope(double x, double A, Twofold lnB)
{
    return {lnB.hi, x - A + A * std::exp(lnB.hi), lnB.lo};
}

// ln B and its slope for x < 1 and A < x + 1, where B may lie within a
// rounding step of 1 and 1 - B must keep its digits (the waiting systems
// divide by it). 1 - B = Q(x, A) / Q(x + 1, A) with the regularized upper
// gamma function Q, and Q(x + 1, A) = Q(x, A) + Poisson, so
// 1 / B = 1 + Q(x, A) / Poisson. Q(x, A) by its series for small x,
//   Q = -expm1(L) - e^L x sum of (-A)^k / ((x + k) k!), L = x ln A - ln Gamma(1 + x),
// whose two parts cancel by at most a factor of 30 here (A < 2).
Blocking small(double x, double A)
{
    const double L = x * std::log(A) - lgamma1p(x);
    double sum = 0;
    double term = 1;
    for (int k = 1; k < 60; ++k) {  // A^k / k! is below 1e-17 of the sum by k = 30
        term *= -A / k;
        const double next = sum + term / (x + k);
        if (next == sum) break;
        sum = next;
    }
    const double Q = -std::expm1(L) - std::exp(L) * x * sum;
    const double lnP = L - A;  // ln Poisson
    const double P = std::exp(lnP);
    // Where B is small, ln B = ln P - ln(Q + P) keeps its absolute digits
    // (P may be subnormal); where it is near 1, -log1p(Q / P) its relative.
    const double lnB = Q > P ? lnP - std::log(Q + P) : -std::log1p(Q / P);
    return with_slope(x, A, {lnB, 0});
}

}  // namespace

namespace {

// Temme's expansion of the regularized gamma functions at s >= 5000 and
// |A - s| <= 0.05 s: Q(s, A) = erfc(w) / 2 + e^(-w^2) tail and P(s, A) =
// erfc(-w) / 2 - e^(-w^2) tail, tail = (c0 + c1 / s + c2 / s^2) / sqrt(2 pi s),
// w = eta sqrt(s / 2), eta^2 / 2 = lambda - 1 - ln lambda, lambda = A / s.
// Here |eta| < 0.05; the c_k need far fewer digits than Q, as their part is
// at most a few per cent of it. The tail is negative, so that P, below A =
// s, is a sum of two positive terms.
struct Temme {
    double w, tail;
};
Temme temme(double s, double A)
{
    const double mu = (A - s) / s;
    const double eta = std::copysign(std::sqrt(2 * deviance(s, A).hi / s), mu);
    double c0 =
        -1.0 / 3 +
        eta * (1.0 / 12 +
               eta * (-2.0 / 135 + eta * (1.0 / 864 + eta * (1.0 / 2835 - eta * 139.0 / 777600))));
    double c1 = -1.0 / 540 + eta * (-1.0 / 288 + eta / 378);
    if (std::fabs(eta) >= 0.01) {  // the closed forms, which cancel less here than the series errs
        c0 = 1 / mu - 1 / eta;
        c1 = 1 / (eta * eta * eta) - 1 / (mu * mu * mu) - 1 / (mu * mu) - 1 / (12 * mu);
    }
    const double c2 = 25.0 / 6048 - 139.0 / 51840 * eta;
    return {eta * std::sqrt(s / 2), (c0 + (c1 + c2 / s) / s) / std::sqrt(2 * pi * s)};
}

bool temme_region(double s, double A) { return s >= 5000 && std::fabs(A - s) <= 0.05 * s; }

// erfc(w) e^(w^2) for w >= 5, by Laplace's continued fraction.
double erfc_scaled(double w)
{
    double fraction = w;
    for (int k = 60; k >= 1; --k) fraction = w + 0.5 * k / fraction;
    return 1 / (std::sqrt(pi) * fraction);
}

// 1 + A/(s+1) + A^2/((s+1)(s+2)) + ... for 0 < A < s, so that the lower
// function P(s, A) = Poisson(s - 1, A) (A / s) times it. The terms shrink
// by r < 1: the rest after a term is at most term r / (1 - r).
double lower_series(double s, double A)
{
    double term = 1;
    double sum = 1;
    // r falls below 1/2 within about A terms: 1000 (A < s <= 5000 in
    // continuous(), Temme's region taking the rest) reach far below a
    // rounding step.
    for (int k = 1; k < 20000; ++k) {
        const double r = A / (s + k);
        term *= r;
        sum += term;
        if (term * r < 1e-17 * sum * (1 - r)) break;
    }
    return sum;
}

}  // namespace

Blocking teletraffic::detail::continuous(double x, double A)
{
    // Endless circuits lose nothing (a final group of c = infinity).
    if (std::isinf(x)) return {-HUGE_VAL, HUGE_VAL};
    const double s = x + 1;
    if (temme_region(s, A)) {
        const Temme t = temme(s, A);
        if (t.w < 5) {
            const double Q = 0.5 * std::erfc(t.w) + std::exp(-t.w * t.w) * t.tail;
            return with_slope(x, A, log_poisson(x, A) + Twofold{-std::log(Q), 0});
        }
        // Deep in the upper tail both parts of Q underflow: take out e^(-w^2),
        // whose deviance cancels the Poisson factor's exactly,
        //   ln(Poisson) + w^2 = x log1p(1/x) - 1 + ln(s/A) - ln(2 pi x)/2 - Stirling(x).
        const double lnB = x * std::log1p(1 / x) - 1 + std::log(s / A) -
                           0.5 * (log_2pi + std::log(x)) - stirling_error(x) -
                           std::log(0.5 * erfc_scaled(t.w) + t.tail);
        return with_slope(x, A, {lnB, 0});
    }
    if (A >= s) {
        // Legendre: Gamma(s, A) = e^(-A) A^s / (A - x + a1 / (b1 + a2 / (b2 + ...))),
        // a_n = n (s - n), b_n = A + 2n + 1 - s (modified Lentz on the part
        // below a1). With f = A - x + tail, B = f / A, so ln B is
        // log1p((tail - x) / A) and the slope x - A + A B is the tail itself:
        // nothing cancels, even where B is a rounding step below 1.
        constexpr double tiny = 1e-300;
        double g = A + 3 - s;
        double C = g;
        double D = 0;
        // It converges in a few hundred terms at most where A >= s; the
        // bound only keeps a NaN from looping.
        for (int n = 2; n < 5000; ++n) {
            const double a = n * (s - n);
            const double b = A + 2 * n + 1 - s;
            D = b + a * D;
            C = b + a / C;
            D = 1 / (D != 0 ? D : tiny);
            C = C != 0 ? C : tiny;
            g *= C * D;
            if (std::fabs(C * D - 1) < 1e-16) break;
        }
        const double tail = x / g;
        return {std::log1p((tail - x) / A), tail};
    }
    if (x < 1) return small(x, A);
    // B = Poisson / (1 - P), P the lower function.
    const Twofold lnP = log_poisson(x, A);
    return with_slope(
        x, A,
        lnP + Twofold{-std::log1p(-std::exp(lnP.hi + std::log(A / s * lower_series(s, A)))), 0});
}

teletraffic::detail::IncompleteGamma teletraffic::detail::incomplete_gamma(double x, double A)
{
    // ln Poisson: below one circuit as x ln A - A - ln Gamma(1 + x), whose
    // terms the saddle-point form's would cancel as x falls to 0.
    const Twofold p = x < 1 ? Twofold{x * std::log(A) - A - lgamma1p(x), 0} : log_poisson(x, A);
    const double s = x + 1;
    if (A >= s) {  // Q at most about 1/2
        const Blocking b = continuous(x, A);
        const double lnQ = (p.hi - b.lnB) + (p.lo - b.lnB_lo);
        return {std::log(-std::expm1(lnQ)), lnQ, p.hi, p.lo};
    }
    // P below its median, taken directly: Temme's two positive terms (with
    // e^(-w^2) = e^-deviance taken out where erfc(-w) underflows), or the
    // series.
    double lnP = 0;
    if (temme_region(s, A)) {
        const Temme t = temme(s, A);
        const Twofold w2 = deviance(s, A);  // w^2
        lnP = t.w > -5 ? std::log(0.5 * std::erfc(-t.w) - std::exp(-t.w * t.w) * t.tail)
                       : std::log(0.5 * erfc_scaled(-t.w) - t.tail) - w2.hi - w2.lo;
    } else {
        lnP = p.hi + p.lo + std::log(A / s * lower_series(s, A));
    }
    return {lnP, std::log(-std::expm1(lnP)), p.hi, p.lo};
}

double erlangb_continuous(double x, double A)
{
    if (!(x >= 0) || !(A >= 0)) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0 || std::isinf(A)) return 1.0;
    if (A == 0 || std::isinf(x)) return 0.0;
    // Beyond 1e300 the methods' sums overflow; there B is within 1e-150
    // (about 1 / sqrt(A)) of 1 - x / A where A > x, and of 0 elsewhere.
    if (x > 1e300 || A > 1e300) return A > x ? (A - x) / A : 0.0;
    // Far above the load B is below half the least subnormal double, and
    // rounds to 0: B < 2 Poisson (below the median of the gamma
    // distribution, where A < x + 2/3, 1 - P > 1/2), and ln Poisson <
    // -deviance, the deviance x ln(x/A) + A - x at least (x - A)^2 / 2x for
    // x > A: seen from that bound alone, or near it from the deviance in
    // doubles, instead of the series.
    if (x > A + 1) {
        const double bound = (x - A) * ((x - A) / x) / 2;  // no overflow where x is huge
        const double ratio = x / A;  // beyond the largest double where A is subnormal
        if (bound > 751 ||
            (bound > 700 &&
             x * (std::isinf(ratio) ? std::log(x) - std::log(A) : std::log(ratio)) + A - x > 751))
            return 0.0;
    }
    // A logarithm a rounding step above 0 is B = 1, no more. The part of
    // ln B below its last bit moves B by that part relative to it.
    const Blocking b = continuous(x, A);
    return b.lnB > 0 ? 1.0 : std::exp(b.lnB) * (1 + b.lnB_lo);
}

double erlangb_fractional_circuits(double A, double target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    const int n = erlangb_circuits(A, target);
    if (n == 0) return std::numeric_limits<double>::quiet_NaN();
    if (A == 0) return 0.0;
    // ln B falls smoothly over (n - 1, n]: secant steps on it, each kept
    // inside the bracket the signs give (halving it otherwise).
    const double lnt = std::log(target);
    double lo = n - 1;
    double hi = n;
    double f_lo = -lnt;  // B(0, A) = 1
    if (n > 1) f_lo = continuous(lo, A).lnB - lnt, ++*evaluations;
    double f_hi = continuous(hi, A).lnB - lnt;
    ++*evaluations;
    // Where the count's own figures and these differ in rounding, the end.
    if (!(f_lo > 0)) return lo + 1e-10;
    if (!(f_hi < 0)) return hi;
    double x0 = lo;  // the last two points, for the secant
    double f0 = f_lo;
    double x1 = hi;
    double f1 = f_hi;
    for (int step = 0;; ++step) {
        double x = x1 - f1 * (x1 - x0) / (f1 - f0);
        // A step that small is the rounding's (of x itself, at millions of
        // circuits).
        if (std::fabs(x - x1) < 1e-11 + 1e-15 * n) return x;
        if (!(x > lo && x < hi)) x = 0.5 * (lo + hi);
        const double f = continuous(x, A).lnB - lnt;
        ++*evaluations;
        if (f == 0 || step == 100) return x;
        (f > 0 ? lo : hi) = x;
        x0 = x1, f0 = f1, x1 = x, f1 = f;
    }
}

double erlangb_continuous_load(double x, double target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!(x > 0 && x <= erlangb_max_circuits) || !(target > 0.0 && target < 1.0))
        return std::numeric_limits<double>::quiet_NaN();
    const double whole = std::floor(x);
    if (x == whole) return erlangb_load(static_cast<int>(whole), target);
    // Newton steps in u = ln A. B falls as x grows, so the loads of the whole
    // neighbours bracket the root; below one circuit B <= A^x / Gamma(x + 1)
    // bounds it from below instead.
    const double lnt = std::log(target);
    // Both are widened by far more than their rounding.
    double lo = whole >= 1 ? std::log(erlangb_load(static_cast<int>(whole), target))
                           : (lnt + std::lgamma(x + 1)) / x;
    double hi = std::log(erlangb_load(static_cast<int>(whole) + 1, target));
    lo -= 1e-9, hi += 1e-9;
    // ln of the smallest (subnormal) double: a tiny target's load may lie below
    const double least = std::log(std::numeric_limits<double>::denorm_min());
    if (lo < least) {
        ++*evaluations;
        if (continuous(x, std::exp(least)).lnB >= lnt) return 0.0;
        lo = least;
    }
    // Between whole neighbours the load's logarithm is nearly linear in x;
    // below one circuit 1/B is nearly 1 + x/A, so B = t at A = x t / (1 - t),
    // and from above a step lands below the root and then climbs to it.
    double u = whole >= 1 ? lo + (x - whole) * (hi - lo)
                          : std::min(hi, std::max(lo, std::log(x * target / (1 - target))));
    // The steps stop at 1e-13, or where the bracket has closed on the
    // rounding of ln B (a tiny x at a target near 1).
    for (int step = 0;; ++step) {
        const Blocking b = continuous(x, std::exp(u));
        ++*evaluations;
        const double g = b.lnB - lnt;
        (g < 0 ? lo : hi) = u;
        const double next = u - g / b.slope;
        if (g == 0 || std::fabs(next - u) <= 1e-13 || hi - lo <= 1e-13 || step == 30)
            return std::exp(next);
        u = next > lo && next < hi ? next : 0.5 * (lo + hi);
    }
}
