#include "common/program_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_run.h"

namespace layout {
namespace {

namespace fs = std::filesystem;
using test_support::readFile;
using test_support::TempDir;
using test_support::writeFile;

TEST(ReadInputFile, ReadsEveryByte)
{
    TempDir dir;
    const std::string text = std::string("a\0b", 3) + std::string(200000, 'x');
    writeFile(dir / "in", text);
    std::string got;
    EXPECT_FALSE(readInputFile((dir / "in").string(), got));
    EXPECT_EQ(got, text);
}

// A read that fails part way stops the run in words of its own; it is never
// taken for the end of a shorter file.
TEST(ReadInputFile, FailuresSayWhatFailed)
{
    TempDir dir;
    fs::create_symlink("/proc/self/mem", dir / "mem");
    fs::create_directory(dir / "d");
    struct Case {
        std::string path, message;
    } cases[] = {
        {(dir / "absent").string(), "\nCould not open file : " + (dir / "absent").string() + " for read."},
        {(dir / "d").string(), "\nCould not open file : " + (dir / "d").string() + " for read."},
        {(dir / "mem").string(), "\nCould not read file : " + (dir / "mem").string() + "\n"},
    };
    for (const Case &c : cases) {
        std::string got;
        MaybeFailure o = readInputFile(c.path, got);
        ASSERT_TRUE(o) << c.path;
        EXPECT_EQ(o->message, c.message);
    }
}

// An output that cannot be opened is named; where its folder is to blame,
// a second line names the folder and why.
TEST(OpenOutputFile, RefusalsNameTheFileAndTheFolderToBlame)
{
    TempDir dir;
    const std::string absent = (dir / "no" / "out.lay").string();
    const std::string folder = dir.path().string();
    struct Case {
        std::string name, message;
    } cases[] = {
        {absent, "\nCould not open file : " + absent + " for write.\n" + absent + ": the folder " +
                     (dir / "no").string() + " cannot take a new file: No such file or directory\n"},
        {folder, "\nCould not open file : " + folder + " for write."},
    };
    for (const Case &c : cases) {
        support::OutputFile out;
        MaybeFailure o = openOutputFile(c.name, out);
        ASSERT_TRUE(o) << c.name;
        EXPECT_EQ(o->message, c.message);
        EXPECT_FALSE(out.isOpen());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 0);
}

// The files of a run take their places together: one that cannot be
// finished keeps every other as it was. A run that stopped keeps only its
// trace.
TEST(CloseProgramFiles, TheOutputsOfARunTakeTheirPlacesTogether)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    for (const char *name : {"in", "out.lay", "x.ta", "trace"})
        writeFile(dir / name, std::string("old ") + name);
    const std::string in = (dir / "in").string(), out = (dir / "out.lay").string();
    const std::string trace = (dir / "trace").string();

    struct Case {
        std::string what;
        std::string include;  // the include file's name
        bool stopped;
        std::string message;  // of the run; empty: it succeeds
        std::string outAfter, includeAfter, traceAfter;
    };
    const std::string full = "/dev/full";
    const Case cases[] = {
        {"all three written", (dir / "x.ta").string(), false, "", "layout", "include", "traced"},
        {"the include file cannot be written", full, false, "\nCould not write file : " + full + "\n",
         "old out.lay", "old x.ta", "old trace"},
        {"the run stopped", (dir / "x.ta").string(), true, "the stop", "old out.lay", "old x.ta", "traced"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (const char *name : {"out.lay", "x.ta", "trace"})
            writeFile(dir / name, std::string("old ") + name);
        ProgramFiles files;
        ASSERT_FALSE(openProgramFiles({in}, out, &trace, files));
        EXPECT_EQ(files.texts, std::vector<std::string>{"old in"});
        std::fputs("traced", files.traceStream);
        MaybeFailure result = c.stopped ? fail("the stop") : std::nullopt;
        result = writeLayoutFile(files, result, "layout");
        if (!result) result = writeIncludeFile(files, c.include, "include");
        result = closeProgramFiles(files, result);
        EXPECT_EQ(result ? result->message : "", c.message);
        EXPECT_EQ(readFile(out), c.outAfter);
        EXPECT_EQ(readFile(dir / "x.ta"), c.includeAfter);
        EXPECT_EQ(readFile(trace), c.traceAfter);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
    }
}

}  // namespace
}  // namespace layout
