// SPDX-License-Identifier: MIT
// erlangb-table: its lists, its bad invocations, and its answers to the
// three questions as text and as CSV.
#include <fmt/format.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "app/table.h"
#include "child.h"
#include "teletraffic/engset.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/poisson.h"
#include "teletraffic/retrial.h"

namespace {

std::string values(const List& list)
{
    std::string text;
    for (long i = 0; i < list_size(list); ++i)
        text += (i > 0 ? " " : "") + csv_number(list_value(list, i));
    return text;
}

// The list grammar: the values a list gives, or "!" and part of the error.
const struct {
    Quantity quantity;
    const char* text;
    std::string result;
} list_cases[] = {
    {Quantity::load, "34,2", "34 2"},
    {Quantity::load, "0.1..0.5..0.1", "0.1 0.2 0.3 0.4 0.5"},
    {Quantity::load, "1e-3,2.5e1", "0.001 25"},
    {Quantity::load, "1.1..1.4..0.1", "1.1 1.2 1.3 1.4"},  // LAST, not 1.4000000000000001
    // Values are the decimals FIRST and STEP imply, not their sums' drift.
    {Quantity::load, "1e-6..6e-6..1e-6", "1e-06 2e-06 3e-06 4e-06 5e-06 6e-06"},
    {Quantity::load, "0.1..0.35..1e-1", "0.1 0.2 0.3"},
    {Quantity::blocking, "0.1%..0.7%..0.3%", "0.001 0.004 0.007"},
    {Quantity::load, "1e3..3e3..1e3", "1000 2000 3000"},
    {Quantity::load, "1e-30..4e-30..1e-30", "1e-30 2e-30 3e-30 4e-30"},
    {Quantity::load, "4000000.1..4000000.4..0.1", "4000000.1 4000000.2 4000000.3 4000000.4"},
    {Quantity::circuits, "1..4,10..20..5,7", "1 2 3 4 10 15 20 7"},
    {Quantity::circuits, "1..6..2", "1 3 5"},
    {Quantity::blocking, "1%,0.1%..0.3%..0.1%,0.02", "0.01 0.001 0.002 0.003 0.02"},
    {Quantity::blocking, "5e-1%", "0.005"},
    {Quantity::load, "1..", "!'1..' has an empty part"},
    {Quantity::load, "..3", "!'..3' has an empty part"},
    {Quantity::load, "5..1", "!in '5..1' FIRST is above LAST"},
    {Quantity::load, "1..5..0", "!in '1..5..0' STEP is not above 0"},
    {Quantity::load, "1..2..3..4", "!'1..2..3..4' is no number or range"},
    {Quantity::load, "1,,2", "!an empty item"},
    {Quantity::load, "", "!an empty item"},
    {Quantity::load, "3,", "!an empty item"},
    {Quantity::blocking, "1 %", "!'1 %' is no number"},
    {Quantity::blocking, "1%%", "!'1%%' is no number"},
    {Quantity::load, "1%", "!'1%' is no number"},
    {Quantity::load, "+5", "!'+5' is no number"},
    {Quantity::load, "inf", "!'inf' is no number"},
    {Quantity::load, "nan", "!'nan' is no number"},
    {Quantity::load, "0x1p3", "!'0x1p3' is no number"},
    {Quantity::load, "1e400", "!'1e400' is too large: a load is above 0 and at most 5000000"},
    {Quantity::load, "1..1e400", "!'1e400' is too large"},
    {Quantity::load, "-1e400", "!'-1e400' is outside the domain"},
    {Quantity::holding, "1e309", "!'1e309' is too large: the largest number is 1.79"},
    {Quantity::circuits, "0", "!'0' is outside the domain"},
    {Quantity::circuits, "2.5,0.001", "2.5 0.001"},
    {Quantity::circuits, "1..10..2.5", "1 3.5 6 8.5"},
    {Quantity::circuits, "10000000", "1e+07"},
    {Quantity::circuits, "1..10000001", "!is outside the domain"},
    {Quantity::load, "-1", "!'-1' is outside the domain"},
    {Quantity::load, "5000000", "5e+06"},
    {Quantity::load, "1e7", "!'1e7' is outside the domain"},
    {Quantity::blocking, "0", "!'0' is outside the domain"},
    {Quantity::blocking, "100%", "!'100%' is outside the domain"},
    {Quantity::blocking, "1e-400", "!'1e-400' is too small: the smallest number above 0 is"},
    {Quantity::blocking, "-1e-400", "!'-1e-400' is outside the domain"},
    {Quantity::blocking, "1e99999999999999999999%", "!is too large: a blocking probability"},
    {Quantity::holding, "180", "180"},
    {Quantity::holding, "1,2", "!one holding time only"},
    {Quantity::holding, "1..2", "!'1..2' is no number"},
    {Quantity::load, "1e-9..1e6..1e-9", "!has too many values"},
    {Quantity::blocking, "5e212%..5e212%", "!outside the domain"},  // a step below rounding
    {Quantity::load, "12345678901234567890123456789012345678x\xc3\xa9z",
     "!'12345678901234567890123456789012345678x\xc3\xa9...' is no number"},
};

TEST(Table, ListGrammar)
{
    for (const auto& c : list_cases) {
        List list;
        std::string error;
        const bool ok = parse_list(c.text, c.quantity, list, error);
        if (c.result[0] == '!') {
            EXPECT_FALSE(ok) << c.text;
            EXPECT_NE(error.find(c.result.substr(1)), std::string::npos) << c.text << ": " << error;
        } else {
            EXPECT_TRUE(ok) << c.text << ": " << error;
            EXPECT_EQ(values(list), c.result) << c.text;
        }
    }
}

// Bad invocations: one line naming what is wrong, the hint, status 2 and
// nothing on standard output.
const struct {
    std::vector<std::string> args;
    std::string says;
} bad_cases[] = {
    {{"-x"}, "unknown option '-x'"},
    {{"--frob", "-a", "1"}, "unknown option '--frob'"},
    {{"-a"}, "option '-a' needs a value"},
    {{"--lo"}, "option '--load' needs a value"},
    {{"-a", "1", "-b", "1%", "--csv=yes"}, "option '--csv' takes no value"},
    {{"--help=x"}, "option '--help' takes no value"},
    {{"--frob=1"}, "unknown option '--frob'\n"},
    {{"--c", "1"}, "option '--c' is ambiguous"},
    {{"-a", "1", "-b", "1%", "extra"}, "unexpected operand 'extra'"},
    {{"-a", "1"}, "give two of --circuits, --load (or --calls) and --blocking"},
    {{"-n", "3", "-a", "1", "-b", "1%"}, "give two of"},
    {{}, "give two of"},
    {{"-a", "1", "-a", "2", "-b", "1%"}, "--load is given twice"},
    {{"-a", "1", "-c", "2", "-t", "3"}, "--load and --calls both give the load"},
    {{"-c", "300", "-b", "1%"}, "--calls needs --holding"},
    {{"-t", "180", "-n", "5"}, "--holding needs --calls"},
    {{"-c", "1e30", "-t", "100", "-b", "1%"}, "a load of 2.7777777777777776e+28 erlang is outside"},
    {{"-c", "1..1e30..1e29", "-t", "100", "-b", "1%"}, "a load of 2.7777777777777776e+28 erlang"},
    {{"-c", "-5", "-t", "180", "-b", "1%"}, "--calls '-5': '-5' is outside the domain: calls are"},
    {{"-a", "5", "-i", "900", "-b", "1%"}, "--interval goes with --calls"},
    {{"-c", "5", "-t", "9", "-i", "0", "-b", "1%"}, "--interval '0': '0' is outside the domain"},
    {{"-c", "5", "-t", "0", "-b", "1%"}, "--holding '0': '0' is outside the domain: a holding"},
    {{"-n", "0", "-b", "1%"}, "--circuits '0': '0' is outside the domain"},
    {{"-n", "-2.5", "-b", "1%"}, "--circuits '-2.5'"},
    {{"-n", "10", "-b", "1%", "--fractional"}, "--fractional goes with --load (or --calls)"},
    {{"-a", "-1", "-b", "1%"}, "--load '-1'"},
    {{"-a", "1e7", "-b", "1%"}, "--load '1e7'"},
    {{"-a", "10", "-b", "0"}, "--blocking '0'"},
    {{"-a", "10", "-b", "100%"}, "--blocking '100%'"},
    {{"-a", "10", "-b", "1e-400"}, "--blocking '1e-400'"},
    {{"-a", "1..", "-b", "1%"}, "--load '1..'"},
    {{"-a", "10", "-b", "1 %"}, "--blocking '1 %'"},
    {{"--circuits=1,,2", "-b", "1%"}, "--circuits '1,,2': an empty item"},
    // The models: one at a time, each with the questions it answers.
    {{"-a", "6", "-b", "1%", "--sources", "2.5"}, "--sources '2.5': '2.5' is no whole number"},
    {{"-a", "6", "-b", "1%", "--sources", "0"}, "--sources '0': '0' is outside the domain"},
    {{"-a", "6", "-b", "1%", "--sources", "30", "--recall", "1"},
     "--sources goes with neither --recall nor --held"},
    {{"-n", "6", "-b", "1%", "--per-source", "0.1", "--held"},
     "--per-source goes with neither --recall nor --held"},
    {{"-a", "6", "-b", "1%", "--recall", "1", "--held"}, "--recall and --held: no model here"},
    {{"-a", "6", "-b", "1%", "--recall", "101%"}, "--recall '101%': '101%' is outside"},
    {{"-n", "6", "--per-source", "0.1"}, "--per-source needs --circuits and --blocking"},
    {{"-n", "6", "-b", "1%", "--per-source", "0.1", "--sources", "9"}, "not with --sources"},
    {{"-c", "6", "-t", "9", "-b", "1%", "--per-source", "0.1"}, "not with --load or --calls"},
    {{"-n", "6", "-b", "1%", "--per-source", "1"}, "below 1 erlang"},
    {{"-a", "6", "-b", "1%", "--sources", "30", "--fractional"}, "--fractional does not go with"},
    {{"-n", "1..2..0.5", "-a", "1", "--sources", "30"}, "Engset's circuits are whole numbers"},
};

TEST(Table, BadInvocations)
{
    for (const auto& c : bad_cases)
        EXPECT_TRUE(refused(run_child("", exec_table(c.args)), "erlangb-table", c.says));
}

std::string run_table(const std::vector<std::string>& args)
{
    return run_child("", exec_table(args)).out;
}

// Line k of `text`.
std::string lines_of(const std::string& text, int k)
{
    std::istringstream in(text);
    std::string line;
    for (int i = 0; i <= k; ++i) std::getline(in, line);
    return line;
}

// The three questions, each as the function behind it answers it.
TEST(Table, ThreeQuestions)
{
    EXPECT_EQ(run_table({"-a", "10", "-b", "1%", "--csv"}), "load,blocking,circuits\n10,0.01,18\n");
    EXPECT_EQ(run_table({"-n", "24", "-a", "34.2", "--csv"}),
              "circuits,load,blocking\n24,34.2," + csv_number(erlangb(24, 34.2)) + "\n");
    EXPECT_EQ(run_table({"-n", "10", "-b", "0.01", "--csv"}),
              "circuits,blocking,load\n10,0.01," + csv_number(erlangb_load(10, 0.01)) + "\n");
    EXPECT_EQ(run_table({"-c", "300", "-t", "180", "-b", "1%"}),
              run_table({"-a", "15", "-b", "1%"}));
    EXPECT_EQ(run_table({"-c", "100..200..50", "-t", "180", "-b", "1%", "--csv"}),
              run_table({"-a", "5,7.5,10", "-b", "1%", "--csv"}));
    EXPECT_EQ(run_table({"-c", "25..50..25", "-i", "1800", "-t", "180", "-b", "1%", "--csv"}),
              run_table({"-a", "2.5,5", "-b", "1%", "--csv"}));
    // Fractional circuits: the continuous function and its inverses.
    EXPECT_EQ(run_table({"-a", "10", "-b", "1%", "--fractional", "--csv"}),
              "load,blocking,circuits\n10,0.01," +
                  csv_number(erlangb_fractional_circuits(10, 0.01)) + "\n");
    EXPECT_EQ(run_table({"-n", "10.5", "-a", "8", "--csv"}),
              "circuits,load,blocking\n10.5,8," + csv_number(erlangb_continuous(10.5, 8)) + "\n");
    EXPECT_EQ(run_table({"-n", "24.7", "-b", "1%", "--csv"}),
              "circuits,blocking,load\n24.7,0.01," +
                  csv_number(erlangb_continuous_load(24.7, 0.01)) + "\n");
    EXPECT_EQ(
        run_table({"-a", "10,34.2", "-b", "1%", "--fractional"}),
        "# fractional circuits at which each offered load in erlang blocks at each probability\n"
        "#     load        0.01\n"
        "        10      17.445\n"
        "      34.2      45.863\n");
    EXPECT_EQ(run_table({"-n", "1..3", "-a", "1"}),
              "# blocking probability of the circuits at each offered load in erlang\n"
              "# circuits           1\n"
              "         1     0.50000\n"
              "         2     0.20000\n"
              "         3    0.062500\n");
}

// The models' cells and figures, each as its library function answers it.
TEST(Table, ModelsAreTheLibrarys)
{
    const double beta = engset_beta(12, 30, 6);
    const double a = extended_erlangb_load(20, 0.6, 0.01);
    const double x = extended_erlangb_fractional_circuits(15, 0.6, 0.01);
    const double beta_32 = engset_beta(12, 32, 32 * 0.2);
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"-a", "6", "-b", "1%", "--sources", "30"},
         "6,0.01,12,30," + csv_number(engset_time_congestion(12, 30, beta)) + "," +
             csv_number(engset_traffic_congestion(12, 30, beta))},
        {{"-n", "12", "-a", "6", "--sources", "30"},
         "12,6," + csv_number(engset_call_congestion(12, 30, beta)) + ",30," +
             csv_number(engset_time_congestion(12, 30, beta)) + "," +
             csv_number(engset_traffic_congestion(12, 30, beta))},
        {{"-n", "12", "-b", "1%", "--sources", "30"},
         "12,0.01," + csv_number(engset_load(12, 30, 0.01)) + ",30,"},  // congestions follow
        {{"-n", "31", "-b", "1%", "--sources", "30"}, "31,0.01,30,30,,"},
        {{"-n", "12", "-b", "1%", "--per-source", "0.2"},
         "12,0.01,32,6.4,0.2," + csv_number(engset_time_congestion(12, 32, beta_32))},
        {{"-n", "20", "-b", "1%", "--recall", "60%"},
         "20,0.01," + csv_number(a) + ",0.6," + csv_number(extended_erlangb_offered(20, a, 0.6)) +
             "," + csv_number(extended_erlangb_lost(20, a, 0.6))},
        {{"-a", "15", "-b", "1%", "--recall", "0.6"}, "15,0.01,24,0.6"},
        {{"-a", "15", "-b", "1%", "--recall", "0.6", "--fractional"},
         "15,0.01," + csv_number(x) + ",0.6," + csv_number(extended_erlangb_offered(x, 15, 0.6))},
        {{"-n", "20", "-a", "15", "--recall", "0.6"},
         "20,15," + csv_number(extended_erlangb(20, 15, 0.6)) + ",0.6"},
        {{"-n", "20.5", "-a", "15", "--held"}, "20.5,15," + csv_number(poisson_blocking(20.5, 15))},
        {{"-n", "20", "-b", "1%", "--held"}, "20,0.01," + csv_number(poisson_load(20, 0.01))},
        {{"-a", "15", "-b", "1%", "--held"}, "15,0.01," + csv_number(poisson_circuits(15, 0.01))},
        {{"-a", "15", "-b", "1%", "--held", "--fractional"},
         "15,0.01," + csv_number(poisson_fractional_circuits(15, 0.01))},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--csv");
        const std::string csv = run_table(args);
        const std::string line = csv.substr(csv.find('\n') + 1);
        EXPECT_EQ(line.rfind(c.line, 0), 0U) << c.args[0] << " " << c.args.back() << ": " << csv;
    }
    // The text names the model above the title; no answer is nan.
    EXPECT_EQ(run_table({"-a", "40", "-b", "1%", "--sources", "30"}),
              "# Engset: 30 sources; the load is their total offered traffic, the blocking the "
              "share of call attempts blocked\n"
              "# circuits needed for each offered load in erlang at each blocking probability\n"
              "#     load        0.01\n"
              "        40         nan\n");
    EXPECT_EQ(lines_of(run_table({"-n", "12", "-b", "1%", "--per-source", "0.2"}), 1),
              "# sources that the circuits serve at each blocking probability");
    EXPECT_EQ(lines_of(run_table({"-n", "20", "-a", "15", "--recall", "60%"}), 0),
              "# extended Erlang B: 60% of blocked calls retried; the load is the fresh traffic, "
              "the blocking the share of attempts blocked");
    EXPECT_EQ(lines_of(run_table({"-n", "20", "-a", "15", "--held"}), 0),
              "# Poisson formula: blocked calls held");
}

// Blocking cells are erlangb's figures at whole circuits and the
// continuous function's between, bit for bit, in any order of rows.
TEST(Table, BlockingCellsAreTheLibrarys)
{
    std::istringstream csv(
        run_table({"-n", "3001,3002.5,2,100000,1000000", "-a", "10,99000", "--csv"}));
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) {
        double x = 0, A = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf", &x, &A), 2) << line;
        const double B =
            x == std::floor(x) ? erlangb(static_cast<int>(x), A) : erlangb_continuous(x, A);
        EXPECT_EQ(line.substr(line.rfind(',') + 1), csv_number(B)) << line;
    }
}

// Cells of published Erlang B tables (5 significant digits), each the
// exact load rounded; the columns are 0.1 %, 1 %, 2 % and 5 %.
TEST(Table, PublishedCells)
{
    const std::string table = run_table({"-n", "10,20,50,100,300", "-b", "0.1%,1%,2%,5%"});
    for (const char* row : {"        10      3.0920      4.4612      5.0840      6.2157\n",
                            "        20      9.4115      12.031      13.182      15.249\n",
                            "        50      32.512      37.901      40.255      44.533\n",
                            "       100      75.242      84.064      87.972      95.240\n",
                            "       300      258.65      277.13      285.71      302.62\n"})
        EXPECT_NE(table.find(row), std::string::npos) << row << "in\n" << table;
}

// The CSV reads back, cell by cell in the text table's order, and the text
// shows each of its numbers rounded; loads give their target back.
TEST(Table, TextIsTheCsvRounded)
{
    const std::vector<std::string> itu = {
        "-n", "1..301", "-b", "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%"};
    std::vector<std::string> csv_args = itu;
    csv_args.push_back("--csv");
    std::istringstream text(run_table(itu)), csv(run_table(csv_args));
    std::string line;
    std::getline(csv, line);
    ASSERT_EQ(line, "circuits,blocking,load");
    std::getline(text, line), std::getline(text, line);  // title and headings
    int cells = 0;
    for (std::string row; std::getline(text, row);) {
        std::istringstream fields(row);
        std::string n, shown;
        fields >> n;
        while (fields >> shown) {
            ASSERT_TRUE(std::getline(csv, line));
            double v[3];
            const char* p = line.data();
            for (double& x : v)
                p = std::from_chars(p + (p != line.data()), line.data() + line.size(), x).ptr;
            EXPECT_EQ(csv_number(v[0]), n);
            EXPECT_EQ(shown, text_number(v[2], false)) << line;
            EXPECT_NEAR(erlangb(static_cast<int>(v[0]), v[2]) / v[1], 1.0, 1e-9) << line;
            ++cells;
        }
    }
    EXPECT_EQ(cells, 301 * 20);
    EXPECT_FALSE(std::getline(csv, line)) << line;
}

// Down a column the load solver starts from the rows above: about 2
// evaluations a cell over the ITU-T layout, and a long column.
TEST(Table, LoadCellsCostAboutTwoEvaluations)
{
    for (const char* blocking :
         {"0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%", "1%"}) {
        const char* n = blocking[1] == '%' ? "1..3000" : "1..301";
        const char* args[] = {"erlangb-table", "-n", n, "-b", blocking};
        Request request{};
        std::string error;
        ASSERT_EQ(parse_command_line(5, const_cast<char**>(args), request, error), Action::table);
        std::FILE* null = std::fopen("/dev/null", "w");
        std::FILE* progress = std::tmpfile();
        long evaluations = 0;
        EXPECT_TRUE(write_table(request, null, progress, &evaluations, 0.0));
        std::fclose(null);
        const long cells = list_size(request.rows) * list_size(request.columns);
        EXPECT_LE(evaluations, 2.2 * cells) << n << " at " << blocking;
        // at least 1 a cell, but for one circuit's closed form
        EXPECT_GE(evaluations, cells - list_size(request.columns)) << n << " at " << blocking;

        // Shown from the start here (after 0 s): the first row, then erased.
        std::string shown(200, '\0');
        std::rewind(progress);
        shown.resize(std::fread(shown.data(), 1, shown.size(), progress));
        std::fclose(progress);
        EXPECT_EQ(shown.rfind("\rerlangb-table: row 1 of ", 0), 0U) << shown;
        EXPECT_EQ(shown.substr(shown.rfind('\r', shown.size() - 2)),
                  "\r" + std::string(60, ' ') + "\r");
    }
}

TEST(Table, NumbersAsTheTextShowsThem)
{
    const struct {
        double value;
        std::string cell, heading;
    } cases[] = {
        {4.46117685757769, "4.4612", "4.4612"},
        {0.5, "0.50000", "0.5"},
        {9.99996, "10.000", "10"},
        {0.0999996, "0.10000", "0.1"},
        {1e-5, "1.0000e-05", "1e-05"},
        {0.0001, "0.00010000", "0.0001"},
        {100917.53, "100918", "100918"},
        {9999999999.4, "9999999999", "9999999999"},
        {1.7999999999999974e20, "1.8000e+20", "1.8e+20"},
        {0.0, "0", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_number(c.value, false), c.cell) << c.value;
        EXPECT_EQ(text_number(c.value, true), c.heading) << c.value;
    }
}

// The programs read and write doubles with fast_float and fmt, which
// libc++ and Emscripten also build: their bytes must be the standard
// library's, where it has them. Random bit patterns over the whole range,
// decimals of many digits, and the edges: the shortest form of each, the
// fixed and exponent forms at the precisions the text uses, and the
// reading, range included.
TEST(Table, NumbersAsTheStandardLibraryHasThem)
{
    std::mt19937_64 random(2026);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1e-5,
                                  1e5,
                                  123456789012.0,
                                  1e16,
                                  1e21,
                                  1e22,
                                  0.1,
                                  9.5,
                                  5e-324,
                                  2.2250738585072014e-308,
                                  DBL_MAX,
                                  1e-4,
                                  9999999999.5,
                                  0.30000000000000004};
    for (int i = 0; i < 3000; ++i) {
        double v = 0;
        const std::uint64_t bits = random();
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), -40 + i % 80));
    }
    char buf[2048];
    for (const double v : values) {
        ASSERT_EQ(csv_number(v), std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr));
        const int places = static_cast<int>(random() % 20);
        ASSERT_EQ(
            fmt::format("{:.{}f}", v, places),
            std::string(
                buf,
                std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, places).ptr));
        ASSERT_EQ(
            fmt::format("{:.4e}", v),
            std::string(
                buf,
                std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 4).ptr));
    }
    // Decimals of up to 25 digits with exponents from -400 to 400.
    for (int i = 0; i < 3000; ++i) {
        std::string text = std::to_string(random() % 1000000000) + "." + std::to_string(random()) +
                           "e" + std::to_string(static_cast<int>(random() % 801) - 400);
        double want = 0;
        double got = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), want);
        const Number read = parse_number(text, false, got);
        ASSERT_EQ(read, r.ec == std::errc() ? Number::ok : Number::out_of_range) << text;
        if (read == Number::ok) {
            ASSERT_EQ(got, want) << text;
        }
    }
}

TEST(Table, HelpVersionAndUnwritableOutput)
{
    const Outcome help = run_child("", exec_table({"--help"}));
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usage_text);
    EXPECT_EQ(run_child("", exec_table({"-V"})).out, "erlangb-table 1.0.0\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-n", "1..300", "-b", "1%"}, {"--help"}}) {
        const Outcome full = run_child("", exec_table(args, "/dev/full"));
        EXPECT_EQ(full.status, 1) << args[0];
        EXPECT_NE(full.err.find("erlangb-table: cannot write"), std::string::npos) << full.err;
    }
}

}  // namespace
