#include "placement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "../common/tree.h"

namespace layout::tesselfix {
namespace {

// Size of a client or server row box when there is no old one to copy.
constexpr float kDefaultRowBoxWidth = 83.3;
constexpr float kDefaultRowBoxHeight = 50;

bool isOld(const Item* item) { return item->status == oldItem; }

// Every old item below `item`, in pre-order.
void forOldItemsBelow(Item* item, void (*change)(Item*, float), float factor) {
    walkPreOrder(item, [&](Item* below, int) {
        if (isOld(below)) change(below, factor);
    });
}

void reduceBox(Item* item, float S) {
    item->x -= item->x * S / 100.0;
    item->y -= item->y * S / 100.0;
    item->height -= item->height * S / 100.0;
    item->width -= item->width * S / 100.0;
}

void enlargeBox(Item* item, float S) {
    item->x = item->x / (1 - S / 100.0);
    item->y = item->y / (1 - S / 100.0);
    item->height = item->height / (1 - S / 100.0);
    item->width = item->width / (1 - S / 100.0);
}

void copyAttributeValues(Item* item) {
    item->oldX = item->x;
    item->oldY = item->y;
    item->oldHeight = item->height;
    item->oldWidth = item->width;
}

void restoreSavedBox(Item* item) {
    item->x = item->oldX;
    item->y = item->oldY;
    item->height = item->oldHeight;
    item->width = item->oldWidth;
}

// Divides the boxes of everything below `item` by `factor` (the item's old
// height over its new one), so its contents follow its new size.  Skipped
// when the factor is no finite positive number (a box of height 0).
void adjustConItemsAttr(Item* item, float factor) {
    if (!std::isfinite(factor) || !(factor > 0)) return;
    walkPreOrder(item, [factor](Item* below, int) {
        below->x /= factor;
        below->y /= factor;
        below->width /= factor;
        below->height /= factor;
    });
}

// Sets a placed item's box; a container's contents are scaled with it.
void placeItem(Item* item, float x, float y, float width, float height) {
    bool container = item->containsItems();
    if (container) copyAttributeValues(item);
    item->height = height;
    item->width = width;
    item->x = x;
    item->y = y;
    if (container) adjustConItemsAttr(item, item->oldHeight / item->height);
}

bool collide(const Item* p, const Item* t) {
    auto inside = [t](float px, float py) {
        return t->x <= px && px <= t->x + t->width && t->y <= py && py <= t->y + t->height;
    };
    return inside(p->x + p->width / 2, p->y + p->height / 2) || inside(p->x, p->y) ||
           inside(p->x + p->width, p->y) || inside(p->x, p->y + p->height) ||
           inside(p->x + p->width, p->y + p->height);
}

bool checkForCollision(const Item* container) {
    for (const Item* p : container->ptrToConItems) {
        if (!isOld(p)) continue;
        for (const Item* t : container->ptrToConItems)
            if (t != p && (collide(p, t) || collide(t, p))) return true;
    }
    return false;
}

}  // namespace

void identifyClientsAndServers(Item* root, Item* subsystem) {
    for (Item* child : root->ptrToConItems) {
        if (child == subsystem) continue;
        size_t to = child->ptrToRelationsTo.size();
        size_t from = child->ptrToRelationsFrom.size();
        TypesInModel kind = from == 0 ? client : to == 0 ? server : to < from ? server : client;
        child->kindOfItemInModel = kind;
        walkPreOrder(child, [kind](Item* below, int) { below->kindOfItemInModel = kind; });
    }
}

Outcome identifyNewAndOldEntities(const ItemTable& oldGraph, const SystemPointers& oldPtrs,
                                  const SystemPointers& newPtrs, FILE* trace) {
    const Item* oldRoot = oldPtrs.rootItemPtr;
    if (!oldRoot) return fail("\nFatal Error: $ROOT does not exist in old graph.\n");
    if (!oldRoot->hasBox) return fail("\nFatal Error: the old layout file has no box for $ROOT.\n");
    Item* root = newPtrs.rootItemPtr;
    root->status = oldItem;
    root->x = oldRoot->x;
    root->y = oldRoot->y;
    root->width = oldRoot->width;
    root->height = oldRoot->height;
    if (trace) std::fprintf(trace, "Identifying new and old\n-----------------------\n\n");
    walkPreOrder(root, [&](Item* c, int) {
        const Item* o = searchHash(oldGraph, c->name);
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

void computeStaticContainerData(const Placement& p, Item* container, ContainerInfo& info) {
    FILE* trace = p.settings.trace;
    info.containerWidth = container->width;
    info.containerHeight = container->height;
    info.numOfItemsInContainer = static_cast<int>(container->ptrToConItems.size());
    info.numOfNewItemsInContainer = 0;
    if (trace) std::fprintf(trace, "%s contains:\n", container->name.c_str());
    for (const Item* c : container->ptrToConItems) {
        if (!isOld(c)) ++info.numOfNewItemsInContainer;
        if (trace) std::fprintf(trace, "  %s\n", c->name.c_str());
    }
    if (trace)
        std::fprintf(trace, "Num items in container '%s': %d - New: %d\n", container->name.c_str(),
                     info.numOfItemsInContainer, info.numOfNewItemsInContainer);
}

void computeDynamicContainerData(Item* container, ContainerInfo& info) {
    if (info.ptrToMaxXItem) {
        info.maxXitemsInContainer = info.ptrToMaxXItem->x;
    } else {
        info.maxXitemsInContainer = 0;
        for (Item* c : container->ptrToConItems) {
            if (isOld(c) && c->x > info.maxXitemsInContainer) {
                info.maxXitemsInContainer = c->x;
                info.ptrToMaxXItem = c;
            }
        }
    }
    float width = 0, height = 0;
    int old = 0;
    for (const Item* c : container->ptrToConItems) {
        if (!isOld(c)) continue;
        width += c->width;
        height += c->height;
        ++old;
    }
    info.containerItemWidth = old ? width / old : 0;
    info.containerItemHeight = old ? height / old : 0;
}

bool shrink(const Placement& p, Item* container, ContainerInfo& info, float minHeight, float minWidth) {
    const PlacementSettings& s = p.settings;
    const float S = s.SHRINK;
    ++info.X;
    std::vector<Item*> moved;
    for (Item* c : container->ptrToConItems) {
        if (!isOld(c)) continue;
        if (s.compress == max) copyAttributeValues(c);
        c->x -= c->x * S / 100.0;
        c->y -= c->y * S / 100.0;
        moved.push_back(c);
        if (s.compress == min) {
            c->height -= c->height * S / 100.0;
            c->width -= c->width * S / 100.0;
            if (c->height < minHeight && c->width < minWidth) {
                // Undo what this round shrank: this child's box, and the
                // earlier children with their contents.
                for (Item* m : moved) {
                    enlargeBox(m, S);
                    if (m != c) forOldItemsBelow(m, enlargeBox, S);
                }
                return false;
            }
            forOldItemsBelow(c, reduceBox, S);
        } else if (s.compress == max) {
            if (info.X > 100) {
                for (Item* m : moved) restoreSavedBox(m);
                return false;
            }
            float height = c->height - c->height * S / 100.0;
            float width = c->width - c->width * S / 100.0;
            if (height > s.MIN_CONTAINER_ENTITY_HEIGHT && width > s.MIN_CONTAINER_ENTITY_WIDTH) {
                c->height = height;
                c->width = width;
                forOldItemsBelow(c, reduceBox, S);
            }
        }
    }
    if (s.compress == max && checkForCollision(container)) {
        // The contents keep their reduction; only the children's own boxes
        // come back.
        for (Item* m : moved) restoreSavedBox(m);
        return false;
    }
    return true;
}

void positionItemsInContainer(const Placement& p, Item* container, ContainerInfo& info) {
    if (info.numOfNewItemsInContainer == 0) return;
    const Spacing& sp = p.spacing;
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
            if (hopeless || rounds >= kMaxShrinkRounds || !shrink(p, container, info, sp.min_dim, sp.min_dim)) {
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
    for (Item* c : container->ptrToConItems) {
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

void layOutContainer(const Placement& p, Item* container) {
    ContainerInfo info;
    computeStaticContainerData(p, container, info);
    computeDynamicContainerData(container, info);
    positionItemsInContainer(p, container, info);
}

// Every container below `top` but `except`, top-down: each after its own box
// is final.
void position(const Placement& p, Item* top, const Item* except) {
    walkPreOrderPruned(top, [&](Item* c, int) {
        if (p.settings.trace) std::fprintf(p.settings.trace, "Process: %s\n", c->name.c_str());
        if (c == except || !c->containsItems()) return false;
        layOutContainer(p, c);
        return true;
    });
}

void cliServSurvey(const Placement& p, const Item* root, const Item* subsystem, ContainerInfo& info) {
    float clientWidth = 0, clientHeight = 0, serverWidth = 0, serverHeight = 0;
    int oldClients = 0, oldServers = 0;
    info.minServerSpace = p.spacing.windowHeight;
    for (const Item* c : root->ptrToConItems) {
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

void positionClients(const Placement& p, Item* root, const Item* ss, const ContainerInfo& info) {
    if (info.numOfNewClients == 0) return;
    const Spacing& sp = p.spacing;
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
    for (Item* c : root->ptrToConItems) {
        if (c->kindOfItemInModel != client || (!full && isOld(c))) continue;
        placeItem(c, x, y, boxWidth, boxHeight);
        if (p.settings.trace)
            std::fprintf(p.settings.trace, "Client: %s (H:%f, W:%f X:%f Y:%f)\n", c->name.c_str(),
                         static_cast<double>(boxHeight), static_cast<double>(boxWidth), static_cast<double>(x),
                         static_cast<double>(y));
        x += step;
    }
}

void positionServers(const Placement& p, Item* root, const Item* ss, const ContainerInfo& info) {
    if (info.numOfNewServers == 0) return;
    const Spacing& sp = p.spacing;
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
    for (Item* c : root->ptrToConItems) {
        if (c->kindOfItemInModel != server || isOld(c)) continue;
        placeItem(c, x, y, boxWidth, boxHeight);
        if (p.settings.trace)
            std::fprintf(p.settings.trace, "Service: %s (H:%f, W:%f X:%f Y:%f)\n", c->name.c_str(),
                         static_cast<double>(boxHeight), static_cast<double>(boxWidth), static_cast<double>(x),
                         static_cast<double>(y));
        x += boxWidth + sp.gap;
    }
}

}  // namespace

void Control_PosNewItems(Placement& p, const SystemPointers& graphPtrs) {
    FILE* trace = p.settings.trace;
    Item* root = graphPtrs.rootItemPtr;
    if (trace) std::fprintf(trace, "Position new items\n------------------\n");
    p.spacing = Spacing{};
    p.spacing.windowWidth = root->width;
    p.spacing.windowHeight = root->height;
    if (p.settings.model == nested || !graphPtrs.subSystemPtr) {
        layOutContainer(p, root);
        position(p, root, nullptr);
    } else {
        Item* ss = graphPtrs.subSystemPtr;
        ContainerInfo info;
        info.minServerY = p.spacing.windowHeight;
        computeStaticContainerData(p, ss, info);
        computeDynamicContainerData(ss, info);
        cliServSurvey(p, root, ss, info);
        Spacing& sp = p.spacing;
        sp.min_dim = root->width / 200;
        sp.gap = 2 * sp.min_dim;
        sp.margin = 2 * sp.gap;
        sp.topGap = 3 * sp.gap;
        if (trace)
            std::fprintf(trace, "rootWidth:%f min_dim: %f ssy: %f mcy: %f\n", static_cast<double>(root->width),
                         static_cast<double>(sp.min_dim), static_cast<double>(ss->y),
                         static_cast<double>(info.maxClientY));
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
