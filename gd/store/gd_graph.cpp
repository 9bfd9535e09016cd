// The gd graph file: reader, writer, and the constructor and destructor of
// a graph.
//
// The file is a little-endian image of the graph's three arrays behind a short
// header; the records inside are copied as opaque 72-byte blocks.
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gd/graph.h"
#include "gd/big_buffers.h"
#include "support/input_file.h"
#include "support/output_file.h"

const char gd_magic[4] = {'g', 'd', 'u', 'f'};

gd_graph gd_empty_graph(void)
{
    gd_graph g{};
    g.firstNode = -1;
    g.firstFreeNode = -1;
    return g;
}

void deallocate_gd_graph(gd_graph g)
{
    gd_big_free(g.stringBuffer);
    gd_big_free(g.hashTable);
    gd_big_free(g.nodeBuffer);
    gd_pool_index_release(g.poolIndex);
    gd_free_set_release(g.freeSet);
}

gd_graph allocate_gd_graph(unsigned long StringSize, unsigned long HashSize, unsigned long GraphSize)
{
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
//
// The reader is a driver over the file's parts in their order: the header
// (magic and version), the string pool, the hash table and the nodes (the
// root and the records). Each phase reads its part into the graph or says
// why the file is refused and fails; the driver then releases what the
// earlier phases read.

namespace {

// An open input file with the number of bytes not yet read, so that a count
// from the file can be checked against what the file holds before anything
// is allocated for it. Bytes come with read(2) straight into the graph's
// buffers; a read error ends the phase that met it with that phase's
// message, as a short file does: either way the file is refused.
struct input {
    support::InputFile file;
    const char *name;
    uint64_t left;  // bytes not yet read; UINT64_MAX when the size is unknown

    explicit input(const char *filename) : name(filename)
    {
        file.open(filename);
        left = file.size();
    }
};

// Reads up to `bytes` bytes; the number read, short only at the end of the
// file or at a read error.
uint64_t read_bytes(input &in, void *to, uint64_t bytes)
{
    const uint64_t got = bytes <= SIZE_MAX ? in.file.read(to, (size_t)bytes) : 0;
    if (in.left != UINT64_MAX) in.left -= got < in.left ? got : in.left;
    return got;
}

bool read_exact(input &in, void *to, size_t size, size_t count)
{
    return read_bytes(in, to, (uint64_t)size * count) == (uint64_t)size * count;
}

bool fits(const input &in, uint64_t bytes)
{
    return in.left == UINT64_MAX || bytes <= in.left;
}

// Says on standard error why the file is refused; false, for the phase to
// return.
[[gnu::format(printf, 1, 2)]] bool refuse(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    return false;
}

// A counted part of the file: a 32-bit count, then that many items. Each of
// its messages is given the file name, the whole items the file holds and
// the count, and names as many of them, in that order, as it says.
struct counted_part {
    size_t item_bytes;
    const char *no_count;   // the count is missing
    const char *cut_short;  // the file holds fewer items than the count
    const char *no_memory;  // no buffer for the items
};

constexpr counted_part pool_part{1, "Error reading string buffer length from %s\n",
                                 "Error reading string buffer from %s\n",
                                 "Could not allocate string buffer when reading %s\n"};
constexpr counted_part table_part{4, "Error reading hash table length from %s\n",
                                  "Error reading hash table from %s\n",
                                  "Could not allocate hash table reading from file %s\n"};
constexpr counted_part records_part{sizeof(gd_graph_node), "Error reading node buffer length from %s\n",
                                    "Error reading node buffer from %s(%d,%ld)\n",
                                    "Error allocating node buffer"};

// Reads a counted part: its count into *count and its items into a new
// buffer with `spare` bytes after them, which it returns; nullptr, after the
// part's message, when the file does not hold the part whole. A count beyond
// what is left of the file is refused before anything is allocated for it.
void *read_counted(input &in, const counted_part &part, uint32_t *count, size_t spare)
{
    *count = 0;
    auto refuse_part = [&](const char *format, uint64_t bytes_held) -> void * {
        fprintf(stderr, format, in.name, (int)(bytes_held / part.item_bytes), (long)*count);
        return nullptr;
    };
    if (!read_exact(in, count, 4, 1)) return refuse_part(part.no_count, 0);
    const uint64_t bytes = (uint64_t)*count * part.item_bytes;
    if (!fits(in, bytes)) return refuse_part(part.cut_short, in.left);
    void *items = gd_big_alloc(bytes + spare);
    if (!items) return refuse_part(part.no_memory, 0);
    const uint64_t got = read_bytes(in, items, bytes);
    if (got != bytes) {
        gd_big_free(items);
        return refuse_part(part.cut_short, got);
    }
    return items;
}

bool read_header(input &in)
{
    char magic[4];
    if (!read_exact(in, magic, 1, 4)) return refuse("Error reading magic from %s\n", in.name);
    if (memcmp(magic, gd_magic, 4) != 0)
        return refuse("%s: Wrong file format, magic does not match\n", in.name);
    uint16_t version[2];
    if (!read_exact(in, version, 2, 2)) return refuse("Error reading version from %s\n", in.name);
    if (version[0] != gd_major_version)
        return refuse("Major version %d in file %s does not match current version %d\n", version[0], in.name,
                      gd_major_version);
    if (version[1] != gd_minor_version)
        return refuse("Minor version %d in file %s is newer than current version %d\n", version[1], in.name,
                      gd_minor_version);
    return true;
}

bool read_pool(input &in, gd_graph &g)
{
    uint32_t bytes;
    g.stringBuffer = (char *)read_counted(in, pool_part, &bytes, 1);
    if (!g.stringBuffer) return false;
    // The byte after the pool is a NUL, so that every stored string ends even
    // when the file's last string does not.
    g.stringBuffer[bytes] = '\0';
    g.stringBuffLen = g.curStringPos = bytes;
    return true;
}

bool read_table(input &in, gd_graph &g)
{
    uint32_t slots;
    g.hashTable = (int32_t *)read_counted(in, table_part, &slots, 0);
    if (!g.hashTable) return false;
    g.hashTableLen = slots;
    return true;
}

bool read_nodes(input &in, gd_graph &g)
{
    if (!read_exact(in, &g.firstNode, 4, 1)) return refuse("Error reading first node from %s\n", in.name);
    uint32_t records;
    g.nodeBuffer = (gd_graph_node *)read_counted(in, records_part, &records, 0);
    if (!g.nodeBuffer) return false;
    g.nodeBuffLen = g.curNodePos = records;
    return true;
}

gd_graph read_graph(const char *filename, bool with_free_list)
{
    input in(filename);
    if (in.file.failed()) {
        refuse("Could not open %s for binary read\n", filename);
        return gd_empty_graph();
    }
    gd_graph g = gd_empty_graph();
    if (!(read_header(in) && read_pool(in, g) && read_table(in, g) && read_nodes(in, g))) {
        deallocate_gd_graph(g);
        return gd_empty_graph();
    }
    if (with_free_list) gd_make_freelist(&g);
    return g;
}

}  // namespace

gd_graph gd_graph_read_binary_file(const char *filename)
{
    return read_graph(filename, true);
}

gd_graph gd_graph_read_binary_file_to_inspect(const char *filename)
{
    return read_graph(filename, false);
}

// ---------------------------------------------------------------------------
// Writing

namespace {

// One step of the writer: `count` items of `size` bytes, or the step's
// message. A buffer that the record says holds items but is missing counts
// as a failed write, not as a crash.
bool write_step(FILE *f, const void *from, size_t size, size_t count, const char *message)
{
    if (count == 0) return true;
    if (from && fwrite(from, size, count, f) == count) return true;
    fprintf(stderr, "%s\n", message);
    return false;
}

}  // namespace

gd_success gd_graph_write_binary(FILE *f, gd_graph g)
{
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

gd_success gd_graph_write_binary_file(const char *filename, gd_graph g)
{
    // The graph goes to a temporary beside the file, which replaces the file
    // only once whole: a full disk, a stop or a kill leaves the old file.
    support::OutputFile out;
    FILE *f = out.open(filename) ? out.stream() : nullptr;
    if (!f) {
        fprintf(stderr, "Could not open %s for binary write\n", filename);
        // Where the folder is to blame, the file's name alone would puzzle.
        const std::string folder = out.failure().folderReason();
        if (!folder.empty()) fprintf(stderr, "%s: %s\n", filename, folder.c_str());
        out.discard();
        return 0;
    }
    if (!gd_graph_write_binary(f, g)) {
        out.discard();
        return 0;
    }
    // Buffered bytes reach the disk only at the flush or the close, where a
    // full disk shows up.
    if (!out.keep()) {
        fprintf(stderr, "Error writing %s\n", filename);
        return 0;
    }
    return 1;
}
