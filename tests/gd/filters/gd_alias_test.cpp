// gd_alias_filter: named variants of compiler types become alias types.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdAlias, NamedVariantsBecomeAliasesOfTheirMainVariant)
{
    // A typedef's variant takes name, place and access from its declaration
    // (public before private before protected); a variant named directly by
    // an identifier has no place and no access. The conversion keeps the
    // flags of the common head. An unnamed variant, a main variant and a
    // kind that is no compiler type of the schema stay as they are.
    text_graph t(gd_alias_fixture.before);
    EXPECT_EQ(gd_alias_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_alias_fixture.after);
}

}  // namespace
