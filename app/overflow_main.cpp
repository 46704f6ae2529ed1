// SPDX-License-Identifier: MIT
// erlangb-overflow: the blocking and size of a final group offered the
// peaked traffic that first-choice groups overflow.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/cli.h"
#include "app/overflow.h"

int main(int argc, char* argv[])
{
    OverflowRequest request{};
    std::string error;
    switch (parse_command_line(argc, argv, request, error)) {
    case Action::help: std::fputs(overflow_usage, stdout); break;
    case Action::version: std::puts("erlangb-overflow 1.0.0"); break;
    case Action::bad_usage: return usage_error(overflow_program, error);
    case Action::table:
        if (!write_overflow(request, stdout, isatty(STDERR_FILENO) != 0 ? stderr : nullptr))
            return output_error(overflow_program, "the output");
        break;
    }
    return finish_output(overflow_program);
}
