// Which records are of the few kinds that a pass over every link acts on.
//
// Such a pass (redirect each link to a type declaration, to a skip mark, to a
// built-in type) would read the record at the end of every link only to learn
// its kind, and in a large graph each of those reads is a wait for memory.
// One scan up the buffer notes instead, one bit per record, which records are
// of those kinds: the bits fit in the cache, and only a link that leads to
// such a record reads it. The set says what the records were when it was
// made, so a pass uses it only while it changes no record's kind.
#pragma once

#include <gd/graph.h>

#include <initializer_list>
#include <vector>

class records_of_kinds {
public:
    // The records below curNodePos whose kind is one of `kinds`.
    records_of_kinds(const gd_graph *g, std::initializer_list<gd_node_type> kinds);

    // True when n is the index of one of those records; false for any other
    // index, in range or not.
    bool holds(node_ptr n) const { return n >= 0 && std::size_t(n) < of_kind_.size() && of_kind_[n]; }

    // Takes record n out of the set; any other index leaves it as it is.
    void leave_out(node_ptr n)
    {
        if (holds(n))
            of_kind_[n] = false;
    }

private:
    std::vector<bool> of_kind_;
};
