// Chain walks and arcs shared by the filters.

#include "arcs_and_chains.h"

#include <gd/kind_table.h>

#include <cstdio>

// The marks are cleared on every record, the free ones and those of kinds
// without a record included: each has the common head, which node_at gives
// whatever the kind.
void clear_mark1(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        gd_graph_common &c = node_at(g, i)->common;
        if (c.mark_flag1) c.mark_flag1 = 0;
    }
}

void clear_marks(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) clear_marks_of(node_at(g, i)->common);
}

growth_allowance::growth_allowance(const gd_graph *g, const char *family)
    : limit_(growth_factor * (g->chainStartRecords ? g->chainStartRecords : g->curNodePos) + growth_slack),
      family_(family)
{
}

bool growth_allowance::allows(const gd_graph *g)
{
    if (g->curNodePos < limit_) return true;
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
    for (node_ptr a = first;;) {
        const t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc || !walk.first_meeting(a)) break;
        last = a;
        a = arc->next;
    }
    return last;
}

void append_to_contents(gd_graph *g, node_ptr scope, node_ptr &last, node_ptr a)
{
    if (last == -1)
        record_of<t_dc_scope>(g, scope).contents = a;
    else
        record_of<t_dc_arc>(g, last).next = a;
    last = a;
}

node_ptr next_declaration(const gd_graph *g, node_ptr d)
{
    const t_gcc_decl *decl = record<t_gcc_decl>(g, d);
    return decl ? decl->chan : -1;
}

node_ptr new_arc(gd_graph *g, gd_node_type kind, node_ptr src, node_ptr dest)
{
    node_ptr a = newNode(g);
    gd_clear_node(g, a, kind);
    t_dc_arc &arc = record_of<t_dc_arc>(g, a);
    arc.src = src;
    arc.dest = dest;
    return a;
}

node_ptr copy_node(gd_graph *g, node_ptr from)
{
    const node_ptr n = newNode(g);
    // The whole record, whatever its kind; every caller copies a node whose
    // kind it has tested, and any other index is a fault of the caller.
    const gd_graph_node *source = node_at(g, from);
    if (!source) gd_record_fault(g, from, "gd_graph_node");
    *node_at(g, n) = *source;
    return n;
}

void append_to_arc_list(gd_graph *g, node_ptr &head, node_ptr &tail, node_ptr a)
{
    if (tail == -1)
        head = a;
    else
        record_of<t_dc_arc>(g, tail).next = a;
    tail = a;
}

// The kinds of class GD_KC_NONE are exactly the codes above the last arc kind
// (free, untyped, the count of kinds and every code beyond), over every code
// a kind field can hold.
static_assert([] {
    for (int k = 0; k <= 0xffff; ++k)
        if ((gd_kind_class_of(k) == GD_KC_NONE) != (k > dC_ARC_ARRAY_DIM)) return false;
    return true;
}());

bool statement_link_readable(const gd_graph *g, node_ptr s)
{
    const gd_node_type k = kind_of(g, s);
    if (gd_kind_class_of(k) == GD_KC_NONE) return false;
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
