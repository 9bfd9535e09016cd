#include "prep.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "names.h"
#include "stages.h"

namespace pipeline {

namespace {

constexpr std::array<std::string_view, 2> defaultDoNotRunStage = {"liftunit", "liftfile"};

const std::array<std::string_view, 5> prepUsage = {
    "Usage:  prep fileTa [fileLinkableTa]", "Inputs fileTa, which is TA output from talvex",
    "Outputs fileLinkableTa, which is a TA file which can be linked",
    "Default fileLinkableTa is base.o.ta where fileTa = base.ta", "Version 1.3  Date: 6 Jan 2002"};

bool isAnArg(const std::vector<std::string> &arguments, const std::string &text)
{
    return std::find(arguments.begin(), arguments.end(), text) != arguments.end();
}

}  // namespace

PrepFiles classifyPrepArguments(const std::vector<std::string> &arguments, std::ostream &messages)
{
    PrepFiles files{noFile, noFile};
    for (const std::string &argument : arguments) {
        if (!hasSuffix(argument, ".ta")) continue;
        if (files.fileTa == noFile) {
            files.fileTa = argument;
            continue;
        }
        if (files.fileLinkableTa != noFile) {
            messages << "***Warning [prep]: Extra argument: '" << argument << "'\n";
        }
        files.fileLinkableTa = argument;
    }
    return files;
}

bool shouldRunStage(const std::vector<std::string> &arguments, const std::string &stage)
{
    if (isAnArg(arguments, "-" + stage)) return true;
    if (isAnArg(arguments, "-no" + stage)) return false;
    return std::find(defaultDoNotRunStage.begin(), defaultDoNotRunStage.end(), stage) ==
           defaultDoNotRunStage.end();
}

RunEnd runPrep(const std::vector<std::string> &arguments, const std::string &quillonPath,
               std::ostream &messages)
{
    if (isUsageRequest(arguments)) {
        for (std::string_view line : prepUsage) messages << line << '\n';
        return RunEnd::quit;
    }
    PrepFiles files = classifyPrepArguments(arguments, messages);
    if (files.fileTa == noFile) {
        messages << "Error [prep]: Missing TA file for input\n";
        return RunEnd::quit;
    }
    if (files.fileLinkableTa == noFile) {
        files.fileLinkableTa = files.fileTa.substr(0, files.fileTa.size() - 3) + ".o.ta";
    }
    std::string baseFile = delsuffixes(files.fileTa);

    std::vector<std::string> stages;
    RunEnd read =
        readPipeline(quillonPath, "prep.pip", missingPathMessage("prep", true), true, stages, messages);
    if (read != RunEnd::done) return read;

    StageProfile run;
    run.programName = "prep";
    run.prefix = baseFile;
    run.chainInput = files.fileTa;
    run.finalFile = files.fileLinkableTa;
    for (const std::string &stage : stages) {
        run.switches.push_back({stage, shouldRunStage(arguments, stage)});
    }
    run.uniqueSuffix = "." + baseFile;
    return runPlan(planStages(run, stages), messages);
}

}  // namespace pipeline
