#!/usr/bin/env python3
"""Writes TA graphs for the tessel benchmark.

  generate_ta.py nested N_RELATIONS OUT     a nested system of about 10,000 items
  generate_ta.py flat N OUT                 N items under the root, 3N relations
  generate_ta.py contain-chain N OUT        a containment chain N deep
  generate_ta.py call-chain N OUT           N siblings related in one chain

and, for tesselfix, an old graph with its layout and a new graph with one item
more (PREFIX.old.ta, PREFIX.old.lay, PREFIX.new.ta):

  generate_ta.py fit N PREFIX       N small old boxes filling an 800 by 600 root
                                    in a grid; a few shrink rounds make room
  generate_ta.py far-out N PREFIX   N - 1 small old boxes and one far outside
                                    the root: every shrink round runs and fails

The graphs are seeded, so every run writes the same file.
"""
import math
import random
import sys


def nested(relations, out):
    rng = random.Random(7)
    lines = ["FACT TUPLE :"]
    contains = []
    modules = []
    functions = []
    for s in range(20):
        sub = f"subsystem{s}"
        lines.append(f"$INSTANCE {sub} cSubsystem")
        for m in range(10):
            mod = f"{sub}/module{m}.c"
            lines.append(f"$INSTANCE {mod} cFile")
            contains.append(f"contain {sub} {mod}")
            funcs = []
            for f in range(50):
                fn = f"{mod}:fn{f}"
                lines.append(f"$INSTANCE {fn} cFunction")
                contains.append(f"contain {mod} {fn}")
                funcs.append(fn)
            modules.append(funcs)
            functions.extend(funcs)
    lines.extend(contains)
    for _ in range(relations):
        if rng.random() < 0.7:
            funcs = rng.choice(modules)
            a, b = rng.choice(funcs), rng.choice(funcs)
        else:
            a, b = rng.choice(functions), rng.choice(functions)
        lines.append(f"call {a} {b}")
    out.write("\n".join(lines) + "\n")


def flat(n, out):
    rng = random.Random(n)
    lines = [f"$INSTANCE item{i} cFunction" for i in range(n)]
    for _ in range(3 * n):
        lines.append(f"call item{rng.randrange(n)} item{rng.randrange(n)}")
    out.write("\n".join(lines) + "\n")


def contain_chain(n, out):
    lines = ["$INSTANCE c0 cFile"]
    lines += [f"contain c{i} c{i + 1}" for i in range(n - 1)]
    out.write("\n".join(lines) + "\n")


def call_chain(n, out):
    lines = [f"$INSTANCE c{i} cFunction" for i in range(n)]
    lines += [f"call c{i} c{i + 1}" for i in range(n - 1)]
    out.write("\n".join(lines) + "\n")


def layout_record(name, x, y, width, height):
    return f"{name} {{\n      x = {x:f}\n      y = {y:f}\n  width = {width:f}\n height = {height:f}\n}}\n\n\n"


def placement(n, prefix, far_out):
    """Old items in a grid of cells from (20, 20) to (800, 600), each box 0.3
    of its cell: shrinking the positions by 1 % a round leaves them apart, and
    away from the new item's first box at the top-left corner, for more than
    the 101 rounds of max compression."""
    columns = math.ceil(math.sqrt(n * 4 / 3))
    rows = math.ceil(n / columns)
    cell_w, cell_h = 780 / columns, 580 / rows
    names = [f"item{i}" for i in range(n)]
    records = [layout_record("$ROOT", 0, 0, 800, 600)]
    for i, name in enumerate(names):
        if far_out and i == n - 1:
            records.append(layout_record(name, 100000, 300, 60, 40))
        else:
            records.append(layout_record(name, 20 + (i % columns) * cell_w, 20 + (i // columns) * cell_h,
                                         0.3 * cell_w, 0.3 * cell_h))
    instances = [f"$INSTANCE {name} cFunction" for name in names]
    with open(prefix + ".old.ta", "w") as out:
        out.write("\n".join(instances) + "\n")
    with open(prefix + ".old.lay", "w") as out:
        out.write("".join(records))
    with open(prefix + ".new.ta", "w") as out:
        out.write("\n".join(instances + ["$INSTANCE new0 cFunction"]) + "\n")


def main():
    kind, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    if kind in ("fit", "far-out"):
        placement(size, path, kind == "far-out")
        return
    with open(path, "w") as out:
        {"nested": nested, "flat": flat, "contain-chain": contain_chain, "call-chain": call_chain}[kind](size, out)


if __name__ == "__main__":
    main()
