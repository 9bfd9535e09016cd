// Merge of twin header subtrees and renaming of the kept file nodes.
#pragma once

#include "edge_index.h"
#include "facts.h"
#include "hash.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <unordered_set>

// Writes the verbose time stamp "TwinFold: hh:mm:ss " on standard error.
void timenow();

// Builds the key of a node's attributes into buffer (when not null) and
// returns its length including the closing NUL.
size_t emit_attributes(const Cfact *node, char *buffer);

class CsubtreeComparison;

class Cglobal : public Cvisithash {
public:
    Cglobal(int verbosity, bool unionHeaders);
    ~Cglobal() override;

    static void timenow() { ::timenow(); }
    void check_maxno(const char *name);
    const char *unique_name();
    void preprocessNode(CinstanceFact *node);
    void twinfold();
    void visit(CinstanceFact *chainHead) override;
    // True when one of the two nodes lies in the other's subtree.
    bool nested(const CinstanceFact *a, const CinstanceFact *b) const;
    // Moves edge onto the target to, unless the source already has an edge
    // with its label to that target; then edge is destroyed and the one
    // kept gains its attributes if it has none.
    void moveEdgeTo(CedgeFact *edge, CinstanceFact *to);

    int m_verbose = 0;
    CinstanceFact *m_pEntity = nullptr;
    CinstanceFact *m_pRoot = nullptr;
    uint64_t m_maxNo = 0;
    char m_lastName[40] = {};
    bool m_union = true;
    int m_deleted = 0;
    Chash m_candidates;
    Chash m_renames;
    // Every edge of the graph by source, label and target: the graph never
    // holds two edges with the same three.
    CedgeIndex m_edges;
    // Number of the subtree comparison under way (see same_tree), and the
    // frames and lists it works with.
    uint32_t m_generation = 0;
    void startComparison();
    std::unique_ptr<CsubtreeComparison> m_pComparison;
    // Set once a merge has given a node another parent; the numbers of the
    // tree check no longer tell nested nodes apart then.
    bool m_treeMoved = false;
    // Where the level-3 merge dumps go: standard output, unless the TA
    // output itself goes there.
    FILE *m_pDump = stdout;
};

class Crename : public Cvisithash {
public:
    void rename(Cglobal &global);
    void visit(CinstanceFact *chainHead) override;

    int m_count = 0;
    // Names of every node left in the tree, so that no short name is given
    // twice or to a name some other node bears.
    std::unordered_set<std::string_view> m_liveNames;
};
