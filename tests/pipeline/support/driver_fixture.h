#pragma once
// What the tests that start a driver share: the stand-in stage programs,
// pipeline files of a test's own, and a fixture with a working directory,
// the stand-ins first on PATH and QUILLON_PATH set to the shipped pipeline
// files unless a test chooses otherwise. Programs start through the shared
// test runner.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"

namespace pipeline_test {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;
using test_support::ProgramRun;
using test_support::readFile;
using test_support::runProgram;
using test_support::RunSetup;
using test_support::TempDir;
using test_support::writeFile;

// The names in a directory, sorted.
std::vector<std::string> directoryEntries(const fs::path &directory);

// The stand-in stage programs, installed under the given names in bin/ of
// root. searchPath() puts that directory first on PATH.
struct StandIns {
    fs::path bin;
    fs::path log;
    std::string searchPath() const;
    // The lines that the stand-ins recorded.
    std::vector<std::string> calls() const;
};

StandIns installStandIns(const fs::path &root, const std::vector<std::string> &names);

// The stage names of the shipped pipeline files and listwright.
const std::vector<std::string> &allStageNames();

// Makes root/lib/pipeline/<pipelineName> with the given text; root then
// serves as QUILLON_PATH.
void writePipelineFile(const fs::path &root, const std::string &pipelineName, const std::string &text);

class DriverTest : public testing::Test {
protected:
    DriverTest() : work(root / "work"), standIns(installStandIns(root.path(), allStageNames()))
    {
        fs::create_directories(work);
        setup.directory = work;
        setup.environment["PATH"] = standIns.searchPath();
        setup.environment["QUILLON_PATH"] = SHIPPED_QUILLON_PATH;
        setup.environment["STANDIN_LOG"] = standIns.log.string();
        setup.environment["STANDIN_FAIL"] = std::nullopt;
        setup.environment["STANDIN_JOIN_SETS"] = std::nullopt;
    }

    // Pipeline files of the test's own, under root/quillon.
    void usePipeline(const std::string &pipelineName, const std::string &text)
    {
        writePipelineFile(root / "quillon", pipelineName, text);
        setup.environment["QUILLON_PATH"] = (root / "quillon").string();
    }

    ProgramRun start(const std::string &program, const std::vector<std::string> &arguments)
    {
        return runProgram(program, arguments, setup);
    }

    std::vector<std::string> workFiles() const { return directoryEntries(work); }

    TempDir root;
    fs::path work;
    StandIns standIns;
    RunSetup setup;
};

}  // namespace pipeline_test
