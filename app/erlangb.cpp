#include "erlangb.h"

#include <cmath>

double erlangb(int n, double A)
{
    // term starts as the k = 0 term, which is also the answer for n < 1.
    const double lnA = std::log(A);
    double lnfact = 0.0;  // ln i!
    double term = 1.0;    // A^i / i!
    double sum = 1.0;
    for (int i = 1; i <= n; ++i) {
        lnfact += std::log(static_cast<double>(i));
        term = std::exp(i * lnA - lnfact);
        sum += term;
    }
    if (std::isfinite(sum)) return term / sum;

    // Past about 700 erlangs the terms overflow. The recurrence
    // B(k) = A B(k-1) / (k + A B(k-1)), B(0) = 1, never does.
    double B = 1.0;
    for (int k = 1; k <= n; ++k) B = A * B / (k + A * B);
    return B;
}
