// The graph's large buffers (node records, string pool, hash table), which
// the kernel is asked to back with huge pages. A graph of a million nodes
// fills over a hundred megabytes just read or just grown; with small pages
// the first touch of each 4 KB costs a page fault, which made reading such a
// graph cost more than scanning it.
//
// A block of 4 MB and more is a mapping of its own that begins on a huge-page
// boundary and stays on one as it grows, so that growing it neither copies
// it nor splits its huge pages; smaller blocks are malloc's. Release every
// block with gd_big_free; gd_big_realloc and gd_big_free also take plain
// malloc blocks.
#pragma once

#include <cstddef>

// As malloc, realloc and free.
void *gd_big_alloc(size_t bytes);
void *gd_big_realloc(void *block, size_t bytes);
void gd_big_free(void *block);
