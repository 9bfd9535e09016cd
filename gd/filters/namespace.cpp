// The namespace family: turns every compiler namespace into a Ririra scope,
// the root namespace into the compilation scope and every other one into a
// namespace, with one son arc per member.
//
// The pass reads every namespace and its member chain before it converts any:
// converting a namespace in place overwrites its `chan` (a namespace scope
// keeps `visb` there), so a nested namespace converted before its parent would
// otherwise end the parent's member chain with a bogus link.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

#include <cstddef>
#include <vector>

namespace {

// A namespace as read before any conversion.
struct namespace_read {
    node_ptr node;
    str_ptr name;   // the text of its identifier, -1 when it has none
    node_ptr alis;  // the aliased namespace, -1 when it is no alias
    int32_t srcl;
    str_ptr srcf;
    std::size_t first_member;  // its members in `members`, from here
    std::size_t end_member;    // up to here
};

// The compilation scope: the destination of the first arc of the root's
// contents that leads to a namespace; -1 when the root is no scope or none
// of its arcs qualifies.
node_ptr compilation_namespace(const gd_graph *g)
{
    const t_dc_scope *root = record<t_dc_scope>(g, g->firstNode);
    if (!root) return -1;
    chain_walk walk;
    const t_dc_arc *arc;
    for (node_ptr a = root->contents; (arc = record<t_dc_arc>(g, a)) && walk.first_meeting(a);
         a = arc->next) {
        if (kind_of(g, arc->dest) == gNAMESPACE_DECL) return arc->dest;
    }
    return -1;
}

// A typedef of a built-in type is no member: it stays out of the scope and
// keeps its place in the declaration chain.
bool declares_builtin_type(const gd_graph *g, node_ptr m)
{
    const t_type_decl *d = record<t_type_decl>(g, m);
    return d && kind_of(g, d->type) == dC_BUILT_IN_TYPE;
}

// Appends the members of namespace ns to `members` and takes each off the
// declaration chain (its `chan` := -1). The chain ends at an invalid index,
// after a member that is no declaration (it has no `chan`), and at the first
// member met again. A member that an earlier namespace's chain also reached
// is a member here too; that namespace has cut the chain after it.
void take_members(gd_graph *g, node_ptr ns, std::vector<node_ptr> &members)
{
    chain_walk walk;
    node_ptr m = record_of<t_namespace_decl>(g, ns).dcls;
    while (node_valid(g, m) && walk.first_meeting(m)) {
        const node_ptr next = next_declaration(g, m);
        if (!declares_builtin_type(g, m)) {
            members.push_back(m);
            if (t_gcc_decl *d = record<t_gcc_decl>(g, m)) d->chan = -1;
        }
        m = next;
    }
}

std::vector<namespace_read> read_namespaces(gd_graph *g, std::vector<node_ptr> &members)
{
    std::vector<namespace_read> spaces;
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        // Comparing the kind costs less than record() on every record.
        if (kind_of(g, x) != gNAMESPACE_DECL) continue;
        const t_namespace_decl &ns = record_of<t_namespace_decl>(g, x);
        namespace_read r{
            x, identifier_text(g, ns.name), -1, ns.srcl, ns.srcf, members.size(), members.size()};
        if (node_valid(g, ns.alis))
            r.alis = ns.alis;
        else
            take_members(g, x, members);
        r.end_member = members.size();
        spaces.push_back(r);
    }
    return spaces;
}

// Which access flag of a namespace wins when several are set.
constexpr t_visb namespace_access_precedence[] = {visb_pro, visb_pub, visb_pri};

// Rewrites namespace r in place as a scope; the bytes a scope does not use
// keep their content.
void make_scope(gd_graph *g, const namespace_read &r, bool is_compilation)
{
    gd_graph_common &head = record_of<gd_graph_common>(g, r.node);
    const t_visb visb = visibility_by_precedence(head, namespace_access_precedence);
    head.type = is_compilation ? dC_SCOPE_COMPIL : dC_NAME_SPACE;
    t_dc_scope &s = record_of<t_dc_scope>(g, r.node);
    s.instance = -1;
    s.defLoc = -1;
    s.arcFriend = -1;
    s.array_dim = -1;
    s.visb = visb;
    s.name = is_compilation ? -1 : r.name;
    s.line = r.srcl;
    s.file = r.srcf;
    s.contents = -1;
}

// Makes the arcs of scope r, consecutive nodes in member order: one instance
// arc to the aliased namespace, or one son arc per member.
void add_scope_arcs(gd_graph *g, const namespace_read &r, const std::vector<node_ptr> &members)
{
    if (r.alis != -1) {
        const node_ptr arc = new_arc(g, dC_INSTANCE, r.node, r.alis);
        record_of<t_dc_scope>(g, r.node).contents = arc;
        return;
    }
    scope_tail tail = scope_tail_of(r.node);
    for (std::size_t i = r.first_member; i < r.end_member; ++i) append_to_scope(g, tail, members[i]);
}

}  // namespace

int namespace_filter(gd_graph *g)
{
    const node_ptr compilation = compilation_namespace(g);
    std::vector<node_ptr> members;
    const std::vector<namespace_read> spaces = read_namespaces(g, members);
    for (const namespace_read &r : spaces) {
        make_scope(g, r, r.node == compilation);
        add_scope_arcs(g, r, members);
    }
    return 1;
}
