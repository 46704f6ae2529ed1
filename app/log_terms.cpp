// SPDX-License-Identifier: MIT
#include "app/log_terms.h"

#include <cmath>

double erlangb_log_terms(int n, double A)
{
    const double lnA = std::log(A);
    double lnfact = 0;
    double term = 1;
    double sum = 1;
    for (int k = 1; k <= n; ++k) {
        lnfact += std::log(static_cast<double>(k));
        term = std::exp(k * lnA - lnfact);
        sum += term;
    }
    return term / sum;
}
