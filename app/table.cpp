// SPDX-License-Identifier: MIT
// erlangb-table's core. The contracts are in table.h.
#include "app/table.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/columns.h"
#include "app/programs.h"
#include "teletraffic/erlangb.h"

namespace {

// The domain of each quantity, in the order of Quantity.
const Domain domains[] = {
    circuits_domain, load_domain, calls_domain, blocking_domain, holding_domain, interval_domain,
};

const Domain& domain(Quantity quantity) { return domains[static_cast<int>(quantity)]; }

// A column's last rows (row value, answer), for the load solver's start.
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

// The load that `row` circuits carry at blocking `column`, started from the
// column's past rows, which it joins.
double load_cell(double row, double column, Past& past, long& evaluations)
{
    int made = 0;
    const double load = row == std::floor(row) ? erlangb_load_near(static_cast<int>(row), column,
                                                                   extrapolate(past, row), &made)
                                               : erlangb_continuous_load(row, column, &made);
    evaluations += made;
    if (past.m == 4) {
        std::copy(past.n + 1, past.n + 4, past.n), std::copy(past.a + 1, past.a + 4, past.a);
        --past.m;
    }
    past.n[past.m] = row, past.a[past.m++] = load;
    return load;
}

// Columns whose past the table keeps down its rows, for the load solver's
// start: a wider table keeps none for the others, so a
// million columns take no more memory than this many.
constexpr long kept_columns = 4096;

}  // namespace

// ---- Value lists -----------------------------------------------------------

bool parse_list(const char* text, Quantity quantity, List& list, std::string& error)
{
    return parse_list(text, domain(quantity), list, error);
}

// ---- The command line ------------------------------------------------------

namespace {

// The columns of a planning file that erlangb-table reads, by name.
enum FileColumn { circuits_column, load_column, calls_column, blocking_column };
constexpr const char* column_names[] = {"circuits", "load", "calls", "blocking"};

// Reads the request's --file into its plan (`erlangs_per_call` NaN without
// --holding): the two columns given, checked, and each row's values.
Action read_routes(Request& request, double erlangs_per_call, std::string& error)
{
    int at[4] = {};
    const auto header = [&](const Sheet& sheet, const std::vector<std::string>& names,
                            std::string& what) {
        if (!find_columns(names, column_names, 4, at, what)) return false;
        const std::string has = " (the header has " + listed(names) + ")";
        const bool load = at[load_column] >= 0 || at[calls_column] >= 0;
        if (at[load_column] >= 0 && at[calls_column] >= 0)
            return what = "the columns calls and load both give the load" + has, false;
        if ((at[circuits_column] >= 0) + load + (at[blocking_column] >= 0) != 2)
            return what = "give two of the columns circuits, load (or calls) and blocking" + has,
                   false;
        if (at[calls_column] >= 0 && std::isnan(erlangs_per_call))
            return what = "the column calls needs --holding", false;
        if (at[calls_column] < 0 && !std::isnan(erlangs_per_call))
            return what = "--holding goes with a column calls" + has, false;
        request.answer = !load                     ? Answer::load
                         : at[circuits_column] < 0 ? Answer::circuits
                                                   : Answer::blocking;
        if (request.fractional && request.answer != Answer::circuits)
            return what =
                       "--fractional goes with the columns load (or calls) and blocking, "
                       "when the circuits are the answer",
                   false;
        request.carried = carry_columns(sheet, names, at, 4);
        return true;
    };
    const auto row = [&](const Sheet& sheet, const std::vector<std::string>& fields,
                         std::string& what) {
        double v[4] = {std::nan(""), std::nan(""), std::nan(""), std::nan("")};
        for (int c = circuits_column; c <= blocking_column; ++c) {
            std::string why;
            if (at[c] >= 0 && !sheet_value(sheet, fields[static_cast<size_t>(at[c])],
                                           domain(static_cast<Quantity>(c)), v[c], why))
                return what = std::string(column_names[c]) + ": " + why, false;
        }
        if (at[calls_column] >= 0) {
            v[load_column] = v[calls_column] * erlangs_per_call;
            if (!in_domain(load_domain, v[load_column]))
                return what = "calls: a load of " + csv_number(v[load_column]) +
                              " erlang is outside the domain: " + load_domain.text,
                       false;
        }
        request.plan.push_back({v[circuits_column], v[load_column], v[blocking_column]});
        carry_row(request.carried, fields);
        return true;
    };
    return read_sheet(request.file.c_str(), header, row, error) ? Action::table : Action::bad_usage;
}

}  // namespace

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
    "  -c, --calls LIST       the load as calls per interval, with --holding\n"
    "  -t, --holding SECONDS  the calls' mean holding time\n"
    "  -i, --interval SECONDS the interval the calls come in (default 3600: an hour);\n"
    "                         load = calls x holding / interval\n"
    "  -b, --blocking LIST    blocking probabilities, 0.01 or 1%, strictly between 0 and 1\n"
    "      --fractional       with --load and --blocking: the real number of circuits\n"
    "                         at which the load blocks exactly at the target\n"
    "      --csv              one line per cell, exact numbers, for scripts and spreadsheets\n"
    "  -f, --file FILE        or rows from a CSV file (- for standard input), two of\n"
    "                         its columns circuits, load (or calls) and blocking;\n"
    "                         each row gets the third, its other columns come back\n"
    "                         before it, and the totals follow\n"
    "      --totals           with --file and --csv: a last row of totals\n"
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
    "Whole values give the figures of erlangb-size, and those of erlangb to 4e-12.\n"
    "\n"
    "Examples:\n"
    "  erlangb-table -n 1..301 -b "
    "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%\n"
    "      the ITU-T layout: the load each number of circuits carries at each blocking\n"
    "  erlangb-table -a 5,10,20,50,100 -b 1% --csv\n"
    "      the circuits needed for several loads at 1 % blocking, as CSV\n"
    "  erlangb-table -c 300 -t 180 -b 1%\n"
    "      300 calls an hour of 3 minutes each: the circuits for 1 % blocking\n"
    "  erlangb-table -c 40..80..10 -i 900 -t 120 -b 1%\n"
    "      40 to 80 calls a quarter hour of 2 minutes each, the same question\n"
    "  erlangb-table -a 10 -b 1% --fractional\n"
    "      the real number of circuits at which 10 erlangs block 1 % of the calls\n"
    "  erlangb-table -f routes.csv --csv --totals\n"
    "      each route's circuits for its busy-hour load and grade of service\n"
    "\n"
    "Exit status: 0 when the table was written, 1 when it could not be written,\n"
    "2 for bad usage.\n";

namespace {

// The options without a letter, after the characters.
enum { csv_option = 256, fractional_option, totals_option };
// The lists first, in the order of Quantity, then --file and --totals.
const option options[] = {
    {"circuits", required_argument, nullptr, 'n'},
    {"load", required_argument, nullptr, 'a'},
    {"calls", required_argument, nullptr, 'c'},
    {"blocking", required_argument, nullptr, 'b'},
    {"holding", required_argument, nullptr, 't'},
    {"interval", required_argument, nullptr, 'i'},
    {"file", required_argument, nullptr, 'f'},
    {"totals", no_argument, nullptr, totals_option},
    {"csv", no_argument, nullptr, csv_option},
    {"fractional", no_argument, nullptr, fractional_option},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
constexpr int file_index = 6;  // the options after the quantities'
constexpr int totals_index = 7;

int q(Quantity quantity) { return static_cast<int>(quantity); }

// The request of a planning file (--file): no quantity beside it but the
// handling time of a column calls and its interval.
Action file_request(Request& request, const List* given, const bool* seen, std::string& error)
{
    if (seen[q(Quantity::circuits)] || seen[q(Quantity::load)] || seen[q(Quantity::calls)] ||
        seen[q(Quantity::blocking)])
        return error = "--file gives the rows: not with --circuits, --load, --calls or --blocking",
               Action::bad_usage;
    if (seen[q(Quantity::interval)] && !seen[q(Quantity::holding)])
        return error = "--interval goes with --holding, for a column calls", Action::bad_usage;
    const double holding =
        seen[q(Quantity::holding)] ? list_value(given[q(Quantity::holding)], 0) : std::nan("");
    const double interval =
        seen[q(Quantity::interval)] ? list_value(given[q(Quantity::interval)], 0) : 3600;
    return read_routes(request, holding / interval, error);
}

// The request of a table: two of the circuits, the load (or calls) and the
// blocking give its rows and columns, the third is the answer.
Action grid_request(Request& request, List* given, const bool* seen, std::string& error)
{
    const bool circuits = seen[q(Quantity::circuits)];
    const bool calls = seen[q(Quantity::calls)];
    const bool load = seen[q(Quantity::load)] || calls;
    const bool blocking = seen[q(Quantity::blocking)];
    if (calls != seen[q(Quantity::holding)])
        return error = calls ? "--calls needs --holding" : "--holding needs --calls",
               Action::bad_usage;
    if (seen[q(Quantity::interval)] && !calls)
        return error = "--interval goes with --calls", Action::bad_usage;
    List& loads = given[q(Quantity::load)];
    if (calls) {  // calls per interval of so many seconds each: erlangs
        loads = given[q(Quantity::calls)];
        const double interval =
            seen[q(Quantity::interval)] ? list_value(given[q(Quantity::interval)], 0) : 3600;
        if (!calls_to_loads(loads, list_value(given[q(Quantity::holding)], 0) / interval, error))
            return Action::bad_usage;
    }
    if (circuits + load + blocking != 2)
        return error = "give two of --circuits, --load (or --calls) and --blocking",
               Action::bad_usage;
    request.answer = !load ? Answer::load : !circuits ? Answer::circuits : Answer::blocking;
    if (request.fractional && request.answer != Answer::circuits)
        return error =
                   "--fractional goes with --load (or --calls) and --blocking, when the "
                   "circuits are the answer",
               Action::bad_usage;
    request.rows = circuits ? given[q(Quantity::circuits)] : loads;
    request.columns = blocking ? given[q(Quantity::blocking)] : loads;
    return Action::table;
}

}  // namespace

Action parse_command_line(int argc, char* argv[], Request& request, std::string& error)
{
    List given[file_index];
    bool seen[totals_index + 1] = {};
    bool csv = false;
    bool fractional = false;
    request = Request{};
    const auto take = [&](int i, const char* value, std::string& what) {
        if (i == file_index) request.file = value;
        if (i >= file_index) return seen[i] = true;
        return seen[i] = parse_list(value, static_cast<Quantity>(i), given[i], what);
    };
    const Action action =
        scan_options(argc, argv, ":n:a:c:t:i:b:f:hV", options, take, csv, fractional, error);
    if (action != Action::table) return action;
    if (seen[totals_index] && !seen[file_index])
        return error = "--totals goes with --file", Action::bad_usage;
    request.totals = seen[totals_index];
    if (seen[q(Quantity::load)] && seen[q(Quantity::calls)])
        return error = "--load and --calls both give the load", Action::bad_usage;
    request.csv = csv;
    request.fractional = fractional;
    return seen[file_index] ? file_request(request, given, seen, error)
                            : grid_request(request, given, seen, error);
}

// ---- The table -------------------------------------------------------------

namespace {

// The titles of the three answers, in the order of Answer, and of the real
// circuits.
const char* const fractional_title =
    "# fractional circuits at which each offered load in erlang blocks at each probability\n";
const char* const titles[] = {
    "# offered load in erlang that the circuits carry at each blocking probability\n",
    "# circuits needed for each offered load in erlang at each blocking probability\n",
    "# blocking probability of the circuits at each offered load in erlang\n"};

// Answers a file's row for its third quantity, as the table's cells do.
PlanRoute answered(const Request& request, PlanRoute r)
{
    const bool whole = r.circuits == std::floor(r.circuits);
    switch (request.answer) {
    case Answer::load:
        r.load = whole ? erlangb_load(static_cast<int>(r.circuits), r.blocking)
                       : erlangb_continuous_load(r.circuits, r.blocking);
        break;
    case Answer::circuits:
        r.circuits = request.fractional ? erlangb_fractional_circuits(r.load, r.blocking)
                                        : erlangb_circuits(r.load, r.blocking);
        break;
    case Answer::blocking:
        r.blocking = whole ? erlangb(static_cast<int>(r.circuits), r.load)
                           : erlangb_continuous(r.circuits, r.load);
        break;
    }
    return r;
}

// The features of a file's request that show the columns of its rows: the
// two quantities given, then the answer.
enum Feature : unsigned {
    circuits_given = 1,
    load_given = 2,
    blocking_given = 4,
    load_answered = 8,
    circuits_answered = 16,
    blocking_answered = 32,
};

// A file's rows' columns: the two given quantities in the order circuits,
// load, blocking (load first where the circuits are the answer), then the
// answer; a given load is a key, trimmed in text.
const Column route_columns[] = {
    {"circuits", "circuits", cell_width, Format::count, circuits_given, circuits_given, nullptr},
    {"load", "load", cell_width, Format::key, load_given, load_given, nullptr},
    {"blocking", "blocking", cell_width, Format::value, blocking_given, blocking_given, nullptr},
    {"load", "load", cell_width, Format::value, load_answered, load_answered, nullptr},
    {"circuits", "circuits", cell_width, Format::count, circuits_answered, circuits_answered,
     nullptr},
    {"blocking", "blocking", cell_width, Format::value, blocking_answered, blocking_answered,
     nullptr},
};

// The values of a row (or of the totals) for route_columns.
std::array<double, 6> route_values(double circuits, double load, double blocking)
{
    return {circuits, load, blocking, load, circuits, blocking};
}

// The columns of a file's request.
Layout route_layout(const Request& request)
{
    static const unsigned features[] = {circuits_given | blocking_given | load_answered,
                                        load_given | blocking_given | circuits_answered,
                                        circuits_given | load_given | blocking_answered};
    Layout layout{route_columns,    6, features[static_cast<int>(request.answer)], request.csv,
                  &request.carried, {}};
    if (!request.csv) layout.widths = carried_widths(request.carried);
    return layout;
}

// The file's rows, answered, as text or CSV, and their totals.
bool write_routes(const Request& request, std::FILE* out, std::FILE* progress)
{
    const Layout layout = route_layout(request);
    const int kind = static_cast<int>(request.answer);
    const std::string name = escaped(sheet_name(request.file));
    const std::string circuits_word = request.fractional ? "real circuits" : "circuits";
    static const char* const asked[] = {"offered load in erlang that the circuits carry", "",
                                        "blocking probability"};
    double circuits = 0;
    double load = 0;
    double lost = 0;
    const auto make = [&](long i, long j, std::string& line) {
        if (j != 0) return;
        if (i == -1) {
            if (!request.csv)
                line += "# " +
                        (request.answer == Answer::circuits ? circuits_word + " needed"
                                                            : std::string(asked[kind])) +
                        " for each row of " + name + "\n";
            return append_header(line, layout);
        }
        const PlanRoute r = answered(request, request.plan[static_cast<size_t>(i)]);
        // What the whole circuits needed lose, not the target they meet.
        const double lost_share = request.answer == Answer::circuits && !request.fractional
                                      ? erlangb(static_cast<int>(r.circuits), r.load)
                                      : r.blocking;
        circuits += r.circuits, load += r.load, lost += r.load * lost_share;
        append_row(line, layout, i, route_values(r.circuits, r.load, r.blocking).data());
    };
    if (!write_rows(out, static_cast<long>(request.plan.size()), 1, make, table_program, progress,
                    1.0))
        return false;
    std::string end;
    if (!request.csv) {
        end = "# totals: " + circuits_text(circuits, false, true) + " circuits, " +
              text_number(load, true) + " erlang offered, " + text_number(lost, true) +
              " erlang lost, blocking " + text_number(lost / load, true) + "\n";
    } else if (request.totals) {
        append_totals(end, layout, route_values(circuits, load, lost / load).data());
    }
    return std::fputs(end.c_str(), out) >= 0;
}

}  // namespace

namespace {

// The answer of the cell at `row` and `column` (load_cell's past, for the
// load question, that of its column).
double cell_answer(const Request& request, double row, double column, Past& past, long& evaluations)
{
    switch (request.answer) {
    case Answer::load: return load_cell(row, column, past, evaluations);
    case Answer::circuits:
        return request.fractional ? erlangb_fractional_circuits(row, column)
                                  : erlangb_circuits(row, column);
    case Answer::blocking: break;
    }
    return row == std::floor(row) ? erlangb(static_cast<int>(row), column)
                                  : erlangb_continuous(row, column);
}

// A cell's three quantities in route_values' terms.
std::array<double, 6> cell_values(Answer answer, double row, double column, double value)
{
    switch (answer) {
    case Answer::load: return route_values(row, value, column);
    case Answer::circuits: return route_values(value, row, column);
    case Answer::blocking: break;
    }
    return route_values(row, column, value);
}

}  // namespace

bool write_table(const Request& request, std::FILE* out, std::FILE* progress, long* evaluations,
                 double progress_after)
{
    if (!request.file.empty()) return write_routes(request, out, progress);
    long made = 0;
    if (evaluations == nullptr) evaluations = &made;
    *evaluations = 0;
    const bool csv = request.csv;
    const char* title =
        request.fractional ? fractional_title : titles[static_cast<int>(request.answer)];
    const bool circuit_rows = request.answer != Answer::circuits;
    const Layout layout = route_layout(request);  // a CSV line a cell
    const long columns = list_size(request.columns);
    const auto kept = static_cast<size_t>(std::min(columns, kept_columns));
    std::vector<Past> past(request.answer == Answer::load ? kept : 0);

    ListCursor row_cursor{&request.rows};
    ListCursor column_cursor{&request.columns};
    double row = 0;
    const auto make = [&](long i, long j, std::string& line) {
        if (j == -1) {
            column_cursor = ListCursor{&request.columns};
            if (i == -1 && csv) return append_header(line, layout);
            if (i == -1) {
                line += title;
                line += '#';
                return align(line, circuit_rows ? "circuits" : "load", cell_width - 1);
            }
            row = next_value(row_cursor);
            if (!csv)
                align(line, circuit_rows ? circuits_text(row, false, true) : text_number(row, true),
                      cell_width);
            return;
        }
        if (j == columns) {
            if (!csv) line += '\n';
            return;
        }
        const double column = next_value(column_cursor);
        if (i == -1) {
            if (!csv) line += "  ", align(line, text_number(column, true), cell_width);
            return;
        }
        Past scratch;
        const auto k = static_cast<size_t>(j);
        const double answer =
            cell_answer(request, row, column, k < past.size() ? past[k] : scratch, *evaluations);
        if (csv)
            return append_row(line, layout, i,
                              cell_values(request.answer, row, column, answer).data());
        line += "  ";
        align(line,
              request.answer == Answer::circuits ? circuits_text(answer, false, false)
                                                 : text_number(answer, false),
              cell_width);
    };
    return write_rows(out, list_size(request.rows), columns, make, table_program, progress,
                      progress_after);
}

namespace {

// write_table in the writer's shape run_program takes.
bool write_table_rows(const Request& request, std::FILE* out, std::FILE* progress)
{
    return write_table(request, out, progress);
}

}  // namespace

int run_table(int argc, char* argv[], std::FILE* out, std::FILE* err)
{
    return run_program(table_program, usage_text, "the table", parse_command_line, write_table_rows,
                       argc, argv, out, err);
}
