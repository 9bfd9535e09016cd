#pragma once
// The drivers' and converters' streams over the support library's files
// (support/input_file.h, support/output_file.h): the token input reads an
// InputBuffer, and ledgerize's listing and the set file of link and
// joinwide are written through an OutputBuffer. A read error ends the input
// and is kept for the program to report in its own words; a write error is
// kept by the output file, which reports it when it is kept.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <streambuf>
#include <string>

#include "support/input_file.h"
#include "support/output_file.h"

namespace pipeline {

class InputBuffer : public std::streambuf {
public:
    // Opens name for reading. False for an empty name, a file that cannot be
    // opened, and a directory (which opens but can never be read).
    bool open(const std::string &name);

    // Reads standard input instead, which stays open when the reader ends.
    void readStandardInput();

    // True when a read error, not the end of the file, ended the input.
    bool readFailed() const { return file_.failure().step == support::InputStep::read; }

protected:
    int_type underflow() override;

private:
    support::InputFile file_;
    bool open_ = false;
    char buffer_[65536];
};

class OutputBuffer : public std::streambuf {
public:
    // Writes into `file`, which must be open.
    explicit OutputBuffer(support::OutputFile &file);
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    // Hands on what is gathered, then puts the file in place. False when any
    // write failed or the file could not take its place (the file's
    // failure() says why); the target is then as it was.
    bool keep();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *data, std::streamsize size) override;
    int sync() override;

private:
    bool handOn();
    [[gnu::noinline]] std::streamsize putAcrossBlocks(const char *data, std::streamsize size);

    // The bytes are handed on in whole blocks larger than the output file's
    // own buffer, which it writes to the file as they are, not copied again.
    static constexpr std::size_t blockBytes = 1 << 18;
    support::OutputFile &file_;
    std::unique_ptr<char[]> block_;
};

// After a program's message that an output cannot be opened: where the
// output's folder is to blame, a line that names it and says why
// ("***Error [<program>]: the folder d cannot take a new file: ...").
void sayWhichFolderRefused(const std::string &program, const support::OutputFile &file,
                           std::ostream &messages);

}  // namespace pipeline
