// aggregate_filter: classes, structures and unions become aggregate types
// with member arcs; constructor clones are folded into their constructor.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/graph_fixture.h"

namespace {

TEST(Aggregate, ClassWithFieldsOwnNameConstructorClonesAndMethod)
{
    // The class's own name declaration among the data members gets no arc.
    // The two clones after the constructor are folded into it: no arc, and
    // every reference to them (the calls, the base clone's chan) names the
    // constructor. The access comes from the naming declaration, protected
    // before public before private; other_node is cleared everywhere first.
    text_graph t(aggregate_fixture.before);
    EXPECT_EQ(aggregate_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), aggregate_fixture.after);
}

TEST(Aggregate, UnionAndStructReadTheirOwnBaseInformation)
{
    // The union's base information lies one word lower than a record's. The
    // base vector is element 4 of it, which exists only when its length is
    // 5 or more. Types named by an identifier take their access from it, not
    // from their own flags. A variant stays a compiler type.
    text_graph t(R"(0 union_type name=1 unql=0 binf=2
1 identifier_node strg="U"
2 tree_vec length=5 elts=[-1 -1 -1 -1 3]
3 tree_vec
4 record_type public_flag name=5 unql=4 binf=6
5 identifier_node strg="S"
6 tree_vec length=4 elts=[-1 -1 -1 -1 3]
7 record_type name=5 unql=4
)");
    EXPECT_EQ(aggregate_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cAggrType name="U" aggr_type=aggr_union inheritance=3 inst=0
1 identifier_node strg="U"
2 tree_vec length=5 elts=[-1 -1 -1 -1 3]
3 tree_vec
4 cAggrType public_flag name="S" aggr_type=aggr_struct inst=0
5 identifier_node strg="S"
6 tree_vec length=4 elts=[-1 -1 -1 -1 3]
7 record_type name=5 unql=4
)");
}

TEST(Aggregate, OnlyAFunctionIsAConstructorAndCircularChainsEnd)
{
    // A member template whose base word happens to set the constructor bit
    // folds nothing. A "__comp_ctor" clone that follows an ordinary function
    // leaves that function its place. The function chain leads back to its
    // start and ends there.
    text_graph t(R"(0 record_type name=1 unql=0 fncs=2 isClass=1
1 identifier_node strg="K"
2 function_decl name=1 chan=3 constr
3 function_decl name=5 chan=4
4 function_decl name=6 chan=7 constr
5 identifier_node strg="f"
6 identifier_node strg="__comp_ctor"
7 template_decl name=8 chan=9 spcs=16
8 identifier_node strg="t"
9 function_decl name=10 chan=2
10 identifier_node strg="__base_ctor"
)");
    EXPECT_EQ(aggregate_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cAggrType name="K" members=11 inst=0
1 identifier_node strg="K"
2 function_decl name=1 constr
3 function_decl name=5
4 function_decl other_node=2 name=6 chan=7 constr
5 identifier_node strg="f"
6 identifier_node strg="__comp_ctor"
7 template_decl name=8 spcs=16
8 identifier_node strg="t"
9 function_decl name=10
10 identifier_node strg="__base_ctor"
11 cArcSon src=0 dest=2 next=12
12 cArcSon src=0 dest=3 next=13
13 cArcSon src=0 dest=7 next=14
14 cArcSon src=0 dest=9
)");
}

TEST(Aggregate, MemberChainsEndAtNoDeclarationAndMissingCloneNamesFoldNothing)
{
    // The pool holds neither clone name: the nameless function after the
    // constructor is a member like any other. The field chain runs into a
    // constant, the function chain out of the graph: both walks end there.
    text_graph t(R"(0 record_type name=1 unql=0 flds=2 fncs=4
1 identifier_node strg="P"
2 field_decl name=1 chan=3
3 integer_cst
4 function_decl name=1 chan=5 constr
5 function_decl chan=99
)");
    EXPECT_EQ(aggregate_filter(&t.g), 1);
    EXPECT_EQ(t.dump(), R"(0 cAggrType name="P" aggr_type=aggr_struct members=6 inst=0
1 identifier_node strg="P"
2 field_decl name=1
3 integer_cst
4 function_decl name=1 constr
5 function_decl
6 cArcSon src=0 dest=2 next=7
7 cArcSon src=0 dest=4 next=8
8 cArcSon src=0 dest=5
)");
}

}  // namespace
