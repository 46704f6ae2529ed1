// SPDX-License-Identifier: MIT
// erlangb-table: the three Erlang B questions from the command line, one
// answer or a whole table, as text or CSV.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/cli.h"
#include "app/table.h"

int main(int argc, char* argv[])
{
    Request request{};
    std::string error;
    switch (parse_command_line(argc, argv, request, error)) {
    case Action::help: std::fputs(usage_text, stdout); break;
    case Action::version: std::puts("erlangb-table 1.0.0"); break;
    case Action::bad_usage: return usage_error(table_program, error);
    case Action::table:
        if (!write_table(request, stdout, isatty(STDERR_FILENO) != 0 ? stderr : nullptr))
            return output_error(table_program, "the table");
        break;
    }
    return finish_output(table_program);
}
