// The one directory a gd fuzz target keeps its files in for a whole run:
// made under $TMPDIR (else /tmp) by the first call, named after the program,
// and removed with what it holds at exit. The targets remove their files
// after each input, so the directory is empty between inputs. libFuzzer ends
// a run that reached its time or run limit with exit, which runs the
// removal; a crash, a timeout or an exceeded memory limit ends the process
// without it and leaves the directory (and the files of the input that ended
// it) behind.
#pragma once

#include <errno.h>  // program_invocation_short_name
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz_run_dir {

namespace detail {

inline std::string &directory()
{
    static std::string path;
    return path;
}

inline pid_t &owner()
{
    static pid_t pid = 0;
    return pid;
}

// A child the process forks inherits the handler; only the process that made
// the directory removes it.
inline void remove_directory()
{
    if (getpid() != owner()) return;
    std::error_code ignored;
    std::filesystem::remove_all(directory(), ignored);
}

}  // namespace detail

// The path of file `name` in the run's directory, which the first call makes.
inline std::string file(const char *name)
{
    std::string &dir = detail::directory();
    if (dir.empty()) {
        std::error_code failed;
        std::filesystem::path base = std::filesystem::temp_directory_path(failed);
        if (failed) base = "/tmp";
        std::string pattern = (base / (std::string(program_invocation_short_name) + ".XXXXXX")).string();
        if (!mkdtemp(pattern.data())) abort();
        dir = pattern;
        detail::owner() = getpid();
        if (atexit(detail::remove_directory) != 0) abort();
    }
    return dir + "/" + name;
}

}  // namespace fuzz_run_dir
