// The if filter: if statements become Ririra ifs.

#include "support/filter_on_text.h"

namespace {

TEST(GdIf, ConditionThenAndElseArcsInThisOrder)
{
    const filtered_text out = run_filter_on_text(gd_if_filter, R"(0 if_stmt private_flag line=3 cond=3 thenc=4 elsec=5 next=1
1 if_stmt line=6 cond=3 thenc=4 next=2
2 return_stmt line=7
3 integer_cst low=1
4 expr_stmt line=4
5 expr_stmt line=5
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cIf other_node=1 line=3 cond=6 true_block=7 false_block=8
1 cIf other_node=2 line=6 cond=9 true_block=10
2 return_stmt line=7
3 integer_cst low=1
4 expr_stmt line=4
5 expr_stmt line=5
6 cArcCond src=0 dest=3
7 cArcTrue src=0 dest=4
8 cArcFalse src=0 dest=5
9 cArcCond src=1 dest=3
10 cArcTrue src=1 dest=4
)");
}

}  // namespace
