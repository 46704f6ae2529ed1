// SPDX-License-Identifier: MIT
// erlangb-overflow's own part. The contracts are in overflow.h.
#include "app/overflow.h"

#include <getopt.h>

#include <array>
#include <cmath>
#include <string_view>

#include "app/columns.h"
#include "app/programs.h"
#include "teletraffic/erlangb.h"

namespace {

// A single positive number, so named in errors.
Domain positive(const char* name, const char* text)
{
    return {0, HUGE_VAL, false, false, false, name, text};
}

// Parses a list of groups N:A, comma-separated, into the sum of their
// overflows; false with `error` set.
bool parse_groups(const char* text, Traffic& sum, std::string& error)
{
    std::string_view rest(text);
    for (;;) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        if (item.empty()) return error = "an empty item", false;
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon + 1 == item.size() ||
            item.find(':', colon + 1) != std::string_view::npos)
            return error = quoted(item) + " is no group N:A (circuits:load)", false;
        double n = 0;
        double A = 0;
        if (!parse_value(item.substr(0, colon), circuits_domain, n, error) ||
            !parse_value(item.substr(colon + 1), load_domain, A, error))
            return false;
        const Traffic t = erlangb_overflow(n, A);
        sum.mean += t.mean, sum.variance += t.variance;
        if (comma == std::string_view::npos) return true;
        rest.remove_prefix(comma + 1);
    }
}

// The blocking targets the final group is sized for.
const Domain target_domain = {overflow_min_target,
                              1,
                              true,
                              false,
                              true,
                              nullptr,
                              "a blocking target is at least 1e-290 and below 1 (100%)"};

// The traffic's peakedness; no traffic at all is taken as Poisson's, 1.
double peakedness(const Traffic& t) { return t.mean == 0 ? 1.0 : t.variance / t.mean; }

// Whether the method solves an equivalent random group.
bool has_group(OverflowMethod method) { return method != OverflowMethod::hayward; }

// Why the method cannot take the traffic, or "" when it can.
std::string traffic_error(const Traffic& t, OverflowMethod method)
{
    const double Z = peakedness(t);
    const std::string described =
        "(mean " + csv_number(t.mean) + " erlang, peakedness " + csv_number(Z) + ")";
    if (!has_group(method)) {
        if (!std::isnan(erlangb_overflow_blocking(t, 1, method))) return "";
        return "the traffic " + described +
               " is outside Hayward's domain: a mean above 0, a peakedness above 0 and at "
               "most 50, the mean at most 5000000 times the peakedness";
    }
    if (Z < 1)
        return "the traffic " + described +
               " is smooth (peakedness below 1) and has no equivalent random group; use "
               "--method hayward";
    if (!std::isnan(erlangb_rapp(t).load)) return "";
    return "the traffic " + described +
           " is outside the equivalent random method's domain: a mean of 0.001 to 10000 "
           "erlang, a peakedness of 1 to 50; use --method hayward";
}

}  // namespace

const char* const overflow_usage =
    "Usage: erlangb-overflow [OPTION]...\n"
    "Blocking and size of a final group offered overflow traffic: the calls that\n"
    "first-choice groups turn away, peaked (variance above the mean), with Poisson\n"
    "traffic beside it if any.\n"
    "\n"
    "The traffic, from the groups it overflows from:\n"
    "  -g, --group LIST         first-choice groups N:A, N circuits (real allowed)\n"
    "                           offered A erlangs, e.g. 10:8,20:25\n"
    "  -p, --poisson A          Poisson traffic in erlangs offered to the final group\n"
    "or as measured:\n"
    "  -m, --mean M             the traffic's mean in erlangs\n"
    "  -v, --variance V         its variance, or\n"
    "  -z, --peakedness Z       its peakedness, variance / mean\n"
    "\n"
    "The question (neither: the traffic and its equivalent group described):\n"
    "  -n, --circuits LIST      final-group circuits: the blocking of each and the\n"
    "                           traffic it loses in erlangs\n"
    "  -b, --blocking LIST      blocking targets, 0.01 or 1%: the circuits each needs\n"
    "      --fractional         with --blocking: the real number of circuits\n"
    "\n"
    "      --method METHOD      equivalent-random (Wilkinson's, solved exactly; the\n"
    "                           default), rapp (Rapp's approximation of it) or\n"
    "                           hayward (circuits and load divided by the peakedness;\n"
    "                           smooth traffic too)\n"
    "      --csv                comma-separated values, exact numbers\n"
    "  -h, --help               show this help and exit\n"
    "  -V, --version            show the version and exit\n"
    "\n"
    "LIST is comma-separated items: a number, or a range FIRST..LAST or\n"
    "FIRST..LAST..STEP (STEP default 1). Numbers are decimal, with an optional\n"
    "exponent (1e-3). The equivalent random method takes a mean of 0.001 to 10000\n"
    "erlangs and a peakedness of 1 to 50.\n"
    "\n"
    "Examples:\n"
    "  erlangb-overflow -g 10:8,20:25 -n 5,10,15\n"
    "      the overflow of two groups offered to final groups of 5, 10 and 15 circuits\n"
    "  erlangb-overflow -m 7.97 -z 2.31 -b 1% --method hayward\n"
    "      the circuits for 1 % blocking of measured traffic, by Hayward's method\n"
    "\n"
    "Exit status: 0 when the output was written, 1 when it could not be written,\n"
    "2 for bad usage.\n";

namespace {

// The options without a letter, after the characters.
enum { csv_option = 256, fractional_option, method_option };
const option options[] = {
    {"group", required_argument, nullptr, 'g'},
    {"poisson", required_argument, nullptr, 'p'},
    {"mean", required_argument, nullptr, 'm'},
    {"variance", required_argument, nullptr, 'v'},
    {"peakedness", required_argument, nullptr, 'z'},
    {"circuits", required_argument, nullptr, 'n'},
    {"blocking", required_argument, nullptr, 'b'},
    {"method", required_argument, nullptr, method_option},
    {"fractional", no_argument, nullptr, fractional_option},
    {"csv", no_argument, nullptr, csv_option},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The method --method names; false for any other name.
bool method_named(std::string_view m, OverflowMethod& method)
{
    method = m == "rapp"      ? OverflowMethod::rapp
             : m == "hayward" ? OverflowMethod::hayward
                              : OverflowMethod::equivalent_random;
    return m == "equivalent-random" || m == "rapp" || m == "hayward";
}

// What is wrong with the options `seen` together (in the order group,
// poisson, mean, variance, peakedness, circuits, blocking) and
// --fractional, the first fault found; empty where nothing is.
std::string combination_error(const bool* seen, bool fractional)
{
    if (seen[2] && (seen[0] || seen[1]))
        return "--mean gives the traffic as measured: not with --group or --poisson";
    if (seen[2] && seen[3] == seen[4])
        return seen[3] ? "--variance and --peakedness both give the variance"
                       : "--mean needs --variance or --peakedness";
    if (!seen[2] && (seen[3] || seen[4]))
        return std::string(seen[3] ? "--variance" : "--peakedness") + " needs --mean";
    if (!seen[0] && !seen[1] && !seen[2])
        return "give the traffic: --group or --poisson, or --mean with --variance or "
               "--peakedness";
    if (seen[5] && seen[6]) return "--circuits and --blocking ask two questions: give one";
    if (fractional && !seen[6]) return "--fractional goes with --blocking";
    return "";
}

}  // namespace

Action parse_command_line(int argc, char* argv[], OverflowRequest& request, std::string& error)
{
    const Domain singles[] = {
        {0, erlangb_max_load, false, true, false, "Poisson load", load_domain.text},
        positive("mean", "a mean is above 0 erlang"),
        positive("variance", "a variance is above 0"),
        positive("peakedness", "a peakedness is above 0"),
    };
    bool seen[8] = {};
    double value[4] = {};  // poisson, mean, variance, peakedness
    Traffic groups{0, 0};
    request = OverflowRequest{{0, 0}, OverflowMethod::equivalent_random, {}, {}, false, false};
    const auto take = [&](int i, const char* text, std::string& what) {
        seen[i] = true;
        List list;
        if (i == 0) return parse_groups(text, groups, what);
        if (i == 5 || i == 6)
            return parse_list(text, i == 5 ? circuits_domain : target_domain,
                              i == 5 ? request.circuits : request.targets, what);
        if (i == 7)
            return what = "a method is equivalent-random, rapp or hayward",
                   method_named(text, request.method);
        if (!parse_list(text, singles[i - 1], list, what)) return false;
        value[i - 1] = list_value(list, 0);
        return true;
    };
    const Action action = scan_options(argc, argv, ":g:p:m:v:z:n:b:hV", options, take, request.csv,
                                       request.fractional, error);
    if (action != Action::table) return action;
    error = combination_error(seen, request.fractional);
    if (!error.empty()) return Action::bad_usage;
    request.traffic = seen[2] ? Traffic{value[1], seen[3] ? value[2] : value[1] * value[3]}
                              : Traffic{groups.mean + value[0], groups.variance + value[0]};
    error = traffic_error(request.traffic, request.method);
    return error.empty() ? Action::table : Action::bad_usage;
}

namespace {

// The features of a request that show erlangb-overflow's columns.
enum Feature : unsigned {
    by_circuits = 1,    // rows of final-group circuits: their blocking and lost traffic
    by_targets = 2,     // rows of blocking targets: the circuits each needs
    whole = 4,          // ... whole circuits
    fractional = 8,     // ... real circuits
    traffic_only = 16,  // no rows: the traffic and its equivalent group, in CSV
};

// erlangb-overflow's columns, in the order row_values gives their values.
const Column columns[] = {
    {"circuits", "circuits", cell_width, Format::count_key, by_circuits, by_circuits, nullptr},
    {"blocking", "blocking", cell_width, Format::value, by_circuits, by_circuits, nullptr},
    {"lost", "lost", cell_width, Format::value, by_circuits, by_circuits, nullptr},
    {"blocking", "blocking", cell_width, Format::key, by_targets, by_targets, nullptr},
    {"circuits", "circuits", cell_width, Format::count, by_targets | whole, by_targets | whole,
     nullptr},
    {"circuits", "circuits", cell_width, Format::value, by_targets | fractional,
     by_targets | fractional, nullptr},
    {"mean", "mean", cell_width, Format::value, traffic_only, traffic_only, nullptr},
    {"variance", "variance", cell_width, Format::value, traffic_only, traffic_only, nullptr},
    {"peakedness", "peakedness", cell_width, Format::value, traffic_only, traffic_only, nullptr},
    {"equivalent_load", "equivalent load", cell_width, Format::figure, traffic_only, traffic_only,
     nullptr},
    {"equivalent_circuits", "equivalent circuits", cell_width, Format::figure, traffic_only,
     traffic_only, nullptr},
};
using Row = std::array<double, sizeof columns / sizeof *columns>;

// The row of a final group of c circuits (blocking B), of a target t (the
// circuits n it needs), or of the traffic alone (its equivalent group g).
Row circuits_row(double c, double B, double mean)
{
    const double nan = std::nan("");
    return {c, B, B * mean, nan, nan, nan, nan, nan, nan, nan, nan};
}
Row target_row(double t, double n)
{
    const double nan = std::nan("");
    return {nan, nan, nan, t, n, n, nan, nan, nan, nan, nan};
}
Row traffic_row(const Traffic& t, const EquivalentRandom& g, bool group)
{
    const double nan = std::nan("");
    return {nan,
            nan,
            nan,
            nan,
            nan,
            nan,
            t.mean,
            t.variance,
            peakedness(t),
            group ? g.load : nan,
            group ? g.circuits : nan};
}

// The "#" lines above a text table: the traffic, its group, and what the
// rows answer.
std::string title_of(const OverflowRequest& request, const EquivalentRandom& g, bool group)
{
    const Traffic& t = request.traffic;
    const auto number = [](double v) { return text_number(v, false); };
    std::string head = "# offered traffic: mean " + number(t.mean) + " erlang, variance " +
                       number(t.variance) + ", peakedness " + number(peakedness(t)) + "\n";
    if (group) {
        head += request.method == OverflowMethod::rapp ? "# Rapp's equivalent random group: "
                                                       : "# equivalent random group: ";
        head += number(g.load) + " erlang offered to " + number(g.circuits) + " circuits\n";
    } else {
        head += "# Hayward: circuits and load divided by the peakedness " + number(g.load) + "\n";
    }
    if (!request.circuits.empty())
        return head + "# final group: the blocking, and the traffic lost in erlang\n";
    if (request.targets.empty()) return head;
    return head + (request.fractional
                       ? "# final group: the real number of circuits at each blocking\n"
                       : "# final group: the circuits each blocking needs\n");
}

}  // namespace

bool write_overflow(const OverflowRequest& request, std::FILE* out, std::FILE* progress)
{
    const Traffic& t = request.traffic;
    const bool group = has_group(request.method);
    const EquivalentRandom g = request.method == OverflowMethod::rapp ? erlangb_rapp(t)
                               : group                                ? erlangb_equivalent_random(t)
                                       : EquivalentRandom{peakedness(t), 0.0};
    const bool by_c = !request.circuits.empty();
    const List& rows = by_c ? request.circuits : request.targets;
    const unsigned features = by_c                 ? by_circuits
                              : rows.empty()       ? traffic_only
                              : request.fractional ? by_targets | fractional
                                                   : by_targets | whole;
    const Layout layout{columns, sizeof columns / sizeof *columns, features, request.csv, nullptr,
                        {}};
    std::string head = request.csv ? "" : title_of(request, g, group);
    if (request.csv || !rows.empty()) append_header(head, layout);
    if (request.csv && rows.empty()) append_row(head, layout, 0, traffic_row(t, g, group).data());

    ListCursor cursor{&rows};
    const auto make = [&](long i, long j, std::string& line) {
        if (i == -1 || j != -1) {
            if (i == -1 && j == -1) line += head;
            return;
        }
        const double v = next_value(cursor);
        if (by_c) {
            const double B = group ? erlangb_group_blocking(t, g, v)
                                   : erlangb_overflow_blocking(t, v, request.method);
            return append_row(line, layout, i, circuits_row(v, B, t.mean).data());
        }
        const double n = request.fractional
                             ? erlangb_overflow_fractional_circuits(t, v, request.method)
                             : erlangb_overflow_circuits(t, v, request.method);
        append_row(line, layout, i, target_row(v, n).data());
    };
    return write_rows(out, list_size(rows), 0, make, overflow_program, progress, 1.0);
}

int run_overflow(int argc, char* argv[], std::FILE* out, std::FILE* err)
{
    return run_program(overflow_program, overflow_usage, "the output", parse_command_line,
                       write_overflow, argc, argv, out, err);
}
