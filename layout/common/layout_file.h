// The layout file: one record per box, in pre-order of the containment tree,
// each also a valid TA attribute record:
//
//   name {
//         x = 25.000000
//         y = 100.000000
//     width = 750.000000
//    height = 400.000000
//   }
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "failure.h"
#include "item.h"

namespace layout {

// Appends the record of `item` alone.
void appendRecord(std::string &out, const Item *item);

// The whole layout file of the tree under `root`, root first.
std::string outputLayout(const Item *root);

// Reads an old layout file into `graph`: every record sets the box of the item
// of its name and marks it as having one.
MaybeFailure Control_ParseLayout(ItemTable &graph, std::string_view text, FILE *trace);

}  // namespace layout
