// libFuzzer target: any bytes as a gd graph file, run as the programs run
// it. When the bytes read as a graph, the GXL document, the node dump and
// the used-by list of its root are written from it; then the chain of
// talvexf runs on it, whole or from a later step as the single-filter
// programs would run it, and when every step went on the result is written,
// read back and exported the same way, as graphxml and nodepeek would see
// talvexf's output.
// Property: after every step the graph holds at most what the chain may make
// of the unit as read: a fixed factor of its records for the conversions; a
// few nodes per node passed for the walks that copy on a healthy unit, each
// of which passes at most as many nodes as the unit held; and, from the
// damage on, the allowance of a damaged unit's walks, which the fatal stop
// keeps (one walk's last step may pass it). Catches growth that the walks do
// not count: a walk that enters the nodes the filters made (through a link
// to a free record, or past the last one) without being found damaged, so
// that walks copying what earlier walks made compound from walk to walk and
// step to step.
//
// A filter or the store may end the program on purpose after its message
// (an unknown node kind, no memory); here such an end counts as a refused
// input: the fatal handler throws, and the input's graph is released.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gd/filters/chain.h>

#include "gd/big_buffers.h"
#include "gd/export/gxl.h"
#include "gd/export/node_dump.h"
#include "gd/export/used_by.h"
#include "../fuzz_run_dir.h"
#include "arcs_and_chains.h"

namespace {

struct designed_exit {
    int status;
};

[[noreturn]] void throw_designed_exit(int status)
{
    throw designed_exit{status};
}

FILE *null_stream()
{
    static FILE *f = fopen("/dev/null", "w");
    if (!f) abort();
    return f;
}

// What graphxml, nodepeek and refwho write from a graph.
void export_graph(const gd_graph *g)
{
    FILE *out = null_stream();
    gxl::write_gxl_document(out, out, g, "fuzz");
    peek::print_graph_header(out, g);
    for (uint32_t i = 0; i < g->curNodePos; i++) peek::doNode(out, out, g, (node_ptr)i);
    refwho::print_users(out, g, g->firstNode);
}

// Leaves the pool and the node buffer exactly full, with the free list in
// ascending order, as the reader leaves them: the next allocation of nodes
// or strings then moves its buffer, so that a record address kept across
// it shows up as a use after free.
void fill_to_capacity(gd_graph *g)
{
    if (g->curNodePos == 0) return;
    void *nodes = gd_big_realloc(g->nodeBuffer, (size_t)g->curNodePos * sizeof(gd_graph_node));
    char *pool = (char *)gd_big_realloc(g->stringBuffer, (size_t)g->curStringPos + 1);
    if (!nodes || !pool) abort();
    pool[g->curStringPos] = '\0';
    g->nodeBuffer = (gd_graph_node *)nodes;
    g->nodeBuffLen = g->curNodePos;
    g->stringBuffer = pool;
    g->stringBuffLen = g->curStringPos;
    gd_make_freelist(g);
}

// The records of g that are not free.
uint64_t live_nodes(const gd_graph *g)
{
    uint64_t live = 0;
    for (uint32_t i = 0; i < g->curNodePos; i++) live += g->nodeBuffer[i].common.type != NODE_DELTED;
    return live;
}

// What the chain may make of a unit of `records` records. The conversions
// make a few nodes for each node they convert, over all 41 steps at most the
// old fixed allowance of sixteen per record and 1024. A walk that copies
// makes at most four nodes per node it passes (a shared formal, its type and
// scope arcs, the list arc), passes at most `records` nodes before it counts
// as damaged, and each record read owns at most a few such walks when it is
// converted (a function: its exceptions, initialisers and formals; a for
// loop: its initialisers and body): `copying_walks_per_record`.
// What the walks make once the unit is damaged is counted, and may pass
// growth_walk's limit by one walk's last step, four nodes.
constexpr uint64_t conversion_factor = 16;
constexpr uint64_t conversion_slack = 1024;
constexpr uint64_t nodes_per_walk_step = 4;
constexpr uint64_t copying_walks_per_record = 4;

uint64_t damaged_growth_allowed(uint64_t records)
{
    return growth_walk::damaged_growth_per_record * records + growth_walk::damaged_growth_slack +
           nodes_per_walk_step;
}

uint64_t allowed(uint64_t records)
{
    return records + conversion_factor * records + conversion_slack +
           copying_walks_per_record * records * records * nodes_per_walk_step +
           damaged_growth_allowed(records);
}

// The records of a graph bound both its memory and the file written from it;
// the live nodes are among them, and the free records that a step leaves are
// what it made and released.
bool within(const gd_graph *g, const char *step, uint64_t records)
{
    if (g->chain.damagedGrowth > damaged_growth_allowed(records)) {
        fprintf(stderr, "%s: the walks of a damaged unit of %llu records made %llu nodes, past %llu\n", step,
                (unsigned long long)records, (unsigned long long)g->chain.damagedGrowth,
                (unsigned long long)damaged_growth_allowed(records));
        return false;
    }
    if (g->curNodePos <= allowed(records)) return true;
    fprintf(stderr, "%s: the graph grew from %llu records read to %u records (%llu live nodes), past %llu\n",
            step, (unsigned long long)records, g->curNodePos, (unsigned long long)live_nodes(g),
            (unsigned long long)allowed(records));
    return false;
}

// Runs the chain from step `first` on, one step at a time, each from buffers
// left exactly full, on one graph as talvexf does (from a later step, as the
// single-filter programs start from any file a user hands them), and stops the fuzzer
// at a step that grows the graph past the chain's bound.
// A `first` past the chain runs gd_regular_filter, which only its own
// program runs.
bool run_chain(gd_graph *g, size_t first)
{
    static const filter_step regular[] = {FILTER_STEP(gd_regular)};
    std::span<const filter_step> steps = regular;
    if (first < talvex_chain_length) steps = talvex_chain().subspan(first);
    const uint64_t records_read = g->curNodePos;
    for (const filter_step &step : steps) {
        fill_to_capacity(g);
        const bool went_on = run_steps(g, std::span(&step, 1), step_report::errors_only);
        if (!within(g, step.name, records_read)) abort();
        if (!went_on) return false;
    }
    return true;
}

// Exports the graph, then runs the chain on it from step `first_step` and,
// when every step went on, writes the result to `result_path` and exports
// it as read back.
void run_like_the_programs(gd_graph *g, size_t first_step, const std::string &result_path)
{
    export_graph(g);
    if (!run_chain(g, first_step)) return;
    if (!gd_graph_write_binary_file(result_path.c_str(), *g)) return;
    gd_graph result = gd_graph_read_binary_file(result_path.c_str());
    if (result.curStringPos != 0) export_graph(&result);
    deallocate_gd_graph(result);
}

// Where the node records of a gd graph file lie: after the 4-byte magic, the
// version, the pool and the hash slots come firstNode and the record count.
struct record_area {
    size_t first = 0;  // offset of record 0
    uint32_t count = 0;
    size_t count_at = 0;  // offset of the record count
    size_t slots_at = 0;  // offset of the hash slot count
    uint32_t slots = 0;
};

bool find_records(const uint8_t *data, size_t size, record_area *area)
{
    auto word = [&](size_t at, uint32_t *v) {
        if (at + 4 > size) return false;
        memcpy(v, data + at, 4);
        return true;
    };
    uint32_t pool = 0, slots = 0;
    if (!word(8, &pool)) return false;
    uint64_t at = 12 + (uint64_t)pool;
    if (at > size || !word(at, &slots)) return false;
    area->slots_at = at;
    area->slots = slots;
    at += 4 + 4 * (uint64_t)slots + 4;
    if (at > size || !word(at, &area->count)) return false;
    area->count_at = at;
    area->first = at + 4;
    if ((uint64_t)area->first + 72 * (uint64_t)area->count > size) return false;
    return area->count > 0;
}

// How far past the last record a changed link may point: such records are
// free when a filter starts, so a walk that follows the link may meet a node
// it made itself.
constexpr uint32_t links_past_the_records = 16;

// One change that keeps the file a graph: a link field of one record pointed
// at another record, at none or at a record past the last, a record given
// another record's kind, a record copied over another, a record appended as
// a copy of one, or the hash table cut short (so that adding strings must
// enlarge it).
size_t mutate_records(uint8_t *data, size_t size, size_t max_size, unsigned seed)
{
    record_area area;
    if (!find_records(data, size, &area)) return 0;
    std::minstd_rand pick(seed);
    auto record = [&](uint32_t r) { return data + area.first + 72 * (size_t)r; };
    const uint32_t r = pick() % area.count, other = pick() % area.count;
    switch (pick() % 6) {
    case 5: {
        uint32_t keep = pick() % (area.slots + 1);
        size_t cut_from = area.slots_at + 4 + 4 * (size_t)keep;
        size_t cut = 4 * (size_t)(area.slots - keep);
        memmove(data + cut_from, data + cut_from + cut, size - cut_from - cut);
        memcpy(data + area.slots_at, &keep, 4);
        return size - cut;
    }
    case 0:
    case 1: {
        int32_t target = (int32_t)(pick() % (area.count + 1 + links_past_the_records)) - 1;
        memcpy(record(r) + 4 * (1 + pick() % 17), &target, 4);
        break;
    }
    case 2: memcpy(record(r), record(other), 2); break;
    case 3: memcpy(record(r), record(other), 72); break;
    default: {
        size_t end = area.first + 72 * (size_t)area.count;
        if (size + 72 > max_size) return 0;
        memmove(data + end + 72, data + end, size - end);
        memcpy(data + end, record(other), 72);
        uint32_t count = area.count + 1;
        memcpy(data + area.count_at, &count, 4);
        size += 72;
        break;
    }
    }
    return size;
}

}  // namespace

// Half of the changes are made to whole records, so that links, kinds and
// record counts change together as a damaged front end would change them.
extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t max_size);
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t max_size, unsigned seed)
{
    if (seed % 2 == 0)
        if (size_t changed = mutate_records(data, size, max_size, seed / 2)) return changed;
    return LLVMFuzzerMutate(data, size, max_size);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    gd_set_fatal_handler(throw_designed_exit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz_run_dir::file("in.gd");
    static const std::string result = fuzz_run_dir::file("out.gd");
    FILE *f = fopen(input.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    gd_graph g = gd_graph_read_binary_file(input.c_str());
    // The programs refuse an empty pool as a failed read.
    if (g.curStringPos != 0) {
        try {
            // The reader never reads past the last record, so the last byte can
            // choose the first step; the seeds end in a zero byte: the whole chain.
            run_like_the_programs(&g, data[size - 1] % (talvex_chain_length + 1), result);
        } catch (const designed_exit &) {
        }
    }
    deallocate_gd_graph(g);
    unlink(input.c_str());
    unlink(result.c_str());
    return 0;
}
