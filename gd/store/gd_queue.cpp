// The work queue of the reachability passes: first in, first out.
//
// A pass queues a few entries per node it visits, millions in a large unit,
// so the entries live in one ring buffer that doubles when full instead of
// one allocation per entry.
#include <cstdlib>
#include <cstring>

#include "gd/graph.h"

namespace {
t_queue_node *ring = nullptr;
size_t capacity = 0;  // a power of two, or 0 before the first entry
size_t head = 0;      // index of the oldest entry
size_t count = 0;

// Doubles the ring, moving the entries to its start in queue order.
void enlarge_ring() {
  size_t larger = capacity ? 2 * capacity : 1024;
  t_queue_node *cells = larger <= SIZE_MAX / sizeof *cells ? (t_queue_node *)malloc(larger * sizeof *cells) : nullptr;
  if (!cells) {
    fprintf(stderr, "talvex: (fatal) no space left\n");
    gd_fatal(1);
  }
  size_t first_part = capacity - head < count ? capacity - head : count;
  if (count) {
    memcpy(cells, ring + head, first_part * sizeof *cells);
    memcpy(cells + first_part, ring, (count - first_part) * sizeof *cells);
  }
  free(ring);
  ring = cells;
  capacity = larger;
  head = 0;
}
}  // namespace

void queue_add(node_ptr nodenum, int byChan) {
  if (nodenum == -1) return;
  if (count == capacity) enlarge_ring();
  ring[(head + count) & (capacity - 1)] = t_queue_node{nodenum, byChan};
  count++;
}

int queue_first(node_ptr *nodenum, int *byChan) {
  if (count == 0) {
    *nodenum = -1;
    return -1;
  }
  const t_queue_node &cell = ring[head];
  *nodenum = cell.nodenum;
  *byChan = cell.byChan;
  head = (head + 1) & (capacity - 1);
  count--;
  return 1;
}

int queue_empty(void) { return count == 0; }

void queue_clear(void) {
  free(ring);
  ring = nullptr;
  capacity = head = count = 0;
}
