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
    const gd_graph_node &rec = g->nodeBuffer[x];
    const t_visb visb = visibility_by_precedence(rec.common, enum_precedence);
    const unsigned is_const = rec.common.readonly_flag;
    const unsigned is_volatile = rec.common.volatile_flag;
    const node_ptr values = rec.enumeral_type.csts;
    const declared_place place = type_decl_place(g, rec.type.name);

    gd_clear_node(g, x, dC_ENUM_TYPE);
    t_dc_enum_type &e = g->nodeBuffer[x].dc_enum_type;
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
    const t_const_decl &c = g->nodeBuffer[k].const_decl;
    const t_visb visb = visibility_by_precedence(c, enum_precedence);
    const str_ptr file = c.srcf;
    const int32_t line = c.srcl;
    const str_ptr name = identifier_text(g, c.name);
    const node_ptr cnst = c.cnst;

    const node_ptr value = cnst == -1 ? -1 : new_arc(g, dC_ARC_INIT_VAL, k, cnst);

    gd_clear_node(g, k, dC_ENUMERATOR);
    t_dc_enumerator &e = g->nodeBuffer[k].dc_enumerator;
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
    node_ptr cell = g->nodeBuffer[e].dc_enum_type.values;
    chain_walk walk;
    while (kind_of(g, cell) == gTREE_LIST && walk.first_meeting(cell)) {
        gd_graph_node &rec = g->nodeBuffer[cell];
        const node_ptr constant = rec.tree_list.value;
        node_ptr next = rec.tree_list.chan;
        const gd_node_type next_kind = kind_of(g, next);
        if (next != -1 && next_kind != gTREE_LIST && next_kind != dC_ARC_SON)
            next = -1;
        rec.common.type = dC_ARC_SON;
        rec.dc_arc.ordinal = 0;
        rec.dc_arc.src = e;
        rec.dc_arc.dest = constant;
        rec.dc_arc.next = next;
        cell = next;
    }
}

}  // namespace

int gd_enum_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (kind_of(g, x) == gENUMERAL_TYPE)
            convert_type(g, x);
    }
    for (node_ptr k = 0; node_valid(g, k); ++k) {
        if (kind_of(g, k) == gCONST_DECL && kind_of(g, g->nodeBuffer[k].const_decl.type) == dC_ENUM_TYPE)
            convert_constant(g, k);
    }
    for (node_ptr e = 0; node_valid(g, e); ++e) {
        if (kind_of(g, e) == dC_ENUM_TYPE)
            convert_values(g, e);
    }
    return 1;
}
