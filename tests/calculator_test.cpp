// The Erlang B formula and the calculator's whole dialogue through pipes.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "child.h"
#include "erlangb.h"

namespace {

const std::string banner = "\n\n     *****   Press <RETURN> to continue   *****";

// The two report lines as the calculator prints them.
std::string report(const char* blocking, const char* utilization)
{
    return std::string("\nblocking probability = ") + blocking + "\nutilization %        = " +
           utilization + "\n";
}

struct FormulaCase {
    int n;
    double A;
    const char* blocking;     // "%e"
    const char* utilization;  // "%5.2f"
};

const FormulaCase formula_cases[] = {
    {40, 34.2, "4.599507e-02", "81.57"}, {24, 34.2, "3.455725e-01", "93.26"},
    {1, 1.0, "5.000000e-01", "50.00"},   {1, 5.0, "8.333333e-01", "83.33"},
    {10, 5.0, "1.838457e-02", "49.08"},  {500, 1.0, "0.000000e+00", " 0.20"},
    {500, 500.0, "3.484778e-02", "96.52"},
};

TEST(Formula, PrintedDigits)
{
    for (const FormulaCase& c : formula_cases) {
        const double B = erlangb(c.n, c.A);
        char b[32], u[32];
        std::snprintf(b, sizeof b, "%e", B);
        std::snprintf(u, sizeof u, "%5.2f", (1.0 - B) * c.A / c.n * 100.0);
        EXPECT_STREQ(b, c.blocking) << c.n << " circuits, " << c.A << " erlang";
        EXPECT_STREQ(u, c.utilization) << c.n << " circuits, " << c.A << " erlang";
    }
}

TEST(Formula, OutsideTheCalculatorsRange)
{
    EXPECT_EQ(erlangb(0, 5.0), 1.0) << "no circuits lose every call";
    EXPECT_EQ(erlangb(-3, 5.0), 1.0);
    EXPECT_EQ(erlangb(10, 0.0), 0.0) << "no traffic, no loss";
    EXPECT_NEAR(erlangb(2000, 2000.0), 0.0177, 1e-4) << "large terms stay finite";
}

struct RunCase {
    const char* what;
    std::string input;
    std::string err;
    std::string out;
    int status;
};

const std::string circuits = "number of circuits [40] > ";
const std::string load = "offered load [34.2000 erlang] > ";
const std::string load_hint = "offered load (1.0000::500.0000) [34.2000 erlang] > ";

const RunCase run_cases[] = {
    {"typical run", "24\nabc\n\n\n", circuits + load + load_hint,
     "\a" + report("3.455725e-01", "93.26") + banner, 0},
    {"both defaults", "\n\n\n", circuits + load, report("4.599507e-02", "81.57") + banner, 0},
    {"end of input at the pause", "500\n500\n", circuits + load,
     report("3.484778e-02", "96.52") + banner, 0},
    {"end of input at a question", "7\n", circuits + load + load_hint + load_hint + load_hint + load_hint + load_hint +
     "\n FATAL ERROR: too many wrong attempts in read_double() \n", "\a\a\a\a\a\a", 255},
};

TEST(Calculator, WholeDialogueThroughPipes)
{
    for (const RunCase& c : run_cases) {
        const Outcome o = run_child(c.input, exec_program);
        EXPECT_EQ(o.err, c.err) << c.what;
        EXPECT_EQ(o.out, c.out) << c.what;
        EXPECT_EQ(o.status, c.status) << c.what;
    }
}

}  // namespace
