// The gd_alias family: every named variant of a compiler type (a typedef
// name, a qualified copy) becomes an alias type whose instance arc leads to
// the main variant.

#include <gd/filters/filters.h>

#include "chain_walk.h"

namespace {

// The text of an identifier node, -1 when n is no identifier.
str_ptr identifier_text(const gd_graph *g, node_ptr n)
{
    return kind_of(g, n) == gIDENTIFIER_NODE ? g->nodeBuffer[n].identifier_node.strg : -1;
}

// The access of a typedef: public before private before protected.
t_visb public_first_visibility(const gd_graph_common &c)
{
    return c.public_flag    ? visb_pub
           : c.private_flag ? visb_pri
           : c.protected_flag ? visb_pro
                              : visb_unk;
}

bool is_named_variant(const gd_graph *g, node_ptr x)
{
    const t_gcc_type &t = g->nodeBuffer[x].type;
    return is_gcc_type(g->nodeBuffer[x].common.type) && t.unql != -1 && t.unql != x && t.name != -1;
}

// Converts variant x in place; the bytes not named here keep what they held.
void make_alias(gd_graph *g, node_ptr x)
{
    const node_ptr n = g->nodeBuffer[x].type.name;
    const node_ptr decl = kind_of(g, n) == gTYPE_DECL ? n : -1;
    str_ptr file = -1;
    int32_t line = -1;
    t_visb visb = visb_unk;
    str_ptr name;
    if (decl != -1) {
        const t_gcc_decl &d = g->nodeBuffer[decl].decl;
        file = d.srcf;
        line = d.srcl;
        visb = public_first_visibility(d);
        name = identifier_text(g, d.name);
    } else {
        name = identifier_text(g, n);
    }

    const node_ptr arc = new_arc(g, dC_INSTANCE, x, g->nodeBuffer[x].type.unql);

    gd_graph_node &rec = g->nodeBuffer[x];
    rec.common.type = dC_ALIAS_TYPE;
    t_dc_alias_type &a = rec.dc_alias_type;
    a.other_node = -1;
    a.file = file;
    a.line = line;
    a.name = name;
    a.visb = visb;
    a.instance = arc;
    a.defLoc = -1;
    a.arcFriend = -1;
    a.array_dim = -1;
    a.implements = -1;
    a.const_flag = rec.common.readonly_flag;
    a.volatile_flag = rec.common.volatile_flag;
    a.original = arc;
}

}  // namespace

int gd_alias_filter(gd_graph *g)
{
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (is_named_variant(g, x))
            make_alias(g, x);
    }
    return 1;
}
