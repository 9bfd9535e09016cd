// The zap_other family: clears every `other_node`, so that the links the
// filters kept there in the middle of the chain no longer keep nodes alive.

#include <gd/filters/filters.h>

int zap_other_filter(gd_graph *g)
{
    // Every record below curNodePos, free ones too: node_at, since record()
    // has none for a free record.
    for (node_ptr i = 0; gd_graph_node *p = node_at(g, i); i++) p->common.other_node = -1;
    return 1;
}
