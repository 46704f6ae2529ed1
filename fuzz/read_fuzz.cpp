// SPDX-License-Identifier: MIT
// Fuzzes the readers on standard input, in an order the input chooses,
// until the input is used up: every reader returns an answer it may return,
// or ends in the fatal exit after exactly six questions and six bells.
//
// The fatal exit must not end the fuzzer. This target is linked with
// -Wl,--wrap=exit, so the readers' exit(-1) lands in __wrap_exit below,
// which jumps back into the running check. The library's frames between
// hold nothing that needs destroying.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <iterator>

#include "fuzz_stdin.h"
#include "vizaza.h"

namespace {

std::jmp_buf fatal_jump;
bool reading = false;
int exit_code = 0;

char out_buffer[1 << 12];
char err_buffer[1 << 14];

struct Bounds {
    int def, low, high;
};
const Bounds bounds[] = {{40, 1, 500}, {5, 10, 1}, {0, 1, 500},
                         {12, -3, 20}, {4, 6, 2},  {-7, -9, 9}};

int count(const char* text, std::size_t size, const char* what)
{
    int n = 0;
    const std::size_t w = std::strlen(what);
    for (std::size_t i = 0; i + w <= size; ++i) n += std::memcmp(text + i, what, w) == 0;
    return n;
}

bool is_word(const char* s)
{
    const std::size_t n = strnlen(s, 80);
    if (n == 0 || n >= 80) return false;
    return std::all_of(s, s + n, is_word_char);
}

int digit_bound(int b) { return std::clamp(b, 0, 9); }

// Asks one question of the given kind and returns whether the answer was
// one the reader may give; *fatal tells whether it ended in the fatal exit.
bool ask(int kind, const Bounds& b, bool* fatal)
{
    const char* def_word = "def";
    double value = 0;
    double low = std::min(b.low, b.high), high = std::max(b.low, b.high);
    const char* word = nullptr;
    *fatal = false;
    if (setjmp(fatal_jump) != 0) {
        *fatal = true;
        return exit_code == -1;
    }
    reading = true;
    switch (kind) {
    case 0: value = vizaza::read_int("p", " u", b.def, b.low, b.high); break;
    case 1: value = static_cast<double>(vizaza::read_long("p", b.def, b.low, b.high)); break;
    case 2:
        value = vizaza::read_double("p", " u", b.def / 4.0, b.low / 4.0, b.high / 4.0);
        low /= 4.0, high /= 4.0;
        break;
    case 3:
        value = vizaza::read_digit("p", b.def, b.low, b.high);
        low = std::min(digit_bound(b.low), digit_bound(b.high));
        high = std::max(digit_bound(b.low), digit_bound(b.high));
        break;
    case 4: value = vizaza::read_bool("p", static_cast<short>(b.def)); break;
    case 5: word = vizaza::read_string("p", def_word); break;
    case 6: value = vizaza::read_int("p"), low = -1e9, high = 1e9; break;
    default: value = vizaza::read_double("p", b.def), low = -1e9, high = 1e9; break;
    }
    reading = false;
    if (kind == 4) return value == 0 || value == 1 || value == b.def;
    if (kind == 5) return word == def_word || is_word(word);
    return value >= low && value <= high;
}

}  // namespace

extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status)
{
    if (!reading) __real_exit(status);
    reading = false;
    exit_code = status;
    std::longjmp(fatal_jump, 1);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The questions and bells go to memory, where each check reads them.
    stdout = fmemopen(out_buffer, sizeof out_buffer, "w");
    stderr = fmemopen(err_buffer, sizeof err_buffer, "w");
    return stdout != nullptr && stderr != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input;
    if (!input.open(data, size)) return 0;
    for (std::size_t call = 0; !std::feof(stdin); ++call) {
        FUZZ_CHECK(call <= size);  // each question uses a line or meets the end
        std::rewind(stdout);
        std::rewind(stderr);
        bool fatal = false;
        const bool answer_ok =
            ask(input.kind(static_cast<int>(call)), bounds[call % std::size(bounds)], &fatal);
        std::fflush(stdout);
        std::fflush(stderr);
        const auto out_size = static_cast<std::size_t>(std::ftell(stdout));
        const auto err_size = static_cast<std::size_t>(std::ftell(stderr));
        const int bells = count(out_buffer, out_size, "\a");
        const int questions = count(err_buffer, err_size, "] > ");
        FUZZ_CHECK(answer_ok);
        FUZZ_CHECK(bells == static_cast<int>(out_size));  // nothing but bells on stdout
        FUZZ_CHECK(fatal ? bells == 6 && questions == 6 : bells <= 5 && questions == bells + 1);
        FUZZ_CHECK(!fatal || count(err_buffer, err_size,
                                   "\n FATAL ERROR: too many wrong attempts in read_") == 1);
    }
    FuzzInput::close();
    return 0;
}
