// zap_other_filter: every node's other_node is cleared.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(ZapOther, ClearsEveryOtherNodeAndNothingElse)
{
    filtered_text out = run_filter_on_text(zap_other_filter, zap_other_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, zap_other_fixture.after);
}

}  // namespace
