// Finds an edge by its source, label and target. The parser uses it to read
// a repeated statement into the edge it already made, and the merge to find
// an edge by its relation and target without walking long lists, and to keep
// an edge moved onto a node from doubling an edge that node already has.
#pragma once

#include "tagged_table.h"

#include <cstddef>
#include <cstdint>

class CedgeFact;
class CinstanceFact;

class CedgeIndex {
public:
    // The key under which the table holds the edge from, label, to.
    using CkeyOf = uint32_t (*)(const CinstanceFact *from, const char *label, const CinstanceFact *to);
    // Spreads the nodes' addresses and the label's text over every bit.
    static uint32_t keyOf(const CinstanceFact *from, const char *label, const CinstanceFact *to);

    CedgeIndex() = default;
    // An index whose table keys edges by keys of the caller's (a test's that
    // makes keys collide).
    explicit CedgeIndex(CkeyOf keys) : m_keyOf(keys) {}

    // An edge is searched along its source's out list when that holds at
    // most this many edges, else along its target's in list when that does;
    // only edges between two nodes with more edges each are entered into
    // the table. Most edges are not: a file holds many entities, each
    // contained once.
    static constexpr uint32_t kListed = 8;

    // The live edge from, label, to; null when there is none.
    CedgeFact *find(const CinstanceFact *from, const char *label, const CinstanceFact *to) const;
    // Enters an edge just connected, or moved, under its current source,
    // label and target. Every connection must be followed by it.
    void add(CedgeFact *edge);
    // Edges in the table, stale ones included.
    size_t entered() const { return m_table.used(); }
    // The edges that lookups have looked at so far, in lists and in the
    // table: what the lookups cost.
    uint64_t visited() const { return m_visited; }

private:
    void enter(CedgeFact *edge);

    // An edge is not taken out when it moves or is destroyed: a slot matches
    // only while the edge it holds still joins the key's nodes, so stale
    // slots are passed over, and a rebuild drops them.
    CtaggedTable<CedgeFact> m_table;
    CkeyOf m_keyOf = keyOf;
    mutable uint64_t m_visited = 0;
};
