// gd_filter_filter: the garbage collector of the chain.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdFilter, KeepsWhatTheRootReachesOverRiriraLinksAndOtherNode)
{
    // Kept: the scopes, arcs and function, the return statement's next
    // statement (other_node), what a control statement's other_node and a
    // case label's value lead to. Freed: the aggregate that only the
    // function's `inst` names, the dC_SYSTEM node, the arc that no owner or
    // sibling reaches (though its src is kept), and the compiler type that
    // only a compound expression's `type` names; the links to them are
    // cleared. Node 6 is free already.
    text_graph t(gd_filter_fixture.before);
    EXPECT_EQ(gd_filter_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_filter_fixture.after);
    EXPECT_EQ(t.free_list_head(6), (std::vector<node_ptr>{17, 14, 11, 9, 6}));
}

TEST(GdFilter, FollowsEveryLinkOfTheCompilerKindsButTheNamedOnes)
{
    // A declaration's chain and body, other_node of a compiler node, a tree
    // vector's elements in use (not the stale slot beyond its length), the
    // member of a field access; not the second operand of a user conversion.
    text_graph t(R"(root 0
0 function_decl chan=1 body=2
1 var_decl init=3
2 expr_stmt other_node=4 texpr=5
3 tree_vec length=1 elts=[6 7]
4 integer_cst
5 component_ref op0=1 op1=8
6 user_conv op0=9 op1=10
7 identifier_node strg="stale"
8 field_decl
9 real_cst
10 string_cst
)");
    EXPECT_EQ(gd_filter_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
nodes 11
0 function_decl chan=1 body=2
1 var_decl init=3
2 expr_stmt other_node=4 texpr=5
3 tree_vec length=1 elts=[6 7]
4 integer_cst
5 component_ref op0=1 op1=8
6 user_conv op0=9
8 field_decl
9 real_cst
)");
}

TEST(GdFilter, RootOfAKindNeverKeptLeavesNoRoot)
{
    text_graph t(R"(root 0
0 cSystem contents=1
1 cArcSon src=0
)");
    EXPECT_EQ(gd_filter_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), "nodes 2\n");
    EXPECT_EQ(t.g.firstNode, -1);
}

TEST(GdFilter, ArcCyclesEndAndRunTwiceFreesNothing)
{
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=0 next=2
2 cArcSon src=0 dest=3 next=1
3 cBuiltInType name="int"
4 cBuiltInType name="lost"
)");
    EXPECT_EQ(gd_filter_filter(&t.g), 1);
    const std::string once = t.dump();
    EXPECT_EQ(once, R"(root 0
nodes 5
0 cScopeGlb contents=1
1 cArcSon src=0 dest=0 next=2
2 cArcSon src=0 dest=3 next=1
3 cBuiltInType name="int"
)");
    EXPECT_EQ(gd_filter_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), once);
    EXPECT_EQ(t.free_list_head(2), (std::vector<node_ptr>{4}));
}

}  // namespace
