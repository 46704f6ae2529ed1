// SPDX-License-Identifier: MIT
// Planning sheets: their columns, numbers and carried fields, and writing
// them. The contracts are in sheet.h; the reading is in sheet_csv.cpp.
#include "app/sheet.h"

#include <algorithm>
#include <cctype>

int find_column(const std::vector<std::string>& names, std::string_view name)
{
    int found = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string_view n = names[i];
        while (!n.empty() && (n.front() == ' ' || n.front() == '\t')) n.remove_prefix(1);
        while (!n.empty() && (n.back() == ' ' || n.back() == '\t')) n.remove_suffix(1);
        const bool same = n.size() == name.size() &&
                          std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
        if (same) found = found == -1 ? static_cast<int>(i) : -2;
    }
    return found;
}

std::string listed(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        const std::string cut = quoted(name);  // a long name cut as a quoted value is
        text.append(text.empty() ? "" : ", ").append(cut, 1, cut.size() - 2);
    }
    return text;
}

bool find_columns(const std::vector<std::string>& names, const char* const* wanted, int count,
                  int* at, std::string& error)
{
    for (int k = 0; k < count; ++k) {
        at[k] = find_column(names, wanted[k]);
        if (at[k] == -2) {
            error = std::string("two columns are named ") + wanted[k] + " (the header has " +
                    listed(names) + ")";
            return false;
        }
    }
    return true;
}

std::string sheet_name(const std::string& path) { return path == "-" ? "standard input" : path; }

bool sheet_value(const Sheet& sheet, std::string_view field, const Domain& domain, double& value,
                 std::string& error)
{
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    std::string text(field);
    if (sheet.delimiter != ',' && std::count(text.begin(), text.end(), ',') == 1 &&
        text.find('.') == std::string::npos)
        text[text.find(',')] = '.';
    return parse_value(text, domain, value, error);
}

// ---- Carrying --------------------------------------------------------------

Carried carry_columns(const Sheet& sheet, const std::vector<std::string>& names, const int* at,
                      int count)
{
    Carried carried;
    carried.delimiter = sheet.delimiter == ';' ? ';' : ',';
    for (size_t i = 0; i < names.size(); ++i) {
        if (std::find(at, at + count, static_cast<int>(i)) != at + count) continue;
        carried.columns.push_back(static_cast<int>(i));
        carried.names.push_back(names[i]);
    }
    return carried;
}

void carry_row(Carried& carried, const std::vector<std::string>& fields)
{
    for (const int k : carried.columns) {
        carried.text += fields[static_cast<size_t>(k)];
        carried.ends.push_back(carried.text.size());
    }
}

std::string_view carried_field(const Carried& carried, long i, size_t k)
{
    const size_t at = static_cast<size_t>(i) * carried.columns.size() + k;
    const size_t begin = at == 0 ? 0 : carried.ends[at - 1];
    return std::string_view(carried.text).substr(begin, carried.ends[at] - begin);
}

// ---- Writing ---------------------------------------------------------------

std::string csv_field(std::string_view field, char delimiter)
{
    const char special[] = {delimiter, '"', '\r', '\n', '\0'};
    if (field.find_first_of(special) == std::string_view::npos) return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + "\"";
}

std::string csv_cell(std::string_view field, char delimiter)
{
    double number = 0;
    const bool formula = !field.empty() &&
                         std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos &&
                         parse_number(field.substr(field[0] == '+'), false, number) != Number::ok;
    return csv_field(formula ? "'" + std::string(field) : std::string(field), delimiter);
}

void localize_csv(std::string& line, size_t from, char delimiter)
{
    if (delimiter != ';') return;
    for (size_t i = from; i < line.size(); ++i)
        line[i] = line[i] == '.' ? ',' : line[i] == ',' ? ';' : line[i];
}

namespace {

// The columns `text` takes on a terminal: its UTF-8 characters.
size_t columns_of(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::vector<size_t> carried_widths(const Carried& carried)
{
    std::vector<size_t> widths;
    const auto width = [](std::string_view field) {
        return std::min(carried_width_cap, columns_of(escaped(field)));
    };
    for (const std::string& name : carried.names) widths.push_back(width(name));
    if (!widths.empty()) ++widths[0];
    const long rows = carried.columns.empty()
                          ? 0
                          : static_cast<long>(carried.ends.size() / carried.columns.size());
    for (long i = 0; i < rows; ++i)
        for (size_t k = 0; k < widths.size(); ++k)
            widths[k] = std::max(widths[k], width(carried_field(carried, i, k)));
    return widths;
}

void append_carried(std::string& line, const Carried& carried, long i, bool csv,
                    const std::vector<size_t>& widths)
{
    for (size_t k = 0; k < carried.columns.size(); ++k) {
        const std::string_view field =
            i == -1 ? std::string_view(carried.names[k]) : carried_field(carried, i, k);
        if (csv) {
            line += csv_cell(field, carried.delimiter) + carried.delimiter;
            continue;
        }
        const std::string shown = escaped(field);
        line.append(widths[k] - std::min(widths[k], columns_of(shown)), ' ') += shown;
        line += "  ";
    }
}
