// The regular bypass: links to expression statements lead to their
// expressions.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// No line is copied; a statement without a valid expression stays, and so do
// declaration statements and the link in other_node.
TEST(GdRegular, LinksLeadPastExpressionStatements)
{
    const filtered_text out = run_filter_on_text(gd_regular_filter, gd_regular_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_regular_fixture.after);
}

}  // namespace
