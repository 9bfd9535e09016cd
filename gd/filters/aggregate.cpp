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
// unit holds no such name: looked up once per run.
struct clone_names {
    str_ptr base_ctor;
    str_ptr comp_ctor;
};

// A function named as the clone `clone`. A clone name missing from the pool
// names no function, not even one without a name.
bool is_clone(const gd_graph *g, node_ptr f, str_ptr clone)
{
    if (clone == -1) return false;
    const t_function_decl *fd = record<t_function_decl>(g, f);
    return fd && identifier_text(g, fd->name) == clone;
}

// The constructor bit lives in the function record; on other member kinds
// (a member template) that byte belongs to a node index.
bool is_constructor(const gd_graph *g, const clone_names &clones, node_ptr f)
{
    const t_function_decl *fd = record<t_function_decl>(g, f);
    if (!fd || !fd->constr) return false;
    const str_ptr name = identifier_text(g, fd->name);
    return name != clones.base_ctor && name != clones.comp_ctor;
}

// Takes the clones that follow constructor f ("__base_ctor", then
// "__comp_ctor") out of the function chain and makes them stand for f: the
// references to them are moved to f once every aggregate is converted.
void fold_clones(gd_graph *g, const clone_names &clones, node_ptr f)
{
    t_function_decl &constructor = record_of<t_function_decl>(g, f);
    const node_ptr n1 = constructor.chan;
    const node_ptr n2 = next_declaration(g, n1);
    // The declaration whose chan leads to n2 once n1 is dealt with.
    node_ptr before_n2 = n1;
    if (is_clone(g, n1, clones.base_ctor)) {
        record_of<t_function_decl>(g, n1).other_node = f;
        constructor.chan = n2;
        before_n2 = f;
    }
    if (is_clone(g, n2, clones.comp_ctor)) {
        // A "__comp_ctor" clone without its "__base_ctor" before it leaves the
        // chain alone; the function between keeps its place. before_n2 is a
        // declaration: n2 was found as its successor, or it is f.
        t_function_decl &clone = record_of<t_function_decl>(g, n2);
        clone.other_node = f;
        record_of<t_gcc_decl>(g, before_n2).chan = clone.chan;
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
void take_members(gd_graph *g, const clone_names &clones, member_list &list, node_ptr first, bool functions)
{
    chain_walk walk;
    node_ptr f = first;
    while (is_declaration_kind(kind_of(g, f)) && walk.first_meeting(f)) {
        if (functions && is_constructor(g, clones, f)) fold_clones(g, clones, f);
        const t_type_decl *type_decl = functions ? nullptr : record<t_type_decl>(g, f);
        const bool own_name = type_decl && type_decl->type == list.aggregate;
        if (!own_name)
            append_to_arc_list(g, list.first, list.last, new_arc(g, dC_ARC_SON, list.aggregate, f));
        t_gcc_decl &member = record_of<t_gcc_decl>(g, f);
        const node_ptr next = member.chan;
        member.chan = -1;
        f = next;
    }
}

// The access of an aggregate: protected before public before private.
constexpr t_visb aggregate_precedence[3] = {visb_pro, visb_pub, visb_pri};

// Converts main-variant record or union type x into a Ririra aggregate.
void do_aggregate(gd_graph *g, const clone_names &clones, node_ptr x)
{
    const t_gcc_type &rec = record_of<t_gcc_type>(g, x);

    // Name and place, from the identifier or the declaration that names the
    // type (of the kind table's declaration class, which leaves out template
    // and using declarations); the access from the flags of whatever record
    // names it.
    const node_ptr m = rec.name;
    str_ptr name = -1;
    str_ptr file = -1;
    int32_t line = -1;
    if (const t_identifier_node *id = record<t_identifier_node>(g, m)) {
        name = id->strg;
    } else if (gd_kind_class_of(kind_of(g, m)) == GD_KC_DECLARATION) {
        const t_gcc_decl &d = record_of<t_gcc_decl>(g, m);
        file = d.srcf;
        line = d.srcl;
        name = identifier_text(g, d.name);
    }
    const gd_graph_node *named = node_at(g, m);
    const t_visb visb = visibility_by_precedence(named ? named->common : rec, aggregate_precedence);

    // The two record types keep their chains and base information at
    // different offsets: a union has no isClass.
    node_ptr flds, fncs, binf;
    t_aggr_enum aggr;
    if (const t_record_type *r = record<t_record_type>(g, x)) {
        flds = r->flds;
        fncs = r->fncs;
        binf = r->binf;
        aggr = r->isClass ? aggr_class : aggr_struct;
    } else {
        const t_union_type &u = record_of<t_union_type>(g, x);
        flds = u.flds;
        fncs = u.fncs;
        binf = u.binf;
        aggr = aggr_union;
    }

    // Converted in place: the bytes not named here keep what they held.
    make_type_record(g, x, dC_AGGR_TYPE, file, line, name, visb);
    t_dc_aggr_type &a = record_of<t_dc_aggr_type>(g, x);
    a.aggr_type = aggr;
    // Until classes_filter runs, inheritance holds the compiler's vector of
    // base descriptors, which is element 4 of the base information.
    const t_tree_vec *bases = record<t_tree_vec>(g, binf);
    a.inheritance = bases && bases->length >= 5 ? bases->elts[4] : -1;

    // Data members first, then functions; node numbers of the arcs follow.
    member_list list{x};
    take_members(g, clones, list, flds, false);
    take_members(g, clones, list, fncs, true);
    record_of<t_dc_aggr_type>(g, x).members = list.first;
}

// Moves a reference to a folded clone to its constructor. After the filter
// cleared every other_node, only folded clones (and arcs, free and untyped
// records, which the kind test passes over: it takes compiler and Ririra
// nodes only) have one.
bool is_folded_clone(const gd_graph_node &p)
{
    const gd_node_type k = p.common.type;
    return p.common.other_node >= 0 && (is_compiler_kind(k) || is_ririra_node_kind(k));
}

// The set holds valid indices only; the clone's other_node is its
// constructor.
void unifyConstructors(gd_graph *g, const record_set &folded, node_ptr *field, int n)
{
    if (n != 0 && folded.holds(*field)) *field = node_at(g, *field)->common.other_node;
}

}  // namespace

int aggregate_filter(gd_graph *g)
{
    // From here on other_node holds only what the filters store there. Free
    // records lose their free-list links too; allocation then treats the list
    // as ending at its head.
    for (node_ptr i = 0; gd_graph_node *p = node_at(g, i); ++i) p->common.other_node = -1;

    const clone_names clones{gd_lookup_string(g, "__base_ctor"), gd_lookup_string(g, "__comp_ctor")};

    // Variants (unql another node) stay compiler types for gd_alias_filter.
    // Members are nodes of the graph as it is now; the filter adds only arcs.
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const gd_node_type k = kind_of(g, x);
        if ((k == gRECORD_TYPE || k == gUNION_TYPE) && record_of<t_gcc_type>(g, x).unql == x)
            do_aggregate(g, clones, x);
    }

    // Redirecting links changes no record's other_node or kind.
    const record_set folded(g, is_folded_clone);
    auto unify = [&](node_ptr, node_ptr *field, int n) { unifyConstructors(g, folded, field, n); };
    walk_ptrs_with(g, unify);
    return 1;
}
