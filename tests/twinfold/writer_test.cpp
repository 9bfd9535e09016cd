#include "writer.h"

#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char *kGraph = "SCHEME TUPLE :\ncontain cFile cFunction\n"
                     "FACT TUPLE :\n$INSTANCE u.c cFile\n$INSTANCE f cFunction\n"
                     "contain u.c f\ncontain u.c \"g h\"\ncall f \"g h\"\nref f $root\n"
                     "contain f k\ncontain u.c k\n"
                     "f { name=f list=(1 2) }\n\"g h\" { name=\"g h\" }\nu.c { bare }\n"
                     "(call f \"g h\") { w=1 }\n$INSTANCE f cFunction { kind=fn }\n"
                     "(contain u.c f) { at=1 }\n(contain f k) { at=2 }\n";

std::string written(const char *input, int indent, const char *name)
{
    Cglobal global(0, true);
    EXPECT_TRUE(parseText(input, global));
    return writeTa(global.m_pRoot, indent, name);
}

}  // namespace

TEST(Writer, WholeOutputOfEveryPass)
{
    // Root children: u.c, then $root, which is never a subject. The second
    // parent of k was demoted to an ordinary "contain" edge: it is written
    // before the containment, so that reading the output again demotes it
    // again. The edge to $root is left out. Edge attributes follow the node
    // attributes, each node's edges in out-list order.
    EXPECT_EQ(written(kGraph, -1, "in.ta"),
              "// ta output for in.ta\n\n"
              "FACT TUPLE :\n\n"
              "// Instances of entity classes\n\n"
              "$INSTANCE u.c cFile\n$INSTANCE f cFunction\n"
              "\n// Other parents\n\n"
              "contain f k\n"
              "\n// Containment relationships\n\n"
              "contain u.c k\ncontain u.c \"g h\"\ncontain u.c f\n"
              "\n// Edges of entity classes\n\n"
              "call f \"g h\"\n"
              "\nFACT ATTRIBUTE :\n\n"
              "u.c  { bare }\n\"g h\"  { name=\"g h\" }\nf  { list=(\"1\" \"2\") name=\"f\" }\n"
              "(contain u.c f)  { at=\"1\" }\n"
              "(contain f k)  { at=\"2\" }\n"
              "(call f \"g h\")  { w=\"1\" }\n"
              "$INSTANCE f cFunction  { kind=\"fn\" }\n");
}

TEST(Writer, IndentedContainmentAndNoHeaderWithoutAName)
{
    const char *input = "contain a b\ncontain b c\ncontain c d\n";
    EXPECT_EQ(written(input, 0, nullptr),
              taText("", " contain a b\n  contain b c\n   contain c d\n", "", ""));
    EXPECT_EQ(written(input, -1, nullptr), taText("", "contain a b\ncontain b c\ncontain c d\n", "", ""));
}

TEST(Writer, SchemaNodesAndDollarNamesAreNotSubjects)
{
    const char *input = "SCHEME TUPLE :\ncontain S T\nS { x=1 }\nFACT TUPLE :\n"
                        "contain $Root a\n$Root { y=2 }\nuse a b\ncontain p b\n";
    // $Root and p hang under $ROOT; $Root's own containment line is not
    // written, its attributes are.
    EXPECT_EQ(written(input, -1, nullptr), taText("", "contain p b\n", "use a b\n", "$Root  { y=\"2\" }\n"));
}

TEST(Writer, OutputReadsBackToTheSameGraph)
{
    const char *input = "$INSTANCE \"a b\" cFile\ncontain \"a b\" \":\"\ncontain \"a b\" x\"y\n"
                        "edge \":\" x\"y\ncontain \"a b\" \"$odd\"\n"
                        "x\"y { v=w\"z u=\"s \\\" t\" l=(1 \"2 3\") e=() }\n";
    std::string first = written(input, -1, "t");
    EXPECT_EQ(first,
              "// ta output for t\n\n" +
                  taText("$INSTANCE \"a b\" cFile\n",
                         "contain \"a b\" \"$odd\"\ncontain \"a b\" x\"y\ncontain \"a b\" \":\"\n",
                         "edge \":\" x\"y\n", "x\"y  { e l=(\"1\" \"2 3\") u=\"s \\\" t\" v=w\"z }\n"));
    // Reading puts every edge at the head of its lists, so each reading
    // reverses the children; reading twice gives the first text back.
    std::string second = written(first.c_str(), -1, "t");
    EXPECT_NE(second.find("contain \"a b\" \":\"\ncontain \"a b\" x\"y\ncontain \"a b\" \"$odd\"\n"),
              std::string::npos)
        << second;
    EXPECT_EQ(written(second.c_str(), -1, "t"), first);
}

TEST(Writer, WritingTwiceGivesTheSameText)
{
    Cglobal global(0, true);
    ASSERT_TRUE(parseText(kGraph, global));
    EXPECT_EQ(writeTa(global.m_pRoot), writeTa(global.m_pRoot));
}
