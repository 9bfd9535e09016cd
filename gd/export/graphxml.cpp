// graphxml dumpfile: writes the gd graph in dumpfile as a GXL document on
// standard output.
#include <cstdio>

#include "gd/export/gxl.h"
#include "gd/export/program_io.h"

int main(int argc, char **argv)
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
