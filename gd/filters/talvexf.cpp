// talvexf: turns a front end's gd graph file into the Ririra graph by the
// 41 steps of the filter chain.
//
//     talvexf ingdfile outgdfile

#include <gd/filters/chain.h>

int main(int argc, char **argv)
{
    buffer_standard_error();
    return run_filter_program(argc, argv, talvex_chain(), step_report::progress);
}
