// One graph per filter family that the family's filter changes, in the text
// form, with the graph the filter must make of it and what it must report,
// written by hand. The family's own test runs the filter on it in this
// process; the test of the single-filter programs runs run_<family>_filter on
// it, so a program built with the wrong filter fails there.
#pragma once

struct family_fixture {
    const char *before;
    const char *after;
    const char *errors = "";  // standard error
};

// gd_reduce: the built-in "char" (type declaration 2, its identifier 3 and
// type 4) is declared in "<internal>" and named only by the root's chain, so
// it is dropped: the root's dcls skips from 2 to 5. Identifier 11, which
// nothing reaches, is freed too; with 10 free already the graph now ends in
// free records, hence "nodes 12". "int" (5 to 7) stays, the variable's type
// names it; line 5 differs only in that the dump writes `chan` before `srcf`,
// in record order.
inline constexpr family_fixture gd_reduce_fixture{
    R"(root 0
0 namespace_decl name=1 srcf="<internal>" dcls=2
1 identifier_node strg="::" lngt=2
2 type_decl name=3 type=4 srcf="<internal>" chan=5
3 identifier_node strg="char" lngt=4
4 char_type name=2 unql=4
5 type_decl name=6 type=7 srcf="<internal>" chan=8
6 identifier_node strg="int" lngt=3
7 integer_type name=5 unql=7
8 var_decl name=9 type=7 srcf="a.c" srcl=3
9 identifier_node strg="v" lngt=1
11 identifier_node strg="orphan" lngt=6
)",
    R"(root 0
nodes 12
0 namespace_decl name=1 srcf="<internal>" dcls=5
1 identifier_node strg="::" lngt=2
5 type_decl name=6 type=7 chan=8 srcf="<internal>"
6 identifier_node strg="int" lngt=3
7 integer_type name=5 unql=7
8 var_decl name=9 type=7 srcf="a.c" srcl=3
9 identifier_node strg="v" lngt=1
)"};

// gd_global: the arc and the global scope take the first two free records,
// 1 and 3, in that order: the new root 3 holds the son arc 1 to the old root
// namespace 2.
inline constexpr family_fixture gd_global_fixture{
    R"(root 2
nodes 5
0 identifier_node strg="::"
2 namespace_decl name=0
)",
    R"(root 3
nodes 5
0 identifier_node strg="::"
1 cArcSon src=3 dest=2
2 namespace_decl name=0
3 cScopeGlb contents=1
)"};

// gd_inclass_typedefs: typedefs 0 and 12 name types that another node names
// (3 names int 2, 14 names real 13), so each gets a copy of its type, named
// by the typedef and a variant of the original: 15 for 0, then 16 for 12,
// and their `type` leads to the copy. 3, 7 and 14 name their types
// themselves, 5 declares its own enclosing class, 8's type is a variant
// already and 10's a char type, which the translation does not convert: all
// stay.
inline constexpr family_fixture gd_inclass_typedefs_fixture{
    R"(0 type_decl name=1 type=2
1 identifier_node strg="alias_t"
2 integer_type name=3 unql=2 prec=32
3 type_decl name=4 type=2
4 identifier_node strg="int"
5 type_decl type=6 scpe=6
6 record_type name=7 unql=6
7 type_decl type=6
8 type_decl type=9
9 integer_type name=3 unql=2
10 type_decl type=11
11 char_type name=3 unql=11
12 type_decl type=13
13 real_type name=14 unql=13 prec=64
14 type_decl type=13
)",
    R"(0 type_decl name=1 type=15
1 identifier_node strg="alias_t"
2 integer_type name=3 unql=2 prec=32
3 type_decl name=4 type=2
4 identifier_node strg="int"
5 type_decl type=6 scpe=6
6 record_type name=7 unql=6
7 type_decl type=6
8 type_decl type=9
9 integer_type name=3 unql=2
10 type_decl type=11
11 char_type name=3 unql=11
12 type_decl type=16
13 real_type name=14 unql=13 prec=64
14 type_decl type=13
15 integer_type name=0 unql=2 prec=32
16 real_type name=12 unql=13 prec=64
)"};

// gd_builtin: the named basic types become built-in types, rewritten in
// place with the flags of the common head kept: 0 ("int", through a typedef
// of "<internal>"; readonly gives const_flag, protected visb_pro), 3 (an
// unnamed void, "void" being in the pool) and 5 ("double", named directly;
// public wins over private, volatile gives the type's volatile_flag). Their
// son arcs 12 to 14 go after the scope's last arc 21, in node order. 7 (a
// typedef from a source file), 10 (an unnamed char) and 11 (no basic type)
// stay.
inline constexpr family_fixture gd_builtin_fixture{
    R"(root 20
0 integer_type readonly_flag protected_flag name=1 unql=0 prec=32
1 type_decl name=2 type=0 srcf="<internal>"
2 identifier_node strg="int"
3 void_type
4 identifier_node strg="void"
5 real_type volatile_flag public_flag private_flag name=6
6 identifier_node strg="double"
7 boolean_type name=8
8 type_decl name=9 type=7 srcf="x.c"
9 identifier_node strg="flag_t"
10 char_type
11 pointer_type name=6
20 cScopeGlb contents=21
21 cArcSon src=20 dest=22
22 namespace_decl
)",
    R"(root 20
0 cBuiltInType readonly_flag protected_flag name="int" visb=visb_pro const_flag
1 type_decl name=2 type=0 srcf="<internal>"
2 identifier_node strg="int"
3 cBuiltInType name="void"
4 identifier_node strg="void"
5 cBuiltInType common.volatile_flag public_flag private_flag name="double" visb=visb_pub volatile_flag
6 identifier_node strg="double"
7 boolean_type name=8
8 type_decl name=9 type=7 srcf="x.c"
9 identifier_node strg="flag_t"
10 char_type
11 pointer_type name=6
12 cArcSon src=20 dest=0 next=13
13 cArcSon src=20 dest=3 next=14
14 cArcSon src=20 dest=5
20 cScopeGlb contents=21
21 cArcSon src=20 dest=22 next=12
22 namespace_decl
)"};

// namespace: every namespace becomes a scope. 3, the destination of the
// global scope's first arc to a namespace, becomes the compilation scope
// (no name) with arcs 15 to 17 for its members 8, 11 and 14; typedef 6 of a
// built-in type is no member and keeps its `chan`. 8 becomes namespace
// "outer" (protected wins over private) with arc 18 to its variable 10;
// alias 11 gets one instance arc, 19, to 8; 14 has no members.
inline constexpr family_fixture namespace_fixture{
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=4 next=2
2 cArcSon src=0 dest=3
3 namespace_decl name=5 srcf="a.cc" srcl=1 dcls=6
4 cBuiltInType name="int"
5 identifier_node strg="::"
6 type_decl name=7 type=4 chan=8
7 identifier_node strg="int"
8 namespace_decl private_flag protected_flag name=9 chan=11 srcf="a.cc" srcl=2 dcls=10
9 identifier_node strg="outer"
10 var_decl name=12 srcf="a.cc" srcl=3
11 namespace_decl name=13 chan=14 srcf="a.cc" srcl=5 alis=8
12 identifier_node strg="x"
13 identifier_node strg="alias"
14 namespace_decl srcf="a.cc" srcl=6
)",
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=4 next=2
2 cArcSon src=0 dest=3
3 cScopeCompil file="a.cc" line=1 contents=15
4 cBuiltInType name="int"
5 identifier_node strg="::"
6 type_decl name=7 type=4 chan=8
7 identifier_node strg="int"
8 cNameSpace private_flag protected_flag file="a.cc" line=2 name="outer" visb=visb_pro contents=18
9 identifier_node strg="outer"
10 var_decl name=12 srcf="a.cc" srcl=3
11 cNameSpace file="a.cc" line=5 name="alias" contents=19
12 identifier_node strg="x"
13 identifier_node strg="alias"
14 cNameSpace file="a.cc" line=6
15 cArcSon src=3 dest=8 next=16
16 cArcSon src=3 dest=11 next=17
17 cArcSon src=3 dest=14
18 cArcSon src=8 dest=10
19 cInstance src=11 dest=8
)"};

// aggregate: class 2 becomes an aggregate named, placed and given its access
// (protected first) by declaration 0, readonly giving const_flag; `inst`
// keeps the 0 of the bytes past the compiler's record. Its son arcs 17 to 20
// list fields 3 and 6, constructor 7 and method 10; 5, the class's own name
// among the fields, gets none. Every member's `chan` is cut. The clones 8
// and 9 are folded into constructor 7: other_node 7 on both, and every link
// to them (the calls 13 and 14, 8's `chan`) now names 7. The other_node of
// identifier 4 is cleared, as every other_node is before the conversion.
inline constexpr family_fixture aggregate_fixture{
    R"(0 type_decl public_flag private_flag protected_flag name=1 type=2 srcf="a.cc" srcl=3
1 identifier_node strg="C"
2 record_type readonly_flag name=0 unql=2 flds=3 fncs=7 isClass=1
3 field_decl name=4 chan=5 srcf="a.cc" srcl=4
4 identifier_node other_node=13 strg="x"
5 type_decl name=1 type=2 chan=6
6 field_decl name=16 srcf="a.cc" srcl=5
7 function_decl name=1 chan=8 constr
8 function_decl name=11 chan=9 constr
9 function_decl name=12 chan=10 constr
10 function_decl name=15
11 identifier_node strg="__base_ctor"
12 identifier_node strg="__comp_ctor"
13 call_expr fn=8
14 call_expr fn=9
15 identifier_node strg="get"
16 identifier_node strg="y"
)",
    R"(0 type_decl public_flag private_flag protected_flag name=1 type=2 srcf="a.cc" srcl=3
1 identifier_node strg="C"
2 cAggrType readonly_flag file="a.cc" line=3 name="C" visb=visb_pro const_flag members=17 inst=0
3 field_decl name=4 srcf="a.cc" srcl=4
4 identifier_node strg="x"
5 type_decl name=1 type=2
6 field_decl name=16 srcf="a.cc" srcl=5
7 function_decl name=1 constr
8 function_decl other_node=7 name=11 chan=7 constr
9 function_decl other_node=7 name=12 chan=10 constr
10 function_decl name=15
11 identifier_node strg="__base_ctor"
12 identifier_node strg="__comp_ctor"
13 call_expr fn=7
14 call_expr fn=7
15 identifier_node strg="get"
16 identifier_node strg="y"
17 cArcSon src=2 dest=3 next=18
18 cArcSon src=2 dest=6 next=19
19 cArcSon src=2 dest=7 next=20
20 cArcSon src=2 dest=10
)"};

// gd_operators: call 0 becomes a call operator with one operand arc, 6, to
// function 3 (no arguments). The conversions 1 and 2 become placeholders
// whose other_node leads on to what they converted, and the links through
// them (the call's operand, statement 5's texpr) lead straight to 3.
inline constexpr family_fixture gd_operators_fixture{
    R"(0 call_expr fn=1
1 nop_expr op0=2
2 convert_expr op0=3
3 function_decl name=4
4 identifier_node strg="f"
5 expr_stmt line=1 texpr=1
)",
    R"(0 cOperator op=dc_fct_call ops=6
1 placeholder_expr other_node=2
2 placeholder_expr other_node=3
3 function_decl name=4
4 identifier_node strg="f"
5 expr_stmt line=1 texpr=3
6 cArcOpd ordinal=1 src=0 dest=3
)"};

// gd_filter: freed are aggregate 9, named only by the function's `inst`,
// the dC_SYSTEM node 14, arc 11, which no owner or sibling reaches, and type
// 17, named only by the compound expression's `type`; the links to them
// (4's `exception` and `inst`, 13's `type`) are cleared. The graph now ends
// with a free record, hence "nodes 18". The rest is reached, 10 and 13
// through other_node.
inline constexpr family_fixture gd_filter_fixture{
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil contents=3
3 cArcSon src=2 dest=4
4 cFunction name="f" exception=14 block=5 inst=9
5 cBlock contents=7
7 cArcSon src=5 dest=8
8 cReturn other_node=10 value=12
9 cAggrType name="T"
10 cBreak dest=15
11 cArcSon src=2 dest=4
12 cCntrlStmt other_node=13
13 compound_expr type=17 op0=16
14 cSystem
15 cCaseLabel value=16
16 cLiteral value="1"
17 integer_type
)",
    R"(root 0
nodes 18
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil contents=3
3 cArcSon src=2 dest=4
4 cFunction name="f" block=5
5 cBlock contents=7
7 cArcSon src=5 dest=8
8 cReturn other_node=10 value=12
10 cBreak dest=15
12 cCntrlStmt other_node=13
13 compound_expr op0=16
15 cCaseLabel value=16
16 cLiteral value="1"
)"};

// gd_alias: the named variants 3 and 4 become alias types whose instance
// and original arc (9, 10) lead to their main variants 2 and 6. 3, named by
// typedef 0, takes its place, name and access (public first), and const and
// volatile from its flags, which the common head keeps; 4, named directly by
// identifier 1, gets the name only. The main variants 2 and 6, the unnamed
// variant 7 and the complex type 8 (a kind the translation does not
// convert) stay.
inline constexpr family_fixture gd_alias_fixture{
    R"(0 type_decl public_flag private_flag protected_flag name=1 type=3 srcf="a.c" srcl=2
1 identifier_node strg="myint"
2 integer_type name=5 unql=2
3 integer_type volatile_flag readonly_flag name=0 unql=2 prec=32
4 pointer_type protected_flag name=1 unql=6 ptd=2
5 identifier_node strg="int"
6 pointer_type unql=6 ptd=2
7 integer_type unql=2
8 complex_type name=1 unql=2
)",
    R"(0 type_decl public_flag private_flag protected_flag name=1 type=3 srcf="a.c" srcl=2
1 identifier_node strg="myint"
2 integer_type name=5 unql=2
3 cAliasType common.volatile_flag readonly_flag file="a.c" line=2 name="myint" visb=visb_pub instance=9 const_flag volatile_flag original=9
4 cAliasType protected_flag name="myint" instance=10 original=10
5 identifier_node strg="int"
6 pointer_type unql=6 ptd=2
7 integer_type unql=2
8 complex_type name=1 unql=2
9 cInstance src=3 dest=2
10 cInstance src=4 dest=6
)"};

// funct_type: the function and method types become function types with an
// instance arc to their return type, and each parameter cell is rewritten in
// place as the son arc of a new formal object with its own instance arc; a
// cell's purpose word stays and reads as the arc's ordinal, -1. 2 (private
// wins): cells 3 and 4 become arcs to formals 18 and 20; void cell 5, which
// closes the list, stays a cell. 6 shares 2's list whole: copies 24 and 27,
// with formals 23 and 26. 7 (variadic) gets one formal, 30; 9 (void only)
// none. 10, a method named by typedef 13, takes that name and place, its
// class as `defLoc`, and for its own cell 12 formal 34; 12 then led into 2's
// tail, so that arc is copied as 37, with formal 36.
inline constexpr family_fixture funct_type_fixture{
    R"(0 void_type
1 integer_type
2 function_type public_flag private_flag protected_flag retn=1 prms=3
3 tree_list value=1 chan=4
4 tree_list value=1 chan=5
5 tree_list value=0
6 function_type retn=1 prms=3
7 function_type public_flag retn=0 prms=8
8 tree_list value=1
9 function_type retn=1 prms=5
10 method_type protected_flag name=13 clas=11 retn=0 prms=12
11 record_type
12 tree_list value=14 chan=4
13 type_decl name=15 srcf="m.cc" srcl=9
14 pointer_type
15 identifier_node strg="fn_t"
)",
    R"(0 void_type
1 integer_type
2 cFctType visb=visb_pri instance=16 formalParams=3
3 cArcSon ordinal=-1 src=2 dest=18 next=4
4 cArcSon ordinal=-1 src=2 dest=20
5 tree_list value=0
6 cFctType instance=21 formalParams=24
7 cFctType visb=visb_pub instance=28 formalParams=8
8 cArcSon ordinal=-1 src=7 dest=30
9 cFctType instance=31
10 cFctType file="m.cc" line=9 name="fn_t" visb=visb_pro instance=32 defLoc=11 formalParams=12
11 record_type
12 cArcSon ordinal=-1 src=10 dest=34 next=37
13 type_decl name=15 srcf="m.cc" srcl=9
14 pointer_type
15 identifier_node strg="fn_t"
16 cInstance src=2 dest=1
17 cInstance src=18 dest=1
18 cFormalObject visb=visb_pri instance=17
19 cInstance src=20 dest=1
20 cFormalObject visb=visb_pri instance=19
21 cInstance src=6 dest=1
22 cInstance src=23 dest=1
23 cFormalObject visb=visb_pri instance=22
24 cArcSon ordinal=-1 src=6 dest=23 next=27
25 cInstance src=26 dest=1
26 cFormalObject visb=visb_pri instance=25
27 cArcSon ordinal=-1 src=6 dest=26
28 cInstance src=7 dest=0
29 cInstance src=30 dest=1
30 cFormalObject visb=visb_pub instance=29
31 cInstance src=9 dest=1
32 cInstance src=10 dest=0
33 cInstance src=34 dest=14
34 cFormalObject visb=visb_pro instance=33
35 cInstance src=36 dest=1
36 cFormalObject visb=visb_pri instance=35
37 cArcSon ordinal=-1 src=10 dest=36
)"};

// gd_derived: array type 4 becomes an array type with an instance arc, 5, to
// its element type 1 and a son arc, 6, in the global scope. The only "int"
// (1) is const, so there is no type for a dimension literal and the array
// gets no dimension arc.
inline constexpr family_fixture gd_derived_fixture{
    R"(root 0
0 cScopeGlb
1 cBuiltInType name="int" const_flag
2 integer_type max=3
3 integer_cst low=4
4 array_type elts=1 domn=2
)",
    R"(root 0
0 cScopeGlb contents=6
1 cBuiltInType name="int" const_flag
2 integer_type max=3
3 integer_cst low=4
4 cArrayType instance=5
5 cInstance src=4 dest=1
6 cArcSon src=0 dest=4
)"};

// gd_enum: the enumeration types 2, 10 and 11 become enumeration types; 2
// takes name, place and access (public first) from typedef 0 and const from
// readonly, while 10, named directly by an identifier, gets no name. Value
// cells 3 and 4 are rewritten as son arcs from 2, the first enumeration that
// holds the list; 10 shares the list as it stands. Constants 5, 6 and 12
// become enumerators, with arcs 15 and 16 to the value where they have one;
// 12's name node is no identifier, so it has no name. 14, a constant of no
// enumeration, stays.
inline constexpr family_fixture gd_enum_fixture{
    R"(0 type_decl public_flag name=1 srcf="e.c" srcl=1
1 identifier_node strg="color"
2 enumeral_type readonly_flag public_flag private_flag protected_flag name=0 csts=3
3 tree_list value=5 chan=4
4 tree_list value=6
5 const_decl name=7 type=2 srcf="e.c" srcl=2 cnst=9
6 const_decl public_flag private_flag protected_flag name=8 type=2 srcf="e.c" srcl=3
7 identifier_node strg="red"
8 identifier_node strg="green"
9 integer_cst low=4
10 enumeral_type name=1 csts=3
11 enumeral_type
12 const_decl name=13 type=10 cnst=9
13 cLiteral file="x.c"
14 const_decl name=7 type=99
)",
    R"(0 type_decl public_flag name=1 srcf="e.c" srcl=1
1 identifier_node strg="color"
2 cEnumType file="e.c" line=1 name="color" visb=visb_pub const_flag values=3
3 cArcSon src=2 dest=5 next=4
4 cArcSon src=2 dest=6
5 cEnumerator file="e.c" line=2 name="red" value=15
6 cEnumerator file="e.c" line=3 name="green" visb=visb_pub
7 identifier_node strg="red"
8 identifier_node strg="green"
9 integer_cst low=4
10 cEnumType values=3
11 cEnumType
12 cEnumerator value=16
13 cLiteral file="x.c"
14 const_decl name=7 type=99
15 cArcInitVal src=5 dest=9
16 cArcInitVal src=12 dest=9
)"};

// gd_objects: the variable 1 and the field 2 become objects, in node order,
// each with its arcs in this order: the instance arc to its type (here none),
// the link-time symbol, the arc from the symbol (defined here) and the
// symbol's son arc in the global scope: 5 to 8 for 1, then 9 to 12 for 2.
inline constexpr family_fixture gd_objects_fixture{
    R"(root 0
0 cScopeGlb
1 var_decl name=3 mngl=4 type=-1
2 field_decl name=3 mngl=4 type=-1
3 identifier_node strg="a"
4 identifier_node strg="_Z1a"
)",
    R"(root 0
0 cScopeGlb contents=8
1 cObject name="a" instance=5 link=7
2 cObject name="a" instance=9 link=11
3 identifier_node strg="a"
4 identifier_node strg="_Z1a"
5 cInstance src=1
6 cExternSymbol name="_Z1a"
7 cRefersToExtern src=6 dest=1
8 cArcSon src=0 dest=6 next=12
9 cInstance src=2
10 cExternSymbol name="_Z1a"
11 cRefersToExtern src=10 dest=2
12 cArcSon src=0 dest=10
)"};

// gd_func: functions 7 and 8 become functions that take name and access from
// their declaration; `inst` keeps the 0 of the bytes past the compiler's
// record. Each gets its link-time symbol, the link arc and the symbol's son
// arc in the global scope (9 to 11, 13 to 15), then the instance arc to its
// return type 1 (12, 16). 7 is defined here, so the symbol refers to it; 8
// is undefined (`undef`), so it is resolved by the symbol.
inline constexpr family_fixture gd_func_fixture{
    R"(root 0
0 cScopeGlb
1 cBuiltInType name="int"
2 cFctType instance=3
3 cInstance src=2 dest=1
4 identifier_node strg="f"
5 integer_cst low=3
6 identifier_node strg="_Z1fv"
7 function_decl public_flag name=4 mngl=6 type=2
8 function_decl public_flag name=4 mngl=6 type=2 undef
)",
    R"(root 0
0 cScopeGlb contents=11
1 cBuiltInType name="int"
2 cFctType instance=3
3 cInstance src=2 dest=1
4 identifier_node strg="f"
5 integer_cst low=3
6 identifier_node strg="_Z1fv"
7 cFunction public_flag name="f" visb=visb_pub instance=12 extern_flag virtual_code=vc_non_virtual voffset=-1 link=10 inst=0
8 cFunction public_flag name="f" visb=visb_pub instance=16 extern_flag virtual_code=vc_non_virtual voffset=-1 link=14 inst=0
9 cExternSymbol name="_Z1fv"
10 cRefersToExtern src=9 dest=7
11 cArcSon src=0 dest=9 next=15
12 cInstance src=7 dest=1
13 cExternSymbol name="_Z1fv"
14 cResolvedByExtern src=8 dest=13
15 cArcSon src=0 dest=13
16 cInstance src=8 dest=1
)"};

// gd_templates: template 2, whose result is a template template parameter,
// becomes a formal template with a result arc 10 to 3, which keeps its
// fields; it has no parameters and no scope. Function template 5 becomes a
// template with its access (protected) and a result arc 11 to function 6,
// which loses its name to the template. The empty parameter vector 8 gives
// no formals, the invalid scope 99 no scope arc; line 8 differs only in that
// the dump leaves out the length 0.
inline constexpr family_fixture gd_templates_fixture{
    R"(root 0
0 cScopeGlb
1 identifier_node strg="P"
2 template_decl name=1 rslt=3 parms=-1 scpe=-1
3 template_template_parm name=1
4 identifier_node strg="f"
5 template_decl protected_flag name=4 rslt=6 parms=7 scpe=99
6 cFunction name="f" visb=visb_pub
7 tree_list value=8
8 tree_vec length=0 elts=[9]
9 tree_list value=3
)",
    R"(root 0
0 cScopeGlb
1 identifier_node strg="P"
2 cFormalTemplate name="P" result=10
3 template_template_parm name=1
4 identifier_node strg="f"
5 cTemplate protected_flag name="f" visb=visb_pro result=11
6 cFunction visb=visb_pub
7 tree_list value=8
8 tree_vec elts=[9]
9 tree_list value=3
10 cArcSon src=2 dest=3
11 cArcSon src=5 dest=6
)"};

// gd_literals: the integer constant 2 becomes literal "-7" with an instance
// arc, 3, to its type 1. Type 1 is a compiler type: its `algn` holds the
// pool offset of "int" where a Ririra type keeps its name, and must not be
// read as one.
inline constexpr family_fixture gd_literals_fixture{
    R"(0 cBuiltInType file="x" name="int"
1 integer_type algn=2
2 integer_cst type=1 low=-7
)",
    R"(0 cBuiltInType file="x" name="int"
1 integer_type algn=2
2 cLiteral value="-7" type=3
3 cInstance src=2 dest=1
)"};

// gd_actuals: the argument cells 4 and 5 of call 1 are rewritten in place as
// the son arcs of a new actual-parameter list, 14, to the arguments 7 and 8
// (built whole: cell 4's mark and purpose are gone), and the call's argument
// operand 3 leads to 14. Call 9 has no argument operand and operator 11 is
// no call: both stay, 13 still leading to 4.
inline constexpr family_fixture gd_actuals_fixture{
    R"(0 cFunction name="f"
1 cOperator line=3 op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=4
4 tree_list mark_flag1 purpose=0 value=7 chan=5
5 tree_list value=8
6 cFunction name="g"
7 cObject name="a"
8 cLiteral value="1"
9 cOperator op=dc_fct_call ops=10
10 cArcOpd src=9 dest=6
11 cOperator op=dc_bplus ops=12
12 cArcOpd src=11 dest=7 next=13
13 cArcOpd src=11 dest=4
)",
    R"(0 cFunction name="f"
1 cOperator line=3 op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=14
4 cArcSon src=14 dest=7 next=5
5 cArcSon src=14 dest=8
6 cFunction name="g"
7 cObject name="a"
8 cLiteral value="1"
9 cOperator op=dc_fct_call ops=10
10 cArcOpd src=9 dest=6
11 cOperator op=dc_bplus ops=12
12 cArcOpd src=11 dest=7 next=13
13 cArcOpd src=11 dest=4
14 cActualFctParamList actuals=4
)"};

// gd_break: the break and continue statements 0 to 2 become jumps in place:
// flags kept, the successor moved from `next` to other_node, the compiler's
// `type` word overwritten by the jump's `file`. Expression statement 3
// stays.
inline constexpr family_fixture gd_break_fixture{
    R"(0 break_stmt constant_flag type=5 line=4 next=1
1 continue_stmt line=5 next=2
2 break_stmt line=6
3 expr_stmt line=7 next=0
)",
    R"(0 cBreak constant_flag other_node=1 line=4
1 cContinue other_node=2 line=5
2 cBreak line=6
3 expr_stmt line=7 next=0
)"};

// gd_goto: the goto statements 1 and 2 are built anew as gotos (1's flag is
// gone), the successor in other_node, and each gets a son arc to its label:
// 4 to label 0, and 5, without a destination, for 2's missing label.
inline constexpr family_fixture gd_goto_fixture{
    R"(0 label_decl name=3
1 goto_stmt volatile_flag line=7 dest=0 next=2
2 goto_stmt line=8 dest=-1
3 identifier_node strg="out"
)",
    R"(0 label_decl name=3
1 cGoto other_node=2 line=7 dest=4
2 cGoto line=8 dest=5
3 identifier_node strg="out"
4 cArcSon src=1 dest=0
5 cArcSon src=2
)"};

// gd_return: the return statements 0 to 2 become returns in place (0 keeps
// its flag), the successor in other_node. Only 0's value 3 is valid, so only
// 0 gets a value arc, 4; 2's value 99 is dropped.
inline constexpr family_fixture gd_return_fixture{
    R"(0 return_stmt public_flag line=3 ret_expr=3 next=1
1 return_stmt line=4 next=2
2 return_stmt line=5 ret_expr=99
3 integer_cst low=7
)",
    R"(0 cReturn public_flag other_node=1 line=3 value=4
1 cReturn other_node=2 line=4
2 cReturn line=5
3 integer_cst low=7
4 cArcSon src=0 dest=3
)"};

// gd_labels: labels are built anew, without flags or place: label
// declaration 0 becomes label "out" and 3, whose name node is no identifier,
// a label without a name; case label 1 becomes a case label with an arc, 7,
// to its value 5, and 2, without `low`, the default label. The successors
// move from `next` to other_node.
inline constexpr family_fixture gd_labels_fixture{
    R"(0 label_decl public_flag name=4 srcf="a.c" srcl=3 chan=3
1 case_label low=5 high=6 next=2
2 case_label high=6 next=3
3 label_decl name=5
4 identifier_node strg="out"
5 integer_cst low=1
6 integer_cst low=2
)",
    R"(0 cLabel name="out"
1 cCaseLabel other_node=2 value=7
2 cDefaultLabel other_node=3
3 cLabel
4 identifier_node strg="out"
5 integer_cst low=1
6 integer_cst low=2
7 cArcSon src=1 dest=5
)"};

// gd_for: loop 0 is built anew as a for loop (its flag is gone) with, in
// this order, the arcs 14 and 15 to the initialiser statements 1 and 2 (the
// marker 3 has none, and the statements stay chained), the condition arc 16
// to 13, taken out of list cell 4, the arcs 17 and 18 to the body statements
// 7 and 8, which leave their chain, and the increment arc 19 to 5.
inline constexpr family_fixture gd_for_fixture{
    R"(0 for_stmt static_flag line=3 init=1 cond=4 inc_expr=5 body=6 next=10
1 decl_stmt line=3 decl=11 next=2
2 expr_stmt line=3 texpr=12 next=3
3 scope_stmt line=3
4 tree_list value=13
5 integer_cst low=5
6 scope_stmt line=3 begin_end next=7
7 expr_stmt line=4 texpr=12 next=8
8 expr_stmt line=5 texpr=13 next=9
9 scope_stmt line=6
10 return_stmt line=7
11 cObject name="i"
12 integer_cst low=12
13 integer_cst low=13
)",
    R"(0 cForLoop other_node=10 line=3 init=14 cond=16 incr=19 block=17
1 decl_stmt line=3 decl=11 next=2
2 expr_stmt line=3 texpr=12 next=3
3 scope_stmt line=3
4 tree_list value=13
5 integer_cst low=5
6 scope_stmt line=3 begin_end next=7
7 expr_stmt line=4 texpr=12
8 expr_stmt line=5 texpr=13
9 scope_stmt line=6
10 return_stmt line=7
11 cObject name="i"
12 integer_cst low=12
13 integer_cst low=13
14 cArcForInit src=0 dest=1 next=15
15 cArcForInit src=0 dest=2
16 cArcCond src=0 dest=13
17 cArcSon src=0 dest=7 next=18
18 cArcSon src=0 dest=8
19 cArcForIncr src=0 dest=5
)"};

// gd_while: loop 0 becomes a while loop in place (its flag stays), the
// successor in other_node, with a condition arc, 10, to 8, taken out of list
// cell 5, and the arcs 11 and 12 to the body statements 2 and 3, which leave
// their chain; the markers 1 and 4 get none.
inline constexpr family_fixture gd_while_fixture{
    R"(0 while_stmt readonly_flag line=3 body=1 cond=5 next=9
1 scope_stmt line=3 begin_end next=2
2 expr_stmt line=4 texpr=6 next=3
3 expr_stmt line=5 texpr=7 next=4
4 scope_stmt line=6
5 tree_list value=8
6 integer_cst low=1
7 integer_cst low=2
8 integer_cst low=3
9 return_stmt line=7
)",
    R"(0 cWhileDoLoop readonly_flag other_node=9 line=3 cond=10 block=11
1 scope_stmt line=3 begin_end next=2
2 expr_stmt line=4 texpr=6
3 expr_stmt line=5 texpr=7
4 scope_stmt line=6
5 tree_list value=8
6 integer_cst low=1
7 integer_cst low=2
8 integer_cst low=3
9 return_stmt line=7
10 cArcCond src=0 dest=8
11 cArcSon src=0 dest=2 next=12
12 cArcSon src=0 dest=3
)"};

// gd_exceptions: throw 0, whose operand has the compiler's shape (compound 1
// declaring the temporary and setting it inside a must-not-throw expression),
// becomes a throw with a value arc, 10, to the thrown value 8. Throw 9,
// whose operand has another shape, stays.
inline constexpr family_fixture gd_exceptions_fixture{
    R"(0 throw_expr type=8 op0=1
1 compound_stmt line=4 body=2
2 decl_stmt line=4 decl=7 next=3
3 expr_stmt line=4 next=4
4 expr_stmt line=4 texpr=5
5 must_not_throw_expr line=4 body=6
6 init_expr op0=7 op1=8
7 cObject name="tmp"
8 integer_cst low=42
9 throw_expr op0=2
)",
    R"(0 cThrow value=10
1 compound_stmt line=4 body=2
2 decl_stmt line=4 decl=7 next=3
3 expr_stmt line=4 next=4
4 expr_stmt line=4 texpr=5
5 must_not_throw_expr line=4 body=6
6 init_expr op0=7 op1=8
7 cObject name="tmp"
8 integer_cst low=42
9 throw_expr op0=2
10 cArcSon src=0 dest=8
)"};

// gd_if: the if statements 0 and 1 are built anew as ifs (0's flag is gone),
// the successor in other_node, with arcs in this order: condition, then,
// else. 0 gets 6 to 8; 1, which has no else branch, gets 9 and 10.
inline constexpr family_fixture gd_if_fixture{
    R"(0 if_stmt private_flag line=3 cond=3 thenc=4 elsec=5 next=1
1 if_stmt line=6 cond=3 thenc=4 next=2
2 return_stmt line=7
3 integer_cst low=1
4 expr_stmt line=4
5 expr_stmt line=5
)",
    R"(0 cIf other_node=1 line=3 cond=6 true_block=7 false_block=8
1 cIf other_node=2 line=6 cond=9 true_block=10
2 return_stmt line=7
3 integer_cst low=1
4 expr_stmt line=4
5 expr_stmt line=5
6 cArcCond src=0 dest=3
7 cArcTrue src=0 dest=4
8 cArcFalse src=0 dest=5
9 cArcCond src=1 dest=3
10 cArcTrue src=1 dest=4
)"};

// gd_switch: switch 0 becomes a switch, the successor in other_node, with its
// body arc 5 first, then the condition arc 6 to 4, taken out of list cell 2;
// both arcs carry ordinal 1. Switch 1 has neither: it gets a body arc 7
// without a destination all the same, and no condition arc.
inline constexpr family_fixture gd_switch_fixture{
    R"(0 switch_stmt line=3 cond=2 body=3 next=1
1 switch_stmt line=8
2 tree_list value=4
3 compound_stmt line=3
4 integer_cst low=1
)",
    R"(0 cSwitch other_node=1 line=3 cond=6 body=5
1 cSwitch line=8 body=7
2 tree_list value=4
3 compound_stmt line=3
4 integer_cst low=1
5 cArcSon ordinal=1 src=0 dest=3
6 cArcCond ordinal=1 src=0 dest=4
7 cArcSon ordinal=1 src=1
)"};

// gd_initializers: declaration 1 of object 0 is followed by statement 2,
// which holds the constructor call 3: 0 gets the initial value arc 13 to 3,
// and 1's `next` skips 2. Statement 12 declares no object and stays.
// Constructor 5 becomes an initializer list (its flag stays, its other fields
// clear) with the son arcs 14 to 16 to its elements 9 to 11, in order; the
// cells 6 to 8 stay behind.
inline constexpr family_fixture gd_initializers_fixture{
    R"(0 cObject name="p"
1 decl_stmt line=5 decl=0 next=2
2 expr_stmt line=5 texpr=3 next=4
3 compound_stmt line=5
4 return_stmt line=6
5 constructor constant_flag other_node=4 type=0 elts=6
6 tree_list value=9 chan=7
7 tree_list value=10 chan=8
8 tree_list value=11
9 cLiteral value="1"
10 cLiteral value="2"
11 cLiteral value="3"
12 decl_stmt decl=9 next=2
)",
    R"(0 cObject name="p" initial_val=13
1 decl_stmt line=5 decl=0 next=4
2 expr_stmt line=5 texpr=3 next=4
3 compound_stmt line=5
4 return_stmt line=6
5 cInitList constant_flag init=14
6 tree_list value=9 chan=7
7 tree_list value=10 chan=8
8 tree_list value=11
9 cLiteral value="1"
10 cLiteral value="2"
11 cLiteral value="3"
12 decl_stmt decl=9 next=2
13 cArcInitVal src=0 dest=3
14 cArcSon src=5 dest=9 next=15
15 cArcSon src=5 dest=10 next=16
16 cArcSon src=5 dest=11
)"};

// gd_block: the compound statements 0, 5 and 8 become blocks in place (0's
// flag stays), the successor in other_node. Block 0 gets the arcs 13 to 15
// to its statements 2, 3 and 12, which leave their chain (3, a converted
// return, through its other_node); the markers 1 and 4 get none and keep
// their `next`. 5 holds only markers, in a loop, and 8 one marker: no arcs.
inline constexpr family_fixture gd_block_fixture{
    R"(0 compound_stmt private_flag line=3 body=1 next=5
1 scope_stmt line=3 begin_end next=2
2 decl_stmt line=4 decl=9 next=3
3 cReturn other_node=4 line=5
4 scope_stmt line=6 next=12
5 compound_stmt line=7 body=6 next=8
6 scope_stmt line=7 next=7
7 scope_stmt line=7 next=6
8 compound_stmt line=8 body=11
9 cObject name="x"
10 integer_cst low=1
11 scope_stmt line=8
12 expr_stmt line=9 texpr=10
)",
    R"(0 cBlock private_flag other_node=5 line=3 contents=13
1 scope_stmt line=3 begin_end next=2
2 decl_stmt line=4 decl=9
3 cReturn line=5
4 scope_stmt line=6 next=12
5 cBlock other_node=8 line=7
6 scope_stmt line=7 next=7
7 scope_stmt line=7 next=6
8 cBlock line=8
9 cObject name="x"
10 integer_cst low=1
11 scope_stmt line=8
12 expr_stmt line=9 texpr=10
13 cArcSon src=0 dest=2 next=14
14 cArcSon src=0 dest=3 next=15
15 cArcSon src=0 dest=12
)"};

// gd_statements: links to the expression, declaration and label statements
// 6 to 9 lead to what they wrap, and a Ririra node so reached takes the
// statement's line: arcs 1 and 2 lead to 10 (line 7), 4 to 12 (line 9),
// while 3 leads to the compiler declaration 11, which keeps its own line.
// 5 leads to 13, one level down; 13 is the wrapper that 9's own `texpr`
// then passes, to 22 (line 11). 19 leads past 20 to arc 21. The wrappers of
// nothing valid, 15 and 17, and 18's other_node stay.
inline constexpr family_fixture gd_statements_fixture{
    R"(0 cBlock contents=1
1 cArcSon src=0 dest=6 next=2
2 cArcSon src=0 dest=6 next=3
3 cArcSon src=0 dest=7 next=4
4 cArcSon src=0 dest=8 next=5
5 cArcSon src=0 dest=9
6 expr_stmt line=7 texpr=10
7 decl_stmt line=8 decl=11
8 label_stmt line=9 label=12
9 expr_stmt line=10 texpr=13
10 cOperator line=1 op=dc_asgn_eq
11 var_decl srcl=2
12 cLabel line=3
13 expr_stmt line=11 texpr=22
14 cArcSon src=0 dest=15 next=16
15 expr_stmt line=12
16 cArcSon src=0 dest=17
17 decl_stmt line=13 decl=99
18 cReturn other_node=6 line=14
19 cArcSon src=0 dest=20
20 label_stmt line=15 label=21
21 cArcSon
22 cOperator line=1 op=dc_asgn_eq
)",
    R"(0 cBlock contents=1
1 cArcSon src=0 dest=10 next=2
2 cArcSon src=0 dest=10 next=3
3 cArcSon src=0 dest=11 next=4
4 cArcSon src=0 dest=12 next=5
5 cArcSon src=0 dest=13
6 expr_stmt line=7 texpr=10
7 decl_stmt line=8 decl=11
8 label_stmt line=9 label=12
9 expr_stmt line=10 texpr=22
10 cOperator line=7 op=dc_asgn_eq
11 var_decl srcl=2
12 cLabel line=9
13 expr_stmt line=11 texpr=22
14 cArcSon src=0 dest=15 next=16
15 expr_stmt line=12
16 cArcSon src=0 dest=17
17 decl_stmt line=13 decl=99
18 cReturn other_node=6 line=14
19 cArcSon src=0 dest=21
20 label_stmt line=15 label=21
21 cArcSon
22 cOperator line=11 op=dc_asgn_eq
)"};

// gd_regular: links to expression statements lead to their expression: arc
// 0's `src` goes from 1 to 4, whose line stays. 2 and 6 wrap no valid
// expression, so 0's `dest` and arc 5 stay; so do declaration statement 8
// and 3's other_node. Line 2 differs only in that the dump leaves out the
// texpr -1.
inline constexpr family_fixture gd_regular_fixture{
    R"(0 cArcSon src=1 dest=2 next=5
1 expr_stmt line=3 texpr=4
2 expr_stmt line=5 texpr=-1
3 cReturn other_node=1
4 cOperator line=1
5 cArcSon dest=6 next=7
6 expr_stmt line=6 texpr=99
7 cArcSon dest=8
8 decl_stmt line=7 decl=4
)",
    R"(0 cArcSon src=4 dest=2 next=5
1 expr_stmt line=3 texpr=4
2 expr_stmt line=5
3 cReturn other_node=1
4 cOperator line=1
5 cArcSon dest=6 next=7
6 expr_stmt line=6 texpr=99
7 cArcSon dest=8
8 decl_stmt line=7 decl=4
)"};

// gd_classref: the calls 6 and 9 of method 2 share one argument list, 12,
// whose first argument 5 is a pointer: both callee arcs, 7 and 10, lead to
// one new `->` operator, 14, and lose their argument operand, the object
// being the only argument. The argument arc 13 becomes 14's first operand,
// followed by arc 15 to the method (ordinal -1). 2 is marked a member
// function and loses its formal for the object.
inline constexpr family_fixture gd_classref_fixture{
    R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2
2 cFunction name="m" formal_fct=3
3 cArcSon src=2 dest=4
4 cFormalObject name="this"
5 cObject name="ptr"
6 cOperator op=dc_fct_call ops=7
7 cArcOpd src=6 dest=2 next=8
8 cArcOpd src=6 dest=12
9 cOperator op=dc_fct_call ops=10
10 cArcOpd src=9 dest=2 next=11
11 cArcOpd src=9 dest=12
12 cActualFctParamList actuals=13
13 cArcSon src=12 dest=5
)",
    R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2
2 cFunction mark_flag1 name="m"
3 cArcSon src=2 dest=4
4 cFormalObject name="this"
5 cObject name="ptr"
6 cOperator op=dc_fct_call ops=7
7 cArcOpd src=6 dest=14
8 cArcOpd src=6 dest=12
9 cOperator op=dc_fct_call ops=10
10 cArcOpd src=9 dest=14
11 cArcOpd src=9 dest=12
12 cActualFctParamList actuals=13
13 cArcOpd src=14 dest=5 next=15
14 cOperator op=dc_pointsat ops=13
15 cArcOpd ordinal=-1 src=14 dest=2
)"};

// classes: the base descriptors 2 to 4 in 0's vector 1 become inheritance
// arcs 10 to 12 to the bases 5 to 7, made in vector order and chained in
// reverse from 0's `inheritance`. 3's private flag wins over the others and
// its unsigned flag makes the base virtual; 4 is protected. Element 9 is no
// descriptor and is passed over.
inline constexpr family_fixture classes_fixture{
    R"(0 cAggrType name="D" inheritance=1
1 tree_vec length=4 elts=[2 3 9 4]
2 tree_vec binfo_type=5
3 tree_vec unsigned_flag public_flag private_flag protected_flag binfo_type=6
4 tree_vec public_flag protected_flag binfo_type=7
5 cAggrType name="A"
6 cAggrType name="B"
7 cAggrType name="C"
8 identifier_node strg="D"
9 integer_cst
)",
    R"(0 cAggrType name="D" inheritance=12
1 tree_vec length=4 elts=[2 3 9 4]
2 tree_vec binfo_type=5
3 tree_vec unsigned_flag public_flag private_flag protected_flag binfo_type=6
4 tree_vec public_flag protected_flag binfo_type=7
5 cAggrType name="A"
6 cAggrType name="B"
7 cAggrType name="C"
8 identifier_node strg="D"
9 integer_cst
10 cInheritance src=0 dest=5
11 cInheritance src=0 dest=6 next=10 visb=visb_pri virt
12 cInheritance src=0 dest=7 next=11 visb=visb_pro
)"};

// gd_virtual: call 7 goes through the table pointer 2 of class 0 with no
// offset, so slot 0: its operand 8 leads to the field access 11, past the
// dereference 9, and the access's member arc 13 to f0 (4) instead of the
// pointer. 9 and 10 stay behind, unreferenced.
inline constexpr family_fixture gd_virtual_fixture{
    R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=3
2 cObject name="_vptr.C" defLoc=5
3 cArcSon src=0 dest=4
4 cFunction name="f0"
5 cArcDefLoc src=2 dest=0
6 cObject name="obj"
7 cOperator op=dc_fct_call ops=8
8 cArcOpd src=7 dest=9
9 cOperator op=dc_deref ops=10
10 cArcOpd src=9 dest=11
11 cOperator op=dc_field_access ops=12
12 cArcOpd src=11 dest=6 next=13
13 cArcOpd src=11 dest=2
)",
    R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=3
2 cObject name="_vptr.C" defLoc=5
3 cArcSon src=0 dest=4
4 cFunction name="f0"
5 cArcDefLoc src=2 dest=0
6 cObject name="obj"
7 cOperator op=dc_fct_call ops=8
8 cArcOpd src=7 dest=11
9 cOperator op=dc_deref ops=10
10 cArcOpd src=9 dest=11
11 cOperator op=dc_field_access ops=12
12 cArcOpd src=11 dest=6 next=13
13 cArcOpd src=11 dest=4
)"};

// gd_typedecls: links to type declarations lead to the type: both ends of
// arc 0 go from 1 to 2, and arc 8's `src` too. 8's `dest` 9 declares a
// declaration: it leads one level down, to 1, and 9's own `type` goes to 2.
// 5 and 6 declare no valid type, so arc 4 stays; so does 7's other_node.
inline constexpr family_fixture gd_typedecls_fixture{
    R"(0 cArcSon src=1 dest=1
1 type_decl name=3 type=2
2 cAggrType name="S"
3 identifier_node strg="S"
4 cArcSon src=5 dest=6
5 type_decl
6 type_decl type=99
7 cReturn other_node=1
8 cArcSon src=1 dest=9
9 type_decl type=1
)",
    R"(0 cArcSon src=2 dest=2
1 type_decl name=3 type=2
2 cAggrType name="S"
3 identifier_node strg="S"
4 cArcSon src=5 dest=6
5 type_decl
6 type_decl type=99
7 cReturn other_node=1
8 cArcSon src=2 dest=1
9 type_decl type=2
)"};

// gd_globalize_funct_types: the function types 5 and 6 join the global scope
// through the son arcs 7 and 8, after its last arc 3.
inline constexpr family_fixture gd_globalize_funct_types_fixture{
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=3
2 cScopeCompil
3 cArcSon src=0 dest=4
4 cBuiltInType name="int"
5 cFctType name="f"
6 cFctType
)",
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=3
2 cScopeCompil
3 cArcSon src=0 dest=4 next=7
4 cBuiltInType name="int"
5 cFctType name="f"
6 cFctType
7 cArcSon src=0 dest=5 next=8
8 cArcSon src=0 dest=6
)"};

// merge_builtin: links to built-in types lead to the type of the same name
// and qualifiers that the global scope lists through a son arc: 10 and arc
// 20 go from 5 to 3, 11 from 6 to 4 (const). 12 (char) and 16 (volatile int)
// find none and are reported; 13's type has no name and is passed over in
// silence; 14's other_node is no link the filter follows. 5's mark is
// cleared.
inline constexpr family_fixture merge_builtin_fixture{
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=3 next=2
2 cArcSon src=0 dest=4 next=20
3 cBuiltInType name="int"
4 cBuiltInType name="int" const_flag
5 cBuiltInType mark_flag1 name="int"
6 cBuiltInType name="int" const_flag
7 cBuiltInType name="char"
8 cBuiltInType
9 cObject name="a" instance=10
10 cInstance src=9 dest=5
11 cInstance src=9 dest=6
12 cInstance src=9 dest=7
13 cInstance src=9 dest=8
14 cInstance other_node=5 src=9 dest=3
15 cBuiltInType name="int" volatile_flag
16 cInstance src=9 dest=15
20 cArcOpd src=0 dest=5
)",
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=3 next=2
2 cArcSon src=0 dest=4 next=20
3 cBuiltInType name="int"
4 cBuiltInType name="int" const_flag
5 cBuiltInType name="int"
6 cBuiltInType name="int" const_flag
7 cBuiltInType name="char"
8 cBuiltInType
9 cObject name="a" instance=10
10 cInstance src=9 dest=3
11 cInstance src=9 dest=4
12 cInstance src=9 dest=7
13 cInstance src=9 dest=8
14 cInstance other_node=5 src=9 dest=3
15 cBuiltInType name="int" volatile_flag
16 cInstance src=9 dest=15
20 cArcOpd src=0 dest=3
)",
    "merge_builtin: unofficial builtin type 7 (char) is used as ptr 2 of node 12\n"
    "merge_builtin: unofficial builtin type 15 (int) is used as ptr 2 of node 16\n"};

// zap_builtin: the built-in types 10, 12 and 14, which nothing but the global
// scope uses, leave its chain, which now runs 2, 4: the arcs 1, 3 and 5 are
// unlinked, and 1 and 3 lose their own `next`. 11 is used by instance arc 20
// and 13 is no built-in type: they stay. 20's mark is cleared.
inline constexpr family_fixture zap_builtin_fixture{
    R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=10 next=2
2 cArcSon src=0 dest=11 next=3
3 cArcSon src=0 dest=12 next=4
4 cArcSon src=0 dest=13 next=5
5 cArcSon src=0 dest=14
10 cBuiltInType name="a"
11 cBuiltInType name="b"
12 cBuiltInType name="c"
13 cScopeCompil
14 cBuiltInType name="d"
20 cInstance mark_flag1 src=13 dest=11
)",
    R"(root 0
0 cScopeGlb contents=2
1 cArcSon src=0 dest=10
2 cArcSon src=0 dest=11 next=4
3 cArcSon src=0 dest=12
4 cArcSon src=0 dest=13
5 cArcSon src=0 dest=14
10 cBuiltInType name="a"
11 cBuiltInType name="b"
12 cBuiltInType name="c"
13 cScopeCompil
14 cBuiltInType name="d"
20 cInstance src=13 dest=11
)"};

// zap_other: every other_node is cleared (0 to 3), and nothing else: 0's
// mark and 2's `next` stay.
inline constexpr family_fixture zap_other_fixture{
    R"(0 cObject mark_flag1 other_node=1 name="a"
1 cReturn other_node=2 line=4
2 expr_stmt other_node=0 next=1
3 record_type other_node=2 unql=3
)",
    R"(0 cObject mark_flag1 name="a"
1 cReturn line=4
2 expr_stmt next=1
3 record_type unql=3
)"};

// gd_nameref: arc 1 of block 0 declares v (2): it owns it (mark_flag1 on
// both, mark_flag2 on the arc). Every other syntax arc to v gets a new name
// reference with a refers-to arc: 4 leads to 15 (refers-to 14), which takes
// operator 3's place, 10 to 17 (16) and 20 to 23 (22), which get no place.
// Arc 5 is the first to reach literal 6 and owns it; 11 reaches it again and
// gets copy 18, marked as 6 is, with a copy 19 of its type arc. Identifier
// 12 becomes a bare name reference; instance arc 13 is no syntax arc.
inline constexpr family_fixture gd_nameref_fixture{
    R"(0 cBlock contents=1
1 cArcSon src=0 dest=2
2 cObject name="v"
3 cOperator file="a.cc" line=7 op=dc_asgn_eq ops=4
4 cArcOpd src=3 dest=2 next=5
5 cArcOpd src=3 dest=6
6 cLiteral value="1" type=7
7 cInstance src=6 dest=8
8 cBuiltInType name="int"
9 cOperator op=dc_bplus ops=10
10 cArcOpd src=9 dest=2 next=11
11 cArcOpd src=9 dest=6
12 identifier_node strg="x" lngt=1
13 cInstance src=2 dest=8
20 cArcSon src=21 dest=2
21 cArcOpd ordinal=5 src=3
)",
    R"(0 cBlock contents=1
1 cArcSon mark_flag1 mark_flag2 src=0 dest=2
2 cObject mark_flag1 name="v"
3 cOperator file="a.cc" line=7 op=dc_asgn_eq ops=4
4 cArcOpd src=3 dest=15 next=5
5 cArcOpd mark_flag1 src=3 dest=6
6 cLiteral mark_flag1 value="1" type=7
7 cInstance src=6 dest=8
8 cBuiltInType name="int"
9 cOperator op=dc_bplus ops=10
10 cArcOpd src=9 dest=17 next=11
11 cArcOpd src=9 dest=18
12 cNameRef name="x"
13 cInstance src=2 dest=8
14 cRefersTo src=15 dest=2
15 cNameRef file="a.cc" line=7 refers=14 name="v"
16 cRefersTo src=17 dest=2
17 cNameRef refers=16 name="v"
18 cLiteral mark_flag1 value="1" type=19
19 cInstance src=18 dest=8
20 cArcSon src=21 dest=23
21 cArcOpd ordinal=5 src=3
22 cRefersTo src=23 dest=2
23 cNameRef refers=22 name="v"
)"};

// ordinals: arcs are numbered along each chain from 1: the function's
// formals, exceptions and body as one sequence (1 to 4), the block's chain 9
// to 11 (1 to 3). The lone arc 12 goes back to 0, and 2's mark is cleared.
// Function 13 has no formals, so its body arc 14 is not numbered.
inline constexpr family_fixture ordinals_fixture{
    R"(0 cFunction formal_fct=1 exception=3 block=4
1 cArcSon src=0 dest=5 next=2
2 cArcSon mark_flag1 src=0 dest=6
3 cArcSon src=0 dest=7
4 cArcSon src=0 dest=8
5 cFormalObject
6 cFormalObject
7 cBuiltInType
8 cBlock contents=9
9 cArcSon src=8 next=10
10 cArcTrue ordinal=7 next=11
11 cArcOpd
12 cInstance ordinal=9
13 cFunction block=14
14 cArcSon src=13
)",
    R"(0 cFunction formal_fct=1 exception=3 block=4
1 cArcSon ordinal=1 src=0 dest=5 next=2
2 cArcSon ordinal=2 src=0 dest=6
3 cArcSon ordinal=3 src=0 dest=7
4 cArcSon ordinal=4 src=0 dest=8
5 cFormalObject
6 cFormalObject
7 cBuiltInType
8 cBlock contents=9
9 cArcSon ordinal=1 src=8 next=10
10 cArcTrue ordinal=2 next=11
11 cArcOpd ordinal=3
12 cInstance
13 cFunction block=14
14 cArcSon src=13
)"};
