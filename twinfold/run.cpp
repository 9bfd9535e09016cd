#include "run.h"

#include "arena.h"
#include "merge.h"
#include "parser.h"
#include "writer.h"

#include <cstdint>

namespace {

// The graph's records, names and values take about twice the bytes of the
// TA text they are read from (2.0 to 2.25 times on the benchmark's linked
// bases), so the arena expects 9/4 of the input's size; it grows where a
// graph needs more. Standard input from a pipe gets the arena's modest start.
size_t expectedGraphBytes(const CinputSource &input)
{
    const uint64_t bytes = input.size();
    if (bytes == 0 || bytes == UINT64_MAX) return Carena::kModestRange;
    return bytes >= Carena::kMaxRange / 9 * 4 ? Carena::kMaxRange : size_t(bytes * 9 / 4);
}

}  // namespace

CstepEnd run(CinputSource &input, const char *inputName, CoutputFile &output, const Coptions &options)
{
    graphArena().expect(expectedGraphBytes(input));
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
