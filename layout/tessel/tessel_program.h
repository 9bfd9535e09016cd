// The tessel program: command line, files, trace and run.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/failure.h"
#include "../common/item.h"

namespace layout::tessel {

inline constexpr const char *PROGRAM_NAME = "tessel";
inline constexpr const char *VERSION = "0.3.4";
inline constexpr const char *DATE = "July 31, 1997";

// Window sizes above this are refused: past 2^24 a float no longer holds
// every whole coordinate.
inline constexpr long kMaxWindowSize = 16777216;

struct Options {
    int windowWidth = 800;
    int windowHeight = 600;
    layoutModel model = nested;
    bool printParseError = false;              // -e
    bool relationOnlyInput = false;            // -r
    bool debugMode = false;                    // -x
    bool emitTA = false;                       // -t
    std::optional<std::string> subsystemName;  // -s
    std::string inputTupleFile;
    std::string outputLayoutFile;
};

std::string displayProgramSyntax();

// Command-line errors come back with the usage text appended.
MaybeFailure getProgramArgs(const std::vector<std::string> &args, Options &options);

// Name of the TA file -t writes: the input's base name up to its first
// point, then ".ta"; lengthened by ".ta" while it names the input or the
// output.  `renamed` tells whether the notice is due.
std::string taIncludeFileName(const std::string &input, const std::string &output, bool &renamed);

// Reads the TA text and lays it out as the options say; `layoutText` gets the
// layout file and `warnings` (when given) the lines the program prints on
// standard output for a run that goes on.  `trace` is the open trace file or
// none.
MaybeFailure computeLayout(std::string_view text, const Options &options, FILE *trace,
                           std::string &layoutText, std::string *warnings = nullptr);

// The whole run after the command line; returns the exit status.
int runTessel(const Options &options);

int tesselMain(int argc, char **argv);

}  // namespace layout::tessel
