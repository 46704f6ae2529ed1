// The number readers: questions, range hints, retries, defaults, bounds and
// the fatal exit after six wrong answers.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "child.h"
#include "vizaza.h"

namespace {

using vizaza::read_double;
using vizaza::read_int;
using vizaza::read_long;

std::string text(int v) { return std::to_string(v); }
std::string text(long v) { return std::to_string(v); }
std::string text(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string repeat(const std::string& s, int times)
{
    std::string all;
    while (times-- > 0) all += s;
    return all;
}

const std::string circuits = "number of circuits [40] > ";
const std::string circuits_hint = "number of circuits (1::500) [40] > ";
const std::string load = "offered load [34.2000 erlang] > ";
const std::string load_hint = "offered load (1.0000::500.0000) [34.2000 erlang] > ";
const std::string fatal = "\n FATAL ERROR: too many wrong attempts ";

// Two answers in the order asked (the operands of + are not sequenced).
std::string both(const std::function<std::string()>& first, const std::function<std::string()>& second)
{
    const std::string a = first();
    return a + " " + second();
}

std::string ask_circuits() { return text(read_int("number of circuits", 40, 1, 500)); }
std::string ask_load() { return text(read_double("offered load", " erlang", 34.2, 1.0, 500.0)); }

struct ReadCase {
    const char* what;
    std::function<std::string()> call;
    std::string input;
    std::string err;    // every question, and the fatal text if any
    std::string value;  // "" when the reader never returns
    int bells;
    std::string rest = "";
    int status = 0;
};

const ReadCase read_cases[] = {
    {"empty answer", ask_circuits, "\n", circuits, "40", 0},
    {"upper bound", ask_circuits, "500\n", circuits, "500", 0},
    {"out of range both ways", ask_circuits, "0\n501\n1\n",
     circuits + circuits_hint + circuits_hint, "1", 2},
    {"blanks are 0, not empty", ask_circuits, "   \n\n", circuits + circuits_hint, "40", 1},
    {"81 characters leave their line feed", ask_circuits, std::string(81, '1') + "\nnext",
     circuits + circuits_hint, "40", 1, "next"},
    {"a longer line leaves its tail", ask_circuits, std::string(81, '1') + "123\n",
     circuits + circuits_hint, "123", 1},
    {"comment", ask_circuits, "24 # circuits\n", circuits, "24", 0},
    {"swapped bounds", [] { return text(read_int("n", 5, 10, 1)); }, "11\n10\n",
     "n [5] > n (1::10) [5] > ", "10", 1},
    {"default below the range", [] { return text(read_int("n", 0, 1, 500)); }, "\n", "n [1] > ",
     "1", 0},
    {"default above the range", [] { return text(read_int("n", 9, 1, 5)); }, "\n", "n [5] > ",
     "5", 0},
    {"int short forms", [] { return both([] { return text(read_int("n", "kg", 7)); }, [] { return text(read_int("n")); }); },
     "-99999999\n\n", "n [7kg] > n [0] > ", "-99999999 0", 0},
    {"long full form", [] { return text(read_long("m", " m", 9L, -5L, 50L)); }, "x\n-6\n-5\n",
     "m [9 m] > m (-5::50) [9 m] > m (-5::50) [9 m] > ", "-5", 2},
    {"long short forms", [] { return both([] { return text(read_long("m", 3L)); }, [] { return text(read_long("m")); }); },
     "\n999999999\n", "m [3] > m [0] > ", "3 999999999", 0},
    {"real retry and default", ask_load, "abc\n\n", load + load_hint, "34.2", 1},
    {"real bounds inclusive", [] { return both(ask_load, ask_load); }, "1.0\n500.0\n",
     load + load, "1 500", 0},
    {"real just outside", ask_load, "500.0001\n.99\n\n", load + load_hint + load_hint, "34.2",
     2},
    {"real short form bounds", [] { return text(read_double("x")); }, "2000000000\n-.5\n",
     "x [0.0000] > x (-1000000000.0000::1000000000.0000) [0.0000] > ", "-0.5", 1},
    {"six wrong answers", ask_circuits, repeat("0\n", 7),
     circuits + repeat(circuits_hint, 5) + fatal + "in read_int() \n", "", 6, "", 255},
    {"end of input", ask_circuits, "", circuits + repeat(circuits_hint, 5) + fatal +
     "in read_int() \n", "", 6, "", 255},
    {"end of input, long", [] { return text(read_long("m")); }, "5",
     "m [0] > " + repeat("m (-1000000000::1000000000) [0] > ", 5) + fatal + "in read_long() \n",
     "", 6, "", 255},
    {"end of input, real", ask_load, "x\n", load + repeat(load_hint, 5) + fatal +
     "in read_double() \n", "", 6, "", 255},
};

TEST(Readers, QuestionsRetriesAndResults)
{
    for (const ReadCase& c : read_cases) {
        const Outcome o = run_child(c.input, c.call);
        EXPECT_EQ(o.err, c.err) << c.what;
        EXPECT_EQ(o.value, c.value) << c.what;
        EXPECT_EQ(o.out, std::string(static_cast<size_t>(c.bells), '\a')) << c.what;
        EXPECT_EQ(o.rest, c.rest) << c.what;
        EXPECT_EQ(o.status, c.status) << c.what;
    }
}

}  // namespace
