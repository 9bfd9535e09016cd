// Node allocation, the use test and used-by search, and the schema helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gd/graph.h"
#include "text_graph.h"

namespace {

// A graph as the reader leaves it: n live records, buffers exactly full.
gd_graph full_graph(int n) {
  std::string text;
  for (int i = 0; i < n; i++) text += std::to_string(i) + " integer_cst\n";
  return compile_text_graph(text.c_str());
}

// ---------------------------------------------------------------------------
// Free list, growth, scaling

TEST(Allocation, FirstNewNodeOfAFullGraphGrowsBy2048) {
  gd_graph g = full_graph(10);
  EXPECT_EQ(g.firstFreeNode, -1);
  EXPECT_EQ(newNode(&g), 10);
  EXPECT_EQ(g.nodeBuffLen, 10u + 2048u);
  EXPECT_EQ(g.curNodePos, 11u);
  EXPECT_EQ(g.nodeBuffer[10].common.type, NODE_NONE);
  EXPECT_EQ(g.firstFreeNode, 11);
  EXPECT_EQ(newNode(&g), 11);
  deallocate_gd_graph(g);
}

TEST(Allocation, LastFreedIsFirstReusedUntilTheListIsRebuilt) {
  gd_graph g = full_graph(12);
  gd_free_node(&g, 5);
  gd_free_node(&g, 9);
  EXPECT_EQ(g.nodeBuffer[5].common.type, NODE_DELTED);
  EXPECT_EQ(g.curNodePos, 12u);
  EXPECT_EQ(newNode(&g), 9);
  EXPECT_EQ(newNode(&g), 5);

  gd_free_node(&g, 5);
  gd_free_node(&g, 9);
  ASSERT_EQ(gd_grow_nodes(&g, 3), 1);
  EXPECT_EQ(g.nodeBuffLen, 15u);
  for (node_ptr expected : {5, 9, 12, 13, 14}) EXPECT_EQ(newNode(&g), expected);
  EXPECT_EQ(g.curNodePos, 15u);
  deallocate_gd_graph(g);
}

TEST(Allocation, FreeIgnoresBadIndicesAndDoubleFrees) {
  gd_graph g = full_graph(4);
  gd_free_node(&g, 2);
  gd_free_node(&g, 2);
  gd_free_node(&g, -1);
  gd_free_node(&g, 4);
  gd_free_node(&g, 1 << 30);
  EXPECT_EQ(g.firstFreeNode, 2);
  EXPECT_EQ(g.nodeBuffer[2].common.other_node, -1);
  EXPECT_EQ(newNode(&g), 2);
  EXPECT_EQ(newNode(&g), 4);  // not 2 again
  deallocate_gd_graph(g);
}

TEST(Allocation, ScaleEnlargesByTheMultipliersPlusOne) {
  gd_graph g = allocate_gd_graph(1000, 11, 100);
  ASSERT_EQ(gd_add_string(&g, "kept"), 0);
  gd_free_node(&g, newNode(&g));
  EXPECT_EQ(gd_graph_scale(&g, 1.5, 1.0, 1.1), 1);
  EXPECT_EQ(g.stringBuffLen, 1501u);
  EXPECT_EQ(g.nodeBuffLen, 111u);
  EXPECT_EQ(g.hashTableLen, 11u);
  EXPECT_EQ(gd_lookup_string(&g, "kept"), 0);
  // Every record free, in ascending order.
  std::vector<node_ptr> list;
  for (node_ptr i = g.firstFreeNode; i != -1 && list.size() < 200; i = gd_next_free(&g, i)) list.push_back(i);
  ASSERT_EQ(list.size(), 111u);
  for (node_ptr i = 0; i < 111; i++) EXPECT_EQ(list[i], i);
  deallocate_gd_graph(g);
}

// The spare capacity is never written before newNode hands a record out; the
// record then holds what it would had the free list been written into it:
// zeros, its kind and the link to the next free record.
TEST(Allocation, RecordsOfTheSpareCapacityComeOutAsIfWrittenFree) {
  gd_graph g = full_graph(12);
  gd_free_node(&g, 5);
  gd_free_node(&g, 9);
  ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.25), 1);
  EXPECT_EQ(g.nodeBuffLen, 16u);
  EXPECT_EQ(g.curNodePos, 12u);
  EXPECT_EQ(g.nodeBuffer[9].common.other_node, 12);  // the rebuilt list runs on into the spare records
  gd_free_node(&g, 14);  // free already: nothing changes
  EXPECT_EQ(g.firstFreeNode, 5);
  for (node_ptr expected : {5, 9, 12, 13, 14, 15}) {
    node_ptr i = newNode(&g);
    ASSERT_EQ(i, expected);
    if (i < 12) continue;
    gd_graph_node written;
    memset(&written, 0, sizeof written);
    written.common.type = NODE_NONE;
    written.common.other_node = i < 15 ? i + 1 : -1;
    EXPECT_EQ(memcmp(&g.nodeBuffer[i], &written, sizeof written), 0) << i;
    EXPECT_EQ(g.curNodePos, (uint32_t)i + 1);
  }
  EXPECT_EQ(g.firstFreeNode, -1);
  EXPECT_EQ(newNode(&g), 16);
  EXPECT_EQ(g.nodeBuffLen, 16u + 2048u);
  deallocate_gd_graph(g);
}

TEST(Allocation, GrowingByNothingKeepsAValidList) {
  struct Case {
    const char *name;
    std::vector<node_ptr> freed;
    node_ptr head;
  } cases[] = {
      {"empty list", {}, -1},
      {"freed records come back in ascending order", {6, 2}, 2},
  };
  for (const Case &c : cases) {
    gd_graph g = full_graph(8);
    for (node_ptr n : c.freed) gd_free_node(&g, n);
    ASSERT_EQ(gd_grow_nodes(&g, 0), 1) << c.name;
    EXPECT_EQ(g.nodeBuffLen, 8u) << c.name;
    EXPECT_EQ(g.firstFreeNode, c.head) << c.name;
    std::vector<node_ptr> handed;
    for (size_t k = 0; k <= c.freed.size(); k++) handed.push_back(newNode(&g));
    std::vector<node_ptr> expected = c.freed;
    std::sort(expected.begin(), expected.end());
    expected.push_back(8);  // then the buffer grows
    EXPECT_EQ(handed, expected) << c.name;
    deallocate_gd_graph(g);
  }
}

// A change of capacity relinks the list from what is free, not from the links
// the free records hold: a filter may have overwritten every other_node.
TEST(Allocation, RescaleLinksEveryFreeRecordWhateverTheListHeld) {
  gd_graph g = full_graph(12);
  for (node_ptr n : {7, 2, 10, 4}) gd_free_node(&g, n);
  EXPECT_EQ(newNode(&g), 4);  // taken again: no longer free
  ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.2), 1);
  EXPECT_EQ(g.nodeBuffLen, 15u);
  gd_free_node(&g, 5);
  for (uint32_t i = 0; i < g.curNodePos; i++) g.nodeBuffer[i].common.other_node = -1;
  // A record given a kind by hand is not free, whatever the store last saw,
  // and the relink leaves its record alone.
  g.nodeBuffer[10].common.type = gINTEGER_CST;
  ASSERT_EQ(gd_graph_scale(&g, 1.0, 1.0, 1.1), 1);
  EXPECT_EQ(g.nodeBuffLen, 17u);
  EXPECT_EQ(g.nodeBuffer[10].common.other_node, -1);
  std::vector<node_ptr> list;
  for (node_ptr i = g.firstFreeNode; i != -1 && list.size() < 20; i = gd_next_free(&g, i)) list.push_back(i);
  EXPECT_EQ(list, (std::vector<node_ptr>{2, 5, 7, 12, 13, 14, 15, 16}));
  deallocate_gd_graph(g);
}

TEST(Allocation, ScaleRefusals) {
  gd_graph g = allocate_gd_graph(1000, 11, 100);
  testing::internal::CaptureStderr();
  EXPECT_EQ(gd_graph_scale(&g, 1.0, 2.0, 1.0), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "gd_graph_scale: Error: Hash Table Resize not implemented yet\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(gd_graph_scale(&g, 0.5, 1, 1), 0);
  EXPECT_EQ(gd_graph_scale(&g, 2, 1, 0.9f), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(gd_graph_scale(&g, 1, 1, 1), 1);
  EXPECT_EQ(g.stringBuffLen, 1000u);
  EXPECT_EQ(g.nodeBuffLen, 100u);
  deallocate_gd_graph(g);
}

TEST(AllocationDeathTest, NewNodeDuringAWalkIsFatal) {
  gd_graph g = allocate_gd_graph(10, 3, 10);
  EXPECT_EXIT(
      {
        newNode_stop();
        newNode(&g);
      },
      testing::ExitedWithCode(1), "^talvex: \\(fatal\\) node allocation protocol error\n$");
  newNode_start();
  EXPECT_EQ(newNode(&g), 0);
  deallocate_gd_graph(g);
}

TEST(Allocation, ClearedNodeTakesTheDefaultsOfANewNode) {
  gd_graph g = allocate_gd_graph(10, 3, 4);
  node_ptr i = newNode(&g);
  memset(&g.nodeBuffer[i], 0xab, sizeof(gd_graph_node));
  gd_clear_node(&g, i, dC_OBJECT);
  const t_dc_object &o = g.nodeBuffer[i].dc_object;
  EXPECT_EQ(o.type, dC_OBJECT);
  EXPECT_EQ(o.other_node, -1);
  EXPECT_EQ(o.file, -1);
  EXPECT_EQ(o.line, -1);
  EXPECT_EQ(o.name, -1);
  EXPECT_EQ(o.visb, visb_unk);
  EXPECT_EQ(o.link, -1);
  EXPECT_EQ(o.static_flag, 0u);
  EXPECT_EQ(g.nodeBuffer[i].bytes[2], 0);
  for (size_t b = sizeof(t_dc_object); b < 72; b++) EXPECT_EQ(g.nodeBuffer[i].bytes[b], 0) << b;
  deallocate_gd_graph(g);
}

// ---------------------------------------------------------------------------
// Use test

TEST(UseTest, ComparesNodeFieldsByKindWithItsExceptions) {
  gd_graph g = compile_text_graph(R"(
0 integer_cst
1 component_ref op0=2 op1=0
2 array_ref op1=0
3 compound_expr type=0
4 user_conv op1=0
5 template_decl parms=0
6 cCaseLabel value=0
7 cEnumerator value=0
8 cAggrType inst=0
9 cFunction inst=0
10 cLiteral value=@0 file=@0
11 union_type ptd=0
12 record_type isClass=0
13 tree_vec length=1 elts=[12 0]
14 tree_vec length=2 elts=[12 0]
15 exit_block_expr type=0
16 cExternSymbol name=@0
17 cCntrlStmt other_node=0
18 node_none other_node=0
19 cArcSon next=0
)");
  struct Case {
    node_ptr src;
    int uses;
  } cases[] = {
      {1, 0},  {2, 1},  {3, 0},  {4, 0},  {5, 0},  {6, 0},  {7, 0},  {8, 0},  {9, 0}, {10, 0},
      {11, 1}, {12, 0}, {13, 0}, {14, 1}, {15, 1}, {16, 0}, {17, 1}, {18, 0}, {19, 1},
  };
  for (const Case &c : cases) EXPECT_EQ(nodeUses(g, c.src, 0), c.uses) << "node " << c.src;
  EXPECT_EQ(nodeUses(g, 1, 2), 1);  // component_ref's op0 counts
  EXPECT_EQ(nodeUses(g, 99, 0), 0);
  gd_free_node(&g, 2);
  EXPECT_EQ(nodeUses(g, 2, 0), 0);  // stale fields of a free record never count
  deallocate_gd_graph(g);
}

TEST(UseTest, UsedByFindsTheLowestUserAndCanSkipMarked) {
  gd_graph g = compile_text_graph(R"(
0 integer_cst
1 integer_cst type=0
3 integer_cst type=5 mark_flag1
5 integer_cst
6 integer_cst type=6
7 integer_cst type=5
)");
  EXPECT_EQ(UsedBy(g, 5, 0), 3);
  EXPECT_EQ(UsedBy(g, 5, 1), 7);
  EXPECT_EQ(UsedBy(g, 6, 1), 6);  // a node that refers to itself is its own user
  EXPECT_EQ(UsedBy(g, 1, 0), -1);
  deallocate_gd_graph(g);
}

TEST(UseTestDeathTest, AKindWithoutATestStopsTheSearch) {
  gd_graph g = compile_text_graph("0 integer_cst\n1 imagpart_expr\n2 400\n");
  EXPECT_EXIT(UsedBy(g, 0, 0), testing::ExitedWithCode(1),
              "^node_uses: Unhandled node 1 type 125\\(imagpart_expr\\)\n$");
  EXPECT_EXIT(nodeUses(g, 2, 0), testing::ExitedWithCode(1),
              "^node_uses: Unhandled node 2 type 400\\(unknown_kind\\)\n$");
  deallocate_gd_graph(g);
}

TEST(UseTest, CompilerTypeKinds) {
  int count = 0;
  for (int k = 0; k <= NUM_NODES; k++) count += is_gcc_type((gd_node_type)k);
  EXPECT_EQ(count, 12);
  EXPECT_EQ(is_gcc_type(gUNION_TYPE), 1);
  EXPECT_EQ(is_gcc_type(gCHAR_TYPE), 0);
  EXPECT_EQ(is_gcc_type(gTEMPLATE_TYPE_PARM), 0);
}

// ---------------------------------------------------------------------------
// Schema helpers

TEST(SchemaHelpers, VisibilityPrivateBeforeProtectedBeforePublic) {
  gd_graph_common c{};
  EXPECT_EQ(visibility(&c), visb_unk);
  c.public_flag = 1;
  EXPECT_EQ(visibility(&c), visb_pub);
  c.protected_flag = 1;
  EXPECT_EQ(visibility(&c), visb_pro);
  c.private_flag = 1;
  EXPECT_EQ(visibility(&c), visb_pri);
}

TEST(SchemaHelpers, NameStringOfADeclaration) {
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

TEST(SchemaHelpers, AddToScopeAppendsASonArc) {
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
  addToScope(&g, 8, 5);   // a list that loops back from its second arc
  addToScope(&g, 0, 5);
  addToScope(&g, 1, 5);
  addToScope(&g, 5, 0);   // not a scope: nothing happens
  addToScope(&g, 99, 0);  // no node: nothing happens
  addToScope(&g, 6, 5);   // a list that loops on its first arc
  // A list that loops ends at the first arc met again: the new arc follows
  // the arc that led back, and every arc stays in the list.
  EXPECT_EQ(gd_text_dump(&g),
            "0 cNameSpace contents=12\n"
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
TEST(SchemaHelpers, KeptTailAppendsWhereAddToScopeWould) {
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
      EXPECT_EQ(arc, kind_of(&kept, scope) == dC_OBJECT || scope == 99 || scope == -1 ? -1 : kept.curNodePos - 1)
          << scope;
    }
    EXPECT_EQ(gd_text_dump(&kept), gd_text_dump(&walked)) << scope;
    deallocate_gd_graph(walked);
    deallocate_gd_graph(kept);
  }
}

TEST(SchemaHelpers, KeptTailFirstArcGoesIntoContentsTheOthersAfterTheLast) {
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
TEST(SchemaHelpers, KeptTailAppendsManyMembersInOrder) {
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
