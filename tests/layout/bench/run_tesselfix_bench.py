#!/usr/bin/env python3
"""Times tesselfix fitting one new item into an old layout of 5,000 and of
20,000 items, in max compression (the default), and prints for each shape the
ratio of the two times next to its goal: growing the layout four times may
make the run at most six times slower.

  run_tesselfix_bench.py PATH_TO_TESSELFIX [WORK_DIR] [--repeat N]

Shapes (see generate_ta.py): "fit", where a few shrink rounds make room for
the new column, and "far-out", where one old item lies far outside the root,
so that all 101 rounds run and the last one fails.  Each time is the best of
N runs (default 3).
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

SHAPES = ["fit", "far-out"]
SMALL, LARGE = 5000, 20000
GOAL_RATIO = 6.0


def best_time(tesselfix, work, shape, size, repeat):
    prefix = os.path.join(work, f"{shape}-{size}")
    if not os.path.exists(prefix + ".new.ta"):
        subprocess.run([sys.executable, os.path.join(HERE, "generate_ta.py"), shape, str(size), prefix], check=True)
    best = None
    for _ in range(repeat):
        start = time.perf_counter()
        res = subprocess.run([tesselfix, prefix + ".old.ta", prefix + ".old.lay", prefix + ".new.ta",
                              os.path.join(work, "out.lay")], cwd=work, capture_output=True, text=True)
        seconds = time.perf_counter() - start
        if res.returncode != 0:
            sys.exit(f"tesselfix failed on {shape} {size} with status {res.returncode}:\n{res.stdout}{res.stderr}")
        best = seconds if best is None else min(best, seconds)
    return best


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tesselfix")
    parser.add_argument("work", nargs="?")
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    tesselfix = os.path.abspath(args.tesselfix)
    work = args.work or tempfile.mkdtemp(prefix="tesselfix-bench-")
    os.makedirs(work, exist_ok=True)
    print(f"{'shape':10} {'5,000 s':>9} {'20,000 s':>9} {'ratio':>7} {'goal':>6}")
    for shape in SHAPES:
        small = best_time(tesselfix, work, shape, SMALL, args.repeat)
        large = best_time(tesselfix, work, shape, LARGE, args.repeat)
        ratio = large / small
        verdict = "met" if ratio <= GOAL_RATIO else "MISSED"
        print(f"{shape:10} {small:9.3f} {large:9.3f} {ratio:7.2f} {'<= ' + str(int(GOAL_RATIO)):>6} {verdict}")


if __name__ == "__main__":
    main()
