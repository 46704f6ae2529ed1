// SPDX-License-Identifier: MIT
#include "app/columns.h"

#include <cmath>

#include "app/cli.h"

namespace {

// A value as its column's format writes it.
std::string written(double v, Format format, bool csv)
{
    if (std::isnan(v) && (format == Format::figure || format == Format::optional_count)) return "";
    if (std::isnan(v) && (format == Format::row_figure || format == Format::row_count))
        return csv ? "" : "-";
    if (format == Format::count || format == Format::optional_count || format == Format::row_count)
        return circuits_text(v, csv, false);
    if (format == Format::count_key) return circuits_text(v, csv, true);
    return csv ? csv_number(v) : text_number(v, format == Format::key);
}

// Appends the shown columns' cells: `cell(k)` the text of column k, CSV
// fields after a comma but the first, text cells right-aligned after two
// spaces but the first, empty text cells left out.
template <class Cell>
void append_cells(std::string& line, const Layout& layout, Cell cell)
{
    bool first = true;
    for (size_t k = 0; k < layout.count; ++k) {
        if (!shown(layout, k)) continue;
        const std::string text = cell(k);
        if (layout.csv) {
            if (!first) line += ',';
            line += text;
        } else if (!text.empty()) {
            if (!first) line += "  ";
            align(line, text, layout.columns[k].width);
        }
        first = false;
    }
    line += '\n';
}

// The carried columns' part, then the own cells, localized as the file is.
template <class Cell>
void append_line(std::string& line, const Layout& layout, long i, Cell cell)
{
    const size_t start = line.size();
    if (layout.carried != nullptr)
        append_carried(line, *layout.carried, i, layout.csv, layout.widths);
    const size_t own = line.size();
    append_cells(line, layout, cell);
    if (!layout.csv && i == -1) line[start] = '#';
    if (layout.csv && layout.carried != nullptr) localize_csv(line, own, layout.carried->delimiter);
}

}  // namespace

std::string legend_of(const Layout& layout, const std::vector<Word>& words)
{
    std::string legend;
    for (size_t k = 0; k < layout.count; ++k) {
        if (!shown(layout, k) || layout.columns[k].legend == nullptr) continue;
        std::string part = layout.columns[k].legend;
        for (const Word& w : words) {
            const std::string name = std::string("{") + w.name + "}";
            for (size_t at = part.find(name); at != std::string::npos; at = part.find(name, at))
                part.replace(at, name.size(), w.text), at += w.text.size();
        }
        legend += part;
    }
    return legend.empty() ? "" : "#" + legend + "\n";
}

bool shown(const Layout& layout, size_t k)
{
    const unsigned needs = layout.csv ? layout.columns[k].csv : layout.columns[k].text;
    return (layout.features & needs) == needs;
}

void append_header(std::string& line, const Layout& layout)
{
    append_line(line, layout, -1, [&](size_t k) {
        return std::string(layout.csv ? layout.columns[k].csv_name : layout.columns[k].heading);
    });
}

void append_row(std::string& line, const Layout& layout, long i, const double* values)
{
    append_line(line, layout, i,
                [&](size_t k) { return written(values[k], layout.columns[k].format, layout.csv); });
}

void append_totals(std::string& line, const Layout& layout, const double* values)
{
    const size_t start = line.size();
    const size_t carried = layout.carried->columns.size();
    line += carried > 0 ? "total" + std::string(carried, ',') : "";
    bool first = carried == 0;
    append_cells(line, layout, [&](size_t k) {
        std::string text = first ? "total" : std::isnan(values[k]) ? "" : csv_number(values[k]);
        first = false;
        return text;
    });
    localize_csv(line, start, layout.carried->delimiter);
}
