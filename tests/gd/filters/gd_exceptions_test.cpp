// The exceptions filter: handlers, throws and try blocks.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// The body of a handler that names its exception, as the compiler gives it:
// a marker, a compound statement whose body is a marker and, after other
// statements, a compound statement whose body is a marker followed by the
// declaration of the caught variable (node 9) and the handler's statements.
const std::string handler_body = R"(2 scope_stmt line=3 next=3
3 compound_stmt line=3 body=4
4 scope_stmt line=3 next=5
5 expr_stmt line=3 texpr=11 next=6
6 compound_stmt line=3 body=7
7 scope_stmt line=3 next=8
8 decl_stmt line=3 decl=9 next=10
10 expr_stmt line=4 texpr=11 next=12
11 integer_cst low=1
12 expr_stmt line=5 texpr=11
)";

// A try block with two handlers of the full shape: the handlers become catch
// blocks (both over the same body here), the try block lists its body and
// both handlers, and each handler's link to the next is cleared.
TEST(GdExceptions, TryWithTwoHandlers)
{
    const std::string before = "0 try_block line=2 cleanup=1 body=13 hdlr=1 next=14\n"
                               "1 handler public_flag line=3 body=2 next=15\n" +
                               handler_body + R"(9 cObject name="e"
13 compound_stmt line=2
14 return_stmt line=9
15 handler line=6 body=2
)";
    const filtered_text out = run_filter_on_text(gd_exceptions_filter, before);
    EXPECT_EQ(out.result, 1);
    // The catch block holds the caught variable, then the statements after its
    // declaration as one chain.
    EXPECT_EQ(out.graph, "0 cTryBlock other_node=14 line=2 contents=20\n"
                         "1 cCatchBlock contents=17\n" +
                             handler_body.substr(0, handler_body.find("10 ")) + R"(9 cFormalObject name="e"
)" + handler_body.substr(handler_body.find("10 ")) +
                             R"(13 compound_stmt line=2
14 return_stmt line=9
15 cCatchBlock contents=19
16 cArcSon src=1 dest=10
17 cArcSon src=1 dest=9 next=16
18 cArcSon src=15 dest=10
19 cArcSon src=15 dest=9 next=18
20 cArcSon src=0 dest=13 next=21
21 cArcSon src=0 dest=1 next=22
22 cArcSon src=0 dest=15
)");
}

// A catch of all exceptions keeps its shape and its empty link, so the try
// block lists it and no handler after it. A caught declaration of a node
// that is no object leaves that node's kind alone.
TEST(GdExceptions, CatchAllEndsTheHandlerList)
{
    const std::string before = "0 try_block line=2 body=13 hdlr=1\n"
                               "1 handler line=3 body=2 next=14\n" +
                               handler_body + R"(9 var_decl name=11
13 compound_stmt line=2
14 handler line=6 body=13 next=15
15 handler line=7 body=13
)";
    const filtered_text out = run_filter_on_text(gd_exceptions_filter, before);
    EXPECT_EQ(out.graph, "0 cTryBlock line=2 contents=18\n"
                         "1 cCatchBlock contents=17\n" +
                             handler_body.substr(0, handler_body.find("10 ")) + "9 var_decl name=11\n" +
                             handler_body.substr(handler_body.find("10 ")) + R"(13 compound_stmt line=2
14 handler line=6 body=13 next=15
15 handler line=7 body=13
16 cArcSon src=1 dest=10
17 cArcSon src=1 dest=9 next=16
18 cArcSon src=0 dest=13 next=19
19 cArcSon src=0 dest=1 next=20
20 cArcSon src=0 dest=14
)");
}

// A throw whose operand has the compiler's shape gets an arc to the thrown
// value; one of another shape stays.
TEST(GdExceptions, Throw)
{
    const filtered_text out = run_filter_on_text(gd_exceptions_filter, gd_exceptions_fixture.before);
    EXPECT_EQ(out.graph, gd_exceptions_fixture.after);
}

// The chain from the inner marker to the second compound statement loops:
// the search ends and the handler stays.
TEST(GdExceptions, LoopBeforeTheDeclarationEnds)
{
    const std::string graph = R"(0 handler line=3 body=1
1 scope_stmt next=2
2 compound_stmt body=3
3 scope_stmt next=4
4 expr_stmt next=3
)";
    const filtered_text out = run_filter_on_text(gd_exceptions_filter, graph);
    EXPECT_EQ(out.graph, graph);
}

}  // namespace
