#include "tree.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tokens.h"

namespace layout {

Item *createAndSetRoot(ItemTable &graph, SystemPointers &graphPtrs, float width, float height, FILE *trace)
{
    Item *root = addItem(graph, kRootName);
    root->containLevel = 0;
    root->x = 0;
    root->y = 0;
    root->width = width;
    root->height = height;
    for (const auto &chain : graph.buckets) {
        for (Item *item : chain) {
            if (item == root || item->isContained) continue;
            item->isContained = true;
            item->indxIntoParConItemsArray = static_cast<int>(root->ptrToConItems.size());
            root->ptrToConItems.push_back(item);
        }
    }
    graphPtrs.rootItemPtr = root;
    if (trace) std::fprintf(trace, "$ROOT has been created and set.\n");
    return root;
}

namespace {

enum Colour : char { unseen = 0, onPath = 1, done = 2 };
using Colours = std::unordered_map<const Item *, char>;

// Depth-first search down the containment from `start`, with an explicit
// stack so that a deep tree cannot exhaust the call stack.  Returns the item
// that closes a cycle, or none.
const Item *findCycleFrom(const Item *start, Colours &colour)
{
    std::vector<std::pair<const Item *, size_t>> stack;
    colour[start] = onPath;
    stack.emplace_back(start, 0);
    while (!stack.empty()) {
        auto &[item, next] = stack.back();
        if (next == item->ptrToConItems.size()) {
            colour[item] = done;
            stack.pop_back();
            continue;
        }
        const Item *child = item->ptrToConItems[next++];
        char &c = colour[child];
        if (c == onPath) return child;
        if (c == unseen) {
            c = onPath;
            stack.emplace_back(child, 0);
        }
    }
    return nullptr;
}

}  // namespace

MaybeFailure checkContainmentCycles(const ItemTable &graph, const Item *root, std::string &unreachedCycle)
{
    unreachedCycle.clear();
    Colours colour;
    colour.reserve(graph.storage.size());
    if (const Item *closing = findCycleFrom(root, colour))
        return fail(format("\nThe containment relation has a cycle through : %s\n", closing->name.c_str()));
    // Every item outside the tree is contained, so going up from it through
    // its containers ends in a cycle: the first one found stands for all.
    for (const Item &start : graph.storage) {
        if (colour[&start] != unseen) continue;
        if (const Item *closing = findCycleFrom(&start, colour)) {
            unreachedCycle = closing->name;
            break;
        }
    }
    return std::nullopt;
}

size_t countLayoutRecords(const ItemTable &graph, const Item *root, size_t limit)
{
    // Paths are counted in topological order of the containment under $ROOT
    // (Kahn's algorithm), each sum held at limit + 1 so that it cannot
    // overflow.  Only containers in the tree count: one outside it never
    // passes its paths on.
    const size_t cap = limit + 1;
    std::unordered_map<const Item *, size_t> containers;  // contain triples in the tree naming the item
    containers.reserve(graph.storage.size());
    std::vector<const Item *> stack{root};
    containers[root] = 0;
    while (!stack.empty()) {
        const Item *item = stack.back();
        stack.pop_back();
        for (const Item *child : item->ptrToConItems)
            if (containers[child]++ == 0) stack.push_back(child);
    }
    std::unordered_map<const Item *, size_t> paths;
    paths.reserve(containers.size());
    paths[root] = 1;
    std::vector<const Item *> ready{root};
    size_t records = 0;
    while (!ready.empty()) {
        const Item *item = ready.back();
        ready.pop_back();
        size_t here = paths[item];
        records = std::min(cap, records + here);
        for (const Item *child : item->ptrToConItems) {
            size_t &p = paths[child];
            p = std::min(cap, p + here);
            if (--containers[child] == 0) ready.push_back(child);
        }
    }
    return records;
}

MaybeFailure checkLayoutRecordCount(const ItemTable &graph, const Item *root)
{
    size_t limit = graph.storage.size() + kMaxRepeatedRecords;
    if (countLayoutRecords(graph, root, limit) > limit)
        return fail(format("\nThe containment relation holds items under too many containers: "
                           "the layout would have more than %zu records.\n",
                           limit));
    return std::nullopt;
}

std::string getSSname(std::string_view inputFile)
{
    size_t slash = inputFile.rfind('/');
    std::string_view base = slash == std::string_view::npos ? inputFile : inputFile.substr(slash + 1);
    size_t dot = base.find('.');
    if (dot != std::string_view::npos) base = base.substr(0, dot);
    return std::string(base) + ".ss";
}

TypesInModel clientOrServer(const Item *item)
{
    size_t to = item->ptrToRelationsTo.size();
    size_t from = item->ptrToRelationsFrom.size();
    if (from == 0) return client;
    if (to == 0) return server;
    return to < from ? server : client;
}

MaybeFailure setSubSystemPtr(ItemTable &graph, SystemPointers &graphPtrs, std::string_view inputFile,
                             const std::string *subsystemName)
{
    std::string name = subsystemName ? *subsystemName : getSSname(inputFile);
    Item *ss = searchHash(graph, name);
    // The subsystem must be a top-level item: the client and server rows are
    // built from its siblings under $ROOT.
    bool topLevel = false;
    if (ss && ss != graphPtrs.rootItemPtr && graphPtrs.rootItemPtr)
        for (Item *c : graphPtrs.rootItemPtr->ptrToConItems) topLevel = topLevel || c == ss;
    if (!topLevel) return fail("Subsystem not detected. Cannot continue.\n");
    graphPtrs.subSystemPtr = ss;
    ss->kindOfItemInModel = subsystem;
    ss->desiredPosition = 1;
    ss->actualPosition = 1;
    for (Item *c : ss->ptrToConItems) c->kindOfItemInModel = subsystemItem;
    return std::nullopt;
}

void walkPreOrderPruned(Item *top, const std::function<bool(Item *, int)> &visit)
{
    std::vector<std::pair<Item *, size_t>> stack{{top, 0}};
    while (!stack.empty()) {
        auto &[container, next] = stack.back();
        if (next == container->ptrToConItems.size()) {
            stack.pop_back();
            continue;
        }
        Item *child = container->ptrToConItems[next++];
        if (visit(child, static_cast<int>(stack.size())) && child->containsItems())
            stack.emplace_back(child, 0);
    }
}

void walkPreOrder(Item *top, const std::function<void(Item *, int)> &visit, const Item *except)
{
    walkPreOrderPruned(top, [&](Item *item, int depth) {
        if (item == except) return false;
        visit(item, depth);
        return true;
    });
}

void adjustContainLevelAssignments(Item *root)
{
    walkPreOrder(root, [](Item *item, int depth) { item->containLevel = depth; });
}

void assignParentInfo(Item *root)
{
    root->parent = nullptr;
    std::vector<Item *> stack{root};
    while (!stack.empty()) {
        Item *container = stack.back();
        stack.pop_back();
        for (auto it = container->ptrToConItems.rbegin(); it != container->ptrToConItems.rend(); ++it) {
            (*it)->parent = container;
            stack.push_back(*it);
        }
    }
}

void viewStructure(const SystemPointers &graphPtrs, FILE *trace)
{
    if (!trace) return;
    std::fprintf(trace, "\nStructure of the graph:\n");
    std::fprintf(trace, "-----------------------\n\n\n");
    std::fprintf(trace, "%s contains :\n", graphPtrs.rootItemPtr->name.c_str());
    walkPreOrder(graphPtrs.rootItemPtr, [trace](Item *item, int depth) {
        std::fprintf(trace, "%s %s\n", depth == 1 ? "     " : "          ", item->name.c_str());
    });
    std::fprintf(trace, "---- END\n\n");
}

bool quoteString(std::string_view str)
{
    for (char c : str)
        if (isLayoutSpace(c)) return true;
    return false;
}

MaybeFailure prepareGraph(ItemTable &graph, SystemPointers &graphPtrs, std::string_view text,
                          const ReadOptions &read, const TreeSetup &setup, std::string &warnings)
{
    if (MaybeFailure o = Control_ParseGraphFile(graph, text, read)) return o;
    Item *root = createAndSetRoot(graph, graphPtrs, setup.rootWidth, setup.rootHeight, read.trace);
    std::string unreachedCycle;
    if (MaybeFailure o = checkContainmentCycles(graph, root, unreachedCycle)) return o;
    if (!unreachedCycle.empty())
        warnings +=
            format("WARNING: The containment relation has a cycle through : %s that no top-level item "
                   "reaches; its items are not laid out.\n",
                   unreachedCycle.c_str());
    if (MaybeFailure o = checkLayoutRecordCount(graph, root)) return o;
    if (setup.model == cliServ) {
        if (MaybeFailure o = setSubSystemPtr(graph, graphPtrs, read.inputTupleFile, setup.subsystemName))
            return o;
    } else if (setup.adjustContainLevels) {
        adjustContainLevelAssignments(root);
    }
    assignParentInfo(root);
    return std::nullopt;
}

}  // namespace layout
