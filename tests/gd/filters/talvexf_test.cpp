// The talvexf program: command line, messages, exit status and files.

#include <gd/filters/chain.h>

#include "../failed_writes.h"
#include "program_run.h"
#include "support/graph_fixture.h"
#include "support/looping_chains.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Runs talvexf with the arguments.
test_support::ProgramRun run_talvexf(const std::vector<std::string> &args)
{
    return test_support::runProgram(TALVEXF_PATH, args);
}

// The standard error of a run that completes every step: one progress line
// per step, with "done".
std::string progress_lines()
{
    std::string text;
    for (const filter_step &step : talvex_chain())
        text += std::string("* Running ") + step.name + "...done\n";
    return text;
}

void write_graph(const char *text, const std::string &path)
{
    text_graph t(text);
    ASSERT_EQ(gd_graph_write_binary_file(path.c_str(), t.g), 1);
}

// A unit with a global namespace and nothing in it.
const char *empty_unit = R"(root 0
0 namespace_decl name=1 srcf="<internal>" srcl=0 lang=src_lang_cp
1 identifier_node strg="::" lngt=2
)";

TEST(Talvexf, RunsTheFortyOneStepsInTheirOrderAndWritesTheGraph)
{
    test_support::TempDir dir;
    const std::string in = (dir / "unit.gd").string(), out = (dir / "unit.out.gd").string();
    write_graph(empty_unit, in);
    const test_support::ProgramRun r = run_talvexf({in, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    // Written out step by step: gd_filter runs at steps 8, 34 and 41.
    EXPECT_EQ(r.err, "* Running gd_reduce_filter...done\n"
                     "* Running gd_global_filter...done\n"
                     "* Running gd_inclass_typedefs_filter...done\n"
                     "* Running gd_builtin_filter...done\n"
                     "* Running namespace_filter...done\n"
                     "* Running aggregate_filter...done\n"
                     "* Running gd_operators_filter...done\n"
                     "* Running gd_filter_filter...done\n"
                     "* Running gd_alias_filter...done\n"
                     "* Running funct_type_filter...done\n"
                     "* Running gd_derived_filter...done\n"
                     "* Running gd_enum_filter...done\n"
                     "* Running gd_objects_filter...done\n"
                     "* Running gd_func_filter...done\n"
                     "* Running gd_templates_filter...done\n"
                     "* Running gd_literals_filter...done\n"
                     "* Running gd_actuals_filter...done\n"
                     "* Running gd_break_filter...done\n"
                     "* Running gd_goto_filter...done\n"
                     "* Running gd_return_filter...done\n"
                     "* Running gd_labels_filter...done\n"
                     "* Running gd_for_filter...done\n"
                     "* Running gd_while_filter...done\n"
                     "* Running gd_exceptions_filter...done\n"
                     "* Running gd_if_filter...done\n"
                     "* Running gd_switch_filter...done\n"
                     "* Running gd_initializers_filter...done\n"
                     "* Running gd_block_filter...done\n"
                     "* Running gd_statements_filter...done\n"
                     "* Running gd_classref_filter...done\n"
                     "* Running classes_filter...done\n"
                     "* Running gd_virtual_filter...done\n"
                     "* Running gd_typedecls_filter...done\n"
                     "* Running gd_filter_filter...done\n"
                     "* Running gd_globalize_funct_types_filter...done\n"
                     "* Running merge_builtin_filter...done\n"
                     "* Running zap_builtin_filter...done\n"
                     "* Running zap_other_filter...done\n"
                     "* Running gd_nameref_filter...done\n"
                     "* Running ordinals_filter...done\n"
                     "* Running gd_filter_filter...done\n");
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_NE(g.curStringPos, 0u);
    EXPECT_EQ(kind_of(&g, g.firstNode), dC_SCOPE_GLB);
    deallocate_gd_graph(g);
}

TEST(Talvexf, RunsTheSampleUnit)
{
    test_support::TempDir dir;
    const std::string out = (dir / "unit.out.gd").string();
    const test_support::ProgramRun r = run_talvexf({SAMPLE_GD, out});
    EXPECT_EQ(r.status, 0) << r.err;
    // Filters may add their own notes inside a progress line; each step
    // still starts one line and ends it with "done".
    std::size_t started = 0, done = 0;
    for (std::size_t at = 0; (at = r.err.find("* Running ", at)) != std::string::npos; ++at) ++started;
    for (std::size_t at = 0; (at = r.err.find("done\n", at)) != std::string::npos; ++at) ++done;
    EXPECT_EQ(started, 41u);
    EXPECT_EQ(done, 41u);
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(kind_of(&g, g.firstNode), dC_SCOPE_GLB);
    deallocate_gd_graph(g);
}

// Each unit runs through the whole chain, and its output stays about the
// size of the input: every walk along a chain that loops ends where it
// meets a node again.
TEST(Talvexf, ChainsThatLoopKeepTheOutputSmall)
{
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const looping_chains::looping_unit &unit : looping_chains::looping_units()) {
        write_graph(unit.text.c_str(), in);
        const test_support::ProgramRun r = test_support::runProgram(TALVEXF_PATH, {in, out});
        EXPECT_EQ(r.status, 0) << unit.what << "\n" << r.err;
        EXPECT_EQ(r.err.find("chain walks stop"), std::string::npos) << unit.what << "\n" << r.err;
        EXPECT_LE(std::filesystem::file_size(out), 8 * std::filesystem::file_size(in)) << unit.what;
    }
}

TEST(Talvexf, WrongArgumentCountsPrintTheUsage)
{
    test_support::TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {(dir / "in.gd").string()},
        {(dir / "in.gd").string(), (dir / "out.gd").string(), (dir / "extra.gd").string()},
    };
    for (const auto &args : cases) {
        const test_support::ProgramRun r = run_talvexf(args);
        EXPECT_EQ(r.status, 1) << args.size() << " arguments";
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string("usage: ") + TALVEXF_PATH + " ingdfile outgdfile\n");
    }
}

TEST(Talvexf, MissingInputFile)
{
    test_support::TempDir dir;
    const std::string in = (dir / "missing.gd").string(), out = (dir / "out.gd").string();
    const test_support::ProgramRun r = run_talvexf({in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Could not open " + in + " for binary read\nCould not read graph from file " + in + "\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Talvexf, FileWithAnEmptyStringPoolCountsAsUnread)
{
    test_support::TempDir dir;
    const std::string in = (dir / "nostrings.gd").string(), out = (dir / "out.gd").string();
    write_graph("root 0\n0 namespace_decl\n", in);
    const test_support::ProgramRun r = run_talvexf({in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Could not read graph from file " + in + "\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Talvexf, OutputThatCannotBeWritten)
{
    test_support::TempDir dir;
    const std::string in = (dir / "unit.gd").string(), out = (dir / "no-such-dir/out.gd").string();
    write_graph(empty_unit, in);
    const test_support::ProgramRun r = run_talvexf({in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, progress_lines() + "Could not open " + out + " for binary write\n" + out +
                         ": the folder " + (dir / "no-such-dir").string() +
                         " cannot take a new file: No such file or directory\nError writing graph to " + out +
                         "\n");
}

// An empty output name is refused by the writer, which names it as it is;
// nothing is made in the working directory.
TEST(Talvexf, AnEmptyOutputNameIsRefusedByTheWriter)
{
    test_support::TempDir dir;
    const std::string in = (dir / "unit.gd").string();
    write_graph(empty_unit, in);
    test_support::RunSetup here;
    here.directory = dir.path();
    const test_support::ProgramRun r = test_support::runProgram(TALVEXF_PATH, {in, ""}, here);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, progress_lines() + "Could not open  for binary write\nError writing graph to \n");
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"unit.gd"});
}

TEST(Talvexf, KeepsItsFilesWhenTheWriteFailsOrTheInputCannotBeRead)
{
    test_support::TempDir dir;
    const std::string in = (dir / "unit.gd").string();
    write_graph(("hash " + std::to_string(failed_writes::hash_slots) + "\n" + empty_unit).c_str(), in);
    test_support::expectWriteFaultsHandled(
        failed_writes::frame_program(TALVEXF_PATH, test_support::readFile(in), progress_lines()));
}

}  // namespace
