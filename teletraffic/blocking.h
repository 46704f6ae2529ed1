// SPDX-License-Identifier: MIT
// Inside the teletraffic library only, not installed: B in the form its
// solvers step on, shared by the formula's sources and the continuous
// function's.
#ifndef TELETRAFFIC_BLOCKING_H
#define TELETRAFFIC_BLOCKING_H

namespace teletraffic::detail {

// B(x, A) as a solver needs it: its logarithm, and the slope
// d ln B / d ln A, which is the circuits less the carried load; and, where
// ln B is large, the part of it below lnB's last bit (e^lnB (1 + lnB_lo) is
// B to a few rounding steps where lnB alone could be off by 1e-13).
struct Blocking {
    double lnB;
    double slope;
    double lnB_lo = 0;
};

// ln B(x, A) and its slope for real x > 0 and A > 0, by the region's method
// that erlangb_continuous states; the same accuracy and cost. An infinite
// x gives ln B = -infinity.
Blocking continuous(double x, double A);

// ln P(x + 1, A) and ln Q(x + 1, A) = ln(1 - P), the regularized lower and
// upper incomplete gamma functions, and ln Poisson(x, A) = ln(A^x e^-A /
// Gamma(x + 1)) as a pair hi + lo (to about 1e-15 absolute), for x, A > 0,
// by the continuous function's methods and at about its cost. P below its
// median (A < x + 1) and Q above come directly, to about 1e-15 absolute in
// their logarithms; each complement from the other, which keeps its
// digits where it is at least some 0.05.
struct IncompleteGamma {
    double lnP, lnQ, ln_poisson, ln_poisson_lo;
};
IncompleteGamma incomplete_gamma(double x, double A);

}  // namespace teletraffic::detail

#endif  // TELETRAFFIC_BLOCKING_H
