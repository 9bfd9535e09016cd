// Helpers of the layout tests: a fresh temporary directory, whole files, a
// program run in a given directory with its output and status, and the text
// of a stream written through a FILE*.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace layout_test {

struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in directory `dir`, standard input empty; gives
// up (status -1) after `seconds`.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     int seconds = 60);

// A FILE* whose contents can be taken as a string.
struct CapturedStream {
    CapturedStream();
    ~CapturedStream();
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;
    std::string text();
    FILE* file = nullptr;
};

}  // namespace layout_test
