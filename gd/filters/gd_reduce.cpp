// The gd_reduce family: the first reachability pass, on the compiler tree as
// the front end wrote it. Keeps what the root of the unit reaches, frees the
// rest, and on the way drops the front end's built-in declarations that only
// the top-level declaration chain (the spine) refers to.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "reachability.h"

#include <initializer_list>
#include <vector>

namespace {

// What one run of the pass knows besides the graph.
struct reduce_run {
    gd_graph *g;
    // The pool offset of the front end's pseudo file of built-ins, "<internal>"
    // under a root namespace, "<built-in>" otherwise; -1 when the pool lacks it,
    // and then no declaration counts as built-in.
    str_ptr internal;
    // The built-in spine declarations already passed over: each is looked at
    // once, so a cycle of them in the chain cannot keep the queue going.
    std::vector<bool> passed_over;
    // The nodes kept, by index. Beside the graph rather than in mark_flag1,
    // so that a link can be asked about without reading the record it leads
    // to; the sweep clears both marks on every record all the same.
    std::vector<bool> kept;
};

// The ordinal of `chan` among the links of a declaration kind: a
// declaration's chain link is queued with its spine flag, apart from the rest.
int chan_link(gd_node_type k)
{
    const gd_kind_info *info = gd_kind_info_of(k);
    for (int l = 0; l < info->nlinks; ++l)
        if (info->links[l].offset == info->chain_offset) return l;
    return -1;
}

bool is_builtin_spine_entry(const reduce_run &run, const t_gcc_decl &d, int byChan)
{
    return byChan == 1 && d.mark_flag2 && run.internal != -1 && d.srcf == run.internal;
}

// The kinds of the compiler's tree are exactly the codes up to the last of
// its conversions, over every code a kind field can hold.
static_assert([] {
    for (int k = 0; k <= 0xffff; ++k)
        if (is_compiler_kind(k) != (k <= gRVALUE_CONV)) return false;
    return true;
}());

// Marks node n kept and queues what it refers to. A declaration's chain
// successor is queued with byChan 1 when the declaration is itself on the
// spine, so the spine is followed to its end, past the built-ins it drops.
void reach(reduce_run &run, node_ptr n, int byChan)
{
    gd_graph *g = run.g;
    const gd_node_type k = kind_of(g, n);
    if (!is_compiler_kind(k) || never_marked(k) || run.kept[n]) return;
    // Only a declaration has a chain link, which carries its spine flag; the
    // pass makes no node, so the record stays where it is.
    const t_gcc_decl *decl = record<t_gcc_decl>(g, n);
    const int chan = decl ? chan_link(k) : -1;
    const int spine = decl ? decl->mark_flag2 : 0;
    if (chan >= 0 && is_builtin_spine_entry(run, *decl, byChan)) {
        // Not kept unless another entry reaches it.
        if (!run.passed_over[n]) {
            run.passed_over[n] = true;
            queue_add(decl->chan, spine);
        }
        return;
    }
    run.kept[n] = true;
    for_each_followed_link(g, n, other_node_rule::ignored, [&](int l, node_ptr target) {
        // An invalid index or a node kept already would be taken from the
        // queue and dropped.
        if (node_valid(g, target) && !run.kept[target]) queue_add(target, l == chan ? spine : 0);
    });
}

// Sets mark_flag2 on the spine: the declaration chain from `first` along
// `chan`. A node that is not a declaration ends the spine, and so does one
// already on it (the root namespace, or a member met again).
void mark_spine(gd_graph *g, node_ptr first)
{
    chain_walk walk;
    for (node_ptr d = first;;) {
        t_gcc_decl *decl = record<t_gcc_decl>(g, d);
        if (!decl || !walk.first_meeting(d) || decl->mark_flag2) break;
        decl->mark_flag2 = 1;
        d = decl->chan;
    }
}

// Splices the declarations that were not kept out of the spine, starting from
// the root namespace's `dcls` or, without a root namespace, the graph's
// firstNode. Each step moves past a kept declaration or drops one; the walk
// ends at the first declaration it meets again.
void unlink_dropped(gd_graph *g, const std::vector<bool> &kept, bool head_in_root, node_ptr root)
{
    auto link_at = [&](node_ptr owner) -> node_ptr & {
        if (owner == -1) return head_in_root ? record_of<t_namespace_decl>(g, root).dcls : g->firstNode;
        return record_of<t_gcc_decl>(g, owner).chan;
    };
    node_ptr owner = -1;  // the declaration whose `chan` is the current link
    chain_walk walk;
    for (;;) {
        const node_ptr d = link_at(owner);
        const t_gcc_decl *decl = record<t_gcc_decl>(g, d);
        if (!decl) break;
        if (!walk.first_meeting(d)) {
            // A loop back to a dropped declaration would leave the chain
            // leading into a freed record.
            if (!kept[d]) link_at(owner) = -1;
            break;
        }
        if (kept[d])
            owner = d;
        else
            link_at(owner) = decl->chan;
    }
}

}  // namespace

int gd_reduce_filter(gd_graph *g)
{
    clear_marks(g);

    const node_ptr root = g->firstNode;
    const bool root_is_namespace = kind_of(g, root) == gNAMESPACE_DECL;
    reduce_run run{g, gd_lookup_string(g, root_is_namespace ? "<internal>" : "<built-in>"),
                   std::vector<bool>(g->curNodePos, false), std::vector<bool>(g->curNodePos, false)};

    if (root_is_namespace) {
        t_namespace_decl &ns = record_of<t_namespace_decl>(g, root);
        ns.mark_flag2 = 1;
        mark_spine(g, ns.dcls);
        // The root is kept whatever refers to it; its members come in as the
        // spine.
        run.kept[root] = true;
        for (node_ptr field : {ns.name, ns.mngl, ns.type, ns.chan, ns.scpe, ns.vindex, ns.alis})
            queue_add(field, 0);
        queue_add(ns.dcls, 1);
    } else {
        mark_spine(g, root);
        queue_add(root, 1);
    }

    queue_lookahead queue(g);
    node_ptr n;
    int byChan;
    while (queue.next(&n, &byChan) == 1) reach(run, n, byChan);

    unlink_dropped(g, run.kept, root_is_namespace, root);
    free_unreached(g, run.kept);
    return 1;
}
