// SPDX-License-Identifier: MIT
// erlangb-table's own part: its options, its quantities, and the table of
// the three answers. The lists, number formats and the streaming writer
// are the programs' shared ones (cli.h).
#ifndef ERLANGB_TABLE_H
#define ERLANGB_TABLE_H

#include <cstdio>
#include <string>

#include "app/cli.h"

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
};

// A request for one table: rows are the circuits when given, otherwise the
// loads; columns are the blocking values when given, otherwise the loads.
struct Request {
    Answer answer;
    List rows, columns;
    bool csv;
    bool fractional;  // circuit answers as the real x of erlangb_fractional_circuits
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
//   blocking  the formula's walk, stepped on from the column's row above
//             or from its fewer circuits within 3000, or walked from the
//             first circuit up to 3000: erlangb's own figures; beyond, the
//             continuous function (within 1e-12 of erlangb), from which
//             the next rows step on by the recurrence
// Circuits that are no whole number take the continuous function and its
// load, erlangb_continuous(_load). When `progress` is given and the run has
// taken `progress_after` seconds, a line there shows the rows done
// ("\rerlangb-table: row 12 of 300", every 0.2 s), erased at the end. When
// `evaluations` is given, the load solver's evaluations are counted there.
// Returns false when writing to `out` failed.
bool write_table(const Request& request, std::FILE* out, std::FILE* progress = nullptr,
                 long* evaluations = nullptr, double progress_after = 1.0);

#endif  // ERLANGB_TABLE_H
