// SPDX-License-Identifier: MIT
// Fuzzes planning files: the input is a CSV file, read by the sheet reader
// and then by erlangc (staffing it, or checking its agents) and
// erlangb-table, which write what they accept to memory. A refusal is
// fine; a crash, a hang, a sanitizer report, a row of the wrong width or
// output that does not end a line is not.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/erlangc.h"
#include "app/sheet.h"
#include "app/table.h"
#include "fuzz_stdin.h"

namespace {

// Reads the file: the header first, then rows as wide as it, on lines that
// never go back.
void check_sheet(const std::string& path)
{
    size_t width = 0;
    long line = 0;
    long rows = 0;
    const auto header = [&](const Sheet& sheet, const std::vector<std::string>& names,
                            std::string&) {
        FUZZ_CHECK(width == 0 && !names.empty() && sheet.line >= 1);
        width = names.size(), line = sheet.line;
        return true;
    };
    const auto row = [&](const Sheet& sheet, const std::vector<std::string>& fields, std::string&) {
        FUZZ_CHECK(fields.size() == width && sheet.line > line);
        line = sheet.line, ++rows;
        return true;
    };
    std::string error;
    const bool read = read_sheet(path.c_str(), header, row, error);
    // Read, it may warn only of a last line without a line break.
    FUZZ_CHECK(read ? rows >= 1 &&
                          (error.empty() || error.find(": the last line ends") != std::string::npos)
                    : !error.empty());
}

// A program's command line on the file: accepted, it writes lines.
template <class Request>
void check_program(std::vector<std::string> args, Action parse(int, char**, Request&, std::string&),
                   bool write_out(const Request&, std::FILE*, std::FILE*))
{
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Request request{};
    std::string error;
    if (parse(static_cast<int>(args.size()), argv.data(), request, error) != Action::table) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    FUZZ_CHECK(out != nullptr && write_out(request, out, nullptr));
    std::fclose(out);
    FUZZ_CHECK(size > 0 && text[size - 1] == '\n');
    std::free(text);
}

bool write_table_rows(const Request& r, std::FILE* out, std::FILE* progress)
{
    return write_table(r, out, progress);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = memfd_create("sheet", 0);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    check_sheet(path);
    // A row with lines is Erlang X's, staffed at up to a second where its
    // queue has 10^5 places: a file of many such rows is left to the
    // reader's checks, within the fuzzer's time for an input.
    std::string header(reinterpret_cast<const char*>(data),
                       std::min(size, static_cast<size_t>(200)));
    for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool many_lines =
        header.find("lines") != std::string::npos && std::count(data, data + size, '\n') > 8;
    if (!many_lines) {
        check_program<ErlangcRequest>({"erlangc", "-f", path, "-i", "1800", "-s", "80%", "-w", "20",
                                       "--shrinkage", "30%", "--csv", "--totals"},
                                      parse_command_line, write_erlangc);
        check_program<ErlangcRequest>(
            {"erlangc", "-f", path, "-t", "180", "--max-abandoned", "10%"}, parse_command_line,
            write_erlangc);
    }
    check_program<Request>({"erlangb-table", "-f", path, "-t", "120"}, parse_command_line,
                           write_table_rows);
    check_program<Request>({"erlangb-table", "-f", path, "--csv", "--totals"}, parse_command_line,
                           write_table_rows);
    close(fd);
    return 0;
}
