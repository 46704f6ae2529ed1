// SPDX-License-Identifier: MIT
// vizaza: console dialogue library. The contracts are in vizaza.h.
#include "vizaza.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <unistd.h>

namespace vizaza {
namespace {

constexpr int line_max = 80;            // characters of an answer line kept
constexpr int max_attempts = 6;         // wrong answers that end the process
constexpr int int_token_max = 9;        // keeps integers within +-999,999,999
constexpr int real_token_max = 15;      // keeps mantissa and divisor exact
constexpr int wide_bound = 1000000000;  // bounds of the short reader forms

bool is_blank(int c) { return c == ' ' || c == '\t'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_word(int c)
{
    return c == '.' || is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Gathers one answer line into cell[] and returns its scan code; on scan_ok
// count holds the number of characters stored (1 to line_max - 1).
// Characters are kept as getc returned them, so end of input stays distinct
// from every byte; it never ends a line, so an unfinished line fills up.
// If `allowed` is given, each stored character must pass it, or gathering
// stops at once with scan_invalid and the rest of the line stays unread.
int gather(int (&cell)[line_max], int& count, bool (*allowed)(int) = nullptr)
{
    std::fflush(stdout);  // the bell and any pending output show before we wait
    count = 0;
    for (;;) {
        const int c = std::getc(stdin);
        if (c == '\n') break;
        if (c == '#') {
            readln();  // a comment runs to the end of the line
            break;
        }
        if (count == line_max) break;  // the 81st character is dropped
        cell[count++] = c;
        if (allowed != nullptr && !allowed(c)) return scan_invalid;
    }
    if (count == 0) return scan_empty;
    return count == line_max ? scan_invalid : scan_ok;
}

// Counts c into the answer's single token of at most `limit` characters;
// false when c would start a second token or make the token too long.
bool count_token(int c, int& tokens, int limit)
{
    if (is_blank(c)) {
        if (tokens != 0) tokens = -1;  // the token has ended
        return true;
    }
    return tokens != -1 && ++tokens <= limit;
}

// Reads an integer answer line into value; shared by scanint and scanlong.
int scan_integer(long* value)
{
    int cell[line_max];
    int count = 0;
    const int code = gather(cell, count);
    if (code != scan_ok) return code;

    long magnitude = 0;
    long sign = 1;
    int tokens = 0;
    for (int i = 0; i < count; ++i) {
        const int c = cell[i];
        if (!count_token(c, tokens, int_token_max)) return scan_invalid;
        if (c == '-') {
            sign = -1;
        } else if (is_digit(c)) {
            magnitude = magnitude * 10 + (c - '0');
        } else if (!is_blank(c)) {
            return scan_invalid;
        }
    }
    *value = sign * magnitude;
    return scan_ok;
}

// Clamps a digit reader's bound into 0 to 9.
int digit_bound(int bound) { return bound < 0 ? 0 : bound > 9 ? 9 : bound; }

// Asks up to max_attempts times. ask(hinted) puts the question, with the
// range hint after a wrong answer, and returns true once it took an answer.
// Each refusal rings the bell; the last one ends the process naming `reader`.
template <class Ask>
void attempt_loop(const char* reader, Ask ask)
{
    for (int attempt = 0; attempt < max_attempts; ++attempt) {
        if (ask(attempt > 0)) return;
        beep();
    }
    std::fprintf(stderr, "\n FATAL ERROR: too many wrong attempts ");
    std::fprintf(stderr, "in %s() \n", reader);
    std::exit(-1);
}

// The range hint and the default part of a number question, per type.
void put_range(int low, int high) { std::fprintf(stderr, "(%d::%d) ", low, high); }
void put_range(long low, long high) { std::fprintf(stderr, "(%ld::%ld) ", low, high); }
void put_range(double low, double high) { std::fprintf(stderr, "(%.4f::%.4f) ", low, high); }
void put_default(int def, const char* unit) { std::fprintf(stderr, "[%d%s] > ", def, unit); }
void put_default(long def, const char* unit) { std::fprintf(stderr, "[%ld%s] > ", def, unit); }
void put_default(double def, const char* unit) { std::fprintf(stderr, "[%.4f%s] > ", def, unit); }

// The full form of every number reader; `scan` reads one answer into a T.
template <class T>
T read_number(const char* reader, int (*scan)(T*), const char* prompt, const char* unit, T def,
              T low, T high)
{
    if (low > high) std::swap(low, high);
    if (def < low) def = low;
    if (def > high) def = high;

    T answer = def;
    attempt_loop(reader, [&](bool hinted) {
        std::fprintf(stderr, "%s ", prompt);
        if (hinted) put_range(low, high);
        put_default(def, unit);
        T value{};
        const int code = scan(&value);
        if (code == scan_empty) return true;
        if (code != scan_ok || value < low || value > high) return false;
        answer = value;
        return true;
    });
    return answer;
}

}  // namespace

// ---- Console primitives --------------------------------------------------

void clear_screen()
{
    // "clear" writes its control codes to standard output; into a pipe or a
    // file they would only be garbage, and no screen would be cleared.
    if (isatty(STDOUT_FILENO) == 0) return;
    std::fflush(stdout);
    // The terminal's own "clear" knows how to clear it; the command is fixed.
    // -x keeps the scrollback: what the user had on the terminal before, and
    // the report, can still be scrolled back to.
    const int status = std::system("clear -x");  // NOLINT(cert-env33-c)
    (void)status;  // a missing or failing "clear" leaves the screen as it is
}

char readln()
{
    std::fflush(stdout);
    const int first = std::getc(stdin);
    for (int c = first; c != '\n' && c != EOF;) c = std::getc(stdin);
    return first == EOF ? '\0' : static_cast<char>(first);
}

void beep()
{
    std::putc('\a', stdout);
    std::fflush(stdout);  // ring now, not when the buffer happens to fill
}

void pausa()
{
    std::fputs("\n\n     *****   Press <RETURN> to continue   *****", stdout);
    readln();
    // Only a person at the terminal has seen the screen: a line piped in
    // answers the pause at once, and clearing would hide the report.
    if (isatty(STDIN_FILENO) != 0) clear_screen();
}

// ---- Numeric scanners ----------------------------------------------------

int scanint(int* value)
{
    long v = 0;
    const int code = scan_integer(&v);
    if (code == scan_ok) *value = static_cast<int>(v);  // within +-999,999,999
    return code;
}

int scanlong(long* value) { return scan_integer(value); }

int scandouble(double* value)
{
    int cell[line_max];
    int count = 0;
    const int code = gather(cell, count);
    if (code != scan_ok) return code;

    double mantissa = 0.0;
    double divisor = 1.0;
    double sign = 1.0;
    bool point = false;
    int tokens = 0;
    for (int i = 0; i < count; ++i) {
        const int c = cell[i];
        if (!count_token(c, tokens, real_token_max)) return scan_invalid;
        if (c == '-') {
            sign = -1.0;
        } else if (is_digit(c)) {
            mantissa = mantissa * 10 + (c - '0');
            if (point) divisor *= 10;
        } else if (c == '.') {
            if (point || i + 1 == count || !is_digit(cell[i + 1])) return scan_invalid;
            point = true;
        } else if (!is_blank(c)) {
            return scan_invalid;
        }
    }
    *value = sign * mantissa / divisor;
    return scan_ok;
}

int scandigit(int* value)
{
    const char c = readln();
    if (c == '\n') return scan_empty;
    if (!is_digit(c)) return scan_invalid;
    *value = c - '0';
    return scan_ok;
}

int scanstring(char* dest)
{
    int cell[line_max];
    int count = 0;
    const int code = gather(cell, count, is_word);
    if (code != scan_ok) return code;
    for (int i = 0; i < count; ++i) dest[i] = static_cast<char>(cell[i]);
    dest[count] = '\0';  // count < line_max: the word and its NUL fit
    return scan_ok;
}

// ---- Number readers ------------------------------------------------------

int read_int(const char* prompt, const char* unit, int def, int low, int high)
{
    return read_number("read_int", scanint, prompt, unit, def, low, high);
}
int read_int(const char* prompt, int def, int low, int high)
{
    return read_int(prompt, "", def, low, high);
}
int read_int(const char* prompt, const char* unit, int def)
{
    return read_int(prompt, unit, def, -wide_bound, wide_bound);
}
int read_int(const char* prompt, int def) { return read_int(prompt, "", def); }
int read_int(const char* prompt) { return read_int(prompt, 0); }

long read_long(const char* prompt, const char* unit, long def, long low, long high)
{
    return read_number("read_long", scanlong, prompt, unit, def, low, high);
}
long read_long(const char* prompt, long def, long low, long high)
{
    return read_long(prompt, "", def, low, high);
}
long read_long(const char* prompt, const char* unit, long def)
{
    return read_long(prompt, unit, def, -wide_bound, wide_bound);
}
long read_long(const char* prompt, long def) { return read_long(prompt, "", def); }
long read_long(const char* prompt) { return read_long(prompt, 0L); }

double read_double(const char* prompt, const char* unit, double def, double low, double high)
{
    return read_number("read_double", scandouble, prompt, unit, def, low, high);
}
double read_double(const char* prompt, double def, double low, double high)
{
    return read_double(prompt, "", def, low, high);
}
double read_double(const char* prompt, const char* unit, double def)
{
    return read_double(prompt, unit, def, -1.0e9, 1.0e9);
}
double read_double(const char* prompt, double def) { return read_double(prompt, "", def); }
double read_double(const char* prompt) { return read_double(prompt, 0.0); }

// ---- Digit, yes/no and word readers --------------------------------------

int read_digit(const char* prompt, int def, int low, int high)
{
    return read_number("read_digit", scandigit, prompt, "", def, digit_bound(low),
                       digit_bound(high));
}
int read_digit(const char* prompt, int def) { return read_digit(prompt, def, 0, 9); }
int read_digit(const char* prompt) { return read_digit(prompt, 0); }

short read_bool(const char* prompt, short def)
{
    short answer = def;
    attempt_loop("read_bool", [&](bool) {
        std::fprintf(stderr, def != 0 ? "%s (y/n) [YES] > " : "%s (y/n) [NO] > ", prompt);
        switch (readln()) {
        case 'Y':
        case 'y': answer = 1; return true;
        case 'N':
        case 'n': answer = 0; return true;
        case '\n': return true;  // the default, as it was given
        default: return false;
        }
    });
    return answer;
}
short read_bool(const char* prompt) { return read_bool(prompt, 1); }

const char* read_string(const char* prompt, const char* def)
{
    static char stringa[line_max];
    const char* answer = def;
    attempt_loop("read_string", [&](bool) {
        std::fprintf(stderr, "%s [%s] > ", prompt, def);
        switch (scanstring(stringa)) {
        case scan_ok: answer = stringa; return true;
        case scan_empty: return true;
        default: return false;
        }
    });
    return answer;
}
const char* read_string(const char* prompt) { return read_string(prompt, ""); }

}  // namespace vizaza
