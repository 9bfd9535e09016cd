// The frame of the gd graph programs, run with fake steps.

#include <gd/filters/runner.h>

#include "program_run.h"
#include "support/graph_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Fake filters: each records its call and returns what the test asks for.
std::vector<int> calls;
int result_of_third = 1;

int first_step(gd_graph *)
{
    calls.push_back(1);
    return 1;
}
int second_step(gd_graph *)
{
    calls.push_back(2);
    std::fputs("(a note)", stderr);
    return 7;
}
int third_step(gd_graph *)
{
    calls.push_back(3);
    return result_of_third;
}
int fourth_step(gd_graph *)
{
    calls.push_back(4);
    return 1;
}

const filter_step fake_steps[] = {
    {"first_filter", first_step},
    {"second_filter", second_step},
    {"third_filter", third_step},
    {"fourth_filter", fourth_step},
};

class RunSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        result_of_third = 1;
    }
    // Runs the fake steps and returns what they printed on standard error.
    std::string run(step_report report, int expected_result)
    {
        gd_graph g = gd_empty_graph();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(run_steps(&g, fake_steps, report), expected_result);
        return ::testing::internal::GetCapturedStderr();
    }
};

TEST_F(RunSteps, PrintsOneProgressLinePerStepWithTheFiltersOwnTextInside)
{
    EXPECT_EQ(run(step_report::progress, 1), "* Running first_filter...done\n"
                                             "* Running second_filter...(a note)done\n"
                                             "* Running third_filter...done\n"
                                             "* Running fourth_filter...done\n");
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(RunSteps, StopsAtTheFirstStepThatReturnsZero)
{
    result_of_third = 0;
    EXPECT_EQ(run(step_report::progress, 0), "* Running first_filter...done\n"
                                             "* Running second_filter...(a note)done\n"
                                             "* Running third_filter...Error in filter third_filter\n");
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
}

TEST_F(RunSteps, WithoutProgressPrintsOnlyTheFiltersOwnTextAndTheError)
{
    EXPECT_EQ(run(step_report::errors_only, 1), "(a note)");
    result_of_third = 0;
    EXPECT_EQ(run(step_report::errors_only, 0), "(a note)Error in filter third_filter\n");
}

TEST(FilterStep, TakesNameAndFunctionFromOneFamilyName)
{
    const filter_step step = FILTER_STEP(gd_reduce);
    EXPECT_STREQ(step.name, "gd_reduce_filter");
    EXPECT_EQ(step.run, &gd_reduce_filter);

    // As a program built once per family names it.
#define FAMILY_OF_THIS_PROGRAM namespace
    const filter_step from_macro = FILTER_STEP(FAMILY_OF_THIS_PROGRAM);
#undef FAMILY_OF_THIS_PROGRAM
    EXPECT_STREQ(from_macro.name, "namespace_filter");
    EXPECT_EQ(from_macro.run, &namespace_filter);
}

}  // namespace

// The whole frame on real files: a graph file in, fake steps, a file out.
namespace {

int stop_step(gd_graph *)
{
    return 0;
}
// Adds a node, so the output shows that the steps ran on the graph read.
int add_node_step(gd_graph *g)
{
    gd_clear_node(g, newNode(g), gINTEGER_CST);
    return 1;
}

class FilterProgram : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::string in = (dir / "in.gd").string();
    std::string out = (dir / "out.gd").string();

    void SetUp() override
    {
        text_graph t(R"(root 0
0 identifier_node strg="x"
)");
        ASSERT_EQ(gd_graph_write_binary_file(in.c_str(), t.g), 1);
    }

    int run(std::span<const filter_step> steps, std::string *err)
    {
        std::string prog = "prog";
        char *argv[] = {prog.data(), in.data(), out.data(), nullptr};
        ::testing::internal::CaptureStderr();
        const int status = run_filter_program(3, argv, steps, step_report::progress);
        *err = ::testing::internal::GetCapturedStderr();
        return status;
    }
};

TEST_F(FilterProgram, WritesTheGraphTheStepsLeft)
{
    const filter_step steps[] = {{"add_filter", add_node_step}};
    std::string err;
    EXPECT_EQ(run(steps, &err), 0);
    EXPECT_EQ(err, "* Running add_filter...done\n");
    gd_graph g = gd_graph_read_binary_file(out.c_str());
    EXPECT_EQ(gd_text_dump(&g), "root 0\n0 identifier_node strg=\"x\"\n1 integer_cst\n");
    deallocate_gd_graph(g);
}

TEST_F(FilterProgram, StopAtAStepWritesNoFile)
{
    const filter_step steps[] = {
        {"add_filter", add_node_step}, {"stop_filter", stop_step}, {"add_filter", add_node_step}};
    std::string err;
    EXPECT_EQ(run(steps, &err), 1);
    EXPECT_EQ(err, "* Running add_filter...done\n* Running stop_filter...Error in filter stop_filter\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
