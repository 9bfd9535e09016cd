#include "ledgerize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <string_view>

#include "file_buffers.h"

namespace pipeline {

namespace {

// Arc relations of the Ririra schema that nest like "contain" but are
// labelled with their name.
constexpr std::array<std::string_view, 11> ririraContain = {
    "cArcSon",     "cArcTrue",    "cArcFalse",   "cArcOpd",    "cImport",     "cArcCond",
    "cArcForInit", "cArcForIncr", "cArcInitVal", "cArcBitDim", "cArcArrayDim"};

bool isRiriraContain(std::string_view rel)
{
    return std::find(ririraContain.begin(), ririraContain.end(), rel) != ririraContain.end();
}

// An attribute relation is "@_" followed by at least one character.
bool isAttr(std::string_view rel)
{
    return rel.size() > 2 && rel.substr(0, 2) == "@_";
}

std::string_view deleteDollar(std::string_view target)
{
    if (target.size() >= 2 && target.substr(0, 2) == "$_") target.remove_prefix(2);
    return target;
}

// What a name means as a relation, worked out once per name.
enum class Relation : std::uint8_t { unknown, other, attribute, contain, arc };

Relation relationOf(std::string_view rel)
{
    if (rel == "contain") return Relation::contain;
    if (isRiriraContain(rel)) return Relation::arc;
    return isAttr(rel) ? Relation::attribute : Relation::other;
}

using NameId = RsfFacts::NameId;

// The triples with an index by source, and which of them are listed. A
// flag of its own marks a listed triple, so no relation name is taken for
// a mark.
struct TripleIndex {
    const RsfFacts &facts;
    std::vector<Relation> relations;  // by name number
    // Triple numbers by source: those of source n, in input order, from
    // bySource[firstBySource[n]] up to bySource[firstBySource[n + 1]].
    std::vector<std::uint32_t> firstBySource;
    std::vector<std::uint32_t> bySource;
    // A node whose listing has ended has every triple of its list listed; it
    // is then written again without going through them, which made a node
    // under many parents quadratic.
    std::vector<bool> finished;
    std::vector<bool> listed;
    std::size_t listedCount = 0;

    explicit TripleIndex(const RsfFacts &all)
        : facts(all), relations(all.nameCount(), Relation::unknown), firstBySource(all.nameCount() + 1, 0),
          bySource(all.size()), finished(all.nameCount(), false), listed(all.size(), false)
    {
        for (const RsfFacts::Triple &triple : all.triples()) {
            ++firstBySource[triple.src + 1];
            if (relations[triple.rel] == Relation::unknown)
                relations[triple.rel] = relationOf(all.name(triple.rel));
        }
        for (std::size_t n = 1; n < firstBySource.size(); ++n) firstBySource[n] += firstBySource[n - 1];
        std::vector<std::uint32_t> next(firstBySource.begin(), firstBySource.end() - 1);
        for (std::uint32_t j = 0; j < all.size(); ++j) bySource[next[all.triples()[j].src]++] = j;
    }

    const RsfFacts::Triple &triple(std::uint32_t j) const { return facts.triples()[j]; }
    Relation relation(std::uint32_t j) const { return relations[triple(j).rel]; }
    std::string_view name(NameId id) const { return facts.name(id); }

    std::span<const std::uint32_t> from(NameId node) const
    {
        if (finished[node]) return {};
        return std::span<const std::uint32_t>(bySource).subspan(firstBySource[node], firstBySource[node + 1] -
                                                                                         firstBySource[node]);
    }

    void markListed(std::uint32_t j)
    {
        if (!listed[j]) ++listedCount;
        listed[j] = true;
    }
};

// The nodes of the containment triples in order of first appearance (each
// triple's source before its target); those that are no triple's target
// are the roots.
std::vector<NameId> findRoots(const TripleIndex &index)
{
    std::vector<NameId> nodesInTree;
    std::vector<bool> inTree(index.facts.nameCount(), false);
    std::vector<std::uint32_t> noParents(index.facts.nameCount(), 0);
    auto addToNodesInTree = [&](NameId node) {
        if (!inTree[node]) nodesInTree.push_back(node);
        inTree[node] = true;
    };
    for (const RsfFacts::Triple &triple : index.facts.triples()) {
        Relation relation = index.relations[triple.rel];
        if (relation != Relation::contain && relation != Relation::arc) continue;
        addToNodesInTree(triple.src);
        addToNodesInTree(triple.trg);
        ++noParents[triple.trg];
    }
    std::vector<NameId> roots;
    for (NameId node : nodesInTree) {
        if (noParents[node] == 0) roots.push_back(node);
    }
    return roots;
}

// Writes the listing as it is made: a line's indentation grows with its
// depth, so a deep tree's listing is far larger than the graph, and only the
// indentation of the deepest line reached is kept.
class ListingWriter {
public:
    explicit ListingWriter(std::ostream &out) : out_(out) {}

    ListingWriter &operator<<(std::string_view text)
    {
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
    }

    void indent(std::size_t depth)
    {
        constexpr std::string_view level = "  | ";
        while (indentation_.size() < depth * level.size()) indentation_ += level;
        *this << std::string_view(indentation_).substr(0, depth * level.size());
    }

private:
    std::ostream &out_;
    std::string indentation_;
};

// One node's line with its attributes, which are then listed. An arc's
// line begins with the arc's name and a blank.
void writeNodeLine(ListingWriter &out, TripleIndex &index, std::size_t depth, std::string_view arc,
                   NameId node)
{
    out.indent(depth);
    if (!arc.empty()) out << arc << " ";
    out << index.name(node) << " { ";
    for (std::uint32_t j : index.from(node)) {
        if (index.listed[j] || index.relation(j) != Relation::attribute) continue;
        const RsfFacts::Triple &triple = index.triple(j);
        out << index.name(triple.rel).substr(2) << "=" << index.name(triple.trg) << " ";
        index.markListed(j);
    }
    out << "}\n";
}

// Lists the tree below root, depth first in input order. An explicit stack
// keeps deep containment chains off the call stack. A containment triple is
// marked listed before the walk descends through it, so a cycle below a
// root is listed once and then ends.
void listTree(ListingWriter &out, TripleIndex &index, NameId root)
{
    struct Visit {
        NameId node;
        std::size_t depth;
        std::size_t next;  // position in the node's triples
    };
    writeNodeLine(out, index, 0, "", root);
    std::vector<Visit> stack{{root, 0, 0}};
    while (!stack.empty()) {
        Visit &visit = stack.back();
        // An inner visit of the same node (a containment cycle) may have
        // finished the node under this one.
        std::span<const std::uint32_t> edges = index.from(visit.node);
        while (visit.next < edges.size() && (index.listed[edges[visit.next]] ||
                                             index.relation(edges[visit.next]) == Relation::attribute)) {
            ++visit.next;
        }
        if (visit.next >= edges.size()) {
            index.finished[visit.node] = true;
            stack.pop_back();
            continue;
        }
        std::uint32_t j = edges[visit.next++];
        const RsfFacts::Triple &triple = index.triple(j);
        std::size_t depth = visit.depth + 1;
        index.markListed(j);
        switch (index.relation(j)) {
        case Relation::contain:
        case Relation::arc:
            writeNodeLine(out, index, depth,
                          index.relation(j) == Relation::arc ? index.name(triple.rel) : std::string_view(),
                          triple.trg);
            stack.push_back({triple.trg, depth, 0});  // visit is no longer valid
            break;
        default:
            out.indent(depth);
            out << index.name(triple.rel) << " " << deleteDollar(index.name(triple.trg)) << "\n";
        }
    }
}

void listRemainder(ListingWriter &out, const TripleIndex &index)
{
    if (index.listedCount == index.facts.size()) return;
    out << "\nEdges/attributes NOT in the tree:\n";
    for (std::uint32_t j = 0; j < index.facts.size(); ++j) {
        if (index.listed[j]) continue;
        const RsfFacts::Triple &triple = index.triple(j);
        out << index.name(triple.src) << "\t" << index.name(triple.rel) << "\t" << index.name(triple.trg)
            << "\n";
    }
}

const std::array<std::string_view, 4> ledgerizeUsage = {
    "Usage: ledgerize fileRsf fileTabula", "Inputs from fileRsf and outputs to fileTabula",
    "Outputs the graph in TABULA (table of contents) format", "Date: 8 Jan 2002"};

}  // namespace

RsfTriple RsfFacts::operator[](std::size_t j) const
{
    const Triple &triple = triples_[j];
    return {names_[triple.rel], names_[triple.src], names_[triple.trg]};
}

void RsfFacts::add(std::string_view rel, std::string_view src, std::string_view trg)
{
    triples_.push_back({intern(rel), intern(src), intern(trg)});
}

// The name's number, the name stored when it is new. An open-addressing
// table, kept at most half full, finds it by its hash; a slot holds the low
// half of the name's hash beside its number + 1 (0: empty), so that a probe
// compares names only where the hashes agree, and growing needs no hash
// again (a table has fewer than 2^32 slots).
RsfFacts::NameId RsfFacts::intern(std::string_view name)
{
    if (2 * (names_.size() + 1) > slots_.size()) growSlots();
    std::uint64_t hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
    std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        std::uint64_t entry = slots_[slot];
        if (entry == 0) {
            NameId id = static_cast<NameId>(names_.size());
            names_.push_back(store(name));
            slots_[slot] = hash << 32 | (id + 1);
            return id;
        }
        NameId id = static_cast<NameId>(entry) - 1;
        if (entry >> 32 == hash && names_[id] == name) return id;
    }
}

void RsfFacts::growSlots()
{
    std::vector<std::uint64_t> slots(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    std::size_t mask = slots.size() - 1;
    for (std::uint64_t entry : slots_) {
        if (entry == 0) continue;
        std::size_t slot = (entry >> 32) & mask;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = entry;
    }
    slots_ = std::move(slots);
}

// The names' characters lie in blocks that never move, so a name's view
// stays valid as more are added.
std::string_view RsfFacts::store(std::string_view name)
{
    constexpr std::size_t blockSize = 1 << 16;
    if (name.size() > blockLeft_) {
        std::size_t size = std::max(blockSize, name.size());
        blocks_.push_back(std::make_unique<char[]>(size));
        blockEnd_ = blocks_.back().get();
        blockLeft_ = size;
    }
    char *stored = blockEnd_;
    std::copy(name.begin(), name.end(), stored);
    blockEnd_ += name.size();
    blockLeft_ -= name.size();
    return {stored, name.size()};
}

RsfFacts readTriples(TokenInput &in)
{
    RsfFacts facts;
    std::string rel;
    std::string src;
    while (skipWhiteSpace(in)) {
        rel = readToken(in);
        src = readToken(in);
        facts.add(rel, src, readToken(in));
    }
    return facts;
}

void writeTableOfContents(const RsfFacts &facts, std::ostream &out)
{
    TripleIndex index(facts);
    ListingWriter listing(out);
    for (NameId root : findRoots(index)) listTree(listing, index, root);
    listRemainder(listing, index);
}

RunEnd runLedgerize(const std::vector<std::string> &arguments, std::ostream &messages)
{
    if (arguments.size() != 2) {
        for (std::string_view line : ledgerizeUsage) messages << line << '\n';
        return RunEnd::quit;
    }
    const std::string &inFileName = arguments[0];
    const std::string &outFileName = arguments[1];
    InputBuffer inFile;
    if (!inFile.open(inFileName)) {
        messages << "***Error [ledgerize]: Sorry, can't open input file '" << inFileName << "'\n";
        return RunEnd::quit;
    }
    // The triples are read before the output is opened, so that naming the
    // input file as the output does not empty it unread, and a read error
    // leaves no listing behind.
    TokenInput in{&inFile};
    RsfFacts triples = readTriples(in);
    if (inFile.readFailed()) {
        messages << "***Error [ledgerize]: Sorry, can't read input file '" << inFileName << "'\n";
        return RunEnd::quit;
    }
    // The listing takes the output's place only once it is whole: a failed
    // write, a stop or a signal leaves the old file (the input, when the two
    // are one) as it was.
    support::OutputFile outFile;
    if (!outFile.open(outFileName)) {
        messages << "***Error [ledgerize]: Can't open output file '" << outFileName << "'\n";
        sayWhichFolderRefused("ledgerize", outFile, messages);
        return RunEnd::quit;
    }
    OutputBuffer listing(outFile);
    std::ostream out(&listing);
    writeTableOfContents(triples, out);
    if (!listing.keep()) {
        messages << "***Error [ledgerize]: Can't write output file '" << outFileName << "'\n";
        return RunEnd::quit;
    }
    return RunEnd::done;
}

}  // namespace pipeline
