#include "linking.h"

#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <system_error>

#include "file_buffers.h"
#include "names.h"

namespace pipeline {

namespace {

// joinwide's usage text has always shown "-notwinfold"; both spellings
// switch the twinfold stage off.
const LinkerProfile linkProfile{
    .name = "link",
    .pipelineFile = "link.pip",
    .setFile = "out.tmp.1.rawlink.set",
    .prefix = "out",
    .finalFile = "out.ls.ta",
    .defaultSwitches = {{"liftfile", false}, {"liftobj", true}, {"twinfold", true}, {"clusterch", true}},
    .options = {{"-liftfile", "liftfile", true},
                {"-noliftobj", "liftobj", false},
                {"-twinfold", "twinfold", true},
                {"-notwinfolder", "twinfold", false},
                {"-notwinfold", "twinfold", false},
                {"-clusterch", "clusterch", true},
                {"-noclusterch", "clusterch", false}},
    .knownStages = {"rawlink", "dellinksym", "layout"},
    .takesExtraFiles = true,
    .missingPathTag = "prep",
    .usage = {"Usage: link file1Ta file2Ta file3Ta ... [containRsf] [schemaTa]",
              "The TA files are linked and are output as file out.ls.ta",
              "The TA files must have the suffix '.ta'", "The TA files must have distinct nodes.",
              "External symbols are resolved using Link Symbols.",
              "containRsf, if present, must has the suffix  'contain.rsf'",
              "schemaTa, if present, must have a suffix '.sch.ta'", "Default schema is Ririra",
              "The flag -liftfile causes file bodies to be eliminated",
              "The flag -noliftobj causes object bodies not to be eliminated",
              "The link stages are determined by "
              "$QUILLON_PATH/lib/pipeline/link.pip",
              "Version 1.3  Date: 20 Dec 2001"},
};

const LinkerProfile joinwideProfile{
    .name = "joinwide",
    .pipelineFile = "joinwide.pip",
    .setFile = "link.tmp.1.rawlink.set",
    .prefix = "link",
    .finalFile = "out.ln.ta",
    .defaultSwitches = {{"liftfile", false}, {"twinfold", true}, {"clusterch", false}},
    .options = {{"-liftfile", "liftfile", true},
                {"-noliftfile", "liftfile", false},
                {"-twinfold", "twinfold", true},
                {"-notwinfolder", "twinfold", false},
                {"-notwinfold", "twinfold", false},
                {"-clusterch", "clusterch", true},
                {"-noclusterch", "clusterch", false}},
    .knownStages = {"rawlink", "dellinksym", "cleanup"},
    .takesExtraFiles = false,
    .missingPathTag = "joinwide",
    .usage = {"Usage: joinwide file1Ta file2Ta file3Ta ... ",
              "The TA files are linked and are output as file 'out.ln.ta'",
              "Typical usage:", "       joinwide *.o.t   (link files that have been prep'd)",
              "The TA files must have the suffix '.ta'", "The TA files must have distinct nodes.",
              "External symbols are resolved using Link Symbols.",
              "Flags:  -liftfile causes file bodies to be eliminated",
              "        -notwinfold stops headers from being merged",
              "        -clusterch causes .c and .h files to be clustered",
              "Joinwide stages determined by "
              "$QUILLON_PATH/lib/pipeline/joinwide.pip",
              "Version 1.3  Date: 9 Dec 2002", "Based on earlier 'link' script, with much cloning"},
};

const std::vector<std::string> placewideUsage{
    "Usage: placewide fileTa [containRsf] [schemaTa]",
    "Typical usage:",
    "        placewide out.ln.ta  (no contain file, default schema)",
    "The TA file is laid out and is output as file out.ls.ta",
    "The TA file must have the suffix '.ta'",
    "The containRsf, if present, must has the suffix  'contain.rsf'",
    "The schemaTa, if present, must have a suffix '.sch.ta'",
    "Default schema is Ririra",
    "The placewide stages are determined by "
    "$QUILLON_PATH/lib/pipeline/placewide.pip",
    "Version 1.3  Date: 9 Dec 2002",
    "  Based on 'link' script, with extensive cloning"};

void printUsage(const std::vector<std::string> &usage, std::ostream &messages)
{
    for (const std::string &line : usage) messages << line << '\n';
}

// Sets the switch of stage.
void setSwitch(std::vector<StageSwitch> &switches, const std::string &stage, bool on)
{
    for (StageSwitch &entry : switches) {
        if (entry.stage == stage) entry.on = on;
    }
}

const SwitchOption *optionOf(const LinkerProfile &profile, const std::string &argument)
{
    for (const SwitchOption &option : profile.options) {
        if (option.text == argument) return &option;
    }
    return nullptr;
}

// Writes one input name per line; the set file takes its name only once it
// is whole. A failed write, close or rename is reported.
bool writeSetFile(support::OutputFile &setFile, const std::vector<std::string> &inputs)
{
    OutputBuffer buffer(setFile);
    std::ostream out(&buffer);
    for (const std::string &input : inputs) out << input << '\n';
    return buffer.keep();
}

// What tells whether two names are one file: the device and inode of an
// existing file (a hard link or a symbolic link under another name is the
// same file), and for a name with no file yet the path it resolves to, which
// becomes one file once it is written.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::filesystem::path resolved;
};

FileIdentity identityOf(const std::string &name)
{
    FileIdentity identity;
    struct stat status;
    if (stat(name.c_str(), &status) == 0) {
        identity.exists = true;
        identity.device = status.st_dev;
        identity.inode = status.st_ino;
        return identity;
    }
    std::error_code error;
    identity.resolved = std::filesystem::weakly_canonical(name, error);
    if (error) identity.resolved = std::filesystem::path(name).lexically_normal();
    return identity;
}

bool sameFile(const FileIdentity &a, const FileIdentity &b)
{
    if (a.exists != b.exists) return false;
    if (a.exists) return a.device == b.device && a.inode == b.inode;
    return a.resolved == b.resolved;
}

// Refuses, with a message and a stop, a file named on the command line that
// the run itself writes: its set file would be emptied, a stage or final
// file replaced, before a stage reads it.
RunEnd refuseWorkFiles(const std::string &tag, const std::vector<std::string> &read,
                       const std::vector<std::string> &written, std::ostream &messages)
{
    std::vector<FileIdentity> writtenFiles;
    for (const std::string &name : written) writtenFiles.push_back(identityOf(name));
    for (const std::string &name : read) {
        FileIdentity file = identityOf(name);
        for (const FileIdentity &work : writtenFiles) {
            if (!sameFile(file, work)) continue;
            messages << "***Error [" << tag << "]: Input file is one of this run's work or output files: '"
                     << name << "'\n";
            return RunEnd::quit;
        }
    }
    return RunEnd::done;
}

// The files a linker reads, that is its inputs and its containment and
// schema files.
std::vector<std::string> filesRead(const std::vector<std::string> &inputs, const std::string &containRsf,
                                   const std::string &schemaTa)
{
    std::vector<std::string> read = inputs;
    for (const std::string &extra : {containRsf, schemaTa}) {
        if (extra != noFile) read.push_back(extra);
    }
    return read;
}

// Refuses, with a message and a stop, an input name that holds a newline,
// which the set file's one name per line cannot carry.
RunEnd refuseNewlines(const LinkerProfile &profile, const std::vector<std::string> &inputs,
                      std::ostream &messages)
{
    for (const std::string &input : inputs) {
        if (input.find('\n') != std::string::npos) {
            messages << "***Error [" << profile.name << "]: Input file name holds a newline: '" << input
                     << "'\n";
            return RunEnd::quit;
        }
    }
    return RunEnd::done;
}

}  // namespace

const LinkerProfile &linkerProfile(Linker linker)
{
    return linker == Linker::link ? linkProfile : joinwideProfile;
}

LinkArguments classifyLinkArguments(const LinkerProfile &profile, const std::vector<std::string> &arguments,
                                    std::ostream &messages)
{
    LinkArguments sorted;
    sorted.switches = profile.defaultSwitches;
    for (const std::string &argument : arguments) {
        if (profile.takesExtraFiles && hasSuffix(argument, "contain.rsf")) {
            sorted.containRsf = argument;
        } else if (profile.takesExtraFiles && hasSuffix(argument, ".sch.ta")) {
            sorted.schemaTa = argument;
        } else if (const SwitchOption *option = optionOf(profile, argument)) {
            setSwitch(sorted.switches, option->stage, option->on);
        } else {
            if (!hasSuffix(argument, ".ta")) {
                messages << "***Warning [" << profile.name << "]: To be linked file named: '" << argument
                         << "'\n";
            }
            sorted.inputs.push_back(argument);
        }
    }
    return sorted;
}

RunEnd runLinker(Linker linker, const std::vector<std::string> &arguments, const std::string &quillonPath,
                 std::ostream &messages)
{
    const LinkerProfile &profile = linkerProfile(linker);
    if (isUsageRequest(arguments)) {
        printUsage(profile.usage, messages);
        return RunEnd::quit;
    }
    std::vector<std::string> stages;
    RunEnd read = readPipeline(quillonPath, profile.pipelineFile,
                               missingPathMessage(profile.missingPathTag, false), false, stages, messages);
    if (read != RunEnd::done) return read;
    LinkArguments sorted = classifyLinkArguments(profile, arguments, messages);

    StageProfile run;
    run.programName = profile.name;
    run.prefix = profile.prefix;
    run.chainInput = profile.setFile;
    run.finalFile = profile.finalFile;
    run.switches = sorted.switches;
    run.knownStages = profile.knownStages;
    run.announcesNewStages = true;
    run.takesExtraFiles = profile.takesExtraFiles;
    run.containRsf = sorted.containRsf;
    run.schemaTa = sorted.schemaTa;
    run.fileToRemove = profile.setFile;

    // Nothing is written before the inputs are known to be safe to read.
    std::vector<std::string> written = stageFiles(run, stages);  // set file first
    written.push_back(run.finalFile);
    RunEnd refused = refuseWorkFiles(
        profile.name, filesRead(sorted.inputs, sorted.containRsf, sorted.schemaTa), written, messages);
    if (refused == RunEnd::done) refused = refuseNewlines(profile, sorted.inputs, messages);
    if (refused != RunEnd::done) return refused;

    support::OutputFile setFile;
    if (!setFile.open(profile.setFile)) {
        messages << "***Error [" << profile.name << "]:  Cannot open file: " << profile.setFile << '\n';
        sayWhichFolderRefused(profile.name, setFile, messages);
        return RunEnd::quit;
    }
    if (!writeSetFile(setFile, sorted.inputs)) {
        messages << "***Error [" << profile.name << "]:  Cannot write file: " << profile.setFile << '\n';
        return RunEnd::quit;
    }
    return runPlan(planStages(run, stages), messages);
}

LayoutArguments classifyLayoutArguments(const std::vector<std::string> &arguments, std::ostream &messages)
{
    LayoutArguments sorted;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (hasSuffix(argument, "contain.rsf")) {
            sorted.containRsf = argument;
        } else if (hasSuffix(argument, ".sch.ta")) {
            sorted.schemaTa = argument;
        } else {
            if (!hasSuffix(argument, ".ta")) {
                messages << "***Warning [placewide]: To be laid out file named: '" << argument << "'\n";
            }
            sorted.fileToLayout = argument;
        }
        if (i >= 3) {
            messages << "***Error [placewide]: Extra argument: '" << argument << "'\n";
        }
    }
    return sorted;
}

RunEnd runPlacewide(const std::vector<std::string> &arguments, const std::string &quillonPath,
                    std::ostream &messages)
{
    if (isUsageRequest(arguments)) {
        printUsage(placewideUsage, messages);
        return RunEnd::quit;
    }
    std::vector<std::string> stages;
    RunEnd read = readPipeline(quillonPath, "placewide.pip", missingPathMessage("prep", false), false, stages,
                               messages);
    if (read != RunEnd::done) return read;
    LayoutArguments sorted = classifyLayoutArguments(arguments, messages);
    // Only a containment or schema file: there is nothing to lay out, and the
    // stages must not run on a file named "NONE".
    if (sorted.fileToLayout == noFile) {
        messages << "***Error [placewide]: Missing TA file to lay out\n";
        return RunEnd::quit;
    }

    StageProfile run;
    run.programName = "placewide";
    run.prefix = "layout";
    run.chainInput = sorted.fileToLayout;
    run.finalFile = "out.ls.ta";
    run.knownStages = {"layout"};
    run.announcesNewStages = true;
    run.takesExtraFiles = true;
    run.containRsf = sorted.containRsf;
    run.schemaTa = sorted.schemaTa;
    // Stage 1 reads the input itself: only the files after it are written.
    std::vector<std::string> written = stageFiles(run, stages);
    written.front() = run.finalFile;
    RunEnd refused = refuseWorkFiles(
        "placewide", filesRead({sorted.fileToLayout}, sorted.containRsf, sorted.schemaTa), written, messages);
    if (refused != RunEnd::done) return refused;
    return runPlan(planStages(run, stages), messages);
}

}  // namespace pipeline
