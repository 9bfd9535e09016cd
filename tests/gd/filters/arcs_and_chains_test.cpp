// The checked chain walks and arc helpers that the filters share.

#include "arcs_and_chains.h"

#include "support/graph_fixture.h"

namespace {

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

struct last_arc_case {
    const char *what;
    const char *graph;
    node_ptr first;
    node_ptr last;
};

const last_arc_case last_arc_cases[] = {
    {"arcs of any kind, to -1", "0 cArcSon next=1\n1 cArcDefLoc next=2\n2 cArcSon\n", 0, 2},
    {"a node that is no arc ends the chain", "0 cArcSon next=1\n1 cArcSon next=2\n2 tree_list\n", 0, 1},
    {"an index out of range ends the chain", "0 cArcSon next=1\n1 cArcSon next=7\n", 0, 1},
    {"a loop ends at the arc that leads back", "0 cArcSon next=1\n1 cArcSon next=2\n2 cArcSon next=1\n", 0,
     2},
    {"a chain of one arc that leads to itself", "0 cArcSon next=0\n", 0, 0},
    {"an empty chain", "0 cArcSon\n", -1, -1},
    {"a chain that begins with no arc", "0 tree_list\n", 0, -1},
};

TEST(LastArc, FollowsNextToTheEndOfTheChain)
{
    for (const last_arc_case &c : last_arc_cases) {
        text_graph t(c.graph);
        EXPECT_EQ(last_arc(&t.g, c.first), c.last) << c.what;
    }
}

TEST(AppendToContents, StartsAnEmptyChainAndLinksAfterTheLast)
{
    text_graph t("0 cScopeGlb\n1 cArcSon src=0 dest=0\n2 cArcSon src=0 dest=0\n");
    node_ptr last = -1;
    append_to_contents(&t.g, 0, last, 1);
    append_to_contents(&t.g, 0, last, 2);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(t.dump(), "0 cScopeGlb contents=1\n1 cArcSon src=0 dest=0 next=2\n2 cArcSon src=0 dest=0\n");
}

// The allowance lets a filter grow the graph to sixteen times its records
// plus 1024, then stops every walk and says so once.
TEST(GrowthAllowance, StopsAtTheLimitAndSaysSoOnce)
{
    text_graph t("0 cScopeGlb\n1 cScopeGlb\n");
    growth_allowance allowance(&t.g, "gd_test");
    testing::internal::CaptureStderr();
    while (allowance.allows(&t.g)) newNode(&t.g);
    EXPECT_FALSE(allowance.allows(&t.g));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gd_test: the graph has grown to 1056 nodes; the remaining chain walks stop\n");
    EXPECT_EQ(t.g.curNodePos, 16u * 2 + 1024);
}

}  // namespace
