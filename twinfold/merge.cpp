#include "merge.h"

#include "support/text_hash.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

bool isOrderSetting(const Csetting *s)
{
    return s->name() != nullptr && std::strcmp(s->name(), "order") == 0;
}

// h with a field's text and an end mark after it folded in, so that the
// fields "ab", "c" and "a", "bc" hash apart.
uint64_t addField(uint64_t h, const char *text)
{
    return (support::fnvAdd(h, text) ^ 0xff) * support::fnvPrime;
}

// Equal for nodes whose attributes compareAttrs (with "order" passed over)
// finds equal; only such nodes can be twins.
uint64_t attributeHash(const Cfact *node, uint64_t h = support::fnvOffsetBasis)
{
    for (const Csetting *s = node->m_pFirstSetting; s; s = s->m_pNext) {
        if (isOrderSetting(s)) continue;
        h = addField(h, s->name());
        for (const Cvalue *v = s->m_pFirstValue; v; v = v->m_pNext) h = addField(h, v->name());
        h = addField(h, nullptr);
    }
    return h;
}

void pairEdges(CedgeFact *a, CedgeFact *b)
{
    a->m_pMatch = b;
    b->m_pMatch = a;
}

// A copy of source named by the next unique name, made the target of edge.
CinstanceFact *copyNode(CinstanceFact *source, Cglobal &global, CedgeFact *edge)
{
    CinstanceFact *copy = new CinstanceFact(global.unique_name());
    edge->connectTo(copy);
    if (source->m_pFirstSetting != nullptr) source->m_pFirstSetting->clone(copy->m_pFirstSetting);
    return copy;
}

CedgeFact *copyEdge(const CedgeFact *e)
{
    CedgeFact *copy = new CedgeFact(e->name());
    if (e->m_pFirstSetting != nullptr) e->m_pFirstSetting->clone(copy->m_pFirstSetting);
    copy->m_flags = e->m_flags;
    return copy;
}

uint64_t spread(uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Equal for an edge label and target attributes that compareAttrs (with
// "order" passed over) finds equal.
uint64_t candidateKey(const CedgeFact *e)
{
    uint64_t h = addField(support::fnvOffsetBasis, e->name());
    return e->m_pTo != nullptr ? attributeHash(e->m_pTo, h) : h;
}

// Without the union flag twins must hold the same facts. This hash is equal
// for nodes that same_tree can find equal, so that only those are compared:
// the node's attributes (but "order") and, for each out edge, its label and
// the attributes of its target, which the target's twin shares. It looks no
// deeper: a child may pair with one that has a second parent, and that one
// with the demoted edge the kept copy has to it, so what lies below a child
// does not show alike in both copies.
uint64_t contentsHash(const CinstanceFact *node)
{
    uint64_t sum = 0;
    for (const CedgeFact *e = node->m_pFirstOut; e; e = e->m_pOutNext) sum += spread(candidateKey(e));
    return spread(attributeHash(node) + sum);
}

}  // namespace

void timenow()
{
    std::time_t now = std::time(nullptr);
    char text[16] = "??:??:??";
    if (const std::tm *local = std::localtime(&now)) std::strftime(text, sizeof text, "%H:%M:%S", local);
    std::fprintf(stderr, "TwinFold: %s ", text);
    std::fflush(stderr);
}

size_t emit_attributes(const Cfact *node, char *buffer)
{
    size_t length = 0;
    auto put = [&](const char *text) {
        size_t n = std::strlen(text);
        if (buffer) std::memcpy(buffer + length, text, n);
        length += n;
    };
    auto putByte = [&](char c) {
        if (buffer) buffer[length] = c;
        ++length;
    };
    for (const Csetting *s = node->m_pFirstSetting; s; s = s->m_pNext) {
        put(s->name() ? s->name() : "");
        putByte('\0');
        for (const Cvalue *v = s->m_pFirstValue; v; v = v->m_pNext) {
            put(v->name() ? v->name() : "");
            putByte('\1');
        }
    }
    putByte('\0');
    return length;
}

void Cglobal::check_maxno(const char *name)
{
    if (name == nullptr || name[0] != '@') return;
    uint64_t value = 0;
    for (const char *p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9') return;
        unsigned digit = unsigned(*p - '0');
        // A number wider than 64 bits can never be spelt by a made name.
        if (value > (UINT64_MAX - digit) / 10) return;
        value = value * 10 + digit;
    }
    if (value > m_maxNo) m_maxNo = value;
}

const char *Cglobal::unique_name()
{
    if (m_maxNo == UINT64_MAX) {
        std::fputs("Cannot make a new node name: @18446744073709551615 is taken\n", stderr);
        std::exit(1);
    }
    ++m_maxNo;
    std::snprintf(m_lastName, sizeof m_lastName, "@%llu", static_cast<unsigned long long>(m_maxNo));
    return m_lastName;
}

void Cglobal::preprocessNode(CinstanceFact *node)
{
    if (node->isSchema()) return;
    if ((node->m_flags & kFlagFileNode) && node->m_pFirstSetting != nullptr) {
        size_t length = emit_attributes(node, nullptr);
        std::vector<char> key(length);
        if (emit_attributes(node, key.data()) != length) internalError("emit_attributes length");
        m_candidates.add(node, key.data());
    } else if (node->m_flags & kFlagFileName) {
        m_renames.add(node);
    }
}

void Cglobal::twinfold()
{
    m_deleted = 0;
    m_candidates.visitfirst(*this);
    m_candidates.discard();
    if (m_verbose >= 1) {
        timenow();
        std::fprintf(stderr, "Twinfold deleted %d subtrees\n", m_deleted);
    }
}

void Cglobal::visit(CinstanceFact *chainHead)
{
    std::vector<CinstanceFact *> chain;
    for (CinstanceFact *n = chainHead; n; n = n->m_pHashNext) chain.push_back(n);

    if (m_verbose >= 3) {
        std::fputs("Considering merging the following nodes:\n\n", m_pDump);
        for (CinstanceFact *n : chain)
            if (!n->isDead()) n->dump(m_pDump);
        std::fputs("-----\n\n", m_pDump);
    }

    // Only nodes with equal attributes can match, and without the union
    // flag only nodes whose edges lead alike: each p is compared with the
    // later nodes of its own group, in chain order, which is the order of the
    // comparisons that can succeed. (Nodes whose keys hash alike share a
    // group; their comparison fails.)
    auto groupKey = [&](const CinstanceFact *node) {
        return m_union ? attributeHash(node) : contentsHash(node);
    };
    std::unordered_map<uint64_t, size_t> groupOfKey;
    std::vector<std::vector<CinstanceFact *>> groups;
    std::vector<size_t> group(chain.size()), place(chain.size());
    for (size_t i = 0; i < chain.size(); ++i) {
        auto [it, added] = groupOfKey.try_emplace(groupKey(chain[i]), groups.size());
        if (added) groups.emplace_back();
        group[i] = it->second;
        place[i] = groups[it->second].size();
        groups[it->second].push_back(chain[i]);
    }

    for (size_t i = 0; i < chain.size(); ++i) {
        CinstanceFact *p = chain[i];
        // A node destroyed inside a deleted twin is no longer in the graph.
        if (p->isDead()) continue;
        int deleted = 0;
        const std::vector<CinstanceFact *> &twins = groups[group[i]];
        for (size_t k = place[i] + 1; k < twins.size(); ++k) {
            CinstanceFact *q = twins[k];
            if (q->isDead()) continue;
            // A header nested in its twin would be merged into itself.
            if (nested(p, q)) continue;
            int result = p->same_tree(q, *this);
            if (result == 1) continue;
            if (result != 0) internalError("same_tree result is 0 or 1");
            q->redirect_input_edges(p, *this);
            if (m_verbose >= 2) std::fprintf(stderr, "Deleting %s\n", q->name());
            ++m_deleted;
            ++deleted;
            q->destroy();
        }
        if (m_verbose >= 3) {
            std::fprintf(m_pDump, "%4d merged with ", deleted);
            p->dump(m_pDump);
        }
        const char *shortName = p->newName();
        if (shortName != nullptr && std::strcmp(shortName, p->name()) != 0) m_renames.add(p, shortName);
    }
}

namespace {

// The containment edges of a node of the kept subtree that the edges of its
// twin may pair with, in out-list order. A few are searched in turn; many are
// grouped by label and target attributes, since only an edge whose target
// has the attributes of the twin's target can pair.
class Ccandidates {
public:
    static constexpr size_t kScanned = 16;

    // Takes the containment edges of a, keeping the storage of the last.
    void reset(const CinstanceFact *a)
    {
        m_edges.clear();
        m_groups.clear();
        for (CedgeFact *e = a->firstChildEdge(); e; e = e->nextChildEdge()) m_edges.push_back(e);
        if (m_edges.size() > kScanned)
            for (uint32_t i = 0; i < m_edges.size(); ++i)
                m_groups[candidateKey(m_edges[i])].m_members.push_back(i);
    }

    // The first edge at or after the position from that is not paired yet
    // and may pair with eb; from is advanced to it. Null when none is left.
    CedgeFact *next(const CedgeFact *eb, size_t &from)
    {
        if (m_groups.empty()) {
            for (; from < m_edges.size(); ++from)
                if (mayPair(m_edges[from], eb)) return m_edges[from];
            return nullptr;
        }
        auto found = m_groups.find(candidateKey(eb));
        if (found == m_groups.end()) return nullptr;
        Cgroup &group = found->second;
        // Paired members at the front are passed over once for all.
        while (group.m_front < group.m_members.size() && m_edges[group.m_members[group.m_front]]->m_pMatch)
            ++group.m_front;
        for (from = std::max(from, group.m_front); from < group.m_members.size(); ++from)
            if (mayPair(m_edges[group.m_members[from]], eb)) return m_edges[group.m_members[from]];
        return nullptr;
    }

private:
    struct Cgroup {
        std::vector<uint32_t> m_members;
        size_t m_front = 0;
    };

    static bool mayPair(const CedgeFact *ea, const CedgeFact *eb)
    {
        return ea->m_pMatch == nullptr && std::strcmp(ea->name(), eb->name()) == 0 && ea->m_pTo != nullptr &&
               eb->m_pTo != nullptr && ea->m_pTo->compareAttrs(eb->m_pTo, true) == 0;
    }

    std::vector<CedgeFact *> m_edges;
    std::unordered_map<uint64_t, Cgroup> m_groups;
};

void stampTwin(CinstanceFact *b, CinstanceFact *a, const Cglobal &global)
{
    b->m_pTwin = a;
    b->m_twinGeneration = global.m_generation;
}

// The node of the kept subtree that stands for node in this comparison:
// its twin when it lies in the compared subtree, else node itself.
CinstanceFact *twinOf(CinstanceFact *node, const Cglobal &global)
{
    if (node != nullptr && node->m_twinGeneration == global.m_generation && node->m_pTwin != nullptr)
        return node->m_pTwin;
    return node;
}

void keepAttributesOf(CedgeFact *kept, CedgeFact *duplicate)
{
    if (kept->m_pFirstSetting == nullptr && duplicate->m_pFirstSetting != nullptr)
        duplicate->m_pFirstSetting->clone(kept->m_pFirstSetting);
}

}  // namespace

bool Cglobal::nested(const CinstanceFact *a, const CinstanceFact *b) const
{
    if (!m_treeMoved) return a->containsInTree(b) || b->containsInTree(a);
    return a->isAncestorOf(b) || b->isAncestorOf(a);
}

void Cglobal::moveEdgeTo(CedgeFact *edge, CinstanceFact *to)
{
    CedgeFact *known = m_edges.find(edge->m_pFrom, edge->name(), to);
    if (known != nullptr && known != edge) {
        keepAttributesOf(known, edge);
        edge->destroy();
        return;
    }
    edge->connectTo(to);
    m_edges.add(edge);
}

// Compares the subtree of B with that of A, its twin candidate, in two
// phases. The first pairs the containment edges: each edge of a B node, in
// out-list order, with the first edge of its A twin not yet paired that has
// the same label and whose target's subtree matches (in union mode after A's
// is extended); an edge to the very same node (a node that both copies hold,
// contained by one of them and by a demoted edge of the other) pairs with no
// comparison. Every B node thereby learns its A twin. The second phase checks
// the other edges: an edge of a B node must be in its A twin's out list with
// the same label and the twin of its target; in union mode a missing one is
// added. Edges inside one copy thus meet their counterparts in the other, and
// nothing is ever doubled. Without the union flag every pair of twins must
// hold as many edges, so the two subtrees hold the same facts. Its frames and
// lists are kept from one comparison to the next.
class CsubtreeComparison {
public:
    explicit CsubtreeComparison(Cglobal &global) : m_global(global) {}

    // Phase one: true when every containment edge of B's subtree pairs.
    bool pairContainment(CinstanceFact *a, CinstanceFact *b);
    // Phase two: true when every other edge of B's subtree joins twins in
    // A's, or was added there.
    bool pairOtherEdges(CinstanceFact *b);

private:
    // What a frame waits for: the comparison of its edge's target with a
    // candidate's, or with a copy of itself made in union mode.
    enum class Cwait { kNothing, kCandidate, kCopy };
    // The comparison of one A node with one B node.
    struct Cframe {
        CinstanceFact *m_pA = nullptr;
        CinstanceFact *m_pB = nullptr;
        CedgeFact *m_pEb = nullptr;  // containment edge of B being paired
        Ccandidates m_candidates;
        size_t m_next = 0;           // candidate position to try next for m_pEb
        CedgeFact *m_pEa = nullptr;  // candidate under comparison, or the copy
        Cwait m_wait = Cwait::kNothing;
    };

    // Begins comparing a with b: true when a frame was opened for it, false
    // when the comparison was decided at once (matched then tells how).
    bool open(CinstanceFact *a, CinstanceFact *b, bool &matched);
    // Pairs the frame's next containment edge, or begins the comparison that
    // decides it; a frame with no edge left is closed as matched.
    void pairNextEdge(Cframe &f, bool &matched);
    // Takes the end of the comparison the frame waited for; false when the
    // frame fails with it.
    bool takeResult(Cframe &f, bool matched);
    void waitFor(Cframe &f, Cwait what, CedgeFact *ea, bool &matched);
    void pairWith(Cframe &f, CedgeFact *ea);

    Cglobal &m_global;
    std::vector<Cframe> m_frames;
    size_t m_depth = 0;
    std::vector<CinstanceFact *> m_pending;
};

bool CsubtreeComparison::open(CinstanceFact *a, CinstanceFact *b, bool &matched)
{
    matched = a == b;
    if (a == b || a == nullptr || b == nullptr || a->compareAttrs(b, true)) return false;
    for (CedgeFact *e = a->m_pFirstOut; e; e = e->m_pOutNext) e->m_pMatch = nullptr;
    if (!m_global.m_union && a->m_outDegree != b->m_outDegree) return false;
    stampTwin(b, a, m_global);
    if (m_depth == m_frames.size()) m_frames.emplace_back();
    Cframe &f = m_frames[m_depth++];
    f.m_pA = a;
    f.m_pB = b;
    f.m_pEb = b->firstChildEdge();
    f.m_candidates.reset(a);
    f.m_next = 0;
    f.m_pEa = nullptr;
    f.m_wait = Cwait::kNothing;
    return true;
}

bool CsubtreeComparison::pairContainment(CinstanceFact *a, CinstanceFact *b)
{
    m_depth = 0;
    bool matched;
    if (!open(a, b, matched)) return matched;
    while (m_depth > 0) {
        Cframe &f = m_frames[m_depth - 1];
        if (f.m_wait != Cwait::kNothing && !takeResult(f, matched)) {
            --m_depth;
            continue;
        }
        pairNextEdge(f, matched);
    }
    return matched;
}

void CsubtreeComparison::pairNextEdge(Cframe &f, bool &matched)
{
    CedgeFact *eb = f.m_pEb;
    if (eb == nullptr) {
        matched = true;
        --m_depth;
        return;
    }
    if (eb->m_pTo == nullptr) {
        f.m_pEb = eb->nextChildEdge();
        return;
    }
    CedgeFact *same = m_global.m_edges.find(f.m_pA, eb->name(), eb->m_pTo);
    if (same != nullptr && same->m_pMatch == nullptr) {
        stampTwin(eb->m_pTo, eb->m_pTo, m_global);
        pairWith(f, same);
        return;
    }
    if (CedgeFact *ea = f.m_candidates.next(eb, f.m_next)) {
        waitFor(f, Cwait::kCandidate, ea, matched);
        return;
    }
    if (!m_global.m_union) {
        matched = false;
        --m_depth;
        return;
    }
    waitFor(f, Cwait::kCopy, CedgeFact::cloneTo(eb, m_global, f.m_pA), matched);
}

void CsubtreeComparison::waitFor(Cframe &f, Cwait what, CedgeFact *ea, bool &matched)
{
    f.m_pEa = ea;
    f.m_wait = what;
    // Opening a frame may move the frames: f is not used after it.
    open(ea->m_pTo, f.m_pEb->m_pTo, matched);
}

bool CsubtreeComparison::takeResult(Cframe &f, bool matched)
{
    Cwait waited = f.m_wait;
    f.m_wait = Cwait::kNothing;
    if (matched)
        pairWith(f, f.m_pEa);
    else if (waited == Cwait::kCandidate)
        ++f.m_next;
    // A copy that does not match its original fails the frame.
    return matched || waited == Cwait::kCandidate;
}

void CsubtreeComparison::pairWith(Cframe &f, CedgeFact *ea)
{
    pairEdges(ea, f.m_pEb);
    f.m_pEb = f.m_pEb->nextChildEdge();
    f.m_next = 0;
}

bool CsubtreeComparison::pairOtherEdges(CinstanceFact *other)
{
    // Pair of twins by pair of twins.
    m_pending.assign(1, other);
    while (!m_pending.empty()) {
        CinstanceFact *b = m_pending.back();
        m_pending.pop_back();
        CinstanceFact *a = twinOf(b, m_global);
        if (a == b) continue;
        for (CedgeFact *eb = b->m_pFirstOut; eb; eb = eb->m_pOutNext) {
            if (eb->isTree()) {
                if (eb->m_pTo != nullptr) m_pending.push_back(eb->m_pTo);
                continue;
            }
            CinstanceFact *target = twinOf(eb->m_pTo, m_global);
            if (target == nullptr || m_global.m_edges.find(a, eb->name(), target) != nullptr) continue;
            if (!m_global.m_union) return false;
            // A node keeps the class it has; a twin of another class is
            // merged into it all the same, and the user is told.
            if (eb->isInstance()) {
                if (const CedgeFact *kept = a->classEdge()) {
                    std::fprintf(stderr, "Twins of %s differ in class: %s kept, %s dropped\n", a->name(),
                                 kept->m_pTo->name(), target->name());
                    continue;
                }
            }
            CedgeFact *copy = copyEdge(eb);
            copy->connectTo(target);
            copy->connectFrom(a);
            m_global.m_edges.add(copy);
        }
    }
    return true;
}

Cglobal::Cglobal(int verbosity, bool unionHeaders)
    : m_verbose(verbosity), m_union(unionHeaders), m_pComparison(std::make_unique<CsubtreeComparison>(*this))
{
}

Cglobal::~Cglobal() = default;

void Cglobal::startComparison()
{
    if (++m_generation == 0) {
        // After 2^32 comparisons the numbers come round: no stamp of an
        // earlier comparison may be taken for one of this.
        if (m_pRoot != nullptr) walkTree(m_pRoot, [](CinstanceFact *node) { node->m_twinGeneration = 0; });
        m_generation = 1;
    }
}

int CinstanceFact::same_tree(CinstanceFact *other, Cglobal &global)
{
    if (this == other) return 0;
    if (other == nullptr) return 1;
    global.startComparison();
    CsubtreeComparison &comparison = *global.m_pComparison;
    if (!comparison.pairContainment(this, other) || !comparison.pairOtherEdges(other)) return 1;
    return 0;
}

void CinstanceFact::redirect_input_edges(CinstanceFact *kept, Cglobal &global)
{
    if (kept == nullptr) internalError("pOther");
    struct Cframe {
        CinstanceFact *m_pFrom;
        CinstanceFact *m_pTo;
        CedgeFact *m_pNextChild;
    };
    std::vector<Cframe> stack;
    auto enter = [&](CinstanceFact *q, CinstanceFact *p) {
        for (CedgeFact *e = q->firstInEdge(); e;) {
            CedgeFact *next = e->nextInEdge();
            global.moveEdgeTo(e, p);
            e = next;
        }
        stack.push_back({q, p, q->firstChildEdge()});
    };
    enter(this, kept);
    while (!stack.empty()) {
        Cframe &f = stack.back();
        CedgeFact *e = f.m_pNextChild;
        if (e == nullptr) {
            stack.pop_back();
            continue;
        }
        f.m_pNextChild = e->nextChildEdge();
        CedgeFact *partner = e->m_pMatch;
        if (partner == nullptr) internalError("pEdge1");
        if (partner->m_pTo == e->m_pTo) {
            // A node both copies hold stays: the kept copy's edge to it
            // becomes its containment, and it leaves the deleted copy.
            partner->m_flags |= kFlagTreeEdge;
            e->m_flags &= ~kFlagTreeEdge;
            global.m_treeMoved = true;
            continue;
        }
        enter(e->m_pTo, partner->m_pTo);
    }
}

CinstanceFact *CinstanceFact::clone(CinstanceFact *source, Cglobal &global, CedgeFact *edge)
{
    // Depth first on an explicit stack, in the order a recursive copy would
    // take: names are handed out in that order and show in the output.
    struct Cframe {
        CinstanceFact *m_pSource;
        CinstanceFact *m_pCopy;
        CedgeFact *m_pNext;     // next out edge of the source to copy
        CedgeFact *m_pPending;  // copied tree edge waiting for its subtree
    };
    CinstanceFact *top = copyNode(source, global, edge);
    std::vector<Cframe> stack{{source, top, source->m_pFirstOut, nullptr}};
    while (!stack.empty()) {
        Cframe &f = stack.back();
        if (f.m_pPending != nullptr) {
            f.m_pPending->connectFrom(f.m_pCopy);
            global.m_edges.add(f.m_pPending);
            f.m_pPending = nullptr;
            f.m_pNext = f.m_pNext->m_pOutNext;
        }
        if (f.m_pNext != nullptr) {
            CedgeFact *e = f.m_pNext;
            CedgeFact *copy = copyEdge(e);
            if (e->isTree() && e->m_pTo != nullptr) {
                f.m_pPending = copy;
                CinstanceFact *child = copyNode(e->m_pTo, global, copy);
                stack.push_back({e->m_pTo, child, e->m_pTo->m_pFirstOut, nullptr});
            } else {
                copy->connectTo(e->m_pTo);
                copy->connectFrom(f.m_pCopy);
                global.m_edges.add(copy);
                f.m_pNext = e->m_pOutNext;
            }
            continue;
        }
        for (CedgeFact *e = f.m_pSource->firstInEdge(); e; e = e->nextInEdge())
            CedgeFact::cloneFrom(e, global, f.m_pCopy);
        stack.pop_back();
    }
    return top;
}

CedgeFact *CedgeFact::cloneTo(CedgeFact *eb, Cglobal &global, CinstanceFact *a)
{
    CedgeFact *copy = copyEdge(eb);
    if (eb->isTree() && eb->m_pTo != nullptr)
        CinstanceFact::clone(eb->m_pTo, global, copy);
    else
        copy->connectTo(eb->m_pTo);
    copy->connectFrom(a);
    global.m_edges.add(copy);
    return copy;
}

CedgeFact *CedgeFact::cloneFrom(CedgeFact *e, Cglobal &global, CinstanceFact *t)
{
    CedgeFact *copy = copyEdge(e);
    copy->connectFrom(e->m_pFrom);
    copy->connectTo(t);
    global.m_edges.add(copy);
    return copy;
}

const char *CinstanceFact::newName() const
{
    static char buffer[2048];
    const char *s = name();
    if (s == nullptr) return nullptr;
    if (std::strncmp(s, "@0.FILE.", 8) == 0)
        s += 8;
    else if (std::strncmp(s, "@FILE.", 6) == 0)
        s += 6;
    size_t length = 0;
    for (size_t i = 0; s[i] != '\0' && length == 0; ++i) {
        if (s[i] != '.' || i <= 2) continue;
        if (i == 5 && std::strncmp(s + 1, ".cpp", 4) == 0)
            length = 5;
        else if ((i == 4 || i == 5) &&
                 (std::strncmp(s + i - 3, ".cc", 3) == 0 || std::strncmp(s + i - 3, ".CC", 3) == 0))
            length = i;
        else if (s[i - 2] == '.' && (s[i - 1] == 'h' || s[i - 1] == 'c' || s[i - 1] == 'C'))
            length = i;
    }
    if (length == 0 || length + 7 > sizeof buffer) return nullptr;
    std::memcpy(buffer, "@FILE.", 6);
    std::memcpy(buffer + 6, s, length);
    buffer[6 + length] = '\0';
    return buffer;
}

void Crename::rename(Cglobal &global)
{
    m_count = 0;
    if (global.m_verbose >= 1) {
        timenow();
        std::fputs("Renaming started\n", stderr);
    }
    m_liveNames.clear();
    if (global.m_pRoot != nullptr)
        walkTree(global.m_pRoot, [&](CinstanceFact *node) { m_liveNames.insert(node->name()); });
    global.m_renames.visitfirst(*this);
    m_liveNames.clear();
    if (global.m_verbose >= 1) {
        timenow();
        std::fprintf(stderr, "Renamed %d nodes\n", m_count);
    }
}

void Crename::visit(CinstanceFact *chainHead)
{
    for (CinstanceFact *v = chainHead; v; v = v->m_pHashNext) {
        if (v->isDead() || !(v->m_flags & kFlagFileNode)) continue;
        const char *shortName = v->newName();
        if (shortName == nullptr || m_liveNames.count(shortName) != 0) continue;
        m_liveNames.erase(v->name());
        v->rename(shortName);
        m_liveNames.insert(v->name());
        ++m_count;
    }
}
