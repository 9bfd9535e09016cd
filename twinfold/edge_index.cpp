#include "edge_index.h"

#include "facts.h"

#include <cstring>

namespace {

uint64_t mix(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

bool joins(const CedgeFact* edge, const CinstanceFact* from, const char* label, const CinstanceFact* to)
{
    return edge->m_pFrom == from && edge->m_pTo == to && std::strcmp(edge->name(), label) == 0;
}

} // namespace

uint64_t CedgeIndex::hashOf(const CinstanceFact* from, const char* label, const CinstanceFact* to)
{
    uint64_t h = 1469598103934665603ULL;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(label); *p; ++p)
        h = (h ^ *p) * 1099511628211ULL;
    return mix(h ^ mix(reinterpret_cast<uintptr_t>(from)) ^ (mix(reinterpret_cast<uintptr_t>(to)) << 1));
}

CedgeFact* CedgeIndex::find(const CinstanceFact* from, const char* label, const CinstanceFact* to) const
{
    if (m_slots.empty() || from == nullptr || to == nullptr || label == nullptr)
        return nullptr;
    size_t mask = m_slots.size() - 1;
    for (size_t at = hashOf(from, label, to) & mask;; at = (at + 1) & mask) {
        CedgeFact* edge = m_slots[at];
        if (edge == nullptr)
            return nullptr;
        if (joins(edge, from, label, to))
            return edge;
    }
}

void CedgeIndex::add(CedgeFact* edge)
{
    if (edge->m_pFrom == nullptr || edge->m_pTo == nullptr || edge->name() == nullptr)
        return;
    if ((m_used + 1) * 2 > m_slots.size())
        grow();
    size_t mask = m_slots.size() - 1;
    for (size_t at = hashOf(edge->m_pFrom, edge->name(), edge->m_pTo) & mask;; at = (at + 1) & mask) {
        CedgeFact* held = m_slots[at];
        if (held == edge)
            return;
        if (held == nullptr) {
            m_slots[at] = edge;
            ++m_used;
            return;
        }
    }
}

void CedgeIndex::grow()
{
    std::vector<CedgeFact*> old;
    old.swap(m_slots);
    size_t live = 0;
    for (CedgeFact* edge : old)
        if (edge != nullptr && edge->m_pFrom != nullptr && edge->m_pTo != nullptr)
            ++live;
    size_t size = 1024;
    while (size < (live + 1) * 4)
        size *= 2;
    m_slots.assign(size, nullptr);
    m_used = 0;
    // An edge that moved away and back is held by two slots; both now hash
    // alike, so add meets the first on its way and enters it once.
    for (CedgeFact* edge : old)
        if (edge != nullptr && edge->m_pFrom != nullptr && edge->m_pTo != nullptr)
            add(edge);
}
