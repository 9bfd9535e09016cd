// The single-filter programs: one main, built once per filter family with
// GD_FILTER_FAMILY_NAME set to the family, as run_<family>_filter. Each reads
// a gd graph file, runs its one filter and writes the graph.
//
//     run_<family>_filter ingdfile outgdfile

#include <gd/filters/runner.h>

#ifndef GD_FILTER_FAMILY_NAME
#error "build with GD_FILTER_FAMILY_NAME set to the filter family"
#endif

// Expands the family name before FILTER_STEP pastes and quotes it.
#define SINGLE_STEP(family) FILTER_STEP(family)

int main(int argc, char **argv)
{
    static const filter_step step[] = {SINGLE_STEP(GD_FILTER_FAMILY_NAME)};
    buffer_standard_error();
    return run_filter_program(argc, argv, step, step_report::errors_only);
}
