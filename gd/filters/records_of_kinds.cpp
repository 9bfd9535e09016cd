// The set of records of a few kinds, made in one scan.

#include "records_of_kinds.h"

records_of_kinds::records_of_kinds(const gd_graph *g, std::initializer_list<gd_node_type> kinds)
    : of_kind_(g->curNodePos, false)
{
    for (uint32_t i = 0; i < g->curNodePos; ++i) {
        const gd_node_type k = g->nodeBuffer[i].common.type;
        for (gd_node_type wanted : kinds)
            if (k == wanted)
                of_kind_[i] = true;
    }
}
