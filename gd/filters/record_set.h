// A set of records, one bit each, for the passes over every link of the graph
// that act only on links to a few records: those of a few kinds (type
// declarations, skip marks, built-in types) or those a test picks out (folded
// clones).
//
// Such a pass would read the record at the end of every link only to learn
// whether it is one of them, and in a large graph each of those reads is a
// wait for memory. One scan up the buffer notes them instead: the bits fit in
// the cache, and only a link that leads to one of them reads its record. The
// set says what the records were when it was made, so a pass uses it only
// while it changes nothing that picked them.
#pragma once

#include <gd/graph.h>

#include <initializer_list>
#include <vector>

class record_set {
public:
    // The records below curNodePos whose kind is one of `kinds`.
    record_set(const gd_graph *g, std::initializer_list<gd_node_type> kinds);

    // The records below curNodePos for which picks(record) is true.
    template <class Picks> record_set(const gd_graph *g, Picks &&picks) : held_(g->curNodePos, false)
    {
        for (node_ptr i = 0; const gd_graph_node *p = node_at(g, i); ++i) held_[i] = picks(*p);
    }

    // True when n is the index of one of those records; false for any other
    // index, in range or not.
    bool holds(node_ptr n) const { return n >= 0 && std::size_t(n) < held_.size() && held_[n]; }

    // Takes record n out of the set; any other index leaves it as it is.
    void leave_out(node_ptr n)
    {
        if (holds(n)) held_[n] = false;
    }

private:
    std::vector<bool> held_;
};
