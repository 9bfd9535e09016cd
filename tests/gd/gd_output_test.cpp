// Named outputs that appear whole or not at all: the temporary beside the
// target, the rename, and what is left after a failure, an exit or a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "gd/graph.h"
#include "gd/output_file.h"
#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using test_support::readFile;
using test_support::writeFile;

std::vector<std::string> names_in(const fs::path &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Writes text to target through an output and commits it.
int write_whole(const std::string &target, const std::string &text)
{
    gd_output *out = gd_output_open(target.c_str());
    if (!out) return -1;
    fputs(text.c_str(), gd_output_stream(out));
    return gd_output_commit(out);
}

mode_t mode_of(const fs::path &p)
{
    struct stat st;
    EXPECT_EQ(stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

TEST(GdOutput, ANewFileAppearsOnlyWhenCommitted)
{
    test_support::TempDir dir;
    const std::string target = (dir / "out.gd").string();
    gd_output *out = gd_output_open(target.c_str());
    ASSERT_NE(out, nullptr);
    fputs("whole", gd_output_stream(out));
    fflush(gd_output_stream(out));
    // Until the commit there is only the temporary, named after the target.
    std::vector<std::string> names = names_in(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(\.out\.gd\.tmp\.[A-Za-z0-9]{6})"))) << names[0];
    EXPECT_EQ(readFile(dir / names[0]), "whole");
    EXPECT_EQ(gd_output_commit(out), 1);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.gd"});
    EXPECT_EQ(readFile(target), "whole");
    // The mode a new file gets from the umask.
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(mode_of(target), 0666 & ~mask);
}

TEST(GdOutput, AnExistingFileKeepsItsModeAndOwner)
{
    test_support::TempDir dir;
    const std::string target = (dir / "out.gd").string();
    writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(write_whole(target, "new"), 1);
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(mode_of(target), 0640u);
    if (root) {
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.gd"});
}

TEST(GdOutput, SymbolicLinksLeadToTheFileThatIsReplaced)
{
    test_support::TempDir dir;
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    writeFile(dir / "real/out.gd", "old");
    // links/two -> one -> ../real/out.gd, relative to each link's own folder.
    fs::create_symlink("../real/out.gd", dir / "links/one");
    fs::create_symlink("one", dir / "links/two");
    // A dangling link names the file to create.
    fs::create_symlink("../real/new.gd", dir / "links/dangling");

    EXPECT_EQ(write_whole((dir / "links/two").string(), "through two links"), 1);
    EXPECT_EQ(write_whole((dir / "links/dangling").string(), "created"), 1);
    EXPECT_TRUE(fs::is_symlink(dir / "links/one"));
    EXPECT_TRUE(fs::is_symlink(dir / "links/two"));
    EXPECT_TRUE(fs::is_symlink(dir / "links/dangling"));
    EXPECT_EQ(readFile(dir / "real/out.gd"), "through two links");
    EXPECT_EQ(readFile(dir / "real/new.gd"), "created");
    EXPECT_EQ(names_in(dir / "real"), (std::vector<std::string>{"new.gd", "out.gd"}));
    EXPECT_EQ(names_in(dir / "links"), (std::vector<std::string>{"dangling", "one", "two"}));
}

TEST(GdOutput, ALinkLoopIsRefused)
{
    test_support::TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    errno = 0;
    EXPECT_EQ(gd_output_open((dir / "a").c_str()), nullptr);
    EXPECT_EQ(errno, ELOOP);
}

TEST(GdOutput, ADiscardedOutputLeavesTheTargetAsItWas)
{
    test_support::TempDir dir;
    const std::string target = (dir / "out.gd").string();
    for (bool existed : {true, false}) {
        if (existed) writeFile(target, "old");
        gd_output *out = gd_output_open(target.c_str());
        ASSERT_NE(out, nullptr);
        fputs("half", gd_output_stream(out));
        gd_output_discard(out);
        EXPECT_EQ(names_in(dir.path()),
                  existed ? std::vector<std::string>{"out.gd"} : std::vector<std::string>{});
        if (existed) {
            EXPECT_EQ(readFile(target), "old");
        }
        fs::remove(target);
    }
}

TEST(GdOutput, ALongNameGetsATemporaryThatFits)
{
    test_support::TempDir dir;
    const std::string name(250, 'n');
    EXPECT_EQ(write_whole((dir / name).string(), "long"), 1);
    EXPECT_EQ(readFile(dir / name), "long");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{name});
}

TEST(GdOutput, AMissingDirectoryIsRefused)
{
    test_support::TempDir dir;
    errno = 0;
    EXPECT_EQ(gd_output_open((dir / "no-such-dir/out.gd").c_str()), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

// ---------------------------------------------------------------------------
// Targets that are not regular files are written directly.

TEST(GdOutput, DevNullAndAPipeAreWrittenDirectly)
{
    EXPECT_EQ(write_whole("/dev/null", "gone"), 1);

    test_support::TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Held open for reading, so that opening it for writing does not wait.
    int reader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(write_whole(fifo.string(), "through the pipe"), 1);
    char got[64] = {};
    EXPECT_EQ(read(reader, got, sizeof got - 1), 16);
    EXPECT_STREQ(got, "through the pipe");
    close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"fifo"});
}

// /dev/stdout leads through /proc to the file that standard output is: that
// file is written through the open descriptor, not replaced by another.
TEST(GdOutput, DevStdoutIsWrittenThroughEvenWhenItIsAFile)
{
    test_support::TempDir dir;
    const fs::path file = dir / "stdout.txt";
    writeFile(file, "");
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int fd = open(file.c_str(), O_WRONLY);
        if (fd < 0 || dup2(fd, 1) < 0) _exit(2);
        _exit(write_whole("/dev/stdout", "on standard output") == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat after;
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(readFile(file), "on standard output");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"stdout.txt"});
}

// ---------------------------------------------------------------------------
// Permissions, as a user without root's privilege meets them

// Whether opening target, in a child process that is not root (a root test
// process drops to nobody), is refused for want of permission.
bool refused_to_ordinary_user(const std::string &target)
{
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        errno = 0;
        if (gd_output_open(target.c_str()) != nullptr) _exit(1);
        _exit(errno == EACCES ? 0 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(GdOutput, AFileTheUserMayNotWriteIsRefusedInAWritableDirectory)
{
    test_support::TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    const std::string target = (dir / "readonly.gd").string();
    writeFile(target, "kept");
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    EXPECT_TRUE(refused_to_ordinary_user(target));
    EXPECT_EQ(readFile(target), "kept");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"readonly.gd"});
}

// A file the user may write, in a directory where no temporary can be made:
// writing in place would lose the file on a failure, so it is refused.
TEST(GdOutput, AWritableFileInADirectoryTheUserMayNotWriteIsRefused)
{
    test_support::TempDir dir;
    fs::create_directory(dir / "locked");
    const std::string target = (dir / "locked/out.gd").string();
    writeFile(target, "kept");
    ASSERT_EQ(chmod(target.c_str(), 0666), 0);
    fs::permissions(dir.path(), fs::perms::all);
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0555), 0);
    EXPECT_TRUE(refused_to_ordinary_user(target));
    EXPECT_EQ(readFile(target), "kept");
    chmod((dir / "locked").c_str(), 0755);
}

// ---------------------------------------------------------------------------
// Ends the program cannot avoid: the temporary goes, the target stays.

class GdOutputEnd : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::string target = (dir / "out.gd").string();
    void SetUp() override { writeFile(target, "old"); }
    // Opens the output and writes part of it.
    void start_writing()
    {
        gd_output *out = gd_output_open(target.c_str());
        if (!out) _exit(3);
        fputs("half", gd_output_stream(out));
        fflush(gd_output_stream(out));
    }
    void expect_target_as_it_was()
    {
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.gd"});
        EXPECT_EQ(readFile(target), "old");
    }
};

TEST_F(GdOutputEnd, ASignalRemovesTheTemporary)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EXIT(
            {
                start_writing();
                raise(sig);
            },
            ::testing::KilledBySignal(sig), "")
            << sig;
        expect_target_as_it_was();
    }
}

TEST_F(GdOutputEnd, AFatalStopRemovesTheTemporary)
{
    EXPECT_EXIT(
        {
            start_writing();
            gd_fatal(1);
        },
        ::testing::ExitedWithCode(1), "");
    expect_target_as_it_was();
}

TEST_F(GdOutputEnd, AnIgnoredSignalStaysIgnored)
{
    EXPECT_EXIT(
        {
            signal(SIGHUP, SIG_IGN);
            start_writing();
            raise(SIGHUP);
            exit(7);
        },
        ::testing::ExitedWithCode(7), "");
    expect_target_as_it_was();
}

}  // namespace
