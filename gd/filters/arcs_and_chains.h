// Chain walks and arcs: what the filters share (the kind classes they test
// are the kind table's).
//
// A chain read from a graph (declarations along `chan`, statements along
// `next`, list cells along `chan`, arcs along `next`, formals and parameters)
// may hold an index out of range, a node of a kind that has no such link, or
// a cycle. Every walk along one checks the index and the kind at each step,
// and ends at the first node it meets again (chain_walk): it takes each node
// of the chain once, so a chain that loops costs no more than its length.
#pragma once

#include <gd/graph.h>
#include <gd/record.h>
#include <gd/kind_table.h>  // the kind classes: is_declaration_kind, is_arc_kind, is_scope_kind
#include <gd/chain_walk.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Folding a test of a node's kind into the record access: where the kinds
// whose records hold a T are exactly the kinds a test accepts,
//   if (kind_of(g, i) == k) use(record_of<T>(g, i)...)
// and
//   if (const T *r = record<T>(g, i)) use(r...)
// take the same nodes. held_by_exactly<T>(accepts) says whether they are, over
// every kind code (record<T> takes no code beyond NUM_NODES, and neither does
// a kind test or a class of the kind table), so that a filter that folds a
// test states at compile time that it may.
template <class T, class Accepts> constexpr bool held_by_exactly(Accepts accepts)
{
    for (int k = 0; k <= NUM_NODES; ++k)
        if (gd_kind_holds<T>[k] != bool(accepts(k))) return false;
    return true;
}
// The same for the one kind `kind`.
template <class T> constexpr bool held_only_by(gd_node_type kind)
{
    return held_by_exactly<T>([kind](int k) { return k == kind; });
}

// The walks below, and the filters that walk arcs, declarations and scopes,
// fold these class tests of the kind table into the access.
static_assert(held_by_exactly<t_dc_arc>(is_arc_kind), "the arcs are the kinds with a t_dc_arc");
static_assert(held_by_exactly<t_gcc_decl>(is_declaration_kind),
              "the declarations are the kinds with a t_gcc_decl");
static_assert(held_by_exactly<t_dc_scope>(is_scope_kind), "the scopes are the kinds with a t_dc_scope");

// Clear mark_flag1 (clear_mark1) or both marks (clear_marks) on every record
// below curNodePos. A record is written only when it holds a mark: a record
// written is a cache line to write back, and after a reachability pass no
// record holds one.
void clear_mark1(gd_graph *g);
void clear_marks(gd_graph *g);
inline void clear_marks_of(gd_graph_common &c)
{
    if (c.mark_flag1 || c.mark_flag2) {
        c.mark_flag1 = 0;
        c.mark_flag2 = 0;
    }
}

// How far one run of a filter may grow the graph through its walks that make
// nodes for every node they pass. Such walks may share their chains (the
// functions that share one prototype, lists that share a tail), so together
// they can make far more nodes than the chains hold; once the graph holds
// `growth_factor` times the records it began with, plus `growth_slack`, the
// filter's remaining walks stop, and the first stop says so on standard
// error. In a chain of steps "began with" is the start of the chain
// (chainStartRecords), so the filters share one allowance instead of each
// multiplying the growth of the one before. A conversion makes a few nodes
// for each node it is given; the limit lies far above that.
class growth_allowance {
public:
    static constexpr uint64_t growth_factor = 16;
    static constexpr uint64_t growth_slack = 1024;

    // `family` names the filter in the message.
    growth_allowance(const gd_graph *g, const char *family);
    // True while the graph is below the limit.
    bool allows(const gd_graph *g);

private:
    uint64_t limit_;
    const char *family_;
    bool reported_ = false;
};

// The last arc of the arc chain from `first` along `next`: the arc whose
// `next` is -1, leads to a node that is no arc, or leads back to an arc of
// the chain. -1 when `first` is no arc.
node_ptr last_arc(const gd_graph *g, node_ptr first);

// Appends arc `a` to the `contents` chain of scope `scope`, after `last` (its
// last arc, -1 for an empty chain), and makes `a` the last.
void append_to_contents(gd_graph *g, node_ptr scope, node_ptr &last, node_ptr a);

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
// first arc, -1 when no statement got one. The walk counts the arcs it makes
// as met, so a link that led to a free record ends there once the record is
// one of them; and it stops once the family's allowance is used up, since
// later walks may enter the arc lists that earlier ones made.
node_ptr take_statements(gd_graph *g, growth_allowance &allowance, node_ptr owner, node_ptr first);
