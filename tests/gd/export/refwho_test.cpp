// The refwho program: its command line and odd contents.
#include <string>

#include "export_test_support.h"

namespace {

using export_test::scratch_dir;
using test_support::ProgramRun;
using test_support::runProgram;

const std::string refwho = REFWHO;

const char *const graph_text = R"(0 identifier_node strg="x" lngt=1
3 tree_list value=7 purpose=7
7 integer_cst
9 plus_expr op0=7 op1=0
12 cArcSon src=0 dest=7
)";

TEST(Refwho, Arguments)
{
    scratch_dir d;
    std::string file = d.put_graph_text("g.gd", graph_text);
    const std::string usage =
        "usage: " + refwho + " dumpfile nodenumber\n0 < nodenumber < num_nodes_in_file\n";
    const std::string users_of_7 = "node 7 is used by:\n 3\n 9\n 12\n";
    struct {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {{}, 1, "", usage},
        {{file}, 1, "", usage},
        {{file, "7", "8"}, 1, "", usage},
        {{file, "7"}, 0, users_of_7, ""},
        {{file, "0"}, 0, "node 0 is used by:\n 9\n 12\n", ""},
        {{file, "007"}, 0, users_of_7, ""},
        // Not a whole number: refused, where reading its leading digits would
        // ask about node 7 or, without digits, node 0.
        {{file, "7x"}, 1, "", usage},
        {{file, "x"}, 1, "", usage},
        {{file, ""}, 1, "", usage},
        {{file, "7.5"}, 1, "", usage},
        {{file, "0x7"}, 1, "", usage},
        {{file, "12"}, 0, "node 12 is not used by any node\n", ""},
        {{file, "13"}, 0, "node 13 is not used by any node\n", ""},
        {{file, "-1"}, 1, "", usage},
        {{file, "-7"}, 1, "", usage},
        // Beyond the int range: no node, where a cut to int would ask about node 7.
        {{file, "4294967303"}, 1, "", usage},
        {{d.path("missing.gd"), "1"},
         1,
         "",
         "Could not open " + d.path("missing.gd") + " for binary read\ncould not get graph\n"},
    };
    for (const auto &c : cases) {
        ProgramRun r = runProgram(refwho, c.args);
        std::string what = c.args.empty() ? "no arguments" : c.args.back();
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_EQ(r.out, c.out) << what;
        EXPECT_EQ(r.err, c.err) << what;
    }
}

TEST(Refwho, DamagedContents)
{
    scratch_dir d;
    // A tree_vec claiming more elements than it has slots, and a kind without a
    // record, which the use test stops on.
    std::string file =
        d.put_graph_text("odd.gd", "0 identifier_node strg=\"x\"\n1 tree_vec length=100000 elts=[0]\n"
                                   "2 tree_list value=0\n3 65535\n");
    ProgramRun r = runProgram(refwho, {file, "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "node 0 is used by:\n 1\n 2\n");
    EXPECT_EQ(r.err, "node_uses: Unhandled node 3 type 65535(unknown_kind)\n");
}

}  // namespace
