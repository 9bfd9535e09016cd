// The element table: which kinds have a body, and for each kind the links
// and attributes it writes, read from the right field of its own record.
#include "gd/export/gxl.h"

#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "export_test_support.h"
#include "gd/kind_table.h"

namespace {

using export_test::capture;
using export_test::graph;
using pairs = std::vector<std::pair<std::string, std::string>>;

TEST(GxlElementTable, EveryKindHasItsBody) {
  std::set<int> unhandled, skipped, arcs_with_links;
  for (int k = 0; k <= NUM_NODES; k++) {
    const gxl::gxl_body &b = gxl::gxl_body_of(k);
    if (b.level == gxl::gxl_level::unhandled) unhandled.insert(k);
    if (b.level == gxl::gxl_level::skipped) skipped.insert(k);
    // Ririra structure is carried by the arcs alone: no Ririra kind has links.
    if (k >= dC_ASG_ND && !b.links.empty()) arcs_with_links.insert(k);
  }
  EXPECT_EQ(unhandled, (std::set<int>{gIMAGPART_EXPR, gEXIT_BLOCK_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT,
                                      dC_SYSTEM, NUM_NODES}));
  EXPECT_EQ(skipped, (std::set<int>{NODE_DELTED, NODE_NONE}));
  EXPECT_EQ(arcs_with_links, std::set<int>{});
  EXPECT_EQ(gxl::gxl_body_of(316).level, gxl::gxl_level::unhandled);
  EXPECT_EQ(gxl::gxl_body_of(65535).level, gxl::gxl_level::unhandled);
  EXPECT_TRUE(gxl::gxl_body_of(gTREE_VEC).elements_relation);
}

// A node of kind k whose every field holds a value that names the field:
// node_ptr fields 100 + their byte offset (so a link's target tells where
// it was read), numbers 500 + their offset; strings none, enumerations 0,
// the source line none, and a tree_vec's length 3.
graph distinct_fields(int k) {
  graph g("0 identifier_node strg=\"x\"\n");
  gd_graph_node &rec = g.node(0);
  const gd_kind_info *info = gd_kind_info_of(k);
  rec = gd_graph_node{};
  rec.common.type = (gd_node_type)k;
  for (int f = 0; f < info->nfields; f++) {
    const gd_field &field = info->fields[f];
    switch (field.type) {
      case GD_FT_NODE: gd_field_set(&rec, &field, 100 + field.offset); break;
      case GD_FT_NODES:
        for (int s = 0; s < field.width; s++) {
          node_ptr v = 100 + field.offset + 4 * s;
          memcpy(rec.bytes + field.offset + 4 * s, &v, 4);
        }
        break;
      case GD_FT_INT:
      case GD_FT_UINT: gd_field_set(&rec, &field, 500 + field.offset); break;
      case GD_FT_STR: gd_field_set(&rec, &field, -1); break;
      default: break;
    }
  }
  if (const gd_field *srcl = gd_find_field(info, "srcl")) gd_field_set(&rec, srcl, -1);
  if (k == gTREE_VEC) rec.tree_vec.length = 3;
  return g;
}

// The link edges of an element, in order, as (link name, target).
pairs links_written(const std::string &text) {
  pairs out;
  std::regex edge("  <edge from=\"n0\" to=\"n(-?[0-9]+)\">\n   <type xlink:href=\"gd.xml#([a-z_0-9A-Z]+)\" />\n");
  for (std::sregex_iterator m(text.begin(), text.end(), edge), end; m != end; ++m)
    out.emplace_back((*m)[2], (*m)[1]);
  return out;
}

std::string element_text(graph &g) {
  return capture([&](FILE *out, FILE *err) { return gxl::write_gxl_element(out, err, &g, 0) ? 0 : 1; }).out;
}

TEST(GxlElementTable, LinksComeFromTheirOwnFieldsInOrder) {
  // Expected targets are 100 + the field's byte offset in the kind's record.
  const pairs decl_links = {{"decl_name", "108"}, {"decl_mngl", "112"}, {"decl_type", "116"},
                            {"decl_chan", "120"}, {"decl_scpe", "124"}, {"decl_vindex", "128"}};
  auto decl_and = [&](pairs own) {
    pairs all = decl_links;
    all.insert(all.end(), own.begin(), own.end());
    return all;
  };
  struct {
    int kind;
    pairs links;
  } cases[] = {
      {gUNION_TYPE,
       {{"type_name", "108"}, {"type_size", "112"}, {"type_unql", "120"}, {"record_type_flds", "128"},
        {"record_type_fncs", "132"}, {"record_type_ptd", "140"}, {"record_type_cls", "144"},
        {"record_type_vfld", "148"}, {"record_type_binf", "152"}}},
      {gRECORD_TYPE,
       {{"type_name", "108"}, {"type_size", "112"}, {"type_unql", "120"}, {"record_type_flds", "128"},
        {"record_type_fncs", "132"}, {"record_type_ptd", "144"}, {"record_type_cls", "148"},
        {"record_type_vfld", "152"}, {"record_type_binf", "156"}}},
      {gWHILE_STMT, {{"expr_type", "108"}, {"while_stmt_cond", "120"}, {"while_stmt_body", "116"}, {"while_stmt_next", "124"}}},
      {gDO_STMT, {{"expr_type", "108"}, {"do_stmt_cond", "120"}, {"do_stmt_body", "116"}, {"do_stmt_next", "124"}}},
      {gSWITCH_STMT,
       {{"expr_type", "108"}, {"switch_stmt_cond", "116"}, {"switch_stmt_body", "120"}, {"switch_stmt_next", "124"}}},
      {gFOR_STMT,
       {{"expr_type", "108"}, {"for_stmt_init", "116"}, {"for_stmt_cond", "120"}, {"for_stmt_expr", "124"},
        {"for_stmt_body", "128"}, {"for_stmt_next", "132"}}},
      {gEH_SPEC_BLOCK, {{"eh_spec_block_raises", "112"}, {"eh_spec_block_body", "116"}, {"eh_spec_block_next", "120"}}},
      {gCOMPOUND_EXPR, {{"compound_ref_op0", "112"}, {"compound_ref_op1", "116"}}},
      {gPLUS_EXPR, {{"expr_type", "108"}, {"plus_expr_expr0", "112"}, {"plus_expr_expr1", "116"}}},
      {gMULT_EXPR, {{"expr_type", "108"}, {"mult_expr_expr0", "112"}, {"mult_expr_expr1", "116"}}},
      {gNOP_EXPR, {{"expr_type", "108"}, {"nop_expr_expr0", "112"}}},
      {gRANGE_EXPR, {{"expr_type", "108"}, {"range_expr_op0", "112"}, {"range_expr_op1", "116"}}},
      {gLT_EXPR, {{"expr_type", "108"}, {"lt_expr_op0", "112"}, {"lt_expr_op1", "116"}}},
      {gTRY_FINALLY_EXPR, {{"expr_type", "108"}, {"try_finally_expr_op0", "112"}, {"try_finally_expr_op1", "116"}}},
      {gNEW_EXPR, {{"expr_type", "108"}, {"new_expr_op0", "112"}}},
      {gUSER_CONV, {{"expr_type", "108"}, {"user_conv_op0", "112"}}},
      {gCAST_EXPR, {{"expr_type", "108"}, {"op0", "112"}, {"op1", "116"}}},
      {gSTATIC_CAST_EXPR, {{"expr_type", "108"}, {"op0", "112"}, {"op1", "116"}}},
      {gDYNAMIC_CAST_EXPR, {{"expr_type", "108"}}},
      {gMODOP_EXPR, {{"expr_type", "108"}, {"modop_expr_op0", "112"}, {"modop_expr_op1", "116"}, {"modop_expr_op2", "120"}}},
      {gCOMPONENT_REF, {{"component_ref_op0", "108"}, {"component_ref_op1", "112"}}},
      {gINDIRECT_REF, {{"indirect_ref_op0", "108"}}},
      {gTREE_LIST, {{"tree_list_purpose", "108"}, {"tree_list_value", "112"}, {"tree_list_chan", "116"}}},
      {gTREE_VEC, {{"tree_vec_binfo_type", "112"}}},
      {gOVERLOAD, {{"overload_crnt", "108"}, {"overload_chan", "112"}}},
      {gEXIT_EXPR, {{"exit_expr_cond", "108"}}},
      {gASM_STMT,
       {{"expr_type", "108"}, {"asm_stmt_strg", "120"}, {"asm_stmt_outs", "124"}, {"asm_stmt_ins", "128"},
        {"asm_stmt_clbr", "132"}, {"asm_stmt_next", "136"}}},
      {gAGGR_INIT_EXPR,
       {{"expr_type", "108"}, {"aggr_init_expr_fn", "116"}, {"aggr_init_expr_args", "120"}, {"aggr_init_expr_decl", "124"}}},
      {gCLEANUP_STMT,
       {{"expr_type", "108"}, {"cleanup_stmt_decl", "116"}, {"cleanup_stmt_expr", "120"}, {"cleanup_stmt_next", "124"}}},
      {gTRY_BLOCK, {{"expr_type", "108"}, {"try_block_body", "120"}, {"try_block_hdlr", "124"}, {"try_block_next", "128"}}},
      {gINTEGER_CST, {{"cst_type", "108"}}},
      {gPTRMEM_CST, {{"cst_type", "108"}, {"ptrmem_cst_clas", "112"}, {"ptrmem_cst_mbr", "116"}}},
      {gPOINTER_TYPE, {{"type_name", "108"}, {"type_size", "112"}, {"type_unql", "120"}, {"pointer_type_ptd", "128"},
                       {"pointer_type_cls", "132"}}},
      {gENUMERAL_TYPE, {{"type_name", "108"}, {"type_size", "112"}, {"type_unql", "120"}, {"enumeral_type_min", "136"},
                        {"enumeral_type_max", "140"}, {"enumeral_type_csts", "144"}}},
      {gFUNCTION_DECL, decl_and({{"function_decl_args", "152"}, {"function_decl_body", "156"}})},
      {gTEMPLATE_DECL, decl_and({{"template_decl_rslt", "152"}, {"template_decl_inst", "156"}, {"template_decl_spcs", "160"}})},
      {gFIELD_DECL, decl_and({{"field_decl_init", "152"}, {"field_decl_size", "156"}, {"field_decl_bpos", "168"}})},
      {gPARM_DECL, decl_and({{"parm_decl_argt", "152"}, {"parm_decl_size", "156"}})},
      {gNAMESPACE_DECL, decl_and({{"namespace_decl_dcls", "152"}, {"namespace_decl_alis", "156"}})},
      {gUSING_DECL, decl_links},
      {dC_IF, {}},
      {dC_FUNCTION, {}},
      {dC_OPERATOR, {}},
  };
  for (const auto &c : cases) {
    graph g = distinct_fields(c.kind);
    EXPECT_EQ(links_written(element_text(g)), c.links) << gd_kind_name(c.kind);
  }
}

TEST(GxlElementTable, EveryLinkOfEveryKindIsAPointerField) {
  for (int k = 0; k < dC_ARC; k++) {
    const gd_kind_info *info = gd_kind_info_of(k);
    if (!(info->flags & GD_KF_RECORD) || gxl::gxl_body_of(k).level == gxl::gxl_level::unhandled) continue;
    std::set<std::string> pointer_values;
    for (int l = 0; l < info->nlinks; l++) pointer_values.insert(std::to_string(100 + info->links[l].offset));
    graph g = distinct_fields(k);
    for (const auto &[name, target] : links_written(element_text(g)))
      EXPECT_TRUE(pointer_values.count(target)) << gd_kind_name(k) << " " << name << " -> " << target;
  }
}

// The attributes of an element, in order, as (name, value).
pairs attributes(const std::string &text) {
  pairs out;
  std::regex attr("   <attr name=\"([a-zA-Z_]+)\"><[a-z]+>([^<]*)</[a-z]+></attr>\n");
  for (std::sregex_iterator m(text.begin(), text.end(), attr), end; m != end; ++m) out.emplace_back((*m)[1], (*m)[2]);
  return out;
}

TEST(GxlElementTable, AttributesByKind) {
  const pairs no_flags = {{"constant_flag", "false"}, {"volatile_flag", "false"}, {"readonly_flag", "false"},
                          {"unsigned_flag", "false"}, {"static_flag", "false"},   {"public_flag", "false"},
                          {"private_flag", "false"},  {"protected_flag", "false"}};
  auto after_flags = [&](pairs own) {
    pairs all = no_flags;
    all.insert(all.end(), own.begin(), own.end());
    return all;
  };
  struct {
    const char *node;
    pairs attrs;
  } cases[] = {
      {"function_decl srcf=\"a.c\" srcl=4 lang=src_lang_c artificial=9 inline_flag undef ext_static member decon "
       "gfini pvirt static_member",
       after_flags({{"File", "a.c"}, {"Line", "4"}, {"src_lang", "c"}, {"artificial", "true"},
                    {"mutable_flag", "false"}, {"register_flag", "false"}, {"inline_flag", "true"},
                    {"undef", "true"}, {"ext_static", "1"}, {"member", "true"}, {"constr", "false"},
                    {"decon", "true"}, {"oper", "false"}, {"conver", "false"}, {"ginit", "false"},
                    {"gfini", "true"}, {"virt", "false"}, {"pvirt", "true"}})},
      {"var_decl lang=src_lang_java algn=16 used=2",
       after_flags({{"src_lang", "java"}, {"artificial", "false"}, {"mutable_flag", "false"},
                    {"register_flag", "false"}, {"inline_flag", "false"}, {"algn", "16"}, {"used", "2"}})},
      {"scope_stmt line=5 begin_end null",
       after_flags({{"line", "5"}, {"null", "1"}, {"begin_end", "1"}, {"clnp", "0"}})},
      {"integer_type algn=32 qual_volatile unsgnd=1 prec=16",
       after_flags({{"algn", "32"}, {"qual_const", "false"}, {"qual_volatile", "true"}, {"qual_restrict", "false"},
                    {"unsigned", "true"}, {"prec", "16"}})},
      {"union_type ptrmem=3",
       after_flags({{"algn", "0"}, {"qual_const", "false"}, {"qual_volatile", "false"}, {"qual_restrict", "false"},
                    {"ptrmem", "true"}})},
      {"asm_stmt line=9 vol=1", after_flags({{"line", "9"}, {"vol", "1"}})},
      {"try_block line=2 cleanup=1", after_flags({{"line", "2"}, {"cleanup", "true"}})},
      {"eh_spec_block line=7", after_flags({{"line", "7"}})},
      {"integer_cst high=-1 low=7", after_flags({{"high", "-1"}, {"low", "7"}})},
      {"string_cst lngt=2 strg=\"ab\"", after_flags({{"lngt", "2"}, {"strg", "ab"}})},
      {"cFunction static_flag const_flag voffset=4 virtual_code=vc_none visb=visb_pri",
       {{"visb", "pri"}, {"static", "true"}, {"extern", "false"}, {"const", "true"}, {"voffset", "4"},
        {"virtual", "unknown"}}},
      {"cFunction common.static_flag extern_flag virtual_code=vc_pure_virtual",
       {{"visb", "unk"}, {"static", "false"}, {"extern", "true"}, {"const", "false"}, {"voffset", "0"},
        {"virtual", "pure-virtual"}}},
      {"cObject file=\"o.c\" line=3 static_flag", {{"file", "o.c"}, {"line", "3"}, {"visb", "unk"}, {"static", "true"}, {"extern", "false"}}},
      {"cType volatile_flag", {{"visb", "unk"}, {"const", "false"}, {"volatile", "true"}}},
      {"cAggrType aggr_type=aggr_interface", {{"visb", "unk"}, {"const", "false"}, {"volatile", "false"}, {"type", "interface"}}},
      {"cScopeCompil name=\"ns\" visb=visb_pro", {{"name", "ns"}, {"visb", "pro"}}},
      {"cInheritance src=1 dest=2 virt visb=visb_pro", {{"virt", "true"}, {"visb", "pro"}}},
      {"cInheritance src=1 dest=2 ordinal=-4 visb=9", {{"order", "-4"}, {"virt", "false"}, {"visb", "???"}}},
      {"cExternSymbol file=\"l.c\" line=1 name=\"sym\"", {{"file", "l.c"}, {"line", "1"}, {"name", "sym"}}},
      {"cBreak line=3", {}},
  };
  for (const auto &c : cases) {
    graph g(std::string("0 ") + c.node + "\n");
    EXPECT_EQ(attributes(element_text(g)), c.attrs) << c.node;
  }
}

}  // namespace
