#include "edge_index.h"

#include "facts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CedgeFact *link(const char *label, CinstanceFact *from, CinstanceFact *to)
{
    CedgeFact *e = new CedgeFact(label);
    e->connectFrom(from);
    e->connectTo(to);
    return e;
}

}  // namespace

TEST(EdgeIndex, FindsAnEdgeByItsSourceLabelAndTarget)
{
    CedgeIndex index;
    CinstanceFact *a = new CinstanceFact("a");
    CinstanceFact *b = new CinstanceFact("b");
    EXPECT_EQ(index.find(a, "call", b), nullptr);
    CedgeFact *call = link("call", a, b);
    CedgeFact *back = link("call", b, a);
    CedgeFact *use = link("use", a, b);
    for (CedgeFact *e : {call, back, use}) index.add(e);
    index.add(call);
    EXPECT_EQ(index.find(a, "call", b), call);
    EXPECT_EQ(index.find(b, "call", a), back);
    EXPECT_EQ(index.find(a, "use", b), use);
    EXPECT_EQ(index.find(a, "use", a), nullptr);
    EXPECT_EQ(index.find(a, "cal", b), nullptr);
}

TEST(EdgeIndex, AMovedEdgeIsFoundUnderItsNewTargetOnlyAndADestroyedOneNowhere)
{
    CedgeIndex index;
    CinstanceFact *a = new CinstanceFact("a");
    CinstanceFact *b = new CinstanceFact("b");
    CinstanceFact *c = new CinstanceFact("c");
    CedgeFact *e = link("call", a, b);
    index.add(e);
    e->connectTo(c);
    index.add(e);
    EXPECT_EQ(index.find(a, "call", b), nullptr);
    EXPECT_EQ(index.find(a, "call", c), e);
    // Moved back, it is found under its first target again.
    e->connectTo(b);
    index.add(e);
    EXPECT_EQ(index.find(a, "call", b), e);
    e->destroy();
    EXPECT_EQ(index.find(a, "call", b), nullptr);
    EXPECT_EQ(index.find(a, "call", c), nullptr);
}

TEST(EdgeIndex, ManyEdgesAcrossRebuilds)
{
    CedgeIndex index;
    CinstanceFact *hub = new CinstanceFact("hub");
    std::vector<CinstanceFact *> nodes;
    std::vector<CedgeFact *> edges;
    for (int i = 0; i < 20000; ++i) {
        nodes.push_back(new CinstanceFact(std::to_string(i).c_str()));
        edges.push_back(link(i % 2 ? "call" : "use", hub, nodes.back()));
        index.add(edges.back());
        // Every third edge is destroyed at once: its slot turns stale.
        if (i % 3 == 0) edges.back()->destroy();
    }
    for (int i = 0; i < 20000; ++i) {
        CedgeFact *expected = i % 3 == 0 ? nullptr : edges[size_t(i)];
        EXPECT_EQ(index.find(hub, i % 2 ? "call" : "use", nodes[size_t(i)]), expected) << i;
        EXPECT_EQ(index.find(hub, i % 2 ? "use" : "call", nodes[size_t(i)]), nullptr) << i;
    }
}

// Keys that collide in the table: only the nodes and the label tell the edges
// apart. Ten nodes with ten edges out and ten in each, so that every edge
// between them is held by the table, all under one key.
TEST(EdgeIndex, EdgesWhoseKeysCollideAreEachFoundAsThemselves)
{
    CedgeIndex index([](const CinstanceFact *, const char *, const CinstanceFact *) { return uint32_t(7); });
    std::vector<CinstanceFact *> nodes;
    for (int i = 0; i < 10; ++i) nodes.push_back(new CinstanceFact(("n" + std::to_string(i)).c_str()));
    std::vector<std::vector<CedgeFact *>> calls(10, std::vector<CedgeFact *>(10));
    for (int from = 0; from < 10; ++from)
        for (int to = 0; to < 10; ++to) {
            calls[from][to] = link("call", nodes[from], nodes[to]);
            index.add(calls[from][to]);
        }
    EXPECT_GT(index.entered(), 0u);
    for (int from = 0; from < 10; ++from)
        for (int to = 0; to < 10; ++to) {
            EXPECT_EQ(index.find(nodes[from], "call", nodes[to]), calls[from][to]) << from << " " << to;
            EXPECT_EQ(index.find(nodes[from], "use", nodes[to]), nullptr) << from << " " << to;
        }
}
