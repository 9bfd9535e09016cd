// The gd_global family: puts a Ririra global scope above the compiler's root
// namespace and makes it the root of the graph.

#include <gd/filters/filters.h>
#include <gd/record.h>

int gd_global_filter(gd_graph *g)
{
    // The arc and the scope take the first two indices handed out, in this
    // order; they show in the output.
    const node_ptr arc = newNode(g);
    const node_ptr scope = newNode(g);

    node_ptr root_ns = g->firstNode;
    if (kind_of(g, root_ns) != gNAMESPACE_DECL) {
        // A unit whose root is its first declaration: a new namespace takes
        // the old root as the head of its member chain.
        const node_ptr old_root = node_valid(g, g->firstNode) ? g->firstNode : -1;
        root_ns = newNode(g);
        gd_clear_node(g, root_ns, gNAMESPACE_DECL);
        t_namespace_decl &ns = record_of<t_namespace_decl>(g, root_ns);
        ns.srcl = 0;
        ns.lang = src_lang_c;
        ns.dcls = old_root;
    }

    gd_clear_node(g, scope, dC_SCOPE_GLB);
    record_of<t_dc_scope_glb>(g, scope).contents = arc;

    gd_clear_node(g, arc, dC_ARC_SON);
    t_dc_arc_son &son = record_of<t_dc_arc_son>(g, arc);
    son.src = scope;
    son.dest = root_ns;

    g->firstNode = scope;
    // Success is 1, not the scope's index: the scope is node 0 when the sweep
    // before left record 0 at the head of the free list.
    return 1;
}
