// Input read whole: a file, a pipe that arrives in pieces, and the failures
// that must stop a reader rather than end its input.
#include "support/input_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using support::InputFailure;
using support::InputStep;
using test_support::TempDir;
using test_support::writeFile;

TEST(InputFile, ReadsAWholeFile)
{
    TempDir dir;
    for (const std::string &text :
         {std::string(), std::string("one line\n"), std::string(1 << 20, 'x') + "end"}) {
        SCOPED_TRACE(text.size());
        writeFile(dir / "in", text);
        std::string read = "left from before";
        InputFailure why;
        EXPECT_TRUE(support::readWholeFile((dir / "in").string(), read, why));
        EXPECT_FALSE(why);
        EXPECT_TRUE(read == text) << read.size();
    }
}

// A writer that pauses between its pieces is not an end of the input.
TEST(InputFile, APipeIsReadToItsEndThoughItsWriterPauses)
{
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string first(1000, 'a'), second(200000, 'b');
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);
        if (fd < 0) return;
        (void)!write(fd, first.data(), first.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (size_t at = 0; at < second.size();) {
            const ssize_t n = write(fd, second.data() + at, second.size() - at);
            if (n <= 0) break;
            at += (size_t)n;
        }
        close(fd);
    });
    std::string read;
    InputFailure why;
    EXPECT_TRUE(support::readWholeFile(fifo.string(), read, why));
    writer.join();
    EXPECT_TRUE(read == first + second) << read.size();
}

// Blocks of a fixed size, the last one short, then nothing.
TEST(InputFile, BlocksComeWholeUntilTheEnd)
{
    TempDir dir;
    writeFile(dir / "in", "0123456789");
    support::InputFile in;
    ASSERT_TRUE(in.open((dir / "in").string()));
    EXPECT_EQ(in.size(), 10u);
    char block[4];
    EXPECT_EQ(in.read(block, 4), 4u);
    EXPECT_EQ(std::string(block, 4), "0123");
    EXPECT_EQ(in.read(block, 4), 4u);
    EXPECT_EQ(in.read(block, 4), 2u);
    EXPECT_EQ(std::string(block, 2), "89");
    EXPECT_EQ(in.read(block, 4), 0u);
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.failed());
}

// Each failure names its step and the system's reason.
TEST(InputFile, FailuresAreKeptApartFromTheEnd)
{
    TempDir dir;
    fs::create_directory(dir / "folder");
    fs::create_symlink("/proc/self/mem", dir / "mem");
    const struct Case {
        std::string name;
        InputStep step;
        int error;
    } cases[] = {
        {"", InputStep::open, ENOENT},
        {(dir / "missing").string(), InputStep::open, ENOENT},
        {(dir / "folder").string(), InputStep::read, EISDIR},
        {(dir / "mem").string(), InputStep::read, EIO},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string read;
        InputFailure why;
        EXPECT_FALSE(support::readWholeFile(c.name, read, why));
        EXPECT_EQ(why.step, c.step);
        EXPECT_EQ(why.error, c.error) << std::strerror(why.error);
        EXPECT_EQ(read, "");
    }
    support::InputFile in;
    ASSERT_TRUE(in.open((dir / "mem").string()));
    char block[16];
    EXPECT_EQ(in.read(block, sizeof block), 0u);
    EXPECT_TRUE(in.failed());
    EXPECT_FALSE(in.atEnd());
    EXPECT_EQ(in.read(block, sizeof block), 0u);
}

}  // namespace
