// nodepeek's node dump: the base printers (one per record level, each
// printing the levels it derives from first) and the table of each kind's
// own lines. Labels are part of what people grep for, so they stay as they
// have always been printed ("volitile", "opt_type_un", "implements;").
#include "gd/export/node_dump.h"

#include <array>
#include <cctype>
#include <initializer_list>
#include <span>
#include <vector>

#include "gd/export/kind_rows.h"
#include "gd/export/program_io.h"
#include "gd/kind_table.h"

namespace peek {
namespace {

enum class base : uint8_t {
  unknown,  // no record to show: the raw bytes
  deleted,
  unassigned,
  none,  // no base lines at all
  common,
  decl,
  type,
  cst,
  expr,
  asg_nd,
  identifier,
  ririra_type,
  object,
  scope,
  expression,
  ririra_operator,
  ctrl_stmt,
  loop,
  jump,
  comment,
  arc,
};

enum class form : uint8_t {
  link,         // "@" and the node index
  number,       // the value
  text,         // the pool string
  text_offset,  // the pool string and its offset in parentheses
  choice,       // the value's name
};

// Names of an enumerated field by value; any other value prints `otherwise`,
// or when that is nullptr "??? (value)" and `warning` (given the node and the
// value) on the error stream.
struct choice_names {
  const char *const *names;
  int count;
  const char *otherwise;
  const char *warning;
};

// One own line: everything before the value, the field, how it is shown.
struct own_line {
  const char *prefix;
  const char *field;
  form shown_as;
  const choice_names *choice;
};

struct row {
  std::initializer_list<int> kinds;
  base printer;
  std::span<const own_line> lines;
  // The record whose layout the fields are read with, when not the kind's own.
  int layout_kind;
  bool tree_vec_elements;
};

// Compiler-tree kinds indent their own lines by two blanks, Ririra kinds by one.
#define TREE_LINK(f) own_line{"  " f ": ", f, form::link, nullptr}
#define TREE_NUM(f) own_line{"  " f ": ", f, form::number, nullptr}
#define TREE_LINK_AS(label, f) own_line{"  " label ": ", f, form::link, nullptr}
#define TREE_NUM_AS(label, f) own_line{"  " label ": ", f, form::number, nullptr}
#define DC_LINK(f) own_line{" " f ": ", f, form::link, nullptr}
#define DC_LINK_AS(label, f) own_line{" " label ": ", f, form::link, nullptr}

const char *const aggr_names[] = {"class", "record", "struct", "union", "area", "interface"};
const char *const virtual_names[] = {"unknown", "non-virtual", "virtual", "pure-virtual"};
const char *const visb_names[] = {"unknown", "private", "protected", "public"};

constexpr choice_names aggr_choice = {aggr_names, 6, nullptr, "nodepeek: node %d has unknown aggregate type %d\n"};
constexpr choice_names virtual_choice = {virtual_names, 4, "unknown", nullptr};
constexpr choice_names inheritance_visb_choice = {visb_names, 4, nullptr,
                                                  "nodepeek: node %d has illegal visibility code %d\n"};

constexpr own_line identifier_node_lines[] = {TREE_NUM("lngt"), own_line{"  strg: ", "strg", form::text_offset, nullptr},
                                              TREE_NUM_AS("opt_type_un", "op_type_un"), TREE_NUM("tynm")};
constexpr own_line tree_list_lines[] = {TREE_LINK("purpose"), TREE_LINK("value"), TREE_LINK("chan")};
constexpr own_line tree_vec_lines[] = {TREE_NUM("length"), TREE_LINK("binfo_type")};
constexpr own_line integer_type_lines[] = {TREE_NUM("prec"), TREE_NUM_AS("unsigned", "unsgnd"), TREE_LINK("min"),
                                           TREE_LINK("max")};
constexpr own_line real_type_lines[] = {TREE_NUM("prec")};
constexpr own_line enumeral_type_lines[] = {TREE_NUM("prec"), TREE_NUM_AS("unsigned", "unsgnd"), TREE_LINK("min"),
                                            TREE_LINK("max"), TREE_LINK("csts")};
constexpr own_line pointer_type_lines[] = {TREE_NUM("ptrmem"), TREE_LINK("ptd"), TREE_LINK("cls")};
constexpr own_line reference_type_lines[] = {TREE_LINK("refd")};
constexpr own_line method_type_lines[] = {TREE_LINK("clas"), TREE_LINK("retn"), TREE_LINK("prms")};
constexpr own_line array_type_lines[] = {TREE_LINK("elts"), TREE_LINK("domn")};
constexpr own_line record_type_lines[] = {TREE_LINK("flds"), TREE_LINK("fncs"),   TREE_LINK("ptd"),
                                          TREE_LINK("cls"),  TREE_LINK("vfld"),   TREE_NUM("ptrmem"),
                                          TREE_NUM_AS("isclass", "isClass"),      TREE_LINK_AS("binfo", "binf")};
constexpr own_line union_type_lines[] = {TREE_LINK("flds"), TREE_LINK("fncs"), TREE_LINK("ptd"),
                                         TREE_LINK("cls"),  TREE_LINK("vfld"), TREE_NUM("ptrmem"),
                                         TREE_LINK_AS("binfo", "binf")};
constexpr own_line retn_prms_lines[] = {TREE_LINK("retn"), TREE_LINK("prms")};
constexpr own_line integer_cst_lines[] = {TREE_NUM("high"), TREE_NUM("low")};
constexpr own_line real_cst_lines[] = {own_line{"  val: ", "value", form::text, nullptr}};
constexpr own_line string_cst_lines[] = {TREE_NUM("lngt"), own_line{"  strg: ", "strg", form::text, nullptr}};
constexpr own_line function_decl_lines[] = {
    TREE_LINK("args"),  TREE_LINK("body"),   TREE_NUM("undef"), TREE_NUM("ext_static"), TREE_NUM("member"),
    TREE_NUM("constr"), TREE_NUM("decon"),   TREE_NUM("oper"),  TREE_NUM("conver"),     TREE_NUM("ginit"),
    TREE_NUM("gfini"),  TREE_NUM("virt"),    TREE_NUM("pvirt")};
constexpr own_line const_decl_lines[] = {TREE_LINK("cnst")};
// friends is a link, printed as a plain number all the same.
constexpr own_line type_decl_lines[] = {TREE_NUM("friends")};
constexpr own_line var_decl_lines[] = {TREE_LINK("init"), TREE_LINK("size"), TREE_NUM_AS("align", "algn"),
                                       TREE_NUM("used")};
constexpr own_line parm_decl_lines[] = {TREE_LINK("argt"), TREE_LINK("size"), TREE_NUM("algn"), TREE_NUM("used")};
constexpr own_line result_decl_lines[] = {TREE_LINK("init"), TREE_LINK("size"), TREE_NUM_AS("align", "algn")};
constexpr own_line field_decl_lines[] = {TREE_LINK("init"), TREE_LINK("size"), TREE_NUM_AS("align", "algn"),
                                         TREE_NUM("bitfield"), TREE_LINK("bpos")};
constexpr own_line namespace_decl_lines[] = {TREE_LINK("dcls"), TREE_LINK("alis")};
constexpr own_line op0_op1_lines[] = {TREE_LINK("op0"), TREE_LINK("op1")};
constexpr own_line op0_lines[] = {TREE_LINK("op0")};
constexpr own_line elts_lines[] = {TREE_LINK("elts")};
constexpr own_line target_expr_lines[] = {TREE_LINK("decl"), TREE_LINK("init"), TREE_LINK("clnp")};
constexpr own_line op0_op1_op2_lines[] = {TREE_LINK("op0"), TREE_LINK("op1"), TREE_LINK("op2")};
constexpr own_line bind_expr_lines[] = {TREE_LINK("vars"), TREE_LINK("body")};
constexpr own_line call_expr_lines[] = {TREE_LINK("fn"), TREE_LINK("args")};
constexpr own_line method_call_expr_lines[] = {TREE_LINK("fn"), TREE_LINK("object"), TREE_LINK("args")};
constexpr own_line exit_expr_lines[] = {TREE_LINK("cond")};
constexpr own_line loop_expr_lines[] = {TREE_LINK("body")};
constexpr own_line expr_with_file_location_lines[] = {TREE_LINK("expr2")};
constexpr own_line expr_stmt_lines[] = {TREE_NUM("line"), TREE_LINK_AS("expr", "texpr"), TREE_LINK("next")};
constexpr own_line body_next_lines[] = {TREE_NUM("line"), TREE_LINK("body"), TREE_LINK("next")};
constexpr own_line decl_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("decl"), TREE_LINK("next")};
constexpr own_line if_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("cond"), TREE_LINK("thenc"), TREE_LINK("elsec"),
                                      TREE_LINK("next")};
constexpr own_line for_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("init"), TREE_LINK("cond"),
                                       TREE_LINK_AS("expr", "inc_expr"), TREE_LINK("body"), TREE_LINK("next")};
constexpr own_line cond_body_next_lines[] = {TREE_NUM("line"), TREE_LINK("cond"), TREE_LINK("body"),
                                             TREE_LINK("next")};
constexpr own_line return_stmt_lines[] = {TREE_NUM("line"), TREE_LINK_AS("expr", "ret_expr"), TREE_LINK("next")};
constexpr own_line line_next_lines[] = {TREE_NUM("line"), TREE_LINK("next")};
constexpr own_line goto_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("dest"), TREE_LINK("next")};
constexpr own_line label_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("label"), TREE_LINK("next")};
constexpr own_line asm_stmt_lines[] = {TREE_NUM("line"),  TREE_NUM_AS("volitile", "vol"), TREE_LINK("strg"),
                                       TREE_LINK("outs"), TREE_LINK("ins"), TREE_LINK("clbr"), TREE_LINK("next")};
constexpr own_line scope_stmt_lines[] = {TREE_NUM("line"), TREE_NUM("begin_end"), TREE_NUM("null"), TREE_NUM("clnp"),
                                         TREE_LINK("next")};
constexpr own_line case_label_lines[] = {TREE_LINK("low"), TREE_LINK("high"), TREE_LINK("next")};
constexpr own_line stmt_expr_lines[] = {TREE_LINK("stmt")};
constexpr own_line ptrmem_cst_lines[] = {TREE_LINK("clas"), TREE_LINK("mbr")};
constexpr own_line aggr_init_expr_lines[] = {TREE_NUM("ctor"), TREE_LINK("fn"), TREE_LINK("args"), TREE_LINK("decl")};
constexpr own_line template_decl_lines[] = {TREE_LINK("rslt"), TREE_LINK("inst"), TREE_LINK("spcs"),
                                            TREE_LINK("parms")};
constexpr own_line overload_lines[] = {TREE_LINK("crnt"), TREE_LINK("chan")};
constexpr own_line subobject_lines[] = {TREE_NUM("line"), TREE_LINK("clnp"), TREE_LINK("next")};
constexpr own_line ctor_stmt_lines[] = {TREE_NUM("line"), TREE_NUM("beg_end"), TREE_LINK("next")};
constexpr own_line cleanup_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("decl"), TREE_LINK_AS("expr", "clean_expr"),
                                           TREE_LINK("next")};
constexpr own_line start_catch_stmt_lines[] = {TREE_NUM("line"), TREE_LINK("catch_type"), TREE_LINK("next")};
constexpr own_line try_block_lines[] = {TREE_NUM("line"), TREE_NUM("cleanup"), TREE_LINK("body"), TREE_LINK("hdlr"),
                                        TREE_LINK("next")};
constexpr own_line eh_spec_block_lines[] = {TREE_NUM("line"), TREE_LINK("body"), TREE_LINK("raises"),
                                            TREE_LINK("next")};

constexpr own_line link_sym_lines[] = {own_line{"  name: ", "name", form::text, nullptr}};
constexpr own_line aggr_type_lines[] = {own_line{" aggr_type :", "aggr_type", form::choice, &aggr_choice},
                                        DC_LINK("members"), DC_LINK("inheritance")};
constexpr own_line enum_type_lines[] = {DC_LINK("values")};
constexpr own_line alias_type_lines[] = {DC_LINK("original")};
constexpr own_line fct_type_lines[] = {DC_LINK_AS("formals", "formalParams")};
constexpr own_line function_lines[] = {
    own_line{"  static: ", "static_flag", form::number, nullptr},
    own_line{"  extern: ", "extern_flag", form::number, nullptr},
    own_line{"  const: ", "const_flag", form::number, nullptr},
    own_line{"  voffset: ", "voffset", form::number, nullptr},
    own_line{"  virtual:", "virtual_code", form::choice, &virtual_choice},
    DC_LINK("formal_fct"),
    DC_LINK("exception"),
    DC_LINK("block"),
    DC_LINK("link")};
constexpr own_line value_lines[] = {DC_LINK("value")};
constexpr own_line template_lines[] = {DC_LINK("formals"), DC_LINK("result")};
constexpr own_line literal_lines[] = {own_line{" value: ", "value", form::text, nullptr}, DC_LINK("type")};
constexpr own_line name_ref_lines[] = {own_line{" name: ", "name", form::text, nullptr}};
constexpr own_line init_lines[] = {DC_LINK("init")};
constexpr own_line actuals_lines[] = {DC_LINK("actuals")};
constexpr own_line destroy_expr_lines[] = {DC_LINK("what"), DC_LINK("array")};
constexpr own_line if_lines[] = {DC_LINK("cond"), DC_LINK_AS("true", "true_block"), DC_LINK_AS("false", "false_block")};
constexpr own_line switch_lines[] = {DC_LINK("cond"), DC_LINK("body")};
constexpr own_line dest_lines[] = {DC_LINK("dest")};
constexpr own_line cond_block_lines[] = {DC_LINK("cond"), DC_LINK("block")};
constexpr own_line for_loop_lines[] = {DC_LINK("cond"), DC_LINK("block"), DC_LINK("init"), DC_LINK("incr")};
constexpr own_line instantiation_lines[] = {DC_LINK("refers"), DC_LINK("actuals")};
constexpr own_line throw_spec_lines[] = {DC_LINK("except")};
constexpr own_line inheritance_lines[] = {own_line{"  virt: ", "virt", form::number, nullptr},
                                          own_line{"  visb: ", "visb", form::choice, &inheritance_visb_choice}};

constexpr int own_layout = -1;

// One row per group of kinds that print alike. Kinds listed nowhere
// (imagpart_expr, exc_ptr_expr, srcloc, using_directive, ambig_conv, cSystem,
// num_nodes) are shown as raw bytes.
const row dump_rows[] = {
    {{gERROR_MARK, gOP_IDENTIFIER, gBLOCK, gBIT_FIELD_REF, gBUFFER_REF, gLABEL_EXPR, gGOTO_EXPR, gRETURN_EXPR,
      gTEMPLATE_PARM_INDEX, gDEFAULT_ARG, gCPLUS_BINDING, gWRAPPER},
     base::common, {}, own_layout, false},
    {{gIDENTIFIER_NODE}, base::common, identifier_node_lines, own_layout, false},
    {{gTREE_LIST}, base::common, tree_list_lines, own_layout, false},
    {{gTREE_VEC}, base::common, tree_vec_lines, own_layout, true},
    {{gVOID_TYPE, gCOMPLEX_TYPE, gVECTOR_TYPE, gBOOLEAN_TYPE, gCHAR_TYPE, gOFFSET_TYPE, gFILE_TYPE, gSET_TYPE,
      gQUAL_UNION_TYPE, gLANG_TYPE, gTEMPLATE_TYPE_PARM, gTEMPLATE_TEMPLATE_PARM, gBOUND_TEMPLATE_TEMPLATE_PARM,
      gTYPENAME_TYPE, gTYPEOF_TYPE},
     base::type, {}, own_layout, false},
    {{gINTEGER_TYPE}, base::type, integer_type_lines, own_layout, false},
    {{gREAL_TYPE}, base::type, real_type_lines, own_layout, false},
    {{gENUMERAL_TYPE}, base::type, enumeral_type_lines, own_layout, false},
    {{gPOINTER_TYPE}, base::type, pointer_type_lines, own_layout, false},
    {{gREFERENCE_TYPE}, base::type, reference_type_lines, own_layout, false},
    {{gMETHOD_TYPE}, base::type, method_type_lines, own_layout, false},
    {{gARRAY_TYPE}, base::type, array_type_lines, own_layout, false},
    {{gRECORD_TYPE}, base::type, record_type_lines, own_layout, false},
    {{gUNION_TYPE}, base::type, union_type_lines, own_layout, false},
    {{gFUNCTION_TYPE}, base::type, retn_prms_lines, own_layout, false},
    {{gINTEGER_CST}, base::cst, integer_cst_lines, own_layout, false},
    {{gREAL_CST}, base::cst, real_cst_lines, own_layout, false},
    {{gCOMPLEX_CST}, base::cst, {}, own_layout, false},
    {{gSTRING_CST}, base::cst, string_cst_lines, own_layout, false},
    {{gFUNCTION_DECL}, base::decl, function_decl_lines, own_layout, false},
    {{gLABEL_DECL, gUSING_DECL}, base::decl, {}, own_layout, false},
    {{gCONST_DECL}, base::decl, const_decl_lines, own_layout, false},
    {{gTYPE_DECL}, base::decl, type_decl_lines, own_layout, false},
    {{gVAR_DECL}, base::decl, var_decl_lines, own_layout, false},
    {{gPARM_DECL}, base::decl, parm_decl_lines, own_layout, false},
    {{gRESULT_DECL}, base::decl, result_decl_lines, own_layout, false},
    {{gFIELD_DECL}, base::decl, field_decl_lines, own_layout, false},
    {{gNAMESPACE_DECL}, base::decl, namespace_decl_lines, own_layout, false},
    {{gCOMPONENT_REF, gARRAY_REF, gOFFSET_REF, gSCOPE_REF, gMEMBER_REF}, base::common, op0_op1_lines, own_layout, false},
    {{gINDIRECT_REF}, base::common, op0_lines, own_layout, false},
    {{gCONSTRUCTOR}, base::expr, elts_lines, own_layout, false},
    {{gCOMPOUND_EXPR,      gMODIFY_EXPR,       gINIT_EXPR,          gPLUS_EXPR,         gMINUS_EXPR,
      gMULT_EXPR,          gTRUNC_DIV_EXPR,    gCEIL_DIV_EXPR,      gFLOOR_DIV_EXPR,    gROUND_DIV_EXPR,
      gTRUNC_MOD_EXPR,     gCEIL_MOD_EXPR,     gFLOOR_MOD_EXPR,     gROUND_MOD_EXPR,    gRDIV_EXPR,
      gEXACT_DIV_EXPR,     gEXPON_EXPR,        gMIN_EXPR,           gMAX_EXPR,          gLSHIFT_EXPR,
      gRSHIFT_EXPR,        gLROTATE_EXPR,      gRROTATE_EXPR,       gBIT_IOR_EXPR,      gBIT_XOR_EXPR,
      gBIT_AND_EXPR,       gBIT_ANDTC_EXPR,    gTRUTH_ANDIF_EXPR,   gTRUTH_ORIF_EXPR,   gTRUTH_AND_EXPR,
      gTRUTH_OR_EXPR,      gTRUTH_XOR_EXPR,    gLT_EXPR,            gLE_EXPR,           gGT_EXPR,
      gGE_EXPR,            gEQ_EXPR,           gNE_EXPR,            gUNORDERED_EXPR,    gORDERED_EXPR,
      gUNLT_EXPR,          gUNLE_EXPR,         gUNGT_EXPR,          gUNGE_EXPR,         gUNEQ_EXPR,
      gIN_EXPR,            gSET_LE_EXPR,       gRANGE_EXPR,         gCOMPLEX_EXPR,      gPREDECREMENT_EXPR,
      gPREINCREMENT_EXPR,  gPOSTDECREMENT_EXPR, gPOSTINCREMENT_EXPR, gTRY_CATCH_EXPR,   gTRY_FINALLY_EXPR,
      gGOTO_SUBROUTINE_EXPR, gSWITCH_EXPR,     gTEMPLATE_ID_EXPR,   gCAST_EXPR,         gREINTERPRET_CAST_EXPR,
      gCONST_CAST_EXPR,    gSTATIC_CAST_EXPR,  gCTOR_INITIALIZER,   gRETURN_INIT},
     base::expr, op0_op1_lines, own_layout, false},
    // These four casts have no operand fields of their own; their operands
    // are shown from where the two-operand casts keep them.
    {{gDYNAMIC_CAST_EXPR, gDOTSTAR_EXPR, gTYPEID_EXPR, gPSEUDO_DTOR_EXPR}, base::expr, op0_op1_lines, gCAST_EXPR, false},
    {{gTARGET_EXPR}, base::expr, target_expr_lines, own_layout, false},
    {{gCOND_EXPR, gMODOP_EXPR}, base::expr, op0_op1_op2_lines, own_layout, false},
    {{gBIND_EXPR}, base::expr, bind_expr_lines, own_layout, false},
    {{gCALL_EXPR}, base::expr, call_expr_lines, own_layout, false},
    {{gMETHOD_CALL_EXPR}, base::expr, method_call_expr_lines, own_layout, false},
    {{gWITH_CLEANUP_EXPR, gCLEANUP_POINT_EXPR, gPLACEHOLDER_EXPR, gWITH_RECORD_EXPR, gUNSAVE_EXPR, gRTL_EXPR,
      gREFERENCE_EXPR, gENTRY_VALUE_EXPR, gLABELED_BLOCK_EXPR, gEXIT_BLOCK_EXPR, gEMPTY_CLASS_EXPR, gFUNCTION_NAME,
      gTAG_DEFN},
     base::expr, {}, own_layout, false},
    {{gFIX_TRUNC_EXPR, gFIX_CEIL_EXPR, gFIX_FLOOR_EXPR, gFIX_ROUND_EXPR, gFLOAT_EXPR,    gNEGATE_EXPR,
      gABS_EXPR,       gFFS_EXPR,      gBIT_NOT_EXPR,   gTRUTH_NOT_EXPR, gCARD_EXPR,     gCONVERT_EXPR,
      gNOP_EXPR,       gNON_LVALUE_EXPR, gSAVE_EXPR,    gADDR_EXPR,      gCONJ_EXPR,     gREALPART_EXPR,
      gVA_ARG_EXPR,    gSIZEOF_EXPR,   gARROW_EXPR,     gALIGNOF_EXPR,   gNEW_EXPR,      gVEC_NEW_EXPR,
      gDELETE_EXPR,    gVEC_DELETE_EXPR, gTYPE_EXPR,    gTHROW_EXPR,     gLOOKUP_EXPR,   gIDENTITY_CONV,
      gLVALUE_CONV,    gQUAL_CONV,     gSTD_CONV,       gPTR_CONV,       gPMEM_CONV,     gBASE_CONV,
      gREF_BIND,       gUSER_CONV,     gRVALUE_CONV},
     base::expr, op0_lines, own_layout, false},
    {{gEXIT_EXPR}, base::common, exit_expr_lines, own_layout, false},
    {{gLOOP_EXPR}, base::common, loop_expr_lines, own_layout, false},
    {{gEXPR_WITH_FILE_LOCATION}, base::expr, expr_with_file_location_lines, own_layout, false},
    {{gEXPR_STMT}, base::expr, expr_stmt_lines, own_layout, false},
    {{gCOMPOUND_STMT, gHANDLER, gMUST_NOT_THROW_EXPR}, base::expr, body_next_lines, own_layout, false},
    {{gDECL_STMT}, base::expr, decl_stmt_lines, own_layout, false},
    {{gIF_STMT}, base::expr, if_stmt_lines, own_layout, false},
    {{gFOR_STMT}, base::expr, for_stmt_lines, own_layout, false},
    {{gWHILE_STMT, gDO_STMT, gSWITCH_STMT}, base::expr, cond_body_next_lines, own_layout, false},
    {{gRETURN_STMT}, base::expr, return_stmt_lines, own_layout, false},
    {{gBREAK_STMT, gCONTINUE_STMT}, base::expr, line_next_lines, own_layout, false},
    {{gGOTO_STMT}, base::expr, goto_stmt_lines, own_layout, false},
    {{gLABEL_STMT}, base::expr, label_stmt_lines, own_layout, false},
    {{gASM_STMT}, base::expr, asm_stmt_lines, own_layout, false},
    {{gSCOPE_STMT}, base::expr, scope_stmt_lines, own_layout, false},
    {{gCASE_LABEL}, base::expr, case_label_lines, own_layout, false},
    {{gSTMT_EXPR}, base::expr, stmt_expr_lines, own_layout, false},
    {{gPTRMEM_CST}, base::cst, ptrmem_cst_lines, own_layout, false},
    {{gAGGR_INIT_EXPR}, base::expr, aggr_init_expr_lines, own_layout, false},
    {{gTEMPLATE_DECL}, base::decl, template_decl_lines, own_layout, false},
    {{gOVERLOAD}, base::common, overload_lines, own_layout, false},
    {{gSUBOBJECT}, base::expr, subobject_lines, own_layout, false},
    {{gCTOR_STMT}, base::expr, ctor_stmt_lines, own_layout, false},
    {{gCLEANUP_STMT}, base::expr, cleanup_stmt_lines, own_layout, false},
    {{gSTART_CATCH_STMT}, base::expr, start_catch_stmt_lines, own_layout, false},
    {{gTRY_BLOCK}, base::expr, try_block_lines, own_layout, false},
    {{gEH_SPEC_BLOCK}, base::none, eh_spec_block_lines, own_layout, false},

    {{dC_ASG_ND, dC_CNTRL_STMT, dC_SELECTION, dC_JUMP, dC_LOOP, dC_SQL_STMT, dC_COMMENT, dC_JAVA_DOC_COMMENT,
      dC_ASM_BLOCK},
     base::asg_nd, {}, own_layout, false},
    {{dC_LINK_SYM}, base::asg_nd, link_sym_lines, own_layout, false},
    {{dC_IDENTIFIER, dC_LABEL, dC_DEFAULT_LABEL}, base::identifier, {}, own_layout, false},
    {{dC_TYPE, dC_BUILT_IN_TYPE, dC_FORWARD_TYPE, dC_ARRAY_TYPE, dC_PTR_TYPE, dC_REF_TYPE, dC_FORMAL_TYPE},
     base::ririra_type, {}, own_layout, false},
    {{dC_AGGR_TYPE}, base::ririra_type, aggr_type_lines, own_layout, false},
    {{dC_ENUM_TYPE}, base::ririra_type, enum_type_lines, own_layout, false},
    {{dC_ALIAS_TYPE}, base::ririra_type, alias_type_lines, own_layout, false},
    {{dC_FCT_TYPE}, base::ririra_type, fct_type_lines, own_layout, false},
    {{dC_SCOPE, dC_SCOPE_GLB, dC_SCOPE_COMPIL, dC_SCOPE_FILE, dC_PACKAGE, dC_NAME_SPACE, dC_BLOCK, dC_STATIC_BLOCK,
      dC_TRY_BLOCK, dC_CATCH_BLOCK, dC_FINALLY_BLOCK, dC_SYNCHRONIZED_BLOCK},
     base::scope, {}, own_layout, false},
    {{dC_OBJECT, dC_FORMAL_OBJECT}, base::object, {}, own_layout, false},
    {{dC_FUNCTION}, base::identifier, function_lines, own_layout, false},
    {{dC_CASE_LABEL, dC_ENUMERATOR}, base::identifier, value_lines, own_layout, false},
    {{dC_TEMPLATE, dC_FORMAL_TEMPLATE}, base::identifier, template_lines, own_layout, false},
    {{dC_EXPRESSION, dC_EMPTY_EXPR, dC_SYNTAX_ERROR}, base::expression, {}, own_layout, false},
    {{dC_LITERAL}, base::expression, literal_lines, own_layout, false},
    {{dC_NAME_REF}, base::expression, name_ref_lines, own_layout, false},
    {{dC_OPERATOR}, base::ririra_operator, {}, own_layout, false},
    {{dC_INIT_LIST, dC_CREATION_EXPR}, base::expression, init_lines, own_layout, false},
    {{dC_ACTUAL_FCT_PARAM_LIST}, base::expression, actuals_lines, own_layout, false},
    {{dC_DESTROY_EXPR}, base::expression, destroy_expr_lines, own_layout, false},
    {{dC_IF}, base::asg_nd, if_lines, own_layout, false},
    {{dC_SWITCH}, base::asg_nd, switch_lines, own_layout, false},
    {{dC_GOTO, dC_BREAK, dC_CONTINUE}, base::asg_nd, dest_lines, own_layout, false},
    {{dC_RETURN, dC_THROW}, base::asg_nd, value_lines, own_layout, false},
    {{dC_DO_WHILE_LOOP, dC_WHILE_DO_LOOP}, base::asg_nd, cond_block_lines, own_layout, false},
    {{dC_FOR_LOOP}, base::asg_nd, for_loop_lines, own_layout, false},
    {{dC_INSTANTIATION}, base::asg_nd, instantiation_lines, own_layout, false},
    {{dC_THROW_SPEC}, base::asg_nd, throw_spec_lines, own_layout, false},

    {{dC_ARC, dC_ARC_REFERENCE, dC_INSTANCE, dC_IMPLEMENTS, dC_ARC_FRIEND, dC_ARC_DEF_LOC, dC_REFERS_TO,
      dC_CONSTRUCTED, dC_LINKS_TO, dC_LINKS_FROM, dC_ARC_SYNTAX, dC_ARC_SON, dC_ARC_TRUE, dC_ARC_FALSE, dC_ARC_OPD,
      dC_IMPORT, dC_ARC_COND, dC_ARC_FOR_INIT, dC_ARC_FOR_INCR, dC_ARC_INIT_VAL, dC_ARC_BIT_DIM, dC_ARC_ARRAY_DIM},
     base::arc, {}, own_layout, false},
    {{dC_INHERITANCE}, base::arc, inheritance_lines, own_layout, false},

    {{NODE_DELTED}, base::deleted, {}, own_layout, false},
    {{NODE_NONE}, base::unassigned, {}, own_layout, false},
};

#undef TREE_LINK
#undef TREE_NUM
#undef TREE_LINK_AS
#undef TREE_NUM_AS
#undef DC_LINK
#undef DC_LINK_AS

// A kind's rows resolved against its record.
struct dump_body {
  base printer = base::unknown;
  struct line {
    const own_line *entry;
    const gd_field *field;
  };
  std::vector<line> lines;
  bool tree_vec_elements = false;
};

dump_body resolve_body(int kind, const row &r) {
  dump_body b;
  b.printer = r.printer;
  b.tree_vec_elements = r.tree_vec_elements;
  int layout = r.layout_kind == own_layout ? kind : r.layout_kind;
  for (const own_line &l : r.lines) b.lines.push_back({&l, gdexport::table_field("node dump table", layout, l.field)});
  return b;
}

const dump_body &body_of(int kind) {
  static const std::array<dump_body, NUM_NODES + 1> bodies =
      gdexport::bodies_by_kind<dump_body, row>("node dump table", dump_rows, resolve_body);
  static const dump_body unknown_body;
  return kind >= 0 && kind <= NUM_NODES ? bodies[kind] : unknown_body;
}

// ---------------------------------------------------------------------------
// Printing

struct node_text {
  FILE *out;
  FILE *err;
  const gd_graph *g;
  node_ptr n;
  const gd_graph_node &rec;
};

// A pool string for a line that shows strings: "<none>" for -1, and for any
// other offset outside the pool "<bad>" after a warning.
const char *pool_text(const node_text &t, str_ptr off) {
  if (off == -1) return "<none>";
  const char *s = string_at(t.g, off);
  if (s) return s;
  fprintf(t.err, "nodepeek: node has bad string ptr %d\n", off);
  return "<bad>";
}

void print_choice(const node_text &t, const choice_names &c, int64_t value) {
  if ((uint64_t)value < (uint64_t)c.count) {
    fputs(c.names[value], t.out);
  } else if (c.otherwise) {
    fputs(c.otherwise, t.out);
  } else {
    fprintf(t.out, "??? (%d)", (int)value);
    fprintf(t.err, c.warning, t.n, (int)value);
  }
}

void print_own_line(const node_text &t, const dump_body::line &l) {
  int64_t v = gd_field_get(&t.rec, l.field);
  fputs(l.entry->prefix, t.out);
  switch (l.entry->shown_as) {
    case form::link: fprintf(t.out, "@%d", (int)v); break;
    case form::number: fprintf(t.out, "%d", (int)v); break;
    case form::text:
      // A string that is there prints alone; "<bad>" and "<none>" keep the offset.
      if (string_at(t.g, (str_ptr)v))
        fputs(string_at(t.g, (str_ptr)v), t.out);
      else
        fprintf(t.out, "%s (%d)", pool_text(t, (str_ptr)v), (int)v);
      break;
    case form::text_offset: fprintf(t.out, "%s(%d)", pool_text(t, (str_ptr)v), (int)v); break;
    case form::choice: print_choice(t, *l.entry->choice, v); break;
  }
  fputc('\n', t.out);
}

void print_tree_vec_elements(const node_text &t) {
  int n = gdexport::tree_vec_elements(t.err, "nodepeek", t.n, t.rec);
  for (int i = 0; i < n; i++)
    if (t.rec.tree_vec.elts[i] != -1) fprintf(t.out, "  [%d]: @%d\n", i, t.rec.tree_vec.elts[i]);
}

// ---------------------------------------------------------------------------
// Base printers of the compiler tree

void about_common(const node_text &t) {
  const gd_graph_common &c = t.rec.common;
  fputs("common\n", t.out);
  fprintf(t.out, " type_number: %d\n", (int)c.type);
  for (const gd_field &f : gdexport::common_flags()) fprintf(t.out, " %s: %d\n", f.name, (int)gd_field_get(&t.rec, &f));
  fprintf(t.out, " other_node: @%d\n", c.other_node);
}

void about_decl(const node_text &t) {
  const t_gcc_decl &d = t.rec.decl;
  about_common(t);
  fputs("decl\n", t.out);
  fprintf(t.out, " name: @%d\n", d.name);
  fprintf(t.out, " mngl: @%d\n", d.mngl);
  fprintf(t.out, " type: @%d\n", d.type);
  fprintf(t.out, " chan: @%d\n", d.chan);
  fprintf(t.out, " scpe: @%d\n", d.scpe);
  fprintf(t.out, " vindex: @%d\n", d.vindex);
  if (d.srcl == -1) {
    fputs(" srcf: <none>\n", t.out);
    fputs(" srcl: <none>\n", t.out);
  } else {
    const char *file = string_at(t.g, d.srcf);
    if (file) {
      fprintf(t.out, " srcf: %s\n", file);
    } else {
      fprintf(t.out, " srcf: <bad> (%d)\n", d.srcf);
      fprintf(t.err, "nodepeek: node has bad string ptr %d\n", d.srcf);
    }
    fprintf(t.out, " srcl: %d\n", d.srcl);
  }
  switch (d.lang) {
    case src_lang_c: fputs(" src_lang: c\n", t.out); break;
    case src_lang_cp: fputs(" src_lang: c++\n", t.out); break;
    case src_lang_java: fputs(" src_lang: java\n", t.out); break;
    default: break;
  }
  fprintf(t.out, " artificial: %d\n", d.artificial);
  fprintf(t.out, " mutable_flag: %d\n", d.mutable_flag);
  fprintf(t.out, " register_flag: %d\n", d.register_flag);
  fprintf(t.out, " inline_flag: %d\n", d.inline_flag);
}

void about_type(const node_text &t) {
  const t_gcc_type &ty = t.rec.type;
  about_common(t);
  fputs("type\n", t.out);
  fprintf(t.out, " name: @%d\n", ty.name);
  fprintf(t.out, " size: @%d\n", ty.size);
  fprintf(t.out, " algn: %d\n", ty.algn);
  fprintf(t.out, " unql: @%d\n", ty.unql);
  fprintf(t.out, " qual: %c%c%c\n", ty.qual_const ? 'c' : ' ', ty.qual_volatile ? 'v' : ' ',
          ty.qual_restrict ? 'r' : ' ');
}

void about_cst(const node_text &t) {
  about_common(t);
  fputs("cst\n", t.out);
  fprintf(t.out, " type: @%d\n", t.rec.gcc_cst.type);
}

void about_expr(const node_text &t) {
  about_common(t);
  fputs("expr\n", t.out);
  fprintf(t.out, " type: @%d\n", t.rec.expr.type);
}

// ---------------------------------------------------------------------------
// Base printers of the Ririra schema

void ririra_asg_nd(const node_text &t) {
  const t_dc_asg_nd &a = t.rec.dc_asg_nd;
  about_common(t);
  fputs("asg_nd\n", t.out);
  const char *file = string_at(t.g, a.file);
  fprintf(t.out, " file: %s (%d)\n", file ? file : "???", a.file);
  fprintf(t.out, " line: %d\n", a.line);
}

void ririra_identifier(const node_text &t) {
  const t_dc_identifier &d = t.rec.dc_identifier;
  ririra_asg_nd(t);
  fputs("identifier\n", t.out);
  if (d.name != -1) fprintf(t.out, " name: %s(%d)\n", pool_text(t, d.name), d.name);
  fputs(" visb: ", t.out);
  if ((uint32_t)d.visb < 4) {
    fputs(visb_names[d.visb], t.out);
  } else {
    fprintf(t.out, "??? (%d)", (int)d.visb);
    fprintf(t.err, "nodepeek: node has illegal visibility code %d\n", (int)d.visb);
  }
  fputc('\n', t.out);
  fprintf(t.out, " instance: @%d\n", d.instance);
  fprintf(t.out, " defLoc: @%d\n", d.defLoc);
  fprintf(t.out, " arcFriend: @%d\n", d.arcFriend);
  fprintf(t.out, " array_dim: @%d\n", d.array_dim);
}

void ririra_type(const node_text &t) {
  const t_dc_type &ty = t.rec.dc_type;
  ririra_identifier(t);
  fprintf(t.out, " const: %d\n", ty.const_flag);
  fprintf(t.out, " volatile: %d\n", ty.volatile_flag);
  fprintf(t.out, " implements; @%d\n", ty.implements);
}

void ririra_object(const node_text &t) {
  const t_dc_object &o = t.rec.dc_object;
  ririra_identifier(t);
  fputs("object\n", t.out);
  fprintf(t.out, " static: %d\n", o.static_flag);
  fprintf(t.out, " extern: %d\n", o.extern_flag);
  fprintf(t.out, " bitfield_dim: @%d\n", o.bitfield_dim);
  fprintf(t.out, " initial_val: @%d\n", o.initial_val);
  fprintf(t.out, " link: @%d\n", o.link);
}

void ririra_scope(const node_text &t) {
  ririra_identifier(t);
  fputs("scope\n", t.out);
  fprintf(t.out, " contents: @%d\n", t.rec.dc_scope.contents);
}

void ririra_expression(const node_text &t) {
  ririra_asg_nd(t);
  fputs("expression\n", t.out);
  fprintf(t.out, " refers: @%d\n", t.rec.dc_expression.refers);
}

void ririra_operator(const node_text &t) {
  const t_dc_operator &o = t.rec.dc_operator;
  ririra_expression(t);
  fputs("operator\n", t.out);
  if ((uint32_t)o.op < dc_no_more_operators) {
    fprintf(t.out, " op %s (%d)\n", dc_op_string[o.op], (int)o.op);
  } else {
    fprintf(t.err, "unknown operator %d\n", (int)o.op);
    fprintf(t.out, " op ??? (%d)\n", (int)o.op);
  }
  fprintf(t.out, " ops: @%d\n", o.ops);
}

void ririra_ctrl_stmt(const node_text &t) { ririra_asg_nd(t); }
void ririra_loop(const node_text &t) { ririra_ctrl_stmt(t); }
void ririra_jump(const node_text &t) { ririra_ctrl_stmt(t); }
void ririra_comment(const node_text &t) { ririra_asg_nd(t); }

void ririra_arc(const node_text &t) {
  const t_dc_arc &a = t.rec.dc_arc;
  about_common(t);
  fputs("arc\n", t.out);
  if (a.ordinal != 0) fprintf(t.out, " ordinal %d\n", a.ordinal);
  fprintf(t.out, " next: @%d\n", a.next);
}

void print_base(const node_text &t, base b) {
  switch (b) {
    case base::common: about_common(t); break;
    case base::decl: about_decl(t); break;
    case base::type: about_type(t); break;
    case base::cst: about_cst(t); break;
    case base::expr: about_expr(t); break;
    case base::asg_nd: ririra_asg_nd(t); break;
    case base::identifier: ririra_identifier(t); break;
    case base::ririra_type: ririra_type(t); break;
    case base::object: ririra_object(t); break;
    case base::scope: ririra_scope(t); break;
    case base::expression: ririra_expression(t); break;
    case base::ririra_operator: ririra_operator(t); break;
    case base::ctrl_stmt: ririra_ctrl_stmt(t); break;
    case base::loop: ririra_loop(t); break;
    case base::jump: ririra_jump(t); break;
    case base::comment: ririra_comment(t); break;
    case base::arc: ririra_arc(t); break;
    case base::unknown:
    case base::deleted:
    case base::unassigned:
    case base::none: break;
  }
}

bool is_arc(int kind) { return kind >= dC_ARC && kind <= dC_ARC_ARRAY_DIM; }

}  // namespace

std::string type_line_name(int kind) {
  // Both template kinds have always printed as dc_template.
  if (kind == dC_FORMAL_TEMPLATE) return "dc_template";
  const gd_kind_info *info = gd_kind_info_of(kind);
  if (!info) return gd_kind_name(kind);
  std::string e = info->enumerator;
  std::string name;
  if (is_arc(kind)) {
    // dC_ARC_DEF_LOC gives ArcDefLoc.
    bool word_start = true;
    for (char c : e.substr(3)) {
      if (c == '_') {
        word_start = true;
        continue;
      }
      name += word_start ? c : (char)tolower((unsigned char)c);
      word_start = false;
    }
    return name;
  }
  name = kind >= dC_ASG_ND ? "dc_" + e.substr(3) : e.substr(1);
  for (char &c : name) c = (char)tolower((unsigned char)c);
  return name;
}

void print_graph_header(FILE *out, const gd_graph *g) {
  fprintf(out, "graph: node size = %d, char buffer size = %ld, first node = %d\n", (int)sizeof(gd_graph_node),
          (long)g->curStringPos, g->firstNode);
}

void doNode(FILE *out, FILE *err, const gd_graph *g, node_ptr n) {
  const gd_graph_node &rec = g->nodeBuffer[n];
  const node_text t{out, err, g, n, rec};
  const int kind = rec.common.type;
  const dump_body &body = body_of(kind);

  fprintf(out, "\nnode @%d\n", n);
  switch (body.printer) {
    case base::unknown:
      fprintf(out, "unknown node type: %d\n", kind);
      fputs("node data:\n", out);
      gdexport::dump_record_bytes(out, rec);
      return;
    case base::deleted: fputs("type: deleted node\n", out); return;
    case base::unassigned: fputs("type: unassigned node (NODE_NONE)\n", out); return;
    default: break;
  }
  if (is_arc(kind))
    fprintf(out, "type: %s @%d @%d\n", type_line_name(kind).c_str(), rec.dc_arc.src, rec.dc_arc.dest);
  else
    fprintf(out, "type: %s\n", type_line_name(kind).c_str());
  print_base(t, body.printer);
  for (const dump_body::line &l : body.lines) print_own_line(t, l);
  if (body.tree_vec_elements) print_tree_vec_elements(t);
}

}  // namespace peek
