#pragma once
// Running other programs. A command is an argument list started directly
// (fork and exec with a search of PATH), never shell text, so names with
// blanks, quotes or semicolons reach the program as one argument each. The
// text shown in messages is the command line as a shell user would type it.

#include <iosfwd>
#include <string>
#include <vector>

namespace pipeline {

struct Command {
    std::vector<std::string> arguments = {};  // the program name first
    std::string directory = {};               // where it runs; empty: here
    std::string text = {};                    // as shown in messages
    // A signal that would end the program while the command runs is passed
    // on to the command, and ends the program only once the command has
    // ended: for a command that fills one of the program's temporaries,
    // which must not outlive the removal of the temporary.
    bool endsWithTheProgram = false;
};

// The arguments joined by single blanks.
std::string joinedText(const std::vector<std::string> &arguments);

// A command shown as its arguments joined by blanks.
Command commandOf(std::vector<std::string> arguments);

// A command run inside a directory, shown as "cd <directory>; <arguments>".
Command commandInDirectory(std::string directory, std::vector<std::string> arguments);

// "cp from to" and "rm name". The names are passed after "--" so that a name
// beginning with "-" is taken as a name; the shown text stays plain.
Command copyCommand(const std::string &from, const std::string &to);
Command removeCommand(const std::string &name);

// Status of a child that could not be started, as a shell reports it: exit
// code 127 when the program was not found, 126 when it could not be run.
inline constexpr int notFoundExitCode = 127;
inline constexpr int cannotRunExitCode = 126;
// Exit code of a child that could not enter the command's directory, as a
// POSIX shell ends when its "cd" fails.
inline constexpr int cannotEnterExitCode = 2;

// Runs the command and waits for it. Gives the raw wait status (exit code 1
// gives 256), or -1 when no process could be made.
int runCommand(const Command &command);

// The message of a failed command, with its newline.
std::string returnCodeMessage(int status, const std::string &text);

// Runs the command; on a non-zero status writes the return-code message to
// messages and gives false.
bool command(const Command &command, std::ostream &messages);

}  // namespace pipeline
