// Open addressing over arena records: each slot keeps a record's 32-bit hash
// beside a 32-bit reference to it, so that a probe reads a record only where
// the hashes agree, and growing moves slots without reading any record.
#pragma once

#include "arena.h"
#include "support/text_hash.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// A 32-bit hash of a text and a number (a category, say), spread over every
// bit, since the table takes its slot from the low bits.
inline uint32_t hashText(const char *text, uint64_t seed = 0)
{
    uint64_t h = support::fnvAdd(support::fnvOffsetBasis ^ seed, text);
    h ^= h >> 32;
    h *= 0xd6e8feb86659fd93ULL;
    h ^= h >> 32;
    return uint32_t(h);
}

template <typename T> class CtaggedTable {
public:
    // The first record with this hash for which same(record) holds; null
    // when there is none.
    template <typename Same> T *find(uint32_t hash, Same same) const
    {
        if (m_slots.empty()) return nullptr;
        size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Cslot &slot = m_slots[at];
            T *record = slot.m_record;
            if (record == nullptr) return nullptr;
            if (slot.m_hash == hash && same(record)) return record;
        }
    }

    // Starts fetching the slot where a search for hash begins.
    void prefetch(uint32_t hash) const
    {
        if (!m_slots.empty()) __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
    }

    // Enters record under hash (a record may be entered more than once).
    void insert(uint32_t hash, T *record)
    {
        if (!fits(m_used + 1, m_slots.size())) rebuild(2 * (m_used + 1), [](T *, uint32_t) { return true; });
        place(hash, record);
        ++m_used;
    }

    // Rebuilds the table with room for at least count records, keeping the
    // slots for which keep(record, hash) holds.
    template <typename Keep> void rebuild(size_t count, Keep keep)
    {
        std::vector<Cslot> old;
        old.swap(m_slots);
        size_t size = 1024;
        while (!fits(count, size)) size *= 2;
        m_slots.assign(size, Cslot{});
        m_used = 0;
        for (const Cslot &slot : old)
            if (slot.m_record != nullptr && keep(slot.m_record.get(), slot.m_hash)) {
                place(slot.m_hash, slot.m_record);
                ++m_used;
            }
    }

    size_t used() const { return m_used; }
    size_t slots() const { return m_slots.size(); }

private:
    struct Cslot {
        uint32_t m_hash = 0;
        Cref<T> m_record;
    };

    // Probes stay short while at most 70% of the slots are taken.
    static bool fits(size_t count, size_t size) { return count * 10 <= size * 7; }

    void place(uint32_t hash, T *record)
    {
        size_t mask = m_slots.size() - 1;
        size_t at = hash & mask;
        while (m_slots[at].m_record != nullptr) at = (at + 1) & mask;
        m_slots[at] = Cslot{hash, record};
    }

    std::vector<Cslot> m_slots;
    size_t m_used = 0;
};
