// The files of one run of a layout program, in the layout tools' own words
// over the support library (support/output_file.h, support/input_file.h):
// the inputs read whole, then the outputs opened (the layout file, with -x
// the trace file, with tessel's -t the include file), never over an input.
// Every output is made whole before any takes its place, so the files of a
// run are replaced together or not at all.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "item.h"
#include "support/output_file.h"

namespace layout {

// Reads the whole file: "Could not open file" when it cannot be opened (or
// is a directory); a read that fails part way is a stop of its own ("Could
// not read file"), never a shorter input.
MaybeFailure readInputFile(const std::string &path, std::string &text);

// Opens an output: "Could not open file ... for write.", with a line that
// names the folder where the folder cannot take a new file.
MaybeFailure openOutputFile(const std::string &name, support::OutputFile &file);

struct ProgramFiles {
    std::vector<std::string> texts;  // one per input, in order
    support::OutputFile out;         // the layout file
    support::OutputFile trace;       // -x
    FILE *traceStream = nullptr;     // writes into `trace`; none without -x
    support::OutputFile include;     // tessel's -t
};

// Reads every input; refuses an output or trace file that is one of the
// inputs, or the same file as each other; opens the output and, when a name
// is given, the trace file.
MaybeFailure openProgramFiles(const std::vector<std::string> &inputs, const std::string &output,
                              const std::string *traceFile, ProgramFiles &files);

// Writes the layout into the output when the run succeeded.
MaybeFailure writeLayoutFile(ProgramFiles &files, MaybeFailure result, std::string_view layoutText);

// Opens the include file and writes `text` into it.
MaybeFailure writeIncludeFile(ProgramFiles &files, const std::string &name, std::string_view text);

// Ends the run's outputs. When the run succeeded, each is finished (every
// byte written and closed, checked), then each takes its place; on any
// failure ("Could not write file") none that was not yet in place changes.
// A run that stopped leaves the layout and include files as they were but
// keeps its trace, the whole of what it traced up to the stop.
MaybeFailure closeProgramFiles(ProgramFiles &files, MaybeFailure result);

// The -m option of both programs: "-m1" nested, "-m2" client/server.  The
// message comes back without the usage text.
MaybeFailure parseLayoutModel(const std::string &arg, layoutModel &model);

// Prints the warnings of a run that goes on, on standard output.
void printWarnings(std::string_view warnings);

// Prints a failure on its stream, then makes sure that everything printed
// on standard output got there ("<program>: error writing standard output"
// on standard error where it did not); returns the exit status (0 or 1).
int exitStatus(const char *program, const MaybeFailure &result);

// Runs a program's work and returns its status; memory running out stops it
// with "Out of memory." and status 1, its outputs in flight removed on the
// way out.
int runCatchingMemoryExhaustion(const char *program, const std::function<int()> &work);

}  // namespace layout
