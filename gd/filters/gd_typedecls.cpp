// The gd_typedecls family: every link to a type declaration is redirected to
// the type it declares.

#include <gd/filters/filters.h>

namespace {

void cvt_type_decl(gd_graph *g, node_ptr, node_ptr *field, int n)
{
    if (n == 0 || kind_of(g, *field) != gTYPE_DECL)
        return;
    const node_ptr type = g->nodeBuffer[*field].type_decl.type;
    if (node_valid(g, type))
        *field = type;
}

}  // namespace

int gd_typedecls_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    walk_ptrs(g, cvt_type_decl);
    return 1;
}
