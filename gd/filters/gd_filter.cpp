// The gd_filter family: the garbage collector of the chain. Keeps every node
// that the graph's root reaches over node links, compiler kinds and Ririra
// classes alike, other_node included, and frees every other record. It runs
// three times in the chain, each run independent of the others.

#include <gd/filters/filters.h>

#include "reachability.h"

namespace {

void reach(gd_graph *g, node_ptr n)
{
    const gd_node_type k = kind_of(g, n);
    if (k > dC_ARC_ARRAY_DIM || never_marked(k) || g->nodeBuffer[n].common.mark_flag1)
        return;
    g->nodeBuffer[n].common.mark_flag1 = 1;
    for_each_followed_link(g, n, other_node_rule::followed,
                           [&](int, node_ptr target) { queue_add(target, 0); });
}

}  // namespace

int gd_filter_filter(gd_graph *g)
{
    clear_marks(g);
    queue_add(g->firstNode, 0);
    node_ptr n;
    int byChan;
    while (queue_first(&n, &byChan) == 1)
        reach(g, n);
    free_unreached(g);
    return 1;
}
