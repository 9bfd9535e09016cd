#pragma once
// The prep driver: runs the stages of prep.pip over one extractor TA file
// and copies the result to the linkable TA file.

#include <iosfwd>
#include <string>
#include <vector>

#include "frame.h"

namespace pipeline {

// The input and output files named on the command line ("NONE" when not).
struct PrepFiles {
    std::string fileTa;
    std::string fileLinkableTa;
};

// Takes the arguments that end in ".ta": the first is the input, the last of
// the others the output; warns about a third or later one.
PrepFiles classifyPrepArguments(const std::vector<std::string> &arguments, std::ostream &messages);

// Whether a stage runs: "-<name>" switches it on, else "-no<name>" off; the
// stages liftunit and liftfile are off unless switched on.
bool shouldRunStage(const std::vector<std::string> &arguments, const std::string &stage);

// A whole run of prep. quillonPath holds lib/pipeline/ (empty when
// QUILLON_PATH is not set and no installed pipeline files were found).
RunEnd runPrep(const std::vector<std::string> &arguments, const std::string &quillonPath,
               std::ostream &messages);

}  // namespace pipeline
