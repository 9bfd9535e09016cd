// The classes family: the compiler's vector of base descriptors that
// aggregate_filter left in an aggregate's `inheritance` becomes a chain of
// inheritance arcs.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

#include <algorithm>
#include <iterator>

namespace {

// Builds the inheritance arcs of aggregate x. Each arc goes in front of the
// chain, so the chain lists the bases in the reverse of the vector's order
// while the arcs' node numbers rise in that order.
void do_inherit(gd_graph *g, node_ptr x)
{
    const node_ptr v = g->nodeBuffer[x].dc_aggr_type.inheritance;
    if (kind_of(g, v) != gTREE_VEC)
        return;
    g->nodeBuffer[x].dc_aggr_type.inheritance = -1;

    const int32_t slots = std::size(g->nodeBuffer[v].tree_vec.elts);
    const int32_t count = std::clamp(g->nodeBuffer[v].tree_vec.length, 0, slots);
    for (int32_t k = 0; k < count; ++k) {
        const node_ptr b = g->nodeBuffer[v].tree_vec.elts[k];
        if (kind_of(g, b) != gTREE_VEC)
            continue;
        const t_tree_vec &base = g->nodeBuffer[b].tree_vec;
        const node_ptr base_type = base.binfo_type;
        const t_visb visb = visibility(&g->nodeBuffer[b].common);
        const unsigned is_virtual = base.unsigned_flag;

        const node_ptr h = new_arc(g, dC_INHERITANCE, x, base_type);
        t_dc_inheritance &arc = g->nodeBuffer[h].dc_inheritance;
        arc.visb = visb;
        arc.virt = is_virtual;
        arc.next = g->nodeBuffer[x].dc_aggr_type.inheritance;
        g->nodeBuffer[x].dc_aggr_type.inheritance = h;
    }
}

}  // namespace

int classes_filter(gd_graph *g)
{
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (kind_of(g, x) == dC_AGGR_TYPE && node_valid(g, g->nodeBuffer[x].dc_aggr_type.inheritance))
            do_inherit(g, x);
    }
    return 1;
}
