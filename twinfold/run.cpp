#include "run.h"

#include "merge.h"
#include "parser.h"
#include "writer.h"

CstepEnd run(FILE *input, const char *inputName, CoutputFile &output, const Coptions &options)
{
    Cglobal global(options.m_verbose, options.m_unionHeaders);
    // The merge dumps must not mix into TA written on standard output.
    global.m_pDump = output.isStandardOutput() ? stderr : stdout;
    {
        CririraParser parser;
        if (parser.parse(input, global, kParserTableBits, inputName) == CstepEnd::kStopped)
            return CstepEnd::kStopped;
    }
    global.twinfold();
    Crename renamer;
    renamer.rename(global);
    if (options.m_verbose) {
        timenow();
        std::fputs("Twinfold generating output\n", stderr);
    }
    if (output.begin() == CstepEnd::kStopped) return CstepEnd::kStopped;
    Clayout::ta(output.stream(), options.m_indent, global.m_pRoot, inputName);
    if (output.finish() == CstepEnd::kStopped) return CstepEnd::kStopped;
    if (options.m_verbose) {
        timenow();
        std::fprintf(stderr, "Twinfold finished writing %s\n", inputName ? inputName : "standard input");
    }
    return CstepEnd::kDone;
}
