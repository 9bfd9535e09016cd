// The twinfold program: command line, messages, exit statuses and files.
#include "linked_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Cresult {
    int m_status;
    std::string m_out;
    std::string m_err;
};

class Program : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "twinfold-program-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        put("in.ta", kLinkedInput);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    void put(const std::string& name, const std::string& text) const { std::ofstream(path(name)) << text; }
    std::string contents(const std::string& file) const
    {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs twinfold with args, standard input from stdinFile (or empty).
    Cresult twinfold(std::vector<std::string> args, const std::string& stdinFile = "")
    {
        std::string outFile = path("stdout"), errFile = path("stderr");
        pid_t pid = fork();
        if (pid == 0) {
            int in = open(stdinFile.empty() ? "/dev/null" : stdinFile.c_str(), O_RDONLY);
            int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv{const_cast<char*>(TWINFOLD_PROGRAM)};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(TWINFOLD_PROGRAM, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(outFile), contents(errFile)};
    }

    fs::path m_dir;
};

const std::string kUsageTail = "Options:  -c/opyright (and version history)\n"
                               "          -u/nion headers disabled\n"
                               "          -v/erbose (output) repeat for greater detail\n\n"
                               "Argument: [input.ta [output.ta]]\n";

const std::string kStamp = "TwinFold: [0-9]{2}:[0-9]{2}:[0-9]{2} ";

} // namespace

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
    for (const Ccase& c : cases) {
        Cresult r = twinfold(c.args);
        EXPECT_EQ(r.m_status, 1) << c.err;
        EXPECT_EQ(r.m_err, c.err);
        EXPECT_EQ(r.m_out, "");
    }
    // Neither the output file nor a temporary file beside it is left.
    for (const fs::directory_entry& entry : fs::directory_iterator(m_dir))
        EXPECT_NE(entry.path().filename().string().rfind("out.ta", 0), 0u) << entry.path();
}

TEST_F(Program, FiltersStandardInputToStandardOutput)
{
    Cresult r = twinfold({}, path("in.ta"));
    EXPECT_EQ(r.m_status, 0);
    EXPECT_EQ(r.m_out, kLinkedUnion);
    EXPECT_EQ(r.m_err, "");
}

TEST_F(Program, WritesTheOutputFileAndMayReplaceItsOwnInput)
{
    Cresult r = twinfold({"-u", path("in.ta"), path("out.ta")});
    EXPECT_EQ(r.m_status, 0);
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedStrict);

    r = twinfold({path("in.ta"), path("in.ta")});
    EXPECT_EQ(r.m_status, 0);
    EXPECT_EQ(contents(path("in.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnion);
}

TEST_F(Program, AFailedRunKeepsTheOutputFile)
{
    put("bad.ta", "contain a\n");
    put("out.ta", "precious");
    Cresult r = twinfold({path("bad.ta"), path("out.ta")});
    EXPECT_EQ(r.m_status, 1);
    EXPECT_EQ(r.m_err, "\nParse error at line 2\n\n...");
    EXPECT_EQ(contents(path("out.ta")), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 5);
}

TEST_F(Program, VerboseLevels)
{
    // -vv is one -v: progress without the deletions.
    Cresult one = twinfold({"-vv", path("in.ta"), path("out.ta")});
    EXPECT_EQ(one.m_status, 0);
    std::regex levelOne("^" + kStamp + "Read 42 lines of input \\(3 schema 9 instance nodes created\\)\n(" + kStamp +
                        "\\S+ has no parent\n){3}" + kStamp + "Built graph\n" + kStamp + "Graph is a tree\n" + kStamp +
                        "Twinfold deleted 1 subtrees\n" + kStamp + "Renaming started\n" + kStamp +
                        "Renamed 1 nodes\n" + kStamp + "Twinfold generating output\n" + kStamp +
                        "Twinfold finished writing " + path("in.ta") + "\n$");
    EXPECT_TRUE(std::regex_match(one.m_err, levelOne)) << one.m_err;

    Cresult two = twinfold({"-v", "-v", path("in.ta"), path("out.ta")});
    EXPECT_NE(two.m_err.find("\nDeleting @0.FILE.x.h.b.c\n" + std::string("TwinFold: ")), std::string::npos);
    EXPECT_EQ(two.m_out, "");
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
    Cresult toFile = twinfold({"-v", "-v", "-v", path("in.ta"), path("out.ta")});
    EXPECT_EQ(toFile.m_out, dump);

    Cresult toStdout = twinfold({"-v", "-v", "-v"}, path("in.ta"));
    EXPECT_EQ(toStdout.m_status, 0);
    EXPECT_EQ(toStdout.m_out, kLinkedUnion);
    // With -v -v the deletion is reported on standard error too.
    std::string withDeleting = dump;
    withDeleting.insert(withDeleting.find("   1 merged"), "Deleting @0.FILE.x.h.b.c\n");
    EXPECT_NE(toStdout.m_err.find(withDeleting), std::string::npos) << toStdout.m_err;
    EXPECT_NE(toStdout.m_err.find("Twinfold finished writing standard input\n"), std::string::npos);
}

TEST_F(Program, CompiledLineThenTheRun)
{
    Cresult r = twinfold({"-c", path("in.ta"), path("out.ta")});
    EXPECT_EQ(r.m_status, 0);
    EXPECT_TRUE(std::regex_search(r.m_err, std::regex("^Compiled:  \\w{3} [ 0-9]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d v2.0\n")))
        << r.m_err;
    EXPECT_EQ(contents(path("out.ta")), "// ta output for " + path("in.ta") + "\n\n" + kLinkedUnion);
}
