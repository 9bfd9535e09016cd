// gd_enum_filter: enumeration types and their constants become Ririra
// enumeration types and enumerators.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(GdEnum, TypesConstantsAndValueLists)
{
    // 2 is named by a typedef, 10 directly by an identifier (no name) and
    // shares 2's value list, which is converted once, for 2. 11 has no
    // values. Access: public before private before protected. Only the
    // constant with a value gets an arc; a constant whose name node is no
    // identifier gets no name; a constant of no enumeration stays.
    text_graph t(gd_enum_fixture.before);
    EXPECT_EQ(gd_enum_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_enum_fixture.after);
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
