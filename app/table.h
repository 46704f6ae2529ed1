// SPDX-License-Identifier: MIT
// erlangb-table's own part: its options, its quantities, and the table of
// the three answers. The lists, number formats and the streaming writer
// are the programs' shared ones (cli.h).
#ifndef ERLANGB_TABLE_H
#define ERLANGB_TABLE_H

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/sheet.h"

// The program's name, as its messages and progress line give it.
inline constexpr const char* table_program = "erlangb-table";

// ---- Value lists -----------------------------------------------------------

// What a list gives. The load comes either as erlangs or as calls per
// interval (an hour unless given), which the holding time in seconds turns
// into erlangs.
enum class Quantity { circuits, load, calls, blocking, holding, interval };

// parse_list (cli.h) with the quantity's domain:
//   circuits  above 0, at most erlangb_max_circuits (whole, or real:
//             fractional circuits)
//   load      above 0, at most erlangb_max_load erlangs
//   calls     above 0 (calls per interval; the load they make is checked
//             later)
//   blocking  strictly between 0 and 1; a number may end in "%"
//   holding   a single number above 0 (seconds)
//   interval  a single number above 0 (seconds)
bool parse_list(const char* text, Quantity quantity, List& list, std::string& error);

// ---- The command line ------------------------------------------------------

// What the cells of the table hold: the third quantity of the two given.
enum class Answer {
    load,      // circuits and blocking given: the load they carry at it
    circuits,  // load and blocking given: the circuits needed
    blocking,  // circuits and load given: their blocking probability
    sources,   // circuits, blocking and --per-source given: the most sources
};

// A row of a planning file (--file), or a cell: the two quantities it
// gives, the third NaN until answered, and its loss model: Erlang B, or
// Engset's `sources` (the load their total offered traffic, the blocking
// the call congestion), or extended Erlang B's `recall` (the load the
// fresh traffic, the blocking per attempt), NaN where not given; the
// Poisson formula is the request's (`held`).
struct PlanRoute {
    double circuits, load, blocking;
    double sources = std::numeric_limits<double>::quiet_NaN();
    double recall = std::numeric_limits<double>::quiet_NaN();
};

// A request for one table: rows are the circuits when given, otherwise the
// loads; columns are the blocking values when given, otherwise the loads.
// Or, with --file, the file's rows, each answered for the third quantity,
// with the columns carried to the output and --totals.
struct Request {
    Answer answer;
    List rows, columns;
    bool csv;
    bool fractional;  // circuit answers as the real x of erlangb_fractional_circuits
    // --sources and --recall; with --file, NaN unless the file has such a
    // column (whose rows give their own).
    double sources = std::numeric_limits<double>::quiet_NaN();
    double recall = std::numeric_limits<double>::quiet_NaN();
    double per_source = std::numeric_limits<double>::quiet_NaN();  // --per-source
    bool held;                                                     // --held
    std::string file;
    std::vector<PlanRoute> plan;
    Carried carried;
    bool totals;
};

// Reads the options of erlangb-table (getopt_long). For Action::table it
// fills `request`; for Action::bad_usage it sets `error` to one line that
// names the option and the text at fault (without the program's name).
// Bad usage: an unknown option or a missing argument, an operand, an option
// given twice, a malformed list or a value outside its domain, not exactly
// two of circuits, load and blocking, --load with --calls, --calls without
// --holding or the other way round, --interval without --calls, calls
// whose load is out of range, and
// --fractional where the circuits are given rather than asked for.
// The models: --sources S (Engset; a whole S from 1 to erlangb_max_circuits),
// --per-source LOAD (below 1 erlang; the cells are the most sources),
// --recall R (extended Erlang B; 0 to 1, or a percent) and --held (the
// Poisson formula). Bad usage there: --sources or --per-source with
// --recall or --held, --recall with --held, --per-source without
// --circuits and --blocking or beside --sources or a load, --fractional
// or circuits that are no whole number with --sources. With
// --file FILE ("-": standard input) the rows come from a CSV file
// (sheet.h), read whole here: two of its columns `circuits`, `load` (or
// `calls`, with --holding) and `blocking`, by name; its other columns are
// carried. Columns `sources` and `recall`, where given, set each row's
// model (an empty field: none). Bad usage there too: --circuits, --load,
// --calls, --blocking, --sources, --per-source or --recall beside it, not
// two of the columns, a column named twice, calls without --holding,
// --totals without --file, --held beside a column sources or recall,
// --fractional beside a column sources, the reading's own faults, and a
// row's bad value or load ("FILE:LINE: load: 'abc' is no number"), a row
// with both sources and recall, or with sources and circuits that are no
// whole number.
Action parse_command_line(int argc, char* argv[], Request& request, std::string& error);

// The text that --help prints.
extern const char* const usage_text;

// ---- The table -------------------------------------------------------------

// Computes the table row by row and writes it as it goes (write_rows),
// keeping only the row at hand and, for the first 4096 columns, each
// column's past: a million rows or columns take no more memory than one.
// Text: a "# " title line, a "#" line of headings, then right-aligned
// columns. CSV: a header naming row, column and answer, then one line per
// cell in the same order. Cells:
//   load      erlangb_load_near, started from the cubic through the four
//             rows above, about 2 evaluations of B a cell
//   circuits  erlangb_circuits (erlangb_fractional_circuits with
//             --fractional)
//   blocking  erlangb
// Circuits that are no whole number take the continuous function and its
// load, erlangb_continuous(_load). The models' cells are their library
// functions' answers (engset.h, retrial.h, poisson.h), a line above the
// title naming the model; NaN where none exists (an Engset load the
// sources cannot offer on so many circuits). In CSV each line holds its
// model's figures too: sources and, with Engset, time_congestion and
// traffic_congestion; recall and, with extended Erlang B, offered (the
// load with retries) and lost (the share of fresh calls finally lost);
// with --per-source, sources, the total load and per_source after the
// circuits and blocking. With --file: a row per row of the file,
// its carried columns first and then circuits, load and blocking in the
// order of the CSV header of the answer, the models' columns after, and
// the totals: the circuits, the load, and the traffic lost (fresh traffic
// finally lost, with retries) with the blocking over all of it; as "#"
// lines after the text, and in CSV, with --totals, as a last row whose
// first field is "total", each total under its column (the blocking over
// all the load under blocking). When `progress` is given and the run has
// taken `progress_after` seconds, a line there shows the rows done
// ("\rerlangb-table: row 12 of 300", every 0.2 s), erased at the end. When
// `evaluations` is given, the load solver's evaluations are counted there.
// Returns false when writing to `out` failed.
bool write_table(const Request& request, std::FILE* out, std::FILE* progress = nullptr,
                 long* evaluations = nullptr, double progress_after = 1.0);

#endif  // ERLANGB_TABLE_H
