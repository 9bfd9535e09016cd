// The layout programs in the fault table of every writing program
// (tests/support/write_faults.h): their inputs and what they say in each
// case. Both print their errors on standard output and end with status 1.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "write_faults.h"

namespace layout_test {

using test_support::RunNames;
using test_support::Said;

// A TA graph of 40 containers of 30 items each: its layout file, and the
// trace of either program, pass 70 KB.
inline std::string manyItems()
{
    std::string text = "FACT TUPLE :\n";
    for (int c = 0; c < 40; ++c) {
        text += "$INSTANCE c" + std::to_string(c) + " T\n";
        for (int i = 0; i < 30; ++i)
            text += "$INSTANCE i" + std::to_string(c) + "_" + std::to_string(i) + " T\n";
    }
    for (int c = 0; c < 40; ++c)
        for (int i = 0; i < 30; ++i)
            text +=
                "contain c" + std::to_string(c) + " i" + std::to_string(c) + "_" + std::to_string(i) + "\n";
    return text;
}

inline std::string folderOf(const std::string &path)
{
    return std::filesystem::path(path).parent_path().string();
}

// A layout program whose output (the layout file or the trace) is the
// table's output, the TA graph given by `arguments` the table's input.
inline test_support::WritingProgram
layoutProgram(const std::string &path, const std::string &input,
              std::function<std::vector<std::string>(const RunNames &)> arguments)
{
    test_support::WritingProgram p;
    p.path = path;
    p.input = input;
    p.inputName = "in.ta";
    p.outputName = "out.lay";
    p.arguments = std::move(arguments);
    p.succeeds = [](const RunNames &) { return Said{}; };
    auto cannotWrite = [](const RunNames &n) { return Said{"\nCould not write file : " + n.out + "\n", ""}; };
    p.writeFails = cannotWrite;
    p.lastWriteFails = cannotWrite;
    p.killedWriting = [](const RunNames &) { return Said{}; };
    p.readFails = [](const RunNames &n) { return Said{"\nCould not read file : " + n.in + "\n", ""}; };
    p.folderRefuses = [](const RunNames &n) {
        return Said{"\nCould not open file : " + n.out + " for write.\n" + n.out + ": the folder " +
                        folderOf(n.target) + " cannot take a new file: Permission denied\n",
                    ""};
    };
    p.refusesOutputAsInput = [](const RunNames &n) {
        return Said{"\nFile : " + n.out + " is both an input and an output.\n", ""};
    };
    return p;
}

// The same program run with -x, its layout going to /dev/null: the trace,
// written in the working directory under the program's own name, is the
// table's output. The input is named as in the working directory, so that
// the trace, which names it, is the same in every case.
inline test_support::WritingProgram
traceProgram(const std::string &path, const std::string &traceName, const std::string &input,
             std::function<std::vector<std::string>(const std::string &input)> arguments)
{
    test_support::WritingProgram p = layoutProgram(path, input, [arguments](const RunNames &n) {
        return arguments(std::filesystem::path(n.in).filename().string());
    });
    p.outputName = traceName;
    p.namesItsOwnOutput = true;
    p.refusesOutputAsInput = nullptr;
    auto cannotWrite = [traceName](const RunNames &) {
        return Said{"\nCould not write file : " + traceName + "\n", ""};
    };
    p.writeFails = cannotWrite;
    p.lastWriteFails = cannotWrite;
    p.readFails = [](const RunNames &n) {
        return Said{"\nCould not read file : " + std::filesystem::path(n.in).filename().string() + "\n", ""};
    };
    p.folderRefuses = [traceName](const RunNames &n) {
        return Said{"\nCould not open file : " + traceName + " for write.\n" + traceName + ": the folder " +
                        folderOf(n.target) + " cannot take a new file: Permission denied\n",
                    ""};
    };
    return p;
}

}  // namespace layout_test
