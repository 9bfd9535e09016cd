#include "stages.hpp"

#include <algorithm>
#include <fstream>
#include <ostream>

#include "names.hpp"

namespace pipeline {

namespace {

const StageSwitch* switchOf(const StageProfile& profile,
                            const std::string& stage) {
  for (const StageSwitch& entry : profile.switches) {
    if (entry.stage == stage) return &entry;
  }
  return nullptr;
}

bool isKnownStage(const StageProfile& profile, const std::string& stage) {
  return std::find(profile.knownStages.begin(), profile.knownStages.end(),
                   stage) != profile.knownStages.end();
}

// The command of one stage, by the first rule that applies.
PlannedCommand stageCommand(const StageProfile& profile,
                            const std::string& stage, const std::string& in,
                            const std::string& out) {
  const StageSwitch* stageSwitch = switchOf(profile, stage);
  if (stageSwitch != nullptr && !stageSwitch->on) {
    return {"", copyCommand(in, out)};
  }
  if (profile.takesExtraFiles) {
    if (stage == "addcontain") {
      if (profile.containRsf == noFile) return {"", copyCommand(in, out)};
      return {"", commandOf({stage, in, profile.containRsf, out})};
    }
    if (stage == "addschema") {
      if (profile.schemaTa == noFile) return {"", commandOf({stage, in, out})};
      return {"", commandOf({stage, in, out, profile.schemaTa})};
    }
  }
  if (profile.uniqueSuffix && stage == "unique") {
    return {"", commandOf({stage, in, *profile.uniqueSuffix, out})};
  }
  PlannedCommand planned{"", commandOf({stage, in, out})};
  if (profile.announcesNewStages && stageSwitch == nullptr &&
      !isKnownStage(profile, stage)) {
    planned.notice = "***Running new stage: '" + stage + "'\n";
  }
  return planned;
}

}  // namespace

std::string pipelineFilePath(const std::string& quillonPath,
                             const std::string& pipelineName) {
  return quillonPath + "/lib/pipeline/" + pipelineName;
}

bool readStageNames(TokenInput& in, bool dropComments,
                    std::vector<std::string>& stages) {
  stages.clear();
  while (skipWhiteSpace(in)) {
    if (stages.size() == maxStages) return false;
    std::string token = readToken(in);
    if (dropComments && !token.empty() && token[0] == '%') continue;
    stages.push_back(std::move(token));
  }
  return true;
}

std::optional<Outcome> readPipeline(const char* quillonPath,
                                    const std::string& pipelineName,
                                    const std::string& missingPathMessage,
                                    bool dropComments,
                                    std::vector<std::string>& stages,
                                    std::ostream& messages) {
  if (quillonPath == nullptr || *quillonPath == '\0') {
    messages << missingPathMessage;
    return Outcome::quit;
  }
  std::string path = pipelineFilePath(quillonPath, pipelineName);
  std::filebuf file;
  if (file.open(path, std::ios::in) == nullptr) {
    messages << "*** [prep]: Cannot open pipeline file '" << path << "'\n";
    return Outcome::quit;
  }
  TokenInput in{&file};
  if (!readStageNames(in, dropComments, stages)) return Outcome::violatedLimit;
  return std::nullopt;
}

std::vector<std::string> stageFiles(const StageProfile& profile,
                                    const std::vector<std::string>& stages) {
  std::vector<std::string> files{profile.chainInput};
  for (std::size_t i = 0; i < stages.size(); ++i) {
    files.push_back(
        tmpFileName(profile.prefix, static_cast<int>(i + 1), stages[i]));
  }
  return files;
}

std::vector<PlannedCommand> planStages(const StageProfile& profile,
                                       const std::vector<std::string>& stages) {
  std::vector<std::string> files = stageFiles(profile, stages);
  std::vector<PlannedCommand> plan;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    plan.push_back(stageCommand(profile, stages[i], files[i], files[i + 1]));
  }
  plan.push_back({"", copyCommand(files.back(), profile.finalFile)});
  if (profile.fileToRemove) {
    plan.push_back({"", removeCommand(*profile.fileToRemove)});
  }
  return plan;
}

Outcome runPlan(const std::vector<PlannedCommand>& plan,
                std::ostream& messages) {
  for (const PlannedCommand& planned : plan) {
    messages << planned.notice;
    if (!command(planned.command, messages)) return Outcome::quit;
  }
  return Outcome::done;
}

}  // namespace pipeline
