// The return filter: return statements become Ririra returns.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Converted in place, flags kept; only a valid value gets an arc.
TEST(GdReturn, ValueArcOnlyForAValidValue)
{
    const filtered_text out = run_filter_on_text(gd_return_filter, gd_return_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_return_fixture.after);
}

}  // namespace
