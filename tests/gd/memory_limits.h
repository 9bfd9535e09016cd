// The gd programs under an address-space limit, as `ulimit -v` or a batch
// queue's memory limit sets it: under every limit a run either does its whole
// work, writing what it writes without a limit, or stops cleanly with a
// message that says why, status 1, the output it was to replace left as it
// was and no temporary behind. Never an abort, never a partial output.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "program_run.h"

namespace memory_limits {

constexpr unsigned long long mib = 1024 * 1024;

// The ends of standard error that a clean stop may have, by what stopped.
struct stop_kind {
    const char *what;
    std::string message_end;
};

// How the runs ended: "whole" and the `what` of each stop met.
using outcomes = std::set<std::string>;

// Runs `program` on `in`, writing `out`, under each limit (in MiB). `whole`
// is what the program writes to `out` without a limit.
inline outcomes run_under_limits(const std::string &program, const std::string &in, const std::string &out,
                                 const std::vector<unsigned long long> &limits, const std::string &whole,
                                 const std::vector<stop_kind> &stops)
{
    const std::filesystem::path dir = std::filesystem::path(out).parent_path();
    outcomes met;
    for (unsigned long long limit : limits) {
        const std::string at = program + " under " + std::to_string(limit) + " MiB";
        test_support::writeFile(out, "the old output");
        test_support::RunSetup setup;
        setup.addressSpaceLimit = limit * mib;
        const test_support::ProgramRun r = test_support::runProgram(program, {in, out}, setup);
        EXPECT_EQ(r.signal, 0) << at << "\n" << r.err.substr(r.err.size() > 2000 ? r.err.size() - 2000 : 0);
        EXPECT_EQ(r.out, "") << at;
        if (r.status == 0) {
            met.insert("whole");
            EXPECT_TRUE(test_support::readFile(out) == whole) << at << ": the output differs";
        } else {
            EXPECT_EQ(r.status, 1) << at;
            EXPECT_EQ(test_support::readFile(out), "the old output") << at;
            const stop_kind *stop = nullptr;
            for (const stop_kind &s : stops)
                if (r.err.size() >= s.message_end.size() &&
                    r.err.compare(r.err.size() - s.message_end.size(), s.message_end.size(), s.message_end) ==
                        0)
                    stop = &s;
            if (stop)
                met.insert(stop->what);
            else
                ADD_FAILURE() << at << ": no clean stop\n"
                              << r.err.substr(r.err.size() > 2000 ? r.err.size() - 2000 : 0);
        }
        std::vector<std::string> left;
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            if (entry.path() != in && entry.path() != out) left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{}) << at;
    }
    return met;
}

}  // namespace memory_limits
