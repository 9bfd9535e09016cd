#include "common/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "layout_test_support.h"
#include "program_run.h"

namespace layout {
namespace {

namespace fs = std::filesystem;
using test_support::readFile;
using test_support::TempDir;
using test_support::writeFile;

// What a directory holds, down to its subdirectories: each regular file's
// bytes and permission bits, each link's target.  Two equal snapshots mean
// nothing was changed, added or left behind.
std::map<std::string, std::string> snapshot(const fs::path &dir)
{
    std::map<std::string, std::string> out;
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        std::string name = entry.path().lexically_relative(dir).string();
        if (entry.is_symlink())
            out[name] = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            out[name] = "directory";
        else
            out[name] = "mode " + std::to_string(static_cast<unsigned>(entry.status().permissions())) + ": " +
                        readFile(entry.path());
    }
    return out;
}

mode_t modeOf(const fs::path &p)
{
    struct stat st {};
    EXPECT_EQ(stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
}

mode_t currentUmask()
{
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

TEST(OutputFile, ReplacesTheFileALinkLeadsToAndKeepsItsMode)
{
    TempDir dir;
    writeFile(dir / "real", "old");
    fs::permissions(dir / "real", fs::perms(0640));
    fs::create_symlink("real", dir / "link");
    ASSERT_FALSE(writeWholeFile((dir / "link").string(), "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readFile(dir / "real"), "new");
    EXPECT_EQ(modeOf(dir / "real"), 0640u);
    EXPECT_EQ(snapshot(dir.path()).size(), 2u);
}

TEST(OutputFile, DanglingLinkCreatesItsTargetWithTheUsualMode)
{
    TempDir dir;
    fs::create_directory(dir / "d");
    fs::create_symlink("d/absent", dir / "link");
    ASSERT_FALSE(writeWholeFile((dir / "link").string(), "text"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readFile(dir / "d/absent"), "text");
    EXPECT_EQ(modeOf(dir / "d/absent"), 0666u & ~currentUmask());
    EXPECT_EQ(snapshot(dir.path()).size(), 3u);
}

TEST(OutputFile, TemporaryBesideTheTargetUntilInstalled)
{
    TempDir dir;
    writeFile(dir / "out.lay", "old");
    const auto before = snapshot(dir.path());
    OutputFile file;
    ASSERT_FALSE(openOutputFile((dir / "out.lay").string(), file));
    // The temporary says what it is for, and while it is partial only its
    // owner may read it.
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 2u);
    std::string temp = names[0] == "out.lay" ? names[1] : names[0];
    EXPECT_EQ(temp.substr(0, 13), ".out.lay.tmp.");
    EXPECT_EQ(temp.size(), 19u);
    EXPECT_EQ(modeOf(dir / temp) & 077, 0u);
    // Written and closed, not yet in place: the target is untouched.
    ASSERT_FALSE(writeOutputFile(file, "new"));
    EXPECT_EQ(readFile(dir / temp), "new");
    EXPECT_EQ(readFile(dir / "out.lay"), "old");
    discardOutputFile(file);
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(OutputFile, AnOutputNeverInstalledIsRemovedWithItsOwner)
{
    TempDir dir;
    {
        OutputFile file;
        ASSERT_FALSE(openOutputFile((dir / "new.lay").string(), file));
        ASSERT_FALSE(writeOutputFile(file, "text"));
    }
    EXPECT_TRUE(snapshot(dir.path()).empty());
}

TEST(OutputFile, LongNameStillGetsATemporary)
{
    TempDir dir;
    const std::string name(250, 'n');
    ASSERT_FALSE(writeWholeFile((dir / name).string(), "text"));
    EXPECT_EQ(readFile(dir / name), "text");
    EXPECT_EQ(snapshot(dir.path()).size(), 1u);
}

TEST(OutputFile, NonRegularTargetsAreWrittenDirectly)
{
    TempDir dir;
    fs::create_symlink("/dev/null", dir / "null");
    EXPECT_FALSE(writeWholeFile((dir / "null").string(), "text"));
    EXPECT_TRUE(fs::is_symlink(dir / "null"));
    EXPECT_EQ(snapshot(dir.path()).size(), 1u);
    if (fs::exists("/dev/full")) {
        MaybeFailure full = writeWholeFile("/dev/full", std::string(100000, 'x'));
        ASSERT_TRUE(full);
        EXPECT_EQ(full->message, "\nCould not write file : /dev/full\n");
    }
    MaybeFailure noDir = writeWholeFile("/nonexistent-dir/x", "y");
    ASSERT_TRUE(noDir);
    EXPECT_EQ(noDir->message, "\nCould not open file : /nonexistent-dir/x for write.");
    MaybeFailure directory = writeWholeFile(dir.path().string(), "y");
    ASSERT_TRUE(directory);
    EXPECT_EQ(directory->message, "\nCould not open file : " + dir.path().string() + " for write.");
}

// Runs `child` in a forked process and returns its wait status.
template <typename Child> int inChild(Child child)
{
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) _exit(child());
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(OutputFile, ReadOnlyTargetIsRefusedThoughItsDirectoryIsWritable)
{
    TempDir dir;
    writeFile(dir / "ro.lay", "old");
    fs::permissions(dir / "ro.lay", fs::perms(0444));
    fs::permissions(dir.path(), fs::perms::all);
    const auto before = snapshot(dir.path());
    int status = inChild([&] {
        // Root may write any file; a user who does not own it may not.
        if (geteuid() == 0 && (setegid(65534) != 0 || seteuid(65534) != 0)) return 2;
        OutputFile file;
        MaybeFailure o = openOutputFile((dir / "ro.lay").string(), file);
        return o && o->message == "\nCould not open file : " + (dir / "ro.lay").string() + " for write." ? 0
                                                                                                         : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(OutputFile, EndingSignalRemovesTheTemporaries)
{
    TempDir dir;
    writeFile(dir / "a.lay", "old a");
    const auto before = snapshot(dir.path());
    int status = inChild([&] {
        OutputFile written, open;
        if (openOutputFile((dir / "a.lay").string(), written) || writeOutputFile(written, "new a")) return 1;
        if (openOutputFile((dir / "b.lay").string(), open)) return 1;
        std::raise(SIGTERM);
        return 1;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(snapshot(dir.path()), before);
}

// The programs under failure: each case names the file the run would
// write, how the run fails and whether the output is an input too.  Every
// file in the directory must be byte for byte as it was, with nothing left
// beside it.
enum class Writer { tesselLayout, tesselInclude, tesselfixLayout };
enum class Failure { writeError, killedMidWrite, readError };

struct FailureCase {
    const char *name;
    Writer writer;
    Failure failure;
    bool outputIsInput;
    int status;  // -1: ended by SIGXFSZ
    std::string out, err;
};

void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.name;
}

// tessel's -t cases write their layout under a long name so that the
// include file, which holds that name, is the larger output: a size limit
// between the two fails the include file alone.
const std::string kLongLayout = std::string(150, 'o') + ".lay";
const std::string kRoot1 =
    "$ROOT {\n      x = 0.000000\n      y = 0.000000\n  width = 1.000000\n height = 1.000000\n}\n\n\n";
const std::string kRenamed =
    "The <input tuple file> has a \".ta\" extension.\n  Re-nameing the TA file to x.ta.ta .\n";

struct Fixture {
    std::string program;
    std::vector<std::string> args;
    std::string failingInput;  // made a link to /proc/self/mem for a read error
    unsigned long long sizeLimit;
};

Fixture setUp(const FailureCase &c, const TempDir &dir)
{
    switch (c.writer) {
    case Writer::tesselLayout:
        writeFile(dir / "in.ta", "$INSTANCE a T\n");
        writeFile(dir / "out.lay", "old layout\n");
        return {TESSEL_PROGRAM, {"in.ta", c.outputIsInput ? "in.ta" : "out.lay"}, "in.ta", 100};
    case Writer::tesselInclude: {
        // The include file's name comes from the input's; an input x.ta in
        // the working directory would be its own include file.
        std::string input = c.outputIsInput ? "x.ta" : "d/x.o.ta";
        fs::create_directory(dir / "d");
        writeFile(dir / input, "");
        writeFile(dir / kLongLayout, "old layout\n");
        writeFile(dir / (c.outputIsInput ? "x.ta.ta" : "x.ta"), "old include\n");
        // The layout of an empty graph is $ROOT alone, 88 bytes.
        return {TESSEL_PROGRAM, {"-r", "-t", "-W1", "-H1", input, kLongLayout}, input, 150};
    }
    case Writer::tesselfixLayout:
        writeFile(dir / "old.ta", "$INSTANCE a T\n");
        writeFile(dir / "old.lay", kRoot1 + "a {\n x = 0\n y = 0\n width = 1\n height = 1\n}\n");
        writeFile(dir / "new.ta", "$INSTANCE a T\n$INSTANCE b T\n");
        writeFile(dir / "new.lay", "old layout\n");
        return {TESSELFIX_PROGRAM,
                {"old.ta", "old.lay", "new.ta", c.outputIsInput ? "old.lay" : "new.lay"},
                "old.lay",
                100};
    }
    return {};
}

class ProgramFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ProgramFailures, LeaveEveryFileAsItWas)
{
    const FailureCase &c = GetParam();
    TempDir dir;
    Fixture f = setUp(c, dir);
    test_support::RunSetup setup = layout_test::inDirectory(dir.path());
    if (c.failure == Failure::readError) {
        fs::remove(dir / f.failingInput);
        fs::create_symlink("/proc/self/mem", dir / f.failingInput);
    } else {
        setup.fileSizeLimit = f.sizeLimit;
        setup.ignoreFileSizeSignal = c.failure == Failure::writeError;
    }
    const auto before = snapshot(dir.path());
    auto r = test_support::runProgram(f.program, f.args, setup);
    if (c.status < 0) {
        EXPECT_EQ(r.signal, SIGXFSZ);
    } else {
        EXPECT_EQ(r.signal, 0);
        EXPECT_EQ(r.status, c.status);
    }
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, ProgramFailures,
    ::testing::Values(
        FailureCase{"TesselLayoutWriteError", Writer::tesselLayout, Failure::writeError, false, 1,
                    "\nCould not write file : out.lay\n", ""},
        FailureCase{"TesselLayoutKilled", Writer::tesselLayout, Failure::killedMidWrite, false, -1, "", ""},
        FailureCase{"TesselLayoutReadError", Writer::tesselLayout, Failure::readError, false, 1,
                    "\nCould not read file : in.ta\n", ""},
        FailureCase{"TesselOverInputWriteError", Writer::tesselLayout, Failure::writeError, true, 1,
                    "\nFile : in.ta is both an input and an output.\n", ""},
        FailureCase{"TesselOverInputKilled", Writer::tesselLayout, Failure::killedMidWrite, true, 1,
                    "\nFile : in.ta is both an input and an output.\n", ""},
        FailureCase{"TesselOverInputReadError", Writer::tesselLayout, Failure::readError, true, 1,
                    "\nCould not read file : in.ta\n", ""},
        FailureCase{"TesselIncludeWriteError", Writer::tesselInclude, Failure::writeError, false, 1,
                    "\nCould not write file : x.ta\n", ""},
        FailureCase{"TesselIncludeKilled", Writer::tesselInclude, Failure::killedMidWrite, false, -1, "", ""},
        FailureCase{"TesselIncludeReadError", Writer::tesselInclude, Failure::readError, false, 1,
                    "\nCould not read file : d/x.o.ta\n", ""},
        FailureCase{"TesselIncludeNamedLikeInputWriteError", Writer::tesselInclude, Failure::writeError, true,
                    1, "\nCould not write file : x.ta.ta\n", kRenamed},
        FailureCase{"TesselIncludeNamedLikeInputKilled", Writer::tesselInclude, Failure::killedMidWrite, true,
                    -1, "", kRenamed},
        FailureCase{"TesselIncludeNamedLikeInputReadError", Writer::tesselInclude, Failure::readError, true,
                    1, "\nCould not read file : x.ta\n", ""},
        FailureCase{"TesselfixLayoutWriteError", Writer::tesselfixLayout, Failure::writeError, false, 1,
                    "\nCould not write file : new.lay\n", ""},
        FailureCase{"TesselfixLayoutKilled", Writer::tesselfixLayout, Failure::killedMidWrite, false, -1, "",
                    ""},
        FailureCase{"TesselfixLayoutReadError", Writer::tesselfixLayout, Failure::readError, false, 1,
                    "\nCould not read file : old.lay\n", ""},
        FailureCase{"TesselfixOverInputWriteError", Writer::tesselfixLayout, Failure::writeError, true, 1,
                    "\nFile : old.lay is both an input and an output.\n", ""},
        FailureCase{"TesselfixOverInputKilled", Writer::tesselfixLayout, Failure::killedMidWrite, true, 1,
                    "\nFile : old.lay is both an input and an output.\n", ""},
        FailureCase{"TesselfixOverInputReadError", Writer::tesselfixLayout, Failure::readError, true, 1,
                    "\nCould not read file : old.lay\n", ""}),
    [](const auto &info) { return std::string(info.param.name); });

// A trace that cannot be written fails the run, which then leaves the layout
// file as it was.
TEST(ProgramFailures, TraceThatCannotBeWritten)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    struct Run {
        std::string program, traceFile;
        std::vector<std::string> args;
    };
    for (const Run &run :
         {Run{TESSEL_PROGRAM, "tessel.debug", {"-x", "g.ta", "out.lay"}},
          Run{TESSELFIX_PROGRAM, "tesselfix.debug", {"-x", "g.ta", "g.lay", "g.ta", "out.lay"}}}) {
        TempDir dir;
        writeFile(dir / "g.ta", "$INSTANCE a T\n");
        writeFile(dir / "g.lay", kRoot1 + "a {\n x = 0\n y = 0\n width = 1\n height = 1\n}\n");
        writeFile(dir / "out.lay", "old layout\n");
        fs::create_symlink("/dev/full", dir / run.traceFile);
        const auto before = snapshot(dir.path());
        auto r = test_support::runProgram(run.program, run.args, layout_test::inDirectory(dir.path()));
        EXPECT_EQ(r.status, 1) << run.program;
        EXPECT_EQ(r.out, "\nCould not write file : " + run.traceFile + "\n");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

}  // namespace
}  // namespace layout
