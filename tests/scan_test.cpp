// SPDX-License-Identifier: MIT
// The scanners and console primitives: result codes, stored values, and
// what each call leaves unread for the next one.
#include <iomanip>
#include <sstream>

#include <gtest/gtest.h>

#include "child.h"
#include "vizaza.h"

namespace {

// Runs a scanner on a variable preset to 777; gives "code:value".
template <class T>
std::string text(T v)
{
    std::ostringstream out;
    out << std::setprecision(15) << v;
    return out.str();
}

template <class T>
std::string scan(int (*scanner)(T*))
{
    T v = 777;
    const int code = scanner(&v);
    return std::to_string(code) + ":" + text(v);
}
std::string si() { return scan(vizaza::scanint); }
std::string sl() { return scan(vizaza::scanlong); }
std::string sd() { return scan(vizaza::scandouble); }
std::string sg() { return scan(vizaza::scandigit); }
// Two lines scanned back to back, so that the second scan's line cells are
// where the first one left its characters.
std::string sd2()
{
    double first = 777, second = 777;
    const int a = vizaza::scandouble(&first);
    const int b = vizaza::scandouble(&second);
    return std::to_string(a) + ":" + text(first) + " " + std::to_string(b) + ":" + text(second);
}
std::string ss()
{
    char word[80] = "777";
    const int code = vizaza::scanstring(word);
    return std::to_string(code) + ":" + word;
}

const std::string ones80(80, '1');

const struct {
    std::string (*scanner)();
    std::string input, result, rest;
} scan_cases[] = {
    {si, "  42\t\nnext", "0:42", "next"},
    {si, "4 2\n", "1:777", ""},
    {si, "\nnext", "2:777", "next"},
    {si, "# no answer\nnext", "2:777", "next"},
    {si, "12 # twelve\nnext", "0:12", "next"},
    {si, "   \n", "0:0", ""},
    {si, "-\n", "0:0", ""},
    {si, "1-2\n", "0:-12", ""},
    {si, "--7\n", "0:-7", ""},
    {si, "+5\n", "1:777", ""},
    {si, "123456789\n", "0:123456789", ""},
    {si, "-12345678\n", "0:-12345678", ""},
    {si, "1234567890\n", "1:777", ""},
    {si, "-123456789\n", "1:777", ""},
    {sl, " 999999999 \n", "0:999999999", ""},
    {sl, "0000000001\n", "1:777", ""},
    // Length: 79 characters are kept, 80 rejected and used up, the 81st dropped.
    {si, std::string(78, ' ') + "5\n", "0:5", ""},
    {si, ones80 + "\nnext", "1:777", "next"},
    {si, ones80 + "1\nnext", "1:777", "\nnext"},
    {si, ones80 + std::string(20, '1') + "\n", "1:777", std::string(19, '1') + "\n"},
    {si, ones80 + "#\nnext", "1:777", "next"},
    // Bytes that are no part of a number, and end of input.
    {si, "42\r\n", "1:777", ""},
    {si, std::string("4\0002\n", 4), "1:777", ""},
    {si, "4\xff\n", "1:777", ""},
    {si, "42", "1:777", ""},
    {si, "42#", "0:42", ""},
    {sl, "", "1:777", ""},
    {sd, "", "1:777", ""},
    {sd, "34.2\n", "0:34.2", ""},
    {sd, " .5\n", "0:0.5", ""},
    {sd, "-.25\n", "0:-0.25", ""},
    {sd, "5.\n", "1:777", ""},
    {sd, "5. \n", "1:777", ""},
    {sd, "1.2.3\n", "1:777", ""},
    {sd, "1e3\n", "1:777", ""},
    {sd, "1 .5\n", "1:777", ""},
    {sd, "123456789012345\n", "0:123456789012345", ""},
    {sd, "1234567890123456\n", "1:777", ""},
    {sd, "0.000000000001\n", "0:1e-12", ""},
    {sd, "# none\n", "2:777", ""},
    {sd2, "123\n5.\n", "0:123 1:777", ""},  // nothing of the line before is read
    // Digits take the first character of the line.
    {sg, "7abc\nnext", "0:7", "next"},
    {sg, " 7\n", "1:777", ""},
    {sg, "\n", "2:777", ""},
    {sg, "", "1:777", ""},
    // Words stop at the first character that is not allowed.
    {ss, "data.txt\nnext", "0:data.txt", "next"},
    {ss, "AZaz.09\n", "0:AZaz.09", ""},
    {ss, "a#b\nnext", "0:a", "next"},
    {ss, "my file\n", "1:777", "file\n"},
    {ss, "ab_\n", "1:777", "\n"},
    {ss, "\xe9t\n", "1:777", "t\n"},
    {ss, "\n", "2:777", ""},
    {ss, std::string(79, 'a') + "\n", "0:" + std::string(79, 'a'), ""},
    {ss, std::string(80, 'a') + "\nnext", "1:777", "next"},
    {ss, std::string(81, 'a') + "\nnext", "1:777", "\nnext"},
    {ss, std::string(80, 'a') + "_bcde\n", "1:777", "bcde\n"},
    {ss, "ab", "1:777", ""},
};

TEST(Scanners, CodesValuesAndUnreadInput)
{
    for (const auto& c : scan_cases) {
        const Outcome o = run_child(c.input, c.scanner);
        EXPECT_EQ(o.value, c.result) << '"' << c.input << '"';
        EXPECT_EQ(o.rest, c.rest) << '"' << c.input << '"';
        EXPECT_EQ(o.out + o.err, "") << "scanners print nothing";
    }
}

TEST(Console, ReadlnTakesOneLine)
{
    const char* cases[][3] = {
        {"yes\nno\n", "y", "no\n"},
        {"\nno", "\n", "no"},
        {"\r\n", "\r", ""},
        {"y", "y", ""},  // last line without its line feed
    };
    for (const auto& c : cases) {
        const Outcome o = run_child(c[0], [] { return std::string(1, vizaza::readln()); });
        EXPECT_EQ(o.value + "|" + o.rest, std::string(c[1]) + "|" + c[2]) << c[0];
    }
    EXPECT_EQ(run_child("", [] { return std::string(1, vizaza::readln()); }).value,
              std::string(1, '\0'));
}

TEST(Console, BeepAndPauseWriteToStandardOutput)
{
    Outcome o = run_child("any text\nnext", [] { return vizaza::pausa(), "done"; });
    EXPECT_EQ(o.out, "\n\n     *****   Press <RETURN> to continue   *****");
    EXPECT_EQ(o.err + o.rest, "next") << "no \"clear\" when standard output is no terminal";
    EXPECT_EQ(run_child("", [] { return vizaza::pausa(), "done"; }).value, "done");
    EXPECT_EQ(run_child("", [] { return vizaza::beep(), ""; }).out, "\a");
}

}  // namespace
