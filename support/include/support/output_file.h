// A named output that appears whole or not at all, as every program of the
// toolkit writes one.
//
// What open() makes of the name, after following its symbolic links:
// - a regular file, or no file yet: the bytes go to a new file beside the
//   real target, ".NAME.tmp.XXXXXX" in the target's folder (easy to
//   recognise when a kill leaves one), and keep() renames it over the target
//   once every byte is written, flushed and closed without error. An
//   existing target keeps its permission bits, and its owner where the
//   process may give the file away; a new one gets the bits the umask gives.
//   A target that the process may not write is refused, though the folder
//   would let the rename replace it.
// - a writable regular file in a folder that cannot take a new file (a
//   shared results folder, a sticky folder holding another user's file): the
//   output is made whole first, in a file under TMPDIR, and keep() writes it
//   into the existing file in place (all of it, then cut to its size, then
//   closed, each step checked). This is the one case in which a failure,
//   during that last copy only, can leave a partial file.
// - a name that stands for an open descriptor (/dev/stdout, /dev/fd/N, see
//   descriptorNamed): written through that descriptor, never reopened and
//   never replaced, so that a shell's file keeps its inode and its offset.
//   Where the descriptor is a regular file not in append mode, keep() cuts
//   the file at the end of the output; the bytes before the offset stay.
// - any other file that is not regular (a FIFO, a terminal, /dev/null), and a
//   file of /proc (/proc/self/comm, say): opened and written directly.
// Until keep(), a failure, discard(), an exit or an ending signal leaves the
// target as it was (or absent) and the temporary removed (support/temporaries.h).
//
// keep() and discard() are the two ends of an output; the destructor
// discards, and in a debug build asserts that one of the two was called
// (unless an exception or the process's exit is tearing the output down), so
// that a forgotten keep() is not a silently missing file.
//
// Failures are not printed: each program words them in its own messages from
// failure() (see OutputFailure).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "support/temporaries.h"

namespace support {

// The step of an output that failed.
enum class OutputStep {
    none,
    open,    // the target cannot be written, or no file can be made for it
    write,   // a write of the output's bytes
    finish,  // the last flush, the sync, the setting of the mode, or the close
    place,   // the rename over the target, or the copy into it
};

struct OutputFailure {
    OutputStep step = OutputStep::none;
    int error = 0;  // the errno value that says why
    // The folder that could not take a new file, when that is why open()
    // failed; empty otherwise.
    std::string folder;

    explicit operator bool() const { return step != OutputStep::none; }
    // "the folder F cannot take a new file: <reason>", empty when no folder
    // is to blame: for a program to add to its own message.
    std::string folderReason() const;
};

// How the output reaches its target.
enum class OutputKind {
    none,        // not open
    replacing,   // a new file beside an existing regular file, renamed over it
    creating,    // a new file beside where none is yet
    inPlace,     // made whole under TMPDIR, then written into the existing file
    descriptor,  // written through an open descriptor of the process
    direct,      // a FIFO, device, terminal or file of /proc, opened and written directly
};

struct OutputOptions {
    // The data reaches the disk (fsync) before the file takes the target's
    // name, so that a crash of the machine cannot leave an empty file there.
    bool durable = false;
    // Another program fills the output by name (temporaryName()) before
    // keep(): for a command that writes the file it is given. The temporary
    // is then made even for a target that is not replaced (under TMPDIR), and
    // keep() copies it to the target; write() and stream() are not used.
    bool filledByName = false;
};

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Opens `name` for writing as the comment above says. False, with
    // failure() saying why and nothing made, for an empty name, a directory,
    // a target that the process may not write, a name whose folder cannot
    // take a new file (failure().folder) and the like.
    bool open(const std::string &name, OutputOptions options = {});

    // Buffered writes. False once any write has failed (failure() says why);
    // the first failure stays, and every later write, finish and keep fails.
    bool write(const void *data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }

    // A stdio stream that writes through this output, for writers that take
    // a FILE (fwrite, fprintf): a write error shows as a short fwrite and
    // ferror. Made on the first call, closed by finish(); nullptr when the
    // output is not open or no stream can be made (failure() says why).
    FILE *stream();

    // Writes out everything buffered, syncs when asked, gives the file its
    // mode bits and closes it, each step checked; the target is not yet
    // touched. For a run with several outputs that must all be whole before
    // any takes its place. False (failure() says why) when any step, or any
    // write before, failed; the output is then discarded.
    bool finish();

    // finish(), then puts the output in place (the rename, or the copy into
    // the existing file or the descriptor). False (failure() says why) when
    // anything failed: the target is as it was (but for the one case said
    // above) and nothing is left beside it.
    bool keep();

    // Closes the output and removes its temporary; the target stays as it
    // was. Does nothing when the output is not open.
    void discard();

    bool isOpen() const { return kind_ != OutputKind::none; }
    OutputKind kind() const { return kind_; }
    const OutputFailure &failure() const { return failure_; }
    // The name as given to open().
    const std::string &name() const { return name_; }
    // The real target after symbolic links (the name itself for a descriptor).
    const std::string &target() const { return target_; }
    // The file that another program fills (OutputOptions::filledByName);
    // empty otherwise.
    const std::string &temporaryName() const;

private:
    bool refuse(OutputStep step, int error, std::string folder = {});
    bool fail(OutputStep step, int error);
    bool openBeside(const struct stat *existing);
    bool openInPlace(int besideError);
    bool openUnderTmpdir();
    bool openDescriptor(int n);
    bool openDirect();
    bool flushBuffer();
    bool writeThrough(const char *data, size_t size);
    bool reopenFilled();
    void finishDescriptor(int fd);
    bool copyToTarget(bool fromStart);
    bool placeBeside();
    bool placeInPlace();
    void closeAll();
    static ssize_t streamWrite(void *cookie, const char *data, size_t size);

    OutputKind kind_ = OutputKind::none;
    OutputOptions options_;
    OutputFailure failure_;
    std::string name_;
    std::string target_;
    int fd_ = -1;          // where the bytes go: the temporary, the descriptor, the device
    bool ownsFd_ = false;  // false for a descriptor of the process
    int targetFd_ = -1;    // the existing target or descriptor, held for a copy into it
    bool ownsTargetFd_ = false;
    Temporary temporary_;      // the listed temporary, when there is one
    bool cutAtEnd_ = false;    // a descriptor's regular file, not in append mode
    bool syncable_ = false;    // a descriptor's regular file
    bool finished_ = false;    // finish() succeeded
    bool ended_ = true;        // keep() or discard() has been called since open()
    bool discarding_ = false;  // the stream's last bytes go nowhere
    int exceptionsAtOpen_ = 0;
    mode_t mode_ = 0;          // the mode bits a new file ends with
    uid_t owner_ = (uid_t)-1;  // and its owner, -1 where it stays the process's
    gid_t group_ = (gid_t)-1;
    FILE *stream_ = nullptr;
    size_t used_ = 0;
    char *buffer_ = nullptr;  // made on the first buffered write
};

// Copies the file `source` into `out`, read in blocks to its end. False on a
// read error (`readError` set to errno, the output not written further) or a
// write error (out.failure() says why); `out` is not ended either way.
bool copyFileInto(const std::string &source, OutputFile &out, int &readError);

// Flushes a stream of the process (standard output, say) and tells whether
// every write to it went through: 0, or the errno value of the failure.
int finishStream(FILE *stream);

}  // namespace support
