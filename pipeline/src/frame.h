#pragma once
// The program frame shared by the drivers and converters: messages go to
// standard output, flushed at every write; a stop ends the program with
// status 255 after a one-line report on standard error.

#include <string>
#include <vector>

namespace pipeline {

// How a run ended, or how a step of it ended: a step that may stop the run
// gives its RunEnd after writing its message, done meaning that the run goes
// on. A helper that only tries something (opens, reads, runs a command)
// gives true when it worked and leaves the words to its caller.
// Every stop has its own report text.
enum class RunEnd {
    done,           // normal end, status 0; of a step: the run goes on
    quit,           // stop after a message ("Quit #1")
    violatedLimit,  // stop on a violated limit ("Assert condition is false")
};

inline constexpr int stopStatus = 255;

// Makes every write to standard output reach it at once, so messages and the
// output of the commands a driver starts appear in order.
void setUpOutput();

// The command-line arguments without the program's own name.
std::vector<std::string> argumentsOf(int argc, char **argv);

// The reason text of a stop report.
const char *stopReason(RunEnd end);

// Ends a run: 0 for done; for a stop, writes the stop report on standard
// error and gives 255. Standard output that could not be written is a stop
// too, named on standard error before the report.
int finish(const char *programName, RunEnd end);

// True when the command line asks for the usage text: no arguments, or the
// single argument "-h".
bool isUsageRequest(const std::vector<std::string> &arguments);

}  // namespace pipeline
