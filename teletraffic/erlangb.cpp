// SPDX-License-Identifier: MIT
// The Erlang B formula and its whole-number inverses.
#include "teletraffic/erlangb.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "teletraffic/blocking.h"

using teletraffic::detail::Blocking;
using teletraffic::detail::continuous;

namespace {

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

// A first guess at the real x where B(x, A) = t, for A above a few
// hundred: B as the normal density over the normal distribution function
// at z = (x + 1/2 - A) / sqrt(A), solved for z by Newton steps. That ln B,
// h(z) = -z^2/2 - ln Phi(z) - ln sqrt(2 pi A), is concave and falls, so
// past the first step they close in on the root from above. Costs a few
// erfcs.
double circuits_guess(double A, double lnt)
{
    constexpr double log_sqrt_2pi = 0.91893853320467274178;
    const double c = lnt + log_sqrt_2pi + 0.5 * std::log(A);
    double z = 0;
    for (int i = 0; i < 30; ++i) {
        const double log_Phi = log_phi(z);
        const double h = -0.5 * z * z - log_Phi - c;
        // d ln Phi / dz of the form log_phi takes: phi / Phi, or far in the
        // tail that of its asymptotic form.
        const double d = z > -30 ? std::exp(-0.5 * z * z - log_sqrt_2pi - log_Phi) : -z - 1 / z;
        const double slope = -z - d;
        const double next = z - h / slope;
        if (!(std::fabs(next - z) > 1e-9)) break;
        z = next;
    }
    return A - 0.5 + z * std::sqrt(A);
}

// A first guess at the count of erlangb_circuits for loads up to 200:
// there B(n, A) is near the Poisson term A^n e^(-A) / n! once n is past A,
// and Newton steps on that term's logarithm, concave in n, come down to
// its root from above after the first. Below A + 1 it is A + 1.
double tail_guess(double A, double lnt)
{
    double n = A + 1;
    for (int i = 0; i < 30; ++i) {
        const double f = n * std::log(A) - A - std::lgamma(n + 1) - lnt;
        const double next = n - f / std::log(A / (n + 0.5));
        if (!(next > A + 1)) return A + 1;
        const bool settled = std::fabs(next - n) < 0.1;
        n = next;
        if (settled) break;
    }
    return n;
}

}  // namespace

double erlangb(int n, double A)
{
    if (!(A >= 0 && std::isfinite(A))) return std::numeric_limits<double>::quiet_NaN();
    return n < 1 ? 1.0 : erlangb_continuous(n, A);
}

int erlangb_circuits(double A, double target, int* evaluations)
{
    int made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    if (!(A >= 0.0 && A <= erlangb_max_load) || !(target > 0.0 && target < 1.0)) return 0;
    if (A == 0) return 1;
    // The count lies in (lo, hi]: B(n, A) >= 1 - n / A keeps B above the
    // target up to lo (widened past the rounding of both); B(n, A) <=
    // A / (n + A) puts it at or below A (1 - t) / t + 1, and past n = 2A
    // each circuit at least halves B, so 1100 more take it below any
    // double.
    int lo = std::max(0, static_cast<int>(A * (1 - target) * (1 - 1e-9)) - 2);
    int hi = static_cast<int>(std::min(2 * A + 1100, A * (1 - target) / target + 2));
    const double lnt = std::log(target);
    // Counts are chosen as doubles and kept inside (lo, hi) before they
    // become ints: a NaN or infinite step never reaches the conversion.
    const auto inside = [&](double x) {
        const double c = std::ceil(x);
        return c > lo && c < hi ? static_cast<int>(c) : lo + (hi - lo) / 2;
    };
    const double guess = A > 200 ? circuits_guess(A, lnt) : tail_guess(A, lnt);
    int n = inside(std::min(std::max(guess, lo + 1.0), hi - 1.0));
    int last = n;  // the circuits and ln B - ln t of the last evaluation
    double g_last = 0;
    for (int step = 0; hi - lo > 1; ++step) {
        // B decides the side; its logarithm, which may round B and the
        // target alike, only steers (-inf where B underflows).
        const double B = erlangb(n, A);
        const double g = std::log(B) - lnt;
        ++*evaluations;
        (B > target ? lo : hi) = n;
        // ln B is concave in n: a secant step over the last two counts
        // lands near the root and the next count beside it; a step that
        // would leave (lo, hi), fail to move or come late halves it.
        double next = step == 0 ? n + (g > 0 ? 1 : -1) : n - g * (n - last) / (g - g_last);
        next = B > target ? std::max(next, n + 1.0) : std::min(std::ceil(next), n - 1.0);
        last = n, g_last = g;
        n = inside(step < 12 ? next : lo);
    }
    return hi;
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
