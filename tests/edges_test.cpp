// SPDX-License-Identifier: MIT
// The three option-taking programs swept over the edges of their domains:
// the smallest and largest loads, circuits and agents, fractional ones,
// near-ties, targets a rounding step from 0 and 1. Each command line is
// refused (status 2) or written (status 0) with no NaN, and no probability
// outside [0, 1].
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/erlangc.h"
#include "app/overflow.h"
#include "app/table.h"

namespace {

// Checks a CSV answer: every field a number ("inf" only for a mean wait),
// every probability within [0, 1]. Returns what is wrong, or "".
std::string fault(const std::string& csv)
{
    std::istringstream lines(csv);
    std::string line;
    std::vector<std::string> columns;
    std::getline(lines, line);
    std::istringstream head(line);
    for (std::string c; std::getline(head, c, ',');) columns.push_back(c);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string field;
        for (size_t k = 0; std::getline(fields, field, ','); ++k) {
            if (field.empty()) continue;  // a column this question leaves out
            char* end = nullptr;
            const double v = std::strtod(field.c_str(), &end);
            const std::string column = k < columns.size() ? columns[k] : "?";
            if (*end != '\0' || std::isnan(v) || (std::isinf(v) && column != "mean_wait"))
                return "'" + field + "' in " + column + ": " + line;
            const bool probability =
                std::string(",blocking,wait_probability,service_level,occupancy,")
                    .find("," + column + ",") != std::string::npos;
            if (probability && !(v >= 0 && v <= 1)) return column + " " + field + ": " + line;
        }
    }
    return "";
}

bool write_csv(const Request& r, std::FILE* out) { return write_table(r, out); }
bool write_csv(const OverflowRequest& r, std::FILE* out) { return write_overflow(r, out); }
bool write_csv(const ErlangcRequest& r, std::FILE* out) { return write_erlangc(r, out); }

// Runs one command line (with --csv) as the program's main does, in this
// process, and expects it refused (status 2) or answered soundly.
template <class Request>
void sweep(std::vector<std::string> args)
{
    std::string line;
    for (const std::string& a : args) line += a + " ";
    args.push_back("--csv");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Request request{};
    std::string error;
    if (parse_command_line(static_cast<int>(argv.size() - 1), argv.data(), request, error) ==
        Action::bad_usage)
        return;
    char* text = nullptr;
    size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    EXPECT_TRUE(write_csv(request, stream)) << line;
    std::fclose(stream);
    EXPECT_EQ(fault(std::string(text, size)), "") << line;
    std::free(text);
}

// The edges of the domains, as the programs read them.
const char* const loads = "4.9e-324,1e-320,2.3e-308,1e-18,1e-6,0.3,1,199.99,200.01,2999.5,1e4,5e6";
const char* const circuits = "4.9e-324,1e-300,1e-6,0.5,1,2,200,3000,3001,1e4,5e6,1e7";
const char* const targets = "4.9e-324,1e-300,1e-12,0.01,0.5,0.999999,0.9999999999999999";

TEST(Edges, ErlangbTable)
{
    const std::vector<std::vector<std::string>> lines = {
        {"-n", circuits, "-a", loads},
        {"-n", circuits, "-b", targets},
        {"-a", loads, "-b", targets},
        {"-a", loads, "-b", targets, "--fractional"},
        {"-c", "1e-300,1,1e9", "-t", "1e-300", "-b", "1%"},
        {"-c", "1e-300,1", "-i", "1e-300", "-t", "1e300", "-b", "1%"},
    };
    for (std::vector<std::string> args : lines) {
        args.insert(args.begin(), "erlangb-table");
        sweep<Request>(args);
    }
}

TEST(Edges, Erlangc)
{
    // Each load alone, so that a refusal of one does not hide the others.
    const std::vector<std::vector<std::string>> questions = {
        {"-n", circuits, "-t", "180", "-w", "0,20"},
        {"-n", "0.999999,1.000001,2e-18,1e-6,92", "-t", "180", "-w", "20"},
        {"-n", "1e-300,1e-12,0.5", "-t", "1e-300", "-w", "1e-300"},
        {"-s", "0.5", "-w", "1", "-t", "1", "--fractional"},
        {"-s", "0.999999", "-w", "0", "-t", "180", "--fractional"},
        {"-s", "4.9e-324", "-w", "20", "-t", "180"},
        {"--asa", "1e-300", "-t", "1", "--fractional"},
        {"--asa", "1e300", "-t", "1"},
        {"--wait-probability", "0.9999999999999999", "--fractional"},
        {"--wait-probability", "1e-300"},
        {"--max-occupancy", "0.9999999999999999", "--shrinkage", "0.5", "--fractional"},
    };
    std::istringstream list(loads);
    for (std::string load; std::getline(list, load, ',');) {
        for (const auto& question : questions) {
            std::vector<std::string> args = {"erlangc", "-a", load};
            args.insert(args.end(), question.begin(), question.end());
            sweep<ErlangcRequest>(args);
        }
    }
    // The load agents carry, each kind of target at the edges of the agents.
    for (const char* target : {"--wait-probability=1e-300", "--max-occupancy=0.9999999999999999",
                               "--asa=1e300", "--service-level=0.5"})
        sweep<ErlangcRequest>({"erlangc", "-n", "4.9e-324,1e-300,1e-6,0.5,1,200,3001,5e6", "-w",
                               "1", "-t", "1", target});
}

TEST(Edges, ErlangbOverflow)
{
    const std::vector<std::vector<std::string>> traffic = {
        {"-g", "1000:1"},
        {"-g", "30:1"},
        {"-g", "1e-6:1e-6,0.5:4.9e-324"},
        {"-g", "1e7:5e6"},
        {"-g", "10:8", "-p", "5e6"},
        {"-m", "0.001", "-z", "50"},
        {"-m", "1e4", "-z", "1"},
        {"-m", "1e-300", "-z", "1e-300"},
        {"-m", "5e6", "-v", "4.9e-324"},
    };
    const std::vector<std::vector<std::string>> questions = {
        {},
        {"-n", circuits},
        {"-b", "1e-290,0.01,0.9999999999999999"},
        {"-b", "1e-290,0.5,0.9999999999999999", "--fractional"},
    };
    for (const auto& t : traffic) {
        for (const char* method : {"equivalent-random", "rapp", "hayward"}) {
            for (const auto& question : questions) {
                std::vector<std::string> args = {"erlangb-overflow", "--method", method};
                args.insert(args.end(), t.begin(), t.end());
                args.insert(args.end(), question.begin(), question.end());
                sweep<OverflowRequest>(args);
            }
        }
    }
}

}  // namespace
