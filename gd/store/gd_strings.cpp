// The string pool: strings stored back to back with their NULs, indexed by an
// open-addressing hash table with double hashing.
//
// The hash table is stored in the gd graph file as it stands, so the hash
// arithmetic below is file format: every program must probe a table the way
// the program that filled it did.
//
// That probe sends all keys of one length whose first and last characters
// agree down one path of slots (numbered names, integer literals), and walking
// it slot by slot makes each insert cost as many steps as there are keys on
// the path already. So the pool keeps two aids beside the table, which give
// the slot the walk would give without walking: an exact index from a string
// to the slots that hold it, and for each probe path the number of its first
// slots known to be taken (slots are never cleared, so that number only grows).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gd/big_buffers.h"
#include "gd/graph.h"
#include "support/text_hash.h"

namespace {

// A key byte counts as a signed byte, sign-extended, in 32-bit arithmetic.
uint32_t signed_byte(char c)
{
    return (uint32_t)(int32_t)(signed char)c;
}

}  // namespace

unsigned long primary_hash(const char *inString, unsigned long nbytes, unsigned long tableSize)
{
    if (nbytes < 2) return 1;
    uint32_t h = (uint32_t)nbytes + 128u * signed_byte(inString[0]) + 16u * signed_byte(inString[nbytes - 2]);
    return h % (uint32_t)tableSize;
}

unsigned long secondary_hash(const char *, unsigned long nbytes, unsigned long prev, unsigned long tableSize)
{
    uint32_t step = nbytes < 2 ? 1u : (uint32_t)nbytes;
    return ((uint32_t)prev + step) % (uint32_t)tableSize;
}

// The aids of one graph's pool. The index and the path counts describe one
// table (`table`, `slots`) and are rebuilt when the graph's table is another;
// the block lengths belong to the pool and outlive every table.
struct gd_pool_index {
    struct bucket {
        uint32_t slot_plus1;  // 0 for an empty bucket
        uint32_t hash;        // string_hash of the slot's string
    };
    const int32_t *table = nullptr;
    uint32_t slots = 0;
    bool built = false;
    uint32_t indexed_to = 0;  // the curStringPos up to which slots are indexed
    // For each string the table holds, the slot where its probe meets it
    // first; linear probing, at most half full.
    std::vector<bucket> buckets;
    size_t entries = 0;
    // Slots whose offset (from a file) lay at or past the bytes in use: indexed
    // once the pool grows over them. Lowest offset last.
    std::vector<std::pair<uint32_t, uint32_t>> pending;
    // Per probe path (primary slot, step): how many of its first slots are taken.
    std::unordered_map<uint64_t, uint32_t> taken_prefix;
    // Probe steps walked slot by slot since the index was last dropped: the
    // index is built once they would have paid for it.
    uint64_t walked = 0;
    // Bytes of strings the index has hashed since it was last dropped.
    uint64_t hashed = 0;
    // Indexes given up because their strings held too many bytes: each one
    // doubles the walking that pays for the next build.
    unsigned refusals = 0;
    // Blocks added whose length is not that of the string they start with (a
    // block holding a NUL, or none at its end): offset -> length.
    std::unordered_map<uint32_t, uint32_t> odd_lengths;
};

void gd_pool_index_release(gd_pool_index *index)
{
    delete index;
}

namespace {

// The stored block at `off` equals the key when its first nbytes bytes do; a
// block that would run past the bytes in use (or an offset from a file that
// points nowhere) equals nothing.
bool block_equals(const gd_graph &g, int32_t off, const char *key, unsigned long nbytes)
{
    if (off < 0 || (uint64_t)off + nbytes > g.curStringPos) return false;
    return memcmp(g.stringBuffer + off, key, nbytes) == 0;
}

// The probe as the file format defines it, slot by slot. `steps` counts the
// slots it looked at.
long walk_probe(const gd_graph &g, const char *string, unsigned long nbytes, uint64_t *steps)
{
    // primary_hash gives 1 for the shortest keys whatever the table size; a
    // table of one slot read from a file must not be indexed at 1.
    unsigned long h0 = primary_hash(string, nbytes, g.hashTableLen) % g.hashTableLen;
    int32_t slot = g.hashTable[h0];
    *steps = 1;
    if (slot == -1 || block_equals(g, slot, string, nbytes)) return (long)h0;
    unsigned long h = h0;
    for (;;) {
        h = secondary_hash(string, nbytes, h, g.hashTableLen);
        ++*steps;
        slot = g.hashTable[h];
        if (slot == -1 || block_equals(g, slot, string, nbytes)) return (long)h;
        if (h == h0) return -1;
    }
}

// ---------------------------------------------------------------------------
// The aids

uint32_t string_hash(const char *s, size_t length)
{
    const uint64_t h = support::fnvAdd(support::fnvOffsetBasis, s, length);
    return (uint32_t)(h ^ (h >> 32));
}

// Whether a key is a string with its NUL: then a stored block equals it
// exactly when the string the block starts with does.
bool is_string_key(const char *key, unsigned long nbytes)
{
    return nbytes >= 1 && key[nbytes - 1] == '\0' && memchr(key, '\0', nbytes - 1) == nullptr;
}

// The keys the aids answer for: strings short enough that the probe's 32-bit
// steps never wrap. Other keys are probed by walking.
bool indexable_key(const gd_graph &g, const char *key, unsigned long nbytes)
{
    return (uint64_t)g.hashTableLen + nbytes <= (uint64_t)UINT32_MAX + 1 && is_string_key(key, nbytes);
}

// Every string that starts in the bytes in use ends in them too, so the string
// at a stored offset stays what it is however the pool grows.
bool pool_ends_strings(const gd_graph &g)
{
    return g.curStringPos == 0 || g.stringBuffer[g.curStringPos - 1] == '\0';
}

void forget_table(gd_pool_index &ix)
{
    ix.built = false;
    ix.table = nullptr;
    ix.slots = 0;
    ix.buckets = {};
    ix.entries = 0;
    ix.pending = {};
    ix.taken_prefix = {};
    ix.walked = 0;
    ix.hashed = 0;
}

uint64_t gcd(uint64_t a, uint64_t b)
{
    while (b) {
        uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// The inverse of a modulo m (a and m coprime, m >= 1).
uint64_t inverse_mod(uint64_t a, uint64_t m)
{
    int64_t r0 = (int64_t)m, r1 = (int64_t)(a % m), t0 = 0, t1 = 1;
    while (r1) {
        int64_t q = r0 / r1;
        std::swap(r0, r1);
        r1 -= q * r0;
        std::swap(t0, t1);
        t1 -= q * t0;
    }
    return (uint64_t)(t0 < 0 ? t0 + (int64_t)m : t0) % m;
}

// The slots a key's probe visits: h0, h0 + step, h0 + 2 step, ... modulo the
// table size, `length` of them before the path comes round to h0.
struct probe_path {
    uint64_t h0, step, size, common, length;

    probe_path(uint64_t h0_, uint64_t step_, uint64_t size_)
        : h0(h0_), step(step_ % size_), size(size_), common(gcd(step, size)), length(size / common)
    {
    }

    uint64_t slot_at(uint64_t position) const { return (h0 + position * step) % size; }

    // The position of `slot` on the path; `length` when the path misses it.
    uint64_t position_of(uint64_t slot) const
    {
        uint64_t distance = (slot + size - h0) % size;
        if (distance % common) return length;
        return (distance / common) * inverse_mod(step / common, length) % length;
    }
};

// The path the probe takes for a key in a table of `size` slots.
probe_path path_of(const char *key, unsigned long nbytes, uint32_t size)
{
    return probe_path(primary_hash(key, nbytes, size) % size, nbytes < 2 ? 1 : nbytes, size);
}

// Indexes `slot`, which holds the offset of a string in the bytes in use.
// False when the strings indexed so far hold more bytes than the index may
// hash: the caller then drops it. Strings stored once each hash every byte of
// the pool once, but the slots of a table from a file may point into one long
// string many times over, and the probe walks for such a table instead. May
// throw std::bad_alloc.
bool index_slot(gd_pool_index &ix, const gd_graph &g, uint32_t slot)
{
    if (2 * (ix.entries + 1) > ix.buckets.size()) {
        std::vector<gd_pool_index::bucket> larger(std::max<size_t>(64, 2 * ix.buckets.size()), {0, 0});
        const size_t mask = larger.size() - 1;
        for (const gd_pool_index::bucket &b : ix.buckets) {
            if (!b.slot_plus1) continue;
            size_t i = b.hash & mask;
            while (larger[i].slot_plus1) i = (i + 1) & mask;
            larger[i] = b;
        }
        ix.buckets.swap(larger);
    }
    const char *s = g.stringBuffer + g.hashTable[slot];
    const size_t length = strlen(s);
    ix.hashed += length + 1;
    if (ix.hashed > 2 * ((uint64_t)g.curStringPos + g.hashTableLen)) return false;
    const uint32_t hash = string_hash(s, length);
    const size_t mask = ix.buckets.size() - 1;
    size_t i = hash & mask;
    for (; ix.buckets[i].slot_plus1; i = (i + 1) & mask) {
        if (ix.buckets[i].hash != hash) continue;
        const uint32_t other = ix.buckets[i].slot_plus1 - 1;
        if (strcmp(g.stringBuffer + g.hashTable[other], s) != 0) continue;
        // One string in several slots (a table from a file may hold it in every
        // slot): one bucket, for the slot the string's own probe meets first, so
        // that neither the index nor a lookup walks along the copies.
        const probe_path path = path_of(s, length + 1, g.hashTableLen);
        if (path.position_of(slot) < path.position_of(other)) ix.buckets[i].slot_plus1 = slot + 1;
        return true;
    }
    ix.buckets[i] = {slot + 1, hash};
    ix.entries++;
    return true;
}

// Drops the aids when index_slot refuses a slot.
void give_up(gd_pool_index &ix)
{
    forget_table(ix);
    if (ix.refusals < 32) ix.refusals++;
}

// Indexes g's table; false (and the aids dropped) when index_slot refuses.
bool build(gd_pool_index &ix, const gd_graph &g)
{
    forget_table(ix);
    size_t occupied = 0;
    for (uint32_t s = 0; s < g.hashTableLen; s++) occupied += g.hashTable[s] >= 0;
    size_t size = 64;
    while (size < 2 * occupied + 2) size *= 2;
    ix.buckets.assign(size, {0, 0});
    for (uint32_t s = 0; s < g.hashTableLen; s++) {
        int32_t off = g.hashTable[s];
        if (off < 0) continue;  // empty, or junk from a file that equals nothing
        if ((uint32_t)off >= g.curStringPos)
            ix.pending.emplace_back((uint32_t)off, s);
        else if (!index_slot(ix, g, s)) {
            give_up(ix);
            return false;
        }
    }
    std::sort(ix.pending.begin(), ix.pending.end(), std::greater<>());
    ix.table = g.hashTable;
    ix.slots = g.hashTableLen;
    ix.indexed_to = g.curStringPos;
    ix.built = true;
    return true;
}

// The aids of g's table, up to date; nullptr when the probe must walk.
gd_pool_index *ready_aids(const gd_graph &g)
{
    gd_pool_index *ix = g.poolIndex;
    if (!ix || !pool_ends_strings(g)) return nullptr;
    try {
        if (!ix->built || ix->table != g.hashTable || ix->slots != g.hashTableLen ||
            ix->indexed_to > g.curStringPos) {
            if (ix->walked < ((g.hashTableLen + (uint64_t)g.curStringPos / 8) / 4 + 64) << ix->refusals)
                return nullptr;
            if (!build(*ix, g)) return nullptr;
        }
        while (!ix->pending.empty() && ix->pending.back().first < g.curStringPos) {
            uint32_t slot = ix->pending.back().second;
            if (g.hashTable[slot] >= 0 && (uint32_t)g.hashTable[slot] == ix->pending.back().first &&
                !index_slot(*ix, g, slot)) {
                give_up(*ix);
                return nullptr;
            }
            ix->pending.pop_back();
        }
        ix->indexed_to = g.curStringPos;
    } catch (const std::bad_alloc &) {
        forget_table(*ix);
        return nullptr;
    }
    return ix;
}

// The probe's answer, from the aids: the first slot on the key's path that
// holds a block equal to the key or is empty, -1 when there is none.
long indexed_probe(gd_pool_index &ix, const gd_graph &g, const char *key, unsigned long nbytes)
{
    const uint32_t size = g.hashTableLen;
    const probe_path path = path_of(key, nbytes, size);

    uint64_t equal_at = path.length;
    const uint32_t hash = string_hash(key, nbytes - 1);
    const size_t mask = ix.buckets.size() - 1;
    for (size_t i = hash & mask; ix.buckets[i].slot_plus1; i = (i + 1) & mask) {
        if (ix.buckets[i].hash != hash) continue;
        const uint32_t slot = ix.buckets[i].slot_plus1 - 1;
        if (block_equals(g, g.hashTable[slot], key, nbytes))
            equal_at = std::min(equal_at, path.position_of(slot));
    }

    const uint64_t path_key = path.h0 << 32 | path.step;
    auto known = ix.taken_prefix.find(path_key);
    uint64_t position = known == ix.taken_prefix.end() ? 0 : known->second;
    uint64_t slot = path.slot_at(position);
    while (position < equal_at && g.hashTable[slot] != -1) {
        position++;
        slot += path.step;
        if (slot >= size) slot -= size;
    }
    if (known != ix.taken_prefix.end()) {
        known->second = (uint32_t)position;
    } else if (position >= 4) {
        try {
            ix.taken_prefix.emplace(path_key, (uint32_t)position);
        } catch (const std::bad_alloc &) {
        }
    }
    // The path's taken slots may be known beyond the equal block.
    const uint64_t answer = std::min(position, equal_at);
    return answer < path.length ? (long)path.slot_at(answer) : -1;
}

// The aids of a graph, made when it has none; nullptr when memory runs out.
gd_pool_index *aids_of(gd_graph *g)
{
    if (!g->poolIndex) g->poolIndex = new (std::nothrow) gd_pool_index;
    return g->poolIndex;
}

// Stores `off` in slot h, where the probe put the block of nbytes bytes that
// starts there, and keeps the aids in step.
void fill_slot(gd_graph *g, long h, str_ptr off, unsigned long nbytes)
{
    const bool was_empty = g->hashTable[h] == -1;
    g->hashTable[h] = off;
    gd_pool_index *ix = g->poolIndex;
    if (!ix) return;
    const char *block = g->stringBuffer + off;
    try {
        if (!is_string_key(block, nbytes) && nbytes <= UINT32_MAX)
            ix->odd_lengths[(uint32_t)off] = (uint32_t)nbytes;
    } catch (const std::bad_alloc &) {
    }
    if (!ix->built || ix->table != g->hashTable || ix->slots != g->hashTableLen) return;
    // A slot that held a block already, or a block the index cannot keep:
    // the index is built again when it pays.
    if (!was_empty || !indexable_key(*g, block, nbytes) || !pool_ends_strings(*g) ||
        (uint32_t)off >= g->curStringPos) {
        forget_table(*ix);
        return;
    }
    try {
        if (!index_slot(*ix, *g, (uint32_t)h)) give_up(*ix);
    } catch (const std::bad_alloc &) {
        forget_table(*ix);
    }
}

// The length of the block stored at `off`: as added, or for a block from a
// file, the string it starts with and its NUL.
unsigned long block_length(const gd_graph &g, int32_t off)
{
    if (g.poolIndex) {
        auto odd = g.poolIndex->odd_lengths.find((uint32_t)off);
        if (odd != g.poolIndex->odd_lengths.end()) return odd->second;
    }
    return strnlen(g.stringBuffer + off, g.curStringPos - off) + 1;
}

}  // namespace

long do_hash(gd_graph g, const char *string, unsigned long nbytes)
{
    if (g.hashTableLen == 0) return -1;
    if (g.poolIndex && indexable_key(g, string, nbytes))
        if (gd_pool_index *ix = ready_aids(g)) return indexed_probe(*ix, g, string, nbytes);
    uint64_t steps;
    long h = walk_probe(g, string, nbytes, &steps);
    if (g.poolIndex) g.poolIndex->walked += steps;
    return h;
}

str_ptr gd_lookup_mem(gd_graph *g, const char *string, unsigned long nbytes)
{
    aids_of(g);
    long h = do_hash(*g, string, nbytes);
    if (h < 0) return -1;
    return g->hashTable[h];
}

str_ptr gd_lookup_string(gd_graph *g, const char *string)
{
    return gd_lookup_mem(g, string, strlen(string) + 1);
}

namespace {

bool is_prime(uint64_t n)
{
    if (n < 2) return false;
    for (uint64_t d = 2; d * d <= n; d++)
        if (n % d == 0) return false;
    return true;
}

uint64_t next_prime(uint64_t n)
{
    while (!is_prime(n)) n++;
    return n;
}

// Refills the hash table at `slots` slots from the blocks the old one indexes,
// each probed with the length it was added with. False when a block finds no
// slot; the graph is then unchanged. A table that memory cannot hold stops
// the program.
bool rehash_into(gd_graph *g, uint64_t slots)
{
    if (slots > UINT32_MAX) return false;
    // A table that cannot be had is memory run out, not a key refused: the
    // string would be lost.
    int32_t *table = (int32_t *)gd_big_alloc(slots * sizeof(int32_t));
    if (!table) gd_no_space_left();
    for (uint64_t i = 0; i < slots; i++) table[i] = -1;
    int32_t *old_table = g->hashTable;
    const uint32_t old_slots = g->hashTableLen;
    if (g->poolIndex) forget_table(*g->poolIndex);
    g->hashTable = table;
    g->hashTableLen = (uint32_t)slots;
    for (uint32_t i = 0; i < old_slots; i++) {
        int32_t off = old_table[i];
        if (off < 0 || (uint32_t)off >= g->curStringPos) continue;  // nothing stored there
        unsigned long nbytes = block_length(*g, off);
        long h = do_hash(*g, g->stringBuffer + off, nbytes);
        if (h < 0) {
            if (g->poolIndex) forget_table(*g->poolIndex);
            g->hashTable = old_table;
            g->hashTableLen = old_slots;
            gd_big_free(table);
            return false;
        }
        fill_slot(g, h, off, nbytes);
    }
    gd_big_free(old_table);
    return true;
}

// A key whose probe path is full: the table moves to a larger prime size,
// where every probe path visits every slot (the probe step is the key's
// length, which then shares no factor with the size).
bool enlarge_hash_table(gd_graph *g)
{
    uint64_t slots = next_prime(2 * (uint64_t)g->hashTableLen + 1);
    while (slots <= UINT32_MAX) {
        if (rehash_into(g, slots)) return true;
        slots = next_prime(2 * slots + 1);
    }
    return false;
}

[[noreturn]] void pool_is_full(const gd_graph *g, const char *key, unsigned long nbytes)
{
    fprintf(stderr, "string buffer is too full (%ld/%ld) to add string ", (long)g->curStringPos,
            (long)g->stringBuffLen);
    if (nbytes > 30) fputs("beginning ", stderr);
    fputc('"', stderr);
    for (unsigned long i = 0; i < nbytes && i < 31 && key[i] != '\0'; i++) fprintf(stderr, "%c", key[i]);
    fputs(nbytes > 30 ? "..." : "\"", stderr);
    fputs("\n", stderr);
    gd_fatal(-1);
}

// Makes room for nbytes more bytes in the pool; offsets stay valid. False
// when the pool would pass the offsets' range; a stop when memory runs out.
bool grow_pool(gd_graph *g, unsigned long nbytes)
{
    uint64_t need = (uint64_t)g->curStringPos + nbytes;
    uint64_t capacity = 2 * (uint64_t)g->stringBuffLen;
    if (capacity < need) capacity = need;
    if (capacity >= UINT32_MAX) return false;
    char *pool = (char *)gd_big_realloc(g->stringBuffer, capacity + 1);
    if (!pool) gd_no_space_left();
    pool[capacity] = '\0';
    g->stringBuffer = pool;
    g->stringBuffLen = (uint32_t)capacity;
    return true;
}

}  // namespace

str_ptr gd_add_mem(gd_graph *g, const char *newstring, unsigned long nbytes)
{
    if (g->hashTableLen == 0) return -1;
    aids_of(g);
    long h = do_hash(*g, newstring, nbytes);
    while (h < 0) {
        if (!enlarge_hash_table(g)) return -1;
        h = do_hash(*g, newstring, nbytes);
    }
    if (g->hashTable[h] != -1) return g->hashTable[h];
    if (g->stringBuffLen - g->curStringPos < nbytes && !grow_pool(g, nbytes))
        pool_is_full(g, newstring, nbytes);
    str_ptr at = (str_ptr)g->curStringPos;
    memcpy(g->stringBuffer + at, newstring, nbytes);
    g->curStringPos += (uint32_t)nbytes;
    g->stringBuffer[g->curStringPos] = '\0';
    fill_slot(g, h, at, nbytes);
    return at;
}

str_ptr gd_add_string(gd_graph *g, const char *newstring)
{
    return gd_add_mem(g, newstring, strlen(newstring) + 1);
}
