// gd_literals_filter: constants become literals written as C source text.

#include <gd/filters/filters.h>

#include "gd_literals.h"
#include "support/family_fixtures.h"
#include "support/filter_on_text.h"
#include "support/graph_fixture.h"

#include <cstring>
#include <string>

namespace {

// ---------------------------------------------------------------------------
// Integer constants, by the name of their type

struct integer_case {
    const char *type;  // the type node's line, without index
    int high;
    int low;
    const char *text;
};

std::string literal_of_integer(const integer_case &c)
{
    const std::string graph = std::string("0 ") + c.type +
                              "\n1 integer_cst type=0 high=" + std::to_string(c.high) +
                              " low=" + std::to_string(c.low) + "\n";
    filtered_text out = run_filter_on_text(gd_literals_filter, graph);
    EXPECT_EQ(out.result, 1);
    const std::string prefix = std::string("0 ") + c.type + "\n1 cLiteral value=\"";
    const std::string suffix = "\" type=2\n2 cInstance src=1 dest=0\n";
    if (out.graph.size() < prefix.size() + suffix.size() ||
        out.graph.compare(0, prefix.size(), prefix) != 0 ||
        out.graph.compare(out.graph.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "unexpected graph:\n" + out.graph;
    return out.graph.substr(prefix.size(), out.graph.size() - prefix.size() - suffix.size());
}

class IntegerLiteral : public ::testing::TestWithParam<integer_case> {};

TEST_P(IntegerLiteral, IsWrittenByItsTypesFormat)
{
    EXPECT_EQ(literal_of_integer(GetParam()), GetParam().text);
}

// The dump writes the text form of the literal's value: a backslash of the
// C text shows as "\\", a quote as "\"".
INSTANTIATE_TEST_SUITE_P(
    Types, IntegerLiteral,
    ::testing::Values(
        integer_case{"cBuiltInType name=\"bool\"", 0, 1, "true"},
        integer_case{"cBuiltInType name=\"bool\"", 0, 0, "false"},
        integer_case{"cBuiltInType name=\"bool\"", 0, 2, "false"},
        integer_case{"cBuiltInType name=\"char\"", 0, 65, "'A'"},
        integer_case{"cBuiltInType name=\"char\"", 0, 10, "'\\\\n'"},
        integer_case{"cBuiltInType name=\"char\"", 0, 0x10a, "'\\\\n'"},
        integer_case{"cBuiltInType name=\"char\"", 0, 14, "'\\\\x0E'"},
        integer_case{"cBuiltInType name=\"char\"", 0, 39, "'\\\\''"},
        integer_case{"cBuiltInType name=\"char\"", 0, 34, "'\\\\\\\"'"},
        integer_case{"cBuiltInType name=\"char\"", 0, 92, "'\\\\\\\\'"},
        integer_case{"cBuiltInType name=\"signed char\"", 0, 0, "'\\\\x00'"},
        integer_case{"cBuiltInType name=\"unsigned char\"", 0, 200, "'\\\\xc8'"},
        integer_case{"cBuiltInType name=\"short int\"", 0, 0xffff, "-1"},
        integer_case{"cBuiltInType name=\"short int\"", 0, 0x12345, "9029"},
        integer_case{"cBuiltInType name=\"short unsigned int\"", 0, 65535, "65535U"},
        integer_case{"cBuiltInType name=\"int\"", -1, -1, "-1"},
        integer_case{"cBuiltInType name=\"int\"", 0, 2147483647, "2147483647"},
        integer_case{"cBuiltInType name=\"long int\"", 0, -5, "-5"},
        integer_case{"cBuiltInType name=\"unsigned int\"", 0, -1, "4294967295U"},
        integer_case{"cBuiltInType name=\"long unsigned int\"", 0, 7, "7U"},
        // A long of 64 bits: the whole value where the high word is more than
        // the low word's zero or sign extension.
        integer_case{"cBuiltInType name=\"long int\"", 1, 5, "4294967301"},
        integer_case{"cBuiltInType name=\"long int\"", -2, 0, "-8589934592"},
        integer_case{"cBuiltInType name=\"long int\"", 0x7fffffff, -1, "9223372036854775807"},
        integer_case{"cBuiltInType name=\"long int\"", -1, -5, "-5"},
        integer_case{"cBuiltInType name=\"long int\"", -1, 5, "-4294967291"},
        integer_case{"cBuiltInType name=\"long int\"", 0, int(0x80000000u), "-2147483648"},
        integer_case{"cBuiltInType name=\"long unsigned int\"", 1, 0, "4294967296U"},
        integer_case{"cBuiltInType name=\"long unsigned int\"", -2, -1, "18446744069414584319U"},
        integer_case{"cBuiltInType name=\"long unsigned int\"", 0, -1, "4294967295U"},
        integer_case{"cBuiltInType name=\"long unsigned int\"", -1, -1, "4294967295U"},
        integer_case{"cBuiltInType name=\"long long int\"", -1, -1, "-1LL"},
        integer_case{"cBuiltInType name=\"long long int\"", 1, 0, "4294967296LL"},
        integer_case{"cBuiltInType name=\"long long unsigned int\"", 0, int(0x80000000u), "2147483648LLU"},
        integer_case{"cBuiltInType name=\"long long unsigned int\"", -1, -1, "18446744073709551615LLU"},
        // An enumeration has no row: the low word as a signed number.
        integer_case{"cEnumType name=\"color\"", 3, -2, "-2"},
        // Integer constants of a real type fall back the same way.
        integer_case{"cBuiltInType name=\"float\"", 0, 3, "3"},
        integer_case{"cBuiltInType name=\"double\"", 7, -3, "-3"},
        // A type without a name matches no row, though rows whose names are
        // not in the pool have no offset either.
        integer_case{"cBuiltInType", 0, 65, "65"},
        // Qualified names of other kinds are matched too: the row is found by
        // the name of any named Ririra type.
        integer_case{"cAliasType name=\"unsigned int\"", 0, 9, "9U"}));

TEST(GdLiterals, ReadsTheTypeNameOnlyFromARiriraDeclaration)
{
    // The integer type's `algn` lies where a Ririra type keeps its name, and
    // holds the pool offset of "int" (after "x" and its NUL): it must not be
    // taken for a name.
    filtered_text out = run_filter_on_text(gd_literals_filter, gd_literals_fixture.before);
    EXPECT_EQ(out.graph, gd_literals_fixture.after);
}

// ---------------------------------------------------------------------------
// String constants

struct string_case {
    const char *name;
    std::string bytes;  // the constant's bytes in the pool
    int lngt;           // its recorded length; -1 for the byte count
    std::string text;   // the C text
};

std::string bytes_of(const char *b, std::size_t n)
{
    return std::string(b, n);
}

class StringLiteral : public ::testing::TestWithParam<string_case> {};

TEST_P(StringLiteral, IsQuotedAndEscaped)
{
    const string_case &c = GetParam();
    text_graph t("0 cBuiltInType name=\"x\"\n");
    const str_ptr at = gd_add_mem(&t.g, c.bytes.data(), c.bytes.size());
    const int lngt = c.lngt == -1 ? int(c.bytes.size()) : c.lngt;
    const str_ptr text = string_literal(&t.g, at, lngt);
    ASSERT_NE(string_at(&t.g, text), nullptr);
    EXPECT_EQ(std::string(string_at(&t.g, text)), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StringLiteral,
    ::testing::Values(
        string_case{"Empty", bytes_of("", 1), -1, "\"\""},
        string_case{"Escapes", bytes_of("a\"b\\c\n\t'\x0f", 10), -1, "\"a\\\"b\\\\c\\n\\t\\'\\x0F\""},
        string_case{"HighAndLowBytes", bytes_of("\x1b\x7f\xff\x07", 5), -1, "\"\\x1b\\x7f\\xff\\a\""},
        string_case{"WideLetter", bytes_of("A\0\0\0\0\0\0\0", 8), -1, "L\"A\""},
        string_case{"WideBelow65536", bytes_of("\xe9\0\0\0\x0a\0\0\0\0\0\0\0", 12), -1, "L\"\\u00e9\\n\""},
        string_case{"WideAbove65535", bytes_of("\x00\xf6\x01\0\0\0\0\0", 8), -1, "L\"\\U0001f600\""},
        string_case{"NarrowThatLooksWide", bytes_of("abcd\0\0\0\0", 8), -1, "L\"\\U64636261\""},
        string_case{"NarrowMultipleOfFour", bytes_of("abc", 4), -1, "\"abc\""},
        string_case{"LengthZero", bytes_of("abc", 4), 0, "\"\""},
        string_case{"NegativeLength", bytes_of("abc", 4), -5, "\"\""},
        // The count runs past the pool's end: the bytes in use are taken.
        string_case{"LengthPastThePool", bytes_of("xy", 3), 1000, "\"xy\""}),
    [](const ::testing::TestParamInfo<string_case> &info) { return std::string(info.param.name); });

TEST(StringLiteralOffsets, OutsideThePoolGiveTheEmptyString)
{
    text_graph t("0 cBuiltInType name=\"x\"\n");
    // The pool grows with each result, so the offsets past it are far out.
    for (str_ptr bad : {-1, -100, 1 << 20, 1 << 30}) {
        const str_ptr text = string_literal(&t.g, bad, 4);
        ASSERT_NE(string_at(&t.g, text), nullptr);
        EXPECT_STREQ(string_at(&t.g, text), "\"\"") << bad;
    }
}

// ---------------------------------------------------------------------------
// The whole filter

TEST(GdLiterals, RebuildsEachConstantWholeWithItsTypeArcInIndexOrder)
{
    // Flags and links of the constants are dropped: the literal is built
    // whole. Other nodes stay as they are; the real constant keeps the text
    // the front end stored. Records 3 and 7 are free and are handed out first.
    filtered_text out = run_filter_on_text(gd_literals_filter, R"(0 cBuiltInType name="int"
1 real_cst constant_flag other_node=0 type=0 value="1.5e3"
2 string_cst type=0 strg="hi" lngt=3
4 integer_cst public_flag type=0 low=42
5 integer_type name=0
6 integer_cst type=-1 low=5
8 real_cst type=0
)");
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.graph, R"(0 cBuiltInType name="int"
1 cLiteral value="1.5e3" type=3
2 cLiteral value="\"hi\"" type=7
3 cInstance src=1 dest=0
4 cLiteral value="42" type=9
5 integer_type name=0
6 cLiteral value="5" type=10
7 cInstance src=2 dest=0
8 real_cst type=0
9 cInstance src=4 dest=0
10 cInstance src=6
)");
}

}  // namespace
