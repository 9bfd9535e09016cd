// Memory that runs out inside the C++ library, where a container or a string
// of a gd program cannot grow, stops the program as memory that the store
// cannot get does: a message, status 1, no output. A program's frame runs its
// whole work through gd_run_stopping_when_memory_runs_out:
//
//     int main(int argc, char **argv)
//     {
//         return gd_run_stopping_when_memory_runs_out([&] { return work(argc, argv); },
//                                                     [] { gd_no_space_left_in("graphxml"); });
//     }
//
// The exception unwinds to the frame, so code that can do without an aid
// when memory runs short (the string pool's index, the free set) still
// catches it first and goes on. What the program had begun to write to a
// named output is a temporary, which the exit removes.
#pragma once

#include <new>
#include <stdexcept>

// Whether a megabyte of memory can be had (and is given back).
bool gd_room_to_begin();

// Runs `work` and returns its status. When it throws std::bad_alloc, or
// std::length_error for a size past any a container can hold, calls `stop`,
// which prints the program's message and ends the program.
template <class Work, class Stop> int gd_run_stopping_when_memory_runs_out(Work &&work, Stop &&stop)
{
    // The C++ library sets memory aside, as a program starts, to throw from
    // when memory runs out; a program started so close to its limit that it
    // got none would end in std::terminate at its first exception. Such a
    // program cannot get a megabyte now either, and stops before it begins.
    if (!gd_room_to_begin()) stop();
    try {
        return work();
    } catch (const std::bad_alloc &) {
    } catch (const std::length_error &) {
    }
    stop();
    return 1;
}

// Prints "<program>: no space left" on standard error and ends the program
// with status 1 through gd_fatal: the stop of
// gd_run_stopping_when_memory_runs_out for a program with messages of its
// own (talvexf's frame stops with gd_no_space_left).
[[noreturn]] void gd_no_space_left_in(const char *program);
