// SPDX-License-Identifier: MIT
// Planning sheets: the rows a program answers read from a CSV file as
// spreadsheets write it, its columns found by name, the columns it does
// not read carried to its output unchanged. The CSV grammar is libcsv's
// (RFC 4180); what a program makes of the fields is its own.
#ifndef ERLANGB_SHEET_H
#define ERLANGB_SHEET_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli.h"

// ---- Reading -----------------------------------------------------------------

// The sheet being read, as the callbacks below see it.
struct Sheet {
    std::string name;      // as messages give it: the path, or "standard input"
    char delimiter = ',';  // ';' or '\t' where the header is separated so
    long line = 0;         // the line the row at hand starts on (the header's is 1)
};

// Called with the header's fields, then with each data row's (as many as
// the header has). Each returns false with `error` set (without the file
// and line, which the reader puts in front) to stop the reading.
using SheetHeader = std::function<bool(const Sheet& sheet, const std::vector<std::string>& names,
                                       std::string& error)>;
using SheetRow = std::function<bool(const Sheet& sheet, const std::vector<std::string>& fields,
                                    std::string& error)>;

// Reads the CSV file at `path` ("-": standard input) in one pass: a header
// row naming the columns, then data rows. Fields are separated by the
// character a spreadsheet's "sep=X" first line names; else by semicolons
// where the header holds one and no comma outside quotes (in the file's
// first 64 KiB), by tabs where it holds a tab and neither, else by commas.
// Quoted fields may hold delimiters, doubled quotes and line breaks; LF or
// CRLF line ends; a UTF-8 byte-order mark ignored; blank lines skipped.
// Returns true when every row was read and taken, with `error` empty, or
// set to a warning where the last line ends without a line break
// ("NAME:LINE: the last line ends without a line break: was the file cut
// short?"). Else false with `error` one line: "NAME: cannot read: REASON"
// (missing, unreadable), "NAME: UTF-16 text: save it as CSV UTF-8",
// "NAME:LINE: not CSV: ..." (a quote out of place, a quoted field left
// open, a NUL byte, a field longer than memory holds), "NAME:LINE: N fields
// where the header has M", "NAME: no header", "NAME: no rows after the
// header", or a callback's error as "NAME:LINE: ERROR" ("NAME: ERROR" for
// the header's).
bool read_sheet(const char* path, const SheetHeader& header, const SheetRow& row,
                std::string& error);

// The column named `name` among the header's `names`, compared without
// case and without spaces around them: its index, -1 when there is none,
// -2 when there are more than one.
int find_column(const std::vector<std::string>& names, std::string_view name);

// The header's names for messages: "date, start, calls, aht", each cut
// after 40 characters as quoted() cuts it.
std::string listed(const std::vector<std::string>& names);

// Finds the `count` columns named `wanted` among the header's `names`:
// at[k] is the index of wanted[k], or -1 where the header has none. False,
// with `error` set ("two columns are named aht (the header has ...)"), when
// one of them is named twice.
bool find_columns(const std::vector<std::string>& names, const char* const* wanted, int count,
                  int* at, std::string& error);

// The name a sheet is given in messages and titles: its path, or
// "standard input" for "-".
std::string sheet_name(const std::string& path);

// Reads a field as one number of `domain`, as parse_value does (cli.h),
// with spaces around it ignored and, in a sheet separated by semicolons or
// tabs, a decimal comma taken as the point. False with `error` set.
bool sheet_value(const Sheet& sheet, std::string_view field, const Domain& domain, double& value,
                 std::string& error);

// ---- Carrying --------------------------------------------------------------

// The columns a program does not read, kept row by row for its output: one
// text of all their fields end to end, so that a million rows take little
// more than their bytes.
struct Carried {
    char delimiter = ',';            // CSV output's: ';' for a semicolon sheet
    std::vector<int> columns;        // their indices in the sheet, in its order
    std::vector<std::string> names;  // their names
    std::string text;
    std::vector<size_t> ends;  // where each field ends in `text`, row after row
};

// Carries every column of `sheet`'s header `names` but the `count` that
// `at` holds (as find_columns fills it; -1 for none).
Carried carry_columns(const Sheet& sheet, const std::vector<std::string>& names, const int* at,
                      int count);

// Keeps a row's carried fields.
void carry_row(Carried& carried, const std::vector<std::string>& fields);

// Field k of row i as it was read.
std::string_view carried_field(const Carried& carried, long i, size_t k);

// ---- Writing ---------------------------------------------------------------

// A field as CSV writes it with `delimiter`: in quotes, with its quotes
// doubled, where it holds the delimiter, a quote or a line break; else as
// it is.
std::string csv_field(std::string_view field, char delimiter = ',');

// A carried field as CSV output gives it back: with a "'" before it where
// it starts with "=", "+", "-", "@", a tab or a carriage return and is no
// number, so that a spreadsheet opening the output runs no formula from the
// file (CWE-1236); then as csv_field writes it.
std::string csv_cell(std::string_view field, char delimiter);

// The carried columns' part of a line of output, before the program's own
// fields: their names (row -1) or row i's fields, each followed by the
// delimiter in CSV (as csv_cell writes them); in text right-aligned in
// `widths` (escaped, two spaces after each, a longer field overflowing).
void append_carried(std::string& line, const Carried& carried, long i, bool csv,
                    const std::vector<size_t>& widths);

// The width of each carried column in a text table: its longest escaped
// field or name up to carried_width_cap, the first one's name with room
// for a "#" before it. A wider field overflows its column, so that one
// long field does not widen every row.
inline constexpr size_t carried_width_cap = 40;
std::vector<size_t> carried_widths(const Carried& carried);

// A program's own fields of a CSV line, from `from` on, in the form of a
// sheet separated by `delimiter`: with semicolons, a decimal comma and
// semicolons between them, as a spreadsheet in such a locale reads them;
// else unchanged.
void localize_csv(std::string& line, size_t from, char delimiter);

#endif  // ERLANGB_SHEET_H
