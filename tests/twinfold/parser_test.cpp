#include "parser.h"

#include "merge.h"
#include "ta_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <regex>
#include <string>

namespace {

const std::string kNoFiles = "Didn't see any nodes that were instances of cFile -- strange\n";

// "<tree>|<standard error>" after a successful parse, "FAILED|<standard
// error>" after a refused one; the warning about cFile is left out.
std::string parseCase(const std::string &input)
{
    Cglobal global(0, true);
    std::string errors;
    bool ok = parseText(input, global, &errors);
    size_t at = errors.find(kNoFiles);
    if (at != std::string::npos) errors.erase(at, kNoFiles.size());
    return (ok ? describe(global.m_pRoot) : std::string("FAILED")) + "|" + errors;
}

}  // namespace

TEST(Parser, InputsMapToTheirGraphOrTheirError)
{
    struct Ccase {
        const char *what;
        std::string input;
        std::string expected;
    } cases[] = {
        {"words and strings", "contain \"p q\" r\\\"s\n", "$ROOT(p q(r\\\"s))|"},
        {"escapes stay in strings", "contain a \"b\\\"c\"\n", "$ROOT(a(b\\\"c))|"},
        {"comments", "// head\ncontain a b // tail\nx//y { k=v }\ncontain a x//y\n",
         "$ROOT(a(x//y {k=v} b))|"},
        {"section headers in any case",
         "scheme tuple :\ncontain A B\nfact Tuple :\ncontain a b\nEXTRA TUPLE :\ncontain b c\n",
         "$ROOT(a(b(c)))|"},
        {"schema and instance names apart", "SCHEME TUPLE :\ncontain a b\nFACT TUPLE :\ncontain a c\n",
         "$ROOT(a(c))|"},
        {"relation declaration in the schema",
         "SCHEME TUPLE :\n( call ) { color=red }\nFACT TUPLE :\ncontain a b\n", "$ROOT(a(b))|"},
        {"$root is a name", "contain $root x\n", "$ROOT($root(x))|"},
        {"$INSTANCE", "$INSTANCE f cFile\n", "$ROOT(f [$INSTANCE>cFile])|"},
        {"attribute forms", "a { x=(1 2 3) y z=() w=\"q r\" }\n", "$ROOT(a {w=q r,x=(1 2 3),y,z})|"},
        {"second block extends the first", "a { y=2 }\na { x=1 }\n", "$ROOT(a {x=1,y=2})|"},
        {"bracketed edge with attributes", "(call a b) { w=1 }\ncontain a b\n",
         "$ROOT(a [call>b {w=1}](b))|"},
        {"a repeated fact is one edge",
         "call a b\n$INSTANCE a K\ncall a b\n$INSTANCE a K\ncontain a b\ncontain a b\n",
         "$ROOT(a [$INSTANCE>K] [call>b](b))|"},
        {"attribute lines go to the edge stated before",
         "call a b\n(call a b) { w=1 }\n(call a b) { v=2 }\ncontain a b\n",
         "$ROOT(a [call>b {w=1,v=2}](b))|"},
        {"quoted colon is a name", "contain a \":\"\n", "$ROOT(a(:))|"},
        {"longest word", "contain a " + std::string(1023, 'w') + "\n",
         "$ROOT(a(" + std::string(1023, 'w') + "))|"},
        {"two parents", "contain a c\ncontain b c\n",
         "$ROOT(b(c) a [contain>c])|c has multiple parents\n  b->c\n  a->c\n  demoted: contain a c\n"},
        {"three parents", "contain a c\ncontain b c\ncontain d c\n",
         "$ROOT(d(c) b [contain>c] a [contain>c])|c has multiple parents\n  d->c\n  b->c\n  a->c\n"
         "  demoted: contain b c\n  demoted: contain a c\n"},
        {"disconnected graph", "contain a b\ncontain b a\ncontain r s\n",
         "FAILED|Graph is disconnected -- read 4 nodes but only 2 nodes in tree\n"},
        {"empty input", "", "FAILED|Graph has no root -- no instance node is without a parent\n"},
        {"bare colon ends a header", "contain a :\n",
         "FAILED|Graph has no root -- no instance node is without a parent\n"},
        {"bad $ word", "contain a $ENTITY\nnext line\n",
         "FAILED|\nParse error at line 1\n\n...\nnext line\n"},
        {"relation outside the schema", "( call )\nx\n",
         "FAILED|Saw a relation outside of SCHEME\n\nParse error at line 1\n\n...\nx\n"},
        {"line numbers after CR LF", "contain a b\r\ncontain c d\r\n} x\r\nl4\r\nl5\r\nl6\r\n",
         "FAILED|\nParse error at line 3\n\n... x\r\nl4\r\nl5\r\n"},
        {"multi-line string", "contain a \"b\nc\"\n= x\n", "FAILED|\nParse error at line 3\n\n... x\n"},
        {"NUL between tokens", std::string("contain a b\n\0 tail\n", 19),
         "FAILED|\nParse error at line 2\n\n... tail\n"},
        {"NUL in a word", std::string("contain a b\0c\n", 14), "FAILED|\nParse error at line 1\n\n...c\n"},
        {"NUL in a comment", std::string("// x\0y\ncontain a b\n", 19),
         "FAILED|\nParse error at line 1\n\n...y\ncontain a b\n"},
        {"word too long", "contain a " + std::string(1024, 'w'), "FAILED|\nParse error at line 1\n\n..."},
        {"end of input in a string", "contain a \"b", "FAILED|\nParse error at line 1\n\n..."},
        {"end of input after a backslash", "contain a \"b\\", "FAILED|\nParse error at line 1\n\n..."},
        {"brace without a fact", "{ a=1 }\n", "FAILED|\nParse error at line 1\n\n... a=1 }\n"},
        {"brace after a header", "FACT TUPLE :\n{ a=1 }\n", "FAILED|\nParse error at line 2\n\n... a=1 }\n"},
        {"nothing after =", "a { x = }\n", "FAILED|\nParse error at line 1\n\n...\n"},
        {"statement of two words", "a b\n", "FAILED|\nParse error at line 2\n\n..."},
        {"unclosed bracketed edge", "( call a b c\n", "FAILED|\nParse error at line 1\n\n...\n"},
    };
    for (const Ccase &c : cases) EXPECT_EQ(parseCase(c.input), c.expected) << c.what;
}

TEST(Parser, WarnsWhenNoNodeIsAFile)
{
    Cglobal global(0, true);
    std::string errors;
    ASSERT_TRUE(parseText("contain a b\n", global, &errors));
    EXPECT_EQ(errors, kNoFiles);
    ASSERT_TRUE(parseText("$INSTANCE a CFILE\n", global, &errors));
    EXPECT_EQ(errors, "");
}

TEST(Parser, MarksFilesAndFileNamesAndSizesTheMergeTables)
{
    Cglobal global(0, true);
    ASSERT_TRUE(parseText("$INSTANCE @FILE.x.h.a.c cfile\n$INSTANCE b cFile\n$INSTANCE c cFile\n"
                          "contain c @FILE.y.h\ncontain b @7\n@FILE.x.h.a.c { name=x }\n",
                          global));
    CinstanceFact *x = nullptr;
    for (CedgeFact *e = global.m_pRoot->firstChildEdge(); e; e = e->nextChildEdge())
        if (std::string(e->m_pTo->name()) == "@FILE.x.h.a.c") x = e->m_pTo;
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->m_flags & (kFlagFileNode | kFlagFileName), kFlagFileNode | kFlagFileName);
    // 3 file declarations: 2^4 > (3 + 1) * 2; 2 "@FILE." names: 2^4 > 5 * 2 + 2.
    EXPECT_EQ(global.m_candidates.m_slotCount, 16u);
    EXPECT_EQ(global.m_renames.m_slotCount, 16u);
    // The file node with attributes is a candidate, @FILE.y.h goes to renaming.
    EXPECT_EQ(global.m_candidates.m_totalCount, 1u);
    EXPECT_EQ(global.m_renames.m_totalCount, 1u);
    EXPECT_EQ(global.m_maxNo, 7u);
}

TEST(Parser, VerboseProgressLinesAreTimeStamped)
{
    Cglobal global(1, true);
    std::string errors;
    ASSERT_TRUE(parseText("$INSTANCE a cFile\ncontain a b\n", global, &errors));
    std::string stamp = "TwinFold: [0-9]{2}:[0-9]{2}:[0-9]{2} ";
    std::regex expected("^" + stamp + "Read 3 lines of input \\(1 schema 2 instance nodes created\\)\n" +
                        stamp + "a has no parent\n" + stamp + "cFile has no parent\n" + stamp +
                        "Built graph\n" + stamp + "Graph is a tree\n$");
    EXPECT_TRUE(std::regex_match(errors, expected)) << errors;
}

TEST(Parser, ReportsProgressEveryMillionLines)
{
    Cglobal global(1, true);
    std::string errors;
    ASSERT_TRUE(parseText(std::string((1 << 20) - 1, '\n') + "contain a b\n", global, &errors));
    EXPECT_NE(errors.find(" Parse progress 1M lines\n"), std::string::npos) << errors.substr(0, 200);
}

TEST(Parser, DeepContainmentNeedsNoRecursion)
{
    std::string input;
    for (int i = 0; i < 200000; ++i)
        input += "contain n" + std::to_string(i) + " n" + std::to_string(i + 1) + "\n";
    Cglobal global(0, true);
    ASSERT_TRUE(parseText(input, global, nullptr, 16));
    EXPECT_EQ(global.m_pRoot->children(), 1);
}

TEST(Parser, WideAttributeBlocksAreReadWhole)
{
    std::string input = "a {";
    for (int i = 0; i < 100000; ++i) input += " k" + std::to_string(i) + "=v";
    input += " list=(";
    for (int i = 0; i < 100000; ++i) input += " " + std::to_string(i);
    input += " ) }\n";
    Cglobal global(0, true);
    ASSERT_TRUE(parseText(input, global));
    const CinstanceFact *a = global.m_pRoot->firstChildEdge()->m_pTo;
    int settings = 0;
    const Csetting *list = nullptr;
    for (const Csetting *s = a->m_pFirstSetting; s; s = s->m_pNext, ++settings)
        if (std::string(s->name()) == "list") list = s;
    EXPECT_EQ(settings, 100001);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(valueCount(list), 100000);
}

TEST(Parser, ManyBlocksForOneFactKeepEveryAttributeInOrder)
{
    // Blocks for a and b in turn: each block of a goes after all of a's
    // attributes, which a walk along the chain per block would find in time
    // quadratic in their number.
    std::string input;
    const int blocks = 200000;
    for (int i = 0; i < blocks; ++i)
        input += "a { k" + std::to_string(i) + " }\nb { j=" + std::to_string(i) + " }\n";
    Cglobal global(0, true);
    ASSERT_TRUE(parseText(input, global));
    for (CedgeFact *e = global.m_pRoot->firstChildEdge(); e; e = e->nextChildEdge()) {
        // The parser's visit sorts each chain by name (k0 k1 k10 k100 ...);
        // the j, which share one name, may change their order.
        std::vector<std::string> names;
        for (const Csetting *s = e->m_pTo->m_pFirstSetting; s; s = s->m_pNext)
            names.push_back(std::string(s->name()) +
                            (s->m_pFirstValue ? "=" + std::string(s->m_pFirstValue->name()) : ""));
        ASSERT_EQ(names.size(), size_t(blocks)) << e->m_pTo->name();
        if (std::string(e->m_pTo->name()) == "a") {
            std::vector<std::string> expected;
            for (int i = 0; i < blocks; ++i) expected.push_back("k" + std::to_string(i));
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(names, expected);
        } else {
            std::vector<std::string> expected;
            for (int i = 0; i < blocks; ++i) expected.push_back("j=" + std::to_string(i));
            std::sort(expected.begin(), expected.end());
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, expected);
        }
    }
}

namespace {

// Standard error replaced by an unbuffered stream, as the real one is, that
// keeps what is written and counts the write calls it takes.
class CcountedStandardError {
public:
    CcountedStandardError()
    {
        cookie_io_functions_t functions = {};
        functions.write = [](void *self, const char *data, size_t size) -> ssize_t {
            auto *counted = static_cast<CcountedStandardError *>(self);
            ++counted->m_writes;
            counted->m_text.append(data, size);
            return ssize_t(size);
        };
        m_pStream = fopencookie(this, "w", functions);
        std::setvbuf(m_pStream, nullptr, _IONBF, 0);
        m_pSaved = stderr;
        stderr = m_pStream;
    }
    ~CcountedStandardError()
    {
        stderr = m_pSaved;
        std::fclose(m_pStream);
    }

    int m_writes = 0;
    std::string m_text;

private:
    FILE *m_pStream;
    FILE *m_pSaved;
};

}  // namespace

TEST(Parser, TheParseErrorEchoWritesEachLineInOneCall)
{
    const std::string longLine(10 * 1000 * 1000, 'x');
    struct Ccase {
        const char *what;
        std::string input;
        int line;          // where the error is
        std::string echo;  // what follows the "..." of the report
        int lines;         // lines of the echo, each one write call
    } cases[] = {
        {"three lines, the first 10 MB", "}" + longLine + "\nsecond\nthird\nfourth\n", 1,
         longLine + "\nsecond\nthird\n", 3},
        {"a 10 MB line without a line end", "contain a b\n} " + longLine, 2, " " + longLine, 1},
        // The character that ended the bad word was read ahead of it.
        {"the character read ahead", "contain a $X{" + longLine + "\nnext\n", 1, "{" + longLine + "\nnext\n",
         2},
    };
    // A file is echoed from a mapping, any other input through a buffer.
    for (bool file : {true, false}) {
        for (const Ccase &c : cases) {
            const std::string what = std::string(c.what) + (file ? "" : ", not a file");
            CfileInput fileInput(c.input);
            CtextSource textInput(c.input);
            CinputSource &in = file ? static_cast<CinputSource &>(fileInput.m_file) : textInput;
            Cglobal global(0, true);
            CririraParser parser;
            int writes;
            std::string text;
            {
                CcountedStandardError counted;
                EXPECT_EQ(parser.parse(in, global, 10), CstepEnd::kStopped) << what;
                writes = counted.m_writes;
                text = counted.m_text;
            }
            const std::string head = "\nParse error at line " + std::to_string(c.line) + "\n\n...";
            EXPECT_TRUE(text == head + c.echo) << what << ": " << text.substr(0, 80);
            // The report's first line takes one call, each line of the echo one.
            EXPECT_LE(writes, 1 + c.lines) << what;
        }
    }
}

TEST(Parser, AReadErrorIsNeverTheEndOfTheInput)
{
    // Each of these would read as a whole input, or as a parse error, if the
    // failure were taken for the end.
    for (const std::string text : {"", "$INSTANCE a cFile\ncontain a b\n", "contain a b", "contain a \"b",
                                   "contain a \"b\\", "contain a b\n// note", "a { k = "}) {
        CtextSource in(text, true);
        Cglobal global(0, true);
        CririraParser parser;
        testing::internal::CaptureStderr();
        EXPECT_EQ(parser.parse(in, global, 10, "in.ta"), CstepEnd::kStopped) << text;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't read 'in.ta'\n") << text;
        EXPECT_TRUE(parser.readFailed()) << text;
    }
}

namespace {

// "from to" of every edge labelled label, sorted.
std::vector<std::string> edgesLabelled(Cglobal &global, const char *label)
{
    std::vector<std::string> pairs;
    walkTree(global.m_pRoot, [&](CinstanceFact *node) {
        for (CedgeFact *e = node->firstOutEdge(); e; e = e->nextOutEdge())
            if (std::strcmp(e->name(), label) == 0)
                pairs.push_back(std::string(node->name()) + " " + e->m_pTo->name());
    });
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

}  // namespace

// Every edge between twelve nodes that each call all twelve, stated twice
// (the second time with an attribute): with every key of the edge table one
// and the same, each statement still reads into its own edge, none is lost
// and none doubled.
TEST(Parser, EdgesWhoseKeysCollideInTheEdgeTableAreAllKept)
{
    std::string facts, attributes = "FACT ATTRIBUTE :\n";
    std::vector<std::string> expected;
    for (int from = 0; from < 12; ++from)
        for (int to = 0; to < 12; ++to) {
            const std::string pair = "n" + std::to_string(from) + " n" + std::to_string(to);
            facts += "call " + pair + "\n";
            attributes += "(call " + pair + ") { seen=1 }\n";
            expected.push_back(pair);
        }
    std::sort(expected.begin(), expected.end());
    Cglobal global(0, true);
    global.m_edges =
        CedgeIndex([](const CinstanceFact *, const char *, const CinstanceFact *) { return uint32_t(1); });
    ASSERT_TRUE(parseText("FACT TUPLE :\n" + facts + attributes, global));
    EXPECT_GT(global.m_edges.entered(), 0u);
    EXPECT_EQ(edgesLabelled(global, "call"), expected);
    walkTree(global.m_pRoot, [](CinstanceFact *node) {
        for (CedgeFact *e = node->firstOutEdge(); e; e = e->nextOutEdge())
            if (std::strcmp(e->name(), "call") == 0) {
                EXPECT_EQ(describeSettings(e), " {seen=1}") << node->name();
            }
    });
}

// A hub that 40,000 sources call and that calls 40,000 targets, every
// statement made twice: each lookup of an edge walks the list of the node at
// its other end, which holds that one edge, never the hub's 40,000.
TEST(Parser, AnEdgeIsLookedUpAlongTheShorterList)
{
    constexpr int kSpokes = 40000;
    std::string facts;
    for (int i = 0; i < kSpokes; ++i)
        facts += "call s" + std::to_string(i) + " hub\ncall hub t" + std::to_string(i) + "\n";
    Cglobal global(0, true);
    ASSERT_TRUE(parseText(facts + facts, global, nullptr, 16));
    EXPECT_EQ(edgesLabelled(global, "call").size(), size_t(2 * kSpokes));
    // Four lookups per spoke, the second two of them finding their edge.
    EXPECT_LE(global.m_edges.visited(), uint64_t(4 * kSpokes));
}
