// The goto filter: goto statements become Ririra gotos with an arc to their
// label.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdGoto, GotoGetsAnArcToItsLabel)
{
    // The goto is built anew: its flags are cleared.
    const filtered_text out = run_filter_on_text(gd_goto_filter, gd_goto_fixture.before);
    EXPECT_NE(out.result, 0);
    EXPECT_EQ(out.graph, gd_goto_fixture.after);
}

}  // namespace
