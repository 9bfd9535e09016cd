#!/usr/bin/env python3
"""Writes a unit of C prototypes in the text form of a gd graph: FUNCTIONS
functions declared without parameter declarations, all of one function type
of PARAMS int parameters, which the compiler shares between them:

    int f0(int, ..., int), f1(int, ..., int), ...;

    gen_prototypes.py FUNCTIONS PARAMS > unit.gdt

talvexf gives every function its own copy of the type's formals: the whole
unit holds FUNCTIONS x PARAMS formal objects, each with a list arc and a type
arc, so its output grows with prototypes times parameters.
"""
import sys


def main():
    functions, params = int(sys.argv[1]), int(sys.argv[2])
    out = sys.stdout
    first_cell = 10
    first_function = first_cell + params + 1
    out.write("root 0\n")
    out.write('0 namespace_decl name=1 srcf="<internal>" srcl=0 lang=src_lang_c dcls=2\n')
    out.write('1 identifier_node strg="::" lngt=2\n')
    out.write('2 type_decl name=3 type=4 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_c artificial=1 chan=6\n')
    out.write('3 identifier_node strg="int" lngt=3\n')
    out.write("4 integer_type name=2 size=5 algn=32 unql=4 prec=32\n")
    out.write("5 integer_cst low=32\n")
    out.write('6 type_decl name=7 type=8 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_c artificial=1 chan=%d\n'
              % first_function)
    out.write('7 identifier_node strg="void" lngt=4\n')
    out.write("8 void_type name=6 algn=8 unql=8\n")
    # int (int, ..., int): the parameter cells, closed by the void cell.
    out.write("9 function_type algn=8 unql=9 retn=4 prms=%d\n" % (first_cell if params else first_cell + params))
    for c in range(params):
        out.write("%d tree_list value=4 chan=%d\n" % (first_cell + c, first_cell + c + 1))
    out.write("%d tree_list value=8\n" % (first_cell + params))
    for f in range(functions):
        n = first_function + 2 * f
        name = "f%d" % f
        chan = " chan=%d" % (n + 2) if f + 1 < functions else ""
        out.write('%d function_decl public_flag name=%d mngl=%d type=9 scpe=0 srcf="u.c" srcl=%d '
                  "lang=src_lang_c undef%s\n" % (n, n + 1, n + 1, f + 1, chan))
        out.write('%d identifier_node strg="%s" lngt=%d\n' % (n + 1, name, len(name)))


main()
