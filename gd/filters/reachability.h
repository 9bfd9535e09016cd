// What the two reachability passes (gd_reduce and gd_filter) share: which
// links they follow, marking, and the sweep that frees what they did not reach.
#pragma once

#include <gd/graph.h>
#include <gd/kind_table.h>

#include <array>
#include <cstring>
#include <vector>

// Which links of a marked node lead to nodes that must be kept too.
enum class other_node_rule {
    ignored,   // gd_reduce: other_node holds nothing of its own yet
    followed,  // gd_filter: the filters store skip links and next statements there
};

// 1 for the kinds that neither pass ever marks, so that their records are
// always freed.
bool never_marked(gd_node_type k);

// Calls visit(link_ordinal, target) for every link of node n that a pass
// follows: every pointer field of the kind, in walk order, but the ones named
// in the pass's table of exceptions.
template <class Visit>
void for_each_followed_link(gd_graph *g, node_ptr n, other_node_rule rule, Visit &&visit);

// The work queue as the passes take it: through a window of its next few
// entries, whose records are asked for as they enter, so that by the time the
// pass visits a node the wait for its record is over. The entries come out in
// the queue's own order: the window holds the oldest ones, and what the pass
// queues meanwhile goes behind them.
class queue_lookahead {
public:
    explicit queue_lookahead(const gd_graph *g) : g_(g) {}
    // Takes the next entry: 1, or -1 when the queue is empty (as queue_first).
    int next(node_ptr *nodenum, int *byChan);

private:
    static constexpr std::size_t window = 16;
    const gd_graph *g_;
    std::array<t_queue_node, window> cells_{};
    std::size_t head_ = 0;
    std::size_t count_ = 0;
};

// The sweep: frees every live record that `reached` does not hold (one entry
// per record below curNodePos) in ascending order (so the free list starts
// with the highest index freed), clears both marks everywhere and sets to -1
// every link of a kept record to a freed one, firstNode included, so that no
// kept node points at a free one. The passes keep their marks beside the
// graph, so that asking about a link does not read the record it leads to.
void free_unreached(gd_graph *g, const std::vector<bool> &reached);

// --------------------------------------------------------------------------

// The followed links of each kind as a bit set over its walk ordinals.
unsigned followed_link_set(gd_node_type k, other_node_rule rule);

template <class Visit>
void for_each_followed_link(gd_graph *g, node_ptr n, other_node_rule rule, Visit &&visit)
{
    // Any kind: the links are read by the kind table's offsets.
    const gd_graph_node *p = node_at(g, n);
    if (!p) return;
    const gd_node_type k = p->common.type;
    const gd_kind_info *info = gd_kind_info_of(k);
    const unsigned followed = followed_link_set(k, rule);
    const int in_use = gd_links_in_use(info, p);
    for (int l = 0; l < in_use; ++l) {
        if (!(followed & (1u << l))) continue;
        const gd_link &link = info->links[l];
        node_ptr target;
        std::memcpy(&target, p->bytes + link.offset, sizeof target);
        visit(l, target);
    }
}
