// twinfold: merges the duplicated header subtrees of a linked TA fact file
// and gives the kept headers short names.
//   twinfold [-c] [-i] [-u] [-v...] [input.ta [output.ta]]
#include "arena.h"
#include "getopt.h"
#include "output.h"
#include "run.h"

#include <cstdio>
#include <new>

int main(int argc, char** argv)
{
    Cgetopt options(argc, argv, "ciuvv");
    if (!options.ok()) {
        std::fputs("Can't allocate memory for Cgetopt\n", stderr);
        return 1;
    }
    for (int letter; (letter = options.getopt()) != -1;) {
        switch (letter) {
        case 'c':
            printCompiled(stderr);
            break;
        case 'i':
            indent = 0;
            break;
        case 'u':
            union_headers = 0;
            break;
        case 'v':
            ++verbose;
            break;
        default:
            printInvalidOption(stderr, options.current());
            return 1;
        }
    }

    int files = options.m_argc - options.m_index;
    if (files > 2) {
        std::fputs("Too many arguments\n", stderr);
        return 1;
    }
    const char* inputName = files >= 1 ? options.m_ppArgv[options.m_index] : nullptr;
    CoutputFile output;
    if (files == 2) {
        const char* outputName = options.m_ppArgv[options.m_index + 1];
        if (!output.open(outputName)) {
            std::fprintf(stderr, "Can't write to '%s'\n", outputName);
            return 1;
        }
    } else {
        output.openStandardOutput();
    }
    FILE* input = stdin;
    if (inputName != nullptr && (input = std::fopen(inputName, "r")) == nullptr) {
        std::fprintf(stderr, "Can't read '%s'\n", inputName);
        return 1;
    }
    try {
        return run(input, inputName, output) == 0 ? 0 : 1;
    } catch (const std::bad_alloc&) {
        // The tables beside the arena end the same way as the arena.
        abort_outofmemory();
    }
}
