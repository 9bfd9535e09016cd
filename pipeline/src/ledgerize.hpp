#pragma once
// ledgerize: an RSF fact file (relation, source, target triples) written as
// an indented table-of-contents listing. Every containment tree is listed
// from its root down, each node with its attributes and other edges; the
// triples that no tree covers follow in a remainder section.

#include <iosfwd>
#include <string>
#include <vector>

#include "frame.hpp"
#include "tokens.hpp"

namespace pipeline {

struct RsfTriple {
  std::string rel;
  std::string src;
  std::string trg;
};

// Reads triples up to the end of input; a token missing at the end reads as
// the empty string.
std::vector<RsfTriple> readTriples(TokenInput& in);

// Writes the whole listing of the triples, in input order, as it is made:
// the memory used is bounded by the triples, not by the listing.
void writeTableOfContents(const std::vector<RsfTriple>& triples,
                          std::ostream& out);

// A whole run: ledgerize fileRsf fileTabula.
Outcome runLedgerize(const std::vector<std::string>& arguments,
                     std::ostream& messages);

}  // namespace pipeline
