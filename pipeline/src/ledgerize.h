#pragma once
// ledgerize: an RSF fact file (relation, source, target triples) written as
// an indented table-of-contents listing. Every containment tree is listed
// from its root down, each node with its attributes and other edges; the
// triples that no tree covers follow in a remainder section.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frame.h"
#include "tokens.h"

namespace pipeline {

// One triple as its three names.
struct RsfTriple {
    std::string_view rel;
    std::string_view src;
    std::string_view trg;
};

// The triples of an RSF file in input order. Each distinct name is held
// once and a triple as the numbers of its three names, so that a million
// triples take tens of megabytes, grow without moving a name, and the
// listing follows a node to its triples by number instead of by name.
class RsfFacts {
public:
    using NameId = std::uint32_t;
    struct Triple {
        NameId rel;
        NameId src;
        NameId trg;
    };

    void add(std::string_view rel, std::string_view src, std::string_view trg);
    std::size_t size() const { return triples_.size(); }
    RsfTriple operator[](std::size_t j) const;
    const std::vector<Triple> &triples() const { return triples_; }
    std::size_t nameCount() const { return names_.size(); }
    std::string_view name(NameId id) const { return names_[id]; }

private:
    NameId intern(std::string_view name);
    std::string_view store(std::string_view name);
    void growSlots();

    std::vector<std::unique_ptr<char[]>> blocks_;  // the names' characters
    std::size_t blockLeft_ = 0;
    char *blockEnd_ = nullptr;
    std::vector<std::string_view> names_;
    std::vector<std::uint64_t> slots_;  // hash and name number, see intern
    std::vector<Triple> triples_;
};

// Reads triples up to the end of input; a token missing at the end reads as
// the empty string.
RsfFacts readTriples(TokenInput &in);

// Writes the whole listing of the triples, in input order, as it is made:
// the memory used is bounded by the triples, not by the listing.
void writeTableOfContents(const RsfFacts &facts, std::ostream &out);

// A whole run: ledgerize fileRsf fileTabula.
RunEnd runLedgerize(const std::vector<std::string> &arguments, std::ostream &messages);

}  // namespace pipeline
