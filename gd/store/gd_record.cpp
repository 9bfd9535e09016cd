// The stop of record_of where a node does not hold the record its caller was
// sure of.
#include <cstdio>

#include "gd/record.h"

void gd_record_fault(const gd_graph *g, node_ptr i, const char *record_name)
{
    if (node_valid(g, i))
        fprintf(stderr, "Node %d of kind %s has no %s record.\n", i, gd_kind_name(kind_of(g, i)),
                record_name);
    else
        fprintf(stderr, "Node %d is no node of the graph (it has %u records).\n", i, g->curNodePos);
    gd_fatal(1);
}
