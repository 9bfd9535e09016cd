#include "edge_index.h"

#include "facts.h"

#include <cstring>

namespace {

bool sameLabel(const CedgeFact* edge, const char* label)
{
    // Labels are shared texts, so equal ones are mostly the same pointer.
    return edge->name() == label || std::strcmp(edge->name(), label) == 0;
}

bool joins(const CedgeFact* edge, const CinstanceFact* from, const char* label, const CinstanceFact* to)
{
    return edge->m_pTo == to && edge->m_pFrom == from && sameLabel(edge, label);
}

uint32_t keyOf(const CinstanceFact* from, const char* label, const CinstanceFact* to)
{
    uint64_t nodes = uint64_t(reinterpret_cast<uintptr_t>(from)) * 0x9e3779b97f4a7c15ULL ^
                     uint64_t(reinterpret_cast<uintptr_t>(to)) * 0xc2b2ae3d27d4eb4fULL;
    return hashText(label, nodes ^ (nodes >> 29));
}

} // namespace

CedgeFact* CedgeIndex::find(CinstanceFact* from, const char* label, const CinstanceFact* to)
{
    if (from == nullptr || to == nullptr || label == nullptr)
        return nullptr;
    if (!(from->m_flags & kFlagEdgesIndexed)) {
        if (from->m_outDegree <= kListed) {
            for (CedgeFact* e = from->m_pFirstOut; e; e = e->m_pOutNext)
                if (e->m_pTo == to && sameLabel(e, label))
                    return e;
            return nullptr;
        }
        enterSource(from);
    }
    return m_table.find(keyOf(from, label, to), [&](CedgeFact* edge) { return joins(edge, from, label, to); });
}

void CedgeIndex::add(CedgeFact* edge)
{
    CinstanceFact* from = edge->m_pFrom;
    if (from == nullptr || edge->m_pTo == nullptr || edge->name() == nullptr)
        return;
    if (from->m_flags & kFlagEdgesIndexed)
        enter(edge);
    else if (from->m_outDegree > kListed)
        enterSource(from);
}

void CedgeIndex::enterSource(CinstanceFact* from)
{
    from->m_flags |= kFlagEdgesIndexed;
    for (CedgeFact* e = from->m_pFirstOut; e; e = e->m_pOutNext)
        enter(e);
}

void CedgeIndex::enter(CedgeFact* edge)
{
    if (edge->m_pTo == nullptr || edge->name() == nullptr)
        return;
    // Before the table grows, the slots of edges that moved or were
    // destroyed since they were entered are dropped.
    if (m_table.used() + 1 > m_table.slots() * 7 / 10)
        m_table.rebuild(2 * (m_table.used() + 1), [](CedgeFact* held, uint32_t hash) {
            return held->m_pFrom != nullptr && held->m_pTo != nullptr &&
                   keyOf(held->m_pFrom, held->name(), held->m_pTo) == hash;
        });
    m_table.insert(keyOf(edge->m_pFrom, edge->name(), edge->m_pTo), edge);
}
