// The work queue of the reachability passes: first in, first out, in the
// ring of the run state.
#include <cstdlib>
#include <cstring>

#include "gd/run_state.h"

namespace {
// Doubles the ring, moving the entries to its start in queue order.
void enlarge_ring(gd_run_state::work_queue &q)
{
    size_t larger = q.capacity ? 2 * q.capacity : 1024;
    t_queue_node *cells =
        larger <= SIZE_MAX / sizeof *cells ? (t_queue_node *)malloc(larger * sizeof *cells) : nullptr;
    if (!cells) gd_no_space_left();
    size_t first_part = q.capacity - q.head < q.count ? q.capacity - q.head : q.count;
    if (q.count) {
        memcpy(cells, q.ring + q.head, first_part * sizeof *cells);
        memcpy(cells + first_part, q.ring, (q.count - first_part) * sizeof *cells);
    }
    free(q.ring);
    q.ring = cells;
    q.capacity = larger;
    q.head = 0;
}
}  // namespace

void queue_add(node_ptr nodenum, int byChan)
{
    if (nodenum == -1) return;
    gd_run_state::work_queue &q = gd_run.queue;
    if (q.count == q.capacity) enlarge_ring(q);
    q.ring[(q.head + q.count) & (q.capacity - 1)] = t_queue_node{nodenum, byChan};
    q.count++;
}

int queue_first(node_ptr *nodenum, int *byChan)
{
    gd_run_state::work_queue &q = gd_run.queue;
    if (q.count == 0) {
        *nodenum = -1;
        return -1;
    }
    const t_queue_node &cell = q.ring[q.head];
    *nodenum = cell.nodenum;
    *byChan = cell.byChan;
    q.head = (q.head + 1) & (q.capacity - 1);
    q.count--;
    return 1;
}

int queue_empty(void)
{
    return gd_run.queue.count == 0;
}
