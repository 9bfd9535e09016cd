// nodepeek dumpfile [nodeNumber]: prints one node, or every node, of the gd
// graph in dumpfile as labelled text.
#include <cstdio>
#include <cstdlib>

#include "gd/export/node_dump.h"
#include "gd/export/program_io.h"
#include "gd/memory_stop.h"

namespace {

const char *program = "nodepeek";

// limit -1: the graph is not read yet.
[[noreturn]] void usage(long limit)
{
    fprintf(stderr, "usage: %s dumpfile [nodeNumber]\n", program);
    if (limit == -1)
        fputs("0 < nodeNumber < number of nodes in graph\n", stderr);
    else
        fprintf(stderr, "0 < nodeNumber < %ld\n", limit);
    exit(1);
}

int print_nodes(int argc, char **argv)
{
    if (argc > 0) program = argv[0];
    if (argc < 2 || argc > 3) usage(-1);
    int node = -1;
    // A number with text after it, or beyond the int range, is no node.
    if (argc == 3 && !gdexport::parse_node_number(argv[2], &node)) node = -1;

    gd_graph g = gd_graph_read_binary_file_to_inspect(argv[1]);
    int status = 1;
    if (g.curStringPos == 0) {
        fputs("could not get graph\n", stderr);
    } else if (argc == 3 && (node < 0 || (uint32_t)node >= g.curNodePos)) {
        usage(g.curNodePos);
    } else {
        peek::print_graph_header(stdout, &g);
        if (argc == 3) {
            peek::doNode(stdout, stderr, &g, node);
        } else {
            gd_text_out text(stdout);
            for (uint32_t i = 0; i < g.curNodePos; i++) peek::doNode(text, stderr, &g, (node_ptr)i);
            text_drain(text);
        }
        status = gdexport::finish_output(stdout, stderr, "nodepeek");
    }
    deallocate_gd_graph(g);
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    return gd_run_stopping_when_memory_runs_out([&] { return print_nodes(argc, argv); },
                                                [] { gd_no_space_left_in("nodepeek"); });
}
