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
    kFlagManyOut = 1u << 9,      // node with more out edges than the edge index lists
    kFlagManyIn = 1u << 10,      // node with more in edges than the edge index lists
    kFlagTreeEdge = 1u << 16,    // edge is a containment edge
    kFlagSchema = 1u << 24,      // schema node
    kFlagDead = 1u << 28,        // node destroyed with a deleted subtree
};

// Type of an edge label: 2 and 3 are containment types, 0 is unknown.
int getEdgetype(const char *label);

// 0 when both texts are equal (two absent texts included), else 1.
int compareString(const char *a, const char *b);

// Stops the program when a list link is broken; correct list operations
// never reach it.
[[noreturn]] void internalError(const char *what);

// The one stored copy of a text: edge labels and attribute names are few and
// repeat on every fact, so each is stored once and shared. A shared text is
// never changed.
const char *sharedText(const char *text);

// How a name is stored: a copy of its own (node names, which renaming
// overwrites, and values), or the shared text.
enum class Cname { kOwn, kShared };

class CnamedObject : public CarenaObject {
public:
    explicit CnamedObject(const char *name, Cname storage = Cname::kOwn)
    {
        if (storage == Cname::kShared && name != nullptr)
            m_pName = const_cast<char *>(sharedText(name));
        else
            saveString(&m_pName, name);
    }
    const char *name() const { return m_pName; }
    // Overwrites the name in place when it is long enough, else copies; only
    // for names of their own.
    void rename(const char *newName);

    Cref<char> m_pName;
};

class Cvalue : public CnamedObject {
public:
    explicit Cvalue(const char *text) : CnamedObject(text) {}
    Cref<Cvalue> m_pNext;
};

class Csetting : public CnamedObject {
public:
    explicit Csetting(const char *name) : CnamedObject(name, Cname::kShared) {}

    // Gives the attribute the single value text.
    void value(const char *text);
    // Copies this attribute and every one after it in the chain into out.
    void clone(Cref<Csetting> &out) const;
    // 0 when equal by name and values, else 1.
    int compare(const Csetting *other) const;
    void dump1(FILE *stream) const;

    Cref<Cvalue> m_pFirstValue;
    Cref<Csetting> m_pNext;
};

class Cfact : public CnamedObject {
public:
    explicit Cfact(const char *name, Cname storage = Cname::kOwn) : CnamedObject(name, storage) {}

    // 0 when both attribute chains are equal, attributes named "order"
    // passed over when skipOrder is set.
    int compareAttrs(const Cfact *other, bool skipOrder) const;
    // Sorts the attribute chain by name.
    void compactAttributes();
    void appendSetting(Csetting *setting);
    void dump(FILE *stream) const;

    Cref<Csetting> m_pFirstSetting;
    uint32_t m_flags = 0;
};

class CinstanceFact : public Cfact {
public:
    explicit CinstanceFact(const char *name) : Cfact(name) {}

    bool isSchema() const { return (m_flags & kFlagSchema) != 0; }
    bool isDead() const { return (m_flags & kFlagDead) != 0; }

    CedgeFact *firstOutEdge() const;
    CedgeFact *firstInEdge() const;
    CedgeFact *firstChildEdge() const;
    int children() const;
    // The containment edge into this node, or null.
    CedgeFact *parentEdge() const;
    // The node's first "$INSTANCE" edge: the one class it is written with.
    const CedgeFact *classEdge() const;
    // True when node lies in this node's subtree (this node included), by
    // the numbers the tree check gave; valid while no node changed parent.
    bool containsInTree(const CinstanceFact *node) const;
    // The same, by walking up from node along containment edges.
    bool isAncestorOf(const CinstanceFact *node) const;

    // Destroys the node, its whole subtree and every edge in or out of them.
    void destroy();

    void dump(FILE *stream) const;

    // Subtree merge (see merge.cpp).
    // Compares other's subtree with this node's: 0 when they match, 1 when
    // they do not. A match pairs every edge of other's subtree with one of
    // this node's (m_pMatch, which redirect_input_edges follows) and gives
    // every node of it its twin. Without the union flag nothing else
    // changes. In union mode (the default) the subtrees match whenever the
    // two nodes' attributes agree, "order" passed over, and this node's
    // subtree has then gained a copy of every node and edge of other's that
    // it lacked.
    int same_tree(CinstanceFact *other, Cglobal &global);
    void redirect_input_edges(CinstanceFact *kept, Cglobal &global);
    static CinstanceFact *clone(CinstanceFact *source, Cglobal &global, CedgeFact *edge);
    const char *newName() const;

    Cref<CedgeFact> m_pFirstOut;
    Cref<CedgeFact> m_pFirstIn;
    Cref<CinstanceFact> m_pHashNext;
    // Edges in the out list and in the in list.
    uint32_t m_outDegree = 0;
    uint32_t m_inDegree = 0;
    // Pre-order interval given by the tree check: a node lies in this
    // node's subtree when its m_treeEnter is within [m_treeEnter, m_treeLeave].
    // While the input is read, m_treeEnter holds the parser's number for the
    // node in reading order.
    uint32_t m_treeEnter = 0;
    uint32_t m_treeLeave = 0;
    // The node of the kept subtree this node was paired with by the
    // comparison numbered m_twinGeneration (see merge.cpp).
    Cref<CinstanceFact> m_pTwin;
    uint32_t m_twinGeneration = 0;
};

class CedgeFact : public Cfact {
public:
    explicit CedgeFact(const char *label);

    bool isTree() const { return (m_flags & kFlagTreeEdge) != 0; }
    // True for an edge labelled "$INSTANCE", from a node to its class.
    bool isInstance() const;

    void connectFrom(CinstanceFact *node);
    void connectTo(CinstanceFact *node);
    void removeFrom();
    void removeTo();
    void destroy();

    CedgeFact *nextOutEdge() const;
    CedgeFact *nextInEdge() const;
    CedgeFact *nextChildEdge() const;

    static CedgeFact *cloneTo(CedgeFact *eb, Cglobal &global, CinstanceFact *a);
    static CedgeFact *cloneFrom(CedgeFact *e, Cglobal &global, CinstanceFact *t);

    Cref<CedgeFact> m_pMatch;
    Cref<CinstanceFact> m_pFrom;
    Cref<CinstanceFact> m_pTo;
    Cref<Cref<CedgeFact>> m_ppOutPrev;
    Cref<CedgeFact> m_pOutNext;
    Cref<Cref<CedgeFact>> m_ppInPrev;
    Cref<CedgeFact> m_pInNext;
};

// Pre-order walk from root along containment edges, each node's children in
// out-list order, on an explicit stack so that no depth exhausts the call
// stack. pre(node, depth) runs before a node's children, post(node) after
// them; depth starts at rootDepth and grows by one per level only while it
// is 0 or more.
template <typename Pre, typename Post> void walkTree(CinstanceFact *root, int rootDepth, Pre pre, Post post)
{
    struct Cframe {
        CinstanceFact *m_pNode;
        CedgeFact *m_pNextChild;
        int m_depth;
    };
    std::vector<Cframe> stack;
    pre(root, rootDepth);
    stack.push_back({root, root->firstChildEdge(), rootDepth});
    while (!stack.empty()) {
        Cframe &f = stack.back();
        CedgeFact *e = f.m_pNextChild;
        if (e == nullptr) {
            CinstanceFact *done = f.m_pNode;
            stack.pop_back();
            post(done);
            continue;
        }
        f.m_pNextChild = e->nextChildEdge();
        if (e->m_pTo == nullptr) continue;
        int depth = f.m_depth >= 0 ? f.m_depth + 1 : f.m_depth;
        pre(e->m_pTo, depth);
        stack.push_back({e->m_pTo, e->m_pTo->firstChildEdge(), depth});
    }
}

template <typename Pre> void walkTree(CinstanceFact *root, Pre pre)
{
    walkTree(
        root, 0, [&](CinstanceFact *node, int) { pre(node); }, [](CinstanceFact *) {});
}
