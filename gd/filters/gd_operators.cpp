// The gd_operators family: the compiler's expression nodes become Ririra
// operators with one operand arc per operand; conversion and wrapper nodes
// are taken out of every pointer path; assignments to the function result,
// the address of a function or string, and method calls are rewritten.

#include <gd/filters/filters.h>
#include <gd/kind_table.h>
#include <gd/walkers.h>

#include "arcs_and_chains.h"
#include "record_set.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// What becomes of a node of a kind that has a row.
enum x_kind : int32_t {
    convert_x = 1,  // the node becomes an operator
    skip_x = 2,     // the node is bypassed
    invalid_x = 3,  // the node is reported
};

// The most operands a row converts.
constexpr int max_operands = 3;

struct op_row {
    gd_node_type node_type;
    x_kind x_type;
    // The node_ptr fields of the kind's record that hold the operands of an
    // operator, in operand order; for a bypassed node, the one field that
    // holds the node replacing it; none for a reported node. Fields are
    // named as in the kind table (kind_table.h), which gives their places.
    const char *operands[max_operands];
    op_kind op_type;
};

// Each node kind has at most one row; a kind without one is left alone.
constexpr op_row type_to_op[] = {
    {gCOMPONENT_REF, convert_x, {"op0", "op1"}, dc_field_access},
    {gBIT_FIELD_REF, convert_x, {"op0", "op1"}, dc_field_access},
    {gINDIRECT_REF, convert_x, {"op0"}, dc_deref},
    {gARRAY_REF, convert_x, {"op0", "op1"}, dc_array_ref},
    {gCOMPOUND_EXPR, convert_x, {"op0", "op1"}, dc_comma},
    {gMODIFY_EXPR, convert_x, {"op0", "op1"}, dc_asgn_eq},
    {gTARGET_EXPR, convert_x, {"decl", "init"}, dc_asgn_eq},
    {gCOND_EXPR, convert_x, {"op0", "op1", "op2"}, dc_question},
    {gCALL_EXPR, convert_x, {"fn", "args"}, dc_fct_call},
    {gMETHOD_CALL_EXPR, convert_x, {"fn", "object", "args"}, dc_fct_call},
    {gPLUS_EXPR, convert_x, {"op0", "op1"}, dc_bplus},
    {gMINUS_EXPR, convert_x, {"op0", "op1"}, dc_bminus},
    {gMULT_EXPR, convert_x, {"op0", "op1"}, dc_mult},
    {gTRUNC_DIV_EXPR, convert_x, {"op0", "op1"}, dc_div},
    {gTRUNC_MOD_EXPR, convert_x, {"op0", "op1"}, dc_modulo},
    {gRDIV_EXPR, convert_x, {"op0", "op1"}, dc_div},
    {gEXACT_DIV_EXPR, convert_x, {"op0", "op1"}, dc_div},
    {gNEGATE_EXPR, convert_x, {"op0"}, dc_uminus},
    {gMIN_EXPR, convert_x, {"op0", "op1"}, dc_tst_min},
    {gMAX_EXPR, convert_x, {"op0", "op1"}, dc_tst_max},
    {gABS_EXPR, convert_x, {"op0"}, dc_abs},
    {gLSHIFT_EXPR, convert_x, {"op0", "op1"}, dc_lshift},
    {gRSHIFT_EXPR, convert_x, {"op0", "op1"}, dc_rshift},
    {gLROTATE_EXPR, convert_x, {"op0", "op1"}, dc_unk},
    {gRROTATE_EXPR, convert_x, {"op0", "op1"}, dc_unk},
    {gBIT_IOR_EXPR, convert_x, {"op0", "op1"}, dc_bit_or},
    {gBIT_XOR_EXPR, convert_x, {"op0", "op1"}, dc_bit_xor},
    {gBIT_AND_EXPR, convert_x, {"op0", "op1"}, dc_bit_and},
    {gBIT_NOT_EXPR, convert_x, {"op0"}, dc_bit_not},
    {gTRUTH_ANDIF_EXPR, convert_x, {"op0", "op1"}, dc_and},
    {gTRUTH_ORIF_EXPR, convert_x, {"op0", "op1"}, dc_or},
    {gTRUTH_AND_EXPR, convert_x, {"op0", "op1"}, dc_and},
    {gTRUTH_OR_EXPR, convert_x, {"op0", "op1"}, dc_or},
    {gTRUTH_XOR_EXPR, convert_x, {"op0", "op1"}, dc_xor},
    {gTRUTH_NOT_EXPR, convert_x, {"op0"}, dc_not},
    {gLT_EXPR, convert_x, {"op0", "op1"}, dc_tst_lt},
    {gLE_EXPR, convert_x, {"op0", "op1"}, dc_tst_le},
    {gGT_EXPR, convert_x, {"op0", "op1"}, dc_tst_gt},
    {gGE_EXPR, convert_x, {"op0", "op1"}, dc_tst_ge},
    {gEQ_EXPR, convert_x, {"op0", "op1"}, dc_tst_eq},
    {gNE_EXPR, convert_x, {"op0", "op1"}, dc_tst_ne},
    {gADDR_EXPR, convert_x, {"op0"}, dc_addr},
    {gPREDECREMENT_EXPR, convert_x, {"op0"}, dc_pre_dec},
    {gPREINCREMENT_EXPR, convert_x, {"op0"}, dc_pre_inc},
    {gPOSTDECREMENT_EXPR, convert_x, {"op0"}, dc_post_dec},
    {gPOSTINCREMENT_EXPR, convert_x, {"op0"}, dc_post_inc},
    {gVA_ARG_EXPR, convert_x, {"op0"}, dc_va_arg},
    {gSIZEOF_EXPR, convert_x, {"op0"}, dc_sizeof},
    {gARROW_EXPR, convert_x, {"op0"}, dc_pointsat},
    {gMODOP_EXPR, convert_x, {"op0", "op1", "op2"}, dc_asgn_eq},
    {gCAST_EXPR, convert_x, {"op0"}, dc_static_cast},
    {gREINTERPRET_CAST_EXPR, convert_x, {"op0"}, dc_reint_cast},
    {gCONST_CAST_EXPR, convert_x, {"op0"}, dc_const_cast},
    {gSTATIC_CAST_EXPR, convert_x, {"op0"}, dc_static_cast},
    {gINIT_EXPR, convert_x, {"op0", "op1"}, dc_asgn_eq},

    {gCLEANUP_POINT_EXPR, skip_x, {"op0"}, dc_uplus},
    {gFIX_TRUNC_EXPR, skip_x, {"op0"}, dc_uplus},
    {gFIX_CEIL_EXPR, skip_x, {"op0"}, dc_uplus},
    {gFIX_FLOOR_EXPR, skip_x, {"op0"}, dc_uplus},
    {gFIX_ROUND_EXPR, skip_x, {"op0"}, dc_uplus},
    {gFLOAT_EXPR, skip_x, {"op0"}, dc_uplus},
    {gCONVERT_EXPR, skip_x, {"op0"}, dc_uplus},
    {gNOP_EXPR, skip_x, {"op0"}, dc_uplus},
    {gNON_LVALUE_EXPR, skip_x, {"op0"}, dc_uplus},
    {gSAVE_EXPR, skip_x, {"op0"}, dc_uplus},
    {gUNSAVE_EXPR, skip_x, {"op0"}, dc_uplus},
    {gSTMT_EXPR, skip_x, {"stmt"}, dc_uplus},
    {gLOOKUP_EXPR, skip_x, {"op0"}, dc_uplus},

    {gBUFFER_REF, invalid_x, {}, dc_uplus},
    {gBIND_EXPR, invalid_x, {}, dc_uplus},
    {gWITH_CLEANUP_EXPR, invalid_x, {}, dc_uplus},
    {gPLACEHOLDER_EXPR, invalid_x, {}, dc_uplus},
    {gWITH_RECORD_EXPR, invalid_x, {}, dc_uplus},
    {gCEIL_DIV_EXPR, invalid_x, {}, dc_uplus},
    {gFLOOR_DIV_EXPR, invalid_x, {}, dc_uplus},
    {gROUND_DIV_EXPR, invalid_x, {}, dc_uplus},
    {gCEIL_MOD_EXPR, invalid_x, {}, dc_uplus},
    {gFLOOR_MOD_EXPR, invalid_x, {}, dc_uplus},
    {gROUND_MOD_EXPR, invalid_x, {}, dc_uplus},
    {gEXPON_EXPR, invalid_x, {}, dc_uplus},
    {gFFS_EXPR, invalid_x, {}, dc_uplus},
    {gBIT_ANDTC_EXPR, invalid_x, {}, dc_uplus},
    {gUNORDERED_EXPR, invalid_x, {}, dc_uplus},
    {gORDERED_EXPR, invalid_x, {}, dc_uplus},
    {gUNLT_EXPR, invalid_x, {}, dc_uplus},
    {gUNLE_EXPR, invalid_x, {}, dc_uplus},
    {gUNGT_EXPR, invalid_x, {}, dc_uplus},
    {gUNGE_EXPR, invalid_x, {}, dc_uplus},
    {gUNEQ_EXPR, invalid_x, {}, dc_uplus},
    {gIN_EXPR, invalid_x, {}, dc_uplus},
    {gSET_LE_EXPR, invalid_x, {}, dc_uplus},
    {gCARD_EXPR, invalid_x, {}, dc_uplus},
    {gRANGE_EXPR, invalid_x, {}, dc_uplus},
    {gRTL_EXPR, invalid_x, {}, dc_uplus},
    {gREFERENCE_EXPR, invalid_x, {}, dc_uplus},
    {gENTRY_VALUE_EXPR, invalid_x, {}, dc_uplus},
    {gCOMPLEX_EXPR, invalid_x, {}, dc_uplus},
    {gCONJ_EXPR, invalid_x, {}, dc_uplus},
    {gREALPART_EXPR, invalid_x, {}, dc_uplus},
    {gIMAGPART_EXPR, invalid_x, {}, dc_uplus},
    {gTRY_CATCH_EXPR, invalid_x, {}, dc_uplus},
    {gTRY_FINALLY_EXPR, invalid_x, {}, dc_uplus},
    {gGOTO_SUBROUTINE_EXPR, invalid_x, {}, dc_uplus},
    {gLABEL_EXPR, invalid_x, {}, dc_uplus},
    {gGOTO_EXPR, invalid_x, {}, dc_uplus},
    {gRETURN_EXPR, invalid_x, {}, dc_uplus},
    {gEXIT_EXPR, invalid_x, {}, dc_uplus},
    {gLOOP_EXPR, invalid_x, {}, dc_uplus},
    {gLABELED_BLOCK_EXPR, invalid_x, {}, dc_uplus},
    {gEXIT_BLOCK_EXPR, invalid_x, {}, dc_uplus},
    {gEXPR_WITH_FILE_LOCATION, invalid_x, {}, dc_uplus},
    {gSWITCH_EXPR, invalid_x, {}, dc_uplus},
    {gSRCLOC, invalid_x, {}, dc_uplus},
    {gALIGNOF_EXPR, invalid_x, {}, dc_uplus},
    {gDYNAMIC_CAST_EXPR, invalid_x, {}, dc_uplus},
    {gDOTSTAR_EXPR, invalid_x, {}, dc_uplus},
    {gTYPEID_EXPR, invalid_x, {}, dc_uplus},
    {gPSEUDO_DTOR_EXPR, invalid_x, {}, dc_uplus},
};
static_assert(std::size(type_to_op) == 118);

// Two kinds whose records hold no operand of their own: their operands are
// taken from the words where a kind of the same family holds them, after the
// common head for a bit-field reference and after the type field for an
// unsave expression, so their nodes are read in that kind's layout.
struct borrowed_layout {
    gd_node_type kind;
    gd_node_type read_as;
};
constexpr borrowed_layout borrowed_layouts[] = {
    {gBIT_FIELD_REF, gCOMPONENT_REF},  // op0 and op1 of a component reference
    {gUNSAVE_EXPR, gSAVE_EXPR},        // op0 of a save expression
};

// A row with its operand fields looked up in the kind table.
struct resolved_row {
    const op_row *row = nullptr;
    int count = 0;  // the fields the row names
    // The field of each, nullptr where the layout has no node_ptr field of
    // that name (a fault of the table, said at conversion).
    const gd_field *operand[max_operands] = {};
};

// The row of each node kind; `row` is nullptr for a kind without one.
struct row_index {
    std::array<resolved_row, NUM_NODES> of_kind{};
    row_index()
    {
        for (const op_row &row : type_to_op) {
            gd_node_type layout = row.node_type;
            for (const borrowed_layout &b : borrowed_layouts)
                if (b.kind == row.node_type) layout = b.read_as;
            const gd_kind_info *info = gd_kind_info_of(layout);
            resolved_row &r = of_kind[row.node_type];
            r.row = &row;
            for (const char *name : row.operands) {
                if (!name) break;
                const gd_field *f = gd_find_field(info, name);
                r.operand[r.count++] = f && f->type == GD_FT_NODE ? f : nullptr;
            }
        }
    }
    const resolved_row *find(gd_node_type k) const
    {
        return k < NUM_NODES && of_kind[k].row ? &of_kind[k] : nullptr;
    }
};

// The node_ptr field f of record rec. The record is the node's whole
// 72-byte record, as node_at gives it: the borrowed layouts read beyond the
// fields of the kind's own record.
node_ptr link_of(const gd_graph_node &rec, const gd_field &f)
{
    return node_ptr(gd_field_get(&rec, &f));
}

// A skip mark: the node keeps its flags, takes the kind of a placeholder and
// names in other_node the node that replaces it on every pointer path.
void make_skip_mark(gd_graph *g, node_ptr i, node_ptr replacement)
{
    gd_graph_common &c = record_of<gd_graph_common>(g, i);
    c.type = gPLACEHOLDER_EXPR;
    c.other_node = replacement;
}

// Replaces compiler expression i by an operator with an operand arc per
// operand, ordinals from 1, up to the first operand that is no node.
void convert_expression(gd_graph *g, node_ptr i, const resolved_row &r)
{
    node_ptr operands[max_operands];
    int count = 0;
    const gd_graph_node &rec = *node_at(g, i);
    for (int k = 0; k < r.count; ++k) {
        if (!r.operand[k]) {
            std::fprintf(stderr, "gd_operators: impossible!\n");
            count = 0;
            break;
        }
        const node_ptr operand = link_of(rec, *r.operand[k]);
        if (!node_valid(g, operand)) break;
        operands[count++] = operand;
    }
    // A method call and an initialisation carry mark_flag1 out of the
    // filter; the method-call rewrite below reads it.
    const bool marked = r.row->node_type == gMETHOD_CALL_EXPR || r.row->node_type == gINIT_EXPR;

    gd_clear_node(g, i, dC_OPERATOR);
    t_dc_operator &op = record_of<t_dc_operator>(g, i);
    op.op = r.row->op_type;
    op.mark_flag1 = marked;
    // Each arc may move the node buffer: the records are asked for anew.
    node_ptr last = -1;
    for (int k = 0; k < count; ++k) {
        const node_ptr arc = new_arc(g, dC_ARC_OPD, i, operands[k]);
        record_of<t_dc_arc>(g, arc).ordinal = k + 1;
        if (last == -1)
            record_of<t_dc_operator>(g, i).ops = arc;
        else
            record_of<t_dc_arc>(g, last).next = arc;
        last = arc;
    }
}

// Pass 1: every node of a kind with a row is converted, bypassed or
// reported. Returns 0 on a row of no known translation kind.
int convert_rows(gd_graph *g, const row_index &rows)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        const gd_node_type kind = kind_of(g, i);
        const resolved_row *r = rows.find(kind);
        if (r == nullptr) continue;
        switch (r->row->x_type) {
        case skip_x:
            make_skip_mark(g, i,
                           r->count > 0 && r->operand[0] ? link_of(*node_at(g, i), *r->operand[0]) : -1);
            break;
        case invalid_x:
            std::fprintf(stderr, "gd_operators: node %d of type %d is an unexpected expression.\n", i,
                         int(kind));
            // Two of the kinds have no record: the common head it is.
            node_at(g, i)->common.other_node = -1;
            break;
        case convert_x: convert_expression(g, i, *r); break;
        default: std::fprintf(stderr, "gd_operators: impossible\n"); return 0;
        }
    }
    return 1;
}

// The operand arc after arc a, -1 when there is none.
node_ptr next_operand(const gd_graph *g, node_ptr a)
{
    const node_ptr next = record_of<t_dc_arc>(g, a).next;
    return kind_of(g, next) == dC_ARC_OPD ? next : -1;
}

// A method call fn(object, args) becomes fct_call(field_access(object, fn),
// args). Allocation order: the field access, then its arc to the object.
// The arcs keep their ordinals.
void rewrite_method_call(gd_graph *g, node_ptr call, node_ptr fn_arc, node_ptr object_arc)
{
    const node_ptr access = newNode(g);
    gd_clear_node(g, access, dC_OPERATOR);
    record_of<t_dc_operator>(g, access).op = dc_field_access;
    const node_ptr object = record_of<t_dc_arc>(g, object_arc).dest;
    const node_ptr to_object = new_arc(g, dC_ARC_OPD, access, object);
    // No node is made from here on.
    record_of<t_dc_arc>(g, to_object).next = fn_arc;
    record_of<t_dc_operator>(g, access).ops = to_object;

    t_dc_arc &fn = record_of<t_dc_arc>(g, fn_arc);
    fn.src = access;
    fn.next = -1;
    record_of<t_dc_arc>(g, object_arc).dest = access;
    record_of<t_dc_operator>(g, call).ops = object_arc;
}

// Only operators have an operator record.
static_assert(held_only_by<t_dc_operator>(dC_OPERATOR));

// Pass 2: the three rewrites of operators.
void rewrite_operators(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        t_dc_operator *o = record<t_dc_operator>(g, i);
        if (!o) continue;
        // The operands of the other operators are not read: each is a wait
        // for memory.
        const op_kind op = o->op;
        if (op != dc_asgn_eq && op != dc_addr && op != dc_fct_call) continue;
        const node_ptr first = o->ops;
        if (kind_of(g, first) != dC_ARC_OPD) continue;
        const node_ptr a0 = record_of<t_dc_arc>(g, first).dest;
        const node_ptr second = next_operand(g, first);
        switch (op) {
        case dc_asgn_eq:
            // An assignment to the function result is replaced by the
            // assigned value.
            if (second != -1 && kind_of(g, a0) == gRESULT_DECL) {
                const node_ptr value = record_of<t_dc_arc>(g, second).dest;
                o->ops = -1;
                make_skip_mark(g, i, value);
            }
            break;
        case dc_addr:
            if (kind_of(g, a0) == gFUNCTION_DECL || kind_of(g, a0) == gSTRING_CST) make_skip_mark(g, i, a0);
            break;
        case dc_fct_call:
            // The rewrite makes nodes: o is not read after it.
            if (o->mark_flag1 && second != -1) rewrite_method_call(g, i, first, second);
            break;
        default: break;
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
            // cur is a skip mark, which has the record of a placeholder.
            const node_ptr next = record_of<gd_graph_common>(g_, cur).other_node;
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
        for (node_ptr p : path_) target_[p] = result;
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
    if (n > 0 && resolver.is_mark(*field)) *field = resolver.resolve(*field);
}

int do_exprs(gd_graph *g)
{
    static const row_index rows;
    if (!convert_rows(g, rows)) return 0;
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
