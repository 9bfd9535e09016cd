// gd_initializers_filter: constructor calls become initial values of their
// objects, aggregate initializers become initializer lists.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdInitializers, AttachesTheConstructorCallAndBuildsInitializerLists)
{
    // Scan 1: the declaration of p is followed by the statement that holds
    // its constructor call; the call becomes p's initial value and its
    // statement leaves the chain. Statement 12 declares no object. Scan 2:
    // the initializer {1, 2, 3} becomes a list of three son arcs in element
    // order; its kind word changes, its flag stays, its other fields clear.
    filtered_text out = run_filter_on_text(gd_initializers_filter, gd_initializers_fixture.before);
    // Not the node count: 1, like every filter that succeeds.
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_initializers_fixture.after);
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
