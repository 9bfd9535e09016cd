// Node allocation: the free list, growth, scaling, the allocation stop and
// the clearing of new records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

// A graph as the reader leaves it: n live records, buffers exactly full.
gd_graph full_graph(int n)
{
    std::string text;
    for (int i = 0; i < n; i++) text += std::to_string(i) + " integer_cst\n";
    return compile_text_graph(text.c_str());
}

// ---------------------------------------------------------------------------
// Free list, growth, scaling

TEST(Allocation, FirstNewNodeOfAFullGraphGrowsBy2048)
{
    gd_graph g = full_graph(10);
    EXPECT_EQ(g.firstFreeNode, -1);
    EXPECT_EQ(newNode(&g), 10);
    EXPECT_EQ(g.nodeBuffLen, 10u + 2048u);
    EXPECT_EQ(g.curNodePos, 11u);
    EXPECT_EQ(g.nodeBuffer[10].common.type, NODE_NONE);
    EXPECT_EQ(g.firstFreeNode, 11);
    EXPECT_EQ(newNode(&g), 11);
    deallocate_gd_graph(g);
}

TEST(Allocation, LastFreedIsFirstReusedUntilTheListIsRebuilt)
{
    gd_graph g = full_graph(12);
    gd_free_node(&g, 5);
    gd_free_node(&g, 9);
    EXPECT_EQ(g.nodeBuffer[5].common.type, NODE_DELTED);
    EXPECT_EQ(g.curNodePos, 12u);
    EXPECT_EQ(newNode(&g), 9);
    EXPECT_EQ(newNode(&g), 5);

    gd_free_node(&g, 5);
    gd_free_node(&g, 9);
    ASSERT_EQ(gd_grow_nodes(&g, 3), 1);
    EXPECT_EQ(g.nodeBuffLen, 15u);
    for (node_ptr expected : {5, 9, 12, 13, 14}) EXPECT_EQ(newNode(&g), expected);
    EXPECT_EQ(g.curNodePos, 15u);
    deallocate_gd_graph(g);
}

TEST(Allocation, FreeIgnoresBadIndicesAndDoubleFrees)
{
    gd_graph g = full_graph(4);
    gd_free_node(&g, 2);
    gd_free_node(&g, 2);
    gd_free_node(&g, -1);
    gd_free_node(&g, 4);
    gd_free_node(&g, 1 << 30);
    EXPECT_EQ(g.firstFreeNode, 2);
    EXPECT_EQ(g.nodeBuffer[2].common.other_node, -1);
    EXPECT_EQ(newNode(&g), 2);
    EXPECT_EQ(newNode(&g), 4);  // not 2 again
    deallocate_gd_graph(g);
}

TEST(Allocation, ScaleEnlargesByTheMultipliersPlusOne)
{
    gd_graph g = allocate_gd_graph(1000, 11, 100);
    ASSERT_EQ(gd_add_string(&g, "kept"), 0);
    gd_free_node(&g, newNode(&g));
    EXPECT_EQ(gd_graph_scale(&g, 1.5, 1.0, 1.1), 1);
    EXPECT_EQ(g.stringBuffLen, 1501u);
    EXPECT_EQ(g.nodeBuffLen, 111u);
    EXPECT_EQ(g.hashTableLen, 11u);
    EXPECT_EQ(gd_lookup_string(&g, "kept"), 0);
    // Every record free, in ascending order.
    std::vector<node_ptr> list;
    for (node_ptr i = g.firstFreeNode; i != -1 && list.size() < 200; i = gd_next_free(&g, i))
        list.push_back(i);
    ASSERT_EQ(list.size(), 111u);
    for (node_ptr i = 0; i < 111; i++) EXPECT_EQ(list[i], i);
    deallocate_gd_graph(g);
}

// The spare capacity is never written before newNode hands a record out; the
// record then holds what it would had the free list been written into it:
// zeros, its kind and the link to the next free record.
TEST(Allocation, RecordsOfTheSpareCapacityComeOutAsIfWrittenFree)
{
    gd_graph g = full_graph(12);
    gd_free_node(&g, 5);
    gd_free_node(&g, 9);
    ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.25), 1);
    EXPECT_EQ(g.nodeBuffLen, 16u);
    EXPECT_EQ(g.curNodePos, 12u);
    EXPECT_EQ(g.nodeBuffer[9].common.other_node, 12);  // the rebuilt list runs on into the spare records
    gd_free_node(&g, 14);                              // free already: nothing changes
    EXPECT_EQ(g.firstFreeNode, 5);
    for (node_ptr expected : {5, 9, 12, 13, 14, 15}) {
        node_ptr i = newNode(&g);
        ASSERT_EQ(i, expected);
        if (i < 12) continue;
        gd_graph_node written;
        memset(&written, 0, sizeof written);
        written.common.type = NODE_NONE;
        written.common.other_node = i < 15 ? i + 1 : -1;
        EXPECT_EQ(memcmp(&g.nodeBuffer[i], &written, sizeof written), 0) << i;
        EXPECT_EQ(g.curNodePos, (uint32_t)i + 1);
    }
    EXPECT_EQ(g.firstFreeNode, -1);
    EXPECT_EQ(newNode(&g), 16);
    EXPECT_EQ(g.nodeBuffLen, 16u + 2048u);
    deallocate_gd_graph(g);
}

TEST(Allocation, GrowingByNothingKeepsAValidList)
{
    struct Case {
        const char *name;
        std::vector<node_ptr> freed;
        node_ptr head;
    } cases[] = {
        {"empty list", {}, -1},
        {"freed records come back in ascending order", {6, 2}, 2},
    };
    for (const Case &c : cases) {
        gd_graph g = full_graph(8);
        for (node_ptr n : c.freed) gd_free_node(&g, n);
        ASSERT_EQ(gd_grow_nodes(&g, 0), 1) << c.name;
        EXPECT_EQ(g.nodeBuffLen, 8u) << c.name;
        EXPECT_EQ(g.firstFreeNode, c.head) << c.name;
        std::vector<node_ptr> handed;
        for (size_t k = 0; k <= c.freed.size(); k++) handed.push_back(newNode(&g));
        std::vector<node_ptr> expected = c.freed;
        std::sort(expected.begin(), expected.end());
        expected.push_back(8);  // then the buffer grows
        EXPECT_EQ(handed, expected) << c.name;
        deallocate_gd_graph(g);
    }
}

// A change of capacity relinks the list from what is free, not from the links
// the free records hold: a filter may have overwritten every other_node.
TEST(Allocation, RescaleLinksEveryFreeRecordWhateverTheListHeld)
{
    gd_graph g = full_graph(12);
    for (node_ptr n : {7, 2, 10, 4}) gd_free_node(&g, n);
    EXPECT_EQ(newNode(&g), 4);  // taken again: no longer free
    ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.2), 1);
    EXPECT_EQ(g.nodeBuffLen, 15u);
    gd_free_node(&g, 5);
    for (uint32_t i = 0; i < g.curNodePos; i++) g.nodeBuffer[i].common.other_node = -1;
    // A record given a kind by hand is not free, whatever the store last saw,
    // and the relink leaves its record alone.
    g.nodeBuffer[10].common.type = gINTEGER_CST;
    ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.1), 1);
    EXPECT_EQ(g.nodeBuffLen, 17u);
    EXPECT_EQ(g.nodeBuffer[10].common.other_node, -1);
    std::vector<node_ptr> list;
    for (node_ptr i = g.firstFreeNode; i != -1 && list.size() < 20; i = gd_next_free(&g, i))
        list.push_back(i);
    EXPECT_EQ(list, (std::vector<node_ptr>{2, 5, 7, 12, 13, 14, 15, 16}));
    deallocate_gd_graph(g);
}

// Whether an enlargement succeeds or is refused, the nodes made after it get
// the same records: what a run writes does not depend on its memory.
TEST(Allocation, AnEnlargementRefusedHandsOutTheRecordsOneThatSucceededWould)
{
    struct scale {
        const char *what;
        float string_mult, node_mult;
        gd_success result;
    };
    const scale cases[] = {
        {"both enlarged", 1.5f, 1.2f, 1},
        {"the records refused", 1.0f, 1e9f, 0},
        {"the pool refused", 1e10f, 1.2f, 0},
    };
    std::vector<std::vector<node_ptr>> handed;
    for (const scale &c : cases) {
        gd_graph g = full_graph(12);
        ASSERT_GE(gd_add_string(&g, "pooled"), 0);
        for (node_ptr n : {7, 2, 10, 4}) gd_free_node(&g, n);
        testing::internal::CaptureStderr();
        EXPECT_EQ(gd_graph_scale(&g, c.string_mult, 1.0, c.node_mult), c.result) << c.what;
        testing::internal::GetCapturedStderr();
        std::vector<node_ptr> made;
        for (int k = 0; k < 6; k++) made.push_back(newNode(&g));
        EXPECT_EQ(made, (std::vector<node_ptr>{2, 4, 7, 10, 12, 13})) << c.what;
        deallocate_gd_graph(g);
    }
}

TEST(Allocation, ScaleRefusals)
{
    gd_graph g = allocate_gd_graph(1000, 11, 100);
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_graph_scale(&g, 1.0, 2.0, 1.0), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gd_graph_scale: Error: Hash Table Resize not implemented yet\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_graph_scale(&g, 0.5, 1, 1), 0);
    EXPECT_EQ(gd_graph_scale(&g, 2, 1, 0.9f), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(gd_graph_scale(&g, 1, 1, 1), 1);
    EXPECT_EQ(g.stringBuffLen, 1000u);
    EXPECT_EQ(g.nodeBuffLen, 100u);
    deallocate_gd_graph(g);
}

TEST(AllocationDeathTest, NewNodeDuringAWalkIsFatal)
{
    gd_graph g = allocate_gd_graph(10, 3, 10);
    EXPECT_EXIT(
        {
            newNode_stop();
            newNode(&g);
        },
        testing::ExitedWithCode(1), "^talvex: \\(fatal\\) node allocation protocol error\n$");
    newNode_start();
    EXPECT_EQ(newNode(&g), 0);
    deallocate_gd_graph(g);
}

TEST(Allocation, ClearedNodeTakesTheDefaultsOfANewNode)
{
    gd_graph g = allocate_gd_graph(10, 3, 4);
    node_ptr i = newNode(&g);
    memset(&g.nodeBuffer[i], 0xab, sizeof(gd_graph_node));
    gd_clear_node(&g, i, dC_OBJECT);
    const t_dc_object &o = g.nodeBuffer[i].dc_object;
    EXPECT_EQ(o.type, dC_OBJECT);
    EXPECT_EQ(o.other_node, -1);
    EXPECT_EQ(o.file, -1);
    EXPECT_EQ(o.line, -1);
    EXPECT_EQ(o.name, -1);
    EXPECT_EQ(o.visb, visb_unk);
    EXPECT_EQ(o.link, -1);
    EXPECT_EQ(o.static_flag, 0u);
    EXPECT_EQ(g.nodeBuffer[i].bytes[2], 0);
    for (size_t b = sizeof(t_dc_object); b < 72; b++) EXPECT_EQ(g.nodeBuffer[i].bytes[b], 0) << b;
    deallocate_gd_graph(g);
}

}  // namespace
