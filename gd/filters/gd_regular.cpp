// The gd_regular family: every link to an expression statement is redirected
// to the expression it wraps. A lighter form of the statements bypass that
// only its own program runs.

#include <gd/filters/filters.h>
#include <gd/record.h>

namespace {

void cvt_expr_stmt(gd_graph *g, node_ptr, node_ptr *field, int n)
{
    // Comparing the kind costs less than record() on the end of every link.
    if (n == 0 || kind_of(g, *field) != gEXPR_STMT) return;
    const node_ptr inner = record_of<t_expr_stmt>(g, *field).texpr;
    if (node_valid(g, inner)) *field = inner;
}

}  // namespace

int gd_regular_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    walk_ptrs(g, cvt_expr_stmt);
    return 1;
}
