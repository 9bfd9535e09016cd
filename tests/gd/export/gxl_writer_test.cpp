// The GXL document: escaping, the output primitives, the record levels and
// the loop over the slots, on small text-form graphs.
#include "gd/export/gxl.h"

#include <string>

#include "export_test_support.h"

namespace {

using export_test::capture;
using export_test::graph;
using export_test::output;
using export_test::xml_problems;

std::string escaped(const std::string &text)
{
    return capture([&](FILE *out, FILE *) {
               gd_text_out text_out(out);
               gxl::write_escaped(text_out, text.c_str());
               return 0;
           })
        .out;
}

output document(const gd_graph *g, const char *id = "g.gd")
{
    return capture([&](FILE *out, FILE *err) { return gxl::write_gxl_document(out, err, g, id); });
}

output element(const gd_graph *g, node_ptr i)
{
    return capture([&](FILE *out, FILE *err) { return gxl::write_gxl_element(out, err, g, i) ? 0 : 1; });
}

// The eight flag attributes of the common head, with the named ones true.
std::string flags(std::initializer_list<const char *> set = {})
{
    std::string s;
    for (const char *f : {"constant_flag", "volatile_flag", "readonly_flag", "unsigned_flag", "static_flag",
                          "public_flag", "private_flag", "protected_flag"}) {
        bool on = false;
        for (const char *t : set) on = on || std::string(t) == f;
        s += std::string("   <attr name=\"") + f + "\"><bool>" + (on ? "true" : "false") + "</bool></attr>\n";
    }
    return s;
}

const char *const head = "<?xml version=\"1.0\"?>\n<!DOCTYPE gxl SYSTEM \"gxl-1-0.dtd\">\n"
                         "<gxl xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n";
const char *const tail = " </graph>\n</gxl>\n";

TEST(GxlEscaping, EachClassOfByte)
{
    struct {
        std::string in, out;
    } cases[] = {
        {"plain text 123", "plain text 123"},
        {"a< &\"", "a&lt; &amp;&quot;"},
        {"'>", "&apos;&gt;"},
        {"\t\n\r", "&#x9;&#xa;&#xd;"},
        {"\xe9\x7f\x80\xff", "&#xe9;&#x7f;&#x80;&#xff;"},
        // UTF-8: each character as a reference to it, of two, three and four
        // bytes, the first and last of each length included.
        {"caf\xc3\xa9.c", "caf&#xe9;.c"},
        {"\xc2\x80\xdf\xbf", "&#x80;&#x7ff;"},
        {"\xe0\xa0\x80\xe2\x82\xac\xef\xbf\xbd", "&#x800;&#x20ac;&#xfffd;"},
        {"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", "&#x10000;&#x10ffff;"},
        // The two characters XML 1.0 forbids.
        {"\xef\xbf\xbe\xef\xbf\xbf", "&#xfffd;&#xfffd;"},
        // Bytes that are no UTF-8 stay references to each byte: Latin-1, an
        // overlong form, a surrogate, past U+10FFFF, a sequence cut short by
        // another byte or by the end, a lone continuation byte.
        {"caf\xe9.c", "caf&#xe9;.c"},
        {"\xc0\xaf\xc1\xbf", "&#xc0;&#xaf;&#xc1;&#xbf;"},
        {"\xe0\x9f\xbf", "&#xe0;&#x9f;&#xbf;"},
        {"\xed\xa0\x80", "&#xed;&#xa0;&#x80;"},
        {"\xf4\x90\x80\x80", "&#xf4;&#x90;&#x80;&#x80;"},
        {"\xe2\x82x", "&#xe2;&#x82;x"},
        {"a\xe2\x82", "a&#xe2;&#x82;"},
        {"\xa9\xc3", "&#xa9;&#xc3;"},
        // The control bytes XML 1.0 forbids even as references.
        {"\x01\x08\x0b\x0c\x0e\x1f", "&#xfffd;&#xfffd;&#xfffd;&#xfffd;&#xfffd;&#xfffd;"},
        {"", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(escaped(c.in), c.out) << c.in;
        std::string doc = "<a>" + escaped(c.in) + "</a>\n";
        EXPECT_EQ(xml_problems(doc), "") << doc;
    }
}

TEST(GxlPrimitives, LinesAsWritten)
{
    output o = capture([](FILE *file, FILE *) {
        gd_text_out out(file);
        gxl::write_edge(out, 3, -1, "decl_name");
        gxl::write_edge(out, 3, 4000, "decl_name");
        gxl::write_boolean_attr(out, "b", 2);
        gxl::write_boolean_attr(out, "b", 0);
        gxl::write_number_attr(out, "n", -7);
        gxl::write_double_attr(out, "d", "1e<3");
        gxl::write_string_attr(out, "s", "");
        return 0;
    });
    EXPECT_EQ(o.out, "  <edge from=\"n3\" to=\"n4000\">\n"
                     "   <type xlink:href=\"gd.xml#decl_name\" />\n"
                     "  </edge>\n"
                     "   <attr name=\"b\"><bool>true</bool></attr>\n"
                     "   <attr name=\"b\"><bool>false</bool></attr>\n"
                     "   <attr name=\"n\"><int>-7</int></attr>\n"
                     "   <attr name=\"d\"><double>1e&lt;3</double></attr>\n"
                     "   <attr name=\"s\"><string></string></attr>\n");
}

// The small awkward graph: strings that need every kind of escape, a
// declaration without a line whose file offset is garbage, Ririra lines at
// and beyond the limit, arcs with ordinal 2 and 0, a dangling link, a free
// and an untyped record, and a kind without a body.
TEST(GxlDocument, AwkwardGraphWholeDocument)
{
    graph g(R"(root 0
nodes 12
0 var_decl public_flag name=1 srcf=@9999 init=3 algn=8
1 identifier_node strg="a<b & \"c\"\t\xe9\x01'" lngt=13
2 tree_list purpose=1 value=999
3 cIdentifier file="f.c" line=9999999 name="x>y" visb=visb_pub
4 cIdentifier file="f.c" line=0 visb=7
5 cArcSon src=3 dest=4 ordinal=2
6 cArcSon src=3 dest=4
7 node_none
8 imagpart_expr
9 cLiteral file="f.c" line=10000000 value="1 < 2"
11 real_cst value="1.5<"
)");
    output o = document(&g, "dir/a&b<\"c\">.gd");
    std::string expected =
        std::string(head) +
        " <graph id=\"dir/a&amp;b&lt;&quot;c&quot;&gt;.gd\">\n"
        "  <node id=\"n0\">\n"
        "   <type xlink:href=\"gd.xml#var_decl\" />\n" +
        flags({"public_flag"}) +
        "   <attr name=\"artificial\"><bool>false</bool></attr>\n"
        "   <attr name=\"mutable_flag\"><bool>false</bool></attr>\n"
        "   <attr name=\"register_flag\"><bool>false</bool></attr>\n"
        "   <attr name=\"inline_flag\"><bool>false</bool></attr>\n"
        "   <attr name=\"algn\"><int>8</int></attr>\n"
        "   <attr name=\"used\"><int>0</int></attr>\n"
        "  </node>\n"
        "  <edge from=\"n0\" to=\"n1\">\n"
        "   <type xlink:href=\"gd.xml#decl_name\" />\n"
        "  </edge>\n"
        "  <edge from=\"n0\" to=\"n3\">\n"
        "   <type xlink:href=\"gd.xml#var_decl_init\" />\n"
        "  </edge>\n"
        "  <node id=\"n1\">\n"
        "   <type xlink:href=\"gd.xml#identifier_node\" />\n" +
        flags() +
        "   <attr name=\"lngt\"><int>13</int></attr>\n"
        "   <attr name=\"strg\"><string>a&lt;b &amp; &quot;c&quot;&#x9;&#xe9;&#xfffd;&apos;</string></attr>\n"
        "   <attr name=\"op_type_un\"><int>0</int></attr>\n"
        "   <attr name=\"tynm\"><int>0</int></attr>\n"
        "  </node>\n"
        "  <node id=\"n2\">\n"
        "   <type xlink:href=\"gd.xml#tree_list\" />\n" +
        flags() +
        "  </node>\n"
        "  <edge from=\"n2\" to=\"n1\">\n"
        "   <type xlink:href=\"gd.xml#tree_list_purpose\" />\n"
        "  </edge>\n"
        "  <edge from=\"n2\" to=\"n999\">\n"
        "   <type xlink:href=\"gd.xml#tree_list_value\" />\n"
        "  </edge>\n"
        "  <node id=\"n3\">\n"
        "   <type xlink:href=\"gd.xml#cIdentifier\" />\n"
        "   <attr name=\"file\"><string>f.c</string></attr>\n"
        "   <attr name=\"line\"><int>9999999</int></attr>\n"
        "   <attr name=\"name\"><string>x&gt;y</string></attr>\n"
        "   <attr name=\"visb\"><string>pub</string></attr>\n"
        "  </node>\n"
        "  <node id=\"n4\">\n"
        "   <type xlink:href=\"gd.xml#cIdentifier\" />\n"
        "   <attr name=\"visb\"><string>?\?\?</string></attr>\n"
        "  </node>\n"
        "  <edge from=\"n3\" to=\"n4\">\n"
        "   <type xlink:href=\"gd.xml#cArcSon\" />\n"
        "   <attr name=\"order\"><int>2</int></attr>\n"
        "  </edge>\n"
        "  <edge from=\"n3\" to=\"n4\">\n"
        "   <type xlink:href=\"gd.xml#cArcSon\" />\n"
        "  </edge>\n"
        "  <node id=\"n8\">\n"
        "   <type xlink:href=\"gd.xml#imagpart_expr\" />\n"
        "  </node>\n"
        "  <node id=\"n9\">\n"
        "   <type xlink:href=\"gd.xml#cLiteral\" />\n"
        "   <attr name=\"value\"><string>1 &lt; 2</string></attr>\n"
        "  </node>\n"
        "  <node id=\"n11\">\n"
        "   <type xlink:href=\"gd.xml#real_cst\" />\n" +
        flags() +
        "   <attr name=\"value\"><double>1.5&lt;</double></attr>\n"
        "  </node>\n" +
        tail;
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.err.substr(0, o.err.find("node data:\n") + 11),
              "Node number 8\nunknown node type: 125\nnode data:\n");
    EXPECT_EQ(xml_problems(o.out), "");
}

TEST(GxlDocument, OnlyFreeAndUnassignedSlotsGiveTheFrame)
{
    graph g("nodes 3\n1 node_none\n");
    output o = document(&g);
    EXPECT_EQ(o.out, std::string(head) + " <graph id=\"g.gd\">\n" + tail);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(xml_problems(o.out), "");
}

TEST(GxlDocument, RiriraFileAtThePoolEndHasNoPosition)
{
    graph g("0 cExpression file=\"a.c\" line=4\n1 cExpression file=\"a.c\" line=4\n");
    g.node(1).dc_asg_nd.file = (str_ptr)g.g.curStringPos;
    EXPECT_EQ(element(&g, 0).out, "  <node id=\"n0\">\n"
                                  "   <type xlink:href=\"gd.xml#cExpression\" />\n"
                                  "   <attr name=\"file\"><string>a.c</string></attr>\n"
                                  "   <attr name=\"line\"><int>4</int></attr>\n"
                                  "  </node>\n");
    EXPECT_EQ(element(&g, 1).out, "  <node id=\"n1\">\n"
                                  "   <type xlink:href=\"gd.xml#cExpression\" />\n"
                                  "  </node>\n");
    EXPECT_EQ(xml_problems(document(&g).out), "");
}

TEST(GxlDocument, DeclarationFileOutsideThePoolEndsTheDocument)
{
    for (const char *srcf : {"@5", "@-2"}) {
        graph g(std::string("0 identifier_node strg=\"x\"\n1 label_decl srcl=3 srcf=") + srcf + "\n");
        output o = document(&g);
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.err, "string index is out of bounds\n");
        // The document stops inside node 1, after its flags.
        std::string start = "  <node id=\"n1\">\n   <type xlink:href=\"gd.xml#label_decl\" />\n" + flags();
        ASSERT_GE(o.out.size(), start.size());
        EXPECT_EQ(o.out.substr(o.out.size() - start.size()), start);
    }
}

TEST(GxlDocument, UnknownAggregateEndsTheDocumentAfterItsRiriraAttributes)
{
    for (const char *code : {"6", "-1"}) {
        graph g(std::string("0 cAggrType name=\"C\" aggr_type=") + code + "\n");
        output o = document(&g);
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.err, std::string("Unknown ririra aggregate type ") + code + "\n");
        EXPECT_EQ(o.out, std::string(head) + " <graph id=\"g.gd\">\n"
                                             "  <node id=\"n0\">\n"
                                             "   <type xlink:href=\"gd.xml#cAggrType\" />\n"
                                             "   <attr name=\"name\"><string>C</string></attr>\n"
                                             "   <attr name=\"visb\"><string>unk</string></attr>\n"
                                             "   <attr name=\"const\"><bool>false</bool></attr>\n"
                                             "   <attr name=\"volatile\"><bool>false</bool></attr>\n");
    }
}

TEST(GxlDocument, StringOffsetsOutsideThePoolAreLeftOutWithAWarning)
{
    graph g(R"(0 identifier_node strg=@500 lngt=1
1 cNameRef name=@-5
2 real_cst value=@40
3 cLiteral value=-1
4 cExternSymbol name="ok"
)");
    output o = document(&g);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "graphxml: node 0: string offset 500 is outside the string pool\n"
                     "graphxml: node 1: string offset -5 is outside the string pool\n"
                     "graphxml: node 2: string offset 40 is outside the string pool\n");
    EXPECT_EQ(o.out.find("name=\"strg\""), std::string::npos);
    EXPECT_EQ(o.out.find("name=\"value\""), std::string::npos);
    EXPECT_NE(o.out.find("   <attr name=\"name\"><string>ok</string></attr>\n"), std::string::npos);
    EXPECT_EQ(xml_problems(o.out), "");
}

TEST(GxlDocument, OperatorCodes)
{
    struct {
        int op;
        const char *text;
        const char *err;
    } cases[] = {{0, "uplus", ""},
                 {37, "asgn-bit-and", ""},
                 {63, "abs", ""},
                 {64, "???", "unknown operator 64\n"},
                 {-3, "???", "unknown operator -3\n"}};
    for (const auto &c : cases) {
        graph g("0 cOperator op=" + std::to_string(c.op) + " ops=4\n");
        output o = element(&g, 0);
        EXPECT_EQ(o.out, std::string("  <node id=\"n0\">\n"
                                     "   <type xlink:href=\"gd.xml#cOperator\" />\n"
                                     "   <attr name=\"op\"><string>") +
                             c.text + "</string></attr>\n  </node>\n")
            << c.op;
        EXPECT_EQ(o.err, c.err);
        EXPECT_EQ(xml_problems(document(&g).out), "") << c.op;
    }
}

TEST(GxlDocument, KindsWithoutABodyAreReportedAndLeftEmpty)
{
    graph g("0 identifier_node strg=\"x\"\n1 400\n2 num_nodes\n");
    output o = document(&g);
    EXPECT_EQ(o.result, 0);
    EXPECT_NE(o.out.find("  <node id=\"n1\">\n   <type xlink:href=\"gd.xml#unknown_kind\" />\n  </node>\n"),
              std::string::npos);
    EXPECT_NE(o.out.find("  <node id=\"n2\">\n   <type xlink:href=\"gd.xml#num_nodes\" />\n  </node>\n"),
              std::string::npos);
    EXPECT_EQ(o.err.rfind("Node number 1\nunknown node type: 400\nnode data:\n", 0), 0u);
    EXPECT_NE(o.err.find("Node number 2\nunknown node type: 315\nnode data:\n"), std::string::npos);
    EXPECT_EQ(xml_problems(o.out), "");
}

TEST(GxlDocument, TreeVecElementsRelation)
{
    std::string all14;
    for (int j = 0; j < 14; j++)
        all14 += "       <relend role=\"elt\" target=\"n" + std::to_string(j + 1) +
                 "\" direction=\"out\" outorder=\"" + std::to_string(j) + "\"/>\n";
    struct {
        const char *length;
        const char *elts;
        std::string rel_lines;
        const char *err;
    } cases[] = {
        {"3", "[12 -1 40]",
         "       <relend role=\"elt\" target=\"n12\" direction=\"out\" outorder=\"0\"/>\n"
         "       <relend role=\"elt\" target=\"n40\" direction=\"out\" outorder=\"2\"/>\n",
         ""},
        {"0", "[12]", "", ""},
        {"-2", "[12]", "", ""},
        {"20", "[1 2 3 4 5 6 7 8 9 10 11 12 13 14]", all14,
         "graphxml: node 0: tree_vec length 20 clamped to its 14 slots\n"},
    };
    for (const auto &c : cases) {
        graph g(std::string("0 tree_vec binfo_type=7 length=") + c.length + " elts=" + c.elts + "\n");
        output o = element(&g, 0);
        EXPECT_EQ(o.out, "  <node id=\"n0\">\n   <type xlink:href=\"gd.xml#tree_vec\" />\n" + flags() +
                             "   <attr name=\"length\"><int>" + c.length +
                             "</int></attr>\n"
                             "  </node>\n"
                             "  <edge from=\"n0\" to=\"n7\">\n"
                             "   <type xlink:href=\"gd.xml#tree_vec_binfo_type\" />\n"
                             "  </edge>\n"
                             "  <rel><relend role=\"array\" target=\"n0\" direction=\"in\"/>\n" +
                             c.rel_lines + "  </rel>\n")
            << c.length;
        EXPECT_EQ(o.err, c.err) << c.length;
        EXPECT_EQ(xml_problems(document(&g).out), "") << c.length;
    }
}

}  // namespace
