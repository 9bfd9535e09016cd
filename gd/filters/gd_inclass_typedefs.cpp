// The gd_inclass_typedefs family: a typedef whose type has no variant of its
// own gets a private copy of that type, a variant named by the typedef, so
// that the alias conversion later turns the copy into an alias type.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

namespace {

// The typedef's type T when D should get a copy of it: T is a compiler type
// named by another node, T is its own main variant, and T is not the class
// that encloses D. -1 otherwise.
node_ptr type_to_copy(const gd_graph *g, node_ptr d)
{
    const t_type_decl &decl = record_of<t_type_decl>(g, d);
    const node_ptr t = decl.type;
    // The twelve types the translation converts, not every t_gcc_type record.
    if (!is_gcc_type(kind_of(g, t))) return -1;
    const t_gcc_type &type = record_of<t_gcc_type>(g, t);
    if (!node_valid(g, type.name) || type.name == d) return -1;
    if (type.unql != t || t == decl.scpe) return -1;
    return t;
}

}  // namespace

int gd_inclass_typedefs_filter(gd_graph *g)
{
    // The copies are appended during the scan and visited too; they are
    // types, not typedefs, so they make no further copies.
    for (node_ptr d = 0; node_valid(g, d); ++d) {
        if (kind_of(g, d) != gTYPE_DECL) continue;
        const node_ptr t = type_to_copy(g, d);
        if (t == -1) continue;
        const node_ptr y = copy_node(g, t);
        t_gcc_type &copy = record_of<t_gcc_type>(g, y);
        copy.name = d;
        copy.unql = t;
        record_of<t_type_decl>(g, d).type = y;
    }
    return 1;
}
