// The kind and operator name tables, the record layouts and the per-kind
// field table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gd/kind_table.h"

namespace {

TEST(KindNames, FollowTheNamingRuleWithItsExceptions)
{
    struct Case {
        int kind;
        const char *name;
    } cases[] = {
        {gERROR_MARK, "error_mark"},
        {gIDENTIFIER_NODE, "identifier_node"},
        {gTRY_FINALLY_EXPR, "try_finally"},
        {gGOTO_SUBROUTINE_EXPR, "goto_subroutine"},
        {gNEW_EXPR, "nw_expr"},
        {gVEC_NEW_EXPR, "vec_nw_expr"},
        {gDELETE_EXPR, "dl_expr"},
        {gVEC_DELETE_EXPR, "vec_dl_expr"},
        {gUSING_STMT, "using_directive"},
        {gCPLUS_BINDING, "binding"},
        {gRVALUE_CONV, "rvalue_conv"},
        {dC_ASG_ND, "cAsgNd"},
        {dC_LINK_SYM, "cExternSymbol"},
        {dC_SCOPE_COMPIL, "cScopeCompil"},
        {dC_CNTRL_STMT, "cCntrlStmt"},
        {dC_LINKS_TO, "cResolvedByExtern"},
        {dC_LINKS_FROM, "cRefersToExtern"},
        {dC_ARC_ARRAY_DIM, "cArcArrayDim"},
        {NODE_DELTED, "node_deleted"},
        {NODE_NONE, "node_none"},
        {NUM_NODES, "num_nodes"},
    };
    for (const Case &c : cases) EXPECT_STREQ(gd_node_type_ascii[c.kind], c.name) << c.kind;
    EXPECT_STREQ(gd_kind_name(316), "unknown_kind");
    EXPECT_STREQ(gd_kind_name(-1), "unknown_kind");
    EXPECT_EQ(gIMAGPART_EXPR, 125);
    EXPECT_EQ(gEXIT_BLOCK_EXPR, 140);
    EXPECT_EQ(gUSING_STMT, 185);
}

TEST(OperatorNames, AreTheEnumeratorsWithHyphens)
{
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

BitPlace place_of(const gd_graph_node &n)
{
    BitPlace at;
    for (int b = 0; b < 72; b++)
        for (int i = 0; i < 8; i++)
            if (n.bytes[b] >> i & 1) {
                if (at.byte < 0) at.byte = b, at.bit = i;
                at.bits++;
            }
    return at;
}

TEST(RecordLayout, BitFieldsLieWhereTheTableSays)
{
    int checked = 0;
#define GD_KINDFIELD(n, off)
#define GD_NODE(n, off)
#define GD_NODES(n, off, count)
#define GD_STR(n, off)
#define GD_INT(n, off)
#define GD_UINT(n, off)
#define GD_ENUM(n, type, off)
#define GD_BIT(n, byte_, bit_)                                                                               \
    {                                                                                                        \
        gd_graph_node node;                                                                                  \
        memset(&node, 0, sizeof node);                                                                       \
        reinterpret_cast<R *>(&node)->n = 1;                                                                 \
        BitPlace at = place_of(node);                                                                        \
        EXPECT_EQ(at.byte, byte_) << #n;                                                                     \
        EXPECT_EQ(at.bit, bit_) << #n;                                                                       \
        checked++;                                                                                           \
    }
#define GD_BITS(n, type, byte_, bit_, width)                                                                 \
    {                                                                                                        \
        gd_graph_node node;                                                                                  \
        memset(&node, 0, sizeof node);                                                                       \
        reinterpret_cast<R *>(&node)->n = (1u << width) - 1;                                                 \
        BitPlace at = place_of(node);                                                                        \
        EXPECT_EQ(at.byte, byte_) << #n;                                                                     \
        EXPECT_EQ(at.bit, bit_) << #n;                                                                       \
        EXPECT_EQ(at.bits, width) << #n;                                                                     \
        checked++;                                                                                           \
    }
#define GD_ROOT(rec, bytes, flds)                                                                            \
    {                                                                                                        \
        using R [[maybe_unused]] = rec;                                                                      \
        flds                                                                                                 \
    }
#define GD_RECORD(rec, base, bytes, flds)                                                                    \
    {                                                                                                        \
        using R [[maybe_unused]] = rec;                                                                      \
        flds                                                                                                 \
    }
#define GD_ALIAS(rec, same)
#include "gd/node_records.def"
    EXPECT_GT(checked, 40);
}

// The byte offset at which a write through a record member lands.
template <class Write> int offset_written(Write write)
{
    gd_graph_node n;
    memset(&n, 0, sizeof n);
    write(n);
    for (int b = 0; b < 72; b++)
        if (n.bytes[b]) return b;
    return -1;
}

TEST(RecordLayout, CommonHeadAndHardOffsets)
{
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

TEST(RecordLayout, VirtualCodeReadsBackUnsigned)
{
    gd_graph_node n;
    memset(&n, 0, sizeof n);
    n.dc_function.virtual_code = vc_pure_virtual;
    EXPECT_EQ(n.dc_function.virtual_code, 3u);
    EXPECT_EQ(n.bytes[40], 0x18);
}

std::string link_names(int kind)
{
    const gd_kind_info *k = gd_kind_info_of(kind);
    std::string out;
    for (int i = 0; i < k->nlinks; i++) {
        if (i) out += ' ';
        out += k->links[i].name;
        if (!k->links[i].compared) out += '!';
    }
    return out;
}

TEST(KindTable, LinksInWalkOrderWithTheUseTestExceptions)
{
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

TEST(KindTable, ChainFields)
{
    struct Case {
        int kind;
        int offset;
    } cases[] = {
        {gVAR_DECL, 20},
        {gTREE_LIST, 16},
        {gBREAK_STMT, 16},
        {gWHILE_STMT, 24},
        {gCLEANUP_STMT, 24},
        {gIF_STMT, 28},
        {gTRY_BLOCK, 28},
        {gFOR_STMT, 32},
        {gASM_STMT, 36},
        {gOVERLOAD, 12},
        {gEXPR_STMT, 20},
        {gEH_SPEC_BLOCK, 20},
        {gMUST_NOT_THROW_EXPR, 20},
        {dC_ASG_ND, 4},
        {dC_SCOPE, 4},
        {dC_SCOPE_GLB, 4},
        {dC_ASM_BLOCK, 4},
        {dC_ARC, 20},
        {dC_ARC_ARRAY_DIM, 20},
        {gINTEGER_CST, -1},
        {gPLUS_EXPR, -1},
        {NODE_DELTED, -1},
        {NODE_NONE, -1},
    };
    for (const Case &c : cases) EXPECT_EQ(gd_kind_info_of(c.kind)->chain_offset, c.offset) << c.kind;
    for (int k : {gBIT_NOT_EXPR, gIMAGPART_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT, gAMBIG_CONV, dC_SYSTEM})
        EXPECT_TRUE(gd_kind_info_of(k)->flags & GD_KF_CHAIN_ERROR) << k;
}

TEST(KindTable, EveryRecordFitsAndEveryKindHasAnEntry)
{
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

// ---------------------------------------------------------------------------
// Every record's fields where the file format puts them, written out here
// record by record: a field moved in node_records.def moves it in every file
// that is written or read.

enum class is { kind, node, nodes, str, i32, u32, enumeration, bit, bits };

struct field_place {
    std::string name;
    is form;
    int offset;
    int bit = 0;
    int width = 0;  // bits of a bit field, slots of an array
};
using fields = std::vector<field_place>;

field_place kind(const char *name, int offset)
{
    return {name, is::kind, offset};
}
field_place node(const char *name, int offset)
{
    return {name, is::node, offset};
}
field_place nodes(const char *name, int offset, int slots)
{
    return {name, is::nodes, offset, 0, slots};
}
field_place str(const char *name, int offset)
{
    return {name, is::str, offset};
}
field_place i32(const char *name, int offset)
{
    return {name, is::i32, offset};
}
field_place u32(const char *name, int offset)
{
    return {name, is::u32, offset};
}
field_place enumeration(const char *name, int offset)
{
    return {name, is::enumeration, offset};
}
field_place bit(const char *name, int byte, int bit)
{
    return {name, is::bit, byte, bit, 1};
}
field_place bits(const char *name, int byte, int bit, int width)
{
    return {name, is::bits, byte, bit, width};
}

fields operator+(fields a, const fields &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The base records.
fields gd_graph_common()
{
    return {kind("type", 0),
            bit("constant_flag", 2, 0),
            bit("volatile_flag", 2, 1),
            bit("readonly_flag", 2, 2),
            bit("unsigned_flag", 2, 3),
            bit("static_flag", 2, 4),
            bit("public_flag", 2, 5),
            bit("private_flag", 2, 6),
            bit("protected_flag", 2, 7),
            bit("mark_flag1", 3, 0),
            bit("mark_flag2", 3, 1),
            node("other_node", 4)};
}
fields t_gcc_decl()
{
    return gd_graph_common() + fields{node("name", 8),
                                      node("mngl", 12),
                                      node("type", 16),
                                      node("chan", 20),
                                      node("scpe", 24),
                                      node("vindex", 28),
                                      str("srcf", 32),
                                      i32("srcl", 36),
                                      enumeration("lang", 40),
                                      i32("artificial", 44),
                                      bit("mutable_flag", 48, 0),
                                      bit("register_flag", 48, 1),
                                      bit("inline_flag", 48, 2)};
}
fields t_gcc_type()
{
    return gd_graph_common() + fields{node("name", 8),
                                      node("size", 12),
                                      i32("algn", 16),
                                      node("unql", 20),
                                      bit("qual_const", 24, 0),
                                      bit("qual_volatile", 24, 1),
                                      bit("qual_restrict", 24, 2)};
}
fields t_gcc_expr()
{
    return gd_graph_common() + fields{node("type", 8)};
}
fields t_gcc_expr1()
{
    return t_gcc_expr() + fields{node("op0", 12)};
}
fields t_gcc_expr2()
{
    return t_gcc_expr() + fields{node("op0", 12), node("op1", 16)};
}
fields t_gcc_expr_ineq()
{
    return t_gcc_expr() + fields{node("op0", 12), node("op1", 16)};
}
fields t_gcc_const()
{
    return gd_graph_common() + fields{node("type", 8)};
}
fields t_block()
{
    return gd_graph_common();
}
fields t_dc_asg_nd()
{
    return gd_graph_common() + fields{str("file", 8), i32("line", 12)};
}
fields t_dc_identifier()
{
    return t_dc_asg_nd() + fields{str("name", 16),    enumeration("visb", 20), node("instance", 24),
                                  node("defLoc", 28), node("arcFriend", 32),   node("array_dim", 36)};
}
fields t_dc_type()
{
    return t_dc_identifier() +
           fields{node("implements", 40), bit("const_flag", 44, 0), bit("volatile_flag", 44, 1)};
}
fields t_dc_scope()
{
    return t_dc_identifier() + fields{node("contents", 40)};
}
fields t_dc_expression()
{
    return t_dc_asg_nd() + fields{node("refers", 16)};
}
fields t_dc_ctrl_stmt()
{
    return t_dc_asg_nd();
}
fields t_dc_jump()
{
    return t_dc_ctrl_stmt();
}
fields t_dc_loop()
{
    return t_dc_ctrl_stmt();
}
fields t_dc_label()
{
    return t_dc_identifier();
}
fields t_dc_arc()
{
    return gd_graph_common() + fields{i32("ordinal", 8), node("src", 12), node("dest", 16), node("next", 20)};
}
fields t_dc_arc_reference()
{
    return t_dc_arc();
}
fields t_dc_arc_syntax()
{
    return t_dc_arc();
}
// The records of dC_OBJECT and dC_TEMPLATE are bases too, and dC_COMMENT's.
fields t_dc_object()
{
    return t_dc_identifier() + fields{bit("static_flag", 40, 0), bit("extern_flag", 40, 1),
                                      node("bitfield_dim", 44), node("initial_val", 48), node("link", 52)};
}
fields t_dc_template()
{
    return t_dc_identifier() + fields{node("formals", 40), node("result", 44)};
}
fields t_dc_comment()
{
    return t_dc_asg_nd();
}

struct layout_row {
    std::vector<std::pair<int, int>> kinds;  // enumerator, its code
    fields (*base)();
    fields own;
    int bytes;
};

const layout_row layout_rows[] = {
    {{{gERROR_MARK, 0},
      {gOP_IDENTIFIER, 2},
      {gBLOCK, 5},
      {gBIT_FIELD_REF, 40},
      {gBUFFER_REF, 42},
      {gPLACEHOLDER_EXPR, 55},
      {gLABEL_EXPR, 134},
      {gGOTO_EXPR, 135},
      {gRETURN_EXPR, 136},
      {gTEMPLATE_PARM_INDEX, 178},
      {gDEFAULT_ARG, 186},
      {gCPLUS_BINDING, 188},
      {gWRAPPER, 190}},
     gd_graph_common,
     {},
     8},
    {{{gIDENTIFIER_NODE, 1}},
     gd_graph_common,
     {str("strg", 8), u32("lngt", 12), i32("op_type_un", 16), i32("tynm", 20)},
     24},
    {{{gTREE_LIST, 3}}, gd_graph_common, {node("purpose", 8), node("value", 12), node("chan", 16)}, 20},
    {{{gTREE_VEC, 4}},
     gd_graph_common,
     {i32("length", 8), node("binfo_type", 12), nodes("elts", 16, 14)},
     72},
    {{{gVOID_TYPE, 6},
      {gCOMPLEX_TYPE, 9},
      {gVECTOR_TYPE, 10},
      {gBOOLEAN_TYPE, 12},
      {gCHAR_TYPE, 13},
      {gOFFSET_TYPE, 15},
      {gFILE_TYPE, 18},
      {gSET_TYPE, 20},
      {gQUAL_UNION_TYPE, 23},
      {gLANG_TYPE, 25},
      {gTEMPLATE_TYPE_PARM, 179},
      {gTEMPLATE_TEMPLATE_PARM, 180},
      {gBOUND_TEMPLATE_TEMPLATE_PARM, 181},
      {gTYPENAME_TYPE, 182},
      {gTYPEOF_TYPE, 183}},
     t_gcc_type,
     {},
     28},
    {{{gINTEGER_TYPE, 7}},
     t_gcc_type,
     {i32("prec", 28), i32("unsgnd", 32), node("min", 36), node("max", 40)},
     44},
    {{{gREAL_TYPE, 8}}, t_gcc_type, {i32("prec", 28)}, 32},
    {{{gENUMERAL_TYPE, 11}},
     t_gcc_type,
     {i32("prec", 28), i32("unsgnd", 32), node("min", 36), node("max", 40), node("csts", 44)},
     48},
    {{{gPOINTER_TYPE, 14}}, t_gcc_type, {node("ptd", 28), node("cls", 32), i32("ptrmem", 36)}, 40},
    {{{gREFERENCE_TYPE, 16}}, t_gcc_type, {node("refd", 28)}, 32},
    {{{gMETHOD_TYPE, 17}}, t_gcc_type, {node("clas", 28), node("retn", 32), node("prms", 36)}, 40},
    {{{gARRAY_TYPE, 19}}, t_gcc_type, {node("elts", 28), node("domn", 32)}, 36},
    {{{gRECORD_TYPE, 21}},
     t_gcc_type,
     {node("flds", 28), node("fncs", 32), i32("ptrmem", 36), i32("isClass", 40), node("ptd", 44),
      node("cls", 48), node("vfld", 52), node("binf", 56)},
     60},
    {{{gUNION_TYPE, 22}},
     t_gcc_type,
     {node("flds", 28), node("fncs", 32), i32("ptrmem", 36), node("ptd", 40), node("cls", 44),
      node("vfld", 48), node("binf", 52)},
     56},
    {{{gFUNCTION_TYPE, 24}}, t_gcc_type, {node("retn", 28), node("prms", 32)}, 36},
    {{{gINTEGER_CST, 26}}, t_gcc_const, {i32("high", 12), i32("low", 16)}, 20},
    {{{gREAL_CST, 27}}, t_gcc_const, {str("value", 12)}, 16},
    {{{gCOMPLEX_CST, 28}}, t_gcc_const, {}, 12},
    {{{gSTRING_CST, 29}}, t_gcc_const, {str("strg", 12), i32("lngt", 16)}, 20},
    {{{gFUNCTION_DECL, 30}},
     t_gcc_decl,
     {node("args", 52), node("body", 56), bit("undef", 60, 0), bit("ext_static", 60, 1), bit("member", 60, 2),
      bit("static_member", 60, 3), bit("constr", 60, 4), bit("decon", 60, 5), bit("oper", 60, 6),
      bit("conver", 60, 7), bit("ginit", 61, 0), bit("gfini", 61, 1), bit("virt", 61, 2),
      bit("pvirt", 61, 3)},
     64},
    {{{gLABEL_DECL, 31}, {gUSING_DECL, 184}}, t_gcc_decl, {}, 52},
    {{{gCONST_DECL, 32}}, t_gcc_decl, {node("cnst", 52)}, 56},
    {{{gTYPE_DECL, 33}}, t_gcc_decl, {node("friends", 52)}, 56},
    {{{gVAR_DECL, 34}},
     t_gcc_decl,
     {node("init", 52), node("size", 56), i32("algn", 60), i32("used", 64), bit("undef", 68, 0)},
     72},
    {{{gPARM_DECL, 35}},
     t_gcc_decl,
     {node("argt", 52), node("size", 56), i32("algn", 60), i32("used", 64)},
     68},
    {{{gRESULT_DECL, 36}}, t_gcc_decl, {node("init", 52), node("size", 56), i32("algn", 60)}, 64},
    {{{gFIELD_DECL, 37}},
     t_gcc_decl,
     {node("init", 52), node("size", 56), i32("algn", 60), i32("bitfield", 64), node("bpos", 68)},
     72},
    {{{gNAMESPACE_DECL, 38}}, t_gcc_decl, {node("dcls", 52), node("alis", 56)}, 60},
    {{{gCOMPONENT_REF, 39}, {gARRAY_REF, 43}, {gOFFSET_REF, 165}, {gSCOPE_REF, 171}, {gMEMBER_REF, 172}},
     gd_graph_common,
     {node("op0", 8), node("op1", 12)},
     16},
    {{{gINDIRECT_REF, 41}}, gd_graph_common, {node("op0", 8)}, 12},
    {{{gCONSTRUCTOR, 44}}, t_gcc_expr, {node("elts", 12)}, 16},
    {{{gCOMPOUND_EXPR, 45},      {gMODIFY_EXPR, 46},         {gINIT_EXPR, 47},
      {gTRUTH_ANDIF_EXPR, 90},   {gTRUTH_ORIF_EXPR, 91},     {gTRUTH_AND_EXPR, 92},
      {gTRUTH_OR_EXPR, 93},      {gTRUTH_XOR_EXPR, 94},      {gPREDECREMENT_EXPR, 126},
      {gPREINCREMENT_EXPR, 127}, {gPOSTDECREMENT_EXPR, 128}, {gPOSTINCREMENT_EXPR, 129},
      {gTRY_CATCH_EXPR, 131},    {gTRY_FINALLY_EXPR, 132},   {gGOTO_SUBROUTINE_EXPR, 133},
      {gSWITCH_EXPR, 142},       {gCAST_EXPR, 194},          {gREINTERPRET_CAST_EXPR, 195},
      {gCONST_CAST_EXPR, 196},   {gSTATIC_CAST_EXPR, 197},   {gCTOR_INITIALIZER, 206},
      {gRETURN_INIT, 207},       {gUSER_CONV, 221}},
     t_gcc_expr,
     {node("op0", 12), node("op1", 16)},
     20},
    {{{gTARGET_EXPR, 48}}, t_gcc_expr, {node("decl", 12), node("init", 16), node("clnp", 20)}, 24},
    {{{gCOND_EXPR, 49}, {gMODOP_EXPR, 193}},
     t_gcc_expr,
     {node("op0", 12), node("op1", 16), node("op2", 20)},
     24},
    {{{gBIND_EXPR, 50}}, t_gcc_expr, {node("vars", 12), node("body", 16)}, 20},
    {{{gCALL_EXPR, 51}}, t_gcc_expr, {node("fn", 12), node("args", 16)}, 20},
    {{{gMETHOD_CALL_EXPR, 52}}, t_gcc_expr, {node("fn", 12), node("object", 16), node("args", 20)}, 24},
    {{{gWITH_CLEANUP_EXPR, 53},
      {gWITH_RECORD_EXPR, 56},
      {gUNSAVE_EXPR, 117},
      {gRTL_EXPR, 118},
      {gREFERENCE_EXPR, 120},
      {gENTRY_VALUE_EXPR, 121},
      {gLABELED_BLOCK_EXPR, 139},
      {gEXIT_BLOCK_EXPR, 140},
      {gEMPTY_CLASS_EXPR, 176},
      {gFUNCTION_NAME, 192},
      {gDYNAMIC_CAST_EXPR, 198},
      {gDOTSTAR_EXPR, 199},
      {gTYPEID_EXPR, 200},
      {gPSEUDO_DTOR_EXPR, 201},
      {gTAG_DEFN, 212}},
     t_gcc_expr,
     {},
     12},
    {{{gCLEANUP_POINT_EXPR, 54}, {gTRUTH_NOT_EXPR, 95}, {gSAVE_EXPR, 116},   {gADDR_EXPR, 119},
      {gVA_ARG_EXPR, 130},       {gSIZEOF_EXPR, 145},   {gARROW_EXPR, 146},  {gALIGNOF_EXPR, 147},
      {gNEW_EXPR, 167},          {gVEC_NEW_EXPR, 168},  {gDELETE_EXPR, 169}, {gVEC_DELETE_EXPR, 170},
      {gTYPE_EXPR, 173},         {gTHROW_EXPR, 175},    {gLOOKUP_EXPR, 191}, {gIDENTITY_CONV, 213},
      {gLVALUE_CONV, 214},       {gQUAL_CONV, 215},     {gSTD_CONV, 216},    {gPTR_CONV, 217},
      {gPMEM_CONV, 218},         {gBASE_CONV, 219},     {gREF_BIND, 220},    {gAMBIG_CONV, 222},
      {gRVALUE_CONV, 223}},
     t_gcc_expr,
     {node("op0", 12)},
     16},
    {{{gPLUS_EXPR, 57},      {gMINUS_EXPR, 58},     {gMULT_EXPR, 59},      {gTRUNC_DIV_EXPR, 60},
      {gCEIL_DIV_EXPR, 61},  {gFLOOR_DIV_EXPR, 62}, {gROUND_DIV_EXPR, 63}, {gTRUNC_MOD_EXPR, 64},
      {gCEIL_MOD_EXPR, 65},  {gFLOOR_MOD_EXPR, 66}, {gROUND_MOD_EXPR, 67}, {gRDIV_EXPR, 68},
      {gEXACT_DIV_EXPR, 69}, {gEXPON_EXPR, 75},     {gMIN_EXPR, 77},       {gMAX_EXPR, 78},
      {gLSHIFT_EXPR, 81},    {gRSHIFT_EXPR, 82},    {gLROTATE_EXPR, 83},   {gRROTATE_EXPR, 84},
      {gBIT_IOR_EXPR, 85},   {gBIT_XOR_EXPR, 86},   {gBIT_AND_EXPR, 87},   {gBIT_ANDTC_EXPR, 88},
      {gIN_EXPR, 109},       {gRANGE_EXPR, 112},    {gCOMPLEX_EXPR, 122},  {gTEMPLATE_ID_EXPR, 187}},
     t_gcc_expr2,
     {},
     20},
    {{{gFIX_TRUNC_EXPR, 70},
      {gFIX_CEIL_EXPR, 71},
      {gFIX_FLOOR_EXPR, 72},
      {gFIX_ROUND_EXPR, 73},
      {gFLOAT_EXPR, 74},
      {gNEGATE_EXPR, 76},
      {gABS_EXPR, 79},
      {gFFS_EXPR, 80},
      {gBIT_NOT_EXPR, 89},
      {gCARD_EXPR, 111},
      {gCONVERT_EXPR, 113},
      {gNOP_EXPR, 114},
      {gNON_LVALUE_EXPR, 115},
      {gCONJ_EXPR, 123},
      {gREALPART_EXPR, 124}},
     t_gcc_expr1,
     {},
     16},
    {{{gLT_EXPR, 96},
      {gLE_EXPR, 97},
      {gGT_EXPR, 98},
      {gGE_EXPR, 99},
      {gEQ_EXPR, 100},
      {gNE_EXPR, 101},
      {gUNORDERED_EXPR, 102},
      {gORDERED_EXPR, 103},
      {gUNLT_EXPR, 104},
      {gUNLE_EXPR, 105},
      {gUNGT_EXPR, 106},
      {gUNGE_EXPR, 107},
      {gUNEQ_EXPR, 108},
      {gSET_LE_EXPR, 110}},
     t_gcc_expr_ineq,
     {},
     20},
    {{{gEXIT_EXPR, 137}}, gd_graph_common, {node("cond", 8)}, 12},
    {{{gLOOP_EXPR, 138}}, gd_graph_common, {node("body", 8)}, 12},
    {{{gEXPR_WITH_FILE_LOCATION, 141}}, t_gcc_expr, {node("expr2", 12)}, 16},
    {{{gEXPR_STMT, 148}}, t_gcc_expr, {i32("line", 12), node("texpr", 16), node("next", 20)}, 24},
    {{{gCOMPOUND_STMT, 149}, {gHANDLER, 210}, {gMUST_NOT_THROW_EXPR, 211}},
     t_gcc_expr,
     {i32("line", 12), node("body", 16), node("next", 20)},
     24},
    {{{gDECL_STMT, 150}}, t_gcc_expr, {i32("line", 12), node("decl", 16), node("next", 20)}, 24},
    {{{gIF_STMT, 151}},
     t_gcc_expr,
     {i32("line", 12), node("cond", 16), node("thenc", 20), node("elsec", 24), node("next", 28)},
     32},
    {{{gFOR_STMT, 152}},
     t_gcc_expr,
     {i32("line", 12), node("init", 16), node("cond", 20), node("inc_expr", 24), node("body", 28),
      node("next", 32)},
     36},
    {{{gWHILE_STMT, 153}, {gDO_STMT, 154}},
     t_gcc_expr,
     {i32("line", 12), node("body", 16), node("cond", 20), node("next", 24)},
     28},
    {{{gRETURN_STMT, 155}}, t_gcc_expr, {i32("line", 12), node("ret_expr", 16), node("next", 20)}, 24},
    {{{gBREAK_STMT, 156}, {gCONTINUE_STMT, 157}}, t_gcc_expr, {i32("line", 12), node("next", 16)}, 20},
    {{{gSWITCH_STMT, 158}},
     t_gcc_expr,
     {i32("line", 12), node("cond", 16), node("body", 20), node("next", 24)},
     28},
    {{{gGOTO_STMT, 159}}, t_gcc_expr, {i32("line", 12), node("dest", 16), node("next", 20)}, 24},
    {{{gLABEL_STMT, 160}}, t_gcc_expr, {i32("line", 12), node("label", 16), node("next", 20)}, 24},
    {{{gASM_STMT, 161}},
     t_gcc_expr,
     {i32("line", 12), i32("vol", 16), node("strg", 20), node("outs", 24), node("ins", 28), node("clbr", 32),
      node("next", 36)},
     40},
    {{{gSCOPE_STMT, 162}},
     t_gcc_expr,
     {i32("line", 12), bit("begin_end", 16, 0), bit("null", 16, 1), bit("clnp", 16, 2), node("next", 20)},
     24},
    {{{gCASE_LABEL, 163}}, t_gcc_expr, {node("low", 12), node("high", 16), node("next", 20)}, 24},
    {{{gSTMT_EXPR, 164}}, t_gcc_expr, {node("stmt", 12)}, 16},
    {{{gPTRMEM_CST, 166}}, t_gcc_const, {node("clas", 12), node("mbr", 16)}, 20},
    {{{gAGGR_INIT_EXPR, 174}},
     t_gcc_expr,
     {i32("ctor", 12), node("fn", 16), node("args", 20), node("decl", 24)},
     28},
    {{{gTEMPLATE_DECL, 177}},
     t_gcc_decl,
     {node("rslt", 52), node("inst", 56), node("spcs", 60), node("parms", 64)},
     68},
    {{{gOVERLOAD, 189}}, gd_graph_common, {node("crnt", 8), node("chan", 12)}, 16},
    {{{gSUBOBJECT, 202}}, t_gcc_expr, {i32("line", 12), node("clnp", 16), node("next", 20)}, 24},
    {{{gCTOR_STMT, 203}}, t_gcc_expr, {i32("line", 12), i32("beg_end", 16), node("next", 20)}, 24},
    {{{gCLEANUP_STMT, 204}},
     t_gcc_expr,
     {i32("line", 12), node("decl", 16), node("clean_expr", 20), node("next", 24)},
     28},
    {{{gSTART_CATCH_STMT, 205}}, t_gcc_expr, {i32("line", 12), node("catch_type", 16), node("next", 20)}, 24},
    {{{gTRY_BLOCK, 208}},
     t_gcc_expr,
     {i32("line", 12), i32("cleanup", 16), node("body", 20), node("hdlr", 24), node("next", 28)},
     32},
    {{{gEH_SPEC_BLOCK, 209}},
     t_block,
     {i32("line", 8), node("raises", 12), node("body", 16), node("next", 20)},
     24},
    {{{dC_ASG_ND, 224}}, gd_graph_common, {str("file", 8), i32("line", 12)}, 16},
    {{{dC_LINK_SYM, 225}}, t_dc_asg_nd, {str("name", 16)}, 20},
    {{{dC_IDENTIFIER, 226}},
     t_dc_asg_nd,
     {str("name", 16), enumeration("visb", 20), node("instance", 24), node("defLoc", 28),
      node("arcFriend", 32), node("array_dim", 36)},
     40},
    {{{dC_TYPE, 227}},
     t_dc_identifier,
     {node("implements", 40), bit("const_flag", 44, 0), bit("volatile_flag", 44, 1)},
     48},
    {{{dC_BUILT_IN_TYPE, 228},
      {dC_FORWARD_TYPE, 232},
      {dC_ARRAY_TYPE, 233},
      {dC_PTR_TYPE, 234},
      {dC_REF_TYPE, 235},
      {dC_FORMAL_TYPE, 237}},
     t_dc_type,
     {},
     48},
    {{{dC_AGGR_TYPE, 229}},
     t_dc_type,
     {enumeration("aggr_type", 48), node("members", 52), node("inheritance", 56), node("inst", 60)},
     64},
    {{{dC_ENUM_TYPE, 230}}, t_dc_type, {node("values", 48)}, 52},
    {{{dC_ALIAS_TYPE, 231}}, t_dc_type, {node("original", 48)}, 52},
    {{{dC_FCT_TYPE, 236}}, t_dc_type, {node("formalParams", 48)}, 52},
    {{{dC_SCOPE, 238}}, t_dc_identifier, {node("contents", 40)}, 44},
    {{{dC_SYSTEM, 239},
      {dC_SCOPE_GLB, 240},
      {dC_SCOPE_COMPIL, 241},
      {dC_SCOPE_FILE, 242},
      {dC_PACKAGE, 243},
      {dC_NAME_SPACE, 244},
      {dC_BLOCK, 245},
      {dC_STATIC_BLOCK, 246},
      {dC_TRY_BLOCK, 247},
      {dC_CATCH_BLOCK, 248},
      {dC_FINALLY_BLOCK, 249},
      {dC_SYNCHRONIZED_BLOCK, 250}},
     t_dc_scope,
     {},
     44},
    {{{dC_OBJECT, 251}}, t_dc_object, {}, 56},
    {{{dC_FORMAL_OBJECT, 252}}, t_dc_object, {}, 56},
    {{{dC_FUNCTION, 253}},
     t_dc_identifier,
     {bit("static_flag", 40, 0), bit("extern_flag", 40, 1), bit("const_flag", 40, 2),
      bits("virtual_code", 40, 3, 2), i32("voffset", 44), node("formal_fct", 48), node("exception", 52),
      node("block", 56), node("link", 60), node("inst", 64)},
     68},
    {{{dC_LABEL, 254}}, t_dc_identifier, {}, 40},
    {{{dC_CASE_LABEL, 255}}, t_dc_label, {node("value", 40)}, 44},
    {{{dC_DEFAULT_LABEL, 256}}, t_dc_label, {}, 40},
    {{{dC_ENUMERATOR, 257}}, t_dc_identifier, {node("value", 40)}, 44},
    {{{dC_TEMPLATE, 258}}, t_dc_template, {}, 48},
    {{{dC_FORMAL_TEMPLATE, 259}}, t_dc_template, {}, 48},
    {{{dC_EXPRESSION, 260}}, t_dc_asg_nd, {node("refers", 16)}, 20},
    {{{dC_EMPTY_EXPR, 261}, {dC_SYNTAX_ERROR, 263}}, t_dc_expression, {}, 20},
    {{{dC_LITERAL, 262}}, t_dc_expression, {str("value", 20), node("type", 24)}, 28},
    {{{dC_NAME_REF, 264}}, t_dc_expression, {str("name", 20)}, 24},
    {{{dC_OPERATOR, 265}}, t_dc_expression, {enumeration("op", 20), node("ops", 24)}, 28},
    {{{dC_INIT_LIST, 266}, {dC_CREATION_EXPR, 268}}, t_dc_expression, {node("init", 20)}, 24},
    {{{dC_ACTUAL_FCT_PARAM_LIST, 267}}, t_dc_expression, {node("actuals", 20)}, 24},
    {{{dC_DESTROY_EXPR, 269}}, t_dc_expression, {node("what", 20), node("array", 24)}, 28},
    {{{dC_CNTRL_STMT, 270}}, t_dc_asg_nd, {}, 16},
    {{{dC_SELECTION, 271}, {dC_JUMP, 274}, {dC_LOOP, 280}}, t_dc_ctrl_stmt, {}, 16},
    {{{dC_IF, 272}}, t_dc_ctrl_stmt, {node("cond", 16), node("true_block", 20), node("false_block", 24)}, 28},
    {{{dC_SWITCH, 273}}, t_dc_ctrl_stmt, {node("cond", 16), node("body", 20)}, 24},
    {{{dC_GOTO, 275}, {dC_BREAK, 277}, {dC_CONTINUE, 278}}, t_dc_jump, {node("dest", 16)}, 20},
    {{{dC_RETURN, 276}, {dC_THROW, 279}}, t_dc_jump, {node("value", 16)}, 20},
    {{{dC_DO_WHILE_LOOP, 281}, {dC_WHILE_DO_LOOP, 282}},
     t_dc_loop,
     {node("cond", 16), node("block", 20)},
     24},
    {{{dC_FOR_LOOP, 283}},
     t_dc_loop,
     {node("init", 16), node("cond", 20), node("incr", 24), node("block", 28)},
     32},
    {{{dC_INSTANTIATION, 284}}, t_dc_asg_nd, {node("refers", 16), node("actuals", 20)}, 24},
    {{{dC_SQL_STMT, 285}, {dC_COMMENT, 286}, {dC_ASM_BLOCK, 289}}, t_dc_asg_nd, {}, 16},
    {{{dC_JAVA_DOC_COMMENT, 287}}, t_dc_comment, {}, 16},
    {{{dC_THROW_SPEC, 288}}, t_dc_asg_nd, {node("except", 16)}, 20},
    {{{dC_ARC, 290}},
     gd_graph_common,
     {i32("ordinal", 8), node("src", 12), node("dest", 16), node("next", 20)},
     24},
    {{{dC_ARC_REFERENCE, 291}, {dC_ARC_SYNTAX, 301}}, t_dc_arc, {}, 24},
    {{{dC_INSTANCE, 292},
      {dC_IMPLEMENTS, 294},
      {dC_ARC_FRIEND, 295},
      {dC_ARC_DEF_LOC, 296},
      {dC_REFERS_TO, 297},
      {dC_CONSTRUCTED, 298},
      {dC_LINKS_TO, 299},
      {dC_LINKS_FROM, 300}},
     t_dc_arc_reference,
     {},
     24},
    {{{dC_INHERITANCE, 293}}, t_dc_arc_reference, {enumeration("visb", 24), bit("virt", 28, 0)}, 32},
    {{{dC_ARC_SON, 302},
      {dC_ARC_TRUE, 303},
      {dC_ARC_FALSE, 304},
      {dC_ARC_OPD, 305},
      {dC_IMPORT, 306},
      {dC_ARC_COND, 307},
      {dC_ARC_FOR_INIT, 308},
      {dC_ARC_FOR_INCR, 309},
      {dC_ARC_INIT_VAL, 310},
      {dC_ARC_BIT_DIM, 311},
      {dC_ARC_ARRAY_DIM, 312}},
     t_dc_arc_syntax,
     {},
     24},
};

// A field as "form name offset[.bit][:width]", for readable differences.
std::string place_text(const std::string &name, is form, int offset, int bit, int width)
{
    static const char *const forms[] = {"kind", "node", "nodes", "str", "i32", "u32", "enum", "bit", "bits"};
    std::string text = std::string(forms[(int)form]) + " " + name + " " + std::to_string(offset);
    if (form == is::bit || form == is::bits) text += "." + std::to_string(bit);
    if (form == is::bits || form == is::nodes) text += ":" + std::to_string(width);
    return text;
}

std::vector<std::string> sorted(std::vector<std::string> places)
{
    std::sort(places.begin(), places.end());
    return places;
}

// The fields of a kind's entry as place texts, base fields first, in record
// order.
std::vector<std::string> record_places(const gd_kind_info *info)
{
    std::vector<std::string> places;
    for (int f = 0; f < info->nfields; f++) {
        const gd_field &field = info->fields[f];
        is form = is::kind;
        switch (field.type) {
        case GD_FT_KIND: form = is::kind; break;
        case GD_FT_NODE: form = is::node; break;
        case GD_FT_NODES: form = is::nodes; break;
        case GD_FT_STR: form = is::str; break;
        case GD_FT_INT: form = is::i32; break;
        case GD_FT_UINT: form = is::u32; break;
        case GD_FT_ENUM: form = is::enumeration; break;
        case GD_FT_BITS: form = field.width == 1 && field.values == nullptr ? is::bit : is::bits; break;
        }
        places.push_back(place_text(field.name, form, field.offset, field.bit, field.width));
    }
    return places;
}

std::vector<std::string> table_places(const gd_kind_info *info)
{
    return sorted(record_places(info));
}

TEST(RecordLayout, EveryRecordsFieldsLieWhereTheFileFormatPutsThem)
{
    std::set<int> listed;
    for (const layout_row &row : layout_rows) {
        std::vector<std::string> expected;
        for (const field_place &f : row.base() + row.own)
            expected.push_back(place_text(f.name, f.form, f.offset, f.bit, f.width));
        expected = sorted(expected);
        for (const auto &[kind, code] : row.kinds) {
            SCOPED_TRACE(gd_kind_name(kind));
            EXPECT_EQ(kind, code);
            EXPECT_TRUE(listed.insert(kind).second) << "listed twice";
            const gd_kind_info *info = gd_kind_info_of(kind);
            ASSERT_NE(info, nullptr);
            EXPECT_TRUE(info->flags & GD_KF_RECORD);
            EXPECT_EQ(info->record_bytes, row.bytes);
            EXPECT_EQ(table_places(info), expected);
        }
    }
    // Every kind with a record; the four without one show the common head.
    EXPECT_EQ(listed.size(), 316u - 7);
    std::vector<std::string> head;
    for (const field_place &f : gd_graph_common())
        head.push_back(place_text(f.name, f.form, f.offset, f.bit, f.width));
    for (int k : {gIMAGPART_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT}) {
        EXPECT_FALSE(listed.count(k)) << k;
        EXPECT_EQ(table_places(gd_kind_info_of(k)), sorted(head)) << k;
    }
}

// ---------------------------------------------------------------------------
// Kind classes

// The groups of kinds that code wrote out by hand before the class column,
// each as it was written there, against the class or predicate that stands
// for it now, for every value a record's 16-bit kind can hold.
struct replaced_test {
    const char *where;
    bool (*as_written)(gd_node_type k);
    bool (*by_class)(int k);
};

const replaced_test replaced_tests[] = {
    {"is_gcc_type (gd_uses.cpp)",
     [](gd_node_type t) {
         switch (t) {
         case gVOID_TYPE:
         case gINTEGER_TYPE:
         case gREAL_TYPE:
         case gENUMERAL_TYPE:
         case gBOOLEAN_TYPE:
         case gPOINTER_TYPE:
         case gREFERENCE_TYPE:
         case gMETHOD_TYPE:
         case gARRAY_TYPE:
         case gRECORD_TYPE:
         case gUNION_TYPE:
         case gFUNCTION_TYPE: return true;
         default: return false;
         }
     },
     [](int k) { return gd_kind_class_of(k) == GD_KC_TYPE; }},
    {"is_declaration_kind (arcs_and_chains.cpp)",
     [](gd_node_type k) {
         switch (k) {
         case gFUNCTION_DECL:
         case gLABEL_DECL:
         case gCONST_DECL:
         case gTYPE_DECL:
         case gVAR_DECL:
         case gPARM_DECL:
         case gRESULT_DECL:
         case gFIELD_DECL:
         case gNAMESPACE_DECL:
         case gTEMPLATE_DECL:
         case gUSING_DECL: return true;
         default: return false;
         }
     },
     is_declaration_kind},
    {"the declaration that names an aggregate (aggregate.cpp)",
     [](gd_node_type k) { return k >= gFUNCTION_DECL && k <= gNAMESPACE_DECL; },
     [](int k) { return gd_kind_class_of(k) == GD_KC_DECLARATION; }},
    {"is_arc_kind (arcs_and_chains.cpp), is_arc (gxl_writer.cpp, node_dump.cpp)",
     [](gd_node_type k) { return k >= dC_ARC && k <= dC_ARC_ARRAY_DIM; }, is_arc_kind},
    {"is_syntax_arc (gd_nameref.cpp)",
     [](gd_node_type k) { return k >= dC_ARC_SYNTAX && k <= dC_ARC_ARRAY_DIM; },
     [](int k) { return gd_kind_class_of(k) == GD_KC_SYNTAX_ARC; }},
    {"is_scope_kind (arcs_and_chains.cpp), append_to_scope (gd_schema.cpp)",
     [](gd_node_type k) { return k >= dC_SCOPE && k <= dC_SYNCHRONIZED_BLOCK; }, is_scope_kind},
    {"ririra_type_name (gd_literals.cpp), is_declared_entity (gd_nameref.cpp), "
     "is_ririra_identifier_kind (gd_templates.cpp)",
     [](gd_node_type k) { return !(k < dC_IDENTIFIER || k > dC_FORMAL_TEMPLATE); },
     is_ririra_identifier_kind},
    {"has_source_position (gd_nameref.cpp), the chain through other_node (gd_kinds.cpp)",
     [](gd_node_type k) { return k >= dC_ASG_ND && k < dC_ARC; }, is_ririra_node_kind},
    {"the statement whose line is set (gd_statements.cpp)",
     [](gd_node_type k) { return k >= dC_ASG_ND && k <= dC_ASM_BLOCK; }, is_ririra_node_kind},
    {"is_folded_clone (aggregate.cpp)", [](gd_node_type k) { return k < dC_ARC; },
     [](int k) { return is_compiler_kind(k) || is_ririra_node_kind(k); }},
    {"the kinds no pass reaches (gd_filter.cpp), statement_link_readable (arcs_and_chains.cpp)",
     [](gd_node_type k) { return k > dC_ARC_ARRAY_DIM; },
     [](int k) { return gd_kind_class_of(k) == GD_KC_NONE; }},
    {"the kinds gd_reduce does not reach (gd_reduce.cpp)", [](gd_node_type k) { return k > gRVALUE_CONV; },
     [](int k) { return !is_compiler_kind(k); }},
    {"the Ririra type line names (node_dump.cpp)", [](gd_node_type k) { return k >= dC_ASG_ND; },
     [](int k) { return !is_compiler_kind(k); }},
};

TEST(KindClasses, StandForTheGroupsWrittenOutBefore)
{
    for (const replaced_test &t : replaced_tests) {
        std::vector<int> differ;
        for (int k = 0; k <= 0xFFFF; k++)
            if (t.as_written((gd_node_type)k) != t.by_class(k)) differ.push_back(k);
        EXPECT_EQ(differ, std::vector<int>{}) << t.where;
    }
}

// A class promises the base record its kinds begin with, and no kind outside
// it begins so.
TEST(KindClasses, AgreeWithTheBaseRecords)
{
    auto begins_with = [](int k, const fields &base) {
        const gd_kind_info *info = gd_kind_info_of(k);
        std::vector<std::string> places = record_places(info);
        if (!(info->flags & GD_KF_RECORD) || places.size() < base.size()) return false;
        for (size_t i = 0; i < base.size(); i++)
            if (places[i] !=
                place_text(base[i].name, base[i].form, base[i].offset, base[i].bit, base[i].width))
                return false;
        return true;
    };
    struct {
        const char *base;
        fields (*record)();
        bool (*in_class)(int k);
    } cases[] = {
        {"t_gcc_decl", t_gcc_decl, is_declaration_kind},
        {"t_gcc_type", t_gcc_type,
         [](int k) { return gd_kind_class_of(k) == GD_KC_TYPE || gd_kind_class_of(k) == GD_KC_OTHER_TYPE; }},
        {"t_dc_asg_nd", t_dc_asg_nd, is_ririra_node_kind},
        {"t_dc_identifier", t_dc_identifier, is_ririra_identifier_kind},
        {"t_dc_type", t_dc_type, [](int k) { return gd_kind_class_of(k) == GD_KC_RIRIRA_TYPE; }},
        {"t_dc_scope", t_dc_scope, is_scope_kind},
        {"t_dc_arc", t_dc_arc, is_arc_kind},
    };
    for (const auto &c : cases) {
        std::vector<int> differ;
        for (int k = 0; k <= NUM_NODES; k++)
            if (begins_with(k, c.record()) != c.in_class(k)) differ.push_back(k);
        EXPECT_EQ(differ, std::vector<int>{}) << c.base;
    }
    // Constants begin as compiler expressions do, and the Ririra expressions
    // as an instantiation does: each kind of the two classes has the head.
    for (int k = 0; k <= NUM_NODES; k++) {
        if (gd_kind_class_of(k) == GD_KC_CONSTANT) {
            EXPECT_TRUE(begins_with(k, t_gcc_const())) << gd_kind_name(k);
        }
        if (gd_kind_class_of(k) == GD_KC_RIRIRA_EXPRESSION) {
            EXPECT_TRUE(begins_with(k, t_dc_expression())) << gd_kind_name(k);
        }
    }
    // The compiler statements are the compiler kinds chained by `next`.
    std::vector<int> differ;
    for (int k = 0; k <= NUM_NODES; k++) {
        const gd_kind_info *info = gd_kind_info_of(k);
        const bool chained = (info->flags & GD_KF_RECORD) && gd_find_field(info, "next") != nullptr;
        if (is_compiler_kind(k) && chained != (gd_kind_class_of(k) == GD_KC_STATEMENT)) differ.push_back(k);
    }
    EXPECT_EQ(differ, std::vector<int>{gUSING_STMT});  // a statement without a record
}

// The kinds at the edges of each class, and the classes that no record
// tells apart.
TEST(KindClasses, OfKindsAtTheirEdges)
{
    const std::pair<int, gd_kind_class> cases[] = {
        {gERROR_MARK, GD_KC_TREE},
        {gTREE_VEC, GD_KC_TREE},
        {gSRCLOC, GD_KC_TREE},
        {gOVERLOAD, GD_KC_TREE},
        {gCHAR_TYPE, GD_KC_OTHER_TYPE},
        {gTYPEOF_TYPE, GD_KC_OTHER_TYPE},
        {gINTEGER_CST, GD_KC_CONSTANT},
        {gPTRMEM_CST, GD_KC_CONSTANT},
        {gTEMPLATE_DECL, GD_KC_OTHER_DECLARATION},
        {gCOMPONENT_REF, GD_KC_EXPRESSION},
        {gIMAGPART_EXPR, GD_KC_EXPRESSION},
        {gEXC_PTR_EXPR, GD_KC_EXPRESSION},
        {gSTMT_EXPR, GD_KC_EXPRESSION},
        {gCTOR_INITIALIZER, GD_KC_EXPRESSION},
        {gRVALUE_CONV, GD_KC_EXPRESSION},
        {gEXPR_STMT, GD_KC_STATEMENT},
        {gCASE_LABEL, GD_KC_STATEMENT},
        {gMUST_NOT_THROW_EXPR, GD_KC_STATEMENT},
        {dC_ASG_ND, GD_KC_RIRIRA_OTHER},
        {dC_LINK_SYM, GD_KC_RIRIRA_OTHER},
        {dC_INSTANTIATION, GD_KC_RIRIRA_OTHER},
        {dC_ASM_BLOCK, GD_KC_RIRIRA_OTHER},
        {dC_IDENTIFIER, GD_KC_RIRIRA_IDENTIFIER},
        {dC_OBJECT, GD_KC_RIRIRA_IDENTIFIER},
        {dC_FORMAL_TEMPLATE, GD_KC_RIRIRA_IDENTIFIER},
        {dC_SYSTEM, GD_KC_SCOPE},
        {dC_CNTRL_STMT, GD_KC_RIRIRA_STATEMENT},
        {dC_FOR_LOOP, GD_KC_RIRIRA_STATEMENT},
        {dC_ARC, GD_KC_ARC},
        {dC_ARC_REFERENCE, GD_KC_REFERENCE_ARC},
        {dC_INHERITANCE, GD_KC_REFERENCE_ARC},
        {dC_LINKS_FROM, GD_KC_REFERENCE_ARC},
        {dC_ARC_SYNTAX, GD_KC_SYNTAX_ARC},
        {NODE_DELTED, GD_KC_NONE},
        {NODE_NONE, GD_KC_NONE},
        {NUM_NODES, GD_KC_NONE},
        {NUM_NODES + 1, GD_KC_NONE},
        {-1, GD_KC_NONE},
        {0xFFFF, GD_KC_NONE},
    };
    for (const auto &[kind, cls] : cases) EXPECT_EQ(gd_kind_class_of(kind), cls) << kind;
}

}  // namespace
