#include "merge.h"

#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

bool isOrderSetting(const Csetting* s)
{
    return s->name() != nullptr && std::strcmp(s->name(), "order") == 0;
}

// Key under which nodes whose attributes compareAttrs (with "order" passed
// over) finds equal always meet; only such nodes can be twins.
std::string twinKey(const Cfact* node)
{
    std::string key;
    for (const Csetting* s = node->m_pFirstSetting; s; s = s->m_pNext) {
        if (isOrderSetting(s))
            continue;
        key += s->name() ? s->name() : "";
        key += '\0';
        for (const Cvalue* v = s->m_pFirstValue; v; v = v->m_pNext) {
            key += v->name() ? v->name() : "";
            key += '\1';
        }
        key += '\2';
    }
    return key;
}

void pairEdges(CedgeFact* a, CedgeFact* b)
{
    a->m_pMatch = b;
    b->m_pMatch = a;
}

// A copy of source named by the next unique name, made the target of edge.
CinstanceFact* copyNode(CinstanceFact* source, Cglobal& global, CedgeFact* edge)
{
    CinstanceFact* copy = new CinstanceFact(global.unique_name());
    edge->connectTo(copy);
    if (source->m_pFirstSetting != nullptr)
        source->m_pFirstSetting->clone(copy->m_pFirstSetting);
    return copy;
}

CedgeFact* copyEdge(const CedgeFact* e)
{
    CedgeFact* copy = new CedgeFact(e->name());
    if (e->m_pFirstSetting != nullptr)
        e->m_pFirstSetting->clone(copy->m_pFirstSetting);
    copy->m_flags = e->m_flags;
    return copy;
}

template <typename Visit>
void walkTree(CinstanceFact* root, Visit visit)
{
    std::vector<CinstanceFact*> stack{root};
    while (!stack.empty()) {
        CinstanceFact* node = stack.back();
        stack.pop_back();
        visit(node);
        for (CedgeFact* e = node->firstChildEdge(); e; e = e->nextChildEdge())
            if (e->m_pTo != nullptr)
                stack.push_back(e->m_pTo);
    }
}

} // namespace

void timenow()
{
    std::time_t now = std::time(nullptr);
    char text[16] = "??:??:??";
    if (const std::tm* local = std::localtime(&now))
        std::strftime(text, sizeof text, "%H:%M:%S", local);
    std::fprintf(stderr, "TwinFold: %s ", text);
    std::fflush(stderr);
}

size_t emit_attributes(const Cfact* node, char* buffer)
{
    size_t length = 0;
    auto put = [&](const char* text) {
        size_t n = std::strlen(text);
        if (buffer)
            std::memcpy(buffer + length, text, n);
        length += n;
    };
    auto putByte = [&](char c) {
        if (buffer)
            buffer[length] = c;
        ++length;
    };
    for (const Csetting* s = node->m_pFirstSetting; s; s = s->m_pNext) {
        put(s->name() ? s->name() : "");
        putByte('\0');
        for (const Cvalue* v = s->m_pFirstValue; v; v = v->m_pNext) {
            put(v->name() ? v->name() : "");
            putByte('\1');
        }
    }
    putByte('\0');
    return length;
}

void Cglobal::check_maxno(const char* name)
{
    if (name == nullptr || name[0] != '@')
        return;
    uint64_t value = 0;
    for (const char* p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9')
            return;
        unsigned digit = unsigned(*p - '0');
        // A number wider than 64 bits can never be spelt by a made name.
        if (value > (UINT64_MAX - digit) / 10)
            return;
        value = value * 10 + digit;
    }
    if (value > m_maxNo)
        m_maxNo = value;
}

const char* Cglobal::unique_name()
{
    if (m_maxNo == UINT64_MAX) {
        std::fputs("Cannot make a new node name: @18446744073709551615 is taken\n", stderr);
        std::exit(1);
    }
    ++m_maxNo;
    std::snprintf(m_lastName, sizeof m_lastName, "@%llu", static_cast<unsigned long long>(m_maxNo));
    return m_lastName;
}

void Cglobal::preprocessNode(CinstanceFact* node)
{
    if (node->isSchema())
        return;
    if ((node->m_flags & kFlagFileNode) && node->m_pFirstSetting != nullptr) {
        size_t length = emit_attributes(node, nullptr);
        std::vector<char> key(length);
        if (emit_attributes(node, key.data()) != length)
            internalError("emit_attributes length");
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

void Cglobal::visit(CinstanceFact* chainHead)
{
    std::vector<CinstanceFact*> chain;
    for (CinstanceFact* n = chainHead; n; n = n->m_pHashNext)
        chain.push_back(n);

    if (m_verbose >= 3) {
        std::fputs("Considering merging the following nodes:\n\n", m_pDump);
        for (CinstanceFact* n : chain)
            if (!n->isDead())
                n->dump(m_pDump);
        std::fputs("-----\n\n", m_pDump);
    }

    // Only nodes with equal attributes can match: each p is compared with
    // the later nodes of its own group, in chain order, which is the order
    // of the comparisons that can succeed.
    std::unordered_map<std::string, size_t> groupOfKey;
    std::vector<std::vector<CinstanceFact*>> groups;
    std::vector<size_t> group(chain.size()), place(chain.size());
    for (size_t i = 0; i < chain.size(); ++i) {
        auto [it, added] = groupOfKey.try_emplace(twinKey(chain[i]), groups.size());
        if (added)
            groups.emplace_back();
        group[i] = it->second;
        place[i] = groups[it->second].size();
        groups[it->second].push_back(chain[i]);
    }

    for (size_t i = 0; i < chain.size(); ++i) {
        CinstanceFact* p = chain[i];
        // A node destroyed inside a deleted twin is no longer in the graph.
        if (p->isDead())
            continue;
        int deleted = 0;
        const std::vector<CinstanceFact*>& twins = groups[group[i]];
        for (size_t k = place[i] + 1; k < twins.size(); ++k) {
            CinstanceFact* q = twins[k];
            if (q->isDead())
                continue;
            // A header nested in its twin would be merged into itself.
            if (p->containsInTree(q) || q->containsInTree(p))
                continue;
            int result = p->same_tree(q, *this);
            if (result == 1)
                continue;
            if (result != 0)
                internalError("same_tree result is 0 or 1");
            q->redirect_input_edges(p);
            if (m_verbose >= 2)
                std::fprintf(stderr, "Deleting %s\n", q->name());
            ++m_deleted;
            ++deleted;
            q->destroy();
        }
        if (m_verbose >= 3) {
            std::fprintf(m_pDump, "%4d merged with ", deleted);
            p->dump(m_pDump);
        }
        const char* shortName = p->newName();
        if (shortName != nullptr && std::strcmp(shortName, p->name()) != 0)
            m_renames.add(p, shortName);
    }
}

int CinstanceFact::same_tree(CinstanceFact* other, Cglobal& global)
{
    // The comparison runs on an explicit stack, so that subtree depth never
    // exhausts the call stack; each frame is one pending (A, B) comparison.
    enum Cstate { kSearch, kWaitCandidate, kWaitClone };
    struct Cframe {
        CinstanceFact* m_pA;
        CinstanceFact* m_pB;
        CedgeFact* m_pEb;     // edge of B being paired
        CedgeFact* m_pEa;     // candidate partner in A
        CedgeFact* m_pClone;  // clone made for m_pEb
        Cstate m_state;
    };
    std::vector<Cframe> stack;

    // Starts comparing a with b: 0 or 1 when that is decided at once, -1
    // when a frame was pushed.
    auto enter = [&](CinstanceFact* a, CinstanceFact* b) -> int {
        if (a == b)
            return 0;
        if (a == nullptr || b == nullptr)
            return 1;
        if (a->compareAttrs(b, true))
            return 1;
        if (!global.m_union && a->children() != b->children())
            return 1;
        for (CedgeFact* e = a->m_pFirstOut; e; e = e->m_pOutNext)
            e->m_pMatch = nullptr;
        stack.push_back({a, b, b->m_pFirstOut, a->m_pFirstOut, nullptr, kSearch});
        return -1;
    };

    int result = enter(this, other);
    if (result >= 0)
        return result;
    while (!stack.empty()) {
        size_t top = stack.size() - 1;
        Cframe& f = stack[top];
        if (f.m_state == kWaitCandidate) {
            f.m_state = kSearch;
            if (result == 0) {
                pairEdges(f.m_pEa, f.m_pEb);
                f.m_pEb = f.m_pEb->m_pOutNext;
                f.m_pEa = f.m_pA->m_pFirstOut;
            } else {
                f.m_pEa = f.m_pEa->m_pOutNext;
            }
        } else if (f.m_state == kWaitClone) {
            f.m_state = kSearch;
            if (result != 0) {
                stack.pop_back();
                continue;
            }
            pairEdges(f.m_pClone, f.m_pEb);
            f.m_pEb = f.m_pEb->m_pOutNext;
            f.m_pEa = f.m_pA->m_pFirstOut;
        }
        if (f.m_pEb == nullptr) {
            result = 0;
            stack.pop_back();
            continue;
        }

        CedgeFact* eb = f.m_pEb;
        bool pushed = false;
        bool found = false;
        for (; f.m_pEa; f.m_pEa = f.m_pEa->m_pOutNext) {
            CedgeFact* ea = f.m_pEa;
            if (ea->m_pMatch != nullptr || std::strcmp(ea->name(), eb->name()) != 0)
                continue;
            if (ea->isTree()) {
                // A containment edge pairs only with a containment edge.
                if (!eb->isTree())
                    continue;
                f.m_state = kWaitCandidate;
                int r = enter(ea->m_pTo, eb->m_pTo);
                if (r < 0) {
                    pushed = true;
                    break;
                }
                stack[top].m_state = kSearch;
                if (r == 0) {
                    found = true;
                    break;
                }
            } else if (ea->m_pTo == eb->m_pTo) {
                found = true;
                break;
            }
        }
        if (pushed)
            continue;
        Cframe& g = stack[top];
        if (found) {
            pairEdges(g.m_pEa, eb);
            g.m_pEb = eb->m_pOutNext;
            g.m_pEa = g.m_pA->m_pFirstOut;
            continue;
        }
        if (!global.m_union) {
            result = 1;
            stack.pop_back();
            continue;
        }
        CedgeFact* copy = CedgeFact::cloneTo(eb, global, g.m_pA);
        if (eb->isTree()) {
            g.m_pClone = copy;
            g.m_state = kWaitClone;
            int r = enter(copy->m_pTo, eb->m_pTo);
            if (r >= 0)
                result = r;
            continue;
        }
        pairEdges(copy, eb);
        g.m_pEb = eb->m_pOutNext;
        g.m_pEa = g.m_pA->m_pFirstOut;
    }
    return result;
}

void CinstanceFact::redirect_input_edges(CinstanceFact* kept)
{
    if (kept == nullptr)
        internalError("pOther");
    struct Cframe {
        CinstanceFact* m_pFrom;
        CinstanceFact* m_pTo;
        CedgeFact* m_pNextChild;
    };
    std::vector<Cframe> stack;
    auto enter = [&](CinstanceFact* q, CinstanceFact* p) {
        for (CedgeFact* e = q->firstInEdge(); e;) {
            CedgeFact* next = e->nextInEdge();
            e->connectTo(p);
            e = next;
        }
        stack.push_back({q, p, q->firstChildEdge()});
    };
    enter(this, kept);
    while (!stack.empty()) {
        Cframe& f = stack.back();
        CedgeFact* e = f.m_pNextChild;
        if (e == nullptr) {
            stack.pop_back();
            continue;
        }
        f.m_pNextChild = e->nextChildEdge();
        CedgeFact* partner = e->m_pMatch;
        if (partner == nullptr)
            internalError("pEdge1");
        enter(e->m_pTo, partner->m_pTo);
    }
}

CinstanceFact* CinstanceFact::clone(CinstanceFact* source, Cglobal& global, CedgeFact* edge)
{
    // Depth first on an explicit stack, in the order a recursive copy would
    // take: names are handed out in that order and show in the output.
    struct Cframe {
        CinstanceFact* m_pSource;
        CinstanceFact* m_pCopy;
        CedgeFact* m_pNext;     // next out edge of the source to copy
        CedgeFact* m_pPending;  // copied tree edge waiting for its subtree
    };
    CinstanceFact* top = copyNode(source, global, edge);
    std::vector<Cframe> stack{{source, top, source->m_pFirstOut, nullptr}};
    while (!stack.empty()) {
        Cframe& f = stack.back();
        if (f.m_pPending != nullptr) {
            f.m_pPending->connectFrom(f.m_pCopy);
            f.m_pPending = nullptr;
            f.m_pNext = f.m_pNext->m_pOutNext;
        }
        if (f.m_pNext != nullptr) {
            CedgeFact* e = f.m_pNext;
            CedgeFact* copy = copyEdge(e);
            if (e->isTree() && e->m_pTo != nullptr) {
                f.m_pPending = copy;
                CinstanceFact* child = copyNode(e->m_pTo, global, copy);
                stack.push_back({e->m_pTo, child, e->m_pTo->m_pFirstOut, nullptr});
            } else {
                copy->connectTo(e->m_pTo);
                copy->connectFrom(f.m_pCopy);
                f.m_pNext = e->m_pOutNext;
            }
            continue;
        }
        for (CedgeFact* e = f.m_pSource->firstInEdge(); e; e = e->nextInEdge())
            CedgeFact::cloneFrom(e, f.m_pCopy);
        stack.pop_back();
    }
    return top;
}

CedgeFact* CedgeFact::cloneTo(CedgeFact* eb, Cglobal& global, CinstanceFact* a)
{
    CedgeFact* copy = copyEdge(eb);
    if (eb->isTree() && eb->m_pTo != nullptr)
        CinstanceFact::clone(eb->m_pTo, global, copy);
    else
        copy->connectTo(eb->m_pTo);
    copy->connectFrom(a);
    return copy;
}

CedgeFact* CedgeFact::cloneFrom(CedgeFact* e, CinstanceFact* t)
{
    CedgeFact* copy = copyEdge(e);
    copy->connectFrom(e->m_pFrom);
    copy->connectTo(t);
    return copy;
}

const char* CinstanceFact::newName() const
{
    static char buffer[2048];
    const char* s = name();
    if (s == nullptr)
        return nullptr;
    if (std::strncmp(s, "@0.FILE.", 8) == 0)
        s += 8;
    else if (std::strncmp(s, "@FILE.", 6) == 0)
        s += 6;
    size_t length = 0;
    for (size_t i = 0; s[i] != '\0' && length == 0; ++i) {
        if (s[i] != '.' || i <= 2)
            continue;
        if (i == 5 && std::strncmp(s + 1, ".cpp", 4) == 0)
            length = 5;
        else if ((i == 4 || i == 5) &&
                 (std::strncmp(s + i - 3, ".cc", 3) == 0 || std::strncmp(s + i - 3, ".CC", 3) == 0))
            length = i;
        else if (s[i - 2] == '.' && (s[i - 1] == 'h' || s[i - 1] == 'c' || s[i - 1] == 'C'))
            length = i;
    }
    if (length == 0 || length + 7 > sizeof buffer)
        return nullptr;
    std::memcpy(buffer, "@FILE.", 6);
    std::memcpy(buffer + 6, s, length);
    buffer[6 + length] = '\0';
    return buffer;
}

void Crename::rename(Cglobal& global)
{
    m_count = 0;
    if (global.m_verbose >= 1) {
        timenow();
        std::fputs("Renaming started\n", stderr);
    }
    m_liveNames.clear();
    if (global.m_pRoot != nullptr)
        walkTree(global.m_pRoot, [&](CinstanceFact* node) { m_liveNames.insert(node->name()); });
    global.m_renames.visitfirst(*this);
    m_liveNames.clear();
    if (global.m_verbose >= 1) {
        timenow();
        std::fprintf(stderr, "Renamed %d nodes\n", m_count);
    }
}

void Crename::visit(CinstanceFact* chainHead)
{
    for (CinstanceFact* v = chainHead; v; v = v->m_pHashNext) {
        if (v->isDead() || !(v->m_flags & kFlagFileNode))
            continue;
        const char* shortName = v->newName();
        if (shortName == nullptr || m_liveNames.count(shortName) != 0)
            continue;
        m_liveNames.erase(v->name());
        v->rename(shortName);
        m_liveNames.insert(v->name());
        ++m_count;
    }
}
