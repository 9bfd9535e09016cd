// The graphxml program: its command line, the sample unit before and after
// the filter chain, odd contents and file names.
#include <string>

#include "export_test_support.h"

namespace {

using export_test::scratch_dir;
using export_test::xml_problems;
using test_support::ProgramRun;
using test_support::runProgram;

const std::string graphxml = GRAPHXML;

TEST(Graphxml, WrongArgumentCounts)
{
    for (const std::vector<std::string> &args : {std::vector<std::string>{}, {"a.gd", "b.gd"}}) {
        ProgramRun r = runProgram(graphxml, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "usage: " + graphxml + " dumpfile\n");
    }
}

TEST(Graphxml, SampleUnitIsAWellFormedDocument)
{
    ProgramRun r = runProgram(graphxml, {SAMPLE_GD});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind(std::string("<?xml version=\"1.0\"?>\n<!DOCTYPE gxl SYSTEM \"gxl-1-0.dtd\">\n"
                                      "<gxl xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n <graph id=\"") +
                              SAMPLE_GD + "\">\n",
                          0),
              0u);
    EXPECT_EQ(r.out.substr(r.out.size() - 17), " </graph>\n</gxl>\n");
    EXPECT_EQ(xml_problems(r.out), "");
}

#ifdef TALVEXF
// XPath of the nodes of a kind, of the one named `name`, and of the arcs of
// a kind between two of them.
std::string nodes_of(const std::string &kind)
{
    return "//node[type/@*[local-name()='href']='gd.xml#" + kind + "']";
}
std::string node_named(const std::string &kind, const std::string &name)
{
    return nodes_of(kind) + "[attr[@name='name']/string='" + name + "']";
}
std::string arcs(const std::string &kind, const std::string &from, const std::string &to)
{
    return "//edge[type/@*[local-name()='href']='gd.xml#" + kind + "'][@from=" + from + "/@id][@to=" + to +
           "/@id]";
}

// The README's main job: the sample unit through talvexf, then graphxml. The
// document holds the Ririra graph of unit.cc (its source is in the sample).
TEST(Graphxml, SampleUnitAfterTheFilterChain)
{
    scratch_dir d;
    ProgramRun t = runProgram(TALVEXF, {SAMPLE_GD, d.path("ririra.gd")});
    ASSERT_EQ(t.status, 0) << t.err;
    ProgramRun r = runProgram(graphxml, {d.path("ririra.gd")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(xml_problems(r.out), "");

    const std::string global = nodes_of("cScopeGlb"), compilation = nodes_of("cScopeCompil");
    const std::string demo = node_named("cNameSpace", "demo"), counter = node_named("cAggrType", "Counter");
    const std::string clamp = node_named("cFunction", "clamp"), twice = node_named("cFunction", "twice");
    struct {
        std::string expression;
        std::string value;
    } cases[] = {
        // The scopes: global, the compilation scope (the global namespace) and demo.
        {"count(" + global + ")", "1"},
        {"count(" + arcs("cArcSon", global, compilation) + ")", "1"},
        {"count(" + arcs("cArcSon", compilation, demo) + ")", "1"},
        {"string(" + demo + "/attr[@name='file']/string)", "unit.cc"},
        {"string(" + demo + "/attr[@name='line']/int)", "1"},
        {"count(" + arcs("cArcSon", global, node_named("cBuiltInType", "int")) + ")", "1"},
        // class Counter with its field and its method.
        {"string(" + counter + "/attr[@name='type']/string)", "class"},
        {"string(" + counter + "/attr[@name='line']/int)", "2"},
        {"count(" + arcs("cArcSon", counter, node_named("cObject", "count")) + ")", "1"},
        {"string(" + node_named("cObject", "count") + "/attr[@name='visb']/string)", "pub"},
        {"count(" + arcs("cArcSon", counter, node_named("cFunction", "get")) + ")", "1"},
        // The functions of demo, the formal of clamp and the link symbols: the
        // defined clamp is referred to by its symbol, the declared twice
        // resolves through its own.
        {"count(" + arcs("cArcSon", demo, twice) + ")", "1"},
        {"count(" + arcs("cArcSon", demo, clamp) + ")", "1"},
        {"string(" + clamp + "/attr[@name='line']/int)", "8"},
        {"string(" + clamp + "/attr[@name='extern']/bool)", "true"},
        {"string(" + clamp + "/attr[@name='virtual']/string)", "non-virtual"},
        {"count(" + arcs("cArcSon", clamp, node_named("cFormalObject", "x")) + ")", "1"},
        {"count(" + arcs("cRefersToExtern", node_named("cExternSymbol", "_ZN4demo5clampEi"), clamp) + ")",
         "1"},
        {"count(" + arcs("cResolvedByExtern", twice, node_named("cExternSymbol", "_ZN4demo5twiceEi")) + ")",
         "1"},
        // The body of clamp: the loop, the if and the two returns (without a
        // file, so without their lines), the operators (the assignments to the
        // result are gone), the literal 100, and the call's name reference to
        // twice.
        {"count(" + nodes_of("cWhileDoLoop") + ")", "1"},
        {"count(" + nodes_of("cIf") + ")", "1"},
        {"count(" + nodes_of("cReturn") + ")", "2"},
        {"count(" + nodes_of("cOperator") + ")", "5"},
        {"count(" + nodes_of("cOperator") + "[attr[@name='op']/string='tst-gt'])", "1"},
        {"count(" + nodes_of("cOperator") + "[attr[@name='op']/string='asgn-eq'])", "1"},
        {"count(" + nodes_of("cOperator") + "[attr[@name='op']/string='bminus'])", "1"},
        {"count(" + nodes_of("cOperator") + "[attr[@name='op']/string='tst-lt'])", "1"},
        {"count(" + nodes_of("cOperator") + "[attr[@name='op']/string='fct-call'])", "1"},
        {"count(" + nodes_of("cLiteral") + "[attr[@name='value']/string='100'])", "1"},
        {"count(" + node_named("cNameRef", "twice") + ")", "1"},
        // Every arc joins two nodes of the document.
        {"count(//edge[not(@from=//node/@id) or not(@to=//node/@id)])", "0"},
    };
    for (const auto &c : cases) {
        const test_support::ProgramRun x = export_test::xpath(r.out, c.expression);
        EXPECT_EQ(x.out, c.value + "\n") << c.expression << "\n" << x.err;
    }
}
#endif

TEST(Graphxml, FileNameIsEscapedInTheGraphId)
{
    scratch_dir d;
    std::string file = d.put_graph_text("a&b\"<c>'.gd", "0 identifier_node strg=\"x\" lngt=1\n");
    ProgramRun r = runProgram(graphxml, {file});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("a&amp;b&quot;&lt;c&gt;&apos;.gd\">\n"), std::string::npos) << r.out;
    EXPECT_EQ(xml_problems(r.out), "");
}

// Names read back from the document as they were meant: a name in UTF-8
// and a name in Latin-1 both as "café.c", the file name in UTF-8 as itself.
TEST(Graphxml, Utf8AndLatin1NamesReadBackAsTheirCharacters)
{
    scratch_dir d;
    std::string file =
        d.put_graph_text("caf\xc3\xa9.gd", R"(0 cIdentifier name="caf\xc3\xa9.c" file="caf\xe9.c" line=1
)");
    ProgramRun r = runProgram(graphxml, {file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(xml_problems(r.out), "");
    struct {
        const char *expression;
        std::string value;
    } cases[] = {
        {"string(//node[@id='n0']/attr[@name='name']/string)", "caf\xc3\xa9.c\n"},
        {"string(//node[@id='n0']/attr[@name='file']/string)", "caf\xc3\xa9.c\n"},
        {"string(//graph/@id)", file + "\n"},
    };
    for (const auto &c : cases) {
        const test_support::ProgramRun x = export_test::xpath(r.out, c.expression);
        EXPECT_EQ(x.status, 0) << c.expression;
        EXPECT_EQ(x.out, c.value) << c.expression;
        EXPECT_EQ(x.err, "") << c.expression;
    }
}

// Contents that a damaged file may hold: the document stays well-formed and
// every oddity is reported.
TEST(Graphxml, DamagedContentsStillGiveAWellFormedDocument)
{
    scratch_dir d;
    std::string file = d.put_graph_text("odd.gd", R"(0 identifier_node strg=@4000 lngt=4294967293
1 tree_vec length=100000 elts=[0 1 2]
2 65535
3 cOperator op=-7 ops=123456
4 cLiteral value=@-9 file=@77 line=5
5 real_cst value="<\x02>"
6 cArcSon src=-5 dest=70000
7 cIdentifier name="\x1f" visb=-1
)");
    ProgramRun r = runProgram(graphxml, {file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(xml_problems(r.out), "");
    std::string expected_err_start = "graphxml: node 0: string offset 4000 is outside the string pool\n"
                                     "graphxml: node 1: tree_vec length 100000 clamped to its 14 slots\n"
                                     "Node number 2\nunknown node type: 65535\nnode data:\n";
    EXPECT_EQ(r.err.substr(0, expected_err_start.size()), expected_err_start);
    std::string expected_err_end = "unknown operator -7\n"
                                   "graphxml: node 4: string offset -9 is outside the string pool\n";
    EXPECT_EQ(r.err.substr(r.err.size() - expected_err_end.size()), expected_err_end);
    EXPECT_NE(r.out.find("<double>&lt;&#xfffd;&gt;</double>"), std::string::npos);
    EXPECT_NE(r.out.find("<edge from=\"n-5\" to=\"n70000\">"), std::string::npos);
}

TEST(Graphxml, BadSourceFileOfADeclarationEndsTheRun)
{
    scratch_dir d;
    std::string file =
        d.put_graph_text("decl.gd", "0 identifier_node strg=\"x\"\n1 var_decl srcl=4 srcf=@300\n");
    ProgramRun r = runProgram(graphxml, {file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "string index is out of bounds\n");
    EXPECT_EQ(r.out.find("</gxl>"), std::string::npos);
}

}  // namespace
