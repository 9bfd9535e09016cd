// Runs one of the built programs with its arguments, each quoted for the
// shell, and gives back its exit status and what it wrote on standard output
// and standard error.
#pragma once

#include "temp_dir.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

struct program_run {
    int status;  // the exit status, -1 when the program did not exit
    std::string out;
    std::string err;
};

// The standard output and error land in files of `dir`.
inline program_run run_program(const temp_dir &dir, const std::string &path, const std::vector<std::string> &args)
{
    std::string command = "'" + path + "'";
    for (const std::string &arg : args)
        command += " '" + arg + "'";
    const std::string out = dir.file("stdout"), err = dir.file("stderr");
    command += " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out), read_file(err)};
}
