#include "file_buffers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>

#include "driver_fixture.h"
#include "tokens.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

// Reading /proc/self/mem from its start fails with an I/O error: the first
// page of a process is never mapped. Opened by a program, "self" is that
// program, so a link to it is a file whose every read fails.
constexpr const char *failingFile = "/proc/self/mem";

TEST(InputBuffer, ReadsAWholeFileLongerThanItsBuffer)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\n";
    writeFile(dir / "long", text);
    InputBuffer file;
    ASSERT_TRUE(file.open((dir / "long").string()));
    TokenInput in{&file};
    std::string line;
    std::string read;
    while (readLine(in, line)) read += line + "\n";
    EXPECT_EQ(read, text);
    EXPECT_FALSE(file.readFailed());
}

TEST(InputBuffer, RefusesWhatCannotBeReadAsAFile)
{
    TempDir dir;
    for (const std::string &name : {std::string(), (dir / "missing").string(), dir.path().string()}) {
        InputBuffer file;
        EXPECT_FALSE(file.open(name)) << name;
        TokenInput in{&file};
        EXPECT_TRUE(atEnd(in)) << name;
        EXPECT_FALSE(file.readFailed()) << name;
    }
}

TEST(InputBuffer, AReadErrorEndsTheInputAndIsKept)
{
    InputBuffer file;
    ASSERT_TRUE(file.open(failingFile));
    TokenInput in{&file};
    EXPECT_EQ(readToken(in), "");
    EXPECT_TRUE(atEnd(in));
    EXPECT_TRUE(file.readFailed());
}

// The stream's bytes reach the file in order, small pieces and blocks
// larger than the buffer alike, and the file takes its place when kept.
TEST(OutputBuffer, WritesEveryByteInOrder)
{
    TempDir dir;
    const fs::path target = dir / "out";
    writeFile(target, "old\n");
    support::OutputFile file;
    ASSERT_TRUE(file.open(target.string()));
    OutputBuffer buffer(file);
    std::ostream out(&buffer);
    std::string expected;
    for (int i = 0; i < 10000; ++i) {
        const std::string piece = std::to_string(i) + (i % 1000 == 0 ? std::string(300000, 'b') : " ");
        out << piece;
        expected += piece;
    }
    out.put('\n');
    expected += '\n';
    EXPECT_EQ(readFile(target), "old\n");
    ASSERT_TRUE(buffer.keep());
    EXPECT_TRUE(readFile(target) == expected);
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"out"}));
}

// A write error shows when the file is kept: the target stays as it was.
TEST(OutputBuffer, AWriteErrorShowsWhenKept)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    support::OutputFile file;
    ASSERT_TRUE(file.open("/dev/full"));
    OutputBuffer buffer(file);
    std::ostream out(&buffer);
    out << std::string(200000, 'x');
    EXPECT_FALSE(buffer.keep());
    EXPECT_EQ(file.failure().error, ENOSPC);
}

// Every program that reads a file for token input, given a directory and a
// file that fails when it is read: its own message, status 255, its stop
// report, no stage run and nothing written.
using ProgramInput = DriverTest;

TEST_F(ProgramInput, UnreadableFilesStopEveryProgram)
{
    fs::create_directory(work / "adir");
    fs::create_symlink(failingFile, work / "failing");
    const fs::path dirs = root / "dirs";
    const fs::path failing = root / "failing";
    for (const char *name : {"link.pip", "joinwide.pip", "placewide.pip", "prep.pip"}) {
        fs::create_directories(dirs / "lib" / "pipeline" / name);
        fs::create_directories(failing / "lib" / "pipeline");
        fs::create_symlink(failingFile, failing / "lib" / "pipeline" / name);
    }
    auto cannotOpen = [](const fs::path &quillon, const std::string &name) {
        return "*** [prep]: Cannot open pipeline file '" + quillon.string() + "/lib/pipeline/" + name + "'\n";
    };
    auto cannotRead = [](const fs::path &quillon, const std::string &name) {
        return "*** [prep]: Cannot read pipeline file '" + quillon.string() + "/lib/pipeline/" + name + "'\n";
    };

    struct Case {
        std::string program;
        Lines arguments;
        std::string typed;     // standard input
        fs::path quillonPath;  // empty: the shipped pipeline files
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {LEDGERIZE_PROGRAM,
         {"adir", "out.tab"},
         "",
         "",
         "***Error [ledgerize]: Sorry, can't open input file 'adir'\n",
         "ledgerize stopped: Quit #1\n"},
        {LEDGERIZE_PROGRAM,
         {"failing", "out.tab"},
         "",
         "",
         "***Error [ledgerize]: Sorry, can't read input file 'failing'\n",
         "ledgerize stopped: Quit #1\n"},
        {NUMBER_PROGRAM,
         {},
         "adir\n",
         "",
         "Number what file? ",
         "number stopped: Assert condition is false\n"},
        {NUMBER_PROGRAM,
         {},
         "failing\n",
         "",
         "Number what file? ",
         "number stopped: Assert condition is false\n"},
        {LINK_PROGRAM, {"a.ta"}, "", dirs, cannotOpen(dirs, "link.pip"), "link stopped: Quit #1\n"},
        {LINK_PROGRAM, {"a.ta"}, "", failing, cannotRead(failing, "link.pip"), "link stopped: Quit #1\n"},
        {JOINWIDE_PROGRAM,
         {"a.ta"},
         "",
         dirs,
         cannotOpen(dirs, "joinwide.pip"),
         "joinwide stopped: Quit #1\n"},
        {JOINWIDE_PROGRAM,
         {"a.ta"},
         "",
         failing,
         cannotRead(failing, "joinwide.pip"),
         "joinwide stopped: Quit #1\n"},
        {PLACEWIDE_PROGRAM,
         {"a.ta"},
         "",
         dirs,
         cannotOpen(dirs, "placewide.pip"),
         "placewide stopped: Quit #1\n"},
        {PLACEWIDE_PROGRAM,
         {"a.ta"},
         "",
         failing,
         cannotRead(failing, "placewide.pip"),
         "placewide stopped: Quit #1\n"},
        {PREP_PROGRAM, {"a.ta"}, "", dirs, cannotOpen(dirs, "prep.pip"), "prep stopped: Quit #1\n"},
        {PREP_PROGRAM, {"a.ta"}, "", failing, cannotRead(failing, "prep.pip"), "prep stopped: Quit #1\n"},
    };
    for (const Case &c : cases) {
        std::string name =
            c.program + " " + c.quillonPath.string() + " " + (c.arguments.empty() ? c.typed : c.arguments[0]);
        setup.input = c.typed;
        setup.environment["QUILLON_PATH"] =
            c.quillonPath.empty() ? SHIPPED_QUILLON_PATH : c.quillonPath.string();
        auto result = start(c.program, c.arguments);
        EXPECT_EQ(result.status, 255) << name;
        EXPECT_EQ(result.out, c.out) << name;
        EXPECT_EQ(result.err, c.err) << name;
        EXPECT_EQ(workFiles(), (Lines{"adir", "failing"})) << name;
    }
    EXPECT_TRUE(standIns.calls().empty());
}

}  // namespace
}  // namespace pipeline
