// Chained hash table of nodes: finds nodes by name while parsing and groups
// nodes for the merge and the renaming.
#pragma once

#include <cstdint>

class CinstanceFact;

class Cvisithash {
public:
    virtual ~Cvisithash() = default;
    virtual void visit(CinstanceFact *node) = 0;
};

enum { kCategorySchema = 1, kCategoryInstance = 2 };

int nodeCategory(const CinstanceFact *node);

class Chash {
public:
    Chash() = default;
    Chash(const Chash &) = delete;
    Chash &operator=(const Chash &) = delete;
    ~Chash() { discard(); }

    // Makes 2^bits empty slots, halving the request while the system
    // refuses it.
    void init(int bits);
    void add(CinstanceFact *node);
    void add(CinstanceFact *node, const char *key);
    // Every node, slot by slot, each chain from its head.
    void visitall(Cvisithash &visitor);
    // The head of every non-empty chain, slot by slot.
    void visitfirst(Cvisithash &visitor);
    void discard();

    uint32_t checksum(const char *key) const;
    static uint32_t accumulate(const char *key);

    uint32_t m_schemaCount = 0;
    uint32_t m_instanceCount = 0;
    uint32_t m_totalCount = 0;
    uint64_t m_slotCount = 0;
    uint64_t m_caution = 0;
    CinstanceFact **m_ppSlots = nullptr;
};
