// The switch filter: switch statements become Ririra switches.

#include "support/filter_on_text.h"

namespace {

// The body arc comes first, even without a body; a listed condition is
// unwrapped; both arcs carry ordinal 1.
TEST(GdSwitch, BodyArcFirstThenCondition)
{
    const filtered_text out = run_filter_on_text(gd_switch_filter, R"(0 switch_stmt line=3 cond=2 body=3 next=1
1 switch_stmt line=8
2 tree_list value=4
3 compound_stmt line=3
4 integer_cst low=1
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cSwitch other_node=1 line=3 cond=6 body=5
1 cSwitch line=8 body=7
2 tree_list value=4
3 compound_stmt line=3
4 integer_cst low=1
5 cArcSon ordinal=1 src=0 dest=3
6 cArcCond ordinal=1 src=0 dest=4
7 cArcSon ordinal=1 src=1
)");
}

}  // namespace
