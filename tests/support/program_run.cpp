#include "program_run.h"

#include <fcntl.h>
#include <grp.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test_support {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillon-test-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

uid_t unprivilegedUser()
{
    return geteuid() == 0 ? 65534 : geteuid();
}

namespace {

// In a child: drops root's privilege for the user nobody. False when it
// cannot.
bool dropPrivilege()
{
    if (geteuid() != 0) return true;
    return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
}

ChildEnd endOf(int status)
{
    ChildEnd end;
    if (WIFEXITED(status)) {
        end.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end.signal = WTERMSIG(status);
    }
    return end;
}

}  // namespace

ChildEnd runInChild(const std::function<int()> &body, bool unprivileged)
{
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        if (unprivileged && !dropPrivilege()) _exit(124);
        _exit(body());
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return endOf(status);
}

namespace {

std::string readAll(std::FILE *file)
{
    std::string text;
    std::rewind(file);
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

}  // namespace

namespace {

// In the child: the working directory, environment, limits and standard
// streams of `setup`, then the program. Never returns.
[[noreturn]] void execInChild(const std::string &program, const std::vector<std::string> &arguments,
                              const RunSetup &setup, int in, int out, int err)
{
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments) argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    if (setup.ownProcessGroup) setpgid(0, 0);
    if (!setup.directory.empty() && chdir(setup.directory.c_str()) != 0) _exit(120);
    for (const auto &[name, value] : setup.environment) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    dup2(in, 0);
    if (setup.output.empty()) {
        dup2(out, 1);
    } else {
        const int file = open(setup.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file < 0) _exit(122);
        dup2(file, 1);
        close(file);
    }
    dup2(err, 2);
    if (setup.fileSizeLimit) {
        // No core file: a kill by the limit is what the test asked for.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const rlimit size{*setup.fileSizeLimit, *setup.fileSizeLimit};
        if (setrlimit(RLIMIT_FSIZE, &size) != 0) _exit(123);
    }
    // An ignored signal stays ignored across exec; a default one stays default.
    signal(SIGXFSZ, setup.ignoreFileSizeSignal ? SIG_IGN : SIG_DFL);
    if (setup.unprivileged && !dropPrivilege()) _exit(124);
    if (setup.addressSpaceLimit != 0) {
        // Last before exec: the limit binds the program's own mappings from
        // its start, not this copy of the test.
        const rlimit space{setup.addressSpaceLimit, setup.addressSpaceLimit};
        if (setrlimit(RLIMIT_AS, &space) != 0) _exit(125);
    }
    execv(program.c_str(), argv.data());
    _exit(121);
}

std::string readPipe(int fd)
{
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, (size_t)got);
    }
    return text;
}

ProgramRun runOf(int status, std::FILE *out, std::FILE *err)
{
    ProgramRun run;
    const ChildEnd end = endOf(status);
    run.status = end.status;
    run.signal = end.signal;
    if (out) run.out = readAll(out);
    run.err = readAll(err);
    return run;
}

}  // namespace

ProgramRun runProgram(const std::string &program, const std::vector<std::string> &arguments,
                      const RunSetup &setup)
{
    // Standard output and error go to unnamed files rather than pipes, so a
    // program that writes a lot never blocks on a full pipe.
    std::FILE *in = std::tmpfile();
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    if (in == nullptr || out == nullptr || err == nullptr) std::abort();
    std::fwrite(setup.input.data(), 1, setup.input.size(), in);
    std::fflush(in);
    std::rewind(in);
    int outPipe[2] = {-1, -1};
    if (setup.outputThroughPipe && pipe2(outPipe, O_CLOEXEC) != 0) std::abort();

    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        execInChild(program, arguments, setup, fileno(in), setup.outputThroughPipe ? outPipe[1] : fileno(out),
                    fileno(err));
    }
    std::string piped;
    if (setup.outputThroughPipe) {
        // Read to its end, which comes when the program ends.
        close(outPipe[1]);
        piped = readPipe(outPipe[0]);
        close(outPipe[0]);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    ProgramRun run = runOf(status, setup.outputThroughPipe ? nullptr : out, err);
    if (setup.outputThroughPipe) run.out = piped;
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    return run;
}

StartedProgram::StartedProgram(const std::string &program, const std::vector<std::string> &arguments,
                               const RunSetup &setup)
{
    out_ = std::tmpfile();
    err_ = std::tmpfile();
    int inPipe[2];
    if (out_ == nullptr || err_ == nullptr || pipe2(inPipe, O_CLOEXEC) != 0) std::abort();
    std::fflush(nullptr);
    child_ = fork();
    if (child_ < 0) std::abort();
    if (child_ == 0) execInChild(program, arguments, setup, inPipe[0], fileno(out_), fileno(err_));
    // Also here, so that the group exists before any signal to it.
    if (setup.ownProcessGroup) setpgid(child_, child_);
    close(inPipe[0]);
    input_ = inPipe[1];
}

StartedProgram::~StartedProgram()
{
    if (child_ > 0) {
        kill(child_, SIGKILL);
        wait();
    }
    if (input_ >= 0) close(input_);
    std::fclose(out_);
    std::fclose(err_);
}

void StartedProgram::feed(const std::string &bytes)
{
    // A program that ends without reading all must not end the test: the
    // SIGPIPE of a write to it is held back and taken.
    sigset_t pipeSignal, before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    bool broken = false;
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = write(input_, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken = n < 0 && errno == EPIPE;
            break;
        }
        at += (size_t)n;
    }
    if (broken) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void StartedProgram::waitUntilRead()
{
    for (;;) {
        int unread = 0;
        if (ioctl(input_, FIONREAD, &unread) != 0 || unread == 0 || !running()) return;
        usleep(1000);
    }
}

void StartedProgram::endInput()
{
    if (input_ >= 0) close(input_);
    input_ = -1;
}

void StartedProgram::sendSignal(int sig)
{
    if (child_ > 0) kill(child_, sig);
}

void StartedProgram::signalGroup(int sig)
{
    if (child_ > 0) kill(-child_, sig);
}

bool StartedProgram::running()
{
    if (child_ <= 0) return false;
    int status;
    if (waitpid(child_, &status, WNOHANG) != child_) return true;
    ended_ = status;
    child_ = -child_;
    return false;
}

ProgramRun StartedProgram::wait()
{
    endInput();
    int status = ended_;
    if (child_ > 0)
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {}
    child_ = 0;
    return runOf(status, out_, err_);
}

}  // namespace test_support
