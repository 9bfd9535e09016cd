#include "layered_layout.h"

#include <algorithm>
#include <unordered_map>

#include "../common/tree.h"

namespace layout {
namespace {

// Adjacency lists with one flag per edge, for the levelling copy M2 that loses
// the edges closing cycles.
struct KeptEdges {
    std::vector<std::vector<int>> out;
    std::vector<std::vector<char>> kept;
};

void traceMatrix(FILE *trace, const std::vector<Item *> &kids, const std::vector<std::vector<int>> &out,
                 const std::vector<std::vector<char>> *kept)
{
    size_t n = kids.size();
    std::vector<char> row(n);
    for (size_t i = 0; i < n; ++i) {
        std::fill(row.begin(), row.end(), 0);
        for (size_t e = 0; e < out[i].size(); ++e)
            if (!kept || (*kept)[i][e]) row[out[i][e]] = 1;
        std::fprintf(trace, "%3d %3d %-20s", kids[i]->numOfUniqueRelationsTo, static_cast<int>(i),
                     kids[i]->name.c_str());
        for (size_t j = 0; j < n; ++j) std::fprintf(trace, " %d ", row[j]);
        std::fprintf(trace, "\n");
    }
}

void traceMatrixHeading(FILE *trace, const std::string &containerName)
{
    std::fprintf(trace, "\n\nADJACENCY MATRIX OF ENTITIES Of ITEMS IN CONTAINER : %s \n\n",
                 containerName.c_str());
}

// The first free slot among d, d + 1, d - 1, d + 2, d - 2, ... within
// [low, high]; taken[] is indexed by slot.
int nearestFreeSlot(std::vector<char> &taken, int d, int low, int high)
{
    for (int k = 0;; ++k) {
        bool any = false;
        if (d + k <= high) {
            any = true;
            if (d + k >= low && !taken[d + k]) return d + k;
        }
        if (k > 0 && d - k >= low) {
            any = true;
            if (d - k <= high && !taken[d - k]) return d - k;
        }
        if (!any) return -1;
    }
}

}  // namespace

SiblingGraph buildAdjacencyMatrix(const std::vector<Item *> &kids)
{
    size_t n = kids.size();
    // Place of each item in the list; an item listed twice chains its places.
    std::unordered_map<const Item *, int> firstPlace;
    firstPlace.reserve(n);
    std::vector<int> samePlace(n, -1);
    for (size_t i = n; i-- > 0;) {
        auto [it, inserted] = firstPlace.emplace(kids[i], static_cast<int>(i));
        if (!inserted) {
            samePlace[i] = it->second;
            it->second = static_cast<int>(i);
        }
    }
    SiblingGraph g;
    g.out.resize(n);
    g.in.resize(n);
    for (size_t i = 0; i < n; ++i) {
        auto &row = g.out[i];
        for (const Item *target : kids[i]->ptrToRelationsTo) {
            auto it = firstPlace.find(target);
            if (it == firstPlace.end()) continue;
            for (int j = it->second; j >= 0; j = samePlace[j]) row.push_back(j);
        }
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
        for (int j : row) g.in[j].push_back(static_cast<int>(i));
    }
    return g;
}

void sortEntitiesByUniqueRelationsTo(std::vector<Item *> &kids, const SiblingGraph &graph)
{
    size_t n = kids.size();
    std::vector<int> uniq(n);
    for (size_t i = 0; i < n; ++i) uniq[i] = static_cast<int>(graph.out[i].size());
    if (n >= 3) {
        // n - 2 passes, not n - 1: the first pair may stay unsorted, and the
        // layout file shows the order.
        for (size_t p = 0; p < n - 2; ++p) {
            bool swapped = false;
            for (size_t i = 0; i + 1 < n - p; ++i) {
                if (uniq[i] < uniq[i + 1]) {
                    std::swap(uniq[i], uniq[i + 1]);
                    std::swap(kids[i], kids[i + 1]);
                    swapped = true;
                }
            }
            if (!swapped) break;
        }
    }
    for (size_t i = 0; i < n; ++i) {
        kids[i]->numOfUniqueRelationsTo = uniq[i];
        kids[i]->indxIntoParConItemsArray = static_cast<int>(i);
    }
}

namespace {

// One step of the levelling walk, as the trace tells it: a walk that starts
// from an item at its level, an edge that closes a cycle and is dropped, or
// an item put on a deeper level through an edge.
struct LevelStep {
    enum Kind { start, dropped, deepened } kind;
    int from;   // the item a walk starts from, or the edge's source
    int to;     // the edge's target; unused for a start
    int level;  // the item's level when a walk starts, or its new level
};

// The trace of a container's levelling: the walk's steps in their order, the
// relations left once the cycles are gone, each item's level and the items
// of each level.
void traceLevels(FILE *trace, const std::vector<Item *> &kids, const std::string &containerName,
                 const std::vector<LevelStep> &steps, const KeptEdges &m2, bool cycleDetected,
                 const Levels &levels)
{
    std::fprintf(trace, "\n\nDetermining the level of the entities in container : %s \n",
                 containerName.c_str());
    std::fprintf(trace, "\nTracing through levels of recursion to see how levels are assigned.\n");
    for (const LevelStep &step : steps) {
        switch (step.kind) {
        case LevelStep::start:
            std::fprintf(trace, "determineLevelsInContainer : %s  Level : %d \n",
                         kids[step.from]->name.c_str(), step.level);
            break;
        case LevelStep::dropped:
            std::fprintf(trace, "Removeing edge :  row : %5d  column : %5d \n", step.from, step.to);
            break;
        case LevelStep::deepened:
            std::fprintf(trace, "DFS : %d   %d \n", step.from, step.to);
            std::fprintf(trace, "%-30s Level : %d \n", kids[step.to]->name.c_str(), step.level);
            break;
        }
    }
    std::fprintf(trace, "\n\n The following is the adjacency matrix after cycles have been removed.");
    traceMatrixHeading(trace, containerName);
    traceMatrix(trace, kids, m2.out, &m2.kept);
    if (cycleDetected)
        std::fprintf(trace,
                     "WARNING: Cycles were detected in the graph. The layout might not appear very nice.\n");
    std::fprintf(trace, "\n\n Level assigned to each entity within container: %s\n", containerName.c_str());
    for (size_t i = 0; i < kids.size(); ++i)
        std::fprintf(trace, "%-30s %5d\n", kids[i]->name.c_str(), levels.level[i]);
    std::fprintf(trace, "\n\nPrinting the level structure\n");
    std::fprintf(trace, "Displays the entities that were assigned to each level.\n\n");
    for (size_t l = 0; l < levels.rows.size(); ++l) {
        if (levels.rows[l].empty()) continue;
        std::fprintf(trace, "Level : %d \n", static_cast<int>(l) + 1);
        for (int i : levels.rows[l]) std::fprintf(trace, "%30s %5d\n", kids[i]->name.c_str(), i);
    }
}

}  // namespace

Levels determineLevelsInContainer(const std::vector<Item *> &kids, const SiblingGraph &graph,
                                  const std::string &containerName, LayoutContext &ctx)
{
    size_t n = kids.size();
    KeptEdges m2{graph.out, {}};
    m2.kept.resize(n);
    for (size_t i = 0; i < n; ++i) m2.kept[i].assign(m2.out[i].size(), 1);

    Levels result;
    result.level.assign(n, 1);
    int levelCount = 1;
    // The walk's steps, kept for the trace only.
    std::vector<LevelStep> steps;
    auto step = [&](LevelStep s) {
        if (ctx.trace) steps.push_back(s);
    };
    // Depth-first search with an explicit stack; onPath marks the items of the
    // current search path (an edge to one of them closes a cycle).
    struct Frame {
        int item;
        int depth;
        size_t next;
    };
    std::vector<Frame> stack;
    std::vector<char> onPath(n, 0);
    for (size_t c = 0; c < n; ++c) {
        int root = static_cast<int>(c);
        step({LevelStep::start, root, 0, result.level[c]});
        stack.push_back({root, result.level[c], 0});
        onPath[c] = 1;
        while (!stack.empty()) {
            Frame &f = stack.back();
            int a = f.item;
            if (f.next == m2.out[a].size()) {
                onPath[a] = 0;
                stack.pop_back();
                continue;
            }
            size_t e = f.next++;
            int b = m2.out[a][e];
            if (b == a || !m2.kept[a][e]) continue;
            if (onPath[b]) {
                m2.kept[a][e] = 0;
                step({LevelStep::dropped, a, b, 0});
                ctx.cycleDetected = true;
            } else if (result.level[b] < f.depth + 1) {
                int depth = f.depth + 1;
                result.level[b] = depth;
                levelCount = std::max(levelCount, depth);
                onPath[b] = 1;
                step({LevelStep::deepened, a, b, depth});
                stack.push_back({b, depth, 0});
            }
        }
    }
    result.rows.resize(levelCount);
    for (size_t i = 0; i < n; ++i) result.rows[result.level[i] - 1].push_back(static_cast<int>(i));
    if (ctx.trace) traceLevels(ctx.trace, kids, containerName, steps, m2, ctx.cycleDetected, result);
    return result;
}

namespace {

// Reorders one level by the mean place of each item's neighbours in another
// level (0 without neighbours).  The full bubble sort with strict comparison
// is a stable sort.
void reorderLevelByNeighbours(std::vector<int> &level, const std::vector<int> &neighbourLevel,
                              const SiblingGraph &graph, std::vector<int> &placeInLevel)
{
    for (size_t p = 0; p < neighbourLevel.size(); ++p)
        placeInLevel[neighbourLevel[p]] = static_cast<int>(p) + 1;
    std::vector<std::pair<float, int>> keyed;
    keyed.reserve(level.size());
    std::vector<int> seen;
    for (int a : level) {
        long long sum = 0;
        int count = 0;
        // A sibling related both ways is one neighbour.
        seen.clear();
        for (const auto *list : {&graph.out[a], &graph.in[a]})
            for (int b : *list)
                if (placeInLevel[b] > 0) seen.push_back(b);
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        for (int b : seen) {
            sum += placeInLevel[b];
            ++count;
        }
        float barycentre = count ? static_cast<float>(sum) / static_cast<float>(count) : 0.0f;
        keyed.emplace_back(barycentre, a);
    }
    for (int b : neighbourLevel) placeInLevel[b] = 0;
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &l, const auto &r) { return l.first < r.first; });
    for (size_t p = 0; p < level.size(); ++p) level[p] = keyed[p].second;
}

}  // namespace

void Control_SugiyamaLayout(Levels &levels, const SiblingGraph &graph)
{
    int count = static_cast<int>(levels.rows.size());
    if (count <= 1) return;
    std::vector<int> placeInLevel(levels.level.size(), 0);
    auto down = [&] {
        for (int l = 0; l <= count - 2; ++l)
            reorderLevelByNeighbours(levels.rows[l], levels.rows[l + 1], graph, placeInLevel);
    };
    auto up = [&] {
        for (int l = count - 1; l >= 1; --l)
            reorderLevelByNeighbours(levels.rows[l], levels.rows[l - 1], graph, placeInLevel);
    };
    for (int round = 0; round < 3; ++round) {
        down();
        up();
        down();
    }
}

namespace {

// Gives the items of one level their slots, in ascending list index.
void computeActualPosition(const std::vector<int> &row, Positions &pos)
{
    std::vector<int> byIndex(row);
    std::sort(byIndex.begin(), byIndex.end());
    std::vector<char> taken(static_cast<size_t>(pos.maxItems) + 1, 0);
    for (int a : byIndex) {
        int slot = nearestFreeSlot(taken, pos.desired[a], 1, pos.maxItems);
        taken[slot] = 1;
        pos.actual[a] = slot;
        pos.desired[a] = slot;
    }
}

// The item's desired position becomes the rounded-down mean of the desired
// positions of the related items on the given side, when that is larger.
void raiseDesiredPosition(int a, const std::vector<int> &related, const Levels &levels, int levelOfA,
                          bool below, Positions &pos)
{
    long long sum = 0;
    long long count = 0;
    for (int b : related) {
        int lb = levels.level[b];
        if (below ? lb > levelOfA : lb < levelOfA) {
            sum += pos.desired[b];
            ++count;
        }
    }
    if (count == 0) return;
    int mean = static_cast<int>(sum / count);
    if (mean > pos.desired[a]) pos.desired[a] = mean;
}

}  // namespace

Positions Control_LevelLayout(const Levels &levels, const SiblingGraph &graph)
{
    size_t n = levels.level.size();
    int count = static_cast<int>(levels.rows.size());
    Positions pos;
    pos.desired.assign(n, 0);
    pos.actual.assign(n, 0);
    for (const auto &row : levels.rows) {
        pos.maxItems = std::max(pos.maxItems, static_cast<int>(row.size()));
        for (size_t p = 0; p < row.size(); ++p) pos.desired[row[p]] = static_cast<int>(p) + 1;
    }
    for (int round = 0; round < 2; ++round) {
        for (int l = count - 2; l >= 0; --l) {
            for (int a : levels.rows[l]) raiseDesiredPosition(a, graph.out[a], levels, l + 1, true, pos);
            computeActualPosition(levels.rows[l], pos);
        }
        for (int l = 1; l <= count - 1; ++l) {
            for (int b : levels.rows[l]) raiseDesiredPosition(b, graph.in[b], levels, l + 1, false, pos);
            computeActualPosition(levels.rows[l], pos);
        }
    }
    return pos;
}

void determineBoxes(const std::vector<Item *> &kids, const Levels &levels, const Positions &positions,
                    float systemWidth, float systemHeight)
{
    int count = static_cast<int>(levels.rows.size());
    // Single precision throughout, with the double constants of the original
    // geometry: the layout file prints these floats.
    float xBlock = systemWidth / static_cast<float>(positions.maxItems + 1);
    float yBlock = systemHeight / static_cast<float>(count + 1);
    float w = 0.6 * xBlock;
    float h = 0.6 * w;
    if (h > 0.6 * yBlock) {
        h = 0.6 * yBlock;
        w = 1.666 * h;
    }
    float xInset = xBlock - w;
    float yInset = yBlock - h;
    for (int l = 0; l < count; ++l) {
        for (int a : levels.rows[l]) {
            Item *item = kids[a];
            int pos = count == 1 ? positions.desired[a] : positions.actual[a];
            item->width = w;
            item->height = h;
            item->x = static_cast<float>(pos - 1) * xBlock + xInset;
            item->y = static_cast<float>(l) * yBlock + yInset;
        }
    }
}

namespace {

void tracePositions(FILE *trace, const char *heading, const std::vector<Item *> &kids, const Levels &levels,
                    const std::vector<int> &value)
{
    std::fprintf(trace, "%s", heading);
    for (size_t l = 0; l < levels.rows.size(); ++l) {
        std::fprintf(trace, "Level : %d \n", static_cast<int>(l) + 1);
        for (int a : levels.rows[l]) std::fprintf(trace, "   %-20s  %d\n", kids[a]->name.c_str(), value[a]);
    }
}

}  // namespace

ContainerLayout layoutLevelsAndPositions(Item *container, LayoutContext &ctx)
{
    std::vector<Item *> &kids = container->ptrToConItems;
    SiblingGraph graph = buildAdjacencyMatrix(kids);
    sortEntitiesByUniqueRelationsTo(kids, graph);
    graph = buildAdjacencyMatrix(kids);
    if (ctx.trace) {
        traceMatrixHeading(ctx.trace, container->name);
        traceMatrix(ctx.trace, kids, graph.out, nullptr);
    }
    ContainerLayout result;
    result.levels = determineLevelsInContainer(kids, graph, container->name, ctx);
    Control_SugiyamaLayout(result.levels, graph);
    result.positions = Control_LevelLayout(result.levels, graph);
    for (size_t i = 0; i < kids.size(); ++i) {
        kids[i]->level = result.levels.level[i];
        kids[i]->desiredPosition = result.positions.desired[i];
        kids[i]->actualPosition = result.positions.actual[i];
    }
    if (ctx.trace) {
        // The initial desired position is the place within the level.
        std::vector<int> initial(kids.size());
        for (const auto &row : result.levels.rows)
            for (size_t p = 0; p < row.size(); ++p) initial[row[p]] = static_cast<int>(p) + 1;
        tracePositions(ctx.trace,
                       "\n\n Output of the initial desired position of the entities in container.\n\n", kids,
                       result.levels, initial);
        tracePositions(ctx.trace, "\n\n Output of the actual position of the entities in container.\n\n",
                       kids, result.levels, result.positions.actual);
    }
    return result;
}

void layoutContainedEntities(Item *container, LayoutContext &ctx)
{
    ContainerLayout l = layoutLevelsAndPositions(container, ctx);
    determineBoxes(container->ptrToConItems, l.levels, l.positions, container->width, container->height);
}

void visitEveryItemThatContainsStuff(Item *container, const Item *except, LayoutContext &ctx)
{
    walkPreOrder(
        container,
        [&ctx](Item *item, int) {
            if (item->containsItems()) layoutContainedEntities(item, ctx);
        },
        except);
}

void layoutNested(Item *root, LayoutContext &ctx)
{
    layoutContainedEntities(root, ctx);
    visitEveryItemThatContainsStuff(root, nullptr, ctx);
}

}  // namespace layout
