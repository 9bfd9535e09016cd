// Reader of TA fact files: builds the fact graph, gives every node but the
// roots one containment parent and checks that the instance nodes form one
// tree under $ROOT.
#pragma once

#include "facts.h"
#include "hash.h"
#include "input.h"
#include "step_end.h"

#include "tagged_table.h"

#include <cstdio>
#include <unordered_map>
#include <vector>

class Cglobal;

enum CtokenKind {
    kTokenEnd,
    kTokenOpenBrace,
    kTokenCloseBrace,
    kTokenOpenParen,
    kTokenCloseParen,
    kTokenEquals,
    kTokenWord,      // a word or a quoted string
    kTokenInstance,  // the keyword $INSTANCE
    kTokenError,     // reported already
};

class CririraParser : public Cvisithash {
public:
    static constexpr int kTokenMax = 1024;

    // Reads the whole input into global's graph; stops on a parse error, a
    // read error, a disconnected graph or a cycle. inputName, for the report
    // of a read error, may be null (standard input).
    CstepEnd parse(CinputSource &input, Cglobal &global, int bits, const char *inputName = nullptr);
    bool readFailed() const { return m_readFailed; }

    CtokenKind getToken(char *buffer);
    // Passes over blanks, line ends and comments; c is then the first
    // character of the token, or EOF. False after a reported error.
    bool skipToToken(int &c);
    // A quoted string, the opening quote read; a word beginning with first.
    CtokenKind readQuoted(char *buffer);
    CtokenKind readWord(int first, char *buffer);
    // Appends c to a token of length characters; false, reported, when the
    // token would be too long or c is NUL.
    bool store(char *buffer, int &length, int c);
    CstepEnd getFacts();
    // Reads one attribute block into a chain of its own.
    CstepEnd getSettings(Cref<Csetting> &block);
    // Puts a block read after the fact's attributes.
    void appendSettings(Cfact *fact, Csetting *block);
    CedgeFact *getEdge(const char *label, const char *fromName, int fromCategory, const char *toName,
                       int toCategory);
    void add(CinstanceFact *node);
    void visit(CinstanceFact *node) override;
    void invalid();
    // Copies the input from the current position to standard error up to
    // and including the given number of line ends, or to its end.
    void echoLines(int lines);
    // echoLines for a regular file; false when the input is none.
    bool echoMappedLines(int lines);
    // Counts the nodes of the tree below node, node included; stops at a
    // cycle.
    CstepEnd check_tree(CinstanceFact *node, long &count);

    // The node table: its slots and chains fix the order in which nodes are
    // visited after reading, which shows in the output.
    Chash m_table;
    // Lookup by category and name. The table's checksum folds a name into
    // few slots (names such as @12345 share chains by the thousand), so
    // finding a node by walking its chain would make reading quadratic.
    CtaggedTable<CinstanceFact> m_names;
    static constexpr size_t kRecentNames = 64;
    struct CrecentName {
        uint32_t m_hash = 0;
        CinstanceFact *m_pNode = nullptr;
    };
    CrecentName m_recentNames[kRecentNames];
    // Every node in the order it was first named (each node's m_treeEnter
    // holds its place until the tree check numbers the tree), and the place
    // after the node found last.
    std::vector<Cref<CinstanceFact>> m_readOrder;
    size_t m_nextInOrder = 0;
    // The last attribute of facts whose chains are long.
    std::unordered_map<const Cfact *, Csetting *> m_settingTails;
    Cglobal *m_pGlobal = nullptr;
    CinstanceFact *m_pEntity = nullptr;
    CinstanceFact *m_pRoot = nullptr;
    int m_line = 1;
    CinputSource *m_pInput = nullptr;
    int m_fileDeclarations = 0;
    int m_fileNames = 0;
    // Whether the last word token was a quoted string.
    bool m_quoted = false;

private:
    int nextChar() { return m_pAt < m_pEnd || refill() ? static_cast<unsigned char>(*m_pAt++) : EOF; }
    // Gives back the character nextChar gave last; nothing for the end.
    void pushBack(int c)
    {
        if (c != EOF) --m_pAt;
    }
    // Reads the next block of the input; false at its end or after a read
    // error.
    bool refill();
    void countLine();
    CinstanceFact *findOrCreate(const char *name, int category);
    static uint32_t nameHash(const char *name, int category);
    CinstanceFact *makeRoot(const char *name);

    // The input is read in blocks of its own: the block, and the part of it
    // not yet read. A block of 64 KiB reads as fast as larger ones and stays
    // in the cache while it is parsed.
    static constexpr size_t kInputBlock = size_t(1) << 16;
    std::vector<char> m_buffer;
    const char *m_pAt = nullptr;
    const char *m_pEnd = nullptr;
    bool m_inputEnded = false;
    // Set once reading the input failed; the input then reads as ended and
    // every token as an error.
    bool m_readFailed = false;
};
