#!/usr/bin/env python3
"""Times tessel on the generated graphs and prints wall time and peak memory
(needs GNU time as /usr/bin/time, Debian package "time").

  run_bench.py PATH_TO_TESSEL [WORK_DIR]
"""
import os
import subprocess
import sys
import tempfile

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


def run_one(tessel, work, kind, size, options):
    ta = os.path.join(work, f"{kind}-{size}.ta")
    if not os.path.exists(ta):
        subprocess.run([sys.executable, os.path.join(HERE, "generate_ta.py"), kind, str(size), ta], check=True)
    out = os.path.join(work, "out.lay")
    # GNU time reports the peak resident size of tessel itself.
    res = subprocess.run(["/usr/bin/time", "-f", "%x %e %M", "-o", os.path.join(work, "time.txt"),
                          tessel, *options, ta, out], cwd=work, capture_output=True, text=True)
    with open(os.path.join(work, "time.txt")) as f:
        fields = f.read().split()[-3:]
    status, seconds, kib = fields
    return int(status), float(seconds), int(kib)


def main():
    tessel = os.path.abspath(sys.argv[1])
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="tessel-bench-")
    os.makedirs(work, exist_ok=True)
    print(f"{'case':42} {'status':>6} {'seconds':>9} {'peak MiB':>9}")
    for label, kind, size, options in CASES:
        status, seconds, kib = run_one(tessel, work, kind, size, options)
        print(f"{label:42} {status:6d} {seconds:9.3f} {kib / 1024:9.1f}")


if __name__ == "__main__":
    main()
