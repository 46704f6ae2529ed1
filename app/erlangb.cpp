// SPDX-License-Identifier: MIT
#include "erlangb.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

// Walks B(k, A) for k = 1, 2, ... up to n, each exactly as erlangb(k, A)
// gives it, and stops at the first k whose blocking is at most `stop` (a
// negative stop never does). Returns that k, or n; B holds B(k, A) there
// (1 when n < 1).
int walk(int n, double A, double stop, double& B)
{
    // The log-domain terms hold while their sum is finite; from the k where
    // it overflows on, erlangb(k, A) is the recurrence, so both run side by
    // side and the logarithms stop once they are of no more use.
    const double lnA = std::log(A);
    double lnfact = 0.0;  // ln i!
    double term = 1.0;    // A^i / i!
    double sum = 1.0;
    double rec = 1.0;  // B(i, A) = A B(i-1, A) / (i + A B(i-1, A))
    int i = 0;
    while (i < n) {
        ++i;
        rec = A * rec / (i + A * rec);
        if (std::isfinite(sum)) {
            lnfact += std::log(static_cast<double>(i));
            term = std::exp(i * lnA - lnfact);
            sum += term;
        }
        if (stop >= 0.0 && (std::isfinite(sum) ? term / sum : rec) <= stop) break;
    }
    B = std::isfinite(sum) ? term / sum : rec;
    return i;
}

// B(n, A) as the load solver needs it: its logarithm, and the slope
// d ln B / d ln A, which is the circuits less the carried load.
struct Blocking {
    double lnB;
    double slope;
};

// Evaluates B(n, A) through its reciprocal, a sum of positive terms,
//   I = 1/B = sum of t(k) for k = 0..n,  t(n) = 1,  t(k-1) = t(k) k / A,
// and J = -dI / d ln A = sum of (n - k) t(k), so the slope is J / I. Nothing
// cancels, even where B is near 1 and A far above n, and the product and the
// two sums are three short chains of dependent steps, not one long one.
// Below k = A the terms shrink geometrically: the walk stops once what is
// left of both sums is provably below 1e-17 of them, after about
// n - A + 6 sqrt(A) steps (a handful where A is far above n). The values are
// kept scaled by 2^(-300 s) so they hold where B underflows; A must be above
// about 1e-160, so that k / A stays finite.
Blocking evaluate(int n, double A)
{
    constexpr double big = 0x1p300;
    constexpr double small = 0x1p-300;
    double one = 1.0;  // t(n), scaled like the rest
    double t = 1.0;
    double excess = 0.0;    // the sum of t(k) for k < n: I - 1, without the subtraction
    double weighted = 0.0;  // J
    int s = 0;
    for (int k = n; k >= 1; --k) {
        t *= k / A;
        excess += t;
        weighted += (n - k + 1) * t;
        if (t > big) t *= small, excess *= small, weighted *= small, one *= small, ++s;
        // What is left is at most t (k - 1) / (A - k + 1), with weights <= n.
        if (k < A && n * t * k < 1e-17 * (A - k) * std::min(excess, weighted)) break;
    }
    const double I = one + excess;
    const double lnI = s == 0 ? std::log1p(excess) : std::log(I) + s * 300 * std::log(2.0);
    return {-lnI, weighted / I};
}

// ---- The continuous function's pieces --------------------------------------

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
        for (int j = 1;; ++j) {
            power *= v * v;
            const double next = sum + power / (2 * j + 1);
            if (next == sum) return sum;
            sum = next;
        }
    }
    return x * std::log(x / A) + A - x;
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

// ln of the Poisson factor A^x e^(-A) / Gamma(x + 1), x > 0, in its
// saddle-point form.
double log_poisson(double x, double A)
{
    return -deviance(x, A) - 0.5 * (log_2pi + std::log(x)) - stirling_error(x);
}

// ln B and the slope d ln B / d ln A = x - A + A B, where B is below about
// one half and the slope cancels little.
Blocking with_slope(double x, double A, double lnB) { return {lnB, x - A + A * std::exp(lnB)}; }

// ln B(x, A) and its slope for x > 0 and A > 0, by the method the header
// gives per region.
Blocking continuous(double x, double A)
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
        for (int n = 2;; ++n) {
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
    // The lower function P(s, A) = Poisson (A / s) (1 + A/(s+1) + A^2/((s+1)(s+2)) + ...),
    // and B = Poisson / (1 - P). The terms shrink by r < 1: the rest after
    // a term is at most term r / (1 - r).
    double term = 1;
    double sum = 1;
    for (int k = 1;; ++k) {
        const double r = A / (s + k);
        term *= r;
        sum += term;
        if (term * r < 1e-17 * sum * (1 - r)) break;
    }
    const double lnP = log_poisson(x, A);
    return with_slope(x, A, lnP - std::log1p(-std::exp(lnP + std::log(A / s * sum))));
}

// ln of the normal distribution function, also far into its lower tail.
double log_phi(double z)
{
    if (z > -30.0) return std::log(0.5 * std::erfc(-z / std::sqrt(2.0)));
    constexpr double log_sqrt_2pi = 0.91893853320467274178;
    return -0.5 * z * z - std::log(-z) - log_sqrt_2pi;
}

// A first guess at the root of B(n, A) = t within [lo, hi], mostly within a
// few per cent: B written as a Poisson probability over a normal
// approximation of the Poisson distribution function, solved by bisection in
// ln A. Costs 20 logs and erfcs, no walk over the circuits.
double first_guess(int n, double lnt, double lo, double hi)
{
    const double lnfact = std::lgamma(n + 1.0);
    double x0 = std::log(lo);
    double x1 = std::log(hi);
    for (int i = 0; i < 20; ++i) {
        const double x = 0.5 * (x0 + x1);
        const double A = std::exp(x);
        const double lnB = n * x - A - lnfact - log_phi((n + 0.5 - A) / std::sqrt(A));
        (lnB < lnt ? x0 : x1) = x;
    }
    return std::exp(0.5 * (x0 + x1));
}

}  // namespace

double erlangb(int n, double A)
{
    double B = 1.0;
    walk(n, A, -1.0, B);
    return B;
}

int erlangb_circuits(double A, double target)
{
    if (!(A >= 0.0 && A <= erlangb_max_load) || !(target > 0.0 && target < 1.0)) return 0;
    // Past k = 2A each step at least halves B, so it reaches 0 within about
    // 1100 more steps: the walk ends far below INT_MAX.
    double B = 1.0;
    return walk(INT_MAX, A, target, B);
}

double erlangb_load(int n, double target, int* evaluations)
{
    return erlangb_load_near(n, target, 0.0, evaluations);
}

double erlangb_load_near(int n, double target, double start, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (n < 1 || n > erlangb_max_circuits || !(target > 0.0 && target < 1.0))
        return std::numeric_limits<double>::quiet_NaN();
    if (n == 1) return target / (1.0 - target);

    // B(n, A) <= A^n / n! puts the root at or above lo; B(n, A) >= 1 - n/A
    // puts it at or below hi. Both are widened by far more than the rounding
    // in their own computation, and narrowed by the steps.
    const double lnt = std::log(target);
    double lo = std::exp((lnt + std::lgamma(n + 1.0)) / n) * (1 - 1e-9);
    double hi = n / (1.0 - target) * (1 + 1e-9);
    // Up to 32 circuits an evaluation costs less than a tenth of the first
    // guess: a few more steps from between the bounds are cheaper.
    double A = start > lo && start < hi ? start
               : n <= 32                ? std::sqrt(lo) * std::sqrt(hi)
                                        : first_guess(n, lnt, lo, hi);
    // Where the walk would take thousands of steps, the continuous function
    // takes at most a few hundred terms; the slope n - A (1 - B) then
    // cancels little, as B is below about one half.
    const bool walk_is_long = A < 2.0 * n && n - A + 6 * std::sqrt(A) > 3000;
    for (int step = 0;; ++step) {
        const Blocking b = walk_is_long ? continuous(n, A) : evaluate(n, A);
        ++*evaluations;
        const double g = b.lnB - lnt;
        if (g == 0.0 || step == 100) return A;
        (g < 0.0 ? lo : hi) = A;
        // ln B is concave in ln A (the carried load grows with A) and 1/B is
        // a polynomial in 1/A with positive coefficients, so convex: Newton
        // steps on each end at or below the root from either side, and the
        // larger of the two is the nearer.
        double next = A * std::exp(-g / b.slope);
        const double d = 1.0 + std::expm1(g) / b.slope;
        if (d > 0.0) next = std::max(next, A / d);
        if (std::fabs(next - A) <= 1e-13 * A) return next;
        // Should rounding ever push a step outside the bracket, bisect it.
        A = next > lo && next < hi ? next : std::sqrt(lo) * std::sqrt(hi);
    }
}

double erlangb_continuous(double x, double A)
{
    if (!(x >= 0) || !(A >= 0)) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0 || std::isinf(A)) return 1.0;
    if (A == 0 || std::isinf(x)) return 0.0;
    return std::exp(continuous(x, A).lnB);
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
        if (std::fabs(x - x1) < 1e-11) return x;  // a step that small is the rounding's
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
    constexpr double least = -690;  // ln 1e-300: a tiny target's load may lie below
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
