// The break filter: break and continue statements become Ririra jumps.

#include "support/filter_on_text.h"

namespace {

// Converted in place: flags kept, the successor moved to other_node. The
// jump's `dest` lies where the statement kept `next`.
TEST(GdBreak, BreakAndContinueKeepTheirSuccessor)
{
    const filtered_text out = run_filter_on_text(gd_break_filter, R"(0 break_stmt constant_flag type=5 line=4 next=1
1 continue_stmt line=5 next=2
2 break_stmt line=6
3 expr_stmt line=7 next=0
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cBreak constant_flag other_node=1 line=4
1 cContinue other_node=2 line=5
2 cBreak line=6
3 expr_stmt line=7 next=0
)");
}

}  // namespace
