// SPDX-License-Identifier: MIT
// Planning files: the CSV rules and the bad files, column names, numbers
// in them, escaping, and erlangc and erlangb-table answering a file's rows
// exactly as they answer the same values given as options, with totals.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli.h"
#include "app/sheet.h"
#include "child.h"
#include "teletraffic/engset.h"
#include "teletraffic/retrial.h"

namespace {

// A file holding `text` in the tests' scratch folder: its path.
std::string sheet_file(const std::string& text)
{
    static int made = 0;
    const std::string path = testing::TempDir() + "sheet_" + std::to_string(getpid()) + "_" +
                             std::to_string(made++) + ".csv";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// What read_sheet makes of `text`: each row as "LINE:field|field" (a ";"
// after a semicolon file's), "/" between rows; or its error, the path as F.
std::string read(const std::string& text)
{
    const std::string path = sheet_file(text);
    std::string got, error;
    const auto take = [&](const Sheet& sheet, const std::vector<std::string>& fields,
                          std::string&) {
        got += (got.empty() ? "" : "/") + std::to_string(sheet.line) + ":";
        for (size_t i = 0; i < fields.size(); ++i) got += (i > 0 ? "|" : "") + fields[i];
        got += sheet.delimiter == ';' ? ";" : "";  // a tab file's show as they are
        return true;
    };
    if (read_sheet(path.c_str(), take, take, error))
        return error.empty() ? got : got + " !" + error.replace(0, path.size(), "F");
    return error.replace(0, path.size(), "F");
}

const struct {
    std::string text, read;
} files[] = {
    {"a,b\n1,2\n", "1:a|b/2:1|2"},
    {"a,b\r\n1,2\r\n3,4",  // CRLF; no line end at the end
     "1:a|b/2:1|2/3:3|4 !F:3: the last line ends without a line break: was the file cut short?"},
    {"sep=;\r\na,b;c\n1,5;2\n", "2:a,b|c;/3:1,5|2;"},
    {"a\tb\n1,5\t\"2\t3\"\n", "1:a|b/2:1,5|2\t3"},
    {"\xFF\xFE"
     "a",
     "F: UTF-16 text: save it as CSV UTF-8"},
    {"\xEF\xBB\xBF"
     "a,b\n1,2\n",
     "1:a|b/2:1|2"},
    {"a,b\n\"x,y\",\"say \"\"hi\"\"\"\n", "1:a|b/2:x,y|say \"hi\""},
    {"a,b\n\"two\r\nlines\",2\n3,4\n", "1:a|b/2:two\r\nlines|2/4:3|4"},
    {"a;b\n1,5;\"2;3\"\n", "1:a|b;/2:1,5|2;3;"},
    {"\"a;b\",c\n1,2\n", "1:a;b|c/2:1|2"},  // a semicolon in quotes is no delimiter
    {"a,b\n\n1,2\r\n\r\n", "1:a|b/3:1|2"},  // blank lines
    {"a,b\n 1 ,\t\n", "1:a|b/2: 1 |\t"},    // spaces belong to the field
    // Bad files.
    {"", "F: no header"},
    {"a,b\n\n", "F: no rows after the header"},
    {"a,b\n1,2,3\n", "F:2: 3 fields where the header has 2"},
    {"a,b\r\n1,2\r\n\"x\ny\"\r\n", "F:3: 1 field where the header has 2"},
    {"a,b\n1,2\"x\"\n", "F:2: not CSV: a quote inside a field, or after a quoted one"},
    {"a,b\n\"1\"x,2\n", "F:2: not CSV: a quote inside a field, or after a quoted one"},
    {"a,b\n1,\"2\n3,4\n", "F:2: not CSV: a quoted field is not closed"},
    {std::string("a,b\n1,2\n3,\0\n", 12), "F:3: not CSV: a NUL byte"},
};

TEST(Sheet, Files)
{
    for (const auto& f : files) EXPECT_EQ(read(f.text), f.read) << f.text;
    std::string error;
    const auto none = [](const Sheet&, const std::vector<std::string>&, std::string&) {
        return true;
    };
    EXPECT_FALSE(read_sheet("/nonexistent/f.csv", none, none, error));
    EXPECT_EQ(error, "/nonexistent/f.csv: cannot read: No such file or directory");
    EXPECT_FALSE(read_sheet("/", none, none, error));
    EXPECT_EQ(error, "/: cannot read: Is a directory");
    // Past the first 64 KiB read, a line is still a comma file's, whatever
    // it holds.
    long rows = 0;
    const auto count = [&rows](const Sheet&, const std::vector<std::string>& fields, std::string&) {
        return rows += fields.size() == 1;
    };
    std::string big = "a\n";
    while (big.size() < 65536) big += "1\n";
    EXPECT_TRUE(read_sheet(sheet_file(big + "x;y\n").c_str(), none, count, error)) << error;
    EXPECT_EQ(rows, 32768);
    // A callback's fault, with the file and line in front.
    const auto refuse = [](const Sheet&, const std::vector<std::string>& fields,
                           std::string& what) {
        return fields[0] != "x" || (what = "no x", false);
    };
    EXPECT_FALSE(read_sheet(sheet_file("a\nb\nx\ny\n").c_str(), none, refuse, error));
    EXPECT_EQ(error.substr(error.find(".csv")), ".csv:3: no x");
    EXPECT_FALSE(read_sheet(sheet_file("x\nb\n").c_str(), refuse, none, error));
    EXPECT_EQ(error.substr(error.find(".csv")), ".csv: no x");
}

TEST(Sheet, ColumnsAndNumbers)
{
    const std::vector<std::string> names = {"Date", " AHT ", "calls", "Calls", "agents"};
    EXPECT_EQ(find_column(names, "aht"), 1);
    EXPECT_EQ(find_column(names, "date"), 0);
    EXPECT_EQ(find_column(names, "calls"), -2);
    EXPECT_EQ(find_column(names, "load"), -1);
    EXPECT_EQ(find_column(names, "agent"), -1);
    Sheet commas, semicolons, tabs;
    semicolons.delimiter = ';';
    tabs.delimiter = '\t';
    const struct {
        const Sheet& sheet;
        const char* field;
        double value;  // NaN: refused
    } numbers[] = {
        {commas, " 12.5\t", 12.5}, {semicolons, "12,5", 12.5},  {semicolons, "12.5", 12.5},
        {commas, "12,5", NAN},     {semicolons, "1,2,5", NAN},  {semicolons, "1.2,5", NAN},
        {commas, "1 2", NAN},      {semicolons, "1,5%", 0.015}, {tabs, "12,5", 12.5},
    };
    for (const auto& n : numbers) {
        double v = 0;
        std::string error;
        EXPECT_EQ(sheet_value(n.sheet, n.field, blocking_domain, v, error) ||
                      sheet_value(n.sheet, n.field, load_domain, v, error),
                  !std::isnan(n.value))
            << n.field;
        if (!std::isnan(n.value)) {
            EXPECT_EQ(v, n.value) << n.field;
        }
    }
}

TEST(Sheet, Escaping)
{
    EXPECT_EQ(escaped("a\tb\nc\rd"), "a\\tb\\nc\\rd");
    EXPECT_EQ(escaped("\x1b[31m\x7f"), "\\x1b[31m\\x7f");
    EXPECT_EQ(escaped("\xc2\x9b"
                      "2J \xc2\xa0 Z\xc3\xbcrich"),
              "\\xc2\\x9b2J \xc2\xa0 Z\xc3\xbcrich");
    EXPECT_EQ(escaped(std::string("\0\x01", 2)), "\\x00\\x01");
    EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
    EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csv_field("plain text"), "plain text");
    EXPECT_EQ(csv_field("a;b", ';'), "\"a;b\"");
    const char* const cells[][2] = {
        {"=1+2", "'=1+2"}, {"@SUM(A1)", "'@SUM(A1)"}, {"-", "'-"},  {"+1-2", "'+1-2"},
        {"\tx", "'\tx"},   {"-2.5e3", "-2.5e3"},      {"+3", "+3"}, {"a=b", "a=b"},
        {"", ""},          {"=a,b", "\"'=a,b\""},
    };
    for (const auto& c : cells) EXPECT_EQ(csv_cell(c[0], ','), c[1]) << c[0];
}

// ---- The programs ------------------------------------------------------------

// The lines of a program's standard output.
std::vector<std::string> lines(const std::string& out)
{
    std::vector<std::string> all;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

// The CSV output of a program run with `args`.
std::vector<std::string> csv_of(const char* program, std::vector<std::string> args)
{
    args.push_back("--csv");
    return lines(run_child("", exec_with(program, std::move(args))).out);
}

// A forecast with the handling time changing through the day: each row's
// figures are those erlangc gives for its calls and handling time as
// options, and the totals are their sums, weighted by the calls.
TEST(Sheet, ForecastRowsAreTheOptionsAnswers)
{
    const std::string forecast = sheet_file(
        "start,calls,AHT,note\n08:00,40,180,\"quiet, early\"\n08:30,95,200,\n09:00,160,240,peak\n");
    const std::vector<std::string> targets = {"-i", "1800", "-s",          "80%",
                                              "-w", "20",   "--shrinkage", "30%"};
    std::vector<std::string> args = {"-f", forecast, "--totals"};
    args.insert(args.end(), targets.begin(), targets.end());
    const auto got = csv_of(ERLANGC_PROGRAM, args);
    ASSERT_EQ(got.size(), 5U);
    EXPECT_EQ(got[0],
              "start,note,load,agents,wait_probability,service_level,mean_wait,occupancy,staff");
    const char* calls[] = {"40", "95", "160"};
    const char* aht[] = {"180", "200", "240"};
    const char* carried[] = {"08:00,\"quiet, early\",", "08:30,,", "09:00,peak,"};
    double sums[7] = {};  // calls, agents, staff, the weighted service, waiting, mean wait, busy
    for (int r = 0; r < 3; ++r) {
        std::vector<std::string> one = {"-c", calls[r], "-t", aht[r]};
        one.insert(one.end(), targets.begin(), targets.end());
        const std::string row = csv_of(ERLANGC_PROGRAM, one).at(1);
        EXPECT_EQ(got[static_cast<size_t>(r) + 1], carried[r] + row);
        double f[7];  // load, agents, waiting, service, mean wait, occupancy, staff
        std::istringstream fields(row);
        for (double& v : f) fields >> v, fields.ignore();
        const double c = std::atof(calls[r]);
        const double more[7] = {c, f[1], f[6], c * f[3], c * f[2], c * f[4], f[5] * f[1]};
        for (int k = 0; k < 7; ++k) sums[k] += more[k];
    }
    double total[8];  // agent hours, waiting, service, mean wait, occupancy, staff hours
    std::istringstream fields(got[4].substr(8));
    for (double& v : total) fields >> v, fields.ignore();
    EXPECT_EQ(got[4].substr(0, 8), "total,,,");
    EXPECT_DOUBLE_EQ(total[0], sums[1] / 2);
    EXPECT_DOUBLE_EQ(total[1], sums[4] / sums[0]);
    EXPECT_DOUBLE_EQ(total[2], sums[3] / sums[0]);
    EXPECT_DOUBLE_EQ(total[3], sums[5] / sums[0]);
    EXPECT_DOUBLE_EQ(total[4], sums[6] / sums[1]);  // the occupancy over the agents
    EXPECT_DOUBLE_EQ(total[5], sums[2] / 2);
    // The text ends with the same totals.
    const auto text = lines(run_child("", exec_with(ERLANGC_PROGRAM, args)).out);
    EXPECT_EQ(text.at(text.size() - 2), "# totals: 295 calls, " + text_number(sums[1] / 2, true) +
                                            " agent hours, " + text_number(sums[2] / 2, true) +
                                            " staff hours");
    EXPECT_EQ(
        text.back().find("# over all calls: waiting " + text_number(sums[4] / sums[0], true) +
                         ", service " + text_number(sums[3] / sums[0], true) + ", mean wait "),
        0U);
}

// Each kind of row against the options that ask the same.
// clang-format off
const struct {
    const char* program;
    std::string text;                    // the file
    std::vector<std::string> file_args;  // beside --file
    std::vector<std::string> row_args;   // the same question for its second row
} same_answers[] = {
    {ERLANGC_PROGRAM, "calls,aht,agents\n10,180,3\n100,180,14\n", {"-i", "1800", "-w", "20"},
     {"-c", "100", "-t", "180", "-i", "1800", "-n", "14", "-w", "20"}},
    {ERLANGC_PROGRAM, "load\n1\n12.5\n", {"--wait-probability", "20%", "--fractional"},
     {"-a", "12.5", "--wait-probability", "20%", "--fractional"}},
    {ERLANGC_PROGRAM, "calls;aht;patience\n10;180;60\n100;180,5;120\n",
     {"-i", "1800", "--max-abandoned", "5%"},
     {"-c", "100", "-t", "180.5", "-i", "1800", "--patience", "120", "--max-abandoned", "5%"}},
    {ERLANGC_PROGRAM, "patience,load,aht\n60,5,180\n120,10,180\n", {"--max-abandoned", "5%"},
     {"-a", "10", "-t", "180", "--patience", "120", "--max-abandoned", "5%"}},
    // Erlang X's rows, each with its lines and redials.
    {ERLANGC_PROGRAM, "load,aht,patience,lines,redial\n5,180,60,8,0\n10,180,120,16,0.5\n",
     {"-s", "80%", "-w", "20"},
     {"-a", "10", "-t", "180", "--patience", "120", "--lines", "16", "--redial", "0.5", "-s",
      "80%", "-w", "20"}},
    {ERLANGC_PROGRAM, "load,lines,agents\n5,8,6\n10,16,12\n", {"--redial", "0.3"},
     {"-a", "10", "--lines", "16", "-n", "12", "--redial", "0.3"}},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n12.5,0.5%\n", {}, {"-a", "12.5", "-b", "0.5%"}},
    {ERLANGB_TABLE_PROGRAM, "circuits,blocking\n5,1%\n12.5,0.5%\n", {},
     {"-n", "12.5", "-b", "0.5%"}},
    {ERLANGB_TABLE_PROGRAM, "calls,circuits\n1,5\n300,12.5\n", {"-t", "120", "-i", "900"},
     {"-n", "12.5", "-c", "300", "-t", "120", "-i", "900"}},
    // A row's model is its own: none where its field is blank.
    {ERLANGB_TABLE_PROGRAM, "sources,load,blocking\n ,6,1%\n30,6,1%\n", {},
     {"--sources", "30", "-a", "6", "-b", "1%"}},
    {ERLANGB_TABLE_PROGRAM, "circuits,sources,blocking\n12,,1%\n12,30,1%\n", {},
     {"--sources", "30", "-n", "12", "-b", "1%"}},
    {ERLANGB_TABLE_PROGRAM, "recall,circuits,load\n,20,15\n60%,20,15\n", {},
     {"--recall", "60%", "-n", "20", "-a", "15"}},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n15,1%\n", {"--held", "--fractional"},
     {"--held", "-a", "15", "-b", "1%", "--fractional"}},
};
// clang-format on

TEST(Sheet, RowsAreTheOptionsAnswers)
{
    for (const auto& c : same_answers) {
        std::vector<std::string> args = {"-f", sheet_file(c.text)};
        args.insert(args.end(), c.file_args.begin(), c.file_args.end());
        const auto got = csv_of(c.program, args);
        auto want = csv_of(c.program, c.row_args);
        // A semicolon file's answers come back with semicolons and decimal commas.
        for (std::string& line : want)
            if (c.text.find(';') != std::string::npos) localize_csv(line, 0, ';');
        ASSERT_EQ(got.size(), 3U) << c.text;
        EXPECT_EQ(got[0], want.at(0)) << c.text;
        EXPECT_EQ(got[2], want.at(1)) << c.text;
    }
    // A file's own lines and redials, as its text names them.
    const auto text = lines(
        run_child(
            "", exec_with(ERLANGC_PROGRAM,
                          {"-f", sheet_file("load,aht,patience,lines,redial\n10,180,120,16,0.5\n"),
                           "-s", "80%", "-w", "20"}))
            .out);
    EXPECT_EQ(text.at(1),
              "# Erlang X: each row's lines; callers hang up after waiting, on average, "
              "the row's patience; each row's share of blocked and abandoning callers "
              "call again, the loads being fresh calls");
}

// The route list's totals, text and CSV: circuits, load, and what the whole
// circuits needed lose.
TEST(Sheet, RouteTotals)
{
    const std::string routes =
        sheet_file("route,load,blocking\nAachen-Bonn,5,1%\n-B-C,12.5,0.5%\n");
    const auto csv = csv_of(ERLANGB_TABLE_PROGRAM, {"-f", routes, "--totals"});
    const double lost = 5 * erlangb(11, 5) + 12.5 * erlangb(22, 12.5);
    EXPECT_EQ(csv.at(2), "'-B-C,12.5,0.005,22");  // no formula for a spreadsheet
    EXPECT_EQ(csv.at(3), "total,17.5," + csv_number(lost / 17.5) + ",33");
    // A tab file's CSV is a comma file, carried columns and all; a semicolon
    // file's comes back with semicolons and decimal commas.
    EXPECT_EQ(
        csv_of(ERLANGB_TABLE_PROGRAM, {"-f", sheet_file("r\tload\tblocking\nA\t5\t1%\n")}).at(1),
        "A,5,0.01,11");
    const auto semicolons = csv_of(
        ERLANGB_TABLE_PROGRAM, {"-f", sheet_file("r;load;blocking\nA;12,5;0,5%\n"), "--totals"});
    EXPECT_EQ(semicolons.at(1), "A;12,5;0,005;22");
    std::string share = csv_number(erlangb(22, 12.5));
    share[share.find('.')] = ',';
    EXPECT_EQ(semicolons.at(2), "total;12,5;" + share + ";22");
    // With no column carried, "total" stands where the first total would.
    EXPECT_EQ(csv_of(ERLANGB_TABLE_PROGRAM, {"-f", sheet_file("load,blocking\n5,1%\n"), "--totals"})
                  .at(2),
              "total," + csv_number(erlangb(11, 5)) + ",11");
    // A retried route loses its fresh traffic finally lost; an Engset
    // route, the call attempts its whole circuits block.
    const auto models = csv_of(
        ERLANGB_TABLE_PROGRAM,
        {"-f", sheet_file("sources,recall,load,blocking\n30,,6,1%\n,0.6,15,1%\n"), "--totals"});
    const double engset_lost = 6 * engset_call_congestion(12, 30, engset_beta(12, 30, 6));
    const double retrial_lost = 15 * extended_erlangb_lost(24, 15, 0.6);
    EXPECT_EQ(models.at(3), "total," + csv_number((engset_lost + retrial_lost) / 21) + ",36,,,,,,");
    const auto text = lines(run_child("", exec_table({"-f", routes})).out);
    EXPECT_EQ(text.at(1), "#     route        load    blocking    circuits");
    EXPECT_EQ(text.at(2), "Aachen-Bonn           5    0.010000          11");
    EXPECT_EQ(text.at(3), "       -B-C        12.5   0.0050000          22");
    EXPECT_EQ(text.at(4), "# totals: 33 circuits, 17.5 erlang offered, " + text_number(lost, true) +
                              " erlang lost, blocking " + text_number(lost / 17.5, true));
    const auto piped = lines(run_child("load,blocking\n5,1%\n", exec_table({"-f", "-"})).out);
    EXPECT_EQ(piped.at(0), "# circuits needed for each row of standard input");
    const auto staffed = lines(
        run_child("load\n5\n", exec_with(ERLANGC_PROGRAM, {"-f", "-", "--max-occupancy", "0.5"}))
            .out);
    EXPECT_EQ(staffed.at(0),
              "# agents needed for each row of standard input for occupancy at most 0.5");
    // A long field overflows its column; the other rows keep theirs.
    const auto wide = lines(
        run_child("", exec_table({"-f", sheet_file("r,load,blocking\n" + std::string(100, 'x') +
                                                   ",5,1%\nB,5,1%\n")}))
            .out);
    EXPECT_EQ(wide.at(3).size(), 40 + 3 * 12U);
    // A last line without a line break is answered, with a warning.
    const std::string cut = sheet_file("load,blocking\n5,1%");
    const Outcome warned = run_child("", exec_table({"-f", cut}));
    EXPECT_EQ(warned.status, 0);
    EXPECT_EQ(warned.err, "erlangb-table: " + cut +
                              ":2: the last line ends without a line break: was the file cut "
                              "short?\n");
    const Outcome full = run_child("", exec_table({"-f", routes}, "/dev/full"));
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "erlangb-table: cannot write the table: No space left on device\n");
}

// clang-format off
const struct {
    const char* program;
    std::string text;
    std::vector<std::string> args;
    std::string says;
} refusals[] = {
    {ERLANGC_PROGRAM, "calls,aht\n1,180\n", {"-a", "10"}, "--file gives the loads and agents"},
    {ERLANGC_PROGRAM, "", {"-a", "10", "--asa", "20", "-t", "180", "--totals"},
     "--totals goes with --file"},
    {ERLANGB_TABLE_PROGRAM, "", {"-n", "10", "-a", "5", "--totals"}, "--totals goes with --file"},
    {ERLANGC_PROGRAM, "date,aht\n1,180\n", {"-s", "80%", "-w", "20"},
     "no column calls or load (the header has date, aht)"},
    {ERLANGC_PROGRAM, std::string(50, 'd') + ",aht\n1,180\n", {"-s", "80%", "-w", "20"},
     "(the header has " + std::string(40, 'd') + "..., aht)"},
    {ERLANGC_PROGRAM, "calls,load,aht\n1,2,180\n", {"-s", "80%", "-w", "20"},
     "the columns calls and load both give the load"},
    {ERLANGC_PROGRAM, "calls,aht,Aht\n1,2,180\n", {"-s", "80%", "-w", "20"},
     "two columns are named aht (the header has calls, aht, Aht)"},
    {ERLANGC_PROGRAM, "calls,aht\n1,180\n", {"-t", "180", "-s", "80%", "-w", "20"},
     "--holding and the column aht both give the handling time"},
    {ERLANGC_PROGRAM, "calls,aht,patience\n1,180,60\n",
     {"--patience", "60", "-s", "80%", "-w", "20"},
     "--patience and the column patience both give the patience"},
    {ERLANGC_PROGRAM, "calls\n10\n", {"--wait-probability", "20%"},
     "they need a column aht or --holding"},
    {ERLANGC_PROGRAM, "load\n10\n", {"--max-abandoned", "5%"},
     "--max-abandoned needs --patience or a column patience"},
    {ERLANGC_PROGRAM, "load,agents\n10,12\n", {"--wait-probability", "20%"},
     "the column agents asks the figures of the agents: not with targets"},
    {ERLANGC_PROGRAM, "load\n10\n", {}, "give a question: a target"},
    {ERLANGC_PROGRAM, "start,calls,aht\n1,10,180\n2,20,abc\n", {"-s", "80%", "-w", "20"},
     ".csv:3: aht: 'abc' is no number"},
    {ERLANGC_PROGRAM, "calls,aht\n1e300,1e10\n", {"-s", "80%", "-w", "20"},
     ".csv:2: calls: a load of 2.777777777777778e+306 erlang is outside the domain"},
    {ERLANGC_PROGRAM, "load,aht\n10,1e-300\n", {"--asa", "1e300"},
     ".csv:2: aht: a time in seconds is out of range in holding times"},
    {ERLANGC_PROGRAM, "load\n4e6\n", {"--max-occupancy", "1e-9"},
     ".csv:2: no agents meet the targets at a load of 4000000 erlang"},
    {ERLANGC_PROGRAM, "load,x\n10\n", {"--max-occupancy", "0.5"},
     ".csv:2: 1 field where the header"},
    {ERLANGC_PROGRAM, "load,lines\n10,16\n", {"--lines", "16", "--wait-probability", "20%"},
     "--lines and the column lines both give the lines"},
    {ERLANGC_PROGRAM, "load,redial\n10,0.3\n", {"--redial", "0.3", "--wait-probability", "20%"},
     "--redial and the column redial both give the redial share"},
    {ERLANGC_PROGRAM, "load,redial\n10,0.3\n", {"--wait-probability", "20%"},
     "redials need lines or a patience"},
    {ERLANGC_PROGRAM, "load\n10\n", {"--max-blocked", "1%"}, "--max-blocked needs --lines or"},
    {ERLANGC_PROGRAM, "redial,load,aht,patience\n0.3,10,180,60\n",
     {"--wait-probability", "20%", "--fractional"},
     "--fractional goes with Erlang C and A: not with a column lines or redial"},
    {ERLANGC_PROGRAM, "load,lines\n10,16.5\n", {"--wait-probability", "20%"},
     ".csv:2: lines: the calls a centre holds are a whole number"},
    {ERLANGC_PROGRAM, "load,lines,agents\n10,16,17\n", {},
     ".csv:2: agents: Erlang X's agents are whole, and at most the lines"},
    {ERLANGC_PROGRAM, "load,aht,lines\n10,180,11\n", {"-s", "99%", "-w", "5"},
     ".csv:2: no agents meet the targets at a load of 10 erlang: none up to the 11 lines does"},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n", {"-n", "10"}, "--file gives the rows"},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n", {"-i", "900"},
     "--interval goes with --holding"},
    {ERLANGB_TABLE_PROGRAM, "circuits,load,blocking\n5,1,1%\n", {}, "give two of the columns"},
    {ERLANGB_TABLE_PROGRAM, "calls,load\n5,1\n", {}, "the columns calls and load both give"},
    {ERLANGB_TABLE_PROGRAM, "calls,blocking\n5,1%\n", {}, "the column calls needs --holding"},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n", {"-t", "100"}, "--holding goes with a column"},
    {ERLANGB_TABLE_PROGRAM, "circuits,load\n5,1\n", {"--fractional"}, "--fractional goes with"},
    {ERLANGB_TABLE_PROGRAM, "circuits,Circuits,load\n5,1,2\n", {},
     "two columns are named circuits"},
    {ERLANGB_TABLE_PROGRAM, "circuits,calls\n5,1e300\n", {"-t", "1e10"}, "calls: a load of"},
    {ERLANGB_TABLE_PROGRAM, "circuits,blocking\n0,1%\n", {}, ".csv:2: circuits: '0' is outside"},
    {ERLANGB_TABLE_PROGRAM, "load,blocking\n5,1%\n", {"--recall", "0.5"},
     "--file gives each row's model in its columns sources and recall"},
    {ERLANGB_TABLE_PROGRAM, "sources,load,blocking\n30,6,1%\n", {"--held"},
     "--held goes with neither a column sources nor a column recall"},
    {ERLANGB_TABLE_PROGRAM, "sources,load,blocking\n30,6,1%\n", {"--fractional"},
     "--fractional does not go with a column sources"},
    {ERLANGB_TABLE_PROGRAM, "sources,recall,load,blocking\n30,0.5,6,1%\n", {},
     ".csv:2: sources and recall both given"},
    {ERLANGB_TABLE_PROGRAM, "sources,load,blocking\n2.5,6,1%\n", {},
     ".csv:2: sources: '2.5' is no whole number"},
    {ERLANGB_TABLE_PROGRAM, "sources,circuits,load\n30,2.5,6\n", {},
     ".csv:2: circuits: 2.5 is no whole number"},
    {ERLANGB_TABLE_PROGRAM, "recall,load,blocking\n2,6,1%\n", {}, ".csv:2: recall: '2' is outside"},
    // Control characters in messages, from a file or from the command line.
    {ERLANGB_TABLE_PROGRAM, "circuits,blocking\n5,\x1b[2J\n", {}, "blocking: '\\x1b[2J' is no"},
    {ERLANGC_PROGRAM, "", {"-a", "1\t\x1b]0;x\x07"}, "--load '1\\t\\x1b]0;x\\x07': '1\\t"},
};
// clang-format on

TEST(Sheet, Refusals)
{
    for (const auto& r : refusals) {
        std::vector<std::string> args = r.args;
        if (!r.text.empty()) args.insert(args.begin(), {"-f", sheet_file(r.text)});
        const std::string name =
            r.program == std::string(ERLANGC_PROGRAM) ? "erlangc" : "erlangb-table";
        EXPECT_TRUE(refused(run_child("", exec_with(r.program, args)), name, r.says)) << r.text;
    }
}

}  // namespace
