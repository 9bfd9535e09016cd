// gd_virtual_filter: calls through a virtual table pointer become calls of
// the member function in the slot that the byte offset selects.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

#include <string>

namespace {

// Class C owns the table pointer 2 and the members f0 (slot 0) and f2
// (slot 2) through son arcs; f3 (slot 3) follows an arc of another kind,
// where the slot search ends.
const std::string virtual_class = R"(0 cAggrType name="C" members=1
1 cArcSon src=0 dest=2 next=3
2 cObject name="_vptr.C" defLoc=5
3 cArcSon src=0 dest=4 next=6
4 cFunction name="f0"
5 cArcDefLoc src=2 dest=0
6 cArcSon src=0 dest=7 next=8
7 cFunction name="f2" voffset=2
8 cArcOpd src=0 dest=9
9 cFunction name="f3" voffset=3
10 cObject name="obj"
)";

// A call (*(obj._vptr.C + offset))() at nodes 11 to 21, the offset a literal
// with the given text.
std::string call_with_offset(const char *offset)
{
    return R"(11 cOperator op=dc_fct_call ops=12
12 cArcOpd src=11 dest=13
13 cOperator op=dc_deref ops=14
14 cArcOpd src=13 dest=15
15 cOperator op=dc_bplus ops=16
16 cArcOpd src=15 dest=18 next=17
17 cArcOpd src=15 dest=21
18 cOperator op=dc_field_access ops=19
19 cArcOpd src=18 dest=10 next=20
20 cArcOpd src=18 dest=2
21 cLiteral value=")" +
           std::string(offset) + "\"\n";
}

struct offset_case {
    const char *offset;
    const char *callee;  // the call's callee afterwards
    const char *member;  // what the field access reaches afterwards
};

class VirtualCall : public ::testing::TestWithParam<offset_case> {};

TEST_P(VirtualCall, ResolvesTheSlotThatTheOffsetSelects)
{
    const offset_case &c = GetParam();
    filtered_text out = run_filter_on_text(gd_virtual_filter, virtual_class + call_with_offset(c.offset));
    EXPECT_EQ(out.result, 1);
    std::string expected = virtual_class + call_with_offset(c.offset);
    expected.replace(expected.find("12 cArcOpd src=11 dest=13"), 25,
                     std::string("12 cArcOpd src=11 dest=") + c.callee);
    expected.replace(expected.find("20 cArcOpd src=18 dest=2"), 24,
                     std::string("20 cArcOpd src=18 dest=") + c.member);
    EXPECT_EQ(out.graph, expected);
}

INSTANTIATE_TEST_SUITE_P(Offsets, VirtualCall,
                         ::testing::Values(offset_case{"8", "18", "7"},   // slot 2
                                           offset_case{"8U", "18", "7"},  // a suffix after the number
                                           offset_case{"0", "18", "4"},   // slot 0
                                           offset_case{"6", "13", "2"},   // not a whole slot: unchanged
                                           offset_case{"x", "13", "2"},   // no number: unchanged
                                           offset_case{"12", "18",
                                                       "2"},  // slot 3 lies behind another arc kind
                                           offset_case{"40", "18", "2"}));  // no member in slot 10

// A class like C with only the table pointer and f0 (slot 0).
TEST(GdVirtual, ACallStraightThroughTheTablePointerTakesSlotZero)
{
    filtered_text out = run_filter_on_text(gd_virtual_filter, gd_virtual_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, gd_virtual_fixture.after);
}

TEST(GdVirtual, APointerOfAnotherNameOrWithoutItsClassIsNoTablePointer)
{
    // The same call through "vptr" (no "_vptr." prefix), and through a table
    // pointer whose definition arc leads to no class: both unchanged.
    for (const char *object : {"2 cObject name=\"vptr\" defLoc=5", "2 cObject name=\"_vptr.C\" defLoc=4"}) {
        std::string graph = virtual_class + call_with_offset("8");
        graph.replace(graph.find("2 cObject name=\"_vptr.C\" defLoc=5"), 33, object);
        filtered_text out = run_filter_on_text(gd_virtual_filter, graph);
        EXPECT_EQ(out.graph, graph) << object;
    }
}

}  // namespace
