// Option scanner of the twinfold command line and its messages.
#pragma once

#include <cstdio>

class Cgetopt {
public:
    // Copies the arguments; ok() is false when there was no memory for them.
    Cgetopt(int argc, char **argv, const char *letters);
    ~Cgetopt();
    Cgetopt(const Cgetopt &) = delete;
    Cgetopt &operator=(const Cgetopt &) = delete;

    bool ok() const { return m_ppArgv != nullptr; }
    // The next option letter, 0 for a letter not in the option string (the
    // index then stays on that argument), -1 when the options end.
    int getopt();
    // The argument at the index (the invalid one after getopt gave 0).
    const char *current() const { return m_index < m_argc ? m_ppArgv[m_index] : nullptr; }

    char *m_pBuffer = nullptr;
    const char *m_pLetters = nullptr;
    int m_argc = 0;
    char **m_ppArgv = nullptr;
    int m_index = 1;
    const char *m_pValue = nullptr;
};

// "-c": build date and time and the version history, on stream.
void printCompiled(FILE *stream);
// An argument that is not an option, followed by the option summary.
void printInvalidOption(FILE *stream, const char *argument);
