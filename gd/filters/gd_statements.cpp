// The gd_statements family: every link to an expression, declaration or label
// statement is redirected to the expression, declaration or label it wraps.

#include <gd/filters/filters.h>
#include <gd/walkers.h>

#include "record_set.h"

namespace {

void cvt_stmt(gd_graph *g, const record_set &wrappers, node_ptr *field, int n)
{
    // The statement chain in other_node keeps its statements.
    if (n == 0 || !wrappers.holds(*field))
        return;
    const gd_graph_node &s = g->nodeBuffer[*field];
    node_ptr inner;
    switch (s.common.type) {
    case gEXPR_STMT:
        inner = s.expr_stmt.texpr;
        break;
    case gDECL_STMT:
        inner = s.decl_stmt.decl;
        break;
    case gLABEL_STMT:
        inner = s.label_stmt.label;
        break;
    default:
        return;
    }
    if (!node_valid(g, inner))
        return;
    // The three statements keep `line` at the same place.
    const int line = s.expr_stmt.line;
    *field = inner;
    const gd_node_type k = kind_of(g, inner);
    if (k >= dC_ASG_ND && k <= dC_ASM_BLOCK)
        g->nodeBuffer[inner].dc_asg_nd.line = line;
}

}  // namespace

int gd_statements_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    const record_set wrappers(g, {gEXPR_STMT, gDECL_STMT, gLABEL_STMT});
    auto redirect = [&](node_ptr, node_ptr *field, int n) { cvt_stmt(g, wrappers, field, n); };
    walk_ptrs_with(g, redirect);
    return 1;
}
