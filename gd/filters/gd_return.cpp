// The gd_return family: return statements become Ririra returns with an arc
// to the value they return.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_return_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        if (kind_of(g, s) != gRETURN_STMT)
            continue;
        // Converted in place, flags and line kept; the return's `value` lies
        // where the statement keeps `ret_expr`.
        const t_return_stmt old = g->nodeBuffer[s].return_stmt;
        const node_ptr value = node_valid(g, old.ret_expr) ? new_arc(g, dC_ARC_SON, s, old.ret_expr) : -1;
        gd_graph_node &n = g->nodeBuffer[s];
        n.common.type = dC_RETURN;
        n.common.other_node = old.next;
        n.dc_return.file = -1;
        n.dc_return.value = value;
    }
    return 1;
}
