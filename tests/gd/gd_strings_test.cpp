// The string pool: hash arithmetic, probing, lookup and add.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gd/graph.h"

namespace {

TEST(Hash, PrimaryWeighsFirstAndLastCharacterAsSignedBytes) {
  struct Case {
    const char *key;
    unsigned long nbytes;
    unsigned long expected;
  } cases[] = {
      {"ab", 3, 987},       // 3 + 128*97 + 16*98
      {"ba", 3, 99},        // 3 + 128*98 + 16*97 = 14099
      {"\x80", 2, 866},     // 2 - 128*128 - 16*128 wraps to 4294948866
      {"\xff" "A", 3, 915}, // 3 - 128 + 16*65
      {"A\xff", 3, 307},    // 3 + 128*65 - 16
      {"", 1, 1},           // the empty string: its NUL alone
      {"x", 0, 1},
  };
  for (const Case &c : cases) EXPECT_EQ(primary_hash(c.key, c.nbytes, 1000), c.expected) << c.key;
}

TEST(Hash, SecondaryStepsByTheKeyLength) {
  EXPECT_EQ(secondary_hash("abc", 4, 5, 7), 2u);   // (5 + 4) mod 7
  EXPECT_EQ(secondary_hash("", 1, 6, 7), 0u);      // (6 + 1) mod 7
  EXPECT_EQ(secondary_hash("abc", 4, 998, 1000), 2u);
}

gd_graph pool(unsigned long bytes, unsigned long slots) { return allocate_gd_graph(bytes, slots, 2); }

TEST(Pool, AddStoresOnceAndLookupFindsIt) {
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

TEST(Pool, TheEmptyStringProbesFromSlotOne) {
  gd_graph g = pool(64, 5);
  g.hashTable[1] = 99;  // a slot holding an offset that matches nothing
  g.hashTable[2] = 98;
  EXPECT_EQ(do_hash(g, "", 1), 3);
  EXPECT_EQ(gd_add_string(&g, ""), 0);
  EXPECT_EQ(g.hashTable[3], 0);
  deallocate_gd_graph(g);
}

TEST(Pool, CollidingKeysTakeTheNextSlotOfTheirProbe) {
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

TEST(Pool, AFullProbePathIsRefusedByTheProbeAndRehashedByAdd) {
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

TEST(Pool, AFullPoolGrows) {
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

TEST(Pool, NoSlotsMeansNoString) {
  gd_graph g = pool(16, 3);
  g.hashTableLen = 0;
  EXPECT_EQ(do_hash(g, "a", 2), -1);
  EXPECT_EQ(gd_lookup_string(&g, "a"), -1);
  EXPECT_EQ(gd_add_string(&g, "a"), -1);
  EXPECT_EQ(g.curStringPos, 0u);
  g.hashTableLen = 3;
  deallocate_gd_graph(g);
}

TEST(Pool, SlotsFromAFileThatPointNowhereMatchNothing) {
  gd_graph g = pool(16, 7);
  for (unsigned i = 0; i < 7; i++) g.hashTable[i] = i % 2 ? 1000 : -5;
  EXPECT_EQ(gd_lookup_string(&g, "q"), -1);
  // Every slot is taken by junk: the add rebuilds the table without it.
  EXPECT_EQ(gd_add_string(&g, "q"), 0);
  EXPECT_EQ(gd_lookup_string(&g, "q"), 0);
  deallocate_gd_graph(g);
}

}  // namespace
