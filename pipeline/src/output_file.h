#pragma once
// A named output that appears whole or not at all. The bytes go to a new
// file beside the real target (after symbolic links), named
// ".<target>.tmp.XXXXXX" so that one left by a kill is easy to recognise;
// only once every byte is written and the file closed without error does it
// take the target's name. Until then, on any failure, a stop or a catchable
// signal, the target stays exactly as it was (or absent) and the new file is
// removed. A target that is not a regular file (a device, a FIFO, standard
// output) cannot be replaced and is written directly.
//
// Writes go through the system's write call: libstdc++'s filebuf reports a
// failed write only as a bad stream, without its reason and without a way to
// keep the old file.

#include <sys/types.h>

#include <streambuf>
#include <string>

namespace pipeline {

class OutputFile : public std::streambuf {
public:
    OutputFile() = default;
    // An output that was not committed is abandoned: the new file is removed.
    ~OutputFile() override;
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Makes the file to write in. False (nothing made) for an empty name, a
    // directory, a name whose folder does not exist or cannot take a new file,
    // and an existing file that the user may not write: the rename would
    // replace it where the folder allows it.
    bool open(const std::string &name);

    // Makes only the new file beside a regular target, for another program to
    // fill by its name (newFileName()) before commit() puts it in place. False,
    // with nothing made or opened, where open() would write the target directly
    // (a device, a FIFO, a directory) or would fail.
    bool openBeside(const std::string &name);

    // The name of the pending new file; empty when there is none.
    const std::string &newFileName() const { return temporary_; }

    // Writes out what is buffered, closes the file and gives it the target's
    // name. False when any write since open failed or the close or the rename
    // failed; the target is then as it was.
    bool commit();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *data, std::streamsize size) override;
    int sync() override;

private:
    bool start(const std::string &name, bool mayWriteInPlace);
    bool writeOut(const char *data, std::size_t size);
    bool flushBuffer();
    void abandon();

    int descriptor_ = -1;
    bool inPlace_ = false;
    bool writeFailed_ = false;
    mode_t mode_ = 0;        // given to the new file once it is whole
    std::string target_;     // the real target, after symbolic links
    std::string temporary_;  // empty when written in place
    char buffer_[65536];
};

}  // namespace pipeline
