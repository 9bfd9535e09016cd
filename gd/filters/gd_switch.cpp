// The gd_switch family: switch statements become Ririra switches with arcs to
// their body and condition.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_switch_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, s) != gSWITCH_STMT) continue;
        // A copy: the new arcs may move the buffer.
        const t_switch_stmt old = record_of<t_switch_stmt>(g, s);
        // The body arc comes first and is made even without a body; both
        // arcs carry ordinal 1.
        const node_ptr body = new_arc(g, dC_ARC_SON, s, old.body);
        record_of<t_dc_arc>(g, body).ordinal = 1;
        node_ptr cond = -1;
        if (node_valid(g, old.cond)) {
            node_ptr c = old.cond;
            if (const t_tree_list *list = record<t_tree_list>(g, c)) c = list->value;
            cond = new_arc(g, dC_ARC_COND, s, c);
            record_of<t_dc_arc>(g, cond).ordinal = 1;
        }
        gd_clear_node(g, s, dC_SWITCH);
        t_dc_switch &sw = record_of<t_dc_switch>(g, s);
        sw.other_node = old.next;
        sw.line = old.line;
        sw.cond = cond;
        sw.body = body;
    }
    return 1;
}
