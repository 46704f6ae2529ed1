// SPDX-License-Identifier: MIT
// Planning sheets. The contracts are in sheet.h.
#include "app/sheet.h"

#include <csv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// What libcsv's callbacks fill while a sheet is read.
struct Reading {
    Sheet sheet;
    const SheetHeader* header;
    const SheetRow* row;
    std::vector<std::string> fields;
    size_t width = 0;       // the header's fields; 0 until it is read
    long next_line = 1;     // the line the next field starts on
    long row_line = 1;      // the line the row at hand starts on
    bool after_cr = false;  // the last thing read ended a row at a CR
    long rows = 0;
    std::string error;  // set: stop
};

// libcsv's field callback: keeps the field; a line break inside a quoted
// field moves the next row's line on.
void on_field(void* data, size_t size, void* context)
{
    auto& r = *static_cast<Reading*>(context);
    r.after_cr = false;
    if (r.fields.empty()) r.row_line = r.next_line;
    const char* text = static_cast<const char*>(data);
    r.fields.emplace_back(text == nullptr ? "" : std::string(text, size));
    r.next_line += std::count(r.fields.back().begin(), r.fields.back().end(), '\n');
}

// The delimiter of a file that starts with `text`: a semicolon where its
// first line holds one and no comma outside quotes, else a comma.
char delimiter_of(std::string_view text)
{
    bool quoted = false;
    int commas = 0;
    int semicolons = 0;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',', semicolons += c == ';';
    }
    return semicolons > 0 && commas == 0 ? ';' : ',';
}

// libcsv's row callback, at a CR, an LF or (-1) the end of the file: hands
// the row to the program. Rows of no fields are blank lines, or the LF of
// a CRLF, which moves no line on.
void on_row(int end, void* context)
{
    auto& r = *static_cast<Reading*>(context);
    const bool crlf = end == '\n' && r.after_cr && r.fields.empty();
    r.after_cr = end == '\r';
    r.sheet.line = r.row_line;
    if (!crlf && end != -1) ++r.next_line;
    if (!r.error.empty() || r.fields.empty()) return r.fields.clear();
    std::string error;
    if (r.width == 0) {
        r.width = r.fields.size();
        if (!(*r.header)(r.sheet, r.fields, error)) r.error = r.sheet.name + ": " + error;
    } else if (r.fields.size() != r.width) {
        r.error = r.sheet.name + ":" + std::to_string(r.sheet.line) + ": " +
                  std::to_string(r.fields.size()) + (r.fields.size() == 1 ? " field" : " fields") +
                  " where the header has " + std::to_string(r.width);
    } else {
        ++r.rows;
        if (!(*r.row)(r.sheet, r.fields, error))
            r.error = r.sheet.name + ":" + std::to_string(r.sheet.line) + ": " + error;
    }
    r.fields.clear();
}

// Spaces and tabs belong to a field: a carried one comes back as it was.
int no_space(unsigned char /*c*/) { return 0; }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One pass over `in`, its delimiter told by its first line: `r.error`
// holds the first fault, the reading's own or a callback's.
void parse(std::FILE* in, Reading& r)
{
    csv_parser parser;
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
    csv_set_space_func(&parser, no_space);
    char buffer[65536];
    bool first = true;
    size_t size = 0;
    while (r.error.empty() && (size = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        const char* start = buffer;
        if (first && size >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0)
            start += 3, size -= 3;  // the byte-order mark
        if (first) {
            r.sheet.delimiter = delimiter_of(std::string_view(start, size));
            csv_set_delim(&parser, static_cast<unsigned char>(r.sheet.delimiter));
        }
        first = false;
        const char* nul = static_cast<const char*>(std::memchr(start, '\0', size));
        const size_t taken =
            csv_parse(&parser, start, nul == nullptr ? size : nul - start, on_field, on_row, &r);
        if (r.error.empty() && (nul != nullptr || csv_error(&parser) != CSV_SUCCESS)) {
            // The line the row the fault is in starts on.
            const long line = r.fields.empty() ? r.next_line : r.row_line;
            r.error = r.sheet.name + ":" + std::to_string(line) + ": not CSV: " +
                      (nul != nullptr && taken == static_cast<size_t>(nul - start)
                           ? "a NUL byte"
                           : "a quote inside a field, or after a quoted one");
        }
    }
    if (r.error.empty() && std::ferror(in)) {
        r.error = r.sheet.name + ": cannot read: " + std::strerror(errno);
    } else if (r.error.empty() && csv_fini(&parser, on_field, on_row, &r) != 0 && r.error.empty()) {
        r.error = r.sheet.name + ":" + std::to_string(r.next_line) +
                  ": not CSV: a quoted field is not closed";
    }
    csv_free(&parser);
}

}  // namespace

bool read_sheet(const char* path, const SheetHeader& header, const SheetRow& row,
                std::string& error)
{
    const bool standard = std::strcmp(path, "-") == 0;
    Reading r;
    r.sheet.name = standard ? "standard input" : path;
    r.header = &header;
    r.row = &row;
    std::unique_ptr<std::FILE, FileCloser> file(standard ? nullptr : std::fopen(path, "rb"));
    std::FILE* in = standard ? stdin : file.get();
    if (in == nullptr)
        return error = r.sheet.name + ": cannot read: " + std::strerror(errno), false;
    parse(in, r);
    if (!r.error.empty()) return error = r.error, false;
    if (r.width == 0) return error = r.sheet.name + ": no header", false;
    if (r.rows == 0) return error = r.sheet.name + ": no rows after the header", false;
    return true;
}

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
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool sheet_value(const Sheet& sheet, std::string_view field, const Domain& domain, double& value,
                 std::string& error)
{
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    std::string text(field);
    if (sheet.delimiter == ';' && std::count(text.begin(), text.end(), ',') == 1 &&
        text.find('.') == std::string::npos)
        text[text.find(',')] = '.';
    return parse_value(text, domain, value, error);
}

// ---- Carrying --------------------------------------------------------------

Carried carry_columns(const std::vector<std::string>& names, const std::vector<bool>& used)
{
    Carried carried;
    for (size_t i = 0; i < names.size(); ++i) {
        if (used[i]) continue;
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

std::string csv_field(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + "\"";
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
    for (const std::string& name : carried.names) widths.push_back(columns_of(escaped(name)));
    if (!widths.empty()) ++widths[0];
    const long rows = carried.columns.empty()
                          ? 0
                          : static_cast<long>(carried.ends.size() / carried.columns.size());
    for (long i = 0; i < rows; ++i)
        for (size_t k = 0; k < widths.size(); ++k)
            widths[k] = std::max(widths[k], columns_of(escaped(carried_field(carried, i, k))));
    return widths;
}

void append_carried(std::string& line, const Carried& carried, long i, bool csv,
                    const std::vector<size_t>& widths)
{
    for (size_t k = 0; k < carried.columns.size(); ++k) {
        const std::string_view field =
            i == -1 ? std::string_view(carried.names[k]) : carried_field(carried, i, k);
        if (csv) {
            line += csv_field(field) + ",";
            continue;
        }
        const std::string shown = escaped(field);
        line.append(widths[k] - std::min(widths[k], columns_of(shown)), ' ') += shown;
        line += "  ";
    }
}
