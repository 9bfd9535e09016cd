#include "hash.h"

#include "arena.h"
#include "facts.h"

#include <cstdio>
#include <cstdlib>

int nodeCategory(const CinstanceFact *node)
{
    return node->isSchema() ? kCategorySchema : kCategoryInstance;
}

void Chash::init(int bits)
{
    discard();
    m_schemaCount = m_instanceCount = m_totalCount = 0;
    for (;;) {
        if (bits < 0 || bits > 40) abort_outofmemory();
        uint64_t slots = uint64_t(1) << bits;
        m_ppSlots = static_cast<CinstanceFact **>(std::calloc(slots, sizeof(CinstanceFact *)));
        if (m_ppSlots != nullptr) {
            m_slotCount = slots;
            m_caution = slots;
            return;
        }
        // Addresses the graph arena holds in reserve may be what is missing.
        if (graphArena().giveBackSpareRange()) continue;
        std::fprintf(stderr, "Cannot allocate memory for %llu hash slots\n",
                     static_cast<unsigned long long>(slots));
        --bits;
    }
}

uint32_t Chash::accumulate(const char *key)
{
    uint32_t sum = 0;
    int position = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(key); *p; ++p) {
        if (position == 4) {
            sum = ~sum;
            position = 0;
        }
        sum ^= uint32_t(*p) << (8 * position);
        ++position;
    }
    return sum;
}

uint32_t Chash::checksum(const char *key) const
{
    return accumulate(key) & uint32_t(m_slotCount - 1);
}

void Chash::add(CinstanceFact *node)
{
    add(node, node->name());
}

void Chash::add(CinstanceFact *node, const char *key)
{
    CinstanceFact **slot = &m_ppSlots[checksum(key)];
    node->m_pHashNext = *slot;
    *slot = node;
    if (node->isSchema())
        ++m_schemaCount;
    else
        ++m_instanceCount;
    ++m_totalCount;
    if (m_totalCount == m_caution) {
        std::fprintf(stderr, "Caution: Added %u nodes to hash table\n", m_totalCount);
        m_caution += m_slotCount;
    }
}

void Chash::visitall(Cvisithash &visitor)
{
    for (uint64_t i = 0; i < m_slotCount; ++i) {
        CinstanceFact *n = m_ppSlots[i];
        while (n != nullptr) {
            // A visit may move the node into another table.
            CinstanceFact *next = n->m_pHashNext;
            // Nodes lie in the arena in the order they were read, not in
            // table order: what a visit reads first of the next node (its
            // lists), and the node after it, are fetched while this one is
            // visited. Only fetched: the chain is followed as it stands.
            if (next != nullptr) {
                __builtin_prefetch(next->m_pHashNext.get());
                __builtin_prefetch(next->m_pFirstIn.get());
                __builtin_prefetch(next->m_pFirstSetting.get());
            }
            visitor.visit(n);
            n = next;
        }
    }
}

void Chash::visitfirst(Cvisithash &visitor)
{
    for (uint64_t i = 0; i < m_slotCount; ++i)
        if (m_ppSlots[i] != nullptr) visitor.visit(m_ppSlots[i]);
}

void Chash::discard()
{
    std::free(m_ppSlots);
    m_ppSlots = nullptr;
    m_slotCount = 0;
    m_caution = 0;
}
