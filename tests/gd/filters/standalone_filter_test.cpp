// The single-filter programs run_<family>_filter: command line, messages,
// exit status and the graph they write.

#include "../failed_writes.h"
#include "../memory_limits.h"
#include "program_run.h"
#include "support/family_fixtures.h"
#include "support/graph_fixture.h"
#include "support/looping_chains.h"
#include "support/shared_prototypes.h"

#include <gd/big_buffers.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct program {
    std::string family;
    family_fixture fixture;
};

void PrintTo(const program &p, std::ostream *os)
{
    *os << p.family;
}

// Every family but gd_for, which runs only inside the chain of talvexf.
std::vector<program> single_filter_programs()
{
    std::vector<program> list;
#define GD_FILTER_FAMILY(family) list.push_back({#family, family##_fixture});
#include <gd/filters/filter_families.def>
#undef GD_FILTER_FAMILY
    std::erase_if(list, [](const program &p) { return p.family == "gd_for"; });
    return list;
}

// The programs are built into the folder of talvexf.
std::string program_path(const std::string &family)
{
    return (std::filesystem::path(TALVEXF_PATH).parent_path() / ("run_" + family + "_filter")).string();
}

// A global scope holding the front end's global namespace: input that every
// filter takes, whatever its place in the chain.
const char *small_unit = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 namespace_decl name=3 srcf="<internal>" lang=src_lang_cp
3 identifier_node strg="::" lngt=2
)";

void write_graph(const char *text, const std::string &path)
{
    text_graph t(text);
    ASSERT_EQ(gd_graph_write_binary_file(path.c_str(), t.g), 1);
}

// The programs take a pool without strings for a failed read. A fixture that
// names nothing gets one string that nothing uses: the dump does not show the
// pool, so the expected graph stays as written.
void write_graph_with_a_string(const char *text, const std::string &path)
{
    text_graph t(text);
    if (t.g.curStringPos == 0) {
        const char unused[] = "unused.c";
        char *pool = static_cast<char *>(gd_big_realloc(t.g.stringBuffer, sizeof unused + 1));
        ASSERT_NE(pool, nullptr);
        t.g.stringBuffer = pool;
        t.g.stringBuffLen = sizeof unused;
        ASSERT_EQ(gd_add_string(&t.g, unused), 0);
    }
    ASSERT_EQ(gd_graph_write_binary_file(path.c_str(), t.g), 1);
}

class SingleFilterProgram : public ::testing::TestWithParam<program> {};

TEST_P(SingleFilterProgram, PrintsTheUsageWithItsOwnName)
{
    test_support::TempDir dir;
    const std::string path = program_path(GetParam().family);
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const std::vector<std::string> &args : {std::vector<std::string>{}, {in}, {in, out, "extra"}}) {
        const test_support::ProgramRun r = test_support::runProgram(path, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "usage: " + path + " ingdfile outgdfile\n");
    }
}

TEST_P(SingleFilterProgram, WritesWhatItsFamilysFilterMakesOfTheFamilysFixture)
{
    // Each fixture is one that its own filter changes, so a program built
    // with another family's filter writes another graph.
    const family_fixture &fixture = GetParam().fixture;
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    write_graph_with_a_string(fixture.before, in);
    const test_support::ProgramRun r = test_support::runProgram(program_path(GetParam().family), {in, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, fixture.errors);
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(gd_text_dump(&g), fixture.after);
    deallocate_gd_graph(g);
}

TEST_P(SingleFilterProgram, KeepsItsFilesWhenTheWriteFailsOrTheInputCannotBeRead)
{
    const family_fixture &fixture = GetParam().fixture;
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string();
    write_graph_with_a_string(
        ("hash " + std::to_string(failed_writes::hash_slots) + "\n" + fixture.before).c_str(), in);
    test_support::expectWriteFaultsHandled(failed_writes::frame_program(
        program_path(GetParam().family), test_support::readFile(in), fixture.errors));
}

INSTANTIATE_TEST_SUITE_P(AllThirtyNine, SingleFilterProgram, ::testing::ValuesIn(single_filter_programs()),
                         [](const ::testing::TestParamInfo<program> &info) { return info.param.family; });

// The programs of the filters that make nodes along a chain, on units whose
// chains loop: the output stays about the size of the input.
TEST(SingleFilterPrograms, ChainsThatLoopKeepTheOutputSmall)
{
    std::vector<looping_chains::looping_unit> units = looping_chains::looping_units();
    std::erase_if(units, [](const looping_chains::looping_unit &u) { return *u.family == '\0'; });
    units.push_back(
        {"functions whose prototype's formals loop", "gd_func", looping_chains::looping_prototype()});
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const looping_chains::looping_unit &unit : units) {
        write_graph(unit.text.c_str(), in);
        const test_support::ProgramRun r = test_support::runProgram(program_path(unit.family), {in, out});
        EXPECT_EQ(r.status, 0) << unit.what << "\n" << r.err;
        EXPECT_EQ(r.err.find("(fatal)"), std::string::npos) << unit.what << "\n" << r.err;
        EXPECT_LE(std::filesystem::file_size(out), 8 * std::filesystem::file_size(in)) << unit.what;
    }
}

// Under an address-space limit a single-filter program either does its one
// step whole, as without one, or stops cleanly where memory runs out: in the
// reader, or in its filter.
TEST(SingleFilterPrograms, UnderAMemoryLimitRunTheirStepWholeOrStopCleanly)
{
    if (!test_support::addressSpaceLimitsWork)
        GTEST_SKIP() << "the address sanitizer needs the address space";
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    write_graph(shared_prototypes::declared_parameters_text(1000, 40).c_str(), in);
    for (const char *family : {"gd_func", "gd_filter", "gd_virtual"}) {
        ASSERT_EQ(test_support::runProgram(program_path(family), {in, out}).status, 0) << family;
        const std::string whole = test_support::readFile(out);
        std::filesystem::remove(out);
        const memory_limits::outcomes met =
            memory_limits::run_under_limits(program_path(family), in, out, {8, 10, 12, 16, 1024}, whole,
                                            {{"read", "Could not read graph from file " + in + "\n"},
                                             {"step", "talvex: (fatal) no space left\n"}});
        EXPECT_TRUE(met.count("whole") && met.count("read")) << family;
        std::filesystem::remove(out);
    }
}

// No shell sees the arguments: a quote in a file name is a character like
// any other.
TEST(SingleFilterPrograms, TakeFileNamesWithAQuote)
{
    test_support::TempDir dir;
    const std::string in = (dir / "it's in.gd").string(), out = (dir / "it's out.gd").string();
    write_graph_with_a_string(gd_return_fixture.before, in);
    const test_support::ProgramRun r = test_support::runProgram(program_path("gd_return"), {in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(gd_text_dump(&g), gd_return_fixture.after);
    deallocate_gd_graph(g);

    const std::string missing = (dir / "isn't there.gd").string();
    const test_support::ProgramRun m = test_support::runProgram(program_path("gd_return"), {missing, out});
    EXPECT_EQ(m.status, 1);
    EXPECT_EQ(m.err, "Could not open " + missing + " for binary read\nCould not read graph from file " +
                         missing + "\n");
}

TEST(SingleFilterPrograms, AreThirtyNine)
{
    EXPECT_EQ(single_filter_programs().size(), 39u);
}

// ---------------------------------------------------------------------------
// The failures, on the program of one filter

struct failure_case {
    const char *name;
    const char *family;  // the program run_<family>_filter
    const char *input;   // the input graph in the text form, or nullptr for no file
    bool output_writable;
    std::string (*message)(const std::string &in, const std::string &out);
};

class SingleFilterFailure : public ::testing::TestWithParam<failure_case> {};

TEST_P(SingleFilterFailure, ReportsAndLeavesNoOutput)
{
    const failure_case &c = GetParam();
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string();
    const std::string out = (dir / (c.output_writable ? "out.gd" : "no-such-dir/out.gd")).string();
    if (c.input) write_graph(c.input, in);
    const test_support::ProgramRun r = test_support::runProgram(program_path(c.family), {in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.message(in, out));
    EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleFilterFailure,
    ::testing::Values(
        failure_case{"MissingInput", "ordinals", nullptr, true,
                     [](const std::string &in, const std::string &) {
                         return "Could not open " + in + " for binary read\nCould not read graph from file " +
                                in + "\n";
                     }},
        failure_case{"EmptyStringPool", "ordinals", "0 cArcSon\n", true,
                     [](const std::string &in, const std::string &) {
                         return "Could not read graph from file " + in + "\n";
                     }},
        failure_case{"FilterFails", "ordinals", "0 cArcSon next=99\n1 cObject name=\"a\"\n", true,
                     [](const std::string &, const std::string &) {
                         return std::string(
                             "Next Field of arc 0 is out of range 99\nError in filter ordinals_filter\n");
                     }},
        // A fatal condition ends the program inside the filter: what it
        // printed still comes out, though standard error is buffered.
        failure_case{"FatalStop", "zap_builtin",
                     "root 0\n0 cScopeGlb contents=1\n1 cArcSon src=0 dest=2\n2 cBuiltInType name=\"a\"\n"
                     "3 imagpart_expr\n4 cInstance src=2 dest=2\n",
                     true,
                     [](const std::string &, const std::string &) {
                         return std::string("node_uses: Unhandled node 3 type 125(imagpart_expr)\n");
                     }},
        failure_case{
            "OutputNotWritable", "ordinals", small_unit, false,
            [](const std::string &, const std::string &out) {
                const std::string folder = std::filesystem::path(out).parent_path().string();
                return "Could not open " + out + " for binary write\n" + out + ": the folder " + folder +
                       " cannot take a new file: No such file or directory\nError writing graph to " + out +
                       "\n";
            }}),
    [](const ::testing::TestParamInfo<failure_case> &info) { return std::string(info.param.name); });

}  // namespace
