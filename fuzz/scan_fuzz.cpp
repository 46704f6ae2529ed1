// SPDX-License-Identifier: MIT
// Fuzzes the scanners and readln on standard input, in an order the input
// chooses, until the input is used up, checking what must always hold.
#include <cmath>
#include <cstring>

#include "fuzz_stdin.h"
#include "vizaza.h"

namespace {

// Runs one scanner on a variable holding `sentinel` and checks its result.
template <class T>
void check_number(int (*scan)(T*), T sentinel, T low, T high)
{
    T value = sentinel;
    const int code = scan(&value);
    FUZZ_CHECK(code == vizaza::scan_ok || code == vizaza::scan_invalid ||
               code == vizaza::scan_empty);
    if (code != vizaza::scan_ok) {
        FUZZ_CHECK(std::memcmp(&value, &sentinel, sizeof value) == 0);  // untouched
        return;
    }
    FUZZ_CHECK(std::isfinite(static_cast<double>(value)));
    FUZZ_CHECK(value >= low && value <= high);
}

void check_word()
{
    char word[80 + 16];  // the guard bytes after 80 must stay as they are
    std::memset(word, 0x5a, sizeof word);
    const int code = vizaza::scanstring(word);
    for (std::size_t i = 80; i < sizeof word; ++i) FUZZ_CHECK(word[i] == 0x5a);
    FUZZ_CHECK(code == vizaza::scan_ok || code == vizaza::scan_invalid ||
               code == vizaza::scan_empty);
    if (code != vizaza::scan_ok) {
        for (int i = 0; i < 80; ++i) FUZZ_CHECK(word[i] == 0x5a);
        return;
    }
    const std::size_t length = strnlen(word, 80);
    FUZZ_CHECK(length > 0 && length < 80);
    for (std::size_t i = 0; i < length; ++i) FUZZ_CHECK(is_word_char(word[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input;
    if (!input.open(data, size)) return 0;
    // Every call reads at least one character or meets the end of input, so
    // one call per byte, and one more at the end, must use the input up.
    const std::size_t most = size + 1;
    std::size_t calls = 0;
    while (!std::feof(stdin) && calls < most + 1) {
        switch (input.kind(static_cast<int>(calls++))) {
        case 0:
        case 6: check_number(vizaza::scanint, 777, -999999999, 999999999); break;
        case 1: check_number(vizaza::scanlong, -777L, -999999999L, 999999999L); break;
        case 2: check_number(vizaza::scandouble, 7.77, -1e15, 1e15); break;
        case 3: check_number(vizaza::scandigit, -7, 0, 9); break;
        case 4:
        case 7: check_word(); break;
        default: vizaza::readln(); break;
        }
    }
    FUZZ_CHECK(std::feof(stdin) && calls <= most);
    FuzzInput::close();
    return 0;
}
