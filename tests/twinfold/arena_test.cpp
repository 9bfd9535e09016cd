#include "arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <vector>

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

namespace {

// Fills count bytes at p with the low byte of mark.
void fill(void *p, size_t count, size_t mark)
{
    std::memset(p, int(mark & 0xff), count);
}

bool holds(const void *p, size_t count, size_t mark)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(p);
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] != (mark & 0xff)) return false;
    return true;
}

constexpr size_t kPiece = 100000;

}  // namespace

TEST(Arena, ReservesWhatItExpectsAndGrowsInPlacePastIt)
{
    Carena arena;
    arena.expect(4 * Carena::kBlockSize);
    std::vector<char *> pieces{static_cast<char *>(arena.allocate(kPiece))};
    char *base = arena.base();
    const size_t first = arena.range();
    EXPECT_GE(first, 4 * Carena::kBlockSize);
    EXPECT_LT(first, 5 * Carena::kBlockSize);
    // Past three times the first reservation, in pieces that straddle the
    // ends of blocks and of the range.
    while (arena.range() < 3 * first) pieces.push_back(static_cast<char *>(arena.allocate(kPiece)));
    for (size_t i = 0; i < pieces.size(); ++i) fill(pieces[i], kPiece, i);
    EXPECT_EQ(arena.base(), base);
    for (size_t i = 0; i < pieces.size(); ++i) {
        ASSERT_TRUE(pieces[i] >= base && pieces[i] + kPiece <= base + arena.range()) << i;
        EXPECT_TRUE(holds(pieces[i], kPiece, i)) << i;
    }
}

// Records refer to each other through Cref, counted from the graph arena's
// base and checked against its range: both must follow its growth.
TEST(Arena, ReferencesStayValidWhileTheGraphArenaGrows)
{
    Carena &arena = graphArena();
    std::vector<char *> pieces{static_cast<char *>(fastMalloc(kPiece))};
    char *base = arena.base();
    const size_t first = arena.range();
    std::vector<Cref<char>> references{pieces.front()};
    fill(pieces.front(), kPiece, 0);
    while (arena.range() < first + 4 * Carena::kBlockSize) {
        pieces.push_back(static_cast<char *>(fastMalloc(kPiece)));
        // Stored when it is made: a reference past the range it knew of
        // would be refused.
        references.push_back(pieces.back());
        fill(pieces.back(), kPiece, pieces.size() - 1);
    }
    EXPECT_EQ(arena.base(), base);
    EXPECT_EQ(g_pArenaBase, base);
    EXPECT_EQ(g_arenaRange, arena.range());
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(references[i].get(), pieces[i]) << i;
        EXPECT_TRUE(holds(references[i], kPiece, i)) << i;
    }
    releaseArena();
}

TEST(Arena, SpareAddressesGoBackAndComeAgainWhenNeeded)
{
    Carena arena;
    arena.expect(64 * Carena::kBlockSize);
    char *a = static_cast<char *>(arena.allocate(8));
    fill(a, 8, 1);
    EXPECT_TRUE(arena.giveBackSpareRange());
    EXPECT_EQ(arena.range(), arena.usable());
    EXPECT_LT(arena.range(), 2 * Carena::kBlockSize);
    EXPECT_FALSE(arena.giveBackSpareRange());
    char *b = static_cast<char *>(arena.allocate(3 * Carena::kBlockSize));
    fill(b, 3 * Carena::kBlockSize, 2);
    EXPECT_GE(arena.range(), 4 * Carena::kBlockSize);
    EXPECT_TRUE(holds(a, 8, 1));
}

TEST(ArenaDeathTest, GrowthIntoTakenAddressesIsOutOfMemory)
{
    Carena arena;
    arena.expect(Carena::kBlockSize);
    arena.allocate(8);
    // Something else holds the addresses right after the range.
    char *after = arena.base() + arena.range();
    void *taken =
        mmap(after, Carena::kStretch, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    ASSERT_EQ(taken, after);
    EXPECT_EXIT(arena.allocate(Carena::kBlockSize), testing::ExitedWithCode(1), "^Out of memory\n$");
    munmap(taken, Carena::kStretch);
}
