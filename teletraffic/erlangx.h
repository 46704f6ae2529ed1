// SPDX-License-Identifier: MIT
// Waiting systems with a limited number of lines: Erlang X's figures.
// Calls come at rate A (erlangs: times are in holding times, the mean
// handling time is 1) to s agents and `lines` places in all, answered and
// waiting; a call that finds every line taken gets a busy tone, one that
// finds the agents busy waits in order, ready to wait a time drawn from an
// exponential distribution of mean `patience`, and hangs up when it runs
// out before an agent answers. Part of the teletraffic library: #include
// <teletraffic/erlangx.h>, link teletraffic. Nothing here reads, prints or
// keeps state.
//
// The chain of calls present is finite, so every figure is a finite sum
// over the queue an arriving call finds, m callers ahead of it:
// - it is answered with probability a / (a + m + 1), a = s patience (the
//   rates of those ahead telescope);
// - its offered wait, the wait it would have if it never hung up, is a sum
//   of exponentials of rates s + i / patience, i = 0 .. m, whose
//   distribution is an incomplete beta function in e^(-t / patience):
//   P(wait <= t) is the tail beyond m of a negative binomial distribution
//   (of a Poisson one, s t, for endless patience), every term positive,
//   and the answer within t takes the same with a + 1 for a;
// - its mean offered wait is patience times the sum of 1 / (a + i).
// Two definitions of each: the service level of all offered calls (those
// blocked or abandoning are not answered within t), of the answered calls,
// and the virtual one, the share of the calls that get a line whose offered
// wait is at most t; the mean wait of the answered calls and the virtual
// mean wait of the calls that get a line. The mean time in the queue of
// all calls, abandoning ones included, is the abandonment times the
// patience over 1 - the blocking.
//
// s whole, 1 <= s <= erlangb_max_circuits; A in [0, erlangb_max_load];
// lines whole, s <= lines <= s + 10^5, or +infinity for no limit (where
// the queue the load builds, about (A - s) patience and a spread of
// sqrt(A patience) beyond it, passes 3,000 places, Erlang A's figures
// (erlanga.h), its quadrature giving the virtual ones; with endless
// patience too, Erlang C's figures, for A < s); patience > 0, +infinity
// for callers who never abandon (above 1e100 every figure but the
// abandons is endless patience's to 1e-100; the abandons are kept to
// first order); t >= 0. Arguments outside these, or NaN, give NaN.
//
// Accuracy: 1e-12 relative against 60-digit arithmetic
// (tests/erlangx_reference.py) wherever a figure is at least 1e-300, over
// s up to 2,000, lines up to s + 5,000, A / s from 0.2 to 3, patience from
// 0.01 to 1e5 and infinity, t from 0 to 10. Cost: an evaluation of the
// continuous Erlang B function and two passes over the lines - s places
// of the queue (over the places its weights reach, for endless lines),
// about 100 ns a place, and for a timed figure two more: 2 us at 10
// places, 0.5 ms at 5,000, twice that timed (bench/, lines_figure);
// Erlang A's figures and a quadrature, 5 to 40 us, for endless lines past
// 3,000 places.
#ifndef TELETRAFFIC_ERLANGX_H
#define TELETRAFFIC_ERLANGX_H

#include "teletraffic/erlangc.h"

// The share of arriving calls that find every line taken. 0 for endless
// lines.
double erlangx_blocking(double s, double A, double lines, double patience);

// The share of arriving calls that get a line and wait.
double erlangx_wait_probability(double s, double A, double lines, double patience);

// The share of arriving calls that hang up while waiting.
double erlangx_abandonment(double s, double A, double lines, double patience);

// The share of arriving calls answered within t (blocked and abandoning
// calls are not).
double erlangx_service_level(double s, double A, double lines, double patience, double t);

// The share of answered calls answered within t.
double erlangx_answered_service_level(double s, double A, double lines, double patience, double t);

// The share of the calls that get a line whose offered wait is at most t.
double erlangx_virtual_service_level(double s, double A, double lines, double patience, double t);

// The mean wait of the answered calls (the average speed of answer).
double erlangx_mean_wait(double s, double A, double lines, double patience);

// The mean offered wait of the calls that get a line.
double erlangx_virtual_mean_wait(double s, double A, double lines, double patience);

// ---- Callers who call again --------------------------------------------

// The offered load when a share `redial` (0 <= redial < 1) of the blocked
// and abandoning callers call again, at once, as fresh calls do: the A
// with A = A0 + redial A (blocking + abandonment), A0 >= 0 the fresh load.
// With lines = s it is extended Erlang B's (retrial.h, recall = redial).
// NaN where the answer would pass erlangb_max_load. Cost: regula falsi
// between A0 and A0 / (1 - redial): 5 to 8 untimed figures.
double erlangx_offered(double s, double A0, double lines, double patience, double redial);

// ---- The callers' patience -------------------------------------------------

// The mean patience at which a share `abandonment` (strictly between 0 and
// 1) of the arriving calls hangs up: the inverse of erlangx_abandonment in
// the patience, as planners estimate it from an observed share. The share
// falls as the patience grows, from what it is when every caller who waits
// hangs up at once (the Erlang B blocking of s agents, for lines > s)
// toward 0 (toward 1 - s / A with endless lines and A > s, where it need
// not fall throughout: the answer is then a patience with that share).
// NaN where no patience from 1e-300 to 1e300 (to 1e100 with endless lines,
// whose abandons past it are Erlang C's) gives the share, or an
// argument lies outside the domain above. Accuracy: the share at the
// answer is the one given to 1e-13 (relative). Cost: steps in ln patience
// from 1 out to a bracket, then regula falsi: 10 to 20 untimed
// figures, 17 to 35 us from 10 to 1,000 erlangs (bench/, lines_patience).
double erlangx_patience(double s, double A, double lines, double abandonment);

// ---- Staffing and the load -------------------------------------------------

// The targets are erlangc.h's StaffingTarget, the service level by the
// definition its service_level_of names (the offered calls', the answered
// calls' or the virtual one, as above), the mean wait the answered calls',
// the occupancy the answered calls' (answered share times A / s, A the
// offered load), max_blocking the blocking's. Every figure is taken at the
// offered load erlangx_offered gives for the fresh load A0 and a share
// `redial` (0 <= redial < 1) of the blocked and abandoning callers calling
// again, at those agents. lines and patience as above.
//
// The service level, the mean wait, the occupancy and the blocking only
// improve as the agents come and worsen as the load grows. The wait
// probability and the abandonment do not, with finite lines: where a few
// agents face a heavy load, calls are blocked instead of queued, and both
// fall as the agents fall (or the load grows) past a peak. Both searches
// take them as rising to one peak and falling after it.

// The fewest whole agents, at least 1 and at most `lines`, that meet every
// target set, taken literally: with the wait probability or the
// abandonment set, few enough agents to block most calls may meet it (set
// max_blocking to rule that out). 0, which no answer is, where no number
// of agents up to lines (and erlangb_max_circuits) meets them, or an
// argument or target lies outside its domain, no target being set among
// them. Found so: the fewest meeting the targets that ease with the
// agents, from the load's count out by sqrt(A0), doubling, to a bracket
// and regula falsi on whole numbers; then, while a peaked target misses at
// that count, the fewest above it that meet that target (which there lie
// together above those that miss), found by halving the counts up to
// `lines`. Cost: 5 to 10 points near the answer for the eased targets (a
// point: a figure, and with redials erlangx_offered's 5 to 8 more), a
// further 1 + log2(lines - count) for each peaked target that misses,
// counted in `evaluations` when it is given; each point's cost as above:
// 80 % within 20 s of a 180 s call at 1,000 erlangs and 1,100 lines takes
// 7 points, 0.18 ms, and 0.63 ms with 30 % redials (bench/, lines_agents,
// lines_redial_agents).
int erlangx_agents(double A0, double lines, double patience, double redial,
                   const StaffingTarget& target, int* evaluations = nullptr);

// The most fresh load s agents carry while meeting every target set: the
// load up to which every target holds as the load grows from 0 (past the
// peak of the wait probability or the abandonment, where most calls are
// blocked, they may hold again; those loads are not counted), at most
// erlangb_max_load (1 - redial), whose offered load stays in the domain.
// s whole, 1 <= s <= lines. Round trip: erlangx_agents of the load is at most s,
// and s where the answer to it lies past the peaks. NaN where an argument
// or target lies outside its domain. Accuracy: 1e-13 relative in the load. Found so: steps in ln A0
// from s, doubling, to a bracket for each eased target and regula falsi; then for each peaked
// target, where it holds at that load, a golden-section search for its peak below it (to 1e-3 in ln
// A0, about 25 points), and regula falsi below the peak where that misses. Cost: 8 to 16 points per
// target, 35 more per peaked one met at the load, counted in `evaluations` when it is given: 15
// points, 0.19 ms, for 900 agents (bench/, lines_load).
double erlangx_load(double s, double lines, double patience, double redial,
                    const StaffingTarget& target, int* evaluations = nullptr);

#endif  // TELETRAFFIC_ERLANGX_H
