// The way out of the store's fatal conditions: the exit, or a handler that a
// host installs to go on with its next graph.
#include <cstdlib>

#include "gd/run_state.h"

namespace {

void exit_with(int status)
{
    exit(status);
}

gd_fatal_handler fatal_handler = exit_with;

}  // namespace

gd_fatal_handler gd_set_fatal_handler(gd_fatal_handler handler)
{
    gd_fatal_handler previous = fatal_handler;
    fatal_handler = handler ? handler : exit_with;
    return previous;
}

void gd_fatal(int status)
{
    gd_run_reset();
    fatal_handler(status);
    exit(status);
}
