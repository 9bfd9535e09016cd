#include "run.h"

#include "linked_fixture.h"
#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class Run : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "twinfold-run-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs on input into out.ta; gives the status, m_output and m_errors.
    int runOn(const std::string &input, const std::string &outputPath = "")
    {
        std::string target = outputPath.empty() ? (m_dir / "out.ta").string() : outputPath;
        CtextSource in(input);
        CoutputFile out;
        EXPECT_EQ(out.open(target.c_str()), CstepEnd::kDone);
        testing::internal::CaptureStderr();
        int status = run(in, "linked.ta", out, m_options) == CstepEnd::kDone ? 0 : 1;
        m_errors = testing::internal::GetCapturedStderr();
        if (target == "/dev/full") return status;
        std::ifstream written(target);
        std::stringstream text;
        text << written.rdbuf();
        m_output = text.str();
        return status;
    }

    Coptions m_options;
    fs::path m_dir;
    std::string m_output;
    std::string m_errors;
};

}  // namespace

TEST_F(Run, UnionMerge)
{
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedUnion);
    EXPECT_EQ(m_errors, "");
}

TEST_F(Run, StrictMerge)
{
    m_options.m_unionHeaders = false;
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedStrict);
}

TEST_F(Run, IndentedContainment)
{
    m_options.m_indent = 0;
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedUnionIndented);
}

namespace {

const std::string kSharedNode = "$INSTANCE a.c cFile\n$INSTANCE b.c cFile\n"
                                "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                                "$INSTANCE X cFunction\n"
                                "contain a.c @0.FILE.x.h.a.c\ncontain b.c @0.FILE.x.h.b.c\n"
                                "contain @0.FILE.x.h.a.c X\ncontain @0.FILE.x.h.b.c X\n";
const std::string kSharedNodeTail = "use a.c X\n"
                                    "@0.FILE.x.h.a.c { name = \"x.h\" }\n@0.FILE.x.h.b.c { name = \"x.h\" }\n"
                                    "X { name = \"X\" }\n";
const std::string kSharedNodeReport = "X has multiple parents\n  @0.FILE.x.h.b.c->X\n  @0.FILE.x.h.a.c->X\n"
                                      "  demoted: contain @0.FILE.x.h.a.c X\n";

const std::string kThreeCopies =
    "$INSTANCE u1.c cFile\n$INSTANCE u2.c cFile\n$INSTANCE u3.c cFile\n"
    "$INSTANCE @0.FILE.x.h.u1.c cFile\n$INSTANCE @0.FILE.x.h.u2.c cFile\n"
    "$INSTANCE @0.FILE.x.h.u3.c cFile\n"
    "contain u1.c @0.FILE.x.h.u1.c\ncontain u2.c @0.FILE.x.h.u2.c\n"
    "contain u3.c @0.FILE.x.h.u3.c\n"
    "contain @0.FILE.x.h.u1.c f1\ncontain @0.FILE.x.h.u1.c g1\n"
    "contain @0.FILE.x.h.u2.c f2\ncontain @0.FILE.x.h.u2.c g2\n"
    "contain @0.FILE.x.h.u3.c f3\ncontain @0.FILE.x.h.u3.c g3\n"
    "call f1 g1\ncall f2 g2\ncall f3 g3\ncall f2 g2\n(call f2 g2) { w = 1 }\n"
    "use u1.c g1\n"
    "@0.FILE.x.h.u1.c { name = \"x.h\" }\n@0.FILE.x.h.u2.c { name = \"x.h\" }\n"
    "@0.FILE.x.h.u3.c { name = \"x.h\" }\n"
    "f1 { name = \"f\" }\ng1 { name = \"g\" }\nf2 { name = \"f\" }\ng2 { name = \"g\" }\n"
    "f3 { name = \"f\" }\ng3 { name = \"g\" }\n";

const std::string kTwoClasses = "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                                "$INSTANCE fa cFunction\n$INSTANCE fb cMacro\n"
                                "contain @0.FILE.x.h.a.c fa\ncontain @0.FILE.x.h.b.c fb\n"
                                "@0.FILE.x.h.a.c { name = \"x.h\" }\n@0.FILE.x.h.b.c { name = \"x.h\" }\n"
                                "fa { name = \"f\" }\nfb { name = \"f\" }\n";

// b.c also holds its copy's function fb, by a demoted edge; a.c's fa has no
// second parent.
const std::string kOneOutsideParent =
    "$INSTANCE a.c cFile\n$INSTANCE b.c cFile\n"
    "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
    "contain a.c @0.FILE.x.h.a.c\ncontain b.c @0.FILE.x.h.b.c\n"
    "contain b.c fb\ncontain @0.FILE.x.h.a.c fa\ncontain @0.FILE.x.h.b.c fb\n"
    "@0.FILE.x.h.a.c { name = \"x.h\" }\n@0.FILE.x.h.b.c { name = \"x.h\" }\n"
    "fa { name = \"f\" }\nfb { name = \"f\" }\n";
const std::string kOneOutsideParentReport = "fb has multiple parents\n  @0.FILE.x.h.b.c->fb\n  b.c->fb\n"
                                            "  demoted: contain b.c fb\n";

// main uses the kept copy's g1 and calls the deleted copy's g2: the call
// moves onto g1 beside the use.
const std::string kCallBesideAUse =
    "$INSTANCE a.c cFile\n$INSTANCE b.c cFile\n"
    "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
    "contain a.c @0.FILE.x.h.a.c\ncontain a.c main\ncontain b.c @0.FILE.x.h.b.c\n"
    "contain @0.FILE.x.h.a.c g1\ncontain @0.FILE.x.h.b.c g2\n"
    "use main g1\ncall main g2\n"
    "@0.FILE.x.h.a.c { name = \"x.h\" }\n@0.FILE.x.h.b.c { name = \"x.h\" }\n"
    "g1 { name = \"g\" }\ng2 { name = \"g\" }\n";

// The copies agree in their own attributes and in their child's, not in
// their child's child.
const std::string kGrandchildrenDiffer =
    "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
    "contain @0.FILE.x.h.a.c g1\ncontain @0.FILE.x.h.b.c g2\n"
    "contain g1 k1\ncontain g2 k2\n"
    "@0.FILE.x.h.a.c { name = \"x.h\" }\n@0.FILE.x.h.b.c { name = \"x.h\" }\n"
    "g1 { name = \"g\" }\ng2 { name = \"g\" }\n"
    "k1 { label = \"k\" }\nk2 { label = \"l\" }\n";

const std::string kTwoParents = "contain a x\ncontain b x\n(contain a x) { why = second }\nx { k = 1 }\n";
const std::string kNoFiles = "Didn't see any nodes that were instances of cFile -- strange\n";

}  // namespace

// Worked out by hand. The node table visits the nodes slot by slot (20 bits
// of the name's checksum), so @0.FILE.x.h.b.c (slot 1016812) comes before
// @0.FILE.x.h.a.c (1016815) and the copies of x.h of u1.c, u3.c and u2.c come
// in that order; the candidate added last heads its chain and is kept.
TEST_F(Run, WholeOutputs)
{
    struct Ccase {
        const char *what;
        std::string input;
        bool unionHeaders;
        std::string output;
        std::string errors;
    } cases[] = {
        // Both copies of x.h hold X: the kept copy's demoted edge becomes
        // X's containment, and X keeps its subtree, attributes and edges.
        {"a node two copies hold, with a grandchild", kSharedNode + "contain X Y\n" + kSharedNodeTail, true,
         taText(
             "$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n$INSTANCE X cFunction\n",
             "contain a.c @FILE.x.h\ncontain @FILE.x.h X\ncontain X Y\n", "use a.c X\n",
             "@FILE.x.h  { name=\"x.h\" }\nX  { name=\"X\" }\n"),
         kSharedNodeReport},
        {"the same without the union flag", kSharedNode + "contain X Y\n" + kSharedNodeTail, false,
         taText(
             "$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n$INSTANCE X cFunction\n",
             "contain a.c @FILE.x.h\ncontain @FILE.x.h X\ncontain X Y\n", "use a.c X\n",
             "@FILE.x.h  { name=\"x.h\" }\nX  { name=\"X\" }\n"),
         kSharedNodeReport},
        {"a node two copies hold, without a grandchild", kSharedNode + kSharedNodeTail, true,
         taText(
             "$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n$INSTANCE X cFunction\n",
             "contain a.c @FILE.x.h\ncontain @FILE.x.h X\n", "use a.c X\n",
             "@FILE.x.h  { name=\"x.h\" }\nX  { name=\"X\" }\n"),
         kSharedNodeReport},
        // u2.c's copy is kept; the call inside each copy is one fact, the
        // repeated statement one edge, the bracketed one its attribute, and
        // u1.c's use of its own copy moves to the kept one.
        {"three copies with a call inside", kThreeCopies, true,
         taText(
             "$INSTANCE u3.c cFile\n$INSTANCE u2.c cFile\n$INSTANCE @FILE.x.h cFile\n$INSTANCE u1.c cFile\n",
             "contain u2.c @FILE.x.h\ncontain @FILE.x.h g2\ncontain @FILE.x.h f2\n",
             "call f2 g2\nuse u1.c g2\n",
             "@FILE.x.h  { name=\"x.h\" }\ng2  { name=\"g\" }\nf2  { name=\"f\" }\n(call f2 g2)  { w=\"1\" "
             "}\n"),
         ""},
        {"the same without the union flag", kThreeCopies, false,
         taText(
             "$INSTANCE u3.c cFile\n$INSTANCE u2.c cFile\n$INSTANCE @FILE.x.h cFile\n$INSTANCE u1.c cFile\n",
             "contain u2.c @FILE.x.h\ncontain @FILE.x.h g2\ncontain @FILE.x.h f2\n",
             "call f2 g2\nuse u1.c g2\n",
             "@FILE.x.h  { name=\"x.h\" }\ng2  { name=\"g\" }\nf2  { name=\"f\" }\n(call f2 g2)  { w=\"1\" "
             "}\n"),
         ""},
        // The kept copy's class stays, and the user is told.
        {"twins of two classes", kTwoClasses, true,
         taText("$INSTANCE @FILE.x.h cFile\n$INSTANCE fa cFunction\n", "contain @FILE.x.h fa\n", "",
                "@FILE.x.h  { name=\"x.h\" }\nfa  { name=\"f\" }\n"),
         "Twins of fa differ in class: cFunction kept, cMacro dropped\n"},
        // Without the union flag they differ and both stay; b.c's copy heads
        // the chain of the short name and takes it.
        {"twins of two classes without the union flag", kTwoClasses, false,
         taText("$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE fa cFunction\n$INSTANCE @FILE.x.h cFile\n"
                "$INSTANCE fb cMacro\n",
                "contain @0.FILE.x.h.a.c fa\ncontain @FILE.x.h fb\n", "",
                "@0.FILE.x.h.a.c  { name=\"x.h\" }\nfa  { name=\"f\" }\n@FILE.x.h  { name=\"x.h\" }\n"
                "fb  { name=\"f\" }\n"),
         ""},
        // The copies hold the same facts, whatever else contains fb: they
        // merge in both modes, and b.c's edge moves to the kept fa.
        {"a function one copy shares with its unit", kOneOutsideParent, true,
         taText("$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n"
                "\n// Other parents\n\ncontain b.c fa\n",
                "contain a.c @FILE.x.h\ncontain @FILE.x.h fa\n", "",
                "@FILE.x.h  { name=\"x.h\" }\nfa  { name=\"f\" }\n"),
         kOneOutsideParentReport},
        {"the same without the union flag", kOneOutsideParent, false,
         taText("$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n"
                "\n// Other parents\n\ncontain b.c fa\n",
                "contain a.c @FILE.x.h\ncontain @FILE.x.h fa\n", "",
                "@FILE.x.h  { name=\"x.h\" }\nfa  { name=\"f\" }\n"),
         kOneOutsideParentReport},
        // An edge moved onto the kept copy stays where its source has an
        // edge of another label to the same node.
        {"a moved call beside a use", kCallBesideAUse, true,
         taText("$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n",
                "contain a.c main\ncontain a.c @FILE.x.h\ncontain @FILE.x.h g1\n",
                "call main g1\nuse main g1\n", "@FILE.x.h  { name=\"x.h\" }\ng1  { name=\"g\" }\n"),
         ""},
        {"the same without the union flag", kCallBesideAUse, false,
         taText("$INSTANCE b.c cFile\n$INSTANCE a.c cFile\n$INSTANCE @FILE.x.h cFile\n",
                "contain a.c main\ncontain a.c @FILE.x.h\ncontain @FILE.x.h g1\n",
                "call main g1\nuse main g1\n", "@FILE.x.h  { name=\"x.h\" }\ng1  { name=\"g\" }\n"),
         ""},
        // Without the union flag both copies stay, and b.c's, the candidate
        // added last under the short name, takes it.
        {"copies that differ below their children, without the union flag", kGrandchildrenDiffer, false,
         taText("$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @FILE.x.h cFile\n",
                "contain @0.FILE.x.h.a.c g1\ncontain g1 k1\ncontain @FILE.x.h g2\ncontain g2 k2\n", "",
                "@0.FILE.x.h.a.c  { name=\"x.h\" }\ng1  { name=\"g\" }\nk1  { label=\"k\" }\n"
                "@FILE.x.h  { name=\"x.h\" }\ng2  { name=\"g\" }\nk2  { label=\"l\" }\n"),
         ""},
        // In union mode the kept copy's g1 gains a copy of k2, named @1.
        {"the same in union mode", kGrandchildrenDiffer, true,
         taText(
             "$INSTANCE @FILE.x.h cFile\n", "contain @FILE.x.h g1\ncontain g1 @1\ncontain g1 k1\n", "",
             "@FILE.x.h  { name=\"x.h\" }\ng1  { name=\"g\" }\n@1  { label=\"l\" }\nk1  { label=\"k\" }\n"),
         ""},
    };
    for (const Ccase &c : cases) {
        m_options.m_unionHeaders = c.unionHeaders;
        EXPECT_EQ(runOn(c.input), 0) << c.what;
        EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + c.output) << c.what;
        EXPECT_EQ(m_errors, c.errors) << c.what;
    }
}

TEST_F(Run, ASecondParentIsWrittenSoThatASecondRunKeepsTheContainment)
{
    const std::string expected = "// ta output for linked.ta\n\n"
                                 "FACT TUPLE :\n\n"
                                 "// Instances of entity classes\n\n"
                                 "\n// Other parents\n\n"
                                 "contain a x\n"
                                 "\n// Containment relationships\n\n"
                                 "contain b x\n"
                                 "\n// Edges of entity classes\n\n"
                                 "\nFACT ATTRIBUTE :\n\n"
                                 "x  { k=\"1\" }\n"
                                 "(contain a x)  { why=\"second\" }\n";
    const std::string report = "x has multiple parents\n  b->x\n  a->x\n  demoted: contain a x\n";
    EXPECT_EQ(runOn(kTwoParents), 0);
    EXPECT_EQ(m_output, expected);
    EXPECT_EQ(m_errors, kNoFiles + report);
    std::string first = m_output;
    EXPECT_EQ(runOn(first), 0);
    EXPECT_EQ(m_output, expected);
    EXPECT_EQ(m_errors, kNoFiles + report);
}

TEST_F(Run, AFailedRunLeavesTheOutputFileAsItWas)
{
    std::ofstream(m_dir / "out.ta") << "precious";
    EXPECT_EQ(runOn("contain a b\n}\n"), 1);
    EXPECT_EQ(m_output, "precious");
    EXPECT_EQ(m_errors, "\nParse error at line 2\n\n...\n");
}

TEST_F(Run, AWriteErrorIsAFailure)
{
    EXPECT_EQ(runOn(kLinkedInput, "/dev/full"), 1);
    EXPECT_EQ(m_errors, "Can't write to '/dev/full'\n");
}
