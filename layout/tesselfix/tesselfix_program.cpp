#include "tesselfix_program.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "../common/layout_file.h"
#include "../common/program_files.h"
#include "../common/ta_reader.h"
#include "../common/tree.h"

namespace layout::tesselfix {
namespace {

struct UsageRow {
    const char *option;
    const char *text;
    bool closes;  // the last row of an option: an empty line follows
};

constexpr UsageRow kUsageRows[] = {
    {"-H<type><val>", "- specify minimum height of <type> to be <val>", false},
    {" ", "- default Height for each <type> is 30", false},
    {" ", "- description of <type>", false},
    {" ", "  e - entities in container", false},
    {" ", "  c - client entities (if client server model used)", false},
    {" ", "  s - server entities (if client server model used)", true},
    {"-S<val>", "- when fitting in new entities shrink by <val>% each iteration", false},
    {" ", "  until enough space is created", false},
    {" ", "  Range: 0 < val < 100  , Default value: 1", true},
    {"-c<1 | 2 | 3>", "- specify method to compress static entities in", false},
    {" ", "  order to create enough space to fit in new entities.", false},
    {" ", "- description of compress types:", false},
    {" ", "  1 - none", false},
    {" ", "  2 - min (relative position and size of all entities is maintained)", false},
    {" ", "  3 - max (relative position is maintained however relative size is not)", false},
    {" ", "- default compress type is 3", true},
    {"-e", "- output parse warnings", true},
    {"-m<1 | 2>", "- select a layout model (default is 1)", false},
    {" ", "  1 - nested layout", false},
    {" ", "  2 - client, server, subsystem layout", true},
    {"-s<o | n> <name>", "- name of subsystem (only for client/server layout model) ", false},
    {" ", "  o -  old tuple file", false},
    {" ", "  n -  new tuple file", true},
    {"-r", "- <graph files> only contain relation tuples", true},
    {"-R", "- Relayout client and servers", true},
    {"-x", "- debug mode (creates a file called tesselfix.debug)", true},
};

// Every option once: three -H, -S, -c, -e, -m, -so and -sn with their names,
// -r, -R, -x, the program name and four files.
constexpr size_t kMaxArgs = 19;

MaybeFailure usageError(const std::string &message)
{
    return fail(message + displayProgramSyntax());
}

bool isReal(const std::string &s)
{
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.')) return false;
    return true;
}

// Digits with at most one point, making one finite number (the empty text is
// 0, as before).
bool parseReal(const std::string &s, float &value)
{
    if (!isReal(s) || s.find('.') != s.rfind('.')) return false;
    if (s.empty()) {
        value = 0;
        return true;
    }
    if (s == ".") return false;
    double d = std::strtod(s.c_str(), nullptr);
    float f = static_cast<float>(d);
    if (!std::isfinite(f)) return false;
    value = f;
    return true;
}

MaybeFailure parseMinimumHeight(const std::string &arg, Options &o)
{
    if (arg.size() < 4) return usageError(format("Incorrect use of switch : %s ", arg.c_str()));
    char type = arg[2];
    float *height = type == 'e'   ? &o.placement.MIN_CONTAINER_ENTITY_HEIGHT
                    : type == 'c' ? &o.MIN_CLIENT_HEIGHT
                    : type == 's' ? &o.MIN_SERVER_HEIGHT
                                  : nullptr;
    float *width = type == 'e'   ? &o.placement.MIN_CONTAINER_ENTITY_WIDTH
                   : type == 'c' ? &o.MIN_CLIENT_WIDTH
                                 : &o.MIN_SERVER_WIDTH;
    if (!height) return usageError(format("Incorrect <type> in -H switch : %c", type));
    std::string text = arg.substr(3);
    float value = 0;
    if (!parseReal(text, value))
        return usageError(format("Invalid value for <val> in -H switch : %s\n", text.c_str()));
    if (!(value > 0)) return usageError("<val> in -H switch must be > 0\n");
    *height = value;
    *width = 1.666 * value;
    return std::nullopt;
}

MaybeFailure parseShrink(const std::string &arg, Options &o)
{
    std::string text = arg.substr(2);
    float value = 0;
    if (!parseReal(text, value))
        return usageError(format("Invalid value in -S switch : %s .\n", text.c_str()));
    if (!(value > 0) || value >= 100) return usageError("Value in -S switch must be between 0 and 100.\n");
    o.placement.SHRINK = value;
    return std::nullopt;
}

void writeProgramInfoToLog(FILE *trace, const Options &o, const std::string &debugFile)
{
    const PlacementSettings &p = o.placement;
    std::fprintf(trace, "tesselfix Program Environment Information\n");
    std::fprintf(trace, "----------------------------------------\n");
    std::fprintf(trace, "Old graph file : %s \n", o.oldInGraphFile.c_str());
    std::fprintf(trace, "Old layout file : %s \n", o.oldInLayoutFile.c_str());
    std::fprintf(trace, "New graph file : %s \n", o.newInGraphFile.c_str());
    std::fprintf(trace, "New output layout file : %s \n", o.newOutLayoutFile.c_str());
    std::fprintf(trace, "Debug file : %s \n", debugFile.c_str());
    if (o.relationOnlyInput) std::fprintf(trace, "Relation Only mode\n");
    std::fprintf(trace, "DebugMode on\n");
    std::fprintf(trace, p.model == cliServ ? "Client Server Layout Model \n" : "Nested Layout Model \n");
    std::fprintf(trace, p.compress == none  ? "Compress type : none \n"
                        : p.compress == min ? "Compress type : min \n"
                                            : "Compress type : max \n");
    std::fprintf(trace, "SHRINK factor : %f \n", static_cast<double>(p.SHRINK));
    std::fprintf(trace, "MIN_CONTAINER_ENTITY_HEIGHT = %f \n",
                 static_cast<double>(p.MIN_CONTAINER_ENTITY_HEIGHT));
    if (p.model == cliServ) {
        std::fprintf(trace, "MIN_CLIENT_HEIGHT = %f \n", static_cast<double>(o.MIN_CLIENT_HEIGHT));
        std::fprintf(trace, "MIN_SERVER_HEIGHT = %f \n", static_cast<double>(o.MIN_SERVER_HEIGHT));
    }
    if (o.oldSubSysName)
        std::fprintf(trace, "Name of subsystem in old graph file : %s \n", o.oldSubSysName->c_str());
    if (o.newSubSysName)
        std::fprintf(trace, "Name of subsystem in new graph file : %s \n", o.newSubSysName->c_str());
    if (o.printParseError) std::fprintf(trace, "Print Parse Error mode \n");
}

// Reads one tuple file into a graph (both graphs alike).
MaybeFailure readGraph(ItemTable &graph, SystemPointers &ptrs, std::string_view text,
                       const std::string &fileName, const std::optional<std::string> &subsystemName,
                       const Options &o, FILE *trace, std::string &warnings)
{
    ReadOptions read;
    read.relationOnlyInput = o.relationOnlyInput;
    read.printParseError = o.printParseError;
    read.trace = trace;
    read.inputTupleFile = fileName;
    TreeSetup setup;
    setup.model = o.placement.model;
    setup.subsystemName = subsystemName ? &*subsystemName : nullptr;
    if (MaybeFailure e = prepareGraph(graph, ptrs, text, read, setup, warnings)) return e;
    if (o.placement.model == cliServ) identifyClientsAndServers(ptrs.rootItemPtr, ptrs.subSystemPtr);
    viewStructure(ptrs, trace);
    return std::nullopt;
}

MaybeFailure runWithTrace(std::string_view oldGraphText, std::string_view oldLayoutText,
                          std::string_view newGraphText, const Options &o, FILE *trace,
                          std::string &layoutText, std::string &warnings)
{
    ItemTable oldGraph, newGraph;
    SystemPointers oldPtrs, newPtrs;
    if (MaybeFailure e =
            readGraph(oldGraph, oldPtrs, oldGraphText, o.oldInGraphFile, o.oldSubSysName, o, trace, warnings))
        return e;
    if (MaybeFailure e = Control_ParseLayout(oldGraph, oldLayoutText, trace)) return e;
    if (MaybeFailure e =
            readGraph(newGraph, newPtrs, newGraphText, o.newInGraphFile, o.newSubSysName, o, trace, warnings))
        return e;
    if (MaybeFailure e = identifyNewAndOldEntities(oldGraph, oldPtrs, newPtrs, trace)) return e;
    Placement placement;
    placement.settings = o.placement;
    placement.settings.trace = trace;
    Control_PosNewItems(placement, newPtrs);
    layoutText = outputLayout(newPtrs.rootItemPtr);
    return std::nullopt;
}

}  // namespace

std::string displayProgramSyntax()
{
    std::string out = "\n\nProgram usage:\n";
    out += format("Version: %s   :  Date: %s", VERSION, DATE);
    out += "\n\n";
    out += format("%s [options] <old tuple file> <old layout file>", PROGRAM_NAME);
    out += "\n                   <new tuple file> <new layout file>\n\noptions:\n\n";
    for (const UsageRow &row : kUsageRows)
        out += format("%-18s %s", row.option, row.text) + (row.closes ? "\n\n" : "\n");
    return out;
}

MaybeFailure getProgramArgs(const std::vector<std::string> &args, Options &o)
{
    const MaybeFailure wrongCount = usageError("\nIncorrect number of arguments.");
    if (args.size() < 5 || args.size() > kMaxArgs) return wrongCount;
    size_t i = 1;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        const std::string &arg = args[i];
        if (arg.size() == 1) continue;  // a lone '-'
        switch (arg[1]) {
        case 'H':
            if (MaybeFailure e = parseMinimumHeight(arg, o)) return e;
            break;
        case 'S':
            if (MaybeFailure e = parseShrink(arg, o)) return e;
            break;
        case 'c':
            if (arg.size() != 3) break;  // ignored, as it always was
            if (arg[2] == '1')
                o.placement.compress = none;
            else if (arg[2] == '2')
                o.placement.compress = min;
            else if (arg[2] == '3')
                o.placement.compress = max;
            else
                return usageError("Invalid compress type.\n");
            break;
        case 'e': o.printParseError = true; break;
        case 'r': o.relationOnlyInput = true; break;
        case 'R': o.placement.relayoutCliServMode = true; break;
        case 'x': o.debugMode = true; break;
        case 'm':
            if (MaybeFailure e = parseLayoutModel(arg, o.placement.model)) return usageError(e->message);
            break;
        case 's':
            if (arg.size() != 3 || (arg[2] != 'o' && arg[2] != 'n'))
                return usageError("\nInvalide use of -s switch.");
            if (i + 1 >= args.size()) return wrongCount;
            (arg[2] == 'o' ? o.oldSubSysName : o.newSubSysName) = args[++i];
            break;
        default: return usageError(format("\nInvalid switch : %s", arg.c_str()));
        }
    }
    if (args.size() - i < 4) return wrongCount;
    o.oldInGraphFile = args[i];
    o.oldInLayoutFile = args[i + 1];
    o.newInGraphFile = args[i + 2];
    o.newOutLayoutFile = args[i + 3];
    return std::nullopt;
}

MaybeFailure computeNewLayout(std::string_view oldGraphText, std::string_view oldLayoutText,
                              std::string_view newGraphText, const Options &options, std::string &layoutText,
                              std::string *warnings)
{
    std::string runWarnings;
    MaybeFailure result = runWithTrace(oldGraphText, oldLayoutText, newGraphText, options,
                                       options.placement.trace, layoutText, runWarnings);
    if (warnings) *warnings += runWarnings;
    return result;
}

int runTesselfix(const Options &o)
{
    const std::string debugFile = std::string(PROGRAM_NAME) + ".debug";
    ProgramFiles files;
    if (MaybeFailure e = openProgramFiles({o.oldInGraphFile, o.oldInLayoutFile, o.newInGraphFile},
                                          o.newOutLayoutFile, o.debugMode ? &debugFile : nullptr, files))
        return exitStatus(PROGRAM_NAME, e);
    if (files.traceStream) writeProgramInfoToLog(files.traceStream, o, debugFile);
    std::string layoutText, warnings;
    MaybeFailure result = runWithTrace(files.texts[0], files.texts[1], files.texts[2], o, files.traceStream,
                                       layoutText, warnings);
    printWarnings(warnings);
    return exitStatus(PROGRAM_NAME, closeProgramFiles(files, writeLayoutFile(files, result, layoutText)));
}

int tesselfixMain(int argc, char **argv)
{
    Options o;
    if (MaybeFailure e = getProgramArgs(std::vector<std::string>(argv, argv + argc), o))
        return exitStatus(PROGRAM_NAME, e);
    return runCatchingMemoryExhaustion(PROGRAM_NAME, [&o] { return runTesselfix(o); });
}

}  // namespace layout::tesselfix
