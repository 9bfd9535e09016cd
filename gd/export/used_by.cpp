#include "gd/export/used_by.h"

namespace refwho {

void print_users(FILE *out, const gd_graph *g, int dest)
{
    // One pass in node order finds the users in the order that repeated
    // UsedBy searches, each passing over the users already found, would.
    bool found = false;
    for (uint32_t i = 0; i < g->curNodePos; i++) {
        if (!nodeUses(*g, (node_ptr)i, dest)) continue;
        if (!found) fprintf(out, "node %d is used by:\n", dest);
        found = true;
        fprintf(out, " %d\n", (int)i);
    }
    if (!found) fprintf(out, "node %d is not used by any node\n", dest);
}

}  // namespace refwho
