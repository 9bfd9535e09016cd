// libFuzzer target over the token input and the pipeline file reader: any
// text is read as a pipeline file (with and without prep's comments) and as
// tokens and as whole lines. Reading always reaches the end of the input and
// the lines give back the text. The stage names read are planned, under a
// profile that the input's first byte chooses, and the plan is run on a
// model of the working folder in which every stage program writes its name
// around what it read: the final file must then hold the chain input inside
// exactly the stages that are on, in their order, with the extra file each
// is given, and no command may read a file that is not there, write the file
// it reads or the chain input, nor leave the set file behind; only the final
// copy writes the final file, marked as the copy that must appear whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "stages.h"
#include "tokens.h"

namespace {

std::stringbuf source(std::string_view text)
{
    return std::stringbuf(std::string(text), std::ios::in);
}

void check(bool condition)
{
    if (!condition) std::abort();
}

// The profile of a run, chosen by the bits of one byte: which switch is on,
// whether the extra files are named, as link and placewide allow them.
pipeline::StageProfile profileOf(unsigned char choice, bool dropComments)
{
    pipeline::StageProfile profile;
    profile.prefix = "out";
    profile.chainInput = "in.ta";
    profile.finalFile = "final.ta";
    profile.switches = {{"liftobj", (choice & 1) != 0}, {"addschema", (choice & 2) != 0}};
    profile.knownStages = {"unique", "addcontain"};
    profile.announcesNewStages = !dropComments;
    profile.takesExtraFiles = !dropComments;
    if ((choice & 4) != 0) profile.containRsf = "c.contain.rsf";
    if ((choice & 8) != 0) profile.schemaTa = "s.sch.ta";
    if (dropComments) profile.uniqueSuffix = ".u";
    if ((choice & 16) != 0) profile.fileToRemove = "in.set";
    return profile;
}

// What the final file must hold: the chain input inside every stage that
// runs, with what a stage gets besides its input and output.
std::string expectedResult(const pipeline::StageProfile &profile, const std::vector<std::string> &stages)
{
    std::string data = "<" + profile.chainInput + ">";
    for (const std::string &stage : stages) {
        bool off = false;
        for (const pipeline::StageSwitch &entry : profile.switches) {
            if (entry.stage == stage) off = !entry.on;
        }
        std::string extra;
        if (profile.takesExtraFiles && stage == "addcontain") {
            if (profile.containRsf == pipeline::noFile) off = true;
            extra = profile.containRsf;
        } else if (profile.takesExtraFiles && stage == "addschema" && profile.schemaTa != pipeline::noFile) {
            extra = profile.schemaTa;
        } else if (profile.uniqueSuffix && stage == "unique") {
            extra = *profile.uniqueSuffix;
        }
        if (off) continue;
        data = stage + "(" + data + (extra.empty() ? "" : "," + extra) + ")";
    }
    return data;
}

// Runs a plan on a model of the folder: the final copy, which the runner
// makes itself, and the runner's own cp and rm (the ones given "--"; a stage
// may be named cp) copy and remove, and any other program is a stage that
// reads its first argument and writes its last (the second, for addschema
// given a schema file after its output).
std::map<std::string, std::string> runModel(const pipeline::StageProfile &profile,
                                            const std::vector<pipeline::PlannedCommand> &plan)
{
    std::map<std::string, std::string> files{{profile.chainInput, "<" + profile.chainInput + ">"}};
    if (profile.fileToRemove) files[*profile.fileToRemove] = "set";
    for (const pipeline::PlannedCommand &planned : plan) {
        if (planned.finalCopy) {
            // The final file is written by the final copy alone, the one
            // step whose output must appear whole, and it copies the file it
            // names; it is shown as the cp it stands for.
            const pipeline::FinalCopy &copy = *planned.finalCopy;
            check(planned.command.arguments.empty() && copy.to == profile.finalFile);
            check(planned.command.text == "cp " + copy.from + " " + copy.to);
            check(files.count(copy.from) == 1);
            files[copy.to] = files[copy.from];
            continue;
        }
        const std::vector<std::string> &arguments = planned.command.arguments;
        check(!arguments.empty());
        const std::string &program = arguments[0];
        bool ours = arguments.size() > 1 && arguments[1] == "--";
        if (ours && program == "rm") {
            check(arguments.size() == 3 && files.erase(arguments[2]) == 1);
            continue;
        }
        std::vector<std::string> names(arguments.begin() + (ours ? 2 : 1), arguments.end());
        check(names.size() >= 2);
        if (ours) check(program == "cp" && names.size() == 2);
        std::string in = names.front();
        std::string out = names.back();
        std::vector<std::string> extras(names.begin() + 1, names.end() - 1);
        if (program == "addschema" && names.size() == 3) {
            out = names[1];
            extras = {names[2]};
        }
        check(files.count(in) == 1);
        check(out != in && out != profile.chainInput && out != profile.finalFile);
        std::string data = files[in];
        if (!ours) {
            data = program + "(" + data;
            for (const std::string &extra : extras) data += "," + extra;
            data += ")";
        }
        files[out] = data;
    }
    return files;
}

void readAsPipeline(std::string_view text, bool dropComments)
{
    std::stringbuf file = source(text);
    pipeline::TokenInput in{&file};
    std::vector<std::string> stages;
    bool withinLimit = pipeline::readStageNames(in, dropComments, stages);
    check(stages.size() <= pipeline::maxStages);
    if (!withinLimit) return;
    check(pipeline::atEnd(in));
    pipeline::StageProfile profile =
        profileOf(text.empty() ? 0 : static_cast<unsigned char>(text[0]), dropComments);
    std::map<std::string, std::string> files = runModel(profile, pipeline::planStages(profile, stages));
    check(files.count(profile.finalFile) == 1);
    check(files[profile.finalFile] == expectedResult(profile, stages));
    check(files[profile.chainInput] == "<" + profile.chainInput + ">");
    if (profile.fileToRemove) check(files.count(*profile.fileToRemove) == 0);
}

void readAsTokens(std::string_view text)
{
    std::stringbuf file = source(text);
    pipeline::TokenInput in{&file};
    size_t tokens = 0;
    while (pipeline::skipWhiteSpace(in)) {
        pipeline::readToken(in);
        check(++tokens <= text.size());
    }
    check(pipeline::atEnd(in));
    check(pipeline::readToken(in).empty());
}

void readAsLines(std::string_view text)
{
    std::stringbuf file = source(text);
    pipeline::TokenInput in{&file};
    std::string line;
    std::string joined;
    while (pipeline::readLine(in, line)) joined += line + '\n';
    // A last line without its newline is a line too.
    check(joined == text || (!text.empty() && text.back() != '\n' && joined == std::string(text) + '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string_view text(reinterpret_cast<const char *>(data), size);
    readAsPipeline(text, false);
    readAsPipeline(text, true);
    readAsTokens(text);
    readAsLines(text);
    return 0;
}
