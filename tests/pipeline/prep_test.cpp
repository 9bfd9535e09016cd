#include "prep.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver_fixture.h"
#include "pipeline_write_faults.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

TEST(PrepArguments, FirstTaFileIsTheInputAndTheLastOtherTheOutput)
{
    struct Case {
        Lines arguments;
        std::string fileTa;
        std::string fileLinkableTa;
        std::string messages;
    };
    const Case cases[] = {
        {{"a.ta"}, "a.ta", "NONE", ""},
        {{"a.ta", "b.ta"}, "a.ta", "b.ta", ""},
        {{"a.ta", "b.ta", "c.ta"}, "a.ta", "c.ta", "***Warning [prep]: Extra argument: 'c.ta'\n"},
        {{"-h", "x.ta", "-liftunit"}, "x.ta", "NONE", ""},
        {{"-nounique", "notes"}, "NONE", "NONE", ""},
    };
    for (const Case &c : cases) {
        std::ostringstream messages;
        PrepFiles files = classifyPrepArguments(c.arguments, messages);
        EXPECT_EQ(files.fileTa, c.fileTa);
        EXPECT_EQ(files.fileLinkableTa, c.fileLinkableTa);
        EXPECT_EQ(messages.str(), c.messages);
    }
}

TEST(PrepArguments, StageSwitches)
{
    EXPECT_FALSE(shouldRunStage({"a.ta"}, "liftunit"));
    EXPECT_FALSE(shouldRunStage({"a.ta"}, "liftfile"));
    EXPECT_TRUE(shouldRunStage({"a.ta"}, "unique"));
    EXPECT_TRUE(shouldRunStage({"-liftunit"}, "liftunit"));
    EXPECT_FALSE(shouldRunStage({"-nounique"}, "unique"));
    EXPECT_TRUE(shouldRunStage({"-nounique", "-unique"}, "unique"));
    EXPECT_TRUE(shouldRunStage({"-unique"}, "uniq"));
}

class PrepRun : public DriverTest {
protected:
    PrepRun() { writeFile(work / "foo.ta", "FACT TUPLE :\n"); }
};

TEST_F(PrepRun, LiftunitIsCopiedUniqueGetsTheBaseName)
{
    usePipeline("prep.pip", "liftunit unique rawline\n");
    auto result = start(PREP_PROGRAM, {"foo.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(standIns.calls(), (Lines{"unique [foo.tmp.01.liftunit.ta] [.foo] "
                                       "[foo.tmp.02.unique.ta]",
                                       "rawline [foo.tmp.02.unique.ta] [foo.tmp.03.rawline.ta]"}));
    EXPECT_EQ(readFile(work / "foo.o.ta"), "FACT TUPLE :\n");
    EXPECT_EQ(workFiles(), (Lines{"foo.o.ta", "foo.ta", "foo.tmp.01.liftunit.ta", "foo.tmp.02.unique.ta",
                                  "foo.tmp.03.rawline.ta"}));
}

TEST_F(PrepRun, SwitchesTurnStagesOnAndOff)
{
    usePipeline("prep.pip", "liftunit unique rawline\n");
    auto result = start(PREP_PROGRAM, {"-liftunit", "foo.ta", "-nounique", "out.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(standIns.calls(), (Lines{"liftunit [foo.ta] [foo.tmp.01.liftunit.ta]",
                                       "rawline [foo.tmp.02.unique.ta] [foo.tmp.03.rawline.ta]"}));
    EXPECT_EQ(readFile(work / "out.ta"), "FACT TUPLE :\n");
    EXPECT_FALSE(std::filesystem::exists(work / "foo.o.ta"));
}

TEST_F(PrepRun, ShippedPipelineOnAnAlreadyPreparedName)
{
    writeFile(work / "x.o.ta", "x\n");
    auto result = start(PREP_PROGRAM, {"x.o.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(standIns.calls(), (Lines{"unique [x.o.tmp.02.liftfile.ta] [.x.o] "
                                       "[x.o.tmp.03.unique.ta]",
                                       "rawline [x.o.tmp.03.unique.ta] [x.o.tmp.04.rawline.ta]"}));
    EXPECT_EQ(readFile(work / "x.o.o.ta"), "x\n");
}

TEST_F(PrepRun, CommentsOnlyCopyTheInputAndASplitCommentLeavesStages)
{
    usePipeline("prep.pip", "%just_a_note\n%another\n");
    EXPECT_EQ(start(PREP_PROGRAM, {"foo.ta"}).status, 0);
    EXPECT_TRUE(standIns.calls().empty());
    EXPECT_EQ(readFile(work / "foo.o.ta"), "FACT TUPLE :\n");

    // Only the first word of "%a rawline" is a comment.
    usePipeline("prep.pip", "%a rawline\n");
    EXPECT_EQ(start(PREP_PROGRAM, {"foo.ta"}).status, 0);
    EXPECT_EQ(standIns.calls(), Lines{"rawline [foo.ta] [foo.tmp.01.rawline.ta]"});
}

TEST_F(PrepRun, UsageText)
{
    for (const Lines &arguments : {Lines{}, Lines{"-h"}}) {
        auto result = start(PREP_PROGRAM, arguments);
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, "Usage:  prep fileTa [fileLinkableTa]\n"
                              "Inputs fileTa, which is TA output from talvex\n"
                              "Outputs fileLinkableTa, which is a TA file which can be linked\n"
                              "Default fileLinkableTa is base.o.ta where fileTa = base.ta\n"
                              "Version 1.3  Date: 6 Jan 2002\n");
        EXPECT_EQ(result.err, "prep stopped: Quit #1\n");
    }
}

TEST_F(PrepRun, Stops)
{
    std::string thirtyAndAComment;
    for (int i = 1; i <= 30; ++i) thirtyAndAComment += "s" + std::to_string(i) + "\n";
    thirtyAndAComment += "%end\n";
    pipeline_test::writePipelineFile(root / "many", "prep.pip", thirtyAndAComment);

    struct Case {
        const char *name;
        Lines arguments;
        std::optional<std::string> quillonPath;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"no TA file",
         {"-liftunit", "foo"},
         SHIPPED_QUILLON_PATH,
         "Error [prep]: Missing TA file for input\n",
         "prep stopped: Quit #1\n"},
        {"unset path",
         {"foo.ta"},
         std::nullopt,
         "***Error [prep]: Environment variable QUILLON_PATH not set\n"
         "\tThis locates the library of sifter scripts\n",
         "prep stopped: Quit #1\n"},
        {"empty path",
         {"foo.ta"},
         "",
         "***Error [prep]: Environment variable QUILLON_PATH not set\n"
         "\tThis locates the library of sifter scripts\n",
         "prep stopped: Quit #1\n"},
        {"no pipeline file",
         {"foo.ta"},
         work.string(),
         "*** [prep]: Cannot open pipeline file '" + work.string() + "/lib/pipeline/prep.pip'\n",
         "prep stopped: Quit #1\n"},
        {"comment after 30 stages",
         {"foo.ta"},
         (root / "many").string(),
         "",
         "prep stopped: Assert condition is false\n"},
    };
    for (const Case &c : cases) {
        setup.environment["QUILLON_PATH"] = c.quillonPath;
        auto result = start(PREP_PROGRAM, c.arguments);
        EXPECT_EQ(result.status, 255) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_EQ(workFiles(), Lines{"foo.ta"}) << c.name;
    }
}

TEST_F(PrepRun, AFailingStageLeavesNoLinkableFile)
{
    usePipeline("prep.pip", "unique rawline\n");
    setup.environment["STANDIN_FAIL"] = "unique=1";
    auto result = start(PREP_PROGRAM, {"foo.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error: Return code: 256 from: "
                          "'unique foo.ta .foo foo.tmp.01.unique.ta'\n");
    EXPECT_EQ(standIns.calls().size(), 1u);
    EXPECT_EQ(workFiles(), Lines{"foo.ta"});
}

TEST_F(PrepRun, NamesWithBlanksQuotesAndSemicolonsPassUnchanged)
{
    usePipeline("prep.pip", "unique\n");
    const std::string dir = "d 1; touch x";
    const std::string input = dir + "/it's \"a\" b.ta";
    std::filesystem::create_directory(work / dir);
    writeFile(work / input, "facts\n");
    auto result = start(PREP_PROGRAM, {input});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    const std::string base = dir + "/it's \"a\" b";
    EXPECT_EQ(standIns.calls(),
              (Lines{"unique [" + input + "] [." + base + "] [" + base + ".tmp.01.unique.ta]"}));
    EXPECT_EQ(readFile(work / (base + ".o.ta")), "facts\n");
    EXPECT_EQ(workFiles(), (Lines{dir, "foo.ta"}));
    EXPECT_EQ(pipeline_test::directoryEntries(work / dir),
              (Lines{"it's \"a\" b.o.ta", "it's \"a\" b.ta", "it's \"a\" b.tmp.01.unique.ta"}));
}

TEST_F(PrepRun, ANameBeginningWithADashIsCopiedAsAName)
{
    usePipeline("prep.pip", "");
    writeFile(work / "-x.ta", "dash\n");
    auto result = start(PREP_PROGRAM, {"-x.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readFile(work / "-x.o.ta"), "dash\n");
}

// The linkable file in the fault table of every writing program: with an
// empty pipeline, prep's result is its own copy of the input.
TEST(PrepWriteFaults, TheLinkableFile)
{
    FaultRows rows;
    WritingProgram p = rows.program(PREP_PROGRAM, factsOf(4000), "in.ta", "out.ta");
    p.namesThroughLinks = true;
    test_support::expectWriteFaultsHandled(finalCopyFaults(
        p, "prep", [](const RunNames &n) { return n.in; }, [](const RunNames &n) { return n.out; }));
}

}  // namespace
}  // namespace pipeline
