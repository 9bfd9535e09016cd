#include "gd/big_buffers.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// Below this a block rarely spans a whole huge page and is left to malloc.
constexpr size_t huge_enough = size_t(4) << 20;
constexpr size_t huge_page = size_t(2) << 20;

// The blocks mapped here. A process holds a few at a time (a graph's pool,
// table and records, two graphs at most); with every slot taken a new
// large block comes from malloc instead.
struct mapped_block {
    void *at;
    size_t length;  // of the mapping: whole pages
};
constexpr int max_blocks = 64;
mapped_block blocks[max_blocks];
std::mutex blocks_lock;

mapped_block *find_block(void *at)
{
    for (mapped_block &b : blocks)
        if (b.at == at) return &b;
    return nullptr;
}

constexpr size_t page = 4096;

size_t whole_pages(size_t bytes)
{
    return bytes > SIZE_MAX - page ? 0 : (bytes + page - 1) & ~(page - 1);
}

// `length` bytes of address space that begin on a huge-page boundary,
// inaccessible until something is mapped or moved there; nullptr when the
// address space runs out.
void *reserve_aligned(size_t length, int protection)
{
    if (length > SIZE_MAX - huge_page) return nullptr;
    void *got = mmap(nullptr, length + huge_page, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (got == MAP_FAILED) return nullptr;
    const uintptr_t from = (uintptr_t)got;
    const uintptr_t at = (from + huge_page - 1) & ~(uintptr_t)(huge_page - 1);
    if (at > from) munmap(got, at - from);
    const uintptr_t end = from + length + huge_page;
    if (end > at + length) munmap((void *)(at + length), end - (at + length));
    return (void *)at;
}

// A hint: where the kernel has no huge page at hand, or transparent huge
// pages are off, the block simply stays on small pages.
void advise_huge(void *at, size_t length)
{
    madvise(at, length, MADV_HUGEPAGE);
}

// A new mapping of whole pages for `bytes`, recorded; nullptr when the
// address space runs out or no slot is free. Short of address space for the
// huge page of slack that the boundary takes, the mapping goes anywhere.
void *map_block(size_t bytes)
{
    const size_t length = whole_pages(bytes);
    mapped_block *slot = find_block(nullptr);
    if (!slot || length == 0) return nullptr;
    void *at = reserve_aligned(length, PROT_READ | PROT_WRITE);
    if (!at) {
        at = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED) return nullptr;
    }
    advise_huge(at, length);
    *slot = {at, length};
    return at;
}

// Moves or extends mapped block b to hold `bytes`, its contents kept; false
// (b unchanged) when the address space runs out. The block stays on a
// huge-page boundary: moved anywhere else, its huge pages would be split
// into small ones, every access after that a miss of the address cache and
// every page written out a fault of its own. The new place is reserved
// before the move, so that for a moment the block takes its address space
// twice; where that much is not to be had, the block moves as realloc would
// move it, off the boundary, so that a run under an address-space limit
// gets as far as it would with malloc.
bool remap_block(mapped_block &b, size_t bytes)
{
    const size_t length = whole_pages(bytes);
    if (length == 0) return false;
    if (length == b.length) return true;
    void *moved = mremap(b.at, b.length, length, 0);
    if (moved == MAP_FAILED) {
        void *to = reserve_aligned(length, PROT_NONE);
        moved = to ? mremap(b.at, b.length, length, MREMAP_MAYMOVE | MREMAP_FIXED, to) : MAP_FAILED;
        if (moved == MAP_FAILED) {
            if (to) munmap(to, length);
            moved = mremap(b.at, b.length, length, MREMAP_MAYMOVE);
        }
        if (moved == MAP_FAILED) return false;
    }
    b = {moved, length};
    advise_huge(moved, length);
    return true;
}

}  // namespace

void *gd_big_alloc(size_t bytes)
{
    if (bytes >= huge_enough) {
        std::lock_guard<std::mutex> hold(blocks_lock);
        if (void *at = map_block(bytes)) return at;
        if (find_block(nullptr)) return nullptr;  // the address space ran out
    }
    return malloc(bytes ? bytes : 1);
}

void *gd_big_realloc(void *block, size_t bytes)
{
    if (!block) return gd_big_alloc(bytes);
    std::lock_guard<std::mutex> hold(blocks_lock);
    if (mapped_block *b = find_block(block)) return remap_block(*b, bytes ? bytes : 1) ? b->at : nullptr;
    if (bytes < huge_enough) return realloc(block, bytes ? bytes : 1);
    // A malloc block grown large: its bytes move to a mapping of their own.
    void *at = map_block(bytes);
    if (!at) return find_block(nullptr) ? nullptr : realloc(block, bytes);
    const size_t held = malloc_usable_size(block);
    memcpy(at, block, held < bytes ? held : bytes);
    free(block);
    return at;
}

void gd_big_free(void *block)
{
    if (!block) return;
    {
        std::lock_guard<std::mutex> hold(blocks_lock);
        if (mapped_block *b = find_block(block)) {
            munmap(b->at, b->length);
            *b = {};
            return;
        }
    }
    free(block);
}
