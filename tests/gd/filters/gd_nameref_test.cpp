// gd_nameref_filter: one owning arc per declared entity, name references for
// every other use, copies of literals, identifiers as bare references.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(GdNameref, UsesOfADeclaredVariableBecomeNameReferences)
{
    // v is declared in block 0 and used by operators 3 and 9; the literal 6
    // is used by both operators too. Arc 20 hangs from arc 21, which has no
    // source position: its reference gets none. Identifier 12 becomes a bare
    // reference; the instance arc 13 is no syntax arc and stays.
    filtered_text out = run_filter_on_text(gd_nameref_filter, gd_nameref_fixture.before);
    EXPECT_EQ(out.result, 1);
    // Nodes in order of allocation: for arc 4 the refers-to arc 14 and the
    // reference 15, for arc 10 the pair 16, 17, for arc 11 the copy 18 of the
    // literal (its mark included) and the copy 19 of its type arc, for arc 20
    // the pair 22, 23.
    EXPECT_EQ(out.graph, gd_nameref_fixture.after);
}

TEST(GdNameref, TheFirstArcOwnsAnEntityThatNoDeclaringChainHolds)
{
    // f is in no declaring chain here: the lowest arc that reaches it (5)
    // owns it, the later call's arc (8) refers to it. The formal x is owned
    // by the function's formal chain, the loop variable i by the for loop's
    // initialisations, the member by the class's members. The free record 4
    // is handed out first.
    filtered_text out = run_filter_on_text(gd_nameref_filter, R"(0 cFunction name="f" formal_fct=1
1 cArcSon src=0 dest=2
2 cFormalObject name="x"
3 cOperator op=dc_fct_call ops=5
5 cArcOpd src=3 dest=0 next=6
6 cArcOpd src=3 dest=2
7 cOperator op=dc_fct_call ops=8
8 cArcOpd src=7 dest=0
9 cForLoop init=10
10 cArcForInit src=9 dest=11
11 cObject name="i"
12 cAggrType members=13
13 cArcSon src=12 dest=14
14 cObject name="m"
)");
    EXPECT_EQ(out.graph, R"(0 cFunction mark_flag1 name="f" formal_fct=1
1 cArcSon mark_flag1 mark_flag2 src=0 dest=2
2 cFormalObject mark_flag1 name="x"
3 cOperator op=dc_fct_call ops=5
4 cRefersTo src=15 dest=2
5 cArcOpd mark_flag1 src=3 dest=0 next=6
6 cArcOpd src=3 dest=15
7 cOperator op=dc_fct_call ops=8
8 cArcOpd src=7 dest=17
9 cForLoop init=10
10 cArcForInit mark_flag1 mark_flag2 src=9 dest=11
11 cObject mark_flag1 name="i"
12 cAggrType members=13
13 cArcSon mark_flag1 mark_flag2 src=12 dest=14
14 cObject mark_flag1 name="m"
15 cNameRef refers=4 name="x"
16 cRefersTo src=17 dest=0
17 cNameRef refers=16 name="f"
)");
}

}  // namespace
