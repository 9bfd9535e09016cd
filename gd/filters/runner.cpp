// The frame of the gd graph programs: read, run the steps, write.

#include <gd/filters/runner.h>

#include "arcs_and_chains.h"

#include <gd/memory_stop.h>

#include <cstdio>

void buffer_standard_error()
{
    static char buffer[1 << 16];
    std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
}

int run_steps(gd_graph *g, std::span<const filter_step> steps, step_report report)
{
    const bool progress = report == step_report::progress;
    // Damage is found, and a damaged unit's growth counted, from the graph as
    // the chain found it (a caller running the chain a step at a time keeps
    // the first).
    begin_chain(g);
    for (const filter_step &step : steps) {
        // A filter's own diagnostics land inside its progress line, and the
        // error text completes that line. The progress text shows before the
        // step runs, and a step's messages once it is over.
        if (progress) {
            std::fprintf(stderr, "* Running %s...", step.name);
            std::fflush(stderr);
        }
        const int went_on = step.run(g);
        if (went_on == 0)
            std::fprintf(stderr, "Error in filter %s\n", step.name);
        else if (progress)
            std::fprintf(stderr, "done\n");
        std::fflush(stderr);
        if (went_on == 0) return 0;
    }
    return 1;
}

namespace {

int read_run_and_write(int argc, char **argv, std::span<const filter_step> steps, step_report report)
{
    progname = argc > 0 ? argv[0] : "";
    if (argc != 3) usage();
    const char *in_path = argv[1];
    const char *out_path = argv[2];

    gd_graph g = gd_graph_read_binary_file(in_path);
    // The reader has already said why; an empty pool counts as a failed read.
    if (g.curStringPos == 0) {
        std::fprintf(stderr, "Could not read graph from file %s\n", in_path);
        deallocate_gd_graph(g);
        std::fflush(stderr);
        return 1;
    }
    // The output is opened only after the last step went on, so a stop leaves
    // the output path untouched.
    int status = 0;
    if (!run_steps(&g, steps, report)) {
        status = 1;
    } else if (!gd_graph_write_binary_file(out_path, g)) {
        std::fprintf(stderr, "Error writing graph to %s\n", out_path);
        status = 1;
    }
    deallocate_gd_graph(g);
    std::fflush(stderr);
    return status;
}

}  // namespace

int run_filter_program(int argc, char **argv, std::span<const filter_step> steps, step_report report)
{
    return gd_run_stopping_when_memory_runs_out([&] { return read_run_and_write(argc, argv, steps, report); },
                                                gd_no_space_left);
}
