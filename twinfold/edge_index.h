// Finds an edge by its source, label and target. The parser uses it to read
// a repeated statement into the edge it already made, and the merge to find
// an edge by its relation and target without walking out-lists, and to keep
// an edge moved onto a node from doubling an edge that node already has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CedgeFact;
class CinstanceFact;

class CedgeIndex {
public:
    // The live edge from, label, to; null when there is none.
    CedgeFact* find(const CinstanceFact* from, const char* label, const CinstanceFact* to) const;
    // Enters a connected edge under its current source, label and target.
    void add(CedgeFact* edge);

private:
    static uint64_t hashOf(const CinstanceFact* from, const char* label, const CinstanceFact* to);
    void grow();

    // Open addressing with linear probing. An edge is not taken out when it
    // moves or is destroyed: a slot matches only while the edge it holds
    // still joins the key's nodes, so stale slots are passed over, and a
    // rebuild drops them.
    std::vector<CedgeFact*> m_slots;
    size_t m_used = 0;
};
