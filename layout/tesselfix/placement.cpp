#include "placement.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "../common/tree.h"

namespace layout::tesselfix {
namespace {

// Size of a client or server row box when there is no old one to copy.
constexpr float kDefaultRowBoxWidth = 83.3;
constexpr float kDefaultRowBoxHeight = 50;

bool isOld(const Item *item)
{
    return item->status == oldItem;
}

// Every old item below `item`, in pre-order.
void forOldItemsBelow(Item *item, void (*change)(Item *, float), float factor)
{
    walkPreOrder(item, [&](Item *below, int) {
        if (isOld(below)) change(below, factor);
    });
}

// Moves an item S percent of the way towards its container's top-left corner.
void reducePosition(Item *item, float S)
{
    item->x -= item->x * S / 100.0;
    item->y -= item->y * S / 100.0;
}

void reduceBox(Item *item, float S)
{
    reducePosition(item, S);
    item->height -= item->height * S / 100.0;
    item->width -= item->width * S / 100.0;
}

void enlargeBox(Item *item, float S)
{
    item->x = item->x / (1 - S / 100.0);
    item->y = item->y / (1 - S / 100.0);
    item->height = item->height / (1 - S / 100.0);
    item->width = item->width / (1 - S / 100.0);
}

void copyAttributeValues(Item *item)
{
    item->oldX = item->x;
    item->oldY = item->y;
    item->oldHeight = item->height;
    item->oldWidth = item->width;
}

void restoreSavedBox(Item *item)
{
    item->x = item->oldX;
    item->y = item->oldY;
    item->height = item->oldHeight;
    item->width = item->oldWidth;
}

// Divides the boxes of everything below `item` by `factor` (the item's old
// height over its new one), so its contents follow its new size.  Skipped
// when the factor is no finite positive number (a box of height 0).
void adjustConItemsAttr(Item *item, float factor)
{
    if (!std::isfinite(factor) || !(factor > 0)) return;
    walkPreOrder(item, [factor](Item *below, int) {
        below->x /= factor;
        below->y /= factor;
        below->width /= factor;
        below->height /= factor;
    });
}

// Sets a placed item's box; a container's contents are scaled with it.
void placeItem(Item *item, float x, float y, float width, float height)
{
    bool container = item->containsItems();
    if (container) copyAttributeValues(item);
    item->height = height;
    item->width = width;
    item->x = x;
    item->y = y;
    if (container) adjustConItemsAttr(item, item->oldHeight / item->height);
}

// The box of an old child, its edges as the collision rule computes them.
struct Box {
    float x0, x1, y0, y1;
    bool holds(float px, float py) const { return x0 <= px && px <= x1 && y0 <= py && py <= y1; }
};

// Counts, for a point, the closed y-intervals that hold it: a Fenwick tree
// over the sorted y values, each interval added as +1 at its start and -1
// past its end.
class IntervalCounter {
public:
    explicit IntervalCounter(std::vector<float> ys) : ys_(std::move(ys))
    {
        std::sort(ys_.begin(), ys_.end());
        ys_.erase(std::unique(ys_.begin(), ys_.end()), ys_.end());
        tree_.assign(ys_.size() + 2, 0);
    }
    void add(float y0, float y1, int delta)
    {
        change(place(y0), delta);
        change(place(y1) + 1, -delta);
    }
    int holding(float y) const
    {
        int sum = 0;
        for (size_t i = place(y) + 1; i > 0; i -= i & -i) sum += tree_[i];
        return sum;
    }

private:
    size_t place(float y) const { return std::lower_bound(ys_.begin(), ys_.end(), y) - ys_.begin(); }
    void change(size_t at, int delta)
    {
        for (size_t i = at + 1; i < tree_.size(); i += i & -i) tree_[i] += delta;
    }
    std::vector<float> ys_;
    std::vector<int> tree_;
};

}  // namespace

bool checkForCollision(const Item *container)
{
    // A sweep from left to right: a box is open while the sweep is within
    // its x-range, and each point asks how many open boxes hold its y.  At
    // one x boxes open before points are asked and close after, because the
    // edges belong to the box.
    std::vector<const Item *> olds;
    for (const Item *c : container->ptrToConItems)
        if (isOld(c)) olds.push_back(c);
    std::sort(olds.begin(), olds.end(), std::less<>());  // an item listed twice is one box
    olds.erase(std::unique(olds.begin(), olds.end()), olds.end());

    enum Kind : int { open = 0, ask = 1, close = 2 };
    struct Event {
        float x;
        Kind kind;
        float y;  // the point's y (ask)
        size_t box;
    };
    std::vector<Box> boxes;
    std::vector<Event> events;
    std::vector<float> ys;
    // Two edges and five points a box.
    boxes.reserve(olds.size());
    events.reserve(7 * olds.size());
    ys.reserve(7 * olds.size());
    for (const Item *p : olds) {
        const Box b{p->x, p->x + p->width, p->y, p->y + p->height};
        boxes.push_back(b);
        size_t k = boxes.size() - 1;
        if (b.x0 <= b.x1 && b.y0 <= b.y1) {  // else (or NaN) the box holds no point
            events.push_back({b.x0, open, 0, k});
            events.push_back({b.x1, close, 0, k});
            ys.push_back(b.y0);
            ys.push_back(b.y1);
        }
        const float points[5][2] = {{p->x + p->width / 2, p->y + p->height / 2},
                                    {b.x0, b.y0},
                                    {b.x1, b.y0},
                                    {b.x0, b.y1},
                                    {b.x1, b.y1}};
        for (const auto &[px, py] : points) {
            if (std::isnan(px) || std::isnan(py)) continue;  // inside no box
            events.push_back({px, ask, py, k});
            ys.push_back(py);
        }
    }
    std::sort(events.begin(), events.end(),
              [](const Event &a, const Event &b) { return a.x < b.x || (a.x == b.x && a.kind < b.kind); });
    IntervalCounter counter(std::move(ys));
    for (const Event &e : events) {
        const Box &b = boxes[e.box];
        if (e.kind == open)
            counter.add(b.y0, b.y1, 1);
        else if (e.kind == close)
            counter.add(b.y0, b.y1, -1);
        else if (counter.holding(e.y) - (b.holds(e.x, e.y) ? 1 : 0) > 0)
            return true;
    }
    return false;
}

namespace {

// Compress none: the old children move towards the container's corner.
bool shrinkPositions(Item *container, float S)
{
    for (Item *c : container->ptrToConItems)
        if (isOld(c)) reducePosition(c, S);
    return true;
}

// Compress min: every old child and everything below it shrink by S percent.
// A child that ends below both minima undoes the round: its own box, and
// the children before it with their contents.
bool shrinkKeepingProportions(Item *container, float S, float minHeight, float minWidth)
{
    std::vector<Item *> shrunk;
    for (Item *c : container->ptrToConItems) {
        if (!isOld(c)) continue;
        reduceBox(c, S);
        shrunk.push_back(c);
        if (c->height < minHeight && c->width < minWidth) {
            for (Item *m : shrunk) {
                enlargeBox(m, S);
                if (m != c) forOldItemsBelow(m, enlargeBox, S);
            }
            return false;
        }
        forOldItemsBelow(c, reduceBox, S);
    }
    return true;
}

// Compress max: positions shrink by S percent, sizes only while both stay
// above the minimum item size.  Past 100 rounds, or when two old children
// collide, the children's own boxes come back (their contents keep the
// reduction) and the round fails.
bool shrinkToMinimumSize(Item *container, const ContainerInfo &info, const PlacementSettings &s)
{
    const float S = s.SHRINK;
    std::vector<Item *> saved;
    auto undo = [&saved] {
        for (Item *m : saved) restoreSavedBox(m);
        return false;
    };
    for (Item *c : container->ptrToConItems) {
        if (!isOld(c)) continue;
        copyAttributeValues(c);
        saved.push_back(c);
        reducePosition(c, S);
        if (info.shrinkRoundsDone > 100) return undo();
        float height = c->height - c->height * S / 100.0;
        float width = c->width - c->width * S / 100.0;
        if (height > s.MIN_CONTAINER_ENTITY_HEIGHT && width > s.MIN_CONTAINER_ENTITY_WIDTH) {
            c->height = height;
            c->width = width;
            forOldItemsBelow(c, reduceBox, S);
        }
    }
    // New children still sit at their first box (0, 0, 4, 3): they take no
    // part until they are placed.
    if (checkForCollision(container)) return undo();
    return true;
}

}  // namespace

void identifyClientsAndServers(Item *root, Item *subsystem)
{
    for (Item *child : root->ptrToConItems) {
        if (child == subsystem) continue;
        TypesInModel kind = clientOrServer(child);
        child->kindOfItemInModel = kind;
        walkPreOrder(child, [kind](Item *below, int) { below->kindOfItemInModel = kind; });
    }
}

MaybeFailure identifyNewAndOldEntities(const ItemTable &oldGraph, const SystemPointers &oldPtrs,
                                       const SystemPointers &newPtrs, FILE *trace)
{
    const Item *oldRoot = oldPtrs.rootItemPtr;
    if (!oldRoot) return fail("\nFatal Error: $ROOT does not exist in old graph.\n");
    if (!oldRoot->hasBox) return fail("\nFatal Error: the old layout file has no box for $ROOT.\n");
    Item *root = newPtrs.rootItemPtr;
    root->status = oldItem;
    root->x = oldRoot->x;
    root->y = oldRoot->y;
    root->width = oldRoot->width;
    root->height = oldRoot->height;
    if (trace) std::fprintf(trace, "Identifying new and old\n-----------------------\n\n");
    walkPreOrder(root, [&](Item *c, int) {
        const Item *o = searchHash(oldGraph, c->name);
        // An old item without a box (no record in the old layout) is placed
        // anew.
        bool old = o && o->hasBox && o->parent && c->parent && o->parent->name == c->parent->name &&
                   o->kindOfItemInModel == c->kindOfItemInModel;
        if (old) {
            c->status = oldItem;
            c->x = o->x;
            c->y = o->y;
            c->height = o->height;
            c->width = o->width;
            if (trace)
                std::fprintf(trace, "%s (old - %f %f %f %f)\n", c->name.c_str(), static_cast<double>(c->x),
                             static_cast<double>(c->y), static_cast<double>(c->width),
                             static_cast<double>(c->height));
        } else {
            c->status = newItem;
            c->x = 0;
            c->y = 0;
            c->width = 4;
            c->height = 3;
            if (trace) std::fprintf(trace, "%s (new)\n", c->name.c_str());
        }
    });
    if (trace) std::fprintf(trace, "--- END\n\n");
    return std::nullopt;
}

void computeStaticContainerData(const Placement &p, Item *container, ContainerInfo &info)
{
    FILE *trace = p.settings.trace;
    info.containerWidth = container->width;
    info.containerHeight = container->height;
    info.numOfItemsInContainer = static_cast<int>(container->ptrToConItems.size());
    info.numOfNewItemsInContainer = 0;
    if (trace) std::fprintf(trace, "%s contains:\n", container->name.c_str());
    for (const Item *c : container->ptrToConItems) {
        if (!isOld(c)) ++info.numOfNewItemsInContainer;
        if (trace) std::fprintf(trace, "  %s\n", c->name.c_str());
    }
    if (trace)
        std::fprintf(trace, "Num items in container '%s': %d - New: %d\n", container->name.c_str(),
                     info.numOfItemsInContainer, info.numOfNewItemsInContainer);
}

void computeDynamicContainerData(Item *container, ContainerInfo &info)
{
    if (info.ptrToMaxXItem) {
        info.maxXitemsInContainer = info.ptrToMaxXItem->x;
    } else {
        info.maxXitemsInContainer = 0;
        for (Item *c : container->ptrToConItems) {
            if (isOld(c) && c->x > info.maxXitemsInContainer) {
                info.maxXitemsInContainer = c->x;
                info.ptrToMaxXItem = c;
            }
        }
    }
    float width = 0, height = 0;
    int old = 0;
    for (const Item *c : container->ptrToConItems) {
        if (!isOld(c)) continue;
        width += c->width;
        height += c->height;
        ++old;
    }
    info.containerItemWidth = old ? width / old : 0;
    info.containerItemHeight = old ? height / old : 0;
}

bool shrink(const Placement &p, Item *container, ContainerInfo &info, float minHeight, float minWidth)
{
    const PlacementSettings &s = p.settings;
    ++info.shrinkRoundsDone;
    switch (s.compress) {
    case none: return shrinkPositions(container, s.SHRINK);
    case min: return shrinkKeepingProportions(container, s.SHRINK, minHeight, minWidth);
    case max: return shrinkToMinimumSize(container, info, s);
    }
    return false;
}

void positionItemsInContainer(const Placement &p, Item *container, ContainerInfo &info)
{
    if (info.numOfNewItemsInContainer == 0) return;
    const Spacing &sp = p.spacing;
    const float W = info.containerWidth;
    const float H = info.containerHeight;
    const float minWidth = W / 12;
    const float minHeight = H / 12;
    float boxWidth = 0, boxHeight = 0, dx = 0, dy = 0, x = 0, y = 0;
    // A container without area gives its new items empty boxes and is not
    // shrunk.
    bool hasArea = W > 0 && H > 0 && std::isfinite(W) && std::isfinite(H);
    if (hasArea && info.numOfNewItemsInContainer == info.numOfItemsInContainer) {
        boxWidth = (W - 2 * sp.margin) / info.numOfItemsInContainer - sp.gap;
        dx = boxWidth + sp.gap;
        if (boxWidth < minWidth) boxWidth = minWidth;
        boxHeight = H / 3;
        x = 2 * sp.gap;
        y = H / 2;
        dy = 0;
    } else if (hasArea) {
        for (int rounds = 0;; ++rounds) {
            boxWidth = W - info.maxXitemsInContainer - 2 * sp.margin;
            if (boxWidth >= minWidth) break;
            // The column never fits when the margins alone leave too little
            // room, and a round that moves nothing will not help either.
            bool hopeless = p.settings.compress == none && W - 2 * sp.margin < minWidth;
            float before = info.maxXitemsInContainer;
            if (hopeless || rounds >= kMaxShrinkRounds ||
                !shrink(p, container, info, sp.min_dim, sp.min_dim)) {
                boxWidth = minWidth;
                break;
            }
            computeDynamicContainerData(container, info);
            if (info.maxXitemsInContainer == before) {
                boxWidth = minWidth;
                break;
            }
        }
        boxHeight = (H - 2 * sp.margin) / info.numOfNewItemsInContainer - sp.gap;
        dy = boxHeight + sp.gap;
        if (boxHeight < minHeight) boxHeight = minHeight;
        x = W - boxWidth - sp.gap;
        y = sp.gap;
        dx = 0;
    }
    if (p.settings.trace)
        std::fprintf(p.settings.trace,
                     "Container: %s (W: %f, H: %f) - Items: (W: %f, H: %f, dx: %f, dy: %f,  X: %f Y: %f)\n",
                     container->name.c_str(), static_cast<double>(W), static_cast<double>(H),
                     static_cast<double>(boxWidth), static_cast<double>(boxHeight), static_cast<double>(dx),
                     static_cast<double>(dy), static_cast<double>(x), static_cast<double>(y));
    for (Item *c : container->ptrToConItems) {
        if (isOld(c)) continue;
        placeItem(c, x, y, boxWidth, boxHeight);
        if (p.settings.trace)
            std::fprintf(p.settings.trace, "Item: %s (%f, %f)\n", c->name.c_str(), static_cast<double>(x),
                         static_cast<double>(y));
        x += dx;
        y += dy;
    }
}

namespace {

void layOutContainer(const Placement &p, Item *container)
{
    ContainerInfo info;
    computeStaticContainerData(p, container, info);
    computeDynamicContainerData(container, info);
    positionItemsInContainer(p, container, info);
}

// Every container below `top` but `except`, top-down: each after its own box
// is final.
void position(const Placement &p, Item *top, const Item *except)
{
    walkPreOrderPruned(top, [&](Item *c, int) {
        if (p.settings.trace) std::fprintf(p.settings.trace, "Process: %s\n", c->name.c_str());
        if (c == except || !c->containsItems()) return false;
        layOutContainer(p, c);
        return true;
    });
}

void cliServSurvey(const Placement &p, const Item *root, const Item *subsystem, ContainerInfo &info)
{
    float clientWidth = 0, clientHeight = 0, serverWidth = 0, serverHeight = 0;
    int oldClients = 0, oldServers = 0;
    info.minServerSpace = p.spacing.windowHeight;
    for (const Item *c : root->ptrToConItems) {
        if (c == subsystem) continue;
        float bottom = c->y + c->height;
        if (c->kindOfItemInModel == client) {
            ++info.numOfClients;
            if (!isOld(c)) {
                ++info.numOfNewClients;
                continue;
            }
            ++oldClients;
            if (bottom > info.maxClientY) info.maxClientY = bottom;
            clientWidth += c->width;
            clientHeight += c->height;
        } else if (c->kindOfItemInModel == server) {
            ++info.numOfServers;
            if (!isOld(c)) {
                ++info.numOfNewServers;
                continue;
            }
            ++oldServers;
            if (c->y < info.minServerY) info.minServerY = c->y;
            if (bottom > info.maxServerY) info.maxServerY = bottom;
            float space = p.spacing.windowHeight - bottom;
            if (space < info.minServerSpace) info.minServerSpace = space;
            serverWidth += c->width;
            serverHeight += c->height;
        }
    }
    info.avgClientWidth = oldClients ? clientWidth / oldClients : kDefaultRowBoxWidth;
    info.avgClientHeight = oldClients ? clientHeight / oldClients : kDefaultRowBoxHeight;
    info.avgServerWidth = oldServers ? serverWidth / oldServers : kDefaultRowBoxWidth;
    info.avgServerHeight = oldServers ? serverHeight / oldServers : kDefaultRowBoxHeight;
    if (p.settings.trace) {
        std::fprintf(p.settings.trace, "Num new clients: %d\n", info.numOfNewClients);
        std::fprintf(p.settings.trace, "Num new services: %d\n", info.numOfNewServers);
    }
}

void positionClients(const Placement &p, Item *root, const Item *ss, const ContainerInfo &info)
{
    if (info.numOfNewClients == 0) return;
    const Spacing &sp = p.spacing;
    bool full = info.numOfNewClients == info.numOfClients || p.settings.relayoutCliServMode;
    float boxWidth, boxHeight, step, y;
    if (full) {
        boxWidth = ss->width / info.numOfClients - sp.gap;
        step = boxWidth + sp.gap;
        if (boxWidth < sp.min_dim) {
            boxWidth = boxHeight = sp.min_dim;
        } else {
            boxHeight = 0.6 * boxWidth;
            if (boxHeight > ss->y - sp.topGap) boxHeight = ss->y - sp.topGap;
            if (boxHeight < sp.min_dim) boxHeight = ss->y - sp.gap;
        }
        y = 2 * sp.margin + boxHeight <= ss->y ? ss->y - boxHeight - 2 * sp.margin : sp.margin;
    } else {
        boxHeight = ss->y - info.maxClientY - sp.margin;
        if (boxHeight < sp.min_dim) boxHeight = sp.min_dim;
        boxWidth = 1.666 * boxHeight;
        step = boxWidth + sp.gap;
        y = info.maxClientY + sp.margin;
    }
    // A subsystem too close to the top leaves no room: empty boxes, never
    // negative ones.
    boxHeight = std::max(boxHeight, 0.0f);
    boxWidth = std::max(boxWidth, 0.0f);
    float x = ss->x;
    for (Item *c : root->ptrToConItems) {
        if (c->kindOfItemInModel != client || (!full && isOld(c))) continue;
        placeItem(c, x, y, boxWidth, boxHeight);
        if (p.settings.trace)
            std::fprintf(p.settings.trace, "Client: %s (H:%f, W:%f X:%f Y:%f)\n", c->name.c_str(),
                         static_cast<double>(boxHeight), static_cast<double>(boxWidth),
                         static_cast<double>(x), static_cast<double>(y));
        x += step;
    }
}

void positionServers(const Placement &p, Item *root, const Item *ss, const ContainerInfo &info)
{
    if (info.numOfNewServers == 0) return;
    const Spacing &sp = p.spacing;
    bool full = info.numOfNewServers == info.numOfServers || p.settings.relayoutCliServMode;
    float boxWidth, boxHeight, y;
    if (full) {
        boxWidth = ss->width / info.numOfServers - sp.gap;
        if (boxWidth < sp.min_dim) {
            boxWidth = boxHeight = sp.min_dim;
        } else {
            boxHeight = 0.6 * boxWidth;
            if (boxHeight < sp.min_dim) boxHeight = sp.min_dim;
        }
        y = ss->y + ss->height + sp.topGap;
    } else {
        boxWidth = info.avgServerWidth;
        boxHeight = info.avgServerHeight;
        y = info.maxServerY + sp.gap;
    }
    // Old servers keep their boxes, also when the row is laid out anew.
    float x = ss->x;
    for (Item *c : root->ptrToConItems) {
        if (c->kindOfItemInModel != server || isOld(c)) continue;
        placeItem(c, x, y, boxWidth, boxHeight);
        if (p.settings.trace)
            std::fprintf(p.settings.trace, "Service: %s (H:%f, W:%f X:%f Y:%f)\n", c->name.c_str(),
                         static_cast<double>(boxHeight), static_cast<double>(boxWidth),
                         static_cast<double>(x), static_cast<double>(y));
        x += boxWidth + sp.gap;
    }
}

}  // namespace

void Control_PosNewItems(Placement &p, const SystemPointers &graphPtrs)
{
    FILE *trace = p.settings.trace;
    Item *root = graphPtrs.rootItemPtr;
    if (trace) std::fprintf(trace, "Position new items\n------------------\n");
    p.spacing = Spacing{};
    p.spacing.windowWidth = root->width;
    p.spacing.windowHeight = root->height;
    if (p.settings.model == nested || !graphPtrs.subSystemPtr) {
        layOutContainer(p, root);
        position(p, root, nullptr);
    } else {
        Item *ss = graphPtrs.subSystemPtr;
        ContainerInfo info;
        info.minServerY = p.spacing.windowHeight;
        computeStaticContainerData(p, ss, info);
        computeDynamicContainerData(ss, info);
        cliServSurvey(p, root, ss, info);
        Spacing &sp = p.spacing;
        sp.min_dim = root->width / 200;
        sp.gap = 2 * sp.min_dim;
        sp.margin = 2 * sp.gap;
        sp.topGap = 3 * sp.gap;
        if (trace)
            std::fprintf(trace, "rootWidth:%f min_dim: %f ssy: %f mcy: %f\n",
                         static_cast<double>(root->width), static_cast<double>(sp.min_dim),
                         static_cast<double>(ss->y), static_cast<double>(info.maxClientY));
        positionItemsInContainer(p, ss, info);
        if (trace) std::fprintf(trace, "-- Position Clients --\n");
        positionClients(p, root, ss, info);
        if (trace) std::fprintf(trace, "-- Position Services --\n");
        positionServers(p, root, ss, info);
        if (trace) std::fprintf(trace, "-- Recurse into SS --\n");
        position(p, ss, nullptr);
        if (trace) std::fprintf(trace, "-- Recurse into Clients and Services --\n");
        position(p, root, ss);
    }
    if (trace) std::fprintf(trace, "--- END\n\n");
}

}  // namespace layout::tesselfix
