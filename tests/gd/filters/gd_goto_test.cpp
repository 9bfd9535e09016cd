// The goto filter: goto statements become Ririra gotos with an arc to their
// label.

#include "support/filter_on_text.h"

namespace {

TEST(GdGoto, GotoGetsAnArcToItsLabel)
{
    // The goto is built anew: its flags are cleared.
    const filtered_text out = run_filter_on_text(gd_goto_filter, R"(0 label_decl name=3
1 goto_stmt volatile_flag line=7 dest=0 next=2
2 goto_stmt line=8 dest=-1
3 identifier_node strg="out"
)");
    EXPECT_NE(out.result, 0);
    EXPECT_EQ(out.graph, R"(0 label_decl name=3
1 cGoto other_node=2 line=7 dest=4
2 cGoto line=8 dest=5
3 identifier_node strg="out"
4 cArcSon src=1 dest=0
5 cArcSon src=2
)");
}

}  // namespace
