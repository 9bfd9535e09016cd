#include "tesselfix/tesselfix_program.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "arg_case.h"
#include "layout_records.h"
#include "layout_test_support.h"
#include "layout_write_faults.h"
#include "program_run.h"

namespace layout::tesselfix {
namespace {

using layout_test::record;
using test_support::readFile;
using test_support::TempDir;
using test_support::writeFile;

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

TEST(TesselfixUsage, TextIsExact)
{
    EXPECT_EQ(displayProgramSyntax(), kUsage);
}

using layout_test::ArgCase;

class TesselfixArgErrors : public ::testing::TestWithParam<ArgCase> {};

TEST_P(TesselfixArgErrors, MessageAndUsage)
{
    std::vector<std::string> args{"tesselfix"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    Options options;
    MaybeFailure o = getProgramArgs(args, options);
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
        ArgCase{"TooMany",
                {"-He1", "-Hc1", "-Hs1", "-S1", "-c1", "-e", "-m1", "-so", "x", "-sn", "y", "-r", "-R", "-x",
                 FILES, "e"},
                kCount},
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
    [](const auto &info) { return std::string(info.param.name); });

TEST(TesselfixArgs, DefaultsAndIgnoredCompress)
{
    Options o;
    ASSERT_FALSE(getProgramArgs({"tesselfix", "-c", "-c12", "-", "a", "b", "c", "d", "extra"}, o));
    EXPECT_EQ(o.placement.compress, max);
    EXPECT_EQ(o.placement.model, nested);
    EXPECT_FLOAT_EQ(o.placement.SHRINK, 1.0f);
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_HEIGHT, 30.0f);
    EXPECT_FLOAT_EQ(o.placement.MIN_CONTAINER_ENTITY_WIDTH, 49.98f);
    EXPECT_EQ(o.newOutLayoutFile, "d");
}

TEST(TesselfixArgs, EveryOptionAtOnce)
{
    Options o;
    ASSERT_FALSE(getProgramArgs({"tesselfix", "-He45", "-Hc10", "-Hs2.5", "-S0.5", "-c2", "-e", "-m2", "-so",
                                 "old.ss", "-sn", "new.ss", "-r", "-R", "-x", "a", "b", "c", "d"},
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
    test_support::ProgramRun fix(const std::vector<std::string> &args)
    {
        return test_support::runProgram(TESSELFIX_PROGRAM, args, layout_test::inDirectory(dir.path()));
    }
};

const std::string kRoot = record("$ROOT", "0.000000", "0.000000", "800.000000", "600.000000");

TEST_F(TesselfixRun, RoundTripOfTesselsLayout)
{
    // Graphs whose lists tessel keeps in order: the layout comes back whole.
    const char *graphs[][2] = {
        {"sys.ta", "$INSTANCE sys.ss T\n$INSTANCE c1 T\n$INSTANCE c2 T\ncontain sys.ss p\ncontain sys.ss q\n"
                   "contain q r\ncall c1 p\ncall q c2\ncall p q\n"},
        {"tree.ta",
         "$INSTANCE a T\n$INSTANCE b T\ncontain a x\ncontain a y\ncontain y z\ncall x y\ncall a b\n"},
    };
    for (const auto &[name, ta] : graphs) {
        writeFile(dir / name, ta);
        std::vector<std::string> model =
            std::string(name) == "sys.ta" ? std::vector<std::string>{"-m2"} : std::vector<std::string>{};
        std::vector<std::string> args = model;
        args.insert(args.end(), {name, "old.lay"});
        ASSERT_EQ(test_support::runProgram(TESSEL_PROGRAM, args, layout_test::inDirectory(dir.path())).status,
                  0);
        args = model;
        args.insert(args.end(), {name, "old.lay", name, "new.lay"});
        auto r = fix(args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(readFile(dir / "new.lay"), readFile(dir / "old.lay")) << name;
    }
}

// The start of the trace of a run on old.ta, old.lay and new.ta.
const std::string kTraceHead = "tesselfix Program Environment Information\n"
                               "----------------------------------------\n"
                               "Old graph file : old.ta \n"
                               "Old layout file : old.lay \n"
                               "New graph file : new.ta \n"
                               "New output layout file : new.lay \n"
                               "Debug file : tesselfix.debug \n"
                               "DebugMode on\n";

TEST_F(TesselfixRun, TraceOfOneNewChild)
{
    writeFile(dir / "old.ta", "$INSTANCE p T\n");
    writeFile(dir / "old.lay", kRoot + record("p", "10", "20", "300", "150"));
    writeFile(dir / "new.ta", "$INSTANCE p T\ncontain p a\n");
    auto r = fix({"-x", "old.ta", "old.lay", "new.ta", "new.lay"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(readFile(dir / "tesselfix.debug"),
              kTraceHead + "Nested Layout Model \n"
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
                           "Container: p (W: 300.000000, H: 150.000000) - Items: (W: 300.000000, H: "
                           "50.000000, dx: 300.000000, "
                           "dy: 0.000000,  X: 0.000000 Y: 75.000000)\n"
                           "Item: a (0.000000, 75.000000)\n"
                           "Process: a\n"
                           "--- END\n\n");
    EXPECT_EQ(readFile(dir / "new.lay"),
              kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                  record("a", "0.000000", "75.000000", "300.000000", "50.000000"));
}

// The client/server placement with its whole trace: a new client below the
// old one and a new server below the old one.
TEST_F(TesselfixRun, ClientServerTrace)
{
    const std::string oldTa = "$INSTANCE sys.ss T\ncontain sys.ss p\ncall c1 p\ncall p s1\n";
    writeFile(dir / "old.ta", oldTa);
    writeFile(dir / "old.lay",
              kRoot + record("c1", "66.5", "25", "83.3", "50") + record("s1", "100", "520", "80", "40") +
                  record("sys.ss", "25", "100", "750", "400") + record("p", "100", "110", "150", "90"));
    writeFile(dir / "new.ta", oldTa + "call c2 p\ncall p s2\n");
    auto r = fix({"-x", "-m2", "-so", "sys.ss", "-sn", "sys.ss", "old.ta", "old.lay", "new.ta", "new.lay"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    // $ROOT's children in bucket order: c1 (148), c2, s1 (164), s2, sys.ss
    // (627).  min_dim 800 / 200 = 4, gap 8, margin 16.  The old client ends
    // at 75: c2 is 100 - 75 - 16 = 9 high, 1.666 * 9 wide, at 75 + 16.  The
    // old server's size is the mean; s2 goes 8 below its bottom 560.
    EXPECT_EQ(readFile(dir / "tesselfix.debug"),
              kTraceHead + "Client Server Layout Model \n"
                           "Compress type : max \n"
                           "SHRINK factor : 1.000000 \n"
                           "MIN_CONTAINER_ENTITY_HEIGHT = 30.000000 \n"
                           "MIN_CLIENT_HEIGHT = 30.000000 \n"
                           "MIN_SERVER_HEIGHT = 30.000000 \n"
                           "Name of subsystem in old graph file : sys.ss \n"
                           "Name of subsystem in new graph file : sys.ss \n"
                           "$INSTANCE            sys.ss               T                   \n"
                           "contain              sys.ss               p                   \n"
                           "call                 c1                   p                   \n"
                           "call                 p                    s1                  \n"
                           "$ROOT has been created and set.\n"
                           "\nStructure of the graph:\n-----------------------\n\n\n"
                           "$ROOT contains :\n"
                           "      c1\n"
                           "      s1\n"
                           "      sys.ss\n"
                           "           p\n"
                           "---- END\n\n"
                           "$ROOT                          0.000000 0.000000 600.000000 800.000000\n"
                           "c1                             66.500000 25.000000 50.000000 83.300003\n"
                           "s1                             100.000000 520.000000 40.000000 80.000000\n"
                           "sys.ss                         25.000000 100.000000 400.000000 750.000000\n"
                           "p                              100.000000 110.000000 90.000000 150.000000\n"
                           "$INSTANCE            sys.ss               T                   \n"
                           "contain              sys.ss               p                   \n"
                           "call                 c1                   p                   \n"
                           "call                 p                    s1                  \n"
                           "call                 c2                   p                   \n"
                           "call                 p                    s2                  \n"
                           "$ROOT has been created and set.\n"
                           "\nStructure of the graph:\n-----------------------\n\n\n"
                           "$ROOT contains :\n"
                           "      c1\n"
                           "      c2\n"
                           "      s1\n"
                           "      s2\n"
                           "      sys.ss\n"
                           "           p\n"
                           "---- END\n\n"
                           "Identifying new and old\n-----------------------\n\n"
                           "c1 (old - 66.500000 25.000000 83.300003 50.000000)\n"
                           "c2 (new)\n"
                           "s1 (old - 100.000000 520.000000 80.000000 40.000000)\n"
                           "s2 (new)\n"
                           "sys.ss (old - 25.000000 100.000000 750.000000 400.000000)\n"
                           "p (old - 100.000000 110.000000 150.000000 90.000000)\n"
                           "--- END\n\n"
                           "Position new items\n------------------\n"
                           "sys.ss contains:\n"
                           "  p\n"
                           "Num items in container 'sys.ss': 1 - New: 0\n"
                           "Num new clients: 1\n"
                           "Num new services: 1\n"
                           "rootWidth:800.000000 min_dim: 4.000000 ssy: 100.000000 mcy: 75.000000\n"
                           "-- Position Clients --\n"
                           "Client: c2 (H:9.000000, W:14.994000 X:25.000000 Y:91.000000)\n"
                           "-- Position Services --\n"
                           "Service: s2 (H:40.000000, W:80.000000 X:25.000000 Y:568.000000)\n"
                           "-- Recurse into SS --\n"
                           "Process: p\n"
                           "-- Recurse into Clients and Services --\n"
                           "Process: c1\n"
                           "Process: c2\n"
                           "Process: s1\n"
                           "Process: s2\n"
                           "Process: sys.ss\n"
                           "--- END\n\n");
    EXPECT_EQ(readFile(dir / "new.lay"),
              kRoot + record("c1", "66.500000", "25.000000", "83.300003", "50.000000") +
                  record("c2", "25.000000", "91.000000", "14.994000", "9.000000") +
                  record("s1", "100.000000", "520.000000", "80.000000", "40.000000") +
                  record("s2", "25.000000", "568.000000", "80.000000", "40.000000") +
                  record("sys.ss", "25.000000", "100.000000", "750.000000", "400.000000") +
                  record("p", "100.000000", "110.000000", "150.000000", "90.000000"));
}

TEST_F(TesselfixRun, CycleOutsideTheTreeIsLeftOut)
{
    // Each graph holds a cycle no top-level item reaches: one warning per
    // graph, the cycle's items are neither matched nor written, and p keeps
    // its box while the new n fills a row in p (300 by 50 at y 75).
    writeFile(dir / "old.ta", "$INSTANCE p T\ncontain a a\n");
    writeFile(dir / "old.lay",
              kRoot + record("p", "10", "20", "300", "150") + record("a", "1", "1", "1", "1"));
    writeFile(dir / "new.ta", "$INSTANCE p T\ncontain p n\ncontain x y\ncontain y x\ncontain y a\n");
    auto r = fix({"old.ta", "old.lay", "new.ta", "new.lay"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "WARNING: The containment relation has a cycle through : a that no top-level item reaches; "
              "its items are not laid out.\n"
              "WARNING: The containment relation has a cycle through : x that no top-level item reaches; "
              "its items are not laid out.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "new.lay"),
              kRoot + record("p", "10.000000", "20.000000", "300.000000", "150.000000") +
                  record("n", "0.000000", "75.000000", "300.000000", "50.000000"));
}

TEST_F(TesselfixRun, FileErrors)
{
    writeFile(dir / "g.ta", "$INSTANCE a T\n");
    writeFile(dir / "g.lay", kRoot + record("a", "1", "1", "1", "1"));
    auto missing = fix({"g.ta", "none.lay", "g.ta", "out.lay"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "\nCould not open file : none.lay for read.");
    auto sameAsInput = fix({"g.ta", "g.lay", "g.ta", "./g.lay"});
    EXPECT_EQ(sameAsInput.status, 1);
    EXPECT_EQ(sameAsInput.out, "\nFile : ./g.lay is both an input and an output.\n");
    EXPECT_EQ(readFile(dir / "g.lay"), kRoot + record("a", "1", "1", "1", "1"));
    auto cannotWrite = fix({"g.ta", "g.lay", "g.ta", "no/dir/out"});
    EXPECT_EQ(cannotWrite.status, 1);
    EXPECT_EQ(cannotWrite.out,
              "\nCould not open file : no/dir/out for write.\nno/dir/out: the folder no/dir cannot "
              "take a new file: No such file or directory\n");
    auto usage = fix({"-z", "g.ta", "g.lay", "g.ta", "o"});
    EXPECT_EQ(usage.status, 1);
    EXPECT_EQ(usage.out, "\nInvalid switch : -z" + kUsage);
}

TEST_F(TesselfixRun, ReaderErrors)
{
    writeFile(dir / "g.ta", "$INSTANCE a T\n");
    writeFile(dir / "stranger.lay", kRoot + record("zz", "1", "1", "1", "1"));
    auto stranger = fix({"g.ta", "stranger.lay", "g.ta", "out.lay"});
    EXPECT_EQ(stranger.status, 1);
    EXPECT_EQ(stranger.out, "\nEntity: zz, exists in layout file but not in the graph file.\n"
                            "Layout file is not associated with the graph file.\n");
    writeFile(dir / "noroot.lay", record("a", "1", "1", "1", "1"));
    auto noRoot = fix({"g.ta", "noroot.lay", "g.ta", "out.lay"});
    EXPECT_EQ(noRoot.status, 1);
    EXPECT_EQ(noRoot.out, "\nFatal Error: the old layout file has no box for $ROOT.\n");
    writeFile(dir / "rel.ta", "call a b\n");
    auto eof = fix({"rel.ta", "noroot.lay", "g.ta", "out.lay"});
    EXPECT_EQ(eof.status, 1);
    EXPECT_EQ(eof.err, "ERROR: End of file reached. Try using -r option.\n");
}

// Inputs that once made the shrink rounds run for ever or wrote NaN: each
// run must end (the test's time limit) with finite boxes only.
struct Termination {
    const char *name;
    std::vector<std::string> options;
    std::string oldTa, oldLayout, newTa;
    size_t records;  // in the new layout, $ROOT's included
};

void PrintTo(const Termination &c, std::ostream *os)
{
    *os << c.name;
}

class TesselfixTermination : public ::testing::TestWithParam<Termination> {};

const std::string kCliServOld =
    "$INSTANCE sys.ss T\n$INSTANCE cl T\ncontain sys.ss p\ncontain cl k\ncall cl p\n";
const std::string kCliServNew = kCliServOld + "contain cl k2\ncall c9 p\n";

TEST_P(TesselfixTermination, EndsWithFiniteBoxes)
{
    TempDir dir;
    const Termination &t = GetParam();
    writeFile(dir / "old.ta", t.oldTa);
    writeFile(dir / "old.lay", t.oldLayout);
    writeFile(dir / "sys.ta", t.newTa);
    std::vector<std::string> args = t.options;
    args.insert(args.end(), {"old.ta", "old.lay", "sys.ta", "new.lay"});
    auto r = test_support::runProgram(TESSELFIX_PROGRAM, args, layout_test::inDirectory(dir.path()));
    ASSERT_EQ(r.status, 0) << r.out;
    std::string layout = readFile(dir / "new.lay");
    EXPECT_EQ(layout.find("nan"), std::string::npos) << layout;
    EXPECT_EQ(layout.find("inf"), std::string::npos) << layout;
    EXPECT_EQ(layout_test::parseRecords(layout).size(), t.records) << layout;
}

INSTANTIATE_TEST_SUITE_P(
    Tesselfix, TesselfixTermination,
    ::testing::Values(
        Termination{"TinyShrinkCompressMinNested",
                    {"-c2", "-S0.000001"},
                    "$INSTANCE p T\ncontain p q\n",
                    kRoot + record("p", "0", "0", "600", "120") + record("q", "580", "10", "10", "10"),
                    "$INSTANCE p T\ncontain p q\ncontain p n\n",
                    4},
        Termination{"TinyShrinkCompressNoneNested",
                    {"-c1", "-S0.000001"},
                    "$INSTANCE p T\ncontain p q\n",
                    kRoot + record("p", "0", "0", "600", "120") + record("q", "580", "10", "10", "10"),
                    "$INSTANCE p T\ncontain p q\ncontain p n\n",
                    4},
        Termination{"NarrowContainerCompressNoneClientServer",
                    {"-m2", "-c1", "-so", "sys.ss"},
                    kCliServOld,
                    kRoot + record("cl", "30", "20", "20", "40") + record("k", "15", "1", "2", "2") +
                        record("sys.ss", "25", "100", "750", "400") + record("p", "1", "1", "5", "5"),
                    kCliServNew,
                    7},
        Termination{"ZeroWidthContainer",
                    {},
                    "$INSTANCE p T\n$INSTANCE z T\ncontain p q\ncontain z w\n",
                    kRoot + record("p", "0", "0", "0", "120") + record("q", "5", "10", "10", "10") +
                        record("z", "10", "0", "0", "0") + record("w", "0", "0", "0", "0"),
                    "$INSTANCE p T\n$INSTANCE z T\ncontain p q\ncontain p n\ncontain z w\ncontain z v\n"
                    "contain n n1\n",
                    8},
        Termination{"RelayoutZeroHeightOldClient",
                    {"-m2", "-R", "-so", "sys.ss"},
                    kCliServOld,
                    kRoot + record("cl", "30", "20", "60", "0") + record("k", "15", "1", "2", "2") +
                        record("sys.ss", "25", "100", "750", "400") + record("p", "1", "1", "5", "5"),
                    kCliServNew,
                    7},
        Termination{"ZeroSizeRoot",
                    {"-m2", "-R", "-so", "sys.ss"},
                    kCliServOld,
                    record("$ROOT", "0", "0", "0", "0") + record("cl", "0", "0", "0", "0") +
                        record("k", "0", "0", "0", "0") + record("sys.ss", "0", "0", "0", "0") +
                        record("p", "0", "0", "0", "0"),
                    kCliServNew,
                    7}),
    [](const auto &info) { return std::string(info.param.name); });

// The new layout file and the trace in the fault table of every writing
// program: the new graph is the table's input, the old graph a single item
// with its layout, beside the case folders.
class TesselfixWriteFaults : public ::testing::Test {
protected:
    TesselfixWriteFaults()
    {
        // Read by the unprivileged user of the table's closed-folder cases.
        std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
        writeFile(oldTa, "$INSTANCE a T\n");
        writeFile(oldLayout, kRoot + record("a", "1", "1", "1", "1"));
    }
    TempDir dir;
    const std::string oldTa = (dir / "old.ta").string(), oldLayout = (dir / "old.lay").string();
};

TEST_F(TesselfixWriteFaults, TheNewLayoutFile)
{
    test_support::expectWriteFaultsHandled(layout_test::layoutProgram(
        TESSELFIX_PROGRAM, layout_test::manyItems(), [this](const test_support::RunNames &n) {
            return std::vector<std::string>{oldTa, oldLayout, n.in, n.out};
        }));
}

TEST_F(TesselfixWriteFaults, TheTrace)
{
    test_support::expectWriteFaultsHandled(layout_test::traceProgram(
        TESSELFIX_PROGRAM, "tesselfix.debug", layout_test::manyItems(), [this](const std::string &in) {
            return std::vector<std::string>{"-x", oldTa, oldLayout, in, "/dev/null"};
        }));
}

}  // namespace
}  // namespace layout::tesselfix
