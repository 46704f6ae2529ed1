// SPDX-License-Identifier: MIT
// The command-line machinery the programs share: strict numbers and value
// lists, the exits for bad usage and for output that cannot be written, the
// text and CSV number formats, and a table writer that streams its rows with
// a delayed progress line. Nothing here knows a program's own options.
#ifndef ERLANGB_CLI_H
#define ERLANGB_CLI_H

#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "app/output.h"
#include "teletraffic/erlangb.h"

// ---- Numbers ---------------------------------------------------------------

// What reading one number gave.
enum class Number {
    ok,            // `value` holds it
    malformed,     // no number, or more than one
    out_of_range,  // a number whose magnitude no double holds (1e400, 1e-400):
                   // `value` is +-infinity, or 0 (with its sign) from an underflow
};

// Reads all of `text` as one decimal number, the same in every locale:
// digits with at most one ".", an optional exponent ("1e-3"), and no sign
// but a leading "-"; no "inf", "nan", hexadecimal or white space. With
// `percent`, a trailing "%" makes it a percentage, read as its digits with
// the exponent lowered by two, so "0.1%" is the very double "0.001" is.
Number parse_number(std::string_view text, bool percent, double& value);

// ---- Value lists -----------------------------------------------------------

// The values an option takes: those between `low` and `high`, each end
// included or not, and how errors describe them.
struct Domain {
    double low, high;
    bool low_included, high_included;
    bool percent;        // numbers may be percentages ("1%" is 0.01)
    const char* single;  // nullptr for a list; else one value alone, so named
    const char* text;    // the domain in words: "a load is above 0 ..."
};

// Whether v lies in the domain (never for NaN).
bool in_domain(const Domain& domain, double v);

// The domains the programs share.
inline constexpr Domain circuits_domain = {0,
                                           erlangb_max_circuits,
                                           false,
                                           true,
                                           false,
                                           nullptr,
                                           "circuits are above 0 and at most 10000000"};
inline constexpr Domain load_domain = {0,
                                       erlangb_max_load,
                                       false,
                                       true,
                                       false,
                                       nullptr,
                                       "a load is above 0 and at most 5000000 erlang"};
inline constexpr Domain blocking_domain = {
    0,
    1,
    false,
    false,
    true,
    nullptr,
    "a blocking probability lies strictly between 0 and 1 (0% and 100%)"};
inline constexpr Domain holding_domain = {0,
                                          std::numeric_limits<double>::infinity(),
                                          false,
                                          false,
                                          false,
                                          "holding time",
                                          "a holding time is above 0 seconds"};
// Calls (in the interval they come in, whose load is checked once the
// holding time turns them into erlangs), and that interval.
inline constexpr Domain calls_domain = {
    0, std::numeric_limits<double>::infinity(), false, false, false, nullptr, "calls are above 0"};
inline constexpr Domain interval_domain = {
    0,          std::numeric_limits<double>::infinity(), false, false, false,
    "interval", "an interval is above 0 seconds"};

// Reads all of `text` as one number of the domain into `value`: false with
// `error` set as parse_list sets it for a single number ("'x' is no
// number", "'0' is outside the domain: " and the domain's text; "'1e400' is
// too large: " and the domain's text, or the largest double where the
// domain has no upper bound; "'1e-400' is too small: " and the smallest
// double).
bool parse_value(std::string_view text, const Domain& domain, double& value, std::string& error);

// FIRST + i STEP for i = 0 .. count - 1, rounded to `decimals` places (the
// decimals the user's FIRST and STEP are written with, so 0.1..0.7..0.1
// gives 0.3, not 0.30000000000000004), the last one LAST when a step lands
// on it within rounding; each then times `scale`. A single number is a range
// of one.
struct Range {
    double first, step;
    long count;
    double last;
    int decimals = 0;  // 0: no rounding (whole FIRST and STEP add exactly)
    double scale = 1;  // the erlangs per call, once calls are turned into loads
};

// The items of one list, in the order given. It holds one Range per item
// of the text, never the values themselves, so a range of a million values
// takes no more room than one.
using List = std::vector<Range>;

// Parses a LIST: comma-separated items, each a number (parse_number) or a
// range FIRST..LAST or FIRST..LAST..STEP (STEP > 0, default 1; FIRST <=
// LAST; at most 1e12 values). Every value must lie in the domain; a domain
// with `single` takes one number only. Returns true with `list` filled, or
// false with `error` saying what is wrong with which part of `text`
// (without the option's name): "'..3' has an empty part where a number
// belongs", "'0' is outside the domain: " and the domain's text.
bool parse_list(const char* text, const Domain& domain, List& list, std::string& error);

// The number of values in a list, and its i-th value (0 <= i < size).
long list_size(const List& list);
double list_value(const List& list, long i);

// Value i of one range (0 <= i < count); its values rise, so the last one,
// range_value(range, range.count - 1), is the largest.
double range_value(const Range& range, long i);

// Turns a list of calls into loads in erlangs, every value (as the user's
// decimals give it) times `erlangs_per_call` (the holding time over the
// interval the calls come in). False, with `error` naming a load outside
// load_domain, when a range reaches one: "--calls with --holding: a load of
// 5e+28 erlang is outside the domain: ...".
bool calls_to_loads(List& calls, double erlangs_per_call, std::string& error);

// A list's values in order, without list_value's search from the first item
// each time: next_value gives list_value(list, 0), then 1, 2, ... (no more
// than list_size of them). Start one as ListCursor{&list}.
struct ListCursor {
    const List* list;
    size_t item = 0;  // the item at hand
    long i = 0;       // the next value's index within it
};
double next_value(ListCursor& cursor);

// ---- Options and exits -----------------------------------------------------

// What a command line asks for: the program's table (its output, whatever
// its shape), its help, its version, or nothing, being bad usage.
enum class Action { table, help, version, bad_usage };

// A program's options that take a value, for scan_options: the one at
// `index` in its option table came with `value`. Returns true when it takes
// the value, else false with `what` saying what is wrong with it ("'0' is
// outside the domain: ...").
using OptionTaker = std::function<bool(int index, const char* value, std::string& what)>;

// Reads a command line with getopt_long (`shorts` starting with ':'), the
// messages being the program's own. --help and --version end the reading
// with their action; the options named "csv" and "fractional" set `csv`
// and `fractional`; every other option goes to `take` by its index in
// `options` (which ends with a null name), a flag of the program's own
// with a null value, as often as it is given. Action::table when all are
// read; Action::bad_usage with `error` set for an unknown option or a
// missing value (as option_error words them), an option given twice
// ("--load is given twice"), a value `take` finds wrong ("--load '1..': "
// and its words), or an operand ("unexpected operand 'x'").
Action scan_options(int argc, char* argv[], const char* shorts, const option* options,
                    const OptionTaker& take, bool& csv, bool& fractional, std::string& error);

// The message for what getopt_long returned as ':' (a missing value) or
// '?' (an unknown option, or a value given to one that takes none), with
// the option string starting with ':' and opterr 0; `arg` is
// argv[optind - 1] and `options` the table getopt_long read. A long option
// is named in full, as the table has it: "option '-a' needs a value",
// "option '--load' needs a value", "option '--csv' takes no value",
// "unknown option '-x'", "unknown option '--frob'" (without "=VALUE"),
// "option '--c' is ambiguous".
std::string option_error(int result, const char* arg, const option* options);

// `text` in single quotes, as a message quotes what it was given: cut
// after its first 40 characters (UTF-8), with "..." after the cut.
std::string quoted(std::string_view text);

// `text` with its control characters escaped, so that a message or a table
// that quotes a file or a command line cannot drive the terminal: tab, line
// feed and carriage return as \t, \n and \r, the other C0 controls, DEL and
// the C1 controls (U+0080 to U+009F, as UTF-8) as \xNN for each byte.
std::string escaped(std::string_view text);

// Writes "PROGRAM: MESSAGE" (escaped) and "Try 'PROGRAM --help'." to
// `err`. Returns 2, the exit status of bad usage.
int usage_error(const char* program, const std::string& message, std::FILE* err = stderr);

// Runs `run`, a program's run function (programs.h), on `args` (its name
// first) with its output and messages kept in `out` and `err`, as a page or
// a test calls it. Returns its exit status.
int run_captured(int run(int, char**, std::FILE*, std::FILE*), std::vector<std::string> args,
                 std::string& out, std::string& err);

// A command-line program's whole run, as its run function in programs.h
// makes it from what is the program's own: the name, the --help text, what its output
// is called in a message, and its parse_command_line and writer. Writes
// the help, the version, the output (with a progress line on `err` where
// that is a terminal) or the message of bad usage, and returns the exit
// status: 0, 1 when the output could not be written, 2 for bad usage. A
// message from a parse that succeeded is a warning, written to `err` as
// "PROGRAM: MESSAGE" before the output.
template <class Request>
int run_program(const char* name, const char* usage, const char* what,
                Action parse(int, char**, Request&, std::string&),
                bool write(const Request&, std::FILE*, std::FILE*), int argc, char* argv[],
                std::FILE* out, std::FILE* err)
{
    Request request{};
    std::string error;
    switch (parse(argc, argv, request, error)) {
    case Action::help: std::fputs(usage, out); break;
    case Action::version: std::fprintf(out, "%s 1.0.0\n", name); break;
    case Action::bad_usage: return usage_error(name, error, err);
    case Action::table:
        if (!error.empty()) std::fprintf(err, "%s: %s\n", name, escaped(error).c_str());
        // A memory stream has no descriptor to ask.
        if (!write(request, out, fileno(err) >= 0 && isatty(fileno(err)) != 0 ? err : nullptr))
            return output_error(name, what, err);
        break;
    }
    return finish_output(name, out, err);
}

// ---- Formats ---------------------------------------------------------------

// A number as a text table shows it: 5 significant digits, in exponent
// notation below 0.0001 and from ten digits on, whole numbers below that in
// full (277.13, 0.010101, 1.0000e-05, 100918, 1.8000e+20); infinity as
// "inf". `trim` drops trailing zeros after the point (for headings).
std::string text_number(double value, bool trim);

// The shortest text that reads back as the same double ("0.01", "1e-05").
std::string csv_number(double value);

// A number of circuits as a table shows it: a whole one in full, another as
// csv_number or text_number writes it.
std::string circuits_text(double circuits, bool csv, bool trim);

// A text table's column width: room for any number text_number writes up
// to a billion.
inline constexpr int cell_width = 10;

// Appends `text` to `line` right-aligned in `width` (not cut when longer).
void align(std::string& line, const std::string& text, int width);

// ---- Streaming tables ------------------------------------------------------

// Appends part of a table to `line`: row i's start with j = -1, its cell j
// with 0 <= j < cells, its end with j = cells; the head (titles, headings)
// is row -1, made the same way. Called in that order, row after row.
using CellMaker = std::function<void(long i, long j, std::string& line)>;

// Writes the head and rows 0 .. rows - 1, each of `cells` cells, as `make`
// makes them, a few kilobytes at a time as they are made: neither a million
// rows nor a row of a million cells takes more memory than one. When
// `progress` is given and the run has taken `progress_after` seconds, a line
// there shows the rows done ("\rPROGRAM: row 12 of 300", every 0.2 s),
// erased at the end. Returns false when writing to `out` failed; it stops
// there.
bool write_rows(std::FILE* out, long rows, long cells, const CellMaker& make, const char* program,
                std::FILE* progress, double progress_after);

#endif  // ERLANGB_CLI_H
