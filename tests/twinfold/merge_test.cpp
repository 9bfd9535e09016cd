#include "merge.h"

#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

namespace {

// Two units whose copies of x.h have the given attributes and children.
std::string twoUnits(const std::string &xa, const std::string &xb, const std::string &more = "")
{
    return "$INSTANCE a.c cFile\n$INSTANCE b.c cFile\n"
           "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
           "contain a.c @0.FILE.x.h.a.c\ncontain a.c main\ncontain b.c @0.FILE.x.h.b.c\n"
           "contain @0.FILE.x.h.a.c g1\ncontain @0.FILE.x.h.b.c g2\ncall main g2\n"
           "g1 { name=g }\ng2 { name=g }\n" +
           (xa.empty() ? "" : "@0.FILE.x.h.a.c { " + xa + " }\n") +
           (xb.empty() ? "" : "@0.FILE.x.h.b.c { " + xb + " }\n") + more;
}

class Merge : public testing::Test {
protected:
    // Parses, merges and renames; the tree afterwards in one line.
    std::string fold(const std::string &input, bool unionHeaders = true, int verbosity = 0, int bits = 10,
                     bool describeTree = true)
    {
        m_global = std::make_unique<Cglobal>(verbosity, unionHeaders);
        char *buffer = nullptr;
        size_t size = 0;
        FILE *dump = open_memstream(&buffer, &size);
        m_global->m_pDump = dump;
        std::string errors;
        EXPECT_TRUE(parseText(input, *m_global, &errors, bits)) << errors;
        testing::internal::CaptureStderr();
        m_global->twinfold();
        Crename renamer;
        renamer.rename(*m_global);
        m_errors = testing::internal::GetCapturedStderr();
        m_renamed = renamer.m_count;
        std::fclose(dump);
        m_dump.assign(buffer, size);
        std::free(buffer);
        return describeTree ? describe(m_global->m_pRoot) : "";
    }

    std::unique_ptr<Cglobal> m_global;
    std::string m_errors;
    std::string m_dump;
    int m_renamed = 0;
};

}  // namespace

TEST(NewName, ShortNamesOfFileNodes)
{
    struct Ccase {
        const char *name;
        const char *shortName;
    } cases[] = {
        {"@0.FILE.stdio.h.y.c", "@FILE.stdio.h"},
        {"@FILE.a.h.b.c", "@FILE.a.h"},
        {"@FILE.x.cpp.y", "@FILE.x.cpp"},
        {"@FILE.ab.cc.z", "@FILE.ab.cc"},
        {"@FILE.ab.CC.z", "@FILE.ab.CC"},
        {"@FILE.abc.cc.z", nullptr},
        {"@FILE.sys.types.h.m.c", "@FILE.sys.types.h"},
        {"@FILE.x.h", nullptr},
        {"@FILE.main.cc.o", nullptr},
        {"@FILE.", nullptr},
        {"foo.h.c", "@FILE.foo.h"},
    };
    for (const Ccase &c : cases) {
        CinstanceFact node(c.name);
        const char *got = node.newName();
        if (c.shortName == nullptr)
            EXPECT_EQ(got, nullptr) << c.name;
        else
            EXPECT_STREQ(got, c.shortName) << c.name;
    }
}

TEST(UniqueName, NumbersAreSixtyFourBitsAndAboveEveryNumberedName)
{
    Cglobal global(0, true);
    for (const char *name : {"@12", "@", "@7x", "x@99", "@4294967295", "@99999999999999999999999"})
        global.check_maxno(name);
    EXPECT_EQ(global.m_maxNo, 4294967295u);
    EXPECT_STREQ(global.unique_name(), "@4294967296");
    EXPECT_STREQ(global.unique_name(), "@4294967297");
}

TEST(UniqueNameDeathTest, NoNumberIsLeftAfterTheLargest)
{
    Cglobal global(0, true);
    global.check_maxno("@18446744073709551615");
    EXPECT_EXIT(global.unique_name(), testing::ExitedWithCode(1), "Cannot make a new node name");
}

TEST(EmitAttributes, KeyOfNamesAndValues)
{
    Cfact fact("f");
    Csetting *a = new Csetting("a");
    appendValue(a, "1");
    appendValue(a, "2");
    fact.appendSetting(a);
    fact.appendSetting(new Csetting("b"));
    const char expected[] = "a\0"
                            "1\1"
                            "2\1"
                            "b\0"
                            "\0";
    ASSERT_EQ(emit_attributes(&fact, nullptr), sizeof expected - 1);
    char buffer[sizeof expected];
    emit_attributes(&fact, buffer);
    EXPECT_EQ(std::string(buffer, sizeof expected - 1), std::string(expected, sizeof expected - 1));
}

TEST_F(Merge, EqualTwinsBecomeOneWithTheShortNameAndTheEdgesIntoTheDeletedCopy)
{
    EXPECT_EQ(fold(twoUnits("file=x.h", "file=x.h"), true, 3),
              "$ROOT(b.c [$INSTANCE>cFile] a.c [$INSTANCE>cFile](main [call>g1] "
              "@FILE.x.h {file=x.h} [$INSTANCE>cFile](g1 {name=g})))");
    EXPECT_EQ(m_global->m_deleted, 1);
    EXPECT_EQ(m_renamed, 1);
    EXPECT_EQ(m_dump, "Considering merging the following nodes:\n\n"
                      "@0.FILE.x.h.a.c  { file=\"x.h\" }\n"
                      "@0.FILE.x.h.b.c  { file=\"x.h\" }\n"
                      "-----\n\n"
                      "   1 merged with @0.FILE.x.h.a.c  { file=\"x.h\" }\n");
    std::string stamp = "TwinFold: [0-9]{2}:[0-9]{2}:[0-9]{2} ";
    std::regex expected("^Deleting @0.FILE.x.h.b.c\n" + stamp + "Twinfold deleted 1 subtrees\n" + stamp +
                        "Renaming started\n" + stamp + "Renamed 1 nodes\n$");
    EXPECT_TRUE(std::regex_match(m_errors, expected)) << m_errors;
}

TEST_F(Merge, OrderAttributesMayDifferOthersKeepBoth)
{
    fold(twoUnits("order=1 file=x.h", "file=x.h order=2"));
    EXPECT_EQ(m_global->m_deleted, 1);
    fold(twoUnits("file=x.h lang=c", "file=x.h lang=cpp"));
    EXPECT_EQ(m_global->m_deleted, 0);
    fold(twoUnits("file=x.h", "file=x.h lang=c"));
    EXPECT_EQ(m_global->m_deleted, 0);
    fold(twoUnits("file=x.h list=(1 2)", "file=x.h list=(1 3)"));
    EXPECT_EQ(m_global->m_deleted, 0);
}

TEST_F(Merge, StrictModeKeepsTwinsWithDifferentChildren)
{
    std::string input = twoUnits("file=x.h", "file=x.h", "contain @0.FILE.x.h.b.c m\nm { name=M }\n");
    fold(input, false);
    EXPECT_EQ(m_global->m_deleted, 0);
    EXPECT_EQ(fold(input, true), "$ROOT(b.c [$INSTANCE>cFile] a.c [$INSTANCE>cFile](main [call>g1] "
                                 "@FILE.x.h {file=x.h} [$INSTANCE>cFile](@1 {name=M} g1 {name=g})))");
    EXPECT_EQ(m_global->m_deleted, 1);
}

TEST_F(Merge, AShortNameBorneByANodeOfTheRenamingTableIsNotTaken)
{
    EXPECT_EQ(fold(twoUnits("file=x.h", "file=x.h", "contain b.c @FILE.x.h\n")),
              "$ROOT(b.c [$INSTANCE>cFile](@FILE.x.h) a.c [$INSTANCE>cFile](main [call>g1] "
              "@0.FILE.x.h.a.c {file=x.h} [$INSTANCE>cFile](g1 {name=g})))");
    EXPECT_EQ(m_renamed, 0);
}

TEST_F(Merge, FileNodesWithoutAttributesAreNeverMerged)
{
    // Nor renamed: only "@FILE." names wait in the renaming table.
    EXPECT_EQ(fold(twoUnits("", "")),
              "$ROOT(b.c [$INSTANCE>cFile](@0.FILE.x.h.b.c [$INSTANCE>cFile](g2 {name=g})) "
              "a.c [$INSTANCE>cFile](main [call>g2] @0.FILE.x.h.a.c [$INSTANCE>cFile](g1 {name=g})))");
    EXPECT_EQ(m_global->m_deleted, 0);
    EXPECT_EQ(m_renamed, 0);
}

TEST_F(Merge, FileNodesWithoutAttributesAndWithAtFileNamesAreRenamedOnce)
{
    // Both wait under their own names and shorten alike: one takes the name.
    std::string input = "$INSTANCE @FILE.x.h.a.c cFile\n$INSTANCE @FILE.x.h.b.c cFile\n";
    std::string tree = fold(input);
    EXPECT_EQ(m_renamed, 1);
    EXPECT_NE(tree.find("@FILE.x.h [$INSTANCE"), std::string::npos) << tree;
    bool keptA = tree.find("@FILE.x.h.a.c [$INSTANCE") != std::string::npos;
    bool keptB = tree.find("@FILE.x.h.b.c [$INSTANCE") != std::string::npos;
    EXPECT_NE(keptA, keptB) << tree;
}

TEST_F(Merge, NestedTwinsAreNeverMergedIntoThemselves)
{
    // The inner copy comes first in the chain: merging its outer twin into
    // it would clone the inner copy into itself without end.
    std::string input = "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                        "contain @0.FILE.x.h.b.c @0.FILE.x.h.a.c\n"
                        "@0.FILE.x.h.a.c { file=x.h }\n@0.FILE.x.h.b.c { file=x.h }\n";
    for (bool unionHeaders : {true, false}) {
        EXPECT_EQ(fold(input, unionHeaders), "$ROOT(@FILE.x.h {file=x.h} [$INSTANCE>cFile]"
                                             "(@0.FILE.x.h.a.c {file=x.h} [$INSTANCE>cFile]))");
        EXPECT_EQ(m_global->m_deleted, 0);
    }
}

TEST_F(Merge, ANodeTheMergeMovedUnderTheKeptCopyIsNestedInIt)
{
    // X, held by both copies of x.h, moves with its child z under the kept
    // copy @0.FILE.x.h.a.c. The file node z has the copies' attributes and
    // comes last in their chain: it now lies inside the kept copy and must
    // not be merged into it.
    std::string input =
        "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n$INSTANCE z cFile\n"
        "contain @0.FILE.x.h.a.c X\ncontain @0.FILE.x.h.b.c X\ncontain X z\n"
        "@0.FILE.x.h.a.c { name=x.h }\n@0.FILE.x.h.b.c { name=x.h }\nz { name=x.h }\n";
    EXPECT_EQ(fold(input),
              "$ROOT(@FILE.x.h {name=x.h} [$INSTANCE>cFile](X(z {name=x.h} [$INSTANCE>cFile])))");
    EXPECT_EQ(m_global->m_deleted, 1);
}

TEST_F(Merge, AContainmentEdgePairsOnlyWithAContainmentEdge)
{
    // The twin's demoted "contain" edge leads to a.c, an ancestor of the kept
    // copy; compared as a subtree, a.c would be cloned into its own
    // descendant c without end. It is cloned as the ordinary edge it is.
    std::string input =
        "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
        "contain @0.FILE.x.h.b.c a.c\ncontain r a.c\ncontain a.c @0.FILE.x.h.a.c\n"
        "contain @0.FILE.x.h.a.c c\n"
        "@0.FILE.x.h.a.c { file=x.h }\n@0.FILE.x.h.b.c { file=x.h }\na.c { k=1 }\nc { k=1 }\n";
    EXPECT_EQ(fold(input),
              "$ROOT(r(a.c {k=1}(@FILE.x.h {file=x.h} [contain>a.c] [$INSTANCE>cFile](c {k=1}))))");
    EXPECT_EQ(m_global->m_deleted, 1);
}

TEST_F(Merge, ACandidateDestroyedWithItsTwinIsSkipped)
{
    // Chain order: x.h of c.c, y.h of b.c, x.h of b.c, y.h of c.c. Merging
    // x.h of b.c destroys y.h of b.c, which must not then absorb y.h of c.c.
    std::string input = "$INSTANCE b.c cFile\n$INSTANCE c.c cFile\n"
                        "$INSTANCE @0.FILE.x.h.b.c cFile\n$INSTANCE @0.FILE.x.h.c.c cFile\n"
                        "$INSTANCE @0.FILE.y.h.b.c cFile\n$INSTANCE @0.FILE.y.h.c.c cFile\n"
                        "contain b.c @0.FILE.x.h.b.c\ncontain c.c @0.FILE.x.h.c.c\n"
                        "contain @0.FILE.x.h.b.c @0.FILE.y.h.b.c\ncontain @0.FILE.x.h.c.c @0.FILE.y.h.c.c\n"
                        "contain @0.FILE.y.h.b.c f1\ncontain @0.FILE.y.h.c.c f2\n"
                        "@0.FILE.x.h.b.c { file=x.h }\n@0.FILE.x.h.c.c { file=x.h }\n"
                        "@0.FILE.y.h.b.c { file=y.h }\n@0.FILE.y.h.c.c { file=y.h }\n"
                        "f1 { name=f }\nf2 { name=f }\n";
    EXPECT_EQ(fold(input), "$ROOT(c.c [$INSTANCE>cFile](@FILE.x.h {file=x.h} [$INSTANCE>cFile]"
                           "(@FILE.y.h {file=y.h} [$INSTANCE>cFile](f2 {name=f}))) b.c [$INSTANCE>cFile])");
    EXPECT_EQ(m_global->m_deleted, 1);
}

TEST_F(Merge, ACandidateAlreadyBearingTheShortNameKeepsItAlone)
{
    std::string input = "$INSTANCE @FILE.x.h cFile\n$INSTANCE @0.FILE.x.h.a.c cFile\n"
                        "@FILE.x.h { file=x.h kind=1 }\n@0.FILE.x.h.a.c { file=x.h kind=2 }\n";
    fold(input);
    EXPECT_EQ(m_renamed, 0);
    EXPECT_NE(writeTa(m_global->m_pRoot).find("@0.FILE.x.h.a.c"), std::string::npos);
}

TEST_F(Merge, TwoLongNamesThatShortenAlikeInDifferentChainsGiveTheNameOnce)
{
    // @FILE.x.h.b.c waits under its own name (slot 1), the kept copy under
    // @FILE.x.h (slot 13): the lower slot is renamed first.
    std::string input = "$INSTANCE @FILE.x.h.b.c cFile\n$INSTANCE @0.FILE.x.h.a.c cFile\n"
                        "@0.FILE.x.h.a.c { file=x.h }\n";
    std::string tree = fold(input);
    EXPECT_EQ(m_renamed, 1);
    EXPECT_NE(tree.find("@FILE.x.h [$INSTANCE"), std::string::npos) << tree;
    EXPECT_NE(tree.find("@0.FILE.x.h.a.c {file=x.h}"), std::string::npos) << tree;
}

TEST_F(Merge, ClonesAreNamedAboveThirtyTwoBits)
{
    std::string input = "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                        "contain @0.FILE.x.h.a.c @4294967295\ncontain @0.FILE.x.h.b.c @0\n"
                        "@0.FILE.x.h.a.c { file=x.h }\n@0.FILE.x.h.b.c { file=x.h }\n"
                        "@4294967295 { name=g }\n@0 { name=m }\n";
    EXPECT_EQ(fold(input),
              "$ROOT(@FILE.x.h {file=x.h} [$INSTANCE>cFile](@4294967296 {name=m} @4294967295 {name=g}))");
}

TEST_F(Merge, DeepTwinsAreComparedClonedAndDestroyedWithoutRecursion)
{
    const int depth = 100000;
    auto chain = [&](const std::string &top, const std::string &prefix) {
        std::string text = "contain " + top + " " + prefix + "0\n";
        for (int i = 0; i < depth; ++i)
            text += "contain " + prefix + std::to_string(i) + " " + prefix + std::to_string(i + 1) + "\n";
        return text;
    };
    std::string head = "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                       "@0.FILE.x.h.a.c { file=x.h }\n@0.FILE.x.h.b.c { file=x.h }\n";
    // Equal deep subtrees: compared and the twin destroyed.
    fold(head + chain("@0.FILE.x.h.a.c", "a") + chain("@0.FILE.x.h.b.c", "b"), false, 0, 18, false);
    EXPECT_EQ(m_global->m_deleted, 1);
    // Only the twin has the deep subtree: cloned into the kept copy.
    fold(head + chain("@0.FILE.x.h.b.c", "b"), true, 0, 18, false);
    EXPECT_EQ(m_global->m_deleted, 1);
    int levels = 0;
    for (CinstanceFact *n = m_global->m_pRoot; n->firstChildEdge(); n = n->firstChildEdge()->m_pTo) ++levels;
    EXPECT_EQ(levels, depth + 2);
    std::string written = writeTa(m_global->m_pRoot);
    EXPECT_NE(written.find("contain @" + std::to_string(depth) + " @" + std::to_string(depth + 1) + "\n"),
              std::string::npos);
}
