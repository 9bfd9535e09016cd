// The statements bypass: links to expression, declaration and label
// statements lead to what the statements wrap.

#include "support/filter_on_text.h"

namespace {

TEST(GdStatements, LinksLeadPastTheWrappers)
{
    const filtered_text out = run_filter_on_text(gd_statements_filter, R"(0 cBlock contents=1
1 cArcSon src=0 dest=6 next=2
2 cArcSon src=0 dest=6 next=3
3 cArcSon src=0 dest=7 next=4
4 cArcSon src=0 dest=8 next=5
5 cArcSon src=0 dest=9
6 expr_stmt line=7 texpr=10
7 decl_stmt line=8 decl=11
8 label_stmt line=9 label=12
9 expr_stmt line=10 texpr=13
10 cOperator line=1 op=dc_asgn_eq
11 var_decl srcl=2
12 cLabel line=3
13 expr_stmt line=11 texpr=22
14 cArcSon src=0 dest=15 next=16
15 expr_stmt line=12
16 cArcSon src=0 dest=17
17 decl_stmt line=13 decl=99
18 cReturn other_node=6 line=14
19 cArcSon src=0 dest=20
20 label_stmt line=15 label=21
21 cArcSon
22 cOperator line=1 op=dc_asgn_eq
)");
    EXPECT_EQ(out.result, 1);
    // The statement reached from two arcs is bypassed in both and gives its
    // line to the Ririra node it wraps; a compiler declaration or an arc keeps
    // its own. A wrapper of a wrapper is removed one level from the arc, while
    // the outer wrapper's own link is bypassed when the walk reaches it.
    // Wrappers of nothing valid stay, and other_node is left alone.
    EXPECT_EQ(out.graph, R"(0 cBlock contents=1
1 cArcSon src=0 dest=10 next=2
2 cArcSon src=0 dest=10 next=3
3 cArcSon src=0 dest=11 next=4
4 cArcSon src=0 dest=12 next=5
5 cArcSon src=0 dest=13
6 expr_stmt line=7 texpr=10
7 decl_stmt line=8 decl=11
8 label_stmt line=9 label=12
9 expr_stmt line=10 texpr=22
10 cOperator line=7 op=dc_asgn_eq
11 var_decl srcl=2
12 cLabel line=9
13 expr_stmt line=11 texpr=22
14 cArcSon src=0 dest=15 next=16
15 expr_stmt line=12
16 cArcSon src=0 dest=17
17 decl_stmt line=13 decl=99
18 cReturn other_node=6 line=14
19 cArcSon src=0 dest=21
20 label_stmt line=15 label=21
21 cArcSon
22 cOperator line=11 op=dc_asgn_eq
)");
}

}  // namespace
