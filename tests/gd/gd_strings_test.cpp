// The string pool: hash arithmetic, probing, lookup and add.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gd/graph.h"

namespace {

TEST(Hash, PrimaryWeighsFirstAndLastCharacterAsSignedBytes)
{
    struct Case {
        const char *key;
        unsigned long nbytes;
        unsigned long expected;
    } cases[] = {
        {"ab", 3, 987},    // 3 + 128*97 + 16*98
        {"ba", 3, 99},     // 3 + 128*98 + 16*97 = 14099
        {"\x80", 2, 866},  // 2 - 128*128 - 16*128 wraps to 4294948866
        {"\xff"
         "A",
         3, 915},           // 3 - 128 + 16*65
        {"A\xff", 3, 307},  // 3 + 128*65 - 16
        {"", 1, 1},         // the empty string: its NUL alone
        {"x", 0, 1},
    };
    for (const Case &c : cases) EXPECT_EQ(primary_hash(c.key, c.nbytes, 1000), c.expected) << c.key;
}

TEST(Hash, SecondaryStepsByTheKeyLength)
{
    EXPECT_EQ(secondary_hash("abc", 4, 5, 7), 2u);  // (5 + 4) mod 7
    EXPECT_EQ(secondary_hash("", 1, 6, 7), 0u);     // (6 + 1) mod 7
    EXPECT_EQ(secondary_hash("abc", 4, 998, 1000), 2u);
}

gd_graph pool(unsigned long bytes, unsigned long slots)
{
    return allocate_gd_graph(bytes, slots, 2);
}

TEST(Pool, AddStoresOnceAndLookupFindsIt)
{
    gd_graph g = pool(64, 11);
    EXPECT_EQ(gd_add_string(&g, "main"), 0);
    EXPECT_EQ(gd_add_string(&g, "x"), 5);
    EXPECT_EQ(gd_add_string(&g, "main"), 0);
    EXPECT_EQ(g.curStringPos, 7u);
    EXPECT_EQ(gd_lookup_string(&g, "main"), 0);
    EXPECT_EQ(gd_lookup_string(&g, "x"), 5);
    EXPECT_EQ(gd_lookup_string(&g, "y"), -1);
    EXPECT_EQ(memcmp(g.stringBuffer, "main\0x\0", 7), 0);
    // A block is compared over the key's length only.
    EXPECT_EQ(gd_lookup_mem(&g, "ma", 2), -1);
    deallocate_gd_graph(g);
}

TEST(Pool, TheEmptyStringProbesFromSlotOne)
{
    gd_graph g = pool(64, 5);
    g.hashTable[1] = 99;  // a slot holding an offset that matches nothing
    g.hashTable[2] = 98;
    EXPECT_EQ(do_hash(g, "", 1), 3);
    EXPECT_EQ(gd_add_string(&g, ""), 0);
    EXPECT_EQ(g.hashTable[3], 0);
    deallocate_gd_graph(g);
}

TEST(Pool, CollidingKeysTakeTheNextSlotOfTheirProbe)
{
    // "ab" and "cb" (3 bytes) share slot (3 + 128*'a' + 16*'b') mod 4 = 3 ...
    gd_graph g = pool(64, 4);
    ASSERT_EQ(primary_hash("ab", 3, 4), primary_hash("cb", 3, 4));
    EXPECT_EQ(gd_add_string(&g, "ab"), 0);
    EXPECT_EQ(gd_add_string(&g, "cb"), 3);
    // ... and the second goes 3 slots further on.
    EXPECT_EQ(g.hashTable[(primary_hash("ab", 3, 4) + 3) % 4], 3);
    EXPECT_EQ(gd_lookup_string(&g, "cb"), 3);
    deallocate_gd_graph(g);
}

TEST(Pool, AFullProbePathIsRefusedByTheProbeAndRehashedByAdd)
{
    // 4 slots and 2-byte keys: the probe steps by 2 and sees only half the table.
    gd_graph g = pool(64, 4);
    const char *keys[] = {"a", "c", "e"};  // 'a' = 97: primary (2 + 144*97) mod 4 = 2, and so on
    ASSERT_EQ(gd_add_string(&g, keys[0]), 0);
    ASSERT_EQ(gd_add_string(&g, keys[1]), 2);
    long h = do_hash(g, keys[2], 2);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(gd_lookup_string(&g, keys[2]), -1);
    // The add moves the table to a prime size (11) where every path is whole;
    // stored strings keep their offsets.
    EXPECT_EQ(gd_add_string(&g, keys[2]), 4);
    EXPECT_EQ(g.hashTableLen, 11u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(gd_lookup_string(&g, keys[i]), 2 * i) << keys[i];
    deallocate_gd_graph(g);
}

TEST(Pool, AFullPoolGrows)
{
    gd_graph g = pool(4, 13);
    EXPECT_EQ(gd_add_string(&g, "abc"), 0);
    EXPECT_EQ(g.stringBuffLen, 4u);
    EXPECT_EQ(gd_add_string(&g, "a string longer than the pool"), 4);
    EXPECT_GE(g.stringBuffLen, g.curStringPos);
    EXPECT_EQ(g.stringBuffer[g.stringBuffLen], '\0');
    EXPECT_EQ(gd_lookup_string(&g, "abc"), 0);
    EXPECT_STREQ(string_at(&g, 4), "a string longer than the pool");
    deallocate_gd_graph(g);
}

// Leaves `more` bytes of address space to the process, from what it holds
// now: later allocations past that fail, as under `ulimit -v`.
void limit_address_space_to_now_and(unsigned long long more)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    ASSERT_NE(status, nullptr);
    char line[256];
    unsigned long long kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmSize: %llu kB", &kb) == 1) break;
    std::fclose(status);
    ASSERT_NE(kb, 0u);
    const rlimit space{kb * 1024 + more, kb * 1024 + more};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &space), 0);
}

// A pool or a hash table that memory cannot enlarge would lose the string:
// it stops the program instead, with status 1.
TEST(Pool, MemoryThatRunsOutAsThePoolOrTheTableGrowsIsAStop)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs the address space";
#endif
    EXPECT_EXIT(
        {
            gd_graph g = pool(4, 13);
            const std::string longer(32u << 20, 'x');
            limit_address_space_to_now_and(4u << 20);
            gd_add_string(&g, longer.c_str());
        },
        testing::ExitedWithCode(1), "^talvex: \\(fatal\\) no space left\n$");
    EXPECT_EXIT(
        {
            // Every slot of an even table holds the block "a", so "c" finds
            // none free on its path, and the table must move to one of about
            // twice its slots.
            gd_graph g = pool(64, 4u << 20);
            ASSERT_EQ(gd_add_string(&g, "a"), 0);
            for (uint32_t i = 0; i < g.hashTableLen; i++) g.hashTable[i] = 0;
            limit_address_space_to_now_and(4u << 20);
            gd_add_string(&g, "c");
        },
        testing::ExitedWithCode(1), "^talvex: \\(fatal\\) no space left\n$");
}

TEST(Pool, NoSlotsMeansNoString)
{
    gd_graph g = pool(16, 3);
    g.hashTableLen = 0;
    EXPECT_EQ(do_hash(g, "a", 2), -1);
    EXPECT_EQ(gd_lookup_string(&g, "a"), -1);
    EXPECT_EQ(gd_add_string(&g, "a"), -1);
    EXPECT_EQ(g.curStringPos, 0u);
    g.hashTableLen = 3;
    deallocate_gd_graph(g);
}

TEST(Pool, SlotsFromAFileThatPointNowhereMatchNothing)
{
    gd_graph g = pool(16, 7);
    for (unsigned i = 0; i < 7; i++) g.hashTable[i] = i % 2 ? 1000 : -5;
    EXPECT_EQ(gd_lookup_string(&g, "q"), -1);
    // Every slot is taken by junk: the add rebuilds the table without it.
    EXPECT_EQ(gd_add_string(&g, "q"), 0);
    EXPECT_EQ(gd_lookup_string(&g, "q"), 0);
    deallocate_gd_graph(g);
}

// A block added with gd_add_mem that holds a NUL keeps its length when a full
// probe path moves the table: it is found again, and not stored twice.
TEST(Pool, ARehashKeepsTheLengthOfEachBlock)
{
    gd_graph g = pool(64, 4);
    // Every 4-byte key has primary slot 0 and step 4 in a table of 4 slots: a
    // path of one slot, so the second such key moves the table.
    const char with_nul[] = {'a', '\0', 'b', '\0'};
    EXPECT_EQ(gd_add_mem(&g, with_nul, 4), 0);
    EXPECT_EQ(gd_add_string(&g, "cde"), 4);
    EXPECT_EQ(g.hashTableLen, 11u);
    EXPECT_EQ(gd_lookup_mem(&g, with_nul, 4), 0);
    EXPECT_EQ(gd_add_mem(&g, with_nul, 4), 0);
    EXPECT_EQ(gd_lookup_string(&g, "cde"), 4);
    EXPECT_EQ(g.curStringPos, 8u);
    deallocate_gd_graph(g);
}

// The pool answers from an index beside the table once walking the probe
// paths has cost more than building it. Whatever it answers from, every slot
// and pool byte must be what walking the file format's probe gives: each add
// and lookup is checked against the walk on a copy of the graph without the
// index.
TEST(Pool, TheIndexGivesTheSlotsThatWalkingGives)
{
    struct Case {
        const char *name;
        unsigned long slots;
        std::string pool;               // bytes already in use, as read from a file
        std::vector<int32_t> stored;    // slot contents to start with (-1 empty)
        std::vector<std::string> keys;  // added in order, then all looked up again
    } cases[] = {
        // Keys of one length sharing their first and last character all take
        // one path: the case the index exists for.
        {"one probe path", 7919, "", {}, {}},
        // A table size that shares a factor with the key length: the paths see
        // part of the table, fill up, and the table moves.
        {"full paths move the table", 1024, "", {}, {}},
        // A table from a file: slots pointing into a string (a suffix equals
        // a key), past the bytes in use (they point into strings added later),
        // junk below -1, and one string in two slots.
        {"a table from a file", 211, std::string("v100007\0abc\0", 12), {}, {}},
        // A table from a file that holds one string in nearly every slot, at
        // two offsets: the string is found where its own probe meets it first.
        {"one string in nearly every slot", 4099, std::string("x\0x\0", 4), {}, {}},
        // Slots that point into one long string, each at another byte of it:
        // too many bytes to index, so the probe walks.
        {"slots inside one long string", 1009, std::string(300, 'a') + '\0', {}, {}},
    };
    for (int k = 0; k < 3000; k++) cases[0].keys.push_back("v" + std::to_string(100000 + k));
    for (int k = 0; k < 3000; k++) cases[1].keys.push_back("n" + std::to_string(1000000 + 3 * k % 7919));
    cases[2].stored.assign(211, -1);
    cases[2].stored[3] = 8;    // "abc"
    cases[2].stored[50] = 9;   // "bc", inside "abc"
    cases[2].stored[77] = 0;   // "v100007"
    cases[2].stored[78] = 0;   // the same block again
    cases[2].stored[90] = 20;  // past the bytes in use
    cases[2].stored[91] = 100;
    cases[2].stored[99] = -7;
    for (int k = 0; k < 400; k++) cases[2].keys.push_back("v" + std::to_string(100000 + k));
    for (const char *extra : {"bc", "abc", "c", "", "100012", "0012"}) cases[2].keys.push_back(extra);
    cases[3].stored.assign(4099, -1);
    for (size_t slot = 0; slot < 4099; slot++)
        if (slot % 32 != 0) cases[3].stored[slot] = slot % 2 ? 0 : 2;
    for (int k = 0; k < 60; k++) cases[3].keys.push_back("v" + std::to_string(100000 + k));
    cases[3].keys.push_back("x");
    cases[4].stored.assign(1009, -1);
    for (size_t slot = 0; slot < 1009; slot++)
        if (slot % 16 != 0) cases[4].stored[slot] = (int32_t)(slot % 300);
    for (int k = 0; k < 40; k++) cases[4].keys.push_back("v" + std::to_string(100000 + k));
    for (const char *extra : {"a", "aaaa", "b"}) cases[4].keys.push_back(extra);

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        gd_graph g = allocate_gd_graph(c.pool.size() + 2, c.slots, 2);
        memcpy(g.stringBuffer, c.pool.data(), c.pool.size());
        g.curStringPos = (uint32_t)c.pool.size();
        for (size_t s = 0; s < c.stored.size(); s++) g.hashTable[s] = c.stored[s];

        auto walked = [&g](const std::string &key) {
            gd_graph plain = g;
            plain.poolIndex = nullptr;
            return do_hash(plain, key.c_str(), key.size() + 1);
        };
        for (const std::string &key : c.keys) {
            long slot = walked(key);
            uint32_t used = g.curStringPos;
            str_ptr expected = slot < 0 ? -2 : g.hashTable[slot] != -1 ? g.hashTable[slot] : (str_ptr)used;
            str_ptr got = gd_add_string(&g, key.c_str());
            if (slot < 0) continue;  // the table moves: the next keys check the new one
            ASSERT_EQ(got, expected) << key;
            ASSERT_EQ(g.hashTable[slot], got) << key;
        }
        for (const std::string &key : c.keys) {
            long slot = walked(key);
            ASSERT_EQ(do_hash(g, key.c_str(), key.size() + 1), slot) << key;
            ASSERT_EQ(gd_lookup_string(&g, key.c_str()), slot < 0 ? -1 : g.hashTable[slot]) << key;
        }
        for (const char *absent : {"w", "v99", "v1000000", "zz"})
            ASSERT_EQ(do_hash(g, absent, strlen(absent) + 1), walked(absent)) << absent;
        deallocate_gd_graph(g);
    }
}

}  // namespace
