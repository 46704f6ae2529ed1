// SPDX-License-Identifier: MIT
// erlangb-size: asks for the offered load and a blocking target, prints the
// circuits the target needs, their blocking and utilization, and the most
// load those circuits carry while meeting the target.
#include <cstdio>

#include "app/output.h"
#include "teletraffic/erlangb.h"
#include "vizaza.h"

int main()
{
    const double A = vizaza::read_double("offered load", " erlang", 34.2, 0.01, 100000.0);
    const double p = vizaza::read_double("blocking target", " %", 1.0, 0.0001, 50.0);
    const int n = erlangb_circuits(A, p / 100);
    const double B = erlangb(n, A);

    std::printf("\ncircuits needed      = %d\n", n);
    std::printf("blocking probability = %e\n", B);
    std::printf("utilization %%        = %5.2f\n", (1.0 - B) * A / n * 100.0);
    std::printf("load at target       = %.4f erlang\n", erlangb_load(n, p / 100));
    // Flushed before the pause, so that a report that could not be written
    // is told at once, with its reason; the banner is checked at the end.
    const int status = finish_output("erlangb-size");
    vizaza::pausa();
    return status != 0 ? status : finish_output("erlangb-size");
}
