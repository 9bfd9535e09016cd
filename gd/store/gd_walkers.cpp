// The pointer-field walkers: every node_ptr field of every node, handed to a
// callback in a fixed order per kind, driven by the per-kind field table.
#include "gd/kind_table.h"
#include "gd/walkers.h"

int gd_walk_node(gd_graph *g, node_ptr np, gd_graph_node *p, callback f, int n)
{
    return gd_walked_kind_info(p) ? gd_walk_as(g, np, p, p->common.type, f, n) : n;
}

void walk_ptrs(gd_graph *g, callback f)
{
    auto visit = [&](node_ptr np, node_ptr *field, int n) { f(g, np, field, n); };
    walk_ptrs_with(g, visit);
}

void walk_structure(gd_graph *, callback)
{
    gd_walk_begin();
    gd_walk_end();
}
