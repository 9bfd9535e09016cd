// The fact graph: named nodes (CinstanceFact), labelled directed edges
// (CedgeFact) with intrusive in and out lists, and on both an ordered chain
// of attributes (Csetting) with their values (Cvalue). Every record lives in
// the bump arena; destroying only unlinks.
#pragma once

#include "arena.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class Cglobal;
class CedgeFact;

// Bits of Cfact::m_flags.
enum : uint32_t {
    kFlagWritten = 1u << 2,      // node reached by the writer's walk
    kFlagContained = 1u << 3,    // node whose containment line the writer writes
    kFlagTreeChecked = 1u << 6,  // node visited by the tree check
    kFlagFileNode = 1u << 7,     // node declared "$INSTANCE x cFile"
    kFlagFileName = 1u << 8,     // node name begins with "@FILE."
    kFlagTreeEdge = 1u << 16,    // edge is a containment edge
    kFlagSchema = 1u << 24,      // schema node
    kFlagDead = 1u << 28,        // node destroyed with a deleted subtree
};

// Type of an edge label: 2 and 3 are containment types, 0 is unknown.
int getEdgetype(const char* label);

// 0 when both texts are equal (two absent texts included), else 1.
int compareString(const char* a, const char* b);

// Stops the program when a list link is broken; correct list operations
// never reach it.
[[noreturn]] void internalError(const char* what);

class CnamedObject : public CarenaObject {
public:
    explicit CnamedObject(const char* name) { saveString(&m_pName, name); }
    const char* name() const { return m_pName; }
    // Overwrites the name in place when it is long enough, else copies.
    void rename(const char* newName);

    char* m_pName = nullptr;
};

class Cvalue : public CnamedObject {
public:
    explicit Cvalue(const char* text) : CnamedObject(text) {}
    Cvalue* m_pNext = nullptr;
};

class Csetting : public CnamedObject {
public:
    explicit Csetting(const char* name) : CnamedObject(name) {}

    // Gives the attribute the single value text.
    void value(const char* text);
    // Copies this attribute and every one after it in the chain into out.
    void clone(Csetting*& out) const;
    // 0 when equal by name and values, else 1.
    int compare(const Csetting* other) const;
    void dump1(FILE* stream) const;

    Cvalue* m_pFirstValue = nullptr;
    Csetting* m_pNext = nullptr;
};

class Cfact : public CnamedObject {
public:
    explicit Cfact(const char* name) : CnamedObject(name) {}

    // 0 when both attribute chains are equal, attributes named "order"
    // passed over when skipOrder is set.
    int compareAttrs(const Cfact* other, bool skipOrder) const;
    // Sorts the attribute chain by name.
    void compactAttributes();
    void appendSetting(Csetting* setting);
    void dump(FILE* stream) const;

    Csetting* m_pFirstSetting = nullptr;
    uint32_t m_flags = 0;
};

class CinstanceFact : public Cfact {
public:
    explicit CinstanceFact(const char* name) : Cfact(name) {}

    bool isSchema() const { return (m_flags & kFlagSchema) != 0; }
    bool isDead() const { return (m_flags & kFlagDead) != 0; }

    CedgeFact* firstOutEdge() const;
    CedgeFact* firstInEdge() const;
    CedgeFact* firstChildEdge() const;
    int children() const;
    // The containment edge into this node, or null.
    CedgeFact* parentEdge() const;
    // The node's first "$INSTANCE" edge: the one class it is written with.
    const CedgeFact* classEdge() const;
    // True when node lies in this node's subtree (this node included), by
    // the numbers the tree check gave; valid while no node changed parent.
    bool containsInTree(const CinstanceFact* node) const;
    // The same, by walking up from node along containment edges.
    bool isAncestorOf(const CinstanceFact* node) const;

    // Destroys the node, its whole subtree and every edge in or out of them.
    void destroy();

    void dump(FILE* stream) const;

    // Subtree merge (see merge.cpp).
    int same_tree(CinstanceFact* other, Cglobal& global);
    void redirect_input_edges(CinstanceFact* kept, Cglobal& global);
    static CinstanceFact* clone(CinstanceFact* source, Cglobal& global, CedgeFact* edge);
    const char* newName() const;

    CedgeFact* m_pFirstOut = nullptr;
    CedgeFact* m_pFirstIn = nullptr;
    CinstanceFact* m_pHashNext = nullptr;
    // Pre-order interval given by the tree check: a node lies in this
    // node's subtree when its m_treeEnter is within [m_treeEnter, m_treeLeave].
    uint32_t m_treeEnter = 0;
    uint32_t m_treeLeave = 0;
    // The node of the kept subtree this node was paired with by the
    // comparison numbered m_twinGeneration (see merge.cpp).
    CinstanceFact* m_pTwin = nullptr;
    uint64_t m_twinGeneration = 0;
};

class CedgeFact : public Cfact {
public:
    explicit CedgeFact(const char* label);

    bool isTree() const { return (m_flags & kFlagTreeEdge) != 0; }
    // True for an edge labelled "$INSTANCE", from a node to its class.
    bool isInstance() const;

    void connectFrom(CinstanceFact* node);
    void connectTo(CinstanceFact* node);
    void removeFrom();
    void removeTo();
    void destroy();

    CedgeFact* nextOutEdge() const;
    CedgeFact* nextInEdge() const;
    CedgeFact* nextChildEdge() const;

    static CedgeFact* cloneTo(CedgeFact* eb, Cglobal& global, CinstanceFact* a);
    static CedgeFact* cloneFrom(CedgeFact* e, Cglobal& global, CinstanceFact* t);

    CedgeFact* m_pMatch = nullptr;
    CinstanceFact* m_pFrom = nullptr;
    CinstanceFact* m_pTo = nullptr;
    CedgeFact** m_ppOutPrev = nullptr;
    CedgeFact* m_pOutNext = nullptr;
    CedgeFact** m_ppInPrev = nullptr;
    CedgeFact* m_pInNext = nullptr;
};

// Pre-order walk from root along containment edges, each node's children in
// out-list order, on an explicit stack so that no depth exhausts the call
// stack. pre(node, depth) runs before a node's children, post(node) after
// them; depth starts at rootDepth and grows by one per level only while it
// is 0 or more.
template <typename Pre, typename Post>
void walkTree(CinstanceFact* root, int rootDepth, Pre pre, Post post)
{
    struct Cframe {
        CinstanceFact* m_pNode;
        CedgeFact* m_pNextChild;
        int m_depth;
    };
    std::vector<Cframe> stack;
    pre(root, rootDepth);
    stack.push_back({root, root->firstChildEdge(), rootDepth});
    while (!stack.empty()) {
        Cframe& f = stack.back();
        CedgeFact* e = f.m_pNextChild;
        if (e == nullptr) {
            CinstanceFact* done = f.m_pNode;
            stack.pop_back();
            post(done);
            continue;
        }
        f.m_pNextChild = e->nextChildEdge();
        if (e->m_pTo == nullptr)
            continue;
        int depth = f.m_depth >= 0 ? f.m_depth + 1 : f.m_depth;
        pre(e->m_pTo, depth);
        stack.push_back({e->m_pTo, e->m_pTo->firstChildEdge(), depth});
    }
}

template <typename Pre>
void walkTree(CinstanceFact* root, Pre pre)
{
    walkTree(root, 0, [&](CinstanceFact* node, int) { pre(node); }, [](CinstanceFact*) {});
}
