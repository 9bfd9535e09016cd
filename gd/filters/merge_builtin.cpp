// The merge_builtin family: every link to a built-in type is pointed at the
// global scope's node of that type (same name, same qualifiers), so that each
// built-in type is one node in the finished graph.

#include <gd/filters/filters.h>
#include <gd/walkers.h>

#include "arcs_and_chains.h"
#include "record_set.h"

#include <cstdio>
#include <unordered_map>

namespace {

// A built-in type by its name and qualifiers.
uint64_t builtin_key(const t_dc_type &t)
{
    return uint64_t(uint32_t(t.name)) << 2 | uint64_t(t.const_flag) << 1 | t.volatile_flag;
}

// The global built-in types of the run, by key; the first one of a key wins.
using builtin_table = std::unordered_map<uint64_t, node_ptr>;

// Records every built-in type that the global scope lists, and takes it out
// of the types whose links are merged.
builtin_table record_global_builtins(gd_graph *g, record_set &to_merge)
{
    builtin_table global_builtins;
    const t_dc_scope *root = record<t_dc_scope>(g, g->firstNode);
    if (!root) return global_builtins;
    chain_walk walk;
    const t_dc_arc *arc;
    for (node_ptr a = root->contents; (arc = record<t_dc_arc>(g, a)) && walk.first_meeting(a);
         a = arc->next) {
        const node_ptr d = arc->dest;
        if (kind_of(g, a) != dC_ARC_SON || kind_of(g, d) != dC_BUILT_IN_TYPE) continue;
        to_merge.leave_out(d);
        global_builtins.emplace(builtin_key(record_of<t_dc_built_in_type>(g, d)), d);
    }
    return global_builtins;
}

// Points one link at the global node of the built-in type it reaches, when
// that type is not a global one itself.
void mergeBuiltin(const builtin_table &global_builtins, const record_set &to_merge, gd_graph *g, node_ptr np,
                  node_ptr *field, int n)
{
    if (n == 0) return;
    const node_ptr t = *field;
    if (!to_merge.holds(t)) return;
    // The set holds built-in types only, and the walk changes no kind.
    const t_dc_type &type = record_of<t_dc_built_in_type>(g, t);
    if (type.name == -1) return;
    auto global = global_builtins.find(builtin_key(type));
    if (global != global_builtins.end()) {
        *field = global->second;
        return;
    }
    const char *name = string_at(g, type.name);
    std::fprintf(stderr, "merge_builtin: unofficial builtin type %d (%s) is used as ptr %d of node %d\n", t,
                 name ? name : "", n, np);
}

}  // namespace

int merge_builtin_filter(gd_graph *g)
{
    // The filter keeps the global types beside the graph, not in mark_flag1:
    // the marks are cleared here, and so are found clear at the end.
    clear_mark1(g);
    record_set to_merge(g, {dC_BUILT_IN_TYPE});
    const builtin_table global_builtins = record_global_builtins(g, to_merge);
    auto merge = [&](node_ptr np, node_ptr *field, int n) {
        mergeBuiltin(global_builtins, to_merge, g, np, field, n);
    };
    walk_ptrs_with(g, merge);
    return 1;
}
