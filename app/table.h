// SPDX-License-Identifier: MIT
// erlangb-table's core: its command line, the value lists, and the table of
// answers in its two formats. The program itself only calls these.
#ifndef ERLANGB_TABLE_H
#define ERLANGB_TABLE_H

#include <cstdio>
#include <string>
#include <vector>

// ---- Value lists -----------------------------------------------------------

// What a list gives. The load comes either as erlangs or as calls per hour,
// which the holding time in seconds turns into erlangs.
enum class Quantity { circuits, load, calls, blocking, holding };

// FIRST + i STEP for i = 0 .. count - 1, the last one LAST when a step lands
// on it within rounding. A single number is a range of one.
struct Range {
    double first, step;
    long count;
    double last;
};

// The items of one list, in the order given. It holds one Range per item
// of the text, never the values themselves, so a range of a million values
// takes no more room than one.
using List = std::vector<Range>;

// Parses a LIST: comma-separated items, each a number or a range
// FIRST..LAST or FIRST..LAST..STEP (STEP > 0, default 1; FIRST <= LAST).
// Numbers are decimal, with an optional exponent ("1e-3"), read the same in
// every locale: no sign but a leading "-", no "inf", "nan" or hexadecimal.
// For blocking a number may end in "%", a percentage ("1%" is 0.01).
// Every value must lie in the quantity's domain:
//   circuits  above 0, at most erlangb_max_circuits (whole, or real:
//             fractional circuits)
//   load      above 0, at most erlangb_max_load erlangs
//   calls     above 0 (calls per hour; the load they make is checked later)
//   blocking  strictly between 0 and 1
//   holding   a single number above 0 (seconds)
// Returns true with `list` filled, or false with `error` saying what is
// wrong with which part of `text` (without the option's name).
bool parse_list(const char* text, Quantity quantity, List& list, std::string& error);

// The number of values in a list, and its i-th value (0 <= i < size).
long list_size(const List& list);
double list_value(const List& list, long i);

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

// What the command line asks for.
enum class Action { table, help, version, bad_usage };

// Reads the options of erlangb-table (getopt_long). For Action::table it
// fills `request`; for Action::bad_usage it sets `error` to one line that
// names the option and the text at fault (without the program's name).
// Bad usage: an unknown option or a missing argument, an operand, an option
// given twice, a malformed list or a value outside its domain, not exactly
// two of circuits, load and blocking, --load with --calls, --calls without
// --holding or the other way round, calls whose load is out of range, and
// --fractional where the circuits are given rather than asked for.
Action parse_command_line(int argc, char* argv[], Request& request, std::string& error);

// The text that --help prints.
extern const char* const usage_text;

// ---- The table -------------------------------------------------------------

// The numbers as the text table shows them: loads and blocking to
// 5 significant digits, in exponent notation only below 0.0001, whole
// numbers in full (277.13, 0.010101, 1.0000e-05, 100918), circuits as whole
// numbers. `trim` drops trailing zeros after the point (for headings).
std::string text_number(double value, bool trim);

// The shortest text that reads back as the same double ("0.01", "1e-05").
std::string csv_number(double value);

// Computes the table row by row and writes each row as soon as it is done,
// keeping only the row at hand and the column's previous answers (so a
// million rows take no more memory than one). Text: a "# " title line, a
// "#" line of headings, then right-aligned columns. CSV: a header naming
// row, column and answer, then one line per cell in the same order.
// Cells: load by erlangb_load_near, started down each column from the cubic
// through the four rows above, about 2 evaluations of B a cell; circuits by
// erlangb_circuits (erlangb_fractional_circuits with --fractional);
// blocking by erlangb. Circuits that are no whole number take the
// continuous function and its load, erlangb_continuous(_load). When `progress` is given and the
// run has taken `progress_after` seconds, a line there shows the rows done
// ("\rerlangb-table: row 12 of 300", every 0.2 s), erased at the end. When
// `evaluations` is given, the load solver's evaluations are counted there.
// Returns false when writing to `out` failed.
bool write_table(const Request& request, std::FILE* out, std::FILE* progress = nullptr,
                 long* evaluations = nullptr, double progress_after = 1.0);

#endif  // ERLANGB_TABLE_H
