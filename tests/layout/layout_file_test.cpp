#include "common/layout_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/tree.h"
#include "layout_test_support.h"

namespace layout {
namespace {

Item *makeTree(ItemTable &graph, SystemPointers &ptrs, const std::string &text)
{
    ReadOptions read;
    TreeSetup setup;
    setup.rootWidth = 800;
    setup.rootHeight = 600;
    std::string warnings;
    if (prepareGraph(graph, ptrs, text, read, setup, warnings)) return nullptr;
    return ptrs.rootItemPtr;
}

TEST(LayoutWriter, RecordsInPreOrderWithQuotedNames)
{
    ItemTable graph;
    SystemPointers ptrs;
    Item *root = makeTree(graph, ptrs, "$INSTANCE a T\ncontain a \"b c\"\ncontain \"b c\" d\ncontain a e\n");
    ASSERT_NE(root, nullptr);
    Item *a = searchHash(graph, "a");
    a->x = 1.5f;
    a->y = -2;
    a->width = 83.3f;
    a->height = 1e-7f;
    EXPECT_EQ(
        outputLayout(root),
        "$ROOT {\n      x = 0.000000\n      y = 0.000000\n  width = 800.000000\n height = 600.000000\n}\n\n\n"
        "a {\n      x = 1.500000\n      y = -2.000000\n  width = 83.300003\n height = 0.000000\n}\n\n\n"
        "\"b c\" {\n      x = 0.000000\n      y = 0.000000\n  width = 0.000000\n height = 0.000000\n}\n\n\n"
        "d {\n      x = 0.000000\n      y = 0.000000\n  width = 0.000000\n height = 0.000000\n}\n\n\n"
        "e {\n      x = 0.000000\n      y = 0.000000\n  width = 0.000000\n height = 0.000000\n}\n\n\n");
}

TEST(LayoutWriter, NameWithNulIsWrittenWhole)
{
    using namespace std::string_literals;
    ItemTable graph;
    SystemPointers ptrs;
    Item *root = makeTree(graph, ptrs, "$INSTANCE a T\ncontain a x\0y\n"s);
    ASSERT_NE(root, nullptr);
    ASSERT_NE(searchHash(graph, "x\0y"s), nullptr);
    std::string zeros =
        "      x = 0.000000\n      y = 0.000000\n  width = 0.000000\n height = 0.000000\n}\n\n\n";
    EXPECT_EQ(
        outputLayout(root),
        "$ROOT {\n      x = 0.000000\n      y = 0.000000\n  width = 800.000000\n height = 600.000000\n}\n\n\n"
        "a {\n"s +
            zeros + "x\0y {\n"s + zeros);
}

TEST(LayoutWriter, EmptyNameAndNameLikeACommentAreQuoted)
{
    ItemTable graph;
    SystemPointers ptrs;
    Item *root = makeTree(graph, ptrs, "$INSTANCE a T\ncontain a \"\"\ncontain a \"//x\"\ncontain a x//y\n");
    ASSERT_NE(root, nullptr);
    std::string zeros =
        "      x = 0.000000\n      y = 0.000000\n  width = 0.000000\n height = 0.000000\n}\n\n\n";
    std::string written = outputLayout(root);
    EXPECT_EQ(
        written,
        "$ROOT {\n      x = 0.000000\n      y = 0.000000\n  width = 800.000000\n height = 600.000000\n}\n\n\n"
        "a {\n" +
            zeros + "\"\" {\n" + zeros + "\"//x\" {\n" + zeros + "x//y {\n" + zeros);
    for (Item &item : graph.storage) item.hasBox = false;
    ASSERT_FALSE(Control_ParseLayout(graph, written, nullptr));
    for (const Item &item : graph.storage) EXPECT_TRUE(item.hasBox) << item.name;
}

TEST(LayoutWriter, ItemContainedTwiceIsWrittenUnderBoth)
{
    ItemTable graph;
    SystemPointers ptrs;
    Item *root = makeTree(graph, ptrs, "$INSTANCE p T\n$INSTANCE q T\ncontain p s\ncontain q s\n");
    std::string text = outputLayout(root);
    EXPECT_EQ(text.find("p {"), text.rfind("p {"));
    size_t first = text.find("s {");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("s {", first + 1), std::string::npos);
    EXPECT_LT(text.find("q {"), text.rfind("s {"));
}

struct Boxes {
    ItemTable graph;
    SystemPointers ptrs;
    MaybeFailure outcome;
    std::string trace;
};

void readLayout(Boxes &b, const std::string &layoutText)
{
    makeTree(b.graph, b.ptrs, "$INSTANCE a T\n$INSTANCE \"b c\" T\n$INSTANCE FACT T\n");
    layout_test::CapturedStream trace;
    b.outcome = Control_ParseLayout(b.graph, layoutText, trace.file);
    b.trace = trace.text();
}

std::string boxOf(const Boxes &b, const char *name)
{
    const Item *i = searchHash(b.graph, name);
    if (!i->hasBox) return "none";
    return format("%g %g %g %g", i->x, i->y, i->width, i->height);
}

TEST(LayoutReader, ReadsWhatTheWriterWrites)
{
    Boxes b;
    readLayout(
        b,
        "FACT ATTRIBUTE :\n"
        "$ROOT {\n      x = 0.000000\n      y = 0.000000\n  width = 800.000000\n height = 600.000000\n}\n\n\n"
        "\"b c\" {\n      x = 1.5\n      y = 2\n  width = 3\n height = 4\n}\n\n\n"
        "a {\n height = 8\n  width = 7\n colour = red\n      y = 6\n      x = 5\n}");
    ASSERT_FALSE(b.outcome) << b.outcome->message;
    EXPECT_EQ(boxOf(b, "$ROOT"), "0 0 800 600");
    EXPECT_EQ(boxOf(b, "b c"), "1.5 2 3 4");
    EXPECT_EQ(boxOf(b, "a"), "5 6 7 8");
    EXPECT_EQ(boxOf(b, "FACT"), "none");
    EXPECT_EQ(b.trace, "$ROOT                          0.000000 0.000000 600.000000 800.000000\n"
                       "b c                            1.500000 2.000000 4.000000 3.000000\n"
                       "a                              5.000000 6.000000 8.000000 7.000000\n");
}

TEST(LayoutReader, LaterRecordWinsAndEntityNamedFact)
{
    Boxes b;
    readLayout(b, "a {\n x = 1\n y = 1\n width = 1\n height = 1\n}\n"
                  "a {\n x = 2\n y = 2\n width = 2\n height = 2\n}\n"
                  "FACT {\n x = 3\n y = 3\n width = 3\n height = 3\n}\n");
    ASSERT_FALSE(b.outcome);
    EXPECT_EQ(boxOf(b, "a"), "2 2 2 2");
    EXPECT_EQ(boxOf(b, "FACT"), "3 3 3 3");
}

TEST(LayoutReader, RecordCutAtEndOfFileSetsNoBox)
{
    Boxes b;
    readLayout(b, "a {\n x = 1\n y = 1\n width = 1\n");
    ASSERT_FALSE(b.outcome);
    EXPECT_EQ(boxOf(b, "a"), "none");
}

struct BadLayout {
    const char *name;
    std::string text;
    std::string message;
};

void PrintTo(const BadLayout &c, std::ostream *os)
{
    *os << c.name;
}

class LayoutReaderErrors : public ::testing::TestWithParam<BadLayout> {};

TEST_P(LayoutReaderErrors, StopWithMessage)
{
    Boxes b;
    readLayout(b, GetParam().text);
    ASSERT_TRUE(b.outcome);
    EXPECT_EQ(b.outcome->message, GetParam().message);
    EXPECT_FALSE(b.outcome->onStderr);
}

const std::string kMissingA = "\nEntity: a is missing one or more attributes.\n";

INSTANTIATE_TEST_SUITE_P(
    Layout, LayoutReaderErrors,
    ::testing::Values(
        BadLayout{"MissingKey", "a {\n x = 1\n y = 1\n width = 1\n}\n", kMissingA},
        BadLayout{"KeyTwice", "a {\n x = 1\n x = 1\n y = 1\n width = 1\n height = 2\n}\n", kMissingA},
        BadLayout{"NotANumber", "a {\n x = 1\n y = one\n width = 1\n height = 2\n}\n", kMissingA},
        BadLayout{"TrailingText", "a {\n x = 1\n y = 1px\n width = 1\n height = 2\n}\n", kMissingA},
        BadLayout{"NotFinite", "a {\n x = nan\n y = 1\n width = 1\n height = 2\n}\n", kMissingA},
        BadLayout{"TooLargeForAFloat", "a {\n x = 1e300\n y = 1\n width = 1\n height = 2\n}\n", kMissingA},
        BadLayout{"UnknownName", "zz {\n x = 1\n y = 1\n width = 1\n height = 1\n}\n",
                  "\nEntity: zz, exists in layout file but not in the graph file.\n"
                  "Layout file is not associated with the graph file.\n"},
        BadLayout{"FactWithoutAttribute", "FACT TUPLE :\n", "Error: Expecting attribute record\n"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace layout
