// The sweep that the reachability passes share.

#include "reachability.h"

#include "support/graph_fixture.h"

namespace {

TEST(FreeUnreached, ClearsEveryLinkToAFreedRecordAndNoOther)
{
    // Kept: 0, 1, 3. The function's `inst`, which no walk visits, and the
    // element in use of the tree vector lose their freed targets; the slot
    // beyond the vector's length and the link to the record that was free
    // before are left as they are. The marks that earlier filters left are
    // cleared on kept and freed records alike.
    text_graph t(R"(root 2
0 cFunction mark_flag1 block=1 inst=2 link=5
1 tree_vec mark_flag2 length=1 elts=[2 2]
2 cBlock mark_flag1 mark_flag2
3 var_decl chan=4 type=0
4 integer_type
nodes 6
)");
    free_unreached(&t.g, {true, true, false, true, false, false});
    EXPECT_EQ(t.dump(), R"(nodes 6
0 cFunction block=1 link=5
1 tree_vec length=1 elts=[-1 2]
3 var_decl type=0
)");
    EXPECT_EQ(t.g.firstNode, -1);
    EXPECT_EQ(t.free_list_head(4), (std::vector<node_ptr>{4, 2, 5}));
}

}  // namespace
