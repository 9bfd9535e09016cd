// Output files that survive failure.  A regular target (or one that does not
// exist yet) is written to a new file beside it, ".NAME.tmp.XXXXXX" in the
// directory of the file its symbolic links lead to, and that file is renamed
// over the target only once every byte is written, flushed and closed.  Until
// then a write error, a stop or a signal that ends the program leaves the
// target as it was (or absent) and removes the temporary.  A target that is
// no regular file (a terminal, a FIFO, /dev/null) is written directly.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "failure.h"

namespace layout {

struct OutputFile {
    std::string name;       // as given, for the messages
    std::string finalPath;  // the file the name leads to after symbolic links
    std::string tempPath;   // empty when the target is written directly
    FILE *stream = nullptr;
    mode_t mode = 0;       // the permission bits the target ends with
    int pendingSlot = -1;  // where a signal finds the temporary to remove
    bool written = false;  // every byte written and the stream closed

    OutputFile() = default;
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;
    ~OutputFile();
};

// Opens `name` for writing: a regular file that may not be written, or a
// temporary that cannot be made beside it, gives "Could not open file".
MaybeFailure openOutputFile(const std::string &name, OutputFile &file);

// Writes `text`, flushes and closes; the target is not yet touched when a
// temporary stands for it.  On failure the temporary is removed.
MaybeFailure writeOutputFile(OutputFile &file, std::string_view text);

// Renames a written temporary over its target (nothing to do for a target
// written directly).
MaybeFailure installOutputFile(OutputFile &file);

// Closes and removes the temporary, leaving the target as it was.
void discardOutputFile(OutputFile &file);

// open, write and install in one step.
MaybeFailure writeWholeFile(const std::string &name, std::string_view text);

}  // namespace layout
