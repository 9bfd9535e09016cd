// The gd_break family: break and continue statements become Ririra jumps.

#include <gd/filters/filters.h>
#include <gd/record.h>

namespace {

// Converts jump `j` in place to `kind`, keeping its flags. The jump's `dest`
// lies where the statement keeps `next`, so `next` is read first.
void convert_jump(gd_graph *g, node_ptr j, gd_node_type kind)
{
    const t_break_stmt old = record_of<t_break_stmt>(g, j);
    record_of<gd_graph_common>(g, j).type = kind;
    t_dc_break &jump = record_of<t_dc_break>(g, j);
    jump.other_node = old.next;
    jump.file = -1;
    jump.line = old.line;
    jump.dest = -1;
}

}  // namespace

int gd_break_filter(gd_graph *g)
{
    for (node_ptr j = 0; node_valid(g, j); j++) {
        const gd_node_type k = kind_of(g, j);
        if (k == gBREAK_STMT)
            convert_jump(g, j, dC_BREAK);
        else if (k == gCONTINUE_STMT)
            convert_jump(g, j, dC_CONTINUE);
    }
    return 1;
}
