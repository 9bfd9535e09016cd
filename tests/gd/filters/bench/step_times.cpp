// step_times RUNS INGD OUTGD: runs talvexf's work RUNS times over one unit
// (read, the 41 steps, write) and prints, for the read, each step and the
// write, the least processor time it took in any run, one "name seconds"
// line each, followed by the records in use (curNodePos) after it. run_bench.sh compiles it against a build's libraries to show
// where talvexf's time goes.

#include <gd/filters/chain.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

double processor_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS INGD OUTGD\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const auto steps = talvex_chain();
    // Phase 0 is the read, phases 1 to 41 the steps, the last the write.
    std::vector<double> least(steps.size() + 2, -1.0);
    std::vector<int> records(steps.size() + 2, 0);
    auto keep = [&](std::size_t phase, double start) {
        const double took = processor_seconds() - start;
        if (least[phase] < 0 || took < least[phase])
            least[phase] = took;
    };
    for (int r = 0; r < runs; ++r) {
        double start = processor_seconds();
        gd_graph g = gd_graph_read_binary_file(argv[2]);
        if (g.curStringPos == 0)
            return 1;
        keep(0, start);
        records[0] = g.curNodePos;
        for (std::size_t s = 0; s < steps.size(); ++s) {
            start = processor_seconds();
            if (steps[s].run(&g) == 0)
                return 1;
            keep(s + 1, start);
            records[s + 1] = g.curNodePos;
        }
        start = processor_seconds();
        if (!gd_graph_write_binary_file(argv[3], g))
            return 1;
        keep(steps.size() + 1, start);
        records[steps.size() + 1] = g.curNodePos;
        deallocate_gd_graph(g);
    }
    for (std::size_t phase = 0; phase < least.size(); ++phase) {
        const char *name = phase == 0                  ? "read"
                           : phase == steps.size() + 1 ? "write"
                                                       : steps[phase - 1].name;
        std::printf("%s %.6f %d\n", name, least[phase], records[phase]);
    }
    return 0;
}
