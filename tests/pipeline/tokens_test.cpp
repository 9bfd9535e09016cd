#include "tokens.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pipeline {
namespace {

std::vector<std::string> allTokens(const std::string &text)
{
    std::stringbuf buffer(text);
    TokenInput in{&buffer};
    std::vector<std::string> tokens;
    while (skipWhiteSpace(in)) tokens.push_back(readToken(in));
    return tokens;
}

struct TokenCase {
    const char *name;
    std::string text;
    std::vector<std::string> tokens;
};

void PrintTo(const TokenCase &c, std::ostream *os)
{
    *os << c.name;
}

class TokenInputTest : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenInputTest, ReadsTheTokens)
{
    EXPECT_EQ(allTokens(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenInputTest,
    testing::Values(TokenCase{"WhiteSpaceOfEveryKind", " a\tb\n\nc\fd  ", {"a", "b", "c", "d"}},
                    TokenCase{"CarriageReturnIsPartOfAToken", "a\r b", {"a\r", "b"}},
                    TokenCase{"EmptyInput", "", {}}, TokenCase{"WhiteSpaceOnly", " \n\t\f", {}},
                    TokenCase{"QuotedWithBlanks", "\"a b\" c", {"a b", "c"}},
                    TokenCase{"QuoteInsideAPlainToken", "a\"b", {"a\"b"}},
                    TokenCase{"BackslashEscapes", "\"\\\"\\'\\\\\\^\"", {"\"'\\^"}},
                    TokenCase{"ControlEscapes", "\"\\b\\D\\e\\F\\n\\R\\t\"", {"\b\b\x1b\f\n\r\t"}},
                    TokenCase{"CaretEscapes", "\"^A^[^?\"", {"\x01\x1b\b"}},
                    TokenCase{"BackslashZeroEndsTheToken", "\"ab\\0cd\" e", {"ab", "cd\"", "e"}},
                    TokenCase{"UnknownEscapeEndsTheToken", "\"ab\\qc\"", {"ab", "c\""}},
                    TokenCase{"CaretGivingZeroEndsTheToken", "\"ab^@c\"", {"ab", "c\""}},
                    TokenCase{"NewlineEndsTheToken", "\"ab\ncd", {"ab", "cd"}},
                    TokenCase{"EndOfInputEndsTheToken", "\"ab", {"ab"}},
                    TokenCase{"EmptyQuotedToken", "\"\" x", {"", "x"}}),
    [](const testing::TestParamInfo<TokenCase> &info) { return std::string(info.param.name); });

TEST(TokenInput, ReadingPastTheLastTokenGivesEmptyStrings)
{
    std::stringbuf buffer("a  \n");
    TokenInput in{&buffer};
    EXPECT_EQ(readToken(in), "a");
    EXPECT_EQ(readToken(in), "");
    EXPECT_EQ(readToken(in), "");
}

TEST(TokenInput, ReadsWholeLinesAndALastLineWithoutNewline)
{
    std::stringbuf buffer("one two\n\n last");
    TokenInput in{&buffer};
    std::string line;
    std::vector<std::string> lines;
    while (readLine(in, line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one two", "", " last"}));
    EXPECT_TRUE(atEnd(in));
}

}  // namespace
}  // namespace pipeline
