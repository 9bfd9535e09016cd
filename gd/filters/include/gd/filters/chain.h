// The chain of `talvexf`: 41 steps running 39 distinct filters in a fixed
// order. Every step relies on the node kinds that the steps before it left,
// so no step may be moved, left out or repeated.
#pragma once

#include <gd/filters/runner.h>

#include <span>

inline constexpr std::size_t talvex_chain_length = 41;

std::span<const filter_step, talvex_chain_length> talvex_chain();
