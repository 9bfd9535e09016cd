// Where the parts of a gd graph file lie, found from the counts in the
// file's own bytes, for tests that feed a reader the file in pieces cut
// inside each part.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gd_file_parts {

// The little-endian 32-bit count at `at`; 0 past the end of the bytes.
inline uint64_t count_at(const std::string &bytes, size_t at)
{
    if (at + 4 > bytes.size()) return 0;
    uint64_t v = 0;
    for (int i = 3; i >= 0; i--) v = v << 8 | (unsigned char)bytes[at + i];
    return v;
}

// Offsets inside each part of the file, in increasing order and strictly
// inside it: the magic, the version, the pool's count and bytes, the hash
// table's count and slots, the first node, the node count, the first record,
// the boundary between two records halfway and the last byte. A reader that
// took a short read for the end of its input would refuse the file at any
// of them.
inline std::vector<size_t> cuts_inside_each_part(const std::string &bytes)
{
    constexpr uint64_t record_bytes = 72;
    const uint64_t pool = count_at(bytes, 8);
    const uint64_t table_at = 12 + pool;
    const uint64_t slots = count_at(bytes, table_at);
    const uint64_t first_node_at = table_at + 4 + 4 * slots;
    const uint64_t nodes = count_at(bytes, first_node_at + 4);
    const uint64_t records_at = first_node_at + 8;
    const uint64_t wanted[] = {2,
                               6,
                               10,
                               12 + pool / 2,
                               table_at + 2,
                               table_at + 4 + 2 * slots,
                               first_node_at + 2,
                               first_node_at + 6,
                               records_at + record_bytes / 2,
                               records_at + record_bytes * (nodes / 2),
                               bytes.size() - 1};
    std::vector<size_t> cuts;
    for (uint64_t at : wanted)
        if (at > 0 && at < bytes.size()) cuts.push_back((size_t)at);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

}  // namespace gd_file_parts
