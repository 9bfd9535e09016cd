#include "program_files.h"

#include "files.h"
#include "layout_file.h"

namespace layout {

Outcome openProgramFiles(const std::vector<std::string>& inputs, const std::string& output,
                         const std::string* traceFile, ProgramFiles& files) {
    files.texts.assign(inputs.size(), std::string());
    for (size_t k = 0; k < inputs.size(); ++k)
        if (!readWholeFile(inputs[k], files.texts[k]))
            return fail(format("\nCould not open file : %s for read.", inputs[k].c_str()));
    for (const std::string& input : inputs)
        for (const std::string* written : {&output, traceFile})
            if (written && sameFile(input, *written))
                return fail(format("\nFile : %s is both an input and an output.\n", written->c_str()));
    if (traceFile && sameFile(output, *traceFile))
        return fail(format("\nFile : %s is both the output and the trace file.\n", traceFile->c_str()));
    files.out = std::fopen(output.c_str(), "w");
    if (!files.out) return fail(format("\nCould not open file : %s for write.", output.c_str()));
    if (traceFile && !(files.trace = std::fopen(traceFile->c_str(), "w"))) {
        std::fclose(files.out);
        files.out = nullptr;
        return fail(format("\nCould not open file : %s for write.", traceFile->c_str()));
    }
    return std::nullopt;
}

Outcome closeProgramFiles(ProgramFiles& files, const std::string& output, Outcome result,
                          std::string_view layoutText) {
    if (result) std::fclose(files.out);
    else result = writeAndClose(files.out, output, layoutText);
    files.out = nullptr;
    if (files.trace) std::fclose(files.trace);
    files.trace = nullptr;
    return result;
}

Outcome parseLayoutModel(const std::string& arg, layoutModel& model) {
    if (arg.size() != 3) return fail("\nInvalid use of -m switch.");
    if (arg[2] == '1') model = nested;
    else if (arg[2] == '2') model = cliServ;
    else return fail("\nInvalid layout model kind selected in -m switch.");
    return std::nullopt;
}

void printWarnings(std::string_view warnings) {
    if (warnings.empty()) return;
    std::fwrite(warnings.data(), 1, warnings.size(), stdout);
    std::fflush(stdout);
}

int exitStatus(const Outcome& result) {
    if (!result) return 0;
    FILE* stream = result->onStderr ? stderr : stdout;
    std::fputs(result->message.c_str(), stream);
    std::fflush(stream);
    return 1;
}

}  // namespace layout
