// gd_fatal and its handler: the store's designed ends, and a host that goes
// on after them with a clean program-wide state.
#include <gtest/gtest.h>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

struct designed_exit {
    int status;
};

[[noreturn]] void throw_designed_exit(int status)
{
    throw designed_exit{status};
}

// Installs the throwing handler for one test and restores the exit after it.
struct throwing_handler {
    throwing_handler() { gd_set_fatal_handler(throw_designed_exit); }
    ~throwing_handler() { gd_set_fatal_handler(nullptr); }
};

void next_of_every_node(gd_graph *g, node_ptr, node_ptr *field, int)
{
    nextNode(g, *field);
}

TEST(GdFatal, ByDefaultEndsTheProgramWithTheStatus)
{
    EXPECT_EXIT(gd_fatal(1), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(gd_fatal(-1), testing::ExitedWithCode(255), "");
}

TEST(GdFatal, AHandlerThatReturnsIsFollowedByTheExit)
{
    EXPECT_EXIT(
        {
            gd_set_fatal_handler([](int) {});
            gd_fatal(3);
        },
        testing::ExitedWithCode(3), "");
}

TEST(GdFatal, AThrowingHandlerLeavesTheQueueEmptyAndAllocationAllowed)
{
    gd_graph g = compile_text_graph(R"(
0 cArcSon dest=1
1 cSystem
)");
    throwing_handler handler;
    queue_add(0, 0);
    queue_add(1, 0);
    // The unknown kind is met inside a walk, which never reaches its end.
    try {
        walk_ptrs(&g, next_of_every_node);
        FAIL() << "the walk went on past node 1";
    } catch (const designed_exit &e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_TRUE(queue_empty());
    node_ptr n = newNode(&g);
    EXPECT_EQ(kind_of(&g, n), NODE_NONE);
    // Walks count from zero again: after one walk, allocation is allowed.
    walk_structure(&g, next_of_every_node);
    EXPECT_EQ(kind_of(&g, newNode(&g)), NODE_NONE);
    deallocate_gd_graph(g);
}

}  // namespace
