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

TEST(GxlElementTable, EveryKindHasItsBody)
{
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

// A node of kind k whose every field holds a value of its own, so that what
// an element shows tells which field it was read from (field_value gives
// the value by the field's name): node_ptr fields from 100 up and numbers
// from 500 up, each that and its byte offset; enumerations 0 and a
// tree_vec's length 3; strings none and the source line none, or,
// with_strings, every string the pool's "x" and the source line a number
// like the others.
graph distinct_fields(int k, bool with_strings = false)
{
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
        case GD_FT_STR: gd_field_set(&rec, &field, with_strings ? 0 : -1); break;
        default: break;
        }
    }
    if (const gd_field *srcl = gd_find_field(info, "srcl"); srcl && !with_strings)
        gd_field_set(&rec, srcl, -1);
    if (k == gTREE_VEC) rec.tree_vec.length = 3;
    return g;
}

// The value distinct_fields gave the field called `field` of node 0, as an
// element writes it.
std::string field_value(graph &g, int kind, const char *field)
{
    const gd_field *f = gd_find_field(gd_kind_info_of(kind), field);
    return f ? std::to_string(gd_field_get(&g.node(0), f)) : std::string("no field ") + field;
}

// The link edges of an element, in order, as (link name, target).
pairs links_written(const std::string &text)
{
    pairs out;
    std::regex edge(
        "  <edge from=\"n0\" to=\"n(-?[0-9]+)\">\n   <type xlink:href=\"gd.xml#([a-z_0-9A-Z]+)\" />\n");
    for (std::sregex_iterator m(text.begin(), text.end(), edge), end; m != end; ++m)
        out.emplace_back((*m)[2], (*m)[1]);
    return out;
}

std::string element_text(graph &g)
{
    return capture([&](FILE *out, FILE *err) { return gxl::write_gxl_element(out, err, &g, 0) ? 0 : 1; }).out;
}

// Each case names, link by link, the field of the kind's own record whose
// value the link must carry: union_type keeps its links 4 bytes lower than
// record_type, the statements and eh_spec_block write theirs in an order
// of their own.
TEST(GxlElementTable, LinksComeFromTheirOwnFieldsInOrder)
{
    const pairs decl_links = {{"decl_name", "name"}, {"decl_mngl", "mngl"}, {"decl_type", "type"},
                              {"decl_chan", "chan"}, {"decl_scpe", "scpe"}, {"decl_vindex", "vindex"}};
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
         {{"type_name", "name"},
          {"type_size", "size"},
          {"type_unql", "unql"},
          {"record_type_flds", "flds"},
          {"record_type_fncs", "fncs"},
          {"record_type_ptd", "ptd"},
          {"record_type_cls", "cls"},
          {"record_type_vfld", "vfld"},
          {"record_type_binf", "binf"}}},
        {gRECORD_TYPE,
         {{"type_name", "name"},
          {"type_size", "size"},
          {"type_unql", "unql"},
          {"record_type_flds", "flds"},
          {"record_type_fncs", "fncs"},
          {"record_type_ptd", "ptd"},
          {"record_type_cls", "cls"},
          {"record_type_vfld", "vfld"},
          {"record_type_binf", "binf"}}},
        {gWHILE_STMT,
         {{"expr_type", "type"},
          {"while_stmt_cond", "cond"},
          {"while_stmt_body", "body"},
          {"while_stmt_next", "next"}}},
        {gDO_STMT,
         {{"expr_type", "type"},
          {"do_stmt_cond", "cond"},
          {"do_stmt_body", "body"},
          {"do_stmt_next", "next"}}},
        {gSWITCH_STMT,
         {{"expr_type", "type"},
          {"switch_stmt_cond", "cond"},
          {"switch_stmt_body", "body"},
          {"switch_stmt_next", "next"}}},
        {gFOR_STMT,
         {{"expr_type", "type"},
          {"for_stmt_init", "init"},
          {"for_stmt_cond", "cond"},
          {"for_stmt_expr", "inc_expr"},
          {"for_stmt_body", "body"},
          {"for_stmt_next", "next"}}},
        {gEH_SPEC_BLOCK,
         {{"eh_spec_block_raises", "raises"},
          {"eh_spec_block_body", "body"},
          {"eh_spec_block_next", "next"}}},
        {gCOMPOUND_EXPR, {{"compound_ref_op0", "op0"}, {"compound_ref_op1", "op1"}}},
        {gPLUS_EXPR, {{"expr_type", "type"}, {"plus_expr_expr0", "op0"}, {"plus_expr_expr1", "op1"}}},
        {gMULT_EXPR, {{"expr_type", "type"}, {"mult_expr_expr0", "op0"}, {"mult_expr_expr1", "op1"}}},
        {gNOP_EXPR, {{"expr_type", "type"}, {"nop_expr_expr0", "op0"}}},
        {gRANGE_EXPR, {{"expr_type", "type"}, {"range_expr_op0", "op0"}, {"range_expr_op1", "op1"}}},
        {gLT_EXPR, {{"expr_type", "type"}, {"lt_expr_op0", "op0"}, {"lt_expr_op1", "op1"}}},
        {gTRY_FINALLY_EXPR,
         {{"expr_type", "type"}, {"try_finally_expr_op0", "op0"}, {"try_finally_expr_op1", "op1"}}},
        {gNEW_EXPR, {{"expr_type", "type"}, {"new_expr_op0", "op0"}}},
        {gUSER_CONV, {{"expr_type", "type"}, {"user_conv_op0", "op0"}}},
        {gCAST_EXPR, {{"expr_type", "type"}, {"op0", "op0"}, {"op1", "op1"}}},
        {gSTATIC_CAST_EXPR, {{"expr_type", "type"}, {"op0", "op0"}, {"op1", "op1"}}},
        {gDYNAMIC_CAST_EXPR, {{"expr_type", "type"}}},
        {gMODOP_EXPR,
         {{"expr_type", "type"},
          {"modop_expr_op0", "op0"},
          {"modop_expr_op1", "op1"},
          {"modop_expr_op2", "op2"}}},
        {gCOMPONENT_REF, {{"component_ref_op0", "op0"}, {"component_ref_op1", "op1"}}},
        {gINDIRECT_REF, {{"indirect_ref_op0", "op0"}}},
        {gTREE_LIST,
         {{"tree_list_purpose", "purpose"}, {"tree_list_value", "value"}, {"tree_list_chan", "chan"}}},
        {gTREE_VEC, {{"tree_vec_binfo_type", "binfo_type"}}},
        {gOVERLOAD, {{"overload_crnt", "crnt"}, {"overload_chan", "chan"}}},
        {gEXIT_EXPR, {{"exit_expr_cond", "cond"}}},
        {gASM_STMT,
         {{"expr_type", "type"},
          {"asm_stmt_strg", "strg"},
          {"asm_stmt_outs", "outs"},
          {"asm_stmt_ins", "ins"},
          {"asm_stmt_clbr", "clbr"},
          {"asm_stmt_next", "next"}}},
        {gAGGR_INIT_EXPR,
         {{"expr_type", "type"},
          {"aggr_init_expr_fn", "fn"},
          {"aggr_init_expr_args", "args"},
          {"aggr_init_expr_decl", "decl"}}},
        {gCLEANUP_STMT,
         {{"expr_type", "type"},
          {"cleanup_stmt_decl", "decl"},
          {"cleanup_stmt_expr", "clean_expr"},
          {"cleanup_stmt_next", "next"}}},
        {gTRY_BLOCK,
         {{"expr_type", "type"},
          {"try_block_body", "body"},
          {"try_block_hdlr", "hdlr"},
          {"try_block_next", "next"}}},
        {gINTEGER_CST, {{"cst_type", "type"}}},
        {gPTRMEM_CST, {{"cst_type", "type"}, {"ptrmem_cst_clas", "clas"}, {"ptrmem_cst_mbr", "mbr"}}},
        {gPOINTER_TYPE,
         {{"type_name", "name"},
          {"type_size", "size"},
          {"type_unql", "unql"},
          {"pointer_type_ptd", "ptd"},
          {"pointer_type_cls", "cls"}}},
        {gENUMERAL_TYPE,
         {{"type_name", "name"},
          {"type_size", "size"},
          {"type_unql", "unql"},
          {"enumeral_type_min", "min"},
          {"enumeral_type_max", "max"},
          {"enumeral_type_csts", "csts"}}},
        {gFUNCTION_DECL, decl_and({{"function_decl_args", "args"}, {"function_decl_body", "body"}})},
        {gTEMPLATE_DECL, decl_and({{"template_decl_rslt", "rslt"},
                                   {"template_decl_inst", "inst"},
                                   {"template_decl_spcs", "spcs"}})},
        {gFIELD_DECL,
         decl_and({{"field_decl_init", "init"}, {"field_decl_size", "size"}, {"field_decl_bpos", "bpos"}})},
        {gPARM_DECL, decl_and({{"parm_decl_argt", "argt"}, {"parm_decl_size", "size"}})},
        {gNAMESPACE_DECL, decl_and({{"namespace_decl_dcls", "dcls"}, {"namespace_decl_alis", "alis"}})},
        {gUSING_DECL, decl_links},
        {dC_IF, {}},
        {dC_FUNCTION, {}},
        {dC_OPERATOR, {}},
    };
    for (const auto &c : cases) {
        graph g = distinct_fields(c.kind);
        pairs expected;
        for (const auto &[link, field] : c.links)
            expected.emplace_back(link, field_value(g, c.kind, field.c_str()));
        EXPECT_EQ(links_written(element_text(g)), expected) << gd_kind_name(c.kind);
    }
}

TEST(GxlElementTable, EveryLinkOfEveryKindIsAPointerField)
{
    for (int k = 0; k < dC_ARC; k++) {
        const gd_kind_info *info = gd_kind_info_of(k);
        if (!(info->flags & GD_KF_RECORD) || gxl::gxl_body_of(k).level == gxl::gxl_level::unhandled) continue;
        graph g = distinct_fields(k);
        std::set<std::string> pointer_values;
        for (int l = 0; l < info->nlinks; l++) {
            node_ptr v;
            memcpy(&v, g.node(0).bytes + info->links[l].offset, sizeof v);
            pointer_values.insert(std::to_string(v));
        }
        for (const auto &[name, target] : links_written(element_text(g)))
            EXPECT_TRUE(pointer_values.count(target)) << gd_kind_name(k) << " " << name << " -> " << target;
    }
}

// The attributes of an element, in order, as (name, value).
pairs attributes(const std::string &text)
{
    pairs out;
    std::regex attr("   <attr name=\"([a-zA-Z_]+)\"><[a-z]+>([^<]*)</[a-z]+></attr>\n");
    for (std::sregex_iterator m(text.begin(), text.end(), attr), end; m != end; ++m)
        out.emplace_back((*m)[1], (*m)[2]);
    return out;
}

TEST(GxlElementTable, AttributesByKind)
{
    const pairs no_flags = {{"constant_flag", "false"}, {"volatile_flag", "false"},
                            {"readonly_flag", "false"}, {"unsigned_flag", "false"},
                            {"static_flag", "false"},   {"public_flag", "false"},
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
        {"function_decl srcf=\"a.c\" srcl=4 lang=src_lang_c artificial=9 inline_flag undef ext_static member "
         "decon "
         "gfini pvirt static_member",
         after_flags({{"File", "a.c"},
                      {"Line", "4"},
                      {"src_lang", "c"},
                      {"artificial", "true"},
                      {"mutable_flag", "false"},
                      {"register_flag", "false"},
                      {"inline_flag", "true"},
                      {"undef", "true"},
                      {"ext_static", "1"},
                      {"member", "true"},
                      {"constr", "false"},
                      {"decon", "true"},
                      {"oper", "false"},
                      {"conver", "false"},
                      {"ginit", "false"},
                      {"gfini", "true"},
                      {"virt", "false"},
                      {"pvirt", "true"}})},
        {"var_decl lang=src_lang_java algn=16 used=2", after_flags({{"src_lang", "java"},
                                                                    {"artificial", "false"},
                                                                    {"mutable_flag", "false"},
                                                                    {"register_flag", "false"},
                                                                    {"inline_flag", "false"},
                                                                    {"algn", "16"},
                                                                    {"used", "2"}})},
        {"scope_stmt line=5 begin_end null",
         after_flags({{"line", "5"}, {"null", "1"}, {"begin_end", "1"}, {"clnp", "0"}})},
        {"integer_type algn=32 qual_volatile unsgnd=1 prec=16", after_flags({{"algn", "32"},
                                                                             {"qual_const", "false"},
                                                                             {"qual_volatile", "true"},
                                                                             {"qual_restrict", "false"},
                                                                             {"unsigned", "true"},
                                                                             {"prec", "16"}})},
        {"union_type ptrmem=3", after_flags({{"algn", "0"},
                                             {"qual_const", "false"},
                                             {"qual_volatile", "false"},
                                             {"qual_restrict", "false"},
                                             {"ptrmem", "true"}})},
        {"asm_stmt line=9 vol=1", after_flags({{"line", "9"}, {"vol", "1"}})},
        {"try_block line=2 cleanup=1", after_flags({{"line", "2"}, {"cleanup", "true"}})},
        {"eh_spec_block line=7", after_flags({{"line", "7"}})},
        {"integer_cst high=-1 low=7", after_flags({{"high", "-1"}, {"low", "7"}})},
        {"string_cst lngt=2 strg=\"ab\"", after_flags({{"lngt", "2"}, {"strg", "ab"}})},
        {"cFunction static_flag const_flag voffset=4 virtual_code=vc_none visb=visb_pri",
         {{"visb", "pri"},
          {"static", "true"},
          {"extern", "false"},
          {"const", "true"},
          {"voffset", "4"},
          {"virtual", "unknown"}}},
        {"cFunction common.static_flag extern_flag virtual_code=vc_pure_virtual",
         {{"visb", "unk"},
          {"static", "false"},
          {"extern", "true"},
          {"const", "false"},
          {"voffset", "0"},
          {"virtual", "pure-virtual"}}},
        {"cObject file=\"o.c\" line=3 static_flag",
         {{"file", "o.c"}, {"line", "3"}, {"visb", "unk"}, {"static", "true"}, {"extern", "false"}}},
        {"cType volatile_flag", {{"visb", "unk"}, {"const", "false"}, {"volatile", "true"}}},
        {"cAggrType aggr_type=aggr_interface",
         {{"visb", "unk"}, {"const", "false"}, {"volatile", "false"}, {"type", "interface"}}},
        {"cScopeCompil name=\"ns\" visb=visb_pro", {{"name", "ns"}, {"visb", "pro"}}},
        {"cInheritance src=1 dest=2 virt visb=visb_pro", {{"virt", "true"}, {"visb", "pro"}}},
        {"cInheritance src=1 dest=2 ordinal=-4 visb=9",
         {{"order", "-4"}, {"virt", "false"}, {"visb", "???"}}},
        {"cExternSymbol file=\"l.c\" line=1 name=\"sym\"", {{"file", "l.c"}, {"line", "1"}, {"name", "sym"}}},
        {"cBreak line=3", {}},
    };
    for (const auto &c : cases) {
        graph g(std::string("0 ") + c.node + "\n");
        EXPECT_EQ(attributes(element_text(g)), c.attrs) << c.node;
    }
}

// ---------------------------------------------------------------------------
// Every kind's element against the format written out here, kind by kind:
// its type name, the attributes of its record level and its own, and its
// links, each by name, form and order, each read from the field it names.

struct attr_row {
    const char *form;  // "bool", "int", "string" or "double"
    const char *name;
    const char *field;  // the record field it shows
};
using attr_list = std::vector<attr_row>;
struct link_row {
    std::string name;  // K_ stands for the kind's record name
    const char *field;
};
using link_list = std::vector<link_row>;

template <class T> std::vector<T> operator+(std::vector<T> a, const std::vector<T> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The record levels. The declarations here have a source position and no
// source language (`lang` 0 writes no line).
attr_list no_attributes()
{
    return {};
}
attr_list attr_common()
{
    return {{"bool", "constant_flag", "constant_flag"}, {"bool", "volatile_flag", "volatile_flag"},
            {"bool", "readonly_flag", "readonly_flag"}, {"bool", "unsigned_flag", "unsigned_flag"},
            {"bool", "static_flag", "static_flag"},     {"bool", "public_flag", "public_flag"},
            {"bool", "private_flag", "private_flag"},   {"bool", "protected_flag", "protected_flag"}};
}
attr_list attr_decl()
{
    return attr_common() + attr_list{{"string", "File", "srcf"},
                                     {"int", "Line", "srcl"},
                                     {"bool", "artificial", "artificial"},
                                     {"bool", "mutable_flag", "mutable_flag"},
                                     {"bool", "register_flag", "register_flag"},
                                     {"bool", "inline_flag", "inline_flag"}};
}
attr_list attr_type()
{
    return attr_common() + attr_list{{"int", "algn", "algn"},
                                     {"bool", "qual_const", "qual_const"},
                                     {"bool", "qual_volatile", "qual_volatile"},
                                     {"bool", "qual_restrict", "qual_restrict"}};
}
attr_list attr_cst()
{
    return attr_common();
}
attr_list attr_expr()
{
    return attr_common();
}
attr_list ririra_asg_nd()
{
    return {{"string", "file", "file"}, {"int", "line", "line"}};
}
attr_list ririra_identifier()
{
    return ririra_asg_nd() + attr_list{{"string", "name", "name"}, {"string", "visb", "visb"}};
}
attr_list ririra_type()
{
    return ririra_identifier() +
           attr_list{{"bool", "const", "const_flag"}, {"bool", "volatile", "volatile_flag"}};
}
attr_list ririra_object()
{
    return ririra_identifier() +
           attr_list{{"bool", "static", "static_flag"}, {"bool", "extern", "extern_flag"}};
}
attr_list ririra_scope()
{
    return ririra_identifier();
}
attr_list ririra_label()
{
    return ririra_identifier();
}
attr_list ririra_expression()
{
    return ririra_asg_nd();
}
attr_list ririra_operator()
{
    return ririra_expression() + attr_list{{"string", "op", "op"}};
}
attr_list ririra_ctrl_stmt()
{
    return ririra_asg_nd();
}
attr_list ririra_comment()
{
    return ririra_asg_nd();
}
attr_list ririra_loop()
{
    return ririra_ctrl_stmt();
}
attr_list ririra_jump()
{
    return ririra_ctrl_stmt();
}
attr_list ririra_arc()
{
    return {{"int", "order", "ordinal"}};
}
attr_list ririra_arc_reference()
{
    return ririra_arc();
}
attr_list ririra_arc_syntax()
{
    return ririra_arc();
}

link_list no_edges()
{
    return {};
}
link_list edge_common()
{
    return {};
}
link_list edge_decl()
{
    return {{"decl_name", "name"}, {"decl_mngl", "mngl"}, {"decl_type", "type"},
            {"decl_chan", "chan"}, {"decl_scpe", "scpe"}, {"decl_vindex", "vindex"}};
}
link_list edge_type()
{
    return {{"type_name", "name"}, {"type_size", "size"}, {"type_unql", "unql"}};
}
link_list edge_cst()
{
    return {{"cst_type", "type"}};
}
link_list edge_expr()
{
    return {{"expr_type", "type"}};
}

struct kind_row {
    int kind;
    const char *name;              // its type name in the document
    const char *record = nullptr;  // the record name, where it is not the type name
};

struct element_row {
    std::vector<kind_row> kinds;
    attr_list (*attributes)();
    link_list (*edges)();
    attr_list own_attributes;
    link_list own_links;
};

const element_row element_rows[] = {
    {{{0, "error_mark"},
      {2, "op_identifier"},
      {5, "block"},
      {40, "bit_field_ref"},
      {42, "buffer_ref"},
      {55, "placeholder_expr"},
      {134, "label_expr"},
      {135, "goto_expr"},
      {136, "return_expr"},
      {178, "template_parm_index"},
      {186, "default_arg"},
      {188, "binding", "cplus_binding"},
      {190, "wrapper"}},
     attr_common,
     edge_common,
     {},
     {}},
    {{{1, "identifier_node"}},
     attr_common,
     edge_common,
     {{"int", "lngt", "lngt"},
      {"string", "strg", "strg"},
      {"int", "op_type_un", "op_type_un"},
      {"int", "tynm", "tynm"}},
     {}},
    {{{3, "tree_list"}},
     attr_common,
     edge_common,
     {},
     {{"tree_list_purpose", "purpose"}, {"tree_list_value", "value"}, {"tree_list_chan", "chan"}}},
    {{{6, "void_type"},
      {9, "complex_type"},
      {10, "vector_type"},
      {12, "boolean_type"},
      {13, "char_type"},
      {15, "offset_type"},
      {18, "file_type"},
      {20, "set_type"},
      {23, "qual_union_type"},
      {25, "lang_type"},
      {179, "template_type_parm"},
      {180, "template_template_parm"},
      {181, "bound_template_template_parm"},
      {182, "typename_type"},
      {183, "typeof_type"}},
     attr_type,
     edge_type,
     {},
     {}},
    {{{7, "integer_type"}},
     attr_type,
     edge_type,
     {{"bool", "unsigned", "unsgnd"}, {"int", "prec", "prec"}},
     {{"integer_type_min", "min"}, {"integer_type_max", "max"}}},
    {{{8, "real_type"}}, attr_type, edge_type, {{"int", "prec", "prec"}}, {}},
    {{{11, "enumeral_type"}},
     attr_type,
     edge_type,
     {{"bool", "unsigned", "unsgnd"}, {"int", "prec", "prec"}},
     {{"enumeral_type_min", "min"}, {"enumeral_type_max", "max"}, {"enumeral_type_csts", "csts"}}},
    {{{14, "pointer_type"}},
     attr_type,
     edge_type,
     {{"bool", "ptrmem", "ptrmem"}},
     {{"pointer_type_ptd", "ptd"}, {"pointer_type_cls", "cls"}}},
    {{{16, "reference_type"}}, attr_type, edge_type, {}, {{"reference_type_refd", "refd"}}},
    {{{17, "method_type"}},
     attr_type,
     edge_type,
     {},
     {{"method_type_clas", "clas"}, {"method_type_retn", "retn"}, {"method_type_prms", "prms"}}},
    {{{19, "array_type"}},
     attr_type,
     edge_type,
     {},
     {{"array_type_elts", "elts"}, {"array_type_domn", "domn"}}},
    {{{21, "record_type"}},
     attr_type,
     edge_type,
     {{"bool", "ptrmem", "ptrmem"}, {"bool", "isClass", "isClass"}},
     {{"record_type_flds", "flds"},
      {"record_type_fncs", "fncs"},
      {"record_type_ptd", "ptd"},
      {"record_type_cls", "cls"},
      {"record_type_vfld", "vfld"},
      {"record_type_binf", "binf"}}},
    {{{24, "function_type"}},
     attr_type,
     edge_type,
     {},
     {{"function_type_retn", "retn"}, {"function_type_prms", "prms"}}},
    {{{26, "integer_cst"}}, attr_cst, edge_cst, {{"int", "high", "high"}, {"int", "low", "low"}}, {}},
    {{{27, "real_cst"}}, attr_cst, edge_cst, {{"double", "value", "value"}}, {}},
    {{{28, "complex_cst"}}, attr_cst, edge_cst, {}, {}},
    {{{29, "string_cst"}}, attr_cst, edge_cst, {{"int", "lngt", "lngt"}, {"string", "strg", "strg"}}, {}},
    {{{30, "function_decl"}},
     attr_decl,
     edge_decl,
     {{"bool", "undef", "undef"},
      {"int", "ext_static", "ext_static"},
      {"bool", "member", "member"},
      {"bool", "constr", "constr"},
      {"bool", "decon", "decon"},
      {"bool", "oper", "oper"},
      {"bool", "conver", "conver"},
      {"bool", "ginit", "ginit"},
      {"bool", "gfini", "gfini"},
      {"bool", "virt", "virt"},
      {"bool", "pvirt", "pvirt"}},
     {{"function_decl_args", "args"}, {"function_decl_body", "body"}}},
    {{{31, "label_decl"}, {184, "using_decl"}}, attr_decl, edge_decl, {}, {}},
    {{{32, "const_decl"}}, attr_decl, edge_decl, {}, {{"const_decl_cnst", "cnst"}}},
    {{{33, "type_decl"}}, attr_decl, edge_decl, {}, {{"type_decl_friends", "friends"}}},
    {{{34, "var_decl"}},
     attr_decl,
     edge_decl,
     {{"int", "algn", "algn"}, {"int", "used", "used"}},
     {{"var_decl_init", "init"}, {"var_decl_size", "size"}}},
    {{{35, "parm_decl"}},
     attr_decl,
     edge_decl,
     {{"int", "algn", "algn"}, {"int", "used", "used"}},
     {{"parm_decl_argt", "argt"}, {"parm_decl_size", "size"}}},
    {{{36, "result_decl"}},
     attr_decl,
     edge_decl,
     {{"int", "algn", "algn"}},
     {{"result_decl_init", "init"}, {"result_decl_size", "size"}}},
    {{{37, "field_decl"}},
     attr_decl,
     edge_decl,
     {{"int", "algn", "algn"}, {"int", "bitfield", "bitfield"}},
     {{"field_decl_init", "init"}, {"field_decl_size", "size"}, {"field_decl_bpos", "bpos"}}},
    {{{38, "namespace_decl"}},
     attr_decl,
     edge_decl,
     {},
     {{"namespace_decl_dcls", "dcls"}, {"namespace_decl_alis", "alis"}}},
    {{{39, "component_ref"}, {43, "array_ref"}, {165, "offset_ref"}, {171, "scope_ref"}, {172, "member_ref"}},
     attr_common,
     edge_common,
     {},
     {{"K_op0", "op0"}, {"K_op1", "op1"}}},
    {{{41, "indirect_ref"}}, attr_common, edge_common, {}, {{"indirect_ref_op0", "op0"}}},
    {{{44, "constructor"}}, attr_expr, edge_expr, {}, {{"constructor_elts", "elts"}}},
    {{{45, "compound_expr"}},
     attr_common,
     edge_common,
     {},
     {{"compound_ref_op0", "op0"}, {"compound_ref_op1", "op1"}}},
    {{{46, "modify_expr"},
      {47, "init_expr"},
      {58, "minus_expr"},
      {60, "trunc_div_expr"},
      {61, "ceil_div_expr"},
      {62, "floor_div_expr"},
      {63, "round_div_expr"},
      {64, "trunc_mod_expr"},
      {65, "ceil_mod_expr"},
      {66, "floor_mod_expr"},
      {67, "round_mod_expr"},
      {68, "rdiv_expr"},
      {69, "exact_div_expr"},
      {75, "expon_expr"},
      {77, "min_expr"},
      {78, "max_expr"},
      {81, "lshift_expr"},
      {82, "rshift_expr"},
      {83, "lrotate_expr"},
      {84, "rrotate_expr"},
      {85, "bit_ior_expr"},
      {86, "bit_xor_expr"},
      {87, "bit_and_expr"},
      {88, "bit_andtc_expr"},
      {90, "truth_andif_expr"},
      {91, "truth_orif_expr"},
      {92, "truth_and_expr"},
      {93, "truth_or_expr"},
      {94, "truth_xor_expr"},
      {96, "lt_expr"},
      {97, "le_expr"},
      {98, "gt_expr"},
      {99, "ge_expr"},
      {100, "eq_expr"},
      {101, "ne_expr"},
      {102, "unordered_expr"},
      {103, "ordered_expr"},
      {104, "unlt_expr"},
      {105, "unle_expr"},
      {106, "ungt_expr"},
      {107, "unge_expr"},
      {108, "uneq_expr"},
      {109, "in_expr"},
      {110, "set_le_expr"},
      {112, "range_expr"},
      {122, "complex_expr"},
      {126, "predecrement_expr"},
      {127, "preincrement_expr"},
      {128, "postdecrement_expr"},
      {129, "postincrement_expr"},
      {131, "try_catch_expr"},
      {132, "try_finally", "try_finally_expr"},
      {133, "goto_subroutine", "goto_subroutine_expr"},
      {142, "switch_expr"},
      {187, "template_id_expr"},
      {206, "ctor_initializer"},
      {207, "return_init"}},
     attr_expr,
     edge_expr,
     {},
     {{"K_op0", "op0"}, {"K_op1", "op1"}}},
    {{{48, "target_expr"}},
     attr_expr,
     edge_expr,
     {},
     {{"target_expr_decl", "decl"}, {"target_expr_init", "init"}, {"target_expr_clnp", "clnp"}}},
    {{{49, "cond_expr"}, {193, "modop_expr"}},
     attr_expr,
     edge_expr,
     {},
     {{"K_op0", "op0"}, {"K_op1", "op1"}, {"K_op2", "op2"}}},
    {{{50, "bind_expr"}}, attr_expr, edge_expr, {}, {{"bind_expr_vars", "vars"}, {"bind_expr_body", "body"}}},
    {{{51, "call_expr"}}, attr_expr, edge_expr, {}, {{"call_expr_fn", "fn"}, {"call_expr_args", "args"}}},
    {{{52, "method_call_expr"}},
     attr_expr,
     edge_expr,
     {},
     {{"method_call_expr_fn", "fn"},
      {"method_call_expr_object", "object"},
      {"method_call_expr_args", "args"}}},
    {{{53, "with_cleanup_expr"},
      {56, "with_record_expr"},
      {117, "unsave_expr"},
      {118, "rtl_expr"},
      {120, "reference_expr"},
      {121, "entry_value_expr"},
      {139, "labeled_block_expr"},
      {176, "empty_class_expr"},
      {192, "function_name"},
      {198, "dynamic_cast_expr"},
      {199, "dotstar_expr"},
      {200, "typeid_expr"},
      {201, "pseudo_dtor_expr"},
      {212, "tag_defn"}},
     attr_expr,
     edge_expr,
     {},
     {}},
    {{{54, "cleanup_point_expr"},
      {70, "fix_trunc_expr"},
      {71, "fix_ceil_expr"},
      {72, "fix_floor_expr"},
      {73, "fix_round_expr"},
      {74, "float_expr"},
      {76, "negate_expr"},
      {79, "abs_expr"},
      {80, "ffs_expr"},
      {89, "bit_not_expr"},
      {95, "truth_not_expr"},
      {111, "card_expr"},
      {113, "convert_expr"},
      {115, "non_lvalue_expr"},
      {116, "save_expr"},
      {119, "addr_expr"},
      {123, "conj_expr"},
      {124, "realpart_expr"},
      {130, "va_arg_expr"},
      {145, "sizeof_expr"},
      {146, "arrow_expr"},
      {147, "alignof_expr"},
      {167, "nw_expr", "new_expr"},
      {168, "vec_nw_expr", "vec_new_expr"},
      {169, "dl_expr", "delete_expr"},
      {170, "vec_dl_expr", "vec_delete_expr"},
      {173, "type_expr"},
      {175, "throw_expr"},
      {191, "lookup_expr"},
      {213, "identity_conv"},
      {214, "lvalue_conv"},
      {215, "qual_conv"},
      {216, "std_conv"},
      {217, "ptr_conv"},
      {218, "pmem_conv"},
      {219, "base_conv"},
      {220, "ref_bind"},
      {221, "user_conv"},
      {222, "ambig_conv"},
      {223, "rvalue_conv"}},
     attr_expr,
     edge_expr,
     {},
     {{"K_op0", "op0"}}},
    {{{57, "plus_expr"}, {59, "mult_expr"}},
     attr_expr,
     edge_expr,
     {},
     {{"K_expr0", "op0"}, {"K_expr1", "op1"}}},
    {{{114, "nop_expr"}}, attr_expr, edge_expr, {}, {{"nop_expr_expr0", "op0"}}},
    {{{137, "exit_expr"}}, attr_common, edge_common, {}, {{"exit_expr_cond", "cond"}}},
    {{{138, "loop_expr"}}, attr_common, edge_common, {}, {{"loop_expr_body", "body"}}},
    {{{141, "expr_with_file_location"}},
     attr_expr,
     edge_expr,
     {},
     {{"expr_with_file_location_expr2", "expr2"}}},
    {{{148, "expr_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"expr_stmt_expr", "texpr"}, {"expr_stmt_next", "next"}}},
    {{{149, "compound_stmt"}, {210, "handler"}, {211, "must_not_throw_expr"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"K_body", "body"}, {"K_next", "next"}}},
    {{{150, "decl_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"decl_stmt_decl", "decl"}, {"decl_stmt_next", "next"}}},
    {{{151, "if_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"if_stmt_cond", "cond"},
      {"if_stmt_thenc", "thenc"},
      {"if_stmt_elsec", "elsec"},
      {"if_stmt_next", "next"}}},
    {{{152, "for_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"for_stmt_init", "init"},
      {"for_stmt_cond", "cond"},
      {"for_stmt_expr", "inc_expr"},
      {"for_stmt_body", "body"},
      {"for_stmt_next", "next"}}},
    {{{153, "while_stmt"}, {154, "do_stmt"}, {158, "switch_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"K_cond", "cond"}, {"K_body", "body"}, {"K_next", "next"}}},
    {{{155, "return_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"return_stmt_expr", "ret_expr"}, {"return_stmt_next", "next"}}},
    {{{156, "break_stmt"}, {157, "continue_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"K_next", "next"}}},
    {{{159, "goto_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"goto_stmt_dest", "dest"}, {"goto_stmt_next", "next"}}},
    {{{160, "label_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"label_stmt_label", "label"}, {"label_stmt_next", "next"}}},
    {{{161, "asm_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}, {"int", "vol", "vol"}},
     {{"asm_stmt_strg", "strg"},
      {"asm_stmt_outs", "outs"},
      {"asm_stmt_ins", "ins"},
      {"asm_stmt_clbr", "clbr"},
      {"asm_stmt_next", "next"}}},
    {{{162, "scope_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"},
      {"int", "null", "null"},
      {"int", "begin_end", "begin_end"},
      {"int", "clnp", "clnp"}},
     {{"scope_stmt_next", "next"}}},
    {{{163, "case_label"}},
     attr_expr,
     edge_expr,
     {},
     {{"case_label_low", "low"}, {"case_label_high", "high"}, {"case_label_next", "next"}}},
    {{{164, "stmt_expr"}}, attr_expr, edge_expr, {}, {{"stmt_expr_stmt", "stmt"}}},
    {{{166, "ptrmem_cst"}}, attr_cst, edge_cst, {}, {{"ptrmem_cst_clas", "clas"}, {"ptrmem_cst_mbr", "mbr"}}},
    {{{174, "aggr_init_expr"}},
     attr_expr,
     edge_expr,
     {{"int", "ctor", "ctor"}},
     {{"aggr_init_expr_fn", "fn"}, {"aggr_init_expr_args", "args"}, {"aggr_init_expr_decl", "decl"}}},
    {{{177, "template_decl"}},
     attr_decl,
     edge_decl,
     {},
     {{"template_decl_rslt", "rslt"}, {"template_decl_inst", "inst"}, {"template_decl_spcs", "spcs"}}},
    {{{189, "overload"}},
     attr_common,
     edge_common,
     {},
     {{"overload_crnt", "crnt"}, {"overload_chan", "chan"}}},
    {{{194, "cast_expr"},
      {195, "reinterpret_cast_expr"},
      {196, "const_cast_expr"},
      {197, "static_cast_expr"}},
     attr_expr,
     edge_expr,
     {},
     {{"op0", "op0"}, {"op1", "op1"}}},
    {{{202, "subobject"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"subobject_clnp", "clnp"}, {"subobject_next", "next"}}},
    {{{203, "ctor_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}, {"int", "beg_end", "beg_end"}},
     {{"ctor_stmt_next", "next"}}},
    {{{204, "cleanup_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"cleanup_stmt_decl", "decl"}, {"cleanup_stmt_expr", "clean_expr"}, {"cleanup_stmt_next", "next"}}},
    {{{205, "start_catch_stmt"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}},
     {{"start_catch_stmt_catch_type", "catch_type"}, {"start_catch_stmt_next", "next"}}},
    {{{208, "try_block"}},
     attr_expr,
     edge_expr,
     {{"int", "line", "line"}, {"bool", "cleanup", "cleanup"}},
     {{"try_block_body", "body"}, {"try_block_hdlr", "hdlr"}, {"try_block_next", "next"}}},
    {{{209, "eh_spec_block"}},
     attr_common,
     no_edges,
     {{"int", "line", "line"}},
     {{"eh_spec_block_raises", "raises"}, {"eh_spec_block_body", "body"}, {"eh_spec_block_next", "next"}}},
    {{{224, "cAsgNd"}, {284, "cInstantiation"}, {285, "cSqlStmt"}, {288, "cThrowSpec"}, {289, "cAsmBlock"}},
     ririra_asg_nd,
     no_edges,
     {},
     {}},
    {{{225, "cExternSymbol"}}, ririra_asg_nd, no_edges, {{"string", "name", "name"}}, {}},
    {{{226, "cIdentifier"}, {257, "cEnumerator"}, {258, "cTemplate"}, {259, "cFormalTemplate"}},
     ririra_identifier,
     no_edges,
     {},
     {}},
    {{{227, "cType"},
      {228, "cBuiltInType"},
      {230, "cEnumType"},
      {231, "cAliasType"},
      {232, "cForwardType"},
      {233, "cArrayType"},
      {234, "cPtrType"},
      {235, "cRefType"},
      {236, "cFctType"},
      {237, "cFormalType"}},
     ririra_type,
     no_edges,
     {},
     {}},
    {{{238, "cScope"},
      {240, "cScopeGlb"},
      {241, "cScopeCompil"},
      {242, "cScopeFile"},
      {243, "cPackage"},
      {244, "cNameSpace"},
      {245, "cBlock"},
      {246, "cStaticBlock"},
      {247, "cTryBlock"},
      {248, "cCatchBlock"},
      {249, "cFinallyBlock"},
      {250, "cSynchronizedBlock"}},
     ririra_scope,
     no_edges,
     {},
     {}},
    {{{251, "cObject"}, {252, "cFormalObject"}}, ririra_object, no_edges, {}, {}},
    {{{254, "cLabel"}, {255, "cCaseLabel"}, {256, "cDefaultLabel"}}, ririra_label, no_edges, {}, {}},
    {{{260, "cExpression"},
      {261, "cEmptyExpr"},
      {263, "cSyntaxError"},
      {266, "cInitList"},
      {267, "cActualFctParamList"},
      {268, "cCreationExpr"},
      {269, "cDestroyExpr"}},
     ririra_expression,
     no_edges,
     {},
     {}},
    {{{262, "cLiteral"}}, ririra_expression, no_edges, {{"string", "value", "value"}}, {}},
    {{{264, "cNameRef"}}, ririra_expression, no_edges, {{"string", "name", "name"}}, {}},
    {{{265, "cOperator"}}, ririra_operator, no_edges, {}, {}},
    {{{270, "cCntrlStmt"}, {271, "cSelection"}, {272, "cIf"}, {273, "cSwitch"}},
     ririra_ctrl_stmt,
     no_edges,
     {},
     {}},
    {{{274, "cJump"}, {275, "cGoto"}, {276, "cReturn"}, {277, "cBreak"}, {278, "cContinue"}, {279, "cThrow"}},
     ririra_jump,
     no_edges,
     {},
     {}},
    {{{280, "cLoop"}, {281, "cDoWhileLoop"}, {282, "cWhileDoLoop"}, {283, "cForLoop"}},
     ririra_loop,
     no_edges,
     {},
     {}},
    {{{286, "cComment"}, {287, "cJavaDocComment"}}, ririra_comment, no_edges, {}, {}},
    {{{290, "cArc"}}, ririra_arc, no_edges, {}, {}},
    {{{291, "cArcReference"},
      {292, "cInstance"},
      {294, "cImplements"},
      {295, "cArcFriend"},
      {296, "cArcDefLoc"},
      {297, "cRefersTo"},
      {298, "cConstructed"},
      {299, "cResolvedByExtern"},
      {300, "cRefersToExtern"}},
     ririra_arc_reference,
     no_edges,
     {},
     {}},
    {{{301, "cArcSyntax"},
      {302, "cArcSon"},
      {303, "cArcTrue"},
      {304, "cArcFalse"},
      {305, "cArcOpd"},
      {306, "cImport"},
      {307, "cArcCond"},
      {308, "cArcForInit"},
      {309, "cArcForIncr"},
      {310, "cArcInitVal"},
      {311, "cArcBitDim"},
      {312, "cArcArrayDim"}},
     ririra_arc_syntax,
     no_edges,
     {},
     {}},
    // The bodies of their own.
    {{{4, "tree_vec"}},
     attr_common,
     edge_common,
     {{"int", "length", "length"}},
     {{"tree_vec_binfo_type", "binfo_type"}}},
    {{{22, "union_type"}},
     attr_type,
     edge_type,
     {{"bool", "ptrmem", "ptrmem"}},
     {{"record_type_flds", "flds"},
      {"record_type_fncs", "fncs"},
      {"record_type_ptd", "ptd"},
      {"record_type_cls", "cls"},
      {"record_type_vfld", "vfld"},
      {"record_type_binf", "binf"}}},
    {{{229, "cAggrType"}}, ririra_type, no_edges, {{"string", "type", "aggr_type"}}, {}},
    {{{253, "cFunction"}},
     ririra_identifier,
     no_edges,
     {{"bool", "static", "static_flag"},
      {"bool", "extern", "extern_flag"},
      {"bool", "const", "const_flag"},
      {"int", "voffset", "voffset"},
      {"string", "virtual", "virtual_code"}},
     {}},
    {{{293, "cInheritance"}},
     ririra_arc_reference,
     no_edges,
     {{"bool", "virt", "virt"}, {"string", "visb", "visb"}},
     {}},
    // Kinds without a body: an empty element.
    {{{125, "imagpart_expr"},
      {140, "exit_block_expr"},
      {143, "exc_ptr_expr"},
      {144, "srcloc"},
      {185, "using_directive"},
      {239, "cSystem"}},
     no_attributes,
     no_edges,
     {},
     {}},
};

// The attributes of an element, in order, as (form, name, value).
std::vector<std::vector<std::string>> typed_attributes(const std::string &text)
{
    std::vector<std::vector<std::string>> out;
    std::regex attr("   <attr name=\"([a-zA-Z_]+)\"><([a-z]+)>([^<]*)</[a-z]+></attr>\n");
    for (std::sregex_iterator m(text.begin(), text.end(), attr), end; m != end; ++m)
        out.push_back({(*m)[2], (*m)[1], (*m)[3]});
    return out;
}

// What an attribute of a field filled by distinct_fields shows: numbers as
// they are, a string the pool's "x"; an enumeration's text is not checked.
std::string shown_value(const gd_kind_info *info, const gd_graph_node &rec, const attr_row &a)
{
    const gd_field *f = gd_find_field(info, a.field);
    if (f == nullptr) return std::string("no field ") + a.field;
    if (f->type == GD_FT_STR) return "x";
    const int64_t v = gd_field_get(&rec, f);
    if (std::string(a.form) == "bool") return v != 0 ? "true" : "false";
    return std::to_string((int32_t)v);
}

TEST(GxlElementTable, EveryKindWritesItsNamedAttributesAndLinks)
{
    std::set<int> listed;
    for (const element_row &row : element_rows) {
        for (const kind_row &k : row.kinds) {
            SCOPED_TRACE(k.name);
            EXPECT_TRUE(listed.insert(k.kind).second) << "listed twice";
            graph g = distinct_fields(k.kind, true);
            const gd_kind_info *info = gd_kind_info_of(k.kind);
            const gd_graph_node &rec = g.node(0);
            const std::string text = element_text(g);
            EXPECT_NE(text.find(std::string("<type xlink:href=\"gd.xml#") + k.name + "\" />\n"),
                      std::string::npos)
                << text;

            std::vector<std::vector<std::string>> attrs;
            for (const attr_row &a : row.attributes() + row.own_attributes) {
                const gd_field *f = gd_find_field(info, a.field);
                const bool checked = f == nullptr || (f->type != GD_FT_ENUM && f->values == nullptr);
                attrs.push_back({a.form, a.name, checked ? shown_value(info, rec, a) : ""});
            }
            std::vector<std::vector<std::string>> written = typed_attributes(text);
            // Enumerations show as text of their own; only their place is compared.
            for (size_t i = 0; i < attrs.size() && i < written.size(); i++)
                if (attrs[i][2].empty()) written[i][2] = "";
            EXPECT_EQ(written, attrs);

            pairs links;
            const std::string record = k.record ? k.record : k.name;
            for (const link_row &l : row.edges() + row.own_links) {
                const std::string name = l.name.rfind("K_", 0) == 0 ? record + l.name.substr(1) : l.name;
                links.emplace_back(name, field_value(g, k.kind, l.field));
            }
            EXPECT_EQ(links_written(text), links);
        }
    }
    // Every kind up to the last arc kind, once.
    std::set<int> all;
    for (int k = 0; k <= dC_ARC_ARRAY_DIM; k++) all.insert(k);
    EXPECT_EQ(listed, all);
}

}  // namespace
