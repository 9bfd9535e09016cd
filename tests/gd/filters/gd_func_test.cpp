// The functions filter: function declarations become Ririra functions.

#include <algorithm>

#include "support/family_fixtures.h"
#include <gd/record.h>
#include "support/filter_on_text.h"

namespace {

// The graph as the type filters leave it: the global scope, int, the
// function type int() with its return-type arc, an identifier and a constant.
const std::string unit_before = R"(root 0
0 cScopeGlb
1 cBuiltInType name="int"
2 cFctType instance=3
3 cInstance src=2 dest=1
4 identifier_node strg="f"
5 integer_cst low=3
)";

struct flags_case {
    const char *what;
    const char *function;
    const char *after;
};

// Node 7 is always the function's copy of the return-type arc.
const flags_case flags_cases[] = {
    {"virtual member with a constant slot",
     "6 function_decl public_flag name=4 type=2 vindex=5 member virt\n",
     "6 cFunction public_flag name=\"f\" visb=visb_pub instance=7 extern_flag virtual_code=vc_virtual "
     "voffset=3 inst=0\n"},
    {"pure virtual member", "6 function_decl public_flag name=4 type=2 vindex=5 member virt pvirt\n",
     "6 cFunction public_flag name=\"f\" visb=visb_pub instance=7 extern_flag "
     "virtual_code=vc_pure_virtual voffset=3 inst=0\n"},
    {"static member, not virtual: no slot",
     "6 function_decl protected_flag name=4 type=2 member static_member\n",
     "6 cFunction protected_flag name=\"f\" visb=visb_pro instance=7 static_flag "
     "virtual_code=vc_non_virtual voffset=-1 inst=0\n"},
    {"non-member that is not public: static, not extern",
     "6 function_decl name=4 type=2 srcf=\"a.cc\" srcl=7\n",
     "6 cFunction file=\"a.cc\" line=7 name=\"f\" instance=7 static_flag virtual_code=vc_non_virtual "
     "voffset=-1 inst=0\n"},
    {"a slot that is no constant",
     "6 function_decl private_flag public_flag name=4 type=2 vindex=4 member virt\n",
     "6 cFunction public_flag private_flag name=\"f\" visb=visb_pri instance=7 extern_flag "
     "virtual_code=vc_virtual voffset=-1 inst=0\n"},
};

TEST(GdFunc, NameFlagsVirtualCodeAndSlot)
{
    for (const flags_case &c : flags_cases) {
        SCOPED_TRACE(c.what);
        const filtered_text out = run_filter_on_text(gd_func_filter, unit_before + c.function);
        EXPECT_EQ(out.result, 1);
        EXPECT_EQ(out.graph, unit_before + c.after + "7 cInstance src=6 dest=1\n");
        EXPECT_EQ(out.errors, "");
    }
}

TEST(GdFunc, LinkSymbolOfADefinedAndAnUndefinedFunction)
{
    const filtered_text out = run_filter_on_text(gd_func_filter, gd_func_fixture.before);
    EXPECT_EQ(out.graph, gd_func_fixture.after);
}

TEST(GdFunc, ThrowListAndBody)
{
    const filtered_text out =
        run_filter_on_text(gd_func_filter, unit_before + R"(6 function_decl name=4 type=2 body=7 public_flag
7 eh_spec_block raises=8 body=10
8 tree_list value=1 chan=9
9 tree_list value=2
10 compound_stmt line=3
)");
    // The throw list names the second type first.
    EXPECT_EQ(
        out.graph,
        unit_before +
            R"(6 cFunction public_flag name="f" visb=visb_pub instance=16 extern_flag virtual_code=vc_non_virtual voffset=-1 exception=14 block=15 inst=0
7 eh_spec_block raises=8 body=10
8 tree_list value=1 chan=9
9 tree_list value=2
10 compound_stmt line=3
11 cThrowSpec except=13
12 cArcSon src=11 dest=1
13 cArcSon src=11 dest=2 next=12
14 cArcSon src=6 dest=11
15 cArcSon src=6 dest=10
16 cInstance src=6 dest=1
)");
}

TEST(GdFunc, ConstructorWithMemberInitialisers)
{
    const std::string body = R"(7 scope_stmt next=8
8 ctor_stmt next=9
9 expr_stmt line=5 texpr=1 next=10
10 expr_stmt line=5 texpr=2 next=11
11 compound_stmt line=6
)";
    const filtered_text out = run_filter_on_text(
        gd_func_filter, unit_before + "6 function_decl name=4 type=2 body=7 srcf=\"a.cc\" srcl=5\n" + body);
    // The main block comes first, then the initialisers' block, which lists
    // them in reverse order.
    EXPECT_EQ(out.graph, unit_before +
                             "6 cFunction file=\"a.cc\" line=5 name=\"f\" instance=17 static_flag "
                             "virtual_code=vc_non_virtual voffset=-1 block=16 inst=0\n" +
                             body + R"(12 cBlock file="a.cc" line=5 contents=15
13 cArcSon src=6 dest=12
14 cArcSon src=12 dest=9
15 cArcSon src=12 dest=10 next=14
16 cArcSon src=6 dest=11 next=13
17 cInstance src=6 dest=1
)");
}

TEST(GdFunc, PlainBodyAndABodyOfAnotherShape)
{
    const std::string rest = R"(8 scope_stmt next=9
9 compound_stmt line=2
10 expr_stmt line=2 texpr=1
)";
    const filtered_text out =
        run_filter_on_text(gd_func_filter, unit_before + R"(6 function_decl name=4 type=2 body=8
7 function_decl name=4 type=2 body=10
)" + rest);
    // A body that is no block gives no block arc.
    EXPECT_EQ(
        out.graph,
        unit_before +
            R"(6 cFunction name="f" instance=12 static_flag virtual_code=vc_non_virtual voffset=-1 block=11 inst=0
7 cFunction name="f" instance=13 static_flag virtual_code=vc_non_virtual voffset=-1 inst=0
)" + rest + R"(11 cArcSon src=6 dest=9
12 cInstance src=6 dest=1
13 cInstance src=7 dest=1
)");
}

TEST(GdFunc, FormalsFromParameterDeclarations)
{
    const filtered_text out =
        run_filter_on_text(gd_func_filter, unit_before + R"(6 function_decl name=4 type=2 args=7
7 parm_decl public_flag name=9 type=1 argt=1 scpe=6 chan=8 srcf="a.cc" srcl=2 size=5 algn=32
8 parm_decl name=10 type=1 argt=1 scpe=6 srcf="a.cc" srcl=3
9 identifier_node strg="x"
10 identifier_node strg="y"
)");
    // Converted in place: flags kept, the next parameter in other_node.
    EXPECT_EQ(
        out.graph,
        unit_before +
            R"(6 cFunction name="f" instance=11 static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=14 inst=0
7 cFormalObject public_flag other_node=8 file="a.cc" line=2 name="x" instance=12 defLoc=13
8 cFormalObject file="a.cc" line=3 name="y" instance=15 defLoc=16
9 identifier_node strg="x"
10 identifier_node strg="y"
11 cInstance src=6 dest=1
12 cInstance src=7 dest=1
13 cArcDefLoc src=7 dest=6
14 cArcSon src=6 dest=7 next=17
15 cInstance src=8 dest=1
16 cArcDefLoc src=8 dest=6
17 cArcSon src=6 dest=8
)");
}

// The second function gets a copy of the formal with arcs of its own: the
// first formal's arcs keep it as their source.
TEST(GdFunc, FormalsSharedBetweenTwoFunctions)
{
    const filtered_text out =
        run_filter_on_text(gd_func_filter, unit_before + R"(6 function_decl name=4 type=2 args=8
7 function_decl name=4 type=2 args=8
8 parm_decl name=9 argt=1 scpe=6
9 identifier_node strg="x"
)");
    EXPECT_EQ(
        out.graph,
        unit_before +
            R"(6 cFunction name="f" instance=10 static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=13 inst=0
7 cFunction name="f" instance=14 static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=18 inst=0
8 cFormalObject name="x" instance=11 defLoc=12
9 identifier_node strg="x"
10 cInstance src=6 dest=1
11 cInstance src=8 dest=1
12 cArcDefLoc src=8 dest=6
13 cArcSon src=6 dest=8
14 cInstance src=7 dest=1
15 cFormalObject name="x" instance=16 defLoc=17
16 cInstance src=15 dest=1
17 cArcDefLoc src=15 dest=6
18 cArcSon src=7 dest=15
)");
}

// A list of exception types that leads round in a loop: the walk ends at the
// first cell met again.
TEST(GdFunc, LoopInTheExceptionListEnds)
{
    const filtered_text out = run_filter_on_text(gd_func_filter, R"(0 cScopeGlb
1 cBuiltInType
2 function_decl body=3
3 eh_spec_block raises=4
4 tree_list value=1 chan=5
5 tree_list value=0 chan=4
)");
    EXPECT_EQ(out.graph, R"(0 cScopeGlb
1 cBuiltInType
2 cFunction static_flag virtual_code=vc_non_virtual voffset=-1 exception=9 inst=0
3 eh_spec_block raises=4
4 tree_list value=1 chan=5
5 tree_list value=0 chan=4
6 cThrowSpec except=8
7 cArcSon src=6 dest=1
8 cArcSon src=6 dest=0 next=7
9 cArcSon src=2 dest=6
)");
}

// A function type with two formals, as the function-type filter leaves it.
const std::string prototype = R"(root 0
0 cScopeGlb
1 cBuiltInType name="int"
2 cFctType instance=3 formalParams=5
3 cInstance src=2 dest=1
4 identifier_node strg="f"
5 cArcSon src=2 dest=6 next=8
6 cFormalObject visb=visb_pub instance=7
7 cInstance src=6 dest=1
8 cArcSon src=2 dest=9
9 cFormalObject instance=10
10 cInstance src=9 dest=1
)";

TEST(GdFunc, FormalsCopiedFromThePrototype)
{
    const filtered_text out = run_filter_on_text(
        gd_func_filter, prototype + "11 function_decl name=4 type=2 srcf=\"a.cc\" srcl=7\n");
    // The copies take the function's place and no scope of their own.
    EXPECT_EQ(
        out.graph,
        prototype +
            R"(11 cFunction file="a.cc" line=7 name="f" instance=12 static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=13 inst=0
12 cInstance src=11 dest=1
13 cArcSon src=11 dest=14 next=16
14 cFormalObject file="a.cc" line=7 visb=visb_pub instance=15
15 cInstance src=14 dest=1
16 cArcSon src=11 dest=17
17 cFormalObject file="a.cc" line=7 instance=18
18 cInstance src=17 dest=1
)");
    EXPECT_EQ(out.errors, "gd_func: new param 14 gets new instance 15\n"
                          "gd_func: new instance 15 has src 14\n"
                          "gd_func: new instance 15 has type 292\n"
                          "gd_func: new param 17 gets new instance 18\n"
                          "gd_func: new instance 18 has src 17\n"
                          "gd_func: new instance 18 has type 292\n");
}

// Forty functions declared without parameter declarations share a prototype
// of forty formals: every function gets a copy of each, far more nodes than
// sixteen times the graph, as the prototype asks. Each copy has its own type
// arc to int; the functions' formal lists are whole and in order.
TEST(GdFunc, SharedPrototypesAreCopiedForEveryFunction)
{
    std::string text = "root 0\n0 cScopeGlb\n1 cBuiltInType name=\"int\"\n2 cFctType formalParams=3\n";
    const int formals = 40, functions = 40;
    for (int k = 0; k < formals; k++) {
        const int arc = 3 + 3 * k;
        text += std::to_string(arc) + " cArcSon src=2 dest=" + std::to_string(arc + 1) +
                (k + 1 < formals ? " next=" + std::to_string(arc + 3) : "") + "\n";
        text += std::to_string(arc + 1) + " cFormalObject instance=" + std::to_string(arc + 2) + "\n";
        text += std::to_string(arc + 2) + " cInstance src=" + std::to_string(arc + 1) + " dest=1\n";
    }
    const int first_function = 3 + 3 * formals;
    for (int f = 0; f < functions; f++)
        text += std::to_string(first_function + f) + " function_decl type=2\n";

    text_graph t(text.c_str());
    const uint32_t records = t.g.curNodePos;
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_func_filter(&t.g), 1);
    const std::string errors = testing::internal::GetCapturedStderr();
    // Per formal of each function: its list arc, the formal, its type arc.
    EXPECT_EQ(t.g.curNodePos, records + 3u * formals * functions);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 3 * formals * functions);
    EXPECT_EQ(t.g.chain.damage, gd_chain_damage::none);
    for (int f = 0; f < functions; f++) {
        const node_ptr fn = first_function + f;
        ASSERT_EQ(kind_of(&t.g, fn), dC_FUNCTION) << f;
        int listed = 0;
        for (node_ptr a = record_of<t_dc_function>(&t.g, fn).formal_fct; a != -1;
             a = record_of<t_dc_arc>(&t.g, a).next, listed++) {
            const t_dc_arc &arc = record_of<t_dc_arc>(&t.g, a);
            ASSERT_EQ(arc.src, fn);
            const t_dc_formal_object &y = record_of<t_dc_formal_object>(&t.g, arc.dest);
            EXPECT_GE(arc.dest, (node_ptr)records) << "a copy, not the prototype's formal";
            const t_dc_arc &type = record_of<t_dc_arc>(&t.g, y.instance);
            EXPECT_EQ(type.src, arc.dest);
            EXPECT_EQ(type.dest, 1);
        }
        EXPECT_EQ(listed, formals) << f;
    }
}

// The prototype's arc links to record 5, free when the filter starts: the
// function's first formal arc is put there. The walk ends at the arc it made
// instead of copying the formals of its own arcs until the graph reaches its
// limit.
TEST(GdFunc, PrototypeFormalsEndAtAnArcMadeInARecordThatWasFree)
{
    const std::string before = R"(root 0
0 cScopeGlb
1 cFctType formalParams=2
2 cArcSon src=1 dest=3 next=5
3 cFormalObject
)";
    const filtered_text out = run_filter_on_text(gd_func_filter, before + "4 function_decl type=1\n");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph,
              before + R"(4 cFunction static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=5 inst=0
5 cArcSon src=4 dest=6
6 cFormalObject
)");
    EXPECT_EQ(out.errors, "");
}

TEST(GdFunc, ReturnTypeAndFormalsThroughAnAlias)
{
    const std::string before = prototype + R"(11 cAliasType name="fn" instance=12 original=12
12 cInstance src=11 dest=2
)";
    const filtered_text out =
        run_filter_on_text(gd_func_filter, before + "13 function_decl name=4 type=11\n");
    EXPECT_EQ(
        out.graph,
        before +
            R"(13 cFunction name="f" instance=14 static_flag virtual_code=vc_non_virtual voffset=-1 formal_fct=15 inst=0
14 cInstance src=13 dest=1
15 cArcSon src=13 dest=16 next=18
16 cFormalObject visb=visb_pub instance=17
17 cInstance src=16 dest=1
18 cArcSon src=13 dest=19
19 cFormalObject instance=20
20 cInstance src=19 dest=1
)");
    EXPECT_NE(out.errors, "");
}

}  // namespace
