// The for filter: for loops become Ririra for loops.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// Arcs in this order: initialisers, condition, body statements, increment.
// The initialiser statements stay chained; every body statement is taken.
TEST(GdFor, InitialiserConditionBodyAndIncrement)
{
    const filtered_text out = run_filter_on_text(gd_for_filter, gd_for_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_for_fixture.after);
    EXPECT_EQ(out.errors, "");
}

// An empty loop with one statement; an initialiser of an unexpected kind is
// reported and ends the initialiser; an expression statement without an
// expression gets no arc.
TEST(GdFor, OneStatementAndAnUnexpectedInitialiser)
{
    const filtered_text out = run_filter_on_text(gd_for_filter, R"(0 for_stmt line=3 init=2 body=4 next=1
1 for_stmt line=8 body=5
2 expr_stmt line=3 next=3
3 return_stmt line=3 next=2
4 expr_stmt line=4 texpr=6
5 expr_stmt line=9 texpr=6
6 integer_cst low=1
)");
    EXPECT_EQ(out.graph, R"(0 cForLoop other_node=1 line=3 block=7
1 cForLoop line=8 block=8
2 expr_stmt line=3 next=3
3 return_stmt line=3 next=2
4 expr_stmt line=4 texpr=6
5 expr_stmt line=9 texpr=6
6 integer_cst low=1
7 cArcSon src=0 dest=4
8 cArcSon src=1 dest=5
)");
    EXPECT_EQ(out.errors, "gd_for: unexpected type for node 3 in initializer of for-loop 0\n");
}

}  // namespace
