// One walk along a chain of links read from a graph file: the nodes it has
// met, so that the walk ends at the first node it meets again and a chain
// that loops costs no more than its length.
#pragma once

#include <gd/graph.h>

#include <array>
#include <cstddef>
#include <vector>

// The nodes that one walk along a chain has met. A walk asks before each
// step whether it meets the node for the first time and ends when it does
// not:
//
//     chain_walk walk;
//     for (node_ptr c = first; kind_of(g, c) == gTREE_LIST && walk.first_meeting(c); c = ...)
//
// The first few nodes are kept in place, so a short walk allocates nothing.
class chain_walk {
public:
    // True the first time the walk meets node n (an index, not -1); false
    // for a node it met before.
    bool first_meeting(node_ptr n);

private:
    static constexpr std::size_t kept_in_place = 8;
    std::array<node_ptr, kept_in_place> few_{};
    std::size_t count_ = 0;
    // Past the first few: an open-addressing set of the nodes met, -1 free,
    // never more than half full.
    std::vector<node_ptr> slots_;
    bool insert_slot(node_ptr n);
};
