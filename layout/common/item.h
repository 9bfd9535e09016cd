// Items of a TA graph as the layout tools see them: the item table with its
// 997 hash buckets, the containment tree and each item's box.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace layout {

// Role of an item in the client/server model.
enum TypesInModel : int { client = 0, server = 1, subsystem = 2, subsystemItem = 3 };

enum layoutModel : int { nested = 0, cliServ = 1 };

// Whether tesselfix found an item in the old graph.
enum statusTypes : int { newItem = 0, oldItem = 1 };

struct Item {
    std::string name;
    std::vector<Item *> ptrToConItems;  // contained items, in "contain" order
    int indxIntoParConItemsArray = 0;   // place in the parent's list
    TypesInModel kindOfItemInModel = subsystemItem;
    bool isContained = false;
    int containLevel = 1;
    std::vector<Item *> ptrToRelationsTo;  // one entry per non-contain triple
    int numOfUniqueRelationsTo = 0;
    std::vector<Item *> ptrToRelationsFrom;
    // The box; x and y are relative to the parent's box.  Single precision on
    // purpose: every layout file is computed and printed from these floats.
    float x = 0, y = 0, width = 0, height = 0;
    Item *parent = nullptr;

    // tessel's layered layout
    int desiredPosition = 0;
    int actualPosition = 0;
    int level = 1;

    // tesselfix: status and the geometry a failed shrink round restores
    statusTypes status = newItem;
    bool hasBox = false;  // a layout record set the box
    float oldX = 0, oldY = 0, oldHeight = 0, oldWidth = 0;

    bool containsItems() const { return !ptrToConItems.empty(); }
};

inline constexpr int kHashBuckets = 997;
inline constexpr const char *kRootName = "$ROOT";

// The item table.  Lookups go through a map; the buckets keep the chain order
// of the 997-bucket hash because the order of $ROOT's children follows it.
struct ItemTable {
    std::deque<Item> storage;  // owns the items
    std::array<std::vector<Item *>, kHashBuckets> buckets;
    std::unordered_map<std::string_view, Item *> byName;
};

struct SystemPointers {
    Item *rootItemPtr = nullptr;
    Item *subSystemPtr = nullptr;
};

// Sum of the low seven bits of every character, modulo 997.
int hashIndex(std::string_view name);
Item *searchHash(const ItemTable &graph, std::string_view name);
// Creates an item of that name (initialised) at the tail of its chain.
Item *addItem(ItemTable &graph, std::string_view name);

}  // namespace layout
