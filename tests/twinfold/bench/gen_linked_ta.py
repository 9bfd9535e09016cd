#!/usr/bin/env python3
"""Writes a linked TA fact file for the twinfold benchmark.

UNITS translation units each include HEADERS_PER_UNIT of HEADERS header
files; every copy of a header holds FUNCTIONS function declarations with the
same attributes in every unit, so the copies are twins. Each unit's main
calls one function of every header it includes, so the merge has edges into
the deleted copies to move. With CALLS above 0, every function of a header
copy calls the CALLS functions after it in the same copy (wrapping round), so
each copy also holds edges of its own.

usage: gen_linked_ta.py UNITS [HEADERS [HEADERS_PER_UNIT [FUNCTIONS [CALLS]]]] > out.ta
"""
import random
import sys


def main():
    units = int(sys.argv[1])
    headers = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    per_unit = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    functions = int(sys.argv[4]) if len(sys.argv) > 4 else 8
    calls = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    rng = random.Random(7)
    out = sys.stdout
    w = out.write
    w("SCHEME TUPLE :\n\ncontain cFile cFunction\n( call )\n\nFACT TUPLE :\n\n")
    attributes = []
    number = 0
    for u in range(units):
        unit = "u%d.c" % u
        main_fn = "@%d" % number
        number += 1
        w("$INSTANCE %s cFile\n$INSTANCE %s cFunction\ncontain %s %s\n" % (unit, main_fn, unit, main_fn))
        attributes.append('%s { name="%s" }\n' % (unit, unit))
        attributes.append('%s { name="main" file="%s" }\n' % (main_fn, unit))
        for order, h in enumerate(sorted(rng.sample(range(headers), per_unit))):
            copy = "@0.FILE.h%d.h.%s" % (h, unit)
            w("$INSTANCE %s cFile\ncontain %s %s\n" % (copy, unit, copy))
            attributes.append('%s { name="h%d.h" order=%d }\n' % (copy, h, order))
            first = number
            for f in range(functions):
                fn = "@%d" % number
                number += 1
                w("$INSTANCE %s cFunction\ncontain %s %s\n" % (fn, copy, fn))
                attributes.append('%s { name="f%d_%d" line=%d }\n' % (fn, h, f, 10 + f))
                if f == 0:
                    w("call %s %s\n" % (main_fn, fn))
            for f in range(functions):
                for step in range(1, min(calls, functions - 1) + 1):
                    w("call @%d @%d\n" % (first + f, first + (f + step) % functions))
    w("\nFACT ATTRIBUTE :\n\n")
    out.writelines(attributes)


if __name__ == "__main__":
    main()
