// nextNode and setNext: the next link of a node, by kind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

TEST(NextNode, ReadsAndWritesTheLinkOfEachKind)
{
    gd_graph g = compile_text_graph(R"(
0 if_stmt next=10 cond=11 thenc=12 elsec=13
1 cObject other_node=20
2 integer_cst type=5
3 var_decl chan=30
4 tree_list chan=40
5 break_stmt next=50
6 while_stmt next=60
7 for_stmt next=70
8 asm_stmt next=80
9 overload chan=90
10 must_not_throw_expr next=100
11 cArcTrue next=110
12 try_block next=120
)");
    struct Case {
        node_ptr node;
        node_ptr next;
    } cases[] = {{0, 10}, {1, 20}, {2, -1},   {3, 30},   {4, 40},   {5, 50},  {6, 60}, {7, 70},
                 {8, 80}, {9, 90}, {10, 100}, {11, 110}, {12, 120}, {99, -1}, {-1, -1}};
    for (const Case &c : cases) {
        EXPECT_EQ(nextNode(&g, c.node), c.next) << c.node;
        EXPECT_EQ(setNext(&g, c.node, 7), c.next) << c.node;
        EXPECT_EQ(nextNode(&g, c.node), c.next == -1 ? -1 : 7) << c.node;
    }
    EXPECT_EQ(g.nodeBuffer[2].integer_cst.type, 5);  // no link: nothing written
    EXPECT_EQ(g.nodeBuffer[0].if_stmt.elsec, 13);
    deallocate_gd_graph(g);
}

TEST(NextNodeDeathTest, KindsThatHaveNoBusinessInAChainStopTheProgram)
{
    gd_graph g = compile_text_graph("0 cSystem\n1 bit_not_expr\n2 num_nodes\n3 9999\n4 using_directive\n");
    struct Case {
        node_ptr node;
        bool set;  // setNext, else nextNode
        const char *message;
    } cases[] = {
        {0, false, "^unknown node\\(0\\) type: cSystem\\(239\\)\n$"},
        {1, true, "^talvex: unknown node \\(1\\) type bit_not_expr\\(89\\)\n$"},
        {2, false, "^unknown node\\(2\\) type: num_nodes\\(315\\)\n$"},
        {3, false, "^unknown node\\(3\\) type: unknown_kind\\(9999\\)\n$"},
        {4, true, "^talvex: unknown node \\(4\\) type using_directive\\(185\\)\n$"},
    };
    for (const Case &c : cases) {
        // The message goes to standard output; the death statement sends that
        // to standard error, where the death test reads.
        EXPECT_EXIT(
            {
                dup2(2, 1);
                if (c.set)
                    setNext(&g, c.node, 0);
                else
                    nextNode(&g, c.node);
            },
            testing::ExitedWithCode(1), c.message);
    }
    deallocate_gd_graph(g);
}

}  // namespace
