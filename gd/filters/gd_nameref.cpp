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

bool is_syntax_arc(gd_node_type k)
{
    return k >= dC_ARC_SYNTAX && k <= dC_ARC_ARRAY_DIM;
}

// The kinds whose records begin with t_dc_identifier and carry a `name`.
bool is_declared_entity(gd_node_type k)
{
    return k >= dC_IDENTIFIER && k <= dC_FORMAL_TEMPLATE;
}

// The kinds whose records begin with t_dc_asg_nd and carry `file` and `line`.
bool has_source_position(gd_node_type k)
{
    return k >= dC_ASG_ND && k < dC_ARC;
}

// Marks the arcs of one declaring chain that reach a declared entity as its
// owners. An arc that an earlier chain marked (the chains share a tail) ends
// the walk, as does an arc met again through a loop.
void set_edge_flag1(gd_graph *g, node_ptr a)
{
    chain_walk walk;
    while (node_valid(g, a) && walk.first_meeting(a)) {
        gd_graph_node &n = g->nodeBuffer[a];
        if (n.common.mark_flag2)
            return;
        if (is_syntax_arc(n.common.type)) {
            node_ptr d = n.dc_arc.dest;
            if (is_declared_entity(kind_of(g, d))) {
                n.common.mark_flag1 = 1;
                g->nodeBuffer[d].common.mark_flag1 = 1;
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
        const gd_graph_node &n = g->nodeBuffer[i];
        gd_node_type k = n.common.type;
        if (k == dC_AGGR_TYPE)
            set_edge_flag1(g, n.dc_aggr_type.members);
        else if (k == dC_ENUM_TYPE)
            set_edge_flag1(g, n.dc_enum_type.values);
        else if (k == dC_FCT_TYPE)
            set_edge_flag1(g, n.dc_fct_type.formalParams);
        else if (k == dC_FUNCTION)
            set_edge_flag1(g, n.dc_function.formal_fct);
        else if (is_scope_kind(k))
            set_edge_flag1(g, n.dc_scope.contents);
        else if (k == dC_TEMPLATE) {
            set_edge_flag1(g, n.dc_template.formals);
            set_edge_flag1(g, n.dc_template.result);
        } else if (k == dC_FOR_LOOP)
            set_edge_flag1(g, n.dc_for_loop.init);
    }
}

// Arc i, which does not own entity d, gets a name reference to d instead:
// the refers-to arc first, then the reference, which takes its position from
// the node that holds arc i.
void refer_by_name(gd_graph *g, node_ptr i, node_ptr d)
{
    const node_ptr holder = g->nodeBuffer[i].dc_arc.src;
    const node_ptr arc = newNode(g);
    const node_ptr ref = newNode(g);
    gd_clear_node(g, arc, dC_REFERS_TO);
    g->nodeBuffer[arc].dc_refers_to.src = ref;
    g->nodeBuffer[arc].dc_refers_to.dest = d;

    gd_clear_node(g, ref, dC_NAME_REF);
    t_dc_name_ref &r = g->nodeBuffer[ref].dc_name_ref;
    if (has_source_position(kind_of(g, holder))) {
        r.file = g->nodeBuffer[holder].dc_asg_nd.file;
        r.line = g->nodeBuffer[holder].dc_asg_nd.line;
    }
    r.refers = arc;
    if (is_declared_entity(kind_of(g, d)))
        r.name = g->nodeBuffer[d].dc_identifier.name;
    g->nodeBuffer[i].dc_arc.dest = ref;
}

// Arc i, which does not own literal d, gets a copy of it, with a copy of its
// type arc. Copies carry every field of what they copy, flags included.
void copy_literal(gd_graph *g, node_ptr i, node_ptr d)
{
    const node_ptr copy = newNode(g);
    g->nodeBuffer[copy] = g->nodeBuffer[d];
    const node_ptr type_arc = g->nodeBuffer[d].dc_literal.type;
    if (kind_of(g, type_arc) == dC_INSTANCE) {
        const node_ptr arc_copy = newNode(g);
        g->nodeBuffer[arc_copy] = g->nodeBuffer[type_arc];
        g->nodeBuffer[arc_copy].dc_instance.src = copy;
        g->nodeBuffer[copy].dc_literal.type = arc_copy;
    }
    g->nodeBuffer[i].dc_arc.dest = copy;
}

void identifier_to_name_ref(gd_graph *g, node_ptr i)
{
    const str_ptr name = g->nodeBuffer[i].identifier_node.strg;
    t_dc_name_ref &r = g->nodeBuffer[i].dc_name_ref;
    r.type = dC_NAME_REF;
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
        gd_graph_node &n = g->nodeBuffer[i];
        if (n.common.type == gIDENTIFIER_NODE) {
            identifier_to_name_ref(g, i);
            continue;
        }
        if (!is_syntax_arc(n.common.type) || n.common.mark_flag1)
            continue;
        const node_ptr d = n.dc_arc.dest;
        if (!node_valid(g, d))
            continue;
        if (!g->nodeBuffer[d].common.mark_flag1) {
            n.common.mark_flag1 = 1;
            g->nodeBuffer[d].common.mark_flag1 = 1;
        } else if (g->nodeBuffer[d].common.type == dC_LITERAL) {
            copy_literal(g, i, d);
        } else {
            refer_by_name(g, i, d);
        }
    }
    return 1;
}
