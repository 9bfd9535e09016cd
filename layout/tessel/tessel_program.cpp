#include "tessel_program.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "../common/layout_file.h"
#include "../common/program_files.h"
#include "../common/ta_reader.h"
#include "../common/tree.h"
#include "cliserv_layout.h"
#include "layered_layout.h"
#include "support/file_names.h"

namespace layout::tessel {
namespace {

struct UsageRow {
    const char *option;
    const char *text;
    const char *end;
};

constexpr UsageRow kUsageRows[] = {
    {"-H<size>", "- specify height of layout window ( default is 600)", "\n\n"},
    {"-W<size>", "- specify width of layout window ( default is 800 )", "\n\n"},
    {"-e", "- output parse warnings", "\n\n"},
    {"-m<1 | 2>", "- select a layout model (default is 1)", "\n"},
    {" ", "  1 -  nested layout", "\n"},
    {" ", "  2 -  client, server, subsystem layout", "\n\n"},
    {"-r", "- <input graph file> only contains relation tuples", "\n\n"},
    {"-s <name>", "- name of subsystem (only for client/server layout model)", "\n\n"},
    {"-t", "- emit ta file called:  prefix of <input tuple file> + \".ta\" ", "\n\n"},
    {"-x", "- debug mode (creates a file called tessel.debug)", "\n\n"},
};

MaybeFailure usageError(const std::string &message)
{
    return fail(message + displayProgramSyntax());
}

MaybeFailure parseWindowSize(const std::string &arg, char letter, int &size)
{
    std::string value = arg.substr(2);
    if (value.empty()) return usageError(format("\nA value must be given in the -%c switch.", letter));
    bool digits = true;
    for (char c : value) digits = digits && c >= '0' && c <= '9';
    // The value, not the length, meets the cap: leading zeros do not count,
    // and a value too large for a long is out of range.
    long parsed = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (!digits || error != std::errc() || parsed > kMaxWindowSize)
        return usageError(format("\nInvalid value in -%c switch:  %s", letter, value.c_str()));
    size = static_cast<int>(parsed);
    return std::nullopt;
}

void writeProgramInfoToLog(FILE *trace, const Options &o, const std::string &debugFile)
{
    std::fprintf(trace, "tessel Program Environment Information\n");
    std::fprintf(trace, "----------------------------------------\n");
    std::fprintf(trace, "Input tuple file : %s \n", o.inputTupleFile.c_str());
    std::fprintf(trace, "Output layout file : %s \n", o.outputLayoutFile.c_str());
    std::fprintf(trace, "Debug file : %s \n", debugFile.c_str());
    if (o.subsystemName)
        std::fprintf(trace, "Name of subsystem to passed to program : %s\n", o.subsystemName->c_str());
    if (o.relationOnlyInput) std::fprintf(trace, "Relation Only mode\n");
    std::fprintf(trace, "DebugMode on\n");
    std::fprintf(trace, o.model == cliServ ? "Client Server Layout Model \n" : "Nested Layout Model \n");
    std::fprintf(trace, "layout window height = %i \n", o.windowHeight);
    std::fprintf(trace, "layout window width = %i \n", o.windowWidth);
    if (o.printParseError) std::fprintf(trace, "Print Parse Error mode \n");
}

// Writes the TA include file, which takes its target's place together with
// the layout file.
MaybeFailure emitTAfile(const Options &o, ProgramFiles &files)
{
    bool renamed = false;
    std::string name = taIncludeFileName(o.inputTupleFile, o.outputLayoutFile, renamed);
    if (renamed)
        std::fprintf(stderr,
                     "The <input tuple file> has a \".ta\" extension.\n  Re-nameing the TA file to %s .\n",
                     name.c_str());
    return writeIncludeFile(files, name,
                            format("INCLUDE %s :\nFACT ATTRIBUTE :\nINCLUDE %s :\n", o.inputTupleFile.c_str(),
                                   o.outputLayoutFile.c_str()));
}

}  // namespace

std::string displayProgramSyntax()
{
    std::string out = "\n\nProgram usage:\n";
    out += format("Version: %s   Date: %s", VERSION, DATE);
    out += "\n\n";
    out += format("%s [options] <input tuple file> <output layout file>", PROGRAM_NAME);
    out += "\n\noptions:\n\n";
    for (const UsageRow &row : kUsageRows) out += format("%-15s %s", row.option, row.text) + row.end;
    return out;
}

MaybeFailure getProgramArgs(const std::vector<std::string> &args, Options &o)
{
    // Every option once, the program name and the two files.
    constexpr size_t kMaxArgs = 12;
    const MaybeFailure wrongCount = usageError("\nIncorrect number of arguments.");
    if (args.size() < 3 || args.size() > kMaxArgs) return wrongCount;
    size_t i = 1;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        const std::string &arg = args[i];
        if (arg.size() == 1) continue;  // a lone '-'
        switch (arg[1]) {
        case 'H':
            if (MaybeFailure e = parseWindowSize(arg, 'H', o.windowHeight)) return e;
            break;
        case 'W':
            if (MaybeFailure e = parseWindowSize(arg, 'W', o.windowWidth)) return e;
            break;
        case 'e': o.printParseError = true; break;
        case 'r': o.relationOnlyInput = true; break;
        case 't': o.emitTA = true; break;
        case 'x': o.debugMode = true; break;
        case 'm':
            if (MaybeFailure e = parseLayoutModel(arg, o.model)) return usageError(e->message);
            break;
        case 's':
            if (i + 1 >= args.size()) return wrongCount;
            o.subsystemName = args[++i];
            break;
        default: return usageError(format("\nInvalid switch : %s", arg.c_str()));
        }
    }
    if (args.size() - i < 2) return wrongCount;
    o.inputTupleFile = args[i];
    o.outputLayoutFile = args[i + 1];
    return std::nullopt;
}

std::string taIncludeFileName(const std::string &input, const std::string &output, bool &renamed)
{
    size_t slash = input.rfind('/');
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    name = name.substr(0, name.find('.')) + ".ta";
    renamed = false;
    while (support::sameFile(name, input) || support::sameFile(name, output)) {
        name += ".ta";
        renamed = true;
    }
    return name;
}

MaybeFailure computeLayout(std::string_view text, const Options &o, FILE *trace, std::string &layoutText,
                           std::string *warnings)
{
    ItemTable graph;
    SystemPointers graphPtrs;
    ReadOptions read;
    read.relationOnlyInput = o.relationOnlyInput;
    read.printParseError = o.printParseError;
    read.trace = trace;
    read.inputTupleFile = o.inputTupleFile;
    TreeSetup setup;
    setup.model = o.model;
    setup.rootWidth = static_cast<float>(o.windowWidth);
    setup.rootHeight = static_cast<float>(o.windowHeight);
    setup.subsystemName = o.subsystemName ? &*o.subsystemName : nullptr;
    setup.adjustContainLevels = true;
    std::string readWarnings;
    if (MaybeFailure e = prepareGraph(graph, graphPtrs, text, read, setup, readWarnings)) return e;
    if (warnings) *warnings += readWarnings;
    viewStructure(graphPtrs, trace);

    LayoutContext ctx;
    ctx.trace = trace;
    Control_DetermineLayout(graphPtrs, o.model, o.windowWidth, o.windowHeight, ctx);
    layoutText = outputLayout(graphPtrs.rootItemPtr);
    return std::nullopt;
}

int runTessel(const Options &o)
{
    const std::string debugFile = std::string(PROGRAM_NAME) + ".debug";
    ProgramFiles files;
    if (MaybeFailure e = openProgramFiles({o.inputTupleFile}, o.outputLayoutFile,
                                          o.debugMode ? &debugFile : nullptr, files))
        return exitStatus(PROGRAM_NAME, e);
    if (files.traceStream) writeProgramInfoToLog(files.traceStream, o, debugFile);
    std::string layoutText, warnings;
    MaybeFailure result = computeLayout(files.texts[0], o, files.traceStream, layoutText, &warnings);
    printWarnings(warnings);
    result = writeLayoutFile(files, result, layoutText);
    if (!result && o.emitTA) result = emitTAfile(o, files);
    return exitStatus(PROGRAM_NAME, closeProgramFiles(files, result));
}

int tesselMain(int argc, char **argv)
{
    std::vector<std::string> args(argv, argv + argc);
    Options options;
    if (MaybeFailure e = getProgramArgs(args, options)) return exitStatus(PROGRAM_NAME, e);
    return runCatchingMemoryExhaustion(PROGRAM_NAME, [&options] { return runTessel(options); });
}

}  // namespace layout::tessel
