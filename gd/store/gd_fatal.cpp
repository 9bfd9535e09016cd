// The way out of the store's fatal conditions: the exit, or a handler that a
// host installs to go on with its next graph.
#include <cstdio>
#include <cstdlib>

#include "gd/run_state.h"

namespace {

void exit_with(int status)
{
    exit(status);
}

gd_fatal_handler fatal_handler = exit_with;

}  // namespace

gd_fatal_handler gd_set_fatal_handler(gd_fatal_handler handler)
{
    gd_fatal_handler previous = fatal_handler;
    fatal_handler = handler ? handler : exit_with;
    return previous;
}

void gd_fatal(int status)
{
    gd_run_reset();
    fatal_handler(status);
    exit(status);
}

void gd_record_fault(const gd_graph *g, node_ptr i, const char *record_name)
{
    if (node_valid(g, i))
        fprintf(stderr, "Node %d of kind %s has no %s record.\n", i, gd_kind_name(kind_of(g, i)),
                record_name);
    else
        fprintf(stderr, "Node %d is no node of the graph (it has %u records).\n", i, g->curNodePos);
    gd_fatal(1);
}
