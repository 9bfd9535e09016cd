// The pointer-field walkers: every node_ptr field of every node, handed to a
// callback in a fixed order per kind, driven by the per-kind field table.
#include "gd/kind_table.h"
#include "gd/walkers.h"

namespace {
// Walks running now; allocation stays stopped until the outermost ends.
int num_walks = 0;

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
}  // namespace

void gd_walk_begin(void) {
  if (++num_walks > 0) newNode_stop();
}

void gd_walk_end(void) {
  if (--num_walks == 0) newNode_start();
}

void walks_abandon(void) {
  num_walks = 0;
  newNode_start();
}

int gd_walk_as(gd_graph *g, node_ptr np, gd_graph_node *p, gd_node_type k, callback f, int n) {
  return walk_fields(p, k, [&](node_ptr *field, int ordinal) { f(g, np, field, ordinal); }, n);
}

int gd_walk_node(gd_graph *g, node_ptr np, gd_graph_node *p, callback f, int n) {
  return gd_walked_kind_info(p) ? gd_walk_as(g, np, p, p->common.type, f, n) : n;
}

void walk_ptrs(gd_graph *g, callback f) {
  auto visit = [&](node_ptr np, node_ptr *field, int n) { f(g, np, field, n); };
  walk_ptrs_with(g, visit);
}

void walk_structure(gd_graph *, callback) {
  gd_walk_begin();
  gd_walk_end();
}
