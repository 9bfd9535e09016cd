// Helpers for the filters that rewrite compiler records as Ririra records.
#pragma once

#include <gd/graph.h>

// The text of identifier node n, -1 when n is no valid identifier.
str_ptr identifier_text(const gd_graph *g, node_ptr n);

// The name and place of a type, from the gTYPE_DECL that names it; all -1
// when `decl` is no type declaration.
struct declared_place {
    str_ptr file = -1;
    int32_t line = -1;
    str_ptr name = -1;
};
declared_place type_decl_place(const gd_graph *g, node_ptr decl);

// The access of a node from its compiler flags: the first of the three
// levels in `precedence` whose flag is set (public_flag for visb_pub,
// private_flag for visb_pri, protected_flag for visb_pro); visb_unk when none
// is. The conversions differ in which flag wins when several are set.
t_visb visibility_by_precedence(const gd_graph_common &c, const t_visb (&precedence)[3]);

// Rewrites record x in place as a Ririra type of kind `kind`: other_node and
// the identifier links (instance, defLoc, arcFriend, array_dim) and
// `implements` -1, the given file, line, name and access, const_flag and
// volatile_flag from the compiler's readonly_flag and volatile_flag. The
// flags of the common head and the bytes the type does not use keep their
// content.
void make_type_record(gd_graph *g, node_ptr x, gd_node_type kind, str_ptr file, int32_t line, str_ptr name,
                      t_visb visb);

// Makes the link-time symbol named by the mangled-name identifier `mngl`, the
// arc between it and `owner` and its member arc in the global scope kept by
// `global`, in this order. A declaration that is only referred to here
// (`undef`) links to its symbol; one defined here is linked from it. Returns
// the link arc, or -1 when `mngl` is not a valid identifier (no symbol is
// made then).
node_ptr add_link_symbol(gd_graph *g, scope_tail &global, node_ptr owner, node_ptr mngl, bool undef);

// The operands of a Ririra operator, as the call rewrites take calls apart.
// True when node i is a Ririra operator `op`.
bool is_operator(const gd_graph *g, node_ptr i, op_kind op);
// The operand arc number `index` (0 for the first) of operator i, or -1 when
// i is no operator or its chain has no such arc.
node_ptr operand_arc(const gd_graph *g, node_ptr i, int index);
// The node that operand arc number `index` of operator i leads to, or -1.
node_ptr operand(const gd_graph *g, node_ptr i, int index);
