#include "facts.h"

#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> outTargets(const CinstanceFact *n)
{
    std::vector<std::string> names;
    for (CedgeFact *e = n->m_pFirstOut; e; e = e->m_pOutNext)
        names.push_back(e->m_pTo ? e->m_pTo->name() : "-");
    return names;
}

CedgeFact *link(const char *label, CinstanceFact *from, CinstanceFact *to)
{
    CedgeFact *e = new CedgeFact(label);
    e->connectFrom(from);
    e->connectTo(to);
    return e;
}

Cfact *factWith(std::initializer_list<std::pair<const char *, const char *>> settings)
{
    Cfact *f = new Cfact("f");
    for (auto &[name, value] : settings) {
        Csetting *s = new Csetting(name);
        if (value) s->value(value);
        f->appendSetting(s);
    }
    return f;
}

std::string settingNames(const Cfact *f)
{
    std::string text;
    for (const Csetting *s = f->m_pFirstSetting; s; s = s->m_pNext)
        text += std::string(s->name()) + (s->m_pFirstValue ? s->m_pFirstValue->name() : "") + " ";
    return text;
}

std::string dumped(const Cfact *f)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&buffer, &size);
    f->dump(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace

TEST(EdgeType, OnlyContainIsATreeEdge)
{
    EXPECT_EQ(getEdgetype("contain"), 3);
    EXPECT_EQ(getEdgetype("Contain"), 0);
    EXPECT_EQ(getEdgetype("call"), 0);
    EXPECT_TRUE(CedgeFact("contain").isTree());
    EXPECT_FALSE(CedgeFact("containment").isTree());
}

TEST(EdgeLists, NewEdgesGoToTheHeadAndChildrenAreNewestFirst)
{
    CinstanceFact *p = new CinstanceFact("p");
    CinstanceFact *a = new CinstanceFact("a");
    CinstanceFact *b = new CinstanceFact("b");
    link("contain", p, a);
    link("call", p, b);
    link("contain", p, b);
    EXPECT_EQ(outTargets(p), (std::vector<std::string>{"b", "b", "a"}));
    EXPECT_EQ(p->children(), 2);
    EXPECT_EQ(p->firstChildEdge()->m_pTo, b);
    EXPECT_EQ(p->firstChildEdge()->nextChildEdge()->m_pTo, a);
    EXPECT_EQ(p->firstOutEdge()->m_pTo, b);
    EXPECT_EQ(p->firstOutEdge()->nextOutEdge(), nullptr);
    EXPECT_EQ(b->firstInEdge()->m_pFrom, p);
}

TEST(EdgeLists, ConnectingToTheSameNodeKeepsThePlaceElsewhereMovesToTheHead)
{
    CinstanceFact *p = new CinstanceFact("p");
    CinstanceFact *q = new CinstanceFact("q");
    CinstanceFact *x = new CinstanceFact("x");
    CinstanceFact *y = new CinstanceFact("y");
    CedgeFact *first = link("e", p, x);
    link("e", p, y);
    first->connectFrom(p);
    EXPECT_EQ(outTargets(p), (std::vector<std::string>{"y", "x"}));
    link("e", q, y);
    first->connectFrom(q);
    EXPECT_EQ(outTargets(p), (std::vector<std::string>{"y"}));
    EXPECT_EQ(outTargets(q), (std::vector<std::string>{"x", "y"}));
    first->connectTo(y);
    EXPECT_EQ(y->m_pFirstIn, first);
    EXPECT_EQ(x->m_pFirstIn, nullptr);
}

TEST(EdgeLists, DestroyingANodeTakesItsSubtreeAndEveryEdgeButSparesOtherTargets)
{
    CinstanceFact *root = new CinstanceFact("root");
    CinstanceFact *n = new CinstanceFact("n");
    CinstanceFact *child = new CinstanceFact("child");
    CinstanceFact *other = new CinstanceFact("other");
    link("contain", root, n);
    link("contain", root, other);
    link("contain", n, child);
    link("call", child, other);
    link("call", other, child);
    n->destroy();
    EXPECT_TRUE(n->isDead());
    EXPECT_TRUE(child->isDead());
    EXPECT_FALSE(other->isDead());
    EXPECT_EQ(outTargets(root), (std::vector<std::string>{"other"}));
    EXPECT_EQ(other->m_pFirstIn->m_pFrom, root);
    EXPECT_EQ(other->m_pFirstIn->m_pInNext, nullptr);
    EXPECT_EQ(other->m_pFirstOut, nullptr);
}

TEST(EdgeLists, DestroyingADeepChainUsesNoRecursion)
{
    CinstanceFact *top = new CinstanceFact("top");
    CinstanceFact *at = top;
    for (int i = 0; i < 300000; ++i) {
        CinstanceFact *next = new CinstanceFact("n");
        link("contain", at, next);
        at = next;
    }
    top->destroy();
    EXPECT_TRUE(at->isDead());
    EXPECT_EQ(at->m_pFirstIn, nullptr);
}

TEST(EdgeListsDeathTest, BrokenLinkIsAnInternalError)
{
    CinstanceFact *p = new CinstanceFact("p");
    CinstanceFact *x = new CinstanceFact("x");
    CedgeFact *e = link("e", p, x);
    p->m_pFirstOut = nullptr;
    EXPECT_EXIT(e->removeFrom(), testing::ExitedWithCode(1), "\\*ppOutPrev == this");
}

TEST(Rename, ReusesStorageOnlyWhenTheNewNameFits)
{
    CinstanceFact *longName = new CinstanceFact("@FILE.abc.h.x.c");
    char *before = longName->m_pName;
    longName->rename("@FILE.abc.h");
    EXPECT_EQ(longName->m_pName, before);
    EXPECT_STREQ(longName->name(), "@FILE.abc.h");

    CinstanceFact *shortName = new CinstanceFact("@1");
    before = shortName->m_pName;
    shortName->rename("@FILE.x");
    EXPECT_NE(shortName->m_pName, before);
    EXPECT_STREQ(shortName->name(), "@FILE.x");
}

TEST(Settings, ValueReplacesAndCloneCopiesEveryValue)
{
    Csetting *s = new Csetting("x");
    s->value("1");
    s->value("2");
    EXPECT_EQ(valueCount(s), 1);
    EXPECT_STREQ(s->m_pFirstValue->name(), "2");
    appendValue(s, "3");
    EXPECT_EQ(valueCount(s), 2);
    s->m_pNext = new Csetting("bare");
    Cref<Csetting> copy;
    s->clone(copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, s);
    EXPECT_EQ(copy->compare(s), 0);
    EXPECT_EQ(valueCount(copy), 2);
    ASSERT_NE(copy->m_pNext, nullptr);
    EXPECT_STREQ(copy->m_pNext->name(), "bare");
    EXPECT_EQ(copy->m_pNext->m_pFirstValue, nullptr);
}

TEST(Settings, CompareByNameAndValues)
{
    struct Ccase {
        const char *name;
        std::vector<const char *> left, right;
        const char *otherName;
        int expected;
    } cases[] = {
        {"x", {"1"}, {"1"}, "x", 0},
        {"x", {"1"}, {"2"}, "x", 1},
        {"x", {"1"}, {"1"}, "y", 1},
        {"x", {}, {}, "x", 0},
        {"x", {}, {"1"}, "x", 1},
        {"x", {"1", "2"}, {"1", "2"}, "x", 0},
        {"x", {"1", "2"}, {"1", "3"}, "x", 1},
        {"x", {"1", "2"}, {"1"}, "x", 1},
    };
    for (const Ccase &c : cases) {
        Csetting *a = new Csetting(c.name);
        Csetting *b = new Csetting(c.otherName);
        for (const char *v : c.left) appendValue(a, v);
        for (const char *v : c.right) appendValue(b, v);
        EXPECT_EQ(a->compare(b), c.expected) << c.name << " vs " << c.otherName;
        EXPECT_EQ(a->compare(a), 0);
        EXPECT_EQ(a->compare(nullptr), 1);
    }
    EXPECT_EQ(compareString(nullptr, nullptr), 0);
    EXPECT_EQ(compareString("a", nullptr), 1);
    EXPECT_EQ(compareString("a", "a"), 0);
    EXPECT_EQ(compareString("a", "b"), 1);
}

TEST(Facts, CompareAttrsPassesOverOrderOnlyWhenAsked)
{
    Cfact *a = factWith({{"order", "1"}, {"a", "x"}});
    Cfact *b = factWith({{"a", "x"}, {"order", "2"}});
    EXPECT_EQ(a->compareAttrs(b, true), 0);
    EXPECT_EQ(a->compareAttrs(b, false), 1);
    EXPECT_EQ(factWith({{"a", "x"}})->compareAttrs(factWith({{"a", "x"}, {"b", "y"}}), true), 1);
    EXPECT_EQ(factWith({{"a", "x"}, {"b", "y"}})->compareAttrs(factWith({{"a", "x"}}), true), 1);
    EXPECT_EQ(factWith({})->compareAttrs(factWith({{"order", "9"}}), true), 0);
}

TEST(Facts, CompactAttributesSortsByNameWithTheSelectionOrder)
{
    Cfact *f = factWith({{"c", "1"}, {"a", "1"}, {"b", "1"}, {"a", "2"}});
    f->compactAttributes();
    // Selection by exchange: a1 moves to the front and c to a1's place; the
    // later a2 is then exchanged with c.
    EXPECT_EQ(settingNames(f), "a1 a2 b1 c1 ");

    Cfact *g = factWith({{"b", "1"}, {"b", "2"}, {"a", "1"}});
    g->compactAttributes();
    // a1 takes the place of b1, which moves behind b2.
    EXPECT_EQ(settingNames(g), "a1 b2 b1 ");
}

TEST(Facts, CompactAttributesOfALongChainKeepsEveryAttribute)
{
    Cfact *f = new Cfact("f");
    for (int i = 5000; i > 0; --i) {
        Csetting *s = new Csetting(std::to_string(i % 997).c_str());
        f->appendSetting(s);
    }
    f->compactAttributes();
    int count = 0;
    for (const Csetting *s = f->m_pFirstSetting; s; s = s->m_pNext, ++count) {
        if (s->m_pNext) {
            EXPECT_LE(std::strcmp(s->name(), s->m_pNext->name()), 0);
        }
    }
    EXPECT_EQ(count, 5000);
}

TEST(Facts, DumpWritesSingleValuesListsAndBareAttributes)
{
    Cfact *f = factWith({{"a", "1"}, {"b", nullptr}});
    Csetting *list = new Csetting("c");
    appendValue(list, "x");
    appendValue(list, "y z");
    f->appendSetting(list);
    EXPECT_EQ(dumped(f), " { a=\"1\" b c=(\"x\" \"y z\") }");
    EXPECT_EQ(dumped(new Cfact("empty")), "");
}
