// The single-filter programs run_<family>_filter: command line, messages,
// exit status and the graph they write.

#include <gd/filters/filters.h>

#include "program_run.h"
#include "support/graph_fixture.h"
#include "support/looping_chains.h"
#include "support/run_program.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct program {
    std::string family;
    int (*filter)(gd_graph *g);
};

// Every family but gd_for, which runs only inside the chain of talvexf.
std::vector<program> single_filter_programs()
{
    std::vector<program> list;
#define GD_FILTER_FAMILY(family) list.push_back({#family, &family##_filter});
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

class SingleFilterProgram : public ::testing::TestWithParam<program> {};

TEST_P(SingleFilterProgram, PrintsTheUsageWithItsOwnName)
{
    temp_dir dir;
    const std::string path = program_path(GetParam().family);
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{}, {dir.file("in.gd")}, {dir.file("in.gd"), dir.file("out.gd"), "extra"}}) {
        const program_run r = run_program(dir, path, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "usage: " + path + " ingdfile outgdfile\n");
    }
}

TEST_P(SingleFilterProgram, WritesTheGraphItsFilterMakes)
{
    // The program's output, read back, is the graph the filter makes of the
    // same input in this process.
    temp_dir dir;
    const std::string in = dir.file("in.gd"), out = dir.file("out.gd");
    write_graph(small_unit, in);
    text_graph expected(small_unit);
    ::testing::internal::CaptureStderr();
    const int result = GetParam().filter(&expected.g);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    ASSERT_NE(result, 0) << messages;

    const program_run r = run_program(dir, program_path(GetParam().family), {in, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, messages);
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(gd_text_dump(&g), expected.dump());
    deallocate_gd_graph(g);
}

INSTANTIATE_TEST_SUITE_P(AllThirtyNine, SingleFilterProgram, ::testing::ValuesIn(single_filter_programs()),
                         [](const ::testing::TestParamInfo<program> &info) { return info.param.family; });

// The programs of the filters that make nodes along a chain, on units whose
// chains loop: the output stays about the size of the input.
TEST(SingleFilterPrograms, ChainsThatLoopKeepTheOutputSmall)
{
    std::vector<looping_chains::looping_unit> units = looping_chains::looping_units();
    std::erase_if(units, [](const looping_chains::looping_unit &u) { return *u.family == '\0'; });
    units.push_back({"functions whose prototype's formals loop", "gd_func", looping_chains::looping_prototype()});
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const looping_chains::looping_unit &unit : units) {
        write_graph(unit.text.c_str(), in);
        const test_support::ProgramRun r = test_support::runProgram(program_path(unit.family), {in, out});
        EXPECT_EQ(r.status, 0) << unit.what << "\n" << r.err;
        EXPECT_EQ(r.err.find("chain walks stop"), std::string::npos) << unit.what << "\n" << r.err;
        EXPECT_LE(std::filesystem::file_size(out), 8 * std::filesystem::file_size(in)) << unit.what;
    }
}

TEST(SingleFilterPrograms, AreThirtyNine)
{
    EXPECT_EQ(single_filter_programs().size(), 39u);
}

// ---------------------------------------------------------------------------
// The failures, on the program of one filter

struct failure_case {
    const char *name;
    const char *input;       // the input graph in the text form, or nullptr for no file
    bool output_writable;
    std::string (*message)(const std::string &in, const std::string &out);
};

class SingleFilterFailure : public ::testing::TestWithParam<failure_case> {};

TEST_P(SingleFilterFailure, ReportsAndLeavesNoOutput)
{
    const failure_case &c = GetParam();
    temp_dir dir;
    const std::string in = dir.file("in.gd");
    const std::string out = c.output_writable ? dir.file("out.gd") : dir.file("no-such-dir/out.gd");
    if (c.input)
        write_graph(c.input, in);
    const program_run r = run_program(dir, program_path("ordinals"), {in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.message(in, out));
    EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleFilterFailure,
    ::testing::Values(
        failure_case{"MissingInput", nullptr, true,
                     [](const std::string &in, const std::string &) {
                         return "Could not open " + in + " for binary read\nCould not read graph from file " + in + "\n";
                     }},
        failure_case{"EmptyStringPool", "0 cArcSon\n", true,
                     [](const std::string &in, const std::string &) {
                         return "Could not read graph from file " + in + "\n";
                     }},
        failure_case{"FilterFails", "0 cArcSon next=99\n1 cObject name=\"a\"\n", true,
                     [](const std::string &, const std::string &) {
                         return std::string("Next Field of arc 0 is out of range 99\nError in filter ordinals_filter\n");
                     }},
        failure_case{"OutputNotWritable", small_unit, false,
                     [](const std::string &, const std::string &out) {
                         return "Could not open " + out + " for binary write\nError writing graph to " + out + "\n";
                     }}),
    [](const ::testing::TestParamInfo<failure_case> &info) { return std::string(info.param.name); });

}  // namespace
