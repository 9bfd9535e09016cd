// Helpers for rewriting compiler records as Ririra records.

#include "ririra_records.h"

#include "support/graph_fixture.h"

namespace {

TEST(VisibilityByPrecedence, TheFirstSetFlagOfTheOrderWins)
{
    constexpr t_visb public_first[] = {visb_pub, visb_pri, visb_pro};
    constexpr t_visb protected_first[] = {visb_pro, visb_pub, visb_pri};
    struct {
        bool pub, pri, pro;
        t_visb public_first, protected_first;
    } cases[] = {
        {false, false, false, visb_unk, visb_unk}, {true, false, false, visb_pub, visb_pub},
        {false, true, false, visb_pri, visb_pri},  {false, false, true, visb_pro, visb_pro},
        {true, true, false, visb_pub, visb_pub},   {false, true, true, visb_pri, visb_pro},
        {true, false, true, visb_pub, visb_pro},   {true, true, true, visb_pub, visb_pro},
    };
    for (auto c : cases) {
        gd_graph_common head{};
        head.public_flag = c.pub;
        head.private_flag = c.pri;
        head.protected_flag = c.pro;
        EXPECT_EQ(visibility_by_precedence(head, public_first), c.public_first) << c.pub << c.pri << c.pro;
        EXPECT_EQ(visibility_by_precedence(head, protected_first), c.protected_first)
            << c.pub << c.pri << c.pro;
    }
}

TEST(MakeTypeRecord, RewritesTheIdentifierAndTypeFieldsAndKeepsTheHeadFlags)
{
    text_graph t(
        R"(0 integer_type readonly_flag volatile_flag other_node=1 name=1 size=1 unql=0 prec=32 min=1 max=1
1 integer_cst
)");
    make_type_record(&t.g, 0, dC_BUILT_IN_TYPE, -1, 7, -1, visb_pri);
    EXPECT_EQ(
        t.dump(),
        R"(0 cBuiltInType common.volatile_flag readonly_flag line=7 visb=visb_pri const_flag volatile_flag
1 integer_cst
)");
}

TEST(TypeDeclPlace, NameAndPlaceComeFromATypeDeclarationOnly)
{
    text_graph t(R"(0 type_decl name=2 srcf="a.h" srcl=7
1 var_decl name=2 srcf="a.h" srcl=8
2 identifier_node strg="T"
3 type_decl srcf="b.h" srcl=9
)");
    const str_ptr a_h = gd_lookup_string(&t.g, "a.h"), b_h = gd_lookup_string(&t.g, "b.h");
    const str_ptr name_t = gd_lookup_string(&t.g, "T");
    struct {
        node_ptr decl;
        str_ptr file;
        int32_t line;
        str_ptr name;
    } cases[] = {
        {0, a_h, 7, name_t}, {1, -1, -1, -1},  // a variable's declaration names no type
        {2, -1, -1, -1},                       // an identifier alone has no place
        {3, b_h, 9, -1},                       // a declaration without a name
        {99, -1, -1, -1},    {-1, -1, -1, -1},
    };
    for (auto c : cases) {
        const declared_place place = type_decl_place(&t.g, c.decl);
        EXPECT_EQ(place.file, c.file) << c.decl;
        EXPECT_EQ(place.line, c.line) << c.decl;
        EXPECT_EQ(place.name, c.name) << c.decl;
    }
    EXPECT_EQ(identifier_text(&t.g, 2), name_t);
    EXPECT_EQ(identifier_text(&t.g, 0), -1);
    EXPECT_EQ(identifier_text(&t.g, -1), -1);
}

TEST(AddLinkSymbol, MakesTheSymbolItsLinkAndItsMemberArcInThisOrder)
{
    text_graph t(R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil
3 identifier_node strg="_Z1f"
4 var_decl
5 var_decl
)");
    scope_tail global = scope_tail_of(0);
    EXPECT_EQ(add_link_symbol(&t.g, global, 4, 3, true), 7);
    EXPECT_EQ(add_link_symbol(&t.g, global, 5, 3, false), 10);
    EXPECT_EQ(add_link_symbol(&t.g, global, 5, 4, false), -1);  // no identifier: nothing made
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=8
2 cScopeCompil
3 identifier_node strg="_Z1f"
4 var_decl
5 var_decl
6 cExternSymbol name="_Z1f"
7 cResolvedByExtern src=4 dest=6
8 cArcSon src=0 dest=6 next=11
9 cExternSymbol name="_Z1f"
10 cRefersToExtern src=9 dest=5
11 cArcSon src=0 dest=9
)");
}

TEST(Operands, AreReadAlongTheOperatorsArcChain)
{
    text_graph t(R"(0 cOperator op=dc_fct_call ops=1
1 cArcSon dest=3 next=2
2 cArcSon dest=4
3 cObject
4 cObject
)");
    EXPECT_TRUE(is_operator(&t.g, 0, dc_fct_call));
    EXPECT_FALSE(is_operator(&t.g, 0, dc_bplus));
    EXPECT_FALSE(is_operator(&t.g, 3, dc_fct_call));
    struct {
        node_ptr op;
        int index;
        node_ptr arc, dest;
    } cases[] = {{0, 0, 1, 3}, {0, 1, 2, 4}, {0, 2, -1, -1}, {3, 0, -1, -1}, {-1, 0, -1, -1}};
    for (auto c : cases) {
        EXPECT_EQ(operand_arc(&t.g, c.op, c.index), c.arc) << c.op << ' ' << c.index;
        EXPECT_EQ(operand(&t.g, c.op, c.index), c.dest) << c.op << ' ' << c.index;
    }
}

}  // namespace
