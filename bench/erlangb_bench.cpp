// SPDX-License-Identifier: MIT
// The cost of the formula and the calculator's arithmetic as the circuits grow, of the two sizing
// solvers as the load grows, of the table program's tables, of the equivalent random group, of
// Erlang C and Erlang A staffing, and of the scanners on typical answer lines.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/erlangc.h"
#include "app/log_terms.h"
#include "app/table.h"
#include "teletraffic/engset.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/erlangx.h"
#include "teletraffic/overflow.h"
#include "teletraffic/poisson.h"
#include "teletraffic/retrial.h"
#include "vizaza.h"

namespace {

// The calculator's own arithmetic, one log and one exp a circuit.
void calculator_arithmetic(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_log_terms(n, n));
    state.SetComplexityN(n);
}
BENCHMARK(calculator_arithmetic)->RangeMultiplier(2)->Range(1, 512)->Complexity(benchmark::oN);

// The formula beside the continuous function at 20 to a million circuits:
// with the load equal to the circuits (x near A, the hardest case, in the
// uniform expansion from 5000 circuits on), at four fifths of them (the
// power series) and at three tenths (B tiny, its deviance carried in
// pairs). The formula is the continuous function at whole x: the two rows
// of a point cost the same.
void continuous(benchmark::State& state)
{
    const auto x = static_cast<double>(state.range(0));
    const double A = x * static_cast<double>(state.range(1)) / 100;
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_continuous(x, A));
}
void formula_at(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const double A = n * static_cast<double>(state.range(1)) / 100;
    for (auto _ : state) benchmark::DoNotOptimize(erlangb(n, A));
}
BENCHMARK(continuous)->ArgsProduct({{20, 1000, 100000, 1000000}, {100, 80, 30}});
BENCHMARK(formula_at)->ArgsProduct({{20, 1000, 100000, 1000000}, {100, 80, 30}});

// Below one circuit, where the series of Q(x, A) for small x keeps 1 - B's
// digits: x = 0.5 at a subnormal, a tiny and a moderate load.
void below_one_circuit(benchmark::State& state, double A)
{
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_continuous(0.5, A));
}
BENCHMARK_CAPTURE(below_one_circuit, subnormal_load, 1e-320);
BENCHMARK_CAPTURE(below_one_circuit, millionth, 1e-6);
BENCHMARK_CAPTURE(below_one_circuit, one_erlang, 1.0);

// The circuits for 1 to 1,000,000 erlangs at 1 % blocking: a few
// evaluations of the formula (counted).
void circuits(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_circuits(A, 0.01));
    int evaluations = 0;
    state.counters["circuits"] = erlangb_circuits(A, 0.01, &evaluations);
    state.counters["evaluations"] = evaluations;
}
BENCHMARK(circuits)->RangeMultiplier(10)->Range(1, 1000000);

// The load that the circuits for 1 to 1,000,000 erlangs carry at 1 %, with the
// evaluations of B(n, .) the solver makes for it.
void load(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    const int n = erlangb_circuits(A, 0.01);
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_load(n, 0.01));
    int evaluations = 0;
    erlangb_load(n, 0.01, &evaluations);
    state.counters["evaluations"] = evaluations;
    state.counters["circuits"] = n;
}
BENCHMARK(load)->RangeMultiplier(10)->Range(1, 1000000);

// erlangb-table's ITU-T layout (301 circuits by 20 grades of service, each
// cell a load), one long column, 1 to 10,000 circuits at 1 %, and the big
// tables: the blocking curve of a 100,000-circuit group (a cell each from
// the continuous function), blocking down two million consecutive circuits
// (a step of the formula a cell), and the circuits for 10,000 loads up to
// 100,000 erlangs; written to /dev/null as the program writes them.
void table(benchmark::State& state, std::vector<std::string> args)
{
    args.insert(args.begin(), "erlangb-table");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    Request request{};
    std::string error;
    if (parse_command_line(static_cast<int>(argv.size()), argv.data(), request, error) !=
        Action::table)
        state.SkipWithError(error.c_str());
    std::FILE* null = std::fopen("/dev/null", "w");
    for (auto _ : state) write_table(request, null, nullptr);
    std::fclose(null);
    state.counters["cells"] =
        static_cast<double>(list_size(request.rows) * list_size(request.columns));
}
BENCHMARK_CAPTURE(table, itu_layout,
                  {"-n", "1..301", "-b",
                   "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, long_column, {"-n", "1..10000", "-b", "1%"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, blocking_curve, {"-n", "100000", "-a", "1..100000", "--csv"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, two_million_rows, {"-n", "1..2000000", "-a", "1000", "--csv"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, circuits_for_loads, {"-a", "1..100000..10", "-b", "1%", "--csv"})
    ->Unit(benchmark::kMillisecond);
// The models' layouts: a PBX's 300 extensions, the circuits for 100 loads
// (Engset, its congestions in CSV), and the ITU-T layout with 60 % of the
// blocked calls retried, and with blocked calls held.
BENCHMARK_CAPTURE(table, few_sources_circuits,
                  {"-a", "1..100", "-b", "0.1%,1%,5%", "--sources", "300", "--csv"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, retried_itu_layout,
                  {"-n", "1..301", "-b",
                   "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%", "--recall",
                   "60%"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(table, held_itu_layout,
                  {"-n", "1..301", "-b",
                   "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%", "--held"})
    ->Unit(benchmark::kMillisecond);

// Wilkinson's equivalent random group, beside the one evaluation of the
// continuous function it takes a few of (counted): the overflow of the
// groups 10:8 and 20:25 together, and traffic at the domain's corners.
void equivalent_random(benchmark::State& state, Traffic t)
{
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_equivalent_random(t));
    int evaluations = 0;
    erlangb_equivalent_random(t, &evaluations);
    state.counters["evaluations"] = evaluations;
}
BENCHMARK_CAPTURE(equivalent_random, two_groups, Traffic{7.970542288766227, 18.385229682863162});
BENCHMARK_CAPTURE(equivalent_random, near_poisson, Traffic{3, 3.0000003});
BENCHMARK_CAPTURE(equivalent_random, small_peaked, Traffic{0.001, 0.05});
BENCHMARK_CAPTURE(equivalent_random, large_peaked, Traffic{10000, 500000});
void one_evaluation(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_continuous(20.532, 26.632));
}
BENCHMARK(one_evaluation);

// Staffing by Erlang C for 80 % within 20 s of 180 s calls (the service
// level's target in holding times) and for a 10 % wait probability, at 10
// to a million erlangs, beside one evaluation of the continuous function
// there; and the real agents.
StaffingTarget level_target()
{
    StaffingTarget t;
    t.service_level = 0.8, t.answer_time = 20.0 / 180;
    return t;
}
// The unit of the solvers' "worth" counters: the time of one evaluation of
// the continuous function at s agents and load A, in seconds.
double evaluation_time(double s, double A)
{
    constexpr int count = 20000;
    double sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) sum += erlangb_continuous(s + 1e-9 * i, A);
    benchmark::DoNotOptimize(sum);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count() / count;
}
// Runs the state's loop of `solve` and sets its "worth" counter: the time of
// a solve in evaluations of the continuous function at (s, A).
template <class Solve>
void timed(benchmark::State& state, double s, double A, const Solve& solve)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) benchmark::DoNotOptimize(solve());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.counters["worth"] =
        took.count() / static_cast<double>(state.iterations()) / evaluation_time(s, A);
}
void staffing(benchmark::State& state, StaffingTarget target)
{
    const auto A = static_cast<double>(state.range(0));
    const int agents = erlangc_agents(A, target);
    timed(state, agents, A, [&] { return erlangc_agents(A, target); });
    state.counters["agents"] = agents;
}
void fractional_staffing(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangc_fractional_agents(A, level_target()));
}
void evaluation_at(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    const double s = erlangc_agents(A, level_target());
    for (auto _ : state) benchmark::DoNotOptimize(erlangc(s, A));
}
StaffingTarget probability_target()
{
    StaffingTarget t;
    t.wait_probability = 0.1;
    return t;
}
BENCHMARK_CAPTURE(staffing, service_level, level_target())
    ->RangeMultiplier(100)
    ->Range(10, 1000000);
BENCHMARK_CAPTURE(staffing, wait_probability, probability_target())
    ->RangeMultiplier(100)
    ->Range(10, 1000000);
BENCHMARK(fractional_staffing)->RangeMultiplier(100)->Range(10, 1000000);
BENCHMARK(evaluation_at)->RangeMultiplier(100)->Range(10, 1000000);

// The load whole agents carry at 80 % in 20 s of 180 s calls, from 10 to a
// million agents.
void load_carried(benchmark::State& state)
{
    const auto s = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangc_load(s, level_target()));
}
BENCHMARK(load_carried)->RangeMultiplier(100)->Range(10, 1000000);

// Erlang A at 10 to 10,000 erlangs, callers patient for 2/3 of a holding
// time: one figure (the service level at the agents 80 % in 20 s needs),
// the staffing for it, and the load those agents carry.
void abandon_figure(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    const double s = erlanga_agents(A, 2.0 / 3, level_target());
    for (auto _ : state) benchmark::DoNotOptimize(erlanga_service_level(s, A, 2.0 / 3, 1.0 / 9));
}
// `solve` is erlanga_agents at a load or erlanga_load at agents; "worth"
// counts evaluations of the continuous function at the answer.
template <class Solve>
void abandon_solve(benchmark::State& state, Solve solve, bool load)
{
    const auto x = static_cast<double>(state.range(0));
    int evaluations = 0;
    const double answer = solve(x, 2.0 / 3, level_target(), &evaluations);
    timed(state, load ? x : answer, load ? answer : x,
          [&] { return solve(x, 2.0 / 3, level_target(), &evaluations); });
    state.counters["figures"] = evaluations;
}
BENCHMARK(abandon_figure)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK_CAPTURE(abandon_solve, staffing, erlanga_agents, false)
    ->RangeMultiplier(10)
    ->Range(10, 1000000)
    ->Arg(5000000);
BENCHMARK_CAPTURE(abandon_solve, fractional, erlanga_fractional_agents, false)
    ->RangeMultiplier(10)
    ->Range(10, 1000000)
    ->Arg(5000000);
BENCHMARK_CAPTURE(abandon_solve, load, erlanga_load, true)->RangeMultiplier(10)->Range(10, 10000);
// Real agents at vanishing loads (1e-300, 1e-100, 1e-20 erlangs), which
// need vanishing agents: the same few figures as elsewhere.
void abandon_vanishing(benchmark::State& state)
{
    const double A = std::pow(10.0, -static_cast<double>(state.range(0)));
    int evaluations = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(erlanga_fractional_agents(A, 1, level_target(), &evaluations));
    state.counters["figures"] = evaluations;
}
BENCHMARK(abandon_vanishing)->Arg(300)->Arg(100)->Arg(20);

// Engset at 30 to 10,000 sources offering a fifth of an erlang each: the
// call congestion of the circuits 1 % needs (a pass of n steps), those
// circuits from the total offered traffic, and the most sources they
// serve.
void few_sources_figure(benchmark::State& state)
{
    const auto S = static_cast<int>(state.range(0));
    const int n = engset_circuits(S, 0.2 * S, 0.01);
    const double beta = engset_beta(n, S, 0.2 * S);
    for (auto _ : state) benchmark::DoNotOptimize(engset_call_congestion(n, S, beta));
    state.counters["circuits"] = n;
}
void few_sources_circuits(benchmark::State& state)
{
    const auto S = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(engset_circuits(S, 0.2 * S, 0.01));
}
void few_sources_sources(benchmark::State& state)
{
    const auto S = static_cast<int>(state.range(0));
    const int n = engset_circuits(S, 0.2 * S, 0.01);
    for (auto _ : state) benchmark::DoNotOptimize(engset_sources(n, 0.2, 0.01));
}
BENCHMARK(few_sources_figure)->Arg(30)->Arg(1000)->Arg(10000);
BENCHMARK(few_sources_circuits)->Arg(30)->Arg(1000)->Arg(10000);
BENCHMARK(few_sources_sources)->Arg(30)->Arg(1000)->Arg(10000);

// Extended Erlang B (60 % of the blocked calls retried) and the Poisson
// formula at 20 to 10,000 circuits loaded to 90 %: a figure, and the
// circuits for 1 % at that load.
void retrial_figure(benchmark::State& state)
{
    const auto n = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(extended_erlangb(n, 0.9 * n, 0.6));
}
void retrial_circuits(benchmark::State& state)
{
    const auto n = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(extended_erlangb_circuits(0.9 * n, 0.6, 0.01));
}
void held_figure(benchmark::State& state)
{
    const auto n = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(poisson_blocking(n, 0.9 * n));
}
void held_circuits(benchmark::State& state)
{
    const auto n = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(poisson_circuits(0.9 * n, 0.01));
}
BENCHMARK(retrial_figure)->Arg(20)->Arg(1000)->Arg(10000);
BENCHMARK(retrial_circuits)->Arg(20)->Arg(1000)->Arg(10000);
BENCHMARK(held_figure)->Arg(20)->Arg(1000)->Arg(10000);
BENCHMARK(held_circuits)->Arg(20)->Arg(1000)->Arg(10000);
void held_fractional_circuits(benchmark::State& state)
{
    const auto n = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(poisson_fractional_circuits(0.9 * n, 0.01));
}
BENCHMARK(held_fractional_circuits)->Arg(20)->Arg(1000)->Arg(10000);

// Erlang X at 100 agents loaded to 90 %, patience 2 holding times, with 10
// to 5,000 places to wait: a figure, and a timed one (20 s of a 180 s call).
void lines_figure(benchmark::State& state)
{
    const double lines = 100.0 + static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangx_wait_probability(100, 90, lines, 2));
}
void lines_timed_figure(benchmark::State& state)
{
    const double lines = 100.0 + static_cast<double>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(erlangx_service_level(100, 90, lines, 2, 20.0 / 180));
}
BENCHMARK(lines_figure)->Arg(10)->Arg(100)->Arg(5000);
BENCHMARK(lines_timed_figure)->Arg(10)->Arg(100)->Arg(5000);
// Endless lines whose queue, about 5,000 places, is Erlang A's: the
// virtual service level by its quadrature.
void lines_endless_figure(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(erlangx_virtual_service_level(100, 110, HUGE_VAL, 500, 0.1));
}
BENCHMARK(lines_endless_figure);

// Erlang X's staffing for 80 % within 20 s of a 180 s call at A erlangs,
// lines 10 % above the load, patience a holding time; with 30 % redials
// (each point then an offered load's search too); the load 0.9 A agents
// carry; the patience at which 5 % of A hang up at 1.1 A agents. The
// points each takes are counted.
StaffingTarget lines_target()
{
    StaffingTarget t;
    t.service_level = 0.8;
    t.answer_time = 20.0 / 180;
    return t;
}
void lines_agents(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    int points = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            erlangx_agents(A, std::ceil(1.1 * A), 1, 0, lines_target(), &points));
    state.counters["points"] = points;
}
void lines_redial_agents(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    int points = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            erlangx_agents(A, std::ceil(1.1 * A), 1, 0.3, lines_target(), &points));
    state.counters["points"] = points;
}
void lines_load(benchmark::State& state)
{
    const double s = std::floor(0.9 * static_cast<double>(state.range(0)));
    int points = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            erlangx_load(s, std::ceil(1.1 * s), 1, 0, lines_target(), &points));
    state.counters["points"] = points;
}
void lines_patience(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    const double s = std::ceil(1.1 * A);
    for (auto _ : state) benchmark::DoNotOptimize(erlangx_patience(s, A, s + 10, 0.05));
}
BENCHMARK(lines_agents)->Arg(10)->Arg(1000);
BENCHMARK(lines_redial_agents)->Arg(10)->Arg(1000);
BENCHMARK(lines_load)->Arg(10)->Arg(1000);
BENCHMARK(lines_patience)->Arg(10)->Arg(1000);

// A whole run of the calculator (500 circuits at 500 erlangs, answered
// through a pipe, its output to /dev/null) beside the same run of the floor
// program, in turns, so that whatever else the machine does weighs on both:
// the time of each and their ratio.
double run_once(const char* program)
{
    int answers[2];
    if (pipe(answers) != 0) return NAN;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(answers[0], STDIN_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO), dup2(null, STDERR_FILENO);
        close(answers[1]);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(answers[0]);
    const char text[] = "500\n500\n\n";
    const bool written = write(answers[1], text, sizeof text - 1) == sizeof text - 1;
    close(answers[1]);
    int status = 0;
    waitpid(child, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return written && child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count()
                                                                                 : NAN;
}
void dialogue_run(benchmark::State& state)
{
    double calculator = 0;
    double floor_run = 0;
    for (auto _ : state) calculator += run_once(CALCULATOR), floor_run += run_once(FLOOR);
    const auto runs = static_cast<double>(state.iterations());
    state.counters["calculator_us"] = calculator / runs * 1e6;
    state.counters["floor_us"] = floor_run / runs * 1e6;
    state.counters["ratio"] = calculator / floor_run;
}
BENCHMARK(dialogue_run)->UseRealTime()->MinTime(0.5);

// The loops the Python module runs, over the arrays bench/python_bench.py
// hands it: a million continuous blockings, x from 1 to 200 circuits at
// 0.8 x erlangs, and a hundred thousand staffings from 1 to 1000 erlangs
// for 80 % in 20 s at a handling time of 180 s.
std::vector<double> spaced(int n, double from, double to)
{
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = from + (to - from) * i / (n - 1);
    return v;
}
void continuous_array(benchmark::State& state)
{
    const std::vector<double> x = spaced(1000000, 1, 200);
    std::vector<double> B(x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < x.size(); ++i) B[i] = erlangb_continuous(x[i], 0.8 * x[i]);
        benchmark::DoNotOptimize(B.data());
    }
}
void staffing_array(benchmark::State& state)
{
    const std::vector<double> A = spaced(100000, 1, 1000);
    std::vector<long> agents(A.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < A.size(); ++i) agents[i] = erlangc_agents(A[i], level_target());
        benchmark::DoNotOptimize(agents.data());
    }
}
BENCHMARK(continuous_array)->Unit(benchmark::kMillisecond);
BENCHMARK(staffing_array)->Unit(benchmark::kMillisecond);

// A year of quarter hours from a planning file, as erlangc -f reads,
// staffs (80 % in 20 s, 30 % shrinkage) and writes it with its totals:
// 35,040 rows of calls and handling times that change through the day;
// by Erlang C, and by Erlang A with callers patient for 120 s.
void year_of_quarter_hours(benchmark::State& state, const char* patience)
{
    const std::string path = "/tmp/erlangb_bench_year.csv";
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("date,start,calls,aht\n", file);
    for (int day = 0; day < 365; ++day)
        for (int q = 0; q < 96; ++q)
            std::fprintf(file, "d%d,%02d:%02d,%d,%d\n", day, q / 4, q % 4 * 15,
                         20 + (q * 37 + day * 11) % 180, 170 + q % 4 * 20);
    std::fclose(file);
    std::vector<std::string> args = {"erlangc", "-f",    path,      "-i", "900",
                                     "-s",      "80%",   "-w",      "20", "--shrinkage",
                                     "30%",     "--csv", "--totals"};
    if (*patience != '\0') args.insert(args.end(), {"--patience", patience});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::FILE* null = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        ErlangcRequest request{};
        std::string error;
        if (parse_command_line(static_cast<int>(argv.size()), argv.data(), request, error) !=
            Action::table)
            state.SkipWithError(error.c_str());
        write_erlangc(request, null, nullptr);
    }
    std::fclose(null);
    std::remove(path.c_str());
}
BENCHMARK_CAPTURE(year_of_quarter_hours, erlang_c, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(year_of_quarter_hours, patience_120, "120")->Unit(benchmark::kMillisecond);

// Scans `line` over and over from a memory stream standing in for stdin.
void scanner(benchmark::State& state, int (*scan)(), const char* line)
{
    char text[128] = {};
    std::strncpy(text, line, sizeof text - 1);
    stdin = fmemopen(text, std::strlen(text), "r");
    for (auto _ : state) {
        std::rewind(stdin);
        benchmark::DoNotOptimize(scan());
    }
    std::fclose(stdin);
}

int scan_int()
{
    int value = 0;
    return vizaza::scanint(&value);
}
int scan_real()
{
    double value = 0;
    return vizaza::scandouble(&value);
}
int scan_word()
{
    char word[80];
    return vizaza::scanstring(word);
}

BENCHMARK_CAPTURE(scanner, circuits, scan_int, "24\n");
BENCHMARK_CAPTURE(scanner, comment, scan_int, "  500   # the most circuits\n");
BENCHMARK_CAPTURE(scanner, load, scan_real, "34.2\n");
BENCHMARK_CAPTURE(scanner, word, scan_word, "data.txt\n");

}  // namespace
