#include "tesselfix/tesselfix_program.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "arg_case.h"
#include "layout_records.h"
#include "layout_test_support.h"

namespace layout::tesselfix {
namespace {

using layout_test::readFile;
using layout_test::record;
using layout_test::runProgram;
using layout_test::TempDir;
using layout_test::writeFile;

const std::string kUsage =
    "\n\nProgram usage:\n"
    "Version: 0.4.0   :  Date: May 1, 1998\n\n"
    "tesselfix [options] <old tuple file> <old layout file>\n"
    "                   <new tuple file> <new layout file>\n\n"
    "options:\n\n"
    "-H<type><val>      - specify minimum height of <type> to be <val>\n"
    "                   - default Height for each <type> is 30\n"
    "                   - description of <type>\n"
    "                     e - entities in container\n"
    "                     c - client entities (if client server model used)\n"
    "                     s - server entities (if client server model used)\n\n"
    "-S<val>            - when fitting in new entities shrink by <val>% each iteration\n"
    "                     until enough space is created\n"
    "                     Range: 0 < val < 100  , Default value: 1\n\n"
    "-c<1 | 2 | 3>      - specify method to compress static entities in\n"
    "                     order to create enough space to fit in new entities.\n"
    "                   - description of compress types:\n"
    "                     1 - none\n"
    "                     2 - min (relative position and size of all entities is maintained)\n"
    "                     3 - max (relative position is maintained however relative size is not)\n"
    "                   - default compress type is 3\n\n"
    "-e                 - output parse warnings\n\n"
    "-m<1 | 2>          - select a layout model (default is 1)\n"
    "                     1 - nested layout\n"
    "                     2 - client, server, subsystem layout\n\n"
    "-s<o | n> <name>   - name of subsystem (only for client/server layout model) \n"
    "                     o -  old tuple file\n"
    "                     n -  new tuple file\n\n"
    "-r                 - <graph files> only contain relation tuples\n\n"
    "-R                 - Relayout client and servers\n\n"
    "-x                 - debug mode (creates a file called tesselfix.debug)\n\n";

TEST(TesselfixUsage, TextIsExact) { EXPECT_EQ(displayProgramSyntax(), kUsage); }

using layout_test::ArgCase;

class TesselfixArgErrors : public ::testing::TestWithParam<ArgCase> {};

TEST_P(TesselfixArgErrors, MessageAndUsage) {
    std::vector<std::string> args{"tesselfix"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    Options options;
    Outcome o = getProgramArgs(args, options);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->message, GetParam().message + kUsage);
}

const std::string kCount = "\nIncorrect number of arguments.";
#define FILES "a", "b", "c", "d"

INSTANTIATE_TEST_SUITE_P(
    Tesselfix, TesselfixArgErrors,
    ::testing::Values(
        ArgCase{"ThreeFiles", {"a", "b", "c"}, kCount},
        ArgCase{"OptionsLeaveThreeFiles", {"-e", "a", "b", "c"}, kCount},
        ArgCase{"SoWithoutName", {"-e", "-r", "-x", "-so"}, kCount},
        ArgCase{"TooMany", {"-He1", "-Hc1", "-Hs1", "-S1", "-c1", "-e", "-m1", "-so", "x", "-sn", "y", "-r", "-R",
                            "-x", FILES, "e"}, kCount},
        ArgCase{"HTooShort", {"-He", FILES}, "Incorrect use of switch : -He "},
        ArgCase{"HBadType", {"-Hq5", FILES}, "Incorrect <type> in -H switch : q"},
        ArgCase{"HBadValue", {"-He5x", FILES}, "Invalid value for <val> in -H switch : 5x\n"},
        ArgCase{"HTwoPoints", {"-He1.2.3", FILES}, "Invalid value for <val> in -H switch : 1.2.3\n"},
        ArgCase{"HZero", {"-Hc0.0", FILES}, "<val> in -H switch must be > 0\n"},
        ArgCase{"SBadValue", {"-S1e2", FILES}, "Invalid value in -S switch : 1e2 .\n"},
        ArgCase{"SLonePoint", {"-S.", FILES}, "Invalid value in -S switch : . .\n"},
        ArgCase{"SHundred", {"-S100", FILES}, "Value in -S switch must be between 0 and 100.\n"},
        ArgCase{"SZero", {"-S0", FILES}, "Value in -S switch must be between 0 and 100.\n"},
        ArgCase{"SEmpty", {"-S", FILES}, "Value in -S switch must be between 0 and 100.\n"},
        ArgCase{"CBadDigit", {"-c4", FILES}, "Invalid compress type.\n"},
        ArgCase{"MTooLong", {"-m12", FILES}, "\nInvalid use of -m switch."},
        ArgCase{"MBadDigit", {"-m0", FILES}, "\nInvalid layout model kind selected in -m switch."},
        ArgCase{"SBadSide", {"-sx", "n", FILES}, "\nInvalide use of -s switch."},
        ArgCase{"SLong", {"-son", "n", FILES}, "\nInvalide use of -s switch."},
        ArgCase{"Unknown", {"-z", FILES}, "\nInvalid switch : -z"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TesselfixArgs, DefaultsAndIgnoredCompress) {
    Options o;
    ASSERT_FALSE(getProgramArgs({"tesselfix", "-c", "-c12", "-", "a", "b", "c", "d", "extra"}, o));
    EXPECT_EQ(o.placement.compress, max);
    EXPECT_EQ(o.placement.model, nested);
    EXPECT_FLOAT_EQ(o.placement.SHRINK, 1.0f);
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_HEIGHT, 30.0f);
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_WIDTH, 49.98f);
    EXPECT_EQ(o.newOutLayoutFile, "d");
}

TEST(TesselfixArgs, EveryOptionAtOnce) {
    Options o;
    ASSERT_FALSE(getProgramArgs({"tesselfix", "-He45", "-Hc10", "-Hs2.5", "-S0.5", "-c2", "-e", "-m2", "-so", "old.ss",
                                 "-sn", "new.ss", "-r", "-R", "-x", "a", "b", "c", "d"},
                                o));
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_HEIGHT, 45.0f);
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_WIDTH, 74.97f);
    EXPECT_FLOAT_EQ(o.MIN_CLIENT_HEIGHT, 10.0f);
    EXPECT_FLOAT_EQ(o.MIN_SERVER_WIDTH, 1.666f * 2.5f);
    EXPECT_FLOAT_EQ(o.placement.SHRINK, 0.5f);
    EXPECT_EQ(o.placement.compress, min);
    EXPECT_EQ(o.placement.model, cliServ);
    EXPECT_TRUE(o.printParseError && o.relationOnlyInput && o.debugMode && o.placement.relayoutCliServMode);
    EXPECT_EQ(*o.oldSubSysName, "old.ss");
    EXPECT_EQ(*o.newSubSysName, "new.ss");
    EXPECT_EQ(o.oldInGraphFile, "a");
    EXPECT_EQ(o.newOutLayoutFile, "d");
}

class TesselfixRun : public ::testing::Test {
protected:
    TempDir dir;
    layout_test::RunResult fix(const std::vector<std::string>& args, int seconds = 60) {
        return runProgram(TESSELFIX_PROGRAM, args, dir.path, seconds);
    }
};

const std::string kRoot = record("$ROOT", "0.000000", "0.000000", "800.000000", "600.000000");

TEST_F(TesselfixRun, RoundTripOfTesselsLayout) {
    // Graphs whose lists tessel keeps in order: the layout comes back whole.
    const char* graphs[][2] = {
        {"sys.ta",
         "$INSTANCE sys.ss T\n$INSTANCE c1 T\n$INSTANCE c2 T\ncontain sys.ss p\ncontain sys.ss q\n"
         "contain q r\ncall c1 p\ncall q c2\ncall p q\n"},
        {"tree.ta", "$INSTANCE a T\n$INSTANCE b T\ncontain a x\ncontain a y\ncontain y z\ncall x y\ncall a b\n"},
    };
    for (const auto& [name, ta] : graphs) {
        writeFile(dir.file(name), ta);
        std::vector<std::string> model = std::string(name) == "sys.ta" ? std::vector<std::string>{"-m2"}
                                                                       : std::vector<std::string>{};
        std::vector<std::string> args = model;
        args.insert(args.end(), {name, "old.lay"});
        ASSERT_EQ(runProgram(TESSEL_PROGRAM, args, dir.path).status, 0);
        args = model;
        args.insert(args.end(), {name, "old.lay", name, "new.lay"});
        auto r = fix(args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(readFile(dir.file("new.lay")), readFile(dir.file("old.lay"))) << name;
    }
}

TEST_F(TesselfixRun, TraceOfOneNewChild) {
    writeFile(dir.file("old.ta"), "$INSTANCE p T\n");
    writeFile(dir.file("old.lay"), kRoot + record("p", "10", "20", "300", "150"));
    writeFile(dir.file("new.ta"), "$INSTANCE p T\ncontain p a\n");
    auto r = fix({"-x", "old.ta", "old.lay", "new.ta", "new.lay"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(readFile(dir.file("tesselfix.debug")),
              "tesselfix Program Environment Information\n"
              "----------------------------------------\n"
              "Old graph file : old.ta \n"
              "Old layout file : old.lay \n"
              "New graph file : new.ta \n"
              "New output layout file : new.lay \n"
              "Debug file : tesselfix.debug \n"
              "DebugMode on\n"
              "Nested Layout Model \n"
              "Compress type : max \n"
              "SHRINK factor : 1.000000 \n"
              "MIN_CONTAINER_ENTITY_HEIGHT = 30.000000 \n"
              "$INSTANCE            p                    T                   \n"
              "$ROOT has been created and set.\n"
              "\nStructure of the graph:\n-----------------------\n\n\n"
              "$ROOT contains :\n"
              "      p\n"
              "---- END\n\n"
              "$ROOT                          0.000000 0.000000 600.000000 800.000000\n"
              "p                              10.000000 20.000000 150.000000 300.000000\n"
              "$INSTANCE            p                    T                   \n"
              "contain              p                    a                   \n"
              "$ROOT has been created and set.\n"
              "\nStructure of the graph:\n-----------------------\n\n\n"
              "$ROOT contains :\n"
              "      p\n"
              "           a\n"
              "---- END\n\n"
              "Identifying new and old\n-----------------------\n\n"
              "p (old - 10.000000 20.000000 300.000000 150.000000)\n"
              "a (new)\n"
              "--- END\n\n"
              "Position new items\n------------------\n"
              "$ROOT contains:\n"
              "  p\n"
              "Num items in container '$ROOT': 1 - New: 0\n"
              "Process: p\n"
              "p contains:\n"
              "  a\n"
              "Num items in container 'p': 1 - New: 1\n"
              "Container: p (W: 300.000000, H: 150.000000) - Items: (W: 300.000000, H: 50.000000, dx: 300.000000, "
              "dy: 0.000000,  X: 0.000000 Y: 75.000000)\n"
              "Item: a (0.000000, 75.000000)\n"
              "Process: a\n"
              "--- END\n\n");
    EXPECT_EQ(readFile(dir.file("new.lay")), kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                                                 record("a", "0.000000", "75.000000", "300.000000", "50.000000"));
}

TEST_F(TesselfixRun, CycleOutsideTheTreeIsLeftOut) {
    // Each graph holds a cycle no top-level item reaches: one warning per
    // graph, the cycle's items are neither matched nor written, and p keeps
    // its box while the new n fills a row in p (300 by 50 at y 75).
    writeFile(dir.file("old.ta"), "$INSTANCE p T\ncontain a a\n");
    writeFile(dir.file("old.lay"), kRoot + record("p", "10", "20", "300", "150") + record("a", "1", "1", "1", "1"));
    writeFile(dir.file("new.ta"), "$INSTANCE p T\ncontain p n\ncontain x y\ncontain y x\ncontain y a\n");
    auto r = fix({"old.ta", "old.lay", "new.ta", "new.lay"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "WARNING: The containment relation has a cycle through : a that no top-level item reaches; "
              "its items are not laid out.\n"
              "WARNING: The containment relation has a cycle through : x that no top-level item reaches; "
              "its items are not laid out.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("new.lay")), kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                                                 record("n", "0.000000", "75.000000", "300.000000", "50.000000"));
}

TEST_F(TesselfixRun, FileErrors) {
    writeFile(dir.file("g.ta"), "$INSTANCE a T\n");
    writeFile(dir.file("g.lay"), kRoot + record("a", "1", "1", "1", "1"));
    auto missing = fix({"g.ta", "none.lay", "g.ta", "out.lay"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "\nCould not open file : none.lay for read.");
    auto sameAsInput = fix({"g.ta", "g.lay", "g.ta", "./g.lay"});
    EXPECT_EQ(sameAsInput.status, 1);
    EXPECT_EQ(sameAsInput.out, "\nFile : ./g.lay is both an input and an output.\n");
    EXPECT_EQ(readFile(dir.file("g.lay")), kRoot + record("a", "1", "1", "1", "1"));
    auto cannotWrite = fix({"g.ta", "g.lay", "g.ta", "no/dir/out"});
    EXPECT_EQ(cannotWrite.status, 1);
    EXPECT_EQ(cannotWrite.out, "\nCould not open file : no/dir/out for write.");
    auto usage = fix({"-z", "g.ta", "g.lay", "g.ta", "o"});
    EXPECT_EQ(usage.status, 1);
    EXPECT_EQ(usage.out, "\nInvalid switch : -z" + kUsage);
}

TEST_F(TesselfixRun, ReaderErrors) {
    writeFile(dir.file("g.ta"), "$INSTANCE a T\n");
    writeFile(dir.file("stranger.lay"), kRoot + record("zz", "1", "1", "1", "1"));
    auto stranger = fix({"g.ta", "stranger.lay", "g.ta", "out.lay"});
    EXPECT_EQ(stranger.status, 1);
    EXPECT_EQ(stranger.out,
              "\nEntity: zz, exists in layout file but not in the graph file.\n"
              "Layout file is not associated with the graph file.\n");
    writeFile(dir.file("noroot.lay"), record("a", "1", "1", "1", "1"));
    auto noRoot = fix({"g.ta", "noroot.lay", "g.ta", "out.lay"});
    EXPECT_EQ(noRoot.status, 1);
    EXPECT_EQ(noRoot.out, "\nFatal Error: the old layout file has no box for $ROOT.\n");
    writeFile(dir.file("rel.ta"), "call a b\n");
    auto eof = fix({"rel.ta", "noroot.lay", "g.ta", "out.lay"});
    EXPECT_EQ(eof.status, 1);
    EXPECT_EQ(eof.err, "ERROR: End of file reached. Try using -r option.\n");
}

// Inputs that once made the shrink rounds run for ever or wrote NaN: each
// run must end within the time bound with finite boxes only.
struct Termination {
    const char* name;
    std::vector<std::string> options;
    std::string oldTa, oldLayout, newTa;
    size_t records;   // in the new layout, $ROOT's included
};

void PrintTo(const Termination& c, std::ostream* os) { *os << c.name; }

class TesselfixTermination : public ::testing::TestWithParam<Termination> {};

const std::string kCliServOld = "$INSTANCE sys.ss T\n$INSTANCE cl T\ncontain sys.ss p\ncontain cl k\ncall cl p\n";
const std::string kCliServNew = kCliServOld + "contain cl k2\ncall c9 p\n";

TEST_P(TesselfixTermination, EndsWithFiniteBoxes) {
    TempDir dir;
    const Termination& t = GetParam();
    writeFile(dir.file("old.ta"), t.oldTa);
    writeFile(dir.file("old.lay"), t.oldLayout);
    writeFile(dir.file("sys.ta"), t.newTa);
    std::vector<std::string> args = t.options;
    args.insert(args.end(), {"old.ta", "old.lay", "sys.ta", "new.lay"});
    auto r = runProgram(TESSELFIX_PROGRAM, args, dir.path, 20);
    ASSERT_EQ(r.status, 0) << r.out;
    std::string layout = readFile(dir.file("new.lay"));
    EXPECT_EQ(layout.find("nan"), std::string::npos) << layout;
    EXPECT_EQ(layout.find("inf"), std::string::npos) << layout;
    EXPECT_EQ(layout_test::parseRecords(layout).size(), t.records) << layout;
}

INSTANTIATE_TEST_SUITE_P(
    Tesselfix, TesselfixTermination,
    ::testing::Values(
        Termination{"TinyShrinkCompressMinNested", {"-c2", "-S0.000001"}, "$INSTANCE p T\ncontain p q\n",
                    kRoot + record("p", "0", "0", "600", "120") + record("q", "580", "10", "10", "10"),
                    "$INSTANCE p T\ncontain p q\ncontain p n\n", 4},
        Termination{"TinyShrinkCompressNoneNested", {"-c1", "-S0.000001"}, "$INSTANCE p T\ncontain p q\n",
                    kRoot + record("p", "0", "0", "600", "120") + record("q", "580", "10", "10", "10"),
                    "$INSTANCE p T\ncontain p q\ncontain p n\n", 4},
        Termination{"NarrowContainerCompressNoneClientServer", {"-m2", "-c1", "-so", "sys.ss"}, kCliServOld,
                    kRoot + record("cl", "30", "20", "20", "40") + record("k", "15", "1", "2", "2") +
                        record("sys.ss", "25", "100", "750", "400") + record("p", "1", "1", "5", "5"),
                    kCliServNew, 7},
        Termination{"ZeroWidthContainer", {}, "$INSTANCE p T\n$INSTANCE z T\ncontain p q\ncontain z w\n",
                    kRoot + record("p", "0", "0", "0", "120") + record("q", "5", "10", "10", "10") +
                        record("z", "10", "0", "0", "0") + record("w", "0", "0", "0", "0"),
                    "$INSTANCE p T\n$INSTANCE z T\ncontain p q\ncontain p n\ncontain z w\ncontain z v\n"
                    "contain n n1\n", 8},
        Termination{"RelayoutZeroHeightOldClient", {"-m2", "-R", "-so", "sys.ss"}, kCliServOld,
                    kRoot + record("cl", "30", "20", "60", "0") + record("k", "15", "1", "2", "2") +
                        record("sys.ss", "25", "100", "750", "400") + record("p", "1", "1", "5", "5"),
                    kCliServNew, 7},
        Termination{"ZeroSizeRoot", {"-m2", "-R", "-so", "sys.ss"}, kCliServOld,
                    record("$ROOT", "0", "0", "0", "0") + record("cl", "0", "0", "0", "0") +
                        record("k", "0", "0", "0", "0") + record("sys.ss", "0", "0", "0", "0") +
                        record("p", "0", "0", "0", "0"),
                    kCliServNew, 7}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace layout::tesselfix
