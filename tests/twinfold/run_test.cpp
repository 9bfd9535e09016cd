#include "run.h"

#include "linked_fixture.h"
#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class Run : public testing::Test {
protected:
    void SetUp() override
    {
        verbose = 0;
        union_headers = 1;
        indent = -1;
        std::string pattern = (fs::temp_directory_path() / "twinfold-run-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        verbose = 0;
        union_headers = 1;
        indent = -1;
        fs::remove_all(m_dir);
    }

    // Runs on input into out.ta; gives the status, m_output and m_errors.
    int runOn(const std::string& input, const std::string& outputPath = "")
    {
        std::string target = outputPath.empty() ? (m_dir / "out.ta").string() : outputPath;
        FILE* in = streamOf(input);
        CoutputFile out;
        EXPECT_TRUE(out.open(target.c_str()));
        testing::internal::CaptureStderr();
        int status = run(in, "linked.ta", out);
        m_errors = testing::internal::GetCapturedStderr();
        std::fclose(in);
        if (target == "/dev/full")
            return status;
        std::ifstream written(target);
        std::stringstream text;
        text << written.rdbuf();
        m_output = text.str();
        return status;
    }

    fs::path m_dir;
    std::string m_output;
    std::string m_errors;
};

} // namespace

TEST_F(Run, UnionMerge)
{
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedUnion);
    EXPECT_EQ(m_errors, "");
}

TEST_F(Run, StrictMerge)
{
    union_headers = 0;
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedStrict);
}

TEST_F(Run, IndentedContainment)
{
    indent = 0;
    EXPECT_EQ(runOn(kLinkedInput), 0);
    EXPECT_EQ(m_output, "// ta output for linked.ta\n\n" + kLinkedUnionIndented);
}

TEST_F(Run, AFailedRunLeavesTheOutputFileAsItWas)
{
    std::ofstream(m_dir / "out.ta") << "precious";
    EXPECT_EQ(runOn("contain a b\n}\n"), 1);
    EXPECT_EQ(m_output, "precious");
    EXPECT_EQ(m_errors, "\nParse error at line 2\n\n...\n");
}

TEST_F(Run, AWriteErrorIsAFailure)
{
    EXPECT_EQ(runOn(kLinkedInput, "/dev/full"), 1);
    EXPECT_EQ(m_errors, "Can't write to '/dev/full'\n");
}
