// funct_type_filter: function and method types become function types with
// one formal object per parameter.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

// A parameter cell is rewritten in place, so its purpose word stays and
// reads as the arc's ordinal (-1 here) until the ordinals are numbered.
TEST(FunctType, ParameterListsFixedVariadicVoidOnlyAndShared)
{
    // 2: int(int, int), access private before public before protected.
    // 6: the same list, shared whole: copies of every arc, formal and formal
    //    instance arc. 7: int(int, ...), no void cell. 9: int(void).
    // 10: a method type named by a typedef, whose own first cell leads into
    //    the tail of 2's list: the copy of the shared arc follows its own.
    text_graph t(funct_type_fixture.before);
    EXPECT_EQ(funct_type_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), funct_type_fixture.after);
}

TEST(FunctType, ABuiltInVoidEndsTheList)
{
    text_graph t(R"(0 cBuiltInType name="void"
1 cBuiltInType name="int"
2 function_type retn=1 prms=3
3 tree_list value=1 chan=4
4 tree_list value=0
)");
    EXPECT_EQ(funct_type_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cBuiltInType name="void"
1 cBuiltInType name="int"
2 cFctType instance=5 formalParams=3
3 cArcSon ordinal=-1 src=2 dest=7
4 tree_list value=0
5 cInstance src=2 dest=1
6 cInstance src=7 dest=1
7 cFormalObject instance=6
)");
}

TEST(FunctType, ListsThatLeadBackIntoThemselvesEnd)
{
    // 1: a cell whose chan is itself. 3: a converted list whose arc leads
    // back to itself, copied once. 7: a shared arc that leads to no formal
    // cannot be copied and ends the list.
    text_graph t(R"(0 integer_type
1 function_type retn=0 prms=2
2 tree_list value=0 chan=2
3 function_type retn=0 prms=4
4 cArcSon src=3 dest=5 next=4
5 cFormalObject instance=6
6 cInstance src=5 dest=0
7 function_type retn=0 prms=8
8 cArcSon dest=0
)");
    EXPECT_EQ(funct_type_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 integer_type
1 cFctType instance=9 formalParams=2
2 cArcSon ordinal=-1 src=1 dest=11
3 cFctType instance=12 formalParams=15
4 cArcSon src=3 dest=5 next=4
5 cFormalObject instance=6
6 cInstance src=5 dest=0
7 cFctType instance=16
8 cArcSon dest=0
9 cInstance src=1 dest=0
10 cInstance src=11 dest=0
11 cFormalObject instance=10
12 cInstance src=3 dest=0
13 cInstance src=14 dest=0
14 cFormalObject instance=13
15 cArcSon src=3 dest=14
16 cInstance src=7 dest=0
)");
}

// A shared arc links to record 8, past the records in use when the filter
// starts: the copy of that arc is put there. The walk ends at the copy it
// made instead of copying its own copies until the graph reaches its limit.
TEST(FunctType, ListEndsAtACopyItMadeInARecordThatWasFree)
{
    text_graph t(R"(0 integer_type
1 function_type retn=0 prms=2
2 cArcSon src=1 dest=3 next=8
3 cFormalObject instance=4
4 cInstance src=3 dest=0
)");
    testing::internal::CaptureStderr();
    EXPECT_EQ(funct_type_filter(&t.g), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(t.dump(), R"(0 integer_type
1 cFctType instance=5 formalParams=8
2 cArcSon src=1 dest=3 next=8
3 cFormalObject instance=4
4 cInstance src=3 dest=0
5 cInstance src=1 dest=0
6 cInstance src=7 dest=0
7 cFormalObject instance=6
8 cArcSon src=1 dest=7
)");
}

TEST(FunctType, UnexpectedCellStopsTheFilter)
{
    // The type stays a compiler node; what was made for its earlier cells
    // stays in the graph.
    text_graph t(R"(0 integer_type
1 function_type retn=0 prms=2
2 tree_list value=0 chan=3
3 integer_cst
)");
    testing::internal::CaptureStderr();
    EXPECT_EQ(funct_type_filter(&t.g), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "funct_type: node 1 has formal parameter 3 with unexpected tree code 26\n");
    EXPECT_EQ(t.dump(), R"(0 integer_type
1 function_type retn=0 prms=2
2 cArcSon ordinal=-1 src=1 dest=6 next=3
3 integer_cst
4 cInstance src=1 dest=0
5 cInstance src=6 dest=0
6 cFormalObject instance=5
)");
}

}  // namespace
