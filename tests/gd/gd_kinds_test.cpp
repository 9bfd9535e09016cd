// The kind and operator name tables, the record layouts and the per-kind
// field table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gd/kind_table.h"

namespace {

TEST(KindNames, FollowTheNamingRuleWithItsExceptions) {
  struct Case {
    int kind;
    const char *name;
  } cases[] = {
      {gERROR_MARK, "error_mark"},          {gIDENTIFIER_NODE, "identifier_node"},
      {gTRY_FINALLY_EXPR, "try_finally"},   {gGOTO_SUBROUTINE_EXPR, "goto_subroutine"},
      {gNEW_EXPR, "nw_expr"},               {gVEC_NEW_EXPR, "vec_nw_expr"},
      {gDELETE_EXPR, "dl_expr"},            {gVEC_DELETE_EXPR, "vec_dl_expr"},
      {gUSING_STMT, "using_directive"},     {gCPLUS_BINDING, "binding"},
      {gRVALUE_CONV, "rvalue_conv"},        {dC_ASG_ND, "cAsgNd"},
      {dC_LINK_SYM, "cExternSymbol"},       {dC_SCOPE_COMPIL, "cScopeCompil"},
      {dC_CNTRL_STMT, "cCntrlStmt"},        {dC_LINKS_TO, "cResolvedByExtern"},
      {dC_LINKS_FROM, "cRefersToExtern"},   {dC_ARC_ARRAY_DIM, "cArcArrayDim"},
      {NODE_DELTED, "node_deleted"},        {NODE_NONE, "node_none"},
      {NUM_NODES, "num_nodes"},
  };
  for (const Case &c : cases) EXPECT_STREQ(gd_node_type_ascii[c.kind], c.name) << c.kind;
  EXPECT_STREQ(gd_kind_name(316), "unknown_kind");
  EXPECT_STREQ(gd_kind_name(-1), "unknown_kind");
  EXPECT_EQ(gIMAGPART_EXPR, 125);
  EXPECT_EQ(gEXIT_BLOCK_EXPR, 140);
  EXPECT_EQ(gUSING_STMT, 185);
}

TEST(OperatorNames, AreTheEnumeratorsWithHyphens) {
  EXPECT_STREQ(dc_op_string[dc_uplus], "uplus");
  EXPECT_STREQ(dc_op_string[dc_pre_inc], "pre-inc");
  EXPECT_STREQ(dc_op_string[dc_asgn_bit_and], "asgn-bit-and");
  EXPECT_STREQ(dc_op_string[dc_pointsat_deref], "pointsat-deref");
  EXPECT_STREQ(dc_op_string[dc_abs], "abs");
  EXPECT_EQ(dc_asgn_bit_and, 37);
  EXPECT_STREQ(gd_op_name(64), "unknown-op");
}

// Sets one bit field through its record member and finds which bit of which
// byte changed; the table must name the same place.
struct BitPlace {
  int byte = -1, bit = -1, bits = 0;
};

BitPlace place_of(const gd_graph_node &n) {
  BitPlace at;
  for (int b = 0; b < 72; b++)
    for (int i = 0; i < 8; i++)
      if (n.bytes[b] >> i & 1) {
        if (at.byte < 0) at.byte = b, at.bit = i;
        at.bits++;
      }
  return at;
}

TEST(RecordLayout, BitFieldsLieWhereTheTableSays) {
  int checked = 0;
#define GD_KINDFIELD(n, off)
#define GD_NODE(n, off)
#define GD_NODES(n, off, count)
#define GD_STR(n, off)
#define GD_INT(n, off)
#define GD_UINT(n, off)
#define GD_ENUM(n, type, off)
#define GD_BIT(n, byte_, bit_)                                        \
  {                                                                   \
    gd_graph_node node;                                               \
    memset(&node, 0, sizeof node);                                    \
    reinterpret_cast<R *>(&node)->n = 1;                              \
    BitPlace at = place_of(node);                                     \
    EXPECT_EQ(at.byte, byte_) << #n;                                  \
    EXPECT_EQ(at.bit, bit_) << #n;                                    \
    checked++;                                                        \
  }
#define GD_BITS(n, type, byte_, bit_, width)                          \
  {                                                                   \
    gd_graph_node node;                                               \
    memset(&node, 0, sizeof node);                                    \
    reinterpret_cast<R *>(&node)->n = (1u << width) - 1;              \
    BitPlace at = place_of(node);                                     \
    EXPECT_EQ(at.byte, byte_) << #n;                                  \
    EXPECT_EQ(at.bit, bit_) << #n;                                    \
    EXPECT_EQ(at.bits, width) << #n;                                  \
    checked++;                                                        \
  }
#define GD_ROOT(rec, bytes, flds) { using R [[maybe_unused]] = rec; flds }
#define GD_RECORD(rec, base, bytes, flds) { using R [[maybe_unused]] = rec; flds }
#define GD_ALIAS(rec, same)
#include "gd/node_records.def"
  EXPECT_GT(checked, 40);
}

// The byte offset at which a write through a record member lands.
template <class Write>
int offset_written(Write write) {
  gd_graph_node n;
  memset(&n, 0, sizeof n);
  write(n);
  for (int b = 0; b < 72; b++)
    if (n.bytes[b]) return b;
  return -1;
}

TEST(RecordLayout, CommonHeadAndHardOffsets) {
  gd_graph_node n;
  memset(&n, 0, sizeof n);
  n.common.private_flag = 1;
  n.common.mark_flag1 = 1;
  EXPECT_EQ(n.bytes[2], 0x40);
  EXPECT_EQ(n.bytes[3], 0x01);
  // t_union_type has no isClass: its pointers lie 4 bytes below t_record_type's.
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.union_type.ptd = 1; }), 40);
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.record_type.ptd = 1; }), 44);
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.tree_vec.elts[13] = 1; }), 68);
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.eh_spec_block.line = 1; }), 8);
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.eh_spec_block.raises = 1; }), 12);
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.indirect_ref.op0 = 1; }), 8);  // no `type` before it
  EXPECT_EQ(offset_written([](gd_graph_node &n) { n.var_decl.undef = 1; }), 68);
  EXPECT_EQ(sizeof(t_tree_vec), 72u);
  EXPECT_EQ(sizeof(t_var_decl), 72u);
  EXPECT_EQ(sizeof(t_field_decl), 72u);
}

TEST(RecordLayout, VirtualCodeReadsBackUnsigned) {
  gd_graph_node n;
  memset(&n, 0, sizeof n);
  n.dc_function.virtual_code = vc_pure_virtual;
  EXPECT_EQ(n.dc_function.virtual_code, 3u);
  EXPECT_EQ(n.bytes[40], 0x18);
}

std::string link_names(int kind) {
  const gd_kind_info *k = gd_kind_info_of(kind);
  std::string out;
  for (int i = 0; i < k->nlinks; i++) {
    if (i) out += ' ';
    out += k->links[i].name;
    if (!k->links[i].compared) out += '!';
  }
  return out;
}

TEST(KindTable, LinksInWalkOrderWithTheUseTestExceptions) {
  EXPECT_EQ(link_names(gFUNCTION_DECL), "other_node name mngl type chan scpe vindex args body");
  EXPECT_EQ(link_names(gEH_SPEC_BLOCK), "other_node body raises next");
  EXPECT_EQ(link_names(dC_FUNCTION),
            "other_node instance defLoc arcFriend array_dim formal_fct exception block link");
  EXPECT_EQ(link_names(dC_AGGR_TYPE),
            "other_node instance defLoc arcFriend array_dim implements members inheritance");
  EXPECT_EQ(link_names(gCOMPONENT_REF), "other_node op0 op1!");
  EXPECT_EQ(link_names(gARRAY_REF), "other_node op0 op1");
  EXPECT_EQ(link_names(gCOMPOUND_EXPR), "other_node type! op0 op1");
  EXPECT_EQ(link_names(gUSER_CONV), "other_node type op0 op1!");
  EXPECT_EQ(link_names(gTEMPLATE_DECL), "other_node name mngl type chan scpe vindex rslt inst spcs parms!");
  EXPECT_EQ(link_names(dC_CASE_LABEL), "other_node instance defLoc arcFriend array_dim value!");
  EXPECT_EQ(link_names(dC_ENUMERATOR), "other_node instance defLoc arcFriend array_dim value!");
  EXPECT_EQ(link_names(dC_LINK_SYM), "other_node");
  EXPECT_EQ(link_names(dC_ARC_SON), "other_node src dest next");
  EXPECT_EQ(link_names(gUNION_TYPE), "other_node name size unql flds fncs ptd cls vfld binf");
  EXPECT_EQ(gd_kind_info_of(gUNION_TYPE)->links[6].offset, 40);
}

TEST(KindTable, ChainFields) {
  struct Case {
    int kind;
    int offset;
  } cases[] = {
      {gVAR_DECL, 20},     {gTREE_LIST, 16},  {gBREAK_STMT, 16}, {gWHILE_STMT, 24}, {gCLEANUP_STMT, 24},
      {gIF_STMT, 28},      {gTRY_BLOCK, 28},  {gFOR_STMT, 32},   {gASM_STMT, 36},   {gOVERLOAD, 12},
      {gEXPR_STMT, 20},    {gEH_SPEC_BLOCK, 20}, {gMUST_NOT_THROW_EXPR, 20}, {dC_ASG_ND, 4},
      {dC_SCOPE, 4},       {dC_SCOPE_GLB, 4}, {dC_ASM_BLOCK, 4}, {dC_ARC, 20},      {dC_ARC_ARRAY_DIM, 20},
      {gINTEGER_CST, -1},  {gPLUS_EXPR, -1},  {NODE_DELTED, -1}, {NODE_NONE, -1},
  };
  for (const Case &c : cases) EXPECT_EQ(gd_kind_info_of(c.kind)->chain_offset, c.offset) << c.kind;
  for (int k : {gBIT_NOT_EXPR, gIMAGPART_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT, gAMBIG_CONV, dC_SYSTEM})
    EXPECT_TRUE(gd_kind_info_of(k)->flags & GD_KF_CHAIN_ERROR) << k;
}

TEST(KindTable, EveryRecordFitsAndEveryKindHasAnEntry) {
  int with_record = 0;
  for (int k = 0; k <= NUM_NODES; k++) {
    const gd_kind_info *info = gd_kind_info_of(k);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->name, gd_node_type_ascii[k]);
    EXPECT_LE(info->record_bytes, 72);
    if (info->flags & GD_KF_RECORD) with_record++;
  }
  EXPECT_EQ(with_record, 316 - 7);  // four kinds without a record, and 313-315
  EXPECT_EQ(gd_kind_info_of(316), nullptr);
}

}  // namespace
