// Kind classes, checked chain walks and arcs shared by the filters.

#include "chain_walk.h"

bool is_declaration_kind(gd_node_type k)
{
    switch (k) {
    case gFUNCTION_DECL:
    case gLABEL_DECL:
    case gCONST_DECL:
    case gTYPE_DECL:
    case gVAR_DECL:
    case gPARM_DECL:
    case gRESULT_DECL:
    case gFIELD_DECL:
    case gNAMESPACE_DECL:
    case gTEMPLATE_DECL:
    case gUSING_DECL:
        return true;
    default:
        return false;
    }
}

bool is_arc_kind(gd_node_type k)
{
    return k >= dC_ARC && k <= dC_ARC_ARRAY_DIM;
}

bool is_scope_kind(gd_node_type k)
{
    return k >= dC_SCOPE && k <= dC_SYNCHRONIZED_BLOCK;
}

node_ptr next_declaration(const gd_graph *g, node_ptr d)
{
    if (!is_declaration_kind(kind_of(g, d)))
        return -1;
    return g->nodeBuffer[d].decl.chan;
}

node_ptr last_arc(const gd_graph *g, node_ptr first)
{
    if (!is_arc_kind(kind_of(g, first)))
        return -1;
    node_ptr last = first;
    chain_guard guard(g);
    while (guard.step()) {
        node_ptr next = g->nodeBuffer[last].dc_arc.next;
        if (!is_arc_kind(kind_of(g, next)))
            break;
        last = next;
    }
    return last;
}

node_ptr new_arc(gd_graph *g, gd_node_type kind, node_ptr src, node_ptr dest)
{
    node_ptr a = newNode(g);
    gd_clear_node(g, a, kind);
    t_dc_arc &arc = g->nodeBuffer[a].dc_arc;
    arc.src = src;
    arc.dest = dest;
    return a;
}

