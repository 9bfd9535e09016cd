#include "tessel/cliserv_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "layout_records.h"
#include "three_clients.h"
#include "tessel_run.h"

namespace layout {
namespace {

using layout_test::kRoot800x600;
using layout_test::kThreeClientsLayout;
using layout_test::kThreeClientsRows;
using layout_test::kThreeClientsSubsystem;
using layout_test::kThreeClientsTa;
using layout_test::record;

std::string cliServLayout(const std::string &ta, int width = 800, int height = 600)
{
    return layout_test::tesselLayout(ta, cliServ, width, height);
}

TEST(ClientServer, ThreeClients)
{
    EXPECT_EQ(cliServLayout(kThreeClientsTa), kThreeClientsLayout);
}

TEST(ClientServer, ServerGoesBelow)
{
    // s1 (bucket 164) has only incoming relations: a server, alone in its row.
    EXPECT_EQ(cliServLayout(kThreeClientsTa + "call p s1\n"),
              kRoot800x600 + kThreeClientsRows +
                  record("s1", "200.000000", "525.000000", "83.300003", "50.000000") +
                  kThreeClientsSubsystem);
}

TEST(ClientServer, KindsAndSlots)
{
    ItemTable graph;
    Item *root = addItem(graph, "$ROOT");
    Item *ss = addItem(graph, "ss");
    Item *p = addItem(graph, "p");
    Item *q = addItem(graph, "q");
    ss->ptrToConItems = {p, q};
    p->parent = ss;
    q->parent = ss;
    p->desiredPosition = 1;
    q->desiredPosition = 2;
    Item *even = addItem(graph, "even");  // one out, one in: a client
    Item *more = addItem(graph, "more");  // fewer out than in: a server
    Item *none = addItem(graph, "none");  // no relations: a client at slot 1
    even->ptrToRelationsTo = {q};
    even->ptrToRelationsFrom = {p};
    more->ptrToRelationsTo = {p};
    more->ptrToRelationsFrom = {p, q};
    root->ptrToConItems = {even, ss, more, none};
    ClientsAndServers rows = Control_CliServLayout(root, ss, nullptr);
    ASSERT_EQ(rows.clients.size(), 2u);
    ASSERT_EQ(rows.servers.size(), 1u);
    EXPECT_EQ(even->kindOfItemInModel, client);
    EXPECT_EQ(more->kindOfItemInModel, server);
    EXPECT_EQ(even->desiredPosition, 2);
    EXPECT_EQ(more->desiredPosition, 1);  // (1 + 2) / 2 rounded down
    // Two clients: even wants slot 2 and gets it; none wants 1.
    EXPECT_EQ(even->actualPosition, 2);
    EXPECT_EQ(none->actualPosition, 1);
    EXPECT_EQ(more->actualPosition, 1);
}

TEST(ClientServer, SameWishTakesNextSlotOrLeftAtTheEnd)
{
    ItemTable graph;
    Item *root = addItem(graph, "$ROOT");
    Item *ss = addItem(graph, "ss");
    Item *p = addItem(graph, "p");
    ss->ptrToConItems = {p};
    p->parent = ss;
    p->desiredPosition = 3;
    std::vector<Item *> clients;
    for (const char *n : {"x", "y", "z"}) {
        clients.push_back(addItem(graph, n));
        clients.back()->ptrToRelationsTo = {p};
    }
    root->ptrToConItems = {clients[0], clients[1], clients[2], ss};
    Control_CliServLayout(root, ss, nullptr);
    EXPECT_EQ(clients[0]->actualPosition, 3);
    EXPECT_EQ(clients[1]->actualPosition, 2);
    EXPECT_EQ(clients[2]->actualPosition, 1);
}

TEST(ClientServer, WindowTooSmallForMarginsClampsAtZero)
{
    auto records = layout_test::parseRecords(cliServLayout(kThreeClientsTa, 40, 150));
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[4].name, "sys.ss");
    EXPECT_EQ(records[4].width, 0);
    EXPECT_EQ(records[4].height, 0);
    for (const auto &r : records) {
        EXPECT_GE(r.width, 0) << r.name;
        EXPECT_GE(r.height, 0) << r.name;
    }
}

TEST(ClientServerProperties, SeededRandomSystems)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::string ta = "$INSTANCE sys.ss T\n";
        std::map<std::string, std::string> parent{{"sys.ss", ""}};
        std::vector<std::string> inside, outside;
        int n = 3 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) {
            std::string name = "in" + std::to_string(i);
            std::string container = inside.empty() || rng() % 2 ? "sys.ss" : inside[rng() % inside.size()];
            ta += "contain " + container + " " + name + "\n";
            parent[name] = container;
            inside.push_back(name);
        }
        int m = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < m; ++i) {
            std::string name = "top" + std::to_string(i);
            ta += "$INSTANCE " + name + " T\n";
            parent[name] = "";
            outside.push_back(name);
            for (int r = 0; r < 3; ++r) {
                const std::string &target = inside[rng() % inside.size()];
                ta += rng() % 2 ? "call " + name + " " + target + "\n" : "call " + target + " " + name + "\n";
            }
        }
        std::string text = cliServLayout(ta);
        EXPECT_EQ(cliServLayout(ta), text);
        auto records = layout_test::parseRecords(text);
        ASSERT_EQ(records.size(), parent.size() + 1);
        std::map<std::string, layout_test::Record> byName;
        for (const auto &r : records) EXPECT_TRUE(byName.emplace(r.name, r).second) << r.name;
        for (const auto &[name, r] : byName) {
            if (name == "$ROOT") continue;
            const auto &p = byName.at(parent.at(name).empty() ? "$ROOT" : parent.at(name));
            EXPECT_GE(r.x, 0) << name;
            EXPECT_GE(r.y, 0) << name;
            EXPECT_LE(r.x + r.width, p.width + 1e-3) << name;
            EXPECT_LE(r.y + r.height, p.height + 1e-3) << name;
        }
        for (const auto &[a, ra] : byName)
            for (const auto &[b, rb] : byName) {
                if (a >= b || a == "$ROOT" || b == "$ROOT" || parent.at(a) != parent.at(b)) continue;
                bool apart = ra.x + ra.width <= rb.x + 1e-3 || rb.x + rb.width <= ra.x + 1e-3 ||
                             ra.y + ra.height <= rb.y + 1e-3 || rb.y + rb.height <= ra.y + 1e-3;
                EXPECT_TRUE(apart) << a << " overlaps " << b;
            }
    }
}

}  // namespace
}  // namespace layout
