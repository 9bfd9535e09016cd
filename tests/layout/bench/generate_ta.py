#!/usr/bin/env python3
"""Writes TA graphs for the tessel benchmark.

  generate_ta.py nested N_RELATIONS OUT     a nested system of about 10,000 items
  generate_ta.py flat N OUT                 N items under the root, 3N relations
  generate_ta.py contain-chain N OUT        a containment chain N deep
  generate_ta.py call-chain N OUT           N siblings related in one chain

The graphs are seeded, so every run writes the same file.
"""
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


def main():
    kind, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(path, "w") as out:
        {"nested": nested, "flat": flat, "contain-chain": contain_chain, "call-chain": call_chain}[kind](size, out)


if __name__ == "__main__":
    main()
