// The chain of talvexf end to end: whole units in the text form through all
// 41 steps, checked for what the finished Ririra graph must be.

#include <gd/filters/chain.h>

#include <gd/kind_table.h>

#include "program_run.h"
#include "support/graph_fixture.h"
#include "support/shared_prototypes.h"
#include <gd/record.h>

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
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// ---------------------------------------------------------------------------
// Reading the finished graph

bool alive(const gd_graph *g, node_ptr i)
{
    gd_node_type k = kind_of(g, i);
    return k != NODE_NONE && k != NODE_DELTED;
}

bool is_arc(gd_node_type k)
{
    return k >= dC_ARC && k <= dC_ARC_ARRAY_DIM;
}
bool is_syntax_arc(gd_node_type k)
{
    return k >= dC_ARC_SYNTAX && k <= dC_ARC_ARRAY_DIM;
}

// The links of node i other than other_node, with their field names.
std::vector<std::pair<const char *, node_ptr>> links_of(const gd_graph *g, node_ptr i)
{
    std::vector<std::pair<const char *, node_ptr>> links;
    const gd_graph_node *p = &g->nodeBuffer[i];
    const gd_kind_info *k = gd_kind_info_of(p->common.type);
    if (!k || !(k->flags & GD_KF_RECORD)) return links;
    for (int l = 0; l < gd_links_in_use(k, p); l++) {
        if (k->links[l].offset == 4) continue;
        node_ptr v;
        std::memcpy(&v, p->bytes + k->links[l].offset + 4 * k->links[l].slot, sizeof v);
        links.push_back({k->links[l].name, v});
    }
    return links;
}

// What a node is, without its number: kind, then its name, value or operator.
std::string label(const gd_graph *g, node_ptr i)
{
    if (!alive(g, i)) return "(none)";
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
    if (s) text += std::string(" ") + s;
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
        if (!is_arc(kind_of(g, first)) || g->nodeBuffer[first].dc_arc.src != i) continue;
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
        if (members_as_set) std::sort(members.begin(), members.end());
        for (const std::string &member : members) out += member;
    }
}

std::string structure(const gd_graph *g, bool members_as_set = false)
{
    if (!alive(g, g->firstNode)) return "(no root)\n";
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
        if (!alive(g, i)) continue;
        if (k < dC_ASG_ND) report += "compiler node " + std::to_string(i) + " " + gd_kind_name(k) + "\n";
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
        if (kind_of(g, i) != dC_FUNCTION || g->nodeBuffer[i].dc_function.formal_fct == -1) continue;
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
        if (!is_arc(kind_of(g, head)) || has_predecessor.count(head) || in_function_run.count(head)) continue;
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
                if (k->links[l].offset == 4) continue;
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

// A second unit, box.cc, as the front end writes it: a class with a field
// and a method declared only, and a function that declares an object of the
// class, calls the method on it and returns its field.
//
//    1  namespace app {
//    2  class Box {
//    3   public:
//    4    int size;
//    5    int grow(int by);
//    6  };
//    7  int run() {
//    8    Box b;
//    9    b.grow(2);
//   10    return b.size;
//   11  }
//   12  }
const char *box_unit = R"(root 0
0 namespace_decl name=1 srcf="<internal>" srcl=0 lang=src_lang_cp dcls=2
1 identifier_node strg="::" lngt=2
2 type_decl name=3 type=4 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_cp artificial=1 chan=9
3 identifier_node strg="int" lngt=3
4 integer_type name=2 size=5 algn=32 unql=4 prec=32
5 integer_cst low=32
9 type_decl name=11 type=12 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_cp artificial=1 chan=13
11 identifier_node strg="void" lngt=4
12 void_type name=9 algn=8 unql=12
13 namespace_decl name=14 scpe=0 srcf="box.cc" srcl=1 lang=src_lang_cp dcls=15
14 identifier_node strg="app" lngt=3
15 type_decl name=16 type=17 scpe=13 srcf="box.cc" srcl=2 lang=src_lang_cp chan=40
16 identifier_node strg="Box" lngt=3
17 record_type name=15 size=18 algn=32 unql=17 flds=19 fncs=22 isClass=1
18 integer_cst low=32
19 field_decl public_flag name=20 type=4 scpe=17 chan=21 srcf="box.cc" srcl=4 lang=src_lang_cp size=5 algn=32 bpos=10
10 integer_cst low=0
20 identifier_node strg="size" lngt=4
21 type_decl name=16 type=17 scpe=17 srcf="box.cc" srcl=2 lang=src_lang_cp artificial=1
22 function_decl public_flag name=23 mngl=24 type=25 scpe=17 srcf="box.cc" srcl=5 lang=src_lang_cp undef member
23 identifier_node strg="grow" lngt=4
24 identifier_node strg="_ZN3app3Box4growEi" lngt=18
25 method_type algn=8 unql=25 clas=17 retn=4 prms=26
26 tree_list value=27 chan=28
27 pointer_type size=37 algn=64 unql=27 ptd=17
28 tree_list value=4 chan=29
29 tree_list value=12
37 integer_cst low=64
# run
40 function_decl public_flag name=41 mngl=42 type=43 scpe=13 srcf="box.cc" srcl=7 lang=src_lang_cp body=50
41 identifier_node strg="run" lngt=3
42 identifier_node strg="_ZN3app3runEv" lngt=13
43 function_type algn=8 unql=43 retn=4 prms=44
44 tree_list value=12
45 result_decl type=4 scpe=40 srcf="box.cc" srcl=7 lang=src_lang_cp artificial=1 size=5 algn=32
46 var_decl name=47 type=17 scpe=40 srcf="box.cc" srcl=8 lang=src_lang_cp size=18 algn=32 used=1
47 identifier_node strg="b" lngt=1
50 compound_stmt line=7 body=51
51 scope_stmt line=7 begin_end next=52
52 decl_stmt line=8 decl=46 next=53
53 expr_stmt line=9 texpr=54 next=60
54 call_expr type=4 fn=55 args=57
55 addr_expr type=56 op0=22
56 pointer_type size=37 algn=64 unql=56 ptd=25
57 tree_list value=58 chan=59
58 addr_expr type=27 op0=46
59 tree_list value=61
61 integer_cst type=4 low=2
60 return_stmt line=10 ret_expr=62 next=65
62 modify_expr type=4 op0=45 op1=63
63 component_ref op0=46 op1=19
65 scope_stmt line=11
)";

// The second unit read from its root: the method call goes through a field
// access on b, the object argument has left the actual parameters, and the
// method has lost the formal that stood for the object.
const char *box_structure = R"(cScopeGlb
  contents cArcSon 1: cScopeCompil @0
      contents cArcSon 0: cNameSpace app @1
          contents cArcSon 1: cAggrType Box @2
              members cArcSon 1: cObject size @4
                  instance cInstance 0 -> cBuiltInType int
                  defLoc cArcDefLoc 0 -> cAggrType Box @2
              members cArcSon 2: cFunction grow @5
                  instance cInstance 0 -> cBuiltInType int
                  formal_fct cArcSon 1: cFormalObject @5
                      instance cInstance 0 -> cBuiltInType int
                  link cResolvedByExtern 0 -> cExternSymbol _ZN3app3Box4growEi
          contents cArcSon 2: cFunction run @7
              instance cInstance 0 -> cBuiltInType int
              block cArcSon 0: cBlock @7
                  contents cArcSon 1: cObject b @8
                      instance cInstance 0 -> cAggrType Box @2
                      defLoc cArcDefLoc 0 -> cFunction run @7
                  contents cArcSon 2: cOperator fct-call @9
                      ops cArcOpd 1: cOperator field-access
                          ops cArcOpd 1: cNameRef b
                              refers cRefersTo 0 -> cObject b @8
                          ops cArcOpd 2: cNameRef grow
                              refers cRefersTo 0 -> cFunction grow @5
                      ops cArcOpd 2: cActualFctParamList
                          actuals cArcSon 0: cLiteral 2
                              type cInstance 0 -> cBuiltInType int
                  contents cArcSon 3: cReturn @10
                      value cArcSon 0: cOperator field-access
                          ops cArcOpd 1: cNameRef b
                              refers cRefersTo 0 -> cObject b @8
                          ops cArcOpd 2: cNameRef size
                              refers cRefersTo 0 -> cObject size @4
  contents cArcSon 2: cBuiltInType int
  contents cArcSon 3: cPtrType
      instance cInstance 0 -> cAggrType Box @2
  contents cArcSon 4: cExternSymbol _ZN3app3Box4growEi
  contents cArcSon 5: cExternSymbol _ZN3app3runEv
)";

// The sample unit as the front end wrote it, released when the test ends.
struct sample_unit {
    gd_graph g = gd_graph_read_binary_file(SAMPLE_GD);
    ~sample_unit() { deallocate_gd_graph(g); }
};

// Runs the whole chain on g and checks what every finished graph must be:
// 41 steps, each done; only Ririra nodes alive; arcs between live nodes;
// ordinals 1 to n on every chain.
void run_whole_chain(gd_graph *g)
{
    const chain_run run = run_chain(g);
    EXPECT_EQ(run.result, 1) << run.messages;
    EXPECT_EQ(count_of(run.messages, "* Running "), 41u);
    EXPECT_EQ(count_of(run.messages, "done\n"), 41u);
    EXPECT_EQ(dead_ends(g), "");
    EXPECT_EQ(misnumbered(g), "");
}

TEST(Chain, TurnsTheSampleUnitIntoARiriraGraph)
{
    sample_unit t;
    run_whole_chain(&t.g);
    EXPECT_EQ(structure(&t.g), sample_structure);
}

TEST(Chain, NumberingTheSampleBackwardsGivesTheSameStructure)
{
    sample_unit forwards, backwards;
    reverse_numbering(&backwards.g);
    ASSERT_EQ(kind_of(&backwards.g, backwards.g.firstNode), gNAMESPACE_DECL);
    EXPECT_EQ(run_chain(&forwards.g).result, 1);
    run_whole_chain(&backwards.g);
    EXPECT_EQ(structure(&backwards.g, true), structure(&forwards.g, true));
}

TEST(Chain, TurnsAUnitWithAMethodCallIntoARiriraGraph)
{
    text_graph t(box_unit);
    run_whole_chain(&t.g);
    EXPECT_EQ(structure(&t.g), box_structure);
}

TEST(Chain, TalvexfWritesTheFinishedGraphOfTheSecondUnit)
{
    test_support::TempDir dir;
    const std::string in = (dir / "box.gd").string(), out = (dir / "box.out.gd").string();
    {
        text_graph t(box_unit);
        ASSERT_EQ(gd_graph_write_binary_file(in.c_str(), t.g), 1);
    }
    const test_support::ProgramRun r = test_support::runProgram(TALVEXF_PATH, {in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(count_of(r.err, "* Running "), 41u);
    EXPECT_EQ(count_of(r.err, "done\n"), 41u);
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(structure(&g), box_structure);
    deallocate_gd_graph(g);
}

// Functions declared without parameter declarations, whose function types
// share one long parameter list: funct_type copies the list for every type
// and gd_func the formals for every function, each walk far past sixteen
// times the unit. The unit is healthy and asks for that copying: it is
// translated whole.
TEST(Chain, FunctionTypesAndFunctionsThatShareOneParameterListAreTranslatedWhole)
{
    const int types = 100, params = 100, functions = 200;
    text_graph t(shared_prototypes::text({functions, params, types}).c_str());
    const chain_run run = run_chain(&t.g);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(count_of(run.messages, "done\n"), 41u);
    EXPECT_EQ(count_of(run.messages, "talvex: (fatal)"), 0u);
    EXPECT_EQ(t.g.chain.damage, gd_chain_damage::none);
    int function_count = 0;
    for (node_ptr f = 0; node_valid(&t.g, f); f++) {
        if (kind_of(&t.g, f) != dC_FUNCTION) continue;
        ++function_count;
        int listed = 0;
        for (node_ptr a = record_of<t_dc_function>(&t.g, f).formal_fct; a != -1;
             a = record_of<t_dc_arc>(&t.g, a).next, ++listed)
            ASSERT_EQ(kind_of(&t.g, record_of<t_dc_arc>(&t.g, a).dest), dC_FORMAL_OBJECT);
        EXPECT_EQ(listed, params) << "function " << f;
    }
    EXPECT_EQ(function_count, functions);
    EXPECT_EQ(dead_ends(&t.g), "");
}

}  // namespace
