#include "utilities.h"

#include <gtest/gtest.h>

#include <csignal>

#include <optional>
#include <sstream>

#include "driver_fixture.h"
#include "pipeline_write_faults.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

TEST(Number, LineNumbersAreRightAlignedInTwoCharacters)
{
    EXPECT_EQ(numberedLine(7, "text"), " 7  text\n");
    EXPECT_EQ(numberedLine(12, "text"), "12  text\n");
    EXPECT_EQ(numberedLine(1000, ""), "1000  \n");
}

using NumberRun = DriverTest;

TEST_F(NumberRun, PrintsEveryLineOfTheTypedFile)
{
    writeFile(work / "a b.txt", "first\n\n  third");
    setup.input = "\"a b.txt\"\n";
    auto result = start(NUMBER_PROGRAM, {});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Number what file?  1  first\n"
                          " 2  \n"
                          " 3    third\n");
    EXPECT_EQ(result.err, "");

    writeFile(work / "empty", "");
    setup.input = "empty";
    EXPECT_EQ(start(NUMBER_PROGRAM, {}).out, "Number what file? ");
}

// number's output is standard output: a write error there, at any line or
// at the last flush, is a stop, named on standard error; a kill by the file
// size limit ends it there. The file it reads may come through a pipe, fed
// in pieces.
TEST_F(NumberRun, StandardOutputThatCannotBeWrittenAndAFileThatComesInPieces)
{
    std::string text, expected = "Number what file? ";
    for (int n = 1; n <= 300; ++n) {
        text += "line " + std::to_string(n) + "\n";
        expected += numberedLine(n, "line " + std::to_string(n));
    }
    writeFile(work / "f", text);
    setup.input = "f\n";
    const std::string failed = "number: error writing standard output\nnumber stopped: Quit #1\n";
    struct Case {
        std::string what;
        std::optional<unsigned long long> limit;
        bool ignored;
        std::string output;
    };
    const Case cases[] = {
        {"a full device", std::nullopt, false, "/dev/full"},
        {"a write inside the output fails", 100, true, (work / "out.txt").string()},
        {"the last flush fails", expected.size() - 1, true, (work / "out.txt").string()},
        {"killed mid-write", 100, false, (work / "out.txt").string()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        setup.output = c.output;
        setup.fileSizeLimit = c.limit;
        setup.ignoreFileSizeSignal = c.ignored;
        auto result = start(NUMBER_PROGRAM, {});
        if (c.limit && !c.ignored) {
            EXPECT_EQ(result.signal, SIGXFSZ);
            EXPECT_EQ(result.err, "");
        } else {
            EXPECT_EQ(result.status, 255);
            EXPECT_EQ(result.err, failed);
        }
        // What reached the file before the limit.
        if (c.limit) {
            EXPECT_EQ(readFile(c.output), expected.substr(0, *c.limit));
        }
    }

    test_support::RunSetup piped = setup;
    piped.output.clear();
    piped.fileSizeLimit.reset();
    test_support::StartedProgram number(NUMBER_PROGRAM, {}, piped);
    number.feed("/dev/stdin\n");
    number.waitUntilRead();
    number.feed(text.substr(0, text.size() / 2));
    number.waitUntilRead();
    number.feed(text.substr(text.size() / 2));
    auto result = number.wait();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "");
}

TEST_F(NumberRun, LinesAfterTheThousandthArePrintedToo)
{
    std::string text;
    std::string expected = "Number what file? ";
    for (int n = 1; n <= 1002; ++n) {
        text += "line" + std::to_string(n) + "\n";
        expected += numberedLine(n, "line" + std::to_string(n));
    }
    writeFile(work / "long", text);
    setup.input = "long\n";
    auto result = start(NUMBER_PROGRAM, {});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
}

TEST_F(NumberRun, AFileThatCannotBeOpenedIsAViolatedLimit)
{
    for (const char *typed : {"missing\n", "", "  \n"}) {
        setup.input = typed;
        auto result = start(NUMBER_PROGRAM, {});
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, "Number what file? ");
        EXPECT_EQ(result.err, "number stopped: Assert condition is false\n");
    }
}

// Typed input that gives part of a name and then fails to read: the part
// names another file, which must not be numbered.
class TypedThenFailing : public InputBuffer {
public:
    explicit TypedThenFailing(std::string typed) : typed_(std::move(typed)) { open("/proc/self/mem"); }

protected:
    int_type underflow() override
    {
        if (given_) return InputBuffer::underflow();
        given_ = true;
        setg(typed_.data(), typed_.data(), typed_.data() + typed_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string typed_;
    bool given_ = false;
};

TEST(Number, ATypedNameCutShortByAReadErrorIsAViolatedLimit)
{
    TempDir dir;
    writeFile(dir / "ab", "another file\n");
    TypedThenFailing typed((dir / "ab").string());
    std::ostringstream messages;
    EXPECT_EQ(runNumber(typed, messages), RunEnd::violatedLimit);
    EXPECT_TRUE(typed.readFailed());
    EXPECT_EQ(messages.str(), "Number what file? ");
}

TEST(Tabula, FilesFromTheArguments)
{
    struct Case {
        Lines arguments;
        std::optional<std::pair<std::string, std::string>> files;
    };
    const Case cases[] = {
        {{"a.ta"}, std::make_pair("a.ta", "a.tabula")},
        {{"d/x.o.ta"}, std::make_pair("d/x.o.ta", "d/x.o.tabula")},
        {{"a", "b"}, std::make_pair("a", "b")},
        {{".ta"}, std::nullopt},
        {{"a.t"}, std::nullopt},
        {{}, std::nullopt},
        {{"a.ta", "b", "c"}, std::nullopt},
    };
    for (const Case &c : cases) {
        std::optional<TabulaFiles> files = tabulaFiles(c.arguments);
        ASSERT_EQ(files.has_value(), c.files.has_value());
        if (files) {
            EXPECT_EQ(files->fileTa, c.files->first);
            EXPECT_EQ(files->fileTabula, c.files->second);
        }
    }
}

using TabulaRun = DriverTest;

// listwright fills a new file beside the listing, named for it, which takes
// the listing's name when listwright ends with status 0.
TEST_F(TabulaRun, ListwrightFillsANewFileThatTakesTheListingsName)
{
    writeFile(work / "it's a.ta", "facts\n");
    writeFile(work / "it's a.tabula", "old listing\n");
    auto result = start(TABULA_PROGRAM, {"it's a.ta"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    const Lines calls = standIns.calls();
    ASSERT_EQ(calls.size(), 1u);
    const std::string begins = "listwright [it's a.ta] [./.it's a.tabula.tmp.";
    EXPECT_TRUE(calls[0].starts_with(begins) && calls[0].size() == begins.size() + 7 &&
                calls[0].ends_with("]"))
        << calls[0];
    EXPECT_EQ(readFile(work / "it's a.tabula"), "facts\n");
    EXPECT_EQ(workFiles(), (Lines{"it's a.ta", "it's a.tabula"}));
}

// A converter that fails leaves the old listing whole and nothing beside it.
TEST_F(TabulaRun, AFailingConverterLeavesTheOldListing)
{
    writeFile(work / "a.ta", "facts\n");
    writeFile(work / "a.tabula", "old listing\n");
    setup.environment["STANDIN_FAIL"] = "listwright=3";
    auto result = start(TABULA_PROGRAM, {"a.ta"});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error: Return code: 768 from: 'listwright a.ta a.tabula'\n");
    EXPECT_EQ(result.err, "tabula stopped: Quit #1\n");
    EXPECT_EQ(readFile(work / "a.tabula"), "old listing\n");
    EXPECT_EQ(workFiles(), (Lines{"a.ta", "a.tabula"}));
}

// An input that is its own listing, by any name, is refused before
// listwright runs.
TEST_F(TabulaRun, AnInputThatIsItsOwnListingIsRefused)
{
    writeFile(work / "a.ta", "facts\n");
    std::filesystem::create_hard_link(work / "a.ta", work / "hard.tabula");
    std::filesystem::create_symlink("a.ta", work / "soft.tabula");
    for (const char *listing : {"a.ta", "./a.ta", "hard.tabula", "soft.tabula"}) {
        auto result = start(TABULA_PROGRAM, {"a.ta", listing});
        EXPECT_EQ(result.status, 255) << listing;
        EXPECT_EQ(result.out, "***Error [tabula]: Input file is the listing file: 'a.ta'\n") << listing;
        EXPECT_EQ(result.err, "tabula stopped: Quit #1\n") << listing;
    }
    EXPECT_TRUE(standIns.calls().empty());
    EXPECT_EQ(readFile(work / "a.ta"), "facts\n");
    EXPECT_EQ(workFiles(), (Lines{"a.ta", "hard.tabula", "soft.tabula"}));
}

TEST_F(TabulaRun, UsageAndAFailingConverter)
{
    const std::string usage = "Usage:  tabula fileTa [fileTabula]\n"
                              "Inputs fileTa, which is TA output from talvex\n"
                              "Assumes that the 'contain' relations forms a tree\n"
                              "Outputs fileTabula, which is same info in Table of Contents format\n"
                              "The default for fileTabula is base.tabula where fileTa = base.ta\n"
                              "Date: 6 Jan 2002\n";
    for (const Lines &arguments : {Lines{}, Lines{".ta"}, Lines{"a"}, Lines{"a.ta", "b", "c"}}) {
        auto result = start(TABULA_PROGRAM, arguments);
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, usage);
        EXPECT_EQ(result.err, "tabula stopped: Quit #1\n");
    }
    EXPECT_TRUE(standIns.calls().empty());
}

// The examples of batchrun, directory and source file, in their order.
const std::pair<std::string, std::string> examples[] = {
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

// An example's TA file under the test directory.
std::string taFile(const std::pair<std::string, std::string> &example)
{
    return example.first + "/" + example.second + ".ta";
}

TEST(Batchrun, TheExampleTableAndItsCommands)
{
    const std::vector<Example> &table = exampleTable();
    ASSERT_EQ(table.size(), std::size(examples));
    for (std::size_t row = 0; row < table.size(); ++row) {
        EXPECT_EQ(table[row].dir, examples[row].first) << row + 1;
        EXPECT_EQ(table[row].file, examples[row].second) << row + 1;
    }
    EXPECT_EQ(exampleCommand("/t", table[8]).text, "cd /t; prep hello/main.c.ta");
    EXPECT_EQ(exampleCommand("/t", table[8]).arguments, (Lines{"prep", "hello/main.c.ta"}));
    EXPECT_EQ(exampleCommand("/t", table[8]).directory, "/t");
    EXPECT_EQ(exampleCommand("/t", table[23]).text, "cd /t; prep stack/stack.cpp.ta");
}

TEST(Batchrun, TheEnvironmentOverridesTheBuiltInDirectory)
{
    EXPECT_EQ(batchTestDirectory("/env", "/built"), "/env");
    EXPECT_EQ(batchTestDirectory("", "/built"), "/built");
    EXPECT_EQ(batchTestDirectory(nullptr, "/built"), "/built");
}

class BatchrunRun : public DriverTest {
protected:
    BatchrunRun()
    {
        // The real prep, after the stand-in stages, with the shipped prep.pip.
        setup.environment["PATH"] = standIns.bin.string() + ":" +
                                    fs::path(PREP_PROGRAM).parent_path().string() + ":" + std::getenv("PATH");
        setup.environment["QUILLON_BATCHRUN_DIR"] = tree.string();
        for (const auto &example : examples) {
            fs::create_directories(tree / example.first);
            writeFile(tree / taFile(example), taFile(example) + "\n");
        }
    }

    // The unique stage of each prep run, in order.
    std::vector<std::string> uniqueCalls() const
    {
        std::vector<std::string> calls;
        for (const std::string &call : standIns.calls()) {
            if (call.rfind("unique ", 0) == 0) calls.push_back(call);
        }
        return calls;
    }

    fs::path tree = root / "examples";
};

TEST_F(BatchrunRun, PreparesEveryExampleInTableOrder)
{
    auto result = start(BATCHRUN_PROGRAM, {"ignored"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    Lines expected;
    for (const auto &example : examples) {
        std::string base = example.first + "/" + example.second;
        expected.push_back("unique [" + base + ".tmp.02.liftfile.ta] [." + base + "] [" + base +
                           ".tmp.03.unique.ta]");
        EXPECT_EQ(readFile(tree / (base + ".o.ta")), taFile(example) + "\n");
    }
    EXPECT_EQ(uniqueCalls(), expected);
    EXPECT_EQ(directoryEntries(tree / "putint").size(), 2u * 6);
    EXPECT_EQ(directoryEntries(tree / "samples").size(), 3u * 6);
}

TEST_F(BatchrunRun, AFailingPrepStopsTheLaterRows)
{
    fs::remove_all(tree / "goto");
    auto result = start(BATCHRUN_PROGRAM, {});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error: Return code: 256 from: 'cp goto/ex_goto.cpp.ta "
                          "goto/ex_goto.cpp.tmp.01.liftunit.ta'\n"
                          "***Error: Return code: 65280 from: 'cd " +
                              tree.string() + "; prep goto/ex_goto.cpp.ta'\n");
    EXPECT_TRUE(result.err.ends_with("prep stopped: Quit #1\n"
                                     "batchrun stopped: Quit #1\n"))
        << result.err;
    EXPECT_EQ(uniqueCalls().size(), 7u);
    EXPECT_TRUE(fs::exists(tree / "for/ex_ctl.cpp.o.ta"));
    EXPECT_FALSE(fs::exists(tree / "if/ex_if.cpp.tmp.01.liftunit.ta"));
}

TEST_F(BatchrunRun, ATestDirectoryThatCannotBeEnteredRunsNoPrep)
{
    setup.environment["QUILLON_BATCHRUN_DIR"] = (root / "missing").string();
    auto result = start(BATCHRUN_PROGRAM, {});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, "***Error: Return code: 512 from: 'cd " + (root / "missing").string() +
                              "; prep alias/ex_alias.cpp.ta'\n");
    EXPECT_TRUE(standIns.calls().empty());
}

// The listing in the fault table of every writing program. listwright, the
// stand-in's copy, writes it, so the file size limit kills listwright's
// copy, not tabula, which reports the end of its command.
TEST(TabulaWriteFaults, TheListing)
{
    FaultRows rows;
    WritingProgram p = rows.program(TABULA_PROGRAM, factsOf(4000), "in.ta", "out.tabula");
    p.childWrites = true;
    auto listwrightEnds = [](int status) {
        return [status](const RunNames &n) {
            return Said{"***Error: Return code: " + std::to_string(status) + " from: 'listwright " + n.in +
                            " " + n.out + "'\n",
                        "listwright: cannot copy " + n.in + "\n" + stopReport("tabula")};
        };
    };
    p.refusesOutputAsInput = [](const RunNames &n) {
        return Said{"***Error [tabula]: Input file is the listing file: '" + n.in + "'\n",
                    stopReport("tabula")};
    };
    p.writeFails = listwrightEnds(1 << 8);
    p.lastWriteFails = listwrightEnds(1 << 8);
    // The stand-in's shell reports its copy killed by SIGXFSZ as 128 + 25.
    p.killedWriting = listwrightEnds((128 + SIGXFSZ) << 8);
    p.readFails = [refused = p.refusesOutputAsInput, failed = listwrightEnds(1 << 8)](const RunNames &n) {
        return n.in == n.out ? refused(n) : failed(n);
    };
    p.folderRefuses = listingRefused("tabula");
    test_support::expectWriteFaultsHandled(p);
}

}  // namespace
}  // namespace pipeline
