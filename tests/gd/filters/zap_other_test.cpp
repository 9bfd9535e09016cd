// zap_other_filter: every node's other_node is cleared.

#include <gd/filters/filters.h>

#include "support/filter_on_text.h"

namespace {

TEST(ZapOther, ClearsEveryOtherNodeAndNothingElse)
{
    filtered_text out = run_filter_on_text(zap_other_filter, R"(0 cObject mark_flag1 other_node=1 name="a"
1 cReturn other_node=2 line=4
2 expr_stmt other_node=0 next=1
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cObject mark_flag1 name="a"
1 cReturn line=4
2 expr_stmt next=1
)");
}

}  // namespace
