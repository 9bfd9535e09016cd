// One table of faults for every program that writes a named output: a
// write error inside the writer and at the last flush, a kill mid-write by
// the file size limit, SIGTERM while the input is read, a read error, an
// input that comes through a pipe in pieces, /dev/stdout into a pipe and into
// a file the shell goes on writing, a folder that takes no new file (as an
// unprivileged user) and a symbolic link into another folder. A write error
// and a kill by the file size limit come both early and at the output's last
// bytes, where a commit placed before the final flush would show. Each case
// checks what the program said, its status, the files byte for byte and that
// nothing else is left in any folder (no ".NAME.tmp.XXXXXX").
//
// A program joins the table with one WritingProgram: its command line, an
// input whose output passes insideLimit by more than 64 KiB (the bytes an
// output gathers before its first write), and what it says in each case.
#pragma once

#include <functional>
#include <map>
#include <optional>
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
    // The file the output name leads to: out itself, but where a symbolic
    // link stands for it (namesThroughLinks).
    std::string target = out;
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

    // Where the input that comes through a pipe in pieces is cut: each cut
    // is fed once the program has read all before it. Empty: in half. A
    // reader of a format with parts cuts inside each of them, so that no
    // part may take a short read for its end.
    std::function<std::vector<size_t>(const std::string &input)> inputCuts;

    // Set for every run (the stand-in stages on PATH, say).
    std::map<std::string, std::optional<std::string>> environment;
    // The program is always given work/<inputName> and work/<outputName>,
    // names of the form it takes (prep's end in ".ta"): where a case reads a
    // pipe or writes elsewhere, those names are symbolic links to it.
    bool namesThroughLinks = false;
    // The program runs in the case's work folder, so that arguments may name
    // the input as it lies there (a program that writes its input's name
    // into the output then writes the same bytes in every case).
    bool runsInWork = false;
    // The program writes work/<outputName>, a name of its own, in its working
    // directory, which is the case's work folder (link's out.ls.ta): that
    // name stands for the case's output as with namesThroughLinks, and the
    // output is never the input.
    bool namesItsOwnOutput = false;
    // What the program says when it refuses an output that is its input
    // before anything is written; unset: it writes the output over its
    // input. A read-error case says readFails, given equal names.
    std::function<Said(const RunNames &)> refusesOutputAsInput;
    // Files of the work folder, with their bytes, that a run which fails or
    // is killed leaves there by design (link's set file, which only a run
    // that ends well removes).
    std::map<std::string, std::string> leftByAStop;
    // A child of the program writes the output (tabula's listwright): the
    // file size limit kills that child, and the program reports its end as
    // killedWriting says, with failureStatus.
    bool childWrites = false;
};

// Runs every case of the table on the program.
void expectWriteFaultsHandled(const WritingProgram &program);

}  // namespace test_support
