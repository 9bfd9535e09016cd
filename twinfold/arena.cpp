#include "arena.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Block header size: keeps the first result 16-byte aligned.
constexpr size_t kHeader = 16;
}

void* Carena::allocate(size_t size)
{
    if (size > SIZE_MAX / 2)
        abort_outofmemory();
    size_t rounded = (size + 7) & ~size_t(7);
    if (m_pNext == nullptr || size_t(m_pEnd - m_pNext) < rounded) {
        size_t bytes = rounded > kBlockSize ? rounded : kBlockSize;
        char* block = static_cast<char*>(std::malloc(bytes + kHeader));
        if (block == nullptr)
            abort_outofmemory();
        reinterpret_cast<Cblock*>(block)->m_pPrev = m_pLast;
        m_pLast = reinterpret_cast<Cblock*>(block);
        m_pNext = block + kHeader;
        m_pEnd = m_pNext + bytes;
        ++m_blocks;
        m_lastBlockSize = bytes;
    }
    void* result = m_pNext;
    m_pNext += rounded;
    return result;
}

void Carena::release()
{
    while (m_pLast != nullptr) {
        Cblock* prev = m_pLast->m_pPrev;
        std::free(m_pLast);
        m_pLast = prev;
    }
    m_pNext = m_pEnd = nullptr;
    m_blocks = 0;
    m_lastBlockSize = 0;
}

Carena& graphArena()
{
    static Carena arena;
    return arena;
}

void* fastMalloc(size_t size)
{
    return graphArena().allocate(size);
}

void saveString(char** dest, const char* src)
{
    if (src == nullptr) {
        *dest = nullptr;
        return;
    }
    size_t length = std::strlen(src) + 1;
    char* copy = static_cast<char*>(fastMalloc(length));
    std::memcpy(copy, src, length);
    *dest = copy;
}

void abort_outofmemory()
{
    std::fputs("Out of memory\n", stderr);
    std::exit(1);
}

void releaseArena()
{
    graphArena().release();
}
