// The block filter: compound statements become Ririra blocks.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Block 0's fields and its markers all hold different values, so a field
// written before it is read shows: the block's `name` and `visb` lie where
// the statement kept `body` and `next`. Its body mixes compiler statements
// and a converted return, which is detached through other_node. Block 5
// holds markers in a loop, block 8 a marker only.
TEST(GdBlock, BlocksTakeTheirStatementsAndSkipMarkers)
{
    const filtered_text out = run_filter_on_text(gd_block_filter, gd_block_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_block_fixture.after);
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

namespace {

// A damaged chain links to record 3, free when the filter starts: the arc
// for statement 1 is put there, and statement 2's link then leads to it. The
// walk ends at the arc it made instead of wrapping its own arcs in new arcs
// for ever; every statement gets its one arc.
TEST(GdBlock, ChainEndsAtAnArcItMadeInARecordThatWasFree)
{
    const filtered_text out = run_filter_on_text(gd_block_filter, R"(0 compound_stmt line=3 body=1
1 expr_stmt line=4 next=2
2 expr_stmt line=5 next=3
nodes 4
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cBlock line=3 contents=3
1 expr_stmt line=4
2 expr_stmt line=5
3 cArcSon src=0 dest=1 next=4
4 cArcSon src=0 dest=2
)");
}

}  // namespace
