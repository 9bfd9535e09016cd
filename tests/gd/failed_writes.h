// The programs that write a gd graph file, under the failures that must not
// cost a file: a write error, a kill in the middle of the write and a read
// error, each with the output the input itself and with a separate output
// that already exists. Whatever happens, the file is byte for byte what it
// was, and no temporary is left where the program lived to remove it.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "program_run.h"

namespace failed_writes {

// Hash slots for a fixture: the table takes 4 bytes each, so the output's
// bytes pass the size limit inside the table, whatever the strings before it.
inline constexpr int hash_slots = 3001;
// Above what a program prints on standard error (that file has the limit
// too) and the bytes before the table; below the bytes of the table's end.
inline constexpr unsigned long long size_limit = 4096;

struct writing_program {
    std::string path;
    std::string input;         // the input file's bytes, its table of hash_slots slots
    std::string before_write;  // what the program prints before it writes
    // After the writer's own message, the frame of talvexf and the run_
    // programs names the output.
    bool names_the_output;
    // Its message when the input cannot be read, given the input's path.
    std::function<std::string(const std::string &in)> read_error;
};

// The gd reader's stop on an unreadable input, as the frame reports it.
inline std::string frame_read_error(const std::string &in)
{
    return "Error reading magic from " + in + "\nCould not read graph from file " + in + "\n";
}

enum class failure { write_error, killed_mid_write, read_error };

// The files of the directory but `keep`.
inline std::vector<std::string> other_files(const std::filesystem::path &dir,
                                            const std::vector<std::string> &keep)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (std::find(keep.begin(), keep.end(), name) == keep.end()) names.push_back(name);
    }
    return names;
}

// Compared whole, but reported by size: a graph file printed byte by byte
// would bury the failure.
inline void expect_bytes(const std::string &path, const std::string &bytes)
{
    const std::string now = test_support::readFile(path);
    EXPECT_TRUE(now == bytes) << path << " holds " << now.size() << " bytes, not the " << bytes.size()
                              << " it held before";
}

inline void expect_file_kept(const writing_program &p, failure f, bool output_is_input)
{
    SCOPED_TRACE(std::string(f == failure::write_error        ? "write error"
                             : f == failure::killed_mid_write ? "killed mid-write"
                                                              : "read error") +
                 (output_is_input ? ", output = input" : ", separate existing output"));
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string();
    const std::string out = output_is_input ? in : (dir / "out.gd").string();
    const std::string previous_output = "the output of an earlier run\n";
    if (f == failure::read_error)
        std::filesystem::create_symlink("/proc/self/mem", in);
    else
        test_support::writeFile(in, p.input);
    if (!output_is_input) test_support::writeFile(out, previous_output);

    test_support::RunSetup setup;
    if (f != failure::read_error) {
        setup.fileSizeLimit = size_limit;
        setup.ignoreFileSizeSignal = f == failure::write_error;
    }
    const test_support::ProgramRun r = test_support::runProgram(p.path, {in, out}, setup);

    switch (f) {
    case failure::write_error:
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, p.before_write + "Error writing hash table\n" +
                             (p.names_the_output ? "Error writing graph to " + out + "\n" : ""));
        break;
    case failure::killed_mid_write:
        EXPECT_EQ(r.signal, SIGXFSZ);
        EXPECT_EQ(r.err, p.before_write);
        break;
    case failure::read_error:
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, p.read_error(in));
        break;
    }
    EXPECT_EQ(r.out, "");
    if (f == failure::read_error) {
        EXPECT_EQ(std::filesystem::read_symlink(in), "/proc/self/mem");
    } else {
        expect_bytes(in, p.input);
    }
    if (!output_is_input) expect_bytes(out, previous_output);

    std::vector<std::string> left = other_files(dir.path(), {"in.gd", "out.gd"});
    if (f == failure::killed_mid_write) {
        // Killed, the program could not remove its temporary: at most one, whose
        // name says what it is.
        const std::regex temporary(output_is_input ? R"(\.in\.gd\.tmp\.[A-Za-z0-9]{6})"
                                                   : R"(\.out\.gd\.tmp\.[A-Za-z0-9]{6})");
        EXPECT_LE(left.size(), 1u);
        for (const std::string &name : left) EXPECT_TRUE(std::regex_match(name, temporary)) << name;
    } else {
        EXPECT_EQ(left, std::vector<std::string>{});
    }
}

// The six cases of one program.
inline void expect_files_kept(const writing_program &p)
{
    for (failure f : {failure::write_error, failure::killed_mid_write, failure::read_error})
        for (bool output_is_input : {true, false}) expect_file_kept(p, f, output_is_input);
}

}  // namespace failed_writes
