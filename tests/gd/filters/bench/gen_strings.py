#!/usr/bin/env python3
"""Writes a unit of COUNT distinct strings in the text form of a gd graph:

    gen_strings.py literals COUNT > unit.gdt   integer constants 1000001,
        1000002, ... (run_gd_literals_filter adds their texts to the pool)
    gen_strings.py names COUNT > unit.gdt      identifiers v100000, v100001,
        ... (gdtext adds them to the pool as it compiles the unit)

Both are the string pool's hard case: keys of one length that share their
first and last character follow one probe path.
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
    else:
        sys.exit("usage: gen_strings.py literals|names COUNT")


main()
