#include "program_files.h"

#include <cerrno>
#include <new>

#include "support/file_names.h"
#include "support/input_file.h"

namespace layout {
namespace {

MaybeFailure cannotWrite(const std::string &name)
{
    return fail(format("\nCould not write file : %s\n", name.c_str()));
}

}  // namespace

MaybeFailure readInputFile(const std::string &path, std::string &text)
{
    support::InputFailure why;
    if (support::readWholeFile(path, text, why)) return std::nullopt;
    // A directory opens, but its first read fails: it is no file to read.
    if (why.step == support::InputStep::open || why.error == EISDIR)
        return fail(format("\nCould not open file : %s for read.", path.c_str()));
    return fail(format("\nCould not read file : %s\n", path.c_str()));
}

MaybeFailure openOutputFile(const std::string &name, support::OutputFile &file)
{
    if (file.open(name)) return std::nullopt;
    std::string message = format("\nCould not open file : %s for write.", name.c_str());
    // The file's name alone would puzzle where its folder is to blame.
    const std::string folder = file.failure().folderReason();
    if (!folder.empty()) message += "\n" + name + ": " + folder + "\n";
    return fail(message);
}

MaybeFailure openProgramFiles(const std::vector<std::string> &inputs, const std::string &output,
                              const std::string *traceFile, ProgramFiles &files)
{
    files.texts.assign(inputs.size(), std::string());
    for (size_t k = 0; k < inputs.size(); ++k)
        if (MaybeFailure o = readInputFile(inputs[k], files.texts[k])) return o;
    for (const std::string &input : inputs)
        for (const std::string *written : {&output, traceFile})
            if (written && support::sameFile(input, *written))
                return fail(format("\nFile : %s is both an input and an output.\n", written->c_str()));
    if (traceFile && support::sameFile(output, *traceFile))
        return fail(format("\nFile : %s is both the output and the trace file.\n", traceFile->c_str()));
    if (MaybeFailure o = openOutputFile(output, files.out)) return o;
    if (traceFile) {
        MaybeFailure o = openOutputFile(*traceFile, files.trace);
        if (!o && !(files.traceStream = files.trace.stream()))
            o = fail(format("\nCould not open file : %s for write.", traceFile->c_str()));
        if (o) {
            files.out.discard();
            files.trace.discard();
            return o;
        }
    }
    return std::nullopt;
}

MaybeFailure writeLayoutFile(ProgramFiles &files, MaybeFailure result, std::string_view layoutText)
{
    if (result) return result;
    // A failed write shows again, and is reported, when the file is finished.
    files.out.write(layoutText);
    return std::nullopt;
}

MaybeFailure writeIncludeFile(ProgramFiles &files, const std::string &name, std::string_view text)
{
    if (MaybeFailure e = openOutputFile(name, files.include)) return e;
    files.include.write(text);
    return std::nullopt;
}

MaybeFailure closeProgramFiles(ProgramFiles &files, MaybeFailure result)
{
    files.traceStream = nullptr;
    if (result) {
        files.out.discard();
        files.include.discard();
        // The trace of a stopped run tells how it came to stop: it is kept
        // when it can be, and the stop is what the run reports either way.
        if (files.trace.isOpen() && !files.trace.keep()) files.trace.discard();
        return result;
    }
    support::OutputFile *const outputs[] = {&files.out, &files.include, &files.trace};
    for (support::OutputFile *o : outputs)
        if (!result && o->isOpen() && !o->finish()) result = cannotWrite(o->name());
    for (support::OutputFile *o : outputs)
        if (!result && o->isOpen() && !o->keep()) result = cannotWrite(o->name());
    for (support::OutputFile *o : outputs) o->discard();
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

int exitStatus(const char *program, const MaybeFailure &result)
{
    if (result) {
        FILE *stream = result->onStderr ? stderr : stdout;
        std::fputs(result->message.c_str(), stream);
        std::fflush(stream);
    }
    if (support::finishStream(stdout) != 0) {
        std::fprintf(stderr, "%s: error writing standard output\n", program);
        return 1;
    }
    return result ? 1 : 0;
}

int runCatchingMemoryExhaustion(const char *program, const std::function<int()> &work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return exitStatus(program, fail("\nOut of memory.\n"));
    }
}

}  // namespace layout
