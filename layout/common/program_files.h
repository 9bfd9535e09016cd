// The files of one run of a layout program: the inputs read whole, then the
// layout file and the trace file opened for writing, never over an input.
// The layout file takes the place of its target only when the whole run has
// succeeded, the trace included.
#pragma once

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "item.h"
#include "output_file.h"

namespace layout {

struct ProgramFiles {
    std::vector<std::string> texts;  // one per input, in order
    OutputFile out;                  // the layout file
    FILE *trace = nullptr;
    std::string traceName;
};

// Reads every input; refuses an output or trace file that is one of the
// inputs, or the same file as each other; opens the output (a temporary
// beside it) and, when a name is given, the trace file.
MaybeFailure openProgramFiles(const std::vector<std::string> &inputs, const std::string &output,
                              const std::string *traceFile, ProgramFiles &files);

// Writes the layout into the output's temporary when the run succeeded.
MaybeFailure writeLayoutFile(ProgramFiles &files, MaybeFailure result, std::string_view layoutText);

// Closes the trace, checking that every line of it was written; then, when
// all went well, puts the layout file and each of `alsoWritten` in place.
// On any failure every target stays as it was.
MaybeFailure closeProgramFiles(ProgramFiles &files, MaybeFailure result,
                               std::initializer_list<OutputFile *> alsoWritten = {});

// The -m option of both programs: "-m1" nested, "-m2" client/server.  The
// message comes back without the usage text.
MaybeFailure parseLayoutModel(const std::string &arg, layoutModel &model);

// Prints the warnings of a run that goes on, on standard output.
void printWarnings(std::string_view warnings);

// Prints a failure on its stream; returns the exit status (0 or 1).
int exitStatus(const MaybeFailure &result);

// Runs a program's work and returns its status; memory running out stops it
// with "Out of memory." and status 1, its outputs in flight removed on the
// way out.
int runCatchingMemoryExhaustion(const std::function<int()> &work);

}  // namespace layout
