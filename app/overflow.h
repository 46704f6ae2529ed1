// SPDX-License-Identifier: MIT
// erlangb-overflow's own part: its options, the traffic they describe, and
// its output. The lists, number formats and the streaming writer are the
// programs' shared ones (cli.h).
#ifndef ERLANGB_OVERFLOW_H
#define ERLANGB_OVERFLOW_H

#include <cstdio>
#include <string>

#include "app/cli.h"
#include "teletraffic/overflow.h"

// The program's name, as its messages and progress line give it.
inline constexpr const char* overflow_program = "erlangb-overflow";

// A request: the traffic offered to the final group, the method, and the
// question, the final group's circuits (each one's blocking and lost
// traffic) or blocking targets (the circuits each needs), or neither (the
// traffic described).
struct OverflowRequest {
    Traffic traffic;
    OverflowMethod method;
    List circuits, targets;  // at most one of them given
    bool csv;
    bool fractional;  // real circuits for the targets
};

// Reads the options of erlangb-overflow (getopt_long). For Action::table
// it fills `request`; for Action::bad_usage it sets `error` to one line
// that names what is wrong (without the program's name). Bad usage: an
// unknown option or a missing argument, an operand, an option given twice,
// a malformed number, group or list, a value outside its domain (every
// number is above 0 and finite), no traffic, --mean with --group or
// --poisson, --mean without exactly one of --variance and --peakedness,
// either of them without --mean, --circuits with --blocking, --fractional
// without --blocking, an unknown method, and traffic that the method cannot
// take: smooth traffic (peakedness below 1) or traffic outside the domain
// of the equivalent random group, for the methods that need one.
Action parse_command_line(int argc, char* argv[], OverflowRequest& request, std::string& error);

// The text that --help prints.
extern const char* const overflow_usage;

// Writes the traffic's description and the rows asked for, as text (a
// description in "#" lines, then right-aligned columns) or CSV (a header,
// then a line per row; the description alone when no question is asked).
// Rows are written as they are computed (write_rows); the equivalent random
// group is solved once. When `progress` is given and the run has taken a
// second, a line there shows the rows done. Returns false when writing to
// `out` failed.
bool write_overflow(const OverflowRequest& request, std::FILE* out, std::FILE* progress = nullptr);

#endif  // ERLANGB_OVERFLOW_H
