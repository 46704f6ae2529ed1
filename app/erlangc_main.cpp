// SPDX-License-Identifier: MIT
// erlangc: Erlang C figures of agents whose calls wait, and the agents a
// load needs to meet service targets.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/cli.h"
#include "app/erlangc.h"

int main(int argc, char* argv[])
{
    ErlangcRequest request{};
    std::string error;
    switch (parse_command_line(argc, argv, request, error)) {
    case Action::help: std::fputs(erlangc_usage, stdout); break;
    case Action::version: std::puts("erlangc 1.0.0"); break;
    case Action::bad_usage: return usage_error(erlangc_program, error);
    case Action::table:
        if (!write_erlangc(request, stdout, isatty(STDERR_FILENO) != 0 ? stderr : nullptr))
            return output_error(erlangc_program, "the figures");
        break;
    }
    return finish_output(erlangc_program);
}
