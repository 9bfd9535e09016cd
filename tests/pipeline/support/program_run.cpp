#include "program_run.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pipeline_test {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "pipeline-test-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::vector<std::string> directoryEntries(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

std::string readAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, got);
  }
  return text;
}

}  // namespace

ProgramRun runProgram(const std::string& program,
                      const std::vector<std::string>& arguments,
                      const RunSetup& setup) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::fwrite(setup.input.data(), 1, setup.input.size(), in);
  std::fflush(in);
  std::rewind(in);

  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  std::fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    if (!setup.directory.empty() && chdir(setup.directory.c_str()) != 0) {
      _exit(120);
    }
    for (const auto& [name, value] : setup.environment) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    dup2(fileno(in), 0);
    dup2(fileno(out), 1);
    dup2(fileno(err), 2);
    execv(program.c_str(), argv.data());
    _exit(121);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readAll(out);
  run.err = readAll(err);
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  return run;
}

std::string StandIns::searchPath() const {
  const char* path = std::getenv("PATH");
  return bin.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
}

std::vector<std::string> StandIns::calls() const {
  std::vector<std::string> lines;
  std::istringstream text(readFile(log));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

StandIns installStandIns(const fs::path& root,
                         const std::vector<std::string>& names) {
  StandIns standIns{root / "bin", root / "stand-in.log"};
  fs::create_directories(standIns.bin);
  for (const std::string& name : names) {
    fs::create_symlink(STANDIN_SCRIPT, standIns.bin / name);
  }
  return standIns;
}

const std::vector<std::string>& allStageNames() {
  static const std::vector<std::string> names = {
      "liftunit",   "liftfile", "unique",   "rawline",   "rawlink",
      "dellinksym", "liftobj",  "twinfold", "clusterch", "addcontain",
      "addschema",  "layout",   "cleanup",  "newstage",  "listwright"};
  return names;
}

void writePipelineFile(const fs::path& root, const std::string& pipelineName,
                       const std::string& text) {
  fs::create_directories(root / "lib" / "pipeline");
  writeFile(root / "lib" / "pipeline" / pipelineName, text);
}

}  // namespace pipeline_test
