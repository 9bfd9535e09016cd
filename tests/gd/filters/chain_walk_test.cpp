// The checked chain walks and arc helpers that the filters share.

#include "chain_walk.h"

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

}  // namespace
