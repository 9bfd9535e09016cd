#include "layout_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace layout_test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "layout-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     int seconds) {
    TempDir capture;
    std::string outPath = capture.file("stdout"), errPath = capture.file("stderr");
    pid_t pid = fork();
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(dir.c_str()) != 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    time_t deadline = std::time(nullptr) + seconds;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::time(nullptr) > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.out = readFile(outPath);
            result.err = readFile(errPath);
            return result;
        }
        usleep(2000);
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

CapturedStream::CapturedStream() : file(std::tmpfile()) {}

CapturedStream::~CapturedStream() {
    if (file) std::fclose(file);
}

std::string CapturedStream::text() {
    std::fflush(file);
    long size = std::ftell(file);
    std::string out(static_cast<size_t>(size), '\0');
    std::rewind(file);
    size_t got = std::fread(out.data(), 1, out.size(), file);
    out.resize(got);
    std::fseek(file, 0, SEEK_END);
    return out;
}

}  // namespace layout_test
