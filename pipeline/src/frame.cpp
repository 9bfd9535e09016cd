#include "frame.h"

#include <cstdio>
#include <iostream>

#include "support/output_file.h"

namespace pipeline {

void setUpOutput()
{
    std::cout << std::unitbuf;
}

std::vector<std::string> argumentsOf(int argc, char **argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

const char *stopReason(RunEnd end)
{
    switch (end) {
    case RunEnd::done: return "";
    case RunEnd::quit: return "Quit #1";
    case RunEnd::violatedLimit: return "Assert condition is false";
    }
    return "";
}

int finish(const char *programName, RunEnd end)
{
    std::cout.flush();
    // Every message went to standard output; one that did not get there is
    // a stop of its own.
    if (!std::cout || support::finishStream(stdout) != 0) {
        std::fprintf(stderr, "%s: error writing standard output\n", programName);
        if (end == RunEnd::done) end = RunEnd::quit;
    }
    if (end == RunEnd::done) return 0;
    std::fprintf(stderr, "%s stopped: %s\n", programName, stopReason(end));
    return stopStatus;
}

bool isUsageRequest(const std::vector<std::string> &arguments)
{
    return arguments.empty() || (arguments.size() == 1 && arguments[0] == "-h");
}

}  // namespace pipeline
