// The next link of a node, wherever its kind keeps it: `chan` of declarations
// and lists, `next` of statements and arcs, `other_node` of Ririra nodes.
#include <cstdlib>
#include <cstring>

#include "gd/kind_table.h"

namespace {

// The link field of node i, or nullptr when its kind has none. Kinds that
// should never be asked about stop the program with `message`.
node_ptr *link_field(gd_graph *g, node_ptr i, const char *message)
{
    gd_graph_node *p = node_at(g, i);
    if (!p) return nullptr;
    int kind = p->common.type;
    const gd_kind_info *info = gd_kind_info_of(kind);
    if (!info || kind > NODE_NONE || (info->flags & GD_KF_CHAIN_ERROR)) {
        printf(message, i, gd_kind_name(kind), kind);
        gd_fatal(1);
    }
    if (info->chain_offset < 0) return nullptr;
    return (node_ptr *)(p->bytes + info->chain_offset);
}

}  // namespace

node_ptr nextNode(gd_graph *g, node_ptr i)
{
    node_ptr *field = link_field(g, i, "unknown node(%d) type: %s(%d)\n");
    return field ? *field : -1;
}

node_ptr setNext(gd_graph *g, node_ptr i, node_ptr val)
{
    node_ptr *field = link_field(g, i, "talvex: unknown node (%d) type %s(%d)\n");
    if (!field) return -1;
    node_ptr old = *field;
    *field = val;
    return old;
}
