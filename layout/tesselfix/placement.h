// tesselfix's placement of new items in an old layout: which items of the new
// graph are old (they keep their boxes), and boxes for the new ones, in a row
// or a column at the right of each container, the old items being shrunk
// when the column has too little room; in the client/server model new clients
// and servers go into rows above and below the subsystem.
#pragma once

#include <cstdio>

#include "../common/failure.h"
#include "../common/item.h"

namespace layout::tesselfix {

enum compressType : int { none = 0, min = 1, max = 2 };

struct PlacementSettings {
    layoutModel model = nested;
    compressType compress = max;
    float SHRINK = 1.0;  // percent per round
    float MIN_CONTAINER_ENTITY_HEIGHT = 30.0;
    float MIN_CONTAINER_ENTITY_WIDTH = 49.98;
    bool relayoutCliServMode = false;  // -R
    FILE *trace = nullptr;
};

// Rounds of shrinking one container may take at most, whatever the mode.
inline constexpr int kMaxShrinkRounds = 10000;

// Placement state of one container.
struct ContainerInfo {
    float containerWidth = 0, containerHeight = 0;
    float maxXitemsInContainer = 0;
    Item *ptrToMaxXItem = nullptr;
    float containerItemWidth = 0, containerItemHeight = 0;
    int numOfNewItemsInContainer = 0, numOfItemsInContainer = 0;
    int shrinkRoundsDone = 0;
    float minServerSpace = 0;
    float minServerY = 0, maxServerY = 0;
    float avgServerWidth = 0, avgServerHeight = 0;
    float maxClientY = 0;
    float avgClientWidth = 0, avgClientHeight = 0;
    int numOfNewServers = 0, numOfServers = 0, numOfNewClients = 0, numOfClients = 0;
};

// Spacing of the client/server model (all 0 in the nested model).
struct Spacing {
    float windowWidth = 0, windowHeight = 0;
    float min_dim = 0, gap = 0, margin = 0, topGap = 0;
};

// Client or server kind of every top-level item but the subsystem, given to
// everything below it.
void identifyClientsAndServers(Item *root, Item *subsystem);

// Marks the new graph's items old or new and copies the old boxes.  The old
// graph's $ROOT must have a box.
MaybeFailure identifyNewAndOldEntities(const ItemTable &oldGraph, const SystemPointers &oldPtrs,
                                       const SystemPointers &newPtrs, FILE *trace);

struct Placement {
    PlacementSettings settings;
    Spacing spacing;
};

void computeStaticContainerData(const Placement &p, Item *container, ContainerInfo &info);
void computeDynamicContainerData(Item *container, ContainerInfo &info);

// Whether a corner or the centre of an old child lies in the box of another
// old child, edges included.
bool checkForCollision(const Item *container);

// One shrink round over the old children in the way the compress setting
// names; false when it failed (and was undone).
bool shrink(const Placement &p, Item *container, ContainerInfo &info, float minHeight, float minWidth);

// Boxes for the new children of one container.
void positionItemsInContainer(const Placement &p, Item *container, ContainerInfo &info);

// Gives every new item of the new graph a box.
void Control_PosNewItems(Placement &p, const SystemPointers &graphPtrs);

}  // namespace layout::tesselfix
