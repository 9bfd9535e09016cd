// The statements bypass: links to expression, declaration and label
// statements lead to what the statements wrap.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdStatements, LinksLeadPastTheWrappers)
{
    const filtered_text out = run_filter_on_text(gd_statements_filter, gd_statements_fixture.before);
    EXPECT_EQ(out.result, 1);
    // The statement reached from two arcs is bypassed in both and gives its
    // line to the Ririra node it wraps; a compiler declaration or an arc keeps
    // its own. A wrapper of a wrapper is removed one level from the arc, while
    // the outer wrapper's own link is bypassed when the walk reaches it.
    // Wrappers of nothing valid stay, and other_node is left alone.
    EXPECT_EQ(out.graph, gd_statements_fixture.after);
}

}  // namespace
