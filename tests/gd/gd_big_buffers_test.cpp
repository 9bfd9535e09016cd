// The graph's large buffers: contents kept through every growth, large blocks
// kept on a huge-page boundary wherever they move, and a move that still
// succeeds when the address space has no room for a second place.

#include <gd/big_buffers.h>

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t mib = size_t(1) << 20;
constexpr uintptr_t huge_page = 2 * mib;

void fill(void *block, size_t bytes)
{
    unsigned char *p = (unsigned char *)block;
    for (size_t i = 0; i < bytes; i++) p[i] = (unsigned char)(i * 7 + i / 4096);
}

// The first byte at which the block differs from what fill wrote; bytes when
// none does.
size_t first_difference(const void *block, size_t bytes)
{
    const unsigned char *p = (const unsigned char *)block;
    for (size_t i = 0; i < bytes; i++)
        if (p[i] != (unsigned char)(i * 7 + i / 4096)) return i;
    return bytes;
}

// A page taken just past the end of the block, so that it cannot grow where
// it is and must move.
void *block_the_way(void *block, size_t bytes)
{
    const uintptr_t end = ((uintptr_t)block + bytes + 4095) & ~(uintptr_t)4095;
    void *page = mmap((void *)end, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    return page == MAP_FAILED ? nullptr : page;
}

TEST(GdBigBuffers, LargeBlocksStayOnAHugePageBoundaryAndKeepTheirBytesAsTheyGrow)
{
    size_t bytes = 5 * mib + 123;
    void *block = gd_big_alloc(bytes);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ((uintptr_t)block % huge_page, 0u);
    fill(block, bytes);
    for (int step = 0; step < 6; step++) {
        void *blocker = block_the_way(block, bytes);
        const size_t larger = bytes + bytes / 3 + 1;
        void *grown = gd_big_realloc(block, larger);
        ASSERT_NE(grown, nullptr) << "step " << step;
        if (blocker) {
            EXPECT_NE(grown, block) << "step " << step << ": grew over the page in its way";
            munmap(blocker, 4096);
        }
        EXPECT_EQ((uintptr_t)grown % huge_page, 0u) << "step " << step;
        EXPECT_EQ(first_difference(grown, bytes), bytes) << "step " << step;
        block = grown;
        fill(block, larger);
        bytes = larger;
    }
    // Made smaller, a block keeps what still fits.
    void *smaller = gd_big_realloc(block, 4 * mib + 1);
    ASSERT_NE(smaller, nullptr);
    EXPECT_EQ(first_difference(smaller, 4 * mib + 1), 4 * mib + 1);
    gd_big_free(smaller);
}

TEST(GdBigBuffers, SmallAndMallocBlocksGrowLargeWithTheirBytes)
{
    struct start {
        const char *what;
        void *block;
    };
    const size_t bytes = 100000;
    for (const start &s : {start{"gd_big_alloc", gd_big_alloc(bytes)}, start{"malloc", std::malloc(bytes)}}) {
        ASSERT_NE(s.block, nullptr) << s.what;
        fill(s.block, bytes);
        void *grown = gd_big_realloc(s.block, 9 * mib);
        ASSERT_NE(grown, nullptr) << s.what;
        EXPECT_EQ((uintptr_t)grown % huge_page, 0u) << s.what;
        EXPECT_EQ(first_difference(grown, bytes), bytes) << s.what;
        gd_big_free(grown);
    }
    void *plain = std::malloc(64);
    ASSERT_NE(plain, nullptr);
    gd_big_free(plain);
    gd_big_free(nullptr);
    void *none = gd_big_realloc(nullptr, 6 * mib);
    ASSERT_NE(none, nullptr);
    gd_big_free(none);
}

#if defined(__SANITIZE_ADDRESS__)
#define ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ADDRESS_SANITIZER 1
#endif
#endif

// The address space the process holds, from /proc/self/statm.
size_t address_space_in_use()
{
    FILE *f = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (f) {
        if (std::fscanf(f, "%lu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return (size_t)pages * 4096;
}

TEST(GdBigBuffers, AMoveNeedsNoMoreAddressSpaceThanTheGrowth)
{
#ifdef ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer needs the address space";
#else
    // In a child, under a limit that leaves room for the growth but not for
    // the block a second time: the block must still grow, with its bytes.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const size_t bytes = 64 * mib;
        void *block = gd_big_alloc(bytes);
        if (!block) _exit(2);
        fill(block, bytes);
        void *blocker = block_the_way(block, bytes);
        if (!blocker) _exit(3);
        const rlimit limit{address_space_in_use() + 24 * mib, RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(4);
        void *grown = gd_big_realloc(block, bytes + 16 * mib);
        if (!grown) _exit(5);
        if (first_difference(grown, bytes) != bytes) _exit(6);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

}  // namespace
