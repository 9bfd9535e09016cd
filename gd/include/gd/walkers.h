// The walker of each record type, w_<record without t_>: visits the record's
// node_ptr fields in walk order from ordinal n and returns the next ordinal.
// walk_ptrs dispatches by kind itself; these are for a caller that holds a
// record of a known type.
#pragma once

#include "gd/kind_table.h"
#include "gd/run_state.h"

// The entry by which walk_ptrs walks record p, or nullptr when it passes the
// record over (a kind without a record, or one the walkers leave out).
inline const gd_kind_info *gd_walked_kind_info(const gd_graph_node *p)
{
    const gd_kind_info *info = gd_kind_info_of(p->common.type);
    if (!info || !(info->flags & GD_KF_RECORD) || (info->flags & GD_KF_UNWALKED)) return nullptr;
    return info;
}

// walk_ptrs for a callback that needs state of its own: `visit`, a callable
// taking (np, field, n), is called for every field walk_ptrs visits, in the
// same order and under the same allocation stop, and carries its state with
// it instead of keeping it in file-level variables. Here in the header so
// that the visit is inlined into the pass: the filters that look at every
// link of the graph spend most of their time in it.
template <class Visit> void walk_ptrs_with(gd_graph *g, Visit &visit)
{
    gd_walk_begin();
    for (uint32_t i = 0; i < g->curNodePos; i++) {
        gd_graph_node *p = &g->nodeBuffer[i];
        const gd_kind_info *info = gd_walked_kind_info(p);
        if (!info) continue;
        const int links = gd_links_in_use(info, p);
        for (int l = 0; l < links; l++) visit((node_ptr)i, (node_ptr *)(p->bytes + info->links[l].offset), l);
    }
    gd_walk_end();
}

// Walks the pointer fields of record p as a record of kind k, whether or not
// walk_ptrs walks that kind; returns the next ordinal.
inline int gd_walk_as(gd_graph *g, node_ptr np, gd_graph_node *p, gd_node_type k, callback f, int n)
{
    const gd_kind_info *info = gd_kind_info_of(k);
    if (!info) return n;
    const int links = gd_links_in_use(info, p);
    for (int l = 0; l < links; l++) f(g, np, (node_ptr *)(p->bytes + info->links[l].offset), n++);
    return n;
}

#define GD_WALKER(member, record, kind)                                                                      \
    inline int w_##member(gd_graph *g, node_ptr np, record *p, callback f, int n)                            \
    {                                                                                                        \
        return gd_walk_as(g, np, reinterpret_cast<gd_graph_node *>(p), kind, f, n);                          \
    }
#define GD_KIND(e, name, member, flags, unused, cls) GD_WALKER(member, t_##member, e)
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) GD_WALKER(member, t_##member, e)
#define GD_KIND_NORECORD(e, name, flags, cls)
#include "gd/node_kinds.def"

// The base records, each walked as a kind that has exactly its layout.
GD_WALKER(gd_graph_common, gd_graph_common, gERROR_MARK)
GD_WALKER(gcc_decl, t_gcc_decl, gLABEL_DECL)
GD_WALKER(gcc_type, t_gcc_type, gVOID_TYPE)
GD_WALKER(gcc_expr, t_gcc_expr, gWITH_CLEANUP_EXPR)
GD_WALKER(gcc_expr1, t_gcc_expr1, gFIX_TRUNC_EXPR)
GD_WALKER(gcc_expr2, t_gcc_expr2, gPLUS_EXPR)
GD_WALKER(gcc_expr_ineq, t_gcc_expr_ineq, gLT_EXPR)
GD_WALKER(gcc_const, t_gcc_const, gCOMPLEX_CST)
#undef GD_WALKER
