// The gd_operators family: the compiler's expression nodes become Ririra
// operators with one operand arc per operand; conversion and wrapper nodes
// are taken out of every pointer path; assignments to the function result,
// the address of a function or string, and method calls are rewritten.

#include <gd/filters/filters.h>
#include <gd/walkers.h>

#include "arcs_and_chains.h"
#include "record_set.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// What becomes of a node of a kind that has a row.
enum x_kind : int32_t {
    convert_x = 1,  // the node becomes an operator
    skip_x = 2,     // the node is bypassed
    invalid_x = 3,  // the node is reported
};

// Which word of the compiler record operand k is.
enum operand_layout : int32_t {
    ref_ops = 0,   // the word at byte 8 + 4k (reference records have no type field)
    expr_ops = 1,  // the word at byte 12 + 4k, after the type field
    cast_ops = 2,  // operand 0 is the type field (byte 8), operand 1 the word at byte 12
};

struct op_row {
    gd_node_type node_type;
    x_kind x_type;
    operand_layout ops_type;
    int32_t arity;  // operands of an operator; for a bypassed node, the operand that replaces it
    op_kind op_type;
};

// Each node kind has at most one row; a kind without one is left alone.
constexpr op_row type_to_op[] = {
    {gCOMPONENT_REF, convert_x, ref_ops, 2, dc_field_access},
    {gBIT_FIELD_REF, convert_x, ref_ops, 2, dc_field_access},
    {gINDIRECT_REF, convert_x, ref_ops, 1, dc_deref},
    {gARRAY_REF, convert_x, ref_ops, 2, dc_array_ref},
    {gCOMPOUND_EXPR, convert_x, expr_ops, 2, dc_comma},
    {gMODIFY_EXPR, convert_x, expr_ops, 2, dc_asgn_eq},
    {gTARGET_EXPR, convert_x, expr_ops, 2, dc_asgn_eq},
    {gCOND_EXPR, convert_x, expr_ops, 3, dc_question},
    {gCALL_EXPR, convert_x, expr_ops, 2, dc_fct_call},
    {gMETHOD_CALL_EXPR, convert_x, expr_ops, 3, dc_fct_call},
    {gPLUS_EXPR, convert_x, expr_ops, 2, dc_bplus},
    {gMINUS_EXPR, convert_x, expr_ops, 2, dc_bminus},
    {gMULT_EXPR, convert_x, expr_ops, 2, dc_mult},
    {gTRUNC_DIV_EXPR, convert_x, expr_ops, 2, dc_div},
    {gTRUNC_MOD_EXPR, convert_x, expr_ops, 2, dc_modulo},
    {gRDIV_EXPR, convert_x, expr_ops, 2, dc_div},
    {gEXACT_DIV_EXPR, convert_x, expr_ops, 2, dc_div},
    {gNEGATE_EXPR, convert_x, expr_ops, 1, dc_uminus},
    {gMIN_EXPR, convert_x, expr_ops, 2, dc_tst_min},
    {gMAX_EXPR, convert_x, expr_ops, 2, dc_tst_max},
    {gABS_EXPR, convert_x, expr_ops, 1, dc_abs},
    {gLSHIFT_EXPR, convert_x, expr_ops, 2, dc_lshift},
    {gRSHIFT_EXPR, convert_x, expr_ops, 2, dc_rshift},
    {gLROTATE_EXPR, convert_x, expr_ops, 2, dc_unk},
    {gRROTATE_EXPR, convert_x, expr_ops, 2, dc_unk},
    {gBIT_IOR_EXPR, convert_x, expr_ops, 2, dc_bit_or},
    {gBIT_XOR_EXPR, convert_x, expr_ops, 2, dc_bit_xor},
    {gBIT_AND_EXPR, convert_x, expr_ops, 2, dc_bit_and},
    {gBIT_NOT_EXPR, convert_x, expr_ops, 1, dc_bit_not},
    {gTRUTH_ANDIF_EXPR, convert_x, expr_ops, 2, dc_and},
    {gTRUTH_ORIF_EXPR, convert_x, expr_ops, 2, dc_or},
    {gTRUTH_AND_EXPR, convert_x, expr_ops, 2, dc_and},
    {gTRUTH_OR_EXPR, convert_x, expr_ops, 2, dc_or},
    {gTRUTH_XOR_EXPR, convert_x, expr_ops, 2, dc_xor},
    {gTRUTH_NOT_EXPR, convert_x, expr_ops, 1, dc_not},
    {gLT_EXPR, convert_x, expr_ops, 2, dc_tst_lt},
    {gLE_EXPR, convert_x, expr_ops, 2, dc_tst_le},
    {gGT_EXPR, convert_x, expr_ops, 2, dc_tst_gt},
    {gGE_EXPR, convert_x, expr_ops, 2, dc_tst_ge},
    {gEQ_EXPR, convert_x, expr_ops, 2, dc_tst_eq},
    {gNE_EXPR, convert_x, expr_ops, 2, dc_tst_ne},
    {gADDR_EXPR, convert_x, expr_ops, 1, dc_addr},
    {gPREDECREMENT_EXPR, convert_x, expr_ops, 1, dc_pre_dec},
    {gPREINCREMENT_EXPR, convert_x, expr_ops, 1, dc_pre_inc},
    {gPOSTDECREMENT_EXPR, convert_x, expr_ops, 1, dc_post_dec},
    {gPOSTINCREMENT_EXPR, convert_x, expr_ops, 1, dc_post_inc},
    {gVA_ARG_EXPR, convert_x, expr_ops, 1, dc_va_arg},
    {gSIZEOF_EXPR, convert_x, expr_ops, 1, dc_sizeof},
    {gARROW_EXPR, convert_x, expr_ops, 1, dc_pointsat},
    {gMODOP_EXPR, convert_x, expr_ops, 3, dc_asgn_eq},
    {gCAST_EXPR, convert_x, expr_ops, 1, dc_static_cast},
    {gREINTERPRET_CAST_EXPR, convert_x, expr_ops, 1, dc_reint_cast},
    {gCONST_CAST_EXPR, convert_x, expr_ops, 1, dc_const_cast},
    {gSTATIC_CAST_EXPR, convert_x, expr_ops, 1, dc_static_cast},
    {gINIT_EXPR, convert_x, expr_ops, 2, dc_asgn_eq},

    // The record of a cleanup point holds one operand, op0.
    {gCLEANUP_POINT_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gFIX_TRUNC_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gFIX_CEIL_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gFIX_FLOOR_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gFIX_ROUND_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gFLOAT_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gCONVERT_EXPR, skip_x, cast_ops, 1, dc_uplus},
    {gNOP_EXPR, skip_x, cast_ops, 1, dc_uplus},
    {gNON_LVALUE_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gSAVE_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gUNSAVE_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gSTMT_EXPR, skip_x, expr_ops, 0, dc_uplus},
    {gLOOKUP_EXPR, skip_x, expr_ops, 0, dc_uplus},

    {gBUFFER_REF, invalid_x, ref_ops, 0, dc_uplus},
    {gBIND_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gWITH_CLEANUP_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gPLACEHOLDER_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gWITH_RECORD_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gCEIL_DIV_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gFLOOR_DIV_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gROUND_DIV_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gCEIL_MOD_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gFLOOR_MOD_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gROUND_MOD_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gEXPON_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gFFS_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gBIT_ANDTC_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNORDERED_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gORDERED_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNLT_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNLE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNGT_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNGE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gUNEQ_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gIN_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gSET_LE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gCARD_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gRANGE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gRTL_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gREFERENCE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gENTRY_VALUE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gCOMPLEX_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gCONJ_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gREALPART_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gIMAGPART_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gTRY_CATCH_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gTRY_FINALLY_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gGOTO_SUBROUTINE_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gLABEL_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gGOTO_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gRETURN_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gEXIT_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gLOOP_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gLABELED_BLOCK_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gEXIT_BLOCK_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gEXPR_WITH_FILE_LOCATION, invalid_x, ref_ops, 0, dc_uplus},
    {gSWITCH_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gSRCLOC, invalid_x, ref_ops, 0, dc_uplus},
    {gALIGNOF_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gDYNAMIC_CAST_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gDOTSTAR_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gTYPEID_EXPR, invalid_x, ref_ops, 0, dc_uplus},
    {gPSEUDO_DTOR_EXPR, invalid_x, ref_ops, 0, dc_uplus},
};
static_assert(std::size(type_to_op) == 118);

// The most operands a row converts.
constexpr int max_operands = 3;

// The row of each node kind, nullptr for a kind without one.
struct row_index {
    std::array<const op_row *, NUM_NODES> of_kind{};
    row_index()
    {
        for (const op_row &row : type_to_op)
            of_kind[row.node_type] = &row;
    }
    const op_row *find(gd_node_type k) const { return k < NUM_NODES ? of_kind[k] : nullptr; }
};

// The byte offset of operand k in a record of the given layout, -1 when the
// layout has no such operand.
int operand_offset(operand_layout layout, int k)
{
    switch (layout) {
    case ref_ops:
        return 8 + 4 * k;
    case expr_ops:
        return 12 + 4 * k;
    case cast_ops:
        return k < 2 ? 8 + 4 * k : -1;
    }
    return -1;
}

node_ptr word_at(const gd_graph_node &rec, int offset)
{
    node_ptr w;
    std::memcpy(&w, rec.bytes + offset, sizeof w);
    return w;
}

// A skip mark: the node keeps its flags, takes the kind of a placeholder and
// names in other_node the node that replaces it on every pointer path.
void make_skip_mark(gd_graph *g, node_ptr i, node_ptr replacement)
{
    g->nodeBuffer[i].common.type = gPLACEHOLDER_EXPR;
    g->nodeBuffer[i].common.other_node = replacement;
}

// Replaces compiler expression i by an operator with an operand arc per
// operand, ordinals from 1, up to the first operand that is no node.
void convert_expression(gd_graph *g, node_ptr i, const op_row &row)
{
    node_ptr operands[max_operands];
    int count = 0;
    const gd_graph_node &rec = g->nodeBuffer[i];
    for (int k = 0; k < row.arity && k < max_operands; ++k) {
        const int offset = operand_offset(row.ops_type, k);
        if (offset < 0) {
            std::fprintf(stderr, "gd_operators: impossible!\n");
            count = 0;
            break;
        }
        const node_ptr operand = word_at(rec, offset);
        if (!node_valid(g, operand))
            break;
        operands[count++] = operand;
    }
    // A method call and an initialisation carry mark_flag1 out of the
    // filter; the method-call rewrite below reads it.
    const bool marked = rec.common.type == gMETHOD_CALL_EXPR || rec.common.type == gINIT_EXPR;

    gd_clear_node(g, i, dC_OPERATOR);
    g->nodeBuffer[i].dc_operator.op = row.op_type;
    g->nodeBuffer[i].common.mark_flag1 = marked;
    node_ptr last = -1;
    for (int k = 0; k < count; ++k) {
        const node_ptr arc = new_arc(g, dC_ARC_OPD, i, operands[k]);
        g->nodeBuffer[arc].dc_arc.ordinal = k + 1;
        if (last == -1)
            g->nodeBuffer[i].dc_operator.ops = arc;
        else
            g->nodeBuffer[last].dc_arc.next = arc;
        last = arc;
    }
}

// Pass 1: every node of a kind with a row is converted, bypassed or
// reported. Returns 0 on a row of no known translation kind.
int convert_rows(gd_graph *g, const row_index &rows)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        const gd_node_type kind = kind_of(g, i);
        const op_row *row = rows.find(kind);
        if (row == nullptr)
            continue;
        switch (row->x_type) {
        case skip_x: {
            const int offset = operand_offset(row->ops_type, row->arity);
            make_skip_mark(g, i, offset < 0 ? -1 : word_at(g->nodeBuffer[i], offset));
            break;
        }
        case invalid_x:
            std::fprintf(stderr, "gd_operators: node %d of type %d is an unexpected expression.\n", i,
                         int(kind));
            g->nodeBuffer[i].common.other_node = -1;
            break;
        case convert_x:
            convert_expression(g, i, *row);
            break;
        default:
            std::fprintf(stderr, "gd_operators: impossible\n");
            return 0;
        }
    }
    return 1;
}

// The operand arc after arc a, -1 when there is none.
node_ptr next_operand(const gd_graph *g, node_ptr a)
{
    const node_ptr next = g->nodeBuffer[a].dc_arc.next;
    return kind_of(g, next) == dC_ARC_OPD ? next : -1;
}

// A method call fn(object, args) becomes fct_call(field_access(object, fn),
// args). Allocation order: the field access, then its arc to the object.
// The arcs keep their ordinals.
void rewrite_method_call(gd_graph *g, node_ptr call, node_ptr fn_arc, node_ptr object_arc)
{
    const node_ptr access = newNode(g);
    gd_clear_node(g, access, dC_OPERATOR);
    g->nodeBuffer[access].dc_operator.op = dc_field_access;
    const node_ptr to_object = new_arc(g, dC_ARC_OPD, access, g->nodeBuffer[object_arc].dc_arc.dest);
    g->nodeBuffer[to_object].dc_arc.next = fn_arc;
    g->nodeBuffer[access].dc_operator.ops = to_object;

    g->nodeBuffer[fn_arc].dc_arc.src = access;
    g->nodeBuffer[fn_arc].dc_arc.next = -1;
    g->nodeBuffer[object_arc].dc_arc.dest = access;
    g->nodeBuffer[call].dc_operator.ops = object_arc;
}

// Pass 2: the three rewrites of operators.
void rewrite_operators(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        if (kind_of(g, i) != dC_OPERATOR)
            continue;
        // The operands of the other operators are not read: each is a wait
        // for memory.
        const op_kind op = g->nodeBuffer[i].dc_operator.op;
        if (op != dc_asgn_eq && op != dc_addr && op != dc_fct_call)
            continue;
        const node_ptr first = g->nodeBuffer[i].dc_operator.ops;
        if (kind_of(g, first) != dC_ARC_OPD)
            continue;
        const node_ptr a0 = g->nodeBuffer[first].dc_arc.dest;
        const node_ptr second = next_operand(g, first);
        switch (op) {
        case dc_asgn_eq:
            // An assignment to the function result is replaced by the
            // assigned value.
            if (second != -1 && kind_of(g, a0) == gRESULT_DECL) {
                const node_ptr value = g->nodeBuffer[second].dc_arc.dest;
                g->nodeBuffer[i].dc_operator.ops = -1;
                make_skip_mark(g, i, value);
            }
            break;
        case dc_addr:
            if (kind_of(g, a0) == gFUNCTION_DECL || kind_of(g, a0) == gSTRING_CST)
                make_skip_mark(g, i, a0);
            break;
        case dc_fct_call:
            if (g->nodeBuffer[i].common.mark_flag1 && second != -1)
                rewrite_method_call(g, i, first, second);
            break;
        default:
            break;
        }
    }
}

// Where a pointer to a skip mark should point instead: the first node along
// the marks' other_node links that is no skip mark; the last mark when a
// link leads nowhere; the mark itself when the links run in a circle. Each
// mark is resolved once, so long chains cost no more than short ones.
class skip_resolver {
public:
    // The marks are read once, before any link is resolved.
    explicit skip_resolver(const gd_graph *g)
        : g_(g), marks_(g, {gPLACEHOLDER_EXPR}), target_(g->curNodePos, unresolved)
    {
    }

    bool is_mark(node_ptr n) const { return marks_.holds(n); }

    node_ptr resolve(node_ptr t)
    {
        path_.clear();
        node_ptr cur = t;
        node_ptr result;
        for (;;) {
            if (target_[cur] == on_path || target_[cur] == circle) {
                result = circle;
                break;
            }
            if (target_[cur] != unresolved) {
                result = target_[cur];
                break;
            }
            target_[cur] = on_path;
            path_.push_back(cur);
            const node_ptr next = g_->nodeBuffer[cur].common.other_node;
            if (!node_valid(g_, next)) {
                result = cur;
                break;
            }
            if (!is_mark(next)) {
                result = next;
                break;
            }
            cur = next;
        }
        for (node_ptr p : path_)
            target_[p] = result;
        return result == circle ? t : result;
    }

private:
    static constexpr node_ptr unresolved = -1;
    static constexpr node_ptr on_path = -2;
    static constexpr node_ptr circle = -3;
    const gd_graph *g_;
    const record_set marks_;
    std::vector<node_ptr> target_;
    std::vector<node_ptr> path_;
};

// Takes skip marks out of a pointer path; other_node, the marks' own link,
// stays.
void do_ptr(skip_resolver &resolver, node_ptr *field, int n)
{
    if (n > 0 && resolver.is_mark(*field))
        *field = resolver.resolve(*field);
}

int do_exprs(gd_graph *g)
{
    static const row_index rows;
    if (!convert_rows(g, rows))
        return 0;
    rewrite_operators(g);

    // Pass 3: no node is added from here on, so the resolver's table covers
    // every node.
    skip_resolver resolver(g);
    auto take_out_skip_marks = [&](node_ptr, node_ptr *field, int n) { do_ptr(resolver, field, n); };
    walk_ptrs_with(g, take_out_skip_marks);
    return 1;
}

}  // namespace

int gd_operators_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    return do_exprs(g) ? 1 : 0;
}
