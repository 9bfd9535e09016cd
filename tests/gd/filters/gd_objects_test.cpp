// The objects filter: variables and data members become Ririra objects.

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

namespace {

// The graph as the type filters leave it: the global scope with the
// compilation scope, a built-in type, a struct, two identifiers and a
// constant; the declaration under test is node 8.
const std::string unit_before = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cScopeCompil name="::"
3 cBuiltInType name="int"
4 cAggrType name="S"
5 identifier_node strg="v"
6 identifier_node strg="_Z1v"
7 integer_cst low=3
)";

// The same after the filter, when no symbol was added to the global scope.
const std::string unit_after = unit_before;

// ... and when one was: the global scope's member list gains arc 12.
const std::string unit_after_with_symbol = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2 next=12
2 cScopeCompil name="::"
3 cBuiltInType name="int"
4 cAggrType name="S"
5 identifier_node strg="v"
6 identifier_node strg="_Z1v"
7 integer_cst low=3
)";

struct object_case {
    const char *what;
    const char *declaration;
    std::string prefix_after;
    const char *after;
};

const object_case object_cases[] = {
    {"file-scope static variable: static whatever its other flags",
     "8 var_decl static_flag private_flag name=5 type=3 scpe=2 srcf=\"a.cc\" srcl=4\n", unit_after,
     "8 cObject file=\"a.cc\" line=4 name=\"v\" visb=visb_pri instance=9 defLoc=10 static_flag\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcDefLoc src=8 dest=2\n"},
    {"static data member that is public: static and extern",
     "8 var_decl static_flag public_flag name=5 type=3 scpe=4 srcf=\"a.cc\" srcl=4\n", unit_after,
     "8 cObject file=\"a.cc\" line=4 name=\"v\" visb=visb_pub instance=9 defLoc=10 static_flag "
     "extern_flag\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcDefLoc src=8 dest=4\n"},
    {"static data member that is private: not static",
     "8 var_decl static_flag private_flag name=5 type=3 scpe=4\n", unit_after,
     "8 cObject name=\"v\" visb=visb_pri instance=9 defLoc=10\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcDefLoc src=8 dest=4\n"},
    {"undefined variable: the object links to its symbol",
     "8 var_decl public_flag undef name=5 mngl=6 type=3 scpe=2\n", unit_after_with_symbol,
     "8 cObject name=\"v\" visb=visb_pub instance=9 defLoc=13 extern_flag link=11\n"
     "9 cInstance src=8 dest=3\n"
     "10 cExternSymbol name=\"_Z1v\"\n"
     "11 cResolvedByExtern src=8 dest=10\n"
     "12 cArcSon src=0 dest=10\n"
     "13 cArcDefLoc src=8 dest=2\n"},
    {"defined variable: the symbol links to the object",
     "8 var_decl public_flag name=5 mngl=6 type=3 scpe=2\n", unit_after_with_symbol,
     "8 cObject name=\"v\" visb=visb_pub instance=9 defLoc=13 extern_flag link=11\n"
     "9 cInstance src=8 dest=3\n"
     "10 cExternSymbol name=\"_Z1v\"\n"
     "11 cRefersToExtern src=10 dest=8\n"
     "12 cArcSon src=0 dest=10\n"
     "13 cArcDefLoc src=8 dest=2\n"},
    {"mangled name that is no identifier: no symbol", "8 var_decl name=5 mngl=7 type=3\n", unit_after,
     "8 cObject name=\"v\" instance=9\n"
     "9 cInstance src=8 dest=3\n"},
    {"bit-field member: an arc to its width",
     "8 field_decl public_flag name=5 type=3 scpe=4 size=7 bitfield=1\n", unit_after,
     "8 cObject name=\"v\" visb=visb_pub instance=9 defLoc=11 extern_flag bitfield_dim=10\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcBitDim src=8 dest=7\n"
     "11 cArcDefLoc src=8 dest=4\n"},
    {"plain member: no width, and a field's initializer is not its value",
     "8 field_decl name=5 type=3 scpe=4 size=7 init=7\n", unit_after,
     "8 cObject name=\"v\" instance=9 defLoc=10\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcDefLoc src=8 dest=4\n"},
    {"member with a mangled name: the position word is no undefined bit",
     "8 field_decl name=5 mngl=6 type=3 scpe=4 bpos=7\n", unit_after_with_symbol,
     "8 cObject name=\"v\" instance=9 defLoc=13 link=11\n"
     "9 cInstance src=8 dest=3\n"
     "10 cExternSymbol name=\"_Z1v\"\n"
     "11 cRefersToExtern src=10 dest=8\n"
     "12 cArcSon src=0 dest=10\n"
     "13 cArcDefLoc src=8 dest=4\n"},
    {"variable with an initializer and no known scope", "8 var_decl name=5 type=3 init=7 scpe=99\n",
     unit_after,
     "8 cObject name=\"v\" instance=9 initial_val=10\n"
     "9 cInstance src=8 dest=3\n"
     "10 cArcInitVal src=8 dest=7\n"},
    {"the full case: six new nodes in order",
     "8 var_decl public_flag name=5 mngl=6 type=3 scpe=2 init=7 srcf=\"a.cc\" srcl=9\n",
     unit_after_with_symbol,
     "8 cObject file=\"a.cc\" line=9 name=\"v\" visb=visb_pub instance=9 defLoc=14 extern_flag "
     "initial_val=13 link=11\n"
     "9 cInstance src=8 dest=3\n"
     "10 cExternSymbol name=\"_Z1v\"\n"
     "11 cRefersToExtern src=10 dest=8\n"
     "12 cArcSon src=0 dest=10\n"
     "13 cArcInitVal src=8 dest=7\n"
     "14 cArcDefLoc src=8 dest=2\n"},
};

TEST(GdObjects, ConvertsEachKindOfDeclaration)
{
    for (const object_case &c : object_cases) {
        SCOPED_TRACE(c.what);
        const filtered_text out = run_filter_on_text(gd_objects_filter, unit_before + c.declaration);
        EXPECT_EQ(out.result, 1);
        EXPECT_EQ(out.graph, c.prefix_after + c.after);
        EXPECT_EQ(out.errors, "");
    }
}

// Objects are converted in node order, each with its arcs; the symbols are
// appended to the global scope one after the other.
TEST(GdObjects, ConvertsEveryObjectInNodeOrder)
{
    const filtered_text out = run_filter_on_text(gd_objects_filter, gd_objects_fixture.before);
    EXPECT_EQ(out.graph, gd_objects_fixture.after);
}

// Without a global scope at the root the symbols are made but listed nowhere.
TEST(GdObjects, SymbolsOutsideAnyScopeWithoutAGlobalScope)
{
    const filtered_text out = run_filter_on_text(gd_objects_filter, R"(root 2
0 var_decl name=1 mngl=1 type=-1
1 identifier_node strg="_Z1a"
2 cObject
)");
    EXPECT_EQ(out.graph, R"(root 2
0 cObject name="_Z1a" instance=3 link=5
1 identifier_node strg="_Z1a"
2 cObject
3 cInstance src=0
4 cExternSymbol name="_Z1a"
5 cRefersToExtern src=4 dest=0
)");
}

}  // namespace
