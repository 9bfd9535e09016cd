// The Ririra schema helpers: the access level of a node, the name of a
// declaration, and the members of a scope.
#include "gd/chain_walk.h"
#include "gd/kind_table.h"
#include "gd/record.h"

t_visb visibility(gd_graph_common *common)
{
    if (common->private_flag) return visb_pri;
    if (common->protected_flag) return visb_pro;
    if (common->public_flag) return visb_pub;
    return visb_unk;
}

str_ptr name_string(gd_graph *g, t_gcc_decl *decl)
{
    const gd_graph_node *name = node_at(g, decl->name);
    return name ? name->identifier_node.strg : -1;
}

// The last dC_ARC_SON of scope's member list, -1 for an empty list. A list
// read from a file that loops ends at the first arc met again.
static node_ptr last_member_arc(const gd_graph *g, node_ptr scope)
{
    node_ptr last = -1;
    chain_walk walk;
    for (node_ptr at = record_of<t_dc_scope>(g, scope).contents;
         kind_of(g, at) == dC_ARC_SON && walk.first_meeting(at); at = record_of<t_dc_arc_son>(g, at).next)
        last = at;
    return last;
}

scope_tail scope_tail_of(node_ptr scope)
{
    scope_tail tail;
    tail.scope = scope;
    return tail;
}

node_ptr append_to_scope(gd_graph *g, scope_tail &tail, node_ptr node)
{
    const node_ptr scope = tail.scope;
    if (!is_scope_kind(kind_of(g, scope))) return -1;
    if (!tail.found) {
        tail.last = last_member_arc(g, scope);
        tail.found = true;
    }

    node_ptr arc = newNode(g);  // may move the node buffer
    gd_clear_node(g, arc, dC_ARC_SON);
    t_dc_arc_son &a = record_of<t_dc_arc_son>(g, arc);
    a.ordinal = 0;
    a.src = scope;
    a.dest = node;
    if (tail.last == -1)
        record_of<t_dc_scope>(g, scope).contents = arc;
    else
        record_of<t_dc_arc_son>(g, tail.last).next = arc;
    tail.last = arc;
    return arc;
}

// Walks the member list on every call: a tail remembered from an earlier call
// could not be told from an arc unlinked since, so only callers that own the
// list for a run of appends keep a scope_tail.
void addToScope(gd_graph *g, node_ptr scope, node_ptr node)
{
    scope_tail tail = scope_tail_of(scope);
    append_to_scope(g, tail, node);
}
