// SPDX-License-Identifier: MIT
// The number readers: questions, range hints, retries, defaults, bounds and
// the fatal exit after six wrong answers.
#include <sstream>

#include <gtest/gtest.h>

#include "child.h"
#include "vizaza.h"

namespace {

using vizaza::read_bool;
using vizaza::read_digit;
using vizaza::read_double;
using vizaza::read_int;
using vizaza::read_long;
using Call = std::function<std::string()>;

template <class T>
std::string text(T v)
{
    std::ostringstream s;
    s << v;
    return s.str();
}

// Two readers, asked in this order (the operands of + are not sequenced).
std::string both(const Call& first, const Call& second)
{
    const std::string a = first();
    return a + " " + second();
}

std::string times(int n, const std::string& s) { return n > 0 ? s + times(n - 1, s) : ""; }

const std::string q = "number of circuits [40] > ", qh = "number of circuits (1::500) [40] > ";
const std::string l = "offered load [34.2000 erlang] > ";
const std::string lh = "offered load (1.0000::500.0000) [34.2000 erlang] > ";
const std::string fatal = "\n FATAL ERROR: too many wrong attempts in ";

std::string circuits() { return text(read_int("number of circuits", 40, 1, 500)); }
std::string yes(short def) { return text(read_bool("ok", def)); }
std::string digit() { return text(read_digit("d")); }
std::string word()
{
    const char* def = "def";
    const char* answer = vizaza::read_string("name", def);
    return answer == def ? "(def)" : answer;
}
const std::string y = "ok (y/n) [YES] > ", n = "ok (y/n) [NO] > ", w = "name [def] > ";

std::string load() { return text(read_double("offered load", " erlang", 34.2, 1.0, 500.0)); }

const struct {
    const char* what;
    Call call;
    std::string input, err, value;  // value "" when the reader never returns
    int bells = 0;
    std::string rest = "";
    int status = 0;
    std::string printed = "";  // what the call itself printed before the bells
} read_cases[] = {
    {"empty answer", circuits, "\n", q, "40"},
    {"out of range both ways", circuits, "0\n501\n500\n", q + qh + qh, "500", 2},
    {"blanks are 0, not empty", circuits, "   \n\n", q + qh, "40", 1},
    {"81 characters leave their line feed", circuits, std::string(81, '1') + "\nnext", q + qh, "40",
     1, "next"},
    {"a longer line leaves its tail", circuits, std::string(81, '1') + "123\n", q + qh, "123", 1},
    {"comment", circuits, "24 # circuits\n", q, "24"},
    // What was printed before a question has left the buffer by the time it
    // waits for the answer: the value is how much of it has.
    {"output shows before the wait",
     [] {
         std::printf("report");
         circuits();
         return text(lseek(1, 0, SEEK_CUR));
     },
     "\n", q, "6", 0, "", 0, "report"},
    {"swapped bounds", [] { return text(read_int("n", 5, 10, 1)); }, "11\n10\n",
     "n [5] > n (1::10) [5] > ", "10", 1},
    {"default below", [] { return text(read_int("n", 0, 1, 500)); }, "\n", "n [1] > ", "1"},
    {"default above", [] { return text(read_int("n", 9, 1, 5)); }, "\n", "n [5] > ", "5"},
    {"int short forms",
     [] {
         return both([] { return text(read_int("n", "kg", 7)); },
                     [] { return text(read_int("n")); });
     },
     "-99999999\n\n", "n [7kg] > n [0] > ", "-99999999 0"},
    {"long full form", [] { return text(read_long("m", " m", 9L, -5L, 50L)); }, "x\n-6\n-5\n",
     "m [9 m] > m (-5::50) [9 m] > m (-5::50) [9 m] > ", "-5", 2},
    {"long without unit", [] { return text(read_long("m", 4L, 1L, 3L)); }, "9\n2\n",
     "m [3] > m (1::3) [3] > ", "2", 1},
    {"long short forms",
     [] {
         return both([] { return text(read_long("m", 3L)); }, [] { return text(read_long("m")); });
     },
     "\n999999999\n", "m [3] > m [0] > ", "3 999999999"},
    {"real retry, then default", load, "abc\n\n", l + lh, "34.2", 1},
    {"real bounds inclusive", [] { return both(load, load); }, "1.0\n500.0\n", l + l, "1 500"},
    {"real just outside", load, "500.0001\n.99\n\n", l + lh + lh, "34.2", 2},
    {"real without unit", [] { return text(read_double("p", 1.0, 0.0001, 50.0)); }, "60\n\n",
     "p [1.0000] > p (0.0001::50.0000) [1.0000] > ", "1", 1},
    {"real short forms", [] { return text(read_double("x")); }, "2000000000\n-.5\n",
     "x [0.0000] > x (-1000000000.0000::1000000000.0000) [0.0000] > ", "-0.5", 1},
    {"six wrong answers", circuits, times(7, "0\n"), q + times(5, qh) + fatal + "read_int() \n", "",
     6, "", 255},
    {"end of input", circuits, "", q + times(5, qh) + fatal + "read_int() \n", "", 6, "", 255},
    {"end of input, long", [] { return text(read_long("m")); }, "5",
     "m [0] > " + times(5, "m (-1000000000::1000000000) [0] > ") + fatal + "read_long() \n", "", 6,
     "", 255},
    {"end of input, real", load, "x\n", l + times(5, lh) + fatal + "read_double() \n", "", 6, "",
     255},
    {"yes", [] { return both([] { return yes(0); }, [] { return yes(0); }); }, "yes\nYep\n", n + n,
     "1 1"},
    {"no", [] { return both([] { return yes(1); }, [] { return yes(1); }); }, "no\nN\n", y + y,
     "0 0"},
    {"yes/no, default kept", [] { return yes(5); }, " y\n#\n\n", y + y + y, "5", 2},
    {"yes/no short form", [] { return text(read_bool("ok")); }, "\n", y, "1"},
    {"digit, rest of line dropped", digit, "7abc\nnext", "d [0] > ", "7", 0, "next"},
    {"digit, first character only", digit, "12\n", "d [0] > ", "1"},
    {"digit, no blanks", digit, " 7\n\n", "d [0] > d (0::9) [0] > ", "0", 1},
    {"digit bounds clamped", [] { return text(read_digit("d", 12, -3, 20)); }, "\n", "d [9] > ",
     "9"},
    {"digit low bound clamped to 0", [] { return text(read_digit("d", 4, -3, 5)); }, "9\n0\n",
     "d [4] > d (0::5) [4] > ", "0", 1},
    {"digit bounds swapped", [] { return text(read_digit("d", 4, 6, 2)); }, "7\n1\n\n",
     "d [4] > d (2::6) [4] > d (2::6) [4] > ", "4", 2},
    {"word", word, "data.txt\n", w, "data.txt"},
    {"empty word gives the default pointer", word, "\n", w, "(def)"},
    {"word, rest of line read next", word, "my file\n", w + w, "file", 1},
    {"word, line feed left", word, "ab_\nnext", w + w, "(def)", 1, "next"},
    {"word of 81", word, std::string(81, 'a') + "\n", w + w, "(def)", 1},
    {"word of 85", word, std::string(81, 'a') + "bcde\n", w + w, "bcde", 1},
    {"word short form", [] { return std::string(vizaza::read_string("name")); }, "\n", "name [] > ",
     ""},
    {"end of input, yes/no", [] { return yes(1); }, "", times(6, y) + fatal + "read_bool() \n", "",
     6, "", 255},
    {"end of input, digit", digit, "",
     "d [0] > " + times(5, "d (0::9) [0] > ") + fatal + "read_digit() \n", "", 6, "", 255},
    {"end of input, word", word, "", times(6, w) + fatal + "read_string() \n", "", 6, "", 255},
};

TEST(Readers, QuestionsRetriesAndResults)
{
    for (const auto& c : read_cases) {
        const Outcome o = run_child(c.input, c.call);
        EXPECT_EQ(o.err, c.err) << c.what;
        EXPECT_EQ(o.value, c.value) << c.what;
        EXPECT_EQ(o.out, c.printed + std::string(static_cast<size_t>(c.bells), '\a')) << c.what;
        EXPECT_EQ(o.rest, c.rest) << c.what;
        EXPECT_EQ(o.status, c.status) << c.what;
    }
}

}  // namespace
