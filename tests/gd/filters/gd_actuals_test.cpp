// gd_actuals_filter: the argument chain of every call becomes an
// actual-parameter list whose arcs are the chain's cells, converted in place.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdActuals, TurnsTheArgumentCellsIntoTheArcsOfANewList)
{
    // f(a, 1), then g() without arguments and a sum: only the first changes.
    // The cells were marked; the arcs are built whole, flags clear.
    filtered_text out = run_filter_on_text(gd_actuals_filter, gd_actuals_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_actuals_fixture.after);
}

TEST(GdActuals, TwoCallsSharingOneArgumentChainShareOneList)
{
    // The second call finds the chain converted for the first and takes its
    // list, instead of reading the arcs as cells.
    filtered_text out = run_filter_on_text(gd_actuals_filter, R"(0 cFunction name="f"
1 cOperator op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=7
4 cOperator op=dc_fct_call ops=5
5 cArcOpd src=4 dest=0 next=6
6 cArcOpd src=4 dest=7
7 tree_list value=9 chan=8
8 tree_list value=9
9 cObject name="a"
)");
    EXPECT_EQ(out.graph, R"(0 cFunction name="f"
1 cOperator op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=10
4 cOperator op=dc_fct_call ops=5
5 cArcOpd src=4 dest=0 next=6
6 cArcOpd src=4 dest=10
7 cArcSon src=10 dest=9 next=8
8 cArcSon src=10 dest=9
9 cObject name="a"
10 cActualFctParamList actuals=7
)");
}

TEST(GdActuals, ConvertsOnlyTreeListCells)
{
    // Call 1's arguments are no cell chain: left alone. Call 4's chain goes
    // on into an object, which ends the arc chain; call 8's chain loops back
    // to its first cell, which ends it too.
    filtered_text out = run_filter_on_text(gd_actuals_filter, R"(0 cFunction name="f"
1 cOperator op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=13
4 cOperator op=dc_fct_call ops=5
5 cArcOpd src=4 dest=0 next=6
6 cArcOpd src=4 dest=7
7 tree_list value=13 chan=13
8 cOperator op=dc_fct_call ops=9
9 cArcOpd src=8 dest=0 next=10
10 cArcOpd src=8 dest=11
11 tree_list value=13 chan=12
12 tree_list value=0 chan=11
13 cObject name="a"
)");
    EXPECT_EQ(out.graph, R"(0 cFunction name="f"
1 cOperator op=dc_fct_call ops=2
2 cArcOpd src=1 dest=0 next=3
3 cArcOpd src=1 dest=13
4 cOperator op=dc_fct_call ops=5
5 cArcOpd src=4 dest=0 next=6
6 cArcOpd src=4 dest=14
7 cArcSon src=14 dest=13
8 cOperator op=dc_fct_call ops=9
9 cArcOpd src=8 dest=0 next=10
10 cArcOpd src=8 dest=15
11 cArcSon src=15 dest=13 next=12
12 cArcSon src=15 dest=0
13 cObject name="a"
14 cActualFctParamList actuals=7
15 cActualFctParamList actuals=11
)");
}

}  // namespace
