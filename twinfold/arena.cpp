#include "arena.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

char *g_pArenaBase = nullptr;
size_t g_arenaRange = 0;

namespace {
// The range's first bytes are never given out, so that no reference is 0;
// 16 of them keep the first result 16-byte aligned.
constexpr size_t kUnused = 16;
constexpr int kRangeFlags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;

size_t roundUpToStretch(size_t bytes)
{
    return (bytes + Carena::kStretch - 1) / Carena::kStretch * Carena::kStretch;
}

// A place where kMaxRange bytes of addresses are free, in the middle of the
// widest free stretch of the address space, so that the range can grow in
// place: the system puts its own mappings at the edges of the free
// stretches (below the lowest mapping, or above the highest), far from the
// middle of the widest one. Only stretches between two mappings count: the
// addresses past the last one, and those up to a mapping in the upper half
// (the kernel's, as the vsyscall page), are not the process's to take. Null
// when the map of the process cannot be read; the system then chooses, and
// the range may have less room to grow.
char *placeWithRoomToGrow()
{
    constexpr uintptr_t kKernelHalf = uintptr_t(1) << 63;
    FILE *maps = std::fopen("/proc/self/maps", "re");
    if (maps == nullptr) return nullptr;
    uintptr_t gapStart = 0, gapSize = 0, previousEnd = 0;
    unsigned long start, end;
    while (std::fscanf(maps, "%lx-%lx%*[^\n]", &start, &end) == 2 && start < kKernelHalf) {
        if (start > previousEnd && start - previousEnd > gapSize) {
            gapStart = previousEnd;
            gapSize = start - previousEnd;
        }
        if (end > previousEnd) previousEnd = end;
    }
    std::fclose(maps);
    if (gapSize < 2 * Carena::kMaxRange) return nullptr;
    uintptr_t place = gapStart + (gapSize - Carena::kMaxRange) / 2;
    return reinterpret_cast<char *>(place / Carena::kStretch * Carena::kStretch);
}
}  // namespace

Carena::~Carena()
{
    if (m_pBase != nullptr) munmap(m_pBase, m_range);
}

void Carena::publishRange() const
{
    if (!m_publishesRange) return;
    g_pArenaBase = m_pBase;
    g_arenaRange = m_range;
}

void Carena::reserve()
{
    if (m_pBase != nullptr) return;
    // Only addresses are taken; they are made usable as blocks are given
    // out, and pages come when they are first written. The range holds at
    // least one block beside the unused first bytes.
    size_t expected = m_expected < kBlockSize ? kBlockSize : m_expected;
    size_t range = expected < kMaxRange - kUnused ? roundUpToStretch(expected + kUnused) : kMaxRange;
    char *place = placeWithRoomToGrow();
    for (;;) {
        int flags = place != nullptr ? kRangeFlags | MAP_FIXED_NOREPLACE : kRangeFlags;
        void *start = mmap(place, range, PROT_NONE, flags, -1, 0);
        if (start != MAP_FAILED) {
            m_pBase = static_cast<char *>(start);
            m_range = range;
            m_top = kUnused;
            publishRange();
            return;
        }
        if (errno == ENOMEM && range > kStretch)
            range = roundUpToStretch(range / 2);
        else if (place != nullptr)
            // The place is taken or refused: the system chooses.
            place = nullptr;
        else
            abort_outofmemory();
    }
}

bool Carena::extendRange(size_t top)
{
    if (top > kMaxRange) return false;
    size_t range = roundUpToStretch(top);
    if (range > kMaxRange) range = kMaxRange;
    char *end = m_pBase + m_range;
    void *got = mmap(end, range - m_range, PROT_NONE, kRangeFlags | MAP_FIXED_NOREPLACE, -1, 0);
    if (got == MAP_FAILED) return false;
    if (got != end) {
        // A system that does not know the flag took the place as a hint.
        munmap(got, range - m_range);
        return false;
    }
    m_range = range;
    publishRange();
    return true;
}

bool Carena::giveBackSpareRange()
{
    if (m_pBase == nullptr || m_range <= m_usable || m_usable == 0) return false;
    munmap(m_pBase + m_usable, m_range - m_usable);
    m_range = m_usable;
    publishRange();
    return true;
}

void Carena::makeUsable(size_t top)
{
    if (top <= m_usable) return;
    if (top > m_range && !extendRange(top)) abort_outofmemory();
    size_t usable = roundUpToStretch(top);
    if (usable > m_range) usable = m_range;
    if (mprotect(m_pBase + m_usable, usable - m_usable, PROT_READ | PROT_WRITE) != 0) abort_outofmemory();
#ifdef MADV_POPULATE_WRITE
    // The new block is filled from its start right away: its pages are made
    // in one call, where a fault each took a tenth of the run. Where they
    // cannot be (an older system, memory short), each comes at its first
    // touch, as without the call.
    madvise(m_pBase + m_usable, usable - m_usable, MADV_POPULATE_WRITE);
#endif
    m_usable = usable;
}

void *Carena::allocate(size_t size)
{
    if (size > SIZE_MAX / 2) abort_outofmemory();
    size_t rounded = (size + 7) & ~size_t(7);
    if (m_pNext == nullptr || size_t(m_pEnd - m_pNext) < rounded) {
        reserve();
        size_t bytes = rounded > kBlockSize ? rounded : kBlockSize;
        if (bytes > kMaxRange - m_top) abort_outofmemory();
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
    // Never destroyed: records may be reached until the process ends. Made
    // in static storage, since a failed allocation asks it for room.
    alignas(Carena) static unsigned char storage[sizeof(Carena)];
    static Carena *arena = new (storage) Carena(true);
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

void outOfMemoryHandler()
{
    if (!graphArena().giveBackSpareRange()) abort_outofmemory();
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
