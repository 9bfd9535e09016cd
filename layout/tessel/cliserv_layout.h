// tessel's client/server model: the subsystem fills the middle of the window
// and is laid out as a layered drawing; every other top-level item becomes a
// client in a row above it or a server in a row below it.
#pragma once

#include <vector>

#include "../common/item.h"
#include "layered_layout.h"

namespace layout {

inline constexpr float clientSlotHeight = 100.0;
inline constexpr float serverSlotHeight = 100.0;

struct ClientsAndServers {
    std::vector<Item *> clients;  // in $ROOT's list order
    std::vector<Item *> servers;
};

// Classifies the top-level items other than the subsystem and gives each its
// wanted and actual slot in its row.
ClientsAndServers Control_CliServLayout(Item *root, Item *subsystem, FILE *trace);

// The whole client/server layout in a window of the given size.
void layoutClientServer(Item *root, Item *subsystem, int windowWidth, int windowHeight, LayoutContext &ctx);

// The layout of the whole graph in the chosen model.
void Control_DetermineLayout(const SystemPointers &graphPtrs, layoutModel model, int windowWidth,
                             int windowHeight, LayoutContext &ctx);

}  // namespace layout
