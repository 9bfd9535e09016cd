#include "common/tokens.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace layout {
namespace {

std::vector<std::string> allTokens(std::string_view text)
{
    TokenStream in{text, 0};
    std::vector<std::string> out;
    std::string token;
    while (getToken(in, token)) out.push_back(token);
    return out;
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

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, SplitsAsExpected)
{
    EXPECT_EQ(allTokens(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenTable,
    ::testing::Values(
        TokenCase{"WhiteSpaceOfEveryKind", " a\tb\nc\vd\fe\rf ", {"a", "b", "c", "d", "e", "f"}},
        TokenCase{"LastTokenAtEndOfFile", "a b c", {"a", "b", "c"}},
        TokenCase{"CommentWhereATokenBegins", "a // b c\nd", {"a", "d"}},
        TokenCase{"SlashesInsideATokenAreKept", "x//y z", {"x//y", "z"}},
        TokenCase{"LoneSlashBeforeBlank", "a / b", {"a", "/", "b"}},
        TokenCase{"LoneSlashAtEndOfFile", "a /", {"a", "/"}},
        TokenCase{"SlashStartsAWord", "/usr/x y", {"/usr/x", "y"}},
        TokenCase{"QuotedNameWithBlanks", "\"a b\"\n\"c\td\" e", {"a b", "c\td", "e"}},
        TokenCase{"QuoteEndsTokenWithoutBlank", "\"a\"b", {"a", "b"}},
        TokenCase{"EmptyQuotedToken", "\"\" x", {"", "x"}},
        TokenCase{"UnclosedQuoteRunsToEnd", "a \"b c", {"a", "b c"}},
        TokenCase{"CommentWithoutNewline", "a //", {"a"}},
        TokenCase{"LongCommentIsSkippedWhole", std::string("//") + std::string(5000, 'z') + "\nq", {"q"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Tokens, LongTokenIsKeptWhole)
{
    std::string longName(5000, 'n');
    EXPECT_EQ(allTokens(longName + " x"), (std::vector<std::string>{longName, "x"}));
}

TEST(Tokens, EndOfFileLeavesTokenUntouched)
{
    TokenStream in{"   ", 0};
    std::string token = "old";
    EXPECT_FALSE(getToken(in, token));
    EXPECT_EQ(token, "old");
}

TEST(Tokens, WordsIgnoreCommentsAndQuotes)
{
    TokenStream in{" //a \"b c\"\n", 0};
    std::string w;
    std::vector<std::string> words;
    while (getWord(in, w)) words.push_back(w);
    EXPECT_EQ(words, (std::vector<std::string>{"//a", "\"b", "c\""}));
}

}  // namespace
}  // namespace layout
