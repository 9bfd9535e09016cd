// The README's batch example: gd/sample/batch.mk run by make over the sample
// units, two jobs side by side, with talvexf and graphxml from the search path
// as the README sets it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

// graphxml stops at a write error with a partial document; make deletes it, so
// the next run makes it again instead of taking it as up to date. The Ririra
// graph is whole and kept. The unit's own folder is SRC and OUT at once, so
// the results left there must not count as units.
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
    // make's own report: the rule (file and line) that failed, then the deletion.
    EXPECT_TRUE(failed.err.starts_with(std::string("make: *** [") + BATCH_MAKEFILE + ":")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with(": unit.gxl] Error 1\nmake: *** Deleting file 'unit.gxl'\n"))
        << failed.err;
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

}  // namespace
