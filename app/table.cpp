// SPDX-License-Identifier: MIT
// erlangb-table's core. The contracts are in table.h.
#include "app/table.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "app/columns.h"
#include "app/programs.h"
#include "teletraffic/engset.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/poisson.h"
#include "teletraffic/retrial.h"

namespace {

// The domain of each quantity, in the order of Quantity.
const Domain domains[] = {
    circuits_domain, load_domain, calls_domain, blocking_domain, holding_domain, interval_domain,
};

const Domain& domain(Quantity quantity) { return domains[static_cast<int>(quantity)]; }

// The models' values: Engset's sources (whole, checked apart), the load
// of each source, and the share of blocked calls retried.
constexpr Domain sources_domain = {1,
                                   erlangb_max_circuits,
                                   true,
                                   true,
                                   false,
                                   "sources",
                                   "sources are a whole number from 1 to 10000000"};
constexpr Domain per_source_domain = {0,
                                      1,
                                      false,
                                      false,
                                      false,
                                      "load per source",
                                      "a load per source is above 0 and below 1 erlang"};
constexpr Domain recall_domain = {
    0, 1, true, true, true, "recall", "a recall lies between 0 and 1 (0% and 100%)"};

// Whether `sources`, read from `text`, is a whole number; else false with
// `error` set.
bool whole_sources(std::string_view text, double sources, std::string& error)
{
    if (sources == std::floor(sources)) return true;
    return error = quoted(text) + " is no whole number: " + sources_domain.text, false;
}

constexpr double none = std::numeric_limits<double>::quiet_NaN();

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
enum FileColumn {
    circuits_column,
    load_column,
    calls_column,
    blocking_column,
    sources_column,
    recall_column,
    file_columns
};
constexpr const char* column_names[] = {"circuits", "load",    "calls",
                                        "blocking", "sources", "recall"};

// Whether a field holds nothing but spaces.
bool blank(std::string_view field) { return field.find_first_not_of(' ') == std::string::npos; }

// Reads a row's model into `r`: its sources or its recall, each where its
// column has a field that is not blank, and not both. False with `error`
// set.
bool read_model(const Sheet& sheet, const std::vector<std::string>& fields, const int* at,
                PlanRoute& r, std::string& error)
{
    const auto given = [&](int c) {
        return at[c] >= 0 && !blank(fields[static_cast<size_t>(at[c])]);
    };
    if (given(sources_column) && given(recall_column))
        return error = "sources and recall both given: no model here combines them", false;
    if (given(recall_column) && !sheet_value(sheet, fields[static_cast<size_t>(at[recall_column])],
                                             recall_domain, r.recall, error))
        return error = "recall: " + error, false;
    if (!given(sources_column)) return true;
    const std::string& field = fields[static_cast<size_t>(at[sources_column])];
    if (!sheet_value(sheet, field, sources_domain, r.sources, error) ||
        !whole_sources(field, r.sources, error))
        return error = "sources: " + error, false;
    if (!std::isnan(r.circuits) && r.circuits != std::floor(r.circuits))
        return error = "circuits: " + csv_number(r.circuits) +
                       " is no whole number, as Engset's circuits are (the row has sources)",
               false;
    return true;
}

// Reads the request's --file into its plan (`erlangs_per_call` NaN without
// --holding): the two columns given, checked, and each row's values.
Action read_routes(Request& request, double erlangs_per_call, std::string& error)
{
    int at[file_columns] = {};
    const auto header = [&](const Sheet& sheet, const std::vector<std::string>& names,
                            std::string& what) {
        if (!find_columns(names, column_names, file_columns, at, what)) return false;
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
        if (request.held && (at[sources_column] >= 0 || at[recall_column] >= 0))
            return what =
                       "--held goes with neither a column sources nor a column recall: no "
                       "model here combines them",
                   false;
        request.answer = !load                     ? Answer::load
                         : at[circuits_column] < 0 ? Answer::circuits
                                                   : Answer::blocking;
        if (request.fractional && request.answer != Answer::circuits)
            return what =
                       "--fractional goes with the columns load (or calls) and blocking, "
                       "when the circuits are the answer",
                   false;
        if (request.fractional && at[sources_column] >= 0)
            return what =
                       "--fractional does not go with a column sources: Engset's circuits "
                       "are whole",
                   false;
        request.sources = at[sources_column] >= 0 ? 1 : none;  // the columns shown
        request.recall = at[recall_column] >= 0 ? 0 : none;
        request.carried = carry_columns(sheet, names, at, file_columns);
        return true;
    };
    const auto row = [&](const Sheet& sheet, const std::vector<std::string>& fields,
                         std::string& what) {
        double v[4] = {none, none, none, none};
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
        PlanRoute r{v[circuits_column], v[load_column], v[blocking_column]};
        if (!read_model(sheet, fields, at, r, what)) return false;
        request.plan.push_back(r);
        carry_row(request.carried, fields);
        return true;
    };
    return read_sheet(request.file.c_str(), header, row, error) ? Action::table : Action::bad_usage;
}

}  // namespace

const char* const usage_text =
    "Usage: erlangb-table [OPTION]...\n"
    "Answers the three Erlang B questions, one value or a whole table of them, and\n"
    "the same for few sources (Engset), retried calls and blocked calls held.\n"
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
    "      --sources S        Engset: S sources (whole) offer the load, their total\n"
    "                         counted from call attempts; the blocking is the share\n"
    "                         of call attempts blocked (the call congestion)\n"
    "      --per-source LOAD  with --circuits and --blocking: the most sources, each\n"
    "                         offering LOAD erlang (below 1)\n"
    "      --recall R         extended Erlang B: a share R (0 to 1, or 60%) of the\n"
    "                         blocked calls try again; the load is the fresh traffic,\n"
    "                         the blocking the share of attempts blocked\n"
    "      --held             the Poisson formula: blocked calls are held\n"
    "      --csv              one line per cell, exact numbers, for scripts and spreadsheets\n"
    "  -f, --file FILE        or rows from a CSV file (- for standard input), two of\n"
    "                         its columns circuits, load (or calls) and blocking;\n"
    "                         each row gets the third, its other columns come back\n"
    "                         before it, and the totals follow; columns sources and\n"
    "                         recall, where given, set each row's model\n"
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
    "Models: Erlang B's callers are endless and give up when blocked. With few\n"
    "sources each busy one stops calling (Engset; per idle source each offers\n"
    "beta = E / (S - carried), not E / S); retried calls raise the load the\n"
    "circuits see; held calls make the blocking the chance that a Poisson count of\n"
    "calls reaches the circuits. A cell no answer exists for is nan (an Engset\n"
    "load the sources cannot offer on so many circuits).\n"
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
    "  erlangb-table -a 6 -b 1% --sources 30 --csv\n"
    "      30 extensions offering 6 erlang in all: the circuits, and the time and\n"
    "      traffic congestions beside the call congestion\n"
    "  erlangb-table -n 20 -a 15 --recall 60% --csv\n"
    "      20 circuits, 15 erlang fresh, 60 % redial: the blocking per attempt, the\n"
    "      load with retries and the share of callers finally lost\n"
    "  erlangb-table -f routes.csv --csv --totals\n"
    "      each route's circuits for its busy-hour load and grade of service\n"
    "\n"
    "Exit status: 0 when the table was written, 1 when it could not be written,\n"
    "2 for bad usage.\n";

namespace {

// The options without a letter, after the characters.
enum {
    csv_option = 256,
    fractional_option,
    totals_option,
    sources_option,
    per_source_option,
    recall_option,
    held_option
};
// The lists first, in the order of Quantity, then --file, --totals and the
// models'.
const option options[] = {
    {"circuits", required_argument, nullptr, 'n'},
    {"load", required_argument, nullptr, 'a'},
    {"calls", required_argument, nullptr, 'c'},
    {"blocking", required_argument, nullptr, 'b'},
    {"holding", required_argument, nullptr, 't'},
    {"interval", required_argument, nullptr, 'i'},
    {"file", required_argument, nullptr, 'f'},
    {"totals", no_argument, nullptr, totals_option},
    {"sources", required_argument, nullptr, sources_option},
    {"per-source", required_argument, nullptr, per_source_option},
    {"recall", required_argument, nullptr, recall_option},
    {"held", no_argument, nullptr, held_option},
    {"csv", no_argument, nullptr, csv_option},
    {"fractional", no_argument, nullptr, fractional_option},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
constexpr int file_index = 6;  // the options after the quantities'
constexpr int totals_index = 7;
constexpr int sources_index = 8;
constexpr int per_source_index = 9;
constexpr int recall_index = 10;
constexpr int held_index = 11;

// Whether every value of a list is a whole number.
bool whole_list(const List& list)
{
    return std::all_of(list.begin(), list.end(), [](const Range& r) {
        return r.first == std::floor(r.first) && (r.count == 1 || r.step == std::floor(r.step));
    });
}

int q(Quantity quantity) { return static_cast<int>(quantity); }

// The request of a planning file (--file): no quantity beside it but the
// handling time of a column calls and its interval.
Action file_request(Request& request, const List* given, const bool* seen, std::string& error)
{
    if (seen[q(Quantity::circuits)] || seen[q(Quantity::load)] || seen[q(Quantity::calls)] ||
        seen[q(Quantity::blocking)])
        return error = "--file gives the rows: not with --circuits, --load, --calls or --blocking",
               Action::bad_usage;
    if (seen[sources_index] || seen[per_source_index] || seen[recall_index])
        return error =
                   "--file gives each row's model in its columns sources and recall: not "
                   "with --sources, --per-source or --recall",
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
    const bool per_source = seen[per_source_index];
    if (per_source && seen[sources_index])
        return error = "--per-source asks for the sources: not with --sources", Action::bad_usage;
    if (per_source && load)
        return error = "--per-source gives each source's load: not with --load or --calls",
               Action::bad_usage;
    if (per_source && !(circuits && blocking))
        return error = "--per-source needs --circuits and --blocking", Action::bad_usage;
    if (circuits + load + blocking != 2)
        return error = "give two of --circuits, --load (or --calls) and --blocking",
               Action::bad_usage;
    request.answer = per_source  ? Answer::sources
                     : !load     ? Answer::load
                     : !circuits ? Answer::circuits
                                 : Answer::blocking;
    if (request.fractional && request.answer != Answer::circuits)
        return error =
                   "--fractional goes with --load (or --calls) and --blocking, when the "
                   "circuits are the answer",
               Action::bad_usage;
    if (request.fractional && seen[sources_index])
        return error = "--fractional does not go with --sources: Engset's circuits are whole",
               Action::bad_usage;
    if ((per_source || seen[sources_index]) && circuits &&
        !whole_list(given[q(Quantity::circuits)]))
        return error = "--circuits: Engset's circuits are whole numbers", Action::bad_usage;
    request.rows = circuits ? given[q(Quantity::circuits)] : loads;
    request.columns = blocking ? given[q(Quantity::blocking)] : loads;
    return Action::table;
}

}  // namespace

Action parse_command_line(int argc, char* argv[], Request& request, std::string& error)
{
    List given[file_index];
    bool seen[held_index + 1] = {};
    bool csv = false;
    bool fractional = false;
    request = Request{};
    const auto take = [&](int i, const char* value, std::string& what) {
        if (i == file_index) request.file = value;
        if (i == sources_index)
            return seen[i] = parse_value(value, sources_domain, request.sources, what) &&
                             whole_sources(value, request.sources, what);
        if (i == per_source_index)
            return seen[i] = parse_value(value, per_source_domain, request.per_source, what);
        if (i == recall_index)
            return seen[i] = parse_value(value, recall_domain, request.recall, what);
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
    if ((seen[sources_index] || seen[per_source_index]) && (seen[recall_index] || seen[held_index]))
        return error = std::string(seen[sources_index] ? "--sources" : "--per-source") +
                       " goes with neither --recall nor --held: no model here combines them",
               Action::bad_usage;
    if (seen[recall_index] && seen[held_index])
        return error = "--recall and --held: no model here combines them", Action::bad_usage;
    request.held = seen[held_index];
    request.csv = csv;
    request.fractional = fractional;
    return seen[file_index] ? file_request(request, given, seen, error)
                            : grid_request(request, given, seen, error);
}

// ---- The table -------------------------------------------------------------

namespace {

// The titles of the answers, in the order of Answer, and of the real
// circuits.
const char* const fractional_title =
    "# fractional circuits at which each offered load in erlang blocks at each probability\n";
const char* const titles[] = {
    "# offered load in erlang that the circuits carry at each blocking probability\n",
    "# circuits needed for each offered load in erlang at each blocking probability\n",
    "# blocking probability of the circuits at each offered load in erlang\n",
    "# sources that the circuits serve at each blocking probability\n"};

// A row's or cell's quantities once answered, and its model's figures
// (NaN where its model has none): the congestions of Engset, the offered
// load and the share finally lost of extended Erlang B, and the share of
// its load lost (the blocking where the circuits are whole or the target
// met exactly; with retries, the share finally lost), for the totals.
struct Figures {
    PlanRoute route;
    double per_source = none;
    double time_congestion = none, traffic_congestion = none, offered = none, lost = none;
    double share_lost = none;
};

// Whether the request's output shows the models' figures beside the
// answer: CSV, and a file's rows; a text table's cells are the answers
// alone.
bool shows_figures(const Request& request) { return request.csv || !request.file.empty(); }

// A count as a library answers it: NaN for its 0, which no answer is.
double count_of(int n) { return n == 0 ? none : n; }

// Engset's answer for `r`, its load the sources' total offered traffic,
// and the congestions where the sources can offer that load.
Figures engset_answer(const Request& request, PlanRoute r)
{
    Figures f{r};
    switch (request.answer) {
    case Answer::load:
        r.load = engset_load(static_cast<int>(r.circuits), static_cast<int>(r.sources), r.blocking);
        break;
    case Answer::circuits:
        r.circuits = count_of(engset_circuits(static_cast<int>(r.sources), r.load, r.blocking));
        break;
    case Answer::sources:
        r.sources =
            count_of(engset_sources(static_cast<int>(r.circuits), request.per_source, r.blocking));
        r.load = r.sources * request.per_source;
        f.per_source = request.per_source;
        break;
    case Answer::blocking: break;
    }
    if (std::isnan(r.circuits) || std::isnan(r.sources)) return f.route = r, f;
    const auto n = static_cast<int>(r.circuits);
    const auto S = static_cast<int>(r.sources);
    const double beta = engset_beta(n, S, r.load);
    const double call = engset_call_congestion(n, S, beta);
    if (request.answer == Answer::blocking) r.blocking = call;
    f.share_lost = n >= S ? 0.0 : call;
    if (shows_figures(request)) {
        f.time_congestion = engset_time_congestion(n, S, beta);
        f.traffic_congestion = engset_traffic_congestion(n, S, beta);
    }
    f.route = r;
    return f;
}

// Extended Erlang B's answer for `r`, its load the fresh traffic.
Figures retrial_answer(const Request& request, PlanRoute r)
{
    switch (request.answer) {
    case Answer::load: r.load = extended_erlangb_load(r.circuits, r.recall, r.blocking); break;
    case Answer::circuits:
        r.circuits = request.fractional
                         ? extended_erlangb_fractional_circuits(r.load, r.recall, r.blocking)
                         : count_of(extended_erlangb_circuits(r.load, r.recall, r.blocking));
        break;
    case Answer::sources:  // Engset's question alone
    case Answer::blocking: r.blocking = extended_erlangb(r.circuits, r.load, r.recall); break;
    }
    Figures f{r};
    if (!shows_figures(request)) return f;  // each a solve of its own
    f.offered = extended_erlangb_offered(r.circuits, r.load, r.recall);
    f.lost = f.share_lost = extended_erlangb_lost(r.circuits, r.load, r.recall);
    return f;
}

// The Poisson formula's answer for `r`, or Erlang B's (`held` false).
Figures loss_answer(const Request& request, PlanRoute r, bool held)
{
    const bool whole = r.circuits == std::floor(r.circuits);  // not NaN, where they are asked
    const int n = whole ? static_cast<int>(r.circuits) : 0;
    switch (request.answer) {
    case Answer::load:
        r.load = held    ? poisson_load(r.circuits, r.blocking)
                 : whole ? erlangb_load(n, r.blocking)
                         : erlangb_continuous_load(r.circuits, r.blocking);
        break;
    case Answer::circuits:
        r.circuits = held ? request.fractional ? poisson_fractional_circuits(r.load, r.blocking)
                                               : count_of(poisson_circuits(r.load, r.blocking))
                     : request.fractional ? erlangb_fractional_circuits(r.load, r.blocking)
                                          : erlangb_circuits(r.load, r.blocking);
        break;
    case Answer::sources:  // Engset's question alone
    case Answer::blocking:
        r.blocking = held    ? poisson_blocking(r.circuits, r.load)
                     : whole ? erlangb(n, r.load)
                             : erlangb_continuous(r.circuits, r.load);
        break;
    }
    Figures f{r};
    // What the whole circuits needed lose, not the target they meet.
    f.share_lost = r.blocking;
    if (request.answer == Answer::circuits && !request.fractional)
        f.share_lost = held ? poisson_blocking(r.circuits, r.load)
                            : erlangb(static_cast<int>(r.circuits), r.load);
    return f;
}

// `r` answered for the request's answer by its model.
Figures answered(const Request& request, const PlanRoute& r)
{
    if (!std::isnan(r.sources) || request.answer == Answer::sources)
        return engset_answer(request, r);
    if (!std::isnan(r.recall)) return retrial_answer(request, r);
    return loss_answer(request, r, request.held);
}

// The features of a request that show the columns of its rows: the
// quantities given, then the answer, then the models'.
enum Feature : unsigned {
    circuits_given = 1,
    load_given = 2,
    blocking_given = 4,
    load_answered = 8,
    circuits_answered = 16,
    blocking_answered = 32,
    sources_answered = 64,
    sources_given = 128,
    recall_given = 256,
    engset_figures = 512,
};

// The columns of a row: the two given quantities in the order circuits,
// load, blocking (load first where the circuits are the answer), then the
// answer (with the sources, the load they offer and each one's), then the
// model's (a given load is a key, trimmed in text).
const Column route_columns[] = {
    {"circuits", "circuits", cell_width, Format::count, circuits_given, circuits_given, nullptr},
    {"load", "load", cell_width, Format::key, load_given, load_given, nullptr},
    {"blocking", "blocking", cell_width, Format::value, blocking_given, blocking_given, nullptr},
    {"load", "load", cell_width, Format::value, load_answered, load_answered, nullptr},
    {"circuits", "circuits", cell_width, Format::count, circuits_answered, circuits_answered,
     nullptr},
    {"blocking", "blocking", cell_width, Format::value, blocking_answered, blocking_answered,
     nullptr},
    {"sources", "sources", cell_width, Format::count, sources_answered, sources_answered, nullptr},
    {"load", "load", cell_width, Format::value, sources_answered, sources_answered, nullptr},
    {"per_source", "per_source", cell_width, Format::row_figure, sources_answered, sources_answered,
     nullptr},
    {"sources", "sources", cell_width, Format::row_count, sources_given, sources_given, nullptr},
    {"time_congestion", "time_congestion", 15, Format::row_figure, engset_figures, engset_figures,
     nullptr},
    {"traffic_congestion", "traffic_congestion", 18, Format::row_figure, engset_figures,
     engset_figures, nullptr},
    {"recall", "recall", cell_width, Format::row_figure, recall_given, recall_given, nullptr},
    {"offered", "offered", cell_width, Format::row_figure, recall_given, recall_given, nullptr},
    {"lost", "lost", cell_width, Format::row_figure, recall_given, recall_given, nullptr},
};
constexpr size_t route_column_count = std::size(route_columns);

// The values of `f` (or of the totals) for route_columns.
std::array<double, route_column_count> route_values(const Figures& f)
{
    const PlanRoute& r = f.route;
    return {r.circuits, r.load,    r.blocking,   r.load,    r.circuits,        r.blocking,
            r.sources,  r.load,    f.per_source, r.sources, f.time_congestion, f.traffic_congestion,
            r.recall,   f.offered, f.lost};
}

// The columns of a request.
Layout route_layout(const Request& request)
{
    static const unsigned features[] = {
        circuits_given | blocking_given | load_answered,
        load_given | blocking_given | circuits_answered,
        circuits_given | load_given | blocking_answered,
        circuits_given | blocking_given | sources_answered,
    };
    unsigned shown = features[static_cast<int>(request.answer)];
    if (!std::isnan(request.sources)) shown |= sources_given | engset_figures;
    if (request.answer == Answer::sources) shown |= engset_figures;
    if (!std::isnan(request.recall)) shown |= recall_given;
    Layout layout{route_columns, route_column_count, shown, request.csv, &request.carried, {}};
    if (!request.csv) layout.widths = carried_widths(request.carried);
    return layout;
}

// The line above the title that names the model of a table's cells, or
// none for Erlang B's (a file's rows show theirs in their columns).
std::string model_line(const Request& request)
{
    if (!request.file.empty()) return request.held ? "# Poisson formula: blocked calls held\n" : "";
    if (request.answer == Answer::sources)
        return "# Engset: each source offers " + text_number(request.per_source, true) +
               " erlang; the blocking is the share of call attempts blocked\n";
    if (!std::isnan(request.sources))
        return "# Engset: " + circuits_text(request.sources, false, true) +
               " sources; the load is their total offered traffic, the blocking the share of "
               "call attempts blocked\n";
    if (!std::isnan(request.recall))
        return "# extended Erlang B: " + text_number(100 * request.recall, true) +
               "% of blocked calls retried; the load is the fresh traffic, the blocking the "
               "share of attempts blocked\n";
    return request.held ? "# Poisson formula: blocked calls held\n" : "";
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
    Figures totals{{0, 0, none}};
    double lost = 0;
    const auto make = [&](long i, long j, std::string& line) {
        if (j != 0) return;
        if (i == -1) {
            if (!request.csv)
                line += model_line(request) + "# " +
                        (request.answer == Answer::circuits ? circuits_word + " needed"
                                                            : std::string(asked[kind])) +
                        " for each row of " + name + "\n";
            return append_header(line, layout);
        }
        const Figures f = answered(request, request.plan[static_cast<size_t>(i)]);
        totals.route.circuits += f.route.circuits, totals.route.load += f.route.load;
        lost += f.route.load * f.share_lost;
        append_row(line, layout, i, route_values(f).data());
    };
    if (!write_rows(out, static_cast<long>(request.plan.size()), 1, make, table_program, progress,
                    1.0))
        return false;
    const double circuits = totals.route.circuits;
    const double load = totals.route.load;
    std::string end;
    if (!request.csv) {
        end = "# totals: " + circuits_text(circuits, false, true) + " circuits, " +
              text_number(load, true) + " erlang offered, " + text_number(lost, true) +
              " erlang lost, blocking " + text_number(lost / load, true) + "\n";
    } else if (request.totals) {
        totals.route.blocking = lost / load;
        totals.route.recall = none;
        append_totals(end, layout, route_values(totals).data());
    }
    return std::fputs(end.c_str(), out) >= 0;
}

// The cell at `row` and `column` as a file's row would give it.
PlanRoute cell_route(const Request& request, double row, double column)
{
    PlanRoute r{row, none, column, request.sources, request.recall};
    switch (request.answer) {
    case Answer::load:
    case Answer::sources: break;
    case Answer::circuits: r = {none, row, column, request.sources, request.recall}; break;
    case Answer::blocking: r = {row, column, none, request.sources, request.recall}; break;
    }
    return r;
}

// The answer of the cell at `row` and `column`, its figures in `f`
// (load_cell's past, for Erlang B's load question, that of its column).
double cell_answer(const Request& request, double row, double column, Past& past, long& evaluations,
                   Figures& f)
{
    const bool erlangb_load_question = request.answer == Answer::load && !request.held &&
                                       std::isnan(request.sources) && std::isnan(request.recall);
    if (erlangb_load_question) {
        f = Figures{{row, load_cell(row, column, past, evaluations), column}};
        return f.route.load;
    }
    f = answered(request, cell_route(request, row, column));
    switch (request.answer) {
    case Answer::load: return f.route.load;
    case Answer::circuits: return f.route.circuits;
    case Answer::sources: return f.route.sources;
    case Answer::blocking: break;
    }
    return f.route.blocking;
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
    const std::string title =
        model_line(request) +
        (request.fractional ? fractional_title : titles[static_cast<int>(request.answer)]);
    const bool circuit_rows = request.answer != Answer::circuits;
    const bool counts = request.answer == Answer::circuits || request.answer == Answer::sources;
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
        Figures f;
        const auto k = static_cast<size_t>(j);
        const double answer =
            cell_answer(request, row, column, k < past.size() ? past[k] : scratch, *evaluations, f);
        if (csv) return append_row(line, layout, i, route_values(f).data());
        line += "  ";
        align(line, counts ? circuits_text(answer, false, false) : text_number(answer, false),
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
