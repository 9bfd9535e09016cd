// The set of the records of a few kinds, made in one scan.

#include "record_set.h"

record_set::record_set(const gd_graph *g, std::initializer_list<gd_node_type> kinds)
    : record_set(g, [kinds](const gd_graph_node &p) {
          for (gd_node_type k : kinds)
              if (p.common.type == k) return true;
          return false;
      })
{
}
