// The gd_derived family: pointer, reference and array types become Ririra
// pointer, reference and array types, each hung under the global scope; an
// array gets its dimension as an int literal.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"

#include <cstdint>
#include <cstdio>

namespace {

// The kind tests folded into the access below.
static_assert(held_only_by<t_integer_type>(gINTEGER_TYPE));
static_assert(held_only_by<t_integer_cst>(gINTEGER_CST));

// The lowest-numbered non-const built-in type named "int", -1 when there is
// none: the type of the array dimension literals.
node_ptr find_int_type(gd_graph *g)
{
    const str_ptr int_name = gd_lookup_string(g, "int");
    if (int_name == -1) return -1;
    for (node_ptr t = 0; node_valid(g, t); ++t) {
        if (kind_of(g, t) != dC_BUILT_IN_TYPE) continue;
        const t_dc_built_in_type &b = record_of<t_dc_built_in_type>(g, t);
        if (b.name == int_name && !b.const_flag) return t;
    }
    return -1;
}

// The number of elements of an array type whose domain is `domain`: the
// domain's maximum plus one, or 0 when the domain has no constant maximum.
// The addition wraps, as the compiler's 32-bit bound does.
int32_t array_dimension(const gd_graph *g, node_ptr domain)
{
    const t_integer_type *d = record<t_integer_type>(g, domain);
    if (!d) return 0;
    const t_integer_cst *max = record<t_integer_cst>(g, d->max);
    if (!max) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(max->low) + 1u);
}

// Makes the dimension of array x: the dimension arc, then the literal's type
// arc, then the literal. Returns the dimension arc.
node_ptr make_dimension(gd_graph *g, node_ptr x, node_ptr domain, node_ptr int_type)
{
    char text[30];
    std::snprintf(text, sizeof text, "%d", array_dimension(g, domain));
    const node_ptr dim = new_arc(g, dC_ARC_ARRAY_DIM, x, -1);
    const node_ptr type = new_arc(g, dC_INSTANCE, -1, int_type);
    const node_ptr literal = newNode(g);
    gd_clear_node(g, literal, dC_LITERAL);
    const str_ptr value = gd_add_string(g, text);
    t_dc_literal &l = record_of<t_dc_literal>(g, literal);
    l.value = value;
    l.type = type;
    record_of<t_dc_arc>(g, type).src = literal;
    record_of<t_dc_arc>(g, dim).dest = literal;
    return dim;
}

void convert_derived(gd_graph *g, node_ptr x, node_ptr int_type, scope_tail &global)
{
    // A pointer, reference or array type: the caller has tested the kind.
    const gd_node_type kind = kind_of(g, x);
    t_gcc_type &type = record_of<t_gcc_type>(g, x);
    const t_visb visb = visibility(&type);
    const unsigned is_const = type.readonly_flag;
    const unsigned is_volatile = type.volatile_flag;
    // ptd, refd and elts all lie at the same offset, but each is read from
    // its own record.
    node_ptr target;
    gd_node_type ririra_kind;
    node_ptr domain = -1;
    switch (kind) {
    case gPOINTER_TYPE:
        target = record_of<t_pointer_type>(g, x).ptd;
        ririra_kind = dC_PTR_TYPE;
        break;
    case gREFERENCE_TYPE:
        target = record_of<t_reference_type>(g, x).refd;
        ririra_kind = dC_REF_TYPE;
        break;
    default: {
        const t_array_type &array = record_of<t_array_type>(g, x);
        target = array.elts;
        domain = array.domn;
        ririra_kind = dC_ARRAY_TYPE;
        break;
    }
    }

    node_ptr array_dim = -1;
    if (node_valid(g, domain) && int_type != -1) array_dim = make_dimension(g, x, domain, int_type);
    const node_ptr instance = new_arc(g, dC_INSTANCE, x, target);
    append_to_scope(g, global, x);

    gd_clear_node(g, x, ririra_kind);
    t_dc_type &t = record_of<t_dc_type>(g, x);
    t.visb = visb;
    t.instance = instance;
    t.array_dim = array_dim;
    t.const_flag = is_const;
    t.volatile_flag = is_volatile;
}

}  // namespace

int gd_derived_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    const node_ptr int_type = find_int_type(g);
    // The global scope's tail is kept as types are added, so adding n types
    // costs n steps, not a walk over the members each.
    scope_tail global = scope_tail_of(g->firstNode);
    for (node_ptr x = 0; node_valid(g, x); ++x) {
        const gd_node_type k = kind_of(g, x);
        if (k == gPOINTER_TYPE || k == gREFERENCE_TYPE || k == gARRAY_TYPE)
            convert_derived(g, x, int_type, global);
    }
    return 1;
}
