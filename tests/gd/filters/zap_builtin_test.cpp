// zap_builtin_filter: global built-in types that nothing else uses leave the
// global scope's member chain.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

#include <string>

namespace {

TEST(ZapBuiltin, UnlinksUnusedTypesAtTheFirstAMiddleAndTheLastPosition)
{
    // a, c and d are used by nothing but their own arcs; b is used by an
    // instance arc; the compilation scope is passed over. The unlinked arcs
    // and the types stay, the arcs without their link into the chain.
    filtered_text out = run_filter_on_text(zap_builtin_filter, zap_builtin_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, zap_builtin_fixture.after);
}

TEST(ZapBuiltin, ASecondArcToTheSameTypeCountsAsAUse)
{
    const char *twice = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=3 next=2
2 cArcSon src=0 dest=3
3 cBuiltInType name="a"
)";
    EXPECT_EQ(run_filter_on_text(zap_builtin_filter, twice).graph, text_graph(twice).dump());
}

}  // namespace

// A node that has no use test stops the program when a search for the users
// of a type reaches it: after the type's first user it is never reached.
TEST(ZapBuiltin, ANodeWithoutUseTestStopsTheProgramOnlyWhenTheSearchReachesIt)
{
    const std::string scope = R"(root 0
0 cScopeGlb contents=1
1 cArcSon src=0 dest=2
2 cBuiltInType name="a"
)";
    struct stop_case {
        const char *rest;
        int stop_at;  // the node the program stops on, -1 for none
    } cases[] = {
        {"3 cInstance src=2 dest=2\n4 imagpart_expr\n", -1},  // used before node 4
        {"3 imagpart_expr\n4 cInstance src=2 dest=2\n", 3},   // node 3 is reached first
        {"3 cScopeCompil\n4 imagpart_expr\n", 4},             // unused: every node is reached
    };
    for (const stop_case &c : cases) {
        const std::string text = scope + c.rest;
        if (c.stop_at == -1) {
            EXPECT_EQ(run_filter_on_text(zap_builtin_filter, text).graph, text_graph(text.c_str()).dump())
                << c.rest;
            continue;
        }
        EXPECT_EXIT(
            {
                text_graph t(text.c_str());
                zap_builtin_filter(&t.g);
            },
            testing::ExitedWithCode(1),
            "^node_uses: Unhandled node " + std::to_string(c.stop_at) + " type 125\\(imagpart_expr\\)\n$")
            << c.rest;
    }
}

// A global scope with `count` arcs, each to a built-in type of its own that
// nothing else uses, and the same graph once the filter unlinked them all.
struct many_types {
    std::string before, after;
};

many_types unused_types(int count)
{
    many_types t;
    t.before = "root 0\n0 cScopeGlb contents=1\n";
    t.after = "root 0\n0 cScopeGlb\n";
    for (int k = 1; k <= count; k++) {
        const std::string arc = std::to_string(k) + " cArcSon src=0 dest=" + std::to_string(count + k);
        t.before += arc + (k < count ? " next=" + std::to_string(k + 1) : "") + "\n";
        t.after += arc + "\n";
    }
    for (int k = 1; k <= count; k++) {
        const std::string type = std::to_string(count + k) + " cBuiltInType\n";
        t.before += type;
        t.after += type;
    }
    return t;
}

// A file listing many thousands of built-in types (which no front end
// writes, but a damaged or hostile file may) has every one unlinked. That
// their uses are found in one search, not in one per type, is a figure of
// the benchmark in bench/.
TEST(ZapBuiltin, ManyTypesAreAllUnlinked)
{
    const many_types t = unused_types(40000);
    text_graph graph(t.before.c_str());
    EXPECT_EQ(zap_builtin_filter(&graph.g), 1);
    EXPECT_EQ(graph.dump(), t.after);
}
