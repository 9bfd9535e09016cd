// The classes family: the compiler's vector of base descriptors that
// aggregate_filter left in an aggregate's `inheritance` becomes a chain of
// inheritance arcs.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

#include <algorithm>
#include <iterator>

namespace {

// The kind tests folded into the access below.
static_assert(held_only_by<t_dc_aggr_type>(dC_AGGR_TYPE));
static_assert(held_only_by<t_tree_vec>(gTREE_VEC));

// Builds the inheritance arcs of aggregate x. Each arc goes in front of the
// chain, so the chain lists the bases in the reverse of the vector's order
// while the arcs' node numbers rise in that order.
void do_inherit(gd_graph *g, node_ptr x)
{
    t_dc_aggr_type &aggregate = record_of<t_dc_aggr_type>(g, x);
    const node_ptr v = aggregate.inheritance;
    const t_tree_vec *bases = record<t_tree_vec>(g, v);
    if (!bases) return;
    aggregate.inheritance = -1;

    const int32_t slots = std::size(bases->elts);
    const int32_t count = std::clamp(bases->length, 0, slots);
    // Each arc may move the node buffer: the records are asked for anew in
    // every round.
    for (int32_t k = 0; k < count; ++k) {
        const node_ptr b = record_of<t_tree_vec>(g, v).elts[k];
        t_tree_vec *base = record<t_tree_vec>(g, b);
        if (!base) continue;
        const node_ptr base_type = base->binfo_type;
        const t_visb visb = visibility(base);
        const unsigned is_virtual = base->unsigned_flag;

        const node_ptr h = new_arc(g, dC_INHERITANCE, x, base_type);
        t_dc_inheritance &arc = record_of<t_dc_inheritance>(g, h);
        t_dc_aggr_type &owner = record_of<t_dc_aggr_type>(g, x);
        arc.visb = visb;
        arc.virt = is_virtual;
        arc.next = owner.inheritance;
        owner.inheritance = h;
    }
}

}  // namespace

int classes_filter(gd_graph *g)
{
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const t_dc_aggr_type *aggregate = record<t_dc_aggr_type>(g, x);
        if (aggregate && node_valid(g, aggregate->inheritance)) do_inherit(g, x);
    }
    return 1;
}
