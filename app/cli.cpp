// SPDX-License-Identifier: MIT
// The command-line machinery the programs share. The contracts are in cli.h.
#include "app/cli.h"

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The decimal places a number's text is written with: those after its
// point less its exponent, two more for a percentage ("0.5%" 3, "1e-6" 6,
// "2.5e3" 0); at most 400.
int decimals(std::string_view text, bool percent)
{
    int places = 0;
    if (percent && !text.empty() && text.back() == '%') places = 2, text.remove_suffix(1);
    const size_t e = text.find_first_of("eE");
    if (e != std::string_view::npos) {
        long exponent = 0;
        std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                        exponent);
        places -= static_cast<int>(std::clamp(exponent, -400L, 400L));
        text = text.substr(0, e);
    }
    const size_t point = text.find('.');
    if (point != std::string_view::npos) places += static_cast<int>(text.size() - point - 1);
    return std::clamp(places, 0, 400);
}

// v rounded to `places` (at most 400) decimals: the shortest double that
// prints so. The buffer holds the 309 digits of the largest double and 400
// decimals.
double rounded(double v, int places)
{
    // Where 10^places and v 10^places are whole numbers a double holds
    // exactly, their quotient is the double nearest the decimal: no text.
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (places <= 22) {
        const double scaled = std::nearbyint(v * powers[places]);
        if (std::fabs(scaled) < 0x1p53) return scaled / powers[places];
    }
    char text[1024];
    fast_float::from_chars(text, fmt::format_to_n(text, sizeof text, "{:.{}f}", v, places).out, v);
    return v;
}

// The message for `text`, a number parse_number found out of range and
// read as `value` (+-infinity, or 0 from an underflow): too large or too
// small, with the bound a double or the domain sets; below the domain for
// a negative one.
std::string range_error(std::string_view text, double value, const Domain& domain)
{
    if (std::signbit(value)) return quoted(text) + " is outside the domain: " + domain.text;
    if (value == 0) return quoted(text) + " is too small: the smallest number above 0 is 4.9e-324";
    return quoted(text) + " is too large: " +
           (std::isinf(domain.high) ? "the largest number is 1.7976931348623157e308" : domain.text);
}

// Parses one item of a list into `range`; false with `error` set.
bool parse_item(std::string_view item, const Domain& domain, Range& range, std::string& error)
{
    const std::string quoted = ::quoted(item);
    std::string_view parts[3];
    int count = 0;
    for (;;) {
        const size_t dots = item.find("..");
        if (count == 2 || dots == std::string_view::npos) {
            if (dots != std::string_view::npos) count = 4;  // a third ".."
            parts[std::min(count, 2)] = item;
            ++count;
            break;
        }
        parts[count++] = item.substr(0, dots);
        item.remove_prefix(dots + 2);
    }
    if (count > 3 || (count > 1 && domain.single != nullptr)) {
        error = quoted + " is no number" + (count > 3 ? " or range FIRST..LAST..STEP" : "");
        return false;
    }
    double v[3] = {0, 0, 1};
    if (count == 1) {
        if (!parse_value(parts[0], domain, v[0], error)) return false;
        range = {v[0], 1, 1, v[0]};
        return true;
    }
    for (int i = 0; i < count; ++i) {
        const Number r = parse_number(parts[i], domain.percent, v[i]);
        if (r == Number::malformed) {
            error = quoted + " has ";
            error += parts[i].empty() ? "an empty part" : ::quoted(parts[i]);
            error += " where a number belongs";
            return false;
        }
        if (r == Number::out_of_range) return error = range_error(parts[i], v[i], domain), false;
    }
    if (v[2] <= 0) return error = "in " + quoted + " STEP is not above 0", false;
    if (v[0] > v[1]) return error = "in " + quoted + " FIRST is above LAST", false;
    // LAST is a value where a step lands on it within the rounding of the
    // numbers themselves (of large ones too: 4000000.1..4000000.4..0.1), by
    // less than half a step (steps finer than the numbers' rounding, as in
    // 5e210..5e210, would make it any number).
    const double slack =
        std::fmin(0.5, 1e-9 + 4 * DBL_EPSILON * std::fmax(std::fabs(v[0]), std::fabs(v[1])) / v[2]);
    const double steps = (v[1] - v[0]) / v[2];
    if (steps > 1e12) return error = quoted + " has too many values", false;
    const int places = std::max(decimals(parts[0], domain.percent),
                                count == 3 ? decimals(parts[2], domain.percent) : 0);
    range = {v[0], v[2], static_cast<long>(steps + slack) + 1, v[1], places};
    // The values rise, so the first and the last bound them all.
    const double last = range_value(range, range.count - 1);
    if (!in_domain(domain, v[0]) || !in_domain(domain, last)) {
        error = quoted + " is outside the domain: " + domain.text;
        return false;
    }
    return true;
}

}  // namespace

// ---- Numbers ---------------------------------------------------------------

Number parse_number(std::string_view text, bool percent, double& value)
{
    // Only these characters reach the reader, so it sees no "inf", "nan" or
    // hexadecimal; it does the rest of the grammar, rounding correctly
    // (fast_float, as std::from_chars does where a library has it).
    percent = percent && !text.empty() && text.back() == '%';
    if (percent) text.remove_suffix(1);
    if (text.empty() || text.find_first_not_of("0123456789.eE-+") != std::string_view::npos)
        return Number::malformed;
    std::string digits(text);
    if (percent) {
        const size_t e = digits.find_first_of("eE");
        long exponent = 0;
        if (e != std::string::npos) {
            const char* end = digits.data() + digits.size();
            const auto [p, ec] = std::from_chars(digits.data() + e + 1, end, exponent);
            if (ec == std::errc::result_out_of_range) {
                value = std::copysign(digits[e + 1] == '-' ? 0.0 : HUGE_VAL,
                                      digits[0] == '-' ? -1.0 : 1.0);
                return Number::out_of_range;
            }
            if (ec != std::errc() || p != end) return Number::malformed;
            digits.resize(e);
        }
        digits += "e" + std::to_string(exponent - 2);
    }
    const char* end = digits.data() + digits.size();
    const auto [p, ec] =
        fast_float::from_chars(digits.data(), end, value, fast_float::chars_format::general);
    if (p != end || ec != std::errc()) return Number::malformed;
    // A magnitude no double holds rounds to infinity, or to 0 from digits
    // that are not all zeros.
    const size_t e = digits.find_first_of("eE");
    const bool zeros = digits.substr(0, e).find_first_not_of("0.-+") == std::string::npos;
    return std::isinf(value) || (value == 0 && !zeros) ? Number::out_of_range : Number::ok;
}

// ---- Value lists -----------------------------------------------------------

bool parse_value(std::string_view text, const Domain& domain, double& value, std::string& error)
{
    const std::string quoted = ::quoted(text);
    switch (parse_number(text, domain.percent, value)) {
    case Number::malformed: return error = quoted + " is no number", false;
    case Number::out_of_range: return error = range_error(text, value, domain), false;
    case Number::ok: break;
    }
    if (in_domain(domain, value)) return true;
    return error = quoted + " is outside the domain: " + domain.text, false;
}

bool in_domain(const Domain& domain, double v)
{
    return (domain.low_included ? v >= domain.low : v > domain.low) &&
           (domain.high_included ? v <= domain.high : v < domain.high);
}

bool parse_list(const char* text, const Domain& domain, List& list, std::string& error)
{
    list.clear();
    std::string_view rest(text);
    for (;;) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        if (item.empty()) return error = "an empty item", false;
        Range range{};
        if (!parse_item(item, domain, range, error)) return false;
        list.push_back(range);
        if (comma == std::string_view::npos) break;
        if (domain.single != nullptr)
            return error = std::string("one ") + domain.single + " only", false;
        rest.remove_prefix(comma + 1);
    }
    return true;
}

long list_size(const List& list)
{
    long size = 0;
    for (const Range& r : list) size += r.count;
    return size;
}

double list_value(const List& list, long i)
{
    size_t k = 0;
    while (k + 1 < list.size() && i >= list[k].count) i -= list[k++].count;
    return range_value(list[k], i);
}

double range_value(const Range& range, long i)
{
    // The last value is LAST itself where a step lands on it within rounding.
    double v = range.first + static_cast<double>(i) * range.step;
    if (i == range.count - 1 && std::fabs(v - range.last) <= 1e-9 * range.step)
        v = range.last;
    else if (i > 0 && range.decimals > 0)
        v = rounded(v, range.decimals);
    return v * range.scale;
}

bool calls_to_loads(List& calls, double erlangs_per_call, std::string& error)
{
    for (Range& r : calls) {
        r.scale = erlangs_per_call;
        const double least = range_value(r, 0);
        const double most = range_value(r, r.count - 1);
        if (!in_domain(load_domain, least) || !in_domain(load_domain, most)) {
            error = "--calls with --holding: a load of " +
                    csv_number(in_domain(load_domain, most) ? least : most) +
                    " erlang is outside the domain: " + load_domain.text;
            return false;
        }
    }
    return true;
}

double next_value(ListCursor& cursor)
{
    const List& list = *cursor.list;
    if (cursor.i == list[cursor.item].count && cursor.item + 1 < list.size())
        ++cursor.item, cursor.i = 0;
    return range_value(list[cursor.item], cursor.i++);
}

// ---- Options and exits -----------------------------------------------------

Action scan_options(int argc, char* argv[], const char* shorts, const option* options,
                    const OptionTaker& take, bool& csv, bool& fractional, std::string& error)
{
    std::vector<std::string> names;  // the options', in their order
    for (const option* o = options; o->name != nullptr; ++o) names.emplace_back(o->name);
    std::vector<bool> seen(names.size());
    opterr = 0;  // the messages are ours, in the program's own form
    optind = 0;  // restart the scan: tests read many command lines
    for (int c; (c = getopt_long(argc, argv, shorts, options, nullptr)) != -1;) {
        if (c == ':' || c == '?')
            return error = option_error(c, argv[optind - 1], options), Action::bad_usage;
        size_t i = 0;  // getopt_long returns the val of one of them
        while (i + 1 < names.size() && options[i].val != c) ++i;
        const std::string& name = names[i];
        if (name == "help") return Action::help;
        if (name == "version") return Action::version;
        if (name == "csv" || name == "fractional") {
            (name == "csv" ? csv : fractional) = true;
            continue;
        }
        std::string what;
        if (options[i].has_arg == no_argument) {  // another flag, the program's own
            take(static_cast<int>(i), nullptr, what);
            continue;
        }
        if (seen[i]) return error = "--" + name + " is given twice", Action::bad_usage;
        seen[i] = true;
        if (!take(static_cast<int>(i), optarg, what)) {
            error = "--" + name;
            error.append(" ").append(quoted(optarg)).append(": ").append(what);
            return Action::bad_usage;
        }
    }
    if (optind < argc)
        return error = "unexpected operand " + quoted(argv[optind]), Action::bad_usage;
    return Action::table;
}

std::string option_error(int result, const char* arg, const option* options)
{
    const std::string_view word(arg);
    const bool is_long = word.substr(0, 2) == "--";
    // getopt_long puts the val of the option it matched in optopt; 0 (with
    // '?') means a long option it could not match, whole or abbreviated.
    std::string name;
    if (is_long && optopt != 0) {
        for (const option* o = options; o->name != nullptr; ++o)
            if (o->val == optopt) name = std::string("--") + o->name;
    } else if (!is_long) {
        name = std::string("-") + static_cast<char>(optopt);
    }
    if (result == ':') return "option '" + name + "' needs a value";
    if (!name.empty() && is_long) return "option '" + name + "' takes no value";
    if (is_long) {
        // The name as given, without a value; a prefix of several is ambiguous.
        const std::string given(word.substr(2, word.find('=') - 2));
        int matches = 0;
        for (const option* o = options; o->name != nullptr; ++o)
            matches += std::string_view(o->name).substr(0, given.size()) == given;
        return (matches > 1 ? "option '--" + given + "' is ambiguous"
                            : "unknown option " + quoted("--" + given));
    }
    return "unknown option '" + name + "'";
}

std::string quoted(std::string_view text)
{
    size_t end = 0;
    for (int characters = 0; end < text.size(); ++end)
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && characters++ == 40) break;
    return "'" + std::string(text.substr(0, end)) + (end < text.size() ? "...'" : "'");
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c == '\t' || c == '\n' || c == '\r') {
            out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
        } else if (c < 0x20 || c == 0x7F || c1) {
            const int bytes = c1 ? 2 : 1;
            for (int k = 0; k < bytes; ++k) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(text[i + k]));
                out += hex;
            }
            i += bytes - 1;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int run_captured(int run(int, char**, std::FILE*, std::FILE*), std::vector<std::string> args,
                 std::string& out, std::string& err)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    char* out_text = nullptr;
    char* err_text = nullptr;
    size_t out_size = 0;
    size_t err_size = 0;
    std::FILE* out_stream = open_memstream(&out_text, &out_size);
    std::FILE* err_stream = open_memstream(&err_text, &err_size);
    const int status = run(static_cast<int>(args.size()), argv.data(), out_stream, err_stream);
    std::fclose(out_stream);
    std::fclose(err_stream);
    out.assign(out_text, out_size);
    err.assign(err_text, err_size);
    std::free(out_text);
    std::free(err_text);
    return status;
}

int usage_error(const char* program, const std::string& message, std::FILE* err)
{
    std::fprintf(err, "%s: %s\nTry '%s --help'.\n", program, escaped(message).c_str(), program);
    return 2;
}

// ---- Formats ---------------------------------------------------------------

std::string text_number(double value, bool trim)
{
    if (value == 0) return "0";
    if (!std::isfinite(value)) return csv_number(value);  // "inf", as an endless wait is
    std::string text;
    // Beyond ten digits the whole number's digits are mostly noise (a mean
    // wait of 1.8e20 s): exponent notation, as for the smallest.
    if (std::fabs(value) < 1e-4 || std::fabs(value) >= 9999999999.5) {
        text = fmt::format("{:.4e}", value);
    } else {
        const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        int decimals = std::max(0, 4 - exponent);
        text = fmt::format("{:.{}f}", value, decimals);
        // Rounding up to the next power of ten (9.99996 to 10.0000) gains a
        // sixth significant digit: one decimal fewer.
        const auto first =
            std::find_if(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
        const auto digits =
            std::count_if(first, text.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (decimals > 0 && digits > 5) text = fmt::format("{:.{}f}", value, --decimals);
    }
    if (trim && text.find('.') != std::string::npos) {
        const size_t e = text.find('e');
        std::string mantissa = text.substr(0, e);
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') mantissa.pop_back();
        text = mantissa + (e == std::string::npos ? "" : text.substr(e));
    }
    return text;
}

std::string csv_number(double value)
{
    if (!std::isfinite(value))
        return std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "nan" : "inf");
    // fmt finds the shortest digits that read back as the value, in a form
    // of its own ("100000"); of their fixed and exponent forms the shorter
    // is written, fixed on a tie, as std::to_chars(value) writes it ("1e+05").
    char shortest[40];
    const char* end = fmt::format_to(shortest, "{}", std::fabs(value));
    char digits[40];
    int n = 0;
    int point = -1;  // the digits before the point
    const char* p = shortest;
    for (; p != end && *p != 'e'; ++p) {
        if (*p == '.')
            point = n;
        else
            digits[n++] = *p;
    }
    if (point < 0) point = n;
    long e10 = 0;
    if (p != end) std::from_chars(p + 1 + (p[1] == '+'), end, e10);
    int first = 0;
    while (first < n && digits[first] == '0') ++first;
    if (first == n) return std::signbit(value) ? "-0" : "0";
    while (digits[n - 1] == '0') --n;
    const int count = n - first;  // significant digits, digits[first] on
    // The value is d.ddd times 10^exponent, d = digits[first].
    const long exponent = point - 1 - first + e10;
    const long magnitude = std::labs(exponent);
    const long scientific = count + (count > 1) + 2 + (magnitude >= 100 ? 3 : 2);
    const long fixed =
        exponent < 0 ? 1 - exponent + count : std::max<long>(exponent + 1, count + 1);
    std::string text = std::signbit(value) ? "-" : "";
    const char* d = digits + first;
    if (scientific < fixed) {
        text += d[0];
        if (count > 1) text.append(".").append(d + 1, static_cast<size_t>(count - 1));
        text += exponent < 0 ? "e-" : "e+";
        if (magnitude >= 100) text += static_cast<char>('0' + magnitude / 100);
        text += static_cast<char>('0' + magnitude / 10 % 10);
        text += static_cast<char>('0' + magnitude % 10);
    } else if (exponent < 0) {
        text.append("0.").append(static_cast<size_t>(-exponent - 1), '0');
        text.append(d, static_cast<size_t>(count));
    } else if (count <= exponent + 1) {
        // A whole number: past 2^53 its own digits, not the shortest ones
        // and zeros (of the forms as short, the nearest to the value).
        if (std::fabs(value) >= 0x1p53) return text + fmt::format("{:.0f}", std::fabs(value));
        text.append(d, static_cast<size_t>(count));
        text.append(static_cast<size_t>(exponent + 1 - count), '0');
    } else {
        text.append(d, static_cast<size_t>(exponent + 1)).append(".");
        text.append(d + exponent + 1, static_cast<size_t>(count - exponent - 1));
    }
    return text;
}

std::string circuits_text(double circuits, bool csv, bool trim)
{
    if (circuits == std::floor(circuits)) return std::to_string(static_cast<long>(circuits));
    return csv ? csv_number(circuits) : text_number(circuits, trim);
}

void align(std::string& line, const std::string& text, int width)
{
    line.append(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))), ' ');
    line += text;
}

// ---- Streaming tables ------------------------------------------------------

bool write_rows(std::FILE* out, long rows, long cells, const CellMaker& make, const char* program,
                std::FILE* progress, double progress_after)
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    auto shown = start;
    bool showing = false;
    std::string line;
    // Each row goes out as it is made, a long one in pieces, so that a run
    // cut short has written all it had and memory stays that of one piece.
    const auto emit = [&](bool whole) {
        if (!whole && line.size() < 4096) return true;
        const bool written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
        line.clear();
        return written;
    };
    for (long i = -1; i < rows; ++i) {
        for (long j = -1; j <= cells; ++j) {
            make(i, j, line);
            if (!emit(j == cells)) return false;
        }
        const auto now = clock::now();
        if (i >= 0 && progress != nullptr &&
            now - start >= std::chrono::duration<double>(progress_after) &&
            (!showing || now - shown > std::chrono::milliseconds(200))) {
            std::fprintf(progress, "\r%s: row %ld of %ld", program, i + 1, rows);
            std::fflush(progress);
            shown = now;
            showing = true;
        }
    }
    if (showing) std::fprintf(progress, "\r%*s\r", 60, "");
    return std::fflush(out) == 0 && std::ferror(out) == 0;
}
