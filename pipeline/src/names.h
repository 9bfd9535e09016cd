#pragma once
// Suffix operations on file names and the names of stage files.

#include <string>
#include <string_view>

namespace pipeline {

// True when s ends with suffix; s equal to suffix counts.
bool hasSuffix(std::string_view s, std::string_view suffix);

// True when s is longer than suffix and ends with it (tabula's test, which
// does not take ".ta" alone for a TA file name).
bool hasProperSuffix(std::string_view s, std::string_view suffix);

// s without suffix when it ends with it, else s.
std::string delsuffix(std::string_view s, std::string_view suffix);

// Removes the suffixes ".ta", ".addschema", ".layout", ".unique" and
// ".rawline" in that order, each at most once, each from the result of the
// one before.
std::string delsuffixes(std::string_view s);

// The stage file of stage number (1 to 99) named stageName: prefix, ".tmp.",
// the number in two digits, ".", the stage name, ".ta".
std::string tmpFileName(std::string_view prefix, int number, std::string_view stageName);

}  // namespace pipeline
