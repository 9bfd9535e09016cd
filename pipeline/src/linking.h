#pragma once
// The linking and layout drivers: link and joinwide write the input names
// into a set file and run their pipeline on it; placewide runs its pipeline
// on one linked TA file.

#include <iosfwd>
#include <string>
#include <vector>

#include "frame.h"
#include "stages.h"

namespace pipeline {

enum class Linker { link, joinwide };

// An option of a linker that sets a stage switch.
struct SwitchOption {
    std::string text;
    std::string stage;
    bool on;
};

// Everything in which link and joinwide differ.
struct LinkerProfile {
    std::string name;  // in the messages' brackets
    std::string pipelineFile;
    std::string setFile;
    std::string prefix;
    std::string finalFile;
    std::vector<StageSwitch> defaultSwitches;
    std::vector<SwitchOption> options;
    std::vector<std::string> knownStages;
    bool takesExtraFiles;        // containment and schema files on the command line
    std::string missingPathTag;  // in the brackets of the missing-path message
    std::vector<std::string> usage;
};

const LinkerProfile &linkerProfile(Linker linker);

// The command line of a linker, sorted out.
struct LinkArguments {
    std::vector<std::string> inputs;  // the set file's lines, in order
    std::vector<StageSwitch> switches;
    std::string containRsf = noFile;
    std::string schemaTa = noFile;
};

// Sorts the arguments by their text, writing the warning for each input
// name that does not end in ".ta".
LinkArguments classifyLinkArguments(const LinkerProfile &profile, const std::vector<std::string> &arguments,
                                    std::ostream &messages);

// A whole run of link or joinwide in the working directory. quillonPath
// holds lib/pipeline/ (empty when QUILLON_PATH is not set and no installed
// pipeline files were found). An input that the run itself writes, or an
// input name with a newline, stops the run before anything is written.
RunEnd runLinker(Linker linker, const std::vector<std::string> &arguments, const std::string &quillonPath,
                 std::ostream &messages);

// The command line of placewide, sorted out.
struct LayoutArguments {
    std::string fileToLayout = noFile;
    std::string containRsf = noFile;
    std::string schemaTa = noFile;
};

LayoutArguments classifyLayoutArguments(const std::vector<std::string> &arguments, std::ostream &messages);

// A whole run of placewide in the working directory.
RunEnd runPlacewide(const std::vector<std::string> &arguments, const std::string &quillonPath,
                    std::ostream &messages);

}  // namespace pipeline
