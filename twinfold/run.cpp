#include "run.h"

#include "merge.h"
#include "parser.h"
#include "writer.h"

int verbose = 0;
int union_headers = 1;
int indent = -1;

int run(FILE* input, const char* inputName, CoutputFile& output)
{
    Cglobal global(verbose, union_headers != 0);
    // The merge dumps must not mix into TA written on standard output.
    global.m_pDump = output.isStandardOutput() ? stderr : stdout;
    {
        CririraParser parser;
        if (!parser.parse(input, global, kParserTableBits)) {
            // A read error ends the run as a stop: what was read is not the
            // input, and nothing is written.
            if (parser.readFailed())
                std::fprintf(stderr, "Can't read '%s'\n", inputName ? inputName : "standard input");
            return 1;
        }
    }
    global.twinfold();
    Crename renamer;
    renamer.rename(global);
    if (verbose) {
        timenow();
        std::fputs("Twinfold generating output\n", stderr);
    }
    if (!output.begin()) {
        std::fprintf(stderr, "Can't write to '%s'\n", output.displayName());
        return 1;
    }
    Clayout::ta(output.stream(), indent, global.m_pRoot, inputName);
    if (!output.finish()) {
        std::fprintf(stderr, "Can't write to '%s'\n", output.displayName());
        return 1;
    }
    if (verbose) {
        timenow();
        std::fprintf(stderr, "Twinfold finished writing %s\n", inputName ? inputName : "standard input");
    }
    return 0;
}
