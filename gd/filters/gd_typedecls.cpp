// The gd_typedecls family: every link to a type declaration is redirected to
// the type it declares.

#include <gd/filters/filters.h>
#include <gd/record.h>
#include <gd/walkers.h>

#include "record_set.h"

namespace {

void cvt_type_decl(gd_graph *g, const record_set &type_decls, node_ptr *field, int n)
{
    if (n == 0 || !type_decls.holds(*field)) return;
    // The set holds type declarations only, and the walk changes no kind.
    const node_ptr type = record_of<t_type_decl>(g, *field).type;
    if (node_valid(g, type)) *field = type;
}

}  // namespace

int gd_typedecls_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    const record_set type_decls(g, {gTYPE_DECL});
    auto redirect = [&](node_ptr, node_ptr *field, int n) { cvt_type_decl(g, type_decls, field, n); };
    walk_ptrs_with(g, redirect);
    return 1;
}
