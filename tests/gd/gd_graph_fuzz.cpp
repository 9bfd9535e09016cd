// libFuzzer target: any bytes as a gd graph file, read and then used through
// the checked accessors, the walkers, the use test, the chains, the pool and
// the allocator, as a program would use a graph from a hostile file.
// Property: a graph read writes back as the bytes read (free-list links
// aside), and no use of it leaves its buffers. Catches a reader that changes
// a pool or record byte (one that puts the pool's closing NUL on its last
// byte instead of after it) and an accessor that follows an index out of range.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_run_dir.h"
#include "gd/kind_table.h"
#include "text_form.h"

namespace {

unsigned long sink;

// The bytes gd_graph_write_binary writes for g.
std::string written(const gd_graph &g)
{
    char *text = nullptr;
    size_t length = 0;
    FILE *out = open_memstream(&text, &length);
    if (!out) abort();
    if (!gd_graph_write_binary(out, g)) abort();
    fclose(out);
    std::string bytes(text, length);
    free(text);
    return bytes;
}

// Written back, a graph just read is the file it came from, up to its last
// record (what follows is not part of the graph), but for the free-list links
// of its free records, which the reader lays anew in ascending order.
void check_written_back(const gd_graph &g, const uint8_t *data, size_t size)
{
    const std::string bytes = written(g);
    const size_t records = 4 + 4 + 4 + (size_t)g.curStringPos + 4 + 4 * (size_t)g.hashTableLen + 4 + 4;
    if (bytes.size() > size || bytes.size() != records + sizeof(gd_graph_node) * (size_t)g.curNodePos) {
        fprintf(stderr, "written back as %zu bytes from a file of %zu\n", bytes.size(), size);
        abort();
    }
    for (size_t at = 0; at < bytes.size(); at++) {
        if ((uint8_t)bytes[at] == data[at]) continue;
        if (at >= records) {
            const size_t i = (at - records) / sizeof(gd_graph_node),
                         in_record = (at - records) % sizeof(gd_graph_node);
            const bool free_link =
                g.nodeBuffer[i].common.type == NODE_DELTED && in_record >= 4 && in_record < 8;
            if (free_link) continue;
        }
        fprintf(stderr, "byte %zu written back as 0x%02x, read as 0x%02x\n", at, (uint8_t)bytes[at],
                data[at]);
        abort();
    }
}

void follow(gd_graph *g, node_ptr, node_ptr *field, int n)
{
    sink += kind_of(g, *field) + n;
}

// The store ends the program on purpose for some kinds (the use test and the
// chain link of a kind that has none); here that end refuses the input.
struct designed_exit {
    int status;
};

[[noreturn]] void throw_designed_exit(int status)
{
    throw designed_exit{status};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    gd_set_fatal_handler(throw_designed_exit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = fuzz_run_dir::file("in.gd");
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    gd_graph g = gd_graph_read_binary_file(path.c_str());
    // The reader has taken the whole file into memory.
    unlink(path.c_str());
    if (!g.nodeBuffer) return 0;
    check_written_back(g, data, size);

    for (uint32_t i = 0; i < g.curNodePos; i++) {
        int kind = kind_of(&g, (node_ptr)i);
        sink += strlen(gd_kind_name(kind));
        if (const gd_kind_info *k = gd_kind_info_of(kind)) {
            for (int fi = 0; fi < k->nfields; fi++) {
                const gd_field &fd = k->fields[fi];
                if (fd.type == GD_FT_NODES) continue;
                int64_t v = gd_field_get(&g.nodeBuffer[i], &fd);
                if (fd.type == GD_FT_STR)
                    if (const char *s = string_at(&g, (str_ptr)v)) sink += strlen(s);
                if (fd.type == GD_FT_NODE) sink += kind_of(&g, (node_ptr)v);
            }
        }
        try {
            sink += nodeUses(g, (node_ptr)i, 0);
        } catch (const designed_exit &) {
        }
        try {
            sink += nextNode(&g, (node_ptr)i);
        } catch (const designed_exit &) {
        }
    }
    walk_ptrs(&g, follow);
    for (uint32_t h = 0; h < g.hashTableLen; h++)
        if (const char *s = string_at(&g, g.hashTable[h])) sink += gd_lookup_string(&g, s);
    sink += gd_text_dump(&g).size();

    // Changing the graph: a string, a freed and a new node, a member arc.
    sink += gd_add_string(&g, "fuzz");
    if (g.curNodePos) gd_free_node(&g, (node_ptr)(data[size - 1] % g.curNodePos));
    node_ptr n = newNode(&g);
    gd_clear_node(&g, n, dC_OBJECT);
    addToScope(&g, g.firstNode, n);

    FILE *out = fopen("/dev/null", "wb");
    gd_graph_write_binary(out, g);
    fclose(out);
    deallocate_gd_graph(g);
    return 0;
}
