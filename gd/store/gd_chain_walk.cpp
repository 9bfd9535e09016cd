// The set of nodes one chain walk has met.

#include <gd/chain_walk.h>

#include <algorithm>
#include <bit>
#include <cstdint>

bool chain_walk::first_meeting(node_ptr n)
{
    if (slots_.empty()) {
        if (std::find(few_.begin(), few_.begin() + count_, n) != few_.begin() + count_) return false;
        if (count_ < kept_in_place) {
            few_[count_++] = n;
            return true;
        }
        slots_.assign(4 * kept_in_place, -1);
        for (node_ptr kept : few_) insert_slot(kept);
    }
    if (2 * (count_ + 1) > slots_.size()) {
        std::vector<node_ptr> old(2 * slots_.size(), -1);
        old.swap(slots_);
        for (node_ptr kept : old)
            if (kept != -1) insert_slot(kept);
    }
    if (!insert_slot(n)) return false;
    ++count_;
    return true;
}

// Adds n to the set (its size a power of two); false when it is there. The
// first slot tried comes from the high bits of a multiplicative hash, so
// indices that differ only in their high bits or share their low ones spread
// over the table.
bool chain_walk::insert_slot(node_ptr n)
{
    const std::size_t mask = slots_.size() - 1;
    const int bits = std::countr_zero(slots_.size());
    for (std::size_t i = (uint64_t(uint32_t(n)) * 0x9E3779B97F4A7C15ull) >> (64 - bits);;
         i = (i + 1) & mask) {
        if (slots_[i] == n) return false;
        if (slots_[i] == -1) {
            slots_[i] = n;
            return true;
        }
    }
}
