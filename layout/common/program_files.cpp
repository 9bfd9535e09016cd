#include "program_files.h"

#include <new>

#include "files.h"
#include "layout_file.h"

namespace layout {

MaybeFailure openProgramFiles(const std::vector<std::string> &inputs, const std::string &output,
                              const std::string *traceFile, ProgramFiles &files)
{
    files.texts.assign(inputs.size(), std::string());
    for (size_t k = 0; k < inputs.size(); ++k)
        if (MaybeFailure o = readInputFile(inputs[k], files.texts[k])) return o;
    for (const std::string &input : inputs)
        for (const std::string *written : {&output, traceFile})
            if (written && sameFile(input, *written))
                return fail(format("\nFile : %s is both an input and an output.\n", written->c_str()));
    if (traceFile && sameFile(output, *traceFile))
        return fail(format("\nFile : %s is both the output and the trace file.\n", traceFile->c_str()));
    if (MaybeFailure o = openOutputFile(output, files.out)) return o;
    if (traceFile) {
        files.traceName = *traceFile;
        if (!(files.trace = std::fopen(traceFile->c_str(), "w"))) {
            discardOutputFile(files.out);
            return fail(format("\nCould not open file : %s for write.", traceFile->c_str()));
        }
    }
    return std::nullopt;
}

MaybeFailure writeLayoutFile(ProgramFiles &files, MaybeFailure result, std::string_view layoutText)
{
    if (result) return result;
    return writeOutputFile(files.out, layoutText);
}

MaybeFailure closeProgramFiles(ProgramFiles &files, MaybeFailure result,
                               std::initializer_list<OutputFile *> alsoWritten)
{
    if (files.trace) {
        bool ok = std::fflush(files.trace) == 0 && !std::ferror(files.trace);
        ok = std::fclose(files.trace) == 0 && ok;
        files.trace = nullptr;
        if (!ok && !result) result = fail(format("\nCould not write file : %s\n", files.traceName.c_str()));
    }
    if (!result) result = installOutputFile(files.out);
    for (OutputFile *file : alsoWritten)
        if (!result && file->written) result = installOutputFile(*file);
    if (result) {
        discardOutputFile(files.out);
        for (OutputFile *file : alsoWritten) discardOutputFile(*file);
    }
    return result;
}

MaybeFailure parseLayoutModel(const std::string &arg, layoutModel &model)
{
    if (arg.size() != 3) return fail("\nInvalid use of -m switch.");
    if (arg[2] == '1')
        model = nested;
    else if (arg[2] == '2')
        model = cliServ;
    else
        return fail("\nInvalid layout model kind selected in -m switch.");
    return std::nullopt;
}

void printWarnings(std::string_view warnings)
{
    if (warnings.empty()) return;
    std::fwrite(warnings.data(), 1, warnings.size(), stdout);
    std::fflush(stdout);
}

int exitStatus(const MaybeFailure &result)
{
    if (!result) return 0;
    FILE *stream = result->onStderr ? stderr : stdout;
    std::fputs(result->message.c_str(), stream);
    std::fflush(stream);
    return 1;
}

int runCatchingMemoryExhaustion(const std::function<int()> &work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return exitStatus(fail("\nOut of memory.\n"));
    }
}

}  // namespace layout
