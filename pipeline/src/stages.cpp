#include "stages.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <system_error>

#include "input_file.h"
#include "names.h"
#include "output_file.h"

namespace pipeline {

namespace {

const StageSwitch *switchOf(const StageProfile &profile, const std::string &stage)
{
    for (const StageSwitch &entry : profile.switches) {
        if (entry.stage == stage) return &entry;
    }
    return nullptr;
}

bool isKnownStage(const StageProfile &profile, const std::string &stage)
{
    return std::find(profile.knownStages.begin(), profile.knownStages.end(), stage) !=
           profile.knownStages.end();
}

// The command of one stage, by the first rule that applies.
PlannedCommand stageCommand(const StageProfile &profile, const std::string &stage, const std::string &in,
                            const std::string &out)
{
    const StageSwitch *stageSwitch = switchOf(profile, stage);
    if (stageSwitch != nullptr && !stageSwitch->on) {
        return {.command = copyCommand(in, out)};
    }
    if (profile.takesExtraFiles) {
        if (stage == "addcontain") {
            if (profile.containRsf == noFile) return {.command = copyCommand(in, out)};
            return {.command = commandOf({stage, in, profile.containRsf, out})};
        }
        if (stage == "addschema") {
            if (profile.schemaTa == noFile) return {.command = commandOf({stage, in, out})};
            return {.command = commandOf({stage, in, out, profile.schemaTa})};
        }
    }
    if (profile.uniqueSuffix && stage == "unique") {
        return {.command = commandOf({stage, in, *profile.uniqueSuffix, out})};
    }
    PlannedCommand planned{.command = commandOf({stage, in, out})};
    if (profile.announcesNewStages && stageSwitch == nullptr && !isKnownStage(profile, stage)) {
        planned.notice = "***Running new stage: '" + stage + "'\n";
    }
    return planned;
}

// Cases that a plain copy to the final name decides itself, and decides
// with a failure that must stay: a name that reaches no file (a dangling
// link, which cp will not write through) and the very file that is copied
// (cp refuses to copy a file onto itself, where a new file beside it would
// let the copy succeed).
bool leftToTheCopy(const std::string &from, const std::string &to)
{
    struct stat target;
    if (lstat(to.c_str(), &target) != 0) return errno != ENOENT;
    if (stat(to.c_str(), &target) != 0) return true;
    struct stat source;
    return stat(from.c_str(), &source) == 0 && source.st_dev == target.st_dev &&
           source.st_ino == target.st_ino;
}

// Runs the final copy into a new file beside the final file, which takes
// the final name only once the copy ended well; shown and reported, the
// command names the final file.
bool copyWhole(const PlannedCommand &planned, std::ostream &messages)
{
    const std::string &finalFile = planned.command.arguments.back();
    OutputFile output;
    if (leftToTheCopy(planned.wholeCopy->from, finalFile) || !output.openBeside(finalFile))
        return command(planned.command, messages);
    Command copy = planned.command;
    copy.arguments.back() = output.newFileName();
    // On a failure the new file goes with output, the old final file stays.
    if (!command(copy, messages)) return false;
    if (output.commit()) return true;
    messages << "***Error [" << planned.wholeCopy->programName << "]:  Cannot write file: " << finalFile
             << '\n';
    return false;
}

}  // namespace

std::string pipelineFilePath(const std::string &quillonPath, const std::string &pipelineName)
{
    return quillonPath + "/lib/pipeline/" + pipelineName;
}

bool readStageNames(TokenInput &in, bool dropComments, std::vector<std::string> &stages)
{
    stages.clear();
    while (skipWhiteSpace(in)) {
        if (stages.size() == maxStages) return false;
        std::string token = readToken(in);
        if (dropComments && !token.empty() && token[0] == '%') continue;
        stages.push_back(std::move(token));
    }
    return true;
}

std::string installedQuillonPath(const std::filesystem::path &programFile)
{
    std::filesystem::path root = (programFile.parent_path() / QUILLON_INSTALLED_ROOT).lexically_normal();
    std::error_code error;
    if (!std::filesystem::is_directory(root / "lib" / "pipeline", error)) return {};
    return root.string();
}

std::string quillonPathOf(const char *fromEnvironment)
{
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return fromEnvironment;
    }
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : installedQuillonPath(program);
}

std::string missingPathMessage(std::string_view tag, bool saysWhatItLocates)
{
    std::string message = "***Error [";
    message += tag;
    message += "]: Environment variable QUILLON_PATH not set\n";
    if (saysWhatItLocates) message += "\tThis locates the library of sifter scripts\n";
    return message;
}

RunEnd readPipeline(const std::string &quillonPath, const std::string &pipelineName,
                    const std::string &missingPath, bool dropComments, std::vector<std::string> &stages,
                    std::ostream &messages)
{
    if (quillonPath.empty()) {
        messages << missingPath;
        return RunEnd::quit;
    }
    std::string path = pipelineFilePath(quillonPath, pipelineName);
    InputFile file;
    if (!file.open(path)) {
        messages << "*** [prep]: Cannot open pipeline file '" << path << "'\n";
        return RunEnd::quit;
    }
    TokenInput in{&file};
    if (!readStageNames(in, dropComments, stages)) return RunEnd::violatedLimit;
    if (file.readFailed()) {
        messages << "*** [prep]: Cannot read pipeline file '" << path << "'\n";
        return RunEnd::quit;
    }
    return RunEnd::done;
}

std::vector<std::string> stageFiles(const StageProfile &profile, const std::vector<std::string> &stages)
{
    std::vector<std::string> files{profile.chainInput};
    for (std::size_t i = 0; i < stages.size(); ++i) {
        files.push_back(tmpFileName(profile.prefix, static_cast<int>(i + 1), stages[i]));
    }
    return files;
}

std::vector<PlannedCommand> planStages(const StageProfile &profile, const std::vector<std::string> &stages)
{
    std::vector<std::string> files = stageFiles(profile, stages);
    std::vector<PlannedCommand> plan;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        plan.push_back(stageCommand(profile, stages[i], files[i], files[i + 1]));
    }
    plan.push_back({.command = copyCommand(files.back(), profile.finalFile),
                    .wholeCopy = WholeCopy{files.back(), profile.programName}});
    if (profile.fileToRemove) {
        plan.push_back({.command = removeCommand(*profile.fileToRemove)});
    }
    return plan;
}

RunEnd runPlan(const std::vector<PlannedCommand> &plan, std::ostream &messages)
{
    for (const PlannedCommand &planned : plan) {
        messages << planned.notice;
        bool ran = planned.wholeCopy ? copyWhole(planned, messages) : command(planned.command, messages);
        if (!ran) return RunEnd::quit;
    }
    return RunEnd::done;
}

}  // namespace pipeline
