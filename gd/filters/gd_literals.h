// What the literals family offers besides its filter.
#pragma once

#include <gd/graph.h>

// The quoted C text of the string constant whose `nbytes` bytes (terminator
// included) start at pool offset `text`, added to the pool. A constant whose
// bytes end in a zero 32-bit unit is a wide string. The bytes are checked
// against the pool: an offset outside it or a count of 0 or less gives the
// empty string, and a count that runs past the bytes in use is cut at their
// end.
str_ptr string_literal(gd_graph *g, str_ptr text, int nbytes);
