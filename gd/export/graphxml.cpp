// graphxml dumpfile: writes the gd graph in dumpfile as a GXL document on
// standard output.
#include <cstdio>

#include "gd/export/gxl.h"
#include "gd/export/program_io.h"
#include "gd/memory_stop.h"

namespace {

int write_document(int argc, char **argv)
{
    const char *program = argc > 0 ? argv[0] : "graphxml";
    if (argc != 2) {
        fprintf(stderr, "usage: %s dumpfile\n", program);
        return 1;
    }
    gd_graph g = gd_graph_read_binary_file_to_inspect(argv[1]);
    int status = 1;
    if (g.curStringPos == 0) {
        fputs("could not get graph\n", stderr);
    } else {
        status = gxl::write_gxl_document(stdout, stderr, &g, argv[1]);
        if (gdexport::finish_output(stdout, stderr, "graphxml") != 0) status = 1;
    }
    deallocate_gd_graph(g);
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    return gd_run_stopping_when_memory_runs_out([&] { return write_document(argc, argv); },
                                                [] { gd_no_space_left_in("graphxml"); });
}
