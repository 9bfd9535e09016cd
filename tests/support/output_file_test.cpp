// Named outputs that appear whole or not at all: where the bytes go for each
// kind of name, what an existing file keeps, what a failure, an exit or a
// signal leaves, and the two ends keep and discard.
#include "support/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using support::OutputFile;
using support::OutputKind;
using support::OutputStep;
using test_support::readFile;
using test_support::runInChild;
using test_support::TempDir;
using test_support::writeFile;

std::vector<std::string> namesIn(const fs::path &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

// Opens, writes and keeps; the kind the name was opened as, or none when a
// step failed.
OutputKind writeWhole(const std::string &name, const std::string &text, support::OutputOptions options = {})
{
    OutputFile out;
    if (!out.open(name, options)) return OutputKind::none;
    const OutputKind kind = out.kind();
    if (!out.write(text)) {
        out.discard();
        return OutputKind::none;
    }
    return out.keep() ? kind : OutputKind::none;
}

mode_t modeOf(const fs::path &p)
{
    struct stat st;
    EXPECT_EQ(stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

ino_t inodeOf(const fs::path &p)
{
    struct stat st;
    EXPECT_EQ(stat(p.c_str(), &st), 0) << p;
    return st.st_ino;
}

mode_t newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

const std::regex temporaryOf(const std::string &name)
{
    return std::regex("\\." + std::regex_replace(name, std::regex(R"([.])"), R"(\.)") +
                      R"(\.tmp\.[A-Za-z0-9]{6})");
}

// ---------------------------------------------------------------------------
// Regular files: a temporary beside the target, renamed over it

TEST(OutputFile, ANewFileAppearsOnlyWhenKept)
{
    TempDir dir;
    const std::string target = (dir / "out.gd").string();
    OutputFile out;
    ASSERT_TRUE(out.open(target));
    EXPECT_EQ(out.kind(), OutputKind::creating);
    ASSERT_TRUE(out.write("whole"));
    ASSERT_TRUE(out.finish());
    // Until keep() there is only the temporary, named after the target.
    const Names names = namesIn(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], temporaryOf("out.gd"))) << names[0];
    EXPECT_EQ(readFile(dir / names[0]), "whole");
    ASSERT_TRUE(out.keep());
    EXPECT_EQ(namesIn(dir.path()), Names{"out.gd"});
    EXPECT_EQ(readFile(target), "whole");
    EXPECT_EQ(modeOf(target), newFileMode());
}

TEST(OutputFile, AnExistingFileKeepsItsModeAndOwnerNotItsInode)
{
    TempDir dir;
    const std::string target = (dir / "out.gd").string();
    writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    }
    const ino_t before = inodeOf(target);
    EXPECT_EQ(writeWhole(target, "new"), OutputKind::replacing);
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_NE(inodeOf(target), before);
    if (root) {
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    EXPECT_EQ(namesIn(dir.path()), Names{"out.gd"});
}

TEST(OutputFile, SymbolicLinksLeadToTheFileThatIsReplaced)
{
    TempDir dir;
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    writeFile(dir / "real/out.gd", "old");
    // links/two -> one -> ../real/out.gd, each relative to its link's folder.
    fs::create_symlink("../real/out.gd", dir / "links/one");
    fs::create_symlink("one", dir / "links/two");
    // A dangling link names the file to make.
    fs::create_symlink("../real/new.gd", dir / "links/dangling");

    EXPECT_EQ(writeWhole((dir / "links/two").string(), "through two links"), OutputKind::replacing);
    EXPECT_EQ(writeWhole((dir / "links/dangling").string(), "made"), OutputKind::creating);
    EXPECT_EQ(readFile(dir / "real/out.gd"), "through two links");
    EXPECT_EQ(readFile(dir / "real/new.gd"), "made");
    EXPECT_EQ(namesIn(dir / "real"), (Names{"new.gd", "out.gd"}));
    EXPECT_EQ(namesIn(dir / "links"), (Names{"dangling", "one", "two"}));
    EXPECT_TRUE(fs::is_symlink(dir / "links/two"));
}

TEST(OutputFile, ALongNameGetsATemporaryThatFits)
{
    TempDir dir;
    const std::string name(250, 'n');
    EXPECT_EQ(writeWhole((dir / name).string(), "long"), OutputKind::creating);
    EXPECT_EQ(readFile(dir / name), "long");
    EXPECT_EQ(namesIn(dir.path()), Names{name});
}

// What open() refuses, and why: the folder is named only where it is to blame.
TEST(OutputFile, NamesThatCannotBeOpened)
{
    TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    fs::create_directory(dir / "folder");
    const struct Case {
        std::string name;
        int error;
        std::string folder;
    } cases[] = {
        {"", ENOENT, ""},
        {(dir / "a").string(), ELOOP, ""},
        {(dir / "folder").string(), EISDIR, ""},
        {(dir / "folder").string() + "/", EISDIR, ""},
        {(dir / "new-folder").string() + "/", EISDIR, ""},
        {(dir / "no-such-folder/out.gd").string(), ENOENT, (dir / "no-such-folder").string()},
        {"/dev/fd/9999", EBADF, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OutputFile out;
        EXPECT_FALSE(out.open(c.name));
        EXPECT_FALSE(out.isOpen());
        EXPECT_EQ(out.failure().step, OutputStep::open);
        EXPECT_EQ(out.failure().error, c.error) << std::strerror(out.failure().error);
        EXPECT_EQ(out.failure().folder, c.folder);
        EXPECT_FALSE(out.write("x"));
        EXPECT_FALSE(out.keep());
    }
    EXPECT_EQ(namesIn(dir.path()), (Names{"a", "b", "folder"}));
    OutputFile out;
    out.open((dir / "no-such-folder/out.gd").string());
    EXPECT_EQ(out.failure().folderReason(), "the folder " + (dir / "no-such-folder").string() +
                                                " cannot take a new file: No such file or directory");
}

TEST(OutputFile, DiscardLeavesTheTargetAsItWas)
{
    TempDir dir;
    const std::string target = (dir / "out.gd").string();
    for (bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "existing target" : "new target");
        if (existed) writeFile(target, "old");
        OutputFile out;
        ASSERT_TRUE(out.open(target));
        ASSERT_TRUE(out.write(std::string(100000, 'h')));
        out.discard();
        EXPECT_FALSE(out.isOpen());
        EXPECT_EQ(namesIn(dir.path()), existed ? Names{"out.gd"} : Names{});
        if (existed) {
            EXPECT_EQ(readFile(target), "old");
        }
        fs::remove(target);
    }
}

// The stream and write() feed one output, in the order they were given.
TEST(OutputFile, TheStreamAndWritesGoOutInOrder)
{
    TempDir dir;
    const std::string target = (dir / "out.txt").string();
    OutputFile out;
    ASSERT_TRUE(out.open(target));
    FILE *stream = out.stream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(out.stream(), stream);
    fprintf(stream, "%s %d\n", "one", 1);
    ASSERT_TRUE(out.write("two\n"));
    const std::string big(200000, 'b');
    fwrite(big.data(), 1, big.size(), stream);
    ASSERT_TRUE(out.write("\nthree\n"));
    ASSERT_TRUE(out.keep());
    EXPECT_EQ(readFile(target), "one 1\ntwo\n" + big + "\nthree\n");
}

// Two outputs that must both be whole before either takes its place.
TEST(OutputFile, FinishedOutputsTakeTheirPlaceTogether)
{
    TempDir dir;
    writeFile(dir / "a", "old a");
    OutputFile a, b;
    ASSERT_TRUE(a.open((dir / "a").string()));
    ASSERT_TRUE(b.open((dir / "b").string()));
    ASSERT_TRUE(a.write("new a"));
    ASSERT_TRUE(b.write("new b"));
    ASSERT_TRUE(a.finish());
    ASSERT_TRUE(b.finish());
    EXPECT_EQ(readFile(dir / "a"), "old a");
    EXPECT_FALSE(fs::exists(dir / "b"));
    ASSERT_TRUE(a.keep());
    ASSERT_TRUE(b.keep());
    EXPECT_EQ(readFile(dir / "a"), "new a");
    EXPECT_EQ(readFile(dir / "b"), "new b");
    EXPECT_EQ(namesIn(dir.path()), (Names{"a", "b"}));
}

TEST(OutputFile, ADurableOutputIsWrittenTheSameWay)
{
    TempDir dir;
    writeFile(dir / "out.ta", "old");
    EXPECT_EQ(writeWhole((dir / "out.ta").string(), "synced", {.durable = true}), OutputKind::replacing);
    EXPECT_EQ(readFile(dir / "out.ta"), "synced");
    EXPECT_EQ(namesIn(dir.path()), Names{"out.ta"});
}

// ---------------------------------------------------------------------------
// Write errors: the first stays, the target is as it was, nothing is left

// A file size limit with SIGXFSZ ignored: writes past it fail with EFBIG.
// The child reports by its status: 0 when all held.
int underSizeLimit(rlim_t limit, const std::function<int()> &body)
{
    signal(SIGXFSZ, SIG_IGN);
    const rlimit size{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &size) != 0) return 90;
    return body();
}

TEST(OutputFile, AWriteErrorFailsEveryLaterStepAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string target = (dir / "out.gd").string();
    writeFile(target, "old");
    // At the limit inside one large write, and at the last flush only.
    for (size_t size : {size_t(1) << 20, size_t(5000)}) {
        SCOPED_TRACE(size);
        const test_support::ChildEnd end = runInChild([&] {
            return underSizeLimit(4096, [&] {
                OutputFile out;
                if (!out.open(target)) return 1;
                const bool wrote = out.write(std::string(size, 'x'));
                if (wrote != (size < 65536)) return 2;
                if (out.keep()) return 3;
                if (out.failure().step != OutputStep::write || out.failure().error != EFBIG) return 4;
                return out.isOpen() ? 5 : 0;
            });
        });
        EXPECT_EQ(end.status, 0);
        EXPECT_EQ(readFile(target), "old");
        EXPECT_EQ(namesIn(dir.path()), Names{"out.gd"});
    }
}

TEST(OutputFile, AFullDeviceFailsAtTheWriteOrTheFinish)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (size_t size : {size_t(10), size_t(1) << 20}) {
        OutputFile out;
        ASSERT_TRUE(out.open("/dev/full"));
        EXPECT_EQ(out.kind(), OutputKind::direct);
        out.write(std::string(size, 'x'));
        EXPECT_FALSE(out.keep());
        EXPECT_EQ(out.failure().step, OutputStep::write);
        EXPECT_EQ(out.failure().error, ENOSPC);
    }
}

// ---------------------------------------------------------------------------
// Targets that are not replaced

TEST(OutputFile, DevNullAndAFifoAreWrittenDirectly)
{
    EXPECT_EQ(writeWhole("/dev/null", "gone"), OutputKind::direct);
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Held open for reading, so that opening it for writing does not wait.
    const int reader = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(writeWhole(fifo.string(), "through the pipe"), OutputKind::direct);
    char got[64] = {};
    EXPECT_EQ(read(reader, got, sizeof got - 1), 16);
    EXPECT_STREQ(got, "through the pipe");
    close(reader);
    EXPECT_EQ(namesIn(dir.path()), Names{"fifo"});
}

// A file of /proc takes what is written as the kernel takes it: opened and
// written directly, as no file can be made beside it. In a child, whose name
// the write changes.
TEST(OutputFile, AFileOfProcIsWrittenDirectly)
{
    const test_support::ChildEnd end = test_support::runInChild([] {
        if (writeWhole("/proc/self/comm", "renamed") != OutputKind::direct) return 1;
        return readFile("/proc/self/comm") == "renamed\n" ? 0 : 2;
    });
    EXPECT_EQ(end.status, 0);
}

// Every spelling of a name for an open descriptor writes through that
// descriptor: into a file the shell goes on writing (appended to or not, at an
// offset past a head) and into a pipe. The file keeps its inode and ends with
// what was written from the offset, cut there; the bytes before stay.
TEST(OutputFile, NamesOfADescriptorAreWrittenThroughIt)
{
    TempDir dir;
    fs::create_symlink("/dev/stdout", dir / "to-stdout");
    // PID stands for the child's own process number.
    const std::string names[] = {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "/proc/PID/fd/1",
                                 (dir / "to-stdout").string()};
    enum class Into { appendedFile, fileAtOffset, pipe };
    for (const std::string &name : names) {
        for (Into into : {Into::appendedFile, Into::fileAtOffset, Into::pipe}) {
            SCOPED_TRACE(name + (into == Into::pipe           ? " into a pipe"
                                 : into == Into::appendedFile ? " appended"
                                                              : " at an offset"));
            const fs::path file = dir / "shell.txt";
            writeFile(file, "head\nand a long tail that the output overwrites and cuts off\n");
            const ino_t inode = inodeOf(file);
            int pipeEnds[2];
            ASSERT_EQ(pipe(pipeEnds), 0);
            const test_support::ChildEnd end = runInChild([&] {
                const int fd =
                    into == Into::pipe
                        ? pipeEnds[1]
                        : open(file.c_str(), into == Into::appendedFile ? O_WRONLY | O_APPEND : O_WRONLY);
                if (fd < 0 || dup2(fd, 1) < 0) return 10;
                if (into == Into::fileAtOffset && lseek(1, 5, SEEK_SET) != 5) return 11;
                close(pipeEnds[0]);
                const std::string own = std::regex_replace(name, std::regex("PID"), std::to_string(getpid()));
                if (writeWhole(own, "output\n") != OutputKind::descriptor) return 12;
                // The shell's next line follows the output.
                return ::write(1, "footer\n", 7) == 7 ? 0 : 13;
            });
            close(pipeEnds[1]);
            EXPECT_EQ(end.status, 0);
            std::string piped;
            char block[256];
            for (ssize_t n; (n = read(pipeEnds[0], block, sizeof block)) > 0;) piped.append(block, (size_t)n);
            close(pipeEnds[0]);
            const std::string original = "head\nand a long tail that the output overwrites and cuts off\n";
            EXPECT_EQ(readFile(file), into == Into::pipe           ? original
                                      : into == Into::appendedFile ? original + "output\nfooter\n"
                                                                   : "head\noutput\nfooter\n");
            EXPECT_EQ(piped, into == Into::pipe ? "output\nfooter\n" : "");
            EXPECT_EQ(inodeOf(file), inode);
            EXPECT_EQ(namesIn(dir.path()), (Names{"shell.txt", "to-stdout"}));
        }
    }
}

TEST(OutputFile, ADescriptorOpenOnlyForReadingIsRefused)
{
    const test_support::ChildEnd end = runInChild([] {
        const int fd = open("/dev/null", O_RDONLY);
        if (fd < 0 || dup2(fd, 1) < 0) return 10;
        OutputFile out;
        if (out.open("/dev/stdout")) return 11;
        return out.failure().error == EBADF ? 0 : 12;
    });
    EXPECT_EQ(end.status, 0);
}

// ---------------------------------------------------------------------------
// Permissions, as a user without root's privilege meets them

class Permissions : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override { fs::permissions(dir.path(), fs::perms::all); }
    // A folder of the test's own, `mode`, holding `file` of `fileMode`.
    std::string folderWith(const std::string &folder, mode_t mode, const std::string &file, mode_t fileMode,
                           uid_t fileOwner)
    {
        fs::create_directory(dir / folder);
        const std::string target = (dir / folder / file).string();
        writeFile(target, "old");
        EXPECT_EQ(chmod(target.c_str(), fileMode), 0);
        if (geteuid() == 0) {
            EXPECT_EQ(chown(target.c_str(), fileOwner, fileOwner), 0);
        }
        EXPECT_EQ(chmod((dir / folder).c_str(), mode), 0);
        return target;
    }
    void TearDown() override
    {
        for (const auto &entry : fs::directory_iterator(dir.path()))
            if (entry.is_directory()) chmod(entry.path().c_str(), 0777);
    }
};

TEST_F(Permissions, AFileTheUserMayNotWriteIsRefusedInAWritableFolder)
{
    const std::string target =
        folderWith("open", 0777, "readonly.gd", 0444, test_support::unprivilegedUser());
    const test_support::ChildEnd end = runInChild(
        [&] {
            OutputFile out;
            if (out.open(target)) return 1;
            return out.failure().error == EACCES && out.failure().folder.empty() ? 0 : 2;
        },
        true);
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(namesIn(dir / "open"), Names{"readonly.gd"});
}

// A writable file in a folder that takes no new file (a shared results
// folder), or in a sticky folder that lets no one else replace it: the output
// is made whole elsewhere and written into the file in place, which keeps its
// inode, mode and owner; nothing is left in the folder or under TMPDIR.
TEST_F(Permissions, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace)
{
    // Another user's file in the sticky folder needs a test run as root.
    const uid_t other = geteuid();
    const struct Case {
        const char *folder;
        mode_t mode;
        OutputKind kind;
    } cases[] = {{"closed", 0555, OutputKind::inPlace}, {"sticky", 01777, OutputKind::replacing}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        if (c.mode & S_ISVTX && geteuid() != 0) continue;
        const std::string target = folderWith(c.folder, c.mode, "shared.gd", 0666, other);
        fs::create_directory(dir / (std::string(c.folder) + "-tmp"));
        chmod((dir / (std::string(c.folder) + "-tmp")).c_str(), 0777);
        const ino_t inode = inodeOf(target);
        const std::string text = std::string(300000, 'n') + "ew\n";
        const test_support::ChildEnd end = runInChild(
            [&] {
                setenv("TMPDIR", (dir / (std::string(c.folder) + "-tmp")).c_str(), 1);
                return writeWhole(target, text) == c.kind ? 0 : 1;
            },
            true);
        EXPECT_EQ(end.status, 0);
        EXPECT_EQ(readFile(target), text);
        EXPECT_EQ(inodeOf(target), inode);
        EXPECT_EQ(modeOf(target), 0666u);
        EXPECT_EQ(namesIn(dir / c.folder), Names{"shared.gd"});
        EXPECT_EQ(namesIn(dir / (std::string(c.folder) + "-tmp")), Names{});
    }
}

TEST_F(Permissions, ANewFileInAFolderThatTakesNoneIsRefusedNamingTheFolder)
{
    folderWith("closed", 0555, "other.gd", 0666, 0);
    const std::string target = (dir / "closed/new.gd").string();
    const test_support::ChildEnd end = runInChild(
        [&] {
            OutputFile out;
            if (out.open(target)) return 1;
            const support::OutputFailure &f = out.failure();
            return f.step == OutputStep::open && f.error == EACCES &&
                           f.folderReason() == "the folder " + (dir / "closed").string() +
                                                   " cannot take a new file: Permission denied"
                       ? 0
                       : 2;
        },
        true);
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(namesIn(dir / "closed"), Names{"other.gd"});
}

// ---------------------------------------------------------------------------
// Another program fills the output by its name

TEST(OutputFile, AnotherProgramFillsTheTemporaryByName)
{
    TempDir dir;
    const std::string target = (dir / "listing").string();
    writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    OutputFile out;
    ASSERT_TRUE(out.open(target, {.filledByName = true}));
    ASSERT_FALSE(out.temporaryName().empty());
    EXPECT_EQ(fs::path(out.temporaryName()).parent_path(), dir.path());
    EXPECT_TRUE(std::regex_match(fs::path(out.temporaryName()).filename().string(), temporaryOf("listing")));
    // The other program writes a new file of its own under the name.
    fs::remove(out.temporaryName());
    writeFile(out.temporaryName(), "filled");
    EXPECT_EQ(readFile(target), "old");
    ASSERT_TRUE(out.keep());
    EXPECT_EQ(readFile(target), "filled");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(namesIn(dir.path()), Names{"listing"});
}

TEST(OutputFile, AFilledTemporaryReachesADescriptorByCopy)
{
    TempDir dir;
    const fs::path file = dir / "shell.txt";
    writeFile(file, "");
    const test_support::ChildEnd end = runInChild([&] {
        const int fd = open(file.c_str(), O_WRONLY | O_APPEND);
        if (fd < 0 || dup2(fd, 1) < 0) return 10;
        setenv("TMPDIR", dir.path().c_str(), 1);
        OutputFile out;
        if (!out.open("/dev/stdout", {.filledByName = true}) || out.kind() != OutputKind::descriptor)
            return 11;
        writeFile(out.temporaryName(), "filled\n");
        return out.keep() ? 0 : 12;
    });
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(readFile(file), "filled\n");
    EXPECT_EQ(namesIn(dir.path()), Names{"shell.txt"});
}

TEST(OutputFile, AFileIsCopiedIntoAnOutput)
{
    TempDir dir;
    const std::string text(150000, 'c');
    writeFile(dir / "from", text);
    OutputFile out;
    ASSERT_TRUE(out.open((dir / "to").string()));
    int readError = -1;
    ASSERT_TRUE(support::copyFileInto((dir / "from").string(), out, readError));
    EXPECT_EQ(readError, 0);
    ASSERT_TRUE(out.keep());
    EXPECT_EQ(readFile(dir / "to"), text);

    ASSERT_TRUE(out.open((dir / "to").string()));
    EXPECT_FALSE(support::copyFileInto("/proc/self/mem", out, readError));
    EXPECT_EQ(readError, EIO);
    out.discard();
    EXPECT_EQ(readFile(dir / "to"), text);
    EXPECT_EQ(namesIn(dir.path()), (Names{"from", "to"}));
}

// ---------------------------------------------------------------------------
// Ends the program cannot avoid: the temporary goes, the target stays.

class OutputFileEnd : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = (dir / "out.gd").string();
    void SetUp() override { writeFile(target, "old"); }
    // Opens an output and writes part of it, in a child about to end. The
    // output is never destroyed: the end itself must remove its temporary.
    void startWriting()
    {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        OutputFile *out = new OutputFile;
        if (!out->open(target) || !out->write(std::string(100000, 'h'))) _exit(3);
    }
    void expectTargetAsItWas()
    {
        EXPECT_EQ(namesIn(dir.path()), Names{"out.gd"});
        EXPECT_EQ(readFile(target), "old");
    }
};

TEST_F(OutputFileEnd, AnEndingSignalRemovesTheTemporary)
{
    for (int sig : support::endingSignals()) {
        SCOPED_TRACE(strsignal(sig));
        const test_support::ChildEnd end = runInChild([&] {
            startWriting();
            raise(sig);
            return 0;
        });
        EXPECT_EQ(end.signal, sig);
        expectTargetAsItWas();
    }
}

// A signal set back to its default after the first temporary (by a library
// of the program, or a test harness that forked) is caught again for the
// next one.
TEST_F(OutputFileEnd, ASignalSetBackToItsDefaultIsCaughtForTheNextTemporary)
{
    const test_support::ChildEnd end = runInChild([&] {
        OutputFile first;
        if (!first.open(target)) _exit(3);
        first.discard();
        signal(SIGTERM, SIG_DFL);
        startWriting();
        raise(SIGTERM);
        return 0;
    });
    EXPECT_EQ(end.signal, SIGTERM);
    expectTargetAsItWas();
}

TEST_F(OutputFileEnd, ExitRemovesTheTemporary)
{
    const test_support::ChildEnd end = runInChild([&] {
        startWriting();
        exit(7);
        return 0;
    });
    EXPECT_EQ(end.status, 7);
    expectTargetAsItWas();
}

TEST_F(OutputFileEnd, AnIgnoredSignalStaysIgnored)
{
    const test_support::ChildEnd end = runInChild([&] {
        signal(SIGHUP, SIG_IGN);
        startWriting();
        raise(SIGHUP);
        return 7;
    });
    EXPECT_EQ(end.status, 7);
}

// A write past the file size limit, with SIGXFSZ at its default, ends the
// process; the handler removes the temporary first.
TEST_F(OutputFileEnd, TheFileSizeLimitsSignalRemovesTheTemporary)
{
    const test_support::ChildEnd end = runInChild([&] {
        const rlimit noCore{0, 0}, size{4096, 4096};
        setrlimit(RLIMIT_CORE, &noCore);
        setrlimit(RLIMIT_FSIZE, &size);
        OutputFile out;
        if (!out.open(target)) return 1;
        out.write(std::string(1 << 20, 'x'));
        return 2;
    });
    EXPECT_EQ(end.signal, SIGXFSZ);
    expectTargetAsItWas();
}

// A child forked while an output is pending (the shell of a command) and
// ending leaves the parent's temporary to the parent.
TEST_F(OutputFileEnd, AForkedChildLeavesItsParentsTemporary)
{
    OutputFile out;
    ASSERT_TRUE(out.open(target));
    ASSERT_TRUE(out.write("new"));
    EXPECT_EQ(runInChild([] {
                  exit(0);
                  return 0;
              }).status,
              0);
    EXPECT_EQ(runInChild([] {
                  raise(SIGTERM);
                  return 0;
              }).signal,
              SIGTERM);
    ASSERT_TRUE(out.keep());
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(namesIn(dir.path()), Names{"out.gd"});
}

// Destroyed without keep() or discard(): a debug build stops at the slip, a
// release build discards.
TEST_F(OutputFileEnd, AnOutputNeitherKeptNorDiscardedIsASlip)
{
    const test_support::ChildEnd end = runInChild([&] {
        {
            OutputFile out;
            if (!out.open(target) || !out.write("new")) return 1;
        }
        return 0;
    });
#ifdef NDEBUG
    EXPECT_EQ(end.status, 0);
#else
    EXPECT_EQ(end.signal, SIGABRT);
#endif
    expectTargetAsItWas();
}

}  // namespace
