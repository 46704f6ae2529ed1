// SPDX-License-Identifier: MIT
// The Python module's docstrings: each function's domain, accuracy and
// cost, as the library's headers state them (module.cpp puts its signature
// line above).
#ifndef TELETRAFFIC_PYTHON_DOCS_H
#define TELETRAFFIC_PYTHON_DOCS_H

namespace docs {

constexpr const char* module =
    R"(Teletraffic engineering: Erlang B, overflow traffic, Erlang C and Erlang A.

The functions of the C++ library teletraffic, under the same names and
argument names, as numpy ufuncs, as scipy.special's are:

- each function whose arguments are all numbers is a numpy.ufunc: its
  arguments broadcast together and take numbers, sequences and arrays of
  booleans, integers and reals; the result is float64 (int64 for counts;
  a pair of arrays for the two-figure functions), a numpy scalar where
  every argument is a number; out=, where= and casting= work as for any
  ufunc (the loops are float64 only);
- the staffing and load functions (their targets are keywords) and the
  overflow functions that take a method are thin wrappers over a ufunc
  (its attribute .ufunc), and take the ufunc's keywords too;
- other array types keep their kind through numpy's protocol: a pandas
  Series keeps its index (a nullable column its missing values), an
  xarray DataArray its dims and coords, a dask array stays lazy (the
  single-figure functions), a masked array keeps its mask;
- values outside a function's domain give NaN (0 for a count), never an
  exception, so one bad element does not lose the others;
- arguments that are not real numbers (None, strings, complex numbers)
  raise TypeError, and shapes that do not broadcast ValueError;
- the GIL is released while an array is computed, and Ctrl-C ends the
  call within 4096 elements (KeyboardInterrupt).

Loads are in erlangs; Erlang C's and Erlang A's times (t, the mean wait,
the patience) in holding times, so that a wait of 20 s at a handling time
of 180 s is t=20/180. Accuracy is relative error against 40-digit
arithmetic. Each docstring states its function's domain, accuracy and
cost; man 3 teletraffic has the whole library.

erlangb_load_near and the evaluation counts stay in C++: an array of
circuits or loads is what they serve there.

Functions:
  Erlang B       erlangb, erlangb_circuits, erlangb_load, erlangb_continuous,
                 erlangb_fractional_circuits, erlangb_continuous_load
  overflow       erlangb_overflow, erlangb_equivalent_random, erlangb_rapp,
                 erlangb_overflow_blocking, erlangb_group_blocking,
                 erlangb_overflow_circuits, erlangb_overflow_fractional_circuits
  Erlang C       erlangc, erlangc_service_level, erlangc_mean_wait,
                 erlangc_agents, erlangc_fractional_agents, erlangc_load
  Erlang A       erlanga_wait_probability, erlanga_abandonment,
                 erlanga_service_level, erlanga_abandoned_within,
                 erlanga_mean_wait, erlanga_occupancy, erlanga_agents,
                 erlanga_fractional_agents, erlanga_load

Example:

>>> import teletraffic
>>> teletraffic.erlangb([10, 20], 15.0)
array([0.41034054, 0.04559322]))";

constexpr const char* traffic = R"(Traffic(mean, variance)

Traffic described by the mean and the variance of the number of circuits it
would hold busy on a group without limit: Poisson traffic of A erlangs is
(A, A). erlangb_overflow gives the pair, and Traffic(*pair) names it.)";

constexpr const char* equivalent_random_type = R"(EquivalentRandom(load, circuits)

A Poisson load and a real number of circuits whose overflow has the mean
and variance of given traffic: erlangb_equivalent_random and erlangb_rapp
give the pair, and EquivalentRandom(*pair) names it.)";

// ---- Erlang B

constexpr const char* erlangb =
    R"(Blocking probability of a loss system: the share of calls that find all n
circuits busy when A erlangs are offered to them,
B(n, A) = (A^n / n!) / sum of A^k / k! for k = 0..n.

n must be a whole number (NaN otherwise; erlangb_continuous takes real
circuits). n < 1 gives 1; A = 0 gives 0; a negative, NaN or infinite A
gives NaN. Accuracy: relative error below 1e-13 wherever B is a normal
double (above 2.2e-308). Cost: that of erlangb_continuous, 0.1 to 0.8
microseconds at any n.)";

constexpr const char* erlangb_circuits =
    R"(The fewest circuits n >= 1 whose blocking at offered load A is at most
target, exactly as erlangb computes it (int64). A = 0 needs one circuit.

0, which no answer is, where A is negative, NaN or above erlangb_max_load
(5e6), or target is NaN or outside (0, 1). Cost: 2 to 5 evaluations of
erlangb at most loads and targets (at most 8; 16 for subnormal targets),
a few microseconds at any load.)";

constexpr const char* erlangb_load =
    R"(The largest offered load at which n circuits block at most target: the root
A of B(n, A) = target. One circuit: target / (1 - target).

NaN where n is not a whole number, n < 1 or n > erlangb_max_circuits
(1e7), or target is NaN or outside (0, 1). Accuracy: relative error below
1e-12. Cost: 2 to 7 evaluations of B, about 0.5 to 2 microseconds.)";

constexpr const char* erlangb_continuous =
    R"(The Erlang B function of a real number x >= 0 of circuits:
B(x, A) = A^x e^(-A) / Gamma(x + 1, A); at whole x the Erlang B formula.

B(0, A) = 1; A = 0 gives 0 for x > 0; an infinite A gives 1, an infinite x
(with finite A) 0; NaN or a negative x or A gives NaN. Accuracy: relative
error below 1e-12 (1e-13 at whole x) for x up to 1e7 and A up to 5e6
wherever B is at least 1e-300. Cost: a continued fraction or series, a handful of terms far from
x = A, at most about 700; Temme's expansion at large x near A.)";

constexpr const char* erlangb_fractional_circuits =
    R"(The real number of circuits x > 0 at which load A blocks exactly target:
B(x, A) = target. It lies in (n - 1, n] for n = erlangb_circuits(A, target).

A = 0 gives 0; NaN where erlangb_circuits gives 0. Accuracy: 1e-9
circuits. Cost: erlangb_circuits, then 2 to 8 evaluations of
erlangb_continuous.)";

constexpr const char* erlangb_continuous_load =
    R"(The load A at which x > 0 real circuits block exactly target: the root of
B(x, A) = target; at whole x, erlangb_load(x, target).

NaN where x <= 0, x > erlangb_max_circuits, or target is NaN or outside
(0, 1); a load below the smallest double is 0. Accuracy: relative error
1e-12 (below 0.01 circuits at a target near 1, B's own rounding bounds it
to about 1e-16 / slope). Cost: the two whole-number loads, then 2 to 7
evaluations of erlangb_continuous.)";

// ---- Overflow traffic

constexpr const char* erlangb_overflow =
    R"(Riordan's moments of the traffic that x >= 0 circuits (real) overflow when
offered A Poisson erlangs, as the pair (mean, variance) (Traffic(*pair)
names them):
M = A B(x, A), V = M (1 - M + A / (x + 1 - A + M)).

x = 0 gives (A, A), A = 0 gives (0, 0); NaN, negative or infinite
arguments, x above 1e7 or A above 5e6 give (NaN, NaN). Accuracy: 1e-12
where A <= x + 1, 1e-10 where the group is overloaded. Cost: one
evaluation of the continuous function.)";

constexpr const char* erlangb_equivalent_random =
    R"(Wilkinson's equivalent random group of traffic (mean, variance), solved
exactly, as the pair (load, circuits) (EquivalentRandom(*pair) names
them): the Poisson load A* and the
real circuits N* >= 0 whose overflow has that mean and variance.

Domain: mean in [0.001, 10000] erlangs and peakedness variance / mean in
[1, 50]; (0, 0) is inside. Peakedness exactly 1 gives (mean, 0); smooth
traffic (peakedness below 1) and traffic outside the domain (NaN, NaN).
Accuracy: A* and N* to 1e-10 (N* relative to A*). Cost: 3 to 20
evaluations of the continuous function, at most 40.)";

constexpr const char* erlangb_rapp =
    R"(Rapp's approximation of the equivalent random group, as the pair (load,
circuits), with Z = variance / mean:
A* = V + 3 Z (Z - 1), N* = A* (M + Z) / (M + Z - 1) - M - 1, a negative N*
taken as 0. Same domain as erlangb_equivalent_random. Cost: a few
arithmetic operations.)";

constexpr const char* erlangb_overflow_blocking =
    R"(The share of the calls of traffic (mean, variance) that a final group of
c >= 0 circuits (real allowed) loses: A* B(N* + c, A*) / M through the
equivalent random group of the method, or Hayward's B(c / Z, M / Z).

method is 'equivalent_random' (Wilkinson's group solved exactly), 'rapp'
or 'hayward' (any other is ValueError). c = 0 gives 1. NaN for a negative
or NaN c and where the method has no group for the traffic (see
erlangb_equivalent_random; Hayward's needs mean > 0, 0 < Z <= 50 and
mean / Z <= 5e6, so it takes smooth traffic too). Accuracy, for the exact
method: 1e-9 wherever the blocking is at least 1e-300. Cost: the group's
solve and one evaluation of the continuous function.)";

constexpr const char* erlangb_group_blocking =
    R"(The share that erlangb_overflow_blocking gives, through an equivalent
random group (load, circuits) of the traffic (mean, variance) that the
caller has already, without solving it again: A* B(N* + c, A*) / M.

1 for c = 0; NaN for a negative or NaN c or a NaN group. Cost: one
evaluation of the continuous function.)";

constexpr const char* erlangb_overflow_circuits =
    R"(The fewest whole circuits whose blocking, as erlangb_overflow_blocking
gives it, is at most target (int64). 0 where that blocking is NaN or
target lies outside [1e-290, 1). method as for erlangb_overflow_blocking.
Cost: the fractional count, then two or three evaluations of the blocking.)";

constexpr const char* erlangb_overflow_fractional_circuits =
    R"(The real number of circuits c > 0 at which the blocking of
erlangb_overflow_blocking is exactly target (at least 1e-290). Accuracy:
1e-9 circuits (times the peakedness for Hayward's). Rapp's group may block
less than target as c approaches 0: then 0. NaN where
erlangb_overflow_circuits gives 0. method as for erlangb_overflow_blocking.
Cost: the group's solve, then erlangb_fractional_circuits at its load.)";

// ---- Erlang C

constexpr const char* erlangc =
    R"(The probability that a call waits when A erlangs are offered to s agents
whose calls queue: C = s B / (s - A (1 - B)), B the Erlang B blocking.

s real, 0 < s <= 1e7; A in [0, 5e6]; outside, or NaN, gives NaN. 1 where
s <= A (the queue grows without bound), 0 where A = 0. Accuracy: 1e-12
wherever C is at least 1e-300. Cost: one evaluation of the continuous
function.)";

constexpr const char* erlangc_service_level =
    R"(The share of calls answered within t >= 0 holding times:
1 - C e^(-(s - A) t), in two parts that do not cancel.

0 where s <= A; NaN for a negative or NaN t, and s and A as for erlangc.
Accuracy: 1e-12, where it is tiny too. Cost: one evaluation of the
continuous function.)";

constexpr const char* erlangc_mean_wait =
    R"(The mean wait over all calls, C / (s - A), in holding times; +inf where
s <= A. s and A as for erlangc. Accuracy: 1e-12 wherever it is at least
1e-300. Cost: one evaluation of the continuous function.)";

constexpr const char* staffing_targets = R"(
Targets, keywords only, each unset when absent or None (NaN):
  service_level     at least this share answered within answer_time, in (0, 1)
  answer_time       holding times, >= 0, with service_level only
  mean_wait         at most this mean wait, holding times, above 0, finite
  wait_probability  at most this share waiting, in (0, 1)
  max_occupancy     at most this occupancy, in (0, 1)
  max_abandonment   at most this share abandoning, in (0, 1) (Erlang A;
                    met everywhere in Erlang C, where nobody abandons)
  max_blocking      at most this share blocked, in (0, 1) (Erlang X; met
                    everywhere in Erlang C and A, whose lines are endless)
  service_level_of  which calls service_level counts: "offered" (all calls
                    offered, the default), "answered" (the answered calls)
                    or "virtual" (the calls that get a line whose offered
                    wait is within answer_time); Erlang A staffs by the
                    offered calls only, Erlang C's three agree
They broadcast with the other arguments (service_level_of is one name).)";

constexpr const char* erlangc_agents =
    R"(The fewest whole agents s > A that meet every target set, judged by the
figures erlangc, erlangc_service_level and erlangc_mean_wait give at s
(int64). 0, which no answer is, where no target is set, one lies outside
its domain, A does, or the answer would exceed 1e7. Cost: about a
microsecond at any load (3 evaluations of the continuous function per
target on the queue, more only where roundings differ).)";

constexpr const char* erlangc_fractional_agents =
    R"(The real number of agents at which the binding target is met exactly, in
(erlangc_agents - 1, erlangc_agents]. NaN where erlangc_agents gives 0.
Accuracy: 1e-9 agents. Cost: erlangc_agents, then 3 to 20 evaluations per
target on the queue (5 to 8 typically).)";

constexpr const char* erlangc_load =
    R"(The largest load s agents carry while meeting every target set. s real,
0 < s <= 5e6. NaN where no target is set, one lies outside its domain, or
s does. For whole s, erlangc_agents of the load is s. Accuracy: 1e-12
(relative) in the load. Cost: about 6 to 10 evaluations of the continuous
function per target on the queue (at most 80).)";

// ---- Erlang A

constexpr const char* erlanga_common = R"(
Erlang A (M/M/s+M): callers who find every agent busy wait, each ready to
wait an exponential time of mean patience (holding times), and hang up
when it runs out. s real, 0 < s <= 1e7; A in [0, 5e6]; patience > 0,
inf for callers who never abandon (Erlang C's figures, as is any patience
above 1e100); outside, or NaN, gives NaN. With a finite patience s <= A
has finite figures. Accuracy: 1e-12 wherever the figure is at least
1e-300, for s and A up to 20,000, A / s from 0.2 to 3, patience from 0.01
to 1e5. Cost: 0.6 to 1.5 microseconds (from the incomplete gamma
function or a sum over the queue's states), 5 to 10 where only
double-exponential quadrature of the offered wait keeps the digits.)";

constexpr const char* erlanga_wait_probability =
    R"(The share of calls that find every agent busy and wait. 0 where A = 0.)";

constexpr const char* erlanga_abandonment =
    R"(The share of all calls that abandon; also the mean time in queue over all
calls divided by the patience (Little's law).)";

constexpr const char* erlanga_service_level =
    R"(The share of all calls answered after waiting at most t >= 0 holding
times; calls that abandon count as not answered. NaN for a negative or NaN
t.)";

constexpr const char* erlanga_abandoned_within =
    R"(The share of all calls that abandon within t >= 0 holding times, to leave
short abandons out of a service level. NaN for a negative or NaN t.)";

constexpr const char* erlanga_mean_wait =
    R"(The mean wait of the answered calls (the ASA), those answered at once
counting with 0, in holding times; +inf where patience is inf and
s <= A.)";

constexpr const char* erlanga_occupancy =
    R"(The agents' occupancy by answered calls, (1 - abandonment) A / s, with
the answered share computed directly, so that it keeps its digits where
nearly every caller abandons; Erlang C's (A / s, 1 where s <= A) for an
infinite patience.)";

constexpr const char* erlanga_agents =
    R"(The fewest whole agents (at least 1) that meet every target set, judged by
Erlang A's figures (int64); the occupancy is (1 - abandonment) A / s. 0,
which no answer is, where no target is set, one lies outside its domain, A
or patience does, or the answer would exceed 1e7. Cost: 3 figures at 10
erlangs, 5 at 10,000 (3.5 microseconds), 6 at a million.)";

constexpr const char* erlanga_fractional_agents =
    R"(The real number of agents, in (erlanga_agents - 1, erlanga_agents], at
which the binding target is met exactly. Where only a mean wait is set and
it holds for every s, 2^-60; with no load, 0. NaN where erlanga_agents
gives 0. Accuracy: 1e-9 agents. Cost: erlanga_agents, then 4 to 10
figures per target.)";

constexpr const char* erlanga_load =
    R"(The largest load s agents carry while meeting every target set, judged by
Erlang A's figures. s real, 0 < s <= 5e6. NaN where no target is set, one
lies outside its domain, or s or patience does. For whole s,
erlanga_agents of the load is s. Accuracy: 1e-12 (relative) in the load.
Cost: 8 to 10 figures per target from 10 to a million agents (5 to 17
microseconds).)";

// ---- Engset

constexpr const char* engset_common = R"(
Engset: S sources share n circuits; beta is the traffic one idle source
offers, E the total offered traffic counted from call attempts (what a
measurement gives), E = beta (S - Y), Y the carried traffic. n and S
whole, 0 <= n, 1 <= S <= 1e7; beta finite and >= 0; targets strictly
between 0 and 1; outside, or NaN, gives NaN (0 for a count). Where n >= S
nothing is blocked. Accuracy: 1e-12 wherever the figure is at least
1e-300, for S up to 10,000. Cost: min(n, S) steps of a recursion without
subtraction per figure.)";

constexpr const char* engset_time_congestion =
    R"(The share of time all n circuits are busy; 1 where n = 0, 0 where n > S.)";

constexpr const char* engset_call_congestion =
    R"(The share of call attempts blocked (the time congestion of S - 1
sources): the blocking.)";

constexpr const char* engset_traffic_congestion =
    R"(The share of the traffic S beta / (1 + beta), which circuits enough for
every source would carry, that is lost.)";

constexpr const char* engset_carried = R"(The carried traffic Y in erlangs.)";

constexpr const char* engset_offered =
    R"(The total offered traffic E = beta (S - Y) in erlangs, counted from call
attempts.)";

constexpr const char* engset_beta =
    R"(The traffic per idle source whose total offered traffic is E (the inverse
of engset_offered); NaN where n >= S and E >= S. Cost: 4 to 8 figures.)";

constexpr const char* engset_circuits =
    R"(The fewest whole circuits whose call congestion at total offered traffic
E is at most target (int64): at most S and at most Erlang B's count. 0,
which no answer is, outside the domain. Cost: 3 to 6 steps, each an
engset_beta.)";

constexpr const char* engset_load =
    R"(The most total offered traffic at which n circuits block at most target
of the call attempts; S where n >= S (nothing blocked, which no finite beta
reaches).)";

constexpr const char* engset_sources =
    R"(The most sources, each offering a = E / S erlangs (0 < a < 1), that n
circuits serve blocking at most target of the call attempts (int64); at
least n. 0 outside the domain or past 1e7.)";

// ---- Extended Erlang B

constexpr const char* retrial_common = R"(
Extended Erlang B: fresh calls offer A0 erlangs to n circuits, and a share
recall of the blocked attempts is repeated, so that the circuits see an
offered load a with a (1 - recall B(n, a)) = A0. n real, 0 < n <= 1e7;
A0 in [0, 5e6]; recall in [0, 1]; targets strictly between 0 and 1;
outside, or NaN, gives NaN (0 for a count). With recall 1 a fresh load of
n or more needs an endless offered load (inf), blocked always. Accuracy:
1e-12 wherever the figure is at least 1e-300, for n and A0 up to 1e5.
Cost: 4 to 10 evaluations of the continuous Erlang B function.)";

constexpr const char* extended_erlangb_offered =
    R"(The offered load a, retries included; with recall 1, the offered load
behind a measured carried load A0.)";

constexpr const char* extended_erlangb = R"(The share of attempts blocked, B(n, a).)";

constexpr const char* extended_erlangb_lost =
    R"(The share of fresh callers finally lost, a B(n, a) (1 - recall) / A0; 0
with recall 1.)";

constexpr const char* extended_erlangb_circuits =
    R"(The fewest whole circuits blocking at most target of the attempts (int64):
Erlang B's count for A0 / (1 - recall target).)";

constexpr const char* extended_erlangb_load =
    R"(The most fresh load n circuits take blocking at most target of the
attempts: erlangb_continuous_load(n, target) (1 - recall target).)";

constexpr const char* extended_erlangb_fractional_circuits =
    R"(The real number of circuits blocking exactly target of the attempts:
erlangb_fractional_circuits(A0 / (1 - recall target), target).)";

// ---- Erlang X

constexpr const char* erlangx_common = R"(
Erlang X: s whole agents and `lines` places in all (whole, at least s;
inf for no limit), callers who find every line taken blocked, those who
wait ready to wait an exponential time of mean patience (holding times;
inf for callers who never abandon). A in [0, 5e6]; outside, or NaN, gives
NaN, as do more than 1e5 places to wait (for endless lines whose queue,
about (A - s) patience places, passes 3,000, Erlang A's figures).
Accuracy: 1e-12 wherever the figure is at
least 1e-300, for s up to 2,000, lines up to s + 5,000 and inf, A / s
from 0.2 to 3, patience from 0.01 to 1e5 and inf. Cost: about 100 ns a
place to wait, twice that for a timed figure.)";

constexpr const char* erlangx_blocking =
    R"(The share of arriving calls that find every line taken; 0 for endless lines.)";

constexpr const char* erlangx_wait_probability =
    R"(The share of arriving calls that get a line and wait.)";

constexpr const char* erlangx_abandonment =
    R"(The share of arriving calls that hang up while waiting.)";

constexpr const char* erlangx_service_level =
    R"(The share of arriving calls answered within t >= 0 holding times (blocked
and abandoning calls are not).)";

constexpr const char* erlangx_answered_service_level =
    R"(The share of answered calls answered within t >= 0 holding times.)";

constexpr const char* erlangx_virtual_service_level =
    R"(The share of the calls that get a line whose offered wait (the wait if
they never hung up) is at most t >= 0 holding times.)";

constexpr const char* erlangx_mean_wait =
    R"(The mean wait of the answered calls (the ASA), in holding times.)";

constexpr const char* erlangx_virtual_mean_wait =
    R"(The mean offered wait of the calls that get a line, in holding times. The
mean time in queue of all calls is the abandonment times the patience
over 1 - the blocking.)";

constexpr const char* erlangx_offered =
    R"(The offered load when a share redial (0 <= redial < 1) of the blocked and
abandoning callers call again: the A with A = A0 + redial A (blocking +
abandonment), A0 the fresh load; extended Erlang B's where lines = s.)";

constexpr const char* erlangx_patience =
    R"(The mean patience (holding times) at which a share abandonment (strictly
between 0 and 1) of the arriving calls hangs up: the inverse of
erlangx_abandonment in the patience, as estimated from an observed
share. NaN where no patience from 1e-300 to 1e300 (1e100 with endless
lines, whose abandons past it are Erlang C's) gives it. Accuracy:
the share at the answer is the one given to 1e-13. Cost: 10 to 20
figures.)";

constexpr const char* erlangx_agents =
    R"(The fewest whole agents, at least 1 and at most lines, that meet every
target set at the offered load erlangx_offered gives for the fresh load
A0 and share redial at those agents (int64), taken literally: with few
lines, the wait probability and the abandonment rise to a peak and fall
as the agents fall, so that few enough agents to block most calls may
meet them (set max_blocking to rule that out). 0, which no answer is,
where none up to lines does, or an argument or target lies outside its
domain. Cost: 5 to 10 points near the answer (a point: a figure, with
redials 5 to 8 more), 1 + log2(lines - count) more for each peaked
target.)";

constexpr const char* erlangx_load =
    R"(The most fresh load s agents carry while meeting every target set: the
load up to which every target holds as the load grows from 0 (past the
peak of the wait probability or the abandonment, where most calls are
blocked, they may hold again: not counted), at most 5e6 (1 - redial).
s whole, 1 <= s <= lines. NaN outside the domain. Accuracy: 1e-13 relative. Cost: 8 to 16 points per
target, 35 more per peaked target met at the load.)";

// ---- The Poisson formula

constexpr const char* poisson_common = R"(
The Poisson (Molina) formula: blocked calls are held for their holding
time, so that the blocking is the chance that a Poisson(A) count reaches n,
the regularized incomplete gamma function P(n, A). n real, 0 < n <= 1e7;
A in [0, 5e6]; targets strictly between 0 and 1; outside, or NaN, gives
NaN (0 for a count). Accuracy: 1e-12 wherever the figure is at least
1e-300, for n and A up to 1e5.)";

constexpr const char* poisson_blocking =
    R"(The blocking P(n, A). Cost: about one evaluation of the continuous
Erlang B function.)";

constexpr const char* poisson_circuits =
    R"(The fewest whole circuits blocking at most target (int64). Cost: 3 to 8
figures.)";

constexpr const char* poisson_load =
    R"(The load n circuits carry blocking exactly target. Cost: 5 to 10
figures.)";

constexpr const char* poisson_fractional_circuits =
    R"(The real number of circuits blocking exactly target, between
poisson_circuits and one fewer; 0 where A is 0. Cost: 8 to 18 figures.)";

}  // namespace docs

#endif  // TELETRAFFIC_PYTHON_DOCS_H
