// gd_alias_filter: named variants of compiler types become alias types.

#include <gd/filters/filters.h>

#include "support/graph_fixture.h"

namespace {

TEST(GdAlias, NamedVariantsBecomeAliasesOfTheirMainVariant)
{
    // A typedef's variant takes name, place and access from its declaration
    // (public before private before protected); a variant named directly by
    // an identifier has no place and no access. The conversion keeps the
    // flags of the common head. An unnamed variant, a main variant and a
    // kind that is no compiler type of the schema stay as they are.
    text_graph t(R"(0 type_decl public_flag private_flag protected_flag name=1 type=3 srcf="a.c" srcl=2
1 identifier_node strg="myint"
2 integer_type name=5 unql=2
3 integer_type volatile_flag readonly_flag name=0 unql=2 prec=32
4 pointer_type protected_flag name=1 unql=6 ptd=2
5 identifier_node strg="int"
6 pointer_type unql=6 ptd=2
7 integer_type unql=2
8 complex_type name=1 unql=2
)");
    EXPECT_EQ(gd_alias_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 type_decl public_flag private_flag protected_flag name=1 type=3 srcf="a.c" srcl=2
1 identifier_node strg="myint"
2 integer_type name=5 unql=2
3 cAliasType common.volatile_flag readonly_flag file="a.c" line=2 name="myint" visb=visb_pub instance=9 const_flag volatile_flag original=9
4 cAliasType protected_flag name="myint" instance=10 original=10
5 identifier_node strg="int"
6 pointer_type unql=6 ptd=2
7 integer_type unql=2
8 complex_type name=1 unql=2
9 cInstance src=3 dest=2
10 cInstance src=4 dest=6
)");
}

}  // namespace
