// gd_operators_filter: expressions become operators with operand arcs,
// wrappers and conversions leave every pointer path, three rewrites.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

#include <string>

namespace {

// The nodes that the expression under test (node 0) points at. Every field
// of node 0 that is no operand, its type included, points at one of them as
// well, and the bytes after its record are 0, which names node 0 itself: an
// operand taken from a wrong field shows in the output as an arc too many or
// an arc to the wrong node.
const std::string constants = R"(1 integer_cst low=1
2 integer_cst low=2
3 integer_cst low=3
4 integer_cst low=4
)";

// The operand arcs of node 0 to nodes 1, 2 and 3 in this order, made after
// the graph's five nodes.
const std::string one_operand = "5 cArcOpd ordinal=1 src=0 dest=1\n";
const std::string two_operands = "5 cArcOpd ordinal=1 src=0 dest=1 next=6\n"
                                 "6 cArcOpd ordinal=2 src=0 dest=2\n";
const std::string three_operands = "5 cArcOpd ordinal=1 src=0 dest=1 next=6\n"
                                   "6 cArcOpd ordinal=2 src=0 dest=2 next=7\n"
                                   "7 cArcOpd ordinal=3 src=0 dest=3\n";

struct conversion {
    const char *expression;  // node 0, in the text form
    const char *becomes;     // node 0 after the filter
    const std::string &arcs;
};

// Every kind that becomes an operator, but the method call, which the
// method-call rewrite reshapes (tested on its own below). Its operands hold
// nodes 1 to 3 in operand order; a field after them holds a node that the
// operator must not take.
const conversion conversions[] = {
    // References, whose records have no type field.
    {"component_ref op0=1 op1=2", "cOperator op=dc_field_access ops=5", two_operands},
    {"indirect_ref op0=1", "cOperator op=dc_deref ops=5", one_operand},
    {"array_ref op0=1 op1=2", "cOperator op=dc_array_ref ops=5", two_operands},
    // Sequences, assignments, choices and calls.
    {"compound_expr type=4 op0=1 op1=2", "cOperator op=dc_comma ops=5", two_operands},
    {"modify_expr type=4 op0=1 op1=2", "cOperator op=dc_asgn_eq ops=5", two_operands},
    {"init_expr type=4 op0=1 op1=2", "cOperator mark_flag1 op=dc_asgn_eq ops=5", two_operands},
    {"target_expr type=4 decl=1 init=2 clnp=3", "cOperator op=dc_asgn_eq ops=5", two_operands},
    {"modop_expr type=4 op0=1 op1=2 op2=3", "cOperator op=dc_asgn_eq ops=5", three_operands},
    {"cond_expr type=4 op0=1 op1=2 op2=3", "cOperator op=dc_question ops=5", three_operands},
    {"call_expr type=4 fn=1 args=2", "cOperator op=dc_fct_call ops=5", two_operands},
    // Arithmetic.
    {"plus_expr type=4 op0=1 op1=2", "cOperator op=dc_bplus ops=5", two_operands},
    {"minus_expr type=4 op0=1 op1=2", "cOperator op=dc_bminus ops=5", two_operands},
    {"mult_expr type=4 op0=1 op1=2", "cOperator op=dc_mult ops=5", two_operands},
    {"trunc_div_expr type=4 op0=1 op1=2", "cOperator op=dc_div ops=5", two_operands},
    {"trunc_mod_expr type=4 op0=1 op1=2", "cOperator op=dc_modulo ops=5", two_operands},
    {"rdiv_expr type=4 op0=1 op1=2", "cOperator op=dc_div ops=5", two_operands},
    {"exact_div_expr type=4 op0=1 op1=2", "cOperator op=dc_div ops=5", two_operands},
    {"min_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_min ops=5", two_operands},
    {"max_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_max ops=5", two_operands},
    {"negate_expr type=4 op0=1", "cOperator op=dc_uminus ops=5", one_operand},
    {"abs_expr type=4 op0=1", "cOperator op=dc_abs ops=5", one_operand},
    // Bits.
    {"lshift_expr type=4 op0=1 op1=2", "cOperator op=dc_lshift ops=5", two_operands},
    {"rshift_expr type=4 op0=1 op1=2", "cOperator op=dc_rshift ops=5", two_operands},
    {"lrotate_expr type=4 op0=1 op1=2", "cOperator op=dc_unk ops=5", two_operands},
    {"rrotate_expr type=4 op0=1 op1=2", "cOperator op=dc_unk ops=5", two_operands},
    {"bit_ior_expr type=4 op0=1 op1=2", "cOperator op=dc_bit_or ops=5", two_operands},
    {"bit_xor_expr type=4 op0=1 op1=2", "cOperator op=dc_bit_xor ops=5", two_operands},
    {"bit_and_expr type=4 op0=1 op1=2", "cOperator op=dc_bit_and ops=5", two_operands},
    {"bit_not_expr type=4 op0=1", "cOperator op=dc_bit_not ops=5", one_operand},
    // Truth values and comparisons.
    {"truth_andif_expr type=4 op0=1 op1=2", "cOperator op=dc_and ops=5", two_operands},
    {"truth_orif_expr type=4 op0=1 op1=2", "cOperator op=dc_or ops=5", two_operands},
    {"truth_and_expr type=4 op0=1 op1=2", "cOperator op=dc_and ops=5", two_operands},
    {"truth_or_expr type=4 op0=1 op1=2", "cOperator op=dc_or ops=5", two_operands},
    {"truth_xor_expr type=4 op0=1 op1=2", "cOperator op=dc_xor ops=5", two_operands},
    {"truth_not_expr type=4 op0=1", "cOperator op=dc_not ops=5", one_operand},
    {"lt_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_lt ops=5", two_operands},
    {"le_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_le ops=5", two_operands},
    {"gt_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_gt ops=5", two_operands},
    {"ge_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_ge ops=5", two_operands},
    {"eq_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_eq ops=5", two_operands},
    {"ne_expr type=4 op0=1 op1=2", "cOperator op=dc_tst_ne ops=5", two_operands},
    // One operand, in records that hold a second: op1 stays out.
    {"predecrement_expr type=4 op0=1 op1=2", "cOperator op=dc_pre_dec ops=5", one_operand},
    {"preincrement_expr type=4 op0=1 op1=2", "cOperator op=dc_pre_inc ops=5", one_operand},
    {"postdecrement_expr type=4 op0=1 op1=2", "cOperator op=dc_post_dec ops=5", one_operand},
    {"postincrement_expr type=4 op0=1 op1=2", "cOperator op=dc_post_inc ops=5", one_operand},
    {"cast_expr type=4 op0=1 op1=2", "cOperator op=dc_static_cast ops=5", one_operand},
    {"reinterpret_cast_expr type=4 op0=1 op1=2", "cOperator op=dc_reint_cast ops=5", one_operand},
    {"const_cast_expr type=4 op0=1 op1=2", "cOperator op=dc_const_cast ops=5", one_operand},
    {"static_cast_expr type=4 op0=1 op1=2", "cOperator op=dc_static_cast ops=5", one_operand},
    // One operand, in records that end after it.
    {"addr_expr type=4 op0=1", "cOperator op=dc_addr ops=5", one_operand},
    {"va_arg_expr type=4 op0=1", "cOperator op=dc_va_arg ops=5", one_operand},
    {"sizeof_expr type=4 op0=1", "cOperator op=dc_sizeof ops=5", one_operand},
    {"arrow_expr type=4 op0=1", "cOperator op=dc_pointsat ops=5", one_operand},
    // The operands end at the first that is no node.
    {"cond_expr type=4 op0=1 op1=99 op2=3", "cOperator op=dc_question ops=5", one_operand},
    {"modify_expr type=4 op0=1 op1=-1", "cOperator op=dc_asgn_eq ops=5", one_operand},
};

TEST(GdOperators, EveryConvertedKindMakesItsOperatorWithItsOperandsInOrder)
{
    for (const conversion &c : conversions) {
        SCOPED_TRACE(c.expression);
        text_graph t(("0 " + std::string(c.expression) + "\n" + constants).c_str());
        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        EXPECT_EQ(t.dump(), "0 " + std::string(c.becomes) + "\n" + constants + c.arcs);
    }
}

// Node 0 wrapped around node 1; its type and the bytes after its record lead
// elsewhere, and a list cell points at it.
const char *const bypassed[] = {
    "cleanup_point_expr type=2 op0=1", "fix_trunc_expr type=2 op0=1", "fix_ceil_expr type=2 op0=1",
    "fix_floor_expr type=2 op0=1",     "fix_round_expr type=2 op0=1", "float_expr type=2 op0=1",
    "convert_expr type=2 op0=1",       "nop_expr type=2 op0=1",       "non_lvalue_expr type=2 op0=1",
    "save_expr type=2 op0=1",          "stmt_expr type=2 stmt=1",     "lookup_expr type=2 op0=1",
};

TEST(GdOperators, EveryWrapperIsBypassedByTheNodeItWraps)
{
    for (const char *wrapper : bypassed) {
        SCOPED_TRACE(wrapper);
        text_graph t(("0 " + std::string(wrapper) + "\n" + constants + "5 tree_list value=0\n").c_str());
        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        EXPECT_EQ(t.dump(), "0 placeholder_expr other_node=1\n" + constants + "5 tree_list value=1\n");
    }
}

TEST(GdOperators, KindsWithoutOperandFieldsAreReadInTheLayoutOfTheirFamily)
{
    // A bit-field reference's record is the common head alone, and an unsave
    // expression's ends after its type; their operands lie where a component
    // reference's op0 and op1 and a save expression's op0 do. The text form
    // writes nothing after a kind's record, so the fixture puts them in by
    // those names. The words after them are 0, node 0.
    text_graph t(R"(0 bit_field_ref
1 integer_cst low=1
2 integer_cst low=2
3 unsave_expr type=2
4 tree_list value=3
)");
    node_at(&t.g, 0)->component_ref.op0 = 1;
    node_at(&t.g, 0)->component_ref.op1 = 2;
    node_at(&t.g, 3)->save_expr.op0 = 1;

    EXPECT_EQ(gd_operators_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cOperator op=dc_field_access ops=5
1 integer_cst low=1
2 integer_cst low=2
3 placeholder_expr other_node=1
4 tree_list value=1
5 cArcOpd ordinal=1 src=0 dest=1 next=6
6 cArcOpd ordinal=2 src=0 dest=2
)");
}

TEST(GdOperators, EveryUnexpectedExpressionIsReportedAndKept)
{
    const gd_node_type unexpected[] = {
        gBUFFER_REF,
        gBIND_EXPR,
        gWITH_CLEANUP_EXPR,
        gPLACEHOLDER_EXPR,
        gWITH_RECORD_EXPR,
        gCEIL_DIV_EXPR,
        gFLOOR_DIV_EXPR,
        gROUND_DIV_EXPR,
        gCEIL_MOD_EXPR,
        gFLOOR_MOD_EXPR,
        gROUND_MOD_EXPR,
        gEXPON_EXPR,
        gFFS_EXPR,
        gBIT_ANDTC_EXPR,
        gUNORDERED_EXPR,
        gORDERED_EXPR,
        gUNLT_EXPR,
        gUNLE_EXPR,
        gUNGT_EXPR,
        gUNGE_EXPR,
        gUNEQ_EXPR,
        gIN_EXPR,
        gSET_LE_EXPR,
        gCARD_EXPR,
        gRANGE_EXPR,
        gRTL_EXPR,
        gREFERENCE_EXPR,
        gENTRY_VALUE_EXPR,
        gCOMPLEX_EXPR,
        gCONJ_EXPR,
        gREALPART_EXPR,
        gIMAGPART_EXPR,
        gTRY_CATCH_EXPR,
        gTRY_FINALLY_EXPR,
        gGOTO_SUBROUTINE_EXPR,
        gLABEL_EXPR,
        gGOTO_EXPR,
        gRETURN_EXPR,
        gEXIT_EXPR,
        gLOOP_EXPR,
        gLABELED_BLOCK_EXPR,
        gEXIT_BLOCK_EXPR,
        gEXPR_WITH_FILE_LOCATION,
        gSWITCH_EXPR,
        gSRCLOC,
        gALIGNOF_EXPR,
        gDYNAMIC_CAST_EXPR,
        gDOTSTAR_EXPR,
        gTYPEID_EXPR,
        gPSEUDO_DTOR_EXPR,
    };
    for (gd_node_type kind : unexpected) {
        const std::string name = gd_kind_name(kind);
        SCOPED_TRACE(name);
        text_graph t(("3 integer_cst\n4 " + name + " other_node=3\n").c_str());

        testing::internal::CaptureStderr();
        EXPECT_EQ(gd_operators_filter(&t.g), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "gd_operators: node 4 of type " +
                                                              std::to_string(int(kind)) +
                                                              " is an unexpected expression.\n");
        EXPECT_EQ(t.dump(), "3 integer_cst\n4 " + name + "\n");
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
