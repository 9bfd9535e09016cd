// The labelled node dump of nodepeek: one block of text per node, its kind
// and every field of its record under the labels people know them by.
#pragma once

#include <cstdio>
#include <string>

#include "gd/graph.h"
#include "gd/text_out.h"

namespace peek {

// The line that opens the dump of a whole graph or of one node of it.
void print_graph_header(FILE *out, const gd_graph *g);

// Prints the block of node n (0 <= n < curNodePos) on `out`; diagnostics
// about the node's contents go to `err`.
void doNode(FILE *out, FILE *err, const gd_graph *g, node_ptr n);
// The same into a buffer for `out.file`, for a dump of many nodes: the
// buffer reaches the stream whenever it is full, and before a diagnostic.
void doNode(gd_text_out &out, FILE *err, const gd_graph *g, node_ptr n);

// The name a kind goes by on its type line: the enumerator's words, in lower
// case with "dc_" for the Ririra node kinds and capitalised for the arcs
// ("new_expr", "dc_scope_compil", "ArcSon").
std::string type_line_name(int kind);

}  // namespace peek
