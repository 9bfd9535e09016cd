#include "output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <ostream>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

// Opens name, writes text and commits; true when all went well.
bool writeWhole(const fs::path &name, const std::string &text)
{
    OutputFile file;
    if (!file.open(name.string())) return false;
    std::ostream(&file) << text;
    return file.commit();
}

unsigned modeOf(const fs::path &name)
{
    struct stat status;
    return stat(name.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(OutputFile, TheTargetChangesOnlyWhenTheWholeFileIsCommitted)
{
    TempDir dir;
    writeFile(dir / "out.lst", "old listing\n");
    chmod((dir / "out.lst").c_str(), 0640);
    fs::create_hard_link(dir / "out.lst", dir / "twin.lst");

    OutputFile file;
    ASSERT_TRUE(file.open((dir / "out.lst").string()));
    std::ostream out(&file);
    out << std::string(100000, 'x') << "\n";
    out.flush();
    // Beside the target, a new file named for it holds what is written.
    Lines entries = directoryEntries(dir.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].substr(0, 13), ".out.lst.tmp.");
    EXPECT_EQ(entries[0].size(), 19u);
    EXPECT_EQ(readFile(dir / "out.lst"), "old listing\n");
    ASSERT_TRUE(file.commit());

    EXPECT_EQ(readFile(dir / "out.lst"), std::string(100000, 'x') + "\n");
    EXPECT_EQ(modeOf(dir / "out.lst"), 0640u);
    // The other name of the old file keeps the old bytes.
    EXPECT_EQ(readFile(dir / "twin.lst"), "old listing\n");
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"out.lst", "twin.lst"}));
}

TEST(OutputFile, AnOutputNotCommittedLeavesTheTargetAsItWas)
{
    TempDir dir;
    writeFile(dir / "old.lst", "old\n");
    {
        OutputFile file;
        ASSERT_TRUE(file.open((dir / "old.lst").string()));
        std::ostream(&file) << "new\n";
    }
    {
        OutputFile file;
        ASSERT_TRUE(file.open((dir / "new.lst").string()));
        std::ostream(&file) << "new\n";
    }
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"old.lst"}));
    EXPECT_EQ(readFile(dir / "old.lst"), "old\n");
}

// A new file for another program to fill by its name: the target stays as
// it was until the commit, then takes the new bytes and keeps its bits. A
// target that cannot be replaced gets no new file and is not opened.
TEST(OutputFile, ANewFileBesideTheTargetForAnotherWriter)
{
    TempDir dir;
    const fs::path target = dir / "out.ta";
    writeFile(target, "old\n");
    chmod(target.c_str(), 0640);
    OutputFile file;
    ASSERT_TRUE(file.openBeside(target.string()));
    const fs::path newFile = file.newFileName();
    EXPECT_EQ(newFile.parent_path(), dir.path());
    EXPECT_EQ(newFile.filename().string().substr(0, 12), ".out.ta.tmp.");
    writeFile(newFile, "new\n");
    EXPECT_EQ(readFile(target), "old\n");
    ASSERT_TRUE(file.commit());
    EXPECT_TRUE(file.newFileName().empty());
    EXPECT_EQ(readFile(target), "new\n");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"out.ta"}));

    fs::create_directory(dir / "adir");
    for (const fs::path &name : {fs::path("/dev/null"), dir / "adir"}) {
        OutputFile other;
        EXPECT_FALSE(other.openBeside(name.string())) << name;
        EXPECT_TRUE(other.newFileName().empty()) << name;
        EXPECT_FALSE(other.commit()) << name;
    }
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"adir", "out.ta"}));
}

// Where the written bytes must land, for names that can be written.
TEST(OutputFile, NamesThatCanBeWritten)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    const std::string longName(250, 'n');
    struct Case {
        std::string what;
        std::function<void()> prepare;
        fs::path name;
        fs::path written;  // the file that must hold the output
        Lines entries;     // of dir/real afterwards
    };
    const Case cases[] = {
        {"a new file", [] {}, dir / "real" / "new.lst", dir / "real" / "new.lst", {"new.lst"}},
        {"a name of 250 characters", [] {}, dir / "real" / longName, dir / "real" / longName, {longName}},
        {"a relative link to a link",
         [&] {
             writeFile(dir / "real" / "target.lst", "old");
             fs::create_symlink("real/target.lst", dir / "middle");
             fs::create_symlink("middle", dir / "link");
         },
         dir / "link",
         dir / "real" / "target.lst",
         {"target.lst"}},
        {"a link to a file not made yet",
         [&] { fs::create_symlink(dir / "real" / "later.lst", dir / "dangling"); },
         dir / "dangling",
         dir / "real" / "later.lst",
         {"later.lst"}},
    };
    for (const Case &c : cases) {
        for (const auto &entry : fs::directory_iterator(dir / "real")) fs::remove(entry.path());
        c.prepare();
        EXPECT_TRUE(writeWhole(c.name, "written")) << c.what;
        EXPECT_EQ(readFile(c.written), "written") << c.what;
        EXPECT_EQ(directoryEntries(dir / "real"), c.entries) << c.what;
        if (c.written != c.name) {
            EXPECT_TRUE(fs::is_symlink(c.name)) << c.what;
        }
    }
    // A new file gets the permission bits of any new file.
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(modeOf(dir / "real" / "later.lst"), 0666u & ~mask);
}

TEST(OutputFile, NamesThatCannotBeWritten)
{
    TempDir dir;
    fs::create_directory(dir / "adir");
    writeFile(dir / "plain", "");
    for (const fs::path &name : {fs::path(), dir / "adir", dir / "no" / "such" / "dir.lst",
                                 dir / "plain" / "below", dir / std::string(300, 'n')}) {
        OutputFile file;
        EXPECT_FALSE(file.open(name.string())) << name;
        EXPECT_FALSE(file.commit()) << name;
    }
    EXPECT_EQ(directoryEntries(dir.path()), (Lines{"adir", "plain"}));
}

// A device cannot be replaced: it is written as it is, and its errors are
// the output's.
TEST(OutputFile, ADeviceIsWrittenInPlace)
{
    EXPECT_TRUE(writeWhole("/dev/null", "gone\n"));
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(writeWhole("/dev/full", "full\n"));
    }
}

}  // namespace
}  // namespace pipeline
