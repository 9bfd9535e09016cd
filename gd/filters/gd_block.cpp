// The gd_block family: compound statements become Ririra blocks holding one
// arc per statement.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

void do_compound(gd_graph *g, node_ptr c)
{
    // The block's `name` and `visb` lie where the statement keeps `body` and
    // `next`.
    const t_compound_stmt old = record_of<t_compound_stmt>(g, c);

    record_of<gd_graph_common>(g, c).type = dC_BLOCK;
    t_dc_block &b = record_of<t_dc_block>(g, c);
    b.other_node = old.next;
    b.file = -1;
    b.visb = visb_unk;
    b.name = b.instance = b.defLoc = b.arcFriend = b.array_dim = b.contents = -1;

    const node_ptr contents = take_statements(g, "gd_block", c, old.body);
    record_of<t_dc_block>(g, c).contents = contents;
}

}  // namespace

int gd_block_filter(gd_graph *g)
{
    for (node_ptr c = 0; node_valid(g, c); c++)
        if (kind_of(g, c) == gCOMPOUND_STMT) do_compound(g, c);
    return 1;
}
