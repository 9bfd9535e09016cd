#include "cliserv_layout.h"

#include <algorithm>
#include <vector>

#include "../common/tree.h"

namespace layout {
namespace {

// Rounded-down mean of the slots of the related items inside the subsystem,
// or 1 when there is none.
int meanSlotInSubsystem(const std::vector<Item *> &related, const Item *subsystem)
{
    long long sum = 0;
    long long count = 0;
    for (const Item *r : related) {
        if (r->parent != subsystem) continue;
        sum += r->desiredPosition;
        ++count;
    }
    return count ? static_cast<int>(sum / count) : 1;
}

// Slots 0 .. count - 1; each item takes the free slot nearest its wish.
void assignRowSlots(const std::vector<Item *> &row)
{
    int count = static_cast<int>(row.size());
    std::vector<char> taken(count, 0);
    for (Item *item : row) {
        int d = std::min(item->desiredPosition - 1, count - 1);
        int slot = -1;
        for (int k = 0; slot < 0; ++k) {
            if (d + k < count && d + k >= 0 && !taken[d + k])
                slot = d + k;
            else if (k > 0 && d - k >= 0 && d - k < count && !taken[d - k])
                slot = d - k;
        }
        taken[slot] = 1;
        item->actualPosition = slot + 1;
    }
}

void printClientsAndServers(FILE *trace, const std::vector<Item *> &clients,
                            const std::vector<Item *> &servers, const Item *subsystem)
{
    std::fprintf(trace, "\n\n Listing Clients Servers and Subsystem Entities.\n");
    std::fprintf(trace, "-----------------------------------------------\n\n");
    std::fprintf(trace, "\n\nClients\n");
    std::fprintf(trace, "-------\n");
    for (const Item *c : clients) std::fprintf(trace, "%s\n", c->name.c_str());
    std::fprintf(trace, "\n\nServers\n");
    std::fprintf(trace, "--------\n");
    for (const Item *s : servers) std::fprintf(trace, "%s\n", s->name.c_str());
    std::fprintf(trace, "\n\nsubsystem entities\n");
    std::fprintf(trace, "------------------\n");
    for (const Item *c : subsystem->ptrToConItems) std::fprintf(trace, "%s\n", c->name.c_str());
}

// One row of clients or servers: slot = window width / row size.
void positionRow(const std::vector<Item *> &row, int windowWidth, bool servers, int windowHeight)
{
    if (row.empty()) return;
    int slot = windowWidth / static_cast<int>(row.size());
    float half = slot / 4.0;
    float width = slot - 2 * half;
    float height = 0.6 * width;
    if (height > 50) {
        height = 50;
        width = 50 * 1.666;
    }
    for (Item *item : row) {
        item->width = width;
        item->height = height;
        item->x = (item->actualPosition - 1) * slot + half;
        item->y = servers ? windowHeight - 25 - height : clientSlotHeight / 4;
    }
}

}  // namespace

ClientsAndServers Control_CliServLayout(Item *root, Item *subsystem, FILE *trace)
{
    ClientsAndServers rows;
    auto &clients = rows.clients;
    auto &servers = rows.servers;
    for (Item *item : root->ptrToConItems) {
        if (item == subsystem) continue;
        if (clientOrServer(item) == server) {
            item->kindOfItemInModel = server;
            item->desiredPosition = meanSlotInSubsystem(item->ptrToRelationsFrom, subsystem);
            servers.push_back(item);
        } else {
            item->kindOfItemInModel = client;
            item->desiredPosition = meanSlotInSubsystem(item->ptrToRelationsTo, subsystem);
            clients.push_back(item);
        }
    }
    subsystem->desiredPosition = 1;
    assignRowSlots(clients);
    assignRowSlots(servers);
    if (trace) printClientsAndServers(trace, clients, servers, subsystem);
    return rows;
}

void layoutClientServer(Item *root, Item *subsystem, int windowWidth, int windowHeight, LayoutContext &ctx)
{
    ContainerLayout inner = layoutLevelsAndPositions(subsystem, ctx);
    ClientsAndServers rows = Control_CliServLayout(root, subsystem, ctx.trace);
    positionRow(rows.clients, windowWidth, false, windowHeight);
    positionRow(rows.servers, windowWidth, true, windowHeight);

    // A window too small for the margins leaves an empty subsystem area.
    float systemWidth = std::max(0.0f, windowWidth - 50.0f);
    float systemHeight = std::max(0.0f, windowHeight - clientSlotHeight - serverSlotHeight);
    subsystem->x = (windowWidth - systemWidth) / 2;
    subsystem->y = clientSlotHeight;
    subsystem->width = systemWidth;
    subsystem->height = systemHeight;
    determineBoxes(subsystem->ptrToConItems, inner.levels, inner.positions, systemWidth, systemHeight);

    visitEveryItemThatContainsStuff(subsystem, nullptr, ctx);
    visitEveryItemThatContainsStuff(root, subsystem, ctx);
}

void Control_DetermineLayout(const SystemPointers &graphPtrs, layoutModel model, int windowWidth,
                             int windowHeight, LayoutContext &ctx)
{
    if (model == cliServ)
        layoutClientServer(graphPtrs.rootItemPtr, graphPtrs.subSystemPtr, windowWidth, windowHeight, ctx);
    else
        layoutNested(graphPtrs.rootItemPtr, ctx);
}

}  // namespace layout
