// The gd_virtual family: a call through a class's virtual table pointer,
//     fct_call(deref(bplus(field_access(object, _vptr.C), offset)), args)
// or, for the first slot, fct_call(deref(field_access(object, _vptr.C)), args),
// becomes a call of the member function in that slot:
//     fct_call(field_access(object, member), args).

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The kind tests folded into the access below.
static_assert(held_only_by<t_dc_aggr_type>(dC_AGGR_TYPE));
static_assert(held_only_by<t_dc_function>(dC_FUNCTION));
static_assert(held_only_by<t_dc_literal>(dC_LITERAL));

// True when the object's name begins with "_vptr.", the front end's name of
// the virtual table pointer it adds to a class.
bool is_vptr(const gd_graph *g, node_ptr object)
{
    if (kind_of(g, object) != dC_OBJECT) return false;
    const char *name = string_at(g, record_of<t_dc_object>(g, object).name);
    return name && std::strncmp(name, "_vptr.", 6) == 0;
}

// The member function of class `cls` whose virtual slot is `slot`, or -1.
// The search follows the member chain while it is made of son arcs.
node_ptr get_virtual(const gd_graph *g, node_ptr cls, int slot)
{
    const t_dc_aggr_type *c = record<t_dc_aggr_type>(g, cls);
    if (!c) return -1;
    chain_walk walk;
    for (node_ptr a = c->members; kind_of(g, a) == dC_ARC_SON && walk.first_meeting(a);) {
        const t_dc_arc_son &son = record_of<t_dc_arc_son>(g, a);
        const t_dc_function *f = record<t_dc_function>(g, son.dest);
        if (f && f->voffset == slot) return son.dest;
        a = son.next;
    }
    return -1;
}

// The class that owns each virtual table pointer, by the pointer's node
// index; -1 for every other node.
std::vector<node_ptr> vptr_classes(const gd_graph *g)
{
    std::vector<node_ptr> owner(g->curNodePos, -1);
    for (node_ptr v = 0; node_valid(g, v); v++) {
        if (!is_vptr(g, v)) continue;
        const node_ptr def = record_of<t_dc_object>(g, v).defLoc;
        if (kind_of(g, def) != dC_ARC_DEF_LOC) continue;
        const node_ptr cls = record_of<t_dc_arc_def_loc>(g, def).dest;
        if (kind_of(g, cls) == dC_AGGR_TYPE) owner[v] = cls;
    }
    return owner;
}

// The slot that a byte offset selects: the offset's literal text read as a
// decimal number (a suffix such as "8U" is allowed) divided by the size of a
// table entry; no offset is slot 0. False for an offset that is no literal
// number or not a whole number of entries.
bool slot_of_offset(const gd_graph *g, node_ptr offset, int *slot)
{
    if (offset == -1) {
        *slot = 0;
        return true;
    }
    const t_dc_literal *literal = record<t_dc_literal>(g, offset);
    if (!literal) return false;
    const char *text = string_at(g, literal->value);
    if (!text) return false;
    char *end;
    long bytes = std::strtol(text, &end, 10);
    if (end == text || bytes % 4 != 0 || bytes / 4 < INT32_MIN || bytes / 4 > INT32_MAX) return false;
    *slot = int(bytes / 4);
    return true;
}

// Resolves call j when it goes through a virtual table pointer.
void resolve_virtual_call(gd_graph *g, node_ptr j, const std::vector<node_ptr> &owner)
{
    const node_ptr callee_arc = operand_arc(g, j, 0);
    if (callee_arc == -1) return;
    const node_ptr deref = record_of<t_dc_arc>(g, callee_arc).dest;
    if (!is_operator(g, deref, dc_deref)) return;
    const node_ptr entry = operand(g, deref, 0);
    node_ptr access = entry;
    node_ptr offset = -1;
    if (is_operator(g, entry, dc_bplus)) {
        if (operand_arc(g, entry, 1) == -1) return;
        access = operand(g, entry, 0);
        offset = operand(g, entry, 1);
    }
    if (!is_operator(g, access, dc_field_access)) return;
    const node_ptr member_arc = operand_arc(g, access, 1);
    if (member_arc == -1) return;
    const node_ptr vptr = record_of<t_dc_arc>(g, member_arc).dest;
    if (!node_valid(g, vptr) || uint32_t(vptr) >= owner.size() || owner[vptr] == -1) return;
    int slot;
    if (!slot_of_offset(g, offset, &slot)) return;
    // The deref and the addition stay behind, unreferenced.
    record_of<t_dc_arc>(g, callee_arc).dest = access;
    node_ptr member = get_virtual(g, owner[vptr], slot);
    if (member != -1) record_of<t_dc_arc>(g, member_arc).dest = member;
}

}  // namespace

int gd_virtual_filter(gd_graph *g)
{
    // One pass over the calls with the owners at hand: a call reaches one
    // table pointer at most, and a resolved call no longer matches, so this
    // gives what a pass over the calls per table pointer would.
    const std::vector<node_ptr> owner = vptr_classes(g);
    for (node_ptr j = 0; node_valid(g, j); j++)
        if (is_operator(g, j, dc_fct_call)) resolve_virtual_call(g, j, owner);
    return 1;
}
