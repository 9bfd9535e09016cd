#include "stages.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using pipeline_test::TempDir;
using pipeline_test::writePipelineFile;

std::vector<std::string> stageNamesOf(const std::string& text,
                                      bool dropComments, bool* complete) {
  std::stringbuf buffer(text);
  TokenInput in{&buffer};
  std::vector<std::string> stages;
  *complete = readStageNames(in, dropComments, stages);
  return stages;
}

std::string names(int count, const char* stem) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += stem + std::to_string(i) + "\n";
  return text;
}

TEST(StageNames, AnyWhiteSpaceSeparatesNames) {
  bool complete = false;
  EXPECT_EQ(stageNamesOf("a b\n\n\tc\fd\n", false, &complete),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_TRUE(complete);
  EXPECT_TRUE(stageNamesOf("  \n ", false, &complete).empty());
  EXPECT_TRUE(complete);
}

TEST(StageNames, CommentsAreDroppedOnlyWhenAsked) {
  bool complete = false;
  EXPECT_EQ(stageNamesOf("%note a %two words", true, &complete),
            (std::vector<std::string>{"a", "words"}));
  EXPECT_EQ(stageNamesOf("%note a", false, &complete),
            (std::vector<std::string>{"%note", "a"}));
}

TEST(StageNames, ThirtyNamesFitAndAThirtyFirstTokenIsTooMany) {
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

TEST(ReadPipeline, StopsOnAMissingPathOrFile) {
  const std::string missing = "path not set\n";
  std::vector<std::string> stages;
  {
    std::ostringstream messages;
    EXPECT_EQ(readPipeline("", "link.pip", missing, false, stages, messages),
              RunEnd::quit);
    EXPECT_EQ(messages.str(), missing);
  }
  TempDir dir;
  std::ostringstream messages;
  EXPECT_EQ(
      readPipeline(dir.path(), "link.pip", missing, false, stages, messages),
      RunEnd::quit);
  EXPECT_EQ(messages.str(), "*** [prep]: Cannot open pipeline file '" +
                                dir.path().string() +
                                "/lib/pipeline/link.pip'\n");
}

TEST(ReadPipeline, ReadsTheStagesOrStopsOnTooMany) {
  TempDir dir;
  writePipelineFile(dir.path(), "prep.pip", "%c liftunit\nunique\n");
  std::vector<std::string> stages;
  std::ostringstream messages;
  EXPECT_EQ(readPipeline(dir.path(), "prep.pip", "", true, stages, messages),
            RunEnd::done);
  EXPECT_EQ(stages, (std::vector<std::string>{"liftunit", "unique"}));
  writePipelineFile(dir.path(), "prep.pip", names(31, "s"));
  EXPECT_EQ(readPipeline(dir.path(), "prep.pip", "", true, stages, messages),
            RunEnd::violatedLimit);
  EXPECT_EQ(messages.str(), "");
}

TEST(QuillonPath, TheEnvironmentFirstThenTheInstalledFiles) {
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
  EXPECT_EQ(installedQuillonPath(program),
            (prefix / "share" / "quillon").string());
}

TEST(QuillonPath, MissingPathMessages) {
  EXPECT_EQ(missingPathMessage("prep", false),
            "***Error [prep]: Environment variable QUILLON_PATH not set\n");
  EXPECT_EQ(missingPathMessage("joinwide", false),
            "***Error [joinwide]: Environment variable QUILLON_PATH not set\n");
  EXPECT_EQ(missingPathMessage("prep", true),
            "***Error [prep]: Environment variable QUILLON_PATH not set\n"
            "\tThis locates the library of sifter scripts\n");
}

// The plan as text: each notice, then each command's shown text.
std::vector<std::string> shown(const std::vector<PlannedCommand>& plan) {
  std::vector<std::string> lines;
  for (const PlannedCommand& planned : plan) {
    if (!planned.notice.empty()) lines.push_back(planned.notice);
    lines.push_back(planned.command.text);
  }
  return lines;
}

StageProfile linkLikeProfile() {
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

TEST(PlanStages, EachRuleOfTheStageCommands) {
  StageProfile profile = linkLikeProfile();
  std::vector<std::string> stages = {"rawlink",    "twinfold",  "liftobj",
                                     "addcontain", "addschema", "other"};
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
  std::vector<PlannedCommand> plan =
      planStages(profile, {"addcontain", "addschema"});
  EXPECT_EQ(shown(plan),
            (std::vector<std::string>{
                "addcontain set n.contain.rsf out.tmp.01.addcontain.ta",
                "addschema out.tmp.01.addcontain.ta out.tmp.02.addschema.ta "
                "s.sch.ta",
                "cp out.tmp.02.addschema.ta final.ta",
                "rm set",
            }));
  EXPECT_EQ(plan[2].command.arguments,
            (std::vector<std::string>{"cp", "--", "out.tmp.02.addschema.ta",
                                      "final.ta"}));
}

TEST(PlanStages, WithoutExtraFilesAddcontainIsANewStage) {
  StageProfile profile = linkLikeProfile();
  profile.takesExtraFiles = false;
  profile.fileToRemove.reset();
  EXPECT_EQ(shown(planStages(profile, {"addcontain"})),
            (std::vector<std::string>{
                "***Running new stage: 'addcontain'\n",
                "addcontain set out.tmp.01.addcontain.ta",
                "cp out.tmp.01.addcontain.ta final.ta",
            }));
}

TEST(PlanStages, UniqueGetsItsSuffixAndAnEmptyPipelineCopiesTheInput) {
  StageProfile profile;
  profile.prefix = "foo";
  profile.chainInput = "foo.ta";
  profile.finalFile = "foo.o.ta";
  profile.switches = {{"unique", true}};
  profile.uniqueSuffix = ".foo";
  EXPECT_EQ(shown(planStages(profile, {"unique"})),
            (std::vector<std::string>{"unique foo.ta .foo foo.tmp.01.unique.ta",
                                      "cp foo.tmp.01.unique.ta foo.o.ta"}));
  EXPECT_EQ(shown(planStages(profile, {})),
            (std::vector<std::string>{"cp foo.ta foo.o.ta"}));
}

TEST(RunPlan, StopsAtTheFirstFailingCommand) {
  TempDir dir;
  std::string made = (dir / "made").string();
  std::vector<PlannedCommand> plan = {
      {"first\n", commandOf({"true"})},
      {"", commandOf({"sh", "-c", "exit 3"})},
      {"", commandOf({"touch", made})},
  };
  std::ostringstream messages;
  EXPECT_EQ(runPlan(plan, messages), RunEnd::quit);
  EXPECT_EQ(messages.str(),
            "first\n***Error: Return code: 768 from: 'sh -c exit 3'\n");
  EXPECT_FALSE(std::filesystem::exists(made));
}

}  // namespace
}  // namespace pipeline

namespace pipeline {
namespace {

TEST(PlanStages, ThirtyStagesAreNumberedUpToThirty) {
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
