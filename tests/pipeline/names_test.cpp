#include "names.h"

#include <gtest/gtest.h>

namespace pipeline {
namespace {

TEST(Names, HasSuffixAcceptsANameEqualToTheSuffix)
{
    EXPECT_TRUE(hasSuffix("x.ta", ".ta"));
    EXPECT_TRUE(hasSuffix(".ta", ".ta"));
    EXPECT_FALSE(hasSuffix("ta", ".ta"));
    EXPECT_FALSE(hasSuffix("x.tab", ".ta"));
    EXPECT_TRUE(hasSuffix("net.contain.rsf", "contain.rsf"));
}

TEST(Names, HasProperSuffixWantsMoreThanTheSuffix)
{
    EXPECT_TRUE(hasProperSuffix("a.ta", ".ta"));
    EXPECT_FALSE(hasProperSuffix(".ta", ".ta"));
    EXPECT_FALSE(hasProperSuffix("a.tax", ".ta"));
}

TEST(Names, DelsuffixRemovesOnlyAMatchingSuffix)
{
    EXPECT_EQ(delsuffix("a.ta", ".ta"), "a");
    EXPECT_EQ(delsuffix(".ta", ".ta"), "");
    EXPECT_EQ(delsuffix("a.tb", ".ta"), "a.tb");
}

TEST(Names, DelsuffixesRemovesEachSuffixOnceInTableOrder)
{
    const std::pair<const char *, const char *> cases[] = {
        {"a.unique.ta", "a"},
        {"a.ta.unique", "a.ta"},
        {"m.rawline", "m"},
        {"m.layout.addschema", "m"},
        {"m.addschema.layout", "m.addschema"},
        {"x.o.ta", "x.o"},
        {"dir/foo.ta", "dir/foo"},
        {"a.ta.ta", "a.ta"},
    };
    for (const auto &[name, base] : cases) {
        EXPECT_EQ(delsuffixes(name), base) << name;
    }
}

TEST(Names, TmpFileNameWritesTwoDigits)
{
    EXPECT_EQ(tmpFileName("out", 3, "liftobj"), "out.tmp.03.liftobj.ta");
    EXPECT_EQ(tmpFileName("foo", 1, "liftunit"), "foo.tmp.01.liftunit.ta");
    EXPECT_EQ(tmpFileName("link", 10, "x"), "link.tmp.10.x.ta");
    EXPECT_EQ(tmpFileName("layout", 30, "layout"), "layout.tmp.30.layout.ta");
}

}  // namespace
}  // namespace pipeline
