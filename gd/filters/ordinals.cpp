// The ordinals family: numbers the arcs of every arc chain from 1 along
// `next` (a lone arc keeps 0), and numbers the formals, exception types and
// body of a function as one sequence.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

#include <cstdio>
#include <vector>

namespace {

// Numbers a chain of arcs from `first`, going on from `count`. Every node of
// the chain must be an arc, and the chain must not come back to an arc it
// has numbered itself; chains that share a tail are no loop, each numbers
// the tail in its turn. Returns the next number, or -1 after a message.
int number_chain(gd_graph *g, node_ptr first, int count)
{
    chain_walk walk;
    for (node_ptr a = first; a != -1;) {
        t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc) {
            std::fprintf(stderr, "non arc node (%d) in arc chain?\n", a);
            return -1;
        }
        if (!walk.first_meeting(a)) {
            std::fprintf(stderr, "arc chain loops back to arc %d\n", a);
            return -1;
        }
        arc->ordinal = count++;
        a = arc->next;
    }
    return count;
}

}  // namespace

int ordinals_filter(gd_graph *g)
{
    // The filter keeps which arcs have a predecessor beside the graph, not in
    // mark_flag1: the marks are cleared here, and so are found clear at the
    // end. The scan that finds the predecessors reads no mark, so it clears
    // them as it goes; a stop clears the rest first, as a scan of its own
    // before would have.
    //
    // Every arc that some arc's `next` names has a predecessor.
    std::vector<bool> has_predecessor(g->curNodePos, false);
    for (node_ptr a = 0; node_valid(g, a); a++) {
        // Free records are cleared too; record() would pass them over.
        gd_graph_common &common = node_at(g, a)->common;
        if (common.mark_flag1) common.mark_flag1 = 0;
        t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc) continue;
        arc->ordinal = 0;
        if (arc->next < -1 || !(arc->next == -1 || node_valid(g, arc->next))) {
            clear_mark1(g);
            std::fprintf(stderr, "Next Field of arc %d is out of range %d\n", a, arc->next);
            return 0;
        }
        if (arc->next != -1) has_predecessor[arc->next] = true;
    }

    for (node_ptr a = 0; node_valid(g, a); a++) {
        const t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc || has_predecessor[a] || arc->next == -1) continue;
        if (number_chain(g, a, 1) < 0) return 0;
    }

    for (node_ptr f = 0; node_valid(g, f); f++) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, f) != dC_FUNCTION) continue;
        const t_dc_function &fn = record_of<t_dc_function>(g, f);
        if (fn.formal_fct == -1) continue;
        const node_ptr chains[] = {fn.formal_fct, fn.exception, fn.block};
        // One count runs on through the three chains; each chain is walked
        // on its own, so a body that shares arcs with the formals numbers
        // them again after them.
        int count = 1;
        for (node_ptr first : chains)
            if ((count = number_chain(g, first, count)) < 0) return 0;
    }
    return 1;
}
