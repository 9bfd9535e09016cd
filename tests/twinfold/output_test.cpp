#include "output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

    std::string path(const std::string &name) const { return (m_dir / name).string(); }
    static std::string contents(const std::string &file)
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void put(const std::string &file, const char *text) { std::ofstream(file) << text; }
    size_t entries() const
    {
        return size_t(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(OutputFile, AnExistingFileIsReplacedOnlyOnceTheOutputIsWhole)
{
    put(path("out.ta"), "old contents");
    chmod(path("out.ta").c_str(), 0640);
    fs::create_hard_link(path("out.ta"), path("twin.ta"));
    // As root the owner can be given away; the replacement keeps it.
    bool ownerGiven = chown(path("out.ta").c_str(), 4321, 4321) == 0;

    CoutputFile out;
    ASSERT_EQ(out.open(path("out.ta").c_str()), CstepEnd::kDone);
    // The temporary lies beside the target, named after it.
    std::string temporary;
    for (const fs::directory_entry &entry : fs::directory_iterator(m_dir))
        if (entry.path().filename().string().substr(0, 12) == ".out.ta.tmp.") temporary = entry.path();
    EXPECT_EQ(fs::path(temporary).filename().string().size(), 18u);
    EXPECT_EQ(entries(), 3u);
    ASSERT_EQ(out.begin(), CstepEnd::kDone);
    std::fputs("new", out.stream());
    std::fflush(out.stream());
    EXPECT_EQ(contents(path("out.ta")), "old contents");
    ASSERT_EQ(out.finish(), CstepEnd::kDone);

    EXPECT_EQ(contents(path("out.ta")), "new");
    // A hard link is a name of the old file, which the new one replaced.
    EXPECT_EQ(contents(path("twin.ta")), "old contents");
    struct stat after;
    ASSERT_EQ(stat(path("out.ta").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (ownerGiven) {
        EXPECT_EQ(after.st_uid, 4321u);
        EXPECT_EQ(after.st_gid, 4321u);
    }
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(OutputFile, NamesThatCanBeWritten)
{
    struct Ccase {
        const char *what;
        std::function<void()> prepare;
        std::string name;
        std::string written;  // the file that must hold the output
    } cases[] = {
        {"a new file", [] {}, path("new.ta"), path("new.ta")},
        {"a name of 250 characters", [] {}, path(std::string(247, 'n') + ".ta"),
         path(std::string(247, 'n') + ".ta")},
        {"a name through d/..",
         [&] {
             fs::create_directory(path("d"));
             put(path("up.ta"), "old");
         },
         path("d/../up.ta"), path("up.ta")},
        {"a symbolic link",
         [&] {
             put(path("target.ta"), "old");
             fs::create_symlink(path("target.ta"), path("link.ta"));
         },
         path("link.ta"), path("target.ta")},
        {"a relative link into another directory, through a link",
         [&] {
             fs::create_directory(path("sub"));
             put(path("sub/real.ta"), "old");
             fs::create_symlink("sub/real.ta", path("first.ta"));
             fs::create_symlink("first.ta", path("second.ta"));
         },
         path("second.ta"), path("sub/real.ta")},
        {"a symbolic link to a file not made yet",
         [&] { fs::create_symlink(path("later.ta"), path("dangling.ta")); }, path("dangling.ta"),
         path("later.ta")},
    };
    for (const Ccase &c : cases) {
        c.prepare();
        CoutputFile out;
        ASSERT_EQ(out.open(c.name.c_str()), CstepEnd::kDone) << c.what;
        ASSERT_EQ(out.begin(), CstepEnd::kDone) << c.what;
        std::fputs("written", out.stream());
        EXPECT_EQ(out.finish(), CstepEnd::kDone) << c.what;
        EXPECT_EQ(contents(c.written), "written") << c.what;
        if (c.written != c.name && fs::path(c.name).filename() != fs::path(c.written).filename()) {
            EXPECT_TRUE(fs::is_symlink(c.name)) << c.what;
        }
    }
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(m_dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos) << entry.path();
}

TEST_F(OutputFile, NamesThatCannotBeWritten)
{
    fs::create_directory(path("dir"));
    std::vector<std::string> names = {path("no/such/dir.ta"), std::string(), path("dir"),
                                      path(std::string(300, 'n'))};
    fs::create_symlink("loop.ta", path("loop.ta"));
    names.push_back(path("loop.ta"));
    // A file the user may not write is refused even in a directory where a
    // rename could replace it; root may write any file.
    put(path("readonly.ta"), "kept");
    chmod(path("readonly.ta").c_str(), 0444);
    if (geteuid() != 0) names.push_back(path("readonly.ta"));
    for (const std::string &name : names) {
        CoutputFile out;
        testing::internal::CaptureStderr();
        EXPECT_EQ(out.open(name.c_str()), CstepEnd::kStopped) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't write to '" + name + "'\n");
    }
    EXPECT_EQ(contents(path("readonly.ta")), "kept");
    EXPECT_EQ(entries(), 3u);
}

TEST_F(OutputFile, AbandoningLeavesTheTargetAsItWasAndNoTemporary)
{
    put(path("old.ta"), "old");
    {
        CoutputFile kept, made, halfWritten;
        ASSERT_EQ(kept.open(path("old.ta").c_str()), CstepEnd::kDone);
        ASSERT_EQ(made.open(path("made.ta").c_str()), CstepEnd::kDone);
        ASSERT_EQ(halfWritten.open(path("old.ta").c_str()), CstepEnd::kDone);
        ASSERT_EQ(halfWritten.begin(), CstepEnd::kDone);
        std::fputs("half", halfWritten.stream());
        EXPECT_FALSE(fs::exists(path("made.ta")));
        EXPECT_EQ(entries(), 4u);
    }
    EXPECT_EQ(contents(path("old.ta")), "old");
    EXPECT_FALSE(fs::exists(path("made.ta")));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFile, FilesThatAreNotRegularAreWrittenDirectly)
{
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    // A reader first, so that opening the FIFO for writing does not wait.
    int reader = ::open(path("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    fs::create_symlink(path("fifo"), path("fifo-link"));
    for (const char *name : {"/dev/null", "/dev/stdout", "fifo", "fifo-link"}) {
        std::string full = name[0] == '/' ? std::string(name) : path(name);
        CoutputFile out;
        ASSERT_EQ(out.open(full.c_str()), CstepEnd::kDone) << name;
        if (name[0] == '/') continue;
        ASSERT_EQ(out.begin(), CstepEnd::kDone) << name;
        std::fputs("through", out.stream());
        EXPECT_EQ(out.finish(), CstepEnd::kDone) << name;
        char text[16] = {};
        EXPECT_EQ(read(reader, text, sizeof text), 7) << name;
        EXPECT_STREQ(text, "through") << name;
    }
    close(reader);
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(OutputFile, AWriteErrorIsAFailure)
{
    CoutputFile out;
    ASSERT_EQ(out.open("/dev/full"), CstepEnd::kDone);
    ASSERT_EQ(out.begin(), CstepEnd::kDone);
    for (int i = 0; i < 10000; ++i) std::fputs("0123456789", out.stream());
    testing::internal::CaptureStderr();
    EXPECT_EQ(out.finish(), CstepEnd::kStopped);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't write to '/dev/full'\n");
}
