#include "stages.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <system_error>

#include "file_buffers.h"
#include "names.h"
#include "support/file_names.h"
#include "support/output_file.h"

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

// The wait status of a "cp" that failed: exit code 1.
constexpr int failedCopyStatus = 1 << 8;

// What "cp from to" writes: a folder named to takes a file named as from.
std::string copyTarget(const FinalCopy &copy)
{
    struct stat status;
    if (stat(copy.to.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return copy.to + "/" + support::nameOf(copy.from);
    return copy.to;
}

// Copies the last stage file into the final file, which takes its place
// once the copy is whole. Empty when it did; else the driver's words for
// what failed.
std::string copyToFinalFile(const FinalCopy &copy)
{
    const std::string error = "***Error [" + copy.programName + "]:  ";
    const std::string target = copyTarget(copy);
    if (support::sameFile(copy.from, target)) return error + "Cannot copy a file onto itself: " + target;
    support::OutputFile out;
    if (!out.open(target)) {
        std::string why = out.failure().folderReason();
        if (why.empty()) why = std::strerror(out.failure().error);
        return error + "Cannot open file: " + target + ": " + why;
    }
    int readError = 0;
    const bool copied = support::copyFileInto(copy.from, out, readError);
    if (!copied && readError != 0) {
        out.discard();
        return error + "Cannot read file: " + copy.from + ": " + std::strerror(readError);
    }
    if (!copied || !out.keep()) {
        out.discard();
        return error + "Cannot write file: " + target + ": " + std::strerror(out.failure().error);
    }
    return {};
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
    InputBuffer file;
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
    // The driver copies itself; the command shown is the "cp" it stands for.
    plan.push_back({.command = {.text = copyCommand(files.back(), profile.finalFile).text},
                    .finalCopy = FinalCopy{files.back(), profile.finalFile, profile.programName}});
    if (profile.fileToRemove) {
        plan.push_back({.command = removeCommand(*profile.fileToRemove)});
    }
    return plan;
}

RunEnd runPlan(const std::vector<PlannedCommand> &plan, std::ostream &messages)
{
    for (const PlannedCommand &planned : plan) {
        messages << planned.notice;
        if (planned.finalCopy) {
            const std::string failed = copyToFinalFile(*planned.finalCopy);
            if (failed.empty()) continue;
            messages << failed << '\n' << returnCodeMessage(failedCopyStatus, planned.command.text);
            return RunEnd::quit;
        }
        if (!command(planned.command, messages)) return RunEnd::quit;
    }
    return RunEnd::done;
}

}  // namespace pipeline
