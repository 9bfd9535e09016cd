// The gd programs that write a gd graph file in the fault table of every
// writing program (tests/support/write_faults.h): what they say in each case.
#pragma once

#include <filesystem>
#include <string>

#include "gd_file_parts.h"
#include "write_faults.h"

namespace failed_writes {

// Hash slots for a fixture: the table takes 4 bytes each, so the output is
// larger than what an output gathers before its first write, and the size
// limit of the table falls inside the table, whatever the strings before it.
inline constexpr int hash_slots = 30011;

using test_support::RunNames;
using test_support::Said;

inline std::string folder_of(const std::string &out)
{
    return std::filesystem::path(out).parent_path().string();
}

// What the gd graph writer says when it cannot write, before the program's
// own line.
inline std::string writer_refuses(const std::string &out)
{
    return "Could not open " + out + " for binary write\n" + out + ": the folder " + folder_of(out) +
           " cannot take a new file: Permission denied\n";
}

// talvexf and the run_ programs: the frame reads the graph, runs its steps
// (saying `steps`: talvexf's progress lines, a filter's own messages), writes
// the graph and names the output after the writer's message.
inline test_support::WritingProgram frame_program(const std::string &path, const std::string &input,
                                                  const std::string &steps)
{
    test_support::WritingProgram p;
    p.path = path;
    p.input = input;
    p.inputName = "in.gd";
    p.outputName = "out.gd";
    p.inputCuts = gd_file_parts::cuts_inside_each_part;
    p.succeeds = [steps](const RunNames &) { return Said{"", steps}; };
    p.writeFails = [steps](const RunNames &n) {
        return Said{"", steps + "Error writing hash table\nError writing graph to " + n.out + "\n"};
    };
    p.lastWriteFails = [steps](const RunNames &n) {
        return Said{"", steps + "Error writing " + n.out + "\nError writing graph to " + n.out + "\n"};
    };
    p.killedWriting = [steps](const RunNames &) { return Said{"", steps}; };
    p.readFails = [](const RunNames &n) {
        return Said{"",
                    "Error reading magic from " + n.in + "\nCould not read graph from file " + n.in + "\n"};
    };
    p.folderRefuses = [steps](const RunNames &n) {
        return Said{"", steps + writer_refuses(n.out) + "Error writing graph to " + n.out + "\n"};
    };
    return p;
}

// gdtext: compiles the text, then writes the graph; it says nothing of its
// own after the writer's message.
inline test_support::WritingProgram gdtext_program(const std::string &path, const std::string &input)
{
    test_support::WritingProgram p;
    p.path = path;
    p.input = input;
    p.inputName = "in.gdt";
    p.outputName = "out.gd";
    p.succeeds = [](const RunNames &) { return Said{}; };
    p.writeFails = [](const RunNames &) { return Said{"", "Error writing hash table\n"}; };
    p.lastWriteFails = [](const RunNames &n) { return Said{"", "Error writing " + n.out + "\n"}; };
    p.killedWriting = [](const RunNames &) { return Said{}; };
    p.readFails = [path](const RunNames &n) {
        return Said{"", path + ": cannot read " + n.in + ": Input/output error\n"};
    };
    p.folderRefuses = [](const RunNames &n) { return Said{"", writer_refuses(n.out)}; };
    return p;
}

}  // namespace failed_writes
