#include "tesselfix/placement.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "layout_records.h"
#include "layout_test_support.h"
#include "three_clients.h"
#include "tesselfix/tesselfix_program.h"

namespace layout::tesselfix {
namespace {

using layout_test::record;

const std::string &kRoot = layout_test::kRoot800x600;

std::string newLayout(const std::string &oldTa, const std::string &oldLayout, const std::string &newTa,
                      Options options = Options())
{
    options.oldInGraphFile = "old.ta";
    options.newInGraphFile = "new.ta";
    std::string text;
    MaybeFailure o = computeNewLayout(oldTa, oldLayout, newTa, options, text);
    EXPECT_FALSE(o) << o->message;
    return text;
}

// Layouts worked out by hand from the placement rules.
TEST(Placement, SameGraphKeepsEveryBox)
{
    const std::string ta = "$INSTANCE p T\ncontain p q\ncontain p \"r s\"\n";
    const std::string lay = kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                            record("q", "1.500000", "2.000000", "30.000000", "20.000000") +
                            record("\"r s\"", "100.000000", "2.000000", "30.000000", "20.000000");
    EXPECT_EQ(newLayout(ta, lay, ta), lay);
}

TEST(Placement, ThreeNewChildrenFormARow)
{
    // Container 300 by 150 of new children only: boxes 100 by 50 at y 75.
    EXPECT_EQ(newLayout("$INSTANCE p T\n",
                        kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000"),
                        "$INSTANCE p T\ncontain p a\ncontain p b\ncontain p c\n"),
              kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                  record("a", "0.000000", "75.000000", "100.000000", "50.000000") +
                  record("b", "100.000000", "75.000000", "100.000000", "50.000000") +
                  record("c", "200.000000", "75.000000", "100.000000", "50.000000"));
}

const std::string kOldP = "$INSTANCE p T\ncontain p q\n";
const std::string kNewP = "$INSTANCE p T\ncontain p q\ncontain p n\n";

TEST(Placement, CompressNoneTakesSixRoundsOfOnePercent)
{
    // q at 580 in 600: 580 * 0.99^6 = 546.058472 is the first position with
    // room for the 50 wide column (600 / 12); the column starts there.
    Options options;
    options.placement.compress = none;
    EXPECT_EQ(newLayout(kOldP,
                        kRoot + record("p", "100.000000", "50.000000", "600.000000", "120.000000") +
                            record("q", "580.000000", "10.000000", "10.000000", "10.000000"),
                        kNewP, options),
              kRoot + record("p", "100.000000", "50.000000", "600.000000", "120.000000") +
                  record("q", "546.058472", "9.414801", "10.000000", "10.000000") +
                  record("n", "546.058472", "0.000000", "53.941528", "120.000000"));
}

TEST(Placement, MaxModeFailsAtTheHundredAndFirstRound)
{
    // 0.01 % per round moves q from 590 to 584.129150 in 100 rounds; round 101
    // fails and puts q back where round 100 left it; the column is 600 / 12.
    // q is smaller than the minimum size and keeps it.
    Options options;
    options.placement.SHRINK = 0.01f;
    EXPECT_EQ(newLayout(kOldP,
                        kRoot + record("p", "100.000000", "50.000000", "600.000000", "120.000000") +
                            record("q", "590.000000", "50.000000", "5.000000", "5.000000"),
                        kNewP, options),
              kRoot + record("p", "100.000000", "50.000000", "600.000000", "120.000000") +
                  record("q", "584.129150", "49.502472", "5.000000", "5.000000") +
                  record("n", "550.000000", "0.000000", "50.000000", "120.000000"));
}

TEST(Placement, MaxModeLeavesUnplacedNewItemsOutOfTheCollisionTest)
{
    // o1 sits over the corner where the new n waits at (0, 0, 4, 3) until it
    // is placed; o1 and o2 never meet, so six rounds of 1 % run as in
    // compress none: o2's x 580 * 0.99^6 = 546.058472 leaves 53.941528 for
    // the column.  Both sizes shrink too (0.99^6 of 60 by 40 stays above
    // 49.98 by 30); n takes the whole height.
    const std::string oldTa = "$INSTANCE p T\ncontain p o1\ncontain p o2\n";
    const std::string p = record("p", "10.000000", "20.000000", "600.000000", "400.000000");
    EXPECT_EQ(newLayout(oldTa,
                        kRoot + p + record("o1", "2.000000", "1.000000", "60.000000", "40.000000") +
                            record("o2", "580.000000", "200.000000", "60.000000", "40.000000"),
                        oldTa + "contain p n\n"),
              kRoot + p + record("o1", "1.882960", "0.941480", "56.488808", "37.659203") +
                  record("o2", "546.058472", "188.296036", "56.488808", "37.659203") +
                  record("n", "546.058472", "0.000000", "53.941528", "400.000000"));
}

TEST(Placement, MovedItemIsNewAndItsContentsAreScaled)
{
    // m moves from p to q: new, a row of one in q (300 by 50 at y 75); k stays
    // old and is scaled by 50 / 3, the new height over the placeholder's.
    const std::string oldLayout = kRoot + record("p", "0.000000", "0.000000", "300.000000", "150.000000") +
                                  record("m", "10.000000", "10.000000", "60.000000", "30.000000") +
                                  record("k", "6.000000", "3.000000", "30.000000", "15.000000") +
                                  record("q", "400.000000", "0.000000", "300.000000", "150.000000");
    EXPECT_EQ(newLayout("$INSTANCE p T\n$INSTANCE q T\ncontain p m\ncontain m k\n", oldLayout,
                        "$INSTANCE p T\n$INSTANCE q T\ncontain q m\ncontain m k\n"),
              kRoot + record("p", "0.000000", "0.000000", "300.000000", "150.000000") +
                  record("q", "400.000000", "0.000000", "300.000000", "150.000000") +
                  record("m", "0.000000", "75.000000", "300.000000", "50.000000") +
                  record("k", "100.000000", "50.000000", "500.000000", "250.000000"));
}

TEST(Placement, ItemWithoutOldBoxIsNew)
{
    // The old layout has no record for b: b is placed like a new item.
    EXPECT_EQ(newLayout("$INSTANCE p T\ncontain p b\n",
                        kRoot + record("p", "0.000000", "0.000000", "300.000000", "150.000000"),
                        "$INSTANCE p T\ncontain p b\n"),
              kRoot + record("p", "0.000000", "0.000000", "300.000000", "150.000000") +
                  record("b", "0.000000", "75.000000", "300.000000", "50.000000"));
}

TEST(Placement, MissingOldRootRecordStops)
{
    Options options;
    options.oldInGraphFile = "old.ta";
    std::string text;
    MaybeFailure o = computeNewLayout("$INSTANCE p T\n", record("p", "0", "0", "1", "1"), "$INSTANCE p T\n",
                                      options, text);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->message, "\nFatal Error: the old layout file has no box for $ROOT.\n");
}

// The client/server model: the layout tessel -m2 writes for three clients.
using layout_test::kThreeClientsTa;
const std::string &kClients = layout_test::kThreeClientsRows;
const std::string &kSubsystem = layout_test::kThreeClientsSubsystem;

Options clientServer(bool relayout)
{
    Options o;
    o.placement.model = cliServ;
    o.placement.relayoutCliServMode = relayout;
    o.oldSubSysName = "sys.ss";
    o.newSubSysName = "sys.ss";
    return o;
}

// min_dim 4, gap 8, margin 16, top gap 24.  The new server s1 (only server)
// gets the full row: 750 - 8 = 742 wide, 0.6 * 742 high, at 100 + 400 + 24.
const std::string kNewServer = record("s1", "25.000000", "524.000000", "742.000000", "445.200012");

TEST(PlacementClientServer, RelayoutPutsEveryClientInOneRow)
{
    // Four clients: 750 / 4 - 8 = 179.5 wide, step 187.5; 0.6 * 179.5 is
    // capped at 100 - 24 = 76; 2 * 16 + 76 > 100, so y is the margin.
    EXPECT_EQ(newLayout(kThreeClientsTa, kRoot + kClients + kSubsystem,
                        kThreeClientsTa + "call c4 q\ncall p s1\n", clientServer(true)),
              kRoot + record("c1", "25.000000", "16.000000", "179.500000", "76.000000") +
                  record("c2", "212.500000", "16.000000", "179.500000", "76.000000") +
                  record("c3", "400.000000", "16.000000", "179.500000", "76.000000") +
                  record("c4", "587.500000", "16.000000", "179.500000", "76.000000") + kNewServer +
                  kSubsystem);
}

TEST(PlacementClientServer, WithoutRelayoutOnlyTheNewClientIsPlaced)
{
    // Below the old clients (bottom 75): 100 - 75 - 16 = 9 high, 1.666 * 9
    // wide, at y 75 + 16.
    EXPECT_EQ(newLayout(kThreeClientsTa, kRoot + kClients + kSubsystem,
                        kThreeClientsTa + "call c4 q\ncall p s1\n", clientServer(false)),
              kRoot + kClients + record("c4", "25.000000", "91.000000", "14.994000", "9.000000") +
                  kNewServer + kSubsystem);
}

TEST(PlacementClientServer, NoNewClientLeavesClientsWithRelayout)
{
    EXPECT_EQ(newLayout(kThreeClientsTa, kRoot + kClients + kSubsystem, kThreeClientsTa + "call p s1\n",
                        clientServer(true)),
              kRoot + kClients + kNewServer + kSubsystem);
}

TEST(PlacementClientServer, ChangedKindIsNew)
{
    // c3 was a client and is now a server (more incoming than outgoing).
    std::string text = newLayout(kThreeClientsTa, kRoot + kClients + kSubsystem,
                                 kThreeClientsTa + "call p c3\ncall q c3\n", clientServer(false));
    auto records = layout_test::parseRecords(text);
    ASSERT_EQ(records[3].name, "c3");
    EXPECT_EQ(records[3].x, 25);
    EXPECT_EQ(records[3].y, 524);
}

// An old server s1 and a new one s2 ($ROOT's children in bucket order: s1
// (164), s2 (165), sys.ss (627)).  The relayout sizes the server row anew,
// but only the new server goes into it: the old one keeps its box.
TEST(PlacementClientServer, RelayoutPlacesOnlyTheNewServers)
{
    const std::string oldTa = "$INSTANCE sys.ss T\ncontain sys.ss p\ncall p s1\n";
    const std::string oldLayout = kRoot + record("s1", "400", "530", "100", "40") +
                                  record("sys.ss", "25", "100", "750", "400") +
                                  record("p", "100", "110", "150", "90");
    const std::string s1 = record("s1", "400.000000", "530.000000", "100.000000", "40.000000");
    const std::string ss = record("sys.ss", "25.000000", "100.000000", "750.000000", "400.000000") +
                           record("p", "100.000000", "110.000000", "150.000000", "90.000000");
    // With -R the row holds two servers: 750 / 2 - 8 = 367 wide, 0.6 * 367
    // high, at 100 + 400 + 24, starting at the subsystem's x.
    EXPECT_EQ(newLayout(oldTa, oldLayout, oldTa + "call p s2\n", clientServer(true)),
              kRoot + s1 + record("s2", "25.000000", "524.000000", "367.000000", "220.199997") + ss);
    // Without it the new server copies the old one's size, below it (570 + 8).
    EXPECT_EQ(newLayout(oldTa, oldLayout, oldTa + "call p s2\n", clientServer(false)),
              kRoot + s1 + record("s2", "25.000000", "578.000000", "100.000000", "40.000000") + ss);
}

// Compress min in the client/server model: the new n needs a column at the
// right of the subsystem (240 by 120; minima min_dim 4, column at least
// 240 / 12 = 20 wide), but the rightmost old item p at x 200 leaves
// 240 - 200 - 2 * 16 = 8.  One round of 50 % halves every old box.  It is
// undone only when an item ends below both minima: p (3 by 100) and q (100
// by 3) each fall below one, so their round stands, p's x becomes 100 and the
// column 240 - 100 - 32 = 108 wide at 240 - 108 - 8, y 8, 120 - 32 - 8 high.
// A 6 by 6 item ends 3 by 3: the round is undone and the column gets the
// least width, 20, at 240 - 20 - 8.
TEST(PlacementClientServer, CompressMinUndoesARoundOnlyWhenBothSidesFallBelowTheMinima)
{
    Options options = clientServer(false);
    options.placement.compress = min;
    options.placement.SHRINK = 50;
    const std::string ss = record("sys.ss", "25.000000", "100.000000", "240.000000", "120.000000");
    struct Case {
        const char *name;
        std::string oldTa, oldLayout, layout;
    } cases[] = {
        {"OneSideBelowEach", "$INSTANCE sys.ss T\ncontain sys.ss p\ncontain sys.ss q\n",
         kRoot + record("sys.ss", "25", "100", "240", "120") + record("p", "200", "10", "3", "100") +
             record("q", "10", "60", "100", "3"),
         kRoot + ss + record("p", "100.000000", "5.000000", "1.500000", "50.000000") +
             record("q", "5.000000", "30.000000", "50.000000", "1.500000") +
             record("n", "124.000000", "8.000000", "108.000000", "80.000000")},
        {"BothSidesBelow", "$INSTANCE sys.ss T\ncontain sys.ss p\n",
         kRoot + record("sys.ss", "25", "100", "240", "120") + record("p", "200", "10", "6", "6"),
         kRoot + ss + record("p", "200.000000", "10.000000", "6.000000", "6.000000") +
             record("n", "212.000000", "8.000000", "20.000000", "80.000000")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(newLayout(c.oldTa, c.oldLayout, c.oldTa + "contain sys.ss n\n", options), c.layout)
            << c.name;
}

// Rows whose boxes the ratio or the minimum size decide, whole layouts.
TEST(PlacementClientServer, RowHeightsAndMinimumSizes)
{
    struct Case {
        const char *name;
        std::string oldTa, oldLayout, newTa;
        bool relayout;
        std::string layout;
    } cases[] = {
        // Nine clients in one row: 750 / 9 - 8 = 75.333336 wide, step
        // 83.333336; 0.6 * 75.333336 = 45.200001 is below the cap of
        // 100 - 24 and leaves room for the margins: y = 100 - 45.2 - 32.
        {"ClientRowHeightIsSixTenthsOfTheWidth", kThreeClientsTa, kRoot + kClients + kSubsystem,
         kThreeClientsTa + "call c4 q\ncall c5 q\ncall c6 q\ncall c7 q\ncall c8 q\ncall c9 q\n", true,
         kRoot + record("c1", "25.000000", "22.799999", "75.333336", "45.200001") +
             record("c2", "108.333336", "22.799999", "75.333336", "45.200001") +
             record("c3", "191.666672", "22.799999", "75.333336", "45.200001") +
             record("c4", "275.000000", "22.799999", "75.333336", "45.200001") +
             record("c5", "358.333344", "22.799999", "75.333336", "45.200001") +
             record("c6", "441.666687", "22.799999", "75.333336", "45.200001") +
             record("c7", "525.000000", "22.799999", "75.333336", "45.200001") +
             record("c8", "608.333313", "22.799999", "75.333336", "45.200001") +
             record("c9", "691.666626", "22.799999", "75.333336", "45.200001") + kSubsystem},
        // A 100 by 100 window: min_dim 0.5, gap 1, margin 2, top gap 3; the
        // subsystem is 3.5 wide.  Clients: 3.5 / 3 - 1 = 0.166667 is below
        // min_dim, so the boxes are 0.5 square, still a step of 1.166667
        // apart, at 20 - 0.5 - 4.  Servers: 3.5 / 2 - 1 = 0.75 wide, 0.45
        // high raised to 0.5, at 20 + 50 + 3, a step of 1.75.
        {"BoxesBelowTheMinimumSize", "$INSTANCE sys.ss T\ncontain sys.ss p\n",
         record("$ROOT", "0", "0", "100", "100") + record("sys.ss", "10", "20", "3.5", "50") +
             record("p", "0.5", "1", "2", "3"),
         "$INSTANCE sys.ss T\ncontain sys.ss p\ncall c1 p\ncall c2 p\ncall c3 p\ncall p s1\ncall p s2\n",
         false,
         record("$ROOT", "0.000000", "0.000000", "100.000000", "100.000000") +
             record("c1", "10.000000", "15.500000", "0.500000", "0.500000") +
             record("c2", "11.166667", "15.500000", "0.500000", "0.500000") +
             record("c3", "12.333334", "15.500000", "0.500000", "0.500000") +
             record("s1", "10.000000", "73.000000", "0.750000", "0.500000") +
             record("s2", "11.750000", "73.000000", "0.750000", "0.500000") +
             record("sys.ss", "10.000000", "20.000000", "3.500000", "50.000000") +
             record("p", "0.500000", "1.000000", "2.000000", "3.000000")},
        // The same window with two clients and three servers.  Clients: 0.75
        // wide, 0.45 high is below min_dim, so the height becomes 20 - 1;
        // 4 + 19 does not fit above the subsystem, so y is the margin.
        // Servers: 3.5 / 3 - 1 is below min_dim: 0.5 square, 0.5 + 1 apart.
        {"OtherRowsBelowTheMinimumSize", "$INSTANCE sys.ss T\ncontain sys.ss p\n",
         record("$ROOT", "0", "0", "100", "100") + record("sys.ss", "10", "20", "3.5", "50") +
             record("p", "0.5", "1", "2", "3"),
         "$INSTANCE sys.ss T\ncontain sys.ss p\ncall c1 p\ncall c2 p\ncall p s1\ncall p s2\ncall p s3\n",
         false,
         record("$ROOT", "0.000000", "0.000000", "100.000000", "100.000000") +
             record("c1", "10.000000", "2.000000", "0.750000", "19.000000") +
             record("c2", "11.750000", "2.000000", "0.750000", "19.000000") +
             record("s1", "10.000000", "73.000000", "0.500000", "0.500000") +
             record("s2", "11.500000", "73.000000", "0.500000", "0.500000") +
             record("s3", "13.000000", "73.000000", "0.500000", "0.500000") +
             record("sys.ss", "10.000000", "20.000000", "3.500000", "50.000000") +
             record("p", "0.500000", "1.000000", "2.000000", "3.000000")},
        // c1 reaches down to 98: 100 - 98 - 16 leaves no room, so the new c4
        // is min_dim 4 high and 1.666 * 4 wide, at 98 + 16.
        {"PartialClientRowAtTheMinimumHeight", kThreeClientsTa,
         kRoot + record("c1", "66.5", "48", "83.3", "50") + record("c2", "332.5", "25", "83.3", "50") +
             record("c3", "598.5", "25", "83.3", "50") + kSubsystem,
         kThreeClientsTa + "call c4 q\n", false,
         kRoot + record("c1", "66.500000", "48.000000", "83.300003", "50.000000") +
             record("c2", "332.500000", "25.000000", "83.300003", "50.000000") +
             record("c3", "598.500000", "25.000000", "83.300003", "50.000000") +
             record("c4", "25.000000", "114.000000", "6.664000", "4.000000") + kSubsystem},
    };
    for (const Case &c : cases)
        EXPECT_EQ(newLayout(c.oldTa, c.oldLayout, c.newTa, clientServer(c.relayout)), c.layout) << c.name;
}

// Rounds and collisions on their own.
struct Container {
    ItemTable graph;
    Item *box = nullptr;
    Item *add(const std::string &name, float x, float y, float w, float h, statusTypes status = oldItem)
    {
        Item *i = addItem(graph, name);
        i->x = x;
        i->y = y;
        i->width = w;
        i->height = h;
        i->status = status;
        box->ptrToConItems.push_back(i);
        i->parent = box;
        return i;
    }
    Container(float w, float h)
    {
        box = addItem(graph, "box");
        box->width = w;
        box->height = h;
    }
};

// The collision rule: a corner or the centre of one old child inside the box
// of another, edges included.
bool pointIn(float px, float py, const Item *t)
{
    return t->x <= px && px <= t->x + t->width && t->y <= py && py <= t->y + t->height;
}

bool ruleCollides(const Item *p, const Item *t)
{
    return pointIn(p->x + p->width / 2, p->y + p->height / 2, t) || pointIn(p->x, p->y, t) ||
           pointIn(p->x + p->width, p->y, t) || pointIn(p->x, p->y + p->height, t) ||
           pointIn(p->x + p->width, p->y + p->height, t);
}

TEST(Collision, CornersAndCentresOfOldChildrenOnly)
{
    struct Case {
        const char *name;
        float a[4], b[4];
        bool bOld;
        bool collide;
    } cases[] = {
        {"CornersTouch", {0, 0, 10, 10}, {10, 10, 5, 5}, true, true},
        {"EdgesTouch", {0, 0, 10, 10}, {10, 2, 5, 5}, true, true},
        {"Apart", {0, 0, 10, 10}, {10.5f, 0, 5, 5}, true, false},
        {"SmallInsideLarge", {0, 0, 100, 100}, {40, 40, 1, 1}, true, true},
        {"ZeroSizeInside", {0, 0, 10, 10}, {3, 3, 0, 0}, true, true},
        // The boxes cross, but no corner or centre lies in the other box.
        {"CrossWithoutCorners", {0, 1, 10, 2}, {6, 0, 2, 10}, true, false},
        {"NewChildIsLeftOut", {0, 0, 10, 10}, {2, 2, 4, 3}, false, false},
        // b runs from 70 back to -30 over a: it holds no point, and its own
        // lie beside a.
        {"NegativeWidthHoldsNothing", {0, 0, 10, 10}, {70, 2, -100, 3}, true, false},
    };
    for (const Case &c : cases) {
        Container box(600, 400);
        box.add("a", c.a[0], c.a[1], c.a[2], c.a[3]);
        Item *b = box.add("b", c.b[0], c.b[1], c.b[2], c.b[3]);
        if (!c.bOld) b->status = newItem;
        EXPECT_EQ(checkForCollision(box.box), c.collide) << c.name;
    }
    Container twice(600, 400);
    Item *a = twice.add("a", 0, 0, 10, 10);
    twice.box->ptrToConItems.push_back(a);  // one item listed twice is one box
    EXPECT_FALSE(checkForCollision(twice.box));
}

TEST(Collision, AgreesWithTheRuleOnSeededRandomBoxes)
{
    // Coordinates on a coarse grid, so that edges and corners often meet.
    std::mt19937 rng(18);
    std::uniform_int_distribution<int> coord(0, 40), size(0, 12), count(2, 25);
    int collisions = 0;
    for (int round = 0; round < 3000; ++round) {
        Container box(600, 400);
        int n = count(rng);
        for (int i = 0; i < n; ++i)
            box.add("i" + std::to_string(i), coord(rng) / 2.0f, coord(rng) / 2.0f, size(rng) / 4.0f,
                    size(rng) / 4.0f);
        bool expected = false;
        for (const Item *p : box.box->ptrToConItems)
            for (const Item *t : box.box->ptrToConItems)
                expected = expected || (p != t && ruleCollides(p, t));
        collisions += expected;
        ASSERT_EQ(checkForCollision(box.box), expected) << "round " << round;
    }
    // Both answers occur often enough to matter.
    EXPECT_GT(collisions, 300);
    EXPECT_LT(collisions, 2700);
}

TEST(Shrink, MaxRoundUndoneOnCollision)
{
    Container c(600, 120);
    Item *a = c.add("a", 100, 10, 100, 100);
    Item *b = c.add("b", 200, 10, 100, 100);  // touches a: every round collides
    Placement p;
    ContainerInfo info;
    EXPECT_FALSE(shrink(p, c.box, info, 0, 0));
    EXPECT_EQ(info.shrinkRoundsDone, 1);
    EXPECT_EQ(a->x, 100);
    EXPECT_EQ(b->width, 100);
}

TEST(Shrink, MinRoundFailsBelowTheMinimaAndUndoesItself)
{
    Container c(600, 120);
    Item *a = c.add("a", 100, 10, 50, 50);
    Item *inner = addItem(c.graph, "inner");
    inner->status = oldItem;
    inner->x = 8;
    inner->width = 8;
    a->ptrToConItems.push_back(inner);
    Item *tiny = c.add("tiny", 300, 10, 2, 2);
    Placement p;
    p.settings.compress = min;
    p.settings.SHRINK = 50;
    ContainerInfo info;
    EXPECT_FALSE(shrink(p, c.box, info, 1.5f, 1.5f));
    EXPECT_FLOAT_EQ(a->x, 100);
    EXPECT_FLOAT_EQ(a->width, 50);
    EXPECT_FLOAT_EQ(inner->x, 8);  // shrunk with a, then restored
    EXPECT_FLOAT_EQ(tiny->width, 2);
    EXPECT_FLOAT_EQ(tiny->x, 300);
}

TEST(Shrink, RoundsEndWhenNothingMoves)
{
    // One-millionth of a percent cannot move 580 in single precision.
    for (compressType mode : {none, min, max}) {
        Container c(600, 120);
        Item *q = c.add("q", 580, 10, 10, 10);
        c.add("n", 0, 0, 4, 3, newItem);
        Placement p;
        p.settings.compress = mode;
        p.settings.SHRINK = 0.000001f;
        ContainerInfo info;
        computeStaticContainerData(p, c.box, info);
        computeDynamicContainerData(c.box, info);
        positionItemsInContainer(p, c.box, info);
        EXPECT_EQ(info.shrinkRoundsDone, 1) << mode;
        EXPECT_EQ(q->x, 580);
        EXPECT_EQ(c.box->ptrToConItems[1]->width, 50);
    }
}

TEST(Shrink, BackstopEndsRoundsThatKeepMovingTooLittle)
{
    // A ten-thousandth of a percent moves 590 a little each round, but would
    // need some 70,000 rounds to make room.
    Container c(600, 120);
    Item *q = c.add("q", 590, 10, 10, 10);
    Item *n = c.add("n", 0, 0, 4, 3, newItem);
    Placement p;
    p.settings.compress = min;
    p.settings.SHRINK = 0.0001f;
    ContainerInfo info;
    computeStaticContainerData(p, c.box, info);
    computeDynamicContainerData(c.box, info);
    positionItemsInContainer(p, c.box, info);
    EXPECT_EQ(info.shrinkRoundsDone, kMaxShrinkRounds);
    EXPECT_LT(q->x, 590);
    EXPECT_GT(q->x, 550);
    EXPECT_EQ(n->width, 50);
    EXPECT_EQ(n->x, 550);
}

TEST(Shrink, CompressNoneSkipsAContainerTooNarrowForTheColumn)
{
    // Margins of 16 leave nothing of 20: no round could make room.
    Container c(20, 40);
    Item *q = c.add("q", 15, 1, 2, 2);
    Item *n = c.add("n", 0, 0, 4, 3, newItem);
    Placement p;
    p.settings.compress = none;
    p.spacing.min_dim = 4;
    p.spacing.gap = 8;
    p.spacing.margin = 16;
    ContainerInfo info;
    computeStaticContainerData(p, c.box, info);
    computeDynamicContainerData(c.box, info);
    positionItemsInContainer(p, c.box, info);
    EXPECT_EQ(info.shrinkRoundsDone, 0);
    EXPECT_EQ(q->x, 15);
    EXPECT_FLOAT_EQ(n->width, 20.0f / 12);
}

TEST(Shrink, ZeroSizeContainerGivesEmptyBoxes)
{
    Container c(0, 120);
    c.add("q", 0, 10, 0, 10);
    Item *n = c.add("n", 0, 0, 4, 3, newItem);
    Placement p;
    ContainerInfo info;
    computeStaticContainerData(p, c.box, info);
    computeDynamicContainerData(c.box, info);
    positionItemsInContainer(p, c.box, info);
    EXPECT_EQ(info.shrinkRoundsDone, 0);
    EXPECT_EQ(n->width, 0);
    EXPECT_EQ(n->height, 0);
    EXPECT_EQ(n->x, 0);
}

TEST(ContainerData, MeansAndRightmostOldItem)
{
    Container c(600, 120);
    c.add("a", 10, 0, 20, 10);
    c.add("b", 30, 0, 40, 30);
    c.add("n", 90, 0, 4, 3, newItem);
    Placement p;
    ContainerInfo info;
    computeStaticContainerData(p, c.box, info);
    computeDynamicContainerData(c.box, info);
    EXPECT_EQ(info.numOfItemsInContainer, 3);
    EXPECT_EQ(info.numOfNewItemsInContainer, 1);
    EXPECT_EQ(info.maxXitemsInContainer, 30);
    EXPECT_EQ(info.ptrToMaxXItem->name, "b");
    EXPECT_EQ(info.containerItemWidth, 30);
    EXPECT_EQ(info.containerItemHeight, 20);

    Container empty(600, 120);
    empty.add("n", 0, 0, 4, 3, newItem);
    ContainerInfo none;
    computeDynamicContainerData(empty.box, none);
    EXPECT_EQ(none.containerItemWidth, 0);
    EXPECT_EQ(none.ptrToMaxXItem, nullptr);
}

}  // namespace
}  // namespace layout::tesselfix
