// The type-declaration bypass: links to type declarations lead to the types.

#include "support/filter_on_text.h"

namespace {

TEST(GdTypedecls, LinksLeadPastTypeDeclarations)
{
    const filtered_text out = run_filter_on_text(gd_typedecls_filter, R"(0 cArcSon src=1 dest=1
1 type_decl name=3 type=2
2 cAggrType name="S"
3 identifier_node strg="S"
4 cArcSon src=5 dest=6
5 type_decl
6 type_decl type=99
7 cReturn other_node=1
8 cArcSon src=1 dest=9
9 type_decl type=1
)");
    EXPECT_EQ(out.result, 1);
    // Both ends of an arc are bypassed; declarations of no valid type stay,
    // other_node is left alone, and a declaration of a declaration is
    // removed one level from the arc (its own link is bypassed in turn).
    EXPECT_EQ(out.graph, R"(0 cArcSon src=2 dest=2
1 type_decl name=3 type=2
2 cAggrType name="S"
3 identifier_node strg="S"
4 cArcSon src=5 dest=6
5 type_decl
6 type_decl type=99
7 cReturn other_node=1
8 cArcSon src=2 dest=1
9 type_decl type=2
)");
}

}  // namespace
