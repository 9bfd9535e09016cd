#!/usr/bin/env python3
"""Writes a large synthetic unit in the text form of a gd graph: the sample
unit's namespace (a class with a field and a method, a declared function and
a function with a loop, an if, a return and a call) repeated COPIES times,
each copy with names of its own, all sharing the sample's built-in types.

    gen_unit.py SAMPLE.gdt COPIES > unit.gdt
"""
import re
import sys

# Numeric fields that hold counts, sizes or lines, not node indices.
NUMBERS = {"srcl", "algn", "prec", "low", "high", "lngt", "isClass", "line", "artificial"}
# Names that each copy makes its own (the sample's identifiers and symbols).
OWN_NAMES = {"demo", "Counter", "twice", "clamp", "get",
             "_ZN4demo7Counter3getEv", "_ZN4demo5twiceEi", "_ZN4demo5clampEi"}


def main():
    sample, copies = sys.argv[1], int(sys.argv[2])
    shared, template = [], []
    for line in open(sample):
        line = line.split("#", 1)[0].rstrip() if not '"' in line else line.rstrip()
        if not line or line.startswith("#") or line.startswith("root"):
            continue
        index = int(line.split()[0])
        (shared if index < 13 else template).append(line)
    first = 13  # the sample's namespace and everything after it
    span = max(int(l.split()[0]) for l in template) - first + 1

    out = sys.stdout
    out.write("root 0\n")
    for line in shared:
        out.write(line + "\n")
    field = re.compile(r'(\w+)=(-?\d+)')
    text = re.compile(r'strg="([^"]*)"')
    for k in range(copies):
        base = first + k * span

        def renumber(m):
            name, value = m.group(1), int(m.group(2))
            if name in NUMBERS or value < first:
                return m.group(0)
            return "%s=%d" % (name, value - first + base)

        for line in template:
            index, rest = line.split(" ", 1)
            index = int(index)
            rest = field.sub(renumber, rest)
            rest = text.sub(lambda m: 'strg="%s"' % (m.group(1) + "_%d" % k if m.group(1) in OWN_NAMES else m.group(1)), rest)
            # Each namespace is declared after the one before it.
            if index == first and k + 1 < copies:
                rest += " chan=%d" % (base + span)
            out.write("%d %s\n" % (index - first + base, rest))


main()
