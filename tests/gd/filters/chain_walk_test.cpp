// The checked chain walks and arc helpers that the filters share.

#include "chain_walk.h"

#include "support/graph_fixture.h"

namespace {

TEST(LastArc, FollowsNextWhileItLeadsToAValidArc)
{
    text_graph t(R"(0 cArcSon next=1
1 cArcSon next=2
2 cArcSon next=9
3 cArcSon next=4
4 cBuiltInType
5 cArcSon next=6
6 cArcSon next=5
)");
    struct {
        node_ptr first, last;
    } cases[] = {
        {0, 2},   // ends at an index out of range
        {3, 3},   // the next node is no arc
        {4, -1},  // the first node is no arc
        {-1, -1},
        {5, 6},   // a cycle: cut after as many steps as there are nodes
    };
    for (auto c : cases)
        EXPECT_EQ(last_arc(&t.g, c.first), c.last) << c.first;
}

TEST(NextDeclaration, IsTheChainLinkOfDeclarationsOnly)
{
    text_graph t(R"(0 var_decl chan=1
1 namespace_decl chan=2
2 tree_list chan=0
)");
    EXPECT_EQ(next_declaration(&t.g, 0), 1);
    EXPECT_EQ(next_declaration(&t.g, 1), 2);
    EXPECT_EQ(next_declaration(&t.g, 2), -1);
    EXPECT_EQ(next_declaration(&t.g, 3), -1);
}

}  // namespace
