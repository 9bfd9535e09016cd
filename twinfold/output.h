// The TA output stream. A regular output file is written under a temporary
// name beside it and renamed over it only when everything was written, so a
// failed run, or a run that reads the file it writes, never destroys it.
#pragma once

#include <cstdio>
#include <string>

class CoutputFile {
public:
    CoutputFile() = default;
    CoutputFile(const CoutputFile&) = delete;
    CoutputFile& operator=(const CoutputFile&) = delete;
    ~CoutputFile() { abandon(); }

    void openStandardOutput();
    // False when the file cannot be written.
    bool open(const char* path);
    FILE* stream() const { return m_pStream; }
    bool isStandardOutput() const { return m_standardOutput; }
    // The name for messages.
    const char* displayName() const { return m_name.c_str(); }
    // Flushes and closes the stream and puts the file in place; false on
    // any write, flush, close or rename error.
    bool finish();
    // Closes the stream and removes the temporary file.
    void abandon();

private:
    FILE* m_pStream = nullptr;
    bool m_standardOutput = false;
    std::string m_name;
    std::string m_target;   // the file the temporary file replaces
    std::string m_temporary;
};
