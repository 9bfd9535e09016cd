// gd_derived_filter: pointer, reference and array types become Ririra types
// under the global scope; arrays get their dimension as an int literal.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

#include <string>

namespace {

TEST(GdDerived, PointersReferencesAndArraysWithTheirDimensions)
{
    // The literals are typed by the first non-const built-in "int". Array 6
    // has a domain with maximum 9; 9 a domain without a constant maximum;
    // 11 no domain; 12 a domain that is no integer type (its maximum word is
    // not read); 16 a maximum whose successor wraps. Access: private before
    // protected before public. Node 17 only makes room in the string pool,
    // which the filter grows by a tenth before it adds the dimension texts.
    const std::string unit = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cBuiltInType name="int" const_flag
3 cBuiltInType name="int"
4 integer_type max=5
5 integer_cst low=9
6 array_type readonly_flag elts=3 domn=4
7 pointer_type public_flag private_flag protected_flag ptd=6
8 reference_type public_flag refd=3
9 array_type elts=3 domn=10
10 integer_type
11 array_type elts=3
12 array_type elts=3 domn=13
13 enumeral_type max=5
14 integer_type max=15
15 integer_cst low=2147483647
16 array_type elts=3 domn=14
17 identifier_node strg=")" + std::string(200, 'x') +
                             "\"\n";
    text_graph t(unit.c_str());
    EXPECT_EQ(gd_derived_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=22
2 cBuiltInType name="int" const_flag
3 cBuiltInType name="int"
4 integer_type max=5
5 integer_cst low=9
6 cArrayType instance=21 array_dim=18 const_flag
7 cPtrType visb=visb_pri instance=23
8 cRefType visb=visb_pub instance=25
9 cArrayType instance=30 array_dim=27
10 integer_type
11 cArrayType instance=32
12 cArrayType instance=37 array_dim=34
13 enumeral_type max=5
14 integer_type max=15
15 integer_cst low=2147483647
16 cArrayType instance=42 array_dim=39
17 identifier_node strg=")" +
                            std::string(200, 'x') + R"("
18 cArcArrayDim src=6 dest=20
19 cInstance src=20 dest=3
20 cLiteral value="10" type=19
21 cInstance src=6 dest=3
22 cArcSon src=0 dest=6 next=24
23 cInstance src=7 dest=6
24 cArcSon src=0 dest=7 next=26
25 cInstance src=8 dest=3
26 cArcSon src=0 dest=8 next=31
27 cArcArrayDim src=9 dest=29
28 cInstance src=29 dest=3
29 cLiteral value="0" type=28
30 cInstance src=9 dest=3
31 cArcSon src=0 dest=9 next=33
32 cInstance src=11 dest=3
33 cArcSon src=0 dest=11 next=38
34 cArcArrayDim src=12 dest=36
35 cInstance src=36 dest=3
36 cLiteral value="0" type=35
37 cInstance src=12 dest=3
38 cArcSon src=0 dest=12 next=43
39 cArcArrayDim src=16 dest=41
40 cInstance src=41 dest=3
41 cLiteral value="-2147483648" type=40
42 cInstance src=16 dest=3
43 cArcSon src=0 dest=16
)");
}

TEST(GdDerived, WithoutANonConstIntArraysGetNoDimension)
{
    text_graph t(gd_derived_fixture.before);
    EXPECT_EQ(gd_derived_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), gd_derived_fixture.after);
}

}  // namespace
