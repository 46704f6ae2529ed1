// SPDX-License-Identifier: MIT
// erlangb-table: the three Erlang B questions from the command line, one
// answer or a whole table, as text or CSV.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "table.h"

int main(int argc, char* argv[])
{
    Request request{};
    std::string error;
    switch (parse_command_line(argc, argv, request, error)) {
    case Action::help: std::fputs(usage_text, stdout); break;
    case Action::version: std::puts("erlangb-table 1.0.0"); break;
    case Action::bad_usage:
        std::fprintf(stderr, "erlangb-table: %s\nTry 'erlangb-table --help'.\n", error.c_str());
        return 2;
    case Action::table:
        if (write_table(request, stdout, isatty(STDERR_FILENO) != 0 ? stderr : nullptr)) return 0;
        std::fprintf(stderr, "erlangb-table: cannot write the table: %s\n", std::strerror(errno));
        return 1;
    }
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
    std::fprintf(stderr, "erlangb-table: cannot write: %s\n", std::strerror(errno));
    return 1;
}
