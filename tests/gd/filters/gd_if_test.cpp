// The if filter: if statements become Ririra ifs.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdIf, ConditionThenAndElseArcsInThisOrder)
{
    const filtered_text out = run_filter_on_text(gd_if_filter, gd_if_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_if_fixture.after);
}

}  // namespace
