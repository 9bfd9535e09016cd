// gd_operators_filter: expressions become operators with operand arcs,
// wrappers and conversions leave every pointer path, three rewrites.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

#include <cstring>
#include <string>

namespace {

void set_word(gd_graph *g, node_ptr n, int offset, node_ptr value)
{
    std::memcpy(g->nodeBuffer[n].bytes + offset, &value, sizeof value);
}

// A graph with one node of kind `kind` (node 0) and four integer constants
// (nodes 1 to 4) that its words can point at.
std::string generic_node(gd_node_type kind)
{
    return "0 " + std::to_string(int(kind)) + R"(
1 integer_cst low=1
2 integer_cst low=2
3 integer_cst low=3
4 integer_cst low=4
)";
}

struct converting_row {
    gd_node_type kind;
    int first_operand;  // byte offset of operand 0
    int arity;
    op_kind op;
};

// Every row that makes an operator, but the method call, which the method-call
// rewrite reshapes (tested on its own below).
const converting_row converting_rows[] = {
    {gCOMPONENT_REF, 8, 2, dc_field_access},
    {gBIT_FIELD_REF, 8, 2, dc_field_access},
    {gINDIRECT_REF, 8, 1, dc_deref},
    {gARRAY_REF, 8, 2, dc_array_ref},
    {gCOMPOUND_EXPR, 12, 2, dc_comma},
    {gMODIFY_EXPR, 12, 2, dc_asgn_eq},
    {gINIT_EXPR, 12, 2, dc_asgn_eq},
    {gTARGET_EXPR, 12, 2, dc_asgn_eq},
    {gCOND_EXPR, 12, 3, dc_question},
    {gCALL_EXPR, 12, 2, dc_fct_call},
    {gPLUS_EXPR, 12, 2, dc_bplus},
    {gMINUS_EXPR, 12, 2, dc_bminus},
    {gMULT_EXPR, 12, 2, dc_mult},
    {gTRUNC_DIV_EXPR, 12, 2, dc_div},
    {gTRUNC_MOD_EXPR, 12, 2, dc_modulo},
    {gRDIV_EXPR, 12, 2, dc_div},
    {gEXACT_DIV_EXPR, 12, 2, dc_div},
    {gNEGATE_EXPR, 12, 1, dc_uminus},
    {gMIN_EXPR, 12, 2, dc_tst_min},
    {gMAX_EXPR, 12, 2, dc_tst_max},
    {gABS_EXPR, 12, 1, dc_abs},
    {gLSHIFT_EXPR, 12, 2, dc_lshift},
    {gRSHIFT_EXPR, 12, 2, dc_rshift},
    {gLROTATE_EXPR, 12, 2, dc_unk},
    {gRROTATE_EXPR, 12, 2, dc_unk},
    {gBIT_IOR_EXPR, 12, 2, dc_bit_or},
    {gBIT_XOR_EXPR, 12, 2, dc_bit_xor},
    {gBIT_AND_EXPR, 12, 2, dc_bit_and},
    {gBIT_NOT_EXPR, 12, 1, dc_bit_not},
    {gTRUTH_ANDIF_EXPR, 12, 2, dc_and},
    {gTRUTH_ORIF_EXPR, 12, 2, dc_or},
    {gTRUTH_AND_EXPR, 12, 2, dc_and},
    {gTRUTH_OR_EXPR, 12, 2, dc_or},
    {gTRUTH_XOR_EXPR, 12, 2, dc_xor},
    {gTRUTH_NOT_EXPR, 12, 1, dc_not},
    {gLT_EXPR, 12, 2, dc_tst_lt},
    {gLE_EXPR, 12, 2, dc_tst_le},
    {gGT_EXPR, 12, 2, dc_tst_gt},
    {gGE_EXPR, 12, 2, dc_tst_ge},
    {gEQ_EXPR, 12, 2, dc_tst_eq},
    {gNE_EXPR, 12, 2, dc_tst_ne},
    {gADDR_EXPR, 12, 1, dc_addr},
    {gPREDECREMENT_EXPR, 12, 1, dc_pre_dec},
    {gPREINCREMENT_EXPR, 12, 1, dc_pre_inc},
    {gPOSTDECREMENT_EXPR, 12, 1, dc_post_dec},
    {gPOSTINCREMENT_EXPR, 12, 1, dc_post_inc},
    {gVA_ARG_EXPR, 12, 1, dc_va_arg},
    {gSIZEOF_EXPR, 12, 1, dc_sizeof},
    {gARROW_EXPR, 12, 1, dc_pointsat},
    {gMODOP_EXPR, 12, 3, dc_asgn_eq},
    {gCAST_EXPR, 12, 1, dc_static_cast},
    {gREINTERPRET_CAST_EXPR, 12, 1, dc_reint_cast},
    {gCONST_CAST_EXPR, 12, 1, dc_const_cast},
    {gSTATIC_CAST_EXPR, 12, 1, dc_static_cast},
};

TEST(GdOperators, EveryConvertingRowMakesItsOperatorWithItsOperands)
{
    for (const converting_row &row : converting_rows) {
        SCOPED_TRACE(gd_node_type_ascii[row.kind]);
        text_graph t(generic_node(row.kind).c_str());
        // Operands 1 .. arity at the layout's offsets, and one more node in
        // the word after them, which the operator must not take.
        for (int k = 0; k <= row.arity; ++k)
            set_word(&t.g, 0, row.first_operand + 4 * k, k + 1);

        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        const t_dc_operator &op = t.g.nodeBuffer[0].dc_operator;
        ASSERT_EQ(op.type, dC_OPERATOR);
        EXPECT_EQ(op.op, row.op);
        EXPECT_EQ(op.file, -1);
        EXPECT_EQ(op.line, -1);
        EXPECT_EQ(op.refers, -1);
        EXPECT_EQ(op.mark_flag1, row.kind == gINIT_EXPR ? 1u : 0u);
        // The operand arcs are the nodes made after the graph's five.
        node_ptr arc = op.ops;
        for (int k = 0; k < row.arity; ++k) {
            ASSERT_EQ(arc, 5 + k);
            const t_dc_arc &a = t.g.nodeBuffer[arc].dc_arc;
            EXPECT_EQ(a.type, dC_ARC_OPD);
            EXPECT_EQ(a.ordinal, k + 1);
            EXPECT_EQ(a.src, 0);
            EXPECT_EQ(a.dest, k + 1);
            arc = a.next;
        }
        EXPECT_EQ(arc, -1);
        EXPECT_EQ(t.g.curNodePos, uint32_t(5 + row.arity));
    }
}

TEST(GdOperators, EverySkipRowIsBypassedByItsOperand)
{
    // The operand that replaces the node lies at byte 12 in every skip row
    // (op0 after the type field; a cleanup point's only operand is op0 too).
    // The words before and after it point elsewhere.
    const gd_node_type skip_rows[] = {
        gCLEANUP_POINT_EXPR, gFIX_TRUNC_EXPR, gFIX_CEIL_EXPR, gFIX_FLOOR_EXPR, gFIX_ROUND_EXPR,
        gFLOAT_EXPR, gCONVERT_EXPR, gNOP_EXPR, gNON_LVALUE_EXPR, gSAVE_EXPR,
        gUNSAVE_EXPR, gSTMT_EXPR, gLOOKUP_EXPR,
    };
    for (gd_node_type kind : skip_rows) {
        SCOPED_TRACE(gd_node_type_ascii[kind]);
        text_graph t((generic_node(kind) + "5 tree_list value=0\n").c_str());
        set_word(&t.g, 0, 8, 2);
        set_word(&t.g, 0, 12, 1);
        set_word(&t.g, 0, 16, 3);

        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        EXPECT_EQ(t.g.nodeBuffer[0].common.type, gPLACEHOLDER_EXPR);
        EXPECT_EQ(t.g.nodeBuffer[0].common.other_node, 1);
        EXPECT_EQ(t.g.nodeBuffer[5].tree_list.value, 1);
        EXPECT_EQ(t.g.curNodePos, 6u);
    }
}

TEST(GdOperators, EveryInvalidRowIsReportedAndKept)
{
    const gd_node_type invalid_rows[] = {
        gBUFFER_REF, gBIND_EXPR, gWITH_CLEANUP_EXPR, gPLACEHOLDER_EXPR, gWITH_RECORD_EXPR,
        gCEIL_DIV_EXPR, gFLOOR_DIV_EXPR, gROUND_DIV_EXPR, gCEIL_MOD_EXPR, gFLOOR_MOD_EXPR,
        gROUND_MOD_EXPR, gEXPON_EXPR, gFFS_EXPR, gBIT_ANDTC_EXPR, gUNORDERED_EXPR,
        gORDERED_EXPR, gUNLT_EXPR, gUNLE_EXPR, gUNGT_EXPR, gUNGE_EXPR,
        gUNEQ_EXPR, gIN_EXPR, gSET_LE_EXPR, gCARD_EXPR, gRANGE_EXPR,
        gRTL_EXPR, gREFERENCE_EXPR, gENTRY_VALUE_EXPR, gCOMPLEX_EXPR, gCONJ_EXPR,
        gREALPART_EXPR, gIMAGPART_EXPR, gTRY_CATCH_EXPR, gTRY_FINALLY_EXPR, gGOTO_SUBROUTINE_EXPR,
        gLABEL_EXPR, gGOTO_EXPR, gRETURN_EXPR, gEXIT_EXPR, gLOOP_EXPR,
        gLABELED_BLOCK_EXPR, gEXIT_BLOCK_EXPR, gEXPR_WITH_FILE_LOCATION, gSWITCH_EXPR, gSRCLOC,
        gALIGNOF_EXPR, gDYNAMIC_CAST_EXPR, gDOTSTAR_EXPR, gTYPEID_EXPR, gPSEUDO_DTOR_EXPR,
    };
    for (gd_node_type kind : invalid_rows) {
        SCOPED_TRACE(gd_node_type_ascii[kind]);
        text_graph t(("3 integer_cst\n4 " + std::to_string(int(kind)) + "\n").c_str());
        t.g.nodeBuffer[4].common.other_node = 3;

        testing::internal::CaptureStderr();
        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "gd_operators: node 4 of type " + std::to_string(int(kind)) +
                      " is an unexpected expression.\n");
        EXPECT_EQ(t.g.nodeBuffer[4].common.type, kind);
        EXPECT_EQ(t.g.nodeBuffer[4].common.other_node, -1);
    }
}

TEST(GdOperators, ConversionChainsLeaveEveryPathInOneWalk)
{
    // A call without arguments gets one operand arc. Its function is reached
    // through a conversion around a conversion; the statement that points at
    // the outer one ends at the function too.
    text_graph t(gd_operators_fixture.before);
    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_operators_fixture.after);
}

TEST(GdOperators, ResultAssignmentAndAddressOfFunctionOrStringDisappear)
{
    // Every pointer to the three operators reaches what replaces them, the
    // operand arcs left behind included.
    text_graph t(R"(0 modify_expr op0=1 op1=2
1 result_decl
2 integer_cst low=7
3 expr_stmt line=1 texpr=0 next=4
4 expr_stmt line=2 texpr=5
5 addr_expr op0=6
6 function_decl name=7
7 identifier_node strg="f"
8 addr_expr op0=9
9 string_cst strg="hi" lngt=3
10 return_stmt line=3 ret_expr=8
11 addr_expr op0=12
12 var_decl name=13
13 identifier_node strg="v"
14 return_stmt line=4 ret_expr=11
)");
    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 placeholder_expr other_node=2
1 result_decl
2 integer_cst low=7
3 expr_stmt line=1 texpr=2 next=4
4 expr_stmt line=2 texpr=6
5 placeholder_expr other_node=6
6 function_decl name=7
7 identifier_node strg="f"
8 placeholder_expr other_node=9
9 string_cst strg="hi" lngt=3
10 return_stmt line=3 ret_expr=9
11 cOperator op=dc_addr ops=19
12 var_decl name=13
13 identifier_node strg="v"
14 return_stmt line=4 ret_expr=11
15 cArcOpd ordinal=1 src=2 dest=1 next=16
16 cArcOpd ordinal=2 src=2 dest=2
17 cArcOpd ordinal=1 src=6 dest=6
18 cArcOpd ordinal=1 src=9 dest=9
19 cArcOpd ordinal=1 src=11 dest=12
)");
}

TEST(GdOperators, MethodCallBecomesCallOfFieldAccess)
{
    // fn(object, args) becomes fct_call(field_access(object, fn), args); the
    // field access and its arc to the object are made after the call's arcs.
    text_graph t(R"(0 method_call_expr fn=1 object=2 args=3
1 function_decl name=4
2 var_decl name=5
3 tree_list value=2
4 identifier_node strg="m"
5 identifier_node strg="o"
)");
    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cOperator mark_flag1 op=dc_fct_call ops=7
1 function_decl name=4
2 var_decl name=5
3 tree_list value=2
4 identifier_node strg="m"
5 identifier_node strg="o"
6 cArcOpd ordinal=1 src=9 dest=1
7 cArcOpd ordinal=2 src=0 dest=9 next=8
8 cArcOpd ordinal=3 src=0 dest=3
9 cOperator op=dc_field_access ops=10
10 cArcOpd src=9 dest=2 next=6
)");
}

TEST(GdOperators, MethodCallWithoutObjectIsLeftAlone)
{
    text_graph t(R"(0 method_call_expr fn=1
1 function_decl name=2
2 identifier_node strg="m"
)");
    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cOperator mark_flag1 op=dc_fct_call ops=3
1 function_decl name=2
2 identifier_node strg="m"
3 cArcOpd ordinal=1 src=0 dest=1
)");
}

TEST(GdOperators, SkipMarksInACircleOrLeadingNowhereEndTheChase)
{
    // Two conversions that wrap each other: the statement keeps pointing at
    // the first. A chain whose last mark leads out of the graph: the
    // statement ends at that last mark.
    text_graph t(R"(0 nop_expr op0=1
1 nop_expr op0=0
2 expr_stmt line=1 texpr=0 next=5
3 nop_expr op0=4
4 nop_expr op0=99
5 expr_stmt line=2 texpr=3
)");
    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 placeholder_expr other_node=1
1 placeholder_expr other_node=0
2 expr_stmt line=1 texpr=0 next=5
3 placeholder_expr other_node=4
4 placeholder_expr other_node=99
5 expr_stmt line=2 texpr=4
)");
}

}  // namespace
