// The files of one run of a layout program: the inputs read whole, then the
// layout file and the trace file opened for writing, never over an input.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "item.h"

namespace layout {

struct ProgramFiles {
    std::vector<std::string> texts;   // one per input, in order
    FILE* out = nullptr;
    FILE* trace = nullptr;
};

// Reads every input; refuses an output or trace file that is one of the
// inputs, or the same file as each other; opens the output and (when a name
// is given) the trace file.
Outcome openProgramFiles(const std::vector<std::string>& inputs, const std::string& output,
                         const std::string* traceFile, ProgramFiles& files);

// Writes the layout when the run succeeded, and closes the output and trace.
Outcome closeProgramFiles(ProgramFiles& files, const std::string& output, Outcome result,
                          std::string_view layoutText);

// The -m option of both programs: "-m1" nested, "-m2" client/server.  The
// message comes back without the usage text.
Outcome parseLayoutModel(const std::string& arg, layoutModel& model);

// Prints the warnings of a run that goes on, on standard output.
void printWarnings(std::string_view warnings);

// Prints a failure on its stream; returns the exit status (0 or 1).
int exitStatus(const Outcome& result);

}  // namespace layout
