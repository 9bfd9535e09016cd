// zap_builtin_filter: global built-in types that nothing else uses leave the
// global scope's member chain.

#include <gd/filters/filters.h>

#include "support/filter_on_text.h"

namespace {

TEST(ZapBuiltin, UnlinksUnusedTypesAtTheFirstAMiddleAndTheLastPosition)
{
    // a, c and d are used by nothing but their own arcs; b is used by an
    // instance arc; the compilation scope is passed over. The unlinked arcs
    // and the types stay, the arcs without their link into the chain.
    filtered_text out = run_filter_on_text(zap_builtin_filter, R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=10 next=2
2 cArcSon src=0 dest=11 next=3
3 cArcSon src=0 dest=12 next=4
4 cArcSon src=0 dest=13 next=5
5 cArcSon src=0 dest=14
10 cBuiltInType name="a"
11 cBuiltInType name="b"
12 cBuiltInType name="c"
13 cScopeCompil
14 cBuiltInType name="d"
20 cInstance mark_flag1 src=13 dest=11
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(root 0
0 cScopeGlb contents=2
1 cArcSon src=0 dest=10
2 cArcSon src=0 dest=11 next=4
3 cArcSon src=0 dest=12
4 cArcSon src=0 dest=13
5 cArcSon src=0 dest=14
10 cBuiltInType name="a"
11 cBuiltInType name="b"
12 cBuiltInType name="c"
13 cScopeCompil
14 cBuiltInType name="d"
20 cInstance src=13 dest=11
)");
}

TEST(ZapBuiltin, ASecondArcToTheSameTypeCountsAsAUse)
{
    const char *twice = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=3 next=2
2 cArcSon src=0 dest=3
3 cBuiltInType name="a"
)";
    EXPECT_EQ(run_filter_on_text(zap_builtin_filter, twice).graph, text_graph(twice).dump());
}

}  // namespace
