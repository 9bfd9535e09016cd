// gd_initializers_filter: constructor calls become initial values of their
// objects, aggregate initializers become initializer lists.

#include <gd/filters/filters.h>

#include "support/filter_on_text.h"

namespace {

TEST(GdInitializers, AttachesTheConstructorCallAndBuildsInitializerLists)
{
    // Scan 1: the declaration of p is followed by the statement that holds
    // its constructor call; the call becomes p's initial value and its
    // statement leaves the chain. Statement 12 declares no object. Scan 2:
    // the initializer {1, 2, 3} becomes a list of three son arcs in element
    // order; its kind word changes, its flag stays, its other fields clear.
    filtered_text out = run_filter_on_text(gd_initializers_filter, R"(0 cObject name="p"
1 decl_stmt line=5 decl=0 next=2
2 expr_stmt line=5 texpr=3 next=4
3 compound_stmt line=5
4 return_stmt line=6
5 constructor constant_flag other_node=4 type=0 elts=6
6 tree_list value=9 chan=7
7 tree_list value=10 chan=8
8 tree_list value=11
9 cLiteral value="1"
10 cLiteral value="2"
11 cLiteral value="3"
12 decl_stmt decl=9 next=2
)");
    // Not the node count: 1, like every filter that succeeds.
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cObject name="p" initial_val=13
1 decl_stmt line=5 decl=0 next=4
2 expr_stmt line=5 texpr=3 next=4
3 compound_stmt line=5
4 return_stmt line=6
5 cInitList constant_flag init=14
6 tree_list value=9 chan=7
7 tree_list value=10 chan=8
8 tree_list value=11
9 cLiteral value="1"
10 cLiteral value="2"
11 cLiteral value="3"
12 decl_stmt decl=9 next=2
13 cArcInitVal src=0 dest=3
14 cArcSon src=5 dest=9 next=15
15 cArcSon src=5 dest=10 next=16
16 cArcSon src=5 dest=11
)");
}

TEST(GdInitializers, LeavesShapesItDoesNotKnowAndEndsALoopingElementChain)
{
    // The statement after the declaration holds no compound statement; the
    // empty initializer gets no arc; the element chain that loops back ends
    // at the first cell met again.
    filtered_text out = run_filter_on_text(gd_initializers_filter, R"(0 cObject name="p"
1 decl_stmt decl=0 next=2
2 expr_stmt texpr=0
3 constructor
4 constructor elts=5
5 tree_list value=0 chan=5
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cObject name="p"
1 decl_stmt decl=0 next=2
2 expr_stmt texpr=0
3 cInitList
4 cInitList init=6
5 tree_list value=0 chan=5
6 cArcSon src=4 dest=0
)");
}

}  // namespace
