// The gd_switch family: switch statements become Ririra switches with arcs to
// their body and condition.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_switch_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        if (kind_of(g, s) != gSWITCH_STMT)
            continue;
        const t_switch_stmt old = g->nodeBuffer[s].switch_stmt;
        // The body arc comes first and is made even without a body; both
        // arcs carry ordinal 1.
        const node_ptr body = new_arc(g, dC_ARC_SON, s, old.body);
        g->nodeBuffer[body].dc_arc.ordinal = 1;
        node_ptr cond = -1;
        if (node_valid(g, old.cond)) {
            node_ptr c = old.cond;
            if (kind_of(g, c) == gTREE_LIST)
                c = g->nodeBuffer[c].tree_list.value;
            cond = new_arc(g, dC_ARC_COND, s, c);
            g->nodeBuffer[cond].dc_arc.ordinal = 1;
        }
        gd_clear_node(g, s, dC_SWITCH);
        t_dc_switch &sw = g->nodeBuffer[s].dc_switch;
        sw.other_node = old.next;
        sw.line = old.line;
        sw.cond = cond;
        sw.body = body;
    }
    return 1;
}
