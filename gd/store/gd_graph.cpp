// The gd graph file: reader, writer, and the constructor and destructor of
// a graph.
//
// The file is a little-endian image of the graph's three arrays behind a short
// header; the records inside are copied as opaque 72-byte blocks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gd/graph.h"
#include "gd/output_file.h"
#include "gd/big_buffers.h"

const char gd_magic[4] = {'g', 'd', 'u', 'f'};

gd_graph gd_empty_graph(void) {
  gd_graph g;
  memset(&g, 0, sizeof g);
  g.firstNode = -1;
  g.firstFreeNode = -1;
  return g;
}

void deallocate_gd_graph(gd_graph g) {
  free(g.stringBuffer);
  free(g.hashTable);
  free(g.nodeBuffer);
  gd_pool_index_release(g.poolIndex);
  gd_free_set_release(g.freeSet);
}

gd_graph allocate_gd_graph(unsigned long StringSize, unsigned long HashSize, unsigned long GraphSize) {
  if (StringSize <= 1 || HashSize <= 1 || GraphSize <= 1) return gd_empty_graph();
  if (StringSize >= UINT32_MAX || HashSize > UINT32_MAX || GraphSize > UINT32_MAX) return gd_empty_graph();
  gd_graph g = gd_empty_graph();
  // One byte more than the capacity: the pool always ends with a NUL.
  g.stringBuffer = (char *)gd_big_alloc(StringSize + 1);
  g.hashTable = (int32_t *)gd_big_alloc(HashSize * sizeof(int32_t));
  g.nodeBuffer = (gd_graph_node *)gd_big_alloc(GraphSize * sizeof(gd_graph_node));
  if (!g.stringBuffer || !g.hashTable || !g.nodeBuffer) {
    deallocate_gd_graph(g);
    return gd_empty_graph();
  }
  memset(g.stringBuffer, 0, StringSize + 1);
  memset(g.nodeBuffer, 0, GraphSize * sizeof(gd_graph_node));
  g.stringBuffLen = (uint32_t)StringSize;
  g.hashTableLen = (uint32_t)HashSize;
  g.nodeBuffLen = (uint32_t)GraphSize;
  for (unsigned long i = 0; i < HashSize; i++) g.hashTable[i] = -1;
  // Every record written out free, so that a caller may give the graph a
  // curNodePos of its own.
  for (unsigned long i = 0; i < GraphSize; i++) {
    g.nodeBuffer[i].common.type = NODE_DELTED;
    g.nodeBuffer[i].common.other_node = i + 1 < GraphSize ? (node_ptr)(i + 1) : -1;
  }
  g.firstFreeNode = 0;
  return g;
}

// ---------------------------------------------------------------------------
// Reading

namespace {

// An open input file with the number of bytes not yet read, so that a count
// from the file can be checked against what the file holds before anything
// is allocated for it. Bytes come with read(2) straight into the graph's
// buffers; a read error ends the step that met it like a short file does.
struct input {
  int fd;
  const char *name;
  uint64_t left;   // bytes not yet read; UINT64_MAX when the size is unknown
};

// Reads up to `bytes` bytes; the number read, short only at the end of the
// file or at a read error.
uint64_t read_bytes(input &in, void *to, uint64_t bytes) {
  uint64_t got = 0;
  while (got < bytes) {
    // One call takes at most about 2 GB.
    const size_t chunk = bytes - got < (1u << 30) ? (size_t)(bytes - got) : (size_t)1 << 30;
    ssize_t n = read(in.fd, (char *)to + got, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += (uint64_t)n;
  }
  if (in.left != UINT64_MAX) in.left -= got < in.left ? got : in.left;
  return got;
}

bool read_exact(input &in, void *to, size_t size, size_t count) {
  return read_bytes(in, to, (uint64_t)size * count) == (uint64_t)size * count;
}

bool read_u32(input &in, uint32_t *v) { return read_exact(in, v, 4, 1); }

bool fits(const input &in, uint64_t bytes) { return in.left == UINT64_MAX || bytes <= in.left; }

gd_graph fail(input &in, gd_graph g) {
  close(in.fd);
  deallocate_gd_graph(g);
  return gd_empty_graph();
}

gd_graph read_graph(const char *filename, bool with_free_list) {
  gd_graph g = gd_empty_graph();
  int fd = open(filename, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    fprintf(stderr, "Could not open %s for binary read\n", filename);
    return g;
  }
  input in{fd, filename, UINT64_MAX};
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) in.left = (uint64_t)st.st_size;

  char magic[4];
  if (!read_exact(in, magic, 1, 4)) {
    fprintf(stderr, "Error reading magic from %s\n", filename);
    return fail(in, g);
  }
  if (memcmp(magic, gd_magic, 4) != 0) {
    fprintf(stderr, "%s: Wrong file format, magic does not match\n", filename);
    return fail(in, g);
  }

  uint16_t version[2];
  if (!read_exact(in, version, 2, 2)) {
    fprintf(stderr, "Error reading version from %s\n", filename);
    return fail(in, g);
  }
  if (version[0] != gd_major_version) {
    fprintf(stderr, "Major version %d in file %s does not match current version %d\n", version[0], filename,
            gd_major_version);
    return fail(in, g);
  }
  if (version[1] != gd_minor_version) {
    fprintf(stderr, "Minor version %d in file %s is newer than current version %d\n", version[1], filename,
            gd_minor_version);
    return fail(in, g);
  }

  uint32_t S;
  if (!read_u32(in, &S)) {
    fprintf(stderr, "Error reading string buffer length from %s\n", filename);
    return fail(in, g);
  }
  if (!fits(in, S)) {
    fprintf(stderr, "Error reading string buffer from %s\n", filename);
    return fail(in, g);
  }
  g.stringBuffer = (char *)gd_big_alloc((uint64_t)S + 1);
  if (!g.stringBuffer) {
    fprintf(stderr, "Could not allocate string buffer when reading %s\n", filename);
    return fail(in, g);
  }
  // The byte after the pool is a NUL, so that every stored string ends even
  // when the file's last string does not.
  g.stringBuffer[S] = '\0';
  g.stringBuffLen = g.curStringPos = S;
  if (!read_exact(in, g.stringBuffer, 1, S)) {
    fprintf(stderr, "Error reading string buffer from %s\n", filename);
    return fail(in, g);
  }

  uint32_t H;
  if (!read_u32(in, &H)) {
    fprintf(stderr, "Error reading hash table length from %s\n", filename);
    return fail(in, g);
  }
  if (!fits(in, (uint64_t)H * 4)) {
    fprintf(stderr, "Error reading hash table from %s\n", filename);
    return fail(in, g);
  }
  g.hashTable = (int32_t *)gd_big_alloc((uint64_t)H * sizeof(int32_t));
  if (!g.hashTable) {
    fprintf(stderr, "Could not allocate hash table reading from file %s\n", filename);
    return fail(in, g);
  }
  g.hashTableLen = H;
  if (!read_exact(in, g.hashTable, 4, H)) {
    fprintf(stderr, "Error reading hash table from %s\n", filename);
    return fail(in, g);
  }

  if (!read_exact(in, &g.firstNode, 4, 1)) {
    fprintf(stderr, "Error reading first node from %s\n", filename);
    return fail(in, g);
  }

  uint32_t N;
  if (!read_u32(in, &N)) {
    fprintf(stderr, "Error reading node buffer length from %s\n", filename);
    return fail(in, g);
  }
  if (!fits(in, (uint64_t)N * sizeof(gd_graph_node))) {
    // Report the whole records the file does hold, as a short read would.
    fprintf(stderr, "Error reading node buffer from %s(%d,%ld)\n", filename,
            (int)(in.left / sizeof(gd_graph_node)), (long)N);
    return fail(in, g);
  }
  g.nodeBuffer = (gd_graph_node *)gd_big_alloc((uint64_t)N * sizeof(gd_graph_node));
  if (!g.nodeBuffer) {
    fprintf(stderr, "Error allocating node buffer");
    return fail(in, g);
  }
  g.nodeBuffLen = g.curNodePos = N;
  const uint64_t got = read_bytes(in, g.nodeBuffer, (uint64_t)N * sizeof(gd_graph_node));
  if (got != (uint64_t)N * sizeof(gd_graph_node)) {
    fprintf(stderr, "Error reading node buffer from %s(%d,%ld)\n", filename, (int)(got / sizeof(gd_graph_node)),
            (long)N);
    return fail(in, g);
  }

  if (with_free_list) gd_make_freelist(&g);
  close(fd);
  return g;
}

}  // namespace

gd_graph gd_graph_read_binary_file(const char *filename) { return read_graph(filename, true); }

gd_graph gd_graph_read_binary_file_to_inspect(const char *filename) { return read_graph(filename, false); }

// ---------------------------------------------------------------------------
// Writing

namespace {

// One step of the writer: `count` items of `size` bytes, or the step's
// message. A buffer that the record says holds items but is missing counts
// as a failed write, not as a crash.
bool write_step(FILE *f, const void *from, size_t size, size_t count, const char *message) {
  if (count == 0) return true;
  if (from && fwrite(from, size, count, f) == count) return true;
  fprintf(stderr, "%s\n", message);
  return false;
}

}  // namespace

int gd_graph_write_binary(FILE *f, gd_graph g) {
  const uint16_t version[2] = {gd_major_version, gd_minor_version};
  const uint32_t N = g.curNodePos;
  return write_step(f, gd_magic, 1, 4, "Error writing magic") &&
         write_step(f, version, 2, 2, "Error writing version") &&
         write_step(f, &g.curStringPos, 4, 1, "Error writing string buffer length") &&
         write_step(f, g.stringBuffer, 1, g.curStringPos, "Error writing string buffer") &&
         write_step(f, &g.hashTableLen, 4, 1, "Error writing hash table length") &&
         write_step(f, g.hashTable, 4, g.hashTableLen, "Error writing hash table") &&
         write_step(f, &g.firstNode, 4, 1, "Error writing first node") &&
         write_step(f, &N, 4, 1, "Error writing node buffer length") &&
         write_step(f, g.nodeBuffer, sizeof(gd_graph_node), N, "Error writing node buffer");
}

int gd_graph_write_binary_file(const char *filename, gd_graph g) {
  // The graph goes to a temporary beside the file, which replaces the file
  // only once whole: a full disk, a stop or a kill leaves the old file.
  gd_output *out = gd_output_open(filename);
  if (!out) {
    fprintf(stderr, "Could not open %s for binary write\n", filename);
    return 0;
  }
  if (!gd_graph_write_binary(gd_output_stream(out), g)) {
    gd_output_discard(out);
    return 0;
  }
  // Buffered bytes reach the disk only at the flush or the close, where a
  // full disk shows up.
  if (!gd_output_commit(out)) {
    fprintf(stderr, "Error writing %s\n", filename);
    return 0;
  }
  return 1;
}
