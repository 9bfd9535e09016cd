// One twinfold run: parse, merge, rename, write.
#pragma once

#include "output.h"

#include <cstdio>

// Program settings from the command line.
extern int verbose;        // count of -v
extern int union_headers;  // 1, or 0 with -u
extern int indent;         // -1, or 0 with -i

// Node table bits of the parser in a run.
constexpr int kParserTableBits = 20;

// Reads input, merges and renames, writes the TA output and finishes it.
// 0 on success, 1 after a reported failure. inputName may be null.
int run(FILE* input, const char* inputName, CoutputFile& output);
