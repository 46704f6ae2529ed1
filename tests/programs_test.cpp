// SPDX-License-Identifier: MIT
// The programs as functions: run in this process on memory streams, one
// after another, each gives what the built program gives, output, messages
// and status alike.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli.h"
#include "app/programs.h"
#include "child.h"

namespace {

// A run of `run` in this process: what it wrote and its status.
Outcome run_here(int run(int, char**, std::FILE*, std::FILE*), std::vector<std::string> args)
{
    Outcome o{"", "", "", "", 0};
    o.status = run_captured(run, std::move(args), o.out, o.err);
    return o;
}

const struct {
    int (*run)(int, char**, std::FILE*, std::FILE*);
    const char* program;
    std::vector<std::string> args;
} runs[] = {
    {run_table, ERLANGB_TABLE_PROGRAM, {"-n", "10,20", "-a", "5..7"}},
    {run_table, ERLANGB_TABLE_PROGRAM, {"-a", "10", "-b", "1%", "--csv"}},
    {run_table, ERLANGB_TABLE_PROGRAM, {"--version"}},
    {run_table, ERLANGB_TABLE_PROGRAM, {"-n", "0"}},
    {run_overflow, ERLANGB_OVERFLOW_PROGRAM, {"-g", "10:8,20:25", "-b", "1%"}},
    {run_overflow, ERLANGB_OVERFLOW_PROGRAM, {"--help"}},
    {run_erlangc,
     ERLANGC_PROGRAM,
     {"-c", "100", "-i", "1800", "-t", "180", "-s", "80%", "-w", "20"}},
    {run_erlangc, ERLANGC_PROGRAM, {"-a", "\x1b"}},
};

TEST(Programs, RunInProcessAsTheProgramsDo)
{
    for (const auto& r : runs) {
        std::vector<std::string> args{r.program};
        args.insert(args.end(), r.args.begin(), r.args.end());
        const Outcome here = run_here(r.run, args);
        const Outcome there = run_child("", exec_with(r.program, r.args));
        EXPECT_EQ(here.out, there.out) << args[1];
        EXPECT_EQ(here.err, there.err) << args[1];
        EXPECT_EQ(here.status, there.status) << args[1];
    }
}

}  // namespace
