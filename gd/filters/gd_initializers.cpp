// The gd_initializers family: an object declaration followed by the compound
// statement of its constructor call gets that statement as its initial value,
// and every aggregate initializer becomes an initializer list.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

// A declaration statement of object O directly followed by an expression
// statement that holds a compound statement B (the constructor call the front
// end puts after the declaration): B becomes O's initial value and the
// expression statement leaves the statement chain.
void attach_constructor_call(gd_graph *g, node_ptr decl_stmt)
{
    const t_decl_stmt &d = record_of<t_decl_stmt>(g, decl_stmt);
    const node_ptr object = d.decl;
    const node_ptr expr_stmt = d.next;
    const t_expr_stmt *e = record<t_expr_stmt>(g, expr_stmt);
    if (kind_of(g, object) != dC_OBJECT || !e) return;
    const node_ptr body = e->texpr;
    const node_ptr after = e->next;
    if (kind_of(g, body) != gCOMPOUND_STMT) return;
    const node_ptr arc = new_arc(g, dC_ARC_INIT_VAL, object, body);
    record_of<t_dc_object>(g, object).initial_val = arc;
    record_of<t_decl_stmt>(g, decl_stmt).next = after;
}

// A constructor becomes an initializer list with one son arc per element, in
// element order. The element cells stay behind, unreferenced (constructors
// may share them).
void make_init_list(gd_graph *g, node_ptr c)
{
    node_ptr cell = record_of<t_constructor>(g, c).elts;
    // The kind word changes; the flags stay.
    record_of<gd_graph_common>(g, c).type = dC_INIT_LIST;
    t_dc_init_list &list = record_of<t_dc_init_list>(g, c);
    list.other_node = -1;
    list.file = -1;
    list.line = -1;
    list.refers = -1;
    list.init = -1;

    node_ptr first = -1, last = -1;
    growth_walk walk(g, "gd_initializers");
    const t_tree_list *l;
    while ((l = record<t_tree_list>(g, cell)) && walk.takes(cell)) {
        const node_ptr value = l->value;
        const node_ptr next_cell = l->chan;
        append_to_arc_list(g, first, last, new_arc(g, dC_ARC_SON, c, value));
        cell = next_cell;
    }
    record_of<t_dc_init_list>(g, c).init = first;
}

}  // namespace

int gd_initializers_filter(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); i++)
        if (kind_of(g, i) == gDECL_STMT) attach_constructor_call(g, i);
    for (node_ptr i = 0; node_valid(g, i); i++)
        if (kind_of(g, i) == gCONSTRUCTOR) make_init_list(g, i);
    return 1;
}
