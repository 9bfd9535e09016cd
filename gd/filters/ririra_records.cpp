// Helpers for rewriting compiler records as Ririra records.

#include "ririra_records.h"

t_visb visibility_by_precedence(const gd_graph_common &c, const t_visb (&precedence)[3])
{
    for (t_visb level : precedence) {
        const bool set = level == visb_pub ? c.public_flag : level == visb_pri ? c.private_flag : c.protected_flag;
        if (set)
            return level;
    }
    return visb_unk;
}

void make_type_record(gd_graph *g, node_ptr x, gd_node_type kind, str_ptr file, int32_t line, str_ptr name,
                      t_visb visb)
{
    gd_graph_node &rec = g->nodeBuffer[x];
    const bool is_const = rec.common.readonly_flag;
    const bool is_volatile = rec.common.volatile_flag;
    t_dc_type &t = rec.dc_type;
    t.type = kind;
    t.other_node = -1;
    t.file = file;
    t.line = line;
    t.name = name;
    t.visb = visb;
    t.instance = -1;
    t.defLoc = -1;
    t.arcFriend = -1;
    t.array_dim = -1;
    t.implements = -1;
    t.const_flag = is_const;
    t.volatile_flag = is_volatile;
}
