// The gd_classref family: a call of a member function, which the front end
// writes as a call with the object's address as first argument, becomes a
// call through a field access on the object (or through `->` on a pointer),
// and the member function loses the formal that stood for the object.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

#include <unordered_map>
#include <vector>

namespace {

// Marks every non-static function that some class lists among its members.
void mark_member_functions(gd_graph *g)
{
    clear_mark1(g);
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (kind_of(g, i) != dC_AGGR_TYPE)
            continue;
        chain_walk walk;
        for (node_ptr a = g->nodeBuffer[i].dc_aggr_type.members; is_arc_kind(kind_of(g, a)) && walk.first_meeting(a);
             a = g->nodeBuffer[a].dc_arc.next) {
            node_ptr f = g->nodeBuffer[a].dc_arc.dest;
            if (kind_of(g, f) == dC_FUNCTION && !g->nodeBuffer[f].common.static_flag)
                g->nodeBuffer[f].common.mark_flag1 = 1;
        }
    }
}

// The first formal of a member function stands for the object; the calls
// pass the object another way once rewritten.
void drop_object_formal(gd_graph *g, node_ptr method)
{
    node_ptr first = g->nodeBuffer[method].dc_function.formal_fct;
    if (is_arc_kind(kind_of(g, first)))
        g->nodeBuffer[method].dc_function.formal_fct = g->nodeBuffer[first].dc_arc.next;
}

// Member calls already rewritten, by their actual-parameter list: a second
// call that shares the list shares the field access made for the first, and
// loses its argument operand when the first did.
struct rewritten_call {
    node_ptr access;
    bool no_arguments_left;
};
using rewritten_lists = std::unordered_map<node_ptr, rewritten_call>;

}  // namespace

// Rewrites call i of member function `method`:
//     fct_call(method, (object_address, args...))
// becomes fct_call(field_access(object, method), (args...)), or, when the
// first argument is a pointer rather than an address taken,
// fct_call(pointsat(pointer, method), (args...)).
// Every arc and node read is checked; a call of another shape is left alone.
static int rewrite_method_call(gd_graph *g, node_ptr i, node_ptr method, rewritten_lists &done)
{
    const node_ptr callee_arc = operand_arc(g, i, 0);
    const node_ptr args_arc = operand_arc(g, i, 1);
    if (callee_arc == -1 || args_arc == -1)
        return 1;
    const node_ptr list = g->nodeBuffer[args_arc].dc_arc.dest;
    if (kind_of(g, list) != dC_ACTUAL_FCT_PARAM_LIST)
        return 1;

    if (auto seen = done.find(list); seen != done.end()) {
        g->nodeBuffer[callee_arc].dc_arc.dest = seen->second.access;
        if (seen->second.no_arguments_left)
            g->nodeBuffer[callee_arc].dc_arc.next = -1;
        return 1;
    }

    const node_ptr object_arc = g->nodeBuffer[list].dc_actual_fct_param_list.actuals;
    if (!is_arc_kind(kind_of(g, object_arc)))
        return 1;
    const node_ptr rest = g->nodeBuffer[object_arc].dc_arc.next;
    // Without other arguments the call loses its argument operand.
    if (rest == -1)
        g->nodeBuffer[callee_arc].dc_arc.next = -1;
    else
        g->nodeBuffer[list].dc_actual_fct_param_list.actuals = rest;

    const node_ptr access = newNode(g);
    gd_clear_node(g, access, dC_OPERATOR);
    node_ptr object = g->nodeBuffer[object_arc].dc_arc.dest;
    const node_ptr address_of = object;
    if (is_operator(g, address_of, dc_addr) && operand_arc(g, address_of, 0) != -1) {
        g->nodeBuffer[access].dc_operator.op = dc_field_access;
        object = g->nodeBuffer[operand_arc(g, address_of, 0)].dc_arc.dest;
    } else {
        g->nodeBuffer[access].dc_operator.op = dc_pointsat;
    }
    g->nodeBuffer[access].dc_operator.ops = object_arc;
    t_dc_arc &object_opd = g->nodeBuffer[object_arc].dc_arc;
    object_opd.type = dC_ARC_OPD;
    object_opd.src = access;
    object_opd.dest = object;

    const node_ptr member_arc = new_arc(g, dC_ARC_OPD, access, method);
    g->nodeBuffer[member_arc].dc_arc.ordinal = -1;
    g->nodeBuffer[object_arc].dc_arc.next = member_arc;

    g->nodeBuffer[callee_arc].dc_arc.dest = access;
    done.emplace(list, rewritten_call{access, rest == -1});
    return 1;
}

int gd_classref_filter(gd_graph *g)
{
    mark_member_functions(g);
    std::vector<bool> formal_dropped(g->curNodePos);
    rewritten_lists done;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (!is_operator(g, i, dc_fct_call))
            continue;
        const node_ptr callee_arc = operand_arc(g, i, 0);
        if (callee_arc == -1)
            continue;
        const node_ptr method = g->nodeBuffer[callee_arc].dc_arc.dest;
        if (kind_of(g, method) != dC_FUNCTION || !g->nodeBuffer[method].common.mark_flag1)
            continue;
        // Nodes made by the rewrites lie beyond the vector; none is a function.
        if (uint32_t(method) < formal_dropped.size() && !formal_dropped[method]) {
            formal_dropped[method] = true;
            drop_object_formal(g, method);
        }
        if (rewrite_method_call(g, i, method, done) != 1)
            return 0;
    }
    return 1;
}
