// The gd_regular family: every link to an expression statement is redirected
// to the expression it wraps. A lighter form of the statements bypass that
// only its own program runs.

#include <gd/filters/filters.h>

namespace {

void cvt_expr_stmt(gd_graph *g, node_ptr, node_ptr *field, int n)
{
    if (n == 0)
        return;
    const t_expr_stmt *s = record<t_expr_stmt>(g, *field);
    if (s && node_valid(g, s->texpr))
        *field = s->texpr;
}

}  // namespace

int gd_regular_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    walk_ptrs(g, cvt_expr_stmt);
    return 1;
}
