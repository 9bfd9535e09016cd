// Input read whole, as every program of the toolkit reads it: with read(2),
// a call cut short by a signal (EINTR) or a short read retried, a pipe or
// FIFO read to its end (a writer that pauses is not an end), and a read
// error kept apart from the end of the input, for the program to report in
// its own words as a stop. A directory opens but cannot be read: its first
// read fails with EISDIR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace support {

enum class InputStep { none, open, read };

struct InputFailure {
    InputStep step = InputStep::none;
    int error = 0;  // the errno value that says why

    explicit operator bool() const { return step != InputStep::none; }
};

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Opens `name` for reading. False, with failure() saying why, when it
    // cannot be opened (an empty name included).
    bool open(const std::string &name);

    // Reads standard input instead; it stays open after the reader.
    void useStandardInput();

    // The size of a regular file as it was opened; UINT64_MAX for anything
    // else (a pipe, a terminal), whose size is known only at its end.
    uint64_t size() const { return size_; }

    // Reads up to `size` bytes into `to`: fewer only at the end of the input
    // or at a read error. Returns the number read; after a read error,
    // failed() is true and every later read returns 0.
    size_t read(void *to, size_t size);

    // Reads what one read(2) gives, up to `size` bytes (a block as it comes,
    // for a reader that works as the input arrives): 0 at the end of the
    // input or after a read error.
    size_t readSome(void *to, size_t size);

    // Back to the start of a file opened by name, to read it once more (a
    // regular file; a pipe cannot go back). False, with failed() true, when
    // the file refuses it.
    bool rewind();

    bool failed() const { return bool(failure_); }
    bool atEnd() const { return atEnd_; }
    const InputFailure &failure() const { return failure_; }
    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
    bool ownsFd_ = false;
    bool atEnd_ = false;
    uint64_t size_ = UINT64_MAX;
    InputFailure failure_;
};

// The whole of the file `name` into `text` (replacing what it held). False,
// with `why` saying at which step and why, when it cannot be opened or a
// read fails; `text` then holds what was read before.
bool readWholeFile(const std::string &name, std::string &text, InputFailure &why);

// The rest of an open input into `text`, appended. False at a read error
// (in.failure() says why).
bool readRest(InputFile &in, std::string &text);

}  // namespace support
