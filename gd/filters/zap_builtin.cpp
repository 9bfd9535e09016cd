// The zap_builtin family: a built-in type that the global scope lists and
// that nothing else uses leaves the scope's member chain. The arc and the
// type stay in the graph, unreferenced, for the last reachability pass; the
// arc's own `next` is cleared, so that it no longer leads into the chain and
// the numbering of arc chains does not take it for the chain's head.

#include <gd/filters/filters.h>

#include <gd/kind_table.h>

#include <unordered_map>
#include <vector>

#include "arcs_and_chains.h"

namespace {

// The two lowest-numbered users of every built-in type that the scope's
// chain lists, by the store's use test, found in one pass over the nodes: a
// used-by search per listed type would pass over the whole graph once per
// type. Unlinking arcs changes no link to a built-in type that is asked
// about later (an arc whose `next` is a type ends the chain), so the users
// found before the chain changes answer every question of the walk.
struct listed_type_users {
    // The arcs of the scope's chain in the order its walk meets them. The
    // walk that unlinks arcs meets the same ones: it changes only arcs it has
    // passed. Going down this list instead of along `next` again, it reads
    // arcs whose places it knows in advance, rather than one at a time.
    std::vector<node_ptr> chain;
    std::vector<bool> listed;
    // The users of each listed type, kept by type: there are a few listed
    // types, and arrays over every record would touch memory the size of
    // the graph.
    struct users_of {
        node_ptr first = -1, second = -1;  // -1: none
    };
    std::unordered_map<node_ptr, users_of> users;
    // The first node that has no use test: a search reaching it stops the
    // program, so the pass ends there.
    node_ptr unhandled = -1;
};

listed_type_users find_listed_type_users(const gd_graph *g, node_ptr contents)
{
    listed_type_users u;
    u.listed.assign(g->curNodePos, false);
    bool any = false;
    chain_walk walk;
    for (node_ptr a = contents;;) {
        const t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc || !walk.first_meeting(a)) break;
        u.chain.push_back(a);
        const node_ptr d = arc->dest;
        if (kind_of(g, d) == dC_BUILT_IN_TYPE) {
            any = u.listed[d] = true;
            u.users.try_emplace(d);
        }
        a = arc->next;
    }
    if (!any) return u;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        node_ptr links[GD_MAX_LINKS];
        const int count = gd_compared_links(g, i, links);
        if (count < 0) {
            u.unhandled = i;
            break;
        }
        for (int l = 0; l < count; l++) {
            const node_ptr v = links[l];
            if (!node_valid(g, v) || !u.listed[v]) continue;
            listed_type_users::users_of &w = u.users.find(v)->second;
            if (w.first == -1)
                w.first = i;
            else if (w.first != i && w.second == -1)
                w.second = i;
        }
    }
    return u;
}

// Whether a node other than the scope's arc `a` uses type d: the answer of
// UsedBy with the arc passed over, the fatal end included.
bool used_by_another(gd_graph *g, const listed_type_users &u, node_ptr a, node_ptr d)
{
    if (!u.listed[d]) {
        record_of<t_dc_arc>(g, a).mark_flag1 = 1;
        const bool used = UsedBy(*g, d, 1) != -1;
        record_of<t_dc_arc>(g, a).mark_flag1 = 0;
        return used;
    }
    const listed_type_users::users_of &w = u.users.find(d)->second;
    const node_ptr user = w.first != a ? w.first : w.second;
    if (user == -1 && u.unhandled != -1)
        nodeUses(*g, u.unhandled, d);  // stops the program, as the search would
    return user != -1;
}

}  // namespace

int zap_builtin_filter(gd_graph *g)
{
    clear_mark1(g);
    const node_ptr root = g->firstNode;
    const t_dc_scope *scope = record<t_dc_scope>(g, root);
    if (!scope || scope->contents == -1) return 1;
    const listed_type_users users = find_listed_type_users(g, scope->contents);

    // `prev` is the arc whose `next` links the current arc, -1 while the
    // scope's `contents` does.
    node_ptr prev = -1;
    for (const node_ptr a : users.chain) {
        const t_dc_arc &arc = record_of<t_dc_arc>(g, a);
        const node_ptr next = arc.next;
        const node_ptr d = arc.dest;
        // The scope's own arc does not count as a use.
        const bool unused = kind_of(g, d) == dC_BUILT_IN_TYPE && !used_by_another(g, users, a, d);
        if (!unused) {
            prev = a;
        } else {
            if (prev == -1)
                record_of<t_dc_scope>(g, root).contents = next;
            else
                record_of<t_dc_arc>(g, prev).next = next;
            record_of<t_dc_arc>(g, a).next = -1;
        }
    }
    return 1;
}
