// SPDX-License-Identifier: MIT
#include <cstdio>

#include <vizaza.h>

int main()
{
    std::printf("%d\n", vizaza::read_int("dozen", 0));
    return 0;
}
