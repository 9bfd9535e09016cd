// twinfold: merges the duplicated header subtrees of a linked TA fact file
// and gives the kept headers short names.
//   twinfold [-c] [-i] [-u] [-v...] [input.ta [output.ta]]
#include "arena.h"
#include "getopt.h"
#include "input.h"
#include "output.h"
#include "run.h"

#include <cstdio>
#include <new>

int main(int argc, char **argv)
{
    // Every failed allocation, of the arena or of the tables and containers
    // beside it, ends the run alike: "Out of memory", status 1, no output.
    std::set_new_handler(outOfMemoryHandler);
    Cgetopt arguments(argc, argv, "ciuvv");
    if (!arguments.ok()) {
        std::fputs("Can't allocate memory for Cgetopt\n", stderr);
        return 1;
    }
    Coptions options;
    for (int letter; (letter = arguments.getopt()) != -1;) {
        switch (letter) {
        case 'c': printCompiled(stderr); break;
        case 'i': options.m_indent = 0; break;
        case 'u': options.m_unionHeaders = false; break;
        case 'v': ++options.m_verbose; break;
        default: printInvalidOption(stderr, arguments.current()); return 1;
        }
    }

    int files = arguments.m_argc - arguments.m_index;
    if (files > 2) {
        std::fputs("Too many arguments\n", stderr);
        return 1;
    }
    const char *inputName = files >= 1 ? arguments.m_ppArgv[arguments.m_index] : nullptr;
    CoutputFile output;
    if (files == 2) {
        if (output.open(arguments.m_ppArgv[arguments.m_index + 1]) == CstepEnd::kStopped) return 1;
    } else {
        output.openStandardOutput();
    }
    CinputFile input;
    if (inputName == nullptr) {
        input.useStandardInput();
    } else if (!input.open(inputName)) {
        std::fprintf(stderr, "Can't read '%s'\n", inputName);
        return 1;
    }
    try {
        return run(input, inputName, output, options) == CstepEnd::kDone ? 0 : 1;
    } catch (const std::bad_alloc &) {
        // A request too large to be made at all (an array longer than the
        // address space) fails without asking the handler.
        abort_outofmemory();
    }
}
