#include "edge_index.h"

#include "facts.h"

#include <cstring>

namespace {

bool sameLabel(const CedgeFact *edge, const char *label)
{
    // Labels are shared texts, so equal ones are mostly the same pointer.
    return edge->name() == label || std::strcmp(edge->name(), label) == 0;
}

bool joins(const CedgeFact *edge, const CinstanceFact *from, const char *label, const CinstanceFact *to)
{
    return edge->m_pTo == to && edge->m_pFrom == from && sameLabel(edge, label);
}

bool manyOut(const CinstanceFact *node)
{
    return (node->m_flags & kFlagManyOut) != 0;
}

bool manyIn(const CinstanceFact *node)
{
    return (node->m_flags & kFlagManyIn) != 0;
}

}  // namespace

uint32_t CedgeIndex::keyOf(const CinstanceFact *from, const char *label, const CinstanceFact *to)
{
    uint64_t nodes = uint64_t(reinterpret_cast<uintptr_t>(from)) * 0x9e3779b97f4a7c15ULL ^
                     uint64_t(reinterpret_cast<uintptr_t>(to)) * 0xc2b2ae3d27d4eb4fULL;
    return hashText(label, nodes ^ (nodes >> 29));
}

CedgeFact *CedgeIndex::find(const CinstanceFact *from, const char *label, const CinstanceFact *to) const
{
    if (from == nullptr || to == nullptr || label == nullptr) return nullptr;
    // A node gets its mark when add sees it pass kListed; until then its
    // list is searched whatever its length.
    if (!manyOut(from)) {
        for (CedgeFact *e = from->m_pFirstOut; e; e = e->m_pOutNext) {
            ++m_visited;
            if (e->m_pTo == to && sameLabel(e, label)) return e;
        }
        return nullptr;
    }
    if (!manyIn(to)) {
        for (CedgeFact *e = to->m_pFirstIn; e; e = e->m_pInNext) {
            ++m_visited;
            if (e->m_pFrom == from && sameLabel(e, label)) return e;
        }
        return nullptr;
    }
    // Keys may collide: an edge found under the key must join the nodes.
    return m_table.find(m_keyOf(from, label, to), [&](CedgeFact *edge) {
        ++m_visited;
        return joins(edge, from, label, to);
    });
}

void CedgeIndex::add(CedgeFact *edge)
{
    CinstanceFact *from = edge->m_pFrom;
    CinstanceFact *to = edge->m_pTo;
    if (from == nullptr || to == nullptr || edge->name() == nullptr) return;
    // The table holds every edge between a node marked for many out edges
    // and one marked for many in edges: a node that gets its mark brings
    // in its edges to (or from) nodes marked already.
    if (!manyOut(from) && from->m_outDegree > kListed) {
        from->m_flags |= kFlagManyOut;
        for (CedgeFact *e = from->m_pFirstOut; e; e = e->m_pOutNext)
            if (e != edge && e->m_pTo != nullptr && manyIn(e->m_pTo)) enter(e);
    }
    if (!manyIn(to) && to->m_inDegree > kListed) {
        to->m_flags |= kFlagManyIn;
        for (CedgeFact *e = to->m_pFirstIn; e; e = e->m_pInNext)
            if (e != edge && e->m_pFrom != nullptr && manyOut(e->m_pFrom)) enter(e);
    }
    if (manyOut(from) && manyIn(to)) enter(edge);
}

void CedgeIndex::enter(CedgeFact *edge)
{
    // Before the table grows, the slots of edges that moved or were
    // destroyed since they were entered are dropped.
    if (m_table.used() + 1 > m_table.slots() * 7 / 10)
        m_table.rebuild(2 * (m_table.used() + 1), [this](CedgeFact *held, uint32_t hash) {
            return held->m_pFrom != nullptr && held->m_pTo != nullptr &&
                   m_keyOf(held->m_pFrom, held->name(), held->m_pTo) == hash;
        });
    m_table.insert(m_keyOf(edge->m_pFrom, edge->name(), edge->m_pTo), edge);
}
