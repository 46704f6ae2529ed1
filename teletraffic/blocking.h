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

// ln Q(x + 1, A), the regularized upper incomplete gamma function, as
// ln Poisson(x, A) - ln B(x, A) for x, A > 0, both by the continuous
// function's own arithmetic: to about 1e-15 absolute (Q to 1e-15 relative
// where B is), at one evaluation's cost; and ln B beside it.
struct UpperGamma {
    double lnQ, lnB;
};
UpperGamma upper_gamma(double x, double A);

// Stirling's error term ln Gamma(x + 1) - (x + 1/2) ln x + x - ln(2 pi)/2
// for x > 0, to about 1e-15 (a rounding step at whole x below 15 and
// above 15).
double stirling_error(double x);

}  // namespace teletraffic::detail

#endif  // TELETRAFFIC_BLOCKING_H
