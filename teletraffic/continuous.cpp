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

// The deviance x ln(x/A) + A - x >= 0, to a few rounding steps even where
// x and A are close and the two terms nearly cancel: there as the series
// (x - A) v + 2x (v^3/3 + v^5/5 + ...) in v = (x - A) / (x + A), whose terms
// shrink by v^2 and never cancel much.
double deviance(double x, double A)
{
    const double d = x - A;
    if (std::fabs(d) < 0.5 * (x + A)) {
        const double v = d / (x + A);
        double sum = d * v;
        double power = 2 * x * v;
        // |v| < 1/3: 40 terms reach far below a rounding step.
        for (int j = 1; j < 40; ++j) {
            power *= v * v;
            const double next = sum + power / (2 * j + 1);
            if (next == sum) break;
            sum = next;
        }
        return sum;
    }
    // x / A overflows or underflows where one of them is subnormal: there
    // ln(x / A) is beyond 700, and the difference of the logarithms exact
    // enough.
    const double ratio = x / A;
    const double log_ratio =
        ratio > 0x1p-1000 && ratio < 0x1p1000 ? std::log(ratio) : std::log(x) - std::log(A);
    return x * log_ratio + A - x;
}

// Stirling's error term ln Gamma(x + 1) - (x + 1/2) ln x + x - ln(2 pi)/2,
// for x > 0: from lgamma below 15, where nothing large cancels, and from
// its asymptotic series above (error below 1e-18 there).
double stirling_error(double x)
{
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
// saddle-point form.
double log_poisson(double x, double A)
{
    return -deviance(x, A) - 0.5 * (log_2pi + std::log(x)) - stirling_error(x);
}

// ln B and the slope d ln B / d ln A = x - A + A B, where B is below about
// one half and the slope cancels little.
Blocking with_slope(double x, double A, double lnB) { return {lnB, x - A + A * std::exp(lnB)}; }

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
    return with_slope(x, A, lnB);
}

}  // namespace

Blocking teletraffic::detail::continuous(double x, double A)
{
    const double s = x + 1;
    if (s >= 5000 && std::fabs(A - s) <= 0.05 * s) {
        // Temme: Q(s, A) = erfc(w) / 2 + e^(-w^2) (c0 + c1 / s + c2 / s^2) / sqrt(2 pi s),
        // w = eta sqrt(s / 2), eta^2 / 2 = lambda - 1 - ln lambda, lambda = A / s.
        // Here |eta| < 0.05; the c_k need far fewer digits than Q, as their
        // part is at most a few per cent of it.
        const double mu = (A - s) / s;
        const double eta = std::copysign(std::sqrt(2 * deviance(s, A) / s), mu);
        double c0 = -1.0 / 3 +
                    eta * (1.0 / 12 +
                           eta * (-2.0 / 135 +
                                  eta * (1.0 / 864 + eta * (1.0 / 2835 - eta * 139.0 / 777600))));
        double c1 = -1.0 / 540 + eta * (-1.0 / 288 + eta / 378);
        if (std::fabs(eta) >=
            0.01) {  // the closed forms, which cancel less here than the series errs
            c0 = 1 / mu - 1 / eta;
            c1 = 1 / (eta * eta * eta) - 1 / (mu * mu * mu) - 1 / (mu * mu) - 1 / (12 * mu);
        }
        const double c2 = 25.0 / 6048 - 139.0 / 51840 * eta;
        const double w = eta * std::sqrt(s / 2);
        const double tail = (c0 + (c1 + c2 / s) / s) / std::sqrt(2 * pi * s);
        if (w < 5) {
            const double Q = 0.5 * std::erfc(w) + std::exp(-w * w) * tail;
            return with_slope(x, A, log_poisson(x, A) - std::log(Q));
        }
        // Deep in the upper tail both parts of Q underflow: take out e^(-w^2),
        // whose deviance cancels the Poisson factor's exactly,
        //   ln(Poisson) + w^2 = x log1p(1/x) - 1 + ln(s/A) - ln(2 pi x)/2 - Stirling(x),
        // and erfc(w) e^(w^2) from Laplace's continued fraction.
        double fraction = w;
        for (int k = 60; k >= 1; --k) fraction = w + 0.5 * k / fraction;
        const double lnB = x * std::log1p(1 / x) - 1 + std::log(s / A) -
                           0.5 * (log_2pi + std::log(x)) - stirling_error(x) -
                           std::log(0.5 / (std::sqrt(pi) * fraction) + tail);
        return with_slope(x, A, lnB);
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
    // The lower function P(s, A) = Poisson (A / s) (1 + A/(s+1) + A^2/((s+1)(s+2)) + ...),
    // and B = Poisson / (1 - P). The terms shrink by r < 1: the rest after
    // a term is at most term r / (1 - r).
    double term = 1;
    double sum = 1;
    // r falls below 1/2 within about A terms: 1000 (A < s <= 5000 here,
    // Temme's region taking the rest) reach far below a rounding step.
    for (int k = 1; k < 20000; ++k) {
        const double r = A / (s + k);
        term *= r;
        sum += term;
        if (term * r < 1e-17 * sum * (1 - r)) break;
    }
    const double lnP = log_poisson(x, A);
    return with_slope(x, A, lnP - std::log1p(-std::exp(lnP + std::log(A / s * sum))));
}

double erlangb_continuous(double x, double A)
{
    if (!(x >= 0) || !(A >= 0)) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0 || std::isinf(A)) return 1.0;
    if (A == 0 || std::isinf(x)) return 0.0;
    // A logarithm a rounding step above 0 is B = 1, no more.
    const double lnB = continuous(x, A).lnB;
    return lnB > 0 ? 1.0 : std::exp(lnB);
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
