// The gd_templates family: class and function templates become Ririra
// templates (or formal templates, for template template parameters), and the
// parameters that are left become formal objects and formal types.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// The arcs to the template's formals: the cells of the parameter list's
// vector, from its first element along `chan`. Templates may share the
// cells.
node_ptr add_template_formals(gd_graph *g, node_ptr x, node_ptr parms)
{
    const t_tree_list *list = record<t_tree_list>(g, parms);
    if (!list) return -1;
    const t_tree_vec *vec = record<t_tree_vec>(g, list->value);
    if (!vec || vec->length < 1) return -1;
    node_ptr head = -1, tail = -1;
    growth_walk walk(g, "gd_templates");
    for (node_ptr cell = vec->elts[0]; kind_of(g, cell) == gTREE_LIST && walk.takes(cell);) {
        const t_tree_list &c = record_of<t_tree_list>(g, cell);
        const node_ptr value = c.value;
        const node_ptr chan = c.chan;
        append_to_arc_list(g, head, tail, new_arc(g, dC_ARC_SON, x, value));
        cell = chan;
    }
    return head;
}

void convert_template(gd_graph *g, node_ptr x)
{
    // The template record overlaps the declaration's; everything is read
    // from this copy.
    t_template_decl td = record_of<t_template_decl>(g, x);

    {
        const bool template_parameter = kind_of(g, td.rslt) == gTEMPLATE_TEMPLATE_PARM;
        record_of<gd_graph_common>(g, x).type = template_parameter ? dC_FORMAL_TEMPLATE : dC_TEMPLATE;
        t_dc_template &t = record_of<t_dc_template>(g, x);
        t.other_node = -1;
        t.file = td.srcf;
        t.line = td.srcl;
        t.name = identifier_text(g, td.name);
        t.visb = visibility(&td);
        t.instance = t.defLoc = t.arcFriend = t.array_dim = t.formals = -1;
    }

    // The new arcs are numbered in this order: result, formals, scope.
    const node_ptr result = new_arc(g, dC_ARC_SON, x, td.rslt);
    record_of<t_dc_template>(g, x).result = result;

    // The template carries the name now; the templated class or function
    // (a Ririra identifier, type or scope) does not.
    node_ptr entity = td.rslt;
    if (const t_type_decl *decl = record<t_type_decl>(g, entity)) entity = decl->type;
    if (t_dc_identifier *named = record<t_dc_identifier>(g, entity)) named->name = -1;

    const node_ptr formals = add_template_formals(g, x, td.parms);
    record_of<t_dc_template>(g, x).formals = formals;

    if (node_valid(g, td.scpe)) {
        const node_ptr def_loc = new_arc(g, dC_ARC_DEF_LOC, x, td.scpe);
        record_of<t_dc_template>(g, x).defLoc = def_loc;
    }
}

// A template value parameter. Its old `type` lies where the formal's `name`
// goes, so both are read first.
void convert_value_parameter(gd_graph *g, node_ptr x)
{
    const t_parm_decl &pd = record_of<t_parm_decl>(g, x);
    const node_ptr type = pd.type;
    const str_ptr name = identifier_text(g, pd.name);

    record_of<gd_graph_common>(g, x).type = dC_FORMAL_OBJECT;
    t_dc_formal_object &fo = record_of<t_dc_formal_object>(g, x);
    fo.file = -1;
    fo.line = -1;
    fo.name = name;
    fo.visb = visb_pub;
    fo.defLoc = fo.arcFriend = fo.array_dim = -1;
    fo.static_flag = fo.extern_flag = 0;
    fo.bitfield_dim = fo.initial_val = fo.link = -1;

    const node_ptr instance = new_arc(g, dC_INSTANCE, x, type);
    record_of<t_dc_formal_object>(g, x).instance = instance;
}

// A template type parameter, named through its type declaration.
void convert_type_parameter(gd_graph *g, node_ptr x)
{
    const t_type_decl *decl = record<t_type_decl>(g, record_of<t_template_type_parm>(g, x).name);
    const str_ptr name = decl ? identifier_text(g, decl->name) : -1;

    record_of<gd_graph_common>(g, x).type = dC_FORMAL_TYPE;
    t_dc_formal_type &ft = record_of<t_dc_formal_type>(g, x);
    ft.file = -1;
    ft.line = -1;
    ft.name = name;
    ft.visb = visb_pub;
    ft.instance = ft.defLoc = ft.arcFriend = ft.array_dim = ft.implements = -1;
    ft.const_flag = ft.volatile_flag = 0;
}

}  // namespace

int gd_templates_filter(gd_graph *g)
{
    for (node_ptr x = 0; node_valid(g, x); x++) {
        switch (kind_of(g, x)) {
        case gTEMPLATE_DECL: convert_template(g, x); break;
        case gPARM_DECL: convert_value_parameter(g, x); break;
        case gTEMPLATE_TYPE_PARM: convert_type_parameter(g, x); break;
        default: break;
        }
    }
    // Success is 1 whatever the graph holds: the chain reads 0 as failure,
    // which a count of nodes would give for an empty graph.
    return 1;
}
