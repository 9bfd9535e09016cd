#pragma once
// A file opened for token input. libstdc++'s filebuf throws from inside a
// read when the system's read call fails (a directory, an I/O error), which
// no caller of the token input can catch in a sensible place; this buffer
// reads with the system's read call itself, ends the input on an error and
// keeps the error for the program to report in its own words.

#include <streambuf>
#include <string>

namespace pipeline {

class InputFile : public std::streambuf {
public:
    InputFile() = default;
    ~InputFile() override;
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Opens name for reading. False for an empty name, a file that cannot be
    // opened, and a directory (which opens but can never be read).
    bool open(const std::string &name);

    // Reads standard input instead, which stays open when the reader ends.
    void readStandardInput();

    // True when a read error, not the end of the file, ended the input.
    bool readFailed() const { return readFailed_; }

protected:
    int_type underflow() override;

private:
    int descriptor_ = -1;
    bool ownsDescriptor_ = true;
    bool readFailed_ = false;
    char buffer_[65536];
};

}  // namespace pipeline
