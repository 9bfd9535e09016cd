#include "tessel/layered_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "layout_records.h"
#include "layout_test_support.h"
#include "three_clients.h"
#include "tessel_run.h"

namespace layout {
namespace {

using layout_test::record;

using layout_test::kRoot800x600;

std::string nestedLayout(const std::string &ta, int width = 800, int height = 600)
{
    return layout_test::tesselLayout(ta, nested, width, height);
}

// Layouts worked out by hand from the levelling, crossing reduction, slot and
// box rules (800 by 600 unless said).
TEST(LayeredLayout, ThreeUnrelatedChildrenInOneRow)
{
    // One level, three slots: cells 200 by 300, boxes 120 by 72 at the lower
    // right of their cells.
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\n"),
              kRoot800x600 + record("a", "80.000000", "228.000000", "120.000000", "72.000000") +
                  record("b", "280.000000", "228.000000", "120.000000", "72.000000") +
                  record("c", "480.000000", "228.000000", "120.000000", "72.000000"));
}

TEST(LayeredLayout, ChainGoesDownwards)
{
    // Three levels of one slot: cells 400 by 150; the height is capped at
    // 0.6 * 150 = 90 and the width becomes 1.666 * 90.
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\ncall a b\ncall b c\n"),
              kRoot800x600 + record("a", "250.059998", "60.000000", "149.940002", "90.000000") +
                  record("b", "250.059998", "210.000000", "149.940002", "90.000000") +
                  record("c", "250.059998", "360.000000", "149.940002", "90.000000"));
}

TEST(LayeredLayout, TwoItemCycleDropsOneEdgeForLevelling)
{
    // a is searched first and stays on level 1; the edge b to a is dropped.
    // Cells 400 by 200, height capped at 120, width 1.666 * 120.
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n$INSTANCE b T\ncall a b\ncall b a\n"),
              kRoot800x600 + record("a", "200.080002", "80.000000", "199.919998", "120.000000") +
                  record("b", "200.080002", "280.000000", "199.919998", "120.000000"));
}

TEST(LayeredLayout, SelfLoopGivesNoLevel)
{
    // One level of two slots: cells 266.666656 by 300, boxes 160 by 96.
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n$INSTANCE b T\ncall a a\n"),
              kRoot800x600 + record("a", "106.666656", "204.000000", "160.000000", "96.000000") +
                  record("b", "373.333313", "204.000000", "160.000000", "96.000000"));
}

TEST(LayeredLayout, SortOfCountsZeroOneTwoMakesOnePassTooFew)
{
    // Unique counts a 0, b 1, c 2 in list order.  n - 2 = 1 pass of the
    // bubble sort gives b, c, a (not c, b, a); the file follows that order.
    // Levels on the new order: c 1, b 2, a 3.
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\ncall b a\ncall c a\ncall c b\n"),
              kRoot800x600 + record("b", "250.059998", "210.000000", "149.940002", "90.000000") +
                  record("c", "250.059998", "60.000000", "149.940002", "90.000000") +
                  record("a", "250.059998", "360.000000", "149.940002", "90.000000"));
}

TEST(LayeredLayout, CrossingReductionSwapsTheTopLevel)
{
    // Levels: a, b on 1; c, d on 2; a to d and b to c cross.  The first down
    // sweep puts b (barycentre 1) before a (2); a keeps its slot 2.
    EXPECT_EQ(
        nestedLayout("$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\n$INSTANCE d T\ncall a d\ncall b c\n"),
        kRoot800x600 + record("a", "373.333313", "104.000000", "160.000000", "96.000000") +
            record("b", "106.666656", "104.000000", "160.000000", "96.000000") +
            record("c", "106.666656", "304.000000", "160.000000", "96.000000") +
            record("d", "373.333313", "304.000000", "160.000000", "96.000000"));
}

// Layouts that the later rounds change: the second and third round of
// crossing reduction, the second round of positions, and desired positions
// that never fall.  Single-letter names keep $ROOT's list in alphabetical
// order (buckets 97, 98, ...).
TEST(LayeredLayout, LaterRoundsMoveItems)
{
    struct Case {
        const char *name;
        const char *ta;
        std::string layout;
    } cases[] = {
        // a -> c, b -> e, e -> d.  Unique counts a 1, b 1, c 0, d 0, e 1;
        // three passes of the sort give a, b, e, c, d (the file's order).
        // Levels: a, b on 1; e, c on 2 (list order); d on 3.
        // Round 1: down: level 1 by level 2 (e 1, c 2): a 2, b 1 -> b, a;
        // level 2 by level 3: e 1, c 0 -> c, e.  Up: level 2 by level 1
        // (b 1, a 2): c 2, e 1 -> e, c.  Down: b, a; c, e.
        // Round 2: down: level 1 by level 2 (c 1, e 2): b 2, a 1 -> a, b;
        // the rest stays, and round 3 changes nothing: a, b; c, e; d.
        // Positions (two slots): d takes e's slot 2, nothing else moves.
        // Cells 266.666656 by 150; boxes 160 by 96, capped to 90 high and
        // 1.666 * 90 = 149.94 wide; insets 116.726654 and 60.
        {"ThreeRoundsOfCrossingReduction",
         "$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\n$INSTANCE d T\n"
         "$INSTANCE e T\ncall a c\ncall b e\ncall e d\n",
         kRoot800x600 + record("a", "116.726654", "60.000000", "149.940002", "90.000000") +
             record("b", "383.393311", "60.000000", "149.940002", "90.000000") +
             record("e", "383.393311", "210.000000", "149.940002", "90.000000") +
             record("c", "116.726654", "210.000000", "149.940002", "90.000000") +
             record("d", "383.393311", "360.000000", "149.940002", "90.000000")},
        // a, b, c -> d.  Levels: a, b, c on 1, d on 2; the sweeps change
        // nothing (every barycentre is 1).  Desired a 1, b 2, c 3, d 1.
        // Round 1: down: d's 1 raises nobody; slots a 1, b 2, c 3.  Up: d
        // gets (1 + 2 + 3) / 3 = 2.
        // Round 2: down: a gets 2, b (2) and c (3) keep theirs; slots in
        // list order: a 2, b 2 taken so 3, c 3 taken, 4 is past the end, 2
        // taken, so 1.  Up: (2 + 3 + 1) / 3 = 2 for d.
        // Cells 200 by 200, boxes 120 by 72, insets 80 and 128.
        {"TwoRoundsOfPositions",
         "$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\n$INSTANCE d T\n"
         "call a d\ncall b d\ncall c d\n",
         kRoot800x600 + record("a", "280.000000", "128.000000", "120.000000", "72.000000") +
             record("b", "480.000000", "128.000000", "120.000000", "72.000000") +
             record("c", "80.000000", "128.000000", "120.000000", "72.000000") +
             record("d", "280.000000", "328.000000", "120.000000", "72.000000")},
        // a -> c.  Levels: a, b on 1, c on 2; the first sweep puts b (no
        // neighbour, 0) before a (1).  Desired b 1, a 2, c 1.  Down: c's 1
        // is below a's 2, so a keeps 2; slots a 2, b 1.  Up: c gets a's 2.
        // Cells 266.666656 by 200, boxes 160 by 96, insets 106.666656 and 104.
        {"DesiredPositionsNeverFall", "$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\ncall a c\n",
         kRoot800x600 + record("a", "373.333313", "104.000000", "160.000000", "96.000000") +
             record("b", "106.666656", "104.000000", "160.000000", "96.000000") +
             record("c", "373.333313", "304.000000", "160.000000", "96.000000")},
    };
    for (const Case &c : cases) EXPECT_EQ(nestedLayout(c.ta), c.layout) << c.name;
}

TEST(LayeredLayout, ChildrenAreLaidOutInsideTheirContainer)
{
    // a fills one cell of $ROOT (120 by 72, as with three children); its two
    // children share a's box: cells 40 by 36, boxes 24 by 14.4.
    std::string text =
        nestedLayout("$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\ncontain a x\ncontain a y\n");
    auto records = layout_test::parseRecords(text);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[2].name, "x");
    EXPECT_NEAR(records[2].x, 16.0, 1e-4);
    EXPECT_NEAR(records[3].x, 56.0, 1e-4);
    EXPECT_NEAR(records[2].width, 24.0, 1e-4);
    EXPECT_NEAR(records[2].height, 14.4, 1e-4);
    EXPECT_NEAR(records[2].y, 21.6, 1e-4);
}

TEST(LayeredLayout, ZeroHeightWindowIsAccepted)
{
    EXPECT_EQ(nestedLayout("$INSTANCE a T\n", 800, 0),
              record("$ROOT", "0.000000", "0.000000", "800.000000", "0.000000") +
                  record("a", "400.000000", "0.000000", "0.000000", "0.000000"));
}

// Phases on their own.
TEST(LayeredPhases, LevelsCrossingsAndPositionsStepByStep)
{
    // The phases on a list that is not sorted first: a -> b, b -> c, a -> c,
    // d -> c.
    ItemTable graph;
    std::vector<Item *> kids;
    for (const char *n : {"a", "b", "c", "d"}) kids.push_back(addItem(graph, n));
    auto rel = [&](int a, int b) { kids[a]->ptrToRelationsTo.push_back(kids[b]); };
    rel(0, 1);
    rel(1, 2);
    rel(0, 2);
    rel(3, 2);
    SiblingGraph g = buildAdjacencyMatrix(kids);
    LayoutContext ctx;
    Levels levels = determineLevelsInContainer(kids, g, "p", ctx);
    // Longest paths: a 1, b 2, c 3 (through b, not 2 through a -> c), d 1.
    EXPECT_EQ(levels.level, (std::vector<int>{1, 2, 3, 1}));
    EXPECT_EQ(levels.rows, (std::vector<std::vector<int>>{{0, 3}, {1}, {2}}));
    EXPECT_FALSE(ctx.cycleDetected);
    // d has no neighbour on level 2 (barycentre 0) and goes before a (1).
    Control_SugiyamaLayout(levels, g);
    EXPECT_EQ(levels.rows, (std::vector<std::vector<int>>{{3, 0}, {1}, {2}}));
    // Desired d 1, a 2, b 1, c 1.  Round 1 down: a's lower neighbours b and
    // c want (1 + 1) / 2 = 1, less than 2: a keeps 2.  Up: b takes a's 2;
    // c gets (2 + 2 + 1) / 3 = 1 from b, a and d.  Round 2 changes nothing.
    Positions pos = Control_LevelLayout(levels, g);
    EXPECT_EQ(pos.maxItems, 2);
    EXPECT_EQ(pos.desired, (std::vector<int>{2, 2, 1, 1}));
    EXPECT_EQ(pos.actual, (std::vector<int>{2, 2, 1, 1}));
}

TEST(LayeredPhases, RelationsToOtherContainersAreNotEdges)
{
    ItemTable graph;
    Item *a = addItem(graph, "a");
    Item *b = addItem(graph, "b");
    Item *outside = addItem(graph, "o");
    a->ptrToRelationsTo = {outside, b, b};
    SiblingGraph g = buildAdjacencyMatrix({a, b});
    EXPECT_EQ(g.out[0], (std::vector<int>{1}));
    EXPECT_EQ(g.in[1], (std::vector<int>{0}));
}

// The properties every nested layout has.
struct Generated {
    std::string ta;
    std::map<std::string, std::string> parent;  // "" for top level
    std::vector<std::pair<std::string, std::string>> relations;
};

Generated randomSystem(unsigned seed, int items, int relations)
{
    std::mt19937 rng(seed);
    Generated g;
    std::vector<std::string> names;
    for (int i = 0; i < items; ++i) {
        std::string name = "i" + std::to_string(i);
        g.ta += "$INSTANCE " + name + " T\n";
        std::string parent;
        if (i > 0 && rng() % 3 != 0) parent = names[rng() % names.size()];
        g.parent[name] = parent;
        if (!parent.empty()) g.ta += "contain " + parent + " " + name + "\n";
        names.push_back(name);
    }
    for (int r = 0; r < relations; ++r) {
        // From an earlier to a later item: the relations are acyclic.
        int a = static_cast<int>(rng() % items), b = static_cast<int>(rng() % items);
        if (a == b) continue;
        if (a > b) std::swap(a, b);
        g.relations.emplace_back(names[a], names[b]);
        g.ta += "call " + names[a] + " " + names[b] + "\n";
    }
    return g;
}

void expectLayoutProperties(const Generated &g, const std::string &text)
{
    auto records = layout_test::parseRecords(text);
    ASSERT_FALSE(records.empty());
    ASSERT_EQ(records[0].name, "$ROOT");
    std::map<std::string, layout_test::Record> byName;
    std::vector<std::string> path{"$ROOT"};
    for (size_t i = 1; i < records.size(); ++i) {
        const auto &r = records[i];
        ASSERT_TRUE(byName.emplace(r.name, r).second) << r.name << " written twice";
        std::string parent = g.parent.at(r.name);
        if (parent.empty()) parent = "$ROOT";
        // Pre-order: the parent is on the path of open records.
        while (!path.empty() && path.back() != parent) path.pop_back();
        ASSERT_FALSE(path.empty()) << r.name << " is not written inside " << parent;
        path.push_back(r.name);
    }
    byName.emplace("$ROOT", records[0]);
    EXPECT_EQ(byName.size(), g.parent.size() + 1);
    const double eps = 1e-3;
    for (const auto &[name, r] : byName) {
        if (name == "$ROOT") continue;
        std::string parent = g.parent.at(name);
        const auto &p = byName.at(parent.empty() ? "$ROOT" : parent);
        EXPECT_GE(r.x, -eps) << name;
        EXPECT_GE(r.y, -eps) << name;
        EXPECT_LE(r.x + r.width, p.width + eps) << name;
        EXPECT_LE(r.y + r.height, p.height + eps) << name;
    }
    std::map<std::string, std::vector<const layout_test::Record *>> siblings;
    for (const auto &[name, r] : byName)
        if (name != "$ROOT") siblings[g.parent.at(name)].push_back(&r);
    for (const auto &[parent, group] : siblings)
        for (size_t i = 0; i < group.size(); ++i)
            for (size_t j = i + 1; j < group.size(); ++j) {
                const auto &ra = *group[i];
                const auto &rb = *group[j];
                bool apart = ra.x + ra.width <= rb.x + eps || rb.x + rb.width <= ra.x + eps ||
                             ra.y + ra.height <= rb.y + eps || rb.y + rb.height <= ra.y + eps;
                EXPECT_TRUE(apart) << ra.name << " overlaps " << rb.name;
            }
    for (const auto &[a, b] : g.relations)
        if (g.parent.at(a) == g.parent.at(b)) {
            EXPECT_LT(byName.at(a).y, byName.at(b).y) << a << " -> " << b;
        }
}

TEST(LayeredProperties, SeededRandomSystems)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        Generated g = randomSystem(seed, 5 + static_cast<int>(seed % 7) * 6, static_cast<int>(seed % 5) * 12);
        std::string first = nestedLayout(g.ta);
        expectLayoutProperties(g, first);
        EXPECT_EQ(nestedLayout(g.ta), first);
    }
}

// Containers past the old fixed capacities.
TEST(LayeredLimits, FifteenHundredSiblingsAroundOneHub)
{
    std::string ta = "$INSTANCE hub T\n";
    Generated g;
    g.parent["hub"] = "";
    for (int i = 0; i < 1500; ++i) {
        std::string n = "s" + std::to_string(i);
        ta += "call hub " + n + "\n";
        if (i % 2) ta += "call " + n + " hub\n";
        g.parent[n] = "";
    }
    g.ta = ta;
    expectLayoutProperties(g, nestedLayout(ta, 30000, 600));
}

TEST(LayeredLimits, ChainOfThreeHundredSiblings)
{
    Generated g;
    for (int i = 0; i < 300; ++i) {
        std::string n = "c" + std::to_string(i);
        g.ta += "$INSTANCE " + n + " T\n";
        g.parent[n] = "";
        if (i) {
            g.ta += "call c" + std::to_string(i - 1) + " " + n + "\n";
            g.relations.emplace_back("c" + std::to_string(i - 1), n);
        }
    }
    g.ta += "call c299 c0\n";  // closes a cycle three hundred deep
    expectLayoutProperties(g, nestedLayout(g.ta, 800, 60000));
}

TEST(LayeredLimits, ItemContainedTwiceIsLaidOutByEachContainer)
{
    // s is the second child of p and the only child of q.
    std::string text = nestedLayout("$INSTANCE p T\n$INSTANCE q T\ncontain p r\ncontain p s\ncontain q s\n"
                                    "contain s t\ncall r s\n");
    auto records = layout_test::parseRecords(text);
    std::vector<std::string> names;
    for (const auto &r : records) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"$ROOT", "p", "r", "s", "t", "q", "s", "t"}));
    // One box per item: the last container's layout.
    EXPECT_EQ(records[3].x, records[6].x);
    EXPECT_EQ(records[3].width, records[6].width);
}

}  // namespace
}  // namespace layout
