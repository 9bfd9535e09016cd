#include "hash.h"

#include "facts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Crecorder : public Cvisithash {
public:
    void visit(CinstanceFact *node) override { m_names.push_back(node->name()); }
    std::vector<std::string> m_names;
};

}  // namespace

TEST(Hash, ChecksumFoldsFourBytesAtATime)
{
    Chash table;
    table.init(4);
    EXPECT_EQ(Chash::accumulate("abcd"), 0x64636261u);
    EXPECT_EQ(Chash::accumulate("abcde"), 0x9b9c9dfbu);
    EXPECT_EQ(table.checksum("abcde"), 11u);
    EXPECT_EQ(table.checksum(""), 0u);
    const char key[] = "ab\0zz";
    EXPECT_EQ(Chash::accumulate(key), Chash::accumulate("ab"));
}

TEST(Hash, CountsSchemaAndInstanceNodes)
{
    Chash table;
    table.init(3);
    CinstanceFact *instance = new CinstanceFact("x");
    CinstanceFact *schema = new CinstanceFact("x");
    schema->m_flags |= kFlagSchema;
    table.add(instance);
    table.add(schema);
    EXPECT_EQ(table.m_schemaCount, 1u);
    EXPECT_EQ(table.m_instanceCount, 1u);
    EXPECT_EQ(nodeCategory(schema), kCategorySchema);
    EXPECT_EQ(nodeCategory(instance), kCategoryInstance);
}

TEST(Hash, VisitallGoesSlotBySlotNewestFirstAndVisitfirstGivesHeads)
{
    Chash table;
    table.init(2);
    // "a" (0x61) and "e" (0x65) share slot 1; "b" is in slot 2.
    for (const char *name : {"b", "a", "e"}) table.add(new CinstanceFact(name));
    Crecorder all;
    table.visitall(all);
    EXPECT_EQ(all.m_names, (std::vector<std::string>{"e", "a", "b"}));
    Crecorder heads;
    table.visitfirst(heads);
    EXPECT_EQ(heads.m_names, (std::vector<std::string>{"e", "b"}));
}

TEST(Hash, VisitallAllowsMovingTheVisitedNode)
{
    Chash first, second;
    first.init(1);
    second.init(1);
    for (const char *name : {"a", "c", "e"}) first.add(new CinstanceFact(name));
    class Cmover : public Cvisithash {
    public:
        explicit Cmover(Chash &to) : m_to(to) {}
        void visit(CinstanceFact *node) override
        {
            m_to.add(node);
            ++m_count;
        }
        Chash &m_to;
        int m_count = 0;
    } mover(second);
    first.visitall(mover);
    EXPECT_EQ(mover.m_count, 3);
    EXPECT_EQ(second.m_totalCount, 3u);
}

TEST(Hash, CautionWhenTheCountReachesEachMultipleOfTheSlots)
{
    Chash table;
    table.init(2);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 9; ++i) table.add(new CinstanceFact("n"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Caution: Added 4 nodes to hash table\nCaution: Added 8 nodes to hash table\n");
}

TEST(HashDeathTest, SizingBelowZeroBitsIsOutOfMemory)
{
    Chash table;
    EXPECT_EXIT(table.init(-1), testing::ExitedWithCode(1), "^Out of memory\n$");
}
