// tessel's layered layout of one container's children, in its phases:
// relations among the siblings, levelling, crossing reduction, positions,
// boxes.  Every phase works on the container's own list, indexed by place in
// that list, so an item contained twice is laid out by each container alone.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "../common/item.h"

namespace layout {

struct LayoutContext {
    FILE *trace = nullptr;
    bool cycleDetected = false;  // once set, stays set for the run
};

// The relation matrix M among the siblings, kept as sorted adjacency lists:
// out[i] holds every j with M[i][j] = 1, in[j] every i.
struct SiblingGraph {
    std::vector<std::vector<int>> out;
    std::vector<std::vector<int>> in;
};

// Levels from 1 (level[i] for sibling i), and the level table: row l holds
// the siblings on level l + 1.
struct Levels {
    std::vector<int> level;
    std::vector<std::vector<int>> rows;
};

// Slots within the levels, from 1.
struct Positions {
    std::vector<int> desired;
    std::vector<int> actual;
    int maxItems = 0;
};

SiblingGraph buildAdjacencyMatrix(const std::vector<Item *> &kids);

// Bubble sort by the number of distinct siblings related to, descending, in
// n - 2 passes (lists of three or more only); sets each item's unique count
// and index.
void sortEntitiesByUniqueRelationsTo(std::vector<Item *> &kids, const SiblingGraph &graph);

// Longest-path levels over the relations, dropping the edges that close
// cycles (depth-first, in list order).
Levels determineLevelsInContainer(const std::vector<Item *> &kids, const SiblingGraph &graph,
                                  const std::string &containerName, LayoutContext &ctx);

// Three rounds of down, up and down barycentre sweeps over the level rows.
void Control_SugiyamaLayout(Levels &levels, const SiblingGraph &graph);

Positions Control_LevelLayout(const Levels &levels, const SiblingGraph &graph);

// Boxes of the siblings inside an area of the given size; x and y are
// relative to the area.
void determineBoxes(const std::vector<Item *> &kids, const Levels &levels, const Positions &positions,
                    float systemWidth, float systemHeight);

// Steps up to the positions for the container's children; the results are
// also stored in the items (level, desired and actual position).
struct ContainerLayout {
    Levels levels;
    Positions positions;
};
ContainerLayout layoutLevelsAndPositions(Item *container, LayoutContext &ctx);

// The whole pipeline for one container: its children get boxes inside it.
void layoutContainedEntities(Item *container, LayoutContext &ctx);

// Lays out, top-down, every container below `container` (except `except`
// and what lies below it).
void visitEveryItemThatContainsStuff(Item *container, const Item *except, LayoutContext &ctx);

// The nested model: $ROOT's children, then every container below.
void layoutNested(Item *root, LayoutContext &ctx);

}  // namespace layout
