#include "command.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

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

    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (directory != nullptr && chdir(directory) != 0) {
            complainInChild("cd", directory, errno);
            _exit(cannotEnterExitCode);
        }
        execvp(argv[0], argv.data());
        int error = errno;
        complainInChild("cannot run", argv[0], error);
        _exit(error == ENOENT || error == ENOTDIR ? notFoundExitCode : cannotRunExitCode);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
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
