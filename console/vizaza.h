// SPDX-License-Identifier: MIT
// vizaza: a small console dialogue library.
//
// A program asks a question, the user types an answer and presses RETURN.
// Every answer is read as one line from standard input, checked, and asked
// again when it is wrong. Everything is declared in namespace vizaza; the
// functions are plain, single-threaded and use no heap.
//
// Streams
//   Questions, range hints and the fatal message go to standard error.
//   The bell and the pause banner go to standard output. Standard output is
//   flushed before the library waits for input (and right after each bell),
//   so whatever was printed there is visible first, also when standard
//   output is a pipe or a file.
//
// Answer lines (the scanners)
//   A scanner reads one line and gathers at most 80 characters of it:
//   - a line feed ends the line;
//   - "#" starts a comment: it and the rest of the line are discarded;
//   - a line of exactly 80 characters is rejected and used up;
//   - of a longer line the 81st character is dropped and the rest stays
//     unread, so the next read starts there (unless the 81st was "#").
//   Scanners print nothing; they report with one of the codes below and
//   write through their pointer only on scan_ok.
//
// One-character answers
//   The digit and yes/no answers take the first character of the line and
//   discard the rest: no blanks are skipped, "#" is no comment there.
//
// End of input
//   End of input never ends a line. The numeric and word scanners then
//   return scan_invalid, and readln returns '\0', which no reader takes; so a
//   question on an exhausted standard input ends in the fatal exit after six
//   attempts. A last line without a line feed is rejected the same way by
//   the numeric scanners, unless a "#" comment ends it first.
#ifndef VIZAZA_H
#define VIZAZA_H

namespace vizaza {

// ---- Scan result codes, returned by every scanner ------------------------

inline constexpr int scan_ok = 0;       // a value was read and stored
inline constexpr int scan_invalid = 1;  // the line is malformed; nothing stored
inline constexpr int scan_empty = 2;    // the line is empty; nothing stored

// ---- Console primitives --------------------------------------------------

// Runs the shell command "clear -x" when standard output is a terminal; its
// status is ignored. It clears the screen but keeps the terminal's
// scrollback. With standard output redirected there is no screen to clear,
// so nothing is run and no control codes land in the output.
void clear_screen();

// Consumes one whole line of standard input, its line feed included, and
// returns its first character: '\n' for an empty line. At end of input it
// returns the first character read before the end, or '\0' if there was none.
char readln();

// Writes the bell character (BEL, code 7) to standard output.
void beep();

// Writes "\n\n" and the banner "     *****   Press <RETURN> to continue   *****"
// to standard output and waits for one line (readln). Then, when a person is
// at the terminal (standard input and output both are terminals), it calls
// clear_screen; a line piped in leaves the report on the screen.
void pausa();

// ---- Numeric scanners ----------------------------------------------------

// Integers: one token of at most nine characters, blanks (space, tab)
// allowed around it but not inside. Digits make the value; a "-" anywhere
// in the token, once or more, makes it negative ("1-2" is -12, "-" is 0);
// there is no "+". Stored values lie within +-999,999,999.
// A line of blanks only is the value 0, not an empty line.
int scanint(int* value);
int scanlong(long* value);

// Reals in plain decimal notation: one token of at most 15 characters with
// digits, "-" as above and at most one "." that must be followed directly by
// a digit (".5" and "-.25" are fine, "5." is not). No exponent notation.
int scandouble(double* value);

// Digits: the first character of the line (see readln). scan_empty if the
// line is empty, scan_ok with 0 to 9 stored if it is a digit.
int scandigit(int* value);

// Words: the characters ".", "0" to "9", "a" to "z" and "A" to "Z", at most
// 79 of them. The scan stops at the first other character (scan_invalid),
// which is consumed; the rest of its line stays unread. On scan_ok the word
// and its terminating NUL are copied to dest, which needs room for 80 chars.
int scanstring(char* dest);

// ---- Number readers ------------------------------------------------------
//
// Full form: read_T(prompt, unit, def, low, high). The question is
//   "<prompt> [<def><unit>] > "      on the first attempt,
//   "<prompt> (<low>::<high>) [<def><unit>] > "   after a wrong answer,
// with no line feed; the unit carries its own leading blank (" erlang").
// Reals are shown with four decimals ("%.4f").
//
// Before asking, bounds given the wrong way round are swapped and the
// default is brought into [low, high]. An empty answer returns the default;
// a value in [low, high] (both inclusive) is returned. A malformed or
// out-of-range answer rings the bell and asks again with the range shown.
// The sixth wrong answer writes
//   "\n FATAL ERROR: too many wrong attempts in read_T() \n"
// to standard error and ends the process with exit(-1) (status 255).
//
// Shorter forms:
//   read_T(prompt, def, low, high)   unit ""
//   read_T(prompt, unit, def)        bounds -1000000000 and 1000000000
//   read_T(prompt, def)              unit "", those bounds
//   read_T(prompt)                   default 0, unit "", those bounds
// Texts must be non-null, NUL-terminated; they are only read.

int read_int(const char* prompt, const char* unit, int def, int low, int high);
int read_int(const char* prompt, int def, int low, int high);
int read_int(const char* prompt, const char* unit, int def);
int read_int(const char* prompt, int def);
int read_int(const char* prompt);

long read_long(const char* prompt, const char* unit, long def, long low, long high);
long read_long(const char* prompt, long def, long low, long high);
long read_long(const char* prompt, const char* unit, long def);
long read_long(const char* prompt, long def);
long read_long(const char* prompt);

double read_double(const char* prompt, const char* unit, double def, double low, double high);
double read_double(const char* prompt, double def, double low, double high);
double read_double(const char* prompt, const char* unit, double def);
double read_double(const char* prompt, double def);
double read_double(const char* prompt);

// ---- Digit, yes/no and word readers --------------------------------------
//
// They share the six attempts, the bell and the fatal exit of the number
// readers; the fatal message names read_digit(), read_bool() or read_string().

// A single digit. The question is "<prompt> [<def>] > ", after a wrong
// answer "<prompt> (<low>::<high>) [<def>] > ". Both bounds are first brought
// into 0 to 9, then handled like those of the number readers.
//   read_digit(prompt, def)   bounds 0 and 9
//   read_digit(prompt)        default 0, bounds 0 and 9
int read_digit(const char* prompt, int def, int low, int high);
int read_digit(const char* prompt, int def);
int read_digit(const char* prompt);

// Yes or no: "<prompt> (y/n) [YES] > ", or "[NO]" when def is 0. An answer
// starting with "y" or "Y" returns 1, with "n" or "N" 0; an empty answer
// returns def unchanged, even if it is neither 0 nor 1. No range hint.
//   read_bool(prompt)   default 1 (yes)
short read_bool(const char* prompt, short def);
short read_bool(const char* prompt);

// A word (see scanstring): "<prompt> [<def>] > ". Returns a static buffer
// holding the word, overwritten by the next read_string that reads a word,
// or, for an empty answer, def itself. Not re-entrant. No range hint.
//   read_string(prompt)   default ""
const char* read_string(const char* prompt, const char* def);
const char* read_string(const char* prompt);

}  // namespace vizaza

#endif  // VIZAZA_H
