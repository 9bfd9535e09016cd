#include "ledgerize.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <unordered_map>

#include "input_file.hpp"
#include "output_file.hpp"

namespace pipeline {

namespace {

// Arc relations of the Ririra schema that nest like "contain" but are
// labelled with their name.
constexpr std::array<std::string_view, 11> ririraContain = {
    "cArcSon",     "cArcTrue",   "cArcFalse",   "cArcOpd",
    "cImport",     "cArcCond",   "cArcForInit", "cArcForIncr",
    "cArcInitVal", "cArcBitDim", "cArcArrayDim"};

bool isRiriraContain(std::string_view rel) {
  return std::find(ririraContain.begin(), ririraContain.end(), rel) !=
         ririraContain.end();
}

bool isContainment(std::string_view rel) {
  return rel == "contain" || isRiriraContain(rel);
}

// An attribute relation is "@_" followed by at least one character.
bool isAttr(std::string_view rel) {
  return rel.size() > 2 && rel.substr(0, 2) == "@_";
}

std::string_view deleteDollar(std::string_view target) {
  if (target.size() >= 2 && target.substr(0, 2) == "$_")
    target.remove_prefix(2);
  return target;
}

// The triples with an index by source, and which of them are listed. A
// flag of its own marks a listed triple, so no relation name is taken for
// a mark.
struct TripleIndex {
  const std::vector<RsfTriple>& triples;
  // Triple numbers by source name, each list in input order. Once a node's
  // listing has ended every triple of its list is listed, and the list is
  // emptied: a node under many parents is then written again without
  // scanning its triples each time, which made such inputs quadratic.
  std::unordered_map<std::string_view, std::vector<std::uint32_t>> bySource;
  std::vector<bool> listed;
  std::size_t listedCount = 0;

  explicit TripleIndex(const std::vector<RsfTriple>& all)
      : triples(all), listed(all.size(), false) {
    for (std::uint32_t j = 0; j < all.size(); ++j) {
      bySource[all[j].src].push_back(j);
    }
  }

  const std::vector<std::uint32_t>& from(std::string_view node) const {
    static const std::vector<std::uint32_t> none;
    auto found = bySource.find(node);
    return found == bySource.end() ? none : found->second;
  }

  void forgetListed(std::string_view node) {
    auto found = bySource.find(node);
    if (found != bySource.end()) found->second.clear();
  }

  void markListed(std::uint32_t j) {
    if (!listed[j]) ++listedCount;
    listed[j] = true;
  }
};

// The nodes of the containment triples in order of first appearance (each
// triple's source before its target); those that are no triple's target
// are the roots.
std::vector<std::string_view> findRoots(const std::vector<RsfTriple>& triples) {
  std::vector<std::string_view> nodesInTree;
  std::unordered_map<std::string_view, std::uint32_t> noParents;
  auto addToNodesInTree = [&](std::string_view node) -> std::uint32_t& {
    auto [entry, added] = noParents.try_emplace(node, 0);
    if (added) nodesInTree.push_back(node);
    return entry->second;
  };
  for (const RsfTriple& triple : triples) {
    if (!isContainment(triple.rel)) continue;
    addToNodesInTree(triple.src);
    ++addToNodesInTree(triple.trg);
  }
  std::vector<std::string_view> roots;
  for (std::string_view node : nodesInTree) {
    if (noParents[node] == 0) roots.push_back(node);
  }
  return roots;
}

// Writes the listing as it is made: a line's indentation grows with its
// depth, so a deep tree's listing is far larger than the graph, and only the
// indentation of the deepest line reached is kept.
class ListingWriter {
 public:
  explicit ListingWriter(std::ostream& out) : out_(out) {}

  ListingWriter& operator<<(std::string_view text) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    return *this;
  }

  void indent(std::size_t depth) {
    constexpr std::string_view level = "  | ";
    while (indentation_.size() < depth * level.size()) indentation_ += level;
    *this << std::string_view(indentation_).substr(0, depth * level.size());
  }

 private:
  std::ostream& out_;
  std::string indentation_;
};

// One node's line with its attributes, which are then listed.
void writeNodeLine(ListingWriter& out, TripleIndex& index, std::size_t depth,
                   std::string_view label, std::string_view node) {
  out.indent(depth);
  out << label << node << " { ";
  for (std::uint32_t j : index.from(node)) {
    const RsfTriple& triple = index.triples[j];
    if (index.listed[j] || !isAttr(triple.rel)) continue;
    out << std::string_view(triple.rel).substr(2) << "=" << triple.trg << " ";
    index.markListed(j);
  }
  out << "}\n";
}

// Lists the tree below root, depth first in input order. An explicit stack
// keeps deep containment chains off the call stack. A containment triple is
// marked listed before the walk descends through it, so a cycle below a
// root is listed once and then ends.
void listTree(ListingWriter& out, TripleIndex& index, std::string_view root) {
  struct Visit {
    std::string_view node;
    std::size_t depth;
    std::size_t next;  // position in the node's triples
  };
  writeNodeLine(out, index, 0, "", root);
  std::vector<Visit> stack{{root, 0, 0}};
  while (!stack.empty()) {
    Visit& visit = stack.back();
    const std::vector<std::uint32_t>& edges = index.from(visit.node);
    // An inner visit of the same node (a containment cycle) may have emptied
    // the list under this one.
    while (visit.next < edges.size() &&
           (index.listed[edges[visit.next]] ||
            isAttr(index.triples[edges[visit.next]].rel))) {
      ++visit.next;
    }
    if (visit.next >= edges.size()) {
      std::string_view done = visit.node;
      stack.pop_back();
      index.forgetListed(done);
      continue;
    }
    std::uint32_t j = edges[visit.next++];
    const RsfTriple& triple = index.triples[j];
    std::size_t depth = visit.depth + 1;
    index.markListed(j);
    if (isContainment(triple.rel)) {
      std::string label =
          triple.rel == "contain" ? std::string() : triple.rel + " ";
      writeNodeLine(out, index, depth, label, triple.trg);
      stack.push_back({triple.trg, depth, 0});  // visit is no longer valid
    } else {
      out.indent(depth);
      out << triple.rel << " " << deleteDollar(triple.trg) << "\n";
    }
  }
}

void listRemainder(ListingWriter& out, const TripleIndex& index) {
  if (index.listedCount == index.triples.size()) return;
  out << "\nEdges/attributes NOT in the tree:\n";
  for (std::size_t j = 0; j < index.triples.size(); ++j) {
    if (index.listed[j]) continue;
    const RsfTriple& triple = index.triples[j];
    out << triple.src << "\t" << triple.rel << "\t" << triple.trg << "\n";
  }
}

const std::array<std::string_view, 4> ledgerizeUsage = {
    "Usage: ledgerize fileRsf fileTabula",
    "Inputs from fileRsf and outputs to fileTabula",
    "Outputs the graph in TABULA (table of contents) format",
    "Date: 8 Jan 2002"};

}  // namespace

std::vector<RsfTriple> readTriples(TokenInput& in) {
  std::vector<RsfTriple> triples;
  while (skipWhiteSpace(in)) {
    RsfTriple triple;
    triple.rel = readToken(in);
    triple.src = readToken(in);
    triple.trg = readToken(in);
    triples.push_back(std::move(triple));
  }
  return triples;
}

void writeTableOfContents(const std::vector<RsfTriple>& triples,
                          std::ostream& out) {
  TripleIndex index(triples);
  ListingWriter listing(out);
  for (std::string_view root : findRoots(triples))
    listTree(listing, index, root);
  listRemainder(listing, index);
}

Outcome runLedgerize(const std::vector<std::string>& arguments,
                     std::ostream& messages) {
  if (arguments.size() != 2) {
    for (std::string_view line : ledgerizeUsage) messages << line << '\n';
    return Outcome::quit;
  }
  const std::string& inFileName = arguments[0];
  const std::string& outFileName = arguments[1];
  InputFile inFile;
  if (!inFile.open(inFileName)) {
    messages << "***Error [ledgerize]: Sorry, can't open input file '"
             << inFileName << "'\n";
    return Outcome::quit;
  }
  // The triples are read before the output is opened, so that naming the
  // input file as the output does not empty it unread, and a read error
  // leaves no listing behind.
  TokenInput in{&inFile};
  std::vector<RsfTriple> triples = readTriples(in);
  if (inFile.readFailed()) {
    messages << "***Error [ledgerize]: Sorry, can't read input file '"
             << inFileName << "'\n";
    return Outcome::quit;
  }
  // The listing takes the output's name only once it is whole: a failed
  // write, a stop or a signal leaves the old file (the input, when the two
  // are one) as it was.
  OutputFile outFile;
  if (!outFile.open(outFileName)) {
    messages << "***Error [ledgerize]: Can't open output file '" << outFileName
             << "'\n";
    return Outcome::quit;
  }
  std::ostream out(&outFile);
  writeTableOfContents(triples, out);
  if (!outFile.commit()) {
    messages << "***Error [ledgerize]: Can't write output file '" << outFileName
             << "'\n";
    return Outcome::quit;
  }
  return Outcome::done;
}

}  // namespace pipeline
