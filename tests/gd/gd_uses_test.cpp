// The node-use test, the used-by search and the compiler type kinds.
#include <gtest/gtest.h>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

TEST(UseTest, ComparesNodeFieldsByKindWithItsExceptions)
{
    gd_graph g = compile_text_graph(R"(
0 integer_cst
1 component_ref op0=2 op1=0
2 array_ref op1=0
3 compound_expr type=0
4 user_conv op1=0
5 template_decl parms=0
6 cCaseLabel value=0
7 cEnumerator value=0
8 cAggrType inst=0
9 cFunction inst=0
10 cLiteral value=@0 file=@0
11 union_type ptd=0
12 record_type isClass=0
13 tree_vec length=1 elts=[12 0]
14 tree_vec length=2 elts=[12 0]
15 exit_block_expr type=0
16 cExternSymbol name=@0
17 cCntrlStmt other_node=0
18 node_none other_node=0
19 cArcSon next=0
)");
    struct Case {
        node_ptr src;
        int uses;
    } cases[] = {
        {1, 0},  {2, 1},  {3, 0},  {4, 0},  {5, 0},  {6, 0},  {7, 0},  {8, 0},  {9, 0},  {10, 0},
        {11, 1}, {12, 0}, {13, 0}, {14, 1}, {15, 1}, {16, 0}, {17, 1}, {18, 0}, {19, 1},
    };
    for (const Case &c : cases) EXPECT_EQ(nodeUses(g, c.src, 0), c.uses) << "node " << c.src;
    EXPECT_EQ(nodeUses(g, 1, 2), 1);  // component_ref's op0 counts
    EXPECT_EQ(nodeUses(g, 99, 0), 0);
    gd_free_node(&g, 2);
    EXPECT_EQ(nodeUses(g, 2, 0), 0);  // stale fields of a free record never count
    deallocate_gd_graph(g);
}

TEST(UseTest, UsedByFindsTheLowestUserAndCanSkipMarked)
{
    gd_graph g = compile_text_graph(R"(
0 integer_cst
1 integer_cst type=0
3 integer_cst type=5 mark_flag1
5 integer_cst
6 integer_cst type=6
7 integer_cst type=5
)");
    EXPECT_EQ(UsedBy(g, 5, 0), 3);
    EXPECT_EQ(UsedBy(g, 5, 1), 7);
    EXPECT_EQ(UsedBy(g, 6, 1), 6);  // a node that refers to itself is its own user
    EXPECT_EQ(UsedBy(g, 1, 0), -1);
    deallocate_gd_graph(g);
}

TEST(UseTestDeathTest, AKindWithoutATestStopsTheSearch)
{
    gd_graph g = compile_text_graph("0 integer_cst\n1 imagpart_expr\n2 400\n");
    EXPECT_EXIT(UsedBy(g, 0, 0), testing::ExitedWithCode(1),
                "^node_uses: Unhandled node 1 type 125\\(imagpart_expr\\)\n$");
    EXPECT_EXIT(nodeUses(g, 2, 0), testing::ExitedWithCode(1),
                "^node_uses: Unhandled node 2 type 400\\(unknown_kind\\)\n$");
    deallocate_gd_graph(g);
}

TEST(UseTest, CompilerTypeKinds)
{
    int count = 0;
    for (int k = 0; k <= NUM_NODES; k++) count += is_gcc_type((gd_node_type)k);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(is_gcc_type(gUNION_TYPE), 1);
    EXPECT_EQ(is_gcc_type(gCHAR_TYPE), 0);
    EXPECT_EQ(is_gcc_type(gTEMPLATE_TYPE_PARM), 0);
}

}  // namespace
