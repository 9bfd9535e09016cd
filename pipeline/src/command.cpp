#include "command.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "support/temporaries.h"

namespace pipeline {

namespace {

// Writes a complaint of the child on standard error without allocating;
// the child has just been forked and only execs or exits.
void complainInChild(const char *what, const char *name, int error)
{
    const char *reason = std::strerror(error);
    const char *parts[] = {what, ": ", name, ": ", reason, "\n"};
    for (const char *part : parts) {
        ssize_t ignored = write(STDERR_FILENO, part, std::strlen(part));
        (void)ignored;
    }
}

}  // namespace

std::string joinedText(const std::vector<std::string> &arguments)
{
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        text += arguments[i];
    }
    return text;
}

Command commandOf(std::vector<std::string> arguments)
{
    Command command;
    command.text = joinedText(arguments);
    command.arguments = std::move(arguments);
    return command;
}

Command commandInDirectory(std::string directory, std::vector<std::string> arguments)
{
    Command command = commandOf(std::move(arguments));
    command.text = "cd " + directory + "; " + command.text;
    command.directory = std::move(directory);
    return command;
}

Command copyCommand(const std::string &from, const std::string &to)
{
    return {.arguments = {"cp", "--", from, to}, .text = "cp " + from + " " + to};
}

Command removeCommand(const std::string &name)
{
    return {.arguments = {"rm", "--", name}, .text = "rm " + name};
}

namespace {

// Waits for the child; -1 when waiting fails.
int waitFor(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

// Waits for the child with the ending signals held and taken here: one that
// comes is sent on to the child, which is waited for; then the signal is
// raised again, once `held` is let go, to end the program as it would have.
int waitEndingWith(pid_t child, const sigset_t &held, const sigset_t &before)
{
    for (;;) {
        siginfo_t info;
        const int sig = sigwaitinfo(&held, &info);
        if (sig < 0) {
            if (errno == EINTR) continue;
            return waitFor(child);
        }
        if (sig == SIGCHLD) {
            int status = 0;
            const pid_t ended = waitpid(child, &status, WNOHANG);
            if (ended == child) return status;
            if (ended < 0 && errno != EINTR) return -1;
            continue;
        }
        kill(child, sig);
        const int status = waitFor(child);
        sigprocmask(SIG_SETMASK, &before, nullptr);
        raise(sig);
        return status;
    }
}

}  // namespace

int runCommand(const Command &command)
{
    if (command.arguments.empty()) return -1;
    // Everything the child needs is prepared before the fork.
    std::vector<char *> argv;
    for (const std::string &argument : command.arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const char *directory = command.directory.empty() ? nullptr : command.directory.c_str();

    // Held from before the fork, so that none comes between the fork and the
    // wait; the child lets them go before it starts the command.
    sigset_t held, before;
    sigemptyset(&held);
    // The child's end is awaited as a signal, which an ignored SIGCHLD
    // would never give.
    struct sigaction childEnds {
    }, childEndsBefore{};
    childEnds.sa_handler = SIG_DFL;
    if (command.endsWithTheProgram) {
        for (int sig : support::endingSignals()) sigaddset(&held, sig);
        sigaddset(&held, SIGCHLD);
        sigaction(SIGCHLD, &childEnds, &childEndsBefore);
    }
    sigprocmask(SIG_BLOCK, &held, &before);

    pid_t child = fork();
    if (child < 0) {
        sigprocmask(SIG_SETMASK, &before, nullptr);
        if (command.endsWithTheProgram) sigaction(SIGCHLD, &childEndsBefore, nullptr);
        return -1;
    }
    if (child == 0) {
        if (command.endsWithTheProgram) sigaction(SIGCHLD, &childEndsBefore, nullptr);
        sigprocmask(SIG_SETMASK, &before, nullptr);
        if (directory != nullptr && chdir(directory) != 0) {
            complainInChild("cd", directory, errno);
            _exit(cannotEnterExitCode);
        }
        execvp(argv[0], argv.data());
        int error = errno;
        complainInChild("cannot run", argv[0], error);
        _exit(error == ENOENT || error == ENOTDIR ? notFoundExitCode : cannotRunExitCode);
    }
    const int status = command.endsWithTheProgram ? waitEndingWith(child, held, before) : waitFor(child);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (command.endsWithTheProgram) sigaction(SIGCHLD, &childEndsBefore, nullptr);
    return status;
}

std::string returnCodeMessage(int status, const std::string &text)
{
    return "***Error: Return code: " + std::to_string(status) + " from: '" + text + "'\n";
}

bool command(const Command &command, std::ostream &messages)
{
    int status = runCommand(command);
    if (status == 0) return true;
    messages << returnCodeMessage(status, command.text);
    return false;
}

}  // namespace pipeline
