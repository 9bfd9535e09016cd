#pragma once
// Test support: temporary directories, file helpers, starting a program with
// its own working directory, environment and standard input, and the
// stand-in stage programs.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pipeline_test {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const std::string& text);

// The names in a directory, sorted.
std::vector<std::string> directoryEntries(const fs::path& directory);

struct ProgramRun {
  int status = -1;  // the exit status; -1 when killed by a signal
  std::string out;
  std::string err;
};

struct RunSetup {
  fs::path directory;  // working directory
  std::map<std::string, std::optional<std::string>>
      environment;    // nullopt: unset
  std::string input;  // standard input
};

// Starts program with the arguments and waits for it.
ProgramRun runProgram(const std::string& program,
                      const std::vector<std::string>& arguments,
                      const RunSetup& setup);

// The stand-in stage programs, installed under the given names in bin/ of
// root. searchPath() puts that directory first on PATH.
struct StandIns {
  fs::path bin;
  fs::path log;
  std::string searchPath() const;
  // The lines that the stand-ins recorded.
  std::vector<std::string> calls() const;
};

StandIns installStandIns(const fs::path& root,
                         const std::vector<std::string>& names);

// The stage names of the shipped pipeline files and listwright.
const std::vector<std::string>& allStageNames();

// Makes root/lib/pipeline/<pipelineName> with the given text; root then
// serves as QUILLON_PATH.
void writePipelineFile(const fs::path& root, const std::string& pipelineName,
                       const std::string& text);

}  // namespace pipeline_test
