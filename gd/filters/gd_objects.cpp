// The gd_objects family: every variable and data member of the compiler tree
// becomes a Ririra object with arcs to its type, its link-time symbol, its
// bit-field width, its initial value and its declaring scope.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// What the conversion needs of a variable or field declaration. It is read
// whole before anything is allocated or written: the object record replaces
// the declaration's, and the buffer may move with every new node.
struct declared_object {
    bool is_field;
    bool is_member;
    str_ptr file;
    int line;
    str_ptr name;
    t_visb visb;
    node_ptr type;
    node_ptr mngl;
    node_ptr scpe;
    node_ptr size;
    node_ptr init;
    bool undef;
    bool static_flag;
    bool public_flag;
    bool bitfield;
};

declared_object read_declared_object(gd_graph *g, node_ptr x)
{
    t_gcc_decl &decl = record_of<t_gcc_decl>(g, x);
    declared_object d{};
    d.scpe = decl.scpe;
    d.is_member = kind_of(g, d.scpe) == dC_AGGR_TYPE;
    d.file = decl.srcf;
    d.line = decl.srcl;
    d.name = name_string(g, &decl);
    d.visb = visibility(&decl);
    d.type = decl.type;
    d.mngl = decl.mngl;
    d.static_flag = decl.static_flag;
    d.public_flag = decl.public_flag;
    if (const t_field_decl *field = record<t_field_decl>(g, x)) {
        d.is_field = true;
        d.size = field->size;
        d.init = field->init;
        d.bitfield = field->bitfield != 0;
        // A field keeps `bpos` in the word where a variable has its `undef`
        // bit, so a field's symbol is always taken as defined here.
        d.undef = false;
    } else {
        const t_var_decl &variable = record_of<t_var_decl>(g, x);
        d.size = variable.size;
        d.init = variable.init;
        d.undef = variable.undef;
    }
    return d;
}

void convert_object(gd_graph *g, scope_tail &global, node_ptr x)
{
    const declared_object d = read_declared_object(g, x);

    // The new nodes are numbered in this order: instance, symbol, link and
    // scope arcs, bit width, initial value, declaring scope.
    const node_ptr instance = new_arc(g, dC_INSTANCE, x, d.type);
    const node_ptr link = add_link_symbol(g, global, x, d.mngl, d.undef);
    const node_ptr bitfield_dim = d.bitfield ? new_arc(g, dC_ARC_BIT_DIM, x, d.size) : -1;
    const node_ptr initial_val = !d.is_field && d.init != -1 ? new_arc(g, dC_ARC_INIT_VAL, x, d.init) : -1;
    const node_ptr def_loc = node_valid(g, d.scpe) ? new_arc(g, dC_ARC_DEF_LOC, x, d.scpe) : -1;

    gd_clear_node(g, x, dC_OBJECT);
    t_dc_object &o = record_of<t_dc_object>(g, x);
    o.file = d.file;
    o.line = d.line;
    o.name = d.name;
    o.visb = d.visb;
    o.instance = instance;
    o.defLoc = def_loc;
    // A static data member counts as static only when it is public as well.
    o.static_flag = d.is_member ? d.static_flag && d.public_flag : d.static_flag;
    o.extern_flag = d.public_flag;
    o.bitfield_dim = bitfield_dim;
    o.initial_val = initial_val;
    o.link = link;
}

}  // namespace

int gd_objects_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    // The global scope's tail is kept for the whole run: nearly every object
    // gets a symbol there.
    scope_tail global = scope_tail_of(g->firstNode);
    for (node_ptr x = 0; node_valid(g, x); x++) {
        const gd_node_type k = kind_of(g, x);
        if (k == gVAR_DECL || k == gFIELD_DECL) convert_object(g, global, x);
    }
    return 1;
}
