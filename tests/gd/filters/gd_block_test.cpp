// The block filter: compound statements become Ririra blocks.

#include "support/filter_on_text.h"

namespace {

// Block 0's fields and its markers all hold different values, so a field
// written before it is read shows: the block's `name` and `visb` lie where
// the statement kept `body` and `next`. Its body mixes compiler statements
// and a converted return, which is detached through other_node. Block 5
// holds markers in a loop, block 8 a marker only.
TEST(GdBlock, BlocksTakeTheirStatementsAndSkipMarkers)
{
    const filtered_text out = run_filter_on_text(gd_block_filter, R"(0 compound_stmt private_flag line=3 body=1 next=5
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
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cBlock private_flag other_node=5 line=3 contents=13
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
)");
}

// A chain that reaches a node that cannot lead on ends there.
TEST(GdBlock, ChainEndsAtANodeWithoutASuccessor)
{
    const filtered_text out = run_filter_on_text(gd_block_filter, R"(0 compound_stmt line=3 body=1
1 expr_stmt line=4 texpr=3 next=2
2 bit_not_expr op0=3
3 integer_cst low=1
)");
    EXPECT_EQ(out.graph, R"(0 cBlock line=3 contents=4
1 expr_stmt line=4 texpr=3
2 bit_not_expr op0=3
3 integer_cst low=1
4 cArcSon src=0 dest=1
)");
}

}  // namespace
