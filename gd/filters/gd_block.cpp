// The gd_block family: compound statements become Ririra blocks holding one
// arc per statement. Also the statement-chain walk that the loop families
// share with it.

#include <gd/filters/filters.h>
#include <gd/kind_table.h>

#include "chain_walk.h"

// Appends arc `a` to the arc list whose first arc is `head` and last arc
// `tail` (both -1 for an empty list). Shared with the other families that
// build arc lists.
void append_to_arc_list(gd_graph *g, node_ptr &head, node_ptr &tail, node_ptr a)
{
    if (tail == -1)
        head = a;
    else
        g->nodeBuffer[tail].dc_arc.next = a;
    tail = a;
}

// 1 when statement s can be asked for its successor: a node of a kind with a
// record that the chain helpers accept. Shared with the exceptions family.
bool statement_link_readable(const gd_graph *g, node_ptr s)
{
    const gd_node_type k = kind_of(g, s);
    if (k > dC_ARC_ARRAY_DIM)
        return false;
    const gd_kind_info *info = gd_kind_info_of(k);
    return info && (info->flags & GD_KF_RECORD) && !(info->flags & GD_KF_CHAIN_ERROR);
}

// The arcs from `owner` to the statements of the chain from `first`: scope
// and constructor markers are passed over and stay linked; every other
// statement gets an arc and is detached from its successor. Shared with the
// loop families.
node_ptr take_statements(gd_graph *g, node_ptr owner, node_ptr first)
{
    node_ptr head = -1, tail = -1;
    chain_guard guard(g);
    node_ptr s = first;
    while (statement_link_readable(g, s) && guard.step()) {
        const gd_node_type k = kind_of(g, s);
        if (k == gSCOPE_STMT || k == gCTOR_STMT) {
            s = nextNode(g, s);
            continue;
        }
        append_to_arc_list(g, head, tail, new_arc(g, dC_ARC_SON, owner, s));
        s = setNext(g, s, -1);
    }
    return head;
}

namespace {

void do_compound(gd_graph *g, node_ptr c)
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

    const node_ptr contents = take_statements(g, c, old.body);
    g->nodeBuffer[c].dc_block.contents = contents;
}

}  // namespace

int gd_block_filter(gd_graph *g)
{
    for (node_ptr c = 0; node_valid(g, c); c++)
        if (kind_of(g, c) == gCOMPOUND_STMT)
            do_compound(g, c);
    return 1;
}
