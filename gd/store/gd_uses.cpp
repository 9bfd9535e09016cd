// The node-use test and the used-by search: whether a node refers to another
// through one of the links its kind compares, and the lowest node that does;
// and the classifier of compiler type kinds that goes with them.
#include "gd/kind_table.h"

int nodeUses(gd_graph g, node_ptr src, node_ptr dest)
{
    node_ptr links[GD_MAX_LINKS];
    int count = gd_compared_links(&g, src, links);
    if (count < 0) {
        gd_node_type kind = g.nodeBuffer[src].common.type;
        fprintf(stderr, "node_uses: Unhandled node %d type %d(%s)\n", src, (int)kind, gd_kind_name(kind));
        gd_fatal(1);
    }
    for (int l = 0; l < count; l++)
        if (links[l] == dest) return 1;
    return 0;
}

int UsedBy(gd_graph g, int dest, int useFlag)
{
    for (uint32_t i = 0; i < g.curNodePos; i++) {
        if (useFlag && g.nodeBuffer[i].common.mark_flag1) continue;
        if (nodeUses(g, (node_ptr)i, dest)) return (int)i;
    }
    return -1;
}

int is_gcc_type(gd_node_type t)
{
    return gd_kind_class_of(t) == GD_KC_TYPE;
}
