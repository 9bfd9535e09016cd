#include "output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void put(const std::string& file, const char* text) { std::ofstream(file) << text; }
    size_t entries() const { return size_t(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator())); }

    // Opens name, begins, writes text and finishes; true when all went well.
    static bool writeWhole(const std::string& name, const char* text)
    {
        CoutputFile out;
        if (!out.open(name.c_str()) || !out.begin())
            return false;
        std::fputs(text, out.stream());
        return out.finish();
    }

    fs::path m_dir;
};

} // namespace

TEST_F(OutputFile, TheFileIsEmptiedOnlyWhenTheWritingBeginsAndWrittenInPlace)
{
    put(path("out.ta"), "old contents");
    chmod(path("out.ta").c_str(), 0640);
    fs::create_hard_link(path("out.ta"), path("twin.ta"));
    // As root the owner can be given away; writing in place keeps it.
    bool ownerGiven = chown(path("out.ta").c_str(), 4321, 4321) == 0;
    struct stat before;
    ASSERT_EQ(stat(path("out.ta").c_str(), &before), 0);

    CoutputFile out;
    ASSERT_TRUE(out.open(path("out.ta").c_str()));
    EXPECT_EQ(contents(path("out.ta")), "old contents");
    ASSERT_TRUE(out.begin());
    EXPECT_EQ(contents(path("out.ta")), "");
    std::fputs("new", out.stream());
    ASSERT_TRUE(out.finish());

    EXPECT_EQ(contents(path("out.ta")), "new");
    EXPECT_EQ(contents(path("twin.ta")), "new");
    struct stat after;
    ASSERT_EQ(stat(path("out.ta").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (ownerGiven) {
        EXPECT_EQ(after.st_uid, 4321u);
    }
    EXPECT_EQ(entries(), 2u);
}

TEST_F(OutputFile, NamesThatCanBeWritten)
{
    struct Ccase {
        const char* what;
        std::function<void()> prepare;
        std::string name;
        std::string written;  // the file that must hold the output
    } cases[] = {
        {"a new file", [] {}, path("new.ta"), path("new.ta")},
        {"a name of 250 characters", [] {}, path(std::string(247, 'n') + ".ta"), path(std::string(247, 'n') + ".ta")},
        {"a symbolic link", [&] { put(path("target.ta"), "old"); fs::create_symlink(path("target.ta"), path("link.ta")); },
         path("link.ta"), path("target.ta")},
        {"a symbolic link to a file not made yet", [&] { fs::create_symlink(path("later.ta"), path("dangling.ta")); },
         path("dangling.ta"), path("later.ta")},
    };
    for (const Ccase& c : cases) {
        c.prepare();
        EXPECT_TRUE(writeWhole(c.name, "written")) << c.what;
        EXPECT_EQ(contents(c.written), "written") << c.what;
        if (c.written != c.name) {
            EXPECT_TRUE(fs::is_symlink(c.name)) << c.what;
        }
    }
}

TEST_F(OutputFile, NamesThatCannotBeWritten)
{
    fs::create_directory(path("dir"));
    for (const std::string& name : {path("no/such/dir.ta"), std::string(), path("dir"),
                                    path(std::string(300, 'n'))}) {
        CoutputFile out;
        EXPECT_FALSE(out.open(name.c_str())) << name;
    }
}

TEST_F(OutputFile, AbandoningBeforeWritingKeepsAFileAndRemovesOneItMade)
{
    put(path("old.ta"), "old");
    {
        CoutputFile kept, made;
        ASSERT_TRUE(kept.open(path("old.ta").c_str()));
        ASSERT_TRUE(made.open(path("made.ta").c_str()));
        EXPECT_TRUE(fs::exists(path("made.ta")));
    }
    EXPECT_EQ(contents(path("old.ta")), "old");
    EXPECT_FALSE(fs::exists(path("made.ta")));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFile, AWriteErrorIsAFailure)
{
    CoutputFile out;
    ASSERT_TRUE(out.open("/dev/full"));
    ASSERT_TRUE(out.begin());
    for (int i = 0; i < 10000; ++i)
        std::fputs("0123456789", out.stream());
    EXPECT_FALSE(out.finish());
    EXPECT_STREQ(out.displayName(), "/dev/full");
}
