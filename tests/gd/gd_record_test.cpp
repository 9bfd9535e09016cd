// The typed record access: a node's record as one of the record types, given
// only where the index is in range and the node's kind holds that record.
#include <gtest/gtest.h>

#include "gd/record.h"
#include "text_graph.h"

namespace {

// Node 0 a declaration, 1 a constant, 2 a syntax arc, 3 a scope, 4 free; 5
// and -1 lie outside the graph.
constexpr const char *graph_text = R"(
0 function_decl
1 integer_cst low=7
2 cArcSon src=3 dest=0
3 cSystem
4 node_deleted
)";

struct record_case {
    const char *what;
    node_ptr node;
    bool common, decl, function_decl, gcc_const, integer_cst, dc_arc, dc_arc_syntax, dc_scope;
};

constexpr record_case cases[] = {
    {"a function declaration is a declaration", 0, true, true, true, false, false, false, false, false},
    {"an integer constant is a constant", 1, true, false, false, true, true, false, false, false},
    {"a syntax arc is an arc", 2, true, false, false, false, false, true, true, false},
    {"a system is a scope", 3, true, false, false, false, false, false, false, true},
    {"a free record holds no record", 4, false, false, false, false, false, false, false, false},
    {"an index past the last record", 5, false, false, false, false, false, false, false, false},
    {"no node", -1, false, false, false, false, false, false, false, false},
};

TEST(GdRecord, GivesARecordOnlyWhereTheNodesKindHoldsIt)
{
    gd_graph g = compile_text_graph(graph_text);
    for (const record_case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(record<gd_graph_common>(&g, c.node) != nullptr, c.common);
        EXPECT_EQ(record<t_gcc_decl>(&g, c.node) != nullptr, c.decl);
        EXPECT_EQ(record<t_function_decl>(&g, c.node) != nullptr, c.function_decl);
        EXPECT_EQ(record<t_gcc_const>(&g, c.node) != nullptr, c.gcc_const);
        EXPECT_EQ(record<t_integer_cst>(&g, c.node) != nullptr, c.integer_cst);
        EXPECT_EQ(record<t_dc_arc>(&g, c.node) != nullptr, c.dc_arc);
        EXPECT_EQ(record<t_dc_arc_syntax>(&g, c.node) != nullptr, c.dc_arc_syntax);
        EXPECT_EQ(record<t_dc_scope>(&g, c.node) != nullptr, c.dc_scope);
    }
    deallocate_gd_graph(g);
}

TEST(GdRecord, TheRecordIsTheNodesOwnRecord)
{
    gd_graph g = compile_text_graph(graph_text);
    EXPECT_EQ(record<t_integer_cst>(&g, 1)->low, 7);
    const gd_graph &cg = g;
    EXPECT_EQ(record<t_dc_arc>(&cg, 2)->dest, 0);
    record_of<t_dc_arc>(&g, 2).dest = 1;
    EXPECT_EQ(g.nodeBuffer[2].dc_arc.dest, 1);
    deallocate_gd_graph(g);
}

TEST(GdRecord, AKindCodeBeyondTheTableHoldsNoRecord)
{
    gd_graph g = compile_text_graph(graph_text);
    g.nodeBuffer[1].common.type = static_cast<gd_node_type>(NUM_NODES + 1);
    EXPECT_EQ(record<gd_graph_common>(&g, 1), nullptr);
    g.nodeBuffer[1].common.type = static_cast<gd_node_type>(0xffff);
    EXPECT_EQ(record<gd_graph_common>(&g, 1), nullptr);
    deallocate_gd_graph(g);
}

TEST(GdRecord, ARecordTheCallerWasSureOfStopsTheProgramWhenItIsNotThere)
{
    gd_graph g = compile_text_graph(graph_text);
    EXPECT_EXIT(record_of<t_dc_arc>(&g, 0), testing::ExitedWithCode(1),
                "^Node 0 of kind function_decl has no t_dc_arc record.\n$");
    EXPECT_EXIT(record_of<t_dc_arc>(&g, 9), testing::ExitedWithCode(1),
                "^Node 9 is no node of the graph \\(it has 5 records\\).\n$");
    deallocate_gd_graph(g);
}

}  // namespace
