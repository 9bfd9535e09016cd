// Helpers for rewriting compiler records as Ririra records.

#include "ririra_records.h"

#include "arcs_and_chains.h"

// The kind tests folded into the access below.
static_assert(held_only_by<t_identifier_node>(gIDENTIFIER_NODE));
static_assert(held_only_by<t_type_decl>(gTYPE_DECL));
static_assert(held_only_by<t_dc_operator>(dC_OPERATOR));

str_ptr identifier_text(const gd_graph *g, node_ptr n)
{
    const t_identifier_node *identifier = record<t_identifier_node>(g, n);
    return identifier ? identifier->strg : -1;
}

declared_place type_decl_place(const gd_graph *g, node_ptr decl)
{
    declared_place place;
    if (const t_type_decl *d = record<t_type_decl>(g, decl)) {
        place.file = d->srcf;
        place.line = d->srcl;
        place.name = identifier_text(g, d->name);
    }
    return place;
}

t_visb visibility_by_precedence(const gd_graph_common &c, const t_visb (&precedence)[3])
{
    for (t_visb level : precedence) {
        const bool set = level == visb_pub   ? c.public_flag
                         : level == visb_pri ? c.private_flag
                                             : c.protected_flag;
        if (set) return level;
    }
    return visb_unk;
}

void make_type_record(gd_graph *g, node_ptr x, gd_node_type kind, str_ptr file, int32_t line, str_ptr name,
                      t_visb visb)
{
    // The record takes its new kind first and is then written as a record of
    // that kind, a type's.
    gd_graph_common &head = record_of<gd_graph_common>(g, x);
    const bool is_const = head.readonly_flag;
    const bool is_volatile = head.volatile_flag;
    head.type = kind;
    t_dc_type &t = record_of<t_dc_type>(g, x);
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
    const t_identifier_node *identifier = record<t_identifier_node>(g, mngl);
    if (!identifier) return -1;
    const str_ptr name = identifier->strg;
    const node_ptr sym = newNode(g);
    gd_clear_node(g, sym, dC_LINK_SYM);
    record_of<t_dc_link_sym>(g, sym).name = name;
    const node_ptr link = undef ? new_arc(g, dC_LINKS_TO, owner, sym) : new_arc(g, dC_LINKS_FROM, sym, owner);
    append_to_scope(g, global, sym);
    return link;
}

bool is_operator(const gd_graph *g, node_ptr i, op_kind op)
{
    const t_dc_operator *o = record<t_dc_operator>(g, i);
    return o && o->op == op;
}

node_ptr operand_arc(const gd_graph *g, node_ptr i, int index)
{
    const t_dc_operator *o = record<t_dc_operator>(g, i);
    if (!o) return -1;
    node_ptr arc = o->ops;
    chain_walk walk;
    for (int k = 0;; k++) {
        const t_dc_arc *a = record<t_dc_arc>(g, arc);
        if (!a || !walk.first_meeting(arc)) break;
        if (k == index) return arc;
        arc = a->next;
    }
    return -1;
}

node_ptr operand(const gd_graph *g, node_ptr i, int index)
{
    const node_ptr arc = operand_arc(g, i, index);
    return arc == -1 ? -1 : record_of<t_dc_arc>(g, arc).dest;
}
