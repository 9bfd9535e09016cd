// The schema helpers: visibility, the name of a declaration, the members of
// a scope.
#include <gtest/gtest.h>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

TEST(SchemaHelpers, VisibilityPrivateBeforeProtectedBeforePublic)
{
    gd_graph_common c{};
    EXPECT_EQ(visibility(&c), visb_unk);
    c.public_flag = 1;
    EXPECT_EQ(visibility(&c), visb_pub);
    c.protected_flag = 1;
    EXPECT_EQ(visibility(&c), visb_pro);
    c.private_flag = 1;
    EXPECT_EQ(visibility(&c), visb_pri);
}

TEST(SchemaHelpers, NameStringOfADeclaration)
{
    gd_graph g = compile_text_graph(R"(
0 identifier_node strg="x"
1 var_decl name=0
2 var_decl
3 var_decl name=9
)");
    EXPECT_EQ(name_string(&g, &g.nodeBuffer[1].decl), 0);
    EXPECT_EQ(name_string(&g, &g.nodeBuffer[2].decl), -1);
    EXPECT_EQ(name_string(&g, &g.nodeBuffer[3].decl), -1);
    deallocate_gd_graph(g);
}

TEST(SchemaHelpers, AddToScopeAppendsASonArc)
{
    gd_graph g = compile_text_graph(R"(
0 cNameSpace
1 cScope contents=2
2 cArcSon src=1 dest=0 next=3
3 cArcSon src=1 dest=0 next=4
4 cArcSon src=1 dest=0
5 cObject
6 cBlock contents=7
7 cArcSon next=7
8 cBlock contents=9
9 cArcSon next=10
10 cArcSon next=9
)");
    addToScope(&g, 8, 5);  // a list that loops back from its second arc
    addToScope(&g, 0, 5);
    addToScope(&g, 1, 5);
    addToScope(&g, 5, 0);   // not a scope: nothing happens
    addToScope(&g, 99, 0);  // no node: nothing happens
    addToScope(&g, 6, 5);   // a list that loops on its first arc
    // A list that loops ends at the first arc met again: the new arc follows
    // the arc that led back, and every arc stays in the list.
    EXPECT_EQ(gd_text_dump(&g), "0 cNameSpace contents=12\n"
                                "1 cScope contents=2\n"
                                "2 cArcSon src=1 dest=0 next=3\n"
                                "3 cArcSon src=1 dest=0 next=4\n"
                                "4 cArcSon src=1 dest=0 next=13\n"
                                "5 cObject\n"
                                "6 cBlock contents=7\n"
                                "7 cArcSon next=14\n"
                                "8 cBlock contents=9\n"
                                "9 cArcSon next=10\n"
                                "10 cArcSon next=11\n"
                                "11 cArcSon src=8 dest=5\n"
                                "12 cArcSon src=0 dest=5\n"
                                "13 cArcSon src=1 dest=5\n"
                                "14 cArcSon src=6 dest=5\n");
    deallocate_gd_graph(g);
}

// Appends through a kept tail put the arcs exactly where one addToScope call
// per member puts them: after the last son arc, whatever the list held.
TEST(SchemaHelpers, KeptTailAppendsWhereAddToScopeWould)
{
    const char *text = R"(
0 cNameSpace
1 cScope contents=2
2 cArcSon src=1 dest=0 next=3
3 cArcSon src=1 dest=0 next=4
4 cArcSon src=1 dest=0 next=5
5 cObject
6 cBlock contents=7
7 cArcSon next=7
8 cObject
)";
    const node_ptr scopes[] = {0, 1, 6, 5, 99, -1};  // empty, three members, cyclic, no scopes
    for (node_ptr scope : scopes) {
        gd_graph walked = compile_text_graph(text);
        gd_graph kept = compile_text_graph(text);
        scope_tail tail = scope_tail_of(scope);
        for (node_ptr member : {5, 8, 0}) {
            addToScope(&walked, scope, member);
            const node_ptr arc = append_to_scope(&kept, tail, member);
            EXPECT_EQ(arc, kind_of(&kept, scope) == dC_OBJECT || scope == 99 || scope == -1
                               ? -1
                               : kept.curNodePos - 1)
                << scope;
        }
        EXPECT_EQ(gd_text_dump(&kept), gd_text_dump(&walked)) << scope;
        deallocate_gd_graph(walked);
        deallocate_gd_graph(kept);
    }
}

TEST(SchemaHelpers, KeptTailFirstArcGoesIntoContentsTheOthersAfterTheLast)
{
    gd_graph g = compile_text_graph(R"(root 0
0 cNameSpace
1 var_decl
2 var_decl
)");
    scope_tail tail = scope_tail_of(0);
    append_to_scope(&g, tail, 1);
    append_to_scope(&g, tail, 2);
    EXPECT_EQ(tail.last, 4);
    EXPECT_EQ(gd_text_dump(&g), R"(root 0
0 cNameSpace contents=3
1 var_decl
2 var_decl
3 cArcSon src=0 dest=1 next=4
4 cArcSon src=0 dest=2
)");
    deallocate_gd_graph(g);
}

// Many appends, each after the last: that they cost one step each, not a
// walk along the members, is a figure of the filter benchmark
// (run_gd_derived_filter appends every pointer type to the global scope).
TEST(SchemaHelpers, KeptTailAppendsManyMembersInOrder)
{
    gd_graph g = compile_text_graph("0 cScope contents=1\n1 cArcSon src=0 dest=0\n");
    const int count = 200000;
    scope_tail tail = scope_tail_of(0);
    for (int i = 0; i < count; i++) append_to_scope(&g, tail, 0);

    int members = 0;
    node_ptr last = -1;
    for (node_ptr at = g.nodeBuffer[0].dc_scope.contents; at != -1; at = g.nodeBuffer[at].dc_arc_son.next) {
        members++;
        last = at;
    }
    EXPECT_EQ(members, count + 1);
    EXPECT_EQ(last, tail.last);
    deallocate_gd_graph(g);
}

}  // namespace
