// namespace_filter: compiler namespaces become Ririra scopes.

#include <gd/filters/filters.h>

#include "support/graph_fixture.h"

namespace {

TEST(Namespace, ConvertsEveryNamespaceWithItsMembersInOrder)
{
    // 3 is the compilation scope (first namespace the global scope's
    // contents lead to). Its typedef of a built-in type (6) is no member and
    // keeps its chain link. 8 is nested, protected wins over private; 11 is an
    // alias of 8; 14 is empty. The arcs are allocated namespace by namespace,
    // each namespace's arcs consecutively in member order.
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=4 next=2
2 cArcSon src=0 dest=3
3 namespace_decl name=5 srcf="a.cc" srcl=1 dcls=6
4 cBuiltInType name="int"
5 identifier_node strg="::"
6 type_decl name=7 type=4 chan=8
7 identifier_node strg="int"
8 namespace_decl private_flag protected_flag name=9 chan=11 srcf="a.cc" srcl=2 dcls=10
9 identifier_node strg="outer"
10 var_decl name=12 srcf="a.cc" srcl=3
11 namespace_decl name=13 chan=14 srcf="a.cc" srcl=5 alis=8
12 identifier_node strg="x"
13 identifier_node strg="alias"
14 namespace_decl srcf="a.cc" srcl=6
)");
    EXPECT_EQ(namespace_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=4 next=2
2 cArcSon src=0 dest=3
3 cScopeCompil file="a.cc" line=1 contents=15
4 cBuiltInType name="int"
5 identifier_node strg="::"
6 type_decl name=7 type=4 chan=8
7 identifier_node strg="int"
8 cNameSpace private_flag protected_flag file="a.cc" line=2 name="outer" visb=visb_pro contents=18
9 identifier_node strg="outer"
10 var_decl name=12 srcf="a.cc" srcl=3
11 cNameSpace file="a.cc" line=5 name="alias" contents=19
12 identifier_node strg="x"
13 identifier_node strg="alias"
14 cNameSpace file="a.cc" line=6
15 cArcSon src=3 dest=8 next=16
16 cArcSon src=3 dest=11 next=17
17 cArcSon src=3 dest=14
18 cArcSon src=8 dest=10
19 cInstance src=11 dest=8
)");
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
