// Chain walks and arcs shared by the filters.

#include "arcs_and_chains.h"

#include <gd/kind_table.h>

#include <cstdio>
#include <cstring>

void clear_mark1(gd_graph *g)
{
    for (uint32_t i = 0; i < g->curNodePos; ++i)
        if (g->nodeBuffer[i].common.mark_flag1)
            g->nodeBuffer[i].common.mark_flag1 = 0;
}

void clear_marks(gd_graph *g)
{
    for (uint32_t i = 0; i < g->curNodePos; ++i)
        clear_marks_of(g->nodeBuffer[i].common);
}

growth_allowance::growth_allowance(const gd_graph *g, const char *family)
    : limit_(growth_factor * g->curNodePos + growth_slack), family_(family)
{
}

bool growth_allowance::allows(const gd_graph *g)
{
    if (g->curNodePos < limit_)
        return true;
    if (!reported_) {
        std::fprintf(stderr, "%s: the graph has grown to %u nodes; the remaining chain walks stop\n", family_,
                     g->curNodePos);
        reported_ = true;
    }
    return false;
}

node_ptr last_arc(const gd_graph *g, node_ptr first)
{
    node_ptr last = -1;
    chain_walk walk;
    for (node_ptr a = first; is_arc_kind(kind_of(g, a)) && walk.first_meeting(a); a = g->nodeBuffer[a].dc_arc.next)
        last = a;
    return last;
}

void append_to_contents(gd_graph *g, node_ptr scope, node_ptr &last, node_ptr a)
{
    if (last == -1)
        g->nodeBuffer[scope].dc_scope.contents = a;
    else
        g->nodeBuffer[last].dc_arc.next = a;
    last = a;
}

node_ptr next_declaration(const gd_graph *g, node_ptr d)
{
    if (!is_declaration_kind(kind_of(g, d)))
        return -1;
    return g->nodeBuffer[d].decl.chan;
}

node_ptr new_arc(gd_graph *g, gd_node_type kind, node_ptr src, node_ptr dest)
{
    node_ptr a = newNode(g);
    gd_clear_node(g, a, kind);
    t_dc_arc &arc = g->nodeBuffer[a].dc_arc;
    arc.src = src;
    arc.dest = dest;
    return a;
}


node_ptr copy_node(gd_graph *g, node_ptr from)
{
    const node_ptr n = newNode(g);
    std::memcpy(&g->nodeBuffer[n], &g->nodeBuffer[from], sizeof(gd_graph_node));
    return n;
}

void append_to_arc_list(gd_graph *g, node_ptr &head, node_ptr &tail, node_ptr a)
{
    if (tail == -1)
        head = a;
    else
        g->nodeBuffer[tail].dc_arc.next = a;
    tail = a;
}

bool statement_link_readable(const gd_graph *g, node_ptr s)
{
    const gd_node_type k = kind_of(g, s);
    if (k > dC_ARC_ARRAY_DIM)
        return false;
    const gd_kind_info *info = gd_kind_info_of(k);
    return info && (info->flags & GD_KF_RECORD) && !(info->flags & GD_KF_CHAIN_ERROR);
}

node_ptr take_statements(gd_graph *g, growth_allowance &allowance, node_ptr owner, node_ptr first)
{
    node_ptr head = -1, tail = -1;
    chain_walk walk;
    node_ptr s = first;
    while (statement_link_readable(g, s) && walk.first_meeting(s) && allowance.allows(g)) {
        const gd_node_type k = kind_of(g, s);
        if (k == gSCOPE_STMT || k == gCTOR_STMT) {
            s = nextNode(g, s);
            continue;
        }
        // A link to a record that was free when the walk began may lead to
        // an arc made here, and from it along the arcs the walk keeps
        // adding: the walk has met every arc it makes.
        const node_ptr next = setNext(g, s, -1);
        const node_ptr arc = new_arc(g, dC_ARC_SON, owner, s);
        walk.first_meeting(arc);
        append_to_arc_list(g, head, tail, arc);
        s = next;
    }
    return head;
}
