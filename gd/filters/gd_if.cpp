// The gd_if family: if statements become Ririra ifs with arcs to their
// condition and branches.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_if_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, s) != gIF_STMT) continue;
        // A copy: the new arcs may move the buffer.
        const t_if_stmt old = record_of<t_if_stmt>(g, s);
        // The new arcs are numbered in this order: condition, then, else.
        const node_ptr cond = new_arc(g, dC_ARC_COND, s, old.cond);
        const node_ptr then_arc = old.thenc != -1 ? new_arc(g, dC_ARC_TRUE, s, old.thenc) : -1;
        const node_ptr else_arc = old.elsec != -1 ? new_arc(g, dC_ARC_FALSE, s, old.elsec) : -1;
        gd_clear_node(g, s, dC_IF);
        t_dc_if &i = record_of<t_dc_if>(g, s);
        i.other_node = old.next;
        i.line = old.line;
        i.cond = cond;
        i.true_block = then_arc;
        i.false_block = else_arc;
    }
    return 1;
}
