// The gd graph file: reader, writer, and the graph's constructor.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "gd/graph.h"

namespace {

// Little-endian byte assembly, independent of the writer under test.
struct Bytes {
    std::vector<unsigned char> b;
    Bytes &raw(const char *s, size_t n)
    {
        b.insert(b.end(), s, s + n);
        return *this;
    }
    Bytes &u16(uint16_t v)
    {
        b.push_back(v & 0xff);
        b.push_back(v >> 8);
        return *this;
    }
    Bytes &u32(uint32_t v)
    {
        for (int i = 0; i < 4; i++) b.push_back((v >> (8 * i)) & 0xff);
        return *this;
    }
    Bytes &i32(int32_t v) { return u32((uint32_t)v); }
    Bytes &zeros(size_t n)
    {
        b.insert(b.end(), n, 0);
        return *this;
    }
    std::string str() const { return std::string(b.begin(), b.end()); }
};

class GraphFile : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override
    {
        char tmpl[] = "/tmp/gd_graph_test.XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string &name) { return (dir / name).string(); }
    std::string put(const std::string &name, const std::string &bytes)
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string contents(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

void expect_empty(const gd_graph &g)
{
    EXPECT_EQ(g.stringBuffLen, 0u);
    EXPECT_EQ(g.curStringPos, 0u);
    EXPECT_EQ(g.hashTableLen, 0u);
    EXPECT_EQ(g.nodeBuffLen, 0u);
    EXPECT_EQ(g.curNodePos, 0u);
    EXPECT_EQ(g.stringBuffer, nullptr);
    EXPECT_EQ(g.hashTable, nullptr);
    EXPECT_EQ(g.nodeBuffer, nullptr);
    EXPECT_EQ(g.firstNode, -1);
    EXPECT_EQ(g.firstFreeNode, -1);
}

// A graph whose pool and table exceed their use (100 bytes for 5, 7 slots
// for 2); three records, the middle one freed (it ends the free list, so
// reading the file back rebuilds the same list).
gd_graph small_graph()
{
    gd_graph g = allocate_gd_graph(100, 7, 3);
    EXPECT_EQ(gd_add_string(&g, "ab"), 0);  // slot 1: (3 + 128*'a' + 16*'b') mod 7
    EXPECT_EQ(gd_add_string(&g, "c"), 3);   // slot 6: (2 + 128*'c' + 16*'c') mod 7
    node_ptr a = newNode(&g), b = newNode(&g), c = newNode(&g);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(c, 2);
    gd_clear_node(&g, a, gIDENTIFIER_NODE);
    g.nodeBuffer[a].identifier_node.strg = 0;
    g.nodeBuffer[a].identifier_node.lngt = 2;
    g.nodeBuffer[a].common.public_flag = 1;
    gd_clear_node(&g, b, dC_ARC_SON);
    gd_free_node(&g, b);
    gd_clear_node(&g, c, dC_ARC_SON);
    g.nodeBuffer[c].dc_arc_son.src = 0;
    g.nodeBuffer[c].dc_arc_son.dest = 0;
    g.nodeBuffer[c].dc_arc_son.ordinal = 7;
    g.firstNode = 2;
    return g;
}

std::string small_graph_bytes()
{
    Bytes f;
    f.raw("gduf", 4).u16(5).u16(0);
    f.u32(5).raw("ab\0c\0", 5);
    f.u32(7).i32(-1).i32(0).i32(-1).i32(-1).i32(-1).i32(-1).i32(3);
    f.i32(2);
    f.u32(3);
    // 0: identifier_node, public_flag, other_node -1, strg 0, lngt 2, op_type_un 0, tynm 0
    f.u16(1).raw("\x20\x00", 2).i32(-1).i32(0).u32(2).i32(0).i32(0).zeros(72 - 24);
    // 1: freed arc: kind node_deleted, other_node -1 (end of the free list), fields as they were
    f.u16(313).zeros(2).i32(-1).i32(0).i32(-1).i32(-1).i32(-1).zeros(72 - 24);
    // 2: cArcSon, ordinal 7, src 0, dest 0, next -1
    f.u16(302).zeros(2).i32(-1).i32(7).i32(0).i32(0).i32(-1).zeros(72 - 24);
    return f.str();
}

TEST_F(GraphFile, WriterStoresTheBytesInUseOnly)
{
    gd_graph g = small_graph();
    ASSERT_EQ(gd_graph_write_binary_file(path("g.gd").c_str(), g), 1);
    EXPECT_EQ(contents(path("g.gd")), small_graph_bytes());
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, ReadBackAndWrittenAgainIsIdentical)
{
    std::string file = put("in.gd", small_graph_bytes());
    gd_graph g = gd_graph_read_binary_file(file.c_str());
    EXPECT_EQ(g.stringBuffLen, 5u);
    EXPECT_EQ(g.curStringPos, 5u);
    EXPECT_EQ(g.hashTableLen, 7u);
    EXPECT_EQ(g.nodeBuffLen, 3u);
    EXPECT_EQ(g.curNodePos, 3u);
    EXPECT_EQ(g.firstNode, 2);
    EXPECT_EQ(g.firstFreeNode, 1);
    EXPECT_EQ(gd_lookup_string(&g, "c"), 3);
    ASSERT_EQ(gd_graph_write_binary_file(path("out.gd").c_str(), g), 1);
    EXPECT_EQ(contents(path("out.gd")), small_graph_bytes());
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, EmptySectionsRoundTrip)
{
    Bytes f;
    f.raw("gduf", 4).u16(5).u16(0).u32(0).u32(0).i32(-1).u32(0);
    std::string file = put("empty.gd", f.str());
    testing::internal::CaptureStderr();
    gd_graph g = gd_graph_read_binary_file(file.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(g.curStringPos, 0u);  // which talvexf takes for a failed read
    EXPECT_EQ(g.curNodePos, 0u);
    EXPECT_EQ(g.firstFreeNode, -1);
    EXPECT_EQ(gd_lookup_string(&g, "x"), -1);  // no slot to probe
    EXPECT_EQ(gd_add_string(&g, "x"), -1);
    ASSERT_EQ(gd_graph_write_binary_file(path("out.gd").c_str(), g), 1);
    EXPECT_EQ(contents(path("out.gd")), f.str());
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, DamagedFilesAreRefusedWithTheirMessage)
{
    const std::string good = small_graph_bytes();
    auto with_u32 = [&](size_t at, uint32_t v) {
        std::string s = good.substr(0, at);
        for (int i = 0; i < 4; i++) s.push_back((char)((v >> (8 * i)) & 0xff));
        return s + std::string(16, '\0');
    };
    auto with_version = [&](uint16_t major, uint16_t minor) {
        std::string s = good;
        s[4] = (char)major, s[5] = 0, s[6] = (char)minor, s[7] = 0;
        return s;
    };
    // Offsets in the good file: pool at 12, H at 17, slots at 21, firstNode at
    // 49, N at 53, records at 57.
    struct Case {
        const char *what;
        std::string bytes;
        const char *message;  // %s stands for the file name
    } cases[] = {
        {"empty file", "", "Error reading magic from %s\n"},
        {"short magic", "gdu", "Error reading magic from %s\n"},
        {"bad magic", "gdxf" + good.substr(4), "%s: Wrong file format, magic does not match\n"},
        {"no version", good.substr(0, 6), "Error reading version from %s\n"},
        {"major 4", with_version(4, 0), "Major version 4 in file %s does not match current version 5\n"},
        {"major 6", with_version(6, 0), "Major version 6 in file %s does not match current version 5\n"},
        {"minor 1", with_version(5, 1), "Minor version 1 in file %s is newer than current version 0\n"},
        {"no pool length", good.substr(0, 10), "Error reading string buffer length from %s\n"},
        {"cut in pool", good.substr(0, 14), "Error reading string buffer from %s\n"},
        {"no slot count", good.substr(0, 19), "Error reading hash table length from %s\n"},
        {"cut in slots", good.substr(0, 30), "Error reading hash table from %s\n"},
        {"no first node", good.substr(0, 51), "Error reading first node from %s\n"},
        {"no node count", good.substr(0, 55), "Error reading node buffer length from %s\n"},
        {"cut in records", good.substr(0, 57 + 72 + 36), "Error reading node buffer from %s(1,3)\n"},
        {"huge pool", with_u32(8, 0xffffffff), "Error reading string buffer from %s\n"},
        {"huge table", with_u32(17, 0x40000000), "Error reading hash table from %s\n"},
        {"huge node count", with_u32(53, 0xffffffff), "Error reading node buffer from %s(0,4294967295)\n"},
    };
    for (const Case &c : cases) {
        std::string file = put("bad.gd", c.bytes);
        testing::internal::CaptureStderr();
        gd_graph g = gd_graph_read_binary_file(file.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        char expected[512];
        snprintf(expected, sizeof expected, c.message, file.c_str());
        EXPECT_EQ(err, expected) << c.what;
        expect_empty(g);
    }
    testing::internal::CaptureStderr();
    gd_graph g = gd_graph_read_binary_file(path("missing.gd").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not open " + path("missing.gd") + " for binary read\n");
    expect_empty(g);
}

// A read error is a refusal like a short file, never an end of input: a
// link to /proc/self/mem fails its first read.
TEST_F(GraphFile, AReadErrorRefusesTheFile)
{
    const std::string link = path("mem.gd");
    ASSERT_EQ(symlink("/proc/self/mem", link.c_str()), 0);
    testing::internal::CaptureStderr();
    gd_graph g = gd_graph_read_binary_file(link.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error reading magic from " + link + "\n");
    expect_empty(g);
}

// Through a pipe the file's size is unknown, so a count cannot be checked
// against it beforehand: the short read says the same as for a file.
TEST_F(GraphFile, FromAPipeAWholeFileReadsAndACutOneIsRefused)
{
    const std::string good = small_graph_bytes();
    const std::string fifo = path("pipe.gd");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string bytes;
        const char *message;  // %s stands for the file name
    } cases[] = {
        {good, ""},
        {good.substr(0, 14), "Error reading string buffer from %s\n"},
        {good.substr(0, 30), "Error reading hash table from %s\n"},
        {good.substr(0, 57 + 72 + 36), "Error reading node buffer from %s(1,3)\n"},
    };
    for (const Case &c : cases) {
        std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << c.bytes; });
        testing::internal::CaptureStderr();
        gd_graph g = gd_graph_read_binary_file(fifo.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        writer.join();
        char expected[512];
        snprintf(expected, sizeof expected, c.message, fifo.c_str());
        EXPECT_EQ(err, expected) << c.bytes.size() << " bytes";
        if (*c.message) {
            expect_empty(g);
        } else {
            EXPECT_EQ(g.curNodePos, 3u);
            EXPECT_EQ(g.firstFreeNode, 1);
            EXPECT_EQ(gd_lookup_string(&g, "c"), 3);
        }
        deallocate_gd_graph(g);
    }
}

TEST_F(GraphFile, FreeRecordsComeBackOnTheFreeListInAscendingOrder)
{
    Bytes f;
    f.raw("gduf", 4).u16(5).u16(0).u32(2).raw("a\0", 2).u32(2).i32(0).i32(-1).i32(-1).u32(4);
    for (int kind : {313, 1, 313, 313}) f.u16(kind).zeros(2).i32(77).zeros(64);
    gd_graph g = gd_graph_read_binary_file(put("free.gd", f.str()).c_str());
    EXPECT_EQ(g.firstFreeNode, 0);
    EXPECT_EQ(g.nodeBuffer[0].common.other_node, 2);
    EXPECT_EQ(g.nodeBuffer[2].common.other_node, 3);
    EXPECT_EQ(g.nodeBuffer[3].common.other_node, -1);
    EXPECT_EQ(g.nodeBuffer[1].common.other_node, 77);
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, UnterminatedLastStringStillEnds)
{
    Bytes f;
    f.raw("gduf", 4).u16(5).u16(0).u32(3).raw("abc", 3).u32(0).i32(-1).u32(0);
    gd_graph g = gd_graph_read_binary_file(put("s.gd", f.str()).c_str());
    EXPECT_STREQ(string_at(&g, 1), "bc");
    EXPECT_EQ(string_at(&g, 3), nullptr);
    EXPECT_EQ(string_at(&g, -1), nullptr);
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, WritingToAFullDiskFails)
{
    gd_graph g = small_graph();
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_graph_write_binary_file("/dev/full", g), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error writing /dev/full\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_graph_write_binary_file(path("no/such/dir.gd").c_str(), g), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not open " + path("no/such/dir.gd") + " for binary write\n" + path("no/such/dir.gd") +
                  ": the folder " + path("no/such") + " cannot take a new file: No such file or directory\n");
    deallocate_gd_graph(g);
}

TEST_F(GraphFile, UnbufferedFullDiskFailsAtTheFirstWrite)
{
    gd_graph g = small_graph();
    FILE *f = fopen("/dev/full", "wb");
    ASSERT_NE(f, nullptr);
    setvbuf(f, nullptr, _IONBF, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(gd_graph_write_binary(f, g), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error writing magic\n");
    fclose(f);
    deallocate_gd_graph(g);
}

TEST(AllocateGraph, BuildsAFreeGraphOrNothing)
{
    gd_graph g = allocate_gd_graph(10, 3, 4);
    EXPECT_EQ(g.stringBuffLen, 10u);
    EXPECT_EQ(g.curStringPos, 0u);
    EXPECT_EQ(g.hashTableLen, 3u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(g.hashTable[i], -1);
    EXPECT_EQ(g.nodeBuffLen, 4u);
    EXPECT_EQ(g.curNodePos, 0u);
    EXPECT_EQ(g.firstNode, -1);
    EXPECT_EQ(g.firstFreeNode, 0);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(g.nodeBuffer[i].common.type, NODE_DELTED);
        EXPECT_EQ(g.nodeBuffer[i].common.other_node, i < 3 ? i + 1 : -1);
    }
    deallocate_gd_graph(g);
    for (auto sizes : {std::vector<unsigned long>{1, 3, 4}, {10, 1, 4}, {10, 3, 1}, {0, 0, 0}})
        expect_empty(allocate_gd_graph(sizes[0], sizes[1], sizes[2]));
}

}  // namespace
