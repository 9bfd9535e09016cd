// The twinfold program: command line, messages, exit statuses and files.
#include "linked_fixture.h"
#include "program_run.h"
#include "write_faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using test_support::ProgramRun;
using test_support::readFile;

class Program : public testing::Test {
protected:
    void SetUp() override { test_support::writeFile(m_dir / "in.ta", kLinkedInput); }

    std::string path(const std::string &name) const { return (m_dir / name).string(); }
    std::string contents(const std::string &file) const { return readFile(file); }

    // Runs twinfold with args and input on its standard input.
    static ProgramRun twinfold(const std::vector<std::string> &args, const std::string &input = "")
    {
        test_support::RunSetup setup;
        setup.input = input;
        return test_support::runProgram(TWINFOLD_PROGRAM, args, setup);
    }

    test_support::TempDir m_dir;
};

const std::string kUsageTail = "Options:  -c/opyright (and version history)\n"
                               "          -u/nion headers disabled\n"
                               "          -v/erbose (output) repeat for greater detail\n\n"
                               "Argument: [input.ta [output.ta]]\n";

const std::string kStamp = "TwinFold: [0-9]{2}:[0-9]{2}:[0-9]{2} ";

// Every entry below a directory: a file as "file " and its bytes, a symbolic
// link as "link " and where it points, a directory as "directory".
using Csnapshot = std::map<std::string, std::string>;
Csnapshot snapshot(const fs::path &dir)
{
    Csnapshot entries;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(dir)) {
        std::string name = fs::relative(entry.path(), dir).string();
        if (entry.is_symlink())
            entries[name] = "link " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name] = "directory";
        else
            entries[name] = "file " + readFile(entry.path());
    }
    return entries;
}

}  // namespace

TEST_F(Program, CommandLineErrors)
{
    struct Ccase {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"-l"}, "Option '-l' is invalid\n\n" + kUsageTail},
        {{"-v", "-h", path("in.ta")}, "Option '-h' is invalid\n\n" + kUsageTail},
        {{"a", "b", "c"}, "Too many arguments\n"},
        {{path("missing.ta")}, "Can't read '" + path("missing.ta") + "'\n"},
        {{path("missing.ta"), path("no/dir/out.ta")}, "Can't write to '" + path("no/dir/out.ta") + "'\n"},
        {{path("missing.ta"), path("out.ta")}, "Can't read '" + path("missing.ta") + "'\n"},
        {{path("in.ta"), "/dev/full"}, "Can't write to '/dev/full'\n"},
    };
    for (const Ccase &c : cases) {
        ProgramRun r = twinfold(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
    // No output file was made, and no temporary is left.
    EXPECT_EQ(snapshot(m_dir.path()), (Csnapshot{{"in.ta", "file " + kLinkedInput}}));
}

TEST_F(Program, FiltersStandardInputToStandardOutput)
{
    ProgramRun r = twinfold({}, kLinkedInput);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kLinkedUnion);
    EXPECT_EQ(r.err, "");
}

TEST_F(Program, WritesTheOutputFileAndMayReplaceItsOwnInput)
{
    ProgramRun r = twinfold({"-u", path("in.ta"), path("out.ta")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedStrict);

    r = twinfold({path("in.ta"), path("in.ta")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(contents(path("in.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnion);
}

TEST_F(Program, AFailedRunKeepsTheOutputFile)
{
    test_support::writeFile(m_dir / "bad.ta", "contain a\n");
    test_support::writeFile(m_dir / "out.ta", "precious");
    ProgramRun r = twinfold({path("bad.ta"), path("out.ta")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "\nParse error at line 2\n\n...");
    EXPECT_EQ(contents(path("out.ta")), "precious");
    // Nothing is left beside it: in.ta, bad.ta and out.ta only.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 3);
}

// Whatever ends a run while it writes, or before, the file it would replace
// stays byte for byte as it was and no temporary is left beside it: a write
// error (a file size limit whose signal is ignored fails the write with
// EFBIG), a kill in the middle of the write (the same limit with its signal
// left to end the program, at a byte fixed by the limit) and a read error
// (a link to /proc/self/mem, whose first read fails with EIO).
TEST_F(Program, NoFailureChangesTheFileItWouldReplace)
{
    enum Cfailure { kWriteError, kKilled, kReadError };
    struct Ctarget {
        const char *what;
        const char *output;  // "=" for the input itself
    } targets[] = {
        {"output = input", "="},
        {"output = input through a symbolic link", "link-to-input"},
        {"output = input through d/..", "d/../input"},
        {"a separate existing output", "out.ta"},
    };
    for (Cfailure failure : {kWriteError, kKilled, kReadError}) {
        for (const Ctarget &target : targets) {
            test_support::TempDir dir;
            // The input is the linked fact file, or for a read error a link
            // to /proc/self/mem under the same name.
            const fs::path input = dir / (failure == kReadError ? "mem.ta" : "in.ta");
            if (failure == kReadError)
                fs::create_symlink("/proc/self/mem", input);
            else
                test_support::writeFile(input, kLinkedInput);
            fs::create_symlink(input.filename(), dir / "link-to-input");
            fs::create_directory(dir / "d");
            test_support::writeFile(dir / "out.ta", "precious");
            std::string output = std::string(target.output) == "=" ? input.string()
                                 : std::string(target.output) == "d/../input"
                                     ? (dir / "d" / ".." / input.filename()).string()
                                     : (dir / target.output).string();
            const Csnapshot before = snapshot(dir.path());

            test_support::RunSetup setup;
            if (failure != kReadError) {
                // The header line alone is longer.
                setup.fileSizeLimit = 64;
                setup.ignoreFileSizeSignal = failure == kWriteError;
            }
            ProgramRun r = test_support::runProgram(TWINFOLD_PROGRAM, {input.string(), output}, setup);
            const std::string what = std::string(failure == kWriteError ? "write error, "
                                                 : failure == kKilled   ? "killed, "
                                                                        : "read error, ") +
                                     target.what;
            switch (failure) {
            case kWriteError:
                EXPECT_EQ(r.status, 1) << what;
                EXPECT_EQ(r.err, "Can't write to '" + output + "'\n") << what;
                break;
            case kKilled:
                EXPECT_EQ(r.signal, SIGXFSZ) << what;
                EXPECT_EQ(r.err, "") << what;
                break;
            case kReadError:
                EXPECT_EQ(r.status, 1) << what;
                EXPECT_EQ(r.err, "Can't read '" + input.string() + "'\n") << what;
                break;
            }
            EXPECT_EQ(r.out, "") << what;
            EXPECT_EQ(snapshot(dir.path()), before) << what;
        }
    }
}

TEST_F(Program, AReadErrorOnStandardInputIsAStop)
{
    // A directory opens for reading, and its first read fails (EISDIR).
    ProgramRun r =
        test_support::runProgram("/bin/sh", {"-c", "exec \"$0\" < \"$1\"", TWINFOLD_PROGRAM, m_dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Can't read 'standard input'\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(Program, IndentsContainmentWithI)
{
    ProgramRun r = twinfold({"-i", path("in.ta"), path("out.ta")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnionIndented);
}

TEST_F(Program, WithoutTheUnionFlagTwinsWithAsManyButOtherChildrenBothStay)
{
    // Each copy of x.h holds one function, f in a.c's copy and g in b.c's.
    // The node table visits b.c's copy first, so a.c's heads the chain of
    // candidates; both wait for the short name under it, and b.c's, added
    // last, takes it.
    test_support::writeFile(m_dir / "twins.ta",
                            "$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @0.FILE.x.h.b.c cFile\n"
                            "contain @0.FILE.x.h.a.c fa\ncontain @0.FILE.x.h.b.c fb\n"
                            "@0.FILE.x.h.a.c { name = \"x.h\" }\n"
                            "@0.FILE.x.h.b.c { name = \"x.h\" }\n"
                            "fa { name = \"f\" }\nfb { name = \"g\" }\n");
    ProgramRun r = twinfold({"-u", path("twins.ta"), path("out.ta")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(contents(path("out.ta")),
              "// ta output for " + path("twins.ta") + "\n\n" +
                  taText("$INSTANCE @0.FILE.x.h.a.c cFile\n$INSTANCE @FILE.x.h cFile\n",
                         "contain @0.FILE.x.h.a.c fa\ncontain @FILE.x.h fb\n", "",
                         "@0.FILE.x.h.a.c  { name=\"x.h\" }\nfa  { name=\"f\" }\n"
                         "@FILE.x.h  { name=\"x.h\" }\nfb  { name=\"g\" }\n"));
}

TEST_F(Program, VerboseLevels)
{
    // -vv is one -v: progress without the deletions.
    ProgramRun one = twinfold({"-vv", path("in.ta"), path("out.ta")});
    EXPECT_EQ(one.status, 0);
    std::regex levelOne("^" + kStamp + "Read 42 lines of input \\(3 schema 9 instance nodes created\\)\n(" +
                        kStamp + "\\S+ has no parent\n){3}" + kStamp + "Built graph\n" + kStamp +
                        "Graph is a tree\n" + kStamp + "Twinfold deleted 1 subtrees\n" + kStamp +
                        "Renaming started\n" + kStamp + "Renamed 1 nodes\n" + kStamp +
                        "Twinfold generating output\n" + kStamp + "Twinfold finished writing " +
                        path("in.ta") + "\n$");
    EXPECT_TRUE(std::regex_match(one.err, levelOne)) << one.err;

    ProgramRun two = twinfold({"-v", "-v", path("in.ta"), path("out.ta")});
    EXPECT_NE(two.err.find("\nDeleting @0.FILE.x.h.b.c\n" + std::string("TwinFold: ")), std::string::npos);
    EXPECT_EQ(two.out, "");
}

TEST_F(Program, MergeDumpsNeverMixIntoTheOutput)
{
    const std::string dump = "Considering merging the following nodes:\n\n"
                             "@0.FILE.x.h.a.c  { name=\"x.h\" order=\"1\" }\n"
                             "@0.FILE.x.h.b.c  { name=\"x.h\" order=\"2\" }\n"
                             "b.c  { name=\"b.c\" }\n"
                             "a.c  { name=\"a.c\" }\n"
                             "-----\n\n"
                             "   1 merged with @0.FILE.x.h.a.c  { name=\"x.h\" order=\"1\" }\n"
                             "   0 merged with b.c  { name=\"b.c\" }\n"
                             "   0 merged with a.c  { name=\"a.c\" }\n";
    ProgramRun toFile = twinfold({"-v", "-v", "-v", path("in.ta"), path("out.ta")});
    EXPECT_EQ(toFile.out, dump);

    ProgramRun toStdout = twinfold({"-v", "-v", "-v"}, kLinkedInput);
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, kLinkedUnion);
    // With -v -v the deletion is reported on standard error too.
    std::string withDeleting = dump;
    withDeleting.insert(withDeleting.find("   1 merged"), "Deleting @0.FILE.x.h.b.c\n");
    EXPECT_NE(toStdout.err.find(withDeleting), std::string::npos) << toStdout.err;
    EXPECT_NE(toStdout.err.find("Twinfold finished writing standard input\n"), std::string::npos);
}

TEST_F(Program, CompiledLineThenTheRun)
{
    ProgramRun r = twinfold({"-c", path("in.ta"), path("out.ta")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::regex_search(
        r.err, std::regex("^Compiled:  \\w{3} [ 0-9]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d v2.0\n")))
        << r.err;
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnion);
}

// The output reaches the disk before it takes its name, so that a crash of
// the machine cannot leave an empty file there: seen under strace, the
// temporary's fsync comes before the rename, and nothing else is synced or
// renamed.
TEST_F(Program, TheOutputIsOnTheDiskBeforeItTakesItsName)
{
    const fs::path trace = m_dir / "trace";
    // The leak checker of a sanitizer build cannot work under a tracer.
    test_support::RunSetup untracked;
    untracked.environment["ASAN_OPTIONS"] = "detect_leaks=0";
    ProgramRun r =
        test_support::runProgram("/usr/bin/strace",
                                 {"-f", "-qq", "-o", trace.string(), "-e",
                                  "trace=fsync,fdatasync,sync_file_range,rename,renameat,renameat2",
                                  TWINFOLD_PROGRAM, path("in.ta"), path("out.ta")},
                                 untracked);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnion);
    // Each line is one call: its name, then its arguments in parentheses.
    std::vector<std::string> calls;
    const std::regex call("^(?:[0-9]+ +)?([a-z_0-9]+)\\((.*)$");
    std::string text = contents(trace.string());
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::smatch m;
        const std::string line = text.substr(at, end - at);
        if (std::regex_match(line, m, call)) calls.push_back(m[1]);
    }
    const std::vector<std::string> renameNames = {"rename", "renameat", "renameat2"};
    ASSERT_EQ(calls.size(), 2u) << text;
    EXPECT_EQ(calls[0], "fsync") << text;
    EXPECT_NE(std::find(renameNames.begin(), renameNames.end(), calls[1]), renameNames.end()) << text;
    EXPECT_NE(text.find("out.ta.tmp."), std::string::npos) << text;
}

namespace {

// A linked base in the shape of the benchmark's: units that each include
// perUnit of the headers, a copy of a header holding the same functions with
// the same attributes in every unit, and each unit's main calling the first
// function of every header it includes.
std::string linkedBase(int units, int headers, int perUnit, int functions)
{
    std::string facts = "SCHEME TUPLE :\n\ncontain cFile cFunction\n( call )\n\nFACT TUPLE :\n\n";
    std::string attributes = "\nFACT ATTRIBUTE :\n\n";
    int number = 0;
    for (int u = 0; u < units; ++u) {
        const std::string unit = "u" + std::to_string(u) + ".c";
        const std::string mainFunction = "@" + std::to_string(number++);
        facts += "$INSTANCE " + unit + " cFile\n$INSTANCE " + mainFunction + " cFunction\ncontain " + unit +
                 " " + mainFunction + "\n";
        attributes += unit + " { name=\"" + unit + "\" }\n" + mainFunction + " { name=\"main\" file=\"" +
                      unit + "\" }\n";
        for (int i = 0; i < perUnit; ++i) {
            const std::string header = "h" + std::to_string((u * 7 + i) % headers) + ".h";
            const std::string copy = "@0.FILE." + header + "." + unit;
            facts += "$INSTANCE " + copy + " cFile\ncontain " + unit + " " + copy + "\n";
            attributes += copy + " { name=\"" + header + "\" order=" + std::to_string(i) + " }\n";
            for (int f = 0; f < functions; ++f) {
                const std::string function = "@" + std::to_string(number++);
                facts += "$INSTANCE " + function + " cFunction\ncontain " + copy + " " + function + "\n";
                if (f == 0) facts += "call " + mainFunction + " " + function + "\n";
                attributes += function + " { name=\"f" + std::to_string(f) + "_" + header +
                              "\" line=" + std::to_string(10 + f) + " }\n";
            }
        }
    }
    return facts + attributes;
}

}  // namespace

// A batch queue's memory limit bounds the address space of the whole run
// (ulimit -v): every limit under which the base fits gives the output of a
// run without a limit, whether it lies just above a power of two (where a
// single reservation of that power once took all but a few MiB of it) or
// just above what the run needs (a little over 16 MiB, half of it the
// parser's node table); below that the run ends with "Out of memory", status
// 1, the file it would replace as it was and no temporary.
TEST_F(Program, UnderAnAddressSpaceLimitTheOutputIsTheSameOrOutOfMemory)
{
    if (!test_support::addressSpaceLimitsWork)
        GTEST_SKIP() << "the sanitizers' shadow memory does not fit under a limit on the address space";
    constexpr unsigned long long kMiB = 1 << 20;
    test_support::TempDir dir;
    test_support::writeFile(dir / "base.ta", linkedBase(30, 100, 25, 8));
    const std::string input = (dir / "base.ta").string(), output = (dir / "out.ta").string();
    ProgramRun unlimited = twinfold({input, output});
    ASSERT_EQ(unlimited.status, 0);
    ASSERT_EQ(unlimited.err, "");
    const std::string expected = contents(output);
    // Standard input from a pipe: the arena starts small and grows.
    const std::vector<std::string> throughPipe = {"-c", "cat \"$1\" | exec \"$0\"", TWINFOLD_PROGRAM, input};
    ProgramRun unlimitedPipe = test_support::runProgram("/bin/sh", throughPipe);
    ASSERT_EQ(unlimitedPipe.status, 0);

    struct Ccase {
        unsigned long long limit;
        bool fits;
    };
    std::vector<Ccase> cases;
    for (unsigned long long power : {1ULL << 28, 1ULL << 30, 1ULL << 34})
        for (unsigned long long over : {14, 15, 16, 20}) cases.push_back({power + over * kMiB, true});
    for (unsigned long long limit : {64, 32}) cases.push_back({limit * kMiB, true});
    cases.push_back({8 * kMiB, false});

    for (const Ccase &c : cases) {
        const std::string what = "limit " + std::to_string(c.limit / kMiB) + " MiB";
        test_support::writeFile(output, "precious");
        const Csnapshot before = snapshot(dir.path());
        test_support::RunSetup setup;
        setup.addressSpaceLimit = c.limit;
        ProgramRun r = test_support::runProgram(TWINFOLD_PROGRAM, {input, output}, setup);
        if (c.fits) {
            EXPECT_EQ(r.status, 0) << what;
            EXPECT_EQ(r.err, "") << what;
            // Compared whole, without printing 600 KB of text on a difference.
            EXPECT_TRUE(contents(output) == expected) << what;
        } else {
            EXPECT_EQ(r.status, 1) << what;
            // The parser's node table is first tried at half the size
            // where the whole one does not fit.
            EXPECT_TRUE(std::regex_match(
                r.err, std::regex("(Cannot allocate memory for [0-9]+ hash slots\n)*Out of memory\n")))
                << what << ": " << r.err;
            EXPECT_EQ(snapshot(dir.path()), before) << what;
        }
        EXPECT_EQ(r.out, "") << what;
    }
    test_support::RunSetup limited;
    limited.addressSpaceLimit = (1ULL << 30) + 15 * kMiB;
    ProgramRun piped = test_support::runProgram("/bin/sh", throughPipe, limited);
    EXPECT_EQ(piped.status, 0);
    EXPECT_TRUE(piped.out == unlimitedPipe.out);
}

// twinfold in the fault table of every writing program: its messages name
// the files as it was given them, on standard error.
TEST(TwinfoldWriteFaults, EveryFaultLeavesTheFilesAsTheyWere)
{
    using test_support::RunNames;
    using test_support::Said;
    test_support::WritingProgram p;
    p.path = TWINFOLD_PROGRAM;
    p.input = linkedBase(24, 80, 12, 8);
    p.inputName = "in.ta";
    p.outputName = "out.ta";
    // The input's name is written into the output: every case gives the
    // program the same one, in.ta in its working directory.
    p.namesThroughLinks = true;
    p.runsInWork = true;
    p.arguments = [](const RunNames &n) {
        return std::vector<std::string>{fs::path(n.in).filename().string(), n.out};
    };
    p.succeeds = [](const RunNames &) { return Said{}; };
    auto cannotWrite = [](const RunNames &n) { return Said{"", "Can't write to '" + n.out + "'\n"}; };
    p.writeFails = cannotWrite;
    p.lastWriteFails = cannotWrite;
    p.killedWriting = [](const RunNames &) { return Said{}; };
    p.readFails = [](const RunNames &) { return Said{"", "Can't read 'in.ta'\n"}; };
    p.folderRefuses = [](const RunNames &n) {
        return Said{"", "Can't write to '" + n.out + "'\n" + n.out + ": the folder " +
                            fs::path(n.target).parent_path().string() +
                            " cannot take a new file: Permission denied\n"};
    };
    test_support::expectWriteFaultsHandled(p);
}
