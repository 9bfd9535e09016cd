// Kind classes, checked chain walks and arcs: what the filters share.
//
// A chain read from a graph (declarations along `chan`, arcs along `next`)
// may hold an index out of range, a node of a kind that has no such link, or
// a cycle. Every walk along one goes through these helpers: each step checks
// the index and the kind, and a walk stops after `curNodePos` steps, the most
// an acyclic chain can take.
#pragma once

#include <gd/graph.h>

#include <cstdint>

// The compiler declarations: records based on t_gcc_decl, chained by `chan`.
bool is_declaration_kind(gd_node_type k);
// The Ririra arcs (dC_ARC .. dC_ARC_ARRAY_DIM), chained by `next`.
bool is_arc_kind(gd_node_type k);
// The Ririra scopes (dC_SCOPE .. dC_SYNCHRONIZED_BLOCK), which hold `contents`.
bool is_scope_kind(gd_node_type k);

// Counts the steps of one chain walk and refuses the step that would make it
// longer than the graph has nodes.
struct chain_guard {
    uint32_t limit;
    uint32_t steps = 0;
    explicit chain_guard(const gd_graph *g) : limit(g->curNodePos) {}
    bool step() { return steps++ < limit; }
};

// The next declaration after declaration d, or -1 when d is not a valid
// declaration.
node_ptr next_declaration(const gd_graph *g, node_ptr d);

// Makes a new arc of kind `kind` from src to dest, with every other field
// cleared; the node buffer may move.
node_ptr new_arc(gd_graph *g, gd_node_type kind, node_ptr src, node_ptr dest);

// Makes a new node holding a copy of record `from`'s whole record; the copy
// is taken after the allocation, which may move the buffer.
node_ptr copy_node(gd_graph *g, node_ptr from);


// Appends arc `a` to the arc list whose first arc is `head` and last arc
// `tail` (both -1 for an empty list). `head` and `tail` must not live in the
// node buffer, which moves when nodes are added.
void append_to_arc_list(gd_graph *g, node_ptr &head, node_ptr &tail, node_ptr a);

// 1 when statement s can be asked for its successor: a node of a kind with a
// record that nextNode and setNext accept.
bool statement_link_readable(const gd_graph *g, node_ptr s);

// The arcs from `owner` to the statements of the chain from `first`: scope
// and constructor markers are passed over and stay linked; every other
// statement gets a son arc and is detached from its successor. Returns the
// first arc, -1 when no statement got one.
node_ptr take_statements(gd_graph *g, node_ptr owner, node_ptr first);
