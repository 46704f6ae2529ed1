// SPDX-License-Identifier: MIT
// erlangc's own part. The contracts are in erlangc.h.
#include "app/erlangc.h"

#include <getopt.h>

#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include "app/columns.h"
#include "app/programs.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangx.h"

namespace {

// The options that take a value, in the order of `seen` and `given` below.
enum Option {
    load,
    calls,
    holding,
    interval,
    agents,
    level,
    answer,
    asa,
    wait,
    occupancy,
    shrink,
    patience,
    abandoned,
    lines,
    redial,
    blocked,
    observed,
    file,
    totals,
    level_of,
    wait_of
};

// Their domains.
const Domain domains[] = {
    load_domain,
    calls_domain,
    holding_domain,
    interval_domain,
    {0, erlangb_max_circuits, false, true, false, nullptr,
     "agents are above 0 and at most 10000000"},
    {0, 1, false, false, true, "service level",
     "a service level lies strictly between 0 and 1 (0% and 100%)"},
    {0, HUGE_VAL, true, false, false, "answer time", "an answer time is 0 seconds or more"},
    {0, HUGE_VAL, false, false, false, "mean wait",
     "an average speed of answer is above 0 seconds"},
    {0, 1, false, false, true, "probability",
     "a wait probability lies strictly between 0 and 1 (0% and 100%)"},
    {0, 1, false, false, true, "occupancy",
     "an occupancy lies strictly between 0 and 1 (0% and 100%)"},
    {0, 1, true, false, true, "shrinkage", "a shrinkage is at least 0 and below 1 (100%)"},
    {0, HUGE_VAL, false, false, false, "patience", "a patience is above 0 seconds"},
    {0, 1, false, false, true, "abandoned share",
     "an abandoned share lies strictly between 0 and 1 (0% and 100%)"},
    {1, erlangb_max_circuits + 1e5, true, true, false, "lines",
     "lines are a whole number from 1 to 10100000"},
    {0, 1, true, false, true, "redial share", "a redial share is at least 0 and below 1 (100%)"},
    {0, 1, false, false, true, "blocked share",
     "a blocked share lies strictly between 0 and 1 (0% and 100%)"},
    {0, 1, false, false, true, "abandoned share",
     "an abandoned share lies strictly between 0 and 1 (0% and 100%)"},
};

constexpr double not_given = std::numeric_limits<double>::quiet_NaN();

// The largest value of a list whose ranges rise.
double largest(const List& list)
{
    double most = 0;
    for (const Range& r : list) most = std::fmax(most, range_value(r, r.count - 1));
    return most;
}

// A number for a title: as text_number writes it, trailing zeros dropped,
// or beyond a billion in exponent notation.
std::string plain(double v) { return v < 1e9 ? text_number(v, true) : csv_number(v); }

// The targets of a row whose handling time is `holding` seconds: the
// request's, with its times in seconds turned into holding times.
StaffingTarget row_target(const ErlangcRequest& request, double holding)
{
    StaffingTarget target = request.target;
    target.answer_time = request.answer_seconds / holding;
    target.mean_wait = request.asa_seconds / holding;
    return target;
}

// The columns of a planning file that erlangc reads, by name.
enum FileColumn {
    calls_column,
    load_column,
    aht_column,
    patience_column,
    agents_column,
    lines_column,
    redial_column
};
constexpr const char* column_names[] = {"calls",  "load",  "aht",   "patience",
                                        "agents", "lines", "redial"};
constexpr int file_columns = 7;

// What is wrong with a planning file's columns (`at`, as find_columns
// gives them) beside the options read into `request`, the first fault
// found; empty where nothing is.
std::string columns_fault(const ErlangcRequest& request, const int* at, double patience_seconds,
                          bool targets)
{
    const bool timed = at[aht_column] >= 0 || !std::isnan(request.holding);
    if (at[calls_column] >= 0 && at[load_column] >= 0)
        return "the columns calls and load both give the load";
    if (at[calls_column] < 0 && at[load_column] < 0) return "no column calls or load";
    if (at[aht_column] >= 0 && !std::isnan(request.holding))
        return "--holding and the column aht both give the handling time";
    if (at[patience_column] >= 0 && std::isfinite(patience_seconds))
        return "--patience and the column patience both give the patience";
    if (!timed &&
        (at[calls_column] >= 0 || at[patience_column] >= 0 || std::isfinite(patience_seconds) ||
         !std::isnan(request.answer_seconds) || !std::isnan(request.asa_seconds)))
        return "calls, the patience and the answer times are in seconds: they need a column "
               "aht or --holding";
    if (!std::isnan(request.target.max_abandonment) && at[patience_column] < 0 &&
        std::isinf(patience_seconds))
        return "--max-abandoned needs --patience or a column patience";
    if (at[agents_column] >= 0 && targets)
        return "the column agents asks the figures of the agents: not with targets";
    if (at[agents_column] < 0 && !targets)
        return "give a question: a target (--service-level, --asa, --wait-probability, "
               "--max-occupancy, --max-abandoned), or a column agents";
    const bool lines = at[lines_column] >= 0 || request.limited;
    if (at[lines_column] >= 0 && request.limited)
        return "--lines and the column lines both give the lines";
    if (at[redial_column] >= 0 && request.redials)
        return "--redial and the column redial both give the redial share";
    if ((at[redial_column] >= 0 || request.redials) && !lines && at[patience_column] < 0 &&
        std::isinf(patience_seconds))
        return "redials need lines or a patience: else nobody is blocked or hangs up";
    if (!std::isnan(request.target.max_blocking) && !lines)
        return "--max-blocked needs --lines or a column lines";
    if (request.fractional && (at[lines_column] >= 0 || at[redial_column] >= 0))
        return "--fractional goes with Erlang C and A: not with a column lines or redial";
    return "";
}

// A planning file's row (`fields`, its columns at `at`) as a PlanRow, its
// agents those the targets need where the file gives none; or what is
// wrong with it.
std::string plan_row(const ErlangcRequest& request, const int* at, const Sheet& sheet,
                     const std::vector<std::string>& fields, double patience_seconds, PlanRow& p)
{
    double v[file_columns] = {not_given, not_given,     request.holding, patience_seconds,
                              not_given, request.lines, request.redial};
    static const Domain* const column_domains[] = {&calls_domain,
                                                   &load_domain,
                                                   &holding_domain,
                                                   &domains[Option::patience],
                                                   &domains[Option::agents],
                                                   &domains[Option::lines],
                                                   &domains[Option::redial]};
    for (int c = calls_column; c < file_columns; ++c) {
        std::string why;
        if (at[c] >= 0 &&
            !sheet_value(sheet, fields[static_cast<size_t>(at[c])], *column_domains[c], v[c], why))
            return std::string(column_names[c]) + ": " + why;
    }
    p.holding = v[aht_column];
    p.calls = v[calls_column];
    // As --calls turns calls into erlangs, so that a row's figures are the option's.
    p.load = at[calls_column] >= 0 ? p.calls * (p.holding / request.interval) : v[load_column];
    p.patience = std::isinf(v[patience_column]) ? HUGE_VAL : v[patience_column] / p.holding;
    p.lines = v[lines_column];
    p.redial = v[redial_column];
    if (p.lines != std::floor(p.lines)) return "lines: the calls a centre holds are a whole number";
    if (request.erlang_x && at[agents_column] >= 0 &&
        (v[agents_column] != std::floor(v[agents_column]) || v[agents_column] > p.lines))
        return "agents: Erlang X's agents are whole, and at most the lines";
    if (!in_domain(load_domain, p.load))
        return "calls: a load of " + plain(p.load) +
               " erlang is outside the domain: " + load_domain.text;
    const StaffingTarget target = row_target(request, p.holding);
    if (std::isinf(target.answer_time) || target.mean_wait == 0 || std::isinf(target.mean_wait) ||
        p.patience == 0 || (std::isfinite(v[patience_column]) && std::isinf(p.patience)))
        return "aht: a time in seconds is out of range in holding times";
    p.agents = at[agents_column] >= 0 ? v[agents_column]
               : request.erlang_x   ? erlangx_agents(p.load, p.lines, p.patience, p.redial, target)
               : request.fractional ? erlanga_fractional_agents(p.load, p.patience, target)
                                    : erlanga_agents(p.load, p.patience, target);
    if (!(p.agents > 0))
        return "no agents meet the targets at a load of " + plain(p.load) + " erlang: " +
               (std::isfinite(p.lines) ? "none up to the " + plain(p.lines) + " lines does"
                                       : "it would take more than 10000000 agents");
    return "";
}

// Reads the request's --file (its options already read, `patience_seconds` the
// option's seconds or +infinity, `targets` whether any is set) into its
// plan: the columns checked against the options, each row's values, its
// load and, where the targets ask them, its agents.
Action read_plan(ErlangcRequest& request, double patience_seconds, bool targets, std::string& error)
{
    int at[file_columns] = {};
    const auto header = [&](const Sheet& sheet, const std::vector<std::string>& names,
                            std::string& what) {
        if (!find_columns(names, column_names, file_columns, at, what)) return false;
        what = columns_fault(request, at, patience_seconds, targets);
        if (!what.empty()) return what += " (the header has " + listed(names) + ")", false;
        request.scheduled = at[agents_column] >= 0;
        request.abandon = request.abandon || at[patience_column] >= 0;
        // The columns lines and redial make the rows Erlang X's.
        request.limited = request.limited || at[lines_column] >= 0;
        request.redials = request.redials || at[redial_column] >= 0;
        request.erlang_x = request.erlang_x || at[lines_column] >= 0 || at[redial_column] >= 0;
        if (at[redial_column] >= 0) request.redial = not_given;  // each row's
        request.carried = carry_columns(sheet, names, at, file_columns);
        return true;
    };
    const auto row = [&](const Sheet& sheet, const std::vector<std::string>& fields,
                         std::string& what) {
        PlanRow p{};
        what = plan_row(request, at, sheet, fields, patience_seconds, p);
        if (!what.empty()) return false;
        request.plan.push_back(p);
        carry_row(request.carried, fields);
        return true;
    };
    return read_sheet(request.file.c_str(), header, row, error) ? Action::table : Action::bad_usage;
}

}  // namespace

const char* const erlangc_usage =
    "Usage: erlangc [OPTION]...\n"
    "Erlang C for agents whose calls wait in a queue: the probability that a call\n"
    "waits, the service level, the mean wait and the occupancy of given agents, the\n"
    "agents a load needs to meet targets on them, or the most load given agents\n"
    "carry while meeting them.\n"
    "\n"
    "The load:\n"
    "  -a, --load LIST             offered load in erlangs, above 0, at most 5000000\n"
    "  -c, --calls LIST            or calls per interval, with --holding\n"
    "  -t, --holding SECONDS       the mean handling time (AHT); times in seconds need it\n"
    "  -i, --interval SECONDS      the interval the calls come in (default 3600)\n"
    "  (no load, with --agents and targets: the most load each number of agents\n"
    "  carries while meeting them; with --holding also as calls per interval)\n"
    "  -f, --file FILE             or the rows of a CSV file (- for standard input),\n"
    "                              its columns calls or load, aht (seconds), patience\n"
    "                              (seconds), lines, redial and agents (the figures of\n"
    "                              the agents scheduled; without, the targets are met\n"
    "                              row by row); the other columns come back before the\n"
    "                              answer\n"
    "      --totals                with --file and --csv: a last row of totals\n"
    "The question:\n"
    "  -n, --agents LIST           agents (real allowed): the figures of each\n"
    "  -s, --service-level P       a target: at least P of the calls answered within\n"
    "  -w, --answer-time SECONDS   this time (also the service level shown with -n)\n"
    "      --asa SECONDS           a target: the mean wait (average speed of answer)\n"
    "      --wait-probability P    a target: the most calls that wait\n"
    "      --max-occupancy P       a target: the most time agents are busy\n"
    "      --patience SECONDS      callers hang up after this mean wait (Erlang A)\n"
    "      --max-abandoned P       a target, with --patience: the most calls that hang up\n"
    "      --lines N               at most N calls in all, answered and waiting: the\n"
    "                              others get a busy tone (Erlang X)\n"
    "      --max-blocked P         a target, with --lines: the most calls blocked\n"
    "      --redial P              the share of blocked and abandoning callers who call\n"
    "                              again (below 1; with --lines or --patience): the\n"
    "                              loads are fresh calls, the column offered the load\n"
    "      --service-level-of W    the service level of the offered calls (default), the\n"
    "                              answered ones, or virtual (calls that get a line\n"
    "                              whose wait if they never hung up is within the time)\n"
    "      --mean-wait-of W        the mean wait of the answered calls (default), of all\n"
    "                              that get a line (abandoning ones too), or virtual\n"
    "      --abandoned P           with --agents and a load: the callers' mean patience\n"
    "                              at which P of the calls hang up\n"
    "      --fractional            with targets: the real number of agents\n"
    "      --shrinkage P           the staff to schedule: agents / (1 - P), rounded up\n"
    "      --csv                   comma-separated values, exact numbers\n"
    "  -h, --help                  show this help and exit\n"
    "  -V, --version               show the version and exit\n"
    "\n"
    "Targets go together: the agents meet all of them. P is 0.8 or 80%, strictly\n"
    "between 0 and 1. LIST is comma-separated items: a number, or a range\n"
    "FIRST..LAST or FIRST..LAST..STEP (STEP default 1).\n"
    "\n"
    "Examples:\n"
    "  erlangc -c 100 -i 1800 -t 180 -s 80% -w 20\n"
    "      100 calls in half an hour of 3 minutes each: the agents for 80 % in 20 s\n"
    "  erlangc -a 10 -n 11..16 -t 180 -w 20\n"
    "      the figures of 11 to 16 agents at 10 erlangs\n"
    "  erlangc -a 50..500..50 --wait-probability 20% --fractional --csv\n"
    "      the real agents at which a fifth of the calls wait, for ten loads\n"
    "  erlangc -a 10 -t 180 --patience 120 -s 80% -w 20\n"
    "      the agents for 80 % in 20 s when callers wait 2 minutes on average\n"
    "  erlangc -n 30 -t 180 -s 80% -w 20\n"
    "      the most load, and calls an hour, 30 agents take at 80 % in 20 s\n"
    "  erlangc -a 30 -t 180 --patience 120 --lines 40 --redial 30% -s 80% -w 20\n"
    "      40 lines, and 30 % of blocked and abandoning callers call again\n"
    "  erlangc -f forecast.csv -i 1800 -s 80% -w 20 --shrinkage 30%\n"
    "      a day's half hours, each with its calls and aht: agents, staff, totals\n"
    "\n"
    "Exit status: 0 when the figures were written, 1 when they could not be\n"
    "written, 2 for bad usage.\n";

namespace {

// The options without a letter, after the characters.
enum {
    asa_option = 256,
    wait_option,
    occupancy_option,
    shrinkage_option,
    fractional_option,
    csv_option,
    patience_option,
    abandoned_option,
    lines_option,
    redial_option,
    blocked_option,
    observed_option,
    totals_option,
    level_of_option,
    wait_of_option
};
const option options[] = {
    {"load", required_argument, nullptr, 'a'},
    {"calls", required_argument, nullptr, 'c'},
    {"holding", required_argument, nullptr, 't'},
    {"interval", required_argument, nullptr, 'i'},
    {"agents", required_argument, nullptr, 'n'},
    {"service-level", required_argument, nullptr, 's'},
    {"answer-time", required_argument, nullptr, 'w'},
    {"asa", required_argument, nullptr, asa_option},
    {"wait-probability", required_argument, nullptr, wait_option},
    {"max-occupancy", required_argument, nullptr, occupancy_option},
    {"shrinkage", required_argument, nullptr, shrinkage_option},
    {"patience", required_argument, nullptr, patience_option},
    {"max-abandoned", required_argument, nullptr, abandoned_option},
    {"lines", required_argument, nullptr, lines_option},
    {"redial", required_argument, nullptr, redial_option},
    {"max-blocked", required_argument, nullptr, blocked_option},
    {"abandoned", required_argument, nullptr, observed_option},
    {"file", required_argument, nullptr, 'f'},
    {"totals", no_argument, nullptr, totals_option},
    {"service-level-of", required_argument, nullptr, level_of_option},
    {"mean-wait-of", required_argument, nullptr, wait_of_option},
    {"fractional", no_argument, nullptr, fractional_option},
    {"csv", no_argument, nullptr, csv_option},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The words of --service-level-of and --mean-wait-of, in their enums' order.
constexpr const char* level_words[] = {"offered", "answered", "virtual", nullptr};
constexpr const char* wait_words[] = {"answered", "all", "virtual", nullptr};

// `text` as one of `words` (ending with null), its index as `out`; false
// with `what` naming the words where it is none of them.
template <class Enum>
bool definition(const char* text, const char* const* words, Enum& out, std::string& what)
{
    std::string all;
    for (int i = 0; words[i] != nullptr; ++i) {
        if (std::string_view(text) == words[i]) return out = static_cast<Enum>(i), true;
        all += std::string(all.empty() ? "" : words[i + 1] == nullptr ? " or " : ", ") + words[i];
    }
    what = "not one of " + all;
    return false;
}

// Whether any target is given.
bool any_target(const bool* seen)
{
    return seen[level] || seen[asa] || seen[wait] || seen[occupancy] || seen[abandoned] ||
           seen[blocked];
}

// Whether --agents with targets and no load asks the load they carry.
bool carries(const bool* seen) { return seen[agents] && any_target(seen) && !seen[file]; }

// What is wrong with the options `seen` together (and --fractional), the
// first fault found; empty where nothing is.
std::string combination_error(const bool* seen, bool fractional)
{
    const bool targets = any_target(seen);
    const bool carry = carries(seen);
    const bool loaded = seen[load] || seen[calls] || seen[file];
    if (seen[totals] && !seen[file]) return "--totals goes with --file";
    if (seen[file] && (seen[load] || seen[calls] || seen[agents]))
        return "--file gives the loads and agents: not with --load, --calls or --agents";
    if (seen[load] && seen[calls]) return "--load and --calls both give the load";
    if (seen[calls] && !seen[holding]) return "--calls needs --holding";
    if (carry && loaded)
        return "--agents with targets asks the load they carry: not with --load or --calls";
    if (seen[interval] && !seen[calls] && !(carry && seen[holding]) && !seen[file])
        return "--interval goes with --calls, or with --holding when the load is asked";
    if (!loaded && !carry) return "give the load: --load, or --calls with --holding";
    if (!seen[agents] && !targets && !seen[file] && !seen[observed])
        return "give a question: --agents, or a target (--service-level, --asa, "
               "--wait-probability, --max-occupancy, --max-abandoned)";
    if (carry && (fractional || seen[shrink]))
        return "--fractional and --shrinkage go with staffing, not with the load asked";
    if (seen[level] && !seen[answer]) return "--service-level needs --answer-time";
    if (!seen[file]) {  // else the file's columns may give the patience and handling time
        if (seen[abandoned] && !seen[patience]) return "--max-abandoned needs --patience";
        if ((seen[answer] || seen[asa]) && !seen[holding])
            return "--answer-time and --asa are in seconds: with --load in erlangs they need "
                   "--holding";
        if (seen[patience] && !seen[holding]) return "--patience is in seconds: it needs --holding";
    }
    if (fractional && !targets) return "--fractional goes with a target";
    if (seen[redial] && !seen[lines] && !seen[patience] && !seen[file])
        return "--redial needs --lines or --patience: else nobody is blocked or hangs up";
    if (seen[blocked] && !seen[lines] && !seen[file])
        return "--max-blocked needs --lines: endless lines block nobody";
    if (seen[observed]) {
        if (seen[file]) return "--abandoned asks the callers' patience: not with --file";
        if (targets) return "--abandoned asks the callers' patience: not with targets";
        if (seen[patience]) return "--abandoned asks the callers' patience: not with --patience";
        if (seen[redial]) return "--abandoned is a share of the calls offered: not with --redial";
        if (!seen[agents] || !loaded)
            return "--abandoned asks the callers' patience: it needs --agents and a load";
    }
    return "";
}

// Fills `request` from the options' values (`given`, where `seen`), which
// go together; then reads the file, or checks that the targets can be met.
Action fill_request(ErlangcRequest& request, const List* given, const bool* seen,
                    std::string& error)
{
    const auto value = [&](Option o) {
        return seen[o] ? list_value(given[o], 0) : std::numeric_limits<double>::quiet_NaN();
    };
    const auto bad = [&](const std::string& message) { return error = message, Action::bad_usage; };
    const bool carry = carries(seen);
    request.totals = seen[totals];
    request.carry = carry;
    request.interval = seen[interval] ? list_value(given[interval], 0) : 3600;
    request.holding = value(holding);
    request.answer_time = value(answer) / request.holding;
    request.shrinkage = value(shrink);
    request.patience = seen[patience] ? value(patience) / request.holding : HUGE_VAL;
    request.agents = given[agents];
    request.loads = given[load];
    if (seen[calls]) {  // calls per interval of so many seconds each: erlangs
        request.loads = given[calls];
        if (!calls_to_loads(request.loads, request.holding / request.interval, error))
            return Action::bad_usage;
    }
    StaffingTarget& target = request.target;
    target.service_level = value(level);
    target.answer_time = seen[level] ? request.answer_time : target.answer_time;
    target.mean_wait = value(asa) / request.holding;
    target.wait_probability = value(wait);
    target.max_occupancy = value(occupancy);
    target.max_abandonment = value(abandoned);
    if (std::isinf(request.answer_time) || target.mean_wait == 0 || std::isinf(target.mean_wait) ||
        request.patience == 0 || (seen[patience] && std::isinf(request.patience)))
        return bad("a time in seconds is out of range in holding times");
    if (carry && largest(request.agents) > erlangb_max_load)
        return bad("--agents with targets: at most 5000000 agents, whose load stays in the domain");
    request.answer_seconds = value(answer);
    request.asa_seconds = value(asa);
    request.patience_seconds = seen[patience] ? value(patience) : HUGE_VAL;
    request.abandon = seen[patience] || seen[observed];
    request.lines = seen[lines] ? value(lines) : HUGE_VAL;
    request.redial = seen[redial] ? value(redial) : 0;
    request.observed = value(observed);
    request.limited = seen[lines];
    request.redials = seen[redial];
    request.erlang_x = seen[lines] || seen[redial] || seen[observed] ||
                       request.level_of != ServiceLevelOf::offered ||
                       request.wait_of != MeanWaitOf::answered;
    target.max_blocking = value(blocked);
    target.service_level_of = request.level_of;
    if (request.lines != std::floor(request.lines))
        return bad("--lines: the calls a centre holds are a whole number");
    if (seen[asa] && request.wait_of != MeanWaitOf::answered)
        return bad("--asa is a target on the answered calls' mean wait: not with --mean-wait-of " +
                   std::string(wait_words[static_cast<int>(request.wait_of)]));
    if (request.fractional && request.erlang_x)
        return bad(
            "--fractional goes with Erlang C and A: not with --lines, --redial or "
            "another definition");
    if (request.erlang_x && !request.agents.empty()) {
        // Erlang X's agents are whole, and at most the lines.
        for (const Range& r : request.agents)
            for (long i = 0; i < r.count; ++i) {
                const double n = range_value(r, i);
                if (n != std::floor(n))
                    return bad("--agents: Erlang X's agents are whole (" + plain(n) + ")");
            }
        if (largest(request.agents) > request.lines)
            return bad("--lines: fewer lines than agents (" + plain(request.lines) + " below " +
                       plain(largest(request.agents)) + ")");
    }
    if (seen[file]) return read_plan(request, request.patience_seconds, any_target(seen), error);
    const double most = largest(request.loads);
    // Within the domains every target can be met by enough agents, and the
    // largest load needs the most: it shows whether they stay within the
    // limit.
    // (With lines, a smaller load may find no agents where the largest does,
    // its wait probability or abandonment peaking: its row shows nan.)
    if (any_target(seen) && !carry &&
        (request.erlang_x
             ? erlangx_agents(most, request.lines, request.patience, request.redial, target)
             : erlanga_agents(most, request.patience, target)) == 0)
        return bad("no agents meet the targets at a load of " + plain(most) + " erlang: " +
                   (request.limited ? "none up to the " + plain(request.lines) + " lines does"
                                    : "it would take more than 10000000 agents"));
    return Action::table;
}

}  // namespace

Action parse_command_line(int argc, char* argv[], ErlangcRequest& request, std::string& error)
{
    List given[file];
    bool seen[wait_of + 1] = {};
    request = ErlangcRequest{};
    const auto take = [&](int i, const char* text, std::string& what) {
        if (i == file) request.file = text;
        if (i == level_of) return seen[i] = definition(text, level_words, request.level_of, what);
        if (i == wait_of) return seen[i] = definition(text, wait_words, request.wait_of, what);
        if (i >= file) return seen[i] = true;
        return seen[i] = parse_list(text, domains[i], given[i], what);
    };
    const Action action = scan_options(argc, argv, ":a:c:t:i:n:s:w:f:hV", options, take,
                                       request.csv, request.fractional, error);
    if (action != Action::table) return action;
    error = combination_error(seen, request.fractional);
    return error.empty() ? fill_request(request, given, seen, error) : Action::bad_usage;
}

double staff(double agents, double p, bool fractional)
{
    const double q = agents / (1 - p);
    return fractional ? q : std::ceil(q * (1 - 1e-12));
}

namespace {

// The figures of s agents at load A, with the patience and answer time in
// holding times; the mean wait in seconds where `holding` is known; NaN
// for a figure the request does not show.
struct Figures {
    double waiting, abandoned, level, mean_wait, occupancy, staff;
    double blocked = 0, offered = 0, patience = 0;  // Erlang X's
};

// Erlang X's figures of s agents at the fresh load A0 (the offered load
// with redials), the patience and answer time in holding times, the lines
// and redial share the row's; the service level and mean wait by the
// request's definitions.
Figures erlangx_figures(const ErlangcRequest& request, double s, double A0, double holding,
                        double patience, double answer_time, double lines, double redial)
{
    const double A = redial > 0 ? erlangx_offered(s, A0, lines, patience, redial) : A0;
    Figures f{};
    f.offered = A;
    f.blocked = erlangx_blocking(s, A, lines, patience);
    f.waiting = erlangx_wait_probability(s, A, lines, patience);
    f.abandoned = erlangx_abandonment(s, A, lines, patience);
    const double t = answer_time;
    f.level = std::isnan(t) ? not_given
              : request.level_of == ServiceLevelOf::offered
                  ? erlangx_service_level(s, A, lines, patience, t)
              : request.level_of == ServiceLevelOf::answered
                  ? erlangx_answered_service_level(s, A, lines, patience, t)
                  : erlangx_virtual_service_level(s, A, lines, patience, t);
    // Every call's time in the queue, by Little's law: the abandons over
    // the rate callers give up, per call that gets a line; where nobody
    // abandons, the answered calls' mean wait.
    const double answered_wait = erlangx_mean_wait(s, A, lines, patience);
    const double wait = request.wait_of == MeanWaitOf::answered ? answered_wait
                        : request.wait_of == MeanWaitOf::virtual_wait
                            ? erlangx_virtual_mean_wait(s, A, lines, patience)
                        : std::isinf(patience) ? answered_wait
                                               : f.abandoned * patience / (1 - f.blocked);
    f.mean_wait = wait * (std::isnan(holding) ? 1 : holding);
    f.occupancy = std::fmin((1 - f.blocked - f.abandoned) * A / s, 1.0);
    f.staff =
        std::isnan(request.shrinkage) ? not_given : staff(s, request.shrinkage, request.fractional);
    return f;
}

Figures figures_of(const ErlangcRequest& request, double s, double A, double holding,
                   double patience, double answer_time)
{
    if (request.erlang_x)
        return erlangx_figures(request, s, A, holding, patience, answer_time, request.lines,
                               request.redial);
    Figures f{};
    f.abandoned = request.abandon ? erlanga_abandonment(s, A, patience) : 0;
    f.waiting = erlanga_wait_probability(s, A, patience);
    f.level =
        std::isnan(answer_time) ? not_given : erlanga_service_level(s, A, patience, answer_time);
    f.mean_wait = erlanga_mean_wait(s, A, patience) * (std::isnan(holding) ? 1 : holding);
    f.occupancy = erlanga_occupancy(s, A, patience);
    f.staff =
        std::isnan(request.shrinkage) ? not_given : staff(s, request.shrinkage, request.fractional);
    return f;
}

// The features of a request that show erlangc's columns.
enum Feature : unsigned {
    asked_load = 1,       // the loads are the rows' keys
    answer_load = 2,      // the load is a figure: the load question's answer, or a file's row's
    with_calls = 4,       // the load question's loads also as calls per interval
    with_abandon = 8,     // Erlang A: the abandoned share
    timed = 16,           // an answer time: the service level (CSV has its column always)
    staffed = 32,         // a shrinkage: the staff
    with_lines = 64,      // Erlang X's lines: the blocked share
    with_redial = 128,    // redials: the offered load
    with_patience = 256,  // the patience question's answer
};

// erlangc's columns, in the order row_of gives their values.
const Column columns[] = {
    {"load", "load", cell_width, Format::key, asked_load, asked_load, nullptr},
    {"load", "load", cell_width, Format::value, answer_load, answer_load, nullptr},
    {"calls", "calls", cell_width, Format::figure, with_calls, with_calls, nullptr},
    {"agents", "agents", cell_width, Format::count, 0, 0, nullptr},
    {"blocked", "blocked", cell_width, Format::figure, with_lines, with_lines,
     " blocked: share of calls that find every line taken;"},
    {"offered", "offered", cell_width, Format::figure, with_redial, with_redial,
     " offered: the load with redials in erlang;"},
    {"wait_probability", "waiting", cell_width, Format::figure, 0, 0,
     " waiting: share of calls that wait;"},
    {"abandoned", "abandoned", cell_width, Format::figure, with_abandon, with_abandon,
     " abandoned: share of calls that hang up;"},
    {"service_level", "service", cell_width, Format::figure, timed, 0, " service: {service};"},
    {"mean_wait", "mean wait", cell_width, Format::figure, 0, 0,
     " mean wait{of answered} in {unit}"},
    {"occupancy", "occupancy", cell_width, Format::figure, 0, 0, "{by answered}"},
    {"staff", "staff", cell_width, Format::optional_count, staffed, staffed,
     "; staff at shrinkage {shrinkage}"},
    {"patience", "patience", cell_width, Format::figure, with_patience, with_patience,
     "; patience: callers' mean patience in {unit}"},
};
constexpr size_t column_count = sizeof columns / sizeof *columns;
using Row = std::array<double, column_count>;

// A row of figures: its load, the load as calls (NaN where not shown), the
// agents and their figures.
Row row_of(double A, double calls, double s, const Figures& f)
{
    return {A,           A,       calls,       s,           f.blocked, f.offered, f.waiting,
            f.abandoned, f.level, f.mean_wait, f.occupancy, f.staff,   f.patience};
}

// Sums over a file's rows, for its totals. Each row weighs by its calls,
// or its load where the file gives loads; the mean wait by its answered
// calls.
struct Totals {
    double calls = 0, load = 0, weight = 0;
    double agents = 0, staff = 0, busy = 0;  // busy: occupancy times agents
    double waiting = 0, abandoned = 0, level = 0, answered = 0, wait = 0, blocked = 0;
};

void add_to(Totals& t, const PlanRow& p, const Figures& f)
{
    const double w = std::isnan(p.calls) ? p.load : p.calls;
    t.calls += std::isnan(p.calls) ? 0 : p.calls;
    t.load += p.load;
    t.weight += w;
    t.agents += p.agents;
    t.staff += std::isnan(f.staff) ? 0 : f.staff;
    t.busy += f.occupancy * p.agents;
    t.waiting += w * f.waiting;
    t.abandoned += w * f.abandoned;
    t.level += std::isnan(f.level) ? 0 : w * f.level;
    t.blocked += w * f.blocked;
    t.answered += w * (1 - f.abandoned - f.blocked);
    t.wait += w * (1 - f.abandoned - f.blocked) * f.mean_wait;
}

// The totals as "#" lines after a text table.
std::string totals_text(const ErlangcRequest& request, const Totals& t)
{
    const double hours = request.interval / 3600;
    const bool calls = !std::isnan(request.plan[0].calls);
    std::string text = "# totals: " + (calls ? plain(t.calls) + " calls"
                                             : plain(t.load * hours) + " erlang hours offered");
    text += ", " + plain(t.agents * hours) + " agent hours";
    if (!std::isnan(request.shrinkage)) text += ", " + plain(t.staff * hours) + " staff hours";
    text += "\n# over all calls: ";
    if (request.limited) text += "blocked " + plain(t.blocked / t.weight) + ", ";
    text += "waiting " + plain(t.waiting / t.weight);
    if (request.abandon) text += ", abandoned " + plain(t.abandoned / t.weight);
    if (!std::isnan(request.answer_seconds)) text += ", service " + plain(t.level / t.weight);
    text += ", mean wait " + plain(t.wait / t.answered);
    text += std::isnan(request.plan[0].holding) ? " holding times" : " s";
    return text + ", occupancy " + plain(t.busy / t.agents) + "\n";
}

// The totals as the last row of CSV, "total" first, each total under its
// column (agent and staff hours under agents and staff).
std::string totals_row(const ErlangcRequest& request, const Totals& t, const Layout& layout)
{
    const double hours = request.interval / 3600;
    Figures f{t.waiting / t.weight, t.abandoned / t.weight, t.level / t.weight,
              t.wait / t.answered,  t.busy / t.agents,      t.staff * hours};
    if (std::isnan(request.answer_seconds)) f.level = not_given;
    f.blocked = t.blocked / t.weight;
    f.offered = not_given;
    std::string line;
    append_totals(line, layout, row_of(not_given, not_given, t.agents * hours, f).data());
    return line;
}

// The targets a staffing or load question meets, as the title names them.
std::string goals_of(const ErlangcRequest& request)
{
    const StaffingTarget& target = request.target;
    const auto in_seconds = [](double t) { return plain(t) + " s"; };
    std::string goals;
    const auto add = [&](const std::string& goal) { goals += (goals.empty() ? " " : ", ") + goal; };
    if (!std::isnan(target.service_level))
        add("service level " + plain(target.service_level) + " within " +
            in_seconds(request.answer_seconds));
    if (!std::isnan(request.asa_seconds))
        add("mean wait at most " + in_seconds(request.asa_seconds));
    if (!std::isnan(target.wait_probability))
        add("wait probability at most " + plain(target.wait_probability));
    if (!std::isnan(target.max_occupancy)) add("occupancy at most " + plain(target.max_occupancy));
    if (!std::isnan(target.max_abandonment))
        add("abandoned at most " + plain(target.max_abandonment));
    if (!std::isnan(target.max_blocking)) add("blocked at most " + plain(target.max_blocking));
    return goals;
}

// The "#" lines above a text table: what the rows answer, and what the
// columns hold (the legend). `seconds`: the mean wait is in seconds.
std::string title_of(const ErlangcRequest& request, const Layout& layout, bool seconds)
{
    const bool plan = !request.file.empty();
    const bool abandon = request.abandon;
    const auto in_seconds = [](double t) { return plain(t) + " s"; };
    const std::string name = escaped(sheet_name(request.file));
    std::string head;
    if (plan ? !request.scheduled : request.agents.empty() || request.carry) {
        const std::string goals = goals_of(request);
        const std::string agents = request.fractional ? "# real agents" : "# agents";
        head = request.carry
                   ? "# the most offered load in erlang each number of agents carries for" + goals +
                         "\n"
               : plan ? agents + " needed for each row of " + name + " for" + goals + "\n"
                      : agents + " needed at each offered load in erlang for" + goals + "\n";
        if ((layout.features & with_calls) != 0)
            head += "# calls: the load as calls per " + in_seconds(request.interval) + "\n";
    } else {
        head = plan ? "# the figures of the agents of each row of " + name + "\n"
                    : "# the figures of each number of agents at each offered load in erlang\n";
    }
    const std::string patience =
        !std::isnan(request.observed)
            ? "each row's patience is the one at which " + plain(request.observed) + " hang up"
        : std::isfinite(request.patience_seconds)
            ? "callers hang up after waiting " + in_seconds(request.patience_seconds) +
                  " on average"
            : "callers hang up after waiting, on average, the row's patience";
    if (request.erlang_x) {
        std::string model = request.limited ? plan && std::isinf(request.lines)
                                                  ? "each row's lines"
                                                  : plain(request.lines) + " lines"
                                            : "endless lines";
        model += abandon ? "; " + patience : "; nobody hangs up";
        if (request.redials)
            model += "; " +
                     (std::isnan(request.redial) ? std::string("each row's share")
                                                 : plain(request.redial)) +
                     " of blocked and abandoning callers call again, the loads being fresh calls";
        head += "# Erlang X: " + model + "\n";
    } else if (abandon) {
        head += "# Erlang A: " + patience + "\n";
    }
    const bool some_lost = abandon || request.limited;
    const std::string within = "within " + in_seconds(request.answer_seconds);
    const std::string service =
        request.level_of == ServiceLevelOf::answered ? "answered " + within + ", of answered calls"
        : request.level_of == ServiceLevelOf::virtual_wait
            ? "offered wait " + within + " (virtual), of calls that get a line"
            : "answered " + within + (some_lost ? ", of all calls" : "");
    const std::string of_answered = request.wait_of == MeanWaitOf::all
                                        ? " of calls that get a line, abandoning ones too"
                                    : request.wait_of == MeanWaitOf::virtual_wait
                                        ? " if nobody hung up (virtual), of calls that get a line"
                                    : some_lost ? " of answered calls"
                                                : "";
    return head +
           legend_of(layout, {{"service", service},
                              {"of answered", of_answered},
                              {"unit", seconds ? "s" : "holding times"},
                              {"by answered", some_lost ? "; occupancy by answered calls" : ""},
                              {"shrinkage", plain(request.shrinkage)}});
}

// The columns a request shows.
Layout layout_of(const ErlangcRequest& request, bool seconds)
{
    const bool plan = !request.file.empty();
    unsigned features = plan || request.carry ? answer_load : asked_load;
    if (request.carry && seconds) features |= with_calls;
    if (request.abandon) features |= with_abandon;
    if (!std::isnan(request.answer_seconds)) features |= timed;
    if (!std::isnan(request.shrinkage)) features |= staffed;
    if (request.limited) features |= with_lines;
    if (request.redials) features |= with_redial;
    if (!std::isnan(request.observed)) features |= with_patience;
    Layout layout{columns, column_count, features, request.csv, nullptr, {}};
    if (plan) {
        layout.carried = &request.carried;
        if (!request.csv) layout.widths = carried_widths(request.carried);
    }
    return layout;
}

// The agents of a row of loads or agents: the row's own, or those the
// targets need.
double agents_of(const ErlangcRequest& request, double A, ListCursor& agents)
{
    if (!request.agents.empty()) return next_value(agents);
    if (request.erlang_x) {
        const int n =
            erlangx_agents(A, request.lines, request.patience, request.redial, request.target);
        return n == 0 ? not_given : n;
    }
    return request.fractional ? erlanga_fractional_agents(A, request.patience, request.target)
                              : erlanga_agents(A, request.patience, request.target);
}

}  // namespace

bool write_erlangc(const ErlangcRequest& request, std::FILE* out, std::FILE* progress)
{
    const bool plan = !request.file.empty();
    const bool carry = request.carry;
    const bool seconds =
        !std::isnan(request.holding) || (plan && !std::isnan(request.plan[0].holding));
    const Layout layout = layout_of(request, seconds);
    const long cells = request.agents.empty() || carry || plan ? 1 : list_size(request.agents);
    std::string head = request.csv ? "" : title_of(request, layout, seconds);
    append_header(head, layout);

    // The rows: the loads, or for the load question the agents, or the file's.
    ListCursor row_cursor{carry ? &request.agents : &request.loads};
    ListCursor agent_cursor{&request.agents};
    double A = 0;
    Totals totals;
    const auto make = [&](long i, long j, std::string& line) {
        if (j == -1) {
            if (i == -1)
                line += head;
            else if (!carry && !plan)
                A = next_value(row_cursor), agent_cursor = ListCursor{&request.agents};
            return;
        }
        if (i == -1 || j == cells) return;
        if (plan) {
            const PlanRow& p = request.plan[static_cast<size_t>(i)];
            const double t = request.answer_seconds / p.holding;
            const Figures f = request.erlang_x
                                  ? erlangx_figures(request, p.agents, p.load, p.holding,
                                                    p.patience, t, p.lines, p.redial)
                                  : figures_of(request, p.agents, p.load, p.holding, p.patience, t);
            add_to(totals, p, f);
            return append_row(line, layout, i, row_of(p.load, not_given, p.agents, f).data());
        }
        const double s = carry ? next_value(row_cursor) : agents_of(request, A, agent_cursor);
        if (carry)
            A = request.erlang_x ? erlangx_load(s, request.lines, request.patience, request.redial,
                                                request.target)
                                 : erlanga_load(s, request.patience, request.target);
        // The patience question: the patience at which the observed share
        // hangs up, and the figures there.
        const bool asked = !std::isnan(request.observed);
        const double patience =
            asked ? erlangx_patience(s, A, request.lines, request.observed) : request.patience;
        Figures f = figures_of(request, s, A, request.holding, patience, request.answer_time);
        if (asked) f.patience = patience * (std::isnan(request.holding) ? 1 : request.holding);
        const double calls = A * request.interval / request.holding;
        append_row(line, layout, i, row_of(A, calls, s, f).data());
    };
    const long rows = plan ? static_cast<long>(request.plan.size())
                           : list_size(carry ? request.agents : request.loads);
    if (!write_rows(out, rows, cells, make, erlangc_program, progress, 1.0)) return false;
    if (!plan || (request.csv && !request.totals)) return true;
    const std::string end =
        request.csv ? totals_row(request, totals, layout) : totals_text(request, totals);
    return std::fputs(end.c_str(), out) >= 0;
}

int run_erlangc(int argc, char* argv[], std::FILE* out, std::FILE* err)
{
    return run_program(erlangc_program, erlangc_usage, "the figures", parse_command_line,
                       write_erlangc, argc, argv, out, err);
}
