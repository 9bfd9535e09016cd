// Bump arena: every record, name and value of the fact graph comes from here.
// Nothing is returned one by one; the blocks live until the process ends
// (or until releaseArena, which only tests and the fuzz driver call).
#pragma once

#include <cstddef>

class Carena {
public:
    static constexpr size_t kBlockSize = 1048576;

    // Storage for size bytes, aligned to 8; ends the run when the system
    // has no more memory.
    void* allocate(size_t size);
    // Gives every block back to the system.
    void release();
    size_t blockCount() const { return m_blocks; }
    size_t lastBlockSize() const { return m_lastBlockSize; }

private:
    struct Cblock { Cblock* m_pPrev; };
    Cblock* m_pLast = nullptr;
    char* m_pNext = nullptr;
    char* m_pEnd = nullptr;
    size_t m_blocks = 0;
    size_t m_lastBlockSize = 0;
};

// The arena every graph record uses.
Carena& graphArena();

void* fastMalloc(size_t size);
// dest = null for a null src, else an arena copy of src.
void saveString(char** dest, const char* src);
[[noreturn]] void abort_outofmemory();
void releaseArena();

// Base of the arena records: new takes arena storage, delete gives nothing back.
class CarenaObject {
public:
    static void* operator new(size_t size) { return fastMalloc(size); }
    static void operator delete(void*) {}
};
