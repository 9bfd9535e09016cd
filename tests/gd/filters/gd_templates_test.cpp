// The templates filter: templates, template template parameters and the
// parameters that are left become Ririra templates and formals.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// template <class T, int N> class C, in namespace scope 1.
TEST(GdTemplates, ClassTemplateWithTwoFormals)
{
    const filtered_text out = run_filter_on_text(gd_templates_filter, R"(root 0
0 cScopeGlb
1 cScopeCompil name="::"
2 identifier_node strg="C"
3 type_decl name=2 type=4 scpe=1
4 cAggrType name="C"
5 template_decl public_flag name=2 scpe=1 srcf="a.cc" srcl=3 rslt=3 parms=6 spcs=9
6 tree_list value=7
7 tree_vec length=2 elts=[8 9]
8 tree_list value=11 chan=9
9 tree_list value=12
10 integer_cst low=2
11 template_type_parm name=13 size=16 unql=11
12 parm_decl private_flag name=15 type=16 scpe=5 srcf="a.cc" srcl=3 chan=9
13 type_decl name=14 type=11
14 identifier_node strg="T"
15 identifier_node strg="N"
16 cBuiltInType name="int"
)");
    EXPECT_EQ(out.result, 1);
    // The template takes the class's name; the arcs are numbered result,
    // formals in order, scope.
    EXPECT_EQ(out.graph, R"(root 0
0 cScopeGlb
1 cScopeCompil name="::"
2 identifier_node strg="C"
3 type_decl name=2 type=4 scpe=1
4 cAggrType
5 cTemplate public_flag file="a.cc" line=3 name="C" visb=visb_pub defLoc=20 formals=18 result=17
6 tree_list value=7
7 tree_vec length=2 elts=[8 9]
8 tree_list value=11 chan=9
9 tree_list value=12
10 integer_cst low=2
11 cFormalType name="T" visb=visb_pub
12 cFormalObject private_flag name="N" visb=visb_pub instance=21
13 type_decl name=14 type=11
14 identifier_node strg="T"
15 identifier_node strg="N"
16 cBuiltInType name="int"
17 cArcSon src=5 dest=3
18 cArcSon src=5 dest=11 next=19
19 cArcSon src=5 dest=12
20 cArcDefLoc src=5 dest=1
21 cInstance src=12 dest=16
)");
}

// template <template <class> class P> void f(): the parameter's template
// becomes a formal template whose result keeps its fields; the function
// template's result loses its name to the template. An empty parameter vector
// gives no formals, an unknown scope no scope arc.
TEST(GdTemplates, TemplateTemplateParameterAndFunctionTemplate)
{
    const filtered_text out = run_filter_on_text(gd_templates_filter, gd_templates_fixture.before);
    EXPECT_EQ(out.graph, gd_templates_fixture.after);
}

TEST(GdTemplates, AnEmptyGraphIsNoFailure)
{
    const filtered_text out = run_filter_on_text(gd_templates_filter, "");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, "");
}

}  // namespace
