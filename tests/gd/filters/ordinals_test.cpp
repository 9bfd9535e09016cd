// ordinals_filter: arcs are numbered along their chains; a function's
// formals, exception types and body form one sequence.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

TEST(Ordinals, NumbersChainsFromOneAndFunctionPartsAsOneSequence)
{
    // Function 0 has two formals, one exception type and a body arc: 1 to 4.
    // The block's chain of three is numbered 1 to 3, the lone arc 12 gets 0
    // (whatever it held), and function 13 without formals keeps the
    // numbering of its lone body arc. Marks are cleared.
    filtered_text out = run_filter_on_text(ordinals_filter, ordinals_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.errors, "");
    EXPECT_EQ(out.graph, ordinals_fixture.after);
}

struct broken_chain {
    const char *name;
    const char *graph;
    const char *message;
};

class OrdinalsOnABrokenChain : public ::testing::TestWithParam<broken_chain> {};

TEST_P(OrdinalsOnABrokenChain, ReportsItAndFails)
{
    filtered_text out = run_filter_on_text(ordinals_filter, GetParam().graph);
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.errors, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, OrdinalsOnABrokenChain,
    ::testing::Values(
        broken_chain{"NextPastTheNodes", "0 cArcSon next=1\n1 cArcSon next=99\n",
                     "Next Field of arc 1 is out of range 99\n"},
        broken_chain{"NextBelowMinusOne", "0 cArcSon next=-5\n", "Next Field of arc 0 is out of range -5\n"},
        broken_chain{"NonArcInAChain", "0 cArcSon next=1\n1 cArcSon next=2\n2 cObject\n",
                     "non arc node (2) in arc chain?\n"},
        broken_chain{"ChainThatLoopsBack", "0 cArcSon next=1\n1 cArcSon next=2\n2 cArcSon next=1\n",
                     "arc chain loops back to arc 1\n"},
        broken_chain{"NonArcInAFunctionChain", "0 cFunction formal_fct=1 block=2\n1 cArcSon\n2 cObject\n",
                     "non arc node (2) in arc chain?\n"},
        broken_chain{"FunctionChainThatLoopsBack", "0 cFunction formal_fct=1\n1 cArcSon next=1\n",
                     "arc chain loops back to arc 1\n"},
        broken_chain{"FunctionPartPastTheNodes", "0 cFunction formal_fct=1 exception=50\n1 cArcSon\n",
                     "non arc node (50) in arc chain?\n"}),
    [](const ::testing::TestParamInfo<broken_chain> &info) { return std::string(info.param.name); });

TEST(Ordinals, TwoChainsThatShareATailAreNoLoop)
{
    // Arcs 0 and 2 both lead into 1: each head numbers the tail in its turn.
    filtered_text out = run_filter_on_text(
        ordinals_filter, "0 cArcSon next=1\n1 cArcSon\n2 cArcSon next=3\n3 cArcSon next=1\n");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, "0 cArcSon ordinal=1 next=1\n1 cArcSon ordinal=3\n2 cArcSon ordinal=1 next=3\n3 "
                         "cArcSon ordinal=2 next=1\n");
}

// A function whose body arc is also the second arc of its formal chain: the
// count runs 1, 2 along the formals and numbers the shared arc again as 3 in
// the body; only a chain that comes back to itself is a loop.
TEST(Ordinals, AFunctionBodyThatSharesAnArcWithItsFormalsIsNoLoop)
{
    filtered_text out = run_filter_on_text(ordinals_filter, R"(0 cFunction formal_fct=1 block=2
1 cArcSon src=0 dest=3 next=2
2 cArcSon src=0 dest=4
3 cFormalObject
4 cBlock
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.errors, "");
    EXPECT_EQ(out.graph, R"(0 cFunction formal_fct=1 block=2
1 cArcSon ordinal=1 src=0 dest=3 next=2
2 cArcSon ordinal=3 src=0 dest=4
3 cFormalObject
4 cBlock
)");
}

}  // namespace
