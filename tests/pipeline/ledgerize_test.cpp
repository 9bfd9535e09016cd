#include "ledgerize.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <sstream>

#include "driver_fixture.h"
#include "pipeline_write_faults.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

std::string listingOf(const RsfFacts &triples)
{
    std::ostringstream listing;
    writeTableOfContents(triples, listing);
    return listing.str();
}

std::string listingOf(const std::string &rsf)
{
    std::stringbuf buffer(rsf);
    TokenInput in{&buffer};
    return listingOf(readTriples(in));
}

TEST(Ledgerize, ReadsTriplesWithQuotesAndAShortLastOne)
{
    std::stringbuf buffer("contain \"a b\" c\n@_x c\n");
    TokenInput in{&buffer};
    RsfFacts triples = readTriples(in);
    ASSERT_EQ(triples.size(), 2u);
    EXPECT_EQ(triples[0].src, "a b");
    EXPECT_EQ(triples[1].rel, "@_x");
    EXPECT_EQ(triples[1].src, "c");
    EXPECT_EQ(triples[1].trg, "");
}

TEST(Ledgerize, SmallTree)
{
    EXPECT_EQ(listingOf("contain r c\n@_kind r class\ncalls c $_f\n"), "r { kind=class }\n"
                                                                       "  | c { }\n"
                                                                       "  |   | calls f\n");
}

TEST(Ledgerize, TwoParentsArcLabelsLateAttributesAndARemainder)
{
    const std::string rsf = "contain p1 x\n"
                            "contain p2 x\n"
                            "cArcSon x y\n"
                            "calls x $_g\n"
                            "@_name x \"the x\"\n"
                            "@_ p1 v\n"
                            "@_size y 4\n"
                            "uses z w\n"
                            "@_kind lone node\n"
                            "ref y $_\n"
                            "calls p2 a$_b\n"
                            "!flag p2 on\n";
    EXPECT_EQ(listingOf(rsf), "p1 { }\n"
                              "  | x { name=the x }\n"
                              "  |   | cArcSon y { size=4 }\n"
                              "  |   |   | ref \n"
                              "  |   | calls g\n"
                              "  | @_ v\n"
                              "p2 { }\n"
                              "  | x { }\n"
                              "  | calls a$_b\n"
                              "  | !flag on\n"
                              "\n"
                              "Edges/attributes NOT in the tree:\n"
                              "z\tuses\tw\n"
                              "lone\t@_kind\tnode\n");
}

TEST(Ledgerize, EveryRiriraArcNestsWithItsLabel)
{
    std::string rsf = "contain r n0\n";
    std::string expected = "r { }\n  | n0 { }\n";
    const Lines arcs = {"cArcSon",     "cArcTrue",    "cArcFalse",   "cArcOpd",    "cImport",     "cArcCond",
                        "cArcForInit", "cArcForIncr", "cArcInitVal", "cArcBitDim", "cArcArrayDim"};
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        rsf += arcs[i] + " n0 m" + std::to_string(i) + "\n";
        expected += "  |   | " + arcs[i] + " m" + std::to_string(i) + " { }\n";
    }
    EXPECT_EQ(listingOf(rsf), expected);
}

TEST(Ledgerize, ACycleBelowARootIsListedOnceAndAnUnreachedOneIsRemainder)
{
    EXPECT_EQ(listingOf("contain r a\n"
                        "contain a b\n"
                        "contain b a\n"
                        "contain c d\n"
                        "contain d c\n"),
              "r { }\n"
              "  | a { }\n"
              "  |   | b { }\n"
              "  |   |   | a { }\n"
              "\n"
              "Edges/attributes NOT in the tree:\n"
              "c\tcontain\td\n"
              "d\tcontain\tc\n");
}

TEST(Ledgerize, ACycleListsTheRestOfANodeOnItsInnerVisit)
{
    EXPECT_EQ(listingOf("contain r a\n"
                        "contain a b\n"
                        "contain b a\n"
                        "calls a x\n"
                        "@_kind a f\n"),
              "r { }\n"
              "  | a { kind=f }\n"
              "  |   | b { }\n"
              "  |   |   | a { }\n"
              "  |   |   |   | calls x\n");
}

TEST(Ledgerize, NoTriplesNoListing)
{
    EXPECT_EQ(listingOf(""), "");
    EXPECT_EQ(listingOf("calls a b\n"), "\nEdges/attributes NOT in the tree:\na\tcalls\tb\n");
}

// 100,000 triples, more than any fixed table would hold: a binary
// containment tree with an attribute and a call per node. Its time is a
// figure of the benchmark (tests/pipeline/bench).
TEST(Ledgerize, ManyTriplesAreAllListed)
{
    const int nodes = 33334;
    std::string rsf;
    for (int i = 1; i < nodes; ++i) {
        rsf += "contain n" + std::to_string((i - 1) / 2) + " n" + std::to_string(i) + "\n";
    }
    for (int i = 0; i < nodes; ++i) {
        rsf += "@_id n" + std::to_string(i) + " " + std::to_string(i) + "\n";
        rsf += "calls n" + std::to_string(i) + " n0\n";
    }
    std::stringbuf buffer(rsf);
    TokenInput in{&buffer};
    RsfFacts triples = readTriples(in);
    std::string listing = listingOf(triples);
    EXPECT_EQ(triples.size(), 100001u);
    EXPECT_EQ(listing.find("NOT in the tree"), std::string::npos);
    const std::string top = "n0 { id=0 }\n"
                            "  | n1 { id=1 }\n"
                            "  |   | n3 { id=3 }\n";
    EXPECT_EQ(listing.substr(0, top.size()), top);
    EXPECT_NE(listing.find("| n33333 { id=33333 }\n"), std::string::npos);
}

using LedgerizeRun = DriverTest;

TEST_F(LedgerizeRun, WritesTheListingFile)
{
    writeFile(work / "g.rsf", "contain r c\n@_kind r class\ncalls c $_f\n");
    auto result = start(LEDGERIZE_PROGRAM, {"g.rsf", "g.tabula"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readFile(work / "g.tabula"), "r { kind=class }\n  | c { }\n  |   | calls f\n");
}

TEST_F(LedgerizeRun, TheInputNamedAsOutputIsReadBeforeItIsReplaced)
{
    writeFile(work / "g", "calls a b\n");
    EXPECT_EQ(start(LEDGERIZE_PROGRAM, {"g", "g"}).status, 0);
    EXPECT_EQ(readFile(work / "g"), "\nEdges/attributes NOT in the tree:\na\tcalls\tb\n");
}

TEST_F(LedgerizeRun, UsageAndStops)
{
    writeFile(work / "g.rsf", "contain r c\n");
    std::filesystem::create_directory(work / "dir");
    const std::string usage = "Usage: ledgerize fileRsf fileTabula\n"
                              "Inputs from fileRsf and outputs to fileTabula\n"
                              "Outputs the graph in TABULA (table of contents) format\n"
                              "Date: 8 Jan 2002\n";
    struct Case {
        Lines arguments;
        std::string out;
    };
    const Case cases[] = {
        {{}, usage},
        {{"g.rsf"}, usage},
        {{"g.rsf", "a", "b"}, usage},
        {{"missing.rsf", "out"}, "***Error [ledgerize]: Sorry, can't open input file 'missing.rsf'\n"},
        {{"g.rsf", "dir"}, "***Error [ledgerize]: Can't open output file 'dir'\n"},
        {{"g.rsf", "no/such/dir/out"},
         "***Error [ledgerize]: Can't open output file 'no/such/dir/out'\n***Error [ledgerize]: the folder "
         "no/such/dir cannot take a new file: No such file or directory\n"},
    };
    for (const Case &c : cases) {
        auto result = start(LEDGERIZE_PROGRAM, c.arguments);
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "ledgerize stopped: Quit #1\n");
    }
    EXPECT_EQ(workFiles(), (Lines{"dir", "g.rsf"}));
}

// A run that fails while it writes, or cannot read its input, leaves the
// old output (the input itself, when the two are one) byte for byte as it
// was and no new file beside it: a write past the size limit fails (EFBIG),
// or the limit's signal kills the program at that byte, or the input is a
// link to a file whose reading fails.
TEST_F(LedgerizeRun, AFailedRunLeavesTheOldOutputAsItWas)
{
    std::string rsf;
    for (int i = 0; i < 2000; ++i) {
        rsf += "calls f" + std::to_string(i) + " g" + std::to_string(i) + "\n";
    }
    const std::string oldListing = "old listing\n";
    const std::string cannotWrite = "***Error [ledgerize]: Can't write output file '";
    const std::string cannotRead = "***Error [ledgerize]: Sorry, can't read input file 'failing'\n";
    enum class Fault { writeError, killed, readError };
    struct Case {
        Fault fault;
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {Fault::writeError, "g.rsf", "g.rsf"},    {Fault::writeError, "g.rsf", "old.lst"},
        {Fault::killed, "g.rsf", "g.rsf"},        {Fault::killed, "g.rsf", "old.lst"},
        {Fault::readError, "failing", "failing"}, {Fault::readError, "failing", "old.lst"},
    };
    int number = 0;
    for (const Case &c : cases) {
        std::string name = "case " + std::to_string(number) + ": " + c.input + " " + c.output;
        setup.directory = work / std::to_string(number++);
        fs::create_directory(setup.directory);
        writeFile(setup.directory / "g.rsf", rsf);
        writeFile(setup.directory / "old.lst", oldListing);
        fs::create_symlink("/proc/self/mem", setup.directory / "failing");
        setup.fileSizeLimit.reset();
        if (c.fault != Fault::readError) setup.fileSizeLimit = 8192;
        setup.ignoreFileSizeSignal = c.fault == Fault::writeError;

        auto result = start(LEDGERIZE_PROGRAM, {c.input, c.output});
        switch (c.fault) {
        case Fault::writeError:
            EXPECT_EQ(result.status, 255) << name;
            EXPECT_EQ(result.out, cannotWrite + c.output + "'\n") << name;
            EXPECT_EQ(result.err, "ledgerize stopped: Quit #1\n") << name;
            break;
        case Fault::killed:
            EXPECT_EQ(result.signal, SIGXFSZ) << name;
            EXPECT_EQ(result.out, "") << name;
            EXPECT_EQ(result.err, "") << name;
            break;
        case Fault::readError:
            EXPECT_EQ(result.status, 255) << name;
            EXPECT_EQ(result.out, cannotRead) << name;
            EXPECT_EQ(result.err, "ledgerize stopped: Quit #1\n") << name;
            break;
        }
        EXPECT_EQ(directoryEntries(setup.directory), (Lines{"failing", "g.rsf", "old.lst"})) << name;
        // Whole files compared as one fact: a failure prints the case, not them.
        EXPECT_TRUE(readFile(setup.directory / "g.rsf") == rsf) << name;
        EXPECT_EQ(readFile(setup.directory / "old.lst"), oldListing) << name;
        EXPECT_EQ(fs::read_symlink(setup.directory / "failing"), "/proc/self/mem") << name;
    }
}

// Outputs that are not replaced: one the user may not write is refused
// though its folder would let a rename replace it; a device or standard
// output is written as it is.
TEST_F(LedgerizeRun, OutputsThatAreNotReplaced)
{
    writeFile(work / "g.rsf", "calls a b\n");
    writeFile(work / "ro.lst", "kept\n");
    chmod((work / "ro.lst").c_str(), 0444);
    const std::string listing = "\nEdges/attributes NOT in the tree:\na\tcalls\tb\n";

    // As root every file is writable: the run is made as nobody, in a folder
    // open to everyone, so only the file's own bits keep it.
    std::string program = LEDGERIZE_PROGRAM;
    std::vector<std::string> arguments = {"g.rsf", "ro.lst"};
    if (geteuid() == 0) {
        if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv";
        chmod(root.path().c_str(), 0755);
        chmod(work.c_str(), 0777);
        arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    }
    auto refused = runProgram(program, arguments, setup);
    EXPECT_EQ(refused.status, 255);
    EXPECT_EQ(refused.out, "***Error [ledgerize]: Can't open output file 'ro.lst'\n");
    EXPECT_EQ(readFile(work / "ro.lst"), "kept\n");

    auto toStandardOutput = start(LEDGERIZE_PROGRAM, {"g.rsf", "/dev/stdout"});
    EXPECT_EQ(toStandardOutput.status, 0);
    EXPECT_EQ(toStandardOutput.out, listing);
    if (fs::exists("/dev/full")) {
        auto full = start(LEDGERIZE_PROGRAM, {"g.rsf", "/dev/full"});
        EXPECT_EQ(full.status, 255);
        EXPECT_EQ(full.out, "***Error [ledgerize]: Can't write output file '/dev/full'\n");
    }
    EXPECT_EQ(workFiles(), (Lines{"g.rsf", "ro.lst"}));
}

// A node under 20,000 parents with 20,000 edges of its own: its edges are
// listed under the first parent, and each later parent writes it bare
// without going through them again (the benchmark times it).
TEST(Ledgerize, ANodeUnderManyParentsIsListedOnceWithItsEdges)
{
    const int count = 20000;
    std::string rsf;
    for (int i = 0; i < count; ++i) {
        rsf += "contain p" + std::to_string(i) + " x\n";
    }
    for (int i = 0; i < count; ++i) rsf += "e x y" + std::to_string(i) + "\n";
    std::string listing = listingOf(rsf);
    std::string expected = "p0 { }\n  | x { }\n";
    for (int i = 0; i < count; ++i) {
        expected += "  |   | e y" + std::to_string(i) + "\n";
    }
    for (int i = 1; i < count; ++i) {
        expected += "p" + std::to_string(i) + " { }\n  | x { }\n";
    }
    EXPECT_EQ(listing, expected);
}

// The listing in the fault table of every writing program.
TEST(LedgerizeWriteFaults, TheListing)
{
    FaultRows rows;
    std::string rsf;
    for (int i = 0; i < 3000; ++i) rsf += "contain root child_with_a_long_name_" + std::to_string(i) + "\n";
    WritingProgram p = rows.program(LEDGERIZE_PROGRAM, rsf, "in.rsf", "out.tabula");
    auto cannotWrite = [](const RunNames &n) {
        return Said{"***Error [ledgerize]: Can't write output file '" + n.out + "'\n",
                    stopReport("ledgerize")};
    };
    p.writeFails = cannotWrite;
    p.lastWriteFails = cannotWrite;
    p.readFails = [](const RunNames &n) {
        return Said{"***Error [ledgerize]: Sorry, can't read input file '" + n.in + "'\n",
                    stopReport("ledgerize")};
    };
    p.folderRefuses = listingRefused("ledgerize");
    test_support::expectWriteFaultsHandled(p);
}

}  // namespace
}  // namespace pipeline
