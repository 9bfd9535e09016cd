// Fuzz target: parse, merge, rename and write; every input that is accepted
// must give output that is accepted again. The one exception is output that
// holds no fact at all (every node was a bare child of $ROOT, which leaves no
// line): it reads back as an empty graph, which is refused.
#include "arena.h"
#include "merge.h"
#include "parser.h"
#include "writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Small tables keep each run cheap; the logic does not depend on their size.
constexpr int kFuzzTableBits = 8;

// Parses text with the given union flag; on success writes the merged graph
// into *written (malloc'ed) and gives true.
bool fold(const char* text, size_t size, bool unionHeaders, char** written, size_t* writtenSize)
{
    FILE* in = fmemopen(const_cast<char*>(text), size, "r");
    if (in == nullptr)
        return false;
    bool ok;
    {
        Cglobal global(0, unionHeaders);
        global.m_pDump = stderr;
        CririraParser parser;
        ok = parser.parse(in, global, kFuzzTableBits);
        if (ok) {
            parser.m_table.discard();
            global.twinfold();
            Crename renamer;
            renamer.rename(global);
            FILE* out = open_memstream(written, writtenSize);
            Clayout::ta(out, -1, global.m_pRoot, "fuzz");
            std::fclose(out);
        }
    }
    std::fclose(in);
    return ok;
}

// True when the written text is the bare frame of the four sections.
bool holdsNoFact(const char* text, size_t size)
{
    static const char frame[] = "// ta output for fuzz\n\nFACT TUPLE :\n\n// Instances of entity classes\n\n"
                                "\n// Containment relationships\n\n\n// Edges of entity classes\n\n"
                                "\nFACT ATTRIBUTE :\n\n";
    return size == sizeof frame - 1 && std::memcmp(text, frame, size) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the mode, the rest is the TA text.
    bool unionHeaders = (data[0] & 1) == 0;
    char* written = nullptr;
    size_t writtenSize = 0;
    if (fold(reinterpret_cast<const char*>(data + 1), size - 1, unionHeaders, &written, &writtenSize)) {
        char* again = nullptr;
        size_t againSize = 0;
        if (!fold(written, writtenSize, unionHeaders, &again, &againSize) && !holdsNoFact(written, writtenSize)) {
            std::fwrite(written, 1, writtenSize, stdout);
            std::fputs("\n-- output above does not read back\n", stdout);
            std::abort();
        }
        std::free(again);
    }
    std::free(written);
    releaseArena();
    return 0;
}
