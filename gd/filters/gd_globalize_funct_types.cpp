// The gd_globalize_funct_types family: every function type becomes a member
// of the global scope, after the members it already has.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

int gd_globalize_funct_types_filter(gd_graph *g)
{
    const node_ptr root = g->firstNode;
    const t_dc_scope *scope = record<t_dc_scope>(g, root);
    if (!scope) return 1;
    // The new arcs go after the last arc of the root's chain, whatever kind
    // of arc that is; the tail is kept as arcs are added.
    node_ptr last = last_arc(g, scope->contents);
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (kind_of(g, i) == dC_FCT_TYPE) append_to_contents(g, root, last, new_arc(g, dC_ARC_SON, root, i));
    }
    return 1;
}
