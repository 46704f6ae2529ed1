// SPDX-License-Identifier: MIT
// Loss systems with few sources: Engset. S sources share n circuits; an
// idle source calls at a rate that, times the mean holding time, is
// `beta`, the traffic one idle source offers; a call that finds every
// circuit busy is lost, and its source goes back to idle. Part of the
// teletraffic library: #include <teletraffic/engset.h>, link teletraffic.
// Nothing here reads, prints or keeps state.
//
// Two offered traffics, and tools disagree on which they mean: `beta`, per
// idle source, and E, the total counted from call attempts (attempts times
// the mean holding time: what a traffic measurement gives, and what the
// sizing functions below take), E = beta (S - Y), Y the carried traffic.
// Dividing E by S and taking it for beta undersizes by some 20 %. Three
// congestions, all of them shares: of time (all n circuits busy), of call
// attempts (the time congestion S - 1 sources would see, "the blocking"),
// and of traffic (Y against the S beta / (1 + beta) that no blocking would
// carry). Where n >= S no call is blocked.
//
// n whole, 0 <= n; S whole, 1 <= S <= erlangb_max_circuits (10^7); beta
// finite and >= 0; a target strictly between 0 and 1. Arguments outside these, or NaN, give NaN (0
// for a count). Accuracy: 1e-12 relative against 40-digit arithmetic
// (tests/loss_reference.py) over S up to 10^4 wherever a figure is at
// least 1e-300. Cost: the time congestion is min(n, S) steps of the
// recursion 1 / E_k = 1 + k / ((S - k + 1) beta) / E_(k-1), every term
// positive (2 ns a step); each figure one such pass; beta and the sizing
// functions a few passes more, as each states.
#ifndef TELETRAFFIC_ENGSET_H
#define TELETRAFFIC_ENGSET_H

#include "teletraffic/erlangb.h"

// ---- The figures, given the traffic per idle source ---------------------

// The share of time all n circuits are busy. 1 where n = 0; 0 where n > S.
double engset_time_congestion(int n, int S, double beta);

// The share of call attempts blocked: the time congestion of S - 1
// sources. 0 where n >= S.
double engset_call_congestion(int n, int S, double beta);

// The share of the traffic S beta / (1 + beta), which n >= S circuits would
// carry, that is lost: B / (1 + beta (1 - B)), B the call congestion.
double engset_traffic_congestion(int n, int S, double beta);

// The carried traffic Y = S beta (1 - B) / (1 + beta (1 - B)).
double engset_carried(int n, int S, double beta);

// The total offered traffic E = beta (S - Y) = S beta / (1 + beta (1 - B)).
double engset_offered(int n, int S, double beta);

// The traffic per idle source whose total offered traffic is E >= 0: the
// inverse of engset_offered. NaN where n >= S and E >= S (that many
// sources, never blocked, offer less than S). Cost: some 7 passes (regula
// falsi between E / S and E / (S - max(E, n))).
double engset_beta(int n, int S, double E);

// ---- Sizing, given the total offered traffic -----------------------------

// The fewest whole circuits whose call congestion at total offered traffic
// E >= 0 is at most target: at most S (where nothing is blocked) and at
// most Erlang B's count for E. 0, which no answer is, where an argument
// lies outside its domain. Cost: regula falsi on whole numbers from Erlang
// B's count, each step an engset_beta and a pass: some 40 passes, 2 us at
// 30 sources, 0.17 ms at 10,000 (bench/, few_sources_circuits).
int engset_circuits(int S, double E, double target);

// The most total offered traffic at which n circuits block at most target
// of the call attempts. Where n >= S nothing is blocked, and the answer is
// S, which no finite beta reaches. Cost: 4 to 10 passes.
double engset_load(int n, int S, double target);

// The most sources, each offering a = E / S erlangs (0 < a < 1), that n
// circuits serve blocking at most target of the call attempts; at least n
// (where nothing is blocked). 0 where an argument lies outside its
// domain, or the answer would exceed erlangb_max_circuits. Cost: steps
// out from Erlang B's load over a, then regula falsi on whole numbers,
// each step an engset_beta and a pass: some 50 passes.
int engset_sources(int n, double a, double target);

#endif  // TELETRAFFIC_ENGSET_H
