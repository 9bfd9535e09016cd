// The pointer-field walkers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gd/kind_table.h"
#include "gd/walkers.h"
#include "text_graph.h"

namespace {

// Each callback as "node:ordinal=value", in call order.
std::vector<std::string> calls;

void record_call(gd_graph *, node_ptr np, node_ptr *field, int n)
{
    calls.push_back(std::to_string(np) + ":" + std::to_string(n) + "=" + std::to_string(*field));
}

std::string joined_calls()
{
    std::string out;
    for (const std::string &c : calls) out += (out.empty() ? "" : " ") + c;
    calls.clear();
    return out;
}

// The calls of walk_ptrs; walk_ptrs_with, the walk a filter's own visit is
// inlined into, must make the same.
std::string walked(gd_graph *g)
{
    calls.clear();
    walk_ptrs(g, record_call);
    const std::string by_callback = joined_calls();
    auto visit = [g](node_ptr np, node_ptr *field, int n) { record_call(g, np, field, n); };
    walk_ptrs_with(g, visit);
    EXPECT_EQ(joined_calls(), by_callback) << "walk_ptrs_with";
    return by_callback;
}

TEST(Walkers, FieldsInOrderWithTheirOrdinals)
{
    gd_graph g = compile_text_graph(R"(
0 function_decl other_node=10 name=11 mngl=12 type=13 chan=14 scpe=15 vindex=16 args=17 body=18
1 eh_spec_block raises=20 body=21 next=22
2 tree_vec length=3 binfo_type=30 elts=[31 32 33 34]
3 cFunction instance=40 defLoc=41 arcFriend=42 array_dim=43 formal_fct=44 exception=45 block=46 link=47 inst=48
4 cArcSon ordinal=9 src=50 dest=51 next=52
5 error_mark
)");
    EXPECT_EQ(walked(&g), "0:0=10 0:1=11 0:2=12 0:3=13 0:4=14 0:5=15 0:6=16 0:7=17 0:8=18 "
                          "1:0=-1 1:1=21 1:2=20 1:3=22 "
                          "2:0=-1 2:1=30 2:2=31 2:3=32 2:4=33 "
                          "3:0=-1 3:1=40 3:2=41 3:3=42 3:4=43 3:5=44 3:6=45 3:7=46 3:8=47 "
                          "4:0=-1 4:1=50 4:2=51 4:3=52 "
                          "5:0=-1");
    deallocate_gd_graph(g);
}

TEST(Walkers, KindsThatAreNotWalked)
{
    gd_graph g = compile_text_graph(R"(
0 cCntrlStmt other_node=5
1 imagpart_expr other_node=5
2 node_none other_node=5
3 400
4 cExternSymbol other_node=5
5 tree_vec length=-3 binfo_type=6
6 tree_vec length=99 elts=[0 1 2 3 4 5 6 7 8 9 10 11 12 13]
nodes 8
)");
    EXPECT_EQ(walked(&g),
              "4:0=5 5:0=-1 5:1=6 "
              "6:0=-1 6:1=-1 6:2=0 6:3=1 6:4=2 6:5=3 6:6=4 6:7=5 6:8=6 6:9=7 6:10=8 6:11=9 6:12=10 6:13=11 "
              "6:14=12 6:15=13");
    deallocate_gd_graph(g);
}

TEST(Walkers, RecordWalkersStartAtTheOrdinalGiven)
{
    gd_graph g = compile_text_graph(R"(
0 function_decl name=11 body=18
1 cCntrlStmt other_node=3
)");
    calls.clear();
    EXPECT_EQ(w_function_decl(&g, 0, &g.nodeBuffer[0].function_decl, record_call, 5), 14);
    EXPECT_EQ(w_gcc_decl(&g, 0, &g.nodeBuffer[0].decl, record_call, 0), 7);
    EXPECT_EQ(w_dc_ctrl_stmt(&g, 1, &g.nodeBuffer[1].dc_ctrl_stmt, record_call, 0), 1);
    std::string out;
    for (const std::string &c : calls) out += c + " ";
    EXPECT_EQ(out, "0:5=-1 0:6=11 0:7=-1 0:8=-1 0:9=-1 0:10=-1 0:11=-1 0:12=-1 0:13=18 "
                   "0:0=-1 0:1=11 0:2=-1 0:3=-1 0:4=-1 0:5=-1 0:6=-1 "
                   "1:0=3 ");
    deallocate_gd_graph(g);
}

void clear_field(gd_graph *, node_ptr, node_ptr *field, int)
{
    *field = -1;
}

TEST(Walkers, CallbacksMayRewriteEveryField)
{
    gd_graph g = compile_text_graph(R"(
0 function_decl other_node=1 name=1 body=1 srcf="a.c" srcl=3
1 cFunction inst=0 block=0 link=0
2 cArcSon src=0 dest=1
)");
    gd_free_node(&g, 2);
    walk_ptrs(&g, clear_field);
    EXPECT_EQ(gd_text_dump(&g), "nodes 3\n"
                                "0 function_decl srcf=\"a.c\" srcl=3\n"
                                "1 cFunction inst=0\n");
    deallocate_gd_graph(g);
}

TEST(Walkers, AnEmptyGraphMakesNoCallAndAllowsAllocationAfterwards)
{
    gd_graph g = allocate_gd_graph(10, 3, 4);
    EXPECT_EQ(walked(&g), "");
    EXPECT_EQ(newNode(&g), 0);
    deallocate_gd_graph(g);
}

gd_graph *outer_graph;
void walk_inside(gd_graph *, node_ptr, node_ptr *, int)
{
    walk_structure(outer_graph, record_call);
}
void allocate_inside(gd_graph *g, node_ptr, node_ptr *, int)
{
    newNode(g);
}

TEST(WalkersDeathTest, AllocationStaysStoppedUntilTheOutermostWalkEnds)
{
    gd_graph g = compile_text_graph("0 integer_cst\n");
    outer_graph = &g;
    walk_structure(&g, record_call);
    EXPECT_EQ(newNode(&g), 1);  // allowed again after a walk
    walk_ptrs(&g, walk_inside);
    EXPECT_EQ(newNode(&g), 2);
    EXPECT_EXIT(walk_ptrs(&g, allocate_inside), testing::ExitedWithCode(1),
                "^talvex: \\(fatal\\) node allocation protocol error\n$");
    auto allocate = [&g](node_ptr, node_ptr *, int) { newNode(&g); };
    EXPECT_EXIT(walk_ptrs_with(&g, allocate), testing::ExitedWithCode(1),
                "^talvex: \\(fatal\\) node allocation protocol error\n$");
    auto nested_walk = [&g](node_ptr, node_ptr *, int) { walk_structure(&g, record_call); };
    walk_ptrs_with(&g, nested_walk);
    EXPECT_EQ(newNode(&g), 3);
    deallocate_gd_graph(g);
}

}  // namespace
