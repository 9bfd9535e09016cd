#include "stages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sstream>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using pipeline_test::Lines;
using pipeline_test::readFile;
using pipeline_test::TempDir;
using pipeline_test::writeFile;
using pipeline_test::writePipelineFile;

std::vector<std::string> stageNamesOf(const std::string &text, bool dropComments, bool *complete)
{
    std::stringbuf buffer(text);
    TokenInput in{&buffer};
    std::vector<std::string> stages;
    *complete = readStageNames(in, dropComments, stages);
    return stages;
}

std::string names(int count, const char *stem)
{
    std::string text;
    for (int i = 1; i <= count; ++i) text += stem + std::to_string(i) + "\n";
    return text;
}

TEST(StageNames, AnyWhiteSpaceSeparatesNames)
{
    bool complete = false;
    EXPECT_EQ(stageNamesOf("a b\n\n\tc\fd\n", false, &complete),
              (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(complete);
    EXPECT_TRUE(stageNamesOf("  \n ", false, &complete).empty());
    EXPECT_TRUE(complete);
}

TEST(StageNames, CommentsAreDroppedOnlyWhenAsked)
{
    bool complete = false;
    EXPECT_EQ(stageNamesOf("%note a %two words", true, &complete), (std::vector<std::string>{"a", "words"}));
    EXPECT_EQ(stageNamesOf("%note a", false, &complete), (std::vector<std::string>{"%note", "a"}));
}

TEST(StageNames, ThirtyNamesFitAndAThirtyFirstTokenIsTooMany)
{
    bool complete = false;
    EXPECT_EQ(stageNamesOf(names(30, "s"), false, &complete).size(), 30u);
    EXPECT_TRUE(complete);
    stageNamesOf(names(31, "s"), false, &complete);
    EXPECT_FALSE(complete);
    // A comment after the thirtieth name counts too.
    stageNamesOf(names(30, "s") + "%end\n", true, &complete);
    EXPECT_FALSE(complete);
    stageNamesOf("%start\n" + names(30, "s"), true, &complete);
    EXPECT_TRUE(complete);
}

TEST(ReadPipeline, StopsOnAMissingPathOrFile)
{
    const std::string missing = "path not set\n";
    std::vector<std::string> stages;
    {
        std::ostringstream messages;
        EXPECT_EQ(readPipeline("", "link.pip", missing, false, stages, messages), RunEnd::quit);
        EXPECT_EQ(messages.str(), missing);
    }
    TempDir dir;
    std::ostringstream messages;
    EXPECT_EQ(readPipeline(dir.path(), "link.pip", missing, false, stages, messages), RunEnd::quit);
    EXPECT_EQ(messages.str(),
              "*** [prep]: Cannot open pipeline file '" + dir.path().string() + "/lib/pipeline/link.pip'\n");
}

TEST(ReadPipeline, ReadsTheStagesOrStopsOnTooMany)
{
    TempDir dir;
    writePipelineFile(dir.path(), "prep.pip", "%c liftunit\nunique\n");
    std::vector<std::string> stages;
    std::ostringstream messages;
    EXPECT_EQ(readPipeline(dir.path(), "prep.pip", "", true, stages, messages), RunEnd::done);
    EXPECT_EQ(stages, (std::vector<std::string>{"liftunit", "unique"}));
    writePipelineFile(dir.path(), "prep.pip", names(31, "s"));
    EXPECT_EQ(readPipeline(dir.path(), "prep.pip", "", true, stages, messages), RunEnd::violatedLimit);
    EXPECT_EQ(messages.str(), "");
}

TEST(QuillonPath, TheEnvironmentFirstThenTheInstalledFiles)
{
    EXPECT_EQ(quillonPathOf("/env"), "/env");
    // The test program lies in a build tree, where nothing is installed.
    EXPECT_EQ(quillonPathOf(""), "");
    EXPECT_EQ(quillonPathOf(nullptr), "");

    TempDir prefix;
    const std::filesystem::path program = prefix / "bin" / "link";
    EXPECT_EQ(installedQuillonPath(program), "");
    std::filesystem::create_directories(prefix / "share" / "quillon" / "lib");
    EXPECT_EQ(installedQuillonPath(program), "");
    std::filesystem::create_directories(prefix / "share/quillon/lib/pipeline");
    EXPECT_EQ(installedQuillonPath(program), (prefix / "share" / "quillon").string());
}

TEST(QuillonPath, MissingPathMessages)
{
    EXPECT_EQ(missingPathMessage("prep", false),
              "***Error [prep]: Environment variable QUILLON_PATH not set\n");
    EXPECT_EQ(missingPathMessage("joinwide", false),
              "***Error [joinwide]: Environment variable QUILLON_PATH not set\n");
    EXPECT_EQ(missingPathMessage("prep", true), "***Error [prep]: Environment variable QUILLON_PATH not set\n"
                                                "\tThis locates the library of sifter scripts\n");
}

// The plan as text: each notice, then each command's shown text.
std::vector<std::string> shown(const std::vector<PlannedCommand> &plan)
{
    std::vector<std::string> lines;
    for (const PlannedCommand &planned : plan) {
        if (!planned.notice.empty()) lines.push_back(planned.notice);
        lines.push_back(planned.command.text);
    }
    return lines;
}

StageProfile linkLikeProfile()
{
    StageProfile profile;
    profile.prefix = "out";
    profile.chainInput = "set";
    profile.finalFile = "final.ta";
    profile.switches = {{"twinfold", false}, {"liftobj", true}};
    profile.knownStages = {"rawlink"};
    profile.announcesNewStages = true;
    profile.takesExtraFiles = true;
    profile.fileToRemove = "set";
    return profile;
}

TEST(PlanStages, EachRuleOfTheStageCommands)
{
    StageProfile profile = linkLikeProfile();
    std::vector<std::string> stages = {"rawlink", "twinfold", "liftobj", "addcontain", "addschema", "other"};
    EXPECT_EQ(shown(planStages(profile, stages)),
              (std::vector<std::string>{
                  "rawlink set out.tmp.01.rawlink.ta",
                  "cp out.tmp.01.rawlink.ta out.tmp.02.twinfold.ta",
                  "liftobj out.tmp.02.twinfold.ta out.tmp.03.liftobj.ta",
                  "cp out.tmp.03.liftobj.ta out.tmp.04.addcontain.ta",
                  "addschema out.tmp.04.addcontain.ta out.tmp.05.addschema.ta",
                  "***Running new stage: 'other'\n",
                  "other out.tmp.05.addschema.ta out.tmp.06.other.ta",
                  "cp out.tmp.06.other.ta final.ta",
                  "rm set",
              }));

    profile.containRsf = "n.contain.rsf";
    profile.schemaTa = "s.sch.ta";
    std::vector<PlannedCommand> plan = planStages(profile, {"addcontain", "addschema"});
    EXPECT_EQ(shown(plan), (std::vector<std::string>{
                               "addcontain set n.contain.rsf out.tmp.01.addcontain.ta",
                               "addschema out.tmp.01.addcontain.ta out.tmp.02.addschema.ta "
                               "s.sch.ta",
                               "cp out.tmp.02.addschema.ta final.ta",
                               "rm set",
                           }));
    ASSERT_TRUE(plan[2].finalCopy);
    EXPECT_EQ(plan[2].finalCopy->from, "out.tmp.02.addschema.ta");
    EXPECT_EQ(plan[2].finalCopy->to, "final.ta");
    EXPECT_TRUE(plan[2].command.arguments.empty());
}

TEST(PlanStages, WithoutExtraFilesAddcontainIsANewStage)
{
    StageProfile profile = linkLikeProfile();
    profile.takesExtraFiles = false;
    profile.fileToRemove.reset();
    EXPECT_EQ(shown(planStages(profile, {"addcontain"})), (std::vector<std::string>{
                                                              "***Running new stage: 'addcontain'\n",
                                                              "addcontain set out.tmp.01.addcontain.ta",
                                                              "cp out.tmp.01.addcontain.ta final.ta",
                                                          }));
}

TEST(PlanStages, UniqueGetsItsSuffixAndAnEmptyPipelineCopiesTheInput)
{
    StageProfile profile;
    profile.prefix = "foo";
    profile.chainInput = "foo.ta";
    profile.finalFile = "foo.o.ta";
    profile.switches = {{"unique", true}};
    profile.uniqueSuffix = ".foo";
    EXPECT_EQ(shown(planStages(profile, {"unique"})),
              (std::vector<std::string>{"unique foo.ta .foo foo.tmp.01.unique.ta",
                                        "cp foo.tmp.01.unique.ta foo.o.ta"}));
    EXPECT_EQ(shown(planStages(profile, {})), (std::vector<std::string>{"cp foo.ta foo.o.ta"}));
}

TEST(RunPlan, StopsAtTheFirstFailingCommand)
{
    TempDir dir;
    std::string made = (dir / "made").string();
    std::vector<PlannedCommand> plan = {
        {"first\n", commandOf({"true"})},
        {"", commandOf({"sh", "-c", "exit 3"})},
        {"", commandOf({"touch", made})},
    };
    std::ostringstream messages;
    EXPECT_EQ(runPlan(plan, messages), RunEnd::quit);
    EXPECT_EQ(messages.str(), "first\n***Error: Return code: 768 from: 'sh -c exit 3'\n");
    EXPECT_FALSE(std::filesystem::exists(made));
}

// Every file under a folder, dot files included, as paths relative to it.
Lines filesUnder(const std::filesystem::path &folder)
{
    Lines files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
        files.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The driver makes the final copy itself, as "cp from to" would, and the
// final file takes it only once it is whole. A copy that fails says why,
// then gives the return-code message of a failed cp, and leaves the final
// file as it was and nothing beside it.
TEST(RunPlan, TheFinalCopyIsWholeOrNotMadeAtAll)
{
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string result = "result\n";
    struct Case {
        std::string what;
        std::function<void(const fs::path &)> prepare;
        std::string from, to;  // in dir
        std::string why;       // the message before the return code; empty: the copy is made
        std::string written;   // the file that holds the copy, in dir
        unsigned mode;         // and its permission bits
    };
    const unsigned newMode = 0666 & ~[] {
        mode_t mask = umask(0);
        umask(mask);
        return mask;
    }();
    const std::string error = "***Error [test]:  ";
    const Case cases[] = {
        {"a new final file", [](const fs::path &) {}, "last.ta", "final.ta", "", "final.ta", newMode},
        {"over a final file, whose bits stay",
         [](const fs::path &d) {
             writeFile(d / "final.ta", "old\n");
             chmod((d / "final.ta").c_str(), 0640);
         },
         "last.ta", "final.ta", "", "final.ta", 0640},
        {"into a folder, under the name copied", [](const fs::path &d) { fs::create_directory(d / "out"); },
         "last.ta", "out", "", "out/last.ta", newMode},
        {"through a link to a file not made yet",
         [](const fs::path &d) { fs::create_symlink("later.ta", d / "link"); }, "last.ta", "link", "",
         "later.ta", newMode},
        {"onto the file copied",
         [](const fs::path &d) { fs::create_hard_link(d / "last.ta", d / "twin.ta"); }, "last.ta", "twin.ta",
         error + "Cannot copy a file onto itself: " + (dir / "twin.ta").string(), "", 0},
        {"into a folder that is not there", [](const fs::path &) {}, "last.ta", "no/final.ta",
         error + "Cannot open file: " + (dir / "no/final.ta").string() + ": the folder " +
             (dir / "no").string() + " cannot take a new file: No such file or directory",
         "", 0},
        {"from a file that is not there", [](const fs::path &) {}, "absent.ta", "final.ta",
         error + "Cannot read file: " + (dir / "absent.ta").string() + ": No such file or directory", "", 0},
        {"from a file that cannot be read",
         [](const fs::path &d) { fs::create_symlink("/proc/self/mem", d / "mem.ta"); }, "mem.ta", "final.ta",
         error + "Cannot read file: " + (dir / "mem.ta").string() + ": Input/output error", "", 0},
        {"to a full device", [](const fs::path &) {}, "last.ta", "/dev/full",
         error + "Cannot write file: /dev/full: No space left on device", "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto &entry : fs::directory_iterator(dir.path())) fs::remove_all(entry.path());
        writeFile(dir / "last.ta", result);
        c.prepare(dir.path());
        const Lines before = filesUnder(dir.path());
        const std::string from = (dir / c.from).string();
        const std::string to = c.to.starts_with("/") ? c.to : (dir / c.to).string();
        const std::string text = "cp " + from + " " + to;
        std::vector<PlannedCommand> plan = {
            {.command = {.text = text}, .finalCopy = FinalCopy{from, to, "test"}}};
        std::ostringstream messages;
        const RunEnd end = runPlan(plan, messages);
        if (c.why.empty()) {
            EXPECT_EQ(end, RunEnd::done);
            EXPECT_EQ(messages.str(), "");
            EXPECT_EQ(readFile(dir / c.written), result);
            struct stat status;
            ASSERT_EQ(stat((dir / c.written).c_str(), &status), 0);
            EXPECT_EQ(status.st_mode & 07777, c.mode);
            Lines after = before;
            if (std::find(after.begin(), after.end(), c.written) == after.end()) after.push_back(c.written);
            std::sort(after.begin(), after.end());
            EXPECT_EQ(filesUnder(dir.path()), after);
        } else {
            EXPECT_EQ(end, RunEnd::quit);
            EXPECT_EQ(messages.str(), c.why + "\n***Error: Return code: 256 from: '" + text + "'\n");
            EXPECT_EQ(filesUnder(dir.path()), before);
            EXPECT_EQ(readFile(dir / "last.ta"), result);
        }
    }
}

using FinalCopyRun = pipeline_test::DriverTest;

// Each driver's final copy, over an existing final file: a copy that fails
// (a write past the size limit fails) or is killed (by the limit's signal)
// leaves the old final file byte for byte and no new file; a copy that ends
// well replaces it. Each pipeline has one stage, told to write nothing (its
// stand-in ends 0 at once), so that the file copied is the test's own,
// larger than the limit, and only the copy meets the limit.
TEST_F(FinalCopyRun, AFailedOrKilledCopyLeavesTheOldFinalFile)
{
    struct Driver {
        std::string program;
        std::string name;
        std::string pipelineFile;
        std::string stage;
        std::vector<std::string> arguments;
        std::string lastStageFile;
        std::string finalFile;
        std::string setFile;  // empty: none
    };
    const Driver drivers[] = {
        {PREP_PROGRAM, "prep", "prep.pip", "unique", {"a.ta"}, "a.tmp.01.unique.ta", "a.o.ta", ""},
        {PREP_PROGRAM,
         "prep",
         "prep.pip",
         "unique",
         {"a.ta", "d/named.ta"},
         "a.tmp.01.unique.ta",
         "d/named.ta",
         ""},
        {LINK_PROGRAM,
         "link",
         "link.pip",
         "rawlink",
         {"a.ta"},
         "out.tmp.01.rawlink.ta",
         "out.ls.ta",
         "out.tmp.1.rawlink.set"},
        {JOINWIDE_PROGRAM,
         "joinwide",
         "joinwide.pip",
         "rawlink",
         {"a.ta"},
         "link.tmp.01.rawlink.ta",
         "out.ln.ta",
         "link.tmp.1.rawlink.set"},
        {PLACEWIDE_PROGRAM,
         "placewide",
         "placewide.pip",
         "layout",
         {"a.ta"},
         "layout.tmp.01.layout.ta",
         "out.ls.ta",
         ""},
    };
    enum class Fault { none, writeError, killed };
    const std::string input = "input facts\n";
    const std::string oldFinal = "old final\n";
    const std::string result(100000, 'r');
    int number = 0;
    for (const Driver &d : drivers) {
        for (Fault fault : {Fault::none, Fault::writeError, Fault::killed}) {
            std::string name = "case " + std::to_string(number) + ": " + d.name + " to " + d.finalFile;
            const std::filesystem::path dir = work / std::to_string(number++);
            std::filesystem::create_directories(dir / "d");
            writeFile(dir / "a.ta", input);
            writeFile(dir / d.lastStageFile, result);
            writeFile(dir / d.finalFile, oldFinal);
            usePipeline(d.pipelineFile, d.stage + "\n");
            setup.directory = dir;
            setup.environment["STANDIN_FAIL"] = d.stage + "=0";
            setup.fileSizeLimit.reset();
            if (fault != Fault::none) setup.fileSizeLimit = 8192;
            setup.ignoreFileSizeSignal = fault == Fault::writeError;

            auto run = start(d.program, d.arguments);
            Lines files = {"a.ta", "d", d.lastStageFile, d.finalFile};
            const std::string stopReport = d.name + " stopped: Quit #1\n";
            const std::string shown = "cp " + d.lastStageFile + " " + d.finalFile;
            switch (fault) {
            case Fault::none:
                EXPECT_EQ(run.status, 0) << name;
                EXPECT_EQ(run.out, "") << name;
                EXPECT_EQ(run.err, "") << name;
                EXPECT_TRUE(readFile(dir / d.finalFile) == result) << name;
                break;
            case Fault::writeError:
                EXPECT_EQ(run.status, 255) << name;
                EXPECT_EQ(run.out, "***Error [" + d.name + "]:  Cannot write file: " + d.finalFile +
                                       ": File too large\n***Error: Return code: 256 from: '" + shown + "'\n")
                    << name;
                EXPECT_EQ(run.err, stopReport) << name;
                EXPECT_EQ(readFile(dir / d.finalFile), oldFinal) << name;
                break;
            case Fault::killed:
                EXPECT_EQ(run.signal, SIGXFSZ) << name;
                EXPECT_EQ(run.out, "") << name;
                EXPECT_EQ(run.err, "") << name;
                EXPECT_EQ(readFile(dir / d.finalFile), oldFinal) << name;
                break;
            }
            // The set file is removed only after a final copy that ended well.
            if (!d.setFile.empty() && fault != Fault::none) files.push_back(d.setFile);
            std::sort(files.begin(), files.end());
            EXPECT_EQ(filesUnder(dir), files) << name;
            EXPECT_EQ(readFile(dir / "a.ta"), input) << name;
            EXPECT_TRUE(readFile(dir / d.lastStageFile) == result) << name;
        }
    }
}

// prep's final copy does what "cp" does with its two names: onto the file it
// copies (by any name) it refuses, a folder takes the copy under the name of
// the file copied, a link to a file not made yet makes that file, and a
// device is written.
TEST_F(FinalCopyRun, WhatCpWouldDoWithTheTwoNames)
{
    namespace fs = std::filesystem;
    const std::string input = "input facts\n";
    struct Case {
        std::string what;
        std::string pipeline;
        std::vector<std::string> arguments;
        std::function<void(const fs::path &)> prepare;
        std::string failedCopy;  // the copy's shown text; empty: the run ends 0
        Lines files;
        std::string target = {};  // the name the refusal gives
    };
    const Case cases[] = {
        {"the output is the input",
         "",
         {"a.ta", "a.ta"},
         [](const fs::path &) {},
         "cp a.ta a.ta",
         {"a.ta"},
         "a.ta"},
        {"the output is a hard link to the input",
         "",
         {"a.ta", "twin.ta"},
         [](const fs::path &dir) { fs::create_hard_link(dir / "a.ta", dir / "twin.ta"); },
         "cp a.ta twin.ta",
         {"a.ta", "twin.ta"},
         "twin.ta"},
        {"the output is the last stage file",
         "unique\n",
         {"a.ta", "a.tmp.01.unique.ta"},
         [](const fs::path &) {},
         "cp a.tmp.01.unique.ta a.tmp.01.unique.ta",
         {"a.ta", "a.tmp.01.unique.ta"},
         "a.tmp.01.unique.ta"},
        {"the output is a dangling link",
         "",
         {"a.ta", "dangling.ta"},
         [](const fs::path &dir) { fs::create_symlink("later.ta", dir / "dangling.ta"); },
         "",
         {"a.ta", "dangling.ta", "later.ta"}},
        {"the output is a folder",
         "",
         {"a.ta", "folder.ta"},
         [](const fs::path &dir) { fs::create_directory(dir / "folder.ta"); },
         "",
         {"a.ta", "folder.ta", "folder.ta/a.ta"}},
        {"the output is a link to a device",
         "",
         {"a.ta", "null.ta"},
         [](const fs::path &dir) { fs::create_symlink("/dev/null", dir / "null.ta"); },
         "",
         {"a.ta", "null.ta"}},
    };
    int number = 0;
    for (const Case &c : cases) {
        const fs::path dir = work / std::to_string(number++);
        fs::create_directory(dir);
        writeFile(dir / "a.ta", input);
        c.prepare(dir);
        usePipeline("prep.pip", c.pipeline);
        setup.directory = dir;
        auto run = start(PREP_PROGRAM, c.arguments);
        if (c.failedCopy.empty()) {
            EXPECT_EQ(run.status, 0) << c.what;
            EXPECT_EQ(run.out, "") << c.what;
        } else {
            EXPECT_EQ(run.status, 255) << c.what;
            EXPECT_EQ(run.out, "***Error [prep]:  Cannot copy a file onto itself: " + c.target +
                                   "\n***Error: Return code: 256 from: '" + c.failedCopy + "'\n")
                << c.what;
            EXPECT_EQ(run.err, "prep stopped: Quit #1\n") << c.what;
        }
        EXPECT_EQ(filesUnder(dir), c.files) << c.what;
        EXPECT_EQ(readFile(dir / "a.ta"), input) << c.what;
    }
    EXPECT_EQ(fs::read_symlink(work / "3" / "dangling.ta"), "later.ta");
    EXPECT_EQ(readFile(work / "3" / "later.ta"), input);
    EXPECT_EQ(readFile(work / "4" / "folder.ta" / "a.ta"), input);
}

}  // namespace
}  // namespace pipeline

namespace pipeline {
namespace {

TEST(PlanStages, ThirtyStagesAreNumberedUpToThirty)
{
    StageProfile profile;
    profile.prefix = "out";
    profile.chainInput = "in";
    profile.finalFile = "final";
    std::vector<std::string> stages;
    for (int i = 1; i <= 30; ++i) stages.push_back("s" + std::to_string(i));
    std::vector<std::string> files = stageFiles(profile, stages);
    ASSERT_EQ(files.size(), 31u);
    EXPECT_EQ(files[0], "in");
    EXPECT_EQ(files[9], "out.tmp.09.s9.ta");
    EXPECT_EQ(files[10], "out.tmp.10.s10.ta");
    EXPECT_EQ(files[30], "out.tmp.30.s30.ta");
    std::vector<PlannedCommand> plan = planStages(profile, stages);
    ASSERT_EQ(plan.size(), 31u);
    EXPECT_EQ(plan[29].command.text, "s30 out.tmp.29.s29.ta out.tmp.30.s30.ta");
    EXPECT_EQ(plan[30].command.text, "cp out.tmp.30.s30.ta final");
}

}  // namespace
}  // namespace pipeline
