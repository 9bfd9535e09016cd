// The gd_actuals family: the argument list of every call becomes a Ririra
// actual-parameter list. A call is an operator `dc_fct_call` whose first
// operand arc leads to the callee and whose second leads to the arguments,
// still the compiler's chain of tree-list cells.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// When `first` is the first arc of an actual-parameter list made for an
// earlier call (two calls sharing one argument chain), that list; else -1.
node_ptr converted_list(const gd_graph *g, node_ptr first)
{
    if (kind_of(g, first) != dC_ARC_SON) return -1;
    const node_ptr list = record_of<t_dc_arc_son>(g, first).src;
    const t_dc_actual_fct_param_list *actuals = record<t_dc_actual_fct_param_list>(g, list);
    if (!actuals || actuals->actuals != first) return -1;
    return list;
}

// Turns the tree-list cells from `first` on into the son arcs of a new
// actual-parameter list, in place: each cell keeps its node number and
// becomes the arc to its value. Returns the list.
node_ptr make_actuals(gd_graph *g, node_ptr first)
{
    const node_ptr list = newNode(g);
    gd_clear_node(g, list, dC_ACTUAL_FCT_PARAM_LIST);
    record_of<t_dc_actual_fct_param_list>(g, list).actuals = first;

    // Only tree-list cells are taken, so a chain that loops back ends at the
    // first cell already converted.
    chain_walk walk;
    node_ptr cell = first;
    const t_tree_list *l;
    while ((l = record<t_tree_list>(g, cell)) && walk.first_meeting(cell)) {
        const node_ptr value = l->value;
        node_ptr next = l->chan;
        // The arc chain may go on into cells still to convert or into arcs of
        // another list (a shared tail); anything else, and a cell of this
        // list met again, ends it.
        const t_dc_arc *next_arc = record<t_dc_arc>(g, next);
        const bool shared_tail = next_arc && next_arc->src != list;
        if (kind_of(g, next) != gTREE_LIST && !shared_tail) next = -1;
        gd_clear_node(g, cell, dC_ARC_SON);
        t_dc_arc_son &arc = record_of<t_dc_arc_son>(g, cell);
        arc.src = list;
        arc.dest = value;
        arc.next = next;
        cell = next;
    }
    return list;
}

}  // namespace

int gd_actuals_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1, 1.0, 1.1);
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (!is_operator(g, i, dc_fct_call)) continue;
        const node_ptr args_arc = operand_arc(g, i, 1);
        if (args_arc == -1) continue;
        const node_ptr first = record_of<t_dc_arc>(g, args_arc).dest;
        node_ptr list = converted_list(g, first);
        if (list == -1 && kind_of(g, first) == gTREE_LIST) list = make_actuals(g, first);
        if (list != -1) record_of<t_dc_arc>(g, args_arc).dest = list;
    }
    return 1;
}
