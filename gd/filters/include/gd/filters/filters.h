// The translation filters. Each takes the one graph of the run, rewrites it in
// place and returns non-zero to let the chain go on, 0 to stop it. Some return
// a count or a node index instead of 1; callers test for 0 only.
#pragma once

#include <gd/graph.h>

#define GD_FILTER_FAMILY(family) int family##_filter(gd_graph *g);
#include <gd/filters/filter_families.def>
#undef GD_FILTER_FAMILY
