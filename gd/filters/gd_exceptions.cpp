// The gd_exceptions family: exception handlers become Ririra catch blocks,
// throw expressions Ririra throws and try blocks Ririra try blocks listing
// their body and handlers.

#include <gd/filters/filters.h>
#include <gd/kind_table.h>

#include <cstddef>

#include "arcs_and_chains.h"

namespace {

// One step of a shape that the compiler gives a construct: follow the link
// field `field` of the current node, which must lead to a node of kind `kind`.
struct shape_step {
    const char *field;
    gd_node_type kind;
};

// The node that the steps lead to from `from`, or -1 when a link is not valid
// or leads to a node of another kind.
template <std::size_t N> node_ptr follow_shape(const gd_graph *g, node_ptr from, const shape_step (&steps)[N])
{
    node_ptr at = from;
    for (const shape_step &step : steps) {
        const gd_kind_info *info = gd_kind_info_of(kind_of(g, at));
        const gd_field *f = info ? gd_find_field(info, step.field) : nullptr;
        const gd_graph_node *rec = node_at(g, at);
        if (!f || f->type != GD_FT_NODE || !rec) return -1;
        const node_ptr to = (node_ptr)gd_field_get(rec, f);
        if (kind_of(g, to) != step.kind) return -1;
        at = to;
    }
    return at;
}

// A handler that names its exception: its body is a scope marker followed by
// a compound statement whose body begins with a marker; further on in that
// chain (after the statements that set the exception up) comes a second
// compound statement, whose body is a marker followed by the declaration of
// the caught variable.
const shape_step handler_opening[] = {{"body", gSCOPE_STMT}, {"next", gCOMPOUND_STMT}, {"body", gSCOPE_STMT}};
const shape_step handler_declaration[] = {{"body", gSCOPE_STMT}, {"next", gDECL_STMT}};

// A throw: its operand is a compound statement that declares the exception
// object and initialises it in the second expression statement after the
// declaration, inside a must-not-throw expression.
const shape_step throw_initialization[] = {
    {"op0", gCOMPOUND_STMT},         {"body", gDECL_STMT}, {"next", gEXPR_STMT}, {"next", gEXPR_STMT},
    {"texpr", gMUST_NOT_THROW_EXPR}, {"body", gINIT_EXPR}};

// The declaration statement of the caught variable in handler h, or -1 when
// the handler is not of that shape (a catch of all exceptions).
node_ptr caught_declaration(gd_graph *g, node_ptr h)
{
    const node_ptr marker = follow_shape(g, h, handler_opening);
    if (marker == -1) return -1;
    node_ptr inner = nextNode(g, marker);
    chain_walk walk;
    while (kind_of(g, inner) != gCOMPOUND_STMT) {
        if (!statement_link_readable(g, inner) || !walk.first_meeting(inner)) return -1;
        inner = nextNode(g, inner);
    }
    return follow_shape(g, inner, handler_declaration);
}

void convert_handler(gd_graph *g, node_ptr h)
{
    const t_handler old = record_of<t_handler>(g, h);
    const node_ptr d = caught_declaration(g, h);
    if (d == -1) return;  // a catch of all exceptions stays as it is
    const t_decl_stmt &declaration = record_of<t_decl_stmt>(g, d);
    const node_ptr var = declaration.decl;
    const node_ptr after = declaration.next;
    if (kind_of(g, var) == dC_OBJECT) record_of<t_dc_object>(g, var).type = dC_FORMAL_OBJECT;

    // The statements after the declaration hang from one arc as a chain.
    const node_ptr rest = new_arc(g, dC_ARC_SON, h, after);
    const node_ptr caught = new_arc(g, dC_ARC_SON, h, var);
    record_of<t_dc_arc>(g, caught).next = rest;

    gd_clear_node(g, h, dC_CATCH_BLOCK);
    t_dc_catch_block &c = record_of<t_dc_catch_block>(g, h);
    c.other_node = old.next;
    c.contents = caught;
}

void convert_throw(gd_graph *g, node_ptr t)
{
    const node_ptr init = follow_shape(g, t, throw_initialization);
    if (init == -1) return;
    const node_ptr thrown = record_of<t_init_expr>(g, init).op1;
    const node_ptr value = new_arc(g, dC_ARC_SON, t, thrown);
    gd_clear_node(g, t, dC_THROW);
    record_of<t_dc_throw>(g, t).value = value;
}

// A try block lists its body, then its handlers in order: each handler keeps
// the next one in `other_node` until it is listed here.
void convert_try_block(gd_graph *g, node_ptr t)
{
    const t_try_block old = record_of<t_try_block>(g, t);
    const node_ptr body = new_arc(g, dC_ARC_SON, t, old.body);
    gd_clear_node(g, t, dC_TRY_BLOCK);
    t_dc_try_block &tb = record_of<t_dc_try_block>(g, t);
    tb.other_node = old.next;
    tb.line = old.line;
    tb.contents = body;

    node_ptr head = body, tail = body;
    chain_walk walk;
    for (node_ptr h = old.hdlr; node_valid(g, h) && walk.first_meeting(h);) {
        const gd_node_type k = kind_of(g, h);
        if (k != dC_CATCH_BLOCK && k != gHANDLER) break;
        append_to_arc_list(g, head, tail, new_arc(g, dC_ARC_SON, t, h));
        // A catch block or a handler; asked for after the arc is made.
        gd_graph_common &handler = record_of<gd_graph_common>(g, h);
        const node_ptr next = handler.other_node;
        handler.other_node = -1;
        h = next;
    }
}

}  // namespace

int gd_exceptions_filter(gd_graph *g)
{
    // Handlers first: a try block lists its handlers through the links that
    // the handler conversion leaves.
    for (node_ptr n = 0; node_valid(g, n); n++) {
        const gd_node_type k = kind_of(g, n);
        if (k == gHANDLER)
            convert_handler(g, n);
        else if (k == gTHROW_EXPR)
            convert_throw(g, n);
    }
    for (node_ptr n = 0; node_valid(g, n); n++)
        if (kind_of(g, n) == gTRY_BLOCK) convert_try_block(g, n);
    return 1;
}
