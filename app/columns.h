// SPDX-License-Identifier: MIT
// A program's output as a table of columns: each program declares its
// columns as data (CSV name, text heading, how its numbers are written and
// the features of a request that show it), each of its questions computes
// a row of numbers, one per declared column, and the routines here write
// the header, the rows and the CSV totals row alike for every program,
// after the columns a planning file carries.
#ifndef ERLANGB_COLUMNS_H
#define ERLANGB_COLUMNS_H

#include <cstddef>
#include <string>
#include <vector>

#include "app/sheet.h"

// How a column's numbers are written (cli.h): a figure (csv_number, or
// text_number to five significant digits; NaN an empty CSV field and no
// text cell), a value (the same, NaN written "nan"), a row's key (a value
// with trailing zeros trimmed in text), a count of circuits or agents
// (circuits_text: whole numbers as integers; NaN "nan"), a count that is a
// row's key (fractions trimmed in text), or an optional count (NaN empty,
// as a figure's), or a figure or count that only some rows have (NaN
// empty in CSV, "-" in text, so that the columns after it stay aligned).
enum class Format { figure, value, key, count, count_key, optional_count, row_figure, row_count };

// A column of a program's output. `text` and `csv` are the feature bits
// (the program's own) that must all be set for it to be shown in the text
// table and in CSV: 0 shows it always. `legend` is its words in the line
// under the title that says what the columns hold (null: none), each
// {name} in it replaced by the program's word for that name.
struct Column {
    const char* csv_name;
    const char* heading;
    int width;
    Format format;
    unsigned text, csv;
    const char* legend;
};

// The words a program puts for the {name}s of its legends.
struct Word {
    const char* name;
    std::string text;
};

// A program's declared columns as one request shows them: `features` its
// bits, and, for a planning file, the carried columns (else null) with
// their text widths (carried_widths).
struct Layout {
    const Column* columns;
    size_t count;
    unsigned features;
    bool csv;
    const Carried* carried = nullptr;
    std::vector<size_t> widths;
};

// Whether `layout` shows column k.
bool shown(const Layout& layout, size_t k);

// The legend of the text table: "#", each shown column's legend with
// `words` put in, and a newline; empty where no shown column has one.
std::string legend_of(const Layout& layout, const std::vector<Word>& words);

// Appends the header: in CSV the carried names and the shown columns'
// names, each line ending in a newline; in text the carried names and the
// shown headings right-aligned, a "#" in the first place.
void append_header(std::string& line, const Layout& layout);

// Appends row i (the carried fields of the file's row i, where there are
// carried columns) with `values`, one per declared column, in each shown
// column's format; CSV in the carried file's delimiter (localize_csv).
void append_row(std::string& line, const Layout& layout, long i, const double* values);

// Appends the CSV totals row of a planning file's layout (its carried
// columns given): "total" in the first field (the first carried one, or
// the first column's where none is carried), then each shown column's
// total as a figure, empty where it is NaN.
void append_totals(std::string& line, const Layout& layout, const double* values);

#endif  // ERLANGB_COLUMNS_H
