// The chain of talvexf end to end: whole units in the text form through all
// 41 steps, checked for what the finished Ririra graph must be.

#include <gd/filters/chain.h>

#include <gd/kind_table.h>

#include "support/graph_fixture.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Running the chain

struct chain_run {
    int result;
    std::string messages;
};

chain_run run_chain(gd_graph *g)
{
    ::testing::internal::CaptureStderr();
    const int result = run_steps(g, talvex_chain(), step_report::progress);
    return {result, ::testing::internal::GetCapturedStderr()};
}

std::size_t count_of(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++n;
    return n;
}

// ---------------------------------------------------------------------------
// Reading the finished graph

bool alive(const gd_graph *g, node_ptr i)
{
    gd_node_type k = kind_of(g, i);
    return k != NODE_NONE && k != NODE_DELTED;
}

bool is_arc(gd_node_type k) { return k >= dC_ARC && k <= dC_ARC_ARRAY_DIM; }
bool is_syntax_arc(gd_node_type k) { return k >= dC_ARC_SYNTAX && k <= dC_ARC_ARRAY_DIM; }

// The links of node i other than other_node, with their field names.
std::vector<std::pair<const char *, node_ptr>> links_of(const gd_graph *g, node_ptr i)
{
    std::vector<std::pair<const char *, node_ptr>> links;
    const gd_graph_node *p = &g->nodeBuffer[i];
    const gd_kind_info *k = gd_kind_info_of(p->common.type);
    if (!k || !(k->flags & GD_KF_RECORD))
        return links;
    for (int l = 0; l < gd_links_in_use(k, p); l++) {
        if (k->links[l].offset == 4)
            continue;
        node_ptr v;
        std::memcpy(&v, p->bytes + k->links[l].offset + 4 * k->links[l].slot, sizeof v);
        links.push_back({k->links[l].name, v});
    }
    return links;
}

// What a node is, without its number: kind, then its name, value or operator.
std::string label(const gd_graph *g, node_ptr i)
{
    if (!alive(g, i))
        return "(none)";
    const gd_graph_node &n = g->nodeBuffer[i];
    gd_node_type k = n.common.type;
    std::string text = gd_kind_name(k);
    const char *s = nullptr;
    if (k >= dC_IDENTIFIER && k <= dC_FORMAL_TEMPLATE)
        s = string_at(g, n.dc_identifier.name);
    else if (k == dC_NAME_REF)
        s = string_at(g, n.dc_name_ref.name);
    else if (k == dC_LINK_SYM)
        s = string_at(g, n.dc_link_sym.name);
    else if (k == dC_LITERAL)
        s = string_at(g, n.dc_literal.value);
    else if (k == dC_OPERATOR)
        s = gd_op_name(n.dc_operator.op);
    if (s)
        text += std::string(" ") + s;
    if (k >= dC_ASG_ND && k < dC_ARC && n.dc_asg_nd.line != -1)
        text += " @" + std::to_string(n.dc_asg_nd.line);
    return text;
}

// The structure read from node i: the arc chains that leave it, syntax arcs
// with what they own below them, reference arcs with the label of their
// target. Node numbers do not show, so two graphs that differ only in their
// numbering read the same.
//
// With `members_as_set` the members of the root come sorted and without their
// ordinals: the global scope lists link symbols in the order the filters make
// them, which follows node numbers.
void render(const gd_graph *g, node_ptr i, int depth, std::vector<char> &seen, std::string &out,
            bool members_as_set = false)
{
    const std::string indent(2 * depth, ' ');
    out += label(g, i);
    if (seen[i]) {
        out += " (again)\n";
        return;
    }
    seen[i] = 1;
    out += "\n";
    for (auto [field, first] : links_of(g, i)) {
        if (!is_arc(kind_of(g, first)) || g->nodeBuffer[first].dc_arc.src != i)
            continue;
        std::vector<std::string> members;
        for (node_ptr a = first; is_arc(kind_of(g, a)) && !seen[a]; a = g->nodeBuffer[a].dc_arc.next) {
            seen[a] = 1;
            const t_dc_arc &arc = g->nodeBuffer[a].dc_arc;
            std::string member = indent + "  " + field + " " + gd_kind_name(kind_of(g, a)) + " " +
                                 (members_as_set ? "#" : std::to_string(arc.ordinal));
            if (is_syntax_arc(kind_of(g, a)) && alive(g, arc.dest)) {
                member += ": ";
                render(g, arc.dest, depth + 2, seen, member);
            } else {
                member += " -> " + label(g, arc.dest) + "\n";
            }
            members.push_back(member);
        }
        if (members_as_set)
            std::sort(members.begin(), members.end());
        for (const std::string &member : members)
            out += member;
    }
}

std::string structure(const gd_graph *g, bool members_as_set = false)
{
    if (!alive(g, g->firstNode))
        return "(no root)\n";
    std::vector<char> seen(g->curNodePos, 0);
    std::string out;
    render(g, g->firstNode, 0, seen, out, members_as_set);
    return out;
}

// Every live node is a Ririra node; every arc leaves and reaches live nodes.
std::string dead_ends(const gd_graph *g)
{
    std::string report;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        gd_node_type k = kind_of(g, i);
        if (!alive(g, i))
            continue;
        if (k < dC_ASG_ND)
            report += "compiler node " + std::to_string(i) + " " + gd_kind_name(k) + "\n";
        if (is_arc(k) && !(alive(g, g->nodeBuffer[i].dc_arc.src) && alive(g, g->nodeBuffer[i].dc_arc.dest)))
            report += "arc " + std::to_string(i) + " with a dead end\n";
    }
    return report;
}

// Every arc chain of n >= 2 arcs carries 1 to n, a lone arc 0; a function
// with formals numbers its formals, exception types and body as one run.
std::string misnumbered(const gd_graph *g)
{
    std::string report;
    std::set<node_ptr> in_function_run, has_predecessor;
    for (node_ptr i = 0; node_valid(g, i); i++) {
        if (is_arc(kind_of(g, i)) && g->nodeBuffer[i].dc_arc.next != -1)
            has_predecessor.insert(g->nodeBuffer[i].dc_arc.next);
        if (kind_of(g, i) != dC_FUNCTION || g->nodeBuffer[i].dc_function.formal_fct == -1)
            continue;
        const t_dc_function &f = g->nodeBuffer[i].dc_function;
        int expected = 1;
        for (node_ptr first : {f.formal_fct, f.exception, f.block})
            for (node_ptr a = first; is_arc(kind_of(g, a)); a = g->nodeBuffer[a].dc_arc.next, expected++) {
                in_function_run.insert(a);
                if (g->nodeBuffer[a].dc_arc.ordinal != expected)
                    report += "function " + std::to_string(i) + " arc " + std::to_string(a) + "\n";
            }
    }
    for (node_ptr head = 0; node_valid(g, head); head++) {
        if (!is_arc(kind_of(g, head)) || has_predecessor.count(head) || in_function_run.count(head))
            continue;
        const bool lone = g->nodeBuffer[head].dc_arc.next == -1;
        int expected = lone ? 0 : 1;
        for (node_ptr a = head; is_arc(kind_of(g, a)); a = g->nodeBuffer[a].dc_arc.next, expected++)
            if (g->nodeBuffer[a].dc_arc.ordinal != expected)
                report += "chain " + std::to_string(head) + " arc " + std::to_string(a) + "\n";
    }
    return report;
}

// The same graph with node i moved to n-1-i and every link renumbered.
void reverse_numbering(gd_graph *g)
{
    const uint32_t n = g->curNodePos;
    const std::vector<gd_graph_node> old(g->nodeBuffer, g->nodeBuffer + n);
    auto moved = [n](node_ptr p) { return p >= 0 && uint32_t(p) < n ? node_ptr(n - 1 - p) : p; };
    for (uint32_t i = 0; i < n; i++) {
        gd_graph_node r = old[i];
        r.common.other_node = moved(r.common.other_node);
        const gd_kind_info *k = gd_kind_info_of(r.common.type);
        if (k && (k->flags & GD_KF_RECORD))
            for (int l = 0; l < gd_links_in_use(k, &r); l++) {
                if (k->links[l].offset == 4)
                    continue;
                unsigned char *at = r.bytes + k->links[l].offset + 4 * k->links[l].slot;
                node_ptr v;
                std::memcpy(&v, at, sizeof v);
                v = moved(v);
                std::memcpy(at, &v, sizeof v);
            }
        g->nodeBuffer[n - 1 - i] = r;
    }
    g->firstNode = moved(g->firstNode);
    gd_make_freelist(g);
}

// The sample unit (gd/sample/unit.gdt) read from the root of its Ririra
// graph: the global scope holds the compilation scope, the built-in type
// that is used, the pointer type of `this` and the link symbols; the
// namespace holds the class with its field and method, the declared twice
// and clamp, whose block holds the loop, the if and the return of the call
// twice(x) with its actual parameter. Every use of x is a name reference to
// the formal; each literal is owned by the one operand that uses it.
const char *sample_structure = R"(cScopeGlb
  contents cArcSon 1: cScopeCompil @0
      contents cArcSon 0: cNameSpace demo @1
          contents cArcSon 1: cAggrType Counter @2
              members cArcSon 1: cObject count @4
                  instance cInstance 0 -> cBuiltInType int
                  defLoc cArcDefLoc 0 -> cAggrType Counter @2
              members cArcSon 2: cFunction get @5
                  instance cInstance 0 -> cBuiltInType int
                  formal_fct cArcSon 1: cFormalObject @5
                      instance cInstance 0 -> cPtrType
                  link cResolvedByExtern 0 -> cExternSymbol _ZN4demo7Counter3getEv
          contents cArcSon 2: cFunction twice @7
              instance cInstance 0 -> cBuiltInType int
              formal_fct cArcSon 1: cFormalObject @7
                  instance cInstance 0 -> cBuiltInType int
              link cResolvedByExtern 0 -> cExternSymbol _ZN4demo5twiceEi
          contents cArcSon 3: cFunction clamp @8
              instance cInstance 0 -> cBuiltInType int
              formal_fct cArcSon 1: cFormalObject x @8
                  instance cInstance 0 -> cBuiltInType int
                  defLoc cArcDefLoc 0 -> cFunction clamp @8
              block cArcSon 2: cBlock @8
                  contents cArcSon 1: cWhileDoLoop @9
                      cond cArcCond 0: cOperator tst-gt
                          ops cArcOpd 1: cNameRef x
                              refers cRefersTo 0 -> cFormalObject x @8
                          ops cArcOpd 2: cLiteral 100
                              type cInstance 0 -> cBuiltInType int
                      block cArcSon 0: cOperator asgn-eq @10
                          ops cArcOpd 1: cNameRef x @10
                              refers cRefersTo 0 -> cFormalObject x @8
                          ops cArcOpd 2: cOperator bminus
                              ops cArcOpd 1: cNameRef x
                                  refers cRefersTo 0 -> cFormalObject x @8
                              ops cArcOpd 2: cLiteral 1
                                  type cInstance 0 -> cBuiltInType int
                  contents cArcSon 2: cIf @11
                      cond cArcCond 0: cOperator tst-lt
                          ops cArcOpd 1: cNameRef x
                              refers cRefersTo 0 -> cFormalObject x @8
                          ops cArcOpd 2: cLiteral 0
                              type cInstance 0 -> cBuiltInType int
                      true_block cArcTrue 0: cReturn @12
                          value cArcSon 0: cLiteral 0
                              type cInstance 0 -> cBuiltInType int
                  contents cArcSon 3: cReturn @13
                      value cArcSon 0: cOperator fct-call
                          ops cArcOpd 1: cNameRef twice
                              refers cRefersTo 0 -> cFunction twice @7
                          ops cArcOpd 2: cActualFctParamList
                              actuals cArcSon 0: cNameRef x
                                  refers cRefersTo 0 -> cFormalObject x @8
  contents cArcSon 2: cBuiltInType int
  contents cArcSon 3: cPtrType
      instance cInstance 0 -> cAggrType Counter @2
  contents cArcSon 4: cExternSymbol _ZN4demo7Counter3getEv
  contents cArcSon 5: cExternSymbol _ZN4demo5twiceEi
  contents cArcSon 6: cExternSymbol _ZN4demo5clampEi
)";

// The sample unit as the front end wrote it, released when the test ends.
struct sample_unit {
    gd_graph g = gd_graph_read_binary_file(SAMPLE_GD);
    ~sample_unit() { deallocate_gd_graph(g); }
};

TEST(Chain, TurnsTheSampleUnitIntoARiriraGraph)
{
    sample_unit t;
    const chain_run run = run_chain(&t.g);
    EXPECT_EQ(run.result, 1) << run.messages;
    EXPECT_EQ(count_of(run.messages, "* Running "), 41u);
    EXPECT_EQ(count_of(run.messages, "done\n"), 41u);
    EXPECT_EQ(dead_ends(&t.g), "");
    EXPECT_EQ(misnumbered(&t.g), "");
    EXPECT_EQ(structure(&t.g), sample_structure);
}

TEST(Chain, NumberingTheSampleBackwardsGivesTheSameStructure)
{
    sample_unit forwards, backwards;
    reverse_numbering(&backwards.g);
    ASSERT_EQ(kind_of(&backwards.g, backwards.g.firstNode), gNAMESPACE_DECL);
    EXPECT_EQ(run_chain(&forwards.g).result, 1);
    const chain_run run = run_chain(&backwards.g);
    EXPECT_EQ(run.result, 1) << run.messages;
    EXPECT_EQ(dead_ends(&backwards.g), "");
    EXPECT_EQ(misnumbered(&backwards.g), "");
    EXPECT_EQ(structure(&backwards.g, true), structure(&forwards.g, true));
}

}  // namespace
