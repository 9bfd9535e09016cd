// The gd_return family: return statements become Ririra returns with an arc
// to the value they return.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_return_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, s) != gRETURN_STMT) continue;
        // Converted in place, flags and line kept; the return's `value` lies
        // where the statement keeps `ret_expr`.
        const t_return_stmt old = record_of<t_return_stmt>(g, s);
        const node_ptr value = node_valid(g, old.ret_expr) ? new_arc(g, dC_ARC_SON, s, old.ret_expr) : -1;
        record_of<gd_graph_common>(g, s).type = dC_RETURN;
        t_dc_return &r = record_of<t_dc_return>(g, s);
        r.other_node = old.next;
        r.file = -1;
        r.value = value;
    }
    return 1;
}
