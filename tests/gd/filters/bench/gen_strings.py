#!/usr/bin/env python3
"""Writes a unit of COUNT items in the text form of a gd graph:

    gen_strings.py literals COUNT > unit.gdt   integer constants 1000001,
        1000002, ... (run_gd_literals_filter adds their texts to the pool)
    gen_strings.py names COUNT > unit.gdt      identifiers v100000, v100001,
        ... (gdtext adds them to the pool as it compiles the unit)
    gen_strings.py pointers COUNT > unit.gdt   pointer types to int, which
        run_gd_derived_filter appends one by one to the global scope
    gen_strings.py builtins COUNT > unit.gdt   built-in types of the global
        scope that nothing uses, which run_zap_builtin_filter unlinks

The first two are the string pool's hard case: keys of one length that share
their first and last character follow one probe path. The last two take a
walk along the scope's members, or a search of the graph, per item where the
filters do not keep their place.
"""
import sys


def main():
    mode, count = sys.argv[1], int(sys.argv[2])
    out = sys.stdout
    out.write("root 0\n")
    if mode == "literals":
        # The reader refuses an empty pool: one name.
        out.write('0 identifier_node strg="unit" lngt=4\n')
        for k in range(count):
            out.write("%d integer_cst low=%d\n" % (k + 1, 1000001 + k))
    elif mode == "names":
        for k in range(count):
            out.write('%d identifier_node strg="v%d" lngt=%d\n' % (k, 100000 + k, len(str(100000 + k)) + 1))
    elif mode == "pointers":
        out.write('0 cScopeGlb\n1 cBuiltInType name="int"\n')
        for k in range(count):
            out.write("%d pointer_type ptd=1\n" % (k + 2))
    elif mode == "builtins":
        out.write("0 cScopeGlb contents=1\n")
        for k in range(1, count + 1):
            nxt = " next=%d" % (k + 1) if k < count else ""
            out.write("%d cArcSon src=0 dest=%d%s\n" % (k, count + k, nxt))
        for k in range(1, count + 1):
            out.write("%d cBuiltInType\n" % (count + k))
        out.write('%d identifier_node strg="unit" lngt=4\n' % (2 * count + 1))
    else:
        sys.exit("usage: gen_strings.py literals|names|pointers|builtins COUNT")


main()
