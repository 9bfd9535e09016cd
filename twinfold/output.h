// The TA output stream. An output file is opened before the input is read,
// so that an output that cannot be written is reported at once, but it is
// emptied and written only once the whole input is read and merged: a run
// that reads the file it writes, or stops on its input, leaves it as it was.
// The file is written in place, so it keeps its inode, its hard links, its
// owner and its mode, and a symbolic link is written through.
#pragma once

#include <string>

#include <cstdio>

class CoutputFile {
public:
    CoutputFile() = default;
    CoutputFile(const CoutputFile&) = delete;
    CoutputFile& operator=(const CoutputFile&) = delete;
    ~CoutputFile() { abandon(); }

    void openStandardOutput();
    // Opens path for writing without emptying it; false when it cannot be
    // written.
    bool open(const char* path);
    // Empties the file and gives it its stream; false when that fails.
    bool begin();
    FILE* stream() const { return m_pStream; }
    bool isStandardOutput() const { return m_standardOutput; }
    // The name for messages.
    const char* displayName() const { return m_name.c_str(); }
    // Flushes and closes the stream; false on any write, flush or close error.
    bool finish();
    // Closes the file; one that open created and nothing was written to is
    // removed again.
    void abandon();

private:
    FILE* m_pStream = nullptr;
    int m_fd = -1;
    bool m_standardOutput = false;
    bool m_created = false;
    std::string m_name;
};
