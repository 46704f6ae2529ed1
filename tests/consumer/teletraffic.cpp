// SPDX-License-Identifier: MIT
// The blocking of 24 trunks offered 34.2 erlangs, the trunks that load
// needs for 1 % blocking, and the agents 10 erlangs need for 80 % of the
// calls answered within 1/9 of a holding time when callers give up after
// 2/3 of one on average.
#include <cstdio>

#include <teletraffic/erlanga.h>
#include <teletraffic/erlangb.h>

int main()
{
    std::printf("blocking %e\n", erlangb(24, 34.2));                     // 3.455725e-01
    std::printf("trunks for 1 %%: %d\n", erlangb_circuits(34.2, 0.01));  // 46
    StaffingTarget target;
    target.service_level = 0.8, target.answer_time = 1.0 / 9;
    std::printf("agents: %d\n", erlanga_agents(10, 2.0 / 3, target));  // 12
    return 0;
}
