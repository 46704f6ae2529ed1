#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks erlangb-table's ITU-T layout against 50-digit decimal arithmetic.

Reads the table as CSV on standard input (circuits,blocking,load) and, for
every cell, evaluates B(n, load) by the recurrence B(k) = A B(k-1) / (k + A
B(k-1)) in 50-digit decimal, then the load's relative error from the exact
root through one Newton step in decimal. Exits non-zero if any cell is off
by more than 1e-12 (relative), or if a cell is missing:

    erlangb-table -n 1..301 -b ... --csv | python3 tests/table_reference.py
"""
import sys
from decimal import Decimal, getcontext

getcontext().prec = 50


def main():
    lines = sys.stdin.read().split()
    assert lines[0] == "circuits,blocking,load", lines[0]
    worst, where = Decimal(0), None
    for line in lines[1:]:
        n, t, a = line.split(",")
        n, t, a = int(n), Decimal(t), Decimal(a)
        b = Decimal(1)
        for k in range(1, n + 1):
            ab = a * b
            b = ab / (k + ab)
        # d ln B / d ln A = n - A (1 - B): one Newton step gives the exact
        # root's distance from the load, relative to it, to far below 1e-12.
        error = abs((b.ln() - t.ln()) / (n - a * (1 - b)))
        if error > worst:
            worst, where = error, line
    print(f"{len(lines) - 1} cells, largest relative error {worst:.2e} at {where}")
    sys.exit(0 if len(lines) == 1 + 301 * 20 and worst <= Decimal("1e-12") else 1)


if __name__ == "__main__":
    main()
