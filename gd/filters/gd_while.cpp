// The gd_while family: while loops and do-while loops become Ririra loops with
// a condition arc and one arc per body statement.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

// Converts loop `l` in place to `kind`. The loop's `cond` and `block` lie where
// the statement keeps `body` and `cond`, so the statement is read first.
void convert_loop(gd_graph *g, node_ptr l, gd_node_type kind, bool unwrap_cond)
{
    const t_while_stmt old = record_of<t_while_stmt>(g, l);
    node_ptr cond = old.cond;
    const t_tree_list *list = record<t_tree_list>(g, cond);
    if (unwrap_cond && list) cond = list->value;

    record_of<gd_graph_common>(g, l).type = kind;
    t_dc_while_do_loop &loop = record_of<t_dc_while_do_loop>(g, l);
    loop.other_node = old.next;
    loop.file = -1;
    loop.block = -1;

    const node_ptr cond_arc = new_arc(g, dC_ARC_COND, l, cond);
    record_of<t_dc_while_do_loop>(g, l).cond = cond_arc;
    const node_ptr block = take_statements(g, "gd_while", l, old.body);
    record_of<t_dc_while_do_loop>(g, l).block = block;
}

void do_while_do(gd_graph *g, node_ptr l)
{
    convert_loop(g, l, dC_WHILE_DO_LOOP, true);
}

// A do-while loop keeps its condition as it stands.
void do_do_while(gd_graph *g, node_ptr l)
{
    convert_loop(g, l, dC_DO_WHILE_LOOP, false);
}

}  // namespace

int gd_while_filter(gd_graph *g)
{
    for (node_ptr l = 0; node_valid(g, l); l++) {
        const gd_node_type k = kind_of(g, l);
        if (k == gWHILE_STMT)
            do_while_do(g, l);
        else if (k == gDO_STMT)
            do_do_while(g, l);
    }
    return 1;
}
