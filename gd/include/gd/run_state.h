// What the store keeps from one call to the next while a program works on
// its graph: the work queue of the reachability passes, the number of walks
// running and the allocation stop they hold. They live in one object with one
// reset, so that a host going on to its next graph after a fatal condition
// (gd_fatal resets it before its handler runs) starts as a program does.
#pragma once

#include <cstddef>

#include "gd/graph.h"

struct gd_run_state {
    // The work queue, first in, first out. A pass queues a few entries per node
    // it visits, millions in a large unit, so the entries live in one ring that
    // doubles when full instead of one allocation per entry.
    struct work_queue {
        t_queue_node *ring = nullptr;
        size_t capacity = 0;  // a power of two, or 0 before the first entry
        size_t head = 0;      // index of the oldest entry
        size_t count = 0;
    } queue;
    // Walks running now; allocation stays stopped until the outermost ends.
    int walks = 0;
    // Set while a walk runs: the walk hands out addresses inside the node
    // buffer, which an allocation could move.
    bool allocation_stopped = false;
};

// The program's run state. Only the store's queue, walk and allocation
// functions read or change it.
extern gd_run_state gd_run;

// Back to the state of a program that has just started: the queue empty and
// its memory released, no walk running, allocation allowed.
void gd_run_reset(void);

// The allocation stop around a walk: gd_walk_begin stops allocation and
// gd_walk_end allows it again once the outermost walk has ended (walk_ptrs
// takes it around its pass).
void gd_walk_begin(void);
void gd_walk_end(void);
