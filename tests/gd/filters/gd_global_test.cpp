// gd_global_filter: the global scope above the root namespace.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdGlobal, PutsTheScopeAboveTheRootNamespaceWithTheFirstTwoFreeRecords)
{
    text_graph t(gd_global_fixture.before);
    EXPECT_NE(gd_global_filter(&t.g), 0);
    EXPECT_EQ(t.dump(), gd_global_fixture.after);
}

TEST(GdGlobal, MakesANamespaceForARootThatIsNone)
{
    // Arc, scope, then namespace, from the records that growing the buffer
    // adds; the old root heads the namespace's member chain.
    text_graph t(R"(root 0
0 var_decl name=1 chan=2
1 identifier_node strg="x"
2 var_decl
)");
    EXPECT_NE(gd_global_filter(&t.g), 0);
    EXPECT_EQ(t.dump(), R"(root 4
0 var_decl name=1 chan=2
1 identifier_node strg="x"
2 var_decl
3 cArcSon src=4 dest=5
4 cScopeGlb contents=3
5 namespace_decl srcl=0 lang=src_lang_c dcls=0
)");
}

TEST(GdGlobal, RootOutOfRangeGivesAnEmptyNamespace)
{
    text_graph t(R"(root 7
0 identifier_node strg="x"
)");
    EXPECT_NE(gd_global_filter(&t.g), 0);
    EXPECT_EQ(t.dump(), R"(root 2
0 identifier_node strg="x"
1 cArcSon src=2 dest=3
2 cScopeGlb contents=1
3 namespace_decl srcl=0 lang=src_lang_c
)");
}

TEST(GdGlobal, ScopeAtNodeZeroIsASuccess)
{
    // The sweep of gd_reduce leaves its highest freed record at the head of
    // the free list and record 0 second: the arc takes 5, the scope 0.
    text_graph t(R"(root 1
0 identifier_node strg="unused"
1 namespace_decl name=2
2 identifier_node strg="::"
5 integer_cst
)");
    gd_reduce_filter(&t.g);
    EXPECT_NE(gd_global_filter(&t.g), 0);
    EXPECT_EQ(t.g.firstNode, 0);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=5
1 namespace_decl name=2
2 identifier_node strg="::"
5 cArcSon src=0 dest=1
)");
}

}  // namespace
