// The regular bypass: links to expression statements lead to their
// expressions.

#include "support/filter_on_text.h"

namespace {

// No line is copied; a statement without a valid expression stays, and so do
// declaration statements and the link in other_node.
TEST(GdRegular, LinksLeadPastExpressionStatements)
{
    const filtered_text out = run_filter_on_text(gd_regular_filter, R"(0 cArcSon src=1 dest=2 next=5
1 expr_stmt line=3 texpr=4
2 expr_stmt line=5 texpr=-1
3 cReturn other_node=1
4 cOperator line=1
5 cArcSon dest=6 next=7
6 expr_stmt line=6 texpr=99
7 cArcSon dest=8
8 decl_stmt line=7 decl=4
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cArcSon src=4 dest=2 next=5
1 expr_stmt line=3 texpr=4
2 expr_stmt line=5
3 cReturn other_node=1
4 cOperator line=1
5 cArcSon dest=6 next=7
6 expr_stmt line=6 texpr=99
7 cArcSon dest=8
8 decl_stmt line=7 decl=4
)");
}

}  // namespace
