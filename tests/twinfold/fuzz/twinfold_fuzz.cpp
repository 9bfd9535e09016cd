// Fuzz target: parse, merge, rename and write. Every input that is accepted
// must give output that holds no tuple twice and is accepted again; a second
// run on that output must hold no tuple twice either, and when it merges and
// renames nothing, it must give the same facts as the first (so the output
// keeps its containment, other parents included, when it is read again). The
// one exception is output that holds no fact at all (every node was a bare
// child of $ROOT, which leaves no line): it reads back as an empty graph,
// which is refused.
#include "arena.h"
#include "merge.h"
#include "parser.h"
#include "text_source.h"
#include "writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Small tables keep each run cheap; the logic does not depend on their size.
constexpr int kFuzzTableBits = 8;

struct Cfolded {
    bool m_accepted = false;
    std::string m_text;
    int m_deleted = 0;
    int m_renamed = 0;
    // "parent child" of every containment line, sorted.
    std::vector<std::string> m_containment;
};

// Parses text with the given union flag and, when it is accepted, merges,
// renames and writes it.
Cfolded fold(const char *text, size_t size, bool unionHeaders)
{
    Cfolded result;
    CtextSource in(std::string(text, size));
    {
        Cglobal global(0, unionHeaders);
        global.m_pDump = stderr;
        CririraParser parser;
        result.m_accepted = parser.parse(in, global, kFuzzTableBits) == CstepEnd::kDone;
        if (result.m_accepted) {
            parser.m_table.discard();
            global.twinfold();
            Crename renamer;
            renamer.rename(global);
            char *written = nullptr;
            size_t writtenSize = 0;
            FILE *out = open_memstream(&written, &writtenSize);
            Clayout::ta(out, -1, global.m_pRoot, "fuzz");
            std::fclose(out);
            result.m_text.assign(written, writtenSize);
            std::free(written);
            result.m_deleted = global.m_deleted;
            result.m_renamed = renamer.m_count;
            walkTree(global.m_pRoot, [&](CinstanceFact *node) {
                if (node->name()[0] == '$') return;
                for (CedgeFact *e = node->firstChildEdge(); e; e = e->nextChildEdge())
                    result.m_containment.push_back(std::string(node->name()) + '\x1f' + e->m_pTo->name());
            });
            std::sort(result.m_containment.begin(), result.m_containment.end());
        }
    }
    return result;
}

// True when the written text is the bare frame of the four sections.
bool holdsNoFact(const std::string &text)
{
    static const char frame[] = "// ta output for fuzz\n\nFACT TUPLE :\n\n// Instances of entity classes\n\n"
                                "\n// Containment relationships\n\n\n// Edges of entity classes\n\n"
                                "\nFACT ATTRIBUTE :\n\n";
    return text == frame;
}

// The statements of a written text, each as its tokens (a quoted string
// and a word of the same text are the same token), sorted; tuples and
// attribute statements apart. Section headers are left out.
struct Cstatements {
    std::vector<std::string> m_tuples;
    std::vector<std::string> m_subjects;  // of the attribute statements
    std::vector<std::string> m_all;
};

Cstatements statementsOf(const std::string &text)
{
    // The tokens, each as its kind and text.
    std::vector<std::pair<CtokenKind, std::string>> tokens;
    {
        CtextSource in(text);
        Cglobal global(0, true);
        CririraParser reader;
        reader.m_pGlobal = &global;
        reader.m_pInput = &in;
        char token[CririraParser::kTokenMax];
        for (CtokenKind kind; (kind = reader.getToken(token)) != kTokenEnd && kind != kTokenError;)
            tokens.emplace_back(kind, kind == kTokenWord ? token : "");
    }
    auto spell = [&](size_t i) {
        if (tokens[i].first == kTokenWord) return "\x1f" + tokens[i].second;
        if (tokens[i].first == kTokenInstance) return std::string("\x1f$INSTANCE");
        return "\x1f<" + std::to_string(int(tokens[i].first)) + ">";
    };
    auto kindAt = [&](size_t i) { return i < tokens.size() ? tokens[i].first : kTokenEnd; };

    Cstatements result;
    for (size_t i = 0; i < tokens.size();) {
        // The subject: "(" ... ")", "$INSTANCE" and two words, a word and a
        // brace, or three words (a section header when the third is ":").
        size_t end = i;
        if (kindAt(i) == kTokenOpenParen) {
            while (end < tokens.size() && kindAt(end) != kTokenCloseParen) ++end;
            ++end;
        } else if (kindAt(i) == kTokenWord && kindAt(i + 1) == kTokenOpenBrace) {
            end = i + 1;
        } else {
            end = i + 3;
        }
        end = std::min(end, tokens.size());
        std::string subject;
        for (size_t k = i; k < end; ++k) subject += spell(k);
        bool header = kindAt(i) == kTokenWord && end == i + 3 && tokens[i + 2].second == ":";
        i = end;
        if (kindAt(i) != kTokenOpenBrace) {
            if (!header) {
                result.m_tuples.push_back(subject);
                result.m_all.push_back(subject);
            }
            continue;
        }
        std::string statement = subject;
        while (i < tokens.size() && kindAt(i) != kTokenCloseBrace) statement += spell(i++);
        if (i < tokens.size()) statement += spell(i++);
        result.m_subjects.push_back(subject);
        result.m_all.push_back(statement);
    }
    for (auto *list : {&result.m_tuples, &result.m_subjects, &result.m_all})
        std::sort(list->begin(), list->end());
    return result;
}

[[noreturn]] void fail(const std::string &text, const char *what)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::printf("\n-- %s\n", what);
    std::fflush(stdout);
    std::abort();
}

// No tuple twice, and no node or edge with two attribute statements.
void checkNothingTwice(const Cstatements &statements, const std::string &text)
{
    if (std::adjacent_find(statements.m_tuples.begin(), statements.m_tuples.end()) !=
        statements.m_tuples.end())
        fail(text, "output above holds a tuple twice");
    if (std::adjacent_find(statements.m_subjects.begin(), statements.m_subjects.end()) !=
        statements.m_subjects.end())
        fail(text, "output above gives a fact attributes twice");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    if (size == 0) return 0;
    // The first byte picks the mode, the rest is the TA text.
    bool unionHeaders = (data[0] & 1) == 0;
    Cfolded first = fold(reinterpret_cast<const char *>(data + 1), size - 1, unionHeaders);
    if (first.m_accepted) {
        Cstatements firstStatements = statementsOf(first.m_text);
        checkNothingTwice(firstStatements, first.m_text);
        Cfolded second = fold(first.m_text.data(), first.m_text.size(), unionHeaders);
        if (!second.m_accepted) {
            if (!holdsNoFact(first.m_text)) fail(first.m_text, "output above does not read back");
        } else {
            Cstatements secondStatements = statementsOf(second.m_text);
            checkNothingTwice(secondStatements, second.m_text);
            if (second.m_deleted == 0 && second.m_renamed == 0) {
                std::string both = first.m_text + "\n-- read back and written again:\n" + second.m_text;
                if (second.m_containment != first.m_containment)
                    fail(both, "a second run changed the containment");
                if (secondStatements.m_all != firstStatements.m_all)
                    fail(both, "a second run changed the facts");
            }
        }
    }
    releaseArena();
    return 0;
}
