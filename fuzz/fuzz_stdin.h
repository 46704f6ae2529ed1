// SPDX-License-Identifier: MIT
// Shared by the fuzz targets: the input becomes standard input.
#ifndef FUZZ_STDIN_H
#define FUZZ_STDIN_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

// The first four bytes of an input choose which call comes when (three bits
// per call, cycling); the rest is what the calls read from standard input.
struct FuzzInput {
    std::uint32_t choice = 0;

    // Replaces stdin with a stream over the input's text; false if it can't.
    bool open(const std::uint8_t* data, std::size_t size)
    {
        for (std::size_t i = 0; i < 4 && i < size; ++i) choice = choice << 8 | data[i];
        static std::uint8_t nothing[1];
        const std::size_t text_size = size > 4 ? size - 4 : 0;
        // A memory stream can't be empty: an empty text is one unread byte.
        std::uint8_t* text = text_size != 0 ? const_cast<std::uint8_t*>(data) + 4 : nothing;
        std::FILE* in = fmemopen(text, text_size != 0 ? text_size : 1, "r");
        if (in == nullptr) return false;
        if (text_size == 0) std::fseek(in, 0, SEEK_END);
        stdin = in;
        return true;
    }
    int kind(int call) const { return static_cast<int>(choice >> (3 * (call % 10)) & 7u); }
    static void close() { std::fclose(stdin); }
};

// The characters a word may hold.
inline bool is_word_char(char c)
{
    return c == '.' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Aborts, so that the fuzzer keeps the input, when `ok` is false. Writes to
// file descriptor 2 itself: the targets may point `stderr` elsewhere.
#define FUZZ_CHECK(ok)                                                         \
    do {                                                                       \
        if (!(ok)) {                                                           \
            const char* what = "check failed: " #ok "\n";                      \
            if (write(2, what, std::strlen(what)) < 0) { /* aborting anyway */ \
            }                                                                  \
            std::abort();                                                      \
        }                                                                      \
    } while (0)

#endif  // FUZZ_STDIN_H
