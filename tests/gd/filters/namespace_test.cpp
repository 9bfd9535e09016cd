// namespace_filter: compiler namespaces become Ririra scopes.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(Namespace, ConvertsEveryNamespaceWithItsMembersInOrder)
{
    // 3 is the compilation scope (first namespace the global scope's
    // contents lead to). Its typedef of a built-in type (6) is no member and
    // keeps its chain link. 8 is nested, protected wins over private; 11 is an
    // alias of 8; 14 is empty. The arcs are allocated namespace by namespace,
    // each namespace's arcs consecutively in member order.
    text_graph t(namespace_fixture.before);
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), namespace_fixture.after);
}

TEST(Namespace, NestedNamespaceBeforeItsParentKeepsTheParentsChainIntact)
{
    // Converting 2 first writes its access where its chain link was; the
    // parent 10 must still see 4 as its next member.
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=10
2 namespace_decl public_flag name=3 chan=4 srcf="a.cc" srcl=5
3 identifier_node strg="inner"
4 var_decl name=5
5 identifier_node strg="v"
10 namespace_decl srcf="a.cc" srcl=0 dcls=2
)");
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=10
2 cNameSpace public_flag file="a.cc" line=5 name="inner" visb=visb_pub
3 identifier_node strg="inner"
4 var_decl name=5
5 identifier_node strg="v"
6 cArcSon src=10 dest=2 next=7
7 cArcSon src=10 dest=4
10 cScopeCompil file="a.cc" line=0 contents=6
)");
}

TEST(Namespace, CyclicMemberChainEnds)
{
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 namespace_decl dcls=3
3 var_decl chan=4
4 var_decl chan=3
)");
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil contents=5
3 var_decl
4 var_decl
5 cArcSon src=2 dest=3 next=6
6 cArcSon src=2 dest=4
)");
}

// Namespaces 2 and 5 reach the same declaration 4 along their chains. The
// earlier one takes 4 and what follows it, and cuts the chain after each
// member; the later one still gets its arc to 4, where its chain now ends.
TEST(Namespace, EachNamespaceGetsAnArcForEveryMemberItsChainReaches)
{
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 namespace_decl dcls=3
3 var_decl chan=4
4 var_decl chan=7
5 namespace_decl name=6 dcls=8
6 identifier_node strg="n"
7 var_decl
8 var_decl chan=4
)");
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil contents=9
3 var_decl
4 var_decl
5 cNameSpace name="n" contents=12
6 identifier_node strg="n"
7 var_decl
8 var_decl
9 cArcSon src=2 dest=3 next=10
10 cArcSon src=2 dest=4 next=11
11 cArcSon src=2 dest=7
12 cArcSon src=5 dest=8 next=13
13 cArcSon src=5 dest=4
)");
}

TEST(Namespace, WithoutAGlobalScopeEveryNamespaceIsAPlainNamespace)
{
    // As its own program run on a front end's file would see the graph.
    text_graph t(R"(root 0
0 namespace_decl name=1 dcls=2
1 identifier_node strg="::"
2 var_decl
)");
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cNameSpace name="::" contents=3
1 identifier_node strg="::"
2 var_decl
3 cArcSon src=0 dest=2
)");
}

}  // namespace
