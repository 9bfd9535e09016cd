// The labels filter: label declarations and case labels become Ririra labels.

#include "support/filter_on_text.h"

namespace {

TEST(GdLabels, LabelsCaseLabelsAndDefaultLabels)
{
    const filtered_text out = run_filter_on_text(gd_labels_filter, R"(0 label_decl public_flag name=4 srcf="a.c" srcl=3 chan=3
1 case_label low=5 high=6 next=2
2 case_label high=6 next=3
3 label_decl name=5
4 identifier_node strg="out"
5 integer_cst low=1
6 integer_cst low=2
)");
    EXPECT_EQ(out.result, 1);
    // Built anew: no flags, no place; a name only from an identifier.
    EXPECT_EQ(out.graph, R"(0 cLabel name="out"
1 cCaseLabel other_node=2 value=7
2 cDefaultLabel other_node=3
3 cLabel
4 identifier_node strg="out"
5 integer_cst low=1
6 integer_cst low=2
7 cArcSon src=1 dest=5
)");
}

}  // namespace
