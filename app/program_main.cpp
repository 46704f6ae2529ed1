// SPDX-License-Identifier: MIT
// The main of erlangb-table, erlangb-overflow and erlangc: the build
// compiles it once for each, ERLANGB_RUN naming the program's run function
// (programs.h).
#include <cstdio>

#include "app/programs.h"

int main(int argc, char* argv[]) { return ERLANGB_RUN(argc, argv, stdout, stderr); }
