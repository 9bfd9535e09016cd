// gd_globalize_funct_types_filter: every function type joins the global
// scope, after its members.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdGlobalizeFunctTypes, AppendsEveryFunctionTypeAfterTheLastMember)
{
    filtered_text out =
        run_filter_on_text(gd_globalize_funct_types_filter, gd_globalize_funct_types_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_globalize_funct_types_fixture.after);
}

// The last arc is found by following `next` to its end over arcs of every
// kind (a son-only search would stop before the def-loc arc and cut off the
// arcs after it); a chain that loops ends at the arc that leads back.
TEST(GdGlobalizeFunctTypes, AppendsAfterTheArcThatEndsTheChain)
{
    const struct {
        const char *what;
        const char *before;
        const char *after;
    } cases[] = {
        {"son, def-loc, son",
         "1 cArcSon src=0 dest=2 next=3\n2 cFctType\n3 cArcDefLoc src=0 next=4\n4 cArcSon src=0\n",
         "1 cArcSon src=0 dest=2 next=3\n2 cFctType\n3 cArcDefLoc src=0 next=4\n4 cArcSon src=0 next=5\n"
         "5 cArcSon src=0 dest=2\n"},
        {"a loop", "1 cArcSon src=0 dest=2 next=3\n2 cFctType\n3 cArcSon src=0 next=1\n",
         "1 cArcSon src=0 dest=2 next=3\n2 cFctType\n3 cArcSon src=0 next=4\n4 cArcSon src=0 dest=2\n"},
    };
    for (const auto &c : cases) {
        const filtered_text out = run_filter_on_text(
            gd_globalize_funct_types_filter, std::string("root 0\n0 cScopeGlb contents=1\n") + c.before);
        EXPECT_EQ(out.result, 1) << c.what;
        EXPECT_EQ(out.graph, std::string("root 0\n0 cScopeGlb contents=1\n") + c.after) << c.what;
    }
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
    EXPECT_EQ(run_filter_on_text(gd_globalize_funct_types_filter, no_scope).graph,
              text_graph(no_scope).dump());
}

}  // namespace
