#include "gd/big_buffers.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Below this a block rarely spans a whole huge page and is left to malloc.
constexpr size_t huge_enough = size_t(4) << 20;

// A hint: where the kernel has no huge page at hand, or transparent huge
// pages are off, the block simply stays on small pages.
void *advise_huge(void *block, size_t bytes)
{
    if (!block || bytes < huge_enough) return block;
    // The whole pages the block touches: a large block is a mapping of its
    // own, which must stay one piece with one advice, or the C library could
    // no longer grow it by remapping and would copy it instead.
    const uintptr_t page = 4096;
    const uintptr_t from = (uintptr_t)block & ~(page - 1);
    const uintptr_t to = ((uintptr_t)block + bytes + page - 1) & ~(page - 1);
    madvise((void *)from, to - from, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void *gd_big_alloc(size_t bytes)
{
    return advise_huge(malloc(bytes ? bytes : 1), bytes);
}

void *gd_big_realloc(void *block, size_t bytes)
{
    return advise_huge(realloc(block, bytes ? bytes : 1), bytes);
}
