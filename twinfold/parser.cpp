#include "parser.h"

#include "merge.h"
#include "tatext.h"

#include <cstring>
#include <string>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Smallest number of bits b >= minimum with 2^b > count.
int bitsAbove(uint64_t count, int minimum)
{
    int bits = minimum;
    while ((uint64_t(1) << bits) <= count) ++bits;
    return bits;
}

}  // namespace

bool CririraParser::refill()
{
    // A stream that failed, or ended, is not read again: what a second try
    // gave would follow a gap, and a terminal would wait for more.
    if (m_inputEnded) return false;
    if (m_buffer.empty()) m_buffer.resize(kInputBlock);
    size_t got = m_pInput->read(m_buffer.data(), m_buffer.size());
    if (got == 0) {
        m_inputEnded = true;
        m_readFailed = m_pInput->failed();
        return false;
    }
    m_pAt = m_buffer.data();
    m_pEnd = m_pAt + got;
    return true;
}

void CririraParser::countLine()
{
    ++m_line;
    if (m_line % (1 << 20) == 0 && m_pGlobal->m_verbose) {
        timenow();
        std::fprintf(stderr, "Parse progress %dM lines\n", m_line >> 20);
    }
}

void CririraParser::invalid()
{
    std::fprintf(stderr, "\nParse error at line %d\n\n...", m_line);
    echoLines(3);
    std::fflush(stderr);
}

// Standard error is unbuffered: each line of the echo goes out in one call,
// however long it is.
void CririraParser::echoLines(int lines)
{
    if (echoMappedLines(lines)) return;
    // A stream that is not a file is read in blocks, and each line gathered
    // whole before it is written.
    std::string line;
    while (m_pAt < m_pEnd || refill()) {
        const char *lf = static_cast<const char *>(std::memchr(m_pAt, '\n', size_t(m_pEnd - m_pAt)));
        const char *stop = lf != nullptr ? lf + 1 : m_pEnd;
        line.append(m_pAt, size_t(stop - m_pAt));
        m_pAt = stop;
        if (lf != nullptr) {
            std::fwrite(line.data(), 1, line.size(), stderr);
            line.clear();
            if (--lines == 0) return;
        }
    }
    if (!line.empty()) std::fwrite(line.data(), 1, line.size(), stderr);
}

bool CririraParser::echoMappedLines(int lines)
{
    // The rest of a regular file is echoed from a mapping of it: a line of
    // any length then costs neither a copy nor memory of its own.
    int fd = m_pInput->regularFile();
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    off_t at = lseek(fd, 0, SEEK_CUR);
    if (at < 0) return false;
    // What is left of the block read last lies just before the position.
    at -= off_t(m_pEnd - m_pAt);
    if (m_inputEnded || at >= info.st_size) return true;
    const off_t start = at - at % off_t(sysconf(_SC_PAGESIZE));
    const size_t length = size_t(info.st_size - start);
    void *map = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, start);
    if (map == MAP_FAILED) return false;
    const char *p = static_cast<const char *>(map) + (at - start);
    const char *end = static_cast<const char *>(map) + length;
    while (p < end && lines > 0) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = lf != nullptr ? lf + 1 : end;
        std::fwrite(p, 1, size_t(stop - p), stderr);
        p = stop;
        --lines;
    }
    munmap(map, length);
    return true;
}

// A token is read in three steps: what lies between tokens is passed over,
// a single-character token is taken whole, and anything else is read as a
// quoted string or a word.
CtokenKind CririraParser::getToken(char *buffer)
{
    int c;
    if (!skipToToken(c)) return kTokenError;
    switch (c) {
    case EOF: return m_readFailed ? kTokenError : kTokenEnd;
    case '{': return kTokenOpenBrace;
    case '}': return kTokenCloseBrace;
    case '(': return kTokenOpenParen;
    case ')': return kTokenCloseParen;
    case '=': return kTokenEquals;
    case '\0': invalid(); return kTokenError;
    case '"': return readQuoted(buffer);
    default: return readWord(c, buffer);
    }
}

bool CririraParser::skipToToken(int &c)
{
    for (;;) {
        c = nextChar();
        if (c == ' ' || c == '\t' || c == '\r') continue;
        if (c == '\n') {
            countLine();
            continue;
        }
        if (c != '/') return true;
        int d = nextChar();
        if (d != '/') {
            // A word that begins with "/".
            pushBack(d);
            return true;
        }
        while ((c = nextChar()) != EOF && c != '\n')
            if (c == '\0') {
                invalid();
                return false;
            }
        if (c == '\n') countLine();
    }
}

bool CririraParser::store(char *buffer, int &length, int c)
{
    if (length >= kTokenMax - 1 || c == '\0') {
        invalid();
        return false;
    }
    buffer[length++] = char(c);
    return true;
}

CtokenKind CririraParser::readQuoted(char *buffer)
{
    // The quotes are dropped; an escape is kept with the character after it,
    // which ends nothing.
    int length = 0;
    auto take = [&](int c) {
        if (c == EOF) {
            if (!m_readFailed) invalid();
            return false;
        }
        if (c == '\n') countLine();
        return store(buffer, length, c);
    };
    for (int c; (c = nextChar()) != '"';) {
        if (!take(c) || (c == '\\' && !take(nextChar()))) return kTokenError;
    }
    buffer[length] = '\0';
    m_quoted = true;
    return kTokenWord;
}

CtokenKind CririraParser::readWord(int first, char *buffer)
{
    int length = 0;
    if (!store(buffer, length, first)) return kTokenError;
    for (int c; (c = nextChar()) != EOF;) {
        if (endsWord(c)) {
            pushBack(c);
            break;
        }
        if (!store(buffer, length, c)) return kTokenError;
    }
    buffer[length] = '\0';
    m_quoted = false;
    if (buffer[0] == '$') {
        if (std::strcmp(buffer, "$INSTANCE") == 0) return kTokenInstance;
        if (strcasecmp(buffer, "$ROOT") != 0) {
            invalid();
            return kTokenError;
        }
    }
    return kTokenWord;
}

uint32_t CririraParser::nameHash(const char *name, int category)
{
    return hashText(name, category == kCategorySchema ? 1 : 2);
}

CinstanceFact *CririraParser::findOrCreate(const char *name, int category)
{
    const bool schema = category == kCategorySchema;
    const uint32_t hash = nameHash(name, category);
    auto same = [&](const CinstanceFact *node) {
        return node->isSchema() == schema && std::strcmp(node->name(), name) == 0;
    };
    // Statements name the nodes of the last few statements again and again
    // (a file and the entities it contains, their class): those are found
    // among the nodes named last, which are still in the cache.
    CrecentName &recent = m_recentNames[hash % kRecentNames];
    if (recent.m_hash == hash && recent.m_pNode != nullptr && same(recent.m_pNode)) return recent.m_pNode;
    // Attribute blocks mostly come in the order their nodes were first
    // named, as a writer walks its nodes twice: the node read after the one
    // found last is tried before the table.
    CinstanceFact *node = nullptr;
    if (m_nextInOrder < m_readOrder.size() && same(m_readOrder[m_nextInOrder]))
        node = m_readOrder[m_nextInOrder];
    else
        node = m_names.find(hash, same);
    if (node == nullptr) {
        node = new CinstanceFact(name);
        if (schema) node->m_flags |= kFlagSchema;
        add(node);
        m_names.insert(hash, node);
        node->m_treeEnter = uint32_t(m_readOrder.size());
        m_readOrder.push_back(node);
    } else {
        m_nextInOrder = size_t(node->m_treeEnter) + 1;
    }
    recent = {hash, node};
    return node;
}

void CririraParser::add(CinstanceFact *node)
{
    m_table.add(node);
    if (std::strncmp(node->name(), "@FILE.", 6) == 0) {
        node->m_flags |= kFlagFileName;
        ++m_fileNames;
    }
}

CedgeFact *CririraParser::getEdge(const char *label, const char *fromName, int fromCategory,
                                  const char *toName, int toCategory)
{
    label = sharedText(label);
    CinstanceFact *from = findOrCreate(fromName, fromCategory);
    CinstanceFact *to = findOrCreate(toName, toCategory);
    // A fact stated twice is one edge: a repeated statement, or the
    // bracketed form that gives an edge its attributes, reads into the edge
    // already made.
    if (CedgeFact *known = m_pGlobal->m_edges.find(from, label, to)) return known;
    CedgeFact *edge = new CedgeFact(label);
    edge->connectFrom(from);
    edge->connectTo(to);
    m_pGlobal->m_edges.add(edge);
    return edge;
}

void CririraParser::appendSettings(Cfact *fact, Csetting *block)
{
    if (block == nullptr) return;
    // A fact given many blocks would have its chain walked once per block:
    // past a few links the walk goes on from the tail the last block left.
    constexpr int kWalked = 16;
    Cref<Csetting> *tail = &fact->m_pFirstSetting;
    int walked = 0;
    while (*tail != nullptr && walked < kWalked) {
        tail = &(*tail)->m_pNext;
        ++walked;
    }
    if (*tail != nullptr) {
        auto known = m_settingTails.find(fact);
        if (known != m_settingTails.end()) tail = &known->second->m_pNext;
        while (*tail != nullptr) tail = &(*tail)->m_pNext;
    }
    *tail = block;
    if (walked == kWalked || block->m_pNext != nullptr) {
        Csetting *last = block;
        while (last->m_pNext != nullptr) last = last->m_pNext;
        if (walked == kWalked) m_settingTails[fact] = last;
    }
}

CstepEnd CririraParser::getSettings(Cref<Csetting> &block)
{
    char first[kTokenMax], second[kTokenMax];
    char *text = first;
    char *spare = second;
    // The tail is kept so that a long block is read in linear time.
    Cref<Csetting> *tail = &block;
    CtokenKind t = getToken(text);
    for (;;) {
        if (t == kTokenCloseBrace) return CstepEnd::kDone;
        if (t != kTokenWord) {
            if (t != kTokenError) invalid();
            return CstepEnd::kStopped;
        }
        Csetting *setting = new Csetting(text);
        *tail = setting;
        tail = &setting->m_pNext;
        t = getToken(spare);
        std::swap(text, spare);
        if (t != kTokenEquals) continue;
        t = getToken(text);
        if (t == kTokenWord) {
            setting->value(text);
        } else if (t == kTokenOpenParen) {
            Cref<Cvalue> *valueTail = &setting->m_pFirstValue;
            while ((t = getToken(text)) == kTokenWord) {
                *valueTail = new Cvalue(text);
                valueTail = &(*valueTail)->m_pNext;
            }
            if (t != kTokenCloseParen) {
                if (t != kTokenError) invalid();
                return CstepEnd::kStopped;
            }
        } else {
            if (t != kTokenError) invalid();
            return CstepEnd::kStopped;
        }
        t = getToken(text);
    }
}

CstepEnd CririraParser::getFacts()
{
    char a[kTokenMax], b[kTokenMax], c[kTokenMax], d[kTokenMax];
    int category = kCategoryInstance;
    Cfact *current = nullptr;
    // True when the next token is of the kind; else the stop is reported.
    auto expect = [&](char *buffer, CtokenKind kind) {
        CtokenKind t = getToken(buffer);
        if (t == kind) return true;
        if (t != kTokenError) invalid();
        return false;
    };
    for (;;) {
        CtokenKind t = getToken(a);
        switch (t) {
        case kTokenEnd: return CstepEnd::kDone;
        case kTokenInstance: {
            if (!expect(b, kTokenWord)) return CstepEnd::kStopped;
            m_names.prefetch(nameHash(b, category));
            if (!expect(c, kTokenWord)) return CstepEnd::kStopped;
            CedgeFact *edge = getEdge("$INSTANCE", b, category, c, kCategorySchema);
            current = edge;
            if (strcasecmp(c, "cFile") == 0) {
                edge->m_pFrom->m_flags |= kFlagFileNode;
                ++m_fileDeclarations;
            }
            break;
        }
        case kTokenOpenBrace: {
            if (current == nullptr) {
                invalid();
                return CstepEnd::kStopped;
            }
            Cref<Csetting> block;
            CstepEnd read = getSettings(block);
            appendSettings(current, block);
            if (read == CstepEnd::kStopped) return CstepEnd::kStopped;
            break;
        }
        case kTokenOpenParen: {
            if (!expect(b, kTokenWord)) return CstepEnd::kStopped;
            CtokenKind next = getToken(c);
            if (next == kTokenCloseParen) {
                if (category != kCategorySchema) {
                    std::fputs("Saw a relation outside of SCHEME\n", stderr);
                    invalid();
                    return CstepEnd::kStopped;
                }
                current = new Cfact(b);
                current->m_flags |= kFlagSchema;
                break;
            }
            if (next != kTokenWord) {
                if (next != kTokenError) invalid();
                return CstepEnd::kStopped;
            }
            if (!expect(d, kTokenWord) || !expect(a, kTokenCloseParen)) return CstepEnd::kStopped;
            current = getEdge(b, c, category, d, category);
            break;
        }
        case kTokenWord: {
            // The node's slot in the name table is fetched while its block
            // is read.
            m_names.prefetch(nameHash(a, category));
            CtokenKind next = getToken(b);
            if (next == kTokenOpenBrace) {
                Cref<Csetting> block;
                CstepEnd read = getSettings(block);
                current = findOrCreate(a, category);
                appendSettings(current, block);
                if (read == CstepEnd::kStopped) return CstepEnd::kStopped;
                break;
            }
            if (next != kTokenWord) {
                if (next != kTokenError) invalid();
                return CstepEnd::kStopped;
            }
            m_names.prefetch(nameHash(b, category));
            if (!expect(c, kTokenWord)) return CstepEnd::kStopped;
            // Only a bare ":" closes a section header; a quoted one is a name.
            if (!m_quoted && std::strcmp(c, ":") == 0) {
                if (strcasecmp(a, "SCHEME") == 0)
                    category = kCategorySchema;
                else if (strcasecmp(a, "FACT") == 0)
                    category = kCategoryInstance;
                current = nullptr;
                break;
            }
            current = getEdge(a, b, category, c, category);
            break;
        }
        case kTokenError: return CstepEnd::kStopped;
        default: invalid(); return CstepEnd::kStopped;
        }
    }
}

CinstanceFact *CririraParser::makeRoot(const char *name)
{
    return new CinstanceFact(name);
}

void CririraParser::visit(CinstanceFact *node)
{
    m_pGlobal->check_maxno(node->name());
    node->compactAttributes();

    int parents = 0;
    for (CedgeFact *e = node->m_pFirstIn; e; e = e->m_pInNext)
        if (e->isTree()) ++parents;
    if (parents == 0) {
        CinstanceFact *&root = node->isSchema() ? m_pEntity : m_pRoot;
        if (root == nullptr) root = makeRoot(node->isSchema() ? "$ENTITY" : "$ROOT");
        if (m_pGlobal->m_verbose) {
            timenow();
            std::fprintf(stderr, "%s has no parent\n", node->name());
        }
        CedgeFact *edge = new CedgeFact("contain");
        edge->connectFrom(root);
        edge->connectTo(node);
        m_pGlobal->m_edges.add(edge);
    } else if (parents > 1) {
        std::fprintf(stderr, "%s has multiple parents\n", node->name());
        for (CedgeFact *e = node->m_pFirstIn; e; e = e->m_pInNext)
            if (e->isTree()) std::fprintf(stderr, "  %s->%s\n", e->m_pFrom->name(), node->name());
        // The edge read last (the head of the in list) stays the
        // containment; the others become ordinary edges.
        bool first = true;
        for (CedgeFact *e = node->m_pFirstIn; e; e = e->m_pInNext) {
            if (!e->isTree()) continue;
            if (!first) {
                e->m_flags &= ~kFlagTreeEdge;
                std::fprintf(stderr, "  demoted: %s %s %s\n", e->name(), e->m_pFrom->name(), node->name());
            }
            first = false;
        }
    }
    m_pGlobal->preprocessNode(node);
}

CstepEnd CririraParser::check_tree(CinstanceFact *node, long &count)
{
    // Pre-order numbering on an explicit stack; each node's interval covers
    // its subtree, which the merge uses to tell nested nodes apart.
    struct Cframe {
        CinstanceFact *m_pNode;
        CedgeFact *m_pNextChild;
    };
    std::vector<Cframe> stack;
    uint32_t number = 0;
    count = 0;
    auto enter = [&](CinstanceFact *n) {
        if (n->m_flags & kFlagTreeChecked) {
            std::fprintf(stderr, "%s node is the root of a cycle\n", n->name());
            return false;
        }
        n->m_flags |= kFlagTreeChecked;
        n->m_treeEnter = ++number;
        ++count;
        stack.push_back({n, n->firstChildEdge()});
        return true;
    };
    if (!enter(node)) return CstepEnd::kStopped;
    while (!stack.empty()) {
        Cframe &f = stack.back();
        CedgeFact *e = f.m_pNextChild;
        if (e == nullptr) {
            f.m_pNode->m_treeLeave = number;
            stack.pop_back();
            continue;
        }
        f.m_pNextChild = e->nextChildEdge();
        if (e->m_pTo != nullptr && !enter(e->m_pTo)) return CstepEnd::kStopped;
    }
    return CstepEnd::kDone;
}

CstepEnd CririraParser::parse(CinputSource &input, Cglobal &global, int bits, const char *inputName)
{
    m_pGlobal = &global;
    m_pInput = &input;
    m_table.init(bits);
    if (getFacts() == CstepEnd::kStopped) {
        // A read error ends the run as a stop: what was read is not the
        // input, and nothing is written.
        if (m_readFailed) std::fprintf(stderr, "Can't read '%s'\n", inputName ? inputName : "standard input");
        return CstepEnd::kStopped;
    }

    if (global.m_verbose) {
        timenow();
        std::fprintf(stderr, "Read %d lines of input (%u schema %u instance nodes created)\n", m_line,
                     m_table.m_schemaCount, m_table.m_instanceCount);
    }
    if (m_fileDeclarations == 0)
        std::fputs("Didn't see any nodes that were instances of cFile -- strange\n", stderr);

    uint64_t declarations = uint64_t(m_fileDeclarations);
    global.m_candidates.init(bitsAbove((declarations + 1) * 2, 1));
    global.m_renames.init(bitsAbove((declarations + uint64_t(m_fileNames)) * 2 + 2, 0));

    m_table.visitall(*this);

    global.m_pEntity = m_pEntity;
    global.m_pRoot = m_pRoot;
    if (global.m_verbose) {
        timenow();
        std::fputs("Built graph\n", stderr);
    }

    if (m_pRoot == nullptr) {
        std::fputs("Graph has no root -- no instance node is without a parent\n", stderr);
        return CstepEnd::kStopped;
    }
    long inTree = 0;
    if (check_tree(m_pRoot, inTree) == CstepEnd::kStopped) return CstepEnd::kStopped;
    if (uint64_t(inTree - 1) != m_table.m_instanceCount) {
        std::fprintf(stderr, "Graph is disconnected -- read %u nodes but only %ld nodes in tree\n",
                     m_table.m_instanceCount, inTree - 1);
        return CstepEnd::kStopped;
    }
    if (global.m_verbose) {
        timenow();
        std::fputs("Graph is a tree\n", stderr);
    }
    return CstepEnd::kDone;
}
