// The string pool: strings stored back to back with their NULs, indexed by an
// open-addressing hash table with double hashing.
//
// The hash table is stored in the gd graph file as it stands, so the hash
// arithmetic below is file format: every program must probe a table the way
// the program that filled it did.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gd/graph.h"

namespace {

// A key byte counts as a signed byte, sign-extended, in 32-bit arithmetic.
uint32_t signed_byte(char c) { return (uint32_t)(int32_t)(signed char)c; }

}  // namespace

unsigned long primary_hash(const char *inString, unsigned long nbytes, unsigned long tableSize) {
  if (nbytes < 2) return 1;
  uint32_t h = (uint32_t)nbytes + 128u * signed_byte(inString[0]) + 16u * signed_byte(inString[nbytes - 2]);
  return h % (uint32_t)tableSize;
}

unsigned long secondary_hash(const char *, unsigned long nbytes, unsigned long prev, unsigned long tableSize) {
  uint32_t step = nbytes < 2 ? 1u : (uint32_t)nbytes;
  return ((uint32_t)prev + step) % (uint32_t)tableSize;
}

namespace {

// The stored block at `off` equals the key when its first nbytes bytes do; a
// block that would run past the bytes in use (or an offset from a file that
// points nowhere) equals nothing.
bool block_equals(const gd_graph &g, int32_t off, const char *key, unsigned long nbytes) {
  if (off < 0 || (uint64_t)off + nbytes > g.curStringPos) return false;
  return memcmp(g.stringBuffer + off, key, nbytes) == 0;
}

}  // namespace

long do_hash(gd_graph g, const char *string, unsigned long nbytes) {
  if (g.hashTableLen == 0) return -1;
  // primary_hash gives 1 for the shortest keys whatever the table size; a
  // table of one slot read from a file must not be indexed at 1.
  unsigned long h0 = primary_hash(string, nbytes, g.hashTableLen) % g.hashTableLen;
  int32_t slot = g.hashTable[h0];
  if (slot == -1 || block_equals(g, slot, string, nbytes)) return (long)h0;
  unsigned long h = h0;
  for (;;) {
    h = secondary_hash(string, nbytes, h, g.hashTableLen);
    slot = g.hashTable[h];
    if (slot == -1 || block_equals(g, slot, string, nbytes)) return (long)h;
    if (h == h0) return -1;
  }
}

str_ptr gd_lookup_mem(gd_graph *g, const char *string, unsigned long nbytes) {
  long h = do_hash(*g, string, nbytes);
  if (h < 0) return -1;
  return g->hashTable[h];
}

str_ptr gd_lookup_string(gd_graph *g, const char *string) {
  return gd_lookup_mem(g, string, strlen(string) + 1);
}

namespace {

bool is_prime(uint64_t n) {
  if (n < 2) return false;
  for (uint64_t d = 2; d * d <= n; d++)
    if (n % d == 0) return false;
  return true;
}

uint64_t next_prime(uint64_t n) {
  while (!is_prime(n)) n++;
  return n;
}

// Refills the hash table at `slots` slots from the blocks the old one indexes
// (as strings: a block ends at its NUL). False when a block finds no slot or
// memory runs out; the graph is then unchanged.
bool rehash_into(gd_graph *g, uint64_t slots) {
  if (slots > UINT32_MAX) return false;
  int32_t *table = (int32_t *)malloc(slots * sizeof(int32_t));
  if (!table) return false;
  for (uint64_t i = 0; i < slots; i++) table[i] = -1;
  gd_graph probe = *g;
  probe.hashTable = table;
  probe.hashTableLen = (uint32_t)slots;
  for (uint32_t i = 0; i < g->hashTableLen; i++) {
    int32_t off = g->hashTable[i];
    if (off < 0 || (uint32_t)off >= g->curStringPos) continue;  // nothing stored there
    const char *block = g->stringBuffer + off;
    unsigned long nbytes = strnlen(block, g->curStringPos - off) + 1;
    long h = do_hash(probe, block, nbytes);
    if (h < 0) {
      free(table);
      return false;
    }
    table[h] = off;
  }
  free(g->hashTable);
  g->hashTable = table;
  g->hashTableLen = (uint32_t)slots;
  return true;
}

// A key whose probe path is full: the table moves to a larger prime size,
// where every probe path visits every slot (the probe step is the key's
// length, which then shares no factor with the size).
bool enlarge_hash_table(gd_graph *g) {
  uint64_t slots = next_prime(2 * (uint64_t)g->hashTableLen + 1);
  while (slots <= UINT32_MAX) {
    if (rehash_into(g, slots)) return true;
    slots = next_prime(2 * slots + 1);
  }
  return false;
}

[[noreturn]] void pool_is_full(const gd_graph *g, const char *key, unsigned long nbytes) {
  fprintf(stderr, "string buffer is too full (%ld/%ld) to add string ", (long)g->curStringPos,
          (long)g->stringBuffLen);
  if (nbytes > 30) fputs("beginning ", stderr);
  fputc('"', stderr);
  for (unsigned long i = 0; i < nbytes && i < 31 && key[i] != '\0'; i++) fprintf(stderr, "%c", key[i]);
  fputs(nbytes > 30 ? "..." : "\"", stderr);
  fputs("\n", stderr);
  gd_fatal(-1);
}

// Makes room for nbytes more bytes in the pool; offsets stay valid.
bool grow_pool(gd_graph *g, unsigned long nbytes) {
  uint64_t need = (uint64_t)g->curStringPos + nbytes;
  uint64_t capacity = 2 * (uint64_t)g->stringBuffLen;
  if (capacity < need) capacity = need;
  if (capacity >= UINT32_MAX) return false;
  char *pool = (char *)realloc(g->stringBuffer, capacity + 1);
  if (!pool) return false;
  memset(pool + g->stringBuffLen, 0, capacity + 1 - g->stringBuffLen);
  g->stringBuffer = pool;
  g->stringBuffLen = (uint32_t)capacity;
  return true;
}

}  // namespace

str_ptr gd_add_mem(gd_graph *g, const char *newstring, unsigned long nbytes) {
  if (g->hashTableLen == 0) return -1;
  long h = do_hash(*g, newstring, nbytes);
  while (h < 0) {
    if (!enlarge_hash_table(g)) return -1;
    h = do_hash(*g, newstring, nbytes);
  }
  if (g->hashTable[h] != -1) return g->hashTable[h];
  if (g->stringBuffLen - g->curStringPos < nbytes && !grow_pool(g, nbytes)) pool_is_full(g, newstring, nbytes);
  str_ptr at = (str_ptr)g->curStringPos;
  memcpy(g->stringBuffer + at, newstring, nbytes);
  g->curStringPos += (uint32_t)nbytes;
  g->hashTable[h] = at;
  return at;
}

str_ptr gd_add_string(gd_graph *g, const char *newstring) {
  return gd_add_mem(g, newstring, strlen(newstring) + 1);
}
