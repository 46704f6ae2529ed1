// SPDX-License-Identifier: MIT
// erlangc's own part: its options, the loads and targets they give, and
// its rows of figures. The lists, number formats and the streaming writer
// are the programs' shared ones (cli.h).
#ifndef ERLANGB_ERLANGC_H
#define ERLANGB_ERLANGC_H

#include <cstdio>
#include <string>

#include <vector>

#include "app/cli.h"
#include "app/sheet.h"
#include "teletraffic/erlangc.h"

// The program's name, as its messages and progress line give it.
inline constexpr const char* erlangc_program = "erlangc";

// A row of a planning file (--file), as read and, where it asks the
// agents, answered: they are staffed as the file is read, so that a row
// no agents can serve is refused before anything is written.
struct PlanRow {
    double load;      // erlangs
    double calls;     // NaN where the file gives loads
    double holding;   // the handling time in seconds; NaN where none is known
    double patience;  // in holding times; +infinity: Erlang C
    double agents;    // the file's, or those the targets need
    double lines;     // +infinity: no limit
    double redial;    // the share of blocked and abandoning callers who call again
};

// Which calls the mean wait column averages over: the answered calls'
// waits, every call's time in the queue (abandoning ones' too), or the
// virtual mean wait (the offered wait of the calls that get a line).
enum class MeanWaitOf { answered, all, virtual_wait };

// A request: the loads in erlangs (calls already turned into erlangs), and
// either the agents to give figures for or the targets to staff for, with
// times in holding times. `holding` is the mean handling time in seconds,
// or NaN where the load came in erlangs without one (figures then stay in
// holding times); `answer_time` NaN when none was given; `shrinkage` 0
// when none was given.
struct ErlangcRequest {
    List loads, agents;  // agents empty: staff for the targets
    StaffingTarget target;
    double holding, answer_time, shrinkage;
    bool csv;
    bool fractional;  // real agents for the targets
    bool carry;       // the load each of `agents` carries while meeting the targets
    double interval;  // seconds the calls come in (3600 unless given)
    double patience;  // callers' mean patience in holding times; +infinity: Erlang C
    // With --file: the file's rows (the loads and agents then empty), the
    // columns carried to the output, the targets' times in seconds (each
    // row's handling time turns them into holding times; NaN where not
    // given), and --totals.
    std::string file;
    std::vector<PlanRow> plan;
    Carried carried;
    bool scheduled;  // the file's agents, not the targets', give each row's
    bool totals;
    // The options' times in seconds (NaN where not given; the patience
    // +infinity), and whether the figures are Erlang A's.
    double answer_seconds, asa_seconds, patience_seconds;
    bool abandon;
    // Erlang X: the lines (+infinity: no limit), the redial share (the
    // loads then fresh calls), the definitions the service level and mean
    // wait columns hold, and the observed abandoned share whose patience is
    // asked (NaN where not). `erlang_x` where any of them sets the model
    // (else Erlang C or A, as before); `limited` where lines are given,
    // `redials` where redials are, by option or the file's column.
    double lines, redial, observed;
    ServiceLevelOf level_of;
    MeanWaitOf wait_of;
    bool erlang_x, limited, redials;
};

// Reads the options of erlangc (getopt_long). For Action::table it fills
// `request`; for Action::bad_usage it sets `error` to one line that names
// what is wrong (without the program's name). Bad usage: an unknown option
// or a missing argument, an operand, an option given twice, a malformed
// number or list, a value outside its domain, no question (neither agents
// nor a target), agents with targets and a load, --fractional or
// --shrinkage with the load question (agents with targets and no load),
// more agents than erlangb_max_load there, a service level without an answer
// time, a time in seconds with a load in erlangs but no holding time,
// --calls without --holding, --interval without --calls (or the load
// question with --holding), --patience without --holding, --max-abandoned
// without --patience, --load with
// --calls, --fractional without a target, a load from calls outside the
// load's domain, and targets that no number of agents up to
// erlangb_max_circuits meets at the largest load. With --file FILE ("-":
// standard input) the rows come from a CSV file (sheet.h), read whole
// here: its columns, by name, `calls` or `load`, `aht` (seconds; else
// --holding), `patience` (seconds; else --patience) and `agents` (the
// scheduled agents, whose figures each row gets; else the targets are met
// row by row). Bad usage there too: --load, --calls or --agents beside
// it, --holding or --patience beside its column, a missing or ambiguous
// column, the agents column with targets or neither, calls without a
// handling time, --totals without --file, the reading's own faults, and a
// row's bad value, load or targets ("FILE:LINE: aht: 'abc' is no number").
// The other columns are carried to the output.
Action parse_command_line(int argc, char* argv[], ErlangcRequest& request, std::string& error);

// The text that --help prints.
extern const char* const erlangc_usage;

// The staff to schedule for `agents` at shrinkage p: agents / (1 - p),
// rounded up unless `fractional`. The division's own rounding is not taken
// for a need: a quotient within 1e-12 above a whole number is that number
// (21 agents at 30 % are 30 staff, though 21 / 0.7 is 30.000000000000004 in
// doubles).
double staff(double agents, double p, bool fractional);

// Writes a row per load and agents (or per load, staffed for the targets;
// or per agents, with the load they carry, erlangc_load, for `carry`):
// load, calls (for `carry` with a holding time: the load as calls per
// `interval`), agents, wait probability, abandoned share (with a finite
// patience), service level (when an answer time is given), mean wait (in
// seconds when the holding time is known, otherwise in holding times),
// occupancy, and staff with a shrinkage; as text ("#" lines that say what
// the columns hold, then right-aligned columns) or CSV (the header
// load[,calls],agents,wait_probability[,abandoned],service_level,mean_wait,
// occupancy[,staff], an empty field where a figure has no meaning). With a
// finite patience the figures are Erlang A's (erlanga.h): the service
// level counts every offered call, the mean wait the answered calls', the
// occupancy the answered calls'. Without, Erlang C's: agents at or below
// the load wait for ever, wait probability 1, service level 0, mean wait
// inf, occupancy 1. When `progress` is given and the run has
// taken a second, a line there shows the rows done. Returns false when
// writing to `out` failed.
//
// With --file: a row per row of the file, its carried columns first (in
// CSV their names before the usual header), and the totals of all rows:
// the calls, the agent hours and staff hours (agents and staff times the
// interval), and the wait probability, abandoned share, service level and
// occupancy over all calls (each row weighted by its calls, or by its load
// where the file gives loads; the occupancy by its agents), the mean wait
// over the answered calls. As "#" lines after the text; in CSV, with
// --totals, as a last row whose first field is "total", each total under
// its column (agent and staff hours under agents and staff).
bool write_erlangc(const ErlangcRequest& request, std::FILE* out, std::FILE* progress = nullptr);

#endif  // ERLANGB_ERLANGC_H
