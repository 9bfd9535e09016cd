// gd_enum_filter: enumeration types and their constants become Ririra
// enumeration types and enumerators.

#include <gd/filters/filters.h>

#include "support/graph_fixture.h"

namespace {

TEST(GdEnum, TypesConstantsAndValueLists)
{
    // 2 is named by a typedef, 10 directly by an identifier (no name) and
    // shares 2's value list, which is converted once, for 2. 11 has no
    // values. Access: public before private before protected. Only the
    // constant with a value gets an arc; a constant whose name node is no
    // identifier gets no name; a constant of no enumeration stays.
    text_graph t(R"(0 type_decl public_flag name=1 srcf="e.c" srcl=1
1 identifier_node strg="color"
2 enumeral_type readonly_flag public_flag private_flag protected_flag name=0 csts=3
3 tree_list value=5 chan=4
4 tree_list value=6
5 const_decl name=7 type=2 srcf="e.c" srcl=2 cnst=9
6 const_decl public_flag private_flag protected_flag name=8 type=2 srcf="e.c" srcl=3
7 identifier_node strg="red"
8 identifier_node strg="green"
9 integer_cst low=4
10 enumeral_type name=1 csts=3
11 enumeral_type
12 const_decl name=13 type=10 cnst=9
13 cLiteral file="x.c"
14 const_decl name=7 type=99
)");
    EXPECT_EQ(gd_enum_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 type_decl public_flag name=1 srcf="e.c" srcl=1
1 identifier_node strg="color"
2 cEnumType file="e.c" line=1 name="color" visb=visb_pub const_flag values=3
3 cArcSon src=2 dest=5 next=4
4 cArcSon src=2 dest=6
5 cEnumerator file="e.c" line=2 name="red" value=15
6 cEnumerator file="e.c" line=3 name="green" visb=visb_pub
7 identifier_node strg="red"
8 identifier_node strg="green"
9 integer_cst low=4
10 cEnumType values=3
11 cEnumType
12 cEnumerator value=16
13 cLiteral file="x.c"
14 const_decl name=7 type=99
15 cArcInitVal src=5 dest=9
16 cArcInitVal src=12 dest=9
)");
}

TEST(GdEnum, ValueListsEndAtTheFirstCellThatIsNoList)
{
    // A list that leads back into itself, and one that runs into a node of
    // another kind: the last arc's next is cut there.
    text_graph t(R"(0 enumeral_type csts=1
1 tree_list value=5 chan=2
2 tree_list value=5 chan=1
3 enumeral_type csts=4
4 tree_list value=5 chan=5
5 integer_cst
)");
    EXPECT_EQ(gd_enum_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cEnumType values=1
1 cArcSon src=0 dest=5 next=2
2 cArcSon src=0 dest=5 next=1
3 cEnumType values=4
4 cArcSon src=3 dest=5
5 integer_cst
)");
}

}  // namespace
