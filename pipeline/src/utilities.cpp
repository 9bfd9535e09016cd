#include "utilities.h"

#include <array>
#include <ostream>

#include "names.h"
#include "support/file_names.h"
#include "support/output_file.h"

namespace pipeline {

namespace {

const std::array<std::string_view, 6> tabulaUsage = {
    "Usage:  tabula fileTa [fileTabula]",
    "Inputs fileTa, which is TA output from talvex",
    "Assumes that the 'contain' relations forms a tree",
    "Outputs fileTabula, which is same info in Table of Contents format",
    "The default for fileTabula is base.tabula where fileTa = base.ta",
    "Date: 6 Jan 2002"};

}  // namespace

std::string numberedLine(std::size_t number, std::string_view line)
{
    std::string digits = std::to_string(number);
    std::string text(digits.size() < 2 ? 2 - digits.size() : 0, ' ');
    text += digits;
    text += "  ";
    text += line;
    text += '\n';
    return text;
}

RunEnd runNumber(InputBuffer &typed, std::ostream &messages)
{
    messages << "Number what file? ";
    TokenInput typedIn{&typed};
    std::string fileName = readToken(typedIn);
    // A name cut short by a read error may name another file.
    if (typed.readFailed()) return RunEnd::violatedLimit;
    InputBuffer file;
    if (!file.open(fileName)) return RunEnd::violatedLimit;
    TokenInput in{&file};
    std::string line;
    for (std::size_t number = 1; messages && readLine(in, line); ++number) {
        messages << numberedLine(number, line);
    }
    // A file that fails while it is read is as unusable as one that cannot
    // be opened; the lines before the failure stay written.
    return file.readFailed() ? RunEnd::violatedLimit : RunEnd::done;
}

const std::vector<Example> &exampleTable()
{
    static const std::vector<Example> examples = {
        {"alias", "ex_alias.cpp"},
        {"attribs", "ex_classes.cpp"},
        {"dcls", "dcls.c"},
        {"enums", "ex_enum.cpp"},
        {"exceptions", "ex_except.cpp"},
        {"expns", "ex_expns.cpp"},
        {"for", "ex_ctl.cpp"},
        {"goto", "ex_goto.cpp"},
        {"hello", "main.c"},
        {"if", "ex_if.cpp"},
        {"include", "a.cpp"},
        {"nesting", "ex_class2.cpp"},
        {"objects", "ex_decl_obj.cpp"},
        {"putint", "main.c"},
        {"putint", "putint.c"},
        {"samples", "r01.cc"},
        {"samples", "r02.cc"},
        {"samples", "r03.cc"},
        {"stmts", "ex_stmts.cpp"},
        {"struct", "struct2.c"},
        {"struct", "struct.c"},
        {"switch", "ex_switch.cpp"},
        {"templates", "ex_templates.cpp"},
        {"stack", "stack.cpp"},
    };
    return examples;
}

Command exampleCommand(const std::string &testDirectory, const Example &example)
{
    std::string taFile = std::string(example.dir) + "/" + std::string(example.file) + ".ta";
    return commandInDirectory(testDirectory, {"prep", taFile});
}

RunEnd runBatch(const std::string &testDirectory, std::ostream &messages)
{
    for (const Example &example : exampleTable()) {
        if (!command(exampleCommand(testDirectory, example), messages)) {
            return RunEnd::quit;
        }
    }
    return RunEnd::done;
}

std::string batchTestDirectory(const char *fromEnvironment, const char *builtIn)
{
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return fromEnvironment;
    }
    return builtIn;
}

std::optional<TabulaFiles> tabulaFiles(const std::vector<std::string> &arguments)
{
    if (arguments.size() == 1 && hasProperSuffix(arguments[0], ".ta")) {
        const std::string &fileTa = arguments[0];
        return TabulaFiles{fileTa, fileTa.substr(0, fileTa.size() - 3) + ".tabula"};
    }
    if (arguments.size() == 2) return TabulaFiles{arguments[0], arguments[1]};
    return std::nullopt;
}

RunEnd runTabula(const std::vector<std::string> &arguments, std::ostream &messages)
{
    std::optional<TabulaFiles> files = tabulaFiles(arguments);
    if (!files) {
        for (std::string_view line : tabulaUsage) messages << line << '\n';
        return RunEnd::quit;
    }
    if (support::sameFile(files->fileTa, files->fileTabula)) {
        messages << "***Error [tabula]: Input file is the listing file: '" << files->fileTa << "'\n";
        return RunEnd::quit;
    }
    support::OutputFile listingFile;
    if (!listingFile.open(files->fileTabula, {.filledByName = true})) {
        messages << "***Error [tabula]: Can't open output file '" << files->fileTabula << "'\n";
        sayWhichFolderRefused("tabula", listingFile, messages);
        return RunEnd::quit;
    }
    // Shown with the listing's own name; listwright fills the new file, and
    // a signal that ends tabula meanwhile ends listwright first.
    Command listing = commandOf({"listwright", files->fileTa, listingFile.temporaryName()});
    listing.text = joinedText({"listwright", files->fileTa, files->fileTabula});
    listing.endsWithTheProgram = true;
    if (!command(listing, messages)) {
        listingFile.discard();
        return RunEnd::quit;
    }
    if (!listingFile.keep()) {
        messages << "***Error [tabula]: Can't write output file '" << files->fileTabula << "'\n";
        return RunEnd::quit;
    }
    return RunEnd::done;
}

}  // namespace pipeline
