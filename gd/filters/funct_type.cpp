// The funct_type family: function and method types become Ririra function
// types whose formal parameters are formal objects, one son arc each, made
// from the compiler's parameter cells.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

#include <cstdio>

namespace {

// The pool offset of "void", -1 when the unit holds no such name.
str_ptr void_str = -1;

// The access of a function type: private before public before protected.
constexpr t_visb function_type_precedence[3] = {visb_pri, visb_pub, visb_pro};

// The cell that closes a fixed parameter list: its value is the void type,
// still a compiler node or already a built-in type named "void".
bool is_void_cell(const gd_graph *g, node_ptr p)
{
    const node_ptr v = g->nodeBuffer[p].tree_list.value;
    switch (kind_of(g, v)) {
    case gVOID_TYPE:
        return true;
    case dC_BUILT_IN_TYPE:
        return void_str != -1 && g->nodeBuffer[v].dc_built_in_type.name == void_str;
    default:
        return false;
    }
}

// Turns a fresh parameter cell into the son arc of a new formal object.
// Allocation order: the formal's instance arc, then the formal.
void convert_cell(gd_graph *g, node_ptr x, node_ptr p, t_visb visb)
{
    const node_ptr value = g->nodeBuffer[p].tree_list.value;
    const node_ptr next = g->nodeBuffer[p].tree_list.chan;

    const node_ptr instance = new_arc(g, dC_INSTANCE, -1, value);
    const node_ptr formal = newNode(g);
    gd_clear_node(g, formal, dC_FORMAL_OBJECT);
    g->nodeBuffer[formal].dc_formal_object.visb = visb;
    g->nodeBuffer[formal].dc_formal_object.instance = instance;
    g->nodeBuffer[instance].dc_arc.src = formal;

    // Rewritten in place: the cell keeps its flags and its other words.
    gd_graph_node &cell = g->nodeBuffer[p];
    cell.common.type = dC_ARC_SON;
    cell.dc_arc.src = x;
    cell.dc_arc.dest = formal;
    cell.dc_arc.next = next;
}

// Copies a son arc of a list that an earlier function type converted (the
// compiler shares parameter lists and their tails between types), with its
// formal and the formal's instance arc. Allocation order: instance arc,
// formal, son arc. Returns the copied son arc, or -1 when the arc does not
// lead to a formal object with an instance arc and cannot be copied.
node_ptr copy_shared_arc(gd_graph *g, node_ptr x, node_ptr p)
{
    const node_ptr formal = g->nodeBuffer[p].dc_arc.dest;
    if (kind_of(g, formal) != dC_FORMAL_OBJECT)
        return -1;
    const node_ptr instance = g->nodeBuffer[formal].dc_formal_object.instance;
    if (kind_of(g, instance) != dC_INSTANCE)
        return -1;

    const node_ptr new_instance = copy_node(g, instance);
    const node_ptr new_formal = copy_node(g, formal);
    const node_ptr new_son = copy_node(g, p);
    g->nodeBuffer[new_instance].dc_arc.src = new_formal;
    g->nodeBuffer[new_formal].dc_formal_object.instance = new_instance;
    g->nodeBuffer[new_son].dc_arc.src = x;
    g->nodeBuffer[new_son].dc_arc.dest = new_formal;
    return new_son;
}

// Converts function or method type x; returns 1, or 0 after a message when
// a parameter cell is of no kind a parameter list holds.
int do_function_type(gd_graph *g, growth_allowance &allowance, node_ptr x)
{
    const gd_graph_node &rec = g->nodeBuffer[x];
    const bool method = rec.common.type == gMETHOD_TYPE;
    const t_visb visb = visibility_by_precedence(rec.common, function_type_precedence);

    const declared_place place = type_decl_place(g, rec.type.name);
    const node_ptr retn = method ? rec.method_type.retn : rec.function_type.retn;
    const node_ptr prms = method ? rec.method_type.prms : rec.function_type.prms;
    // A method type's place of definition is its class node itself.
    const node_ptr def_loc = method ? rec.method_type.clas : -1;

    const node_ptr instance = new_arc(g, dC_INSTANCE, x, retn);

    // The formal parameter arcs, in order.
    node_ptr first_formal = -1, last_formal = -1;
    chain_walk walk;
    node_ptr p = prms;
    while (node_valid(g, p) && walk.first_meeting(p) && allowance.allows(g)) {
        const gd_node_type kind = kind_of(g, p);
        if (kind == gTREE_LIST) {
            // The void cell is left as it is, outside the list.
            if (is_void_cell(g, p))
                break;
            convert_cell(g, x, p, visb);
            append_to_arc_list(g, first_formal, last_formal, p);
            p = g->nodeBuffer[p].dc_arc.next;
        } else if (kind == dC_ARC_SON) {
            const node_ptr copy = copy_shared_arc(g, x, p);
            if (copy == -1)
                break;
            // A link to a record that was free when the walk began may lead
            // to this copy, whose `next` the next copy takes: the walk has
            // met every arc it makes.
            walk.first_meeting(copy);
            append_to_arc_list(g, first_formal, last_formal, copy);
            p = g->nodeBuffer[p].dc_arc.next;
        } else {
            std::fprintf(stderr,
                         "funct_type: node %d has formal parameter %d with unexpected tree code %d\n",
                         x, p, int(kind));
            return 0;
        }
    }
    if (last_formal != -1)
        g->nodeBuffer[last_formal].dc_arc.next = -1;

    gd_clear_node(g, x, dC_FCT_TYPE);
    t_dc_fct_type &f = g->nodeBuffer[x].dc_fct_type;
    f.file = place.file;
    f.line = place.line;
    f.name = place.name;
    f.visb = visb;
    f.instance = instance;
    f.defLoc = def_loc;
    f.formalParams = first_formal;
    return 1;
}

}  // namespace

int funct_type_filter(gd_graph *g)
{
    void_str = gd_lookup_string(g, "void");
    growth_allowance allowance(g, "funct_type");
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const gd_node_type k = kind_of(g, x);
        if ((k == gFUNCTION_TYPE || k == gMETHOD_TYPE) && !do_function_type(g, allowance, x))
            return 0;
    }
    return 1;
}
