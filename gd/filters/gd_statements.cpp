// The gd_statements family: every link to an expression, declaration or label
// statement is redirected to the expression, declaration or label it wraps.

#include <gd/filters/filters.h>
#include <gd/record.h>
#include <gd/walkers.h>

#include "record_set.h"

namespace {

void cvt_stmt(gd_graph *g, const record_set &wrappers, node_ptr *field, int n)
{
    // The statement chain in other_node keeps its statements.
    if (n == 0 || !wrappers.holds(*field)) return;
    const node_ptr s = *field;
    node_ptr inner;
    int line;
    switch (kind_of(g, s)) {
    case gEXPR_STMT: {
        const t_expr_stmt &e = record_of<t_expr_stmt>(g, s);
        inner = e.texpr;
        line = e.line;
        break;
    }
    case gDECL_STMT: {
        const t_decl_stmt &d = record_of<t_decl_stmt>(g, s);
        inner = d.decl;
        line = d.line;
        break;
    }
    case gLABEL_STMT: {
        const t_label_stmt &l = record_of<t_label_stmt>(g, s);
        inner = l.label;
        line = l.line;
        break;
    }
    default: return;
    }
    if (!node_valid(g, inner)) return;
    *field = inner;
    // Every Ririra node but the arcs keeps a line (is_ririra_node_kind).
    if (t_dc_asg_nd *r = record<t_dc_asg_nd>(g, inner)) r->line = line;
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
