// The gd_alias family: every named variant of a compiler type (a typedef
// name, a qualified copy) becomes an alias type whose instance arc leads to
// the main variant.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// The access of a typedef: public before private before protected.
constexpr t_visb typedef_precedence[3] = {visb_pub, visb_pri, visb_pro};

bool is_named_variant(const gd_graph *g, node_ptr x)
{
    // The twelve types the translation converts, not every t_gcc_type record.
    if (!is_gcc_type(kind_of(g, x))) return false;
    const t_gcc_type &t = record_of<t_gcc_type>(g, x);
    return t.unql != -1 && t.unql != x && t.name != -1;
}

// Converts named variant x into an alias of its main variant.
void make_alias(gd_graph *g, node_ptr x)
{
    const t_gcc_type &t = record_of<t_gcc_type>(g, x);
    const node_ptr n = t.name;
    const node_ptr main_variant = t.unql;
    declared_place place = type_decl_place(g, n);
    t_visb visb = visb_unk;
    if (const t_type_decl *d = record<t_type_decl>(g, n))
        visb = visibility_by_precedence(*d, typedef_precedence);
    else
        place.name = identifier_text(g, n);

    const node_ptr arc = new_arc(g, dC_INSTANCE, x, main_variant);

    // Converted in place: the bytes not named here keep what they held.
    make_type_record(g, x, dC_ALIAS_TYPE, place.file, place.line, place.name, visb);
    t_dc_alias_type &a = record_of<t_dc_alias_type>(g, x);
    a.instance = arc;
    a.original = arc;
}

}  // namespace

int gd_alias_filter(gd_graph *g)
{
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (is_named_variant(g, x)) make_alias(g, x);
    }
    return 1;
}
