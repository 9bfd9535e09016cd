// A named output that appears whole or not at all.
//
// gd_output_open follows symbolic links to the real target and opens a new
// file in the target's own directory, named after it (".out.gd.tmp.XXXXXX"
// beside "out.gd", so that one left behind is easy to recognise);
// gd_output_commit renames it over the target once every byte is written,
// flushed and closed without error. Until then the target stays as it was
// (or absent): a failed write, gd_output_discard, an exit (gd_fatal) and a
// signal that ends the program (SIGHUP, SIGINT, SIGTERM and the like) remove
// the temporary. Only a kill that cannot be caught leaves it behind.
//
// An existing target keeps its permission bits, and its owner where the
// process may give it away. A target that the process may not write is
// refused, as opening it would be, even in a directory that would let the
// rename replace it. A target that is not a regular file (a terminal, a pipe,
// /dev/null, /dev/stdout) is opened and written directly.
#pragma once

#include <cstdio>

#include "gd/graph.h"

struct gd_output;

// Opens `target` for binary writing. nullptr, with errno saying why, when
// it may not be written or no temporary can be made beside it.
gd_output *gd_output_open(const char *target);

// The stream to write the output's bytes to.
FILE *gd_output_stream(gd_output *out);

// Flushes and closes the output and puts it in place. 1 on success; 0, with
// errno saying why, when a write, the flush, the close or the rename failed:
// the target is then as it was. Releases `out` either way.
gd_success gd_output_commit(gd_output *out);

// Closes the output and removes its temporary, leaving the target as it was.
// Releases `out`.
void gd_output_discard(gd_output *out);
