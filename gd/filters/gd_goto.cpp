// The gd_goto family: goto statements become Ririra gotos with an arc to the
// label they jump to.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_goto_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr s = 0; node_valid(g, s); s++) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, s) != gGOTO_STMT) continue;
        // A copy: the new arc may move the buffer.
        const t_goto_stmt old = record_of<t_goto_stmt>(g, s);
        const node_ptr dest = new_arc(g, dC_ARC_SON, s, old.dest);
        gd_clear_node(g, s, dC_GOTO);
        t_dc_goto &to = record_of<t_dc_goto>(g, s);
        to.other_node = old.next;
        to.line = old.line;
        to.dest = dest;
    }
    return 1;
}
