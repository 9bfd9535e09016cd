// TA writer: the instance tree below $ROOT as a FACT TUPLE section (instances,
// containment, other edges) and a FACT ATTRIBUTE section.
#pragma once

#include "facts.h"

#include <cstdio>

class Clayout {
public:
    // Writes the graph below root; inputName may be null. indent is -1 for
    // flat containment lines, 0 to indent them by depth.
    static void ta(FILE *output, int indent, CinstanceFact *root, const char *inputName);
};
