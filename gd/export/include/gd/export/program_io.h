// Pieces the three inspection programs share: reading a node number from the
// command line, the raw dump of a record, the element count of a tree_vec and
// the last check of standard output.
#pragma once

#include <cstdio>

#include "gd/graph.h"

namespace gdexport {

// A node number as written on a command line: a whole number in base 10,
// as strtol reads one, with nothing after its digits. Returns false for
// anything else, and for a number outside the int range, which no node
// index can be.
bool parse_node_number(const char *text, int *number);

// The 72 bytes of a record in hexadecimal, 16 to a line (the last line holds 8).
void dump_record_bytes(FILE *out, const gd_graph_node &rec);

// The number of elements of a tree_vec to show: its length, clamped to the
// slots of the record; a length above them is reported on `err` after
// `program` and the node number.
int tree_vec_elements(FILE *err, const char *program, node_ptr i, const gd_graph_node &rec);

// Flushes `out` and reports a failed write (a full disk) on `err` after the
// program name. Returns the exit status: 0, or 1 when output was lost.
int finish_output(FILE *out, FILE *err, const char *program);

}  // namespace gdexport
