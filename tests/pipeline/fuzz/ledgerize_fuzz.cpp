// libFuzzer target over ledgerize's reading and listing: any text is read as
// RSF triples and listed.  Every triple read is accounted for exactly once:
// as a line of the trees (a node's attribute or edge, or the containment
// triple that led to a node) or as a line of the remainder section, so the
// listing never loses nor repeats a fact.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "ledgerize.hpp"

namespace {

// Lines of the remainder section, or 0 when it is absent.
size_t remainderLines(std::string_view listing) {
  constexpr std::string_view header = "\nEdges/attributes NOT in the tree:\n";
  size_t at = listing.find(header);
  if (at == std::string_view::npos) return 0;
  size_t lines = 0;
  for (char c : listing.substr(at + header.size())) lines += c == '\n';
  return lines;
}

std::string listingOf(const std::vector<pipeline::RsfTriple>& triples) {
  std::ostringstream listing;
  pipeline::writeTableOfContents(triples, listing);
  return listing.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::stringbuf text(std::string(reinterpret_cast<const char*>(data), size),
                      std::ios::in);
  pipeline::TokenInput in{&text};
  std::vector<pipeline::RsfTriple> triples = pipeline::readTriples(in);
  if (!pipeline::atEnd(in)) std::abort();
  std::string listing = listingOf(triples);
  // A listing of the same triples is the same listing.
  if (listingOf(triples) != listing) std::abort();
  if (triples.empty() && !listing.empty()) std::abort();
  // Quoted fields may hold newlines; without them a remainder line is a
  // triple.
  bool oneLineFields = true;
  for (const pipeline::RsfTriple& t : triples)
    for (const std::string* field : {&t.rel, &t.src, &t.trg})
      oneLineFields = oneLineFields && field->find('\n') == std::string::npos;
  if (oneLineFields && remainderLines(listing) > triples.size()) {
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    std::fputs("\n-- more remainder lines than triples\n", stdout);
    std::abort();
  }
  return 0;
}
