// Link rules, marking and the sweep of the two reachability passes.

#include "reachability.h"

#include "arcs_and_chains.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

// Kinds that are never marked, so always freed: the compiler kinds the passes
// do not know (four of them have no record at all) and dC_SYSTEM, which no
// filter makes.
constexpr gd_node_type never_marked_kinds[] = {
    gIMAGPART_EXPR, gEXIT_BLOCK_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT, dC_SYSTEM,
};

// Pointer fields that neither pass follows, though the walkers visit them: a
// compound expression's type and the second operand of a user conversion. The
// instantiation lists of aggregates and functions (`inst`) are not links of
// the walk order at all, so they are not followed either. The member of a
// field access (a component reference's op1) is followed, unlike in the use
// test: freeing it would leave the access pointing at a free record.
struct unfollowed_link {
    gd_node_type kind;
    const char *field;
};
constexpr unfollowed_link unfollowed_links[] = {
    {gCOMPOUND_EXPR, "type"},
    {gUSER_CONV, "op1"},
};

using link_sets = std::array<unsigned, NUM_NODES>;

link_sets make_link_sets(other_node_rule rule)
{
    link_sets sets{};
    for (int k = 0; k < NUM_NODES; ++k) {
        const gd_kind_info *info = gd_kind_info_of(k);
        if (!info || never_marked(gd_node_type(k))) continue;
        unsigned set = 0;
        for (int l = 0; l < info->nlinks; ++l) {
            const gd_link &link = info->links[l];
            // Link 0 is other_node in every kind's walk order.
            bool followed = !(l == 0 && rule == other_node_rule::ignored);
            for (const unfollowed_link &u : unfollowed_links)
                if (u.kind == k && std::strcmp(u.field, link.name) == 0) followed = false;
            if (followed) set |= 1u << l;
        }
        sets[k] = set;
    }
    return sets;
}

static_assert(GD_MAX_LINKS <= 32, "a link set is a 32-bit mask");

}  // namespace

bool never_marked(gd_node_type k)
{
    for (gd_node_type never : never_marked_kinds)
        if (k == never) return true;
    return false;
}

unsigned followed_link_set(gd_node_type k, other_node_rule rule)
{
    static const link_sets without_other = make_link_sets(other_node_rule::ignored);
    static const link_sets with_other = make_link_sets(other_node_rule::followed);
    if (k >= NUM_NODES) return 0;
    return rule == other_node_rule::followed ? with_other[k] : without_other[k];
}

int queue_lookahead::next(node_ptr *nodenum, int *byChan)
{
    for (; count_ < window; ++count_) {
        t_queue_node &cell = cells_[(head_ + count_) % window];
        if (queue_first(&cell.nodenum, &cell.byChan) != 1) break;
        // A 72-byte record always spans two cache lines.
        if (const gd_graph_node *p = node_at(g_, cell.nodenum)) {
            __builtin_prefetch(p);
            __builtin_prefetch(p->bytes + sizeof *p - 1);
        }
    }
    if (count_ == 0) {
        *nodenum = -1;
        return -1;
    }
    *nodenum = cells_[head_].nodenum;
    *byChan = cells_[head_].byChan;
    head_ = (head_ + 1) % window;
    --count_;
    return 1;
}

namespace {

// One pointer field of a kind as the sweep checks it: its byte offset and,
// for a slot of an array of links, its place counted from the array's end
// (1 for the last slot), 0 for a field of its own.
struct pointer_field {
    uint8_t offset;
    uint8_t slot_from_end;
};

// Every pointer field of each kind, the fields of the walk order and the ones
// the walk leaves out (`inst`) alike, in record order: read once from the
// kind table, so that the sweep looks at nothing else in a record.
// (gd_kind_info_of has an entry for NUM_NODES itself, a code a file may hold.)
using pointer_field_lists = std::array<std::vector<pointer_field>, NUM_NODES + 1>;

pointer_field_lists make_pointer_field_lists()
{
    pointer_field_lists lists;
    for (int k = 0; k <= NUM_NODES; ++k) {
        const gd_kind_info *info = gd_kind_info_of(k);
        if (!info) continue;
        for (int f = 0; f < info->nfields; ++f) {
            const gd_field &field = info->fields[f];
            if (field.type == GD_FT_NODE)
                lists[k].push_back({field.offset, 0});
            else if (field.type == GD_FT_NODES)
                for (int s = 0; s < field.width; ++s)
                    lists[k].push_back({uint8_t(field.offset + 4 * s), uint8_t(field.width - s)});
        }
    }
    return lists;
}

// Sets to -1 every pointer field of record p, of kind k, that holds an index
// `freed` says yes to.
template <class Freed>
void drop_links_to_freed(gd_graph_node *p, gd_node_type k, const gd_kind_info *info, Freed &&freed)
{
    static const pointer_field_lists pointer_fields = make_pointer_field_lists();
    // Of an array of links, only the elements in use.
    const int unused_slots = info->links_counted ? info->nlinks - gd_links_in_use(info, p) : 0;
    for (const pointer_field &field : pointer_fields[k]) {
        if (field.slot_from_end != 0 && field.slot_from_end <= unused_slots) continue;
        node_ptr target;
        std::memcpy(&target, p->bytes + field.offset, sizeof target);
        if (freed(target)) {
            target = -1;
            std::memcpy(p->bytes + field.offset, &target, sizeof target);
        }
    }
}

// The sweep of free_unreached, with `reached` telling which records are kept.
// It goes up the buffer in one scan: a link to the current record or one below
// asks whether the sweep freed it, a link to one above whether it will (it is
// live and not reached).
template <class Reached> void sweep_unreached(gd_graph *g, Reached &&reached)
{
    const uint32_t end = g->curNodePos;
    std::vector<bool> freed(end, false);
    uint32_t at = 0;
    auto freed_by_sweep = [&](node_ptr t) {
        if (!node_valid(g, t)) return false;
        if (uint32_t(t) <= at) return bool(freed[t]);
        // Nearly every link of a kept record leads to a reached one: asking
        // that first spares reading the record, a wait for memory per link.
        return !reached(t) && kind_of(g, t) != NODE_DELTED;
    };
    for (; at < end; ++at) {
        // Every record, free ones too: the sweep reads the kind table's
        // offsets, not a typed record.
        gd_graph_node *p = node_at(g, node_ptr(at));
        const bool live = p->common.type != NODE_DELTED;
        const bool kept = reached(node_ptr(at));
        if (live && !kept) {
            gd_free_node(g, node_ptr(at));
            freed[at] = true;
        }
        clear_marks_of(p->common);
        if (!live || !kept) continue;
        const gd_node_type k = p->common.type;
        if (const gd_kind_info *info = gd_kind_info_of(k)) drop_links_to_freed(p, k, info, freed_by_sweep);
    }
    if (freed_by_sweep(g->firstNode)) g->firstNode = -1;
}

}  // namespace

void free_unreached(gd_graph *g, const std::vector<bool> &reached)
{
    sweep_unreached(g, [&reached](node_ptr i) { return bool(reached[i]); });
}
