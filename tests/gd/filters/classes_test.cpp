// classes_filter: the base vector left in an aggregate becomes a chain of
// inheritance arcs.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(Classes, BasesBecomeArcsInVectorOrderChainedInReverse)
{
    // Three base descriptors: the arcs are made first, second, third and
    // chained third, second, first. Private wins over the other access
    // flags; the unsigned flag marks a virtual base. An element that is no
    // descriptor is passed over.
    text_graph t(classes_fixture.before);
    EXPECT_EQ(classes_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), classes_fixture.after);
}

TEST(Classes, AggregatesWithoutABaseVectorKeepTheirField)
{
    // No vector, a vector of no length, and a field that holds some other
    // node: only the empty vector is consumed.
    text_graph t(R"(0 cAggrType name="A"
1 cAggrType name="B" inheritance=2
2 tree_vec length=-3 elts=[4]
3 cAggrType name="C" inheritance=4
4 integer_cst
)");
    EXPECT_EQ(classes_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cAggrType name="A"
1 cAggrType name="B"
2 tree_vec length=-3 elts=[4]
3 cAggrType name="C" inheritance=4
4 integer_cst
)");
}

}  // namespace
