#include "common/tree.h"

#include <gtest/gtest.h>

#include <string>

#include "layout_test_support.h"

namespace layout {
namespace {

struct Graph {
    ItemTable table;
    SystemPointers ptrs;
    std::string warnings;
};

MaybeFailure prepare(Graph &g, const std::string &text, layoutModel model = nested,
                     const std::string *ss = nullptr, const std::string &input = "dir/sys.o.ta")
{
    ReadOptions read;
    read.inputTupleFile = input;
    TreeSetup setup;
    setup.model = model;
    setup.rootWidth = 800;
    setup.rootHeight = 600;
    setup.subsystemName = ss;
    setup.adjustContainLevels = true;
    return prepareGraph(g.table, g.ptrs, text, read, setup, g.warnings);
}

std::string childNames(const Item *item)
{
    std::string out;
    for (const Item *c : item->ptrToConItems) out += c->name + " ";
    return out;
}

TEST(Root, TakesUncontainedItemsInBucketOrder)
{
    Graph g;
    // Buckets: "b" 98, "a" 97, "ab" 195, "c" 99; "x" is contained.
    ASSERT_FALSE(prepare(g, "$INSTANCE ab T\n$INSTANCE b T\n$INSTANCE a T\n$INSTANCE c T\ncontain c x\n"));
    Item *root = g.ptrs.rootItemPtr;
    EXPECT_EQ(root->name, "$ROOT");
    EXPECT_EQ(childNames(root), "a b c ab ");
    EXPECT_EQ(root->ptrToConItems[3]->indxIntoParConItemsArray, 3);
    EXPECT_EQ(root->width, 800);
    EXPECT_EQ(root->height, 600);
    EXPECT_EQ(searchHash(g.table, "$ROOT"), root);
    EXPECT_EQ(searchHash(g.table, "x")->parent->name, "c");
    EXPECT_EQ(searchHash(g.table, "a")->parent, root);
}

TEST(Root, SameBucketKeepsCreationOrder)
{
    Graph g;
    ASSERT_FALSE(prepare(g, "$INSTANCE ba T\n$INSTANCE ab T\n"));
    EXPECT_EQ(childNames(g.ptrs.rootItemPtr), "ba ab ");
}

TEST(Containment, CyclesTheRootReachesAreRefused)
{
    struct Case {
        const char *text;
        const char *closing;
    } cases[] = {
        {"$INSTANCE a T\ncontain a b\ncontain b b\n", "b"},
        {"$INSTANCE a T\ncontain a b\ncontain b c\ncontain c b\n", "b"},
        // The cycle hangs below an item that a top-level item contains.
        {"$INSTANCE a T\ncontain a b\ncontain x y\ncontain y x\ncontain b y\n", "y"},
    };
    for (const Case &c : cases) {
        Graph g;
        MaybeFailure o = prepare(g, c.text);
        ASSERT_TRUE(o) << c.text;
        EXPECT_EQ(o->message,
                  std::string("\nThe containment relation has a cycle through : ") + c.closing + "\n");
        EXPECT_FALSE(o->onStderr);
    }
}

TEST(Containment, CycleOutsideTheTreeIsLeftOutWithOneWarning)
{
    struct Case {
        const char *text;
        const char *rootChildren;
        const char *cycleItem;
        size_t records;
    } cases[] = {
        {"$INSTANCE b T\ncontain a a\ncall b c\n", "b c ", "a", 3},
        {"$INSTANCE a T\ncontain b c\ncontain c b\n", "a ", "b", 2},
        // z is in the tree under t and below the cycle too: one record, and
        // two cycles give one warning.
        {"$INSTANCE t T\ncontain x y\ncontain y x\ncontain y z\ncontain t z\ncontain p p\n", "t ", "x", 3},
    };
    for (const Case &c : cases) {
        Graph g;
        ASSERT_FALSE(prepare(g, c.text)) << c.text;
        EXPECT_EQ(childNames(g.ptrs.rootItemPtr), c.rootChildren);
        EXPECT_EQ(g.warnings, std::string("WARNING: The containment relation has a cycle through : ") +
                                  c.cycleItem +
                                  " that no top-level item reaches; its items are not laid out.\n");
        EXPECT_EQ(countLayoutRecords(g.table, g.ptrs.rootItemPtr, 100), c.records) << c.text;
    }
    Graph tree;
    ASSERT_FALSE(prepare(tree, "$INSTANCE a T\ncontain a b\n"));
    EXPECT_EQ(tree.warnings, "");
}

TEST(Containment, ItemContainedTwiceIsNoCycle)
{
    Graph g;
    ASSERT_FALSE(prepare(g, "$INSTANCE a T\ncontain a b\ncontain a c\ncontain b d\ncontain c d\n"));
    EXPECT_EQ(searchHash(g.table, "d")->containLevel, 3);
}

// Links a0 -> (l0, r0) -> a1 -> (l1, r1) -> ... -> a<links>: every link
// doubles the paths to what lies below it.
std::string diamondChain(int links)
{
    std::string text = "$INSTANCE a0 T\n";
    for (int i = 0; i < links; ++i) {
        std::string a = "a" + std::to_string(i), next = "a" + std::to_string(i + 1);
        std::string l = "l" + std::to_string(i), r = "r" + std::to_string(i);
        text += "contain " + a + " " + l + "\ncontain " + a + " " + r + "\ncontain " + l + " " + next +
                "\ncontain " + r + " " + next + "\n";
    }
    return text;
}

TEST(Containment, LayoutRecordsCountEveryPath)
{
    Graph g;
    ASSERT_FALSE(prepare(g, diamondChain(3)));
    // $ROOT, a0, l0, r0, then twice (a1, l1, r1), four times (a2, l2, r2), eight times a3.
    EXPECT_EQ(countLayoutRecords(g.table, g.ptrs.rootItemPtr, 100), 30u);
    EXPECT_EQ(countLayoutRecords(g.table, g.ptrs.rootItemPtr, 20), 21u);
}

TEST(Containment, ItemsUnderTooManyContainersAreRefused)
{
    // Without the check the 64 links would give about 2^64 records.
    for (layoutModel model : {nested, cliServ}) {
        Graph g;
        std::string ss = "a0";
        MaybeFailure o = prepare(g, diamondChain(64), model, &ss);
        ASSERT_TRUE(o);
        EXPECT_EQ(o->message,
                  "\nThe containment relation holds items under too many containers: the layout would "
                  "have more than " +
                      std::to_string(g.table.storage.size() + kMaxRepeatedRecords) + " records.\n");
    }
    Graph fits;
    EXPECT_FALSE(prepare(fits, diamondChain(18)));
}

TEST(Containment, DeepChainNeedsNoDeepRecursion)
{
    std::string text = "$INSTANCE n0 T\n";
    for (int i = 0; i < 100000; ++i)
        text += "contain n" + std::to_string(i) + " n" + std::to_string(i + 1) + "\n";
    Graph g;
    ASSERT_FALSE(prepare(g, text));
    EXPECT_EQ(searchHash(g.table, "n100000")->containLevel, 100001);
    EXPECT_EQ(searchHash(g.table, "n100000")->parent->name, "n99999");
}

TEST(Subsystem, NameFromInputFile)
{
    EXPECT_EQ(getSSname("dir/foo.o.ta"), "foo.ss");
    EXPECT_EQ(getSSname("foo"), "foo.ss");
    EXPECT_EQ(getSSname("a.b/c"), "c.ss");
    EXPECT_EQ(getSSname("dir/.hidden"), ".ss");
}

TEST(Subsystem, FoundByInputNameOrOption)
{
    Graph g;
    ASSERT_FALSE(prepare(g, "$INSTANCE sys.ss T\ncontain sys.ss p\ncontain p q\n", cliServ));
    Item *ss = g.ptrs.subSystemPtr;
    ASSERT_NE(ss, nullptr);
    EXPECT_EQ(ss->name, "sys.ss");
    EXPECT_EQ(ss->kindOfItemInModel, subsystem);
    EXPECT_EQ(ss->desiredPosition, 1);
    EXPECT_EQ(ss->actualPosition, 1);
    EXPECT_EQ(searchHash(g.table, "p")->kindOfItemInModel, subsystemItem);

    Graph named;
    std::string name = "core";
    ASSERT_FALSE(prepare(named, "$INSTANCE core T\n", cliServ, &name));
    EXPECT_EQ(named.ptrs.subSystemPtr->name, "core");
}

TEST(Subsystem, MissingNestedOrRootIsRefused)
{
    std::string nestedName = "p", rootName = "$ROOT", missing = "nothere";
    for (const std::string *name : {&nestedName, &rootName, &missing}) {
        Graph g;
        MaybeFailure o = prepare(g, "$INSTANCE sys.ss T\ncontain sys.ss p\n", cliServ, name);
        ASSERT_TRUE(o) << *name;
        EXPECT_EQ(o->message, "Subsystem not detected. Cannot continue.\n");
    }
}

TEST(Structure, TraceIndentsByDepth)
{
    Graph g;
    ASSERT_FALSE(prepare(g, "$INSTANCE a T\ncontain a b\ncontain b c\n"));
    layout_test::CapturedStream trace;
    viewStructure(g.ptrs, trace.file);
    EXPECT_EQ(trace.text(), "\nStructure of the graph:\n"
                            "-----------------------\n\n\n"
                            "$ROOT contains :\n"
                            "      a\n"
                            "           b\n"
                            "           c\n"
                            "---- END\n\n");
}

TEST(Structure, QuoteStringOnWhiteSpace)
{
    EXPECT_TRUE(quoteString("a b"));
    EXPECT_TRUE(quoteString("a\tb"));
    EXPECT_FALSE(quoteString("a_b"));
    EXPECT_FALSE(quoteString(""));
}

}  // namespace
}  // namespace layout
