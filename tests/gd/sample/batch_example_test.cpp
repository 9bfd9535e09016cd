// The README's batch example: gd/sample/batch.mk run by make over the sample
// units, two jobs side by side, with talvexf and graphxml from the search path
// as the README sets it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using test_support::ProgramRun;
using test_support::readFile;
using test_support::runProgram;
using test_support::RunSetup;

// The folder of the built programs first on the search path, as the README
// has it for the installed ones.
RunSetup searchPathSetup(const fs::path &directory)
{
    RunSetup setup;
    setup.directory = directory;
    const char *path = std::getenv("PATH");
    setup.environment["PATH"] =
        fs::path(TALVEXF).parent_path().string() + ":" + (path ? path : "/usr/bin:/bin");
    return setup;
}

ProgramRun runMake(const std::vector<std::string> &options, const RunSetup &setup)
{
    std::vector<std::string> arguments = {"-f", BATCH_MAKEFILE};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return runProgram(MAKE_PROGRAM, arguments, setup);
}

std::vector<std::string> sampleUnits()
{
    std::vector<std::string> units;
    for (const fs::directory_entry &entry : fs::directory_iterator(SAMPLE_DIR)) {
        if (entry.path().extension() == ".gd") units.push_back(entry.path().stem().string());
    }
    return units;
}

std::set<std::string> entries(const fs::path &directory)
{
    std::set<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(directory))
        names.insert(entry.path().filename());
    return names;
}

// Each unit's three files hold what talvexf and graphxml give when run on
// that unit alone; a second run finds everything up to date.
TEST(BatchExample, EachUnitAsItsOwnJob)
{
    const std::vector<std::string> units = sampleUnits();
    ASSERT_GE(units.size(), 2u) << "two sample units make two jobs";
    test_support::TempDir dir;
    const fs::path results = dir / "results";
    const RunSetup setup = searchPathSetup(dir.path());
    const std::vector<std::string> options = {"SRC=" + std::string(SAMPLE_DIR), "OUT=" + results.string()};

    std::vector<std::string> run = {"-s", "-j2"};
    run.insert(run.end(), options.begin(), options.end());
    const ProgramRun batch = runMake(run, setup);
    ASSERT_EQ(batch.status, 0) << batch.out << batch.err;
    EXPECT_EQ(batch.out, "");
    EXPECT_EQ(batch.err, "");

    std::set<std::string> expectedFiles;
    for (const std::string &unit : units) {
        SCOPED_TRACE(unit);
        const fs::path alone = dir / (unit + ".alone.gd");
        const ProgramRun talvexf =
            runProgram(TALVEXF, {std::string(SAMPLE_DIR) + "/" + unit + ".gd", alone.string()});
        ASSERT_EQ(talvexf.status, 0) << talvexf.err;
        const fs::path ririra = results / (unit + ".ririra.gd");
        EXPECT_EQ(readFile(ririra), readFile(alone));
        // The document names the file it was made from, as make names it.
        const ProgramRun graphxml = runProgram(GRAPHXML, {ririra.string()});
        ASSERT_EQ(graphxml.status, 0) << graphxml.err;
        EXPECT_EQ(readFile(results / (unit + ".gxl")), graphxml.out);
        EXPECT_EQ(readFile(results / (unit + ".log")), talvexf.err + graphxml.err);
        expectedFiles.insert({unit + ".ririra.gd", unit + ".gxl", unit + ".log"});
    }
    EXPECT_EQ(entries(results), expectedFiles);

    std::vector<std::string> question = {"-q"};
    question.insert(question.end(), options.begin(), options.end());
    EXPECT_EQ(runMake(question, setup).status, 0);
}

// graphxml stops at a write error with a partial document, which never takes
// the document's name, so the next run makes it again instead of taking it as
// up to date. The Ririra graph is whole and kept. The unit's own folder is SRC
// and OUT at once, so the results left there must not count as units.
TEST(BatchExample, PartialDocumentOfAFailedRunIsDeleted)
{
    test_support::TempDir dir;
    fs::copy_file(std::string(SAMPLE_DIR) + "/unit.gd", dir / "unit.gd");
    const fs::path alone = dir / "alone" / "unit.ririra.gd";
    fs::create_directory(alone.parent_path());
    const ProgramRun talvexf = runProgram(TALVEXF, {(dir / "unit.gd").string(), alone.string()});
    ASSERT_EQ(talvexf.status, 0) << talvexf.err;
    RunSetup inAlone;
    inAlone.directory = alone.parent_path();
    // make names the file without the "./" of OUT.
    const ProgramRun whole = runProgram(GRAPHXML, {"unit.ririra.gd"}, inAlone);
    ASSERT_GT(whole.out.size(), fs::file_size(alone)) << "the document must outgrow the graph";

    RunSetup limited = searchPathSetup(dir.path());
    limited.fileSizeLimit = fs::file_size(alone);
    limited.ignoreFileSizeSignal = true;
    const ProgramRun failed = runMake({"-s", "SRC=.", "OUT=."}, limited);
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.out, "");
    // make's own report: the rule (file and line) that failed; there is no
    // partial target for it to delete.
    EXPECT_TRUE(failed.err.starts_with(std::string("make: *** [") + BATCH_MAKEFILE + ":")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with(": unit.gxl] Error 1\n")) << failed.err;
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"alone", "unit.gd", "unit.ririra.gd", "unit.log"}));
    EXPECT_EQ(readFile(dir / "unit.ririra.gd"), readFile(alone));
    EXPECT_EQ(readFile(dir / "unit.log"), talvexf.err + "graphxml: error writing standard output\n");
    EXPECT_EQ(runMake({"-q", "SRC=.", "OUT=."}, searchPathSetup(dir.path())).status, 1);

    const ProgramRun again = runMake({"-s", "SRC=.", "OUT=."}, searchPathSetup(dir.path()));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(readFile(dir / "unit.gxl"), whole.out);
    EXPECT_EQ(entries(dir.path()),
              (std::set<std::string>{"alone", "unit.gd", "unit.ririra.gd", "unit.gxl", "unit.log"}));
}

// The files of a folder by name, each with its bytes.
std::map<std::string, std::string> filesIn(const fs::path &directory)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(directory))
        files[entry.path().filename()] = readFile(entry.path());
    return files;
}

// Stand-ins for the two programs in a batch that is killed: for the unit
// "stall" talvexf leaves what a kill in the middle of its write leaves (its
// temporary, half written), and for the unit "unit" graphxml writes half its
// document; then each says so in MARKS and waits to be killed. Every other
// job runs the real program.
const char *stalling_talvexf = R"(#!/bin/sh
case "$1" in
*/stall.gd)
  printf 'gduf half' > "$(dirname "$2")/.stall.ririra.gd.tmp.Ab12Cd"
  touch "$MARKS/talvexf"
  exec sleep 600;;
esac
exec "$REAL_TALVEXF" "$@"
)";
const char *stalling_graphxml = R"(#!/bin/sh
case "$1" in
*/unit.ririra.gd)
  "$REAL_GRAPHXML" "$1" | head -c 1000
  touch "$MARKS/graphxml"
  exec sleep 600;;
esac
exec "$REAL_GRAPHXML" "$@"
)";

// A batch killed with SIGKILL, make and its jobs together, while a talvexf and
// a graphxml are each in the middle of a write: run again, it ends with
// exactly the files of a batch that was never killed.
TEST(BatchExample, AKilledBatchRunAgainEndsWithTheFilesOfACleanRun)
{
    test_support::TempDir dir;
    const fs::path units = dir / "units", marks = dir / "marks", standIns = dir / "stand-ins";
    for (const fs::path &folder : {units, marks, standIns}) fs::create_directory(folder);
    for (const char *name : {"stall", "first", "second", "third"})
        fs::copy_file(std::string(SAMPLE_DIR) + "/unit.gd", units / (std::string(name) + ".gd"));
    for (const std::string &unit : sampleUnits())
        fs::copy_file(std::string(SAMPLE_DIR) + "/" + unit + ".gd", units / (unit + ".gd"));
    test_support::writeFile(standIns / "talvexf", stalling_talvexf);
    test_support::writeFile(standIns / "graphxml", stalling_graphxml);
    fs::permissions(standIns / "talvexf", fs::perms::owner_all);
    fs::permissions(standIns / "graphxml", fs::perms::owner_all);
    const RunSetup setup = searchPathSetup(dir.path());
    const std::string src = "SRC=" + units.string();

    // The documents name the graph files they were made from, so the clean
    // run writes into the folder the killed one will, then moves aside.
    const fs::path results = dir / "results";
    const ProgramRun clean = runMake({"-s", "-j2", src, "OUT=" + results.string()}, setup);
    ASSERT_EQ(clean.status, 0) << clean.err;
    fs::rename(results, dir / "clean");

    RunSetup stalling = setup;
    stalling.ownProcessGroup = true;
    stalling.environment["MARKS"] = marks.string();
    stalling.environment["REAL_TALVEXF"] = TALVEXF;
    stalling.environment["REAL_GRAPHXML"] = GRAPHXML;
    {
        test_support::StartedProgram batch(MAKE_PROGRAM,
                                           {"-f", BATCH_MAKEFILE, "-s", "-j3", src, "OUT=" + results.string(),
                                            "TALVEXF=" + (standIns / "talvexf").string(),
                                            "GRAPHXML=" + (standIns / "graphxml").string()},
                                           stalling);
        while (batch.running() && !(fs::exists(marks / "talvexf") && fs::exists(marks / "graphxml")))
            usleep(2000);
        ASSERT_TRUE(batch.running()) << "the batch ended before the stand-ins stalled";
        batch.signalGroup(SIGKILL);
        EXPECT_EQ(batch.wait().signal, SIGKILL);
    }
    // What the kill left: the two half-written files, under names of their own.
    EXPECT_EQ(readFile(results / ".stall.ririra.gd.tmp.Ab12Cd"), "gduf half");
    EXPECT_EQ(readFile(results / "unit.gxl.part").size(), 1000u);
    EXPECT_FALSE(fs::exists(results / "unit.gxl"));
    EXPECT_FALSE(fs::exists(results / "stall.ririra.gd"));

    const ProgramRun again = runMake({"-s", "-j2", src, "OUT=" + results.string()}, setup);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.err, "");
    const std::map<std::string, std::string> expected = filesIn(dir / "clean"), got = filesIn(results);
    std::set<std::string> expectedNames, gotNames;
    for (const auto &[name, bytes] : expected) expectedNames.insert(name);
    for (const auto &[name, bytes] : got) gotNames.insert(name);
    EXPECT_EQ(gotNames, expectedNames);
    for (const auto &[name, bytes] : expected) EXPECT_TRUE(got.count(name) && got.at(name) == bytes) << name;
    EXPECT_EQ(runMake({"-q", src, "OUT=" + results.string()}, setup).status, 0);
}

}  // namespace
