// The gd_nameref family: makes the Ririra graph a tree of ownership plus
// references. Every declared entity keeps one owning syntax arc, the arc of
// the list that declares it (or, for an entity no such list holds, the first
// arc that reaches it); every other syntax arc to it is redirected to a new
// name reference that refers to it. A literal reached a second time is
// copied instead, and compiler identifiers still in the graph become bare
// name references.
//
// mark_flag1 on an arc: the arc owns its dest; on a node: the node has its
// owner. mark_flag2 on an arc: the owner marking has been there. Both stay
// set when the filter ends.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

bool is_syntax_arc(int k)
{
    return gd_kind_class_of(k) == GD_KC_SYNTAX_ARC;
}

// Marks the arcs of one declaring chain that reach a declared entity (a kind
// whose record begins with t_dc_identifier) as its owners. An arc that an
// earlier chain marked (the chains share a tail) ends the walk, as does an
// arc met again through a loop.
void set_edge_flag1(gd_graph *g, node_ptr a)
{
    chain_walk walk;
    while (node_valid(g, a) && walk.first_meeting(a)) {
        // A link read from a file may lead off the arcs: whatever record the
        // walk meets, it marks it and goes on through the word where an arc
        // keeps `next`.
        gd_graph_node &n = *node_at(g, a);
        if (n.common.mark_flag2) return;
        if (is_syntax_arc(n.common.type)) {
            t_dc_arc &arc = record_of<t_dc_arc>(g, a);
            if (t_dc_identifier *d = record<t_dc_identifier>(g, arc.dest)) {
                arc.mark_flag1 = 1;
                d->mark_flag1 = 1;
            }
        }
        n.common.mark_flag2 = 1;
        a = n.dc_arc.next;
    }
}

// The declaring chains: members, enumerators, formals, scope contents,
// template parts and the initialisations of a for loop.
void mark_owners(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); i++) {
        const gd_node_type k = kind_of(g, i);
        if (k == dC_AGGR_TYPE)
            set_edge_flag1(g, record_of<t_dc_aggr_type>(g, i).members);
        else if (k == dC_ENUM_TYPE)
            set_edge_flag1(g, record_of<t_dc_enum_type>(g, i).values);
        else if (k == dC_FCT_TYPE)
            set_edge_flag1(g, record_of<t_dc_fct_type>(g, i).formalParams);
        else if (k == dC_FUNCTION)
            set_edge_flag1(g, record_of<t_dc_function>(g, i).formal_fct);
        else if (is_scope_kind(k))
            set_edge_flag1(g, record_of<t_dc_scope>(g, i).contents);
        else if (k == dC_TEMPLATE) {
            // The walks only set marks: the record stays where it is.
            const t_dc_template &t = record_of<t_dc_template>(g, i);
            set_edge_flag1(g, t.formals);
            set_edge_flag1(g, t.result);
        } else if (k == dC_FOR_LOOP)
            set_edge_flag1(g, record_of<t_dc_for_loop>(g, i).init);
    }
}

// Syntax arc i, which does not own entity d, gets a name reference to d
// instead: the refers-to arc first, then the reference, which takes its
// position from the node that holds arc i (when that node is a Ririra node,
// whose record begins with t_dc_asg_nd).
void refer_by_name(gd_graph *g, node_ptr i, node_ptr d)
{
    const node_ptr holder = record_of<t_dc_arc>(g, i).src;
    const node_ptr arc = newNode(g);
    const node_ptr ref = newNode(g);
    gd_clear_node(g, arc, dC_REFERS_TO);
    t_dc_refers_to &to = record_of<t_dc_refers_to>(g, arc);
    to.src = ref;
    to.dest = d;

    gd_clear_node(g, ref, dC_NAME_REF);
    t_dc_name_ref &r = record_of<t_dc_name_ref>(g, ref);
    if (const t_dc_asg_nd *h = record<t_dc_asg_nd>(g, holder)) {
        r.file = h->file;
        r.line = h->line;
    }
    r.refers = arc;
    if (const t_dc_identifier *entity = record<t_dc_identifier>(g, d)) r.name = entity->name;
    record_of<t_dc_arc>(g, i).dest = ref;
}

// Syntax arc i, which does not own literal d, gets a copy of it, with a copy
// of its type arc. Copies carry every field of what they copy, flags
// included.
void copy_literal(gd_graph *g, node_ptr i, node_ptr d)
{
    const node_ptr copy = copy_node(g, d);
    const node_ptr type_arc = record_of<t_dc_literal>(g, d).type;
    if (kind_of(g, type_arc) == dC_INSTANCE) {
        const node_ptr arc_copy = copy_node(g, type_arc);
        record_of<t_dc_instance>(g, arc_copy).src = copy;
        record_of<t_dc_literal>(g, copy).type = arc_copy;
    }
    record_of<t_dc_arc>(g, i).dest = copy;
}

// Rewrites identifier i in place as a bare name reference.
void identifier_to_name_ref(gd_graph *g, node_ptr i)
{
    const str_ptr name = record_of<t_identifier_node>(g, i).strg;
    record_of<gd_graph_common>(g, i).type = dC_NAME_REF;
    t_dc_name_ref &r = record_of<t_dc_name_ref>(g, i);
    r.other_node = -1;
    r.file = -1;
    r.line = -1;
    r.refers = -1;
    r.name = name;
}

}  // namespace

int gd_nameref_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1, 1.0, 1.3);
    clear_marks(g);
    mark_owners(g);

    // The nodes made here are name references, refers-to arcs and copies of
    // literals: none is a syntax arc or an identifier, so the scan passes
    // them over.
    for (node_ptr i = 0; node_valid(g, i); i++) {
        const gd_node_type k = kind_of(g, i);
        if (k == gIDENTIFIER_NODE) {
            identifier_to_name_ref(g, i);
            continue;
        }
        if (!is_syntax_arc(k)) continue;
        t_dc_arc &arc = record_of<t_dc_arc>(g, i);
        if (arc.mark_flag1) continue;
        const node_ptr d = arc.dest;
        // The first arc to reach d owns it, whatever record d is.
        gd_graph_node *dest = node_at(g, d);
        if (!dest) continue;
        if (!dest->common.mark_flag1) {
            arc.mark_flag1 = 1;
            dest->common.mark_flag1 = 1;
        } else if (dest->common.type == dC_LITERAL) {
            copy_literal(g, i, d);
        } else {
            refer_by_name(g, i, d);
        }
    }
    return 1;
}
