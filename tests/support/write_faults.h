// One table of faults for every program that writes a named output: a
// write error inside the writer and at the last flush, a kill mid-write by
// the file size limit, SIGTERM while the input is read, a read error, an
// input that comes through a pipe in pieces, /dev/stdout into a pipe and into
// a file the shell goes on writing, a folder that takes no new file (as an
// unprivileged user) and a symbolic link into another folder. Each case
// checks what the program said, its status, the files byte for byte and that
// nothing else is left in any folder (no ".NAME.tmp.XXXXXX").
//
// A program joins the table with one WritingProgram: its command line, an
// input whose output passes insideLimit by more than 64 KiB (the bytes an
// output gathers before its first write), and what it says in each case.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace test_support {

// What a run printed.
struct Said {
    std::string out;  // standard output
    std::string err;  // standard error
};

// The input and output names of a run, as on its command line.
struct RunNames {
    std::string in;
    std::string out;
};

struct WritingProgram {
    std::string path;
    std::string input;  // the input file's bytes
    std::string inputName = "in";
    std::string outputName = "out";
    // The arguments of a run; by default the input, then the output.
    std::function<std::vector<std::string>(const RunNames &)> arguments;
    int failureStatus = 1;
    // A file size limit that a write inside the writer meets.
    unsigned long long insideLimit = 4096;
    // What the program says: when it writes its output (also on standard
    // output, after the output, where that is the output); when a write
    // inside the writer fails; when the last flush or close fails; before it
    // is killed mid-write; when its input cannot be read; when the output's
    // folder takes no new file; and before a SIGTERM that comes while it
    // reads (nothing, when not given).
    std::function<Said(const RunNames &)> succeeds;
    std::function<Said(const RunNames &)> writeFails;
    std::function<Said(const RunNames &)> lastWriteFails;
    std::function<Said(const RunNames &)> killedWriting;
    std::function<Said(const RunNames &)> readFails;
    std::function<Said(const RunNames &)> folderRefuses;
    std::function<Said(const RunNames &)> terminatedReading;
};

// Runs every case of the table on the program.
void expectWriteFaultsHandled(const WritingProgram &program);

}  // namespace test_support
