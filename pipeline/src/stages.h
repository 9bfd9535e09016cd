#pragma once
// Pipeline files and the stage runner: the stage names of a driver's
// pipeline file become a chain of commands, stage i reading the file that
// stage i - 1 wrote, and the last stage file is copied to the final file.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "frame.h"
#include "tokens.h"

namespace pipeline {

// Stage numbers are written with two digits in the stage file names.
inline constexpr std::size_t maxStages = 30;

// Names a missing containment or schema file or input file.
inline constexpr const char *noFile = "NONE";

// $QUILLON_PATH/lib/pipeline/<pipelineName>.
std::string pipelineFilePath(const std::string &quillonPath, const std::string &pipelineName);

// The folder that holds lib/pipeline/ of an installed toolkit whose program
// is programFile: share/quillon beside the program's bin folder, so that a
// moved installation still finds its pipeline files. Empty when there is
// none.
std::string installedQuillonPath(const std::filesystem::path &programFile);

// Where a driver looks for its pipeline file: QUILLON_PATH (given as its
// value, null when unset) when it is set and not empty, else the installed
// pipeline files beside the running program. Empty when neither is there.
std::string quillonPathOf(const char *fromEnvironment);

// The driver's message when QUILLON_PATH is not set: tag is the name in its
// brackets; prep also says what the variable locates.
std::string missingPathMessage(std::string_view tag, bool saysWhatItLocates);

// Reads the stage names of a pipeline file. With dropComments (prep), a
// token beginning with "%" is dropped. Gives false when a thirty-first
// token follows the thirtieth stage name (a comment included).
bool readStageNames(TokenInput &in, bool dropComments, std::vector<std::string> &stages);

// Finds and reads the driver's pipeline file under quillonPath. On failure
// writes missingPath (for an empty quillonPath), the cannot-open or
// the cannot-read message and gives the stop.
RunEnd readPipeline(const std::string &quillonPath, const std::string &pipelineName,
                    const std::string &missingPath, bool dropComments, std::vector<std::string> &stages,
                    std::ostream &messages);

// A stage that an option can switch off; off, it becomes a copy.
struct StageSwitch {
    std::string stage;
    bool on;
};

// What a driver gives the stage runner.
struct StageProfile {
    std::string programName;  // in the brackets of the runner's own messages
    std::string prefix;       // of the stage file names
    std::string chainInput;   // read by stage 1
    std::string finalFile;    // gets a copy of the last stage file
    std::vector<StageSwitch> switches;
    // Stages run without the new-stage line; only drivers that announce new
    // stages use it.
    std::vector<std::string> knownStages;
    bool announcesNewStages = false;
    // "addcontain" and "addschema" get these files (link, placewide).
    bool takesExtraFiles = false;
    std::string containRsf = noFile;
    std::string schemaTa = noFile;
    // "unique" gets this argument between its input and output (prep).
    std::optional<std::string> uniqueSuffix;
    // Removed after the final copy (the set file of link and joinwide).
    std::optional<std::string> fileToRemove;
};

// The final copy of the last stage file to the final file, which the
// driver makes itself, as "cp from to" would: a folder named to takes the
// copy under the name of from, and a file copied onto itself is refused.
// The final file takes the copy only once it is whole.
struct FinalCopy {
    std::string from;
    std::string to;
    std::string programName;  // in the brackets of the messages of a failure
};

// One command of a run, with the line printed before it (empty: none). Of
// the final copy, the command holds only the text of the "cp" it stands
// for.
struct PlannedCommand {
    std::string notice = {};
    Command command;
    std::optional<FinalCopy> finalCopy = {};
};

// The stage files: entry 0 the chain input, entry i the file of stage i.
std::vector<std::string> stageFiles(const StageProfile &profile, const std::vector<std::string> &stages);

// Every command of a run in order: the stages, the final copy and the
// removal of the set file.
std::vector<PlannedCommand> planStages(const StageProfile &profile, const std::vector<std::string> &stages);

// Runs the planned commands in order and stops at the first that fails
// (after its return-code message). A final copy that fails says why, then
// gives the return-code message of a failed "cp" (256), and leaves the old
// final file as it was.
RunEnd runPlan(const std::vector<PlannedCommand> &plan, std::ostream &messages);

}  // namespace pipeline
