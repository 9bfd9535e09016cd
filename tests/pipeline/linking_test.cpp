#include "linking.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver_fixture.h"
#include "pipeline_write_faults.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

bool switchOn(const LinkArguments &sorted, const std::string &stage)
{
    for (const StageSwitch &entry : sorted.switches) {
        if (entry.stage == stage) return entry.on;
    }
    ADD_FAILURE() << "no switch " << stage;
    return false;
}

TEST(LinkArguments, ArgumentsAreClassifiedByTheirText)
{
    std::ostringstream messages;
    LinkArguments sorted = classifyLinkArguments(
        linkerProfile(Linker::link),
        {"a.ta", "x.sch.ta", "net.contain.rsf", "-notwinfolder", "-h", "-noliftfile", "y.sch.ta"}, messages);
    EXPECT_EQ(sorted.inputs, (Lines{"a.ta", "-h", "-noliftfile"}));
    EXPECT_EQ(sorted.containRsf, "net.contain.rsf");
    EXPECT_EQ(sorted.schemaTa, "y.sch.ta");
    EXPECT_FALSE(switchOn(sorted, "twinfold"));
    EXPECT_FALSE(switchOn(sorted, "liftfile"));
    EXPECT_TRUE(switchOn(sorted, "liftobj"));
    EXPECT_TRUE(switchOn(sorted, "clusterch"));
    EXPECT_EQ(messages.str(), "***Warning [link]: To be linked file named: '-h'\n"
                              "***Warning [link]: To be linked file named: '-noliftfile'\n");
}

TEST(LinkArguments, EachOptionSetsItsSwitch)
{
    struct Case {
        Linker linker;
        const char *option;
        const char *stage;
        bool on;
    };
    const Case cases[] = {
        {Linker::link, "-liftfile", "liftfile", true},
        {Linker::link, "-noliftobj", "liftobj", false},
        {Linker::link, "-twinfold", "twinfold", true},
        {Linker::link, "-notwinfold", "twinfold", false},
        {Linker::link, "-clusterch", "clusterch", true},
        {Linker::link, "-noclusterch", "clusterch", false},
        {Linker::joinwide, "-liftfile", "liftfile", true},
        {Linker::joinwide, "-notwinfolder", "twinfold", false},
        {Linker::joinwide, "-notwinfold", "twinfold", false},
        {Linker::joinwide, "-clusterch", "clusterch", true},
    };
    for (const Case &c : cases) {
        std::ostringstream messages;
        LinkArguments sorted = classifyLinkArguments(linkerProfile(c.linker), {c.option}, messages);
        EXPECT_TRUE(sorted.inputs.empty()) << c.option;
        EXPECT_EQ(switchOn(sorted, c.stage), c.on) << c.option;
        EXPECT_EQ(messages.str(), "") << c.option;
    }
}

TEST(LinkArguments, JoinwideTakesContainmentAndSchemaNamesAsInputs)
{
    std::ostringstream messages;
    LinkArguments sorted =
        classifyLinkArguments(linkerProfile(Linker::joinwide),
                              {"n.contain.rsf", "s.sch.ta", "-noliftobj", "-noliftfile"}, messages);
    EXPECT_EQ(sorted.inputs, (Lines{"n.contain.rsf", "s.sch.ta", "-noliftobj"}));
    EXPECT_EQ(sorted.containRsf, "NONE");
    EXPECT_EQ(messages.str(), "***Warning [joinwide]: To be linked file named: 'n.contain.rsf'\n"
                              "***Warning [joinwide]: To be linked file named: '-noliftobj'\n");
}

TEST(LayoutArguments, TheLastOfEachKindWinsAndTheFourthIsExtra)
{
    std::ostringstream messages;
    LayoutArguments sorted =
        classifyLayoutArguments({"a.ta", "b.ta", "c", "d.ta", "n.contain.rsf"}, messages);
    EXPECT_EQ(sorted.fileToLayout, "d.ta");
    EXPECT_EQ(sorted.containRsf, "n.contain.rsf");
    EXPECT_EQ(sorted.schemaTa, "NONE");
    EXPECT_EQ(messages.str(), "***Warning [placewide]: To be laid out file named: 'c'\n"
                              "***Error [placewide]: Extra argument: 'd.ta'\n"
                              "***Error [placewide]: Extra argument: 'n.contain.rsf'\n");
}

using LinkRun = DriverTest;

TEST_F(LinkRun, ShippedPipelineWithContainmentSchemaAndNoTwinfolder)
{
    auto result = start(LINK_PROGRAM, {"a.ta", "x.sch.ta", "net.contain.rsf", "-notwinfolder"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(standIns.calls(), (Lines{
                                    "rawlink [out.tmp.1.rawlink.set] [out.tmp.01.rawlink.ta]",
                                    "dellinksym [out.tmp.01.rawlink.ta] [out.tmp.02.dellinksym.ta]",
                                    "liftobj [out.tmp.03.liftfile.ta] [out.tmp.04.liftobj.ta]",
                                    "clusterch [out.tmp.05.twinfold.ta] [out.tmp.06.clusterch.ta]",
                                    "addcontain [out.tmp.06.clusterch.ta] [net.contain.rsf] "
                                    "[out.tmp.07.addcontain.ta]",
                                    "addschema [out.tmp.07.addcontain.ta] "
                                    "[out.tmp.08.addschema.ta] [x.sch.ta]",
                                    "layout [out.tmp.08.addschema.ta] [out.tmp.09.layout.ta]",
                                }));
    // The set file went through every stage; only it is removed.
    EXPECT_EQ(readFile(work / "out.ls.ta"), "a.ta\n");
    EXPECT_EQ(workFiles(), (Lines{"out.ls.ta", "out.tmp.01.rawlink.ta", "out.tmp.02.dellinksym.ta",
                                  "out.tmp.03.liftfile.ta", "out.tmp.04.liftobj.ta", "out.tmp.05.twinfold.ta",
                                  "out.tmp.06.clusterch.ta", "out.tmp.07.addcontain.ta",
                                  "out.tmp.08.addschema.ta", "out.tmp.09.layout.ta"}));
}

TEST_F(LinkRun, DefaultsRunTwinfoldAndCopyLiftfileAndAnnounceNewStages)
{
    usePipeline("link.pip", "liftfile twinfold addcontain addschema newstage\n");
    auto result = start(LINK_PROGRAM, {"a.ta", "b"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "***Warning [link]: To be linked file named: 'b'\n"
                          "***Running new stage: 'newstage'\n");
    EXPECT_EQ(standIns.calls(), (Lines{
                                    "twinfold [out.tmp.01.liftfile.ta] [out.tmp.02.twinfold.ta]",
                                    "addschema [out.tmp.03.addcontain.ta] [out.tmp.04.addschema.ta]",
                                    "newstage [out.tmp.04.addschema.ta] [out.tmp.05.newstage.ta]",
                                }));
    EXPECT_EQ(readFile(work / "out.ls.ta"), "a.ta\nb\n");
}

TEST_F(LinkRun, AnEmptyPipelineCopiesTheSetFileAndRemovesIt)
{
    usePipeline("link.pip", " \n\n");
    auto result = start(LINK_PROGRAM, {"-twinfold"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readFile(work / "out.ls.ta"), "");
    EXPECT_EQ(workFiles(), (Lines{"out.ls.ta"}));
}

TEST_F(LinkRun, UsageTexts)
{
    auto link = start(LINK_PROGRAM, {});
    EXPECT_EQ(link.status, 255);
    EXPECT_EQ(link.out, "Usage: link file1Ta file2Ta file3Ta ... [containRsf] [schemaTa]\n"
                        "The TA files are linked and are output as file out.ls.ta\n"
                        "The TA files must have the suffix '.ta'\n"
                        "The TA files must have distinct nodes.\n"
                        "External symbols are resolved using Link Symbols.\n"
                        "containRsf, if present, must has the suffix  'contain.rsf'\n"
                        "schemaTa, if present, must have a suffix '.sch.ta'\n"
                        "Default schema is Ririra\n"
                        "The flag -liftfile causes file bodies to be eliminated\n"
                        "The flag -noliftobj causes object bodies not to be eliminated\n"
                        "The link stages are determined by "
                        "$QUILLON_PATH/lib/pipeline/link.pip\n"
                        "Version 1.3  Date: 20 Dec 2001\n");
    EXPECT_EQ(link.err, "link stopped: Quit #1\n");

    auto joinwide = start(JOINWIDE_PROGRAM, {"-h"});
    EXPECT_EQ(joinwide.status, 255);
    EXPECT_EQ(joinwide.out, "Usage: joinwide file1Ta file2Ta file3Ta ... \n"
                            "The TA files are linked and are output as file 'out.ln.ta'\n"
                            "Typical usage:\n"
                            "       joinwide *.o.t   (link files that have been prep'd)\n"
                            "The TA files must have the suffix '.ta'\n"
                            "The TA files must have distinct nodes.\n"
                            "External symbols are resolved using Link Symbols.\n"
                            "Flags:  -liftfile causes file bodies to be eliminated\n"
                            "        -notwinfold stops headers from being merged\n"
                            "        -clusterch causes .c and .h files to be clustered\n"
                            "Joinwide stages determined by "
                            "$QUILLON_PATH/lib/pipeline/joinwide.pip\n"
                            "Version 1.3  Date: 9 Dec 2002\n"
                            "Based on earlier 'link' script, with much cloning\n");

    auto placewide = start(PLACEWIDE_PROGRAM, {});
    EXPECT_EQ(placewide.status, 255);
    EXPECT_EQ(placewide.out, "Usage: placewide fileTa [containRsf] [schemaTa]\n"
                             "Typical usage:\n"
                             "        placewide out.ln.ta  (no contain file, default schema)\n"
                             "The TA file is laid out and is output as file out.ls.ta\n"
                             "The TA file must have the suffix '.ta'\n"
                             "The containRsf, if present, must has the suffix  'contain.rsf'\n"
                             "The schemaTa, if present, must have a suffix '.sch.ta'\n"
                             "Default schema is Ririra\n"
                             "The placewide stages are determined by "
                             "$QUILLON_PATH/lib/pipeline/placewide.pip\n"
                             "Version 1.3  Date: 9 Dec 2002\n"
                             "  Based on 'link' script, with extensive cloning\n");
    EXPECT_TRUE(workFiles().empty());
}

// Every stop: its message, status 255, its stop report, no stage run and
// no final file.
TEST_F(LinkRun, Stops)
{
    const std::string missingPipeline =
        "*** [prep]: Cannot open pipeline file '" + (root / "empty").string() + "/lib/pipeline/link.pip'\n";
    std::filesystem::create_directories(root / "empty");
    std::string thirtyOne;
    for (int i = 1; i <= 31; ++i) thirtyOne += "s" + std::to_string(i) + " ";
    pipeline_test::writePipelineFile(root / "many", "link.pip", thirtyOne);

    struct Case {
        const char *name;
        std::optional<std::string> quillonPath;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"unset", std::nullopt, "***Error [prep]: Environment variable QUILLON_PATH not set\n",
         "link stopped: Quit #1\n"},
        {"empty", "", "***Error [prep]: Environment variable QUILLON_PATH not set\n",
         "link stopped: Quit #1\n"},
        {"no pipeline file", (root / "empty").string(), missingPipeline, "link stopped: Quit #1\n"},
        {"31 stages", (root / "many").string(), "", "link stopped: Assert condition is false\n"},
    };
    for (const Case &c : cases) {
        setup.environment["QUILLON_PATH"] = c.quillonPath;
        auto result = start(LINK_PROGRAM, {"a.ta"});
        EXPECT_EQ(result.status, 255) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
        EXPECT_EQ(result.err, c.err) << c.name;
        EXPECT_TRUE(standIns.calls().empty()) << c.name;
        EXPECT_TRUE(workFiles().empty()) << c.name;
    }
    setup.environment["QUILLON_PATH"] = std::nullopt;
    auto joinwide = start(JOINWIDE_PROGRAM, {"a.ta"});
    EXPECT_EQ(joinwide.out, "***Error [joinwide]: Environment variable QUILLON_PATH not set\n");
    EXPECT_EQ(joinwide.status, 255);
}

TEST_F(LinkRun, AFailingStageStopsBeforeTheLaterStages)
{
    setup.environment["STANDIN_FAIL"] = "dellinksym=2";
    auto result = start(LINK_PROGRAM, {"a.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error: Return code: 512 from: 'dellinksym "
                          "out.tmp.01.rawlink.ta out.tmp.02.dellinksym.ta'\n");
    EXPECT_EQ(result.err, "link stopped: Quit #1\n");
    EXPECT_EQ(standIns.calls().size(), 2u);
    // The set file stays; no final file.
    EXPECT_EQ(workFiles(), (Lines{"out.tmp.01.rawlink.ta", "out.tmp.1.rawlink.set"}));
}

TEST_F(LinkRun, AStageThatCannotBeFoundReportsAsTheShellWould)
{
    usePipeline("link.pip", "rawlink missing-stage\n");
    auto result = start(LINK_PROGRAM, {"a.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Running new stage: 'missing-stage'\n"
                          "***Error: Return code: 32512 from: 'missing-stage "
                          "out.tmp.01.rawlink.ta out.tmp.02.missing-stage.ta'\n");
}

TEST_F(LinkRun, ASetFileThatCannotBeMadeStops)
{
    std::filesystem::create_directory(work / "out.tmp.1.rawlink.set");
    auto result = start(LINK_PROGRAM, {"a.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error [link]:  Cannot open file: out.tmp.1.rawlink.set\n");
    EXPECT_TRUE(standIns.calls().empty());
}

TEST_F(LinkRun, ASetFileThatCannotBeWrittenStops)
{
    std::filesystem::create_symlink("/dev/full", work / "out.tmp.1.rawlink.set");
    auto result = start(LINK_PROGRAM, {"a.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error [link]:  Cannot write file: out.tmp.1.rawlink.set\n");
    EXPECT_EQ(result.err, "link stopped: Quit #1\n");
    EXPECT_TRUE(standIns.calls().empty());
}

TEST_F(LinkRun, NamesWithBlanksQuotesAndSemicolonsPassUnchanged)
{
    const Lines inputs = {"a b.ta", "it's \"q\".ta", "x.ta; touch pwned", "$(touch pwned2).ta"};
    usePipeline("link.pip", "rawlink addcontain addschema\n");
    Lines arguments = inputs;
    arguments.push_back("my net; touch pwned3.contain.rsf");
    arguments.push_back("s \"1\".sch.ta");
    auto result = start(LINK_PROGRAM, arguments);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "***Warning [link]: To be linked file named: 'x.ta; touch pwned'\n");
    EXPECT_EQ(standIns.calls(), (Lines{"rawlink [out.tmp.1.rawlink.set] [out.tmp.01.rawlink.ta]",
                                       "addcontain [out.tmp.01.rawlink.ta] "
                                       "[my net; touch pwned3.contain.rsf] "
                                       "[out.tmp.02.addcontain.ta]",
                                       "addschema [out.tmp.02.addcontain.ta] "
                                       "[out.tmp.03.addschema.ta] [s \"1\".sch.ta]"}));
    EXPECT_EQ(readFile(work / "out.ls.ta"), "a b.ta\nit's \"q\".ta\nx.ta; touch pwned\n$(touch pwned2).ta\n");
    EXPECT_EQ(workFiles(), (Lines{"out.ls.ta", "out.tmp.01.rawlink.ta", "out.tmp.02.addcontain.ta",
                                  "out.tmp.03.addschema.ta"}));
}

// Inputs that the run itself writes, and input names that the set file
// cannot carry: refused before any file is written or any stage runs. Each
// work file exists beforehand and keeps its text.
TEST_F(LinkRun, InputsThatTheRunWritesOrWithANewlineAreRefused)
{
    usePipeline("link.pip", "rawlink dellinksym x.sch\n");
    usePipeline("joinwide.pip", "rawlink dellinksym\n");
    const Lines workNames = {"link.tmp.02.dellinksym.ta",
                             "out.ls.ta",
                             "out.ln.ta",
                             "out.tmp.01.rawlink.ta",
                             "out.tmp.1.rawlink.set",
                             "link.tmp.1.rawlink.set",
                             "out.tmp.03.x.sch.ta"};
    for (const std::string &name : workNames) writeFile(work / name, "keep\n");
    // Other names of work files: a hard link is the same file, whatever its
    // name says.
    fs::create_hard_link(work / "out.tmp.1.rawlink.set", work / "set.ta");
    fs::create_hard_link(work / "link.tmp.1.rawlink.set", work / "jset.ta");
    fs::create_hard_link(work / "out.ln.ta", work / "final.ta");
    Lines before = workFiles();

    struct Case {
        std::string program;
        Lines arguments;
        std::string out;
    };
    const std::string linkWorkFile = "***Error [link]: Input file is one of this run's work or output "
                                     "files: '";
    const std::string joinwideWorkFile =
        "***Error [joinwide]: Input file is one of this run's work or output "
        "files: '";
    const Case cases[] = {
        {LINK_PROGRAM,
         {"a.ta", "out.tmp.1.rawlink.set"},
         "***Warning [link]: To be linked file named: 'out.tmp.1.rawlink.set'\n" + linkWorkFile +
             "out.tmp.1.rawlink.set'\n"},
        {LINK_PROGRAM, {"out.tmp.01.rawlink.ta"}, linkWorkFile + "out.tmp.01.rawlink.ta'\n"},
        {LINK_PROGRAM, {"a.ta", "./out.ls.ta"}, linkWorkFile + "./out.ls.ta'\n"},
        {LINK_PROGRAM, {"a.ta", "../work/out.ls.ta"}, linkWorkFile + "../work/out.ls.ta'\n"},
        {LINK_PROGRAM, {"a.ta", "out.tmp.03.x.sch.ta"}, linkWorkFile + "out.tmp.03.x.sch.ta'\n"},
        {LINK_PROGRAM, {"set.ta", "b.ta"}, linkWorkFile + "set.ta'\n"},
        {LINK_PROGRAM, {"a.ta", "b\nc.ta"}, "***Error [link]: Input file name holds a newline: 'b\nc.ta'\n"},
        {JOINWIDE_PROGRAM,
         {"link.tmp.1.rawlink.set", "a.ta"},
         "***Warning [joinwide]: To be linked file named: "
         "'link.tmp.1.rawlink.set'\n" +
             joinwideWorkFile + "link.tmp.1.rawlink.set'\n"},
        {JOINWIDE_PROGRAM,
         {"a.ta", "link.tmp.02.dellinksym.ta"},
         joinwideWorkFile + "link.tmp.02.dellinksym.ta'\n"},
        {JOINWIDE_PROGRAM, {"out.ln.ta"}, joinwideWorkFile + "out.ln.ta'\n"},
        {JOINWIDE_PROGRAM, {"a.ta", "jset.ta"}, joinwideWorkFile + "jset.ta'\n"},
        {JOINWIDE_PROGRAM, {"final.ta"}, joinwideWorkFile + "final.ta'\n"},
        {JOINWIDE_PROGRAM,
         {"a.ta", "\n"},
         "***Warning [joinwide]: To be linked file named: '\n'\n"
         "***Error [joinwide]: Input file name holds a newline: '\n'\n"},
    };
    for (const Case &c : cases) {
        const std::string name = c.program + " " + c.arguments.front() + " " + c.arguments.back();
        auto result = start(c.program, c.arguments);
        EXPECT_EQ(result.status, 255) << name;
        EXPECT_EQ(result.out, c.out) << name;
        EXPECT_EQ(result.err, fs::path(c.program).filename().string() + " stopped: Quit #1\n") << name;
        EXPECT_EQ(workFiles(), before) << name;
        for (const std::string &file : workNames) {
            EXPECT_EQ(readFile(work / file), "keep\n") << name << ": " << file;
        }
    }
    EXPECT_TRUE(standIns.calls().empty());

    // Another folder's file of the same name is an input like any other.
    fs::create_directory(work / "old");
    writeFile(work / "old" / "out.ls.ta", "old\n");
    usePipeline("link.pip", "rawlink\n");
    auto other = start(LINK_PROGRAM, {"old/out.ls.ta"});
    EXPECT_EQ(other.status, 0);
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(readFile(work / "out.ls.ta"), "old/out.ls.ta\n");
}

using JoinwideRun = DriverTest;

TEST_F(JoinwideRun, ShippedPipelineWithItsDefaults)
{
    auto result = start(JOINWIDE_PROGRAM, {"a.o.ta", "b.o.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(standIns.calls(), (Lines{
                                    "rawlink [link.tmp.1.rawlink.set] [link.tmp.01.rawlink.ta]",
                                    "dellinksym [link.tmp.01.rawlink.ta] [link.tmp.02.dellinksym.ta]",
                                    "twinfold [link.tmp.03.liftfile.ta] [link.tmp.04.twinfold.ta]",
                                    "cleanup [link.tmp.05.clusterch.ta] [link.tmp.06.cleanup.ta]",
                                }));
    EXPECT_EQ(readFile(work / "out.ln.ta"), "a.o.ta\nb.o.ta\n");
    EXPECT_FALSE(std::filesystem::exists(work / "link.tmp.1.rawlink.set"));
}

TEST_F(JoinwideRun, NotwinfoldAsItsUsageShowsItSwitchesTwinfoldOff)
{
    usePipeline("joinwide.pip", "twinfold liftfile clusterch\n");
    auto result = start(JOINWIDE_PROGRAM, {"a.o.ta", "-notwinfold", "-liftfile", "-clusterch"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(standIns.calls(), (Lines{"liftfile [link.tmp.01.twinfold.ta] [link.tmp.02.liftfile.ta]",
                                       "clusterch [link.tmp.02.liftfile.ta] "
                                       "[link.tmp.03.clusterch.ta]"}));
    EXPECT_EQ(readFile(work / "out.ln.ta"), "a.o.ta\n");
}

TEST_F(JoinwideRun, AddcontainIsANewStageWithTwoFiles)
{
    usePipeline("joinwide.pip", "addcontain\n");
    auto result = start(JOINWIDE_PROGRAM, {"a.o.ta", "n.contain.rsf"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "***Warning [joinwide]: To be linked file named: 'n.contain.rsf'\n"
                          "***Running new stage: 'addcontain'\n");
    EXPECT_EQ(standIns.calls(), (Lines{"addcontain [link.tmp.1.rawlink.set] "
                                       "[link.tmp.01.addcontain.ta]"}));
}

using PlacewideRun = DriverTest;

TEST_F(PlacewideRun, ShippedPipelineWithAndWithoutExtraFiles)
{
    writeFile(work / "m.ta", "FACT TUPLE :\n");
    auto plain = start(PLACEWIDE_PROGRAM, {"m.ta"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, "");
    EXPECT_EQ(standIns.calls(), (Lines{"addschema [layout.tmp.01.addcontain.ta] "
                                       "[layout.tmp.02.addschema.ta]",
                                       "layout [layout.tmp.02.addschema.ta] "
                                       "[layout.tmp.03.layout.ta]"}));
    EXPECT_EQ(readFile(work / "out.ls.ta"), "FACT TUPLE :\n");

    std::filesystem::remove(standIns.log);
    auto extra = start(PLACEWIDE_PROGRAM, {"s.sch.ta", "m.ta", "n.contain.rsf"});
    EXPECT_EQ(extra.status, 0);
    EXPECT_EQ(standIns.calls(), (Lines{"addcontain [m.ta] [n.contain.rsf] "
                                       "[layout.tmp.01.addcontain.ta]",
                                       "addschema [layout.tmp.01.addcontain.ta] "
                                       "[layout.tmp.02.addschema.ta] [s.sch.ta]",
                                       "layout [layout.tmp.02.addschema.ta] "
                                       "[layout.tmp.03.layout.ta]"}));
    EXPECT_TRUE(std::filesystem::exists(work / "m.ta"));
}

TEST_F(PlacewideRun, OnlyAContainmentOrSchemaFileIsAStop)
{
    for (const char *only : {"n.contain.rsf", "s.sch.ta"}) {
        auto result = start(PLACEWIDE_PROGRAM, {only});
        EXPECT_EQ(result.status, 255) << only;
        EXPECT_EQ(result.out, "***Error [placewide]: Missing TA file to lay out\n");
        EXPECT_EQ(result.err, "placewide stopped: Quit #1\n");
    }
    EXPECT_TRUE(standIns.calls().empty());
    EXPECT_TRUE(workFiles().empty());
}

// A file that placewide's own stages or final copy write cannot be one of
// its inputs, by any name: refused before any stage runs, every file kept.
TEST_F(PlacewideRun, InputsThatTheRunWritesAreRefused)
{
    const Lines workNames = {"layout.tmp.01.addcontain.ta", "layout.tmp.02.addschema.ta",
                             "layout.tmp.03.layout.ta", "out.ls.ta"};
    for (const std::string &name : workNames) writeFile(work / name, "keep\n");
    writeFile(work / "m.ta", "m\n");
    fs::create_hard_link(work / "layout.tmp.03.layout.ta", work / "h.ta");
    fs::create_hard_link(work / "layout.tmp.02.addschema.ta", work / "h.contain.rsf");
    fs::create_symlink("out.ls.ta", work / "out.ls.ta.sch.ta");
    const Lines before = workFiles();
    const std::string workFile = "***Error [placewide]: Input file is one of this run's work or output "
                                 "files: '";
    const std::pair<Lines, std::string> cases[] = {
        {{"layout.tmp.02.addschema.ta"}, "layout.tmp.02.addschema.ta"},
        {{"./layout.tmp.01.addcontain.ta"}, "./layout.tmp.01.addcontain.ta"},
        {{"out.ls.ta"}, "out.ls.ta"},
        {{"h.ta"}, "h.ta"},
        {{"m.ta", "h.contain.rsf"}, "h.contain.rsf"},
        {{"m.ta", "out.ls.ta.sch.ta"}, "out.ls.ta.sch.ta"},
    };
    for (const auto &[arguments, refused] : cases) {
        auto result = start(PLACEWIDE_PROGRAM, arguments);
        EXPECT_EQ(result.status, 255) << refused;
        EXPECT_EQ(result.out, workFile + refused + "'\n");
        EXPECT_EQ(result.err, "placewide stopped: Quit #1\n");
        EXPECT_EQ(workFiles(), before) << refused;
        for (const std::string &file : workNames) {
            EXPECT_EQ(readFile(work / file), "keep\n") << refused << ": " << file;
        }
    }
    EXPECT_TRUE(standIns.calls().empty());
}

TEST_F(PlacewideRun, AFourthArgumentIsReportedAndTheLastTaFileLaidOut)
{
    usePipeline("placewide.pip", "newstage\n");
    for (const char *name : {"a.ta", "b.ta", "c.ta", "d.ta"}) {
        writeFile(work / name, name);
    }
    auto result = start(PLACEWIDE_PROGRAM, {"a.ta", "b.ta", "c.ta", "d.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "***Error [placewide]: Extra argument: 'd.ta'\n"
                          "***Running new stage: 'newstage'\n");
    EXPECT_EQ(readFile(work / "out.ls.ta"), "d.ta");
}

TEST_F(PlacewideRun, MissingPathCarriesThePrepTag)
{
    setup.environment["QUILLON_PATH"] = "";
    auto result = start(PLACEWIDE_PROGRAM, {"m.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error [prep]: Environment variable QUILLON_PATH not set\n");
}

// The final file of each driver in the fault table of every writing
// program. placewide's pipeline is empty, so that its result is its copy of
// the input; link and joinwide run one stage, whose stand-in is told to
// write nothing, so that the last stage file is the table's input. A run of
// link or joinwide that fails keeps its set file.
TEST(DriverWriteFaults, TheFinalFile)
{
    FaultRows rows;
    struct Driver {
        std::string program, name, lastStageFile, finalFile, setFile;
    };
    const Driver drivers[] = {
        {PLACEWIDE_PROGRAM, "placewide", "in.ta", "out.ls.ta", ""},
        {LINK_PROGRAM, "link", "out.tmp.01.rawlink.ta", "out.ls.ta", "out.tmp.1.rawlink.set"},
        {JOINWIDE_PROGRAM, "joinwide", "link.tmp.01.rawlink.ta", "out.ln.ta", "link.tmp.1.rawlink.set"},
    };
    for (const Driver &d : drivers) {
        SCOPED_TRACE(d.name);
        WritingProgram p = rows.program(d.program, factsOf(4000), d.lastStageFile, d.finalFile);
        p.namesItsOwnOutput = true;
        if (d.setFile.empty()) {
            p.arguments = [](const RunNames &) { return Lines{"in.ta"}; };
        } else {
            p.environment["STANDIN_FAIL"] = "rawlink=0";
            p.arguments = [](const RunNames &) { return Lines{"unit.ta"}; };
            p.leftByAStop = {{d.setFile, "unit.ta\n"}};
        }
        test_support::expectWriteFaultsHandled(finalCopyFaults(
            p, d.name, [d](const RunNames &) { return d.lastStageFile; },
            [d](const RunNames &) { return d.finalFile; }));
    }
}

}  // namespace
}  // namespace pipeline
