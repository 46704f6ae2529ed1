// The scanners and console primitives: result codes, stored values, and
// what each call leaves unread for the next one.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "child.h"
#include "vizaza.h"

namespace {

// Runs a scanner on a variable preset to a sentinel; gives "code:value".
std::string scan(char kind)
{
    char text[64];
    int i = 777;
    long l = 777;
    double d = 777;
    int code = 0;
    switch (kind) {
    case 'i':
        code = vizaza::scanint(&i);
        std::snprintf(text, sizeof text, "%d:%d", code, i);
        break;
    case 'l':
        code = vizaza::scanlong(&l);
        std::snprintf(text, sizeof text, "%d:%ld", code, l);
        break;
    default:
        code = vizaza::scandouble(&d);
        std::snprintf(text, sizeof text, "%d:%.15g", code, d);
        break;
    }
    return text;
}

struct ScanCase {
    char kind;  // 'i' scanint, 'l' scanlong, 'd' scandouble
    std::string input;
    const char* result;
    std::string rest;
};

const std::string ones80(80, '1');

const ScanCase scan_cases[] = {
    {'i', "  42\t\nnext", "0:42", "next"},
    {'i', "4 2\n", "1:777", ""},
    {'i', "\nnext", "2:777", "next"},
    {'i', "# no answer\nnext", "2:777", "next"},
    {'i', "12 # twelve\nnext", "0:12", "next"},
    {'i', "   \n", "0:0", ""},
    {'i', "-\n", "0:0", ""},
    {'i', "1-2\n", "0:-12", ""},
    {'i', "--7\n", "0:-7", ""},
    {'i', "+5\n", "1:777", ""},
    {'i', "123456789\n", "0:123456789", ""},
    {'i', "-12345678\n", "0:-12345678", ""},
    {'i', "1234567890\n", "1:777", ""},
    {'i', "-123456789\n", "1:777", ""},
    {'l', " 999999999 \n", "0:999999999", ""},
    {'l', "0000000001\n", "1:777", ""},
    // Line length: 79 kept, 80 rejected and used up, the 81st dropped.
    {'i', std::string(79, '0') + "\nnext", "1:777", "next"},
    {'i', std::string(78, ' ') + "5\n", "0:5", ""},
    {'i', ones80 + "\nnext", "1:777", "next"},
    {'i', ones80 + "1\nnext", "1:777", "\nnext"},
    {'i', ones80 + std::string(20, '1') + "\n", "1:777", std::string(19, '1') + "\n"},
    {'i', ones80 + "#\nnext", "1:777", "next"},
    // Bytes that are no part of a number, and end of input.
    {'i', "42\r\n", "1:777", ""},
    {'i', std::string("4\0" "2\n", 3), "1:777", ""},
    {'i', "4\xff\n", "1:777", ""},
    {'i', "42", "1:777", ""},
    {'i', "42#", "0:42", ""},
    {'i', "", "1:777", ""},
    {'d', "", "1:777", ""},
    {'d', "34.2\n", "0:34.2", ""},
    {'d', " .5\n", "0:0.5", ""},
    {'d', "-.25\n", "0:-0.25", ""},
    {'d', "5.\n", "1:777", ""},
    {'d', "5. \n", "1:777", ""},
    {'d', "1.2.3\n", "1:777", ""},
    {'d', "1e3\n", "1:777", ""},
    {'d', "123456789012345\n", "0:123456789012345", ""},
    {'d', "1234567890123456\n", "1:777", ""},
    {'d', "0.000000000001\n", "0:1e-12", ""},
    {'d', "\n", "2:777", ""},
    {'d', "1 .5\n", "1:777", ""},
};

TEST(Scanners, CodesValuesAndUnreadInput)
{
    for (const ScanCase& c : scan_cases) {
        const Outcome o = run_child(c.input, [&] { return scan(c.kind); });
        EXPECT_EQ(o.value, c.result) << c.kind << " on \"" << c.input << '"';
        EXPECT_EQ(o.rest, c.rest) << c.kind << " on \"" << c.input << '"';
        EXPECT_EQ(o.out + o.err, "") << "scanners print nothing";
    }
}

struct LineCase {
    std::string input;
    char first;
    std::string rest;
};

TEST(Readln, ReturnsFirstCharacterAndConsumesOneLine)
{
    const LineCase cases[] = {
        {"yes\nno\n", 'y', "no\n"},
        {"\nno\n", '\n', "no\n"},
        {"\r\n", '\r', ""},
        {"y", 'y', ""},  // last line without a line feed
        {"", '\0', ""},  // end of input
    };
    for (const LineCase& c : cases) {
        const Outcome o = run_child(c.input, [] { return std::string(1, vizaza::readln()); });
        EXPECT_EQ(o.value, std::string(1, c.first)) << c.input;
        EXPECT_EQ(o.rest, c.rest) << c.input;
    }
}

TEST(Console, BeepAndPauseWriteToStandardOutput)
{
    const char* banner = "\n\n     *****   Press <RETURN> to continue   *****";
    Outcome o = run_child("any text\nnext", [] { return vizaza::pausa(), "done"; });
    EXPECT_EQ(o.out, banner);
    EXPECT_EQ(o.err, "") << "no \"clear\" runs when standard output is no terminal";
    EXPECT_EQ(o.rest, "next");

    o = run_child("", [] { return vizaza::pausa(), "done"; });
    EXPECT_EQ(o.value, "done") << "end of input ends the pause";

    o = run_child("", [] { return vizaza::beep(), ""; });
    EXPECT_EQ(o.out, "\a");
}

}  // namespace
