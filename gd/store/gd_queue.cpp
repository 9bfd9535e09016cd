// The work queue of the reachability passes: first in, first out.
#include <cstdlib>

#include "gd/graph.h"

namespace {
t_queue_node *head = nullptr;
t_queue_node *tail = nullptr;
}  // namespace

void queue_add(node_ptr nodenum, int byChan) {
  if (nodenum == -1) return;
  t_queue_node *cell = (t_queue_node *)malloc(sizeof *cell);
  if (!cell) {
    fprintf(stderr, "talvex: (fatal) no space left\n");
    gd_fatal(1);
  }
  *cell = t_queue_node{nodenum, byChan, nullptr};
  if (head)
    tail->next = cell;
  else
    head = cell;
  tail = cell;
}

int queue_first(node_ptr *nodenum, int *byChan) {
  if (!head) {
    *nodenum = -1;
    return -1;
  }
  t_queue_node *cell = head;
  head = cell->next;
  if (!head) tail = nullptr;
  *nodenum = cell->nodenum;
  *byChan = cell->byChan;
  free(cell);
  return 1;
}

int queue_empty(void) { return head == nullptr; }

void queue_clear(void) {
  while (head) {
    t_queue_node *cell = head;
    head = cell->next;
    free(cell);
  }
  tail = nullptr;
}
