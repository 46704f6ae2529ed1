// SPDX-License-Identifier: MIT
// The Python module's functions, each declared once: its name, its
// arguments, what it returns, the library call for one element, and its
// docstring. module.cpp makes a numpy ufunc of each; __init__.py wraps
// those whose targets or method are keywords; stub.py writes the type stub
// from the same entries.
#ifndef TELETRAFFIC_PYTHON_FUNCTIONS_H
#define TELETRAFFIC_PYTHON_FUNCTIONS_H

#include <climits>
#include <cmath>
#include <limits>

#include "docs.h"
#include "teletraffic/engset.h"
#include "teletraffic/erlanga.h"
#include "teletraffic/erlangb.h"
#include "teletraffic/erlangc.h"
#include "teletraffic/erlangx.h"
#include "teletraffic/overflow.h"
#include "teletraffic/poisson.h"
#include "teletraffic/retrial.h"

namespace functions {

// What a function returns for each element: a float64 figure, an int64
// count, or a pair of figures (a traffic's mean and variance, or an
// equivalent random group's load and circuits).
enum class Result { figure, count, traffic, group };

// The keywords a wrapper adds in front of the ufunc: none (the ufunc is
// the function), the eight staffing targets (each its own input, NaN where
// unset; the service level's definition by its code), or an overflow
// method (an input holding the method's code).
enum class Keywords { none, targets, method };

struct Function {
    const char* name;
    const char* args;  // the numeric arguments, as the signature names them
    Result result;
    Keywords keywords;
    void (*element)(const double* v, double* r);  // v the inputs, r the results
    const char* doc;
    const char* more;  // text the docstring ends with, or nullptr
};

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// n as a count of circuits where it is a whole number that int holds.
inline bool whole(double x, int& n)
{
    if (!(x >= INT_MIN && x <= INT_MAX) || x != std::floor(x)) return false;
    n = static_cast<int>(x);
    return true;
}

// The targets, in StaffingTarget's order, from v[0..7]: v[7] the code of
// the service level's definition, in ServiceLevelOf's order (__init__.py
// names them); any other code is none of them, outside the domain.
inline StaffingTarget target_of(const double* v)
{
    StaffingTarget t;
    t.service_level = v[0];
    t.answer_time = v[1];
    t.mean_wait = v[2];
    t.wait_probability = v[3];
    t.max_occupancy = v[4];
    t.max_abandonment = v[5];
    t.max_blocking = v[6];
    t.service_level_of = v[7] == 0   ? ServiceLevelOf::offered
                         : v[7] == 1 ? ServiceLevelOf::answered
                         : v[7] == 2 ? ServiceLevelOf::virtual_wait
                                     : static_cast<ServiceLevelOf>(-1);
    return t;
}

// The overflow methods by code, the order __init__.py names them in; any
// other code is none of them.
inline bool method_of(double code, OverflowMethod& m)
{
    if (code == 0)
        m = OverflowMethod::equivalent_random;
    else if (code == 1)
        m = OverflowMethod::rapp;
    else if (code == 2)
        m = OverflowMethod::hayward;
    else
        return false;
    return true;
}

using R = Result;
using K = Keywords;

// clang-format off
inline constexpr Function table[] = {
    // ---- Erlang B
    {"erlangb", "n, A", R::figure, K::none, [](const double* v, double* r) {
        int n = 0;
        r[0] = whole(v[0], n) ? erlangb(n, v[1]) : nan;
     }, docs::erlangb, nullptr},
    {"erlangb_circuits", "A, target", R::count, K::none, [](const double* v, double* r) {
        r[0] = erlangb_circuits(v[0], v[1]);
     }, docs::erlangb_circuits, nullptr},
    {"erlangb_load", "n, target", R::figure, K::none, [](const double* v, double* r) {
        int n = 0;
        r[0] = whole(v[0], n) ? erlangb_load(n, v[1]) : nan;
     }, docs::erlangb_load, nullptr},
    {"erlangb_continuous", "x, A", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangb_continuous(v[0], v[1]);
     }, docs::erlangb_continuous, nullptr},
    {"erlangb_fractional_circuits", "A, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangb_fractional_circuits(v[0], v[1]);
     }, docs::erlangb_fractional_circuits, nullptr},
    {"erlangb_continuous_load", "x, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangb_continuous_load(v[0], v[1]);
     }, docs::erlangb_continuous_load, nullptr},

    // ---- Overflow traffic
    {"erlangb_overflow", "x, A", R::traffic, K::none, [](const double* v, double* r) {
        const Traffic t = erlangb_overflow(v[0], v[1]);
        r[0] = t.mean, r[1] = t.variance;
     }, docs::erlangb_overflow, nullptr},
    {"erlangb_equivalent_random", "mean, variance", R::group, K::none, [](const double* v, double* r) {
        const EquivalentRandom g = erlangb_equivalent_random({v[0], v[1]});
        r[0] = g.load, r[1] = g.circuits;
     }, docs::erlangb_equivalent_random, nullptr},
    {"erlangb_rapp", "mean, variance", R::group, K::none, [](const double* v, double* r) {
        const EquivalentRandom g = erlangb_rapp({v[0], v[1]});
        r[0] = g.load, r[1] = g.circuits;
     }, docs::erlangb_rapp, nullptr},
    {"erlangb_overflow_blocking", "mean, variance, c", R::figure, K::method, [](const double* v, double* r) {
        OverflowMethod m{};
        r[0] = method_of(v[3], m) ? erlangb_overflow_blocking({v[0], v[1]}, v[2], m) : nan;
     }, docs::erlangb_overflow_blocking, nullptr},
    {"erlangb_group_blocking", "mean, variance, load, circuits, c", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangb_group_blocking({v[0], v[1]}, {v[2], v[3]}, v[4]);
     }, docs::erlangb_group_blocking, nullptr},
    {"erlangb_overflow_circuits", "mean, variance, target", R::count, K::method, [](const double* v, double* r) {
        OverflowMethod m{};
        r[0] = method_of(v[3], m) ? erlangb_overflow_circuits({v[0], v[1]}, v[2], m) : 0;
     }, docs::erlangb_overflow_circuits, nullptr},
    {"erlangb_overflow_fractional_circuits", "mean, variance, target", R::figure, K::method, [](const double* v, double* r) {
        OverflowMethod m{};
        r[0] = method_of(v[3], m) ? erlangb_overflow_fractional_circuits({v[0], v[1]}, v[2], m) : nan;
     }, docs::erlangb_overflow_fractional_circuits, nullptr},

    // ---- Erlang C
    {"erlangc", "s, A", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangc(v[0], v[1]);
     }, docs::erlangc, nullptr},
    {"erlangc_service_level", "s, A, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangc_service_level(v[0], v[1], v[2]);
     }, docs::erlangc_service_level, nullptr},
    {"erlangc_mean_wait", "s, A", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangc_mean_wait(v[0], v[1]);
     }, docs::erlangc_mean_wait, nullptr},
    {"erlangc_agents", "A", R::count, K::targets, [](const double* v, double* r) {
        r[0] = erlangc_agents(v[0], target_of(v + 1));
     }, docs::erlangc_agents, nullptr},
    {"erlangc_fractional_agents", "A", R::figure, K::targets, [](const double* v, double* r) {
        r[0] = erlangc_fractional_agents(v[0], target_of(v + 1));
     }, docs::erlangc_fractional_agents, nullptr},
    {"erlangc_load", "s", R::figure, K::targets, [](const double* v, double* r) {
        r[0] = erlangc_load(v[0], target_of(v + 1));
     }, docs::erlangc_load, nullptr},

    // ---- Erlang A
    {"erlanga_wait_probability", "s, A, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_wait_probability(v[0], v[1], v[2]);
     }, docs::erlanga_wait_probability, docs::erlanga_common},
    {"erlanga_abandonment", "s, A, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_abandonment(v[0], v[1], v[2]);
     }, docs::erlanga_abandonment, docs::erlanga_common},
    {"erlanga_service_level", "s, A, patience, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_service_level(v[0], v[1], v[2], v[3]);
     }, docs::erlanga_service_level, docs::erlanga_common},
    {"erlanga_abandoned_within", "s, A, patience, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_abandoned_within(v[0], v[1], v[2], v[3]);
     }, docs::erlanga_abandoned_within, docs::erlanga_common},
    {"erlanga_mean_wait", "s, A, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_mean_wait(v[0], v[1], v[2]);
     }, docs::erlanga_mean_wait, docs::erlanga_common},
    {"erlanga_occupancy", "s, A, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlanga_occupancy(v[0], v[1], v[2]);
     }, docs::erlanga_occupancy, docs::erlanga_common},
    {"erlanga_agents", "A, patience", R::count, K::targets, [](const double* v, double* r) {
        r[0] = erlanga_agents(v[0], v[1], target_of(v + 2));
     }, docs::erlanga_agents, docs::erlanga_common},
    {"erlanga_fractional_agents", "A, patience", R::figure, K::targets, [](const double* v, double* r) {
        r[0] = erlanga_fractional_agents(v[0], v[1], target_of(v + 2));
     }, docs::erlanga_fractional_agents, docs::erlanga_common},
    {"erlanga_load", "s, patience", R::figure, K::targets, [](const double* v, double* r) {
        r[0] = erlanga_load(v[0], v[1], target_of(v + 2));
     }, docs::erlanga_load, docs::erlanga_common},

    // ---- Engset
    {"engset_time_congestion", "n, S, beta", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_time_congestion(n, S, v[2]) : nan;
     }, docs::engset_time_congestion, docs::engset_common},
    {"engset_call_congestion", "n, S, beta", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_call_congestion(n, S, v[2]) : nan;
     }, docs::engset_call_congestion, docs::engset_common},
    {"engset_traffic_congestion", "n, S, beta", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_traffic_congestion(n, S, v[2]) : nan;
     }, docs::engset_traffic_congestion, docs::engset_common},
    {"engset_carried", "n, S, beta", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_carried(n, S, v[2]) : nan;
     }, docs::engset_carried, docs::engset_common},
    {"engset_offered", "n, S, beta", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_offered(n, S, v[2]) : nan;
     }, docs::engset_offered, docs::engset_common},
    {"engset_beta", "n, S, E", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_beta(n, S, v[2]) : nan;
     }, docs::engset_beta, docs::engset_common},
    {"engset_circuits", "S, E, target", R::count, K::none, [](const double* v, double* r) {
        int S = 0;
        r[0] = whole(v[0], S) ? engset_circuits(S, v[1], v[2]) : 0;
     }, docs::engset_circuits, docs::engset_common},
    {"engset_load", "n, S, target", R::figure, K::none, [](const double* v, double* r) {
        int n = 0, S = 0;
        r[0] = whole(v[0], n) && whole(v[1], S) ? engset_load(n, S, v[2]) : nan;
     }, docs::engset_load, docs::engset_common},
    {"engset_sources", "n, a, target", R::count, K::none, [](const double* v, double* r) {
        int n = 0;
        r[0] = whole(v[0], n) ? engset_sources(n, v[1], v[2]) : 0;
     }, docs::engset_sources, docs::engset_common},

    // ---- Erlang X
    {"erlangx_blocking", "s, A, lines, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_blocking(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_blocking, docs::erlangx_common},
    {"erlangx_wait_probability", "s, A, lines, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_wait_probability(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_wait_probability, docs::erlangx_common},
    {"erlangx_abandonment", "s, A, lines, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_abandonment(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_abandonment, docs::erlangx_common},
    {"erlangx_service_level", "s, A, lines, patience, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_service_level(v[0], v[1], v[2], v[3], v[4]);
     }, docs::erlangx_service_level, docs::erlangx_common},
    {"erlangx_answered_service_level", "s, A, lines, patience, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_answered_service_level(v[0], v[1], v[2], v[3], v[4]);
     }, docs::erlangx_answered_service_level, docs::erlangx_common},
    {"erlangx_virtual_service_level", "s, A, lines, patience, t", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_virtual_service_level(v[0], v[1], v[2], v[3], v[4]);
     }, docs::erlangx_virtual_service_level, docs::erlangx_common},
    {"erlangx_mean_wait", "s, A, lines, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_mean_wait(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_mean_wait, docs::erlangx_common},
    {"erlangx_virtual_mean_wait", "s, A, lines, patience", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_virtual_mean_wait(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_virtual_mean_wait, docs::erlangx_common},
    {"erlangx_offered", "s, A0, lines, patience, redial", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_offered(v[0], v[1], v[2], v[3], v[4]);
     }, docs::erlangx_offered, docs::erlangx_common},
    {"erlangx_patience", "s, A, lines, abandonment", R::figure, K::none, [](const double* v, double* r) {
        r[0] = erlangx_patience(v[0], v[1], v[2], v[3]);
     }, docs::erlangx_patience, docs::erlangx_common},
    {"erlangx_agents", "A0, lines, patience, redial", R::count, K::targets, [](const double* v, double* r) {
        r[0] = erlangx_agents(v[0], v[1], v[2], v[3], target_of(v + 4));
     }, docs::erlangx_agents, docs::erlangx_common},
    {"erlangx_load", "s, lines, patience, redial", R::figure, K::targets, [](const double* v, double* r) {
        r[0] = erlangx_load(v[0], v[1], v[2], v[3], target_of(v + 4));
     }, docs::erlangx_load, docs::erlangx_common},

    // ---- Extended Erlang B
    {"extended_erlangb_offered", "n, A0, recall", R::figure, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb_offered(v[0], v[1], v[2]);
     }, docs::extended_erlangb_offered, docs::retrial_common},
    {"extended_erlangb", "n, A0, recall", R::figure, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb(v[0], v[1], v[2]);
     }, docs::extended_erlangb, docs::retrial_common},
    {"extended_erlangb_lost", "n, A0, recall", R::figure, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb_lost(v[0], v[1], v[2]);
     }, docs::extended_erlangb_lost, docs::retrial_common},
    {"extended_erlangb_circuits", "A0, recall, target", R::count, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb_circuits(v[0], v[1], v[2]);
     }, docs::extended_erlangb_circuits, docs::retrial_common},
    {"extended_erlangb_load", "n, recall, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb_load(v[0], v[1], v[2]);
     }, docs::extended_erlangb_load, docs::retrial_common},
    {"extended_erlangb_fractional_circuits", "A0, recall, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = extended_erlangb_fractional_circuits(v[0], v[1], v[2]);
     }, docs::extended_erlangb_fractional_circuits, docs::retrial_common},

    // ---- The Poisson formula
    {"poisson_blocking", "n, A", R::figure, K::none, [](const double* v, double* r) {
        r[0] = poisson_blocking(v[0], v[1]);
     }, docs::poisson_blocking, docs::poisson_common},
    {"poisson_circuits", "A, target", R::count, K::none, [](const double* v, double* r) {
        r[0] = poisson_circuits(v[0], v[1]);
     }, docs::poisson_circuits, docs::poisson_common},
    {"poisson_load", "n, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = poisson_load(v[0], v[1]);
     }, docs::poisson_load, docs::poisson_common},
    {"poisson_fractional_circuits", "A, target", R::figure, K::none, [](const double* v, double* r) {
        r[0] = poisson_fractional_circuits(v[0], v[1]);
     }, docs::poisson_fractional_circuits, docs::poisson_common},
};
// clang-format on

}  // namespace functions

#endif  // TELETRAFFIC_PYTHON_FUNCTIONS_H
