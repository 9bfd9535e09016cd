// refwho's used-by list.
#include "gd/export/used_by.h"

#include <fstream>
#include <iterator>
#include <string>

#include "export_test_support.h"

namespace {

using export_test::capture;
using export_test::graph;

std::string users(graph &g, int dest)
{
    return capture([&](FILE *out, FILE *) {
               refwho::print_users(out, &g, dest);
               return 0;
           })
        .out;
}

TEST(UsedBy, UsersInAscendingOrderEachOnce)
{
    graph g(R"(0 identifier_node strg="x"
3 tree_list purpose=5 value=5 chan=5
5 integer_cst
9 plus_expr op0=5
12 cArcSon src=1 dest=5
13 component_ref op1=5
)");
    EXPECT_EQ(users(g, 5), "node 5 is used by:\n 3\n 9\n 12\n");
    EXPECT_EQ(users(g, 0), "node 0 is not used by any node\n");
}

TEST(UsedBy, SelfAndDanglingTargets)
{
    graph g("0 identifier_node strg=\"x\"\n1 tree_list chan=1 value=999\n");
    EXPECT_EQ(users(g, 1), "node 1 is used by:\n 1\n");
    EXPECT_EQ(users(g, 999), "node 999 is used by:\n 1\n");
}

// Fields the use test leaves out never make a user; their neighbours do.
TEST(UsedBy, ExceptedFieldsOfTheUseTest)
{
    struct {
        const char *node;
        bool user;
    } cases[] = {
        {"component_ref op1=1", false},    {"array_ref op1=1", true},      {"compound_expr type=1", false},
        {"compound_expr op0=1", true},     {"user_conv op1=1", false},     {"user_conv type=1", true},
        {"template_decl parms=1", false},  {"template_decl spcs=1", true}, {"cCaseLabel value=1", false},
        {"cEnumerator value=1", false},    {"cEnumerator defLoc=1", true}, {"cAggrType inst=1", false},
        {"cAggrType inheritance=1", true}, {"cFunction inst=1", false},    {"cFunction link=1", true},
        {"union_type ptd=1", true},        {"cLiteral value=@1", false},
    };
    for (const auto &c : cases) {
        graph g(std::string("0 identifier_node strg=\"x\"\n1 integer_cst\n2 ") + c.node + "\n");
        EXPECT_EQ(users(g, 1), c.user ? "node 1 is used by:\n 2\n" : "node 1 is not used by any node\n")
            << c.node;
    }
}

// The one pass lists what repeated searches for the lowest unmarked user
// list, for every node of the sample unit.
TEST(UsedBy, SameListAsRepeatedSearches)
{
    std::ifstream in(SAMPLE_GDT);
    graph g(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    ASSERT_GT(g.g.curNodePos, 50u);
    for (int dest = 0; dest < (int)g.g.curNodePos; dest++) {
        for (uint32_t i = 0; i < g.g.curNodePos; i++) g.node(i).common.mark_flag1 = 0;
        std::string expected;
        for (int u; (u = UsedBy(g.g, dest, 1)) != -1;) {
            if (expected.empty()) expected = "node " + std::to_string(dest) + " is used by:\n";
            expected += " " + std::to_string(u) + "\n";
            g.node(u).common.mark_flag1 = 1;
        }
        if (expected.empty()) expected = "node " + std::to_string(dest) + " is not used by any node\n";
        for (uint32_t i = 0; i < g.g.curNodePos; i++) g.node(i).common.mark_flag1 = 0;
        EXPECT_EQ(users(g, dest), expected) << dest;
    }
}

}  // namespace
