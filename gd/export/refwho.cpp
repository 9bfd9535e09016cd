// refwho dumpfile nodenumber: lists the nodes of the gd graph in dumpfile
// that link to the given node.
#include <cstdio>

#include "gd/export/program_io.h"
#include "gd/export/used_by.h"
#include "gd/memory_stop.h"

namespace {

int usage(const char *program)
{
    fprintf(stderr, "usage: %s dumpfile nodenumber\n", program);
    fputs("0 < nodenumber < num_nodes_in_file\n", stderr);
    return 1;
}

int list_users(int argc, char **argv)
{
    const char *program = argc > 0 ? argv[0] : "refwho";
    if (argc != 3) return usage(program);
    // Only a whole number names a node: "7x" or "x" must not quietly ask about
    // node 7 or node 0. A negative or overflowing number is no node either.
    int node;
    if (!gdexport::parse_node_number(argv[2], &node) || node < 0) return usage(program);

    gd_graph g = gd_graph_read_binary_file_to_inspect(argv[1]);
    int status = 1;
    if (g.curStringPos == 0) {
        fputs("could not get graph\n", stderr);
    } else {
        refwho::print_users(stdout, &g, node);
        status = gdexport::finish_output(stdout, stderr, "refwho");
    }
    deallocate_gd_graph(g);
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    return gd_run_stopping_when_memory_runs_out([&] { return list_users(argc, argv); },
                                                [] { gd_no_space_left_in("refwho"); });
}
