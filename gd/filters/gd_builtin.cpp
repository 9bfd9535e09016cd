// The gd_builtin family: turns the named basic types of the compiler into
// Ririra built-in types hung directly under the global scope.

#include <gd/filters/filters.h>

#include "chain_walk.h"

#include <cstdio>

namespace {

bool is_basic_type_kind(gd_node_type k)
{
    switch (k) {
    case gVOID_TYPE:
    case gINTEGER_TYPE:
    case gREAL_TYPE:
    case gCOMPLEX_TYPE:
    case gBOOLEAN_TYPE:
    case gCHAR_TYPE:
        return true;
    default:
        return false;
    }
}

// A built-in type's access from the compiler flags. Public wins over private,
// private over protected.
t_visb builtin_visibility(const gd_graph_common &c)
{
    if (c.public_flag)
        return visb_pub;
    if (c.private_flag)
        return visb_pri;
    if (c.protected_flag)
        return visb_pro;
    return visb_unk;
}

// The name of basic type x, or -1 when it is not a built-in type: its name
// is an identifier, directly or through a typedef declared in the front end's
// pseudo file `builtin_file`; an unnamed void is "void" when the pool has it.
str_ptr builtin_name(gd_graph *g, node_ptr x, str_ptr builtin_file)
{
    node_ptr name = g->nodeBuffer[x].type.name;
    if (kind_of(g, name) == gTYPE_DECL) {
        const t_type_decl &decl = g->nodeBuffer[name].type_decl;
        if (decl.srcf != builtin_file)
            return -1;
        name = decl.name;
    }
    if (kind_of(g, name) == gIDENTIFIER_NODE)
        return g->nodeBuffer[name].identifier_node.strg;
    if (kind_of(g, x) == gVOID_TYPE)
        return gd_lookup_string(g, "void");
    return -1;
}

// Rewrites basic type x in place as a built-in type named `name`; the bytes
// that the built-in type does not use keep their content.
void make_builtin_type(gd_graph *g, node_ptr x, str_ptr name)
{
    gd_graph_node &node = g->nodeBuffer[x];
    const t_visb visb = builtin_visibility(node.common);
    const bool is_const = node.common.readonly_flag;
    const bool is_volatile = node.common.volatile_flag;

    t_dc_built_in_type &b = node.dc_built_in_type;
    b.type = dC_BUILT_IN_TYPE;
    b.other_node = -1;
    b.file = -1;
    b.line = -1;
    b.name = name;
    b.visb = visb;
    b.instance = -1;
    b.defLoc = -1;
    b.arcFriend = -1;
    b.array_dim = -1;
    b.implements = -1;
    b.const_flag = is_const;
    b.volatile_flag = is_volatile;
}

}  // namespace

int gd_builtin_filter(gd_graph *g)
{
    const node_ptr global = g->firstNode;
    if (kind_of(g, global) != dC_SCOPE_GLB) {
        std::fprintf(stderr, "gd_builtin: the root is not a global scope\n");
        return 0;
    }
    node_ptr last = last_arc(g, g->nodeBuffer[global].dc_scope_glb.contents);

    str_ptr builtin_file = gd_lookup_string(g, "<internal>");
    if (builtin_file == -1)
        builtin_file = gd_lookup_string(g, "<built-in>");

    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (!is_basic_type_kind(kind_of(g, x)))
            continue;
        const str_ptr name = builtin_name(g, x, builtin_file);
        if (name == -1)
            continue;
        make_builtin_type(g, x, name);

        const node_ptr arc = new_arc(g, dC_ARC_SON, global, x);
        if (last == -1)
            g->nodeBuffer[global].dc_scope_glb.contents = arc;
        else
            g->nodeBuffer[last].dc_arc.next = arc;
        last = arc;
    }
    return 1;
}
