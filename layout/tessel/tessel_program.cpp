#include "tessel_program.h"

#include <cstdio>
#include <cstring>

#include "../common/files.h"
#include "../common/layout_file.h"
#include "../common/ta_reader.h"
#include "../common/tree.h"
#include "cliserv_layout.h"
#include "layered_layout.h"

namespace layout::tessel {
namespace {

struct UsageRow {
    const char* option;
    const char* text;
    const char* end;
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

Outcome usageError(const std::string& message) { return fail(message + displayProgramSyntax()); }

Outcome parseWindowSize(const std::string& arg, char letter, int& size) {
    std::string value = arg.substr(2);
    if (value.empty()) return usageError(format("\nA value must be given in the -%c switch.", letter));
    bool digits = value.size() <= 9;
    for (char c : value) digits = digits && c >= '0' && c <= '9';
    if (!digits || std::stol(value) > kMaxWindowSize)
        return usageError(format("\nInvalid value in -%c switch:  %s", letter, value.c_str()));
    size = static_cast<int>(std::stol(value));
    return std::nullopt;
}

void writeProgramInfoToLog(FILE* trace, const Options& o, const std::string& debugFile) {
    std::fprintf(trace, "tessel Program Environment Information\n");
    std::fprintf(trace, "----------------------------------------\n");
    std::fprintf(trace, "Input tuple file : %s \n", o.inputTupleFile.c_str());
    std::fprintf(trace, "Output layout file : %s \n", o.outputLayoutFile.c_str());
    std::fprintf(trace, "Debug file : %s \n", debugFile.c_str());
    if (o.subsystemName) std::fprintf(trace, "Name of subsystem to passed to program : %s\n", o.subsystemName->c_str());
    if (o.relationOnlyInput) std::fprintf(trace, "Relation Only mode\n");
    std::fprintf(trace, "DebugMode on\n");
    std::fprintf(trace, o.model == cliServ ? "Client Server Layout Model \n" : "Nested Layout Model \n");
    std::fprintf(trace, "layout window height = %i \n", o.windowHeight);
    std::fprintf(trace, "layout window width = %i \n", o.windowWidth);
    if (o.printParseError) std::fprintf(trace, "Print Parse Error mode \n");
}

void report(const Failure& f) {
    std::fputs(f.message.c_str(), f.onStderr ? stderr : stdout);
    std::fflush(f.onStderr ? stderr : stdout);
}

Outcome refuseSameFile(const std::string& a, const std::string& b) {
    if (sameFile(a, b)) return fail(format("\nFile : %s is both an input and an output.\n", b.c_str()));
    return std::nullopt;
}

Outcome emitTAfile(const Options& o) {
    bool renamed = false;
    std::string name = taIncludeFileName(o.inputTupleFile, o.outputLayoutFile, renamed);
    if (renamed)
        std::fprintf(stderr, "The <input tuple file> has a \".ta\" extension.\n  Re-nameing the TA file to %s .\n",
                     name.c_str());
    return writeWholeFile(name, format("INCLUDE %s :\nFACT ATTRIBUTE :\nINCLUDE %s :\n", o.inputTupleFile.c_str(),
                                       o.outputLayoutFile.c_str()));
}

}  // namespace

std::string displayProgramSyntax() {
    std::string out = "\n\nProgram usage:\n";
    out += format("Version: %s   Date: %s", VERSION, DATE);
    out += "\n\n";
    out += format("%s [options] <input tuple file> <output layout file>", PROGRAM_NAME);
    out += "\n\noptions:\n\n";
    for (const UsageRow& row : kUsageRows) out += format("%-15s %s", row.option, row.text) + row.end;
    return out;
}

Outcome getProgramArgs(const std::vector<std::string>& args, Options& o) {
    // Every option once, the program name and the two files.
    constexpr size_t kMaxArgs = 12;
    const Outcome wrongCount = usageError("\nIncorrect number of arguments.");
    if (args.size() < 3 || args.size() > kMaxArgs) return wrongCount;
    size_t i = 1;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        const std::string& arg = args[i];
        if (arg.size() == 1) continue;   // a lone '-'
        switch (arg[1]) {
        case 'H':
            if (Outcome e = parseWindowSize(arg, 'H', o.windowHeight)) return e;
            break;
        case 'W':
            if (Outcome e = parseWindowSize(arg, 'W', o.windowWidth)) return e;
            break;
        case 'e': o.printParseError = true; break;
        case 'r': o.relationOnlyInput = true; break;
        case 't': o.emitTA = true; break;
        case 'x': o.debugMode = true; break;
        case 'm':
            if (arg.size() != 3) return usageError("\nInvalid use of -m switch.");
            if (arg[2] == '1') o.model = nested;
            else if (arg[2] == '2') o.model = cliServ;
            else return usageError("\nInvalid layout model kind selected in -m switch.");
            break;
        case 's':
            if (i + 1 >= args.size()) return wrongCount;
            o.subsystemName = args[++i];
            break;
        default:
            return usageError(format("\nInvalid switch : %s", arg.c_str()));
        }
    }
    if (args.size() - i < 2) return wrongCount;
    o.inputTupleFile = args[i];
    o.outputLayoutFile = args[i + 1];
    return std::nullopt;
}

std::string taIncludeFileName(const std::string& input, const std::string& output, bool& renamed) {
    size_t slash = input.rfind('/');
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    name = name.substr(0, name.find('.')) + ".ta";
    renamed = false;
    while (sameFile(name, input) || sameFile(name, output)) {
        name += ".ta";
        renamed = true;
    }
    return name;
}

Outcome computeLayout(std::string_view text, const Options& o, FILE* trace, std::string& layoutText) {
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
    if (Outcome e = prepareGraph(graph, graphPtrs, text, read, setup)) return e;
    viewStructure(graphPtrs, trace);

    LayoutContext ctx;
    ctx.trace = trace;
    if (o.model == cliServ)
        layoutClientServer(graphPtrs.rootItemPtr, graphPtrs.subSystemPtr, o.windowWidth, o.windowHeight, ctx);
    else
        layoutNested(graphPtrs.rootItemPtr, ctx);
    layoutText = outputLayout(graphPtrs.rootItemPtr);
    return std::nullopt;
}

int runTessel(const Options& o) {
    const std::string debugFile = std::string(PROGRAM_NAME) + ".debug";
    std::string text;
    if (!readWholeFile(o.inputTupleFile, text)) {
        report(*fail(format("\nCould not open file : %s for read.", o.inputTupleFile.c_str())));
        return 1;
    }
    Outcome clash = refuseSameFile(o.inputTupleFile, o.outputLayoutFile);
    if (!clash && o.debugMode) clash = refuseSameFile(o.inputTupleFile, debugFile);
    if (!clash && o.debugMode && sameFile(o.outputLayoutFile, debugFile))
        clash = fail(format("\nFile : %s is both the output and the trace file.\n", debugFile.c_str()));
    if (clash) {
        report(*clash);
        return 1;
    }
    FILE* out = std::fopen(o.outputLayoutFile.c_str(), "w");
    if (!out) {
        report(*fail(format("\nCould not open file : %s for write.", o.outputLayoutFile.c_str())));
        return 1;
    }
    FILE* trace = nullptr;
    if (o.debugMode && !(trace = std::fopen(debugFile.c_str(), "w"))) {
        std::fclose(out);
        report(*fail(format("\nCould not open file : %s for write.", debugFile.c_str())));
        return 1;
    }
    auto finish = [&](const Outcome& failure) {
        if (trace) std::fclose(trace);
        if (failure) {
            if (out) std::fclose(out);
            report(*failure);
            return 1;
        }
        return 0;
    };
    if (trace) writeProgramInfoToLog(trace, o, debugFile);

    std::string layoutText;
    if (Outcome e = computeLayout(text, o, trace, layoutText)) return finish(e);
    Outcome written = writeAndClose(out, o.outputLayoutFile, layoutText);
    out = nullptr;
    if (written) return finish(written);
    if (o.emitTA) return finish(emitTAfile(o));
    return finish(std::nullopt);
}

int tesselMain(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    Options options;
    if (Outcome e = getProgramArgs(args, options)) {
        report(*e);
        return 1;
    }
    return runTessel(options);
}

}  // namespace layout::tessel
