// SPDX-License-Identifier: MIT
// The cost of the formula as the circuits grow, of the two sizing solvers as
// the load grows, and of the scanners on typical answer lines.
#include <chrono>
#include <cstdio>
#include <cstring>

#include <benchmark/benchmark.h>

#include "erlangb.h"
#include "vizaza.h"

namespace {

void formula(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangb(n, n));
    state.SetComplexityN(n);
}
BENCHMARK(formula)->RangeMultiplier(2)->Range(1, 512)->Complexity(benchmark::oN);

// The circuits for 1 to 100,000 erlangs at 1 % blocking: linear in the
// circuits found (N below).
void circuits(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_circuits(A, 0.01));
    state.SetComplexityN(erlangb_circuits(A, 0.01));
}
BENCHMARK(circuits)->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

// Seconds per call of f, from enough calls to fill 20 ms.
template <typename F>
double seconds_per_call(F f)
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    long calls = 0;
    std::chrono::duration<double> spent{};
    for (; spent.count() < 0.02; spent = clock::now() - start, ++calls) f();
    return spent.count() / static_cast<double>(calls);
}

// One evaluation of B(n, A) as the load solver makes it: the recurrences
// I(k) = 1 + (k / A) I(k-1) for 1/B and J(k) = (k / A) (I(k-1) + J(k-1)) for
// its slope (the rescaling they also carry never triggers here).
double evaluation(int n, double A)
{
    double I = 1.0;
    double J = 0.0;
    for (int k = 1; k <= n; ++k) {
        const double r = k / A;
        J = r * (I + J);
        I = 1.0 + r * I;
    }
    return J / I;
}

// The load that the circuits for 1 to 100,000 erlangs carry at 1 %, and its
// cost counted in evaluations of B(n, .): the call's time over one's.
void load(benchmark::State& state)
{
    const auto A = static_cast<double>(state.range(0));
    const int n = erlangb_circuits(A, 0.01);
    for (auto _ : state) benchmark::DoNotOptimize(erlangb_load(n, 0.01));
    state.counters["evaluations"] =
        seconds_per_call([n] { benchmark::DoNotOptimize(erlangb_load(n, 0.01)); }) /
        seconds_per_call([n, A] { benchmark::DoNotOptimize(evaluation(n, A)); });
    state.counters["circuits"] = n;
}
BENCHMARK(load)->RangeMultiplier(10)->Range(1, 100000);

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
