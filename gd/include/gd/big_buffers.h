// The graph's large buffers (node records, string pool, hash table): plain
// malloc memory, released with free, that the kernel is asked to back with
// huge pages. A graph of a million nodes fills over a hundred megabytes just
// read or just grown; with small pages the first touch of each 4 KB costs a
// page fault, which made reading such a graph cost more than scanning it.
#pragma once

#include <cstddef>

// malloc and realloc with that request for blocks of 4 MB and more.
void *gd_big_alloc(size_t bytes);
void *gd_big_realloc(void *block, size_t bytes);
