// SPDX-License-Identifier: MIT
// Output that could not be written: the one routine every program, the two
// dialogues too, ends its output with, and its message. Plain stdio only,
// so that the dialogues, which need nothing else of the command-line
// machinery, link nothing else and start as fast as a C program.
#ifndef ERLANGB_OUTPUT_H
#define ERLANGB_OUTPUT_H

#include <cstdio>

// Writes "PROGRAM: cannot write WHAT: REASON" (without " WHAT" when `what`
// is nullptr), REASON from errno (without ": REASON" when errno is 0), to
// `err`. PROGRAM and WHAT are the program's own words, and REASON the C
// library's, so nothing needs escaping. Returns 1, the exit status of
// output that could not be written.
int output_error(const char* program, const char* what, std::FILE* err = stderr);

// Flushes `out`: 0 when all of it was written, else output_error(program,
// nullptr, err), with the reason where this flush failed (not an earlier
// one, whose reason is gone).
int finish_output(const char* program, std::FILE* out = stdout, std::FILE* err = stderr);

#endif  // ERLANGB_OUTPUT_H
