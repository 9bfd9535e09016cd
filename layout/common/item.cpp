#include "item.h"

namespace layout {

int hashIndex(std::string_view name)
{
    std::uint64_t sum = 0;
    for (char c : name) sum += static_cast<unsigned char>(c) & 0x7f;
    return static_cast<int>(sum % kHashBuckets);
}

Item *searchHash(const ItemTable &graph, std::string_view name)
{
    auto it = graph.byName.find(name);
    return it == graph.byName.end() ? nullptr : it->second;
}

Item *addItem(ItemTable &graph, std::string_view name)
{
    Item &item = graph.storage.emplace_back();
    item.name.assign(name);
    graph.buckets[hashIndex(name)].push_back(&item);
    graph.byName.emplace(item.name, &item);
    return &item;
}

}  // namespace layout
