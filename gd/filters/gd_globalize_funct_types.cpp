// The gd_globalize_funct_types family: every function type becomes a member
// of the global scope, after the members it already has.

#include <gd/filters/filters.h>

#include "chain_walk.h"

int gd_globalize_funct_types_filter(gd_graph *g)
{
    // The tail is kept as arcs are added, so adding n types costs n steps.
    scope_tail global = scope_tail_of(g->firstNode);
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (kind_of(g, i) == dC_FCT_TYPE)
            append_to_scope(g, global, i);
    }
    return 1;
}
