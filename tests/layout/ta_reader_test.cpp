#include "common/ta_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "layout_test_support.h"

namespace layout {
namespace {

// Every item in creation order: "name[children](relations)".
std::string describe(const ItemTable &graph)
{
    std::string out;
    for (const Item &item : graph.storage) {
        out += item.name + "[";
        for (const Item *c : item.ptrToConItems) out += c->name + ",";
        out += "](";
        for (const Item *r : item.ptrToRelationsTo) out += r->name + ",";
        out += ") ";
    }
    return out;
}

struct ReadResult {
    ItemTable graph;
    MaybeFailure outcome;
    std::string warnings;
};

void read(ReadResult &r, const std::string &text, bool relationOnly = false, bool warn = false)
{
    layout_test::CapturedStream warnings;
    ReadOptions options;
    options.relationOnlyInput = relationOnly;
    options.printParseError = warn;
    options.warnings = warnings.file;
    options.inputTupleFile = "in.ta";
    r.outcome = Control_ParseGraphFile(r.graph, text, options);
    r.warnings = warnings.text();
}

struct ReaderCase {
    const char *name;
    std::string text;
    bool relationOnly;
    std::string items;
};

void PrintTo(const ReaderCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTable, BuildsTheItems)
{
    ReadResult r;
    read(r, GetParam().text, GetParam().relationOnly);
    ASSERT_FALSE(r.outcome) << r.outcome->message;
    EXPECT_EQ(describe(r.graph), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, ReaderTable,
    ::testing::Values(
        ReaderCase{"SchemaPartIsSkipped",
                   "SCHEME TUPLE :\ncall cFunction cFunction\nFACT TUPLE :\n$INSTANCE a T\n$INSTANCE b "
                   "T\ncall a b\n",
                   false, "a[](b,) b[]() "},
        ReaderCase{"LaterInstanceDeclares", "$INSTANCE a T\ncall a b\n$INSTANCE c T\ncall c a\n", false,
                   "a[](b,) b[]() c[](a,) "},
        ReaderCase{"LastTripleWithoutNewline", "$INSTANCE a T\ncall a b", false, "a[](b,) b[]() "},
        ReaderCase{"TriplesNeedNotKeepToLines", "$INSTANCE a\nT call\na a\n", false, "a[](a,) "},
        ReaderCase{"QuotedNameIsOneItem", "$INSTANCE \"my item\" T\ncall \"my item\" x//y\n", false,
                   "my item[](x//y,) x//y[]() "},
        ReaderCase{"UndeclaredSelfRelationMakesOneItem", "$INSTANCE a T\ncall z z\n", false,
                   "a[]() z[](z,) "},
        ReaderCase{"ContainAndRelationsKeepTripleOrder",
                   "$INSTANCE p T\ncontain p b\ncontain p a\nuse a b\nuse a b\nuse b p\n", false,
                   "p[b,a,]() b[](p,) a[](b,b,) "},
        ReaderCase{
            "AttributeSectionMakesNoItems",
            "FACT TUPLE :\n$INSTANCE a T\ncall a b\nFACT ATTRIBUTE :\na { x = 1 }\nb { label = \"q r\" }\n",
            false, "a[](b,) b[]() "},
        ReaderCase{"TupleSectionAfterAttributes",
                   "$INSTANCE a T\nFACT ATTRIBUTE :\na { x = 1 }\nFACT TUPLE :\ncall a c\n", false,
                   "a[](c,) c[]() "},
        ReaderCase{"RelationsOnly", "call a b\ncontain b c\n", true, "a[](b,) b[c,]() c[]() "},
        ReaderCase{"IncompleteLastTripleIsDropped", "$INSTANCE a T\ncall a b\ncall a\n", false,
                   "a[](b,) b[]() "},
        ReaderCase{"InstanceRunEndsTheFile", "$INSTANCE a", false, "a[]() "}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Reader, ContainSetsIndexAndLevel)
{
    ReadResult r;
    read(r, "$INSTANCE p T\ncontain p a\ncontain p b\ncontain b c\ncontain q c\n");
    ASSERT_FALSE(r.outcome);
    const Item *b = searchHash(r.graph, "b");
    const Item *c = searchHash(r.graph, "c");
    EXPECT_TRUE(b->isContained);
    EXPECT_EQ(b->indxIntoParConItemsArray, 1);
    EXPECT_EQ(b->containLevel, 2);
    // Contained twice: listed under both, index and level from the later triple.
    EXPECT_EQ(c->indxIntoParConItemsArray, 0);
    EXPECT_EQ(c->containLevel, 2);
    EXPECT_EQ(searchHash(r.graph, "q")->ptrToConItems.size(), 1u);
    EXPECT_EQ(b->ptrToConItems.size(), 1u);
}

TEST(Reader, RelationsAreListedBothWays)
{
    ReadResult r;
    read(r, "$INSTANCE a T\n$INSTANCE b T\ncall a b\ncall a b\n");
    const Item *b = searchHash(r.graph, "b");
    ASSERT_EQ(b->ptrToRelationsFrom.size(), 2u);
    EXPECT_EQ(b->ptrToRelationsFrom[0]->name, "a");
}

TEST(Reader, NoInstanceIsTheEndOfFileErrorOnStandardError)
{
    for (const char *text : {"", "call a b\n", "FACT TUPLE :\n$INSTANCE"}) {
        ReadResult r;
        read(r, text);
        ASSERT_TRUE(r.outcome) << text;
        EXPECT_EQ(r.outcome->message, "ERROR: End of file reached. Try using -r option.\n");
        EXPECT_TRUE(r.outcome->onStderr);
    }
}

TEST(Reader, WarningsWithE)
{
    ReadResult r;
    read(r, "$INSTANCE a T\n$INSTANCE a T\ncall a b\ncall c a\n", false, true);
    ASSERT_FALSE(r.outcome);
    EXPECT_EQ(r.warnings, "WARNING: a is declared twice in file : in.ta\n"
                          "WARNING: An $INSTANCE is not declared for : b\n"
                          "WARNING: An $INSTANCE is not declared for : c\n");
}

TEST(Reader, NoWarningsWithoutEOrForRelationsOnly)
{
    ReadResult quiet;
    read(quiet, "$INSTANCE a T\n$INSTANCE a T\ncall a b\n");
    EXPECT_EQ(quiet.warnings, "");
    ReadResult relationsOnly;
    read(relationsOnly, "call a b\n", true, true);
    EXPECT_EQ(relationsOnly.warnings, "");
}

TEST(Reader, RootNameIsRefused)
{
    for (const char *text : {"$INSTANCE $ROOT T\n", "$INSTANCE a T\ncontain $ROOT a\n"}) {
        ReadResult r;
        read(r, text);
        ASSERT_TRUE(r.outcome) << text;
        EXPECT_EQ(r.outcome->message, "\nThe input names an item $ROOT, which is reserved for the root.\n");
        EXPECT_FALSE(r.outcome->onStderr);
    }
    ReadResult otherCase;
    read(otherCase, "$INSTANCE $root T\n");
    EXPECT_FALSE(otherCase.outcome);
}

TEST(Reader, TraceListsEveryTriple)
{
    layout_test::CapturedStream trace;
    ItemTable graph;
    ReadOptions options;
    options.trace = trace.file;
    ASSERT_FALSE(Control_ParseGraphFile(graph, "x y z\n$INSTANCE a T\ncall a b\n", options));
    EXPECT_EQ(trace.text(), "$INSTANCE            a                    T                   \n"
                            "call                 a                    b                   \n");
}

TEST(ItemTable, HashAddsLowSevenBits)
{
    EXPECT_EQ(hashIndex("a"), 97);
    EXPECT_EQ(hashIndex("$ROOT"), (36 + 82 + 79 + 79 + 84) % 997);
    EXPECT_EQ(hashIndex(std::string(11, 'z')), (11 * 122) % 997);
    EXPECT_EQ(hashIndex("\xc3\xa9"), (0x43 + 0x29) % 997);
}

}  // namespace
}  // namespace layout
