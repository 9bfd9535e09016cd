// The gd_exceptions family: exception handlers become Ririra catch blocks,
// throw expressions Ririra throws and try blocks Ririra try blocks listing
// their body and handlers.

#include <gd/filters/filters.h>

#include "chain_walk.h"

// Defined with the blocks family: 1 when statement s can be asked for its
// successor.
bool statement_link_readable(const gd_graph *g, node_ptr s);

namespace {

// `to` when it is a node of kind `kind`, else -1.
node_ptr step_to(const gd_graph *g, node_ptr to, gd_node_type kind)
{
    return kind_of(g, to) == kind ? to : -1;
}

// The declaration statement of the caught variable in a handler's body, or -1
// when the body is not of the shape the compiler gives a handler that names
// a type: a scope marker, a compound statement whose body is a scope marker
// followed (after other statements) by a compound statement whose body is a
// scope marker followed by the declaration.
node_ptr caught_declaration(gd_graph *g, node_ptr body)
{
    const node_ptr s0 = step_to(g, body, gSCOPE_STMT);
    if (s0 == -1)
        return -1;
    const node_ptr c1 = step_to(g, g->nodeBuffer[s0].scope_stmt.next, gCOMPOUND_STMT);
    if (c1 == -1)
        return -1;
    const node_ptr s1 = step_to(g, g->nodeBuffer[c1].compound_stmt.body, gSCOPE_STMT);
    if (s1 == -1)
        return -1;
    node_ptr c2 = nextNode(g, s1);
    chain_guard guard(g);
    while (kind_of(g, c2) != gCOMPOUND_STMT) {
        if (!statement_link_readable(g, c2) || !guard.step())
            return -1;
        c2 = nextNode(g, c2);
    }
    const node_ptr s2 = step_to(g, g->nodeBuffer[c2].compound_stmt.body, gSCOPE_STMT);
    if (s2 == -1)
        return -1;
    return step_to(g, g->nodeBuffer[s2].scope_stmt.next, gDECL_STMT);
}

void convert_handler(gd_graph *g, node_ptr h)
{
    const t_handler old = g->nodeBuffer[h].handler;
    const node_ptr d = caught_declaration(g, old.body);
    if (d == -1)
        return;  // a catch of all exceptions stays as it is
    const node_ptr var = g->nodeBuffer[d].decl_stmt.decl;
    const node_ptr after = g->nodeBuffer[d].decl_stmt.next;
    if (kind_of(g, var) == dC_OBJECT)
        g->nodeBuffer[var].common.type = dC_FORMAL_OBJECT;

    // The statements after the declaration hang from one arc as a chain.
    const node_ptr rest = new_arc(g, dC_ARC_SON, h, after);
    const node_ptr caught = new_arc(g, dC_ARC_SON, h, var);
    g->nodeBuffer[caught].dc_arc.next = rest;

    gd_clear_node(g, h, dC_CATCH_BLOCK);
    t_dc_catch_block &c = g->nodeBuffer[h].dc_catch_block;
    c.other_node = old.next;
    c.contents = caught;
}

// The initialisation of the exception object in a throw expression, or -1
// when the expression is not of the shape the compiler gives a throw: a
// compound statement whose body declares the object and initialises it in the
// second expression statement after the declaration, inside a must-not-throw
// expression.
node_ptr exception_initialization(gd_graph *g, node_ptr t)
{
    const node_ptr c = step_to(g, g->nodeBuffer[t].throw_expr.op0, gCOMPOUND_STMT);
    if (c == -1)
        return -1;
    const node_ptr d = step_to(g, g->nodeBuffer[c].compound_stmt.body, gDECL_STMT);
    if (d == -1)
        return -1;
    const node_ptr e1 = step_to(g, g->nodeBuffer[d].decl_stmt.next, gEXPR_STMT);
    if (e1 == -1)
        return -1;
    const node_ptr e2 = step_to(g, g->nodeBuffer[e1].expr_stmt.next, gEXPR_STMT);
    if (e2 == -1)
        return -1;
    const node_ptr m = step_to(g, g->nodeBuffer[e2].expr_stmt.texpr, gMUST_NOT_THROW_EXPR);
    if (m == -1)
        return -1;
    return step_to(g, g->nodeBuffer[m].must_not_throw_expr.body, gINIT_EXPR);
}

void convert_throw(gd_graph *g, node_ptr t)
{
    const node_ptr init = exception_initialization(g, t);
    if (init == -1)
        return;
    const node_ptr value = new_arc(g, dC_ARC_SON, t, g->nodeBuffer[init].init_expr.op1);
    gd_clear_node(g, t, dC_THROW);
    g->nodeBuffer[t].dc_throw.value = value;
}

// A try block lists its body, then its handlers in order: each handler keeps
// the next one in `other_node` until it is listed here.
void convert_try_block(gd_graph *g, node_ptr t)
{
    const t_try_block old = g->nodeBuffer[t].try_block;
    const node_ptr body = new_arc(g, dC_ARC_SON, t, old.body);
    gd_clear_node(g, t, dC_TRY_BLOCK);
    t_dc_try_block &tb = g->nodeBuffer[t].dc_try_block;
    tb.other_node = old.next;
    tb.line = old.line;
    tb.contents = body;

    node_ptr tail = body;
    chain_guard guard(g);
    for (node_ptr h = old.hdlr; node_valid(g, h) && guard.step();) {
        const gd_node_type k = kind_of(g, h);
        if (k != dC_CATCH_BLOCK && k != gHANDLER)
            break;
        const node_ptr a = new_arc(g, dC_ARC_SON, t, h);
        g->nodeBuffer[tail].dc_arc.next = a;
        tail = a;
        const node_ptr next = g->nodeBuffer[h].common.other_node;
        g->nodeBuffer[h].common.other_node = -1;
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
        if (kind_of(g, n) == gTRY_BLOCK)
            convert_try_block(g, n);
    return 1;
}
