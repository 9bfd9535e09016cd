#include "ledgerize.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "driver_fixture.hpp"

namespace pipeline {
namespace {

using namespace pipeline_test;

std::string listingOf(const std::vector<RsfTriple>& triples) {
  std::ostringstream listing;
  writeTableOfContents(triples, listing);
  return listing.str();
}

std::string listingOf(const std::string& rsf) {
  std::stringbuf buffer(rsf);
  TokenInput in{&buffer};
  return listingOf(readTriples(in));
}

TEST(Ledgerize, ReadsTriplesWithQuotesAndAShortLastOne) {
  std::stringbuf buffer("contain \"a b\" c\n@_x c\n");
  TokenInput in{&buffer};
  std::vector<RsfTriple> triples = readTriples(in);
  ASSERT_EQ(triples.size(), 2u);
  EXPECT_EQ(triples[0].src, "a b");
  EXPECT_EQ(triples[1].rel, "@_x");
  EXPECT_EQ(triples[1].src, "c");
  EXPECT_EQ(triples[1].trg, "");
}

TEST(Ledgerize, SmallTree) {
  EXPECT_EQ(listingOf("contain r c\n@_kind r class\ncalls c $_f\n"),
            "r { kind=class }\n"
            "  | c { }\n"
            "  |   | calls f\n");
}

TEST(Ledgerize, TwoParentsArcLabelsLateAttributesAndARemainder) {
  const std::string rsf =
      "contain p1 x\n"
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
  EXPECT_EQ(listingOf(rsf),
            "p1 { }\n"
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

TEST(Ledgerize, EveryRiriraArcNestsWithItsLabel) {
  std::string rsf = "contain r n0\n";
  std::string expected = "r { }\n  | n0 { }\n";
  const Lines arcs = {"cArcSon",     "cArcTrue",   "cArcFalse",   "cArcOpd",
                      "cImport",     "cArcCond",   "cArcForInit", "cArcForIncr",
                      "cArcInitVal", "cArcBitDim", "cArcArrayDim"};
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    rsf += arcs[i] + " n0 m" + std::to_string(i) + "\n";
    expected += "  |   | " + arcs[i] + " m" + std::to_string(i) + " { }\n";
  }
  EXPECT_EQ(listingOf(rsf), expected);
}

TEST(Ledgerize, ACycleBelowARootIsListedOnceAndAnUnreachedOneIsRemainder) {
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

TEST(Ledgerize, ACycleListsTheRestOfANodeOnItsInnerVisit) {
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

TEST(Ledgerize, NoTriplesNoListing) {
  EXPECT_EQ(listingOf(""), "");
  EXPECT_EQ(listingOf("calls a b\n"),
            "\nEdges/attributes NOT in the tree:\na\tcalls\tb\n");
}

// 100,000 triples, more than any fixed table would hold: a binary
// containment tree with an attribute and a call per node. Its time is a
// figure of the benchmark (tests/pipeline/bench).
TEST(Ledgerize, ManyTriplesAreAllListed) {
  const int nodes = 33334;
  std::string rsf;
  for (int i = 1; i < nodes; ++i) {
    rsf += "contain n" + std::to_string((i - 1) / 2) + " n" +
           std::to_string(i) + "\n";
  }
  for (int i = 0; i < nodes; ++i) {
    rsf += "@_id n" + std::to_string(i) + " " + std::to_string(i) + "\n";
    rsf += "calls n" + std::to_string(i) + " n0\n";
  }
  std::stringbuf buffer(rsf);
  TokenInput in{&buffer};
  std::vector<RsfTriple> triples = readTriples(in);
  std::string listing = listingOf(triples);
  EXPECT_EQ(triples.size(), 100001u);
  EXPECT_EQ(listing.find("NOT in the tree"), std::string::npos);
  const std::string top =
      "n0 { id=0 }\n"
      "  | n1 { id=1 }\n"
      "  |   | n3 { id=3 }\n";
  EXPECT_EQ(listing.substr(0, top.size()), top);
  EXPECT_NE(listing.find("| n33333 { id=33333 }\n"), std::string::npos);
}

using LedgerizeRun = DriverTest;

TEST_F(LedgerizeRun, WritesTheListingFile) {
  writeFile(work / "g.rsf", "contain r c\n@_kind r class\ncalls c $_f\n");
  auto result = start(LEDGERIZE_PROGRAM, {"g.rsf", "g.tabula"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(readFile(work / "g.tabula"),
            "r { kind=class }\n  | c { }\n  |   | calls f\n");
}

TEST_F(LedgerizeRun, TheInputNamedAsOutputIsReadBeforeItIsReplaced) {
  writeFile(work / "g", "calls a b\n");
  EXPECT_EQ(start(LEDGERIZE_PROGRAM, {"g", "g"}).status, 0);
  EXPECT_EQ(readFile(work / "g"),
            "\nEdges/attributes NOT in the tree:\na\tcalls\tb\n");
}

TEST_F(LedgerizeRun, UsageAndStops) {
  writeFile(work / "g.rsf", "contain r c\n");
  std::filesystem::create_directory(work / "dir");
  const std::string usage =
      "Usage: ledgerize fileRsf fileTabula\n"
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
      {{"missing.rsf", "out"},
       "***Error [ledgerize]: Sorry, can't open input file 'missing.rsf'\n"},
      {{"g.rsf", "dir"},
       "***Error [ledgerize]: Can't open output file 'dir'\n"},
      {{"g.rsf", "no/such/dir/out"},
       "***Error [ledgerize]: Can't open output file 'no/such/dir/out'\n"},
  };
  for (const Case& c : cases) {
    auto result = start(LEDGERIZE_PROGRAM, c.arguments);
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "ledgerize stopped: Quit #1\n");
  }
  EXPECT_EQ(workFiles(), (Lines{"dir", "g.rsf"}));
}

// A node under 20,000 parents with 20,000 edges of its own: its edges are
// listed under the first parent, and each later parent writes it bare
// without going through them again (the benchmark times it).
TEST(Ledgerize, ANodeUnderManyParentsIsListedOnceWithItsEdges) {
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

}  // namespace
}  // namespace pipeline
