// The funct_type family: function and method types become Ririra function
// types whose formal parameters are formal objects, one son arc each, made
// from the compiler's parameter cells.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

#include <cstdio>

namespace {

// The access of a function type: private before public before protected.
constexpr t_visb function_type_precedence[3] = {visb_pri, visb_pub, visb_pro};

// What one run of the filter looks up once and its conversions share.
struct function_type_run {
    str_ptr void_str;  // the pool offset of "void", -1 when the unit holds no such name
};

// The cell that closes a fixed parameter list: its value is the void type,
// still a compiler node or already a built-in type named "void".
bool is_void_cell(const gd_graph *g, const function_type_run &run, node_ptr p)
{
    const node_ptr v = record_of<t_tree_list>(g, p).value;
    switch (kind_of(g, v)) {
    case gVOID_TYPE: return true;
    case dC_BUILT_IN_TYPE:
        return run.void_str != -1 && record_of<t_dc_built_in_type>(g, v).name == run.void_str;
    default: return false;
    }
}

// Turns a fresh parameter cell into the son arc of a new formal object.
// Allocation order: the formal's instance arc, then the formal.
void convert_cell(gd_graph *g, node_ptr x, node_ptr p, t_visb visb)
{
    const t_tree_list &list = record_of<t_tree_list>(g, p);
    const node_ptr value = list.value;
    const node_ptr next = list.chan;

    const node_ptr instance = new_arc(g, dC_INSTANCE, -1, value);
    const node_ptr formal = newNode(g);
    gd_clear_node(g, formal, dC_FORMAL_OBJECT);
    t_dc_formal_object &fo = record_of<t_dc_formal_object>(g, formal);
    fo.visb = visb;
    fo.instance = instance;
    record_of<t_dc_arc>(g, instance).src = formal;

    // Rewritten in place: the cell keeps its flags and its other words.
    record_of<gd_graph_common>(g, p).type = dC_ARC_SON;
    t_dc_arc &cell = record_of<t_dc_arc>(g, p);
    cell.src = x;
    cell.dest = formal;
    cell.next = next;
}

// Copies a son arc of a list that an earlier function type converted (the
// compiler shares parameter lists and their tails between types), with its
// formal and the formal's instance arc. Allocation order: instance arc,
// formal, son arc. Returns the copied son arc, or -1 when the arc does not
// lead to a formal object with an instance arc and cannot be copied.
node_ptr copy_shared_arc(gd_graph *g, node_ptr x, node_ptr p)
{
    const node_ptr formal = record_of<t_dc_arc>(g, p).dest;
    if (kind_of(g, formal) != dC_FORMAL_OBJECT) return -1;
    const node_ptr instance = record_of<t_dc_formal_object>(g, formal).instance;
    if (kind_of(g, instance) != dC_INSTANCE) return -1;

    const node_ptr new_instance = copy_node(g, instance);
    const node_ptr new_formal = copy_node(g, formal);
    const node_ptr new_son = copy_node(g, p);
    record_of<t_dc_arc>(g, new_instance).src = new_formal;
    record_of<t_dc_formal_object>(g, new_formal).instance = new_instance;
    t_dc_arc &son = record_of<t_dc_arc>(g, new_son);
    son.src = x;
    son.dest = new_formal;
    return new_son;
}

// Converts function or method type x; returns 1, or 0 after a message when
// a parameter cell is of no kind a parameter list holds.
int do_function_type(gd_graph *g, function_type_run &run, node_ptr x)
{
    const t_gcc_type &type = record_of<t_gcc_type>(g, x);
    const t_visb visb = visibility_by_precedence(type, function_type_precedence);
    const declared_place place = type_decl_place(g, type.name);
    node_ptr retn, prms, def_loc;
    if (const t_method_type *method = record<t_method_type>(g, x)) {
        retn = method->retn;
        prms = method->prms;
        // A method type's place of definition is its class node itself.
        def_loc = method->clas;
    } else {
        const t_function_type &function = record_of<t_function_type>(g, x);
        retn = function.retn;
        prms = function.prms;
        def_loc = -1;
    }

    const node_ptr instance = new_arc(g, dC_INSTANCE, x, retn);

    // The formal parameter arcs, in order.
    node_ptr first_formal = -1, last_formal = -1;
    growth_walk walk(g, "funct_type");
    node_ptr p = prms;
    while (node_valid(g, p) && walk.takes(p)) {
        const gd_node_type kind = kind_of(g, p);
        if (kind == gTREE_LIST) {
            // The void cell is left as it is, outside the list.
            if (is_void_cell(g, run, p)) break;
            convert_cell(g, x, p, visb);
            append_to_arc_list(g, first_formal, last_formal, p);
            p = record_of<t_dc_arc>(g, p).next;
        } else if (kind == dC_ARC_SON) {
            const node_ptr copy = copy_shared_arc(g, x, p);
            if (copy == -1) break;
            // A link to a record that was free when the walk began may lead
            // to this copy, whose `next` the next copy takes: the walk has
            // met every arc it makes.
            walk.made(copy);
            append_to_arc_list(g, first_formal, last_formal, copy);
            p = record_of<t_dc_arc>(g, p).next;
        } else {
            std::fprintf(stderr, "funct_type: node %d has formal parameter %d with unexpected tree code %d\n",
                         x, p, int(kind));
            return 0;
        }
    }
    if (last_formal != -1) record_of<t_dc_arc>(g, last_formal).next = -1;

    gd_clear_node(g, x, dC_FCT_TYPE);
    t_dc_fct_type &f = record_of<t_dc_fct_type>(g, x);
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
    function_type_run run{gd_lookup_string(g, "void")};
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const gd_node_type k = kind_of(g, x);
        if ((k == gFUNCTION_TYPE || k == gMETHOD_TYPE) && !do_function_type(g, run, x)) return 0;
    }
    return 1;
}
