// The way out of the store's fatal conditions: the exit, or a handler that a
// host installs to go on with its next graph.
#include <cstdio>
#include <cstdlib>

#include "gd/memory_stop.h"
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

void gd_no_space_left(void)
{
    fputs("talvex: (fatal) no space left\n", stderr);
    gd_fatal(1);
}

void gd_no_space_left_in(const char *program)
{
    fprintf(stderr, "%s: no space left\n", program);
    gd_fatal(1);
}

bool gd_room_to_begin()
{
    void *room = malloc(size_t(1) << 20);
    free(room);
    return room != nullptr;
}
