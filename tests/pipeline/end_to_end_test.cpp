// prep on two units, then link through a pipeline whose stages include the
// real header merger, then the merger reads the linked file back.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "driver_fixture.h"

namespace pipeline_test {
namespace {

// Both units include x.h, so each holds a copy of its file node under a
// name of its own, with equal attributes and contents.
const char *const unitA = "FACT TUPLE :\n"
                          "$INSTANCE a.c cFile\n"
                          "$INSTANCE @0.FILE.x.h.a.c cFile\n"
                          "$INSTANCE fa cFunction\n"
                          "$INSTANCE xa cFunction\n"
                          "contain a.c fa\n"
                          "contain a.c @0.FILE.x.h.a.c\n"
                          "contain @0.FILE.x.h.a.c xa\n"
                          "calls fa xa\n"
                          "FACT ATTRIBUTE :\n"
                          "@0.FILE.x.h.a.c { name = \"x.h\" }\n";

const char *const unitB = "FACT TUPLE :\n"
                          "$INSTANCE b.c cFile\n"
                          "$INSTANCE @0.FILE.x.h.b.c cFile\n"
                          "$INSTANCE fb cFunction\n"
                          "$INSTANCE xb cFunction\n"
                          "contain b.c fb\n"
                          "contain b.c @0.FILE.x.h.b.c\n"
                          "contain @0.FILE.x.h.b.c xb\n"
                          "calls fb xb\n"
                          "FACT ATTRIBUTE :\n"
                          "@0.FILE.x.h.b.c { name = \"x.h\" }\n";

// The lines of a TA file that carry facts, sorted: the merger may write
// siblings in another order on a second pass.
Lines factLines(const std::string &text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

class EndToEnd : public testing::Test {
protected:
    EndToEnd()
    {
        Lines stages = allStageNames();
        stages.erase(std::find(stages.begin(), stages.end(), "twinfold"));
        standIns = installStandIns(root.path(), stages);
        fs::create_directories(work);
        setup.directory = work;
        // The stand-in stages first, then the real twinfold.
        setup.environment["PATH"] =
            standIns.searchPath() + ":" + fs::path(TWINFOLD_PROGRAM).parent_path().string();
        setup.environment["STANDIN_LOG"] = standIns.log.string();
        setup.environment["STANDIN_FAIL"] = std::nullopt;
        setup.environment["STANDIN_JOIN_SETS"] = "1";
    }

    TempDir root;
    fs::path work = root / "work";
    StandIns standIns;
    RunSetup setup;
};

TEST_F(EndToEnd, PrepThenLinkWithTheHeaderMerger)
{
    writeFile(work / "a.c.ta", unitA);
    writeFile(work / "b.c.ta", unitB);
    setup.environment["QUILLON_PATH"] = SHIPPED_QUILLON_PATH;
    for (const char *unit : {"a.c.ta", "b.c.ta"}) {
        ProgramRun prep = runProgram(PREP_PROGRAM, {unit}, setup);
        ASSERT_EQ(prep.status, 0) << prep.out << prep.err;
    }
    EXPECT_EQ(readFile(work / "a.c.o.ta"), unitA);
    EXPECT_EQ(readFile(work / "b.c.o.ta"), unitB);

    writePipelineFile(root / "quillon", "link.pip", "rawlink twinfold\n");
    setup.environment["QUILLON_PATH"] = (root / "quillon").string();
    ProgramRun link = runProgram(LINK_PROGRAM, {"a.c.o.ta", "b.c.o.ta"}, setup);
    ASSERT_EQ(link.status, 0) << link.out << link.err;
    EXPECT_EQ(link.out, "");
    EXPECT_FALSE(fs::exists(work / "out.tmp.1.rawlink.set"));

    // One copy of x.h is left, under its short name; the call into the
    // deleted copy now reaches the kept one.
    std::string linked = readFile(work / "out.ls.ta");
    EXPECT_EQ(readFile(work / "out.tmp.02.twinfold.ta"), linked);
    Lines facts = factLines(linked);
    EXPECT_EQ(linked.find("@0.FILE"), std::string::npos) << linked;
    // Which twin is kept follows the merger's hash order; either way the
    // other's contents and the calls into them go over to the kept one.
    bool keptA = std::find(facts.begin(), facts.end(), "contain a.c @FILE.x.h") != facts.end();
    const std::string keeper = keptA ? "a.c" : "b.c";
    const std::string kept = keptA ? "xa" : "xb";
    Lines expected = {"$INSTANCE a.c cFile",
                      "$INSTANCE b.c cFile",
                      "$INSTANCE @FILE.x.h cFile",
                      "$INSTANCE fa cFunction",
                      "$INSTANCE fb cFunction",
                      "$INSTANCE " + kept + " cFunction",
                      "contain a.c fa",
                      "contain b.c fb",
                      "contain " + keeper + " @FILE.x.h",
                      "contain @FILE.x.h " + kept,
                      "calls fa " + kept,
                      "calls fb " + kept,
                      "FACT TUPLE :",
                      "FACT ATTRIBUTE :",
                      "@FILE.x.h  { name=\"x.h\" }"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(facts, expected) << linked;

    // The merger reads its own output back and finds nothing more to merge.
    ProgramRun again = runProgram(TWINFOLD_PROGRAM, {"out.ls.ta", "again.ta"}, setup);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(factLines(readFile(work / "again.ta")), facts);
}

}  // namespace
}  // namespace pipeline_test
