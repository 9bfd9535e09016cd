// merge_builtin_filter: links to a built-in type go to the global scope's
// node of that type, matched by name and qualifiers.

#include <gd/filters/filters.h>

#include "support/family_fixtures.h"
#include "support/filter_on_text.h"

#include <string>

namespace {

TEST(MergeBuiltin, PointsEveryLinkAtTheGlobalTypeOfTheSameNameAndQualifiers)
{
    // The global scope lists int (3) and const int (4); its arc 20 of
    // another kind does not record 5. The local copies 5 and 6 are merged
    // into them wherever a link reaches them, other_node excepted; char (7)
    // has no global node and is reported; a type without a name is left.
    filtered_text out = run_filter_on_text(merge_builtin_filter, merge_builtin_fixture.before);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.errors, merge_builtin_fixture.errors);
    EXPECT_EQ(out.graph, merge_builtin_fixture.after);
}

TEST(MergeBuiltin, RecordsAnyNumberOfGlobalTypes)
{
    // 150 global built-in types t0 .. t149, then a local copy of the last
    // one: it is merged like the others, without a warning.
    const int count = 150;
    std::string graph = "root 0\n0 cScopeGlb contents=1\n";
    for (int i = 0; i < count; i++) {
        const int arc = 1 + 2 * i;
        graph += std::to_string(arc) + " cArcSon src=0 dest=" + std::to_string(arc + 1) +
                 (i + 1 < count ? " next=" + std::to_string(arc + 2) : std::string()) + "\n";
        graph += std::to_string(arc + 1) + " cBuiltInType name=\"t" + std::to_string(i) + "\"\n";
    }
    const int local = 1 + 2 * count;
    const std::string use = std::to_string(local + 1) + " cInstance src=0 dest=";
    graph += std::to_string(local) + " cBuiltInType name=\"t149\"\n" + use + std::to_string(local) + "\n";

    filtered_text out = run_filter_on_text(merge_builtin_filter, graph);
    EXPECT_EQ(out.errors, "");
    EXPECT_NE(out.graph.find("\n" + use + std::to_string(2 * count) + "\n"), std::string::npos);
}

}  // namespace
