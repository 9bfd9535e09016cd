// The nodepeek program: its command line, its output and odd contents.
#include <string>

#include "export_test_support.h"

namespace {

using export_test::scratch_dir;
using test_support::ProgramRun;
using test_support::runProgram;

const std::string nodepeek = NODEPEEK;

// A graph of three nodes.
const char *const three_nodes =
    "root 2\n0 identifier_node strg=\"x\" lngt=1\n1 tree_list value=0\n2 integer_cst low=4\n";

TEST(Nodepeek, Arguments)
{
    scratch_dir d;
    std::string file = d.put_graph_text("g.gd", three_nodes);
    const std::string usage = "usage: " + nodepeek + " dumpfile [nodeNumber]\n";
    const std::string header = "graph: node size = 72, char buffer size = 2, first node = 2\n";
    struct {
        std::vector<std::string> args;
        int status;
        std::string out_start;  // the whole output up to the first node's type line
        std::string err;
    } cases[] = {
        {{}, 1, "", usage + "0 < nodeNumber < number of nodes in graph\n"},
        {{file, "1", "2"}, 1, "", usage + "0 < nodeNumber < number of nodes in graph\n"},
        {{file, "0"}, 0, header + "\nnode @0\ntype: identifier_node\n", ""},
        {{file, "2"}, 0, header + "\nnode @2\ntype: integer_cst\n", ""},
        {{file}, 0, header + "\nnode @0\ntype: identifier_node\n", ""},
        {{file, "3"}, 1, "", usage + "0 < nodeNumber < 3\n"},
        {{file, "1x"}, 1, "", usage + "0 < nodeNumber < 3\n"},
        // No digits: no node, not node 0.
        {{file, ""}, 1, "", usage + "0 < nodeNumber < 3\n"},
        {{file, "-1"}, 1, "", usage + "0 < nodeNumber < 3\n"},
        // Beyond the int range: no node, where a cut to int would give node 1.
        {{file, "4294967297"}, 1, "", usage + "0 < nodeNumber < 3\n"},
        {{d.path("missing.gd"), "1"},
         1,
         "",
         "Could not open " + d.path("missing.gd") + " for binary read\ncould not get graph\n"},
    };
    for (const auto &c : cases) {
        ProgramRun r = runProgram(nodepeek, c.args);
        std::string what = c.args.empty() ? "no arguments" : c.args.back();
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_EQ(r.out.substr(0, c.out_start.size()), c.out_start) << what;
        if (c.out_start.empty()) {
            EXPECT_EQ(r.out, "") << what;
        }
        EXPECT_EQ(r.err, c.err) << what;
    }
}

TEST(Nodepeek, OneNodeOrAll)
{
    scratch_dir d;
    std::string file = d.put_graph_text("g.gd", three_nodes);
    ProgramRun all = runProgram(nodepeek, {file});
    ProgramRun one = runProgram(nodepeek, {file, "1"});
    EXPECT_EQ(one.out,
              "graph: node size = 72, char buffer size = 2, first node = 2\n"
              "\nnode @1\ntype: tree_list\ncommon\n type_number: 3\n constant_flag: 0\n volatile_flag: 0\n"
              " readonly_flag: 0\n unsigned_flag: 0\n static_flag: 0\n public_flag: 0\n private_flag: 0\n"
              " protected_flag: 0\n other_node: @-1\n  purpose: @-1\n  value: @0\n  chan: @-1\n");
    EXPECT_NE(all.out.find(one.out.substr(one.out.find("\nnode @1"))), std::string::npos);
    EXPECT_NE(all.out.find("\nnode @2\ntype: integer_cst\n"), std::string::npos);
}

TEST(Nodepeek, DamagedContentsAreShownAndReported)
{
    scratch_dir d;
    std::string file = d.put_graph_text("odd.gd", R"(0 identifier_node strg=@4000
1 tree_vec length=100000
2 65535
3 cOperator op=200
4 var_decl srcl=1 srcf=@-4
5 identifier_node strg="ok"
)");
    ProgramRun r = runProgram(nodepeek, {file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "nodepeek: node has bad string ptr 4000\n"
                     "nodepeek: node 1: tree_vec length 100000 clamped to its 14 slots\n"
                     "unknown operator 200\n"
                     "nodepeek: node has bad string ptr -4\n");
    EXPECT_NE(r.out.find("\nnode @2\nunknown node type: 65535\nnode data:\n ff ff"), std::string::npos);
}

}  // namespace
