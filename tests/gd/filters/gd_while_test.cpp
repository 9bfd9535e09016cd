// The while filter: while and do-while loops become Ririra loops.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Every field of the loop and its markers holds a different value, so a field
// written before it is read shows. The loop's `cond` and `block` lie where
// the statement kept `body` and `cond`.
TEST(GdWhile, WhileLoopTakesEveryStatementBetweenTheMarkers)
{
    const filtered_text out = run_filter_on_text(gd_while_filter, gd_while_fixture.before);
    EXPECT_EQ(out.result, 1);
    // Converted in place, flags kept; the markers stay linked, the statements
    // are detached.
    EXPECT_EQ(out.graph, gd_while_fixture.after);
}

// A do-while loop becomes the schema's do-while kind and keeps a listed
// condition as it stands. A converted statement in the body is detached
// through its other_node.
TEST(GdWhile, DoWhileLoop)
{
    const filtered_text out = run_filter_on_text(gd_while_filter, R"(0 do_stmt line=3 body=1 cond=3 next=4
1 cBreak other_node=5 line=4
2 integer_cst low=1
3 tree_list value=2
4 return_stmt line=5
5 expr_stmt line=4 texpr=2
)");
    EXPECT_EQ(out.graph, R"(0 cDoWhileLoop other_node=4 line=3 cond=6 block=7
1 cBreak line=4
2 integer_cst low=1
3 tree_list value=2
4 return_stmt line=5
5 expr_stmt line=4 texpr=2
6 cArcCond src=0 dest=3
7 cArcSon src=0 dest=1 next=8
8 cArcSon src=0 dest=5
)");
}

// Markers that lead round in a loop: the walk ends after as many steps as
// the graph has nodes, with no statement taken.
TEST(GdWhile, LoopOfMarkersEnds)
{
    const filtered_text out = run_filter_on_text(gd_while_filter, R"(0 while_stmt line=3 body=1 cond=-1
1 scope_stmt next=2
2 ctor_stmt next=1
)");
    EXPECT_EQ(out.graph, R"(0 cWhileDoLoop line=3 cond=3
1 scope_stmt next=2
2 ctor_stmt next=1
3 cArcCond src=0
)");
}

}  // namespace
