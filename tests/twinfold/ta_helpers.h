// Helpers of the twinfold tests: parse a TA text in memory, describe a graph
// in one line, write TA into a string.
#pragma once

#include "linked_fixture.h"
#include "merge.h"
#include "parser.h"
#include "text_source.h"
#include "writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

// Appends text to the attribute's values, as the parser stores a list.
inline void appendValue(Csetting *setting, const char *text)
{
    Cref<Cvalue> *link = &setting->m_pFirstValue;
    while (*link != nullptr) link = &(*link)->m_pNext;
    *link = new Cvalue(text);
}

inline int valueCount(const Csetting *setting)
{
    int count = 0;
    for (const Cvalue *v = setting->m_pFirstValue; v; v = v->m_pNext) ++count;
    return count;
}

// A regular file holding text, opened as the program opens its input; the
// file has no name left once it is open.
struct CfileInput {
    explicit CfileInput(const std::string &text)
    {
        char name[] = "/tmp/twinfold-input-XXXXXX";
        int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size()));
        close(fd);
        EXPECT_TRUE(m_file.open(name));
        unlink(name);
    }
    CinputFile m_file;
};

// Parses text into global; errors receives what went to standard error.
inline bool parseText(const std::string &text, Cglobal &global, std::string *errors = nullptr, int bits = 10)
{
    CtextSource in(text);
    testing::internal::CaptureStderr();
    CririraParser parser;
    bool ok = parser.parse(in, global, bits) == CstepEnd::kDone;
    std::string err = testing::internal::GetCapturedStderr();
    if (errors) *errors = err;
    return ok;
}

// The attributes of a fact as " {a=1,b=(2 3),c}", or "" when it has none.
inline std::string describeSettings(const Cfact *fact)
{
    if (fact->m_pFirstSetting == nullptr) return "";
    std::string text = " {";
    for (const Csetting *s = fact->m_pFirstSetting; s; s = s->m_pNext) {
        text += s == fact->m_pFirstSetting ? "" : ",";
        text += s->name();
        if (s->m_pFirstValue && !s->m_pFirstValue->m_pNext)
            text += std::string("=") + s->m_pFirstValue->name();
        else if (s->m_pFirstValue) {
            text += "=(";
            for (const Cvalue *v = s->m_pFirstValue; v; v = v->m_pNext) {
                if (v != s->m_pFirstValue) text += ' ';
                text += v->name();
            }
            text += ")";
        }
    }
    return text + "}";
}

// One line per graph: name, attributes in braces, non-tree out edges in
// brackets (with their attributes), then the tree children in out-list order
// in parentheses.
inline std::string describe(const CinstanceFact *node)
{
    std::string text = node->name() + describeSettings(node);
    for (const CedgeFact *e = node->firstOutEdge(); e; e = e->nextOutEdge())
        text += std::string(" [") + e->name() + ">" + (e->m_pTo ? e->m_pTo->name() : "-") +
                describeSettings(e) + "]";
    if (node->firstChildEdge()) {
        text += "(";
        for (const CedgeFact *e = node->firstChildEdge(); e; e = e->nextChildEdge()) {
            if (e != node->firstChildEdge()) text += ' ';
            text += describe(e->m_pTo);
        }
        text += ")";
    }
    return text;
}

inline std::string writeTa(CinstanceFact *root, int indent = -1, const char *inputName = nullptr)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&buffer, &size);
    Clayout::ta(out, indent, root, inputName);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

// Parse, merge, rename and write, as a run does; the TA text, or "" when the
// input was refused. errors receives standard error.
inline std::string foldText(const std::string &text, bool unionHeaders = true, int verbosity = 0,
                            std::string *errors = nullptr)
{
    Cglobal global(verbosity, unionHeaders);
    std::string parseErrors;
    if (!parseText(text, global, &parseErrors)) {
        if (errors) *errors = parseErrors;
        return "";
    }
    testing::internal::CaptureStderr();
    global.twinfold();
    Crename renamer;
    renamer.rename(global);
    std::string mergeErrors = testing::internal::GetCapturedStderr();
    if (errors) *errors = parseErrors + mergeErrors;
    return writeTa(global.m_pRoot);
}
