#include "output.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class OutputFile : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "twinfold-output-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const char* name) const { return (m_dir / name).string(); }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void put(const std::string& file, const char* text) { std::ofstream(file) << text; }
    size_t entries() const { return size_t(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator())); }

    fs::path m_dir;
};

} // namespace

TEST_F(OutputFile, ReplacesTheFileOnlyWhenFinished)
{
    put(path("out.ta"), "old");
    CoutputFile out;
    ASSERT_TRUE(out.open(path("out.ta").c_str()));
    std::fputs("new", out.stream());
    std::fflush(out.stream());
    EXPECT_EQ(contents(path("out.ta")), "old");
    EXPECT_EQ(entries(), 2u);
    ASSERT_TRUE(out.finish());
    EXPECT_EQ(contents(path("out.ta")), "new");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFile, AbandoningKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    put(path("out.ta"), "old");
    {
        CoutputFile out;
        ASSERT_TRUE(out.open(path("out.ta").c_str()));
        std::fputs("partial", out.stream());
    }
    EXPECT_EQ(contents(path("out.ta")), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFile, KeepsTheModeOfAnExistingFile)
{
    put(path("out.ta"), "old");
    chmod(path("out.ta").c_str(), 0640);
    CoutputFile out;
    ASSERT_TRUE(out.open(path("out.ta").c_str()));
    ASSERT_TRUE(out.finish());
    struct stat info;
    ASSERT_EQ(stat(path("out.ta").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(OutputFile, WritesThroughASymbolicLinkAndKeepsTheLink)
{
    put(path("target.ta"), "old");
    fs::create_symlink(path("target.ta"), path("link.ta"));
    CoutputFile out;
    ASSERT_TRUE(out.open(path("link.ta").c_str()));
    std::fputs("new", out.stream());
    ASSERT_TRUE(out.finish());
    EXPECT_TRUE(fs::is_symlink(path("link.ta")));
    EXPECT_EQ(contents(path("target.ta")), "new");
}

TEST_F(OutputFile, AMissingDirectoryCannotBeWritten)
{
    CoutputFile out;
    EXPECT_FALSE(out.open(path("no/such/dir.ta").c_str()));
    EXPECT_FALSE(out.open(""));
}

TEST_F(OutputFile, AWriteErrorIsAFailure)
{
    CoutputFile out;
    ASSERT_TRUE(out.open("/dev/full"));
    for (int i = 0; i < 10000; ++i)
        std::fputs("0123456789", out.stream());
    EXPECT_FALSE(out.finish());
    EXPECT_STREQ(out.displayName(), "/dev/full");
}
