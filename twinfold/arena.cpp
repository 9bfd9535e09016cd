#include "arena.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

char *g_pArenaBase = nullptr;
size_t g_arenaRange = 0;

namespace {
// The range's first bytes are never given out, so that no reference is 0;
// 16 of them keep the first result 16-byte aligned.
constexpr size_t kUnused = 16;
// The smallest range worth trying where the system refuses a larger one
// (a limit on the address space, say).
constexpr size_t kMinRange = size_t(1) << 28;
// Addresses are made usable in stretches of this many bytes.
constexpr size_t kUsableStep = size_t(1) << 24;
}  // namespace

Carena::~Carena()
{
    if (m_pBase != nullptr) munmap(m_pBase, m_range);
}

void Carena::reserve()
{
    if (m_pBase != nullptr) return;
    // Only addresses are taken; they are made usable a stretch at a time as
    // blocks are given out, and pages come when they are first written.
    for (size_t range = kMaxRange; range >= kMinRange; range /= 2) {
        void *start = mmap(nullptr, range, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (start != MAP_FAILED) {
            m_pBase = static_cast<char *>(start);
            m_range = range;
            m_top = kUnused;
            return;
        }
    }
    abort_outofmemory();
}

void Carena::makeUsable(size_t top)
{
    if (top <= m_usable) return;
    size_t usable = (top + kUsableStep - 1) / kUsableStep * kUsableStep;
    if (usable > m_range) usable = m_range;
    if (mprotect(m_pBase + m_usable, usable - m_usable, PROT_READ | PROT_WRITE) != 0) abort_outofmemory();
    m_usable = usable;
}

void *Carena::allocate(size_t size)
{
    if (size > SIZE_MAX / 2) abort_outofmemory();
    size_t rounded = (size + 7) & ~size_t(7);
    if (m_pNext == nullptr || size_t(m_pEnd - m_pNext) < rounded) {
        reserve();
        size_t bytes = rounded > kBlockSize ? rounded : kBlockSize;
        if (bytes > m_range - m_top) abort_outofmemory();
        makeUsable(m_top + bytes);
        m_pNext = m_pBase + m_top;
        m_pEnd = m_pNext + bytes;
        m_top += bytes;
        ++m_blocks;
        m_lastBlockSize = bytes;
    }
    void *result = m_pNext;
    m_pNext += rounded;
    return result;
}

void Carena::release()
{
    if (m_pBase != nullptr) madvise(m_pBase, m_top, MADV_DONTNEED);
    m_top = kUnused;
    m_pNext = m_pEnd = nullptr;
    m_blocks = 0;
    m_lastBlockSize = 0;
    ++m_releases;
}

Carena &graphArena()
{
    // Never destroyed: records may be reached until the process ends.
    static Carena *arena = [] {
        Carena *made = new Carena;
        made->reserve();
        g_pArenaBase = made->base();
        g_arenaRange = made->range();
        return made;
    }();
    return *arena;
}

void *fastMalloc(size_t size)
{
    return graphArena().allocate(size);
}

void saveString(Cref<char> *dest, const char *src)
{
    if (src == nullptr) {
        *dest = nullptr;
        return;
    }
    size_t length = std::strlen(src) + 1;
    char *copy = static_cast<char *>(fastMalloc(length));
    std::memcpy(copy, src, length);
    *dest = copy;
}

void abort_outofmemory()
{
    std::fputs("Out of memory\n", stderr);
    std::exit(1);
}

void arenaReferenceError()
{
    std::fputs("Assertion failed: arena reference\n", stderr);
    std::exit(1);
}

void releaseArena()
{
    graphArena().release();
}
