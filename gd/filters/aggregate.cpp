// The aggregate family: every main-variant class, structure and union becomes
// a Ririra aggregate type with one member arc per data member and member
// function. The two constructor clones that the compiler emits after each
// constructor are folded into the constructor itself; the base list is left
// as the compiler's vector until classes_filter turns it into arcs.

#include <gd/filters/filters.h>
#include <gd/walkers.h>

#include "arcs_and_chains.h"
#include "record_set.h"
#include "ririra_records.h"

#include <cstdint>
#include <vector>

namespace {

// The pool offsets of the names of the two constructor clones, -1 when the
// unit holds no such name.
str_ptr base_ctor = -1;
str_ptr comp_ctor = -1;

// A function named as the clone `clone`. A clone name missing from the pool
// names no function, not even one without a name.
bool is_clone(const gd_graph *g, node_ptr f, str_ptr clone)
{
    return clone != -1 && kind_of(g, f) == gFUNCTION_DECL &&
           identifier_text(g, g->nodeBuffer[f].decl.name) == clone;
}

// The constructor bit lives in the function record; on other member kinds
// (a member template) that byte belongs to a node index.
bool is_constructor(const gd_graph *g, node_ptr f)
{
    if (kind_of(g, f) != gFUNCTION_DECL || !g->nodeBuffer[f].function_decl.constr)
        return false;
    const str_ptr name = identifier_text(g, g->nodeBuffer[f].decl.name);
    return name != base_ctor && name != comp_ctor;
}

// Takes the clones that follow constructor f ("__base_ctor", then
// "__comp_ctor") out of the function chain and makes them stand for f: the
// references to them are moved to f once every aggregate is converted.
void fold_clones(gd_graph *g, node_ptr f)
{
    const node_ptr n1 = g->nodeBuffer[f].decl.chan;
    const node_ptr n2 = next_declaration(g, n1);
    // The declaration whose chan leads to n2 once n1 is dealt with.
    node_ptr before_n2 = n1;
    if (is_clone(g, n1, base_ctor)) {
        g->nodeBuffer[n1].common.other_node = f;
        g->nodeBuffer[f].decl.chan = n2;
        before_n2 = f;
    }
    if (is_clone(g, n2, comp_ctor)) {
        // A "__comp_ctor" clone without its "__base_ctor" before it leaves the
        // chain alone; the function between keeps its place.
        g->nodeBuffer[n2].common.other_node = f;
        g->nodeBuffer[before_n2].decl.chan = g->nodeBuffer[n2].decl.chan;
    }
}

// The member list of one aggregate under construction.
struct member_list {
    node_ptr aggregate;
    node_ptr first = -1;  // the first arc, -1 while the list is empty
    node_ptr last = -1;   // the last arc appended
};

// Walks a member chain from `first` along `chan`, giving each member an arc
// (but the class's own name declaration among the data members) and cutting
// it out of the chain. The walk ends at the first index that is no
// declaration and at the first member met again.
void take_members(gd_graph *g, member_list &list, node_ptr first, bool functions)
{
    chain_walk walk;
    node_ptr f = first;
    while (is_declaration_kind(kind_of(g, f)) && walk.first_meeting(f)) {
        if (functions && is_constructor(g, f))
            fold_clones(g, f);
        const bool own_name = !functions && kind_of(g, f) == gTYPE_DECL &&
                              g->nodeBuffer[f].decl.type == list.aggregate;
        if (!own_name)
            append_to_arc_list(g, list.first, list.last, new_arc(g, dC_ARC_SON, list.aggregate, f));
        const node_ptr next = g->nodeBuffer[f].decl.chan;
        g->nodeBuffer[f].decl.chan = -1;
        f = next;
    }
}

// The access of an aggregate: protected before public before private.
constexpr t_visb aggregate_precedence[3] = {visb_pro, visb_pub, visb_pri};

// Converts main-variant record or union type x into a Ririra aggregate.
void do_aggregate(gd_graph *g, node_ptr x)
{
    gd_graph_node &rec = g->nodeBuffer[x];

    // Name and place, from the identifier or declaration that names the type.
    const node_ptr m = rec.type.name;
    const gd_node_type name_kind = kind_of(g, m);
    str_ptr name = -1;
    str_ptr file = -1;
    int32_t line = -1;
    if (name_kind == gIDENTIFIER_NODE) {
        name = g->nodeBuffer[m].identifier_node.strg;
    } else if (name_kind >= gFUNCTION_DECL && name_kind <= gNAMESPACE_DECL) {
        const t_gcc_decl &d = g->nodeBuffer[m].decl;
        file = d.srcf;
        line = d.srcl;
        name = identifier_text(g, d.name);
    }
    const t_visb visb = visibility_by_precedence(node_valid(g, m) ? g->nodeBuffer[m].common : rec.common,
                                                 aggregate_precedence);

    // The two record types keep their chains and base information at
    // different offsets: a union has no isClass.
    node_ptr flds, fncs, binf;
    t_aggr_enum aggr;
    if (rec.common.type == gRECORD_TYPE) {
        flds = rec.record_type.flds;
        fncs = rec.record_type.fncs;
        binf = rec.record_type.binf;
        aggr = rec.record_type.isClass ? aggr_class : aggr_struct;
    } else {
        flds = rec.union_type.flds;
        fncs = rec.union_type.fncs;
        binf = rec.union_type.binf;
        aggr = aggr_union;
    }

    // Converted in place: the bytes not named here keep what they held.
    make_type_record(g, x, dC_AGGR_TYPE, file, line, name, visb);
    t_dc_aggr_type &a = rec.dc_aggr_type;
    a.aggr_type = aggr;
    // Until classes_filter runs, inheritance holds the compiler's vector of
    // base descriptors, which is element 4 of the base information.
    a.inheritance = kind_of(g, binf) == gTREE_VEC && g->nodeBuffer[binf].tree_vec.length >= 5
                        ? g->nodeBuffer[binf].tree_vec.elts[4]
                        : -1;

    // Data members first, then functions; node numbers of the arcs follow.
    member_list list{x};
    take_members(g, list, flds, false);
    take_members(g, list, fncs, true);
    g->nodeBuffer[x].dc_aggr_type.members = list.first;
}

// Moves a reference to a folded clone to its constructor. After the filter
// cleared every other_node, only folded clones (and arcs, free and untyped
// records, which the kind test passes over) have one.
bool is_folded_clone(const gd_graph_node &p)
{
    return p.common.other_node >= 0 && p.common.type < dC_ARC;
}

void unifyConstructors(gd_graph *g, const record_set &folded, node_ptr *field, int n)
{
    if (n != 0 && folded.holds(*field))
        *field = g->nodeBuffer[*field].common.other_node;
}

}  // namespace

int aggregate_filter(gd_graph *g)
{
    // From here on other_node holds only what the filters store there. Free
    // records lose their free-list links too; allocation then treats the list
    // as ending at its head.
    for (uint32_t i = 0; i < g->curNodePos; ++i)
        g->nodeBuffer[i].common.other_node = -1;

    base_ctor = gd_lookup_string(g, "__base_ctor");
    comp_ctor = gd_lookup_string(g, "__comp_ctor");

    // Variants (unql another node) stay compiler types for gd_alias_filter.
    // Members are nodes of the graph as it is now; the filter adds only arcs.
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const gd_node_type k = kind_of(g, x);
        if ((k == gRECORD_TYPE || k == gUNION_TYPE) && g->nodeBuffer[x].type.unql == x)
            do_aggregate(g, x);
    }

    // Redirecting links changes no record's other_node or kind.
    const record_set folded(g, is_folded_clone);
    auto unify = [&](node_ptr, node_ptr *field, int n) { unifyConstructors(g, folded, field, n); };
    walk_ptrs_with(g, unify);
    return 1;
}
