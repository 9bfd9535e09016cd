#include "common/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_run.h"

namespace layout {
namespace {

namespace fs = std::filesystem;
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

TEST(SameFile, ByIdentityHoweverSpelt)
{
    TempDir dir;
    writeFile(dir / "a", "x");
    writeFile(dir / "b", "x");
    fs::create_symlink("a", dir / "link");
    fs::create_hard_link(dir / "a", dir / "hard");
    const std::string a = (dir / "a").string();
    EXPECT_TRUE(sameFile(a, (dir / "link").string()));
    EXPECT_TRUE(sameFile(a, (dir / "hard").string()));
    EXPECT_TRUE(sameFile(a, (dir / "." / "a").string()));
    EXPECT_FALSE(sameFile(a, (dir / "b").string()));
    EXPECT_FALSE(sameFile(a, (dir / "absent").string()));
    EXPECT_TRUE(sameFile((dir / "absent").string(), (dir / "." / "absent").string()));
}

}  // namespace
}  // namespace layout
