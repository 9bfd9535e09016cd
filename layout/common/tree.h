// The containment tree above the item table: the synthetic root "$ROOT", the
// subsystem of the client/server model and the walks down the tree.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "failure.h"
#include "item.h"
#include "ta_reader.h"

namespace layout {

// Makes "$ROOT", adds it to the table and gives it every item no "contain"
// triple holds, in bucket and chain order.  The root's box is set to
// (0, 0, width, height).
Item *createAndSetRoot(ItemTable &graph, SystemPointers &graphPtrs, float width, float height, FILE *trace);

// Refuses a containment cycle that $ROOT reaches: every walk down the tree
// would go round it.  The items of a cycle that no top-level item leads to,
// with everything below them, are outside the tree and stay out of the
// layout; `unreachedCycle` then names an item of such a cycle (else it is
// left empty).
MaybeFailure checkContainmentCycles(const ItemTable &graph, const Item *root, std::string &unreachedCycle);

// The records of the layout under $ROOT (whose part of the containment must
// be acyclic): one per path from $ROOT to an item, $ROOT's own included,
// since an item contained twice is laid out and written under each
// container.  Paths multiply through items contained more than once, so the
// count stops at `limit` + 1.
size_t countLayoutRecords(const ItemTable &graph, const Item *root, size_t limit);

// The records that items contained more than once may add to one per item.
// Beyond it a layout would take hours and gigabytes: chains of items each
// contained twice double the records with every link.
inline constexpr size_t kMaxRepeatedRecords = size_t{1} << 20;

// Refuses a containment whose layout would hold more records than that.
MaybeFailure checkLayoutRecordCount(const ItemTable &graph, const Item *root);

// "dir/foo.o.ta" gives "foo.ss".
std::string getSSname(std::string_view inputFile);

// Client or server, for a top-level item other than the subsystem: an item
// nothing relates to is a client, one that relates to nothing a server, and
// otherwise the larger side wins, equal counts making a client.
TypesInModel clientOrServer(const Item *item);

// Finds the subsystem (a top-level item) and marks the kinds of it and its
// children.
MaybeFailure setSubSystemPtr(ItemTable &graph, SystemPointers &graphPtrs, std::string_view inputFile,
                             const std::string *subsystemName);

// Calls visit(item, depth) for every item below `top` in pre-order, each
// container's children in list order (an item contained twice is visited
// under both containers).  `top` itself is not visited; its children have
// depth 1.  `except`, when given, is skipped with everything below it.
void walkPreOrder(Item *top, const std::function<void(Item *, int)> &visit, const Item *except = nullptr);

// The same walk, going below an item only when visit returns true for it.
void walkPreOrderPruned(Item *top, const std::function<bool(Item *, int)> &visit);

void adjustContainLevelAssignments(Item *root);
void assignParentInfo(Item *root);
void viewStructure(const SystemPointers &graphPtrs, FILE *trace);

bool quoteString(std::string_view str);

struct TreeSetup {
    layoutModel model = nested;
    float rootWidth = 0, rootHeight = 0;  // $ROOT's box
    const std::string *subsystemName = nullptr;
    bool adjustContainLevels = false;  // tessel, nested model
};

// Reads the TA text and builds the tree: $ROOT, the containment checks, the
// subsystem (client/server model), contain levels and parent links.  A
// containment cycle outside the tree adds one warning line to `warnings`.
MaybeFailure prepareGraph(ItemTable &graph, SystemPointers &graphPtrs, std::string_view text,
                          const ReadOptions &read, const TreeSetup &setup, std::string &warnings);

}  // namespace layout
