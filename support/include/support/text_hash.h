#pragma once

#include <cstddef>
#include <cstdint>

// The one hash of texts that the programs' own tables use (the gd graph
// file's string table has a hash of its own, which the file format fixes):
// 64-bit FNV-1a, each byte folded in turn into a running value that starts
// at the offset basis.
namespace support {

inline constexpr uint64_t fnvOffsetBasis = 14695981039346656037ull;
inline constexpr uint64_t fnvPrime = 1099511628211ull;

// h with the length bytes at bytes folded in.
inline uint64_t fnvAdd(uint64_t h, const char *bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * fnvPrime;
    return h;
}

// h with the bytes of text up to its NUL folded in; a null text adds nothing.
inline uint64_t fnvAdd(uint64_t h, const char *text)
{
    if (text == nullptr) return h;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p)
        h = (h ^ *p) * fnvPrime;
    return h;
}

}  // namespace support
