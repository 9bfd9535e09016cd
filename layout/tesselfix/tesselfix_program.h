// The tesselfix program: command line, files, trace and run.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/failure.h"
#include "placement.h"

namespace layout::tesselfix {

inline constexpr const char *PROGRAM_NAME = "tesselfix";
inline constexpr const char *VERSION = "0.4.0";
inline constexpr const char *DATE = "May 1, 1998";

struct Options {
    PlacementSettings placement;  // model, compress, shrink, minima, -R
    float MIN_CLIENT_HEIGHT = 30.0, MIN_CLIENT_WIDTH = 49.98;
    float MIN_SERVER_HEIGHT = 30.0, MIN_SERVER_WIDTH = 49.98;
    bool printParseError = false;              // -e
    bool relationOnlyInput = false;            // -r
    bool debugMode = false;                    // -x
    std::optional<std::string> oldSubSysName;  // -so
    std::optional<std::string> newSubSysName;  // -sn
    std::string oldInGraphFile, oldInLayoutFile, newInGraphFile, newOutLayoutFile;
};

std::string displayProgramSyntax();

// Command-line errors come back with the usage text appended.
MaybeFailure getProgramArgs(const std::vector<std::string> &args, Options &options);

// The new layout from the three inputs' texts; `warnings` (when given) gets
// the lines the program prints on standard output for a run that goes on.
MaybeFailure computeNewLayout(std::string_view oldGraphText, std::string_view oldLayoutText,
                              std::string_view newGraphText, const Options &options, std::string &layoutText,
                              std::string *warnings = nullptr);

// The whole run after the command line; returns the exit status.
int runTesselfix(const Options &options);

int tesselfixMain(int argc, char **argv);

}  // namespace layout::tesselfix
