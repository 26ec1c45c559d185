#!/usr/bin/env python3
"""Draws what api_bench --csv wrote: for each phase, the time of one operation
against the number of objects, symbase beside SQLite, on log-log axes.

    bench/api/plot.py results.csv docs/api-bench.png

Needs matplotlib (Debian: python3-matplotlib).
"""

import csv
import sys
from collections import defaultdict

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402  (after the backend is chosen)

COLOURS = {"symbase": "#1f6fb4", "SQLite": "#d9731f"}


def read(path):
    """{phase: {engine: {size: seconds per operation}}}, in file order."""
    times = defaultdict(lambda: defaultdict(dict))
    with open(path, newline="") as f:
        for row in csv.reader(f):
            if len(row) != 5 or row[1] == "peak memory MB":
                continue
            size, phase, engine, seconds, operations = row
            if float(operations) <= 0 or float(seconds) <= 0:
                continue
            times[phase][engine][int(size)] = float(seconds) / float(operations)
    return times


def draw(times, out):
    phases = list(times)
    columns = 4
    rows = (len(phases) + columns - 1) // columns
    fig, axes = plt.subplots(rows, columns, figsize=(4 * columns, 3 * rows), squeeze=False)
    for ax, phase in zip(axes.flat, phases):
        for engine, points in times[phase].items():
            sizes = sorted(points)
            ax.plot(sizes, [points[s] * 1e6 for s in sizes], marker="o",
                    color=COLOURS.get(engine), label=engine)
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_title(phase, fontsize=10)
        ax.set_xlabel("objects", fontsize=8)
        ax.set_ylabel("µs per operation", fontsize=8)
        ax.tick_params(labelsize=7)
        ax.grid(True, which="major", alpha=0.3)
        ax.legend(fontsize=7)
    for ax in list(axes.flat)[len(phases):]:
        ax.axis("off")
    fig.suptitle("symbase and SQLite through the same work: time per operation")
    fig.tight_layout()
    fig.savefig(out, dpi=90)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: plot.py results.csv out.png")
    times = read(sys.argv[1])
    if not times:
        sys.exit(sys.argv[1] + ": no results")
    draw(times, sys.argv[2])


if __name__ == "__main__":
    main()
