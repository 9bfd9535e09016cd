// Starting a built program from a test: the argument vector is handed to the
// program as it is (no shell sees it), with its own working directory,
// environment and standard input; the test gets back the exit status and
// everything the program wrote on standard output and standard error.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct ProgramRun {
    int status = -1;  // the exit status; -1 when the program did not exit
    int signal = 0;   // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

struct RunSetup {
    std::filesystem::path directory;  // working directory; empty: the test's own
    std::map<std::string, std::optional<std::string>> environment;  // nullopt: unset
    std::string input;                                              // standard input
    std::filesystem::path output;  // standard output goes to this file (a full
                                   // device, say); empty: to ProgramRun::out
    // A limit on the size of any file the program writes (RLIMIT_FSIZE), in
    // bytes. A write past it raises SIGXFSZ, which kills the program at that
    // byte; with ignoreFileSizeSignal the write fails with EFBIG instead.
    std::optional<unsigned long long> fileSizeLimit;
    bool ignoreFileSizeSignal = false;
    // Run as the user nobody when the test runs as root, so that folder and
    // file permissions hold for the program as they do for a user.
    bool unprivileged = false;
    // Standard output goes into a pipe, read to its end (ProgramRun::out).
    bool outputThroughPipe = false;
    // The program leads a process group of its own, which
    // StartedProgram::signalGroup reaches with all its children.
    bool ownProcessGroup = false;
    // A limit on the program's address space (RLIMIT_AS, as ulimit -v sets
    // it), in bytes; 0: none. Every mapping counts, reserved or written.
    unsigned long long addressSpaceLimit = 0;
};

// False in a build with the address sanitizer, which reserves terabytes of
// address space for its shadow memory as a program starts: no program of
// that build can run under addressSpaceLimit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSpaceLimitsWork = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSpaceLimitsWork = false;
#else
constexpr bool addressSpaceLimitsWork = true;
#endif
#else
constexpr bool addressSpaceLimitsWork = true;
#endif

// Starts program (a path) with the arguments and waits for it.
ProgramRun runProgram(const std::string &program, const std::vector<std::string> &arguments,
                      const RunSetup &setup = {});

// A program started with a pipe to its standard input, for a test that feeds
// it in pieces or signals it while it reads. Standard output and error are
// kept as runProgram keeps them (RunSetup::input is not used).
class StartedProgram {
public:
    StartedProgram(const std::string &program, const std::vector<std::string> &arguments,
                   const RunSetup &setup = {});
    // Kills the program and waits for it, when it still runs.
    ~StartedProgram();
    StartedProgram(const StartedProgram &) = delete;
    StartedProgram &operator=(const StartedProgram &) = delete;

    // Writes bytes to its standard input (the pipe holds 64 KiB).
    void feed(const std::string &bytes);
    // Returns once the program has read everything fed so far (or ended).
    void waitUntilRead();
    // Closes its standard input: the end of its input.
    void endInput();
    void sendSignal(int sig);
    // Signals the program's process group (RunSetup::ownProcessGroup): the
    // program and every child it started.
    void signalGroup(int sig);
    // True while the program has not ended.
    bool running();
    // Ends its input and waits for it.
    ProgramRun wait();

private:
    pid_t child_ = 0;  // negative once it has been waited for by waitUntilRead
    int ended_ = 0;    // its wait status, when waited for before wait()
    int input_ = -1;
    std::FILE *out_ = nullptr;
    std::FILE *err_ = nullptr;
};

// How a child started by runInChild ended.
struct ChildEnd {
    int status = -1;  // the exit status; -1 when it did not exit
    int signal = 0;   // the signal that ended it, 0 when it exited
};

// Runs body in a forked child, which exits with what body returns; as the
// user nobody when `unprivileged` and the test runs as root.
ChildEnd runInChild(const std::function<int()> &body, bool unprivileged = false);

// The user a child runs as when unprivileged (nobody) where the test runs as
// root; the test's own user elsewhere.
uid_t unprivilegedUser();

// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path &path);
void writeFile(const std::filesystem::path &path, const std::string &text);

}  // namespace test_support
