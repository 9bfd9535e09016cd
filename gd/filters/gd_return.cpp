// The gd_return family.

#include <gd/filters/filters.h>

// PLACEHOLDER: this family is not converted yet. The filter leaves the graph
// as it is and lets the chain go on.
int gd_return_filter(gd_graph *)
{
    return 1;
}
