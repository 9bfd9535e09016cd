// The gd_enum family: enumeration types become Ririra enumeration types
// whose value cells are son arcs to the constants, and the constants become
// enumerators with an arc to their initial value.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// The access of an enumeration or enumerator: public before private before
// protected.
constexpr t_visb enum_precedence[3] = {visb_pub, visb_pri, visb_pro};

// Replaces the record of enumeration type x by an enumeration type. One named
// directly by an identifier, without a declaration, gets no name.
void convert_type(gd_graph *g, node_ptr x)
{
    const t_enumeral_type &rec = record_of<t_enumeral_type>(g, x);
    const t_visb visb = visibility_by_precedence(rec, enum_precedence);
    const unsigned is_const = rec.readonly_flag;
    const unsigned is_volatile = rec.volatile_flag;
    const node_ptr values = rec.csts;
    const declared_place place = type_decl_place(g, rec.name);

    gd_clear_node(g, x, dC_ENUM_TYPE);
    t_dc_enum_type &e = record_of<t_dc_enum_type>(g, x);
    e.file = place.file;
    e.line = place.line;
    e.name = place.name;
    e.visb = visb;
    e.const_flag = is_const;
    e.volatile_flag = is_volatile;
    e.values = values;
}

// Replaces the record of constant k of an enumeration by an enumerator, with
// an arc to its value when it has one.
void convert_constant(gd_graph *g, node_ptr k)
{
    const t_const_decl &c = record_of<t_const_decl>(g, k);
    const t_visb visb = visibility_by_precedence(c, enum_precedence);
    const str_ptr file = c.srcf;
    const int32_t line = c.srcl;
    const str_ptr name = identifier_text(g, c.name);
    const node_ptr cnst = c.cnst;

    const node_ptr value = cnst == -1 ? -1 : new_arc(g, dC_ARC_INIT_VAL, k, cnst);

    gd_clear_node(g, k, dC_ENUMERATOR);
    t_dc_enumerator &e = record_of<t_dc_enumerator>(g, k);
    e.file = file;
    e.line = line;
    e.name = name;
    e.visb = visb;
    e.value = value;
}

// Rewrites the value cells of enumeration e in place as son arcs from e to
// the constants. Only list cells are rewritten: a list that another
// enumeration shares was rewritten with that one and stays as it is, and a
// list that leads back into itself ends at the first rewritten cell. The last
// arc's next is cut when the list goes on into something that is no list.
void convert_values(gd_graph *g, node_ptr e)
{
    node_ptr cell = record_of<t_dc_enum_type>(g, e).values;
    chain_walk walk;
    const t_tree_list *l;
    while ((l = record<t_tree_list>(g, cell)) && walk.first_meeting(cell)) {
        const node_ptr constant = l->value;
        node_ptr next = l->chan;
        const gd_node_type next_kind = kind_of(g, next);
        if (next != -1 && next_kind != gTREE_LIST && next_kind != dC_ARC_SON) next = -1;
        record_of<gd_graph_common>(g, cell).type = dC_ARC_SON;
        t_dc_arc_son &arc = record_of<t_dc_arc_son>(g, cell);
        arc.ordinal = 0;
        arc.src = e;
        arc.dest = constant;
        arc.next = next;
        cell = next;
    }
}

}  // namespace

int gd_enum_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (kind_of(g, x) == gENUMERAL_TYPE) convert_type(g, x);
    }
    for (node_ptr k = 0; node_valid(g, k); ++k) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, k) == gCONST_DECL && kind_of(g, record_of<t_const_decl>(g, k).type) == dC_ENUM_TYPE)
            convert_constant(g, k);
    }
    for (node_ptr e = 0; node_valid(g, e); ++e) {
        if (kind_of(g, e) == dC_ENUM_TYPE) convert_values(g, e);
    }
    return 1;
}
