#include "tatext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

template <typename Put> std::string written(Put put, const char *text)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&buffer, &size);
    put(out, text);
    std::fclose(out);
    std::string result(buffer, size);
    std::free(buffer);
    return result;
}

}  // namespace

TEST(TaText, NamesAreBareOnlyWhenTheyReadBackAsTheSameWord)
{
    struct Ccase {
        const char *text;
        const char *name;
    } cases[] = {
        {"main", "main"},
        {"@FILE.x.h", "@FILE.x.h"},
        {"a\"b", "a\"b"},
        {"x//y", "x//y"},
        {"$root", "$root"},
        {"$ROOT", "$ROOT"},
        {"a b", "\"a b\""},
        {"", "\"\""},
        {":", "\":\""},
        {"//x", "\"//x\""},
        {"\"q", "\"\"q\""},
        {"$INSTANCE", "\"$INSTANCE\""},
        {"$x", "\"$x\""},
        {"a=b", "\"a=b\""},
        {"f(x)", "\"f(x)\""},
        {"{", "\"{\""},
        {"tab\there", "\"tab\there\""},
    };
    for (const Ccase &c : cases) EXPECT_EQ(written(putName, c.text), c.name) << c.text;
}

TEST(TaText, ValuesAreQuotedUnlessOnlyTheBareWordReadsBack)
{
    struct Ccase {
        const char *text;
        const char *value;
    } cases[] = {
        {"1", "\"1\""},       {"a b", "\"a b\""},
        {"", "\"\""},         {"say \\\"hi\\\"", "\"say \\\"hi\\\"\""},
        {"a\"b", "a\"b"},     {"ends\\", "ends\\"},
        {"\\\\", "\"\\\\\""},
    };
    for (const Ccase &c : cases) EXPECT_EQ(written(putValue, c.text), c.value) << c.text;
}

TEST(TaText, ReadBackTests)
{
    EXPECT_TRUE(readsBackQuoted("a\\\"b"));
    EXPECT_FALSE(readsBackQuoted("a\"b"));
    EXPECT_FALSE(readsBackQuoted("a\\"));
    EXPECT_TRUE(readsBackQuoted("a\\\\"));
    EXPECT_FALSE(readsBackAsWord(nullptr));
    EXPECT_TRUE(readsBackAsWord("/x"));
}
