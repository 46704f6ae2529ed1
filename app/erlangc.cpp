// SPDX-License-Identifier: MIT
// erlangc's own part. The contracts are in erlangc.h.
#include "app/erlangc.h"

#include <getopt.h>

#include <cmath>
#include <limits>
#include <string_view>

#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"

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
    abandoned
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
};

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
    "The question:\n"
    "  -n, --agents LIST           agents (real allowed): the figures of each\n"
    "  -s, --service-level P       a target: at least P of the calls answered within\n"
    "  -w, --answer-time SECONDS   this time (also the service level shown with -n)\n"
    "      --asa SECONDS           a target: the mean wait (average speed of answer)\n"
    "      --wait-probability P    a target: the most calls that wait\n"
    "      --max-occupancy P       a target: the most time agents are busy\n"
    "      --patience SECONDS      callers hang up after this mean wait (Erlang A)\n"
    "      --max-abandoned P       a target, with --patience: the most calls that hang up\n"
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
    "\n"
    "Exit status: 0 when the figures were written, 1 when they could not be\n"
    "written, 2 for bad usage.\n";

Action parse_command_line(int argc, char* argv[], ErlangcRequest& request, std::string& error)
{
    enum {
        asa_option = 256,
        wait_option,
        occupancy_option,
        shrinkage_option,
        fractional_option,
        csv_option,
        patience_option,
        abandoned_option
    };
    static const option options[] = {
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
        {"fractional", no_argument, nullptr, fractional_option},
        {"csv", no_argument, nullptr, csv_option},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    List given[13];
    bool seen[13] = {};
    request = ErlangcRequest{};
    const auto take = [&](int i, const char* text, std::string& what) {
        return seen[i] = parse_list(text, domains[i], given[i], what);
    };
    const Action action = scan_options(argc, argv, ":a:c:t:i:n:s:w:hV", options, take, request.csv,
                                       request.fractional, error);
    if (action != Action::table) return action;
    const auto value = [&](Option o) {
        return seen[o] ? list_value(given[o], 0) : std::numeric_limits<double>::quiet_NaN();
    };
    const bool targets =
        seen[level] || seen[asa] || seen[wait] || seen[occupancy] || seen[abandoned];
    const auto bad = [&](const std::string& message) { return error = message, Action::bad_usage; };
    // --agents with targets and no load asks the load they carry.
    const bool carry = seen[agents] && targets;
    const bool loaded = seen[load] || seen[calls];
    if (seen[load] && seen[calls]) return bad("--load and --calls both give the load");
    if (seen[calls] && !seen[holding]) return bad("--calls needs --holding");
    if (carry && loaded)
        return bad("--agents with targets asks the load they carry: not with --load or --calls");
    if (seen[interval] && !seen[calls] && !(carry && seen[holding]))
        return bad("--interval goes with --calls, or with --holding when the load is asked");
    if (!loaded && !carry) return bad("give the load: --load, or --calls with --holding");
    if (!seen[agents] && !targets)
        return bad(
            "give a question: --agents, or a target (--service-level, --asa, "
            "--wait-probability, --max-occupancy, --max-abandoned)");
    if (carry && (request.fractional || seen[shrink]))
        return bad("--fractional and --shrinkage go with staffing, not with the load asked");
    if (seen[level] && !seen[answer]) return bad("--service-level needs --answer-time");
    if (seen[abandoned] && !seen[patience]) return bad("--max-abandoned needs --patience");
    if ((seen[answer] || seen[asa]) && !seen[holding])
        return bad(
            "--answer-time and --asa are in seconds: with --load in erlangs they need "
            "--holding");
    if (seen[patience] && !seen[holding])
        return bad("--patience is in seconds: it needs --holding");
    if (request.fractional && !targets) return bad("--fractional goes with a target");
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
    const double most = largest(request.loads);
    // Within the domains every target can be met by enough agents, and the
    // largest load needs the most: it shows whether they stay within the
    // limit.
    if (targets && !carry && erlanga_agents(most, request.patience, target) == 0)
        return bad("no agents meet the targets at a load of " + plain(most) +
                   " erlang: it would take more than 10000000 agents");
    return Action::table;
}

double staff(double agents, double p, bool fractional)
{
    const double q = agents / (1 - p);
    return fractional ? q : std::ceil(q * (1 - 1e-12));
}

bool write_erlangc(const ErlangcRequest& request, std::FILE* out, std::FILE* progress)
{
    const bool csv = request.csv;
    const bool timed = !std::isnan(request.answer_time);
    const bool seconds = !std::isnan(request.holding);
    const bool staffed = !std::isnan(request.shrinkage);
    const bool staffing = request.agents.empty();
    const bool carry = request.carry;
    const bool calls = carry && seconds;  // the load carried also as calls per interval
    const bool abandon = std::isfinite(request.patience);
    const long cells = staffing || carry ? 1 : list_size(request.agents);
    const StaffingTarget& target = request.target;
    const auto number = [&](double v) { return csv ? csv_number(v) : text_number(v, false); };
    // Seconds for a time in holding times, as the titles give it.
    const auto in_seconds = [&](double t) { return plain(t * request.holding) + " s"; };

    std::string head;
    if (csv) {
        head = std::string(calls ? "load,calls" : "load") + ",agents,wait_probability" +
               (abandon ? ",abandoned" : "") + ",service_level,mean_wait,occupancy";
        head += staffed ? ",staff\n" : "\n";
    } else {
        if (staffing || carry) {
            std::string goals;
            const auto add = [&](const std::string& goal) {
                goals += (goals.empty() ? " " : ", ") + goal;
            };
            if (!std::isnan(target.service_level))
                add("service level " + plain(target.service_level) + " within " +
                    in_seconds(target.answer_time));
            if (!std::isnan(target.mean_wait))
                add("mean wait at most " + in_seconds(target.mean_wait));
            if (!std::isnan(target.wait_probability))
                add("wait probability at most " + plain(target.wait_probability));
            if (!std::isnan(target.max_occupancy))
                add("occupancy at most " + plain(target.max_occupancy));
            if (!std::isnan(target.max_abandonment))
                add("abandoned at most " + plain(target.max_abandonment));
            head = carry ? "# the most offered load in erlang each number of agents carries for" +
                               goals + "\n"
                         : std::string(request.fractional ? "# real agents" : "# agents") +
                               " needed at each offered load in erlang for" + goals + "\n";
            if (calls)
                head += "# calls: the load as calls per " +
                        in_seconds(request.interval / request.holding) + "\n";
        } else {
            head = "# the figures of each number of agents at each offered load in erlang\n";
        }
        if (abandon)
            head += "# Erlang A: callers hang up after waiting " + in_seconds(request.patience) +
                    " on average\n";
        head += "# waiting: share of calls that wait;";
        if (abandon) head += " abandoned: share of calls that hang up;";
        if (timed)
            head += " service: answered within " + in_seconds(request.answer_time) +
                    (abandon ? ", of all calls;" : ";");
        head += abandon ? " mean wait of answered calls" : " mean wait";
        head += seconds ? " in s" : " in holding times";
        if (abandon) head += "; occupancy by answered calls";
        if (staffed) head += "; staff at shrinkage " + plain(request.shrinkage);
        head += "\n#";
        align(head, "load", cell_width - 1);
        for (const char* heading : {"calls", "agents", "waiting", "abandoned", "service",
                                    "mean wait", "occupancy", "staff"}) {
            const std::string_view h(heading);
            if ((h == "service" && !timed) || (h == "staff" && !staffed) ||
                (h == "calls" && !calls) || (h == "abandoned" && !abandon))
                continue;
            head += "  ", align(head, heading, cell_width);
        }
        head += "\n";
    }

    // The rows: the loads, or for the load question the agents.
    ListCursor row_cursor{carry ? &request.agents : &request.loads};
    ListCursor agent_cursor{&request.agents};
    double A = 0;
    const auto make = [&](long i, long j, std::string& line) {
        if (j == -1) {
            if (i == -1)
                line += head;
            else if (!carry)
                A = next_value(row_cursor), agent_cursor = ListCursor{&request.agents};
            return;
        }
        if (i == -1 || j == cells) return;
        const double patience = request.patience;
        const double s = carry                ? next_value(row_cursor)
                         : !staffing          ? next_value(agent_cursor)
                         : request.fractional ? erlanga_fractional_agents(A, patience, target)
                                              : erlanga_agents(A, patience, target);
        if (carry) A = erlanga_load(s, patience, target);
        const double lost = erlanga_abandonment(s, A, patience);
        // Erlang C's occupancy is 1 where the queue grows without bound.
        const double busy = abandon ? (1 - lost) * A / s : s > A ? A / s : 1;
        std::string fields[9] = {
            csv ? csv_number(A) : text_number(A, !carry),
            calls ? number(A * request.interval / request.holding) : "",
            circuits_text(s, csv, false),
            number(erlanga_wait_probability(s, A, patience)),
            abandon ? number(lost) : "",
            timed ? number(erlanga_service_level(s, A, patience, request.answer_time)) : "",
            number(erlanga_mean_wait(s, A, patience) * (seconds ? request.holding : 1)),
            number(std::fmin(busy, 1.0)),
            staffed ? circuits_text(staff(s, request.shrinkage, request.fractional), csv, false)
                    : "",
        };
        for (int k = 0; k < 9; ++k) {
            if (csv) {
                if ((k == 8 && !staffed) || (k == 1 && !calls) || (k == 4 && !abandon)) continue;
                line += (k > 0 ? "," : "") + fields[k];
            } else if (!fields[k].empty()) {
                if (k > 0) line += "  ";
                align(line, fields[k], cell_width);
            }
        }
        line += '\n';
    };
    const List& rows = carry ? request.agents : request.loads;
    return write_rows(out, list_size(rows), cells, make, erlangc_program, progress, 1.0);
}
