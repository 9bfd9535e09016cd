#!/usr/bin/env python3
"""Times tessel on the generated graphs and prints wall time and peak memory
(needs GNU time as /usr/bin/time, Debian package "time"), then the growth
from flat 1,000 to flat 8,000 items next to its goals.

  run_bench.py PATH_TO_TESSEL [WORK_DIR] [--repeat N]

Each time is the best of N runs (default 3).
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

CASES = [
    ("nested 10,000 items, 30,000 relations", "nested", 30000, []),
    ("nested, client/server on subsystem0", "nested", 30000, ["-m2", "-s", "subsystem0"]),
    ("flat 1,000", "flat", 1000, []),
    ("flat 2,000", "flat", 2000, []),
    ("flat 4,000", "flat", 4000, []),
    ("flat 8,000", "flat", 8000, []),
    ("containment chain 5,000", "contain-chain", 5000, []),
    ("relation chain 5,000", "call-chain", 5000, []),
]

# Eight times the items of one flat container: the sorts the layout is
# defined by are bubble sorts, so the time may grow with the square of the
# items, and the memory at most in proportion to them.
GROWTH = ("flat 1,000", "flat 8,000")
GOAL_TIME_RATIO = 64.0
GOAL_MEMORY_RATIO = 8.0


def run_one(tessel, work, kind, size, options, repeat):
    ta = os.path.join(work, f"{kind}-{size}.ta")
    if not os.path.exists(ta):
        subprocess.run([sys.executable, os.path.join(HERE, "generate_ta.py"), kind, str(size), ta], check=True)
    out = os.path.join(work, "out.lay")
    best = None
    for _ in range(repeat):
        # GNU time reports the peak resident size of tessel itself; the wall
        # time is taken here, finer than GNU time's hundredths.
        start = time.perf_counter()
        subprocess.run(["/usr/bin/time", "-f", "%x %M", "-o", os.path.join(work, "time.txt"),
                        tessel, *options, ta, out], cwd=work, capture_output=True, text=True)
        seconds = time.perf_counter() - start
        with open(os.path.join(work, "time.txt")) as f:
            status, kib = f.read().split()[-2:]
        best = seconds if best is None else min(best, seconds)
    return int(status), best, int(kib)


def verdict(ratio, goal):
    return "met" if ratio <= goal else "MISSED"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tessel")
    parser.add_argument("work", nargs="?")
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    tessel = os.path.abspath(args.tessel)
    work = args.work or tempfile.mkdtemp(prefix="tessel-bench-")
    os.makedirs(work, exist_ok=True)
    print(f"{'case':42} {'status':>6} {'seconds':>9} {'peak MiB':>9}")
    figures = {}
    for label, kind, size, options in CASES:
        status, seconds, kib = run_one(tessel, work, kind, size, options, args.repeat)
        figures[label] = (seconds, kib)
        print(f"{label:42} {status:6d} {seconds:9.3f} {kib / 1024:9.1f}")
    (small_s, small_kib), (large_s, large_kib) = figures[GROWTH[0]], figures[GROWTH[1]]
    time_ratio, memory_ratio = large_s / small_s, large_kib / small_kib
    print()
    print(f"{GROWTH[1]} / {GROWTH[0]}: time {time_ratio:.2f} (goal <= {GOAL_TIME_RATIO:g}) "
          f"{verdict(time_ratio, GOAL_TIME_RATIO)}, peak memory {memory_ratio:.2f} "
          f"(goal <= {GOAL_MEMORY_RATIO:g}) {verdict(memory_ratio, GOAL_MEMORY_RATIO)}")


if __name__ == "__main__":
    main()
