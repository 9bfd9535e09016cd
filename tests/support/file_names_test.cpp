// File names: their parts, the names of an open descriptor, and whether two
// names are one file.
#include "support/file_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "program_run.h"

namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

TEST(FileNames, FolderAndName)
{
    const struct Case {
        const char *path, *directory, *name;
    } cases[] = {
        {"out.gd", ".", "out.gd"},
        {"a/out.gd", "a", "out.gd"},
        {"/out.gd", "/", "out.gd"},
        {"/a/b/", "/a/b", ""},
        {"", ".", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(support::directoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(support::nameOf(c.path), c.name) << c.path;
    }
}

TEST(FileNames, NamesOfAnOpenDescriptor)
{
    TempDir dir;
    const std::string own = "/proc/" + std::to_string(getpid());
    const struct Case {
        std::string name;
        int descriptor;
    } cases[] = {
        {"/dev/stdin", 0},
        {"/dev/stdout", 1},
        {"/dev/stderr", 2},
        {"/dev/fd/7", 7},
        {"/dev/fd/07", 7},
        {"/proc/self/fd/3", 3},
        {"/proc/thread-self/fd/3", 3},
        {own + "/fd/12", 12},
        {own + "/task/" + std::to_string(gettid()) + "/fd/4", 4},
        {"/proc/self/fd/", -1},
        {"/proc/self/fd/1x", -1},
        {"/dev/fd/x", -1},
        {"/proc/1/fd/1", getpid() == 1 ? 1 : -1},
        {"/proc/self/fdinfo/1", -1},
        {(dir / "1").string(), -1},
        {"stdout", -1},
    };
    for (const Case &c : cases) EXPECT_EQ(support::descriptorNamed(c.name), c.descriptor) << c.name;
}

TEST(FileNames, SameFileHoweverSpelt)
{
    TempDir dir;
    test_support::writeFile(dir / "a", "a");
    test_support::writeFile(dir / "other", "o");
    fs::create_hard_link(dir / "a", dir / "hard");
    fs::create_symlink("a", dir / "soft");
    fs::create_directory(dir / "sub");
    const std::string d = dir.path().string();
    const struct Case {
        std::string a, b;
        bool same;
    } cases[] = {
        {d + "/a", d + "/a", true},
        {d + "/a", d + "/sub/../a", true},
        {d + "/a", d + "/hard", true},
        {d + "/a", d + "/soft", true},
        {d + "/a", d + "/other", false},
        {d + "/a", d + "/new", false},
        {d + "/new", d + "/sub/../new", true},
        {d + "/new", d + "/newer", false},
    };
    for (const Case &c : cases) EXPECT_EQ(support::sameFile(c.a, c.b), c.same) << c.a << " " << c.b;
}

}  // namespace
