// The run state's one reset: whatever a run left behind (entries queued,
// walks begun and never ended), the next run starts as a program does.
#include <gtest/gtest.h>

#include "gd/run_state.h"
#include "text_graph.h"

namespace {

TEST(RunState, ResetEmptiesTheQueueEndsEveryWalkAndAllowsAllocation)
{
    gd_graph g = compile_text_graph("0 integer_cst\n");
    for (node_ptr n = 0; n < 3000; n++) queue_add(n, 0);  // past the first ring
    gd_walk_begin();
    gd_walk_begin();
    ASSERT_TRUE(gd_run.allocation_stopped);

    gd_run_reset();
    EXPECT_TRUE(queue_empty());
    EXPECT_EQ(kind_of(&g, newNode(&g)), NODE_NONE);
    // The walks count from zero: one walk's end allows allocation again.
    gd_walk_begin();
    gd_walk_end();
    EXPECT_EQ(kind_of(&g, newNode(&g)), NODE_NONE);
    // The queue works on.
    queue_add(7, 2);
    node_ptr n;
    int by;
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(by, 2);
    EXPECT_TRUE(queue_empty());
    deallocate_gd_graph(g);
}

}  // namespace
