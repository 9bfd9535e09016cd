// The TA tuple reader: the subset of a TA fact file the layout tools read.
// Tokens are taken in threes; the "$INSTANCE" triples declare items, every
// later triple of a "FACT TUPLE" section is a relation, "contain" building the
// containment tree.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "failure.h"
#include "item.h"

namespace layout {

struct ReadOptions {
    bool relationOnlyInput = false;  // -r: no "$INSTANCE" run, relations only
    bool printParseError = false;    // -e: warnings on `warnings`
    FILE *trace = nullptr;           // -x: the trace file
    FILE *warnings = stderr;
    std::string inputTupleFile;  // the file name as given, for warnings
};

// Reads the whole text into `graph`.
MaybeFailure Control_ParseGraphFile(ItemTable &graph, std::string_view text, const ReadOptions &options);

}  // namespace layout
