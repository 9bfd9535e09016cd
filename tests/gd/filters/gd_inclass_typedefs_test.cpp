// gd_inclass_typedefs_filter: private type variants for typedefs.

#include <gd/filters/filters.h>

#include "support/graph_fixture.h"

namespace {

TEST(GdInclassTypedefs, CopiesTheTypeOnlyForTypedefsOfAnotherNamesMainVariant)
{
    // 0: typedef of int, which declaration 3 names: copied.
    // 3: the declaration that names int itself: left alone.
    // 5: typedef of its own enclosing class 6: left alone.
    // 8: typedef of a type that is already a variant: left alone.
    // 10: typedef of a char type, not a type kind of the classifier: left alone.
    // 12: typedef of a real type named by 14: copied, after the first copy.
    text_graph t(R"(0 type_decl name=1 type=2
1 identifier_node strg="alias_t"
2 integer_type name=3 unql=2 prec=32
3 type_decl name=4 type=2
4 identifier_node strg="int"
5 type_decl type=6 scpe=6
6 record_type name=7 unql=6
7 type_decl type=6
8 type_decl type=9
9 integer_type name=3 unql=2
10 type_decl type=11
11 char_type name=3 unql=11
12 type_decl type=13
13 real_type name=14 unql=13 prec=64
14 type_decl type=13
)");
    EXPECT_EQ(gd_inclass_typedefs_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 type_decl name=1 type=15
1 identifier_node strg="alias_t"
2 integer_type name=3 unql=2 prec=32
3 type_decl name=4 type=2
4 identifier_node strg="int"
5 type_decl type=6 scpe=6
6 record_type name=7 unql=6
7 type_decl type=6
8 type_decl type=9
9 integer_type name=3 unql=2
10 type_decl type=11
11 char_type name=3 unql=11
12 type_decl type=16
13 real_type name=14 unql=13 prec=64
14 type_decl type=13
15 integer_type name=0 unql=2 prec=32
16 real_type name=12 unql=13 prec=64
)");
}

}  // namespace
