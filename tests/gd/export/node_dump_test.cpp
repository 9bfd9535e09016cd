// nodepeek's node dump: type lines, base parts and own lines by kind, and
// what it shows for contents that a damaged file may hold.
#include "gd/export/node_dump.h"

#include <set>
#include <string>

#include "export_test_support.h"

namespace {

using export_test::capture;
using export_test::graph;
using export_test::output;

output block(graph &g, node_ptr n)
{
    return capture([&](FILE *out, FILE *err) {
        peek::doNode(out, err, &g, n);
        return 0;
    });
}

// The common part of a node with no flag set.
std::string common(int type_number, node_ptr other_node = -1)
{
    return "common\n type_number: " + std::to_string(type_number) +
           "\n constant_flag: 0\n volatile_flag: 0\n readonly_flag: 0\n unsigned_flag: 0\n static_flag: 0\n"
           " public_flag: 0\n private_flag: 0\n protected_flag: 0\n other_node: @" +
           std::to_string(other_node) + "\n";
}

TEST(NodeDump, GraphHeader)
{
    graph g("root 1\n0 identifier_node strg=\"abc\"\n1 identifier_node strg=\"de\"\n");
    output o = capture([&](FILE *out, FILE *) {
        peek::print_graph_header(out, &g);
        return 0;
    });
    EXPECT_EQ(o.out, "graph: node size = 72, char buffer size = 7, first node = 1\n");
}

TEST(NodeDump, DeclarationWithoutALineShowsNoFile)
{
    graph g("0 const_decl name=1 srcf=@77 cnst=5 lang=src_lang_cp register_flag\n");
    output o = block(g, 0);
    EXPECT_EQ(o.out, "\nnode @0\ntype: const_decl\n" + common(32) +
                         "decl\n"
                         " name: @1\n mngl: @-1\n type: @-1\n chan: @-1\n scpe: @-1\n vindex: @-1\n"
                         " srcf: <none>\n srcl: <none>\n"
                         " src_lang: c++\n"
                         " artificial: 0\n mutable_flag: 0\n register_flag: 1\n inline_flag: 0\n"
                         "  cnst: @5\n");
    EXPECT_EQ(o.err, "");
}

TEST(NodeDump, DeclarationFileOutsideThePoolIsBad)
{
    graph g("0 label_decl srcf=@77 srcl=3 lang=9\n1 label_decl srcf=\"u.c\" srcl=0 lang=src_lang_java\n"
            "2 label_decl srcl=5\n");
    output o = block(g, 0);
    EXPECT_NE(o.out.find(" vindex: @-1\n srcf: <bad> (77)\n srcl: 3\n artificial: 0\n"), std::string::npos)
        << o.out;
    EXPECT_EQ(o.err, "nodepeek: node has bad string ptr 77\n");
    o = block(g, 1);
    EXPECT_NE(o.out.find(" srcf: u.c\n srcl: 0\n src_lang: java\n"), std::string::npos) << o.out;
    // With a line, no file is a bad file too.
    o = block(g, 2);
    EXPECT_NE(o.out.find(" vindex: @-1\n srcf: <bad> (-1)\n srcl: 5\n artificial: 0\n"), std::string::npos)
        << o.out;
    EXPECT_EQ(o.err, "nodepeek: node has bad string ptr -1\n");
}

TEST(NodeDump, CompilerKindsOwnLines)
{
    struct {
        const char *node;
        std::string after_common;
    } cases[] = {
        {"identifier_node strg=\"main\" lngt=4 op_type_un=2 tynm=1",
         "  lngt: 4\n  strg: main(0)\n  opt_type_un: 2\n  tynm: 1\n"},
        {"tree_vec length=3 elts=[12 -1 40]", "  length: 3\n  binfo_type: @-1\n  [0]: @12\n  [2]: @40\n"},
        {"tree_vec length=2 binfo_type=6", "  length: 2\n  binfo_type: @6\n"},
        {"integer_cst type=3 high=-1 low=9", "cst\n type: @3\n  high: -1\n  low: 9\n"},
        {"record_type name=1 size=2 algn=32 unql=4 qual_const qual_restrict flds=5 fncs=6 ptrmem=0 isClass=1 "
         "ptd=7 cls=8 "
         "vfld=9 binf=10",
         "type\n name: @1\n size: @2\n algn: 32\n unql: @4\n qual: c r\n"
         "  flds: @5\n  fncs: @6\n  ptd: @7\n  cls: @8\n  vfld: @9\n  ptrmem: 0\n  isclass: 1\n  binfo: "
         "@10\n"},
        {"union_type flds=5 fncs=6 ptd=7 cls=8 vfld=9 binf=10 ptrmem=1",
         "type\n name: @-1\n size: @-1\n algn: 0\n unql: @-1\n qual:    \n"
         "  flds: @5\n  fncs: @6\n  ptd: @7\n  cls: @8\n  vfld: @9\n  ptrmem: 1\n  binfo: @10\n"},
        {"asm_stmt line=4 vol=1 strg=5 next=9",
         "expr\n type: @-1\n  line: 4\n  volitile: 1\n  strg: @5\n  outs: @-1\n"
         "  ins: @-1\n  clbr: @-1\n  next: @9\n"},
        {"for_stmt line=2 init=3 cond=4 inc_expr=5 body=6",
         "expr\n type: @-1\n  line: 2\n  init: @3\n  cond: @4\n  expr: @5\n  body: @6\n  next: @-1\n"},
        {"while_stmt line=2 body=3 cond=4",
         "expr\n type: @-1\n  line: 2\n  cond: @4\n  body: @3\n  next: @-1\n"},
        {"bind_expr vars=3 body=4", "expr\n type: @-1\n  vars: @3\n  body: @4\n"},
        {"var_decl srcl=-1 init=3 algn=8 used=1",
         "decl\n name: @-1\n mngl: @-1\n type: @-1\n chan: @-1\n scpe: @-1\n vindex: @-1\n srcf: <none>\n "
         "srcl: <none>\n"
         " artificial: 0\n mutable_flag: 0\n register_flag: 0\n inline_flag: 0\n"
         "  init: @3\n  size: @-1\n  align: 8\n  used: 1\n"},
        {"type_decl friends=7",
         "decl\n name: @-1\n mngl: @-1\n type: @-1\n chan: @-1\n scpe: @-1\n vindex: @-1\n"
         " srcf: <none>\n srcl: <none>\n artificial: 0\n mutable_flag: 0\n register_flag: 0\n"
         " inline_flag: 0\n  friends: 7\n"},
        {"real_cst value=\"2.5\"", "cst\n type: @-1\n  val: 2.5\n"},
        {"string_cst strg=\"hi\" lngt=2", "cst\n type: @-1\n  lngt: 2\n  strg: hi\n"},
        {"scope_stmt line=1 null next=4",
         "expr\n type: @-1\n  line: 1\n  begin_end: 0\n  null: 1\n  clnp: 0\n  next: @4\n"},
    };
    for (const auto &c : cases) {
        graph g(std::string("0 ") + c.node + "\n");
        output o = block(g, 0);
        std::string expected_start = "\nnode @0\ntype: " + std::string(gd_kind_name(g.node(0).common.type)) +
                                     "\n" + common(g.node(0).common.type);
        EXPECT_EQ(o.out, expected_start + c.after_common) << c.node;
        EXPECT_EQ(o.err, "") << c.node;
    }
}

TEST(NodeDump, EveryKindPrintsAsItsRowSays)
{
    std::set<int> raw;
    for (int k = 0; k <= NUM_NODES; k++) {
        graph g("0 identifier_node strg=\"x\"\n");
        g.node(0).common.type = (gd_node_type)k;
        output o = block(g, 0);
        if (o.out.find("unknown node type") != std::string::npos) raw.insert(k);
    }
    EXPECT_EQ(raw, (std::set<int>{gIMAGPART_EXPR, gEXC_PTR_EXPR, gSRCLOC, gUSING_STMT, gAMBIG_CONV, dC_SYSTEM,
                                  NUM_NODES}));
}

TEST(NodeDump, TypeLineNames)
{
    struct {
        int kind;
        const char *name;
    } cases[] = {
        {gPLUS_EXPR, "plus_expr"},
        {gNEW_EXPR, "new_expr"},
        {gVEC_DELETE_EXPR, "vec_delete_expr"},
        {gTRY_FINALLY_EXPR, "try_finally_expr"},
        {gGOTO_SUBROUTINE_EXPR, "goto_subroutine_expr"},
        {gCPLUS_BINDING, "cplus_binding"},
        {gDYNAMIC_CAST_EXPR, "dynamic_cast_expr"},
        {dC_ASG_ND, "dc_asg_nd"},
        {dC_LINK_SYM, "dc_link_sym"},
        {dC_SCOPE_COMPIL, "dc_scope_compil"},
        {dC_CNTRL_STMT, "dc_cntrl_stmt"},
        {dC_TEMPLATE, "dc_template"},
        {dC_FORMAL_TEMPLATE, "dc_template"},
        {dC_ACTUAL_FCT_PARAM_LIST, "dc_actual_fct_param_list"},
        {dC_ARC, "Arc"},
        {dC_ARC_DEF_LOC, "ArcDefLoc"},
        {dC_INHERITANCE, "Inheritance"},
        {dC_LINKS_TO, "LinksTo"},
        {dC_LINKS_FROM, "LinksFrom"},
        {dC_ARC_ARRAY_DIM, "ArcArrayDim"},
    };
    for (const auto &c : cases) EXPECT_EQ(peek::type_line_name(c.kind), c.name) << c.kind;
}

TEST(NodeDump, RiriraNodes)
{
    graph g(R"(0 identifier_node strg="f.c"
1 cFunction file="f.c" line=12 name="run" visb=visb_pub static_flag const_flag voffset=8 virtual_code=vc_virtual block=5 link=6
2 cScopeCompil file=@500 line=1 contents=7
3 cOperator op=dc_fct_call ops=9 refers=2
4 cIf cond=3 true_block=5
)");
    // Pool: "f.c" at 0, "run" at 4.
    output o = block(g, 1);
    EXPECT_EQ(o.out, "\nnode @1\ntype: dc_function\n" + common(253) +
                         "asg_nd\n file: f.c (0)\n line: 12\n"
                         "identifier\n name: run(4)\n visb: public\n"
                         " instance: @-1\n defLoc: @-1\n arcFriend: @-1\n array_dim: @-1\n"
                         "  static: 1\n  extern: 0\n  const: 1\n  voffset: 8\n  virtual:virtual\n"
                         " formal_fct: @-1\n exception: @-1\n block: @5\n link: @6\n");
    EXPECT_EQ(o.err, "");

    o = block(g, 2);
    EXPECT_EQ(o.out, "\nnode @2\ntype: dc_scope_compil\n" + common(241) +
                         "asg_nd\n file: ??? (500)\n line: 1\n"
                         "identifier\n visb: unknown\n"
                         " instance: @-1\n defLoc: @-1\n arcFriend: @-1\n array_dim: @-1\n"
                         "scope\n contents: @7\n");

    o = block(g, 3);
    EXPECT_EQ(o.out, "\nnode @3\ntype: dc_operator\n" + common(265) +
                         "asg_nd\n file: ??? (-1)\n line: -1\n"
                         "expression\n refers: @2\n"
                         "operator\n op fct-call (48)\n ops: @9\n");

    o = block(g, 4);
    EXPECT_EQ(o.out, "\nnode @4\ntype: dc_if\n" + common(272) +
                         "asg_nd\n file: ??? (-1)\n line: -1\n"
                         " cond: @3\n true: @5\n false: @-1\n");
}

TEST(NodeDump, RiriraTypesObjectsAndLiterals)
{
    graph g(
        R"(0 cAggrType name="C" aggr_type=aggr_struct members=4 implements=2 common.volatile_flag volatile_flag
1 cObject static_flag initial_val=3
2 cLiteral value="1 < 2" type=7
3 cExternSymbol name="sym"
)");
    const std::string no_position = "asg_nd\n file: ??? (-1)\n line: -1\n";
    const std::string identifier_links = " instance: @-1\n defLoc: @-1\n arcFriend: @-1\n array_dim: @-1\n";
    output o = block(g, 0);
    EXPECT_EQ(
        o.out,
        "\nnode @0\ntype: dc_aggr_type\ncommon\n type_number: 229\n constant_flag: 0\n volatile_flag: 1\n"
        " readonly_flag: 0\n unsigned_flag: 0\n static_flag: 0\n public_flag: 0\n private_flag: 0\n"
        " protected_flag: 0\n other_node: @-1\n" +
            no_position + "identifier\n name: C(0)\n visb: unknown\n" + identifier_links +
            " const: 0\n volatile: 1\n implements; @2\n"
            " aggr_type :struct\n members: @4\n inheritance: @-1\n");
    o = block(g, 1);
    EXPECT_EQ(o.out,
              "\nnode @1\ntype: dc_object\n" + common(251) + no_position + "identifier\n visb: unknown\n" +
                  identifier_links +
                  "object\n static: 1\n extern: 0\n bitfield_dim: @-1\n initial_val: @3\n link: @-1\n");
    o = block(g, 2);
    EXPECT_EQ(o.out, "\nnode @2\ntype: dc_literal\n" + common(262) + no_position +
                         "expression\n refers: @-1\n value: 1 < 2\n type: @7\n");
    o = block(g, 3);
    EXPECT_EQ(o.out, "\nnode @3\ntype: dc_link_sym\n" + common(225) + no_position + "  name: sym\n");
}

TEST(NodeDump, Arcs)
{
    graph g("0 cArcSon src=3 dest=4\n1 cArcOpd src=3 dest=5 ordinal=2 next=0\n2 cInheritance src=6 dest=7 "
            "virt visb=visb_pri\n");
    EXPECT_EQ(block(g, 0).out, "\nnode @0\ntype: ArcSon @3 @4\n" + common(302) + "arc\n next: @-1\n");
    EXPECT_EQ(block(g, 1).out,
              "\nnode @1\ntype: ArcOpd @3 @5\n" + common(305) + "arc\n ordinal 2\n next: @0\n");
    EXPECT_EQ(block(g, 2).out, "\nnode @2\ntype: Inheritance @6 @7\n" + common(293) +
                                   "arc\n next: @-1\n  virt: 1\n  visb: private\n");
}

TEST(NodeDump, FreeUnassignedAndUnknownKinds)
{
    graph g("nodes 4\n1 node_none\n2 imagpart_expr\n3 999\n");
    EXPECT_EQ(block(g, 0).out, "\nnode @0\ntype: deleted node\n");
    EXPECT_EQ(block(g, 1).out, "\nnode @1\ntype: unassigned node (NODE_NONE)\n");
    for (int n : {2, 3}) {
        gd_graph_node &rec = g.node(n);
        for (int b = 2; b < 72; b++) rec.bytes[b] = (unsigned char)(0xb0 + b % 16);
        std::string kind = n == 2 ? "125" : "999";
        EXPECT_EQ(block(g, n).out, "\nnode @" + std::to_string(n) + "\nunknown node type: " + kind +
                                       "\nnode data:\n" + (n == 2 ? " 7d  0" : " e7  3") +
                                       " b2 b3 b4 b5 b6 b7 b8 b9 ba bb bc bd be bf\n"
                                       " b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ba bb bc bd be bf\n"
                                       " b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ba bb bc bd be bf\n"
                                       " b0 b1 b2 b3 b4 b5 b6 b7 b8 b9 ba bb bc bd be bf\n"
                                       " b0 b1 b2 b3 b4 b5 b6 b7\n");
    }
}

TEST(NodeDump, OutOfRangeCodesAndOffsetsAreShownAndReported)
{
    graph g(R"(0 cAggrType aggr_type=6
1 cOperator op=70
2 cInheritance visb=5
3 cIdentifier visb=9 name=@300
4 identifier_node strg=@99
5 real_cst value=-1
6 cLiteral value=@50
7 cFunction virtual_code=vc_none
)");
    struct {
        int node;
        const char *line;
        const char *err;
    } cases[] = {
        {0, " aggr_type :??? (6)\n", "nodepeek: node 0 has unknown aggregate type 6\n"},
        {1, " op ??? (70)\n", "unknown operator 70\n"},
        {2, "  visb: ??? (5)\n", "nodepeek: node 2 has illegal visibility code 5\n"},
        {3, " name: <bad>(300)\n visb: ??? (9)\n",
         "nodepeek: node has bad string ptr 300\nnodepeek: node has illegal visibility code 9\n"},
        {4, "  strg: <bad>(99)\n", "nodepeek: node has bad string ptr 99\n"},
        {5, "  val: <none> (-1)\n", ""},
        {6, " value: <bad> (50)\n", "nodepeek: node has bad string ptr 50\n"},
        {7, "  virtual:unknown\n", ""},
    };
    for (const auto &c : cases) {
        output o = block(g, c.node);
        EXPECT_NE(o.out.find(c.line), std::string::npos) << c.node << "\n" << o.out;
        EXPECT_EQ(o.err, c.err) << c.node;
    }
}

TEST(NodeDump, TreeVecLengthBeyondItsSlotsIsClamped)
{
    graph g("0 tree_vec length=40 elts=[1 2 3 4 5 6 7 8 9 10 11 12 13 14]\n");
    output o = block(g, 0);
    EXPECT_NE(o.out.find("  [13]: @14\n"), std::string::npos);
    EXPECT_EQ(o.out.find("  [14]:"), std::string::npos);
    EXPECT_EQ(o.err, "nodepeek: node 0: tree_vec length 40 clamped to its 14 slots\n");
}

}  // namespace

// A diagnostic on the stream of the output stands right after the part of
// the line that led to it, node by node and in a dump of many nodes, whose
// lines reach the stream through one buffer.
TEST(NodeDump, DiagnosticsOnTheOutputStreamStayInPlace)
{
    graph g("0 identifier_node strg=@4000 lngt=1\n1 tree_vec length=20 elts=[5]\n2 cOperator op=200\n"
            "3 label_decl srcl=1 srcf=@-4\n");
    const std::string expected =
        "\nnode @0\ntype: identifier_node\n" + common(1) +
        "  lngt: 1\n  strg: nodepeek: node has bad string ptr 4000\n<bad>(4000)\n  opt_type_un: 0\n  tynm: "
        "0\n"
        "\nnode @1\ntype: tree_vec\n" +
        common(4) +
        "  length: 20\n  binfo_type: @-1\n"
        "nodepeek: node 1: tree_vec length 20 clamped to its 14 slots\n  [0]: @5\n"
        "\nnode @2\ntype: dc_operator\n" +
        common(265) +
        "asg_nd\n file: ??? (-1)\n line: -1\nexpression\n refers: @-1\n"
        "operator\n op ??? (200)unknown operator 200\n\n ops: @-1\n"
        "\nnode @3\ntype: label_decl\n" +
        common(31) +
        "decl\n name: @-1\n mngl: @-1\n type: @-1\n chan: @-1\n scpe: @-1\n vindex: @-1\n"
        " srcf: <bad> (-4)nodepeek: node has bad string ptr -4\n\n srcl: 1\n"
        " artificial: 0\n mutable_flag: 0\n register_flag: 0\n inline_flag: 0\n";
    for (bool one_buffer : {false, true}) {
        char *text = nullptr;
        size_t length = 0;
        FILE *both = open_memstream(&text, &length);
        if (one_buffer) {
            gd_text_out out(both);
            for (node_ptr n = 0; n < 4; n++) peek::doNode(out, both, &g, n);
        } else {
            for (node_ptr n = 0; n < 4; n++) peek::doNode(both, both, &g, n);
        }
        fclose(both);
        EXPECT_EQ(std::string(text, length), expected) << one_buffer;
        free(text);
    }
}
