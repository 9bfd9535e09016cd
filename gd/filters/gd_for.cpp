// The gd_for family: for loops become Ririra for loops with arcs to their
// initialiser statements, condition, body statements and increment.

#include <cstdio>

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

// The arcs to the initialiser's expression and declaration statements. The
// statements stay chained: they are not part of any block, so loops may share
// them.
node_ptr add_initializer(gd_graph *g, node_ptr loop, node_ptr init)
{
    node_ptr head = -1, tail = -1;
    growth_walk walk(g, "gd_for");
    for (node_ptr s = init; node_valid(g, s) && walk.takes(s);) {
        const gd_node_type k = kind_of(g, s);
        const t_expr_stmt *e = record<t_expr_stmt>(g, s);
        const bool expression = e && node_valid(g, e->texpr);
        if (expression || k == gDECL_STMT) {
            append_to_arc_list(g, head, tail, new_arc(g, dC_ARC_FOR_INIT, loop, s));
        }
        if (k != gEXPR_STMT && k != gDECL_STMT && k != gSCOPE_STMT && k != gCTOR_STMT) {
            fprintf(stderr, "gd_for: unexpected type for node %d in initializer of for-loop %d\n", s, loop);
            break;
        }
        s = nextNode(g, s);
    }
    return head;
}

void do_for(gd_graph *g, node_ptr l)
{
    const t_for_stmt old = record_of<t_for_stmt>(g, l);

    // The new arcs are numbered in this order: initialisers, condition, body
    // statements, increment.
    const node_ptr init = node_valid(g, old.init) ? add_initializer(g, l, old.init) : -1;
    node_ptr cond = old.cond;
    if (const t_tree_list *list = record<t_tree_list>(g, cond)) cond = list->value;
    const node_ptr cond_arc = node_valid(g, cond) ? new_arc(g, dC_ARC_COND, l, cond) : -1;
    const node_ptr block = take_statements(g, "gd_for", l, old.body);
    const node_ptr incr = node_valid(g, old.inc_expr) ? new_arc(g, dC_ARC_FOR_INCR, l, old.inc_expr) : -1;

    gd_clear_node(g, l, dC_FOR_LOOP);
    t_dc_for_loop &f = record_of<t_dc_for_loop>(g, l);
    f.other_node = old.next;
    f.line = old.line;
    f.init = init;
    f.cond = cond_arc;
    f.incr = incr;
    f.block = block;
}

}  // namespace

int gd_for_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr l = 0; node_valid(g, l); l++)
        if (kind_of(g, l) == gFOR_STMT) do_for(g, l);
    return 1;
}
