// SPDX-License-Identifier: MIT
// Fuzzes the command line: the list parser with each of erlangb-table's
// quantities, and whole erlangb-table, erlangb-overflow and erlangc command lines
// (arguments split at NUL bytes), written out when they ask for a few rows.
// A refusal is fine; a crash, a hang, a sanitizer report or a broken
// promise below is not.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/erlangc.h"
#include "app/overflow.h"
#include "app/table.h"
#include "fuzz_stdin.h"

namespace {

// A list the parser accepted: at least one value, all in the quantity's
// domain (checked at the ends and the middle of each range, where each
// must read back as a list of its own), positive and finite.
void check_list(const char* text, Quantity quantity)
{
    List list;
    std::string error;
    if (!parse_list(text, quantity, list, error)) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    FUZZ_CHECK(!list.empty() && error.empty());
    FUZZ_CHECK(list_size(list) >= static_cast<long>(list.size()));
    List again;
    for (const Range& r : list) {
        FUZZ_CHECK(r.count >= 1);
        for (const long i : {0L, r.count / 2, r.count - 1}) {
            const double v = list_value(List{r}, i);
            FUZZ_CHECK(v > 0 && std::isfinite(v));
            FUZZ_CHECK(parse_list(csv_number(v).c_str(), quantity, again, error));
        }
    }
}

// A whole command line. Tables of a few cells are written to memory: the
// writer must succeed, and CSV has one line per cell after its header.
void check_command_line(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Request request{};
    std::string error;
    const Action action =
        parse_command_line(static_cast<int>(argv.size() - 1), argv.data(), request, error);
    if (action == Action::bad_usage) FUZZ_CHECK(!error.empty());
    if (action != Action::table) return;
    const bool plan = !request.file.empty();  // a file's rows, one answer each
    const long rows = plan ? static_cast<long>(request.plan.size()) : list_size(request.rows);
    const long columns = plan ? 1 : list_size(request.columns);
    FUZZ_CHECK(rows >= 1 && columns >= 1);
    if (rows > 4 || columns > 4 || rows * columns > 4) return;
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    FUZZ_CHECK(out != nullptr && write_table(request, out));
    std::fclose(out);
    long lines = 0;
    for (size_t i = 0; i < size; ++i) lines += text[i] == '\n';
    std::free(text);
    // A file's rows end with their totals, a line of text or CSV with --totals;
    // a table of a model other than Erlang B names it in a first text line
    // (a file's rows their own, but held calls).
    const long totals = plan && (!request.csv || request.totals);
    const long model =
        !request.csv &&
        (request.held || (!plan && (!std::isnan(request.sources) || !std::isnan(request.recall) ||
                                    request.answer == Answer::sources)));
    FUZZ_CHECK(lines == (request.csv ? 1 + rows * columns : 2 + rows) + totals + model);
}

// A whole command line of erlangb-overflow or erlangc, whose Request is
// read by its parse_command_line: a few rows are written to memory, ending
// in a newline.
template <class Request>
void check_rows(std::vector<char*>& argv, long rows(const Request&),
                bool write_rows_of(const Request&, std::FILE*, std::FILE*))
{
    Request request{};
    std::string error;
    const Action action =
        parse_command_line(static_cast<int>(argv.size() - 1), argv.data(), request, error);
    if (action == Action::bad_usage) FUZZ_CHECK(!error.empty());
    if (action != Action::table || rows(request) > 4) return;
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    FUZZ_CHECK(out != nullptr && write_rows_of(request, out, nullptr));
    std::fclose(out);
    FUZZ_CHECK(size > 0 && text[size - 1] == '\n');
    std::free(text);
}

long overflow_rows(const OverflowRequest& r)
{
    return list_size(r.circuits) + list_size(r.targets);
}

long erlangc_rows(const ErlangcRequest& r)
{
    if (!r.file.empty()) return static_cast<long>(r.plan.size());
    return r.carry ? list_size(r.agents) : list_size(r.loads) * std::max(1L, list_size(r.agents));
}

}  // namespace

// The first byte chooses: 0 to 4 a list of that quantity, 5 to 127 a table
// command line, 128 to 191 an overflow command line, 192 and above an
// erlangc command line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    // --file - reads standard input: an empty one, never the terminal's.
    static const bool quiet = std::freopen("/dev/null", "r", stdin) != nullptr;
    (void)quiet;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] < 5) {
        check_list(rest.c_str(), static_cast<Quantity>(data[0]));
        return 0;
    }
    std::vector<std::string> args{data[0] < 128   ? "erlangb-table"
                                  : data[0] < 192 ? "erlangb-overflow"
                                                  : "erlangc"};
    for (size_t start = 0; start <= rest.size();) {
        const size_t end = std::min(rest.find('\0', start), rest.size());
        args.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    if (data[0] < 128) {
        check_command_line(args);
        return 0;
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (data[0] < 192)
        check_rows<OverflowRequest>(argv, overflow_rows, write_overflow);
    else
        check_rows<ErlangcRequest>(argv, erlangc_rows, write_erlangc);
    return 0;
}
