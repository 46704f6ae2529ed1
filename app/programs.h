// SPDX-License-Identifier: MIT
// The command-line programs erlangb-table, erlangb-overflow and erlangc as
// functions of one shape, each a program's whole run: it reads the command
// line argv[0 .. argc) (argv[0] the program's name), writes the output to
// `out` and its messages to `err` (a progress line too, where `err` is a
// terminal), and returns the exit status: 0 when the output was written, 1
// when it could not be, 2 for bad usage. The programs' main calls one with
// standard output and error; another caller may pass memory streams, and
// run any of them many times in one process.
#ifndef ERLANGB_PROGRAMS_H
#define ERLANGB_PROGRAMS_H

#include <cstdio>

int run_table(int argc, char* argv[], std::FILE* out, std::FILE* err);
int run_overflow(int argc, char* argv[], std::FILE* out, std::FILE* err);
int run_erlangc(int argc, char* argv[], std::FILE* out, std::FILE* err);

#endif  // ERLANGB_PROGRAMS_H
