// The export table: the record levels with the fields of their base records,
// and for every node kind the level its node dump block and GXL element open
// with and the fields of its own record that they show. One row per level,
// and one per group of kinds that both exporters show alike; kinds listed
// nowhere (imagpart_expr, exc_ptr_expr, srcloc, using_directive, cSystem,
// num_nodes, and every code beyond) have no body in either.
#include "gd/export/kind_exports.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

#include "gd/export/kind_rows.h"

namespace gdexport {
namespace {

using enum export_level;

const char *const aggr_names[] = {"class", "record", "struct", "union", "area", "interface"};
const char *const virtual_names[] = {"unknown", "non-virtual", "virtual", "pure-virtual"};
const char *const dump_visb_names[] = {"unknown", "private", "protected", "public"};
const char *const gxl_visb_names[] = {"unk", "pri", "pro", "pub"};

constexpr choice_texts dump_aggr_choice = {aggr_names, 6, nullptr,
                                           "nodepeek: node %d has unknown aggregate type %d\n", true};
constexpr choice_texts gxl_aggr_choice = {aggr_names, 6, nullptr, "Unknown ririra aggregate type %d\n",
                                          false};
constexpr choice_texts virtual_choice = {virtual_names, 4, "unknown", nullptr, false};
// The visibility of an identifier and of an inheritance arc: the dump names
// the node only for the arc.
constexpr choice_texts dump_identifier_visb_choice = {
    dump_visb_names, 4, nullptr, "nodepeek: node has illegal visibility code %d\n", false};
constexpr choice_texts dump_visb_choice = {dump_visb_names, 4, nullptr,
                                           "nodepeek: node %d has illegal visibility code %d\n", true};
constexpr choice_texts gxl_visb_choice = {gxl_visb_names, 4, "???", nullptr, false};
constexpr choice_texts dump_op_choice = {dc_op_string, dc_no_more_operators, nullptr, "unknown operator %d\n",
                                         false};
constexpr choice_texts gxl_op_choice = {dc_op_string, dc_no_more_operators, "???", "unknown operator %d\n",
                                        false};

// ---------------------------------------------------------------------------
// The record levels: the fields of each base record, after those of the
// levels it derives from. The dump heads a level's lines with its name
// (but for the Ririra type level) and indents them by one blank.

// The macros stay one line each: the formatter would spread each braced
// initialiser over six.
// clang-format off
#define HEADING(name) shown_field{nullptr, {name, dump_form::heading}, {}}
// A link line of the dump alone; Ririra kinds indent their own lines by one
// blank too.
#define DC_LINK(f) shown_field{f, {" " f ": ", dump_form::link}, {}}
#define BASE_FLAG(f) shown_field{f, {" " f ": ", dump_form::number}, {gxl_form::boolean, f}}
#define DECL_LINK(f) shown_field{f, {" " f ": ", dump_form::link}, {gxl_form::link, "decl_" f}}
// clang-format on

constexpr shown_field common_fields[] = {
    HEADING("common"),          shown_field{"type", {" type_number: ", dump_form::number}, {}},
    BASE_FLAG("constant_flag"), BASE_FLAG("volatile_flag"),
    BASE_FLAG("readonly_flag"), BASE_FLAG("unsigned_flag"),
    BASE_FLAG("static_flag"),   BASE_FLAG("public_flag"),
    BASE_FLAG("private_flag"),  BASE_FLAG("protected_flag"),
    DC_LINK("other_node")};
constexpr shown_field decl_fields[] = {
    HEADING("decl"),
    DECL_LINK("name"),
    DECL_LINK("mngl"),
    DECL_LINK("type"),
    DECL_LINK("chan"),
    DECL_LINK("scpe"),
    DECL_LINK("vindex"),
    shown_field{"srcf", {" srcf: ", dump_form::decl_file}, {gxl_form::decl_file, "File"}, "srcl"},
    shown_field{"srcl",
                {" srcl: ", dump_form::number_or_none},
                {gxl_form::number, "Line", nullptr, 0, left_out::none}},
    shown_field{"lang", {" src_lang: ", dump_form::enum_text}, {gxl_form::enum_text, "src_lang"}},
    BASE_FLAG("artificial"),
    BASE_FLAG("mutable_flag"),
    BASE_FLAG("register_flag"),
    BASE_FLAG("inline_flag")};
// The dump shows the three qualifiers as letters on one line.
constexpr shown_field type_fields[] = {
    HEADING("type"),
    shown_field{"name", {" name: ", dump_form::link}, {gxl_form::link, "type_name"}},
    shown_field{"size", {" size: ", dump_form::link}, {gxl_form::link, "type_size"}},
    shown_field{"algn", {" algn: ", dump_form::number}, {gxl_form::number, "algn"}},
    shown_field{"unql", {" unql: ", dump_form::link}, {gxl_form::link, "type_unql"}},
    shown_field{"qual_const", {" qual: ", dump_form::qualifiers}, {gxl_form::boolean, "qual_const"}},
    shown_field{"qual_volatile", {}, {gxl_form::boolean, "qual_volatile"}},
    shown_field{"qual_restrict", {}, {gxl_form::boolean, "qual_restrict"}}};
constexpr shown_field cst_fields[] = {
    HEADING("cst"), shown_field{"type", {" type: ", dump_form::link}, {gxl_form::link, "cst_type"}}};
constexpr shown_field expr_fields[] = {
    HEADING("expr"), shown_field{"type", {" type: ", dump_form::link}, {gxl_form::link, "expr_type"}}};
constexpr shown_field asg_nd_fields[] = {
    HEADING("asg_nd"),
    shown_field{"file", {" file: ", dump_form::place_file}, {gxl_form::place_file, "file"}, "line"},
    shown_field{"line", {" line: ", dump_form::number}, {gxl_form::place_line, "line"}, "file"}};
constexpr shown_field identifier_fields[] = {
    HEADING("identifier"),
    shown_field{
        "name", {" name: ", dump_form::text_offset, nullptr, left_out::none}, {gxl_form::string, "name"}},
    shown_field{"visb",
                {" visb: ", dump_form::choice, &dump_identifier_visb_choice},
                {gxl_form::choice, "visb", &gxl_visb_choice}},
    DC_LINK("instance"),
    DC_LINK("defLoc"),
    DC_LINK("arcFriend"),
    DC_LINK("array_dim")};
constexpr shown_field ririra_type_fields[] = {
    shown_field{"const_flag", {" const: ", dump_form::number}, {gxl_form::boolean, "const"}},
    shown_field{"volatile_flag", {" volatile: ", dump_form::number}, {gxl_form::boolean, "volatile"}},
    shown_field{"implements", {" implements; ", dump_form::link}, {}}};
constexpr shown_field object_fields[] = {
    HEADING("object"),
    shown_field{"static_flag", {" static: ", dump_form::number}, {gxl_form::boolean, "static"}},
    shown_field{"extern_flag", {" extern: ", dump_form::number}, {gxl_form::boolean, "extern"}},
    DC_LINK("bitfield_dim"),
    DC_LINK("initial_val"),
    DC_LINK("link")};
constexpr shown_field scope_fields[] = {HEADING("scope"), DC_LINK("contents")};
constexpr shown_field expression_fields[] = {HEADING("expression"), DC_LINK("refers")};
constexpr shown_field operator_fields[] = {HEADING("operator"),
                                           shown_field{"op",
                                                       {" op ", dump_form::choice_value, &dump_op_choice},
                                                       {gxl_form::choice, "op", &gxl_op_choice}},
                                           DC_LINK("ops")};
constexpr shown_field arc_fields[] = {HEADING("arc"),
                                      shown_field{"ordinal",
                                                  {" ordinal ", dump_form::number, nullptr, left_out::zero},
                                                  {gxl_form::number, "order", nullptr, 0, left_out::zero}},
                                      DC_LINK("next")};

#undef HEADING
#undef BASE_FLAG
#undef DECL_LINK

struct level_row {
    export_level level;
    int layout_kind;  // a kind whose record is the level's base record
    // The levels whose fields come first: the Ririra levels derive from the
    // common head in the dump only.
    export_level dump_base;
    export_level gxl_base;
    std::span<const shown_field> fields;
};

const level_row level_rows[] = {
    {common, gERROR_MARK, none, none, common_fields},
    {type, gVOID_TYPE, common, common, type_fields},
    {cst, gCOMPLEX_CST, common, common, cst_fields},
    {decl, gLABEL_DECL, common, common, decl_fields},
    {expr, gWITH_CLEANUP_EXPR, common, common, expr_fields},
    {asg_nd, dC_ASG_ND, common, none, asg_nd_fields},
    {identifier, dC_IDENTIFIER, asg_nd, asg_nd, identifier_fields},
    {ririra_type, dC_TYPE, identifier, identifier, ririra_type_fields},
    {scope, dC_SCOPE, identifier, identifier, scope_fields},
    {object, dC_OBJECT, identifier, identifier, object_fields},
    {label, dC_LABEL, identifier, identifier, {}},
    {expression, dC_EXPRESSION, asg_nd, asg_nd, expression_fields},
    {ririra_operator, dC_OPERATOR, expression, expression, operator_fields},
    {ctrl_stmt, dC_CNTRL_STMT, asg_nd, asg_nd, {}},
    {jump, dC_JUMP, ctrl_stmt, ctrl_stmt, {}},
    {loop, dC_LOOP, ctrl_stmt, ctrl_stmt, {}},
    {comment, dC_COMMENT, asg_nd, asg_nd, {}},
    {arc, dC_ARC, common, none, arc_fields},
    {arc_reference, dC_ARC_REFERENCE, arc, arc, {}},
    {arc_syntax, dC_ARC_SYNTAX, arc, arc, {}},
};

// ---------------------------------------------------------------------------
// The kinds' own fields

// The common shapes of a compiler kind's field: a dump line "  label: " and
// a GXL link named after the record, or an attribute named as the field.
// clang-format off
#define LINK(f) shown_field{f, {"  " f ": ", dump_form::link}, {gxl_form::link, "_" f}}
#define LINK_AS(f, label, edge) shown_field{f, {"  " label ": ", dump_form::link}, {gxl_form::link, edge}}
#define NUMBER(f) shown_field{f, {"  " f ": ", dump_form::number}, {gxl_form::number, f}}
#define NUMBER_AS(f, label, attr) shown_field{f, {"  " label ": ", dump_form::number}, {gxl_form::number, attr}}
#define FLAG(f) shown_field{f, {"  " f ": ", dump_form::number}, {gxl_form::boolean, f}}
#define FLAG_AS(f, label, attr) shown_field{f, {"  " label ": ", dump_form::number}, {gxl_form::boolean, attr}}
// A field only one of them shows (DC_LINK above for the Ririra kinds).
#define DUMP_LINK(f) shown_field{f, {"  " f ": ", dump_form::link}, {}}
#define GXL_LINK(f) shown_field{f, {}, {gxl_form::link, "_" f}}
// clang-format on

constexpr shown_field identifier_node_fields[] = {
    NUMBER("lngt"), shown_field{"strg", {"  strg: ", dump_form::text_offset}, {gxl_form::string, "strg"}},
    NUMBER_AS("op_type_un", "opt_type_un", "op_type_un"), NUMBER("tynm")};
constexpr shown_field tree_list_fields[] = {LINK("purpose"), LINK("value"), LINK("chan")};
constexpr shown_field tree_vec_fields[] = {NUMBER("length"), LINK("binfo_type")};
// The ranks: GXL writes "unsigned" before "prec", the dump the other way.
constexpr shown_field integer_type_fields[] = {
    shown_field{"prec", {"  prec: ", dump_form::number}, {gxl_form::number, "prec", nullptr, 2}},
    shown_field{"unsgnd", {"  unsigned: ", dump_form::number}, {gxl_form::boolean, "unsigned", nullptr, 1}},
    LINK("min"), LINK("max")};
constexpr shown_field real_type_fields[] = {NUMBER("prec")};
// The ranks as for integer_type.
constexpr shown_field enumeral_type_fields[] = {
    shown_field{"prec", {"  prec: ", dump_form::number}, {gxl_form::number, "prec", nullptr, 2}},
    shown_field{"unsgnd", {"  unsigned: ", dump_form::number}, {gxl_form::boolean, "unsigned", nullptr, 1}},
    LINK("min"), LINK("max"), LINK("csts")};
constexpr shown_field pointer_type_fields[] = {FLAG("ptrmem"), LINK("ptd"), LINK("cls")};
constexpr shown_field reference_type_fields[] = {LINK("refd")};
constexpr shown_field method_type_fields[] = {LINK("clas"), LINK("retn"), LINK("prms")};
constexpr shown_field array_type_fields[] = {LINK("elts"), LINK("domn")};
constexpr shown_field record_type_fields[] = {LINK("flds"),
                                              LINK("fncs"),
                                              LINK("ptd"),
                                              LINK("cls"),
                                              LINK("vfld"),
                                              FLAG("ptrmem"),
                                              FLAG_AS("isClass", "isclass", "isClass"),
                                              LINK_AS("binf", "binfo", "_binf")};
constexpr shown_field union_type_fields[] = {
    LINK_AS("flds", "flds", "record_type_flds"), LINK_AS("fncs", "fncs", "record_type_fncs"),
    LINK_AS("ptd", "ptd", "record_type_ptd"),    LINK_AS("cls", "cls", "record_type_cls"),
    LINK_AS("vfld", "vfld", "record_type_vfld"), FLAG("ptrmem"),
    LINK_AS("binf", "binfo", "record_type_binf")};
constexpr shown_field function_type_fields[] = {LINK("retn"), LINK("prms")};
constexpr shown_field integer_cst_fields[] = {NUMBER("high"), NUMBER("low")};
constexpr shown_field real_cst_fields[] = {
    shown_field{"value", {"  val: ", dump_form::text}, {gxl_form::real, "value"}}};
constexpr shown_field string_cst_fields[] = {
    NUMBER("lngt"), shown_field{"strg", {"  strg: ", dump_form::text}, {gxl_form::string, "strg"}}};
constexpr shown_field function_decl_fields[] = {
    LINK("args"),   LINK("body"),  FLAG("undef"), NUMBER("ext_static"), FLAG("member"),
    FLAG("constr"), FLAG("decon"), FLAG("oper"),  FLAG("conver"),       FLAG("ginit"),
    FLAG("gfini"),  FLAG("virt"),  FLAG("pvirt")};
constexpr shown_field const_decl_fields[] = {LINK("cnst")};
constexpr shown_field type_decl_fields[] = {
    shown_field{"friends", {"  friends: ", dump_form::number}, {gxl_form::link, "_friends"}}};
constexpr shown_field var_decl_fields[] = {LINK("init"), LINK("size"), NUMBER_AS("algn", "align", "algn"),
                                           NUMBER("used")};
constexpr shown_field parm_decl_fields[] = {LINK("argt"), LINK("size"), NUMBER("algn"), NUMBER("used")};
constexpr shown_field result_decl_fields[] = {LINK("init"), LINK("size"), NUMBER_AS("algn", "align", "algn")};
constexpr shown_field field_decl_fields[] = {LINK("init"), LINK("size"), NUMBER_AS("algn", "align", "algn"),
                                             NUMBER("bitfield"), LINK("bpos")};
constexpr shown_field namespace_decl_fields[] = {LINK("dcls"), LINK("alis")};
constexpr shown_field op0_op1_fields[] = {LINK("op0"), LINK("op1")};
constexpr shown_field op0_fields[] = {LINK("op0")};
constexpr shown_field constructor_fields[] = {LINK("elts")};
constexpr shown_field compound_expr_fields[] = {LINK_AS("op0", "op0", "compound_ref_op0"),
                                                LINK_AS("op1", "op1", "compound_ref_op1")};
constexpr shown_field target_expr_fields[] = {LINK("decl"), LINK("init"), LINK("clnp")};
constexpr shown_field op0_op1_op2_fields[] = {LINK("op0"), LINK("op1"), LINK("op2")};
constexpr shown_field bind_expr_fields[] = {LINK("vars"), LINK("body")};
constexpr shown_field call_expr_fields[] = {LINK("fn"), LINK("args")};
constexpr shown_field method_call_expr_fields[] = {LINK("fn"), LINK("object"), LINK("args")};
constexpr shown_field gxl_op0_fields[] = {GXL_LINK("op0")};
constexpr shown_field plus_expr_fields[] = {LINK_AS("op0", "op0", "_expr0"), LINK_AS("op1", "op1", "_expr1")};
constexpr shown_field nop_expr_fields[] = {LINK_AS("op0", "op0", "_expr0")};
constexpr shown_field exit_expr_fields[] = {LINK("cond")};
constexpr shown_field loop_expr_fields[] = {LINK("body")};
constexpr shown_field expr_with_file_location_fields[] = {LINK("expr2")};
constexpr shown_field expr_stmt_fields[] = {NUMBER("line"), LINK_AS("texpr", "expr", "_expr"), LINK("next")};
constexpr shown_field body_next_fields[] = {NUMBER("line"), LINK("body"), LINK("next")};
constexpr shown_field decl_stmt_fields[] = {NUMBER("line"), LINK("decl"), LINK("next")};
constexpr shown_field if_stmt_fields[] = {NUMBER("line"), LINK("cond"), LINK("thenc"), LINK("elsec"),
                                          LINK("next")};
constexpr shown_field for_stmt_fields[] = {NUMBER("line"), LINK("init"),
                                           LINK("cond"),   LINK_AS("inc_expr", "expr", "_expr"),
                                           LINK("body"),   LINK("next")};
constexpr shown_field cond_body_next_fields[] = {NUMBER("line"), LINK("cond"), LINK("body"), LINK("next")};
constexpr shown_field return_stmt_fields[] = {NUMBER("line"), LINK_AS("ret_expr", "expr", "_expr"),
                                              LINK("next")};
constexpr shown_field line_next_fields[] = {NUMBER("line"), LINK("next")};
constexpr shown_field goto_stmt_fields[] = {NUMBER("line"), LINK("dest"), LINK("next")};
constexpr shown_field label_stmt_fields[] = {NUMBER("line"), LINK("label"), LINK("next")};
constexpr shown_field asm_stmt_fields[] = {NUMBER("line"), NUMBER_AS("vol", "volitile", "vol"),
                                           LINK("strg"),   LINK("outs"),
                                           LINK("ins"),    LINK("clbr"),
                                           LINK("next")};
// The ranks: GXL writes "null" before "begin_end", the dump the other way.
constexpr shown_field scope_stmt_fields[] = {
    shown_field{"line", {"  line: ", dump_form::number}, {gxl_form::number, "line", nullptr, 1}},
    shown_field{
        "begin_end", {"  begin_end: ", dump_form::number}, {gxl_form::number, "begin_end", nullptr, 3}},
    shown_field{"null", {"  null: ", dump_form::number}, {gxl_form::number, "null", nullptr, 2}},
    shown_field{"clnp", {"  clnp: ", dump_form::number}, {gxl_form::number, "clnp", nullptr, 4}},
    LINK("next")};
constexpr shown_field case_label_fields[] = {LINK("low"), LINK("high"), LINK("next")};
constexpr shown_field stmt_expr_fields[] = {LINK("stmt")};
constexpr shown_field ptrmem_cst_fields[] = {LINK("clas"), LINK("mbr")};
constexpr shown_field aggr_init_expr_fields[] = {NUMBER("ctor"), LINK("fn"), LINK("args"), LINK("decl")};
constexpr shown_field template_decl_fields[] = {LINK("rslt"), LINK("inst"), LINK("spcs"), DUMP_LINK("parms")};
constexpr shown_field overload_fields[] = {LINK("crnt"), LINK("chan")};
constexpr shown_field cast_expr_fields[] = {LINK_AS("op0", "op0", "op0"), LINK_AS("op1", "op1", "op1")};
constexpr shown_field cast_operand_fields[] = {DUMP_LINK("op0"), DUMP_LINK("op1")};
constexpr shown_field subobject_fields[] = {NUMBER("line"), LINK("clnp"), LINK("next")};
constexpr shown_field ctor_stmt_fields[] = {NUMBER("line"), NUMBER("beg_end"), LINK("next")};
constexpr shown_field cleanup_stmt_fields[] = {NUMBER("line"), LINK("decl"),
                                               LINK_AS("clean_expr", "expr", "_expr"), LINK("next")};
constexpr shown_field start_catch_stmt_fields[] = {NUMBER("line"), LINK("catch_type"), LINK("next")};
constexpr shown_field try_block_fields[] = {NUMBER("line"), FLAG("cleanup"), LINK("body"), LINK("hdlr"),
                                            LINK("next")};
// The ranks: GXL writes the "raises" link before the "body" link, the dump
// the other way.
constexpr shown_field eh_spec_block_fields[] = {
    NUMBER("line"), shown_field{"body", {"  body: ", dump_form::link}, {gxl_form::link, "_body", nullptr, 2}},
    shown_field{"raises", {"  raises: ", dump_form::link}, {gxl_form::link, "_raises", nullptr, 1}},
    shown_field{"next", {"  next: ", dump_form::link}, {gxl_form::link, "_next", nullptr, 3}}};
constexpr shown_field dc_link_sym_fields[] = {
    shown_field{"name", {"  name: ", dump_form::text}, {gxl_form::string, "name"}}};
constexpr shown_field dc_aggr_type_fields[] = {
    shown_field{"aggr_type",
                {" aggr_type :", dump_form::choice, &dump_aggr_choice},
                {gxl_form::choice, "type", &gxl_aggr_choice}},
    DC_LINK("members"), DC_LINK("inheritance")};
constexpr shown_field dc_enum_type_fields[] = {DC_LINK("values")};
constexpr shown_field dc_alias_type_fields[] = {DC_LINK("original")};
constexpr shown_field dc_fct_type_fields[] = {
    shown_field{"formalParams", {" formals: ", dump_form::link}, {}}};
constexpr shown_field dc_function_fields[] = {FLAG_AS("static_flag", "static", "static"),
                                              FLAG_AS("extern_flag", "extern", "extern"),
                                              FLAG_AS("const_flag", "const", "const"),
                                              NUMBER("voffset"),
                                              shown_field{"virtual_code",
                                                          {"  virtual:", dump_form::choice, &virtual_choice},
                                                          {gxl_form::choice, "virtual", &virtual_choice}},
                                              DC_LINK("formal_fct"),
                                              DC_LINK("exception"),
                                              DC_LINK("block"),
                                              DC_LINK("link")};
constexpr shown_field value_fields[] = {DC_LINK("value")};
constexpr shown_field dc_template_fields[] = {DC_LINK("formals"), DC_LINK("result")};
constexpr shown_field dc_literal_fields[] = {
    shown_field{"value", {" value: ", dump_form::text}, {gxl_form::string, "value"}}, DC_LINK("type")};
constexpr shown_field dc_name_ref_fields[] = {
    shown_field{"name", {" name: ", dump_form::text}, {gxl_form::string, "name"}}};
constexpr shown_field init_fields[] = {DC_LINK("init")};
constexpr shown_field dc_actual_fct_param_list_fields[] = {DC_LINK("actuals")};
constexpr shown_field dc_destroy_expr_fields[] = {DC_LINK("what"), DC_LINK("array")};
constexpr shown_field dc_if_fields[] = {DC_LINK("cond"),
                                        shown_field{"true_block", {" true: ", dump_form::link}, {}},
                                        shown_field{"false_block", {" false: ", dump_form::link}, {}}};
constexpr shown_field dc_switch_fields[] = {DC_LINK("cond"), DC_LINK("body")};
constexpr shown_field dest_fields[] = {DC_LINK("dest")};
constexpr shown_field cond_block_fields[] = {DC_LINK("cond"), DC_LINK("block")};
constexpr shown_field dc_for_loop_fields[] = {DC_LINK("cond"), DC_LINK("block"), DC_LINK("init"),
                                              DC_LINK("incr")};
constexpr shown_field dc_instantiation_fields[] = {DC_LINK("refers"), DC_LINK("actuals")};
constexpr shown_field dc_throw_spec_fields[] = {DC_LINK("except")};
constexpr shown_field dc_inheritance_fields[] = {
    FLAG("virt"), shown_field{"visb",
                              {"  visb: ", dump_form::choice, &dump_visb_choice},
                              {gxl_form::choice, "visb", &gxl_visb_choice}}};

#undef LINK
#undef LINK_AS
#undef NUMBER
#undef NUMBER_AS
#undef FLAG
#undef FLAG_AS
#undef DUMP_LINK
#undef DC_LINK
#undef GXL_LINK

constexpr int own_layout = -1;

struct kind_row {
    std::initializer_list<int> kinds;
    export_level level;
    std::span<const shown_field> fields;
    // The dump's level where it differs from the GXL element's.
    std::optional<export_level> dump_level = std::nullopt;
    // The record whose layout the dump reads the fields with, when not the
    // kind's own: four casts without operand fields show the operands where
    // the two-operand casts keep them.
    int dump_layout = own_layout;
    bool elements = false;
};

const kind_row kind_rows[] = {
    {{gERROR_MARK, gOP_IDENTIFIER, gBLOCK, gBIT_FIELD_REF, gBUFFER_REF, gLABEL_EXPR, gGOTO_EXPR, gRETURN_EXPR,
      gTEMPLATE_PARM_INDEX, gDEFAULT_ARG, gCPLUS_BINDING, gWRAPPER},
     common,
     {}},
    {{gIDENTIFIER_NODE}, common, identifier_node_fields},
    {{gTREE_LIST}, common, tree_list_fields},
    {{gTREE_VEC}, common, tree_vec_fields, std::nullopt, own_layout, true},
    {{gVOID_TYPE, gCOMPLEX_TYPE, gVECTOR_TYPE, gBOOLEAN_TYPE, gCHAR_TYPE, gOFFSET_TYPE, gFILE_TYPE, gSET_TYPE,
      gQUAL_UNION_TYPE, gLANG_TYPE, gTEMPLATE_TYPE_PARM, gTEMPLATE_TEMPLATE_PARM,
      gBOUND_TEMPLATE_TEMPLATE_PARM, gTYPENAME_TYPE, gTYPEOF_TYPE},
     type,
     {}},
    {{gINTEGER_TYPE}, type, integer_type_fields},
    {{gREAL_TYPE}, type, real_type_fields},
    {{gENUMERAL_TYPE}, type, enumeral_type_fields},
    {{gPOINTER_TYPE}, type, pointer_type_fields},
    {{gREFERENCE_TYPE}, type, reference_type_fields},
    {{gMETHOD_TYPE}, type, method_type_fields},
    {{gARRAY_TYPE}, type, array_type_fields},
    {{gRECORD_TYPE}, type, record_type_fields},
    {{gUNION_TYPE}, type, union_type_fields},
    {{gFUNCTION_TYPE}, type, function_type_fields},
    {{gINTEGER_CST}, cst, integer_cst_fields},
    {{gREAL_CST}, cst, real_cst_fields},
    {{gCOMPLEX_CST}, cst, {}},
    {{gSTRING_CST}, cst, string_cst_fields},
    {{gFUNCTION_DECL}, decl, function_decl_fields},
    {{gLABEL_DECL, gUSING_DECL}, decl, {}},
    {{gCONST_DECL}, decl, const_decl_fields},
    {{gTYPE_DECL}, decl, type_decl_fields},
    {{gVAR_DECL}, decl, var_decl_fields},
    {{gPARM_DECL}, decl, parm_decl_fields},
    {{gRESULT_DECL}, decl, result_decl_fields},
    {{gFIELD_DECL}, decl, field_decl_fields},
    {{gNAMESPACE_DECL}, decl, namespace_decl_fields},
    {{gCOMPONENT_REF, gARRAY_REF, gOFFSET_REF, gSCOPE_REF, gMEMBER_REF}, common, op0_op1_fields},
    {{gINDIRECT_REF}, common, op0_fields},
    {{gCONSTRUCTOR}, expr, constructor_fields},
    {{gCOMPOUND_EXPR}, common, compound_expr_fields, expr},
    {{gMODIFY_EXPR,
      gINIT_EXPR,
      gMINUS_EXPR,
      gTRUNC_DIV_EXPR,
      gCEIL_DIV_EXPR,
      gFLOOR_DIV_EXPR,
      gROUND_DIV_EXPR,
      gTRUNC_MOD_EXPR,
      gCEIL_MOD_EXPR,
      gFLOOR_MOD_EXPR,
      gROUND_MOD_EXPR,
      gRDIV_EXPR,
      gEXACT_DIV_EXPR,
      gEXPON_EXPR,
      gMIN_EXPR,
      gMAX_EXPR,
      gLSHIFT_EXPR,
      gRSHIFT_EXPR,
      gLROTATE_EXPR,
      gRROTATE_EXPR,
      gBIT_IOR_EXPR,
      gBIT_XOR_EXPR,
      gBIT_AND_EXPR,
      gBIT_ANDTC_EXPR,
      gTRUTH_ANDIF_EXPR,
      gTRUTH_ORIF_EXPR,
      gTRUTH_AND_EXPR,
      gTRUTH_OR_EXPR,
      gTRUTH_XOR_EXPR,
      gLT_EXPR,
      gLE_EXPR,
      gGT_EXPR,
      gGE_EXPR,
      gEQ_EXPR,
      gNE_EXPR,
      gUNORDERED_EXPR,
      gORDERED_EXPR,
      gUNLT_EXPR,
      gUNLE_EXPR,
      gUNGT_EXPR,
      gUNGE_EXPR,
      gUNEQ_EXPR,
      gIN_EXPR,
      gSET_LE_EXPR,
      gRANGE_EXPR,
      gCOMPLEX_EXPR,
      gPREDECREMENT_EXPR,
      gPREINCREMENT_EXPR,
      gPOSTDECREMENT_EXPR,
      gPOSTINCREMENT_EXPR,
      gTRY_CATCH_EXPR,
      gTRY_FINALLY_EXPR,
      gGOTO_SUBROUTINE_EXPR,
      gSWITCH_EXPR,
      gTEMPLATE_ID_EXPR,
      gCTOR_INITIALIZER,
      gRETURN_INIT},
     expr,
     op0_op1_fields},
    {{gTARGET_EXPR}, expr, target_expr_fields},
    {{gCOND_EXPR, gMODOP_EXPR}, expr, op0_op1_op2_fields},
    {{gBIND_EXPR}, expr, bind_expr_fields},
    {{gCALL_EXPR}, expr, call_expr_fields},
    {{gMETHOD_CALL_EXPR}, expr, method_call_expr_fields},
    {{gWITH_CLEANUP_EXPR, gWITH_RECORD_EXPR, gUNSAVE_EXPR, gRTL_EXPR, gREFERENCE_EXPR, gENTRY_VALUE_EXPR,
      gLABELED_BLOCK_EXPR, gEMPTY_CLASS_EXPR, gFUNCTION_NAME, gTAG_DEFN},
     expr,
     {}},
    {{gCLEANUP_POINT_EXPR}, expr, gxl_op0_fields},
    {{gPLACEHOLDER_EXPR}, common, {}, expr},
    {{gPLUS_EXPR, gMULT_EXPR}, expr, plus_expr_fields},
    {{gFIX_TRUNC_EXPR,  gFIX_CEIL_EXPR, gFIX_FLOOR_EXPR, gFIX_ROUND_EXPR, gFLOAT_EXPR,    gNEGATE_EXPR,
      gABS_EXPR,        gFFS_EXPR,      gBIT_NOT_EXPR,   gTRUTH_NOT_EXPR, gCARD_EXPR,     gCONVERT_EXPR,
      gNON_LVALUE_EXPR, gSAVE_EXPR,     gADDR_EXPR,      gCONJ_EXPR,      gREALPART_EXPR, gVA_ARG_EXPR,
      gSIZEOF_EXPR,     gARROW_EXPR,    gALIGNOF_EXPR,   gNEW_EXPR,       gVEC_NEW_EXPR,  gDELETE_EXPR,
      gVEC_DELETE_EXPR, gTYPE_EXPR,     gTHROW_EXPR,     gLOOKUP_EXPR,    gIDENTITY_CONV, gLVALUE_CONV,
      gQUAL_CONV,       gSTD_CONV,      gPTR_CONV,       gPMEM_CONV,      gBASE_CONV,     gREF_BIND,
      gUSER_CONV,       gRVALUE_CONV},
     expr,
     op0_fields},
    {{gNOP_EXPR}, expr, nop_expr_fields},
    {{gEXIT_EXPR}, common, exit_expr_fields},
    {{gLOOP_EXPR}, common, loop_expr_fields},
    {{gEXIT_BLOCK_EXPR}, unhandled, {}, expr},
    {{gEXPR_WITH_FILE_LOCATION}, expr, expr_with_file_location_fields},
    {{gEXPR_STMT}, expr, expr_stmt_fields},
    {{gCOMPOUND_STMT, gHANDLER, gMUST_NOT_THROW_EXPR}, expr, body_next_fields},
    {{gDECL_STMT}, expr, decl_stmt_fields},
    {{gIF_STMT}, expr, if_stmt_fields},
    {{gFOR_STMT}, expr, for_stmt_fields},
    {{gWHILE_STMT, gDO_STMT, gSWITCH_STMT}, expr, cond_body_next_fields},
    {{gRETURN_STMT}, expr, return_stmt_fields},
    {{gBREAK_STMT, gCONTINUE_STMT}, expr, line_next_fields},
    {{gGOTO_STMT}, expr, goto_stmt_fields},
    {{gLABEL_STMT}, expr, label_stmt_fields},
    {{gASM_STMT}, expr, asm_stmt_fields},
    {{gSCOPE_STMT}, expr, scope_stmt_fields},
    {{gCASE_LABEL}, expr, case_label_fields},
    {{gSTMT_EXPR}, expr, stmt_expr_fields},
    {{gPTRMEM_CST}, cst, ptrmem_cst_fields},
    {{gAGGR_INIT_EXPR}, expr, aggr_init_expr_fields},
    {{gTEMPLATE_DECL}, decl, template_decl_fields},
    {{gOVERLOAD}, common, overload_fields},
    {{gCAST_EXPR, gREINTERPRET_CAST_EXPR, gCONST_CAST_EXPR, gSTATIC_CAST_EXPR}, expr, cast_expr_fields},
    {{gDYNAMIC_CAST_EXPR, gDOTSTAR_EXPR, gTYPEID_EXPR, gPSEUDO_DTOR_EXPR},
     expr,
     cast_operand_fields,
     std::nullopt,
     gCAST_EXPR},
    {{gSUBOBJECT}, expr, subobject_fields},
    {{gCTOR_STMT}, expr, ctor_stmt_fields},
    {{gCLEANUP_STMT}, expr, cleanup_stmt_fields},
    {{gSTART_CATCH_STMT}, expr, start_catch_stmt_fields},
    {{gTRY_BLOCK}, expr, try_block_fields},
    {{gEH_SPEC_BLOCK}, common, eh_spec_block_fields, none},
    {{gAMBIG_CONV}, expr, gxl_op0_fields, unhandled},
    {{dC_ASG_ND, dC_SQL_STMT, dC_ASM_BLOCK}, asg_nd, {}},
    {{dC_LINK_SYM}, asg_nd, dc_link_sym_fields},
    {{dC_IDENTIFIER}, identifier, {}},
    {{dC_TYPE, dC_BUILT_IN_TYPE, dC_FORWARD_TYPE, dC_ARRAY_TYPE, dC_PTR_TYPE, dC_REF_TYPE, dC_FORMAL_TYPE},
     ririra_type,
     {}},
    {{dC_AGGR_TYPE}, ririra_type, dc_aggr_type_fields},
    {{dC_ENUM_TYPE}, ririra_type, dc_enum_type_fields},
    {{dC_ALIAS_TYPE}, ririra_type, dc_alias_type_fields},
    {{dC_FCT_TYPE}, ririra_type, dc_fct_type_fields},
    {{dC_SCOPE, dC_SCOPE_GLB, dC_SCOPE_COMPIL, dC_SCOPE_FILE, dC_PACKAGE, dC_NAME_SPACE, dC_BLOCK,
      dC_STATIC_BLOCK, dC_TRY_BLOCK, dC_CATCH_BLOCK, dC_FINALLY_BLOCK, dC_SYNCHRONIZED_BLOCK},
     scope,
     {}},
    {{dC_OBJECT, dC_FORMAL_OBJECT}, object, {}},
    {{dC_FUNCTION}, identifier, dc_function_fields},
    {{dC_LABEL, dC_DEFAULT_LABEL}, label, {}},
    {{dC_CASE_LABEL}, label, value_fields},
    {{dC_ENUMERATOR}, identifier, value_fields},
    {{dC_TEMPLATE, dC_FORMAL_TEMPLATE}, identifier, dc_template_fields},
    {{dC_EXPRESSION, dC_EMPTY_EXPR, dC_SYNTAX_ERROR}, expression, {}},
    {{dC_LITERAL}, expression, dc_literal_fields},
    {{dC_NAME_REF}, expression, dc_name_ref_fields},
    {{dC_OPERATOR}, ririra_operator, {}},
    {{dC_INIT_LIST, dC_CREATION_EXPR}, expression, init_fields},
    {{dC_ACTUAL_FCT_PARAM_LIST}, expression, dc_actual_fct_param_list_fields},
    {{dC_DESTROY_EXPR}, expression, dc_destroy_expr_fields},
    {{dC_CNTRL_STMT, dC_SELECTION}, ctrl_stmt, {}},
    {{dC_IF}, ctrl_stmt, dc_if_fields},
    {{dC_SWITCH}, ctrl_stmt, dc_switch_fields},
    {{dC_JUMP}, jump, {}},
    {{dC_GOTO, dC_BREAK, dC_CONTINUE}, jump, dest_fields},
    {{dC_RETURN, dC_THROW}, jump, value_fields},
    {{dC_LOOP}, loop, {}},
    {{dC_DO_WHILE_LOOP, dC_WHILE_DO_LOOP}, loop, cond_block_fields},
    {{dC_FOR_LOOP}, loop, dc_for_loop_fields},
    {{dC_INSTANTIATION}, asg_nd, dc_instantiation_fields},
    {{dC_COMMENT, dC_JAVA_DOC_COMMENT}, comment, {}},
    {{dC_THROW_SPEC}, asg_nd, dc_throw_spec_fields},
    {{dC_ARC}, arc, {}},
    {{dC_ARC_REFERENCE, dC_INSTANCE, dC_IMPLEMENTS, dC_ARC_FRIEND, dC_ARC_DEF_LOC, dC_REFERS_TO,
      dC_CONSTRUCTED, dC_LINKS_TO, dC_LINKS_FROM},
     arc_reference,
     {}},
    {{dC_INHERITANCE}, arc_reference, dc_inheritance_fields},
    {{dC_ARC_SYNTAX, dC_ARC_SON, dC_ARC_TRUE, dC_ARC_FALSE, dC_ARC_OPD, dC_IMPORT, dC_ARC_COND,
      dC_ARC_FOR_INIT, dC_ARC_FOR_INCR, dC_ARC_INIT_VAL, dC_ARC_BIT_DIM, dC_ARC_ARRAY_DIM},
     arc_syntax,
     {}},
    {{NODE_DELTED, NODE_NONE}, skipped, {}},
};

// A field resolved against the records the dump and GXL read it with.
export_field resolve_field(const shown_field &f, int dump_layout, int gxl_layout)
{
    auto in = [&](bool shown, int layout, const char *name) {
        return shown && name ? table_field("export table", layout, name) : nullptr;
    };
    const bool dumped = f.dump.form != dump_form::none;
    const bool written = f.gxl.form != gxl_form::none;
    return {&f, in(dumped, dump_layout, f.field), in(written, gxl_layout, f.field),
            in(dumped, dump_layout, f.with), in(written, gxl_layout, f.with)};
}

// A kind's row resolved against its records; the fields live in `storage`.
struct resolved_kind {
    kind_export entry;
    std::vector<kind_export::field> storage;
};

resolved_kind resolve(int kind, const kind_row &r)
{
    resolved_kind k;
    const int dump_layout = r.dump_layout == own_layout ? kind : r.dump_layout;
    for (const shown_field &f : r.fields) k.storage.push_back(resolve_field(f, dump_layout, kind));
    k.entry.gxl_level = r.level;
    k.entry.dump_level = r.dump_level.value_or(r.level);
    k.entry.elements = r.elements;
    return k;
}

// Appends the fields that `level` shows in one view, the levels it derives
// from first.
void append_level_fields(std::vector<export_field> &out, export_level level, bool dump)
{
    for (const level_row &r : level_rows) {
        if (r.level != level) continue;
        append_level_fields(out, dump ? r.dump_base : r.gxl_base, dump);
        for (const shown_field &f : r.fields)
            if (dump ? f.dump.form != dump_form::none : f.gxl.form != gxl_form::none)
                out.push_back(resolve_field(f, r.layout_kind, r.layout_kind));
    }
}

constexpr int level_count = (int)arc_syntax + 1;

struct resolved_level {
    level_export entry;
    std::vector<export_field> dump, gxl;
};

}  // namespace

const char *enum_text(const gd_field *field, int64_t value)
{
    const gd_enum_names *values = field->values;
    if (!values || !values->texts || (uint64_t)value >= (uint64_t)values->count) return nullptr;
    return values->texts[value];
}

void report_unknown_choice(FILE *err, const choice_texts &c, node_ptr n, int64_t value)
{
    if (!c.message) return;
    if (c.message_names_node)
        fprintf(err, c.message, n, (int)value);
    else
        fprintf(err, c.message, (int)value);
}

const level_export &level_export_of(export_level level)
{
    static const std::array<resolved_level, level_count> levels = [] {
        std::array<resolved_level, level_count> all;
        for (int l = 0; l < level_count; l++) {
            append_level_fields(all[l].dump, (export_level)l, true);
            append_level_fields(all[l].gxl, (export_level)l, false);
        }
        // The spans point into the entries' own storage, in their final place.
        for (resolved_level &l : all) l.entry = {l.dump, l.gxl};
        return all;
    }();
    return levels[(int)level].entry;
}

const kind_export &kind_export_of(int kind)
{
    static const std::array<resolved_kind, NUM_NODES + 1> kinds = [] {
        std::array<resolved_kind, NUM_NODES + 1> all =
            bodies_by_kind<resolved_kind, kind_row>("export table", kind_rows, resolve);
        // The spans point into the entries' own storage, in their final place.
        for (resolved_kind &k : all) k.entry.fields = k.storage;
        return all;
    }();
    static const kind_export unhandled_kind;
    return kind >= 0 && kind <= NUM_NODES ? kinds[kind].entry : unhandled_kind;
}

}  // namespace gdexport
