// SPDX-License-Identifier: MIT
// The Erlang B formula, and both programs' whole dialogues through pipes.
#include <gtest/gtest.h>

#include "child.h"
#include "teletraffic/erlangb.h"

namespace {

const std::string q = "number of circuits [40] > ", l = "offered load [34.2000 erlang] > ";
const std::string lh = "offered load (1.0000::500.0000) [34.2000 erlang] > ";
const std::string banner = "\n\n\n     *****   Press <RETURN> to continue   *****";

std::string report(const std::string& blocking, const std::string& utilization)
{
    return "\nblocking probability = " + blocking + "\nutilization %        = " + utilization +
           banner;
}

const std::string sh = "offered load (0.0100::100000.0000) [34.2000 erlang] > ";
const std::string t = "blocking target [1.0000 %] > ";
const std::string th = "blocking target (0.0001::50.0000) [1.0000 %] > ";
const std::string fatal = "\n FATAL ERROR: too many wrong attempts in read_double() \n";

std::string sizing(const std::string& circuits, const std::string& blocking,
                   const std::string& utilization, const std::string& load)
{
    return "\ncircuits needed      = " + circuits + "\nblocking probability = " + blocking +
           "\nutilization %        = " + utilization + "\nload at target       = " + load +
           " erlang" + banner;
}

const std::string sized = sizing("46", "9.578160e-03", "73.64", "34.3223");  // the defaults

const struct {
    std::string (*program)();
    std::string input, err, out;
    int status;
} run_cases[] = {
    {exec_program, "24\nabc\n\n\n", q + l + lh, "\a" + report("3.455725e-01", "93.26"), 0},
    {exec_program, "\n\n\n", q + l, report("4.599507e-02", "81.57"), 0},
    {exec_program, "1\n1\n\n", q + l, report("5.000000e-01", "50.00"), 0},
    {exec_program, "1\n5\n\n", q + l, report("8.333333e-01", "83.33"), 0},
    {exec_program, "10\n5\n\n", q + l, report("1.838457e-02", "49.08"), 0},
    {exec_program, "500\n1\n\n", q + l, report("0.000000e+00", " 0.20"), 0},
    // input ends at the pause
    {exec_program, "500\n500\n", q + l, report("3.484778e-02", "96.52"), 0},
    {exec_program, "7\n", q + l + lh + lh + lh + lh + lh + fatal, "\a\a\a\a\a\a", 255},
    {exec_size_program, "\n\n\n", l + t, sized, 0},
    {exec_size_program, "10\n1\n\n", l + t, sizing("18", "7.142438e-03", "55.16", "10.4369"), 0},
    {exec_size_program, "100000\n0.0001\n\n", l + t,
     sizing("101197", "9.986081e-07", "98.82", "100000.1164"), 0},
    // its blocking at 46 circuits, 0.010027, is just above the target
    {exec_size_program, "34.33\n1\n\n", l + t, sizing("47", "7.270730e-03", "72.51", "35.2146"), 0},
    {exec_size_program, "0.01\n50\n\n", l + t, sizing("1", "9.900990e-03", " 0.99", "1.0000"), 0},
    {exec_size_program, "abc\n0.005\n\n\n", l + sh + sh + t, "\a\a" + sized, 0},
    {exec_size_program, "\n60\n\n\n", l + t + th, "\a" + sized, 0},
    {exec_size_program, "5\n", l + t + th + th + th + th + th + fatal, "\a\a\a\a\a\a", 255},
};

TEST(Programs, WholeDialoguesThroughPipes)
{
    for (const auto& c : run_cases) {
        const Outcome o = run_child(c.input, c.program);
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

// A report that cannot be written is a failure, told on standard error, after
// the same dialogue.
TEST(Programs, ReportThatCannotBeWritten)
{
    for (const auto& [path, asked] :
         {std::pair{ERLANGB_PROGRAM, q + l}, {ERLANGB_SIZE_PROGRAM, l + t}}) {
        const Outcome o = run_child("\n\n\n", exec_with(path, {}, "/dev/full"));
        EXPECT_EQ(o.status, 1) << path;
        const std::string name = std::string(path).substr(std::string(path).rfind('/') + 1);
        EXPECT_EQ(o.err, asked + name + ": cannot write: No space left on device\n");
    }
}

}  // namespace
