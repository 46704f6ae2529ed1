// SPDX-License-Identifier: MIT
// Waiting systems whose callers abandon: Erlang A (M/M/s+M). Calls that
// find every agent busy wait in order, each ready to wait a time drawn
// from an exponential distribution of mean `patience`, and hang up when
// it runs out before an agent answers. The share that waits, the share
// that abandons, the service level, the mean wait of the answered calls,
// and the agents a load needs or the load agents carry under targets on
// them. Part of the teletraffic library: #include <teletraffic/erlanga.h>,
// link teletraffic. Nothing here reads, prints or keeps state.
//
// Times are in holding times (the mean handling time is 1), loads A in
// erlangs (0 <= A <= erlangb_max_load), agents s real (whole or
// fractional, through the continuous Erlang B function;
// 0 < s <= erlangb_max_circuits), patience > 0 the callers' mean patience,
// +infinity for callers who never abandon, which gives Erlang C's figures
// (and, where s <= A, their limits as the patience grows: every call
// waits, 1 - s / A abandon); so does any patience above 1e100, where they
// agree to far below a rounding step, and below 1e-290 every call that
// waits abandons at once. With a finite patience the queue is always
// stable, so s <= A has finite figures. Arguments outside these, or NaN,
// give NaN.
//
// Accuracy, relative error against 40-digit arithmetic wherever a figure
// is at least 1e-300, over s and A up to 20,000, A / s from 0.2 to 3,
// patience from 0.01 to 1e5 and infinity, t from 0 to 10: 1e-12. Where
// patience is long and s is close to A the figures are sensitive to the
// last bit of A (2e-11 a bit at patience 1e5 near 20,000 erlangs); they
// are taken for the given doubles, the products and logarithms that
// carry that sensitivity in long double (x86's 80 bits). Agents below
// about 1e-300, whose offered waits run past the largest double, need
// its range too: where long double is double, the figures there miss the
// far tail (still within [0, 1], never NaN).
//
// Cost: each figure by the cheapest of three ways that keeps that
// accuracy, the rest of the figures of its point coming with it:
// - where s patience >= 1 (it and A patience below 1e12) and the sums
//   below would take more than 250 terms, the shares (not the mean wait,
//   nor the abandons within t) from the regularized incomplete gamma
//   functions at s patience + 1 and A patience (and A patience
//   e^(-t / patience)), by the continuous function's methods: two or
//   three of its evaluations, 0.6 us at 10,000 erlangs (bench/,
//   abandon_figure); not where the abandoned calls' two terms cancel (a
//   load below the agents, whose waiting calls seldom abandon), nor the
//   service level's;
// - where the sums over the states of the queue take at most 3,000
//   terms (about (A - s) patience, where positive, and sqrt(80 A
//   patience) more; where A < s, the fewer of sqrt(80 s patience) and
//   45 / ln(s / A)), every figure from them, every term positive: one
//   evaluation and 3 ns a term, 0.7 us at 10 erlangs;
// - elsewhere, and for a service level that would cancel by more than 16
//   in those (the abandons within t by more than 2, which the long
//   doubles' digits must cover), double-exponential quadrature of the
//   offered wait, split where its density peaks and at t: one evaluation
//   and 100 to 400 exponentials, 5 to 10 us.
#ifndef TELETRAFFIC_ERLANGA_H
#define TELETRAFFIC_ERLANGA_H

#include "teletraffic/erlangc.h"

// ---- The figures -------------------------------------------------------------

// The share of calls that find every agent busy and wait. 0 when A = 0.
double erlanga_wait_probability(double s, double A, double patience);

// The share of all calls that abandon. It is also the mean time in queue
// over all calls (answered or not) divided by the patience, by Little's
// law, for callers who want that figure instead of the mean wait below.
double erlanga_abandonment(double s, double A, double patience);

// The share of all calls answered after waiting at most t >= 0 (calls
// that abandon count as not answered, wherever they abandon). NaN for a
// negative or NaN t.
double erlanga_service_level(double s, double A, double patience, double t);

// The share of all calls that abandon within t >= 0, so that a caller can
// form a service level that leaves out short abandons. NaN for a negative
// or NaN t.
double erlanga_abandoned_within(double s, double A, double patience, double t);

// The mean wait of the answered calls (the ASA), those answered at once
// counting with 0, in holding times. +infinity where patience is infinite
// and s <= A.
double erlanga_mean_wait(double s, double A, double patience);

// The agents' occupancy by answered calls, (1 - abandonment) A / s, the
// answered share computed directly, so that it keeps its digits where
// nearly every caller abandons (a vanishing number of agents). With a
// patience of +infinity Erlang C's, A / s, and 1 where s <= A.
double erlanga_occupancy(double s, double A, double patience);

// ---- Staffing ------------------------------------------------------------------

// The fewest whole agents (at least 1) that meet every target set, judged
// by the figures above: the service level of all calls, the mean wait of
// the answered ones, the wait probability, the abandonment
// (max_abandonment), and the occupancy (erlanga_occupancy). 0, which
// no answer is, when no target is set, one lies outside its domain
// (max_abandonment strictly between 0 and 1, the others as erlangc.h
// says), A or patience does, or the answer would exceed
// erlangb_max_circuits. A patience of +infinity staffs as erlangc_agents.
// Cost: from Erlang C's count, or from the fluid guess where that lies
// more than 4 sqrt(A) below A (every call waits, s / A of them answered,
// after patience ln(A / s)), out by sqrt(A) and then by secant steps to a
// bracket (by one agent first below a fluid guess that meets), then
// regula falsi on whole numbers, each step at the whole number above its
// root, guided by the targets' excesses: 3 figures at 10 erlangs, 5 at
// 10,000 (3.5 us, some 25 evaluations of the continuous function at the
// answer, where Erlang C's staffing takes 7), 6 at a million, 2 where the
// fluid guess is the answer, counted in `evaluations` (Erlang C's guess
// not counted) when it is given.
int erlanga_agents(double A, double patience, const StaffingTarget& target,
                   int* evaluations = nullptr);

// The real number of agents, in (erlanga_agents - 1, erlanga_agents], at
// which the binding target is met exactly, found by Anderson-Bjorck
// steps (in ln s below one agent). Under a load every target but the mean
// wait fails as s falls to 0; the answered calls' mean wait tends to a
// finite value there, and a target above it holds for every s: where no
// target binds that way, the answer is 2^-60 (about 9e-19), the least it
// tries. With no load it is 0, as erlangc_fractional_agents gives.
// Accuracy: 1e-9 agents, at any load down to the least double (1e-300
// erlangs need about 0.002 agents for 80 % within a tenth of a holding
// time). NaN where erlanga_agents gives 0. Cost: erlanga_agents, then 4 to
// 14 figures per target (the search runs on the logit of a share, which
// has no flat stretch where the share nears 1; an occupancy below one
// agent, which may level off as s falls, first narrows its bracket
// thousandfold, up to 5 figures more), counted in `evaluations` with the
// count's when it is given.
double erlanga_fractional_agents(double A, double patience, const StaffingTarget& target,
                                 int* evaluations = nullptr);

// ---- The load agents carry ------------------------------------------------

// The largest load s agents carry while meeting every target set, judged
// by the figures above (they meet every target there): the smallest, over
// the targets, of the load at which its figure equals it. s real, above 0
// and at most erlangb_max_load. NaN when no target is set, one lies
// outside its domain, or s or patience does. Round trip: for whole s,
// erlanga_agents of the load is s. Accuracy: 1e-12 (relative) in the load.
// Cost: steps in ln A from Erlang C's load (or s), or from the fluid load
// where that lies more than 4 sqrt(s) above s, the first of 1 / sqrt(s), to
// a bracket and Anderson-Bjorck on it: 8 to 10 figures per target from 10
// to a million agents (5 to 17 us), counted in `evaluations` when it is
// given.
double erlanga_load(double s, double patience, const StaffingTarget& target,
                    int* evaluations = nullptr);

#endif  // TELETRAFFIC_ERLANGA_H
