#include "arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(Arena, ResultsAreAlignedAndDistinct)
{
    Carena arena;
    char *a = static_cast<char *>(arena.allocate(3));
    char *b = static_cast<char *>(arena.allocate(9));
    char *c = static_cast<char *>(arena.allocate(1));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 8, 0u);
    EXPECT_EQ(b - a, 8);
    EXPECT_EQ(c - b, 16);
    EXPECT_EQ(arena.blockCount(), 1u);
    arena.release();
}

TEST(Arena, NewBlockWhenTheCurrentOneIsFull)
{
    Carena arena;
    arena.allocate(Carena::kBlockSize - 8);
    arena.allocate(16);
    EXPECT_EQ(arena.blockCount(), 2u);
    EXPECT_EQ(arena.lastBlockSize(), Carena::kBlockSize);
    arena.release();
    EXPECT_EQ(arena.blockCount(), 0u);
}

TEST(Arena, LargeRequestGetsABlockOfItsOwnSize)
{
    Carena arena;
    size_t big = 3 * Carena::kBlockSize + 5;
    char *p = static_cast<char *>(arena.allocate(big));
    std::memset(p, 1, big);
    EXPECT_EQ(arena.lastBlockSize(), big + 3);
    arena.release();
}

TEST(Arena, SaveStringCopiesOrGivesNull)
{
    Cref<char> copy;
    const char text[] = "abc";
    saveString(&copy, text);
    EXPECT_STREQ(copy, "abc");
    EXPECT_NE(copy.get(), text);
    saveString(&copy, nullptr);
    EXPECT_EQ(copy.get(), nullptr);
}

TEST(ArenaDeathTest, ImpossibleRequestIsOutOfMemory)
{
    Carena arena;
    EXPECT_EXIT(arena.allocate(SIZE_MAX - 3), testing::ExitedWithCode(1), "^Out of memory\n$");
}
