#include "getopt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every getopt result until -1, then the index of the first file argument.
std::string scan(std::vector<std::string> args, const char *letters = "ciuvv")
{
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    Cgetopt options(int(argv.size()), argv.data(), letters);
    std::string result;
    for (int i = 0; i < 20; ++i) {
        int letter = options.getopt();
        if (letter == -1) break;
        result += letter == 0 ? std::string("?") + options.current() : std::string(1, char(letter));
        if (options.m_pValue) result += std::string("=") + options.m_pValue;
        result += " ";
        if (letter == 0) break;
    }
    return result + "@" + std::to_string(options.m_index);
}

}  // namespace

TEST(Getopt, OptionsEndAtTheFirstFileOrDash)
{
    struct Ccase {
        std::vector<std::string> args;
        const char *expected;
    } cases[] = {
        {{"twinfold"}, "@1"},
        {{"twinfold", "-v", "-u", "in.ta"}, "v u @3"},
        {{"twinfold", "-vv", "x"}, "v @2"},
        {{"twinfold", "-cx", "-i"}, "c i @3"},
        {{"twinfold", "-", "-v"}, "@1"},
        {{"twinfold", "- v"}, "@1"},
        {{"twinfold", "in.ta", "-v"}, "@1"},
        {{"twinfold", "-l", "x"}, "?-l @1"},
        {{"twinfold", "-v", "-h"}, "v ?-h @2"},
        {{"twinfold", "--v"}, "?--v @1"},
    };
    for (const Ccase &c : cases) EXPECT_EQ(scan(c.args), c.expected) << c.args.size();
}

TEST(Getopt, LetterWithAValueTakesTheRestOrTheNextArgument)
{
    EXPECT_EQ(scan({"p", "-ofile", "-o", "next", "-v"}, "o:v"), "o=file o=next v @5");
}

TEST(Getopt, CopiesTheArguments)
{
    std::string arg = "-v";
    char *argv[] = {arg.data(), arg.data(), nullptr};
    Cgetopt options(2, argv, "v");
    arg[1] = 'x';
    EXPECT_STREQ(options.m_ppArgv[1], "-v");
    EXPECT_EQ(options.m_ppArgv[2], nullptr);
}

TEST(Getopt, UsageAfterAnInvalidOption)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&buffer, &size);
    printInvalidOption(out, "-l");
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), "Option '-l' is invalid\n\n"
                                         "Options:  -c/opyright (and version history)\n"
                                         "          -u/nion headers disabled\n"
                                         "          -v/erbose (output) repeat for greater detail\n\n"
                                         "Argument: [input.ta [output.ta]]\n");
    std::free(buffer);
}
