// The set of nodes that one chain walk has met.
#include <gtest/gtest.h>

#include "gd/chain_walk.h"

namespace {

// A walk meets each node once, however many it has met: the first few are
// kept in place, the rest in a set that grows.
TEST(ChainWalk, MeetsEachNodeOnceShortOrLong)
{
    for (int length : {1, 8, 9, 1000}) {
        chain_walk walk;
        for (node_ptr n = 0; n < length; n++)
            EXPECT_TRUE(walk.first_meeting(n * 7919)) << length << " nodes, node " << n;
        for (node_ptr n = 0; n < length; n++)
            EXPECT_FALSE(walk.first_meeting(n * 7919)) << length << " nodes, node " << n;
        EXPECT_TRUE(walk.first_meeting(-5)) << length;
    }
}

}  // namespace
