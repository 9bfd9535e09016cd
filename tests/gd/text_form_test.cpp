// The text form: compiling text into a graph, and dumping a graph as text.
#include "text_form.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gd/kind_table.h"
#include "text_graph.h"

namespace {

TEST(TextForm, CompilesFieldsStringsDefaultsAndGaps)
{
    gd_graph g = compile_text_graph(R"(# a comment
root 3
3 var_decl name=1 srcf="a.c" srcl=7 lang=src_lang_cp public_flag undef init=0x10
1 identifier_node strg="v" lngt=1   # trailing comment
5 cFunction name="f\x80" virtual_code=vc_pure_virtual common.static_flag visb=visb_pro
7 tree_vec length=3 elts=[4 5 6]
)");
    EXPECT_EQ(g.firstNode, 3);
    EXPECT_EQ(g.curNodePos, 8u);
    EXPECT_EQ(g.nodeBuffLen, 8u);
    // Strings in order of appearance, each with its NUL.
    ASSERT_EQ(g.curStringPos, 4u + 2u + 3u);
    EXPECT_EQ(g.stringBuffLen, g.curStringPos);
    EXPECT_EQ(memcmp(g.stringBuffer, "a.c\0v\0f\x80\0", 9), 0);

    const t_var_decl &v = g.nodeBuffer[3].var_decl;
    EXPECT_EQ(v.type, -1);  // the decl's `type`, not the kind
    EXPECT_EQ(g.nodeBuffer[3].common.type, gVAR_DECL);
    EXPECT_EQ(v.name, 1);
    EXPECT_EQ(v.srcf, 0);
    EXPECT_EQ(v.srcl, 7);
    EXPECT_EQ(v.lang, src_lang_cp);
    EXPECT_EQ(v.public_flag, 1u);
    EXPECT_EQ(v.undef, 1u);
    EXPECT_EQ(v.init, 16);
    EXPECT_EQ(v.other_node, -1);
    EXPECT_EQ(v.mngl, -1);
    EXPECT_EQ(v.algn, 0);
    EXPECT_EQ(g.nodeBuffer[1].identifier_node.strg, 4);

    const t_dc_function &f = g.nodeBuffer[5].dc_function;
    EXPECT_EQ(f.name, 6);
    EXPECT_EQ(f.virtual_code, 3u);
    EXPECT_EQ(f.static_flag, 0u);
    EXPECT_EQ(g.nodeBuffer[5].common.static_flag, 1u);
    EXPECT_EQ(f.visb, visb_pro);
    EXPECT_EQ(f.file, -1);
    EXPECT_EQ(f.line, -1);
    EXPECT_EQ(f.voffset, 0);
    // Bytes beyond the record are zero.
    for (int b = sizeof(t_dc_function); b < 72; b++) EXPECT_EQ(g.nodeBuffer[5].bytes[b], 0) << b;

    const t_tree_vec &tv = g.nodeBuffer[7].tree_vec;
    EXPECT_EQ(tv.elts[0], 4);
    EXPECT_EQ(tv.elts[2], 6);
    EXPECT_EQ(tv.elts[3], -1);
    EXPECT_EQ(tv.binfo_type, -1);

    // Gaps are free records, listed in ascending order.
    for (int i : {0, 2, 4, 6}) EXPECT_EQ(g.nodeBuffer[i].common.type, NODE_DELTED) << i;
    EXPECT_EQ(g.firstFreeNode, 0);
    EXPECT_EQ(g.nodeBuffer[0].common.other_node, 2);
    EXPECT_EQ(g.nodeBuffer[2].common.other_node, 4);
    EXPECT_EQ(g.nodeBuffer[4].common.other_node, 6);
    EXPECT_EQ(g.nodeBuffer[6].common.other_node, -1);
    // The pool is indexed: each string is found at its offset.
    EXPECT_EQ(gd_lookup_string(&g, "v"), 4);
    EXPECT_EQ(gd_lookup_string(&g, "a.c"), 0);
    deallocate_gd_graph(g);
}

TEST(TextForm, EqualTextsShareOneOffset)
{
    gd_graph g = compile_text_graph(R"(
0 identifier_node strg="x"
1 cObject name="x" file="x"
)");
    EXPECT_EQ(g.curStringPos, 2u);
    EXPECT_EQ(g.nodeBuffer[1].dc_object.name, 0);
    EXPECT_EQ(g.nodeBuffer[1].dc_object.file, 0);
    deallocate_gd_graph(g);
}

TEST(TextForm, DumpShowsWhatDiffersFromANewNode)
{
    gd_graph g = compile_text_graph(R"(
hash 7
nodes 10
root 2
2 cFunction line=4 name="a\"b\n" visb=visb_pub static_flag virtual_code=vc_virtual block=6 inst=5 common.static_flag
3 cArcSon src=2 dest=4 ordinal=1
4 cOperator op=dc_fct_call ops=-1 mark_flag1 file=@99
6 tree_vec length=2 elts=[1 -1 3]
7 node_none
8 400
)");
    EXPECT_EQ(gd_text_dump(&g),
              "root 2\n"
              "nodes 10\n"
              "2 cFunction common.static_flag line=4 name=\"a\\\"b\\n\" visb=visb_pub static_flag "
              "virtual_code=vc_virtual block=6 inst=5\n"
              "3 cArcSon ordinal=1 src=2 dest=4\n"
              "4 cOperator mark_flag1 file=@99 op=dc_fct_call\n"
              "6 tree_vec length=2 elts=[1 -1 3]\n"
              "7 node_none\n"
              "8 400\n");
    EXPECT_EQ(g.hashTableLen, 7u);
    // What the dump prints compiles to a graph with the same dump.
    std::string first = gd_text_dump(&g);
    gd_graph again = compile_text_graph(first.c_str());
    EXPECT_EQ(gd_text_dump(&again), first);
    deallocate_gd_graph(again);
    deallocate_gd_graph(g);
}

TEST(TextForm, BytesAtAndAbove0x80AreEscapedInTheDump)
{
    gd_graph g = compile_text_graph("0 identifier_node strg=\"\\xff\\x01z\"\n");
    EXPECT_EQ(gd_text_dump(&g), "0 identifier_node strg=\"\\xff\\x01z\"\n");
    deallocate_gd_graph(g);
}

// Quote and backslash after a backslash, a line feed and a tab by their
// letters, every other control byte and every byte from 0x7f in hex.
TEST(TextForm, TheDumpEscapesEachByteItCannotShowAsItIs)
{
    gd_graph g = compile_text_graph("0 identifier_node strg=\"a\\\"b\\\\c\\nd\\te\\rf\\x1fg\\x7fh\\x80\"\n");
    EXPECT_EQ(gd_text_dump(&g), "0 identifier_node strg=\"a\\\"b\\\\c\\nd\\te\\x0df\\x1fg\\x7fh\\x80\"\n");
    deallocate_gd_graph(g);
}

// Without `hash`, the table has the first prime at or above twice the
// string fields plus 11: each field counts, also one whose text an earlier
// field already put in the pool.
TEST(TextForm, DefaultSlotsCountTheStringFields)
{
    struct {
        const char *text;
        uint32_t slots;
    } cases[] = {
        {"0 integer_cst\n", 11},
        {"0 identifier_node strg=\"a\"\n", 13},
        {"0 identifier_node strg=\"a\"\n1 identifier_node strg=\"a\"\n", 17},
        {"0 var_decl srcf=\"a\"\n1 identifier_node strg=\"a\"\n2 identifier_node strg=\"a\"\n"
         "3 identifier_node strg=\"b\"\n",
         19},
    };
    for (const auto &c : cases) {
        gd_graph g = compile_text_graph(c.text);
        EXPECT_EQ(g.hashTableLen, c.slots) << c.text;
        deallocate_gd_graph(g);
    }
}

TEST(TextForm, ErrorsNameTheLine)
{
    using namespace std::string_literals;
    struct Case {
        std::string text;
        const char *error;
    } cases[] = {
        {"0 no_such_kind", "line 1: unknown kind no_such_kind"},
        {"\n0 var_decl bogus=1", "line 2: no field bogus in t_var_decl"},
        {"0 var_decl chan", "line 1: field chan needs a value"},
        {"0 var_decl chan=\"x\"", "line 1: field chan is not a string"},
        {"0 var_decl chan=x1", "line 1: bad value x1 for chan"},
        {"0 var_decl lang=src_lang_cobol", "line 1: bad value src_lang_cobol for lang"},
        {"0 cFunction virtual_code=4", "line 1: value 4 does not fit virtual_code"},
        {"0 var_decl srcf=\"abc", "line 1: unterminated string"},
        {"0 var_decl srcf=\"a\\x00\"", "line 1: a string cannot hold a NUL"},
        // A raw NUL would end the text in the pool, where equal texts share
        // one offset.
        {"0 var_decl\n1 var_decl srcf=\"a\0b\""s, "line 2: a string cannot hold a NUL"},
        {"0 var_decl\n0 var_decl", "line 2: node 0 is already on line 1"},
        {"x var_decl", "line 1: expected a node index or a directive, got x"},
        {"-1 var_decl", "line 1: expected a node index or a directive, got -1"},
        {"0", "line 1: node 0 has no kind"},
        {"root", "line 1: root takes one number"},
        {"0 tree_vec elts=[1 2 3 4 5 6 7 8 9 10 11 12 13 14 15]", "line 1: too many elements for elts"},
        {"hash 0\n0 identifier_node strg=\"a\"", "line 2: the hash table has no room for \"a\""},
        {"hash 1\n0 identifier_node strg=\"a\"\n\n1 identifier_node strg=\"b\"",
         "line 4: the hash table has no room for \"b\""},
        // Numbers a field cannot hold.
        {"0 var_decl name=99999999999", "line 1: value 99999999999 does not fit name"},
        {"0 var_decl chan=2147483648", "line 1: value 2147483648 does not fit chan"},
        {"0 var_decl srcl=-2147483649", "line 1: value -2147483649 does not fit srcl"},
        {"0 var_decl chan=0x100000000", "line 1: value 0x100000000 does not fit chan"},
        {"0 identifier_node lngt=4294967296", "line 1: value 4294967296 does not fit lngt"},
        {"0 identifier_node lngt=-1", "line 1: value -1 does not fit lngt"},
        {"0 var_decl srcf=@99999999999", "line 1: value @99999999999 does not fit srcf"},
        {"0 var_decl lang=4294967296", "line 1: value 4294967296 does not fit lang"},
        {"0 tree_vec elts=[1 99999999999999999999999]",
         "line 1: value 99999999999999999999999 does not fit elts"},
        {"root 2147483648", "line 1: value 2147483648 does not fit root"},
        // Numbers are decimal or hexadecimal.
        {"0 var_decl chan=0x", "line 1: bad value 0x for chan"},
        {"0 var_decl chan=+1", "line 1: bad value +1 for chan"},
        {"0 var_decl chan=0o17", "line 1: bad value 0o17 for chan"},
        {"0 var_decl chan=1e3", "line 1: bad value 1e3 for chan"},
    };
    for (const Case &c : cases) {
        gd_graph g = gd_empty_graph();
        std::string error;
        EXPECT_FALSE(gd_text_compile(c.text, &g, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(g.nodeBuffer, nullptr);
    }
}

// Decimal numbers keep their leading zeros out of it; each field takes its
// whole range.
TEST(TextForm, NumbersAreDecimalOrHexadecimalAndTakeTheFieldsWholeRange)
{
    gd_graph g =
        compile_text_graph("0 var_decl srcl=010 chan=0x10 scpe=-0x10 name=2147483647 type=-2147483648\n"
                           "1 identifier_node lngt=4294967295 op_type_un=007\n"
                           "root -1\n");
    EXPECT_EQ(gd_text_dump(&g), "0 var_decl name=2147483647 type=-2147483648 chan=16 scpe=-16 srcl=10\n"
                                "1 identifier_node lngt=4294967295 op_type_un=7\n");
    deallocate_gd_graph(g);
}

// `hash N` gives a table of exactly N slots, whether or not N is prime.
TEST(TextForm, HashGivesExactlyTheSlotsAsked)
{
    for (uint32_t slots : {1u, 2u, 3u, 4u, 5u, 8u, 13u, 64u}) {
        const std::string text = "hash " + std::to_string(slots) + "\n0 identifier_node strg=\"v\"\n";
        gd_graph g = compile_text_graph(text);
        EXPECT_EQ(g.hashTableLen, slots) << text;
        EXPECT_EQ(gd_lookup_string(&g, "v"), 0) << text;
        deallocate_gd_graph(g);
    }
}

TEST(TextForm, EmptyTextIsTheEmptyGraph)
{
    gd_graph g = compile_text_graph("# nothing\n\n");
    EXPECT_EQ(g.curNodePos, 0u);
    EXPECT_EQ(g.curStringPos, 0u);
    EXPECT_EQ(g.firstNode, -1);
    EXPECT_EQ(g.firstFreeNode, -1);
    EXPECT_EQ(gd_text_dump(&g), "");
    deallocate_gd_graph(g);
}

}  // namespace
