// The gd_block family: compound statements become Ririra blocks holding one
// arc per statement.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

void do_compound(gd_graph *g, growth_allowance &allowance, node_ptr c)
{
    // The block's `name` and `visb` lie where the statement keeps `body` and
    // `next`.
    const t_compound_stmt old = g->nodeBuffer[c].compound_stmt;

    gd_graph_node &n = g->nodeBuffer[c];
    n.common.type = dC_BLOCK;
    n.common.other_node = old.next;
    t_dc_block &b = n.dc_block;
    b.file = -1;
    b.visb = visb_unk;
    b.name = b.instance = b.defLoc = b.arcFriend = b.array_dim = b.contents = -1;

    const node_ptr contents = take_statements(g, allowance, c, old.body);
    g->nodeBuffer[c].dc_block.contents = contents;
}

}  // namespace

int gd_block_filter(gd_graph *g)
{
    growth_allowance allowance(g, "gd_block");
    for (node_ptr c = 0; node_valid(g, c); c++)
        if (kind_of(g, c) == gCOMPOUND_STMT)
            do_compound(g, allowance, c);
    return 1;
}
