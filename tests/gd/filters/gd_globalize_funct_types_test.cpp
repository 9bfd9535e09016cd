// gd_globalize_funct_types_filter: every function type joins the global
// scope, after its members.

#include <gd/filters/filters.h>

#include "support/filter_on_text.h"

namespace {

TEST(GdGlobalizeFunctTypes, AppendsEveryFunctionTypeAfterTheLastMember)
{
    filtered_text out = run_filter_on_text(gd_globalize_funct_types_filter, R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=3
2 cScopeCompil
3 cArcSon src=0 dest=4
4 cBuiltInType name="int"
5 cFctType name="f"
6 cFctType
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=3
2 cScopeCompil
3 cArcSon src=0 dest=4 next=7
4 cBuiltInType name="int"
5 cFctType name="f"
6 cFctType
7 cArcSon src=0 dest=5 next=8
8 cArcSon src=0 dest=6
)");
}

TEST(GdGlobalizeFunctTypes, FillsAnEmptyScopeAndLeavesARootThatIsNoScope)
{
    filtered_text empty = run_filter_on_text(gd_globalize_funct_types_filter, R"(root 0
0 cScopeGlb
1 cFctType
)");
    EXPECT_EQ(empty.graph, R"(root 0
0 cScopeGlb contents=2
1 cFctType
2 cArcSon src=0 dest=1
)");
    const char *no_scope = R"(root 0
0 cObject
1 cFctType
)";
    EXPECT_EQ(run_filter_on_text(gd_globalize_funct_types_filter, no_scope).graph, text_graph(no_scope).dump());
}

}  // namespace
