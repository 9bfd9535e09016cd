#pragma once
// A fixture for the tests that start a driver: a working directory, the
// stand-in stages first on PATH, and QUILLON_PATH set to the shipped
// pipeline files unless a test chooses otherwise.

#include <gtest/gtest.h>

#include "program_run.hpp"

namespace pipeline_test {

using Lines = std::vector<std::string>;

class DriverTest : public testing::Test {
 protected:
  DriverTest()
      : work(root / "work"),
        standIns(installStandIns(root.path(), allStageNames())) {
    fs::create_directories(work);
    setup.directory = work;
    setup.environment["PATH"] = standIns.searchPath();
    setup.environment["QUILLON_PATH"] = SHIPPED_QUILLON_PATH;
    setup.environment["STANDIN_LOG"] = standIns.log.string();
    setup.environment["STANDIN_FAIL"] = std::nullopt;
    setup.environment["STANDIN_JOIN_SETS"] = std::nullopt;
  }

  // Pipeline files of the test's own, under root/quillon.
  void usePipeline(const std::string& pipelineName, const std::string& text) {
    writePipelineFile(root / "quillon", pipelineName, text);
    setup.environment["QUILLON_PATH"] = (root / "quillon").string();
  }

  ProgramRun start(const std::string& program,
                   const std::vector<std::string>& arguments) {
    return runProgram(program, arguments, setup);
  }

  std::vector<std::string> workFiles() const { return directoryEntries(work); }

  TempDir root;
  fs::path work;
  StandIns standIns;
  RunSetup setup;
};

}  // namespace pipeline_test
