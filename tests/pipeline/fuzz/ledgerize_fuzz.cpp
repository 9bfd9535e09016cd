// libFuzzer target over ledgerize's reading and listing, and over a whole
// run through real files: any text is read as RSF triples and listed,
// twice, to the same listing. Every triple read is
// accounted for exactly once: as a line of the trees (a node's attribute or
// edge, or the containment triple that led to a node) or as a line of the
// remainder section, so the listing never loses nor repeats a fact. To read
// the listing back, the triples are listed again with plain names: every
// node name becomes n<k>, every relation other than a containment one a name
// of its own triple (@_a<j> for an attribute, r<j> for any other), which
// keeps the shape of the trees and makes every line say which triple it is.
// Then the text is a file that ledgerize lists into itself under a file size
// limit that the input chooses (a write past it fails): the run either puts
// the whole listing in the file's place or fails with its message and leaves
// the file byte for byte as it was, and in either case nothing else in its
// folder. The folder is made and removed in each run.
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "ledgerize.h"

namespace {

using pipeline::RsfFacts;
using pipeline::RsfTriple;
using Fact = std::tuple<std::string, std::string, std::string>;  // src rel trg

constexpr std::array<std::string_view, 11> arcRelations = {
    "cArcSon",     "cArcTrue",    "cArcFalse",   "cArcOpd",    "cImport",     "cArcCond",
    "cArcForInit", "cArcForIncr", "cArcInitVal", "cArcBitDim", "cArcArrayDim"};

constexpr std::string_view level = "  | ";
constexpr std::string_view remainderHeader = "\nEdges/attributes NOT in the tree:\n";

bool isArc(std::string_view rel)
{
    return std::find(arcRelations.begin(), arcRelations.end(), rel) != arcRelations.end();
}

std::string listingOf(const RsfFacts &triples)
{
    std::ostringstream listing;
    pipeline::writeTableOfContents(triples, listing);
    return listing.str();
}

[[noreturn]] void fail(const std::string &listing, const char *why)
{
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    std::printf("\n-- %s\n", why);
    std::fflush(stdout);
    std::abort();
}

RsfFacts withPlainNames(const RsfFacts &triples)
{
    std::map<std::string, std::string, std::less<>> names;
    auto plain = [&](std::string_view name) {
        auto [entry, added] = names.try_emplace(std::string(name));
        if (added) entry->second = "n" + std::to_string(names.size());
        return entry->second;
    };
    RsfFacts plainTriples;
    for (std::size_t j = 0; j < triples.size(); ++j) {
        RsfTriple t = triples[j];
        std::string rel(t.rel);
        if (rel.size() > 2 && rel.starts_with("@_")) {
            rel = "@_a" + std::to_string(j);
        } else if (rel != "contain" && !isArc(rel)) {
            rel = "r" + std::to_string(j);
        }
        plainTriples.add(rel, plain(t.src), plain(t.trg));
    }
    return plainTriples;
}

// The triples that a listing of plain-named triples shows, from its lines.
std::vector<Fact> factsOf(const std::string &listing)
{
    std::vector<Fact> facts;
    std::size_t header = listing.find(remainderHeader);
    std::string_view trees = std::string_view(listing).substr(0, header);
    std::vector<std::string> path;  // the node of each depth on the way down
    std::istringstream treeLines{std::string(trees)};
    for (std::string line; std::getline(treeLines, line);) {
        std::string_view rest = line;
        std::size_t depth = 0;
        while (rest.starts_with(level)) {
            rest.remove_prefix(level.size());
            ++depth;
        }
        if (depth > path.size()) fail(listing, "a line deeper than its parent");
        path.resize(depth);
        std::size_t brace = rest.find(" { ");
        if (brace == std::string_view::npos) {  // an edge: rel target
            std::size_t blank = rest.find(' ');
            if (depth == 0 || blank == std::string_view::npos) {
                fail(listing, "an edge line outside a tree");
            }
            facts.emplace_back(path.back(), std::string(rest.substr(0, blank)),
                               std::string(rest.substr(blank + 1)));
            continue;
        }
        std::string_view head = rest.substr(0, brace);
        std::string node(head.substr(head.find(' ') + 1));  // after an arc label
        if (depth > 0) {
            std::size_t blank = head.find(' ');
            std::string rel =
                blank == std::string_view::npos ? "contain" : std::string(head.substr(0, blank));
            facts.emplace_back(path.back(), rel, node);
        }
        std::string_view attributes = rest.substr(brace + 3);
        if (!attributes.ends_with("}")) fail(listing, "a node line without }");
        attributes.remove_suffix(1);
        while (!attributes.empty()) {
            std::size_t equals = attributes.find('=');
            std::size_t blank = attributes.find(' ');
            if (equals == std::string_view::npos || blank < equals) {
                fail(listing, "an attribute without =");
            }
            facts.emplace_back(node, "@_" + std::string(attributes.substr(0, equals)),
                               std::string(attributes.substr(equals + 1, blank - equals - 1)));
            attributes.remove_prefix(blank + 1);
        }
        path.push_back(node);
    }
    if (header != std::string::npos) {
        std::istringstream remainder(listing.substr(header + remainderHeader.size()));
        for (std::string line; std::getline(remainder, line);) {
            std::size_t tab1 = line.find('\t');
            std::size_t tab2 = line.find('\t', tab1 + 1);
            if (tab2 == std::string::npos) fail(listing, "a remainder line not src rel trg");
            facts.emplace_back(line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1),
                               line.substr(tab2 + 1));
        }
    }
    return facts;
}

std::string fileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lists text into the file that holds it, writes limited to limit bytes.
void listInPlace(const std::string &text, const std::string &listing, std::size_t limit)
{
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "ledgerize-fuzz-XXXXXX");
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    const std::string file = folder + "/g";
    std::ofstream(file, std::ios::binary) << text;

    rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limited = before;
    limited.rlim_cur = std::min<rlim_t>(limit, before.rlim_max);
    struct sigaction ignore {};
    struct sigaction previous;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    setrlimit(RLIMIT_FSIZE, &limited);
    std::ostringstream messages;
    pipeline::RunEnd end = pipeline::runLedgerize({file, file}, messages);
    setrlimit(RLIMIT_FSIZE, &before);
    sigaction(SIGXFSZ, &previous, nullptr);

    std::string after = fileText(file);
    std::size_t entries =
        static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    const char *why = nullptr;
    if (entries != 1) {
        why = "a file left beside the output";
    } else if (listing.size() <= limited.rlim_cur) {
        if (end != pipeline::RunEnd::done || messages.str() != "" || after != listing)
            why = "a listing within the limit was not written whole";
    } else if (end != pipeline::RunEnd::quit ||
               messages.str() != "***Error [ledgerize]: Can't write output "
                                 "file '" +
                                     file + "'\n" ||
               after != text) {
        why = "a failed write changed the file or was not reported";
    }
    if (why != nullptr) fail(after, why);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::stringbuf text(std::string(reinterpret_cast<const char *>(data), size), std::ios::in);
    pipeline::TokenInput in{&text};
    RsfFacts triples = pipeline::readTriples(in);
    if (!pipeline::atEnd(in)) std::abort();
    std::string listing = listingOf(triples);
    // A listing of the same triples is the same listing.
    if (listingOf(triples) != listing) std::abort();
    if (triples.size() == 0 && !listing.empty()) std::abort();

    RsfFacts plain = withPlainNames(triples);
    std::string plainListing = listingOf(plain);
    std::vector<Fact> listed = factsOf(plainListing);
    std::vector<Fact> read;
    for (std::size_t j = 0; j < plain.size(); ++j) {
        RsfTriple t = plain[j];
        read.emplace_back(t.src, t.rel, t.trg);
    }
    std::sort(listed.begin(), listed.end());
    std::sort(read.begin(), read.end());
    if (listed != read) {
        fail(plainListing, "the listing does not show every triple exactly once");
    }

    // Any limit from none to past the listing's end: the first bytes of the
    // input choose it.
    std::size_t choice = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i) choice = choice * 256 + data[i];
    listInPlace(std::string(reinterpret_cast<const char *>(data), size), listing,
                choice % (listing.size() + 2));
    return 0;
}
