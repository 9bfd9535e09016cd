// Whole-file input and file identity for the layout programs.
#pragma once

#include <string>

#include "failure.h"

namespace layout {

// Reads the whole file.  A file that cannot be opened (or is a directory)
// gives "Could not open file"; a read that fails part way is a stop of its
// own ("Could not read file"), never a shorter input.
MaybeFailure readInputFile(const std::string &path, std::string &text);

// True when both names exist and denote the same file (same device and inode),
// however they are spelt.
bool sameFile(const std::string &a, const std::string &b);

}  // namespace layout
