// The type-declaration bypass: links to type declarations lead to the types.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdTypedecls, LinksLeadPastTypeDeclarations)
{
    const filtered_text out = run_filter_on_text(gd_typedecls_filter, gd_typedecls_fixture.before);
    EXPECT_EQ(out.result, 1);
    // Both ends of an arc are bypassed; declarations of no valid type stay,
    // other_node is left alone, and a declaration of a declaration is
    // removed one level from the arc (its own link is bypassed in turn).
    EXPECT_EQ(out.graph, gd_typedecls_fixture.after);
}

}  // namespace
