// SPDX-License-Identifier: MIT
// Planning sheets: reading them, with libcsv. The contracts are in sheet.h.
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
    std::string error;    // set: stop
    std::string warning;  // set: the file read may be incomplete
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
// first line holds one and no comma outside quotes, a tab where it holds
// one and neither, else a comma.
char delimiter_of(std::string_view text)
{
    bool quoted = false;
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',', semicolons += c == ';', tabs += c == '\t';
    }
    if (commas > 0) return ',';
    return semicolons > 0 ? ';' : tabs > 0 ? '\t' : ',';
}

// The length of a spreadsheet's "sep=X" line at the start of `text`, which
// names the delimiter X: 0 where there is none.
size_t sep_line(std::string_view text)
{
    if (text.size() < 5 || text.substr(0, 4) != "sep=" || text[4] == '\r' || text[4] == '\n')
        return 0;
    const std::string_view end = text.substr(5, 2);
    return end.empty() ? 5 : end[0] == '\n' ? 6 : end == "\r\n" ? 7 : 0;
}

// What libcsv's error codes (CSV_EPARSE to CSV_EINVALID) say of a file.
constexpr const char* csv_faults[] = {"", "a quote inside a field, or after a quoted one",
                                      "a field longer than the memory at hand holds",
                                      "a field longer than libcsv takes",
                                      "a field longer than libcsv takes"};

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
    char last = '\n';  // the last byte read
    while (r.error.empty() && (size = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        const char* start = buffer;
        last = buffer[size - 1];
        if (first && size >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0)
            start += 3, size -= 3;  // the byte-order mark
        if (first && size >= 2 &&
            (std::memcmp(start, "\xFF\xFE", 2) == 0 || std::memcmp(start, "\xFE\xFF", 2) == 0)) {
            r.error = r.sheet.name + ": UTF-16 text: save it as CSV UTF-8";
            break;
        }
        if (first) {
            const size_t sep = sep_line(std::string_view(start, size));
            r.sheet.delimiter = sep > 0 ? start[4] : delimiter_of(std::string_view(start, size));
            r.next_line += sep > 0;
            start += sep, size -= sep;
            csv_set_delim(&parser, static_cast<unsigned char>(r.sheet.delimiter));
        }
        first = false;
        const char* nul = static_cast<const char*>(std::memchr(start, '\0', size));
        const size_t taken =
            csv_parse(&parser, start, nul == nullptr ? size : nul - start, on_field, on_row, &r);
        if (r.error.empty() && (nul != nullptr || csv_error(&parser) != CSV_SUCCESS)) {
            // The line the row the fault is in starts on.
            const long line = r.fields.empty() ? r.next_line : r.row_line;
            const bool at_nul = nul != nullptr && taken == static_cast<size_t>(nul - start);
            r.error = r.sheet.name + ":" + std::to_string(line) +
                      ": not CSV: " + (at_nul ? "a NUL byte" : csv_faults[csv_error(&parser) % 5]);
        }
    }
    if (r.error.empty() && std::ferror(in)) {
        r.error = r.sheet.name + ": cannot read: " + std::strerror(errno);
    } else if (r.error.empty() && csv_fini(&parser, on_field, on_row, &r) != 0 && r.error.empty()) {
        r.error = r.sheet.name + ":" + std::to_string(r.next_line) +
                  ": not CSV: a quoted field is not closed";
    } else if (last != '\n' && last != '\r') {
        r.warning = r.sheet.name + ":" + std::to_string(r.sheet.line) +
                    ": the last line ends without a line break: was the file cut short?";
    }
    csv_free(&parser);
}

}  // namespace

bool read_sheet(const char* path, const SheetHeader& header, const SheetRow& row,
                std::string& error)
{
    const bool standard = std::strcmp(path, "-") == 0;
    Reading r;
    r.sheet.name = sheet_name(path);
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
    error = r.warning;
    return true;
}
