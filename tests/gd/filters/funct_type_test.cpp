// funct_type_filter: function and method types become function types with
// one formal object per parameter.

#include <gd/filters/filters.h>

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
    text_graph t(R"(0 void_type
1 integer_type
2 function_type public_flag private_flag protected_flag retn=1 prms=3
3 tree_list value=1 chan=4
4 tree_list value=1 chan=5
5 tree_list value=0
6 function_type retn=1 prms=3
7 function_type public_flag retn=0 prms=8
8 tree_list value=1
9 function_type retn=1 prms=5
10 method_type protected_flag name=13 clas=11 retn=0 prms=12
11 record_type
12 tree_list value=14 chan=4
13 type_decl name=15 srcf="m.cc" srcl=9
14 pointer_type
15 identifier_node strg="fn_t"
)");
    EXPECT_EQ(funct_type_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 void_type
1 integer_type
2 cFctType visb=visb_pri instance=16 formalParams=3
3 cArcSon ordinal=-1 src=2 dest=18 next=4
4 cArcSon ordinal=-1 src=2 dest=20
5 tree_list value=0
6 cFctType instance=21 formalParams=24
7 cFctType visb=visb_pub instance=28 formalParams=8
8 cArcSon ordinal=-1 src=7 dest=30
9 cFctType instance=31
10 cFctType file="m.cc" line=9 name="fn_t" visb=visb_pro instance=32 defLoc=11 formalParams=12
11 record_type
12 cArcSon ordinal=-1 src=10 dest=34 next=37
13 type_decl name=15 srcf="m.cc" srcl=9
14 pointer_type
15 identifier_node strg="fn_t"
16 cInstance src=2 dest=1
17 cInstance src=18 dest=1
18 cFormalObject visb=visb_pri instance=17
19 cInstance src=20 dest=1
20 cFormalObject visb=visb_pri instance=19
21 cInstance src=6 dest=1
22 cInstance src=23 dest=1
23 cFormalObject visb=visb_pri instance=22
24 cArcSon ordinal=-1 src=6 dest=23 next=27
25 cInstance src=26 dest=1
26 cFormalObject visb=visb_pri instance=25
27 cArcSon ordinal=-1 src=6 dest=26
28 cInstance src=7 dest=0
29 cInstance src=30 dest=1
30 cFormalObject visb=visb_pub instance=29
31 cInstance src=9 dest=1
32 cInstance src=10 dest=0
33 cInstance src=34 dest=14
34 cFormalObject visb=visb_pro instance=33
35 cInstance src=36 dest=1
36 cFormalObject visb=visb_pri instance=35
37 cArcSon ordinal=-1 src=10 dest=36
)");
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
