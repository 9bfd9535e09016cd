// The pointer-field walkers: every node_ptr field of every node, handed to a
// callback in a fixed order per kind, driven by the per-kind field table.
#include "gd/kind_table.h"
#include "gd/walkers.h"

namespace {
// Walks running now; allocation stays stopped until the outermost ends.
int num_walks = 0;

void begin_walk() {
  if (++num_walks > 0) newNode_stop();
}

void end_walk() {
  if (--num_walks == 0) newNode_start();
}

// Hands each pointer field of record p, walked as kind k, to
// call(field, ordinal), ordinals from n; returns the next ordinal.
template <class Call>
int walk_fields(gd_graph_node *p, gd_node_type k, Call call, int n) {
  const gd_kind_info *info = gd_kind_info_of(k);
  if (!info) return n;
  int links = gd_links_in_use(info, p);
  for (int l = 0; l < links; l++) call((node_ptr *)(p->bytes + info->links[l].offset), n++);
  return n;
}

// The kind by which walk_ptrs walks record p, or NODE_NONE when it passes
// the record over.
gd_node_type walked_kind(const gd_graph_node *p) {
  const gd_kind_info *info = gd_kind_info_of(p->common.type);
  if (!info || !(info->flags & GD_KF_RECORD) || (info->flags & GD_KF_UNWALKED)) return NODE_NONE;
  return p->common.type;
}

// Hands every pointer field that walk_ptrs visits to visit(np, field,
// ordinal), with allocation stopped meanwhile.
template <class Visit>
void walk_every_field(gd_graph *g, Visit visit) {
  begin_walk();
  for (uint32_t i = 0; i < g->curNodePos; i++) {
    gd_graph_node *p = &g->nodeBuffer[i];
    const gd_node_type k = walked_kind(p);
    if (k != NODE_NONE)
      walk_fields(p, k, [&](node_ptr *field, int ordinal) { visit((node_ptr)i, field, ordinal); }, 0);
  }
  end_walk();
}
}  // namespace

void walks_abandon(void) {
  num_walks = 0;
  newNode_start();
}

int gd_walk_as(gd_graph *g, node_ptr np, gd_graph_node *p, gd_node_type k, callback f, int n) {
  return walk_fields(p, k, [&](node_ptr *field, int ordinal) { f(g, np, field, ordinal); }, n);
}

int gd_walk_node(gd_graph *g, node_ptr np, gd_graph_node *p, callback f, int n) {
  const gd_node_type k = walked_kind(p);
  return k == NODE_NONE ? n : gd_walk_as(g, np, p, k, f, n);
}

void walk_ptrs(gd_graph *g, callback f) {
  walk_every_field(g, [&](node_ptr np, node_ptr *field, int n) { f(g, np, field, n); });
}

void walk_ptrs_with_context(gd_graph *g, context_callback f, void *context) {
  walk_every_field(g, [&](node_ptr np, node_ptr *field, int n) { f(context, g, np, field, n); });
}

void walk_structure(gd_graph *, callback) {
  begin_walk();
  end_walk();
}
