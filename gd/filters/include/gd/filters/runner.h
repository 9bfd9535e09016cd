// The frame of the gd graph programs: read one gd graph file, run a list of
// filter steps on the graph, write it to a second file. `talvexf` runs the
// whole chain with a progress line per step; a single-filter program runs a
// list of one step, built from its family name:
//
//     static const filter_step step[] = {FILTER_STEP(gd_alias)};
//     buffer_standard_error();
//     return run_filter_program(argc, argv, step, step_report::errors_only);
#pragma once

#include <gd/filters/filters.h>

#include <span>

// One step: the filter's full name, as the messages print it, and the filter.
struct filter_step {
    const char *name;
    int (*run)(gd_graph *g);
};

// A step from a family name alone, so that name and function cannot disagree.
// The name may come from a macro (a program built once per family with
// -DFAMILY=gd_alias writes FILTER_STEP(FAMILY)): it is expanded first.
#define FILTER_STEP(family) FILTER_STEP_OF_FAMILY(family)
// clang-format off
#define FILTER_STEP_OF_FAMILY(family) filter_step{#family "_filter", &family##_filter}
// clang-format on

enum class step_report {
    progress,     // "* Running <name>..." before each step, "done\n" after it
    errors_only,  // only the error text of a failing step
};

// The program name from the command line, for the usage message.
extern const char *progname;

// Prints the usage message on standard error and ends the program with status 1.
[[noreturn]] void usage();

// Runs the steps in order on the graph. Stops at the first step that returns
// 0, after printing "Error in filter <name>\n", and returns 0; returns 1 when
// every step went on.
int run_steps(gd_graph *g, std::span<const filter_step> steps, step_report report);

// Gives standard error a buffer, so that a step's diagnostics (one filter
// writes tens of thousands of lines on a large unit) leave in large writes
// instead of one write each. The frame flushes it at every progress line and
// after every step, and the exit flushes what a fatal condition printed, so
// every message keeps its place. Called first thing in a program's main,
// before anything is written to standard error.
void buffer_standard_error();

// The whole program: sets `progname`, checks that there are exactly two
// arguments (else `usage`), reads argv[1], runs the steps and writes argv[2].
// Returns the exit status: 0, or 1 after a message on standard error.
int run_filter_program(int argc, char **argv, std::span<const filter_step> steps, step_report report);
