// The labels filter: label declarations and case labels become Ririra labels.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdLabels, LabelsCaseLabelsAndDefaultLabels)
{
    const filtered_text out = run_filter_on_text(gd_labels_filter, gd_labels_fixture.before);
    EXPECT_EQ(out.result, 1);
    // Built anew: no flags, no place; a name only from an identifier.
    EXPECT_EQ(out.graph, gd_labels_fixture.after);
}

}  // namespace
