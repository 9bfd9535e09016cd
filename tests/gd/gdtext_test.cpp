// The programs gdtext and gddump: messages, exit statuses and files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "failed_writes.h"
#include "program_run.h"
#include "text_form.h"

namespace {

using test_support::ProgramRun;
using test_support::runProgram;

class Programs : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::string path(const char *name) { return (dir / name).string(); }
    void write(const char *name, const std::string &text) { test_support::writeFile(path(name), text); }
};

TEST_F(Programs, CompileAndDumpRoundTrip)
{
    write("g.gdt", "root 1\n1 identifier_node strg=\"main\" lngt=4\n3 cArcSon src=1 dest=1\n");
    ProgramRun c = runProgram(GDTEXT, {path("g.gdt"), path("g.gd")});
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, "");
    ProgramRun d = runProgram(GDDUMP, {path("g.gd")});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.out, "root 1\n1 identifier_node strg=\"main\" lngt=4\n3 cArcSon src=1 dest=1\n");
    EXPECT_EQ(d.err, "");
}

// A graph whose text is many times the programs' output buffers: every
// piece of it goes through, in order.
TEST_F(Programs, ALargeGraphRoundTrips)
{
    std::string text = "root 0\nnodes 20002\n";
    for (int i = 0; i < 20000; i++)
        text += std::to_string(i) + " identifier_node strg=\"name_" + std::to_string(i % 7000) +
                "\" lngt=" + std::to_string(i + 1) + "\n";
    write("big.gdt", text);
    ProgramRun c = runProgram(GDTEXT, {path("big.gdt"), path("big.gd")});
    ASSERT_EQ(c.status, 0) << c.err;
    ProgramRun d = runProgram(GDDUMP, {path("big.gd")});
    EXPECT_EQ(d.status, 0);
    EXPECT_TRUE(d.out == text) << d.out.size() << " bytes, not " << text.size();
    EXPECT_EQ(d.err, "");
}

// gdtext reads a file in blocks, once for each pass, and a pipe whole: lines
// across blocks, one longer than several blocks and a last one without its
// line end make the same graph either way, and an error past the first
// blocks names its line.
TEST_F(Programs, ATextReadInBlocksIsTheTextReadWhole)
{
    std::string text = "root 0\n";
    for (int i = 0; i < 3000; i++)
        text += std::to_string(i) + " identifier_node strg=\"name_" + std::to_string(i) +
                "\" lngt=" + std::to_string(i % 10 + 1) + "\n";
    text += "3000 identifier_node strg=\"" + std::string(300000, 'y') + "\"\n3001 integer_cst low=7";
    write("g.gdt", text);
    ProgramRun from_file = runProgram(GDTEXT, {path("g.gdt"), path("file.gd")});
    EXPECT_EQ(from_file.status, 0);
    EXPECT_EQ(from_file.err, "");
    test_support::RunSetup through_pipe;
    through_pipe.input = text;
    ProgramRun from_pipe = runProgram(GDTEXT, {"/dev/stdin", path("pipe.gd")}, through_pipe);
    EXPECT_EQ(from_pipe.status, 0);
    EXPECT_EQ(from_pipe.err, "");
    EXPECT_TRUE(test_support::readFile(path("file.gd")) == test_support::readFile(path("pipe.gd")));
    ProgramRun d = runProgram(GDDUMP, {path("file.gd")});
    EXPECT_TRUE(d.out == text + "\n") << d.out.size() << " bytes, not " << text.size() + 1;

    write("bad.gdt", text + "\n3002 nonsense\n");
    ProgramRun bad = runProgram(GDTEXT, {path("bad.gdt"), path("bad.gd")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, path("bad.gdt") + ":3004: unknown kind nonsense\n");
    EXPECT_FALSE(std::filesystem::exists(path("bad.gd")));
}

TEST_F(Programs, Errors)
{
    write("bad.gdt", "0 identifier_node\n1 nonsense\n");
    ProgramRun c = runProgram(GDTEXT, {path("bad.gdt"), path("out.gd")});
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, path("bad.gdt") + ":2: unknown kind nonsense\n");
    EXPECT_FALSE(std::filesystem::exists(path("out.gd")));

    write("nul.gdt", std::string("0 identifier_node strg=\"a\0b\" lngt=3\n", 36));
    ProgramRun n = runProgram(GDTEXT, {path("nul.gdt"), path("out.gd")});
    EXPECT_EQ(n.status, 1);
    EXPECT_EQ(n.err, path("nul.gdt") + ":1: a string cannot hold a NUL\n");
    EXPECT_FALSE(std::filesystem::exists(path("out.gd")));

    ProgramRun u = runProgram(GDTEXT, {});
    EXPECT_EQ(u.status, 1);
    EXPECT_EQ(u.err, std::string("usage: ") + GDTEXT + " graph.gdt out.gd\n");

    ProgramRun m = runProgram(GDDUMP, {path("missing.gd")});
    EXPECT_EQ(m.status, 1);
    EXPECT_EQ(m.out, "");
    EXPECT_EQ(m.err, "Could not open " + path("missing.gd") + " for binary read\n");
}

TEST_F(Programs, GdtextKeepsItsFilesWhenTheWriteFailsOrTheInputCannotBeRead)
{
    test_support::expectWriteFaultsHandled(
        failed_writes::gdtext_program(GDTEXT, "hash " + std::to_string(failed_writes::hash_slots) +
                                                  "\n0 identifier_node strg=\"x\" lngt=1\n"));
}

// An input that is no text file stops gdtext before it writes anything.
TEST_F(Programs, GdtextRefusesAnInputItCannotRead)
{
    std::filesystem::create_directory(path("adir"));
    write("unreadable.gdt", "0 identifier_node\n");
    std::filesystem::permissions(path("unreadable.gdt"), std::filesystem::perms::none);
    struct {
        std::string input;
        std::string err;
    } cases[] = {
        {path("adir"), std::string(GDTEXT) + ": cannot read " + path("adir") + ": Is a directory\n"},
        {path("missing.gdt"), std::string(GDTEXT) + ": cannot open " + path("missing.gdt") + "\n"},
        {path("unreadable.gdt"), std::string(GDTEXT) + ": cannot open " + path("unreadable.gdt") + "\n"},
    };
    for (const auto &c : cases) {
        if (c.input == path("unreadable.gdt") && geteuid() == 0) continue;  // root reads it all the same
        ProgramRun r = runProgram(GDTEXT, {c.input, path("out.gd")});
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.out, "") << c.input;
        EXPECT_EQ(r.err, c.err) << c.input;
        EXPECT_FALSE(std::filesystem::exists(path("out.gd"))) << c.input;
    }
}

TEST_F(Programs, GddumpSaysWhyItsOutputFailed)
{
    write("g.gdt", "0 identifier_node strg=\"main\" lngt=4\n");
    ASSERT_EQ(runProgram(GDTEXT, {path("g.gdt"), path("g.gd")}).status, 0);
    test_support::RunSetup full;
    full.output = "/dev/full";
    ProgramRun d = runProgram(GDDUMP, {path("g.gd")}, full);
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.err, std::string(GDDUMP) + ": error writing standard output: No space left on device\n");
}

// Under an address-space limit too small for the work, as a batch queue's
// limit may be, each program stops with a message and status 1: gdtext when
// the text does not fit (a string that cannot grow) or the graph it makes
// does not (the text form's own message), gddump when the reader cannot hold
// the graph. An older output stays as it was.
TEST_F(Programs, UnderAMemoryLimitTooSmallForTheWorkStopWithAMessage)
{
    if (!test_support::addressSpaceLimitsWork)
        GTEST_SKIP() << "the address sanitizer needs the address space";
    // 24 MB of text, and a graph of 300,000 records (about 21 MB), past 16 MiB.
    write("long.gdt", "# " + std::string(24u << 20, 'x') + "\n0 identifier_node strg=\"x\" lngt=1\n");
    write("wide.gdt", "root 0\nnodes 300000\n0 identifier_node strg=\"x\" lngt=1\n");
    ASSERT_EQ(runProgram(GDTEXT, {path("wide.gdt"), path("wide.gd")}).status, 0);
    struct {
        std::string program;
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {GDTEXT, {path("long.gdt"), path("out.gd")}, std::string(GDTEXT) + ": no space left\n"},
        {GDTEXT, {path("wide.gdt"), path("out.gd")}, path("wide.gdt") + ":4: out of memory\n"},
        {GDDUMP, {path("wide.gd")}, "Error allocating node buffer"},
    };
    for (const auto &c : cases) {
        write("out.gd", "the old output");
        test_support::RunSetup limited;
        limited.addressSpaceLimit = 16ull << 20;
        ProgramRun r = runProgram(c.program, c.args, limited);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.out, "") << c.args[0];
        EXPECT_EQ(r.err, c.err) << c.args[0];
        EXPECT_EQ(test_support::readFile(path("out.gd")), "the old output") << c.args[0];
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4) << "no temporary left";
}

// The build compiles the sample unit with gdtext; read back, it is the graph
// that the text describes.
TEST_F(Programs, SampleUnitFileHoldsTheSampleText)
{
    gd_graph g;
    std::string error;
    ASSERT_TRUE(gd_text_compile(test_support::readFile(SAMPLE_GDT), &g, &error)) << error;
    ProgramRun d = runProgram(GDDUMP, {SAMPLE_GD});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.out, gd_text_dump(&g));
    EXPECT_EQ(d.out.substr(0, 7), "root 0\n");
    deallocate_gd_graph(g);
}

}  // namespace
