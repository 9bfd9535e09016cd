// Helpers of the layout tests: the text of a stream written through a FILE*.
// Starting the programs, temporary directories and files come from the
// shared test support (program_run.h).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "program_run.h"

namespace layout_test {

// A program run in `dir`, with no input and the test's own environment.
inline test_support::RunSetup inDirectory(const std::filesystem::path &dir)
{
    test_support::RunSetup setup;
    setup.directory = dir;
    return setup;
}

// A FILE* whose contents can be taken as a string.
struct CapturedStream {
    CapturedStream();
    ~CapturedStream();
    CapturedStream(const CapturedStream &) = delete;
    CapturedStream &operator=(const CapturedStream &) = delete;
    std::string text();
    FILE *file = nullptr;
};

}  // namespace layout_test
