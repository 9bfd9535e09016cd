// gd_builtin_filter: the basic types become built-in types under the global
// scope.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

#include <string>

namespace {

TEST(GdBuiltin, ConvertsNamedBasicTypesAndAppendsTheirArcsInNodeOrder)
{
    // 0: named through a typedef of "<internal>"; const and protected.
    // 3: unnamed void, and "void" is in the pool.
    // 5: named directly; public wins over private.
    // 7: named through a typedef of a source file: no built-in.
    // 10: unnamed char: no built-in. 11: no basic type kind.
    // The arcs take the free records 12 to 14, in the order of their types.
    text_graph t(gd_builtin_fixture.before);
    EXPECT_EQ(gd_builtin_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_builtin_fixture.after);
}

TEST(GdBuiltin, WithoutTheBuiltinFilesOnlyTypedefsWithoutASourceFileCount)
{
    // Neither "<internal>" nor "<built-in>" is in the pool: the typedef
    // without a source file (srcf -1) declares a built-in, the other does not.
    text_graph t(R"(root 9
0 integer_type name=1
1 type_decl name=2
2 identifier_node strg="int"
3 integer_type name=4
4 type_decl name=5 srcf="a.c"
5 identifier_node strg="myint"
9 cScopeGlb contents=10
10 cArcSon src=9
)");
    EXPECT_EQ(gd_builtin_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 9
0 cBuiltInType name="int"
1 type_decl name=2
2 identifier_node strg="int"
3 integer_type name=4
4 type_decl name=5 srcf="a.c"
5 identifier_node strg="myint"
6 cArcSon src=9 dest=0
9 cScopeGlb contents=10
10 cArcSon src=9 next=6
)");
}

TEST(GdBuiltin, TheBuiltInFileCountsWhenThereIsNoInternalOne)
{
    text_graph t(R"(root 9
0 integer_type name=1
1 type_decl name=2 srcf="<built-in>"
2 identifier_node strg="int"
9 cScopeGlb contents=10
10 cArcSon src=9
)");
    EXPECT_EQ(gd_builtin_filter(&t.g), 1);
    EXPECT_EQ(t.g.nodeBuffer[0].common.type, dC_BUILT_IN_TYPE);
}

TEST(GdBuiltin, EmptyScopeGetsItsFirstArcInContents)
{
    text_graph t(R"(root 1
0 boolean_type name=2
1 cScopeGlb
2 identifier_node strg="bool"
)");
    EXPECT_EQ(gd_builtin_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 1
0 cBuiltInType name="bool"
1 cScopeGlb contents=3
2 identifier_node strg="bool"
3 cArcSon src=1 dest=0
)");
}

// The last arc of the scope is found by following `next` to its end, over
// arcs of every kind; a chain that loops ends at the arc that leads back,
// which then leads to the new arc instead.
struct last_arc_case {
    const char *what;
    const char *contents;
    const char *after;
};

const last_arc_case last_arc_cases[] = {
    {"a def-loc arc between two son arcs",
     "3 cArcSon src=1 dest=0 next=4\n4 cArcDefLoc src=1 next=5\n5 cArcSon src=1\n",
     "3 cArcSon src=1 dest=0 next=4\n4 cArcDefLoc src=1 next=5\n5 cArcSon src=1 next=6\n6 cArcSon src=1 "
     "dest=0\n"},
    {"a chain that loops", "3 cArcSon src=1 next=4\n4 cArcSon src=1 next=5\n5 cArcSon src=1 next=4\n",
     "3 cArcSon src=1 next=4\n4 cArcSon src=1 next=5\n5 cArcSon src=1 next=6\n6 cArcSon src=1 dest=0\n"},
};

TEST(GdBuiltin, AppendsAfterTheArcThatEndsTheChain)
{
    const std::string head = R"(root 1
0 boolean_type name=2
1 cScopeGlb contents=3
2 identifier_node strg="bool"
)";
    const std::string converted = R"(root 1
0 cBuiltInType name="bool"
1 cScopeGlb contents=3
2 identifier_node strg="bool"
)";
    for (const last_arc_case &c : last_arc_cases) {
        text_graph t((head + c.contents).c_str());
        EXPECT_EQ(gd_builtin_filter(&t.g), 1) << c.what;
        EXPECT_EQ(t.dump(), converted + c.after) << c.what;
    }
}

TEST(GdBuiltin, RefusesARootThatIsNoGlobalScope)
{
    // As its own program run on a front end's file would see the graph.
    const char *unit = R"(root 0
0 namespace_decl dcls=1
1 type_decl name=2 type=3 srcf="<internal>"
2 identifier_node strg="int"
3 integer_type name=1
)";
    text_graph t(unit);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(gd_builtin_filter(&t.g), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "gd_builtin: the root is not a global scope\n");
    EXPECT_EQ(t.dump(), text_graph(unit).dump());
}

}  // namespace
