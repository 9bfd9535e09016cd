// step_times INGD OUTGD: does talvexf's work on one unit (read, the 41 steps,
// write) and prints, for the read, each step and the write, the processor
// time it took and the records in use (curNodePos) after it, one
// "name seconds records" line each. run_bench.sh compiles it against a
// build's libraries to show where talvexf's time goes.

#include <gd/filters/chain.h>

#include <cstdio>
#include <ctime>

namespace {

double processor_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void report(const char *name, double start, const gd_graph &g)
{
    std::printf("%s %.6f %u\n", name, processor_seconds() - start, g.curNodePos);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INGD OUTGD\n", argv[0]);
        return 2;
    }
    double start = processor_seconds();
    gd_graph g = gd_graph_read_binary_file(argv[1]);
    if (g.curStringPos == 0) return 1;
    report("read", start, g);
    for (const filter_step &step : talvex_chain()) {
        start = processor_seconds();
        if (step.run(&g) == 0) return 1;
        report(step.name, start, g);
    }
    start = processor_seconds();
    if (!gd_graph_write_binary_file(argv[2], g)) return 1;
    report("write", start, g);
    deallocate_gd_graph(g);
    return 0;
}
