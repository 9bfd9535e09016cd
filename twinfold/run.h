// One twinfold run: parse, merge, rename, write.
#pragma once

#include "input.h"
#include "output.h"
#include "step_end.h"

#include <cstdio>

// The settings of a run, from the command line.
struct Coptions {
    int m_verbose = 0;           // count of -v
    bool m_unionHeaders = true;  // false with -u
    int m_indent = -1;           // 0 with -i: containment lines indented by depth
};

// Node table bits of the parser in a run.
constexpr int kParserTableBits = 20;

// Reads input, merges and renames, writes the TA output and finishes it.
// inputName may be null (standard input).
CstepEnd run(CinputSource &input, const char *inputName, CoutputFile &output, const Coptions &options);
