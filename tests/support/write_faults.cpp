#include "write_faults.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "program_run.h"

namespace test_support {

namespace {

namespace fs = std::filesystem;

// What a folder holds, down through its folders: each file's bytes and mode
// bits, each link's target. Two equal snapshots mean nothing was changed,
// added or left behind.
struct Entry {
    std::string what;  // the bytes of a file, the target of a link, "" for a folder
    mode_t mode = 0;
    bool operator==(const Entry &) const = default;
};
using Snapshot = std::map<std::string, Entry>;

Snapshot snapshot(const fs::path &root)
{
    Snapshot s;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        struct stat st;
        lstat(entry.path().c_str(), &st);
        Entry e{"", st.st_mode};
        if (S_ISLNK(st.st_mode))
            e.what = fs::read_symlink(entry.path()).string();
        else if (S_ISREG(st.st_mode))
            e.what = readFile(entry.path());
        s[name] = e;
    }
    return s;
}

// Compared whole, but reported by name and size: an output printed byte by
// byte would bury the failure.
void expectSnapshot(const Snapshot &now, const Snapshot &expected)
{
    std::vector<std::string> names, expectedNames;
    for (const auto &[name, entry] : now) names.push_back(name);
    for (const auto &[name, entry] : expected) expectedNames.push_back(name);
    EXPECT_EQ(names, expectedNames);
    for (const auto &[name, entry] : expected) {
        const auto found = now.find(name);
        if (found == now.end()) continue;
        EXPECT_TRUE(found->second.what == entry.what)
            << name << " holds " << found->second.what.size() << " bytes, not " << entry.what.size();
        EXPECT_EQ(found->second.mode, entry.mode) << name;
    }
}

void expectSaid(const ProgramRun &run, const Said &said)
{
    EXPECT_EQ(run.out, said.out);
    EXPECT_EQ(run.err, said.err);
}

ino_t inodeOf(const fs::path &p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

const std::string earlierOutput = "the output of an earlier run\n";

// One case's folder: the input in work/, and an earlier output beside it
// unless the output is the input. Open to the unprivileged user.
struct CaseFolder {
    TempDir dir;
    const WritingProgram &p;
    fs::path work = dir / "work";
    RunNames names;

    CaseFolder(const WritingProgram &program, bool outputIsInput) : p(program)
    {
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        fs::create_directory(work);
        names.in = (work / p.inputName).string();
        names.out = outputIsInput ? names.in : (work / p.outputName).string();
        names.target = names.out;
        writeFile(names.in, p.input);
        if (!outputIsInput) writeFile(names.out, earlierOutput);
    }
    // The names of a run that reads `in` and writes `out`: those names
    // themselves, or the program's own names made links to them.
    RunNames through(const std::string &in, const std::string &out)
    {
        if (!p.namesThroughLinks && !p.namesItsOwnOutput) return {in, out};
        RunNames linked = names;
        linked.target = out;
        for (const auto &[name, to] : {std::pair{names.in, in}, std::pair{names.out, out}}) {
            if (name == to) continue;
            fs::remove(name);
            fs::create_symlink(to, name);
        }
        return linked;
    }
    std::vector<std::string> arguments(const RunNames &n) const
    {
        return p.arguments ? p.arguments(n) : std::vector<std::string>{n.in, n.out};
    }
    RunSetup setup(RunSetup s = {}) const
    {
        for (const auto &[name, value] : p.environment) s.environment[name] = value;
        if (p.namesItsOwnOutput || p.runsInWork) s.directory = work;
        return s;
    }
    ProgramRun run(const RunSetup &s = {}) const { return runProgram(p.path, arguments(names), setup(s)); }
    // What the folder holds after a run that failed or was killed.
    Snapshot afterAStop(Snapshot expected) const
    {
        const mode_t mask = umask(0);
        umask(mask);
        for (const auto &[name, bytes] : p.leftByAStop)
            expected["work/" + name] = Entry{bytes, S_IFREG | (0666 & ~mask)};
        return expected;
    }
};

// A failure: the status and the words, and every file as it was.
void expectFailure(const WritingProgram &p, bool outputIsInput, RunSetup setup,
                   const std::function<Said(const RunNames &)> &said,
                   const std::function<void(CaseFolder &)> &prepare)
{
    SCOPED_TRACE(outputIsInput ? "the output is the input" : "an earlier output beside the input");
    CaseFolder c(p, outputIsInput);
    if (prepare) prepare(c);
    const Snapshot before = snapshot(c.dir.path());
    const ProgramRun r = c.run(setup);
    EXPECT_EQ(r.status, p.failureStatus);
    EXPECT_EQ(r.signal, 0);
    expectSaid(r, said(c.names));
    expectSnapshot(snapshot(c.dir.path()), c.afterAStop(before));
}

// The variants of a failure case: the output beside the input and, unless
// the output has a name of the program's own, the output over the input,
// which a program may refuse.
std::vector<bool> outputIsInputVariants(const WritingProgram &p)
{
    if (p.namesItsOwnOutput) return {false};
    return {true, false};
}

const std::function<Said(const RunNames &)> &whenWriting(const WritingProgram &p, bool outputIsInput,
                                                         const std::function<Said(const RunNames &)> &said)
{
    return outputIsInput && p.refusesOutputAsInput ? p.refusesOutputAsInput : said;
}

}  // namespace

void expectWriteFaultsHandled(const WritingProgram &p)
{
    SCOPED_TRACE(p.path);
    // The output of a clean run, which every run that succeeds must write.
    std::string reference;
    {
        CaseFolder c(p, false);
        fs::remove(c.names.out);
        const ProgramRun r = c.run();
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        expectSaid(r, p.succeeds(c.names));
        reference = readFile(c.names.out);
        ASSERT_GT(reference.size(), p.insideLimit + 65536) << "the input must make a larger output";
    }
    auto withOutput = [&](const Snapshot &before, const std::string &name, const std::string &bytes) {
        Snapshot after = before;
        after[name].what = bytes;
        return after;
    };

    {
        SCOPED_TRACE("a write inside the writer fails");
        RunSetup limited;
        limited.fileSizeLimit = p.insideLimit;
        limited.ignoreFileSizeSignal = true;
        for (bool outputIsInput : outputIsInputVariants(p))
            expectFailure(p, outputIsInput, limited, whenWriting(p, outputIsInput, p.writeFails), nullptr);
    }
    {
        SCOPED_TRACE("the last flush fails");
        RunSetup limited;
        limited.fileSizeLimit = reference.size() - 1;
        limited.ignoreFileSizeSignal = true;
        for (bool outputIsInput : outputIsInputVariants(p))
            expectFailure(p, outputIsInput, limited, whenWriting(p, outputIsInput, p.lastWriteFails),
                          nullptr);
    }
    {
        SCOPED_TRACE("the input cannot be read");
        for (bool outputIsInput : outputIsInputVariants(p))
            expectFailure(p, outputIsInput, {}, p.readFails, [](CaseFolder &c) {
                fs::remove(c.names.in);
                fs::create_symlink("/proc/self/mem", c.names.in);
            });
    }
    // Killed early, and at the last flush: a commit placed before the output
    // is whole would leave its first bytes in place of the old output.
    const struct {
        const char *label;
        unsigned long long limit;
    } kills[] = {{"killed mid-write by the file size limit, ", p.insideLimit},
                 {"killed at the last flush by the file size limit, ", reference.size() - 1}};
    for (const auto &kill : kills)
        for (bool outputIsInput : outputIsInputVariants(p)) {
            SCOPED_TRACE(std::string(kill.label) +
                         (outputIsInput ? "the output is the input" : "an earlier output beside the input"));
            CaseFolder c(p, outputIsInput);
            const Snapshot before = snapshot(c.dir.path());
            RunSetup limited;
            limited.fileSizeLimit = kill.limit;
            const ProgramRun r = c.run(limited);
            if (outputIsInput && p.refusesOutputAsInput) {
                EXPECT_EQ(r.status, p.failureStatus);
                expectSaid(r, p.refusesOutputAsInput(c.names));
            } else if (p.childWrites) {
                EXPECT_EQ(r.status, p.failureStatus);
                expectSaid(r, p.killedWriting(c.names));
            } else {
                EXPECT_EQ(r.signal, SIGXFSZ);
                expectSaid(r, p.killedWriting(c.names));
            }
            expectSnapshot(snapshot(c.dir.path()), c.afterAStop(before));
        }
    // The input through a pipe up to its first cut: then a SIGTERM while
    // the program waits for the rest, or the rest, piece by piece, each once
    // the program has read all before it, which it reads whole.
    std::vector<size_t> cuts = p.inputCuts ? p.inputCuts(p.input) : std::vector<size_t>{p.input.size() / 2};
    cuts.push_back(p.input.size());
    for (bool terminated : {true, false}) {
        SCOPED_TRACE(terminated ? "SIGTERM while the input comes through a pipe"
                                : "an input that comes through a pipe in pieces");
        CaseFolder c(p, false);
        const RunNames names = c.through("/dev/stdin", c.names.out);
        const Snapshot before = snapshot(c.dir.path());
        StartedProgram run(p.path, c.arguments(names), c.setup());
        size_t fed = 0;
        for (size_t cut : cuts) {
            ASSERT_LE(fed, cut);
            run.feed(p.input.substr(fed, cut - fed));
            fed = cut;
            run.waitUntilRead();
            if (terminated) break;
        }
        if (terminated) run.sendSignal(SIGTERM);
        const ProgramRun r = run.wait();
        if (terminated) {
            EXPECT_EQ(r.signal, SIGTERM);
            expectSaid(r, p.terminatedReading ? p.terminatedReading(names) : Said{});
            expectSnapshot(snapshot(c.dir.path()), c.afterAStop(before));
        } else {
            EXPECT_EQ(r.status, 0);
            expectSaid(r, p.succeeds(names));
            expectSnapshot(snapshot(c.dir.path()), withOutput(before, "work/" + p.outputName, reference));
        }
    }
    {
        SCOPED_TRACE("/dev/stdout into a pipe");
        CaseFolder c(p, false);
        const RunNames names = c.through(c.names.in, "/dev/stdout");
        const Snapshot before = snapshot(c.dir.path());
        RunSetup piped;
        piped.outputThroughPipe = true;
        const ProgramRun r = runProgram(p.path, c.arguments(names), c.setup(piped));
        EXPECT_EQ(r.status, 0);
        const Said said = p.succeeds(names);
        EXPECT_TRUE(r.out == reference + said.out) << r.out.size() << " bytes";
        EXPECT_EQ(r.err, said.err);
        expectSnapshot(snapshot(c.dir.path()), before);
    }
    // The shell's own file around the output: appended to, emptied by the
    // shell first, and opened for reading and writing over a longer file.
    const struct ShellCase {
        const char *label;
        const char *script;
        std::string before;
        std::string after;
    } shellCases[] = {
        {"/dev/stdout into a file the shell appends to", "{ echo head; \"$@\"; echo footer; } >> \"$RESULT\"",
         "before\n", "before\nhead\n" + reference + "footer\n"},
        {"/dev/stdout into a file the shell empties", "{ echo head; \"$@\"; echo footer; } > \"$RESULT\"",
         "before\n", "head\n" + reference + "footer\n"},
        {"/dev/stdout over a longer file", "\"$@\" 1<> \"$RESULT\"", reference + std::string(100, 'x'),
         reference},
    };
    for (const ShellCase &s : shellCases) {
        SCOPED_TRACE(s.label);
        CaseFolder c(p, false);
        const fs::path result = c.dir / "result";
        writeFile(result, s.before);
        const ino_t inode = inodeOf(result);
        const RunNames names = c.through(c.names.in, "/dev/stdout");
        std::vector<std::string> arguments = {"-c", s.script, "sh", p.path};
        for (const std::string &a : c.arguments(names)) arguments.push_back(a);
        RunSetup setup;
        setup.environment["RESULT"] = result.string();
        const ProgramRun r = runProgram("/bin/sh", arguments, c.setup(setup));
        EXPECT_EQ(r.status, 0);
        const Said said = p.succeeds(names);
        EXPECT_EQ(r.err, said.err);
        const std::string now = readFile(result);
        EXPECT_TRUE(now == s.after) << now.size() << " bytes, not " << s.after.size();
        EXPECT_EQ(inodeOf(result), inode);
    }
    // A program that writes its own names in the work folder must be able
    // to, as the unprivileged user too.
    auto openWork = [&](CaseFolder &c) {
        if (p.namesItsOwnOutput) chmod(c.work.c_str(), 0777);
    };
    {
        SCOPED_TRACE("a writable output in a folder that takes no new file, as an unprivileged user");
        CaseFolder c(p, false);
        openWork(c);
        const fs::path closed = c.dir / "closed", tmp = c.dir / "tmp";
        fs::create_directory(closed);
        fs::create_directory(tmp);
        const fs::path target = closed / p.outputName;
        writeFile(target, earlierOutput);
        const RunNames names = c.through(c.names.in, target.string());
        chmod(target.c_str(), 0666);
        chmod(closed.c_str(), 0555);
        chmod(tmp.c_str(), 0777);
        const ino_t inode = inodeOf(target);
        const Snapshot before = snapshot(c.dir.path());
        RunSetup setup;
        setup.unprivileged = true;
        setup.environment["TMPDIR"] = tmp.string();
        const ProgramRun r = runProgram(p.path, c.arguments(names), c.setup(setup));
        EXPECT_EQ(r.status, 0);
        expectSaid(r, p.succeeds(names));
        expectSnapshot(snapshot(c.dir.path()), withOutput(before, "closed/" + p.outputName, reference));
        EXPECT_EQ(inodeOf(target), inode);
        chmod(closed.c_str(), 0755);
    }
    {
        SCOPED_TRACE("a new output in a folder that takes no new file, as an unprivileged user");
        CaseFolder c(p, false);
        openWork(c);
        const fs::path closed = c.dir / "closed";
        fs::create_directory(closed);
        chmod(closed.c_str(), 0555);
        const RunNames names = c.through(c.names.in, (closed / p.outputName).string());
        const Snapshot before = snapshot(c.dir.path());
        RunSetup setup;
        setup.unprivileged = true;
        const ProgramRun r = runProgram(p.path, c.arguments(names), c.setup(setup));
        EXPECT_EQ(r.status, p.failureStatus);
        expectSaid(r, p.folderRefuses(names));
        expectSnapshot(snapshot(c.dir.path()), c.afterAStop(before));
        chmod(closed.c_str(), 0755);
    }
    {
        SCOPED_TRACE("a symbolic link into another folder");
        CaseFolder c(p, false);
        fs::create_directory(c.dir / "real");
        writeFile(c.dir / "real" / p.outputName, earlierOutput);
        fs::remove(c.names.out);
        fs::create_symlink("../real/" + p.outputName, c.names.out);
        c.names.target = (c.dir / "real" / p.outputName).string();
        const Snapshot before = snapshot(c.dir.path());
        const ProgramRun r = c.run();
        EXPECT_EQ(r.status, 0);
        expectSaid(r, p.succeeds(c.names));
        expectSnapshot(snapshot(c.dir.path()), withOutput(before, "real/" + p.outputName, reference));
    }
}

}  // namespace test_support
