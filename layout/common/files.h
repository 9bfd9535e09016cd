// Whole-file input and file identity for the layout programs.
#pragma once

#include <string>

namespace layout {

// Reads the whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& text);

// True when both names exist and denote the same file (same device and inode),
// however they are spelt.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace layout
