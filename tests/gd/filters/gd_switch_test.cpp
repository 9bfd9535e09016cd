// The switch filter: switch statements become Ririra switches.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// The body arc comes first, even without a body; a listed condition is
// unwrapped; both arcs carry ordinal 1.
TEST(GdSwitch, BodyArcFirstThenCondition)
{
    const filtered_text out = run_filter_on_text(gd_switch_filter, gd_switch_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_switch_fixture.after);
}

}  // namespace
