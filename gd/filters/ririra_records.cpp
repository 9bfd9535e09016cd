// Helpers for rewriting compiler records as Ririra records.

#include "ririra_records.h"

#include "arcs_and_chains.h"

str_ptr identifier_text(const gd_graph *g, node_ptr n)
{
    return kind_of(g, n) == gIDENTIFIER_NODE ? g->nodeBuffer[n].identifier_node.strg : -1;
}

declared_place type_decl_place(const gd_graph *g, node_ptr decl)
{
    declared_place place;
    if (kind_of(g, decl) == gTYPE_DECL) {
        const t_gcc_decl &d = g->nodeBuffer[decl].decl;
        place.file = d.srcf;
        place.line = d.srcl;
        place.name = identifier_text(g, d.name);
    }
    return place;
}

t_visb visibility_by_precedence(const gd_graph_common &c, const t_visb (&precedence)[3])
{
    for (t_visb level : precedence) {
        const bool set = level == visb_pub ? c.public_flag : level == visb_pri ? c.private_flag : c.protected_flag;
        if (set)
            return level;
    }
    return visb_unk;
}

void make_type_record(gd_graph *g, node_ptr x, gd_node_type kind, str_ptr file, int32_t line, str_ptr name,
                      t_visb visb)
{
    gd_graph_node &rec = g->nodeBuffer[x];
    const bool is_const = rec.common.readonly_flag;
    const bool is_volatile = rec.common.volatile_flag;
    t_dc_type &t = rec.dc_type;
    t.type = kind;
    t.other_node = -1;
    t.file = file;
    t.line = line;
    t.name = name;
    t.visb = visb;
    t.instance = -1;
    t.defLoc = -1;
    t.arcFriend = -1;
    t.array_dim = -1;
    t.implements = -1;
    t.const_flag = is_const;
    t.volatile_flag = is_volatile;
}

node_ptr add_link_symbol(gd_graph *g, scope_tail &global, node_ptr owner, node_ptr mngl, bool undef)
{
    if (kind_of(g, mngl) != gIDENTIFIER_NODE)
        return -1;
    const str_ptr name = g->nodeBuffer[mngl].identifier_node.strg;
    const node_ptr sym = newNode(g);
    gd_clear_node(g, sym, dC_LINK_SYM);
    g->nodeBuffer[sym].dc_link_sym.name = name;
    const node_ptr link = undef ? new_arc(g, dC_LINKS_TO, owner, sym)
                                : new_arc(g, dC_LINKS_FROM, sym, owner);
    append_to_scope(g, global, sym);
    return link;
}

bool is_operator(const gd_graph *g, node_ptr i, op_kind op)
{
    return kind_of(g, i) == dC_OPERATOR && g->nodeBuffer[i].dc_operator.op == op;
}

node_ptr operand_arc(const gd_graph *g, node_ptr i, int index)
{
    if (kind_of(g, i) != dC_OPERATOR)
        return -1;
    node_ptr arc = g->nodeBuffer[i].dc_operator.ops;
    chain_walk walk;
    for (int k = 0; is_arc_kind(kind_of(g, arc)) && walk.first_meeting(arc); k++) {
        if (k == index)
            return arc;
        arc = g->nodeBuffer[arc].dc_arc.next;
    }
    return -1;
}

node_ptr operand(const gd_graph *g, node_ptr i, int index)
{
    const node_ptr arc = operand_arc(g, i, index);
    return arc == -1 ? -1 : g->nodeBuffer[arc].dc_arc.dest;
}
