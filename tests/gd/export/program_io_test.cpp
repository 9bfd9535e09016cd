// The pieces the inspection programs share, and the frame they share, run on
// each program.
#include "gd/export/program_io.h"

#include <climits>
#include <string>
#include <vector>

#include "../gd_file_parts.h"
#include "export_test_support.h"

namespace {

using export_test::capture;

TEST(ProgramIo, NodeNumbers)
{
    struct {
        const char *text;
        bool valid;
        int number;
    } cases[] = {
        {"0", true, 0},
        {"17", true, 17},
        {"007", true, 7},
        {"-1", true, -1},
        {"5x", false, 0},
        {"x", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"7 ", false, 0},
        {"2147483647", true, INT_MAX},
        {"2147483648", false, 0},
        {"4294967296", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999", false, 0},
    };
    for (const auto &c : cases) {
        int n = 12345;
        EXPECT_EQ(gdexport::parse_node_number(c.text, &n), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(n, c.number) << c.text;
        }
    }
}

TEST(ProgramIo, RecordBytesSixteenToALineAsUnsigned)
{
    gd_graph_node rec{};
    for (int b = 0; b < 72; b++) rec.bytes[b] = (unsigned char)(b == 0 ? 0xe9 : b == 71 ? 0xff : b);
    std::string out = capture([&](FILE *f, FILE *) {
                          gdexport::dump_record_bytes(f, rec);
                          return 0;
                      }).out;
    EXPECT_EQ(out, " e9  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n"
                   " 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f\n"
                   " 20 21 22 23 24 25 26 27 28 29 2a 2b 2c 2d 2e 2f\n"
                   " 30 31 32 33 34 35 36 37 38 39 3a 3b 3c 3d 3e 3f\n"
                   " 40 41 42 43 44 45 46 ff\n");
}

TEST(ProgramIo, TreeVecLengthIsClampedToTheSlots)
{
    gd_graph_node rec{};
    struct {
        int length, shown;
        const char *err;
    } cases[] = {{0, 0, ""},
                 {14, 14, ""},
                 {-5, -5, ""},
                 {15, 14, "prog: node 9: tree_vec length 15 clamped to its 14 slots\n"}};
    for (const auto &c : cases) {
        rec.tree_vec.length = c.length;
        export_test::output o =
            capture([&](FILE *, FILE *err) { return gdexport::tree_vec_elements(err, "prog", 9, rec); });
        EXPECT_EQ(o.result, c.shown);
        EXPECT_EQ(o.err, c.err);
    }
}

TEST(ProgramIo, LostOutputIsReported)
{
    FILE *full = fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    fputs("text that cannot be written\n", full);
    export_test::output o =
        capture([&](FILE *, FILE *err) { return gdexport::finish_output(full, err, "prog"); });
    fclose(full);
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err, "prog: error writing standard output\n");

    o = capture([&](FILE *out, FILE *err) {
        fputs("fine\n", out);
        return gdexport::finish_output(out, err, "prog");
    });
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
}

// The frame the three programs share, run on each: a file the reader refuses
// gives the reader's message and "could not get graph" and no output; a
// full disk is reported, with the program's name, and fails the run.
struct inspection_run {
    const char *program_name;
    std::string program;
    std::vector<std::string> after_file;  // the arguments after the graph file
};

const inspection_run inspection_runs[] = {
    {"graphxml", GRAPHXML, {}},
    {"nodepeek", NODEPEEK, {}},
    {"nodepeek", NODEPEEK, {"0"}},
    {"refwho", REFWHO, {"0"}},
};

std::vector<std::string> arguments(const inspection_run &run, const std::string &file)
{
    std::vector<std::string> args{file};
    args.insert(args.end(), run.after_file.begin(), run.after_file.end());
    return args;
}

TEST(InspectionPrograms, DamagedFilesAreRefused)
{
    export_test::scratch_dir d;
    const std::vector<export_test::damaged_file> files = export_test::damaged_graph_files(d);
    for (const inspection_run &run : inspection_runs) {
        for (const export_test::damaged_file &f : files) {
            SCOPED_TRACE(std::string(run.program_name) + " " + std::to_string(run.after_file.size()) + ": " +
                         f.what);
            const test_support::ProgramRun r = test_support::runProgram(run.program, arguments(run, f.path));
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, f.reader_message + "could not get graph\n");
        }
    }
}

TEST(InspectionPrograms, FullDiskIsAFailure)
{
    export_test::scratch_dir d;
    const std::string file =
        d.put_graph_text("g.gd", "0 identifier_node strg=\"x\" lngt=1\n1 tree_list value=0\n");
    for (const inspection_run &run : inspection_runs) {
        SCOPED_TRACE(std::string(run.program_name) + " " + std::to_string(run.after_file.size()));
        test_support::RunSetup full_disk;
        full_disk.output = "/dev/full";
        const test_support::ProgramRun r =
            test_support::runProgram(run.program, arguments(run, file), full_disk);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string(run.program_name) + ": error writing standard output\n");
    }
}

// A graph through a pipe that arrives in pieces, cut inside each part of the
// file and each fed once the program has read all before it, is read whole:
// the program says what it says of the same bytes read from a file.
TEST(InspectionPrograms, AGraphThroughAPipeInPiecesIsReadWhole)
{
    export_test::scratch_dir d;
    const std::string bytes = test_support::readFile(d.put_graph_text(
        "g.gd", "hash 211\n0 identifier_node strg=\"pieces\" lngt=6\n3 tree_list value=7 purpose=0\n"
                "7 integer_cst low=4\n9 plus_expr op0=7 op1=0\n"));
    const std::vector<size_t> cuts = gd_file_parts::cuts_inside_each_part(bytes);
    ASSERT_EQ(cuts.size(), 11u);
    for (const inspection_run &run : inspection_runs) {
        SCOPED_TRACE(std::string(run.program_name) + " " + std::to_string(run.after_file.size()));
        // Standard input a file of those bytes.
        test_support::RunSetup whole;
        whole.input = bytes;
        const test_support::ProgramRun expected =
            test_support::runProgram(run.program, arguments(run, "/dev/stdin"), whole);
        ASSERT_EQ(expected.status, 0) << expected.err;
        ASSERT_NE(expected.out, "");

        test_support::StartedProgram piped(run.program, arguments(run, "/dev/stdin"));
        size_t fed = 0;
        for (size_t cut : cuts) {
            piped.feed(bytes.substr(fed, cut - fed));
            fed = cut;
            piped.waitUntilRead();
        }
        piped.feed(bytes.substr(fed));
        const test_support::ProgramRun r = piped.wait();
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, expected.out);
        EXPECT_EQ(r.err, expected.err);
    }
}

// A graph that memory under a small address-space limit cannot hold, as a
// batch queue's limit may be: the reader says so and the program stops, with
// no output, as for a file it refuses.
TEST(InspectionPrograms, AGraphPastTheMemoryLimitIsAStop)
{
    if (!test_support::addressSpaceLimitsWork)
        GTEST_SKIP() << "the address sanitizer needs the address space";
    export_test::scratch_dir d;
    // About 21 MB of records, past a limit of 16 MiB.
    const std::string file =
        d.put_graph_text("g.gd", "root 0\nnodes 300000\n0 identifier_node strg=\"x\" lngt=1\n");
    for (const inspection_run &run : inspection_runs) {
        SCOPED_TRACE(std::string(run.program_name) + " " + std::to_string(run.after_file.size()));
        test_support::RunSetup limited;
        limited.addressSpaceLimit = 16ull << 20;
        const test_support::ProgramRun r =
            test_support::runProgram(run.program, arguments(run, file), limited);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Error allocating node buffercould not get graph\n");
    }
}

}  // namespace
