// Node allocation: the free list, growth and scaling of the node buffer,
// newNode under the allocation stop, and the clearing of a new record.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "gd/big_buffers.h"
#include "gd/kind_table.h"
#include "gd/run_state.h"

// ---------------------------------------------------------------------------
// Free list and growth
//
// The records from curNodePos up have never been handed out, so all of them
// are free, and nothing writes them before newNode hands them out: buffers
// grow by realloc, which lets the C library move a large buffer by remapping
// its pages, and the spare capacity that a chain of enlargements leaves (many
// times the records in use) stays memory that was never touched. On the free
// list these records are its tail, in ascending order from curNodePos, behind
// the free records below curNodePos (the last of which links to curNodePos);
// newNode gives a tail record the bytes it would hold had the whole list been
// written out: zeros, and the link to the record after it.

// Bit i of `words` is set when record i, below curNodePos, is free; records
// past the words are not free.
struct gd_free_set {
    std::vector<uint64_t> words;
};

void gd_free_set_release(gd_free_set *set)
{
    delete set;
}

namespace {

// Notes in the graph's free set that record i (below curNodePos) became free
// or was handed out. A set that cannot grow is dropped: the next relink then
// scans the records, and a later gd_make_freelist makes a new set.
void note_free(gd_graph *g, uint32_t i, bool free)
{
    gd_free_set *set = g->freeSet;
    if (!set) return;
    const size_t word = i / 64;
    if (word >= set->words.size()) {
        if (!free) return;
        try {
            set->words.resize(std::max(word + 1, 2 * set->words.size()), 0);
        } catch (const std::bad_alloc &) {
            gd_free_set_release(set);
            g->freeSet = nullptr;
            return;
        }
    }
    const uint64_t bit = uint64_t(1) << (i % 64);
    if (free)
        set->words[word] |= bit;
    else
        set->words[word] &= ~bit;
}

// The free list's link out of the untouched record i.
node_ptr tail_link(const gd_graph *g, uint32_t i)
{
    return i + 1 < g->nodeBuffLen ? (node_ptr)(i + 1) : -1;
}

// The first untouched record, -1 when the buffer has none.
node_ptr tail_head(const gd_graph *g)
{
    return g->curNodePos < g->nodeBuffLen ? (node_ptr)g->curNodePos : -1;
}

// Whether i can be the head of the free list: a free record below
// curNodePos, or the first untouched one.
bool is_free_list_head(const gd_graph *g, node_ptr i)
{
    if (i < 0) return false;
    if ((uint32_t)i < g->curNodePos) return g->nodeBuffer[i].common.type == NODE_DELTED;
    return i == tail_head(g);
}

// Moves the node buffer to a capacity of `records` without touching the
// added records; false (nothing changed) when memory runs out.
bool resize_node_buffer(gd_graph *g, uint64_t records)
{
    if (records > INT32_MAX) return false;  // indices are signed 32-bit
    if (records == g->nodeBuffLen) return true;
    gd_graph_node *nodes =
        (gd_graph_node *)gd_big_realloc(g->nodeBuffer, (size_t)records * sizeof(gd_graph_node));
    if (!nodes) return false;
    g->nodeBuffer = nodes;
    g->nodeBuffLen = (uint32_t)records;
    return true;
}

}  // namespace

namespace {

// Builds the free list one record at a time, in ascending order.
struct free_list_builder {
    gd_graph *g;
    node_ptr last = -1;

    explicit free_list_builder(gd_graph *graph) : g(graph) { g->firstFreeNode = -1; }
    void append(uint32_t i)
    {
        if (last == -1)
            g->firstFreeNode = (node_ptr)i;
        else
            g->nodeBuffer[last].common.other_node = (node_ptr)i;
        last = (node_ptr)i;
    }
    // The untouched records follow the last free one.
    void finish()
    {
        if (last == -1)
            g->firstFreeNode = tail_head(g);
        else
            g->nodeBuffer[last].common.other_node = tail_head(g);
    }
};

// The list that gd_make_freelist would build, built from the free set: after
// a change of capacity, most of the time with few records free or with the
// list in that order already, this visits the free records only instead of
// every record of the buffer. A record of the set that is no longer free
// (only code that broke the rule of gd_make_freelist makes one) leaves the
// set instead of being linked.
void relink_free_list(gd_graph *g)
{
    gd_free_set *set = g->freeSet;
    if (!set) {
        gd_make_freelist(g);
        return;
    }
    free_list_builder list(g);
    const size_t words = std::min(set->words.size(), ((size_t)g->curNodePos + 63) / 64);
    for (size_t w = 0; w < words; w++)
        for (uint64_t bits = set->words[w]; bits != 0; bits &= bits - 1) {
            const uint32_t i = (uint32_t)(w * 64 + (size_t)std::countr_zero(bits));
            if (i < g->curNodePos && g->nodeBuffer[i].common.type == NODE_DELTED)
                list.append(i);
            else
                set->words[w] &= ~(uint64_t(1) << (i % 64));
        }
    list.finish();
}

// An empty free set sized for the records below curNodePos, or nullptr when
// memory runs out.
gd_free_set *empty_free_set(gd_graph *g)
{
    gd_free_set *set = g->freeSet ? g->freeSet : new (std::nothrow) gd_free_set;
    g->freeSet = nullptr;
    if (!set) return nullptr;
    try {
        set->words.assign(((size_t)g->curNodePos + 63) / 64, 0);
    } catch (const std::bad_alloc &) {
        gd_free_set_release(set);
        return nullptr;
    }
    return set;
}

}  // namespace

void gd_make_freelist(gd_graph *g)
{
    gd_free_set *set = empty_free_set(g);
    free_list_builder list(g);
    for (uint32_t i = 0; i < g->curNodePos; i++) {
        if (g->nodeBuffer[i].common.type != NODE_DELTED) continue;
        list.append(i);
        if (set) set->words[i / 64] |= uint64_t(1) << (i % 64);
    }
    list.finish();
    g->freeSet = set;
}

node_ptr gd_next_free(const gd_graph *g, node_ptr i)
{
    if (i < 0 || (uint32_t)i >= g->nodeBuffLen) return -1;
    if ((uint32_t)i < g->curNodePos) return g->nodeBuffer[i].common.other_node;
    return tail_link(g, (uint32_t)i);
}

void gd_free_node(gd_graph *g, node_ptr n)
{
    // A record freed twice would sit on the list twice and be handed to two
    // nodes; an index from a bad link would write outside the buffer. Records
    // from curNodePos up are free already.
    if (n < 0 || (uint32_t)n >= g->curNodePos) return;
    gd_graph_common &c = g->nodeBuffer[n].common;
    if (c.type == NODE_DELTED) return;
    c.type = NODE_DELTED;
    c.other_node = g->firstFreeNode;
    g->firstFreeNode = n;
    note_free(g, (uint32_t)n, true);
}

gd_success gd_grow_nodes(gd_graph *g, unsigned long grow_amt)
{
    if (!resize_node_buffer(g, (uint64_t)g->nodeBuffLen + grow_amt)) return 0;
    // With the list empty there are no free records at all, so the list is
    // just the added ones (none when nothing was added).
    if (g->firstFreeNode == -1)
        g->firstFreeNode = tail_head(g);
    else
        relink_free_list(g);
    return 1;
}

gd_success gd_graph_scale(gd_graph *g, float string_mult, float hash_mult, float node_mult)
{
    if (string_mult < 1 || hash_mult < 1 || node_mult < 1) return 0;

    // Each buffer is enlarged in place; the capacities change only once every
    // step has succeeded, so a refusal leaves the graph as it was (a pool
    // enlarged by then only holds spare bytes that its capacity does not show)
    // but for the order of the free list. That is the order an enlargement
    // leaves, so that the nodes made next are numbered as they would be had
    // memory sufficed: the buffers grow again when they must, and what a
    // run writes does not depend on how much memory it was given.
    const auto refuse = [&](const char *message) {
        fprintf(stderr, "%s", message);
        if (node_mult > 1) relink_free_list(g);
        return 0;
    };
    uint64_t pool_len = 0;
    if (string_mult > 1) {
        pool_len = (uint64_t)((double)string_mult * g->stringBuffLen) + 1;
        // One byte more than the capacity: the pool always ends with a NUL.
        char *pool = pool_len < UINT32_MAX ? (char *)gd_big_realloc(g->stringBuffer, pool_len + 1) : nullptr;
        if (!pool) return refuse("gd_graph_scale: Error allocating string buffer\n");
        g->stringBuffer = pool;
    }
    if (hash_mult > 1) {
        fprintf(stderr, "gd_graph_scale: Error: Hash Table Resize not implemented yet\n");
        return 0;
    }
    if (node_mult > 1) {
        uint64_t node_len = (uint64_t)((double)node_mult * g->nodeBuffLen) + 1;
        if (!resize_node_buffer(g, node_len))
            return refuse("gd_graph_scale: Error allocating new node buffer\n");
    }

    if (string_mult > 1) {
        g->stringBuffLen = (uint32_t)pool_len;
        g->stringBuffer[pool_len] = '\0';
    }
    if (node_mult > 1) relink_free_list(g);
    return 1;
}

// ---------------------------------------------------------------------------
// Allocation

node_ptr newNode(gd_graph *g)
{
    if (gd_run.allocation_stopped) {
        fprintf(stderr, "talvex: (fatal) node allocation protocol error\n");
        gd_fatal(1);
    }
    node_ptr i = g->firstFreeNode;
    // A head that is not a free record means the list was damaged through a
    // stale link; rebuilding it is cheaper than handing out a used record.
    if (i != -1 && !is_free_list_head(g, i)) {
        gd_make_freelist(g);
        i = g->firstFreeNode;
    }
    if (i == -1) {
        if (!gd_grow_nodes(g, 2048)) gd_no_space_left();
        i = g->firstFreeNode;
    }
    if ((uint32_t)i >= g->curNodePos) {
        // The record's first write.
        memset((void *)&g->nodeBuffer[i], 0, sizeof(gd_graph_node));
        g->nodeBuffer[i].common.other_node = tail_link(g, (uint32_t)i);
    }
    gd_graph_common &c = g->nodeBuffer[i].common;
    g->firstFreeNode = c.other_node;
    c.type = NODE_NONE;
    // A record freed by a reachability pass lies anywhere in the buffer, and
    // the next call must read it: fetching it now lets the wait for memory
    // pass while the caller fills this record.
    if (node_valid(g, g->firstFreeNode)) {
        const char *next = (const char *)&g->nodeBuffer[g->firstFreeNode];
        __builtin_prefetch(next, 1);
        __builtin_prefetch(next + sizeof(gd_graph_node) - 1, 1);
    }
    if ((uint32_t)i >= g->curNodePos)
        g->curNodePos = (uint32_t)i + 1;
    else
        note_free(g, (uint32_t)i, false);
    return i;
}

namespace {

// The record of kind k with every field cleared the way new nodes are.
gd_graph_node cleared_record(int k)
{
    gd_graph_node r;
    memset(&r, 0, sizeof r);
    r.common.type = (gd_node_type)k;
    const gd_kind_info *info = gd_kind_info_of(k);
    for (int f = 0; info && f < info->nfields; f++) {
        const gd_field &field = info->fields[f];
        bool none =
            field.type == GD_FT_NODE || field.type == GD_FT_STR ||
            (field.type == GD_FT_INT && (strcmp(field.name, "line") == 0 || strcmp(field.name, "srcl") == 0));
        if (none) gd_field_set(&r, &field, -1);
        if (field.type == GD_FT_NODES) memset(r.bytes + field.offset, 0xff, 4u * field.width);
    }
    return r;
}

// The cleared record of every kind, made once: the filters clear a record
// for nearly every node they make.
struct cleared_records {
    gd_graph_node of_kind[NUM_NODES + 1];
    cleared_records()
    {
        for (int k = 0; k <= NUM_NODES; k++) of_kind[k] = cleared_record(k);
    }
};

}  // namespace

void gd_clear_node(gd_graph *g, node_ptr i, gd_node_type k)
{
    static const cleared_records cleared;
    gd_graph_node *p = node_at(g, i);
    if (!p) return;
    *p = k <= NUM_NODES ? cleared.of_kind[k] : cleared_record(k);
}
