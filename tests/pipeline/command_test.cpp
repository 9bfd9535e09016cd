#include "command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using pipeline_test::directoryEntries;
using pipeline_test::TempDir;

TEST(Command, ShownTextJoinsTheArgumentsWithBlanks)
{
    EXPECT_EQ(commandOf({"unique", "a.ta", ".a", "b.ta"}).text, "unique a.ta .a b.ta");
    EXPECT_EQ(copyCommand("a b", "-c").text, "cp a b -c");
    EXPECT_EQ(copyCommand("a b", "-c").arguments, (std::vector<std::string>{"cp", "--", "a b", "-c"}));
    EXPECT_EQ(removeCommand("x.set").text, "rm x.set");
    Command inDirectory = commandInDirectory("/t d", {"prep", "hello/main.c.ta"});
    EXPECT_EQ(inDirectory.text, "cd /t d; prep hello/main.c.ta");
    EXPECT_EQ(inDirectory.directory, "/t d");
}

TEST(Command, ReturnCodeMessageIsExact)
{
    EXPECT_EQ(returnCodeMessage(512, "layout a b"), "***Error: Return code: 512 from: 'layout a b'\n");
}

// The status is the raw wait status, as the shell call gives it.
TEST(Command, ReportsTheRawWaitStatus)
{
    const std::pair<Command, int> cases[] = {
        {commandOf({"true"}), 0},
        {commandOf({"false"}), 256},
        {commandOf({"sh", "-c", "exit 2"}), 512},
        {commandOf({"no-such-program-anywhere"}), 32512},
        {commandOf({"/dev/null"}), 32256},
    };
    for (const auto &[command, status] : cases) {
        EXPECT_EQ(runCommand(command), status) << command.text;
    }
}

TEST(Command, FailureWritesTheMessageAndGivesFalse)
{
    std::ostringstream messages;
    EXPECT_FALSE(command(commandOf({"sh", "-c", "exit 1"}), messages));
    EXPECT_EQ(messages.str(), "***Error: Return code: 256 from: 'sh -c exit 1'\n");
    std::ostringstream quiet;
    EXPECT_TRUE(command(commandOf({"true"}), quiet));
    EXPECT_EQ(quiet.str(), "");
}

TEST(Command, NamesWithBlanksQuotesAndSemicolonsAreOneArgumentEach)
{
    TempDir dir;
    std::string name = "a b; touch 'c' \"d\" $(e)";
    ASSERT_EQ(runCommand(commandInDirectory(dir.path(), {"touch", name})), 0);
    EXPECT_EQ(directoryEntries(dir.path()), std::vector<std::string>{name});
}

TEST(Command, RunsInsideItsDirectory)
{
    TempDir dir;
    ASSERT_EQ(runCommand(commandInDirectory(dir.path(), {"touch", "made"})), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "made"));
}

TEST(Command, ADirectoryThatCannotBeEnteredRunsNothing)
{
    TempDir dir;
    std::string missing = (dir / "missing").string();
    Command touch = commandInDirectory(missing, {"touch", (dir / "made").string()});
    EXPECT_EQ(runCommand(touch), 512);
    EXPECT_TRUE(directoryEntries(dir.path()).empty());
}

}  // namespace
}  // namespace pipeline
