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

// Walks that make nodes for every node they pass: the copies of a parameter
// list that function types share, the formals that every function declared
// without parameter declarations copies from its prototype, the arcs to the
// cells and statements that owners share. On a healthy unit such copying is
// what the unit asks for, however much it makes (prototypes times
// parameters), and nothing limits it.
//
// On a healthy unit, where every link leads to a record that was live when
// the chain began and no chain meets a node again, each such walk passes a
// chain of the unit as it was read (or the formal list made from one), so no
// walk passes more nodes than the unit held. Only damage lets a walk into the
// nodes that the filters made: a link to a free record, or past the last
// one, which newNode later hands out; from there walks that copy what earlier
// walks made compound. So the chain looks for damage when it begins (a link
// to a record that is not live) and in every such walk (a node met again, a
// walk longer than the unit), and from the first damage on counts the
// records the walks make. Past `damaged_growth_per_record` for each record
// the chain began with, plus `damaged_growth_slack`, the run stops with a
// fatal message: a damaged unit is never cut and written as if it were
// whole.

// Sets up the chain state of a graph on which no chain has begun yet: the
// records it holds and the first link to a record that is not live. The
// frame calls it before the first step; a walk calls it for a filter run by
// itself.
void begin_chain(gd_graph *g);

// One walk along a chain that makes nodes for the nodes it passes.
//
//     growth_walk walk(g, "gd_func");
//     for (node_ptr c = first; kind_of(g, c) == gTREE_LIST && walk.takes(c); c = ...)
class growth_walk {
public:
    static constexpr uint64_t damaged_growth_per_record = 16;
    static constexpr uint64_t damaged_growth_slack = 1024;

    // `family` names the filter in the fatal message.
    growth_walk(gd_graph *g, const char *family);
    ~growth_walk();
    growth_walk(const growth_walk &) = delete;
    growth_walk &operator=(const growth_walk &) = delete;

    // True when the walk goes on to node n (an index, not -1): the first
    // time it meets n. False for a node it met before: the walk ends there,
    // and the unit is damaged. Ends the program once the walks of a damaged
    // unit have made more records than it may.
    bool takes(node_ptr n);
    // Counts node n, which the walk made, as met: a link to a record that
    // was free when the walk began may lead to it.
    void made(node_ptr n);

private:
    void count_growth();

    gd_graph *g_;
    const char *family_;
    chain_walk met_;
    node_ptr first_ = -1;
    uint64_t steps_ = 0;
    uint32_t counted_to_;  // curNodePos when the walk last counted its growth
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
// one of them. `family` names the filter, as for growth_walk.
node_ptr take_statements(gd_graph *g, const char *family, node_ptr owner, node_ptr first);
