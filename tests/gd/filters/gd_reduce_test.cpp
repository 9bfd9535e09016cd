// gd_reduce_filter: the first reachability pass, with its built-in rule.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdReduce, DropsBuiltinsOnlyTheRootChainReachesAndSplicesThemOut)
{
    // "char" is declared in "<internal>" and used by nothing: dropped. "int"
    // is declared there too but the variable's type names it: kept. Node 10
    // is free already and stays behind the records this pass frees.
    text_graph t(gd_reduce_fixture.before);
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_reduce_fixture.after);
    // Freed in ascending order, each pushed in front of the old free list.
    EXPECT_EQ(t.free_list_head(6), (std::vector<node_ptr>{11, 4, 3, 2, 10}));
}

TEST(GdReduce, RootThatIsNoNamespaceIsTheFirstDeclarationOfTheSpine)
{
    text_graph t(R"(root 0
0 function_decl name=1 srcf="<built-in>" chan=2
1 identifier_node strg="__builtin_f"
2 var_decl name=3 srcf="b.c" chan=4
3 identifier_node strg="x"
4 function_decl name=5 srcf="<built-in>"
5 identifier_node strg="__builtin_g"
)");
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 2
nodes 6
2 var_decl name=3 srcf="b.c"
3 identifier_node strg="x"
)");
}

TEST(GdReduce, WithoutTheBuiltinFileInThePoolDropsNoDeclaration)
{
    // Declarations without a source file (srcf -1) are no built-ins when the
    // pool does not hold "<internal>".
    const char *unit = R"(root 0
0 namespace_decl name=1 dcls=2
1 identifier_node strg="::"
2 var_decl name=3 chan=4
3 identifier_node strg="x"
4 function_decl name=5
5 identifier_node strg="f"
)";
    text_graph t(unit);
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), text_graph(unit).dump());
}

TEST(GdReduce, KeepsTheMemberOfAFieldAccessAndClearsLinksToFreedRecords)
{
    // The member of a field access (op1) stays with its user. A compound
    // expression's type is not followed: the type is freed and the link to it
    // cleared, as is every link to a Ririra node, which this pass never keeps.
    text_graph t(R"(root 0
0 namespace_decl name=1 dcls=2
1 identifier_node strg="::"
2 var_decl name=3 srcf="a.c" init=4 size=9
3 identifier_node strg="s"
4 compound_expr type=5 op0=6
5 integer_type
6 component_ref op0=2 op1=7
7 field_decl name=8
8 identifier_node strg="m"
9 cObject name="stale"
)");
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
nodes 10
0 namespace_decl name=1 dcls=2
1 identifier_node strg="::"
2 var_decl name=3 srcf="a.c" init=4
3 identifier_node strg="s"
4 compound_expr op0=6
6 component_ref op0=2 op1=7
7 field_decl name=8
8 identifier_node strg="m"
)");
}

TEST(GdReduce, CyclicDeclarationChainsEnd)
{
    // Two built-ins that chain to each other, and two kept declarations that
    // do the same.
    text_graph dropped(R"(root 0
0 namespace_decl srcf="<internal>" dcls=1
1 type_decl srcf="<internal>" chan=2
2 type_decl srcf="<internal>" chan=1
)");
    EXPECT_EQ(gd_reduce_filter(&dropped.g), 1);
    EXPECT_EQ(dropped.dump(), R"(root 0
nodes 3
0 namespace_decl srcf="<internal>"
)");

    text_graph kept(R"(root 0
0 namespace_decl srcf="<internal>" dcls=1
1 var_decl srcf="a.c" chan=2
2 var_decl srcf="a.c" chan=1
)");
    const std::string before = kept.dump();
    EXPECT_EQ(gd_reduce_filter(&kept.g), 1);
    EXPECT_EQ(kept.dump(), before);
}

TEST(GdReduce, WithoutARootFreesEveryRecord)
{
    text_graph t(R"(nodes 3
0 var_decl name=1
1 identifier_node strg="x"
)");
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), "nodes 3\n");
    EXPECT_EQ(t.g.firstNode, -1);
    EXPECT_EQ(t.free_list_head(4), (std::vector<node_ptr>{1, 0, 2}));
}

TEST(GdReduce, RunTwiceFreesNothingTheSecondTime)
{
    text_graph t(R"(root 0
0 namespace_decl name=1 srcf="<internal>" dcls=2
1 identifier_node strg="::"
2 type_decl name=3 srcf="<internal>" chan=4
3 identifier_node strg="char"
4 var_decl name=5 srcf="a.c"
5 identifier_node strg="x"
)");
    gd_reduce_filter(&t.g);
    const std::string once = t.dump();
    const std::vector<node_ptr> free_once = t.free_list_head(10);
    EXPECT_EQ(gd_reduce_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), once);
    EXPECT_EQ(t.free_list_head(10), free_once);
}

TEST(GdReduce, LeavesNoMarks)
{
    text_graph t(R"(root 0
0 namespace_decl name=1 dcls=2 mark_flag2
1 identifier_node mark_flag1
2 var_decl name=1 mark_flag1 mark_flag2
)");
    gd_reduce_filter(&t.g);
    EXPECT_EQ(t.dump(), R"(root 0
0 namespace_decl name=1 dcls=2
1 identifier_node
2 var_decl name=1
)");
}

}  // namespace
