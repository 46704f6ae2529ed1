// SPDX-License-Identifier: MIT
// erlangb: asks for the circuits of a loss system and the traffic offered to
// them, prints the blocking probability and the circuits' utilization.
#include <cstdio>

#include "app/log_terms.h"
#include "app/output.h"
#include "vizaza.h"

int main()
{
    const int n = vizaza::read_int("number of circuits", 40, 1, 500);
    const double A = vizaza::read_double("offered load", " erlang", 34.2, 1.0, 500.0);
    const double B = erlangb_log_terms(n, A);

    std::printf("\nblocking probability = %e\n", B);
    std::printf("utilization %%        = %5.2f\n", (1.0 - B) * A / n * 100.0);
    // Flushed before the pause, so that a report that could not be written
    // is told at once, with its reason; the banner is checked at the end.
    const int status = finish_output("erlangb");
    vizaza::pausa();
    return status != 0 ? status : finish_output("erlangb");
}
