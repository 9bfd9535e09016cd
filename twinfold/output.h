// The TA output stream. A named output is opened before the input is read,
// so that an output that cannot be written is reported at once. When it is a
// regular file (or does not exist yet), opening it makes a new temporary file
// in the directory of the real target (the file its symbolic links lead to),
// named after it (".out.ta.tmp.XXXXXX" beside "out.ta"); the output is
// written there and renamed over the target only once every byte is written,
// flushed to the disk and closed. A run that fails, stops, exits or is ended
// by a signal it can catch removes the temporary and leaves the target as it
// was, or absent. The replaced file keeps its permission bits (and its owner
// where the system allows), not its inode: a hard link to it keeps the old
// contents. A target the user may not write is refused even when its
// directory is writable. A target that is not a regular file (a device, a
// FIFO, a terminal, /dev/stdout) is written directly.
#pragma once

#include "step_end.h"

#include <string>

#include <cstdio>

class CoutputFile {
public:
    CoutputFile() = default;
    CoutputFile(const CoutputFile &) = delete;
    CoutputFile &operator=(const CoutputFile &) = delete;
    ~CoutputFile() { abandon(); }

    void openStandardOutput();
    // Opens path for writing (making the temporary, for a file that is
    // replaced); stops, with "Can't write to '<path>'", when it cannot be
    // written. Nothing of the target changes.
    CstepEnd open(const char *path);
    // Gives the output its stream (a device written directly is emptied
    // first, as a file written in place would be).
    CstepEnd begin();
    FILE *stream() const { return m_pStream; }
    bool isStandardOutput() const { return m_standardOutput; }
    // The name for messages.
    const char *displayName() const { return m_name.c_str(); }
    // Flushes and closes the stream and puts the temporary in the target's
    // place; stops on any write, flush, close or rename error, and then the
    // target is as it was.
    CstepEnd finish();
    // Closes the output and removes the temporary.
    void abandon();
    // The temporary being written, empty when there is none.
    const std::string &temporaryName() const { return m_temporary; }

private:
    bool openDirectly(const char *path);
    bool openTarget(const char *path);
    bool finishWriting();
    // Says that the output cannot be written.
    CstepEnd stop() const;
    // Stops a signal or an exit from removing this output's temporary.
    void forgetPending() const;
    bool makeTemporary(const std::string &target, int mode, const struct stat *existing);

    FILE *m_pStream = nullptr;
    int m_fd = -1;
    bool m_standardOutput = false;
    std::string m_name;
    std::string m_target;     // the real file the temporary replaces
    std::string m_temporary;  // empty when the output is written directly
};
