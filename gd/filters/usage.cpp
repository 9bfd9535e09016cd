// The usage message shared by `talvexf` and every single-filter program.

#include <gd/filters/runner.h>

#include <cstdio>
#include <cstdlib>

const char *progname = "";

void usage()
{
    std::fprintf(stderr, "usage: %s ingdfile outgdfile\n", progname);
    std::exit(1);
}
