// The GXL element table: for every node kind, the level writers that open
// its element, its extra attributes and its links, in the order they are
// written. Attribute and link names are part of the document format, their
// odd spellings included ("compound_ref_op0", "plus_expr_expr0", the
// record_type_ link names of a union); fields are named as the store's
// records name them and resolved against each kind's own record, so a field
// that two records keep at different offsets (a union's links) is read where
// that kind keeps it.
#include <array>
#include <initializer_list>
#include <span>

#include "gd/export/gxl.h"
#include "gd/export/kind_rows.h"

namespace gxl {
namespace {

using enum gxl_level;
using enum gxl_form;

const char *const visb_texts[] = {"unk", "pri", "pro", "pub"};
const char *const aggr_texts[] = {"class", "record", "struct", "union", "area", "interface"};
const char *const virtual_texts[] = {"unknown", "non-virtual", "virtual", "pure-virtual"};

constexpr gxl_choice aggr_choice = {aggr_texts, 6, nullptr, "Unknown ririra aggregate type %d\n"};
constexpr gxl_choice virtual_choice = {virtual_texts, 4, "unknown", nullptr};

struct row {
  std::initializer_list<int> kinds;
  gxl_level level;
  std::span<const gxl_attr> attrs;
  std::span<const gxl_link> links;
  bool elements_relation;
};

// Attribute and link lists shared by the rows below.
constexpr gxl_attr identifier_node_attrs[] = {
    {number, "lngt", "lngt", nullptr},
    {string, "strg", "strg", nullptr},
    {number, "op_type_un", "op_type_un", nullptr},
    {number, "tynm", "tynm", nullptr}};
constexpr gxl_link tree_list_links[] = {{"_purpose", "purpose"}, {"_value", "value"}, {"_chan", "chan"}};
constexpr gxl_attr tree_vec_attrs[] = {{number, "length", "length", nullptr}};
constexpr gxl_link tree_vec_links[] = {{"_binfo_type", "binfo_type"}};
constexpr gxl_attr unsigned_prec_attrs[] = {{boolean, "unsigned", "unsgnd", nullptr}, {number, "prec", "prec", nullptr}};
constexpr gxl_link min_max_links[] = {{"_min", "min"}, {"_max", "max"}};
constexpr gxl_attr prec_attrs[] = {{number, "prec", "prec", nullptr}};
constexpr gxl_link min_max_csts_links[] = {{"_min", "min"}, {"_max", "max"}, {"_csts", "csts"}};
constexpr gxl_attr ptrmem_attrs[] = {{boolean, "ptrmem", "ptrmem", nullptr}};
constexpr gxl_link ptd_cls_links[] = {{"_ptd", "ptd"}, {"_cls", "cls"}};
constexpr gxl_link refd_links[] = {{"_refd", "refd"}};
constexpr gxl_link clas_retn_prms_links[] = {{"_clas", "clas"}, {"_retn", "retn"}, {"_prms", "prms"}};
constexpr gxl_link elts_domn_links[] = {{"_elts", "elts"}, {"_domn", "domn"}};
constexpr gxl_attr record_type_attrs[] = {{boolean, "ptrmem", "ptrmem", nullptr}, {boolean, "isClass", "isClass", nullptr}};
constexpr gxl_link record_type_links[] = {{"_flds", "flds"}, {"_fncs", "fncs"}, {"_ptd", "ptd"},
                                          {"_cls", "cls"},   {"_vfld", "vfld"}, {"_binf", "binf"}};
// A union writes the record_type_ link names, from its own fields.
constexpr gxl_link union_type_links[] = {{"record_type_flds", "flds"}, {"record_type_fncs", "fncs"},
                                         {"record_type_ptd", "ptd"},   {"record_type_cls", "cls"},
                                         {"record_type_vfld", "vfld"}, {"record_type_binf", "binf"}};
constexpr gxl_link retn_prms_links[] = {{"_retn", "retn"}, {"_prms", "prms"}};
constexpr gxl_attr integer_cst_attrs[] = {{number, "high", "high", nullptr}, {number, "low", "low", nullptr}};
constexpr gxl_attr real_cst_attrs[] = {{real, "value", "value", nullptr}};
constexpr gxl_attr string_cst_attrs[] = {{number, "lngt", "lngt", nullptr}, {string, "strg", "strg", nullptr}};
constexpr gxl_attr function_decl_attrs[] = {
    {boolean, "undef", "undef", nullptr},   {number, "ext_static", "ext_static", nullptr},
    {boolean, "member", "member", nullptr}, {boolean, "constr", "constr", nullptr},
    {boolean, "decon", "decon", nullptr},   {boolean, "oper", "oper", nullptr},
    {boolean, "conver", "conver", nullptr}, {boolean, "ginit", "ginit", nullptr},
    {boolean, "gfini", "gfini", nullptr},   {boolean, "virt", "virt", nullptr},
    {boolean, "pvirt", "pvirt", nullptr}};
constexpr gxl_link args_body_links[] = {{"_args", "args"}, {"_body", "body"}};
constexpr gxl_link cnst_links[] = {{"_cnst", "cnst"}};
constexpr gxl_link friends_links[] = {{"_friends", "friends"}};
constexpr gxl_attr algn_used_attrs[] = {{number, "algn", "algn", nullptr}, {number, "used", "used", nullptr}};
constexpr gxl_link init_size_links[] = {{"_init", "init"}, {"_size", "size"}};
constexpr gxl_link argt_size_links[] = {{"_argt", "argt"}, {"_size", "size"}};
constexpr gxl_attr algn_attrs[] = {{number, "algn", "algn", nullptr}};
constexpr gxl_attr algn_bitfield_attrs[] = {{number, "algn", "algn", nullptr}, {number, "bitfield", "bitfield", nullptr}};
constexpr gxl_link init_size_bpos_links[] = {{"_init", "init"}, {"_size", "size"}, {"_bpos", "bpos"}};
constexpr gxl_link dcls_alis_links[] = {{"_dcls", "dcls"}, {"_alis", "alis"}};
constexpr gxl_link op0_op1_links[] = {{"_op0", "op0"}, {"_op1", "op1"}};
constexpr gxl_link op0_links[] = {{"_op0", "op0"}};
constexpr gxl_link elts_links[] = {{"_elts", "elts"}};
constexpr gxl_link compound_expr_links[] = {{"compound_ref_op0", "op0"}, {"compound_ref_op1", "op1"}};
constexpr gxl_link target_expr_links[] = {{"_decl", "decl"}, {"_init", "init"}, {"_clnp", "clnp"}};
constexpr gxl_link op0_op1_op2_links[] = {{"_op0", "op0"}, {"_op1", "op1"}, {"_op2", "op2"}};
constexpr gxl_link vars_body_links[] = {{"_vars", "vars"}, {"_body", "body"}};
constexpr gxl_link fn_args_links[] = {{"_fn", "fn"}, {"_args", "args"}};
constexpr gxl_link fn_object_args_links[] = {{"_fn", "fn"}, {"_object", "object"}, {"_args", "args"}};
constexpr gxl_link expr0_expr1_links[] = {{"_expr0", "op0"}, {"_expr1", "op1"}};
constexpr gxl_link expr0_links[] = {{"_expr0", "op0"}};
constexpr gxl_link cond_links[] = {{"_cond", "cond"}};
constexpr gxl_link body_links[] = {{"_body", "body"}};
constexpr gxl_link expr2_links[] = {{"_expr2", "expr2"}};
constexpr gxl_attr line_attrs[] = {{number, "line", "line", nullptr}};
constexpr gxl_link expr_stmt_links[] = {{"_expr", "texpr"}, {"_next", "next"}};
constexpr gxl_link body_next_links[] = {{"_body", "body"}, {"_next", "next"}};
constexpr gxl_link decl_next_links[] = {{"_decl", "decl"}, {"_next", "next"}};
constexpr gxl_link if_stmt_links[] = {{"_cond", "cond"}, {"_thenc", "thenc"}, {"_elsec", "elsec"}, {"_next", "next"}};
constexpr gxl_link for_stmt_links[] = {
    {"_init", "init"}, {"_cond", "cond"}, {"_expr", "inc_expr"}, {"_body", "body"}, {"_next", "next"}};
// while and do keep the body before the condition; the condition is written first.
constexpr gxl_link cond_body_next_links[] = {{"_cond", "cond"}, {"_body", "body"}, {"_next", "next"}};
constexpr gxl_link return_stmt_links[] = {{"_expr", "ret_expr"}, {"_next", "next"}};
constexpr gxl_link next_links[] = {{"_next", "next"}};
constexpr gxl_link dest_next_links[] = {{"_dest", "dest"}, {"_next", "next"}};
constexpr gxl_link label_next_links[] = {{"_label", "label"}, {"_next", "next"}};
constexpr gxl_attr asm_stmt_attrs[] = {{number, "line", "line", nullptr}, {number, "vol", "vol", nullptr}};
constexpr gxl_link asm_stmt_links[] = {
    {"_strg", "strg"}, {"_outs", "outs"}, {"_ins", "ins"}, {"_clbr", "clbr"}, {"_next", "next"}};
constexpr gxl_attr scope_stmt_attrs[] = {{number, "line", "line", nullptr},
                                         {number, "null", "null", nullptr},
                                         {number, "begin_end", "begin_end", nullptr},
                                         {number, "clnp", "clnp", nullptr}};
constexpr gxl_link case_label_links[] = {{"_low", "low"}, {"_high", "high"}, {"_next", "next"}};
constexpr gxl_link stmt_links[] = {{"_stmt", "stmt"}};
constexpr gxl_link clas_mbr_links[] = {{"_clas", "clas"}, {"_mbr", "mbr"}};
constexpr gxl_attr ctor_attrs[] = {{number, "ctor", "ctor", nullptr}};
constexpr gxl_link aggr_init_expr_links[] = {{"_fn", "fn"}, {"_args", "args"}, {"_decl", "decl"}};
constexpr gxl_link template_decl_links[] = {{"_rslt", "rslt"}, {"_inst", "inst"}, {"_spcs", "spcs"}};
constexpr gxl_link crnt_chan_links[] = {{"_crnt", "crnt"}, {"_chan", "chan"}};
constexpr gxl_link cast_links[] = {{"op0", "op0"}, {"op1", "op1"}};
constexpr gxl_link clnp_next_links[] = {{"_clnp", "clnp"}, {"_next", "next"}};
constexpr gxl_attr ctor_stmt_attrs[] = {{number, "line", "line", nullptr}, {number, "beg_end", "beg_end", nullptr}};
constexpr gxl_link cleanup_stmt_links[] = {{"_decl", "decl"}, {"_expr", "clean_expr"}, {"_next", "next"}};
constexpr gxl_link start_catch_stmt_links[] = {{"_catch_type", "catch_type"}, {"_next", "next"}};
constexpr gxl_attr try_block_attrs[] = {{number, "line", "line", nullptr}, {boolean, "cleanup", "cleanup", nullptr}};
constexpr gxl_link try_block_links[] = {{"_body", "body"}, {"_hdlr", "hdlr"}, {"_next", "next"}};
constexpr gxl_link eh_spec_block_links[] = {{"_raises", "raises"}, {"_body", "body"}, {"_next", "next"}};
constexpr gxl_attr name_attrs[] = {{string, "name", "name", nullptr}};
constexpr gxl_attr aggr_type_attrs[] = {{choice, "type", "aggr_type", &aggr_choice}};
constexpr gxl_attr function_attrs[] = {{boolean, "static", "static_flag", nullptr},
                                       {boolean, "extern", "extern_flag", nullptr},
                                       {boolean, "const", "const_flag", nullptr},
                                       {number, "voffset", "voffset", nullptr},
                                       {choice, "virtual", "virtual_code", &virtual_choice}};
constexpr gxl_attr literal_attrs[] = {{string, "value", "value", nullptr}};
constexpr gxl_attr inheritance_attrs[] = {{boolean, "virt", "virt", nullptr}, {choice, "visb", "visb", &gxl_visb_choice}};

// The table, one row per group of kinds that share a body. Kinds listed
// nowhere (imagpart_expr, exit_block_expr, exc_ptr_expr, srcloc,
// using_directive, cSystem, num_nodes) have no body.
const row element_rows[] = {
    {{gERROR_MARK, gOP_IDENTIFIER, gBLOCK, gBIT_FIELD_REF, gBUFFER_REF, gPLACEHOLDER_EXPR, gLABEL_EXPR, gGOTO_EXPR,
      gRETURN_EXPR, gTEMPLATE_PARM_INDEX, gDEFAULT_ARG, gCPLUS_BINDING, gWRAPPER},
     common, {}, {}, false},
    {{gIDENTIFIER_NODE}, common, identifier_node_attrs, {}, false},
    {{gTREE_LIST}, common, {}, tree_list_links, false},
    {{gTREE_VEC}, common, tree_vec_attrs, tree_vec_links, true},
    {{gVOID_TYPE, gCOMPLEX_TYPE, gVECTOR_TYPE, gBOOLEAN_TYPE, gCHAR_TYPE, gOFFSET_TYPE, gFILE_TYPE, gSET_TYPE,
      gQUAL_UNION_TYPE, gLANG_TYPE, gTEMPLATE_TYPE_PARM, gTEMPLATE_TEMPLATE_PARM, gBOUND_TEMPLATE_TEMPLATE_PARM,
      gTYPENAME_TYPE, gTYPEOF_TYPE},
     type, {}, {}, false},
    {{gINTEGER_TYPE}, type, unsigned_prec_attrs, min_max_links, false},
    {{gREAL_TYPE}, type, prec_attrs, {}, false},
    {{gENUMERAL_TYPE}, type, unsigned_prec_attrs, min_max_csts_links, false},
    {{gPOINTER_TYPE}, type, ptrmem_attrs, ptd_cls_links, false},
    {{gREFERENCE_TYPE}, type, {}, refd_links, false},
    {{gMETHOD_TYPE}, type, {}, clas_retn_prms_links, false},
    {{gARRAY_TYPE}, type, {}, elts_domn_links, false},
    {{gRECORD_TYPE}, type, record_type_attrs, record_type_links, false},
    {{gUNION_TYPE}, type, ptrmem_attrs, union_type_links, false},
    {{gFUNCTION_TYPE}, type, {}, retn_prms_links, false},
    {{gINTEGER_CST}, cst, integer_cst_attrs, {}, false},
    {{gREAL_CST}, cst, real_cst_attrs, {}, false},
    {{gCOMPLEX_CST}, cst, {}, {}, false},
    {{gSTRING_CST}, cst, string_cst_attrs, {}, false},
    {{gFUNCTION_DECL}, decl, function_decl_attrs, args_body_links, false},
    {{gLABEL_DECL, gUSING_DECL}, decl, {}, {}, false},
    {{gCONST_DECL}, decl, {}, cnst_links, false},
    {{gTYPE_DECL}, decl, {}, friends_links, false},
    {{gVAR_DECL}, decl, algn_used_attrs, init_size_links, false},
    {{gPARM_DECL}, decl, algn_used_attrs, argt_size_links, false},
    {{gRESULT_DECL}, decl, algn_attrs, init_size_links, false},
    {{gFIELD_DECL}, decl, algn_bitfield_attrs, init_size_bpos_links, false},
    {{gNAMESPACE_DECL}, decl, {}, dcls_alis_links, false},
    {{gCOMPONENT_REF, gARRAY_REF, gOFFSET_REF, gSCOPE_REF, gMEMBER_REF}, common, {}, op0_op1_links, false},
    {{gINDIRECT_REF}, common, {}, op0_links, false},
    {{gCONSTRUCTOR}, expr, {}, elts_links, false},
    {{gCOMPOUND_EXPR}, common, {}, compound_expr_links, false},
    {{gMODIFY_EXPR,        gINIT_EXPR,         gMINUS_EXPR,        gTRUNC_DIV_EXPR,    gCEIL_DIV_EXPR,
      gFLOOR_DIV_EXPR,     gROUND_DIV_EXPR,    gTRUNC_MOD_EXPR,    gCEIL_MOD_EXPR,     gFLOOR_MOD_EXPR,
      gROUND_MOD_EXPR,     gRDIV_EXPR,         gEXACT_DIV_EXPR,    gEXPON_EXPR,        gMIN_EXPR,
      gMAX_EXPR,           gLSHIFT_EXPR,       gRSHIFT_EXPR,       gLROTATE_EXPR,      gRROTATE_EXPR,
      gBIT_IOR_EXPR,       gBIT_XOR_EXPR,      gBIT_AND_EXPR,      gBIT_ANDTC_EXPR,    gTRUTH_ANDIF_EXPR,
      gTRUTH_ORIF_EXPR,    gTRUTH_AND_EXPR,    gTRUTH_OR_EXPR,     gTRUTH_XOR_EXPR,    gLT_EXPR,
      gLE_EXPR,            gGT_EXPR,           gGE_EXPR,           gEQ_EXPR,           gNE_EXPR,
      gUNORDERED_EXPR,     gORDERED_EXPR,      gUNLT_EXPR,         gUNLE_EXPR,         gUNGT_EXPR,
      gUNGE_EXPR,          gUNEQ_EXPR,         gIN_EXPR,           gSET_LE_EXPR,       gRANGE_EXPR,
      gCOMPLEX_EXPR,       gPREDECREMENT_EXPR, gPREINCREMENT_EXPR, gPOSTDECREMENT_EXPR, gPOSTINCREMENT_EXPR,
      gTRY_CATCH_EXPR,     gTRY_FINALLY_EXPR,  gGOTO_SUBROUTINE_EXPR, gSWITCH_EXPR,    gTEMPLATE_ID_EXPR,
      gCTOR_INITIALIZER,   gRETURN_INIT},
     expr, {}, op0_op1_links, false},
    {{gTARGET_EXPR}, expr, {}, target_expr_links, false},
    {{gCOND_EXPR, gMODOP_EXPR}, expr, {}, op0_op1_op2_links, false},
    {{gBIND_EXPR}, expr, {}, vars_body_links, false},
    {{gCALL_EXPR}, expr, {}, fn_args_links, false},
    {{gMETHOD_CALL_EXPR}, expr, {}, fn_object_args_links, false},
    {{gWITH_CLEANUP_EXPR, gWITH_RECORD_EXPR, gUNSAVE_EXPR, gRTL_EXPR, gREFERENCE_EXPR, gENTRY_VALUE_EXPR,
      gLABELED_BLOCK_EXPR, gEMPTY_CLASS_EXPR, gFUNCTION_NAME, gDYNAMIC_CAST_EXPR, gDOTSTAR_EXPR, gTYPEID_EXPR,
      gPSEUDO_DTOR_EXPR, gTAG_DEFN},
     expr, {}, {}, false},
    {{gCLEANUP_POINT_EXPR, gFIX_TRUNC_EXPR, gFIX_CEIL_EXPR, gFIX_FLOOR_EXPR, gFIX_ROUND_EXPR, gFLOAT_EXPR,
      gNEGATE_EXPR,        gABS_EXPR,      gFFS_EXPR,      gBIT_NOT_EXPR,   gTRUTH_NOT_EXPR, gCARD_EXPR,
      gCONVERT_EXPR,       gNON_LVALUE_EXPR, gSAVE_EXPR,   gADDR_EXPR,      gCONJ_EXPR,      gREALPART_EXPR,
      gVA_ARG_EXPR,        gSIZEOF_EXPR,   gARROW_EXPR,    gALIGNOF_EXPR,   gNEW_EXPR,       gVEC_NEW_EXPR,
      gDELETE_EXPR,        gVEC_DELETE_EXPR, gTYPE_EXPR,   gTHROW_EXPR,     gLOOKUP_EXPR,    gIDENTITY_CONV,
      gLVALUE_CONV,        gQUAL_CONV,     gSTD_CONV,      gPTR_CONV,       gPMEM_CONV,      gBASE_CONV,
      gREF_BIND,           gUSER_CONV,     gAMBIG_CONV,    gRVALUE_CONV},
     expr, {}, op0_links, false},
    {{gPLUS_EXPR, gMULT_EXPR}, expr, {}, expr0_expr1_links, false},
    {{gNOP_EXPR}, expr, {}, expr0_links, false},
    {{gEXIT_EXPR}, common, {}, cond_links, false},
    {{gLOOP_EXPR}, common, {}, body_links, false},
    {{gEXPR_WITH_FILE_LOCATION}, expr, {}, expr2_links, false},
    {{gEXPR_STMT}, expr, line_attrs, expr_stmt_links, false},
    {{gCOMPOUND_STMT, gHANDLER, gMUST_NOT_THROW_EXPR}, expr, line_attrs, body_next_links, false},
    {{gDECL_STMT}, expr, line_attrs, decl_next_links, false},
    {{gIF_STMT}, expr, line_attrs, if_stmt_links, false},
    {{gFOR_STMT}, expr, line_attrs, for_stmt_links, false},
    {{gWHILE_STMT, gDO_STMT, gSWITCH_STMT}, expr, line_attrs, cond_body_next_links, false},
    {{gRETURN_STMT}, expr, line_attrs, return_stmt_links, false},
    {{gBREAK_STMT, gCONTINUE_STMT}, expr, line_attrs, next_links, false},
    {{gGOTO_STMT}, expr, line_attrs, dest_next_links, false},
    {{gLABEL_STMT}, expr, line_attrs, label_next_links, false},
    {{gASM_STMT}, expr, asm_stmt_attrs, asm_stmt_links, false},
    {{gSCOPE_STMT}, expr, scope_stmt_attrs, next_links, false},
    {{gCASE_LABEL}, expr, {}, case_label_links, false},
    {{gSTMT_EXPR}, expr, {}, stmt_links, false},
    {{gPTRMEM_CST}, cst, {}, clas_mbr_links, false},
    {{gAGGR_INIT_EXPR}, expr, ctor_attrs, aggr_init_expr_links, false},
    {{gTEMPLATE_DECL}, decl, {}, template_decl_links, false},
    {{gOVERLOAD}, common, {}, crnt_chan_links, false},
    {{gCAST_EXPR, gREINTERPRET_CAST_EXPR, gCONST_CAST_EXPR, gSTATIC_CAST_EXPR}, expr, {}, cast_links, false},
    {{gSUBOBJECT}, expr, line_attrs, clnp_next_links, false},
    {{gCTOR_STMT}, expr, ctor_stmt_attrs, next_links, false},
    {{gCLEANUP_STMT}, expr, line_attrs, cleanup_stmt_links, false},
    {{gSTART_CATCH_STMT}, expr, line_attrs, start_catch_stmt_links, false},
    {{gTRY_BLOCK}, expr, try_block_attrs, try_block_links, false},
    // Only the common flags: an eh_spec_block has no expression base.
    {{gEH_SPEC_BLOCK}, common, line_attrs, eh_spec_block_links, false},

    {{dC_ASG_ND, dC_INSTANTIATION, dC_SQL_STMT, dC_THROW_SPEC, dC_ASM_BLOCK}, asg_nd, {}, {}, false},
    {{dC_LINK_SYM}, asg_nd, name_attrs, {}, false},
    {{dC_IDENTIFIER, dC_ENUMERATOR, dC_TEMPLATE, dC_FORMAL_TEMPLATE}, identifier, {}, {}, false},
    {{dC_TYPE, dC_BUILT_IN_TYPE, dC_ENUM_TYPE, dC_ALIAS_TYPE, dC_FORWARD_TYPE, dC_ARRAY_TYPE, dC_PTR_TYPE,
      dC_REF_TYPE, dC_FCT_TYPE, dC_FORMAL_TYPE},
     ririra_type, {}, {}, false},
    {{dC_AGGR_TYPE}, ririra_type, aggr_type_attrs, {}, false},
    {{dC_SCOPE, dC_SCOPE_GLB, dC_SCOPE_COMPIL, dC_SCOPE_FILE, dC_PACKAGE, dC_NAME_SPACE, dC_BLOCK, dC_STATIC_BLOCK,
      dC_TRY_BLOCK, dC_CATCH_BLOCK, dC_FINALLY_BLOCK, dC_SYNCHRONIZED_BLOCK},
     scope, {}, {}, false},
    {{dC_OBJECT, dC_FORMAL_OBJECT}, object, {}, {}, false},
    {{dC_FUNCTION}, identifier, function_attrs, {}, false},
    {{dC_LABEL, dC_CASE_LABEL, dC_DEFAULT_LABEL}, label, {}, {}, false},
    {{dC_EXPRESSION, dC_EMPTY_EXPR, dC_SYNTAX_ERROR, dC_INIT_LIST, dC_ACTUAL_FCT_PARAM_LIST, dC_CREATION_EXPR,
      dC_DESTROY_EXPR},
     expression, {}, {}, false},
    {{dC_LITERAL}, expression, literal_attrs, {}, false},
    {{dC_NAME_REF}, expression, name_attrs, {}, false},
    {{dC_OPERATOR}, ririra_operator, {}, {}, false},
    {{dC_CNTRL_STMT, dC_SELECTION, dC_IF, dC_SWITCH}, ctrl_stmt, {}, {}, false},
    {{dC_JUMP, dC_GOTO, dC_RETURN, dC_BREAK, dC_CONTINUE, dC_THROW}, jump, {}, {}, false},
    {{dC_LOOP, dC_DO_WHILE_LOOP, dC_WHILE_DO_LOOP, dC_FOR_LOOP}, loop, {}, {}, false},
    {{dC_COMMENT, dC_JAVA_DOC_COMMENT}, comment, {}, {}, false},

    {{dC_ARC}, arc, {}, {}, false},
    {{dC_ARC_REFERENCE, dC_INSTANCE, dC_IMPLEMENTS, dC_ARC_FRIEND, dC_ARC_DEF_LOC, dC_REFERS_TO, dC_CONSTRUCTED,
      dC_LINKS_TO, dC_LINKS_FROM},
     arc_reference, {}, {}, false},
    {{dC_INHERITANCE}, arc_reference, inheritance_attrs, {}, false},
    {{dC_ARC_SYNTAX, dC_ARC_SON, dC_ARC_TRUE, dC_ARC_FALSE, dC_ARC_OPD, dC_IMPORT, dC_ARC_COND, dC_ARC_FOR_INIT,
      dC_ARC_FOR_INCR, dC_ARC_INIT_VAL, dC_ARC_BIT_DIM, dC_ARC_ARRAY_DIM},
     arc_syntax, {}, {}, false},

    {{NODE_DELTED, NODE_NONE}, skipped, {}, {}, false},
};

gxl_body resolve_body(int kind, const row &r) {
  const gd_kind_info *info = gd_kind_info_of(kind);
  gxl_body body;
  body.level = r.level;
  body.elements_relation = r.elements_relation;
  for (const gxl_attr &a : r.attrs) body.attrs.push_back({&a, gdexport::table_field("gxl element table", kind, a.field)});
  for (const gxl_link &l : r.links) {
    // The record name without its "t_", then the suffix.
    std::string name = l.name[0] == '_' ? std::string(info->record + 2) + l.name : std::string(l.name);
    body.links.push_back({std::move(name), gdexport::table_field("gxl element table", kind, l.field)});
  }
  return body;
}

}  // namespace

const gxl_choice gxl_visb_choice = {visb_texts, 4, "???", nullptr};

const gxl_body &gxl_body_of(int kind) {
  static const std::array<gxl_body, NUM_NODES + 1> bodies =
      gdexport::bodies_by_kind<gxl_body, row>("gxl element table", element_rows, resolve_body);
  static const gxl_body unhandled_body;
  return kind >= 0 && kind <= NUM_NODES ? bodies[kind] : unhandled_body;
}

}  // namespace gxl
