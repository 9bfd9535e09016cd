// The gd_globalize_funct_types family: every function type becomes a member
// of the global scope, after the members it already has.

#include <gd/filters/filters.h>

#include "chain_walk.h"

int gd_globalize_funct_types_filter(gd_graph *g)
{
    const node_ptr root = g->firstNode;
    if (!is_scope_kind(kind_of(g, root)))
        return 1;
    // The tail is kept as arcs are added, so adding n types costs n steps.
    node_ptr last = last_arc(g, g->nodeBuffer[root].dc_scope.contents);
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (kind_of(g, i) != dC_FCT_TYPE)
            continue;
        const node_ptr arc = new_arc(g, dC_ARC_SON, root, i);
        if (last == -1)
            g->nodeBuffer[root].dc_scope.contents = arc;
        else
            g->nodeBuffer[last].dc_arc.next = arc;
        last = arc;
    }
    return 1;
}
