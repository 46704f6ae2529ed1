// SPDX-License-Identifier: MIT
// The blocking of 24 trunks offered 34.2 erlangs, and the trunks that
// load needs for 1 % blocking.
#include <cstdio>

#include <teletraffic/erlangb.h>

int main()
{
    std::printf("blocking %e\n", erlangb(24, 34.2));                     // 3.455725e-01
    std::printf("trunks for 1 %%: %d\n", erlangb_circuits(34.2, 0.01));  // 46
    return 0;
}
