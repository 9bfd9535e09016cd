#include "getopt.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

Cgetopt::Cgetopt(int argc, char **argv, const char *letters) : m_pLetters(letters), m_argc(argc)
{
    size_t bytes = 0;
    for (int i = 0; i < argc; ++i) bytes += std::strlen(argv[i]) + 1;
    m_pBuffer = static_cast<char *>(std::malloc(bytes ? bytes : 1));
    char **vector = static_cast<char **>(std::malloc(sizeof(char *) * (size_t(argc) + 1)));
    if (m_pBuffer == nullptr || vector == nullptr) {
        std::free(m_pBuffer);
        std::free(vector);
        m_pBuffer = nullptr;
        return;
    }
    char *at = m_pBuffer;
    for (int i = 0; i < argc; ++i) {
        size_t n = std::strlen(argv[i]) + 1;
        std::memcpy(at, argv[i], n);
        vector[i] = at;
        at += n;
    }
    vector[argc] = nullptr;
    m_ppArgv = vector;
}

Cgetopt::~Cgetopt()
{
    std::free(m_pBuffer);
    std::free(m_ppArgv);
}

int Cgetopt::getopt()
{
    m_pValue = nullptr;
    if (m_index >= m_argc) return -1;
    const char *argument = m_ppArgv[m_index];
    if (argument[0] != '-' || argument[1] == '\0' || std::isspace(static_cast<unsigned char>(argument[1])))
        return -1;
    char letter = argument[1];
    const char *found = letter == ':' ? nullptr : std::strchr(m_pLetters, letter);
    if (found == nullptr) return 0;
    ++m_index;
    if (found[1] == ':') {
        if (argument[2] != '\0')
            m_pValue = argument + 2;
        else if (m_index < m_argc)
            m_pValue = m_ppArgv[m_index++];
    }
    return static_cast<unsigned char>(letter);
}

void printCompiled(FILE *stream)
{
    std::fprintf(stream, "Compiled:  %s %s v2.0\n", __DATE__, __TIME__);
    std::fputs("v1.0  merges header subtrees that are equal in every unit\n"
               "v1.1  short header names (@FILE.name.h)\n"
               "v2.0  union of twin header subtrees by default, -u for equal subtrees only\n",
               stream);
}

void printInvalidOption(FILE *stream, const char *argument)
{
    std::fprintf(stream, "Option '%s' is invalid\n\n", argument);
    std::fputs("Options:  -c/opyright (and version history)\n"
               "          -u/nion headers disabled\n"
               "          -v/erbose (output) repeat for greater detail\n\n"
               "Argument: [input.ta [output.ta]]\n",
               stream);
}
