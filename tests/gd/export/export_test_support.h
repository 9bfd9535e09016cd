// What the export tests share: graphs from the text form, captured output of
// library calls, a scratch directory, damaged graph files and checking a
// document with xmllint.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gd/graph.h"
#include "program_run.h"
#include "../text_graph.h"
#include "text_form.h"

namespace export_test {

// A graph that frees its buffers when the test ends.
struct graph {
    gd_graph g;
    explicit graph(const std::string &text) : g(compile_text_graph(text)) {}
    ~graph() { deallocate_gd_graph(g); }
    graph(graph &&o) : g(o.g) { o.g = gd_empty_graph(); }
    graph(const graph &) = delete;
    graph &operator=(const graph &) = delete;
    const gd_graph *operator&() const { return &g; }
    gd_graph *get() { return &g; }
    gd_graph_node &node(int i) { return g.nodeBuffer[i]; }
};

struct output {
    std::string out;
    std::string err;
    int result;
};

// Calls f(out, err) with both streams caught in memory.
template <class F> output capture(F f)
{
    char *out_text = nullptr, *err_text = nullptr;
    size_t out_len = 0, err_len = 0;
    FILE *out = open_memstream(&out_text, &out_len);
    FILE *err = open_memstream(&err_text, &err_len);
    int result = f(out, err);
    fclose(out);
    fclose(err);
    output o{std::string(out_text, out_len), std::string(err_text, err_len), result};
    free(out_text);
    free(err_text);
    return o;
}

// A scratch directory with helpers to put files in it.
class scratch_dir {
public:
    std::string path(const std::string &name) const { return (dir_ / name).string(); }
    std::string put(const std::string &name, const std::string &bytes) const
    {
        test_support::writeFile(path(name), bytes);
        return path(name);
    }
    std::string put_graph(const std::string &name, const gd_graph &g) const
    {
        EXPECT_EQ(gd_graph_write_binary_file(path(name).c_str(), g), 1);
        return path(name);
    }
    std::string put_graph_text(const std::string &name, const std::string &text) const
    {
        graph g(text);
        return put_graph(name, g.g);
    }

private:
    test_support::TempDir dir_;
};

// Files the reader refuses, each with the reader's own message (the file
// name in place), made by damaging one good graph file as a disk or a
// careless copy would.
struct damaged_file {
    std::string what;
    std::string path;
    std::string reader_message;
};

inline std::vector<damaged_file> damaged_graph_files(const scratch_dir &d)
{
    graph g("0 identifier_node strg=\"ab\" lngt=2\n1 tree_list value=0\n");
    const std::string good = test_support::readFile(d.put_graph("good.gd", g.g));
    // Where the counts lie in the good file.
    const size_t pool_at = 12, slots_count_at = pool_at + g.g.curStringPos;
    const size_t nodes_count_at = slots_count_at + 8 + 4 * (size_t)g.g.hashTableLen;
    const size_t records_at = nodes_count_at + 4;
    auto with_u32 = [&](size_t at, uint32_t v) {
        std::string s = good;
        for (int i = 0; i < 4; i++) s[at + i] = (char)((v >> (8 * i)) & 0xff);
        return s;
    };
    std::string major4 = good, bad_magic = good;
    major4[4] = 4;
    bad_magic[2] = 'x';
    struct {
        const char *what;
        std::string bytes;
        const char *message;  // %s is the file name
    } damages[] = {
        {"empty file", "", "Error reading magic from %s\n"},
        {"bad magic", bad_magic, "%s: Wrong file format, magic does not match\n"},
        {"major version 4", major4, "Major version 4 in file %s does not match current version 5\n"},
        {"cut in the pool", good.substr(0, pool_at + 1), "Error reading string buffer from %s\n"},
        {"huge pool", with_u32(8, 0xffffffff), "Error reading string buffer from %s\n"},
        {"cut in the records", good.substr(0, records_at + 72 + 10),
         "Error reading node buffer from %s(1,2)\n"},
        {"huge node count", with_u32(nodes_count_at, 0xffffffff),
         "Error reading node buffer from %s(2,4294967295)\n"},
        {"empty pool", with_u32(8, 0).substr(0, 12) + good.substr(slots_count_at), ""},
    };
    std::vector<damaged_file> files;
    for (const auto &dmg : damages) {
        std::string name = std::string(dmg.what) + ".gd";
        for (char &c : name) c = c == ' ' ? '_' : c;
        std::string path = d.put(name, dmg.bytes);
        char message[512];
        snprintf(message, sizeof message, dmg.message, path.c_str());
        files.push_back({dmg.what, path, message});
    }
    files.push_back({"missing file", d.path("missing.gd"),
                     "Could not open " + d.path("missing.gd") + " for binary read\n"});
    return files;
}

// xmllint's verdict on a document: "" when it is well-formed and xmllint has
// nothing to say about it (a namespace prefix left unbound included), else
// its status and what it reported.
inline std::string xml_problems(const std::string &document)
{
    scratch_dir d;
    const test_support::ProgramRun r =
        test_support::runProgram(XMLLINT, {"--noout", d.put("doc.xml", document)});
    if (r.status == 0 && r.err.empty()) return "";
    return "xmllint status " + std::to_string(r.status) + ":\n" + r.err;
}

// The value of the XPath expression `expression` on a document, as xmllint
// prints it, and what xmllint says on its error stream.
inline test_support::ProgramRun xpath(const std::string &document, const std::string &expression)
{
    scratch_dir d;
    return test_support::runProgram(XMLLINT, {"--xpath", expression, d.put("doc.xml", document)});
}

}  // namespace export_test
