// Chain walks and arcs shared by the filters.

#include "arcs_and_chains.h"

#include <gd/kind_table.h>

#include <cstdio>
#include <cstring>
#include <string>

// The marks are cleared on every record, the free ones and those of kinds
// without a record included: each has the common head, which node_at gives
// whatever the kind.
void clear_mark1(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) {
        gd_graph_common &c = node_at(g, i)->common;
        if (c.mark_flag1) c.mark_flag1 = 0;
    }
}

void clear_marks(gd_graph *g)
{
    for (node_ptr i = 0; node_valid(g, i); ++i) clear_marks_of(node_at(g, i)->common);
}

// ---------------------------------------------------------------------------
// The chain's damage and the walks that make nodes

namespace {

// Notes the first damage; later damage changes nothing.
void note_damage(gd_graph *g, gd_chain_damage what, node_ptr at, node_ptr to)
{
    gd_chain_state &c = g->chain;
    if (c.damage != gd_chain_damage::none) return;
    c.damage = what;
    c.damageAt = at;
    c.damageTo = to;
}

// One bit per record below curNodePos, set for the free ones; empty when
// there is none, as in a unit just written by the front end.
std::vector<bool> free_records(const gd_graph *g)
{
    std::vector<bool> free;
    for (uint32_t i = 0; i < g->curNodePos; i++) {
        if (g->nodeBuffer[i].common.type != NODE_DELTED) continue;
        if (free.empty()) free.assign(g->curNodePos, false);
        free[i] = true;
    }
    return free;
}

// The first link of a live record to a record that is not live, noted as the
// chain's damage. Every pointer field of the kind counts, and other_node too
// for the Ririra kinds, whose chains run through it; the compiler kinds'
// other_node is the front end's own, which the chain clears before any walk
// reads it.
void find_link_to_a_dead_record(gd_graph *g)
{
    const std::vector<bool> free = free_records(g);
    for (uint32_t i = 0; i < g->curNodePos; i++) {
        const gd_graph_node &p = g->nodeBuffer[i];
        const gd_node_type k = p.common.type;
        const gd_kind_info *info = gd_kind_info_of(k);
        if (k == NODE_DELTED || !info) continue;
        const int links = gd_links_in_use(info, &p);
        for (int l = is_compiler_kind(k) ? 1 : 0; l < links; l++) {
            node_ptr target;
            std::memcpy(&target, p.bytes + info->links[l].offset, sizeof target);
            if (target < 0) continue;
            if ((uint32_t)target >= g->curNodePos) {
                note_damage(g, gd_chain_damage::link_past_the_records, (node_ptr)i, target);
                return;
            }
            if (!free.empty() && free[(size_t)target]) {
                note_damage(g, gd_chain_damage::link_to_free_record, (node_ptr)i, target);
                return;
            }
        }
    }
}

uint64_t damaged_growth_limit(const gd_chain_state &c)
{
    return growth_walk::damaged_growth_per_record * c.startRecords + growth_walk::damaged_growth_slack;
}

// What the damage was, for the fatal message.
std::string damage_text(const gd_chain_state &c)
{
    char text[160];
    switch (c.damage) {
    case gd_chain_damage::link_to_free_record:
        std::snprintf(text, sizeof text, "node %d links to free record %d", c.damageAt, c.damageTo);
        break;
    case gd_chain_damage::link_past_the_records:
        std::snprintf(text, sizeof text, "node %d links to record %d, past the last one", c.damageAt,
                      c.damageTo);
        break;
    case gd_chain_damage::chain_meets_node_again:
        std::snprintf(text, sizeof text, "the chain from node %d meets node %d again", c.damageAt,
                      c.damageTo);
        break;
    case gd_chain_damage::chain_longer_than_unit:
        std::snprintf(text, sizeof text, "the chain from node %d passes more nodes than the unit holds",
                      c.damageAt);
        break;
    case gd_chain_damage::none: text[0] = '\0'; break;
    }
    return text;
}

}  // namespace

void begin_chain(gd_graph *g)
{
    if (g->chain.begun) return;
    g->chain = gd_chain_state{};
    g->chain.begun = true;
    g->chain.startRecords = g->curNodePos;
    find_link_to_a_dead_record(g);
}

growth_walk::growth_walk(gd_graph *g, const char *family) : g_(g), family_(family)
{
    begin_chain(g);
    counted_to_ = g->curNodePos;
}

// The records made since the last count are the walk's own: walks do not
// nest. Counted here as well, for the last node the walk passed, but the
// limit is left to the next walk's step: a destructor must not end the
// program.
growth_walk::~growth_walk()
{
    count_growth();
}

void growth_walk::count_growth()
{
    gd_chain_state &c = g_->chain;
    if (c.damage != gd_chain_damage::none && g_->curNodePos > counted_to_)
        c.damagedGrowth += g_->curNodePos - counted_to_;
    counted_to_ = g_->curNodePos;
}

bool growth_walk::takes(node_ptr n)
{
    count_growth();
    const gd_chain_state &c = g_->chain;
    if (c.damagedGrowth > damaged_growth_limit(c)) {
        std::fprintf(stderr,
                     "talvex: (fatal) %s: the chain walks on a damaged unit have made %llu nodes, more than "
                     "the %llu allowed for its %u records (%s)\n",
                     family_, (unsigned long long)c.damagedGrowth,
                     (unsigned long long)damaged_growth_limit(c), c.startRecords, damage_text(c).c_str());
        gd_fatal(1);
    }
    if (first_ == -1) first_ = n;
    if (!met_.first_meeting(n)) {
        note_damage(g_, gd_chain_damage::chain_meets_node_again, first_, n);
        return false;
    }
    if (++steps_ > c.startRecords) note_damage(g_, gd_chain_damage::chain_longer_than_unit, first_, -1);
    return true;
}

void growth_walk::made(node_ptr n)
{
    met_.first_meeting(n);
}

node_ptr last_arc(const gd_graph *g, node_ptr first)
{
    node_ptr last = -1;
    chain_walk walk;
    for (node_ptr a = first;;) {
        const t_dc_arc *arc = record<t_dc_arc>(g, a);
        if (!arc || !walk.first_meeting(a)) break;
        last = a;
        a = arc->next;
    }
    return last;
}

void append_to_contents(gd_graph *g, node_ptr scope, node_ptr &last, node_ptr a)
{
    if (last == -1)
        record_of<t_dc_scope>(g, scope).contents = a;
    else
        record_of<t_dc_arc>(g, last).next = a;
    last = a;
}

node_ptr next_declaration(const gd_graph *g, node_ptr d)
{
    const t_gcc_decl *decl = record<t_gcc_decl>(g, d);
    return decl ? decl->chan : -1;
}

node_ptr new_arc(gd_graph *g, gd_node_type kind, node_ptr src, node_ptr dest)
{
    node_ptr a = newNode(g);
    gd_clear_node(g, a, kind);
    t_dc_arc &arc = record_of<t_dc_arc>(g, a);
    arc.src = src;
    arc.dest = dest;
    return a;
}

node_ptr copy_node(gd_graph *g, node_ptr from)
{
    const node_ptr n = newNode(g);
    // The whole record, whatever its kind; every caller copies a node whose
    // kind it has tested, and any other index is a fault of the caller.
    const gd_graph_node *source = node_at(g, from);
    if (!source) gd_record_fault(g, from, "gd_graph_node");
    *node_at(g, n) = *source;
    return n;
}

void append_to_arc_list(gd_graph *g, node_ptr &head, node_ptr &tail, node_ptr a)
{
    if (tail == -1)
        head = a;
    else
        record_of<t_dc_arc>(g, tail).next = a;
    tail = a;
}

// The kinds of class GD_KC_NONE are exactly the codes above the last arc kind
// (free, untyped, the count of kinds and every code beyond), over every code
// a kind field can hold.
static_assert([] {
    for (int k = 0; k <= 0xffff; ++k)
        if ((gd_kind_class_of(k) == GD_KC_NONE) != (k > dC_ARC_ARRAY_DIM)) return false;
    return true;
}());

bool statement_link_readable(const gd_graph *g, node_ptr s)
{
    const gd_node_type k = kind_of(g, s);
    if (gd_kind_class_of(k) == GD_KC_NONE) return false;
    const gd_kind_info *info = gd_kind_info_of(k);
    return info && (info->flags & GD_KF_RECORD) && !(info->flags & GD_KF_CHAIN_ERROR);
}

node_ptr take_statements(gd_graph *g, const char *family, node_ptr owner, node_ptr first)
{
    node_ptr head = -1, tail = -1;
    growth_walk walk(g, family);
    node_ptr s = first;
    while (statement_link_readable(g, s) && walk.takes(s)) {
        const gd_node_type k = kind_of(g, s);
        if (k == gSCOPE_STMT || k == gCTOR_STMT) {
            s = nextNode(g, s);
            continue;
        }
        // A link to a record that was free when the walk began may lead to
        // an arc made here, and from it along the arcs the walk keeps
        // adding: the walk has met every arc it makes.
        const node_ptr next = setNext(g, s, -1);
        const node_ptr arc = new_arc(g, dC_ARC_SON, owner, s);
        walk.made(arc);
        append_to_arc_list(g, head, tail, arc);
        s = next;
    }
    return head;
}
