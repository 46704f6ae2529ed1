// The Erlang B formula, and the calculator's whole dialogue through pipes.
#include <gtest/gtest.h>

#include "child.h"
#include "erlangb.h"

namespace {

const std::string q = "number of circuits [40] > ", l = "offered load [34.2000 erlang] > ";
const std::string lh = "offered load (1.0000::500.0000) [34.2000 erlang] > ";
const std::string banner = "\n\n\n     *****   Press <RETURN> to continue   *****";

std::string report(const std::string& blocking, const std::string& utilization)
{
    return "\nblocking probability = " + blocking + "\nutilization %        = " + utilization +
           banner;
}

const struct {
    std::string input, err, out;
    int status;
} run_cases[] = {
    {"24\nabc\n\n\n", q + l + lh, "\a" + report("3.455725e-01", "93.26"), 0},
    {"\n\n\n", q + l, report("4.599507e-02", "81.57"), 0},
    {"1\n1\n\n", q + l, report("5.000000e-01", "50.00"), 0},
    {"1\n5\n\n", q + l, report("8.333333e-01", "83.33"), 0},
    {"10\n5\n\n", q + l, report("1.838457e-02", "49.08"), 0},
    {"500\n1\n\n", q + l, report("0.000000e+00", " 0.20"), 0},
    {"500\n500\n", q + l, report("3.484778e-02", "96.52"), 0},  // end of input at the pause
    {"7\n",
     q + l + lh + lh + lh + lh + lh + "\n FATAL ERROR: too many wrong attempts in read_double() \n",
     "\a\a\a\a\a\a", 255},
};

TEST(Calculator, WholeDialogueThroughPipes)
{
    for (const auto& c : run_cases) {
        const Outcome o = run_child(c.input, exec_program);
        EXPECT_EQ(o.err, c.err) << c.input;
        EXPECT_EQ(o.out, c.out) << c.input;
        EXPECT_EQ(o.status, c.status) << c.input;
    }
}

TEST(Formula, AgreesWithTheRecurrenceBeyondTheCalculatorsRange)
{
    EXPECT_EQ(erlangb(0, 5.0), 1.0) << "no circuits lose every call";
    EXPECT_EQ(erlangb(10, 0.0), 0.0) << "no traffic, no loss";
    for (const int n : {500, 700, 720, 1000, 2000}) {  // the terms overflow past ~710 erlangs
        for (const double A : {300.0, 700.0, 720.0, 2000.0}) {
            double B = 1.0;  // B(k) = A B(k-1) / (k + A B(k-1))
            for (int k = 1; k <= n; ++k) B = A * B / (k + A * B);
            EXPECT_NEAR(erlangb(n, A), B, 1e-9 * B) << n << " circuits, " << A << " erlang";
        }
    }
}

}  // namespace
