// The break filter: break and continue statements become Ririra jumps.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Converted in place: flags kept, the successor moved to other_node. The
// jump's `dest` lies where the statement kept `next`.
TEST(GdBreak, BreakAndContinueKeepTheirSuccessor)
{
    const filtered_text out = run_filter_on_text(gd_break_filter, gd_break_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_break_fixture.after);
}

}  // namespace
