#include "writer.h"

#include "tatext.h"

#include <cstring>

namespace {

bool isDollarName(const CinstanceFact *node)
{
    return node->name() != nullptr && node->name()[0] == '$';
}

// The lines an edge of a written node can give.
enum class Cline {
    kNone,
    kInstance,     // "$INSTANCE node class"
    kOtherParent,  // a "contain" edge that is not the target's containment
    kContainment,
    kEdge,
};

// What the edge e of node is written as. Valid once the first pass has
// marked the written and the contained nodes.
Cline lineOf(const CinstanceFact *node, const CedgeFact *e, const CedgeFact *classEdge)
{
    const CinstanceFact *to = e->m_pTo;
    if (isDollarName(node) || to == nullptr) return Cline::kNone;
    if (e->isTree()) return Cline::kContainment;
    if (e == classEdge) return Cline::kInstance;
    if (!(to->m_flags & kFlagWritten) || isDollarName(to) || e->isInstance()) return Cline::kNone;
    // Any "contain" line reads back as containment. One that lost to
    // another parent is written before the containment section, so that on
    // reading the parent written there is read last and stays the
    // containment; a target without a containment line (under a node whose
    // name is not written) would take this parent instead, so it gets none.
    if (getEdgetype(e->name()) != 0)
        return (to->m_flags & kFlagContained) ? Cline::kOtherParent : Cline::kNone;
    return Cline::kEdge;
}

void putTuple(FILE *out, const char *label, const char *from, const char *to)
{
    putName(out, label);
    std::putc(' ', out);
    putName(out, from);
    std::putc(' ', out);
    putName(out, to);
}

void putLine(FILE *out, const char *label, const char *from, const char *to)
{
    putTuple(out, label, from, to);
    std::putc('\n', out);
}

// "$INSTANCE node class": the keyword is written bare, as only it reads back
// as the keyword.
void putInstance(FILE *out, const char *node, const char *className)
{
    std::fputs("$INSTANCE ", out);
    putName(out, node);
    std::putc(' ', out);
    putName(out, className);
}

// Writes the lines of the node's out edges of one kind, in out-list order.
void putEdges(FILE *out, CinstanceFact *node, Cline kind)
{
    const CedgeFact *classEdge = node->classEdge();
    for (CedgeFact *e = node->firstOutEdge(); e; e = e->nextOutEdge())
        if (lineOf(node, e, classEdge) == kind) putLine(out, e->name(), node->name(), e->m_pTo->name());
}

void vellumInstance(FILE *out, CinstanceFact *node)
{
    node->m_flags |= kFlagWritten;
    if (isDollarName(node)) return;
    for (CedgeFact *e = node->firstChildEdge(); e; e = e->nextChildEdge())
        if (e->m_pTo != nullptr) e->m_pTo->m_flags |= kFlagContained;
    if (const CedgeFact *e = node->classEdge()) {
        putInstance(out, node->name(), e->m_pTo->name());
        std::putc('\n', out);
    }
}

void vellumContains(FILE *out, CinstanceFact *node, int depth)
{
    if (isDollarName(node)) return;
    for (CedgeFact *e = node->firstChildEdge(); e; e = e->nextChildEdge()) {
        if (e->m_pTo == nullptr) continue;
        for (int i = 0; i < depth; ++i) std::putc(' ', out);
        putLine(out, e->name(), node->name(), e->m_pTo->name());
    }
}

void vellumAttribute(FILE *out, CinstanceFact *node)
{
    if (node->isSchema() || node->m_pFirstSetting == nullptr) return;
    putName(out, node->name());
    std::putc(' ', out);
    node->Cfact::dump(out);
    std::putc('\n', out);
}

// The attributes of every edge the node's lines gave: in the bracketed form
// "(label from to)", or for the class the "$INSTANCE" statement itself, which
// the bracketed form cannot name.
void vellumEdgeAttributes(FILE *out, CinstanceFact *node)
{
    const CedgeFact *classEdge = node->classEdge();
    for (CedgeFact *e = node->m_pFirstOut; e; e = e->m_pOutNext) {
        if (e->m_pFirstSetting == nullptr) continue;
        Cline kind = lineOf(node, e, classEdge);
        if (kind == Cline::kNone) continue;
        if (kind == Cline::kInstance) {
            putInstance(out, node->name(), e->m_pTo->name());
        } else {
            std::putc('(', out);
            putTuple(out, e->name(), node->name(), e->m_pTo->name());
            std::putc(')', out);
        }
        std::putc(' ', out);
        e->Cfact::dump(out);
        std::putc('\n', out);
    }
}

}  // namespace

void Clayout::ta(FILE *output, int indent, CinstanceFact *root, const char *inputName)
{
    if (inputName != nullptr) std::fprintf(output, "// ta output for %s\n\n", inputName);
    auto nothing = [](CinstanceFact *) {};

    std::fputs("FACT TUPLE :\n\n", output);
    std::fputs("// Instances of entity classes\n\n", output);
    bool otherParents = false;
    walkTree(
        root, indent, [&](CinstanceFact *n, int) { vellumInstance(output, n); }, nothing);
    walkTree(root, [&](CinstanceFact *n) {
        const CedgeFact *classEdge = n->classEdge();
        for (CedgeFact *e = n->firstOutEdge(); e && !otherParents; e = e->nextOutEdge())
            otherParents = lineOf(n, e, classEdge) == Cline::kOtherParent;
    });
    if (otherParents) {
        std::fputs("\n// Other parents\n\n", output);
        walkTree(root, [&](CinstanceFact *n) { putEdges(output, n, Cline::kOtherParent); });
    }

    std::fputs("\n// Containment relationships\n\n", output);
    walkTree(
        root, indent, [&](CinstanceFact *n, int depth) { vellumContains(output, n, depth); }, nothing);

    std::fputs("\n// Edges of entity classes\n\n", output);
    walkTree(root, [&](CinstanceFact *n) { putEdges(output, n, Cline::kEdge); });

    std::fputs("\nFACT ATTRIBUTE :\n\n", output);
    walkTree(root, [&](CinstanceFact *n) { vellumAttribute(output, n); });
    walkTree(root, [&](CinstanceFact *n) { vellumEdgeAttributes(output, n); });
    walkTree(root, [](CinstanceFact *n) { n->m_flags &= ~(kFlagWritten | kFlagContained); });
}
