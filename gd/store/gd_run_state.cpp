// The run state, its reset, the walk count and the allocation stop.
#include <cstdlib>

#include "gd/run_state.h"

gd_run_state gd_run;

void gd_run_reset(void)
{
    free(gd_run.queue.ring);
    gd_run = gd_run_state{};
}

void newNode_start(void)
{
    gd_run.allocation_stopped = false;
}
void newNode_stop(void)
{
    gd_run.allocation_stopped = true;
}

void gd_walk_begin(void)
{
    if (++gd_run.walks > 0) newNode_stop();
}

void gd_walk_end(void)
{
    if (--gd_run.walks == 0) newNode_start();
}
