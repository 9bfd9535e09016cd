// The gd_builtin family: turns the named basic types of the compiler into
// Ririra built-in types hung directly under the global scope.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

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
    case gCHAR_TYPE: return true;
    default: return false;
    }
}

// Which access flag of a basic type wins when several are set.
constexpr t_visb builtin_access_precedence[] = {visb_pub, visb_pri, visb_pro};

// The name of basic type x, or -1 when it is not a built-in type: its name
// is an identifier, directly or through a typedef declared in the front end's
// pseudo file `builtin_file`; an unnamed void is "void" when the pool has it.
str_ptr builtin_name(gd_graph *g, node_ptr x, str_ptr builtin_file)
{
    node_ptr name = record_of<t_gcc_type>(g, x).name;
    if (const t_type_decl *decl = record<t_type_decl>(g, name)) {
        if (decl->srcf != builtin_file) return -1;
        name = decl->name;
    }
    if (const t_identifier_node *id = record<t_identifier_node>(g, name)) return id->strg;
    if (kind_of(g, x) == gVOID_TYPE) return gd_lookup_string(g, "void");
    return -1;
}

}  // namespace

int gd_builtin_filter(gd_graph *g)
{
    const node_ptr global = g->firstNode;
    if (kind_of(g, global) != dC_SCOPE_GLB) {
        std::fprintf(stderr, "gd_builtin: the root is not a global scope\n");
        return 0;
    }
    // The new arcs go after the last arc of the scope's chain, whatever kind
    // of arc that is.
    node_ptr last = last_arc(g, record_of<t_dc_scope_glb>(g, global).contents);

    str_ptr builtin_file = gd_lookup_string(g, "<internal>");
    if (builtin_file == -1) builtin_file = gd_lookup_string(g, "<built-in>");

    for (node_ptr x = 0; node_valid(g, x); ++x) {
        if (!is_basic_type_kind(kind_of(g, x))) continue;
        const str_ptr name = builtin_name(g, x, builtin_file);
        if (name == -1) continue;
        const t_visb visb =
            visibility_by_precedence(record_of<gd_graph_common>(g, x), builtin_access_precedence);
        make_type_record(g, x, dC_BUILT_IN_TYPE, -1, -1, name, visb);

        append_to_contents(g, global, last, new_arc(g, dC_ARC_SON, global, x));
    }
    return 1;
}
