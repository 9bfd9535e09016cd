#pragma once
// The drivers and converters in the fault table of every writing program
// (tests/support/write_faults.h): their inputs, the stand-ins and pipeline
// files they run with, and what they say in each case. Every message goes
// to standard output, and every stop ends with status 255 after the stop
// report on standard error.

#include <filesystem>
#include <string>

#include "driver_fixture.h"
#include "write_faults.h"

namespace pipeline_test {

using test_support::RunNames;
using test_support::Said;
using test_support::WritingProgram;

// The stand-in stages and pipeline files of the rows, in a folder the
// unprivileged user of the table's closed-folder cases may read.
struct FaultRows {
    FaultRows()
    {
        fs::permissions(root.path(), fs::perms(0755));
        for (const char *name : {"prep.pip", "placewide.pip"}) writePipelineFile(quillon, name, "");
        for (const char *name : {"link.pip", "joinwide.pip"}) writePipelineFile(quillon, name, "rawlink\n");
    }
    TempDir root;
    fs::path quillon = root / "quillon";
    StandIns standIns = installStandIns(root.path(), allStageNames());

    // A program of this subsystem: the stand-ins on PATH, the rows' own
    // pipeline files, stops with status 255.
    WritingProgram program(const std::string &path, const std::string &input, const std::string &inputName,
                           const std::string &outputName) const
    {
        WritingProgram p;
        p.path = path;
        p.input = input;
        p.inputName = inputName;
        p.outputName = outputName;
        p.failureStatus = 255;
        p.environment["PATH"] = standIns.searchPath();
        p.environment["QUILLON_PATH"] = quillon.string();
        p.environment["STANDIN_LOG"] = std::nullopt;
        p.environment["STANDIN_FAIL"] = std::nullopt;
        p.environment["STANDIN_JOIN_SETS"] = std::nullopt;
        p.succeeds = [](const RunNames &) { return Said{}; };
        p.killedWriting = [](const RunNames &) { return Said{}; };
        return p;
    }
};

inline std::string folderOf(const std::string &path)
{
    return fs::path(path).parent_path().string();
}

inline std::string stopReport(const std::string &program)
{
    return program + " stopped: Quit #1\n";
}

// A converter's words for a listing that cannot be opened, the folder to
// blame named.
inline std::function<Said(const RunNames &)> listingRefused(const std::string &program)
{
    return [program](const RunNames &n) {
        return Said{"***Error [" + program + "]: Can't open output file '" + n.out + "'\n***Error [" +
                        program + "]: the folder " + folderOf(n.target) +
                        " cannot take a new file: Permission denied\n",
                    stopReport(program)};
    };
}

// A driver whose result is the final copy of `from` to `to` (names as
// shown): what it says when the copy fails.
inline WritingProgram finalCopyFaults(WritingProgram p, const std::string &name,
                                      std::function<std::string(const RunNames &)> from,
                                      std::function<std::string(const RunNames &)> to)
{
    auto copyFails = [name, from, to](const std::string &why) {
        return [name, from, to, why](const RunNames &n) {
            return Said{"***Error [" + name + "]:  " + why + "\n***Error: Return code: 256 from: 'cp " +
                            from(n) + " " + to(n) + "'\n",
                        stopReport(name)};
        };
    };
    auto cannotWrite = [copyFails, to](const RunNames &n) {
        return copyFails("Cannot write file: " + to(n) + ": File too large")(n);
    };
    p.writeFails = cannotWrite;
    p.lastWriteFails = cannotWrite;
    p.readFails = [copyFails, from, to](const RunNames &n) {
        if (n.in == n.out) return copyFails("Cannot copy a file onto itself: " + to(n))(n);
        return copyFails("Cannot read file: " + from(n) + ": Input/output error")(n);
    };
    p.folderRefuses = [copyFails, to](const RunNames &n) {
        return copyFails("Cannot open file: " + to(n) + ": the folder " + folderOf(n.target) +
                         " cannot take a new file: Permission denied")(n);
    };
    p.refusesOutputAsInput = [copyFails, to](const RunNames &n) {
        return copyFails("Cannot copy a file onto itself: " + to(n))(n);
    };
    return p;
}

// A TA file of `lines` facts, its size well past what an output gathers
// before its first write.
inline std::string factsOf(int lines)
{
    std::string text = "FACT TUPLE :\n";
    for (int i = 0; i < lines; ++i) text += "$INSTANCE node_" + std::to_string(i) + " cFunction\n";
    return text;
}

}  // namespace pipeline_test
