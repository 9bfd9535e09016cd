// The used-by list of refwho: every node that links to a given node.
#pragma once

#include <cstdio>

#include "gd/graph.h"

namespace refwho {

// Lists on `out`, in ascending order, every node that uses node `dest` by
// the store's use test, each once: a header line and one line per user, or
// the line saying that no node uses it.
void print_users(FILE *out, const gd_graph *g, int dest);

}  // namespace refwho
