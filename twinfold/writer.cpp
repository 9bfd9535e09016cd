#include "writer.h"

#include "tatext.h"

#include <cstring>
#include <vector>

namespace {

bool isDollarName(const CinstanceFact* node)
{
    return node->name() != nullptr && node->name()[0] == '$';
}

void putLine(FILE* out, const char* label, const char* from, const char* to)
{
    putName(out, label);
    std::putc(' ', out);
    putName(out, from);
    std::putc(' ', out);
    putName(out, to);
    std::putc('\n', out);
}

// Pre-order walk along tree edges, children in out-list order, on an explicit
// stack. pre(node, depth) runs before the children, post(node) after them.
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
            post(f.m_pNode);
            stack.pop_back();
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

void vellumInstance(FILE* out, CinstanceFact* node)
{
    node->m_flags |= kFlagWritten;
    if (isDollarName(node))
        return;
    for (CedgeFact* e = node->firstOutEdge(); e; e = e->nextOutEdge())
        if (std::strcmp(e->name(), "$INSTANCE") == 0 && e->m_pTo != nullptr) {
            std::fputs("$INSTANCE ", out);
            putName(out, node->name());
            std::putc(' ', out);
            putName(out, e->m_pTo->name());
            std::putc('\n', out);
            return;
        }
}

void vellumContains(FILE* out, CinstanceFact* node, int depth)
{
    if (isDollarName(node))
        return;
    for (CedgeFact* e = node->firstChildEdge(); e; e = e->nextChildEdge()) {
        if (e->m_pTo == nullptr)
            continue;
        for (int i = 0; i < depth; ++i)
            std::putc(' ', out);
        putLine(out, e->name(), node->name(), e->m_pTo->name());
    }
}

void vellumEdge(FILE* out, CinstanceFact* node)
{
    if (isDollarName(node))
        return;
    for (CedgeFact* e = node->firstOutEdge(); e; e = e->nextOutEdge()) {
        CinstanceFact* to = e->m_pTo;
        if (to == nullptr || !(to->m_flags & kFlagWritten) || isDollarName(to))
            continue;
        if (std::strcmp(e->name(), "$INSTANCE") == 0)
            continue;
        // A "contain" line always reads back as containment: a demoted one
        // would move its target under a second parent, or close a cycle.
        if (getEdgetype(e->name()) != 0)
            continue;
        putLine(out, e->name(), node->name(), to->name());
    }
}

void vellumAttribute(FILE* out, CinstanceFact* node)
{
    if (node->isSchema() || node->m_pFirstSetting == nullptr)
        return;
    putName(out, node->name());
    std::putc(' ', out);
    node->Cfact::dump(out);
    std::putc('\n', out);
}

} // namespace

void Clayout::ta(FILE* output, int indent, CinstanceFact* root, const char* inputName)
{
    if (inputName != nullptr)
        std::fprintf(output, "// ta output for %s\n\n", inputName);
    auto nothing = [](CinstanceFact*) {};

    std::fputs("FACT TUPLE :\n\n", output);
    std::fputs("// Instances of entity classes\n\n", output);
    walkTree(root, indent, [&](CinstanceFact* n, int) { vellumInstance(output, n); }, nothing);

    std::fputs("\n// Containment relationships\n\n", output);
    walkTree(root, indent, [&](CinstanceFact* n, int depth) { vellumContains(output, n, depth); }, nothing);

    std::fputs("\n// Edges of entity classes\n\n", output);
    walkTree(root, indent, [&](CinstanceFact* n, int) { vellumEdge(output, n); }, nothing);

    std::fputs("\nFACT ATTRIBUTE :\n\n", output);
    walkTree(root, indent, [&](CinstanceFact* n, int) { vellumAttribute(output, n); },
             [](CinstanceFact* n) { n->m_flags &= ~kFlagWritten; });
}
