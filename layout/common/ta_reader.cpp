#include "ta_reader.h"

#include <array>

#include "tokens.h"

namespace layout {
namespace {

using Triple = std::array<std::string, 3>;

struct TupleReader {
    TokenStream in;
    const ReadOptions &options;
    Triple tokens;
};

// Reads up to three tokens; returns how many were read.
int getTuple(TupleReader &r)
{
    for (int i = 0; i < 3; ++i)
        if (!getToken(r.in, r.tokens[i])) return i;
    return 3;
}

void traceTriple(const TupleReader &r)
{
    if (r.options.trace)
        std::fprintf(r.options.trace, "%-20s %-20s %-20s\n", r.tokens[0].c_str(), r.tokens[1].c_str(),
                     r.tokens[2].c_str());
}

MaybeFailure refuseRootName()
{
    return fail(format("\nThe input names an item %s, which is reserved for the root.\n", kRootName));
}

bool isSectionHeader(const Triple &t)
{
    return (t[0] == "FACT" || t[0] == "SCHEME") && t[2] == ":";
}

bool isTupleSectionHeader(const Triple &t)
{
    return t[0] == "FACT" && t[1] == "TUPLE" && t[2] == ":";
}

// Skips an attribute or schema section token by token up to the header of the
// next fact tuple section (or the end of the input): its text is no relation.
void skipSection(TupleReader &r)
{
    Triple window;
    std::string token;
    while (getToken(r.in, token)) {
        window[0] = std::move(window[1]);
        window[1] = std::move(window[2]);
        window[2] = token;
        if (isTupleSectionHeader(window)) return;
    }
}

MaybeFailure findOrCreate(ItemTable &graph, const TupleReader &r, const std::string &name, bool declared,
                          Item *&item)
{
    item = searchHash(graph, name);
    if (item) return std::nullopt;
    if (name == kRootName) return refuseRootName();
    item = addItem(graph, name);
    if (!declared && r.options.printParseError && !r.options.relationOnlyInput)
        std::fprintf(r.options.warnings, "WARNING: An $INSTANCE is not declared for : %s\n", name.c_str());
    return std::nullopt;
}

MaybeFailure addRelation(ItemTable &graph, const TupleReader &r)
{
    const Triple &t = r.tokens;
    Item *source = nullptr;
    Item *target = nullptr;
    if (MaybeFailure o = findOrCreate(graph, r, t[1], false, source)) return o;
    if (MaybeFailure o = findOrCreate(graph, r, t[2], false, target)) return o;
    if (t[0] == "contain") {
        source->ptrToConItems.push_back(target);
        target->isContained = true;
        target->indxIntoParConItemsArray = static_cast<int>(source->ptrToConItems.size()) - 1;
        target->containLevel = source->containLevel + 1;
    } else {
        source->ptrToRelationsTo.push_back(target);
        target->ptrToRelationsFrom.push_back(source);
    }
    return std::nullopt;
}

MaybeFailure declareInstance(ItemTable &graph, const TupleReader &r)
{
    const std::string &name = r.tokens[1];
    if (searchHash(graph, name)) {
        if (r.options.printParseError)
            std::fprintf(r.options.warnings, "WARNING: %s is declared twice in file : %s\n", name.c_str(),
                         r.options.inputTupleFile.c_str());
        return std::nullopt;
    }
    Item *item = nullptr;
    return findOrCreate(graph, r, name, true, item);
}

// Reads the "$INSTANCE" run; on return r.tokens holds the first relation when
// the result is 3.
MaybeFailure processFactTuples(ItemTable &graph, TupleReader &r, int &got)
{
    for (;;) {
        got = getTuple(r);
        // The first "$INSTANCE" triple opens the fact run even when the input
        // ends right after its name.
        if (got >= 2 && r.tokens[0] == "$INSTANCE") break;
        if (got < 3) return fail("ERROR: End of file reached. Try using -r option.\n", true);
    }
    do {
        if (got < 3) r.tokens[2].clear();
        traceTriple(r);
        if (MaybeFailure o = declareInstance(graph, r)) return o;
        if (got < 3) return std::nullopt;
        got = getTuple(r);
    } while (got == 3 && r.tokens[0] == "$INSTANCE");
    return std::nullopt;
}

MaybeFailure processRelations(ItemTable &graph, TupleReader &r, int got)
{
    for (; got == 3; got = getTuple(r)) {
        traceTriple(r);
        if (isSectionHeader(r.tokens)) {
            if (!isTupleSectionHeader(r.tokens)) skipSection(r);
            continue;
        }
        // A declaration after the first relation still declares its item;
        // taken as a relation it would make an item of the class name.
        MaybeFailure o = r.tokens[0] == "$INSTANCE" ? declareInstance(graph, r) : addRelation(graph, r);
        if (o) return o;
    }
    return std::nullopt;
}

}  // namespace

MaybeFailure Control_ParseGraphFile(ItemTable &graph, std::string_view text, const ReadOptions &options)
{
    TupleReader r{TokenStream{text, 0}, options, {}};
    int got = 0;
    if (options.relationOnlyInput) {
        got = getTuple(r);
    } else if (MaybeFailure o = processFactTuples(graph, r, got)) {
        return o;
    }
    return processRelations(graph, r, got);
}

}  // namespace layout
