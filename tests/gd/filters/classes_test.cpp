// classes_filter: the base vector left in an aggregate becomes a chain of
// inheritance arcs.

#include <gd/filters/filters.h>

#include "support/graph_fixture.h"

namespace {

TEST(Classes, BasesBecomeArcsInVectorOrderChainedInReverse)
{
    // Three base descriptors: the arcs are made first, second, third and
    // chained third, second, first. Private wins over the other access
    // flags; the unsigned flag marks a virtual base. An element that is no
    // descriptor is passed over.
    text_graph t(R"(0 cAggrType name="D" inheritance=1
1 tree_vec length=4 elts=[2 3 9 4]
2 tree_vec binfo_type=5
3 tree_vec unsigned_flag public_flag private_flag protected_flag binfo_type=6
4 tree_vec public_flag protected_flag binfo_type=7
5 cAggrType name="A"
6 cAggrType name="B"
7 cAggrType name="C"
8 identifier_node strg="D"
9 integer_cst
)");
    EXPECT_EQ(classes_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cAggrType name="D" inheritance=12
1 tree_vec length=4 elts=[2 3 9 4]
2 tree_vec binfo_type=5
3 tree_vec unsigned_flag public_flag private_flag protected_flag binfo_type=6
4 tree_vec public_flag protected_flag binfo_type=7
5 cAggrType name="A"
6 cAggrType name="B"
7 cAggrType name="C"
8 identifier_node strg="D"
9 integer_cst
10 cInheritance src=0 dest=5
11 cInheritance src=0 dest=6 next=10 visb=visb_pri virt
12 cInheritance src=0 dest=7 next=11 visb=visb_pro
)");
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
