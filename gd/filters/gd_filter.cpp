// The gd_filter family: the garbage collector of the chain. Keeps every node
// that the graph's root reaches over node links, compiler kinds and Ririra
// classes alike, other_node included, and frees every other record. It runs
// three times in the chain, each run independent of the others.
//
// The pass keeps its "reached" marks in a bit set beside the graph rather than
// in mark_flag1: the sweep clears both marks on every record all the same, and
// the marks that earlier filters left need no scan of their own to be cleared
// first.

#include <gd/filters/filters.h>

#include "reachability.h"

#include <vector>

namespace {

void reach(gd_graph *g, node_ptr n, std::vector<bool> &reached)
{
    // GD_KC_NONE: an invalid index, a free or untyped record, a code beyond
    // the kinds.
    const gd_node_type k = kind_of(g, n);
    if (gd_kind_class_of(k) == GD_KC_NONE || never_marked(k) || reached[n]) return;
    reached[n] = true;
    for_each_followed_link(g, n, other_node_rule::followed, [&](int, node_ptr target) {
        // An invalid index or a node reached already would be taken from the
        // queue and dropped.
        if (node_valid(g, target) && !reached[target]) queue_add(target, 0);
    });
}

}  // namespace

int gd_filter_filter(gd_graph *g)
{
    std::vector<bool> reached(g->curNodePos, false);
    queue_add(g->firstNode, 0);
    queue_lookahead queue(g);
    node_ptr n;
    int byChan;
    while (queue.next(&n, &byChan) == 1) reach(g, n, reached);
    free_unreached(g, reached);
    return 1;
}
