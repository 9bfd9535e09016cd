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
        const t_dc_aggr_type *aggregate = record<t_dc_aggr_type>(g, i);
        if (!aggregate) continue;
        chain_walk walk;
        node_ptr a = aggregate->members;
        for (const t_dc_arc *arc; (arc = record<t_dc_arc>(g, a)) && walk.first_meeting(a); a = arc->next) {
            // The static flag of the common head, which the function
            // record's own static_flag hides.
            t_dc_function *f = record<t_dc_function>(g, arc->dest);
            if (f && !f->gd_graph_common::static_flag) f->mark_flag1 = 1;
        }
    }
}

// The first formal of a member function stands for the object; the calls
// pass the object another way once rewritten.
void drop_object_formal(gd_graph *g, node_ptr method)
{
    t_dc_function &fn = record_of<t_dc_function>(g, method);
    if (const t_dc_arc *first = record<t_dc_arc>(g, fn.formal_fct)) fn.formal_fct = first->next;
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
    if (callee_arc == -1 || args_arc == -1) return 1;
    // operand_arc gives arcs only.
    const node_ptr list = record_of<t_dc_arc>(g, args_arc).dest;
    t_dc_actual_fct_param_list *params = record<t_dc_actual_fct_param_list>(g, list);
    if (!params) return 1;

    if (auto seen = done.find(list); seen != done.end()) {
        t_dc_arc &callee = record_of<t_dc_arc>(g, callee_arc);
        callee.dest = seen->second.access;
        if (seen->second.no_arguments_left) callee.next = -1;
        return 1;
    }

    const node_ptr object_arc = params->actuals;
    const t_dc_arc *object_link = record<t_dc_arc>(g, object_arc);
    if (!object_link) return 1;
    const node_ptr rest = object_link->next;
    // Without other arguments the call loses its argument operand.
    if (rest == -1)
        record_of<t_dc_arc>(g, callee_arc).next = -1;
    else
        params->actuals = rest;

    // The buffer may move from here on.
    const node_ptr access = newNode(g);
    gd_clear_node(g, access, dC_OPERATOR);
    node_ptr object = record_of<t_dc_arc>(g, object_arc).dest;
    const node_ptr address_arc = is_operator(g, object, dc_addr) ? operand_arc(g, object, 0) : -1;
    t_dc_operator &op = record_of<t_dc_operator>(g, access);
    if (address_arc != -1) {
        op.op = dc_field_access;
        object = record_of<t_dc_arc>(g, address_arc).dest;
    } else {
        op.op = dc_pointsat;
    }
    op.ops = object_arc;
    t_dc_arc &object_opd = record_of<t_dc_arc>(g, object_arc);
    object_opd.type = dC_ARC_OPD;
    object_opd.src = access;
    object_opd.dest = object;

    const node_ptr member_arc = new_arc(g, dC_ARC_OPD, access, method);
    record_of<t_dc_arc>(g, member_arc).ordinal = -1;
    record_of<t_dc_arc>(g, object_arc).next = member_arc;

    record_of<t_dc_arc>(g, callee_arc).dest = access;
    done.emplace(list, rewritten_call{access, rest == -1});
    return 1;
}

int gd_classref_filter(gd_graph *g)
{
    mark_member_functions(g);
    std::vector<bool> formal_dropped(g->curNodePos);
    rewritten_lists done;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (!is_operator(g, i, dc_fct_call)) continue;
        const node_ptr callee_arc = operand_arc(g, i, 0);
        if (callee_arc == -1) continue;
        const node_ptr method = record_of<t_dc_arc>(g, callee_arc).dest;
        const t_dc_function *fn = record<t_dc_function>(g, method);
        if (!fn || !fn->mark_flag1) continue;
        // Nodes made by the rewrites lie beyond the vector; none is a function.
        if (uint32_t(method) < formal_dropped.size() && !formal_dropped[method]) {
            formal_dropped[method] = true;
            drop_object_formal(g, method);
        }
        if (rewrite_method_call(g, i, method, done) != 1) return 0;
    }
    return 1;
}
