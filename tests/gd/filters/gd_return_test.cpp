// The return filter: return statements become Ririra returns.

#include "support/filter_on_text.h"

namespace {

// Converted in place, flags kept; only a valid value gets an arc.
TEST(GdReturn, ValueArcOnlyForAValidValue)
{
    const filtered_text out = run_filter_on_text(gd_return_filter, R"(0 return_stmt public_flag line=3 ret_expr=3 next=1
1 return_stmt line=4 next=2
2 return_stmt line=5 ret_expr=99
3 integer_cst low=7
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cReturn public_flag other_node=1 line=3 value=4
1 cReturn other_node=2 line=4
2 cReturn line=5
3 integer_cst low=7
4 cArcSon src=0 dest=3
)");
}

}  // namespace
