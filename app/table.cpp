// SPDX-License-Identifier: MIT
// erlangb-table's core. The contracts are in table.h.
#include "table.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <string_view>

#include "erlangb.h"

namespace {

enum class Number { ok, malformed, out_of_range };

// Reads one number of a list: decimal digits, ".", an exponent and "-"
// only, so that std::from_chars sees no "inf", "nan" or hexadecimal. A
// percentage is read as its text with the exponent lowered by two, so
// "0.1%" is the very double that "0.001" is.
Number read_number(std::string_view text, bool percent, double& value)
{
    percent = percent && !text.empty() && text.back() == '%';
    if (percent) text.remove_suffix(1);
    if (text.empty() || text.find_first_not_of("0123456789.eE-+") != std::string_view::npos)
        return Number::malformed;
    std::string digits(text);
    if (percent) {
        const size_t e = digits.find_first_of("eE");
        long exponent = 0;
        if (e != std::string::npos) {
            const char* end = digits.data() + digits.size();
            const auto [p, ec] = std::from_chars(digits.data() + e + 1, end, exponent);
            if (ec == std::errc::result_out_of_range) return Number::out_of_range;
            if (ec != std::errc() || p != end) return Number::malformed;
            digits.resize(e);
        }
        digits += "e" + std::to_string(exponent - 2);
    }
    const char* end = digits.data() + digits.size();
    const auto [p, ec] = std::from_chars(digits.data(), end, value, std::chars_format::general);
    if (p != end || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return Number::malformed;
    return ec == std::errc() ? Number::ok : Number::out_of_range;
}

// Whether a value lies in the quantity's domain.
bool in_domain(Quantity quantity, double v)
{
    switch (quantity) {
    case Quantity::circuits: return v > 0 && v <= erlangb_max_circuits;
    case Quantity::load: return v > 0 && v <= erlangb_max_load;
    case Quantity::blocking: return v > 0 && v < 1;
    default: return v > 0 && std::isfinite(v);  // calls, holding
    }
}

const char* domain_text(Quantity quantity)
{
    switch (quantity) {
    case Quantity::circuits: return "circuits are above 0 and at most 10000000";
    case Quantity::load: return "a load is above 0 and at most 5000000 erlang";
    case Quantity::calls: return "calls per hour are above 0";
    case Quantity::blocking:
        return "a blocking probability lies strictly between 0 and 1 (0% and 100%)";
    default: return "a holding time is above 0 seconds";
    }
}

// Parses one item of a list into `range`; false with `error` set.
bool parse_item(std::string_view item, Quantity quantity, Range& range, std::string& error)
{
    const std::string quoted = "'" + std::string(item) + "'";
    std::string_view parts[3];
    int count = 0;
    for (;;) {
        const size_t dots = item.find("..");
        if (count == 2 || dots == std::string_view::npos) {
            if (dots != std::string_view::npos) count = 4;  // a third ".."
            parts[std::min(count, 2)] = item;
            ++count;
            break;
        }
        parts[count++] = item.substr(0, dots);
        item.remove_prefix(dots + 2);
    }
    if (count > 3 || (count > 1 && quantity == Quantity::holding)) {
        error = quoted + " is no number" + (count > 3 ? " or range FIRST..LAST..STEP" : "");
        return false;
    }
    double v[3] = {0, 0, 1};
    for (int i = 0; i < count; ++i) {
        const Number r = read_number(parts[i], quantity == Quantity::blocking, v[i]);
        if (r == Number::malformed) {
            error = quoted;
            if (count == 1) {
                error += " is no number";
            } else {
                error += " has ";
                error += parts[i].empty() ? "an empty part" : "'" + std::string(parts[i]) + "'";
                error += " where a number belongs";
            }
            return false;
        }
        if (r == Number::out_of_range) {
            error = "'" + std::string(parts[i]) + "' is out of range: " + domain_text(quantity);
            return false;
        }
    }
    if (count == 1) v[1] = v[0];
    if (v[2] <= 0) return error = "in " + quoted + " STEP is not above 0", false;
    if (v[0] > v[1]) return error = "in " + quoted + " FIRST is above LAST", false;
    const double steps = (v[1] - v[0]) / v[2];
    if (steps > 1e12) return error = quoted + " has too many values", false;
    range = {v[0], v[2], static_cast<long>(steps + 1e-9) + 1, v[1]};
    // The values rise, so the first and the last bound them all.
    const double last = list_value(List{range}, range.count - 1);
    if (!in_domain(quantity, v[0]) || !in_domain(quantity, last)) {
        error = quoted + " is outside the domain: " + domain_text(quantity);
        return false;
    }
    return true;
}

// The text table's column width: room for any number text_number writes up
// to a billion.
constexpr int cell_width = 10;

// Appends `text` right-aligned in `width`.
void align(std::string& line, const std::string& text, int width)
{
    line.append(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))), ' ');
    line += text;
}

// A number of circuits: whole ones in full, others as the other numbers.
std::string circuits_text(double circuits, bool csv, bool trim)
{
    if (circuits == std::floor(circuits)) return std::to_string(static_cast<long>(circuits));
    return csv ? csv_number(circuits) : text_number(circuits, trim);
}

// The answer of one cell. `past` holds the column's last rows (row value,
// answer) for the load solver's start.
struct Past {
    double n[4], a[4];
    int m = 0;
};

// The cubic through the column's last four rows, at `row`: down a column the
// load grows smoothly with the circuits, so it starts the solver close
// enough for about 2 evaluations a cell (Newton's divided differences).
double extrapolate(const Past& past, double row)
{
    if (past.m < 2) return past.m == 0 ? 0.0 : past.a[0] * row / past.n[0];
    double d[4];
    std::copy(past.a, past.a + past.m, d);
    for (int j = 1; j < past.m; ++j)
        for (int i = past.m - 1; i >= j; --i)
            d[i] = (d[i] - d[i - 1]) / (past.n[i] - past.n[i - j]);
    double v = d[past.m - 1];
    for (int i = past.m - 2; i >= 0; --i) v = v * (row - past.n[i]) + d[i];
    return v;
}

// Whole numbers of circuits keep the whole-number functions, so every
// figure is the one erlangb and erlangb-size print; others take the
// continuous function's.
double cell(const Request& request, double row, double column, Past& past, long& evaluations)
{
    const bool whole = row == std::floor(row);
    switch (request.answer) {
    case Answer::circuits:
        return request.fractional ? erlangb_fractional_circuits(row, column)
                                  : erlangb_circuits(row, column);
    case Answer::blocking:
        return whole ? erlangb(static_cast<int>(row), column) : erlangb_continuous(row, column);
    default: break;
    }
    int made = 0;
    const double load =
        whole ? erlangb_load_near(static_cast<int>(row), column, extrapolate(past, row), &made)
              : erlangb_continuous_load(row, column, &made);
    evaluations += made;
    if (past.m == 4) {
        std::copy(past.n + 1, past.n + 4, past.n), std::copy(past.a + 1, past.a + 4, past.a);
        --past.m;
    }
    past.n[past.m] = row, past.a[past.m++] = load;
    return load;
}

}  // namespace

// ---- Value lists -----------------------------------------------------------

bool parse_list(const char* text, Quantity quantity, List& list, std::string& error)
{
    list.clear();
    std::string_view rest(text);
    for (;;) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        if (item.empty()) return error = "an empty item", false;
        Range range{};
        if (!parse_item(item, quantity, range, error)) return false;
        list.push_back(range);
        if (comma == std::string_view::npos) break;
        if (quantity == Quantity::holding) return error = "one holding time only", false;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

long list_size(const List& list)
{
    long size = 0;
    for (const Range& r : list) size += r.count;
    return size;
}

double list_value(const List& list, long i)
{
    size_t k = 0;
    while (k + 1 < list.size() && i >= list[k].count) i -= list[k++].count;
    const Range& r = list[k];
    const double v = r.first + static_cast<double>(i) * r.step;
    return i == r.count - 1 && std::fabs(v - r.last) <= 1e-9 * r.step ? r.last : v;
}

// ---- The command line ------------------------------------------------------

const char* const usage_text =
    "Usage: erlangb-table [OPTION]...\n"
    "Answers the three Erlang B questions, one value or a whole table of them.\n"
    "Give two of circuits, load and blocking; the cells hold the third:\n"
    "  circuits and blocking  the load the circuits carry at that blocking\n"
    "  load and blocking      the circuits that load needs\n"
    "  circuits and load      the blocking probability\n"
    "Rows are the circuits when given, otherwise the loads; columns are the\n"
    "blocking values when given, otherwise the loads.\n"
    "\n"
    "  -n, --circuits LIST    numbers of circuits, above 0, at most 10000000\n"
    "  -a, --load LIST        offered load in erlangs, above 0, at most 5000000\n"
    "  -c, --calls LIST       the load as calls per hour, with --holding\n"
    "  -t, --holding SECONDS  the calls' mean holding time (load = calls x holding / 3600)\n"
    "  -b, --blocking LIST    blocking probabilities, 0.01 or 1%, strictly between 0 and 1\n"
    "      --fractional       with --load and --blocking: the real number of circuits\n"
    "                         at which the load blocks exactly at the target\n"
    "      --csv              one line per cell, exact numbers, for scripts and spreadsheets\n"
    "  -h, --help             show this help and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "LIST is comma-separated items: a number, or a range FIRST..LAST or\n"
    "FIRST..LAST..STEP (STEP default 1). Numbers are decimal, with an optional\n"
    "exponent (1e-3); a decimal comma separates two items.\n"
    "\n"
    "Fractional circuits: B of a real number x of circuits continues the Erlang B\n"
    "formula between whole numbers (1/B = A * integral of e^(-A t) (1 + t)^x dt).\n"
    "Use it where groups are summed before rounding up (agents, positions), and for\n"
    "the fictitious group of the equivalent random method for overflow traffic.\n"
    "Whole values give exactly the figures of erlangb and erlangb-size.\n"
    "\n"
    "Examples:\n"
    "  erlangb-table -n 1..301 -b "
    "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%\n"
    "      the ITU-T layout: the load each number of circuits carries at each blocking\n"
    "  erlangb-table -a 5,10,20,50,100 -b 1% --csv\n"
    "      the circuits needed for several loads at 1 % blocking, as CSV\n"
    "  erlangb-table -c 300 -t 180 -b 1%\n"
    "      300 calls an hour of 3 minutes each: the circuits for 1 % blocking\n"
    "  erlangb-table -a 10 -b 1% --fractional\n"
    "      the real number of circuits at which 10 erlangs block 1 % of the calls\n"
    "\n"
    "Exit status: 0 when the table was written, 1 when it could not be written,\n"
    "2 for bad usage.\n";

Action parse_command_line(int argc, char* argv[], Request& request, std::string& error)
{
    enum { csv_option = 256, fractional_option };
    static const option options[] = {
        {"circuits", required_argument, nullptr, 'n'},
        {"load", required_argument, nullptr, 'a'},
        {"calls", required_argument, nullptr, 'c'},
        {"holding", required_argument, nullptr, 't'},
        {"blocking", required_argument, nullptr, 'b'},
        {"csv", no_argument, nullptr, csv_option},
        {"fractional", no_argument, nullptr, fractional_option},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    const struct {
        const char* name;
        int option;
        Quantity quantity;
    } lists[] = {{"--circuits", 'n', Quantity::circuits},
                 {"--load", 'a', Quantity::load},
                 {"--calls", 'c', Quantity::calls},
                 {"--holding", 't', Quantity::holding},
                 {"--blocking", 'b', Quantity::blocking}};
    List given[5];
    bool seen[5] = {};
    bool csv = false;
    bool fractional = false;
    opterr = 0;  // the messages are ours, in the program's own form
    optind = 0;  // restart the scan: tests parse many command lines
    for (int c; (c = getopt_long(argc, argv, ":n:a:c:t:b:hV", options, nullptr)) != -1;) {
        const char* arg = argv[optind - 1];
        switch (c) {
        case 'h': return Action::help;
        case 'V': return Action::version;
        case csv_option: csv = true; continue;
        case fractional_option: fractional = true; continue;
        case ':':
            return error = std::string("option '") + arg + "' needs a value", Action::bad_usage;
        case '?':
            error = optopt != 0 ? std::string("unknown option '-") + static_cast<char>(optopt) + "'"
                                : std::string("unknown option '") + arg + "'";
            return Action::bad_usage;
        default: break;
        }
        for (int i = 0; i < 5; ++i) {
            if (lists[i].option != c) continue;
            const std::string name = lists[i].name;
            if (seen[i]) return error = name + " is given twice", Action::bad_usage;
            std::string what;
            if (!parse_list(optarg, lists[i].quantity, given[i], what)) {
                error = name;
                error.append(" '").append(optarg).append("': ").append(what);
                return Action::bad_usage;
            }
            seen[i] = true;
        }
    }
    if (optind < argc)
        return error = std::string("unexpected operand '") + argv[optind] + "'", Action::bad_usage;
    if (seen[1] && seen[2])
        return error = "--load and --calls both give the load", Action::bad_usage;
    if (seen[2] != seen[3])
        return error = seen[2] ? "--calls needs --holding" : "--holding needs --calls",
               Action::bad_usage;
    if (seen[2]) {  // calls per hour of so many seconds each: erlangs
        const double scale = list_value(given[3], 0) / 3600;
        for (Range& r : given[2]) {
            r = {r.first * scale, r.step * scale, r.count, r.last * scale};
            const double most = list_value(List{r}, r.count - 1);
            if (!in_domain(Quantity::load, r.first) || !in_domain(Quantity::load, most)) {
                error = "--calls with --holding: a load of " +
                        csv_number(in_domain(Quantity::load, most) ? r.first : most) +
                        " erlang is outside the domain: " + domain_text(Quantity::load);
                return Action::bad_usage;
            }
        }
        given[1] = given[2];
        seen[1] = true;
    }
    if (seen[0] + seen[1] + seen[4] != 2)
        return error = "give two of --circuits, --load (or --calls) and --blocking",
               Action::bad_usage;
    request.csv = csv;
    request.fractional = fractional;
    request.answer = !seen[1] ? Answer::load : !seen[0] ? Answer::circuits : Answer::blocking;
    if (fractional && request.answer != Answer::circuits)
        return error =
                   "--fractional goes with --load (or --calls) and --blocking, when the "
                   "circuits are the answer",
               Action::bad_usage;
    request.rows = seen[0] ? given[0] : given[1];
    request.columns = seen[4] ? given[4] : given[1];
    return Action::table;
}

// ---- The table -------------------------------------------------------------

std::string text_number(double value, bool trim)
{
    if (value == 0) return "0";
    char buf[400];
    char* end = nullptr;
    if (std::fabs(value) < 1e-4) {
        end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 4).ptr;
    } else {
        const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        int decimals = std::max(0, 4 - exponent);
        end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
        // Rounding up to the next power of ten (9.99996 to 10.0000) gains a
        // sixth significant digit: one decimal fewer.
        char* first = std::find_if(buf, end, [](char c) { return c >= '1' && c <= '9'; });
        const auto digits = std::count_if(first, end, [](char c) { return c >= '0' && c <= '9'; });
        if (decimals > 0 && digits > 5) {
            end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, --decimals)
                      .ptr;
        }
    }
    std::string text(buf, end);
    if (trim && text.find('.') != std::string::npos) {
        const size_t e = text.find('e');
        std::string mantissa = text.substr(0, e);
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') mantissa.pop_back();
        text = mantissa + (e == std::string::npos ? "" : text.substr(e));
    }
    return text;
}

std::string csv_number(double value)
{
    char buf[64];
    return {buf, std::to_chars(buf, buf + sizeof buf, value).ptr};
}

bool write_table(const Request& request, std::FILE* out, std::FILE* progress, long* evaluations,
                 double progress_after)
{
    long made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    static const char* const titles[] = {
        "# offered load in erlang that the circuits carry at each blocking probability\n",
        "# circuits needed for each offered load in erlang at each blocking probability\n",
        "# blocking probability of the circuits at each offered load in erlang\n"};
    static const char* const headers[] = {"circuits,blocking,load\n", "load,blocking,circuits\n",
                                          "circuits,load,blocking\n"};
    const int kind = static_cast<int>(request.answer);
    const char* title =
        request.fractional ? "# fractional circuits at which each offered load in erlang blocks at "
                             "each probability\n"
                           : titles[kind];
    const bool circuit_rows = request.answer != Answer::circuits;

    std::vector<double> columns(static_cast<size_t>(list_size(request.columns)));
    for (size_t j = 0; j < columns.size(); ++j)
        columns[j] = list_value(request.columns, static_cast<long>(j));
    std::vector<Past> past(columns.size());

    std::string line = request.csv ? headers[kind] : title;
    if (!request.csv) {
        line += '#';
        align(line, circuit_rows ? "circuits" : "load", cell_width - 1);
        for (const double c : columns) line += "  ", align(line, text_number(c, true), cell_width);
        line += '\n';
    }

    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    auto shown = start;
    bool showing = false;
    const long rows = list_size(request.rows);
    for (long i = 0; i < rows; ++i) {
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) return false;
        line.clear();
        const double row = list_value(request.rows, i);
        const std::string row_text = circuit_rows  ? circuits_text(row, request.csv, true)
                                     : request.csv ? csv_number(row)
                                                   : text_number(row, true);
        if (!request.csv) align(line, row_text, cell_width);
        for (size_t j = 0; j < columns.size(); ++j) {
            const double answer = cell(request, row, columns[j], past[j], *evaluations);
            const std::string answer_text = request.answer == Answer::circuits
                                                ? circuits_text(answer, request.csv, false)
                                            : request.csv ? csv_number(answer)
                                                          : text_number(answer, false);
            if (request.csv) {
                line.append(row_text).append(",").append(csv_number(columns[j]));
                line.append(",").append(answer_text).append("\n");
            } else {
                line += "  ";
                align(line, answer_text, cell_width);
            }
        }
        if (!request.csv) line += '\n';
        const auto now = clock::now();
        if (progress != nullptr && now - start >= std::chrono::duration<double>(progress_after) &&
            (!showing || now - shown > std::chrono::milliseconds(200))) {
            std::fprintf(progress, "\rerlangb-table: row %ld of %ld", i + 1, rows);
            std::fflush(progress);
            shown = now;
            showing = true;
        }
    }
    if (showing) std::fprintf(progress, "\r%*s\r", 60, "");
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) return false;
    return std::fflush(out) == 0 && std::ferror(out) == 0;
}
