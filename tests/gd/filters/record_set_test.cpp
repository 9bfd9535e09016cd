// The set of records of a few kinds that the passes over every link consult.

#include "record_set.h"

#include "support/graph_fixture.h"

namespace {

// Every record of the kinds asked for is held, and nothing else: no record
// of another kind, no free record, no index outside the records in use.
TEST(RecordSet, HoldsTheRecordsOfItsKindsAndNoOtherIndex)
{
    text_graph t(R"(0 type_decl
1 expr_stmt
2 type_decl
3 label_stmt
4 var_decl
)");
    gd_free_node(&t.g, 4);
    record_set set(&t.g, {gTYPE_DECL, gLABEL_STMT, gVAR_DECL});
    const bool held[] = {true, false, true, true, false};
    for (node_ptr i = 0; i < 5; i++) EXPECT_EQ(set.holds(i), held[i]) << "record " << i;
    for (node_ptr outside : {-1, -2, 5, int(t.g.nodeBuffLen), 1 << 30}) {
        EXPECT_FALSE(set.holds(outside)) << "index " << outside;
        set.leave_out(outside);
    }
    set.leave_out(2);
    const bool left[] = {true, false, false, true, false};
    for (node_ptr i = 0; i < 5; i++)
        EXPECT_EQ(set.holds(i), left[i]) << "record " << i << " after taking 2 out";
}

}  // namespace
