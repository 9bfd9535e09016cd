// The input of a run: the TA text, which the parser reads in blocks.
#pragma once

#include "support/input_file.h"

#include <cstddef>
#include <cstdint>

// Where the parser's blocks come from.
class CinputSource {
public:
    virtual ~CinputSource() = default;
    // Reads up to size bytes into to: fewer only at the end of the input or
    // at a read error, after which failed() is true and every read gives 0.
    virtual size_t read(char *to, size_t size) = 0;
    virtual bool failed() const = 0;
    // The size of a regular file as it was opened; UINT64_MAX for an input
    // whose size is known only at its end.
    virtual uint64_t size() const { return UINT64_MAX; }
    // The descriptor of a regular file, which stands where reading has got
    // to; -1 for any other input.
    virtual int regularFile() const { return -1; }
};

// A named file or standard input, read through the support library: a read
// cut short by a signal, or short, is retried, a pipe is read to its end
// however its writer pauses, and a read error is kept apart from the end.
class CinputFile : public CinputSource {
public:
    // False when the file cannot be opened.
    bool open(const char *name) { return m_file.open(name); }
    void useStandardInput() { m_file.useStandardInput(); }
    size_t read(char *to, size_t size) override { return m_file.read(to, size); }
    bool failed() const override { return m_file.failed(); }
    uint64_t size() const override { return m_file.size(); }
    int regularFile() const override { return m_file.size() != UINT64_MAX ? m_file.descriptor() : -1; }

private:
    support::InputFile m_file;
};
