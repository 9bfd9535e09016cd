// The zap_builtin family: a built-in type that the global scope lists and
// that nothing else uses leaves the scope's member chain. The arc and the
// type stay in the graph, unreferenced, for the last reachability pass; the
// arc's own `next` is cleared, so that it no longer leads into the chain and
// the numbering of arc chains does not take it for the chain's head.

#include <gd/filters/filters.h>

#include "chain_walk.h"

int zap_builtin_filter(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); i++)
        g->nodeBuffer[i].common.mark_flag1 = 0;
    const node_ptr root = g->firstNode;
    if (!is_scope_kind(kind_of(g, root)) || g->nodeBuffer[root].dc_scope.contents == -1)
        return 1;

    // `prev` is the arc whose `next` links the current arc, -1 while the
    // scope's `contents` does.
    node_ptr prev = -1;
    node_ptr a = g->nodeBuffer[root].dc_scope.contents;
    chain_guard guard(g);
    while (is_arc_kind(kind_of(g, a)) && guard.step()) {
        const node_ptr next = g->nodeBuffer[a].dc_arc.next;
        const node_ptr d = g->nodeBuffer[a].dc_arc.dest;
        bool unused = false;
        if (kind_of(g, d) == dC_BUILT_IN_TYPE) {
            // The scope's own arc does not count as a use.
            g->nodeBuffer[a].common.mark_flag1 = 1;
            unused = UsedBy(*g, d, 1) == -1;
            g->nodeBuffer[a].common.mark_flag1 = 0;
        }
        if (!unused) {
            prev = a;
        } else {
            if (prev == -1)
                g->nodeBuffer[root].dc_scope.contents = next;
            else
                g->nodeBuffer[prev].dc_arc.next = next;
            g->nodeBuffer[a].dc_arc.next = -1;
        }
        a = next;
    }
    return 1;
}
