#include "tessel/tessel_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "arg_case.h"
#include "layout_records.h"
#include "layout_test_support.h"
#include "layout_write_faults.h"
#include "program_run.h"
#include "three_clients.h"

namespace layout::tessel {
namespace {

using layout_test::record;
using test_support::readFile;
using test_support::TempDir;
using test_support::writeFile;

const std::string kUsage =
    "\n\nProgram usage:\n"
    "Version: 0.3.4   Date: July 31, 1997\n\n"
    "tessel [options] <input tuple file> <output layout file>\n\n"
    "options:\n\n"
    "-H<size>        - specify height of layout window ( default is 600)\n\n"
    "-W<size>        - specify width of layout window ( default is 800 )\n\n"
    "-e              - output parse warnings\n\n"
    "-m<1 | 2>       - select a layout model (default is 1)\n"
    "                  1 -  nested layout\n"
    "                  2 -  client, server, subsystem layout\n\n"
    "-r              - <input graph file> only contains relation tuples\n\n"
    "-s <name>       - name of subsystem (only for client/server layout model)\n\n"
    "-t              - emit ta file called:  prefix of <input tuple file> + \".ta\" \n\n"
    "-x              - debug mode (creates a file called tessel.debug)\n\n";

TEST(TesselUsage, TextIsExact)
{
    EXPECT_EQ(displayProgramSyntax(), kUsage);
}

using layout_test::ArgCase;

class TesselArgErrors : public ::testing::TestWithParam<ArgCase> {};

TEST_P(TesselArgErrors, MessageAndUsage)
{
    std::vector<std::string> args{"tessel"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    Options options;
    MaybeFailure o = getProgramArgs(args, options);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->message, GetParam().message + kUsage);
}

const std::string kCount = "\nIncorrect number of arguments.";

INSTANTIATE_TEST_SUITE_P(
    Tessel, TesselArgErrors,
    ::testing::Values(
        ArgCase{"NoArguments", {}, kCount}, ArgCase{"OneFile", {"in.ta"}, kCount},
        ArgCase{"TooMany",
                {"-e", "-r", "-t", "-x", "-m1", "-H1", "-W1", "-s", "n", "in", "out", "extra"},
                kCount},
        ArgCase{"OptionsUseUpTheFiles", {"-e", "-r", "in.ta"}, kCount},
        ArgCase{"SWithoutName", {"-e", "-x", "-s"}, kCount},
        ArgCase{"SNameLeavesOneFile", {"-s", "name", "in.ta"}, kCount},
        ArgCase{"HWithoutValue", {"-H", "in", "out"}, "\nA value must be given in the -H switch."},
        ArgCase{"WWithoutValue", {"-W", "in", "out"}, "\nA value must be given in the -W switch."},
        ArgCase{"HNotDigits", {"-H12a", "in", "out"}, "\nInvalid value in -H switch:  12a"},
        ArgCase{"WNegative", {"-W-5", "in", "out"}, "\nInvalid value in -W switch:  -5"},
        ArgCase{"HOutOfRange", {"-H99999999999", "in", "out"}, "\nInvalid value in -H switch:  99999999999"},
        ArgCase{"HBeyondALong",
                {"-H12345678901234567890123", "in", "out"},
                "\nInvalid value in -H switch:  12345678901234567890123"},
        ArgCase{"WJustOverLimit", {"-W16777217", "in", "out"}, "\nInvalid value in -W switch:  16777217"},
        ArgCase{"WZerosThenOverLimit",
                {"-W000016777217", "in", "out"},
                "\nInvalid value in -W switch:  000016777217"},
        ArgCase{"MTooLong", {"-m12", "in", "out"}, "\nInvalid use of -m switch."},
        ArgCase{"MAlone", {"-m", "in", "out"}, "\nInvalid use of -m switch."},
        ArgCase{"MOtherDigit", {"-m3", "in", "out"}, "\nInvalid layout model kind selected in -m switch."},
        ArgCase{"UnknownSwitch", {"-q", "in", "out"}, "\nInvalid switch : -q"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TesselArgs, EveryOptionAtOnce)
{
    Options o;
    ASSERT_FALSE(getProgramArgs(
        {"tessel", "-e", "-r", "-t", "-x", "-m2", "-H0", "-W16777216", "-s", "-core", "in.ta", "out"}, o));
    EXPECT_TRUE(o.printParseError && o.relationOnlyInput && o.emitTA && o.debugMode);
    EXPECT_EQ(o.model, cliServ);
    EXPECT_EQ(o.windowHeight, 0);
    EXPECT_EQ(o.windowWidth, 16777216);
    EXPECT_EQ(*o.subsystemName, "-core");
    EXPECT_EQ(o.inputTupleFile, "in.ta");
    EXPECT_EQ(o.outputLayoutFile, "out");
}

TEST(TesselArgs, WindowSizeIsTakenByValue)
{
    struct Case {
        const char *arg;
        int height;
    } cases[] = {{"-H0000000600", 600}, {"-H000", 0}, {"-H0", 0}, {"-H00000000000000016777216", 16777216}};
    for (const Case &c : cases) {
        Options o;
        ASSERT_FALSE(getProgramArgs({"tessel", c.arg, "in", "out"}, o)) << c.arg;
        EXPECT_EQ(o.windowHeight, c.height) << c.arg;
    }
}

TEST(TesselArgs, DefaultsLoneDashAndLetterOnly)
{
    Options o;
    ASSERT_FALSE(getProgramArgs({"tessel", "-", "-exyz", "in", "-out", "ignored"}, o));
    EXPECT_EQ(o.windowWidth, 800);
    EXPECT_EQ(o.windowHeight, 600);
    EXPECT_EQ(o.model, nested);
    EXPECT_TRUE(o.printParseError);
    EXPECT_FALSE(o.subsystemName);
    EXPECT_EQ(o.outputLayoutFile, "-out");
}

// The real program: messages, statuses and files.
class TesselRun : public ::testing::Test {
protected:
    TempDir dir;
    test_support::ProgramRun run(const std::vector<std::string> &args)
    {
        return test_support::runProgram(TESSEL_PROGRAM, args, layout_test::inDirectory(dir.path()));
    }
};

const std::string kThreeTa = "FACT TUPLE :\n$INSTANCE a T\n$INSTANCE b T\n$INSTANCE c T\n";
const std::string kThreeLayout = record("$ROOT", "0.000000", "0.000000", "800.000000", "600.000000") +
                                 record("a", "80.000000", "228.000000", "120.000000", "72.000000") +
                                 record("b", "280.000000", "228.000000", "120.000000", "72.000000") +
                                 record("c", "480.000000", "228.000000", "120.000000", "72.000000");

TEST_F(TesselRun, WritesTheLayout)
{
    writeFile(dir / "three.ta", kThreeTa);
    auto r = run({"three.ta", "out.lay"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "out.lay"), kThreeLayout);
    EXPECT_FALSE(std::filesystem::exists(dir / "tessel.debug"));
    EXPECT_FALSE(std::filesystem::exists(dir / "three.ta.ta"));
}

TEST_F(TesselRun, UsageErrorOnStandardOutput)
{
    auto r = run({"-q", "in", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nInvalid switch : -q" + kUsage);
    EXPECT_EQ(r.err, "");
}

TEST_F(TesselRun, FileErrors)
{
    auto missing = run({"nothere.ta", "out"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "\nCould not open file : nothere.ta for read.");
    writeFile(dir / "in.ta", kThreeTa);
    auto unwritable = run({"in.ta", "no/such/dir/out"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out,
              "\nCould not open file : no/such/dir/out for write.\nno/such/dir/out: the folder "
              "no/such/dir cannot take a new file: No such file or directory\n");
}

TEST_F(TesselRun, ReaderErrors)
{
    writeFile(dir / "rel.ta", "call a b\n");
    auto eof = run({"rel.ta", "out"});
    EXPECT_EQ(eof.status, 1);
    EXPECT_EQ(eof.out, "");
    EXPECT_EQ(eof.err, "ERROR: End of file reached. Try using -r option.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    auto relOnly = run({"-r", "rel.ta", "out"});
    EXPECT_EQ(relOnly.status, 0);
    const std::string previous = readFile(dir / "out");

    // A run that stops leaves the previous layout whole.
    writeFile(dir / "cycle.ta", "$INSTANCE t T\ncontain t a\ncontain a b\ncontain b a\n");
    auto cycle = run({"cycle.ta", "out"});
    EXPECT_EQ(cycle.status, 1);
    EXPECT_EQ(cycle.out, "\nThe containment relation has a cycle through : a\n");
    EXPECT_EQ(readFile(dir / "out"), previous);

    auto noSubsystem = run({"-m2", "rel.ta", "out"});
    EXPECT_EQ(noSubsystem.status, 1);
    EXPECT_EQ(noSubsystem.err, "ERROR: End of file reached. Try using -r option.\n");
    auto notFound = run({"-m2", "-r", "rel.ta", "out"});
    EXPECT_EQ(notFound.status, 1);
    EXPECT_EQ(notFound.out, "Subsystem not detected. Cannot continue.\n");
}

TEST_F(TesselRun, CycleNoTopLevelItemReachesIsLeftOut)
{
    // b and c are top-level, b -> c puts them on two levels of one slot:
    // cells 400 by 200, boxes 0.6 * 400 = 240 wide, 144 high, capped at
    // 0.6 * 200 = 120, so 1.666 * 120 = 199.92 wide; insets 200.08 and 80.
    writeFile(dir / "cycle.ta", "$INSTANCE b T\ncontain a a\ncall b c\n");
    auto r = run({"cycle.ta", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "WARNING: The containment relation has a cycle through : a that no top-level item reaches; "
              "its items are not laid out.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "out"), record("$ROOT", "0.000000", "0.000000", "800.000000", "600.000000") +
                                         record("b", "200.080002", "80.000000", "199.919998", "120.000000") +
                                         record("c", "200.080002", "280.000000", "199.919998", "120.000000"));
}

TEST_F(TesselRun, WindowSizeWithLeadingZeros)
{
    // 400 by 300: three items in one level, cells 100 by 150, boxes 60 by 36.
    writeFile(dir / "three.ta", kThreeTa);
    auto r = run({"-H0000000000300", "-W000400", "three.ta", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(dir / "out"), record("$ROOT", "0.000000", "0.000000", "400.000000", "300.000000") +
                                         record("a", "40.000000", "114.000000", "60.000000", "36.000000") +
                                         record("b", "140.000000", "114.000000", "60.000000", "36.000000") +
                                         record("c", "240.000000", "114.000000", "60.000000", "36.000000"));
}

TEST_F(TesselRun, WarningsGoToStandardError)
{
    writeFile(dir / "w.ta", "$INSTANCE a T\n$INSTANCE a T\ncall a b\n");
    auto r = run({"-e", "w.ta", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "WARNING: a is declared twice in file : w.ta\n"
                     "WARNING: An $INSTANCE is not declared for : b\n");
}

TEST_F(TesselRun, InputAndOutputNamingOneFileAreRefused)
{
    writeFile(dir / "in.ta", kThreeTa);
    auto r = run({"in.ta", "./in.ta"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nFile : ./in.ta is both an input and an output.\n");
    EXPECT_EQ(readFile(dir / "in.ta"), kThreeTa);
    auto trace = run({"-x", "in.ta", "tessel.debug"});
    EXPECT_EQ(trace.status, 1);
    EXPECT_EQ(trace.out, "\nFile : tessel.debug is both the output and the trace file.\n");
}

TEST_F(TesselRun, EmitTaRenamesWhenItWouldOverwriteTheInput)
{
    writeFile(dir / "x.ta", kThreeTa);
    auto r = run({"-t", "x.ta", "x.lay"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "The <input tuple file> has a \".ta\" extension.\n  Re-nameing the TA file to x.ta.ta .\n");
    EXPECT_EQ(readFile(dir / "x.ta"), kThreeTa);
    EXPECT_EQ(readFile(dir / "x.ta.ta"), "INCLUDE x.ta :\nFACT ATTRIBUTE :\nINCLUDE x.lay :\n");
}

TEST_F(TesselRun, EmitTaFromAnotherDirectoryAndNeverOverTheOutput)
{
    std::filesystem::create_directory(dir / "d");
    writeFile(dir / "d/x.o.ta", kThreeTa);
    auto r = run({"-t", "d/x.o.ta", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "x.ta"), "INCLUDE d/x.o.ta :\nFACT ATTRIBUTE :\nINCLUDE out :\n");
    // The output named like the TA file: the TA file moves aside.
    auto clash = run({"-t", "d/x.o.ta", "x.ta"});
    EXPECT_EQ(clash.status, 0);
    EXPECT_EQ(readFile(dir / "x.ta"), kThreeLayout);
    EXPECT_EQ(readFile(dir / "x.ta.ta"), "INCLUDE d/x.o.ta :\nFACT ATTRIBUTE :\nINCLUDE x.ta :\n");
}

TEST_F(TesselRun, WriteErrorIsAFailure)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    writeFile(dir / "in.ta", kThreeTa);
    auto r = run({"in.ta", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nCould not write file : /dev/full\n");
}

// A nested layout whose inner container holds a cycle, with its whole trace:
// the search from b reaches c, whose edge back to b closes the cycle.
TEST_F(TesselRun, NestedTraceWithARemovedCycleEdge)
{
    writeFile(dir / "cyc.ta", "$INSTANCE p T\ncontain p b\ncontain p c\ncall b c\ncall c b\n");
    auto r = run({"-x", "cyc.ta", "cyc.lay"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    const std::string trace =
        "tessel Program Environment Information\n"
        "----------------------------------------\n"
        "Input tuple file : cyc.ta \n"
        "Output layout file : cyc.lay \n"
        "Debug file : tessel.debug \n"
        "DebugMode on\n"
        "Nested Layout Model \n"
        "layout window height = 600 \n"
        "layout window width = 800 \n"
        "$INSTANCE            p                    T                   \n"
        "contain              p                    b                   \n"
        "contain              p                    c                   \n"
        "call                 b                    c                   \n"
        "call                 c                    b                   \n"
        "$ROOT has been created and set.\n"
        "\nStructure of the graph:\n"
        "-----------------------\n\n\n"
        "$ROOT contains :\n"
        "      p\n"
        "           b\n"
        "           c\n"
        "---- END\n\n"
        // $ROOT: p alone, one level.
        "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : $ROOT \n\n"
        "  0   0 p                    0 \n"
        "\n\nDetermining the level of the entities in container : $ROOT \n"
        "\nTracing through levels of recursion to see how levels are assigned.\n"
        "determineLevelsInContainer : p  Level : 1 \n"
        "\n\n The following is the adjacency matrix after cycles have been removed."
        "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : $ROOT \n\n"
        "  0   0 p                    0 \n"
        "\n\n Level assigned to each entity within container: $ROOT\n"
        "p                                  1\n"
        "\n\nPrinting the level structure\n"
        "Displays the entities that were assigned to each level.\n\n"
        "Level : 1 \n"
        "                             p     0\n"
        "\n\n Output of the initial desired position of the entities in container.\n\n"
        "Level : 1 \n"
        "   p                     1\n"
        "\n\n Output of the actual position of the entities in container.\n\n"
        "Level : 1 \n"
        "   p                     0\n"
        // p: b and c related both ways; the edge c -> b goes.
        "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : p \n\n"
        "  1   0 b                    0  1 \n"
        "  1   1 c                    1  0 \n"
        "\n\nDetermining the level of the entities in container : p \n"
        "\nTracing through levels of recursion to see how levels are assigned.\n"
        "determineLevelsInContainer : b  Level : 1 \n"
        "DFS : 0   1 \n"
        "c                              Level : 2 \n"
        "Removeing edge :  row :     1  column :     0 \n"
        "determineLevelsInContainer : c  Level : 2 \n"
        "\n\n The following is the adjacency matrix after cycles have been removed."
        "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : p \n\n"
        "  1   0 b                    0  1 \n"
        "  1   1 c                    0  0 \n"
        "WARNING: Cycles were detected in the graph. The layout might not appear very nice.\n"
        "\n\n Level assigned to each entity within container: p\n"
        "b                                  1\n"
        "c                                  2\n"
        "\n\nPrinting the level structure\n"
        "Displays the entities that were assigned to each level.\n\n"
        "Level : 1 \n"
        "                             b     0\n"
        "Level : 2 \n"
        "                             c     1\n"
        "\n\n Output of the initial desired position of the entities in container.\n\n"
        "Level : 1 \n"
        "   b                     1\n"
        "Level : 2 \n"
        "   c                     1\n"
        "\n\n Output of the actual position of the entities in container.\n\n"
        "Level : 1 \n"
        "   b                     1\n"
        "Level : 2 \n"
        "   c                     1\n";
    EXPECT_EQ(readFile(dir / "tessel.debug"), trace);
    // p: one cell of 400 by 300, 240 by 144 at 160, 156.  Inside p's 240 by
    // 144: cells 120 by 48, boxes 72 by 43.2 capped to 28.8 high and
    // 1.666 * 28.8 = 47.9808 wide; insets 72.0192 and 19.2.
    EXPECT_EQ(readFile(dir / "cyc.lay"),
              layout_test::kRoot800x600 +
                  record("p", "160.000000", "156.000000", "240.000000", "144.000000") +
                  record("b", "72.019196", "19.200001", "47.980801", "28.799999") +
                  record("c", "72.019196", "67.199997", "47.980801", "28.799999"));
}

// The client/server layout of three clients with its whole trace.
TEST_F(TesselRun, ClientServerTrace)
{
    writeFile(dir / "sys.ta", layout_test::kThreeClientsTa);
    auto r = run({"-m2", "-x", "sys.ta", "sys.lay"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    const std::string trace = "tessel Program Environment Information\n"
                              "----------------------------------------\n"
                              "Input tuple file : sys.ta \n"
                              "Output layout file : sys.lay \n"
                              "Debug file : tessel.debug \n"
                              "DebugMode on\n"
                              "Client Server Layout Model \n"
                              "layout window height = 600 \n"
                              "layout window width = 800 \n"
                              "$INSTANCE            sys.ss               cSubsystem          \n"
                              "$INSTANCE            p                    cFunction           \n"
                              "$INSTANCE            q                    cFunction           \n"
                              "$INSTANCE            c1                   cFile               \n"
                              "$INSTANCE            c2                   cFile               \n"
                              "$INSTANCE            c3                   cFile               \n"
                              "contain              sys.ss               p                   \n"
                              "contain              sys.ss               q                   \n"
                              "call                 c1                   p                   \n"
                              "call                 c2                   q                   \n"
                              "call                 c3                   p                   \n"
                              "$ROOT has been created and set.\n"
                              "\nStructure of the graph:\n"
                              "-----------------------\n\n\n"
                              "$ROOT contains :\n"
                              "      c1\n"
                              "      c2\n"
                              "      c3\n"
                              "      sys.ss\n"
                              "           p\n"
                              "           q\n"
                              "---- END\n\n"
                              "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : sys.ss \n\n"
                              "  0   0 p                    0  0 \n"
                              "  0   1 q                    0  0 \n"
                              "\n\nDetermining the level of the entities in container : sys.ss \n"
                              "\nTracing through levels of recursion to see how levels are assigned.\n"
                              "determineLevelsInContainer : p  Level : 1 \n"
                              "determineLevelsInContainer : q  Level : 1 \n"
                              "\n\n The following is the adjacency matrix after cycles have been removed."
                              "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : sys.ss \n\n"
                              "  0   0 p                    0  0 \n"
                              "  0   1 q                    0  0 \n"
                              "\n\n Level assigned to each entity within container: sys.ss\n"
                              "p                                  1\n"
                              "q                                  1\n"
                              "\n\nPrinting the level structure\n"
                              "Displays the entities that were assigned to each level.\n\n"
                              "Level : 1 \n"
                              "                             p     0\n"
                              "                             q     1\n"
                              "\n\n Output of the initial desired position of the entities in container.\n\n"
                              "Level : 1 \n"
                              "   p                     1\n"
                              "   q                     2\n"
                              "\n\n Output of the actual position of the entities in container.\n\n"
                              "Level : 1 \n"
                              "   p                     0\n"
                              "   q                     0\n"
                              "\n\n Listing Clients Servers and Subsystem Entities.\n"
                              "-----------------------------------------------\n\n"
                              "\n\nClients\n"
                              "-------\n"
                              "c1\nc2\nc3\n"
                              "\n\nServers\n"
                              "--------\n"
                              "\n\nsubsystem entities\n"
                              "------------------\n"
                              "p\nq\n";
    EXPECT_EQ(readFile(dir / "tessel.debug"), trace);
    EXPECT_EQ(readFile(dir / "sys.lay"), layout_test::kThreeClientsLayout);
}

// The layout file and the trace in the fault table of every writing program.
TEST(TesselWriteFaults, TheLayoutFile)
{
    test_support::expectWriteFaultsHandled(
        layout_test::layoutProgram(TESSEL_PROGRAM, layout_test::manyItems(), {}));
}

TEST(TesselWriteFaults, TheTrace)
{
    test_support::expectWriteFaultsHandled(layout_test::traceProgram(
        TESSEL_PROGRAM, "tessel.debug", layout_test::manyItems(), [](const std::string &in) {
            return std::vector<std::string>{"-x", in, "/dev/null"};
        }));
}

// What each folder holds, down through its folders: each file's bytes and
// permission bits, each link's target.
std::map<std::string, std::string> snapshot(const std::filesystem::path &dir)
{
    std::map<std::string, std::string> out;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir)) {
        std::string name = entry.path().lexically_relative(dir).string();
        if (entry.is_symlink())
            out[name] = "link to " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            out[name] = "directory";
        else
            out[name] = "mode " + std::to_string(static_cast<unsigned>(entry.status().permissions())) + ": " +
                        readFile(entry.path());
    }
    return out;
}

// -t's include file is written with the layout file and takes its place
// with it: a write error in either, a kill or a read error leaves both, and
// every other file, as they were. The layout goes under a long name, which
// the include file holds, so that the include file is the larger output and
// a size limit between the two fails it alone.
TEST(TesselIncludeFile, FailuresLeaveBothFilesAsTheyWere)
{
    namespace fs = std::filesystem;
    const std::string longLayout = std::string(150, 'o') + ".lay";
    const std::string renamed =
        "The <input tuple file> has a \".ta\" extension.\n  Re-nameing the TA file to x.ta.ta .\n";
    enum class Failure { writeError, killedMidWrite, readError };
    struct Case {
        std::string what;
        std::string input;  // its include file is x.ta, or x.ta.ta for x.ta itself
        Failure failure;
        int status;  // -1: ended by SIGXFSZ
        std::string out, err;
    };
    const Case cases[] = {
        {"a write error", "d/x.o.ta", Failure::writeError, 1, "\nCould not write file : x.ta\n", ""},
        {"killed mid-write", "d/x.o.ta", Failure::killedMidWrite, -1, "", ""},
        {"a read error", "d/x.o.ta", Failure::readError, 1, "\nCould not read file : d/x.o.ta\n", ""},
        {"a write error, renamed", "x.ta", Failure::writeError, 1, "\nCould not write file : x.ta.ta\n",
         renamed},
        {"killed mid-write, renamed", "x.ta", Failure::killedMidWrite, -1, "", renamed},
        {"a read error, renamed", "x.ta", Failure::readError, 1, "\nCould not read file : x.ta\n", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fs::create_directory(dir / "d");
        writeFile(dir / c.input, "");
        writeFile(dir / longLayout, "old layout\n");
        writeFile(dir / (c.input == "x.ta" ? "x.ta.ta" : "x.ta"), "old include\n");
        test_support::RunSetup setup = layout_test::inDirectory(dir.path());
        if (c.failure == Failure::readError) {
            fs::remove(dir / c.input);
            fs::create_symlink("/proc/self/mem", dir / c.input);
        } else {
            // The layout of an empty graph is $ROOT alone, 88 bytes.
            setup.fileSizeLimit = 150;
            setup.ignoreFileSizeSignal = c.failure == Failure::writeError;
        }
        const auto before = snapshot(dir.path());
        auto r =
            test_support::runProgram(TESSEL_PROGRAM, {"-r", "-t", "-W1", "-H1", c.input, longLayout}, setup);
        if (c.status < 0) {
            EXPECT_EQ(r.signal, SIGXFSZ);
        } else {
            EXPECT_EQ(r.signal, 0);
            EXPECT_EQ(r.status, c.status);
        }
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

// A trace that cannot be written fails the run, which then leaves the layout
// file as it was.
TEST_F(TesselRun, ATraceThatCannotBeWrittenFailsTheRun)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    writeFile(dir / "g.ta", "$INSTANCE a T\n");
    writeFile(dir / "out.lay", "old layout\n");
    std::filesystem::create_symlink("/dev/full", dir / "tessel.debug");
    const auto before = snapshot(dir.path());
    auto r = run({"-x", "g.ta", "out.lay"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nCould not write file : tessel.debug\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(snapshot(dir.path()), before);
}

// A run that stops keeps its trace, which tells how it came to stop, and
// leaves the layout file as it was.
TEST_F(TesselRun, ARunThatStopsKeepsItsTrace)
{
    writeFile(dir / "rel.ta", "call a b\n");
    writeFile(dir / "out.lay", "old layout\n");
    auto r = run({"-x", "-m2", "-r", "rel.ta", "out.lay"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Subsystem not detected. Cannot continue.\n");
    EXPECT_EQ(readFile(dir / "out.lay"), "old layout\n");
    EXPECT_TRUE(readFile(dir / "tessel.debug").starts_with("tessel Program Environment Information\n"));
}

// Standard output that cannot be written is a failure, named on standard
// error.
TEST_F(TesselRun, StandardOutputThatCannotBeWrittenIsAFailure)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    test_support::RunSetup setup = layout_test::inDirectory(dir.path());
    setup.output = "/dev/full";
    auto r = test_support::runProgram(TESSEL_PROGRAM, {"-q", "in", "out"}, setup);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tessel: error writing standard output\n");
}

}  // namespace
}  // namespace layout::tessel
