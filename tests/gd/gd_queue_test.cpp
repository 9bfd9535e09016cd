// The work queue.
#include <gtest/gtest.h>

#include "gd/graph.h"

namespace {

TEST(Queue, FirstInFirstOut)
{
    EXPECT_EQ(queue_empty(), 1);
    queue_add(-1, 4);
    EXPECT_EQ(queue_empty(), 1);
    queue_add(5, 1);
    queue_add(7, 0);
    queue_add(5, 2);  // the same node may be queued twice
    node_ptr n;
    int by;
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(by, 1);
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(by, 0);
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(by, 2);
    EXPECT_EQ(queue_empty(), 1);
    queue_add(3, 9);
    EXPECT_EQ(queue_empty(), 0);
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 3);
}

TEST(Queue, TakingFromAnEmptyQueueGivesNone)
{
    node_ptr n = 12;
    int by = 34;
    EXPECT_EQ(queue_first(&n, &by), -1);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(by, 34);
    queue_add(8, 1);
    EXPECT_EQ(queue_first(&n, &by), 1);
    EXPECT_EQ(n, 8);
}

}  // namespace
