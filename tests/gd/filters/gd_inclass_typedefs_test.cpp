// gd_inclass_typedefs_filter: private type variants for typedefs.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdInclassTypedefs, CopiesTheTypeOnlyForTypedefsOfAnotherNamesMainVariant)
{
    // 0: typedef of int, which declaration 3 names: copied.
    // 3: the declaration that names int itself: left alone.
    // 5: typedef of its own enclosing class 6: left alone.
    // 8: typedef of a type that is already a variant: left alone.
    // 10: typedef of a char type, not a type kind of the classifier: left alone.
    // 12: typedef of a real type named by 14: copied, after the first copy.
    text_graph t(gd_inclass_typedefs_fixture.before);
    EXPECT_EQ(gd_inclass_typedefs_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_inclass_typedefs_fixture.after);
}

}  // namespace
