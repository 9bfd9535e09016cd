// Helpers for rewriting compiler records as Ririra records.

#include "ririra_records.h"

#include "support/graph_fixture.h"

namespace {

TEST(VisibilityByPrecedence, TheFirstSetFlagOfTheOrderWins)
{
    constexpr t_visb public_first[] = {visb_pub, visb_pri, visb_pro};
    constexpr t_visb protected_first[] = {visb_pro, visb_pub, visb_pri};
    struct {
        bool pub, pri, pro;
        t_visb public_first, protected_first;
    } cases[] = {
        {false, false, false, visb_unk, visb_unk},
        {true, false, false, visb_pub, visb_pub},
        {false, true, false, visb_pri, visb_pri},
        {false, false, true, visb_pro, visb_pro},
        {true, true, false, visb_pub, visb_pub},
        {false, true, true, visb_pri, visb_pro},
        {true, false, true, visb_pub, visb_pro},
        {true, true, true, visb_pub, visb_pro},
    };
    for (auto c : cases) {
        gd_graph_common head{};
        head.public_flag = c.pub;
        head.private_flag = c.pri;
        head.protected_flag = c.pro;
        EXPECT_EQ(visibility_by_precedence(head, public_first), c.public_first) << c.pub << c.pri << c.pro;
        EXPECT_EQ(visibility_by_precedence(head, protected_first), c.protected_first) << c.pub << c.pri << c.pro;
    }
}

TEST(MakeTypeRecord, RewritesTheIdentifierAndTypeFieldsAndKeepsTheHeadFlags)
{
    text_graph t(R"(0 integer_type readonly_flag volatile_flag other_node=1 name=1 size=1 unql=0 prec=32 min=1 max=1
1 integer_cst
)");
    make_type_record(&t.g, 0, dC_BUILT_IN_TYPE, -1, 7, -1, visb_pri);
    EXPECT_EQ(t.dump(), R"(0 cBuiltInType common.volatile_flag readonly_flag line=7 visb=visb_pri const_flag volatile_flag
1 integer_cst
)");
}

}  // namespace
