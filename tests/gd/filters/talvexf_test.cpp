// The talvexf program: command line, messages, exit status and files.

#include <gd/filters/chain.h>

#include "../failed_writes.h"
#include "../memory_limits.h"
#include "program_run.h"
#include "support/graph_fixture.h"
#include "support/looping_chains.h"
#include "support/shared_prototypes.h"

#include <gd/record.h>

#include <algorithm>
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
        EXPECT_EQ(r.err.find("(fatal)"), std::string::npos) << unit.what << "\n" << r.err;
        EXPECT_LE(std::filesystem::file_size(out), 8 * std::filesystem::file_size(in)) << unit.what;
    }
}

std::size_t count_of(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// What the finished graph holds of a unit's functions: for each function
// (in node order) its formals, each checked to be a formal of its own, at the
// function's line, whose type arc leads to int.
struct function_formals {
    std::vector<int> per_function;
    int formal_objects = 0;
    int instance_arcs_of_formals = 0;
    std::string fault;
};

function_formals formals_of_functions(const gd_graph *g)
{
    function_formals found;
    node_ptr int_type = -1;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        const gd_node_type k = kind_of(g, i);
        if (k == dC_FORMAL_OBJECT) found.formal_objects++;
        if (k == dC_INSTANCE && kind_of(g, record_of<t_dc_arc>(g, i).src) == dC_FORMAL_OBJECT)
            found.instance_arcs_of_formals++;
        if (k == dC_BUILT_IN_TYPE) int_type = i;
    }
    for (node_ptr f = 0; node_valid(g, f); f++) {
        if (kind_of(g, f) != dC_FUNCTION) continue;
        const t_dc_function &fn = record_of<t_dc_function>(g, f);
        int listed = 0;
        for (node_ptr a = fn.formal_fct; a != -1 && found.fault.empty(); a = record_of<t_dc_arc>(g, a).next) {
            const t_dc_arc &arc = record_of<t_dc_arc>(g, a);
            const t_dc_formal_object *y = record<t_dc_formal_object>(g, arc.dest);
            const t_dc_arc *type = y ? record<t_dc_arc>(g, y->instance) : nullptr;
            ++listed;
            if (kind_of(g, a) != dC_ARC_SON || arc.src != f || arc.ordinal != listed || !y ||
                y->line != fn.line || !type || kind_of(g, y->instance) != dC_INSTANCE ||
                type->src != arc.dest || type->dest != int_type)
                found.fault = "function " + std::to_string(f) + ", formal arc " + std::to_string(a);
        }
        found.per_function.push_back(listed);
    }
    return found;
}

struct prototype_case {
    int functions;
    int params;
};

// Healthy units of N prototypes sharing one function type of P parameters
// come out whole: N x P formals, one list arc and one type arc each, and the
// three notes of gd_func for every copied formal.
TEST(Talvexf, TranslatesPrototypesThatShareAFunctionTypeWhole)
{
    const prototype_case cases[] = {{1, 1}, {10, 0}, {500, 12}, {2000, 40}, {300, 200}};
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const prototype_case &c : cases) {
        const std::string what = std::to_string(c.functions) + " x " + std::to_string(c.params);
        write_graph(shared_prototypes::text({c.functions, c.params}).c_str(), in);
        const test_support::ProgramRun r = run_talvexf({in, out});
        ASSERT_EQ(r.status, 0) << what << "\n" << r.err.substr(0, 2000);
        EXPECT_EQ(count_of(r.err, "done\n"), 41u) << what;
        EXPECT_EQ(count_of(r.err, "(fatal)"), 0u) << what;
        EXPECT_EQ(count_of(r.err, "gd_func: new param "), std::size_t(c.functions) * c.params) << what;
        gd_graph g = gd_graph_read_binary_file(out.c_str());
        const function_formals found = formals_of_functions(&g);
        deallocate_gd_graph(g);
        EXPECT_EQ(found.fault, "") << what;
        EXPECT_EQ(found.per_function, std::vector<int>(c.functions, c.params)) << what;
        EXPECT_EQ(found.formal_objects, c.functions * c.params) << what;
        EXPECT_EQ(found.instance_arcs_of_formals, c.functions * c.params) << what;
    }
}

struct damaged_prototype_case {
    const char *what;
    shared_prototypes::unit unit;
    std::string damage;  // as the fatal message says it
    uint64_t made;       // the nodes the walks had made when they stopped
};

// The same copying on a unit with a damaged link or a parameter list that
// loops is held to the damaged unit's allowance, sixteen nodes per record and
// 1024: past it the run stops, with no output and the old one left as it
// was. Once the damage is known, each formal that gd_func copies makes three
// nodes; funct_type's two per parameter count when the damage was known
// before its walk.
TEST(Talvexf, StopsOnDamagedPrototypesThatGrowPastTheirAllowance)
{
    using shared_prototypes::first_cell;
    shared_prototypes::unit loops{500, 12}, past{500, 12};
    loops.after_last_param = first_cell(loops);
    past.after_last_param = 1000000;
    const uint32_t records = shared_prototypes::records(loops);
    const uint64_t limit = 16 * uint64_t(records) + 1024;
    const uint64_t loop_made = 3 * ((limit + 3) / 3);
    const uint64_t past_made = 2 * 12 + 3 * ((limit - 2 * 12 + 3) / 3);
    const damaged_prototype_case cases[] = {
        {"a parameter list that loops", loops,
         "the chain from node " + std::to_string(first_cell(loops)) + " meets node " +
             std::to_string(first_cell(loops)) + " again",
         loop_made},
        {"a parameter cell linked past the last record", past,
         "node " + std::to_string(first_cell(past) + 11) + " links to record 1000000, past the last one",
         past_made},
    };
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const damaged_prototype_case &c : cases) {
        write_graph(shared_prototypes::text(c.unit).c_str(), in);
        test_support::writeFile(out, "the old output");
        const test_support::ProgramRun r = run_talvexf({in, out});
        EXPECT_EQ(r.status, 1) << c.what;
        const std::string stop = "* Running gd_func_filter...";
        const std::size_t at = r.err.find(stop);
        ASSERT_NE(at, std::string::npos) << c.what;
        EXPECT_EQ(r.err.substr(0, at), progress_lines().substr(0, progress_lines().find(stop))) << c.what;
        const std::string message = "talvex: (fatal) gd_func: the chain walks on a damaged unit have made " +
                                    std::to_string(c.made) + " nodes, more than the " +
                                    std::to_string(limit) + " allowed for its " + std::to_string(records) +
                                    " records (" + c.damage + ")\n";
        ASSERT_GE(r.err.size(), message.size()) << c.what;
        EXPECT_EQ(r.err.substr(r.err.size() - message.size()), message) << c.what;
        EXPECT_EQ(test_support::readFile(out), "the old output") << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
            << "no temporary left";
    }
}

// The seeds of the chain's fuzz target, damaged ones among them, through
// talvexf: each is translated with status 0 into an output about its own
// size, or, where a damaged unit's walks pass their allowance, stopped with
// the fatal message and no output.
TEST(Talvexf, TheChainFuzzSeedsEndWholeOrStopWithNoOutput)
{
    struct seed_case {
        const char *seed;
        bool whole;
    } cases[] = {
        {"enum_throw", true},   {"shared_prototype", true}, {"statements", true},
        {"try_template", true}, {"virtual_call", true},     {"looping_prototypes", false},
    };
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    for (const seed_case &c : cases) {
        write_graph(test_support::readFile(std::string(FUZZ_SEEDS) + "/" + c.seed + ".gdt").c_str(), in);
        std::filesystem::remove(out);
        const test_support::ProgramRun r = run_talvexf({in, out});
        if (c.whole) {
            EXPECT_EQ(r.status, 0) << c.seed << "\n" << r.err;
            EXPECT_EQ(count_of(r.err, "(fatal)"), 0u) << c.seed;
            EXPECT_LE(std::filesystem::file_size(out), 8 * std::filesystem::file_size(in)) << c.seed;
        } else {
            EXPECT_EQ(r.status, 1) << c.seed;
            const std::string stop =
                "talvex: (fatal) gd_func: the chain walks on a damaged unit have made 3123 "
                "nodes, more than the 3120 allowed for its 131 records (the chain from node "
                "10 meets node 10 again)\n";
            EXPECT_EQ(r.err.substr(r.err.rfind("* Running "), 27), "* Running gd_func_filter...") << c.seed;
            EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), stop.size())), stop) << c.seed;
            EXPECT_FALSE(std::filesystem::exists(out)) << c.seed;
        }
    }
}

// Under an address-space limit talvexf either translates the unit whole, as
// without one, or stops where memory runs out: in the reader, or in a step,
// where the store cannot grow its buffers or a filter's container cannot
// grow ("talvex: (fatal) no space left").
TEST(Talvexf, UnderAMemoryLimitTranslatesWholeOrStopsCleanly)
{
    if (!test_support::addressSpaceLimitsWork)
        GTEST_SKIP() << "the address sanitizer needs the address space";
    test_support::TempDir dir;
    const std::string in = (dir / "in.gd").string(), out = (dir / "out.gd").string();
    write_graph(shared_prototypes::declared_parameters_text(1000, 40).c_str(), in);
    ASSERT_EQ(run_talvexf({in, out}).status, 0);
    const std::string whole = test_support::readFile(out);
    std::filesystem::remove(out);
    const memory_limits::outcomes met =
        memory_limits::run_under_limits(TALVEXF_PATH, in, out, {8, 12, 18, 24, 32, 64, 1024}, whole,
                                        {{"read", "Could not read graph from file " + in + "\n"},
                                         {"step", "talvex: (fatal) no space left\n"}});
    EXPECT_EQ(met, (memory_limits::outcomes{"whole", "read", "step"}));
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
