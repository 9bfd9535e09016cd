// gd_classref_filter: calls of member functions go through a field access on
// the object, and the member function loses its object formal once.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Class C has the member function m(this, n) and the static member s.
// Call 10 is m(&obj, 5), call 20 is m(ptr), call 25 is a third call of m
// whose arguments are no actual-parameter list, call 32 calls s.
const char *member_calls = R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=30
2 cFunction mark_flag2 name="m" formal_fct=3
3 cArcSon src=2 dest=4 next=5
4 cFormalObject name="this"
5 cArcSon src=2 dest=6
6 cFormalObject name="n"
7 cObject mark_flag1 name="obj"
8 cObject name="ptr"
10 cOperator op=dc_fct_call ops=11
11 cArcOpd src=10 dest=2 next=12
12 cArcOpd src=10 dest=13
13 cActualFctParamList actuals=14
14 cArcSon src=13 dest=16 next=15
15 cArcSon src=13 dest=19
16 cOperator op=dc_addr ops=17
17 cArcOpd src=16 dest=7
19 cLiteral value="5"
20 cOperator op=dc_fct_call ops=21
21 cArcOpd src=20 dest=2 next=22
22 cArcOpd src=20 dest=23
23 cActualFctParamList actuals=24
24 cArcSon src=23 dest=8
25 cOperator op=dc_fct_call ops=26
26 cArcOpd src=25 dest=2 next=27
27 cArcOpd src=25 dest=7
30 cArcSon src=0 dest=31
31 cFunction common.static_flag name="s"
32 cOperator op=dc_fct_call ops=33
33 cArcOpd src=32 dest=31 next=34
34 cArcOpd src=32 dest=19
)";

TEST(GdClassref, RewritesMemberCallsAndDropsTheObjectFormalOnce)
{
    // New nodes take the free records 9, 18, 28 and 29 in this order: the
    // field access and the member arc of call 10, then the `->` and member
    // arc of call 20. Call 20 had no argument but the object and loses its
    // argument operand. The old marks are cleared; the member function keeps
    // the mark that tells it.
    filtered_text out = run_filter_on_text(gd_classref_filter, member_calls);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=30
2 cFunction mark_flag1 mark_flag2 name="m" formal_fct=5
3 cArcSon src=2 dest=4 next=5
4 cFormalObject name="this"
5 cArcSon src=2 dest=6
6 cFormalObject name="n"
7 cObject name="obj"
8 cObject name="ptr"
9 cOperator op=dc_field_access ops=14
10 cOperator op=dc_fct_call ops=11
11 cArcOpd src=10 dest=9 next=12
12 cArcOpd src=10 dest=13
13 cActualFctParamList actuals=15
14 cArcOpd src=9 dest=7 next=18
15 cArcSon src=13 dest=19
16 cOperator op=dc_addr ops=17
17 cArcOpd src=16 dest=7
18 cArcOpd ordinal=-1 src=9 dest=2
19 cLiteral value="5"
20 cOperator op=dc_fct_call ops=21
21 cArcOpd src=20 dest=28
22 cArcOpd src=20 dest=23
23 cActualFctParamList actuals=24
24 cArcOpd src=28 dest=8 next=29
25 cOperator op=dc_fct_call ops=26
26 cArcOpd src=25 dest=2 next=27
27 cArcOpd src=25 dest=7
28 cOperator op=dc_pointsat ops=24
29 cArcOpd ordinal=-1 src=28 dest=2
30 cArcSon src=0 dest=31
31 cFunction common.static_flag name="s"
32 cOperator op=dc_fct_call ops=33
33 cArcOpd src=32 dest=31 next=34
34 cArcOpd src=32 dest=19
)");
}

// A function is static for the rewrite when the common head's static flag is
// set; the function record's own static_flag, a field of the same name, does
// not count. Function f has only its own flag and is a member function, g
// has the head's and is not: only f's call through `ptr` is rewritten.
TEST(GdClassref, OnlyTheCommonHeadsStaticFlagMakesAMemberStatic)
{
    filtered_text out = run_filter_on_text(gd_classref_filter, R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=3
2 cFunction name="f" static_flag formal_fct=5
3 cArcSon src=0 dest=4
4 cFunction common.static_flag name="g" formal_fct=7
5 cArcSon src=2 dest=6
6 cFormalObject name="this"
7 cArcSon src=4 dest=8
8 cFormalObject name="this"
9 cObject name="ptr"
10 cOperator op=dc_fct_call ops=11
11 cArcOpd src=10 dest=2 next=12
12 cArcOpd src=10 dest=13
13 cActualFctParamList actuals=14
14 cArcSon src=13 dest=9
15 cOperator op=dc_fct_call ops=16
16 cArcOpd src=15 dest=4 next=17
17 cArcOpd src=15 dest=18
18 cActualFctParamList actuals=19
19 cArcSon src=18 dest=9
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=3
2 cFunction mark_flag1 name="f" static_flag
3 cArcSon src=0 dest=4
4 cFunction common.static_flag name="g" formal_fct=7
5 cArcSon src=2 dest=6
6 cFormalObject name="this"
7 cArcSon src=4 dest=8
8 cFormalObject name="this"
9 cObject name="ptr"
10 cOperator op=dc_fct_call ops=11
11 cArcOpd src=10 dest=20
12 cArcOpd src=10 dest=13
13 cActualFctParamList actuals=14
14 cArcOpd src=20 dest=9 next=21
15 cOperator op=dc_fct_call ops=16
16 cArcOpd src=15 dest=4 next=17
17 cArcOpd src=15 dest=18
18 cActualFctParamList actuals=19
19 cArcSon src=18 dest=9
20 cOperator op=dc_pointsat ops=14
21 cArcOpd ordinal=-1 src=20 dest=2
)");
}

TEST(GdClassref, TwoCallsSharingOneArgumentListShareOneFieldAccess)
{
    filtered_text out = run_filter_on_text(gd_classref_filter, gd_classref_fixture.before);
    EXPECT_EQ(out.graph, gd_classref_fixture.after);
}

}  // namespace
