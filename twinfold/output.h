// The TA output, in twinfold's words over the support library's output file
// (support/output_file.h). A named output is opened before the input is
// read, so that one that cannot be written is reported at once. A regular
// file (or a name with no file yet) is written to a temporary beside the
// real target (".out.ta.tmp.XXXXXX" beside "out.ta", after following
// symbolic links), flushed to the disk and closed, and only then renamed
// over the target, whose permission bits (and owner, where the system
// allows) it keeps. A writable target in a folder that takes no new file is
// made whole under TMPDIR and then written into the file in place. A name
// that stands for an open descriptor (/dev/stdout, /dev/fd/N) is written
// through it, and any other file that is not regular (a device, a FIFO, a
// terminal) directly. A run that fails, stops, exits or is ended by a signal
// it can catch leaves the target as it was, or absent, and no temporary.
#pragma once

#include "step_end.h"

#include "support/output_file.h"

#include <cstdio>
#include <string>

class CoutputFile {
public:
    CoutputFile() = default;
    CoutputFile(const CoutputFile &) = delete;
    CoutputFile &operator=(const CoutputFile &) = delete;
    ~CoutputFile() { abandon(); }

    void openStandardOutput();
    // Opens path for writing; stops, with "Can't write to '<path>'" (and a
    // line naming the folder, where the folder takes no new file), when it
    // cannot be written. Nothing of the target changes.
    CstepEnd open(const char *path);
    // Gives the output its stream.
    CstepEnd begin();
    FILE *stream() const { return m_pStream; }
    bool isStandardOutput() const { return m_standardOutput; }
    // The name for messages.
    const char *displayName() const { return m_name.c_str(); }
    // Writes out and closes the stream and puts the output in the target's
    // place; stops on any write, flush, sync, close or rename error, and then
    // the target is as it was.
    CstepEnd finish();
    // Closes the output and removes its temporary.
    void abandon();

private:
    // Says that the output cannot be written.
    CstepEnd stop() const;

    support::OutputFile m_file;
    FILE *m_pStream = nullptr;
    bool m_standardOutput = false;
    std::string m_name;
};
