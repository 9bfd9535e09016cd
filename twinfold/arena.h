// Bump arena: every record, name and value of the fact graph comes from here.
// Nothing is returned one by one; the blocks live until the process ends
// (or until releaseArena, which only tests and the fuzz driver call).
//
// The arena takes its blocks from one range of addresses, so that a record
// can refer to another in 32 bits (Cref): the graph's links take half the
// memory that full pointers would. The range is reserved at the first use
// with the size its user expects (the graph arena's from the size of the
// input), at a place with free addresses after it, and grows in place where
// the graph needs more: the code holds plain pointers to records throughout,
// so the range never moves. A limit on the address space (ulimit -v) counts
// only what the range has grown to.
#pragma once

#include <cstddef>
#include <cstdint>

class Carena {
public:
    static constexpr size_t kBlockSize = 1048576;
    // The most a range may hold: 2^32 references of 4 bytes each.
    static constexpr size_t kMaxRange = size_t(1) << 34;
    // The range is reserved, grown and made writable in stretches of this
    // many bytes, far less than a block, so that a small graph takes little
    // more than it needs.
    static constexpr size_t kStretch = size_t(1) << 16;
    // The reservation when the user expects nothing in particular.
    static constexpr size_t kModestRange = 16 * kBlockSize;

    // The graph arena publishes its range for Cref (g_pArenaBase and
    // g_arenaRange) each time the range is taken or grows.
    explicit Carena(bool publishesRange = false) : m_publishesRange(publishesRange) {}
    Carena(const Carena &) = delete;
    Carena &operator=(const Carena &) = delete;
    ~Carena();

    // Storage for size bytes, aligned to 8; ends the run when the system
    // has no more memory.
    void *allocate(size_t size);
    // Gives every block back to the system; the range stays reserved.
    void release();
    size_t blockCount() const { return m_blocks; }
    size_t lastBlockSize() const { return m_lastBlockSize; }
    // How many times the arena was released.
    size_t releases() const { return m_releases; }
    // The range taken at the first allocation is sized for about this many
    // bytes (kModestRange when nobody says); once it is taken, nothing.
    void expect(size_t bytes)
    {
        if (m_pBase == nullptr) m_expected = bytes;
    }
    // Takes the range of addresses for the expected bytes, once; later calls
    // do nothing. Where the system refuses that many addresses (a limit on
    // the address space), it takes fewer, down to one stretch.
    void reserve();
    char *base() const { return m_pBase; }
    size_t range() const { return m_range; }
    // Bytes of the range that may be written.
    size_t usable() const { return m_usable; }
    // Gives the reserved addresses past the writable part back to the
    // system (the range grows again where it must); false when there were
    // none.
    bool giveBackSpareRange();

private:
    void makeUsable(size_t top);
    // Grows the range in place to hold top bytes; false where the system
    // refuses the addresses after it (a limit, or something else there).
    bool extendRange(size_t top);
    void publishRange() const;

    bool m_publishesRange;
    size_t m_expected = kModestRange;
    char *m_pBase = nullptr;
    size_t m_range = 0;
    size_t m_top = 0;     // bytes of the range given out as blocks
    size_t m_usable = 0;  // bytes of the range that may be written
    char *m_pNext = nullptr;
    char *m_pEnd = nullptr;
    size_t m_blocks = 0;
    size_t m_lastBlockSize = 0;
    size_t m_releases = 0;
};

// The arena every graph record uses.
Carena &graphArena();

void *fastMalloc(size_t size);
[[noreturn]] void abort_outofmemory();
// For std::set_new_handler: a failed allocation is retried once the graph
// arena has given back its spare addresses, and ends the run as the arena's
// own failure does when there are none.
void outOfMemoryHandler();
void releaseArena();

// Start and size of the graph arena's range, for Cref.
extern char *g_pArenaBase;
extern size_t g_arenaRange;
// A reference to something outside the graph arena was to be stored.
[[noreturn]] void arenaReferenceError();

// A pointer into the graph arena in 32 bits: the distance from the start of
// its range in units of 4 bytes, 0 for null (the range's first bytes are
// never given out). It converts to and from a plain pointer, so that a
// record's links read as pointers do.
template <typename T> class Cref {
public:
    Cref() = default;
    Cref(T *pointer) : m_offset(offsetOf(pointer)) {}
    Cref &operator=(T *pointer)
    {
        m_offset = offsetOf(pointer);
        return *this;
    }
    operator T *() const { return get(); }
    T *operator->() const { return get(); }
    T &operator*() const { return *get(); }
    T *get() const
    {
        return m_offset == 0 ? nullptr : reinterpret_cast<T *>(g_pArenaBase + size_t(m_offset) * 4);
    }

private:
    static uint32_t offsetOf(const T *pointer)
    {
        if (pointer == nullptr) return 0;
        size_t offset = size_t(reinterpret_cast<const char *>(pointer) - g_pArenaBase);
        if (offset >= g_arenaRange || offset % 4 != 0) arenaReferenceError();
        return uint32_t(offset / 4);
    }

    uint32_t m_offset = 0;
};

// dest = null for a null src, else an arena copy of src.
void saveString(Cref<char> *dest, const char *src);

// Base of the arena records: new takes arena storage, delete gives nothing back.
class CarenaObject {
public:
    static void *operator new(size_t size) { return fastMalloc(size); }
    static void operator delete(void *) {}
};
