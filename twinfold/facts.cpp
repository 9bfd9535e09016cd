#include "facts.h"

#include "tagged_table.h"
#include "tatext.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct CedgeType {
    int m_type;
    const char *m_pLabel;
};

// Edge types by label; the list ends with an empty entry.
const CedgeType kEdgeTypes[] = {
    {3, "contain"},
    {0, nullptr},
};

const char *firstValueText(const Csetting *s)
{
    return s->m_pFirstValue ? s->m_pFirstValue->name() : nullptr;
}

bool isOrder(const Csetting *s)
{
    return s->name() != nullptr && std::strcmp(s->name(), "order") == 0;
}

int compareNames(const Csetting *a, const Csetting *b)
{
    return std::strcmp(a->name() ? a->name() : "", b->name() ? b->name() : "");
}

// Selection sort by exchange: position i takes the first smallest attribute
// among those from i on. A tournament tree finds that attribute in
// logarithmic time, so long chains sort in n log n with the same result.
void selectionSortByName(std::vector<Csetting *> &items)
{
    size_t n = items.size();
    size_t width = 1;
    while (width < n) width *= 2;
    std::vector<long> tree(2 * width, -1);
    auto better = [&](long x, long y) {
        if (x < 0) return y;
        if (y < 0) return x;
        int c = compareNames(items[size_t(x)], items[size_t(y)]);
        if (c != 0) return c < 0 ? x : y;
        return x < y ? x : y;
    };
    auto update = [&](size_t position, long value) {
        size_t at = width + position;
        tree[at] = value;
        for (at /= 2; at >= 1; at /= 2) tree[at] = better(tree[2 * at], tree[2 * at + 1]);
    };
    for (size_t i = 0; i < n; ++i) tree[width + i] = long(i);
    for (size_t at = width - 1; at >= 1; --at) tree[at] = better(tree[2 * at], tree[2 * at + 1]);
    for (size_t i = 0; i < n; ++i) {
        size_t j = size_t(tree[1]);
        std::swap(items[i], items[j]);
        update(i, -1);
        if (j != i) update(j, long(j));
    }
}

}  // namespace

int getEdgetype(const char *label)
{
    if (label == nullptr) return 0;
    for (const CedgeType *t = kEdgeTypes; t->m_pLabel != nullptr; ++t)
        if (std::strcmp(t->m_pLabel, label) == 0) return t->m_type;
    return 0;
}

int compareString(const char *a, const char *b)
{
    if (a == b) return 0;
    if (a == nullptr || b == nullptr) return 1;
    return std::strcmp(a, b) != 0 ? 1 : 0;
}

void internalError(const char *what)
{
    std::fprintf(stderr, "Assertion failed: %s\n", what);
    std::exit(1);
}

const char *sharedText(const char *text)
{
    static CtaggedTable<char> texts;
    // An edge is mostly made with the label its statement was looked up by.
    static const char *last = nullptr;
    // The texts live in the graph arena and go when it is released.
    static size_t releases = 0;
    if (releases != graphArena().releases()) {
        texts = CtaggedTable<char>();
        last = nullptr;
        releases = graphArena().releases();
    }
    if (text == last) return last;
    uint32_t hash = hashText(text);
    if (char *known = texts.find(hash, [&](const char *held) { return std::strcmp(held, text) == 0; }))
        return last = known;
    Cref<char> copy;
    saveString(&copy, text);
    texts.insert(hash, copy);
    return last = copy;
}

void CnamedObject::rename(const char *newName)
{
    if (m_pName != nullptr && newName != nullptr && std::strlen(m_pName) >= std::strlen(newName))
        std::memmove(m_pName, newName, std::strlen(newName) + 1);
    else
        saveString(&m_pName, newName);
}

void Csetting::value(const char *text)
{
    if (m_pFirstValue == nullptr)
        m_pFirstValue = new Cvalue(text);
    else
        saveString(&m_pFirstValue->m_pName, text);
}

void Csetting::clone(Cref<Csetting> &out) const
{
    Cref<Csetting> *link = &out;
    for (const Csetting *s = this; s; s = s->m_pNext) {
        Csetting *copy = new Csetting(s->name());
        Cref<Cvalue> *valueLink = &copy->m_pFirstValue;
        for (const Cvalue *v = s->m_pFirstValue; v; v = v->m_pNext) {
            *valueLink = new Cvalue(v->name());
            valueLink = &(*valueLink)->m_pNext;
        }
        *link = copy;
        link = &copy->m_pNext;
    }
}

int Csetting::compare(const Csetting *other) const
{
    if (this == other) return 0;
    if (other == nullptr) return 1;
    if (compareString(name(), other->name())) return 1;
    // Every value counts: two lists that differ anywhere are different.
    const Cvalue *a = m_pFirstValue;
    const Cvalue *b = other->m_pFirstValue;
    if (a == nullptr || b == nullptr) return compareString(firstValueText(this), firstValueText(other));
    for (; a && b; a = a->m_pNext, b = b->m_pNext)
        if (compareString(a->name(), b->name())) return 1;
    return (a == nullptr && b == nullptr) ? 0 : 1;
}

void Csetting::dump1(FILE *stream) const
{
    std::putc(' ', stream);
    putName(stream, name());
    if (m_pFirstValue == nullptr) return;
    std::putc('=', stream);
    if (m_pFirstValue->m_pNext == nullptr) {
        putValue(stream, m_pFirstValue->name());
        return;
    }
    std::putc('(', stream);
    for (const Cvalue *v = m_pFirstValue; v; v = v->m_pNext) {
        if (v != m_pFirstValue) std::putc(' ', stream);
        putValue(stream, v->name());
    }
    std::putc(')', stream);
}

int Cfact::compareAttrs(const Cfact *other, bool skipOrder) const
{
    const Csetting *a = m_pFirstSetting;
    const Csetting *b = other->m_pFirstSetting;
    for (;;) {
        if (skipOrder) {
            while (a && isOrder(a)) a = a->m_pNext;
            while (b && isOrder(b)) b = b->m_pNext;
        }
        if (a == nullptr || b == nullptr) return (a == nullptr && b == nullptr) ? 0 : 1;
        if (a->compare(b)) return 1;
        a = a->m_pNext;
        b = b->m_pNext;
    }
}

void Cfact::compactAttributes()
{
    if (m_pFirstSetting == nullptr) return;
    bool sorted = true;
    for (const Csetting *s = m_pFirstSetting; s->m_pNext; s = s->m_pNext)
        if (compareNames(s, s->m_pNext) > 0) {
            sorted = false;
            break;
        }
    // On a chain already in order every position keeps its own attribute.
    if (sorted) return;
    std::vector<Csetting *> items;
    for (Csetting *s = m_pFirstSetting; s; s = s->m_pNext) items.push_back(s);
    selectionSortByName(items);
    for (size_t i = 0; i + 1 < items.size(); ++i) items[i]->m_pNext = items[i + 1];
    items.back()->m_pNext = nullptr;
    m_pFirstSetting = items.front();
}

void Cfact::appendSetting(Csetting *setting)
{
    Cref<Csetting> *link = &m_pFirstSetting;
    while (*link != nullptr) link = &(*link)->m_pNext;
    *link = setting;
}

void Cfact::dump(FILE *stream) const
{
    if (m_pFirstSetting == nullptr) return;
    std::fputs(" {", stream);
    for (const Csetting *s = m_pFirstSetting; s; s = s->m_pNext) s->dump1(stream);
    std::fputs(" }", stream);
}

void CinstanceFact::dump(FILE *stream) const
{
    putName(stream, name());
    std::putc(' ', stream);
    Cfact::dump(stream);
    std::putc('\n', stream);
}

CedgeFact::CedgeFact(const char *label) : Cfact(label, Cname::kShared)
{
    int type = getEdgetype(label);
    if (type == 2 || type == 3) m_flags |= kFlagTreeEdge;
}

bool CedgeFact::isInstance() const
{
    return name() != nullptr && std::strcmp(name(), "$INSTANCE") == 0;
}

void CedgeFact::removeFrom()
{
    if (m_ppOutPrev == nullptr) return;
    if (m_pFrom == nullptr) internalError("m_pFrom");
    if (*m_ppOutPrev != this) internalError("*ppOutPrev == this");
    if (m_pOutNext != nullptr && m_pOutNext->m_ppOutPrev != &m_pOutNext)
        internalError("m_pOutNext->m_ppOutPrev == &m_pOutNext");
    *m_ppOutPrev = m_pOutNext;
    if (m_pOutNext != nullptr) m_pOutNext->m_ppOutPrev = m_ppOutPrev;
    --m_pFrom->m_outDegree;
    m_ppOutPrev = nullptr;
    m_pOutNext = nullptr;
    m_pFrom = nullptr;
}

void CedgeFact::removeTo()
{
    if (m_ppInPrev == nullptr) return;
    if (m_pTo == nullptr) internalError("m_pTo");
    if (*m_ppInPrev != this) internalError("*ppInPrev == this");
    if (m_pInNext != nullptr && m_pInNext->m_ppInPrev != &m_pInNext)
        internalError("m_pInNext->m_ppInPrev == &m_pInNext");
    *m_ppInPrev = m_pInNext;
    if (m_pInNext != nullptr) m_pInNext->m_ppInPrev = m_ppInPrev;
    --m_pTo->m_inDegree;
    m_ppInPrev = nullptr;
    m_pInNext = nullptr;
    m_pTo = nullptr;
}

void CedgeFact::connectFrom(CinstanceFact *node)
{
    if (node == m_pFrom && m_ppOutPrev != nullptr) return;
    removeFrom();
    if (node == nullptr) return;
    m_pOutNext = node->m_pFirstOut;
    if (m_pOutNext != nullptr) m_pOutNext->m_ppOutPrev = &m_pOutNext;
    node->m_pFirstOut = this;
    ++node->m_outDegree;
    m_ppOutPrev = &node->m_pFirstOut;
    m_pFrom = node;
}

void CedgeFact::connectTo(CinstanceFact *node)
{
    if (node == m_pTo && m_ppInPrev != nullptr) return;
    removeTo();
    if (node == nullptr) return;
    m_pInNext = node->m_pFirstIn;
    if (m_pInNext != nullptr) m_pInNext->m_ppInPrev = &m_pInNext;
    node->m_pFirstIn = this;
    ++node->m_inDegree;
    m_ppInPrev = &node->m_pFirstIn;
    m_pTo = node;
}

void CedgeFact::destroy()
{
    removeFrom();
    removeTo();
}

CedgeFact *CinstanceFact::firstOutEdge() const
{
    CedgeFact *e = m_pFirstOut;
    while (e && e->isTree()) e = e->m_pOutNext;
    return e;
}

CedgeFact *CedgeFact::nextOutEdge() const
{
    CedgeFact *e = m_pOutNext;
    while (e && e->isTree()) e = e->m_pOutNext;
    return e;
}

CedgeFact *CinstanceFact::firstInEdge() const
{
    CedgeFact *e = m_pFirstIn;
    while (e && e->isTree()) e = e->m_pInNext;
    return e;
}

CedgeFact *CedgeFact::nextInEdge() const
{
    CedgeFact *e = m_pInNext;
    while (e && e->isTree()) e = e->m_pInNext;
    return e;
}

CedgeFact *CinstanceFact::firstChildEdge() const
{
    CedgeFact *e = m_pFirstOut;
    while (e && !e->isTree()) e = e->m_pOutNext;
    return e;
}

CedgeFact *CedgeFact::nextChildEdge() const
{
    CedgeFact *e = m_pOutNext;
    while (e && !e->isTree()) e = e->m_pOutNext;
    return e;
}

int CinstanceFact::children() const
{
    int count = 0;
    for (CedgeFact *e = firstChildEdge(); e; e = e->nextChildEdge()) ++count;
    return count;
}

CedgeFact *CinstanceFact::parentEdge() const
{
    for (CedgeFact *e = m_pFirstIn; e; e = e->m_pInNext)
        if (e->isTree()) return e;
    return nullptr;
}

const CedgeFact *CinstanceFact::classEdge() const
{
    for (const CedgeFact *e = firstOutEdge(); e; e = e->nextOutEdge())
        if (e->isInstance() && e->m_pTo != nullptr) return e;
    return nullptr;
}

bool CinstanceFact::containsInTree(const CinstanceFact *node) const
{
    return node->m_treeEnter >= m_treeEnter && node->m_treeEnter <= m_treeLeave;
}

bool CinstanceFact::isAncestorOf(const CinstanceFact *node) const
{
    // The tree check refused cycles, and a merge only moves a node under a
    // node outside its own subtree, so the walk reaches a root.
    for (const CinstanceFact *at = node; at != nullptr;) {
        if (at == this) return true;
        const CedgeFact *up = at->parentEdge();
        at = up ? up->m_pFrom : nullptr;
    }
    return false;
}

void CinstanceFact::destroy()
{
    // Depth first without recursion: a node leaves the stack once its out
    // list is empty; a tree child goes first and takes its edge with it.
    std::vector<CinstanceFact *> stack{this};
    while (!stack.empty()) {
        CinstanceFact *node = stack.back();
        CedgeFact *head = node->m_pFirstOut;
        if (head != nullptr) {
            if (head->isTree() && head->m_pTo != nullptr && head->m_pTo != node)
                stack.push_back(head->m_pTo);
            else
                head->destroy();
            continue;
        }
        while (node->m_pFirstIn != nullptr) node->m_pFirstIn->destroy();
        node->m_flags |= kFlagDead;
        stack.pop_back();
    }
}
