// The programs gdtext and gddump: messages, exit statuses and files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "text_form.h"

namespace {

struct Outcome {
  int status;
  std::string out;
};

// Runs a shell command line, returning its exit status and standard output.
Outcome run(const std::string &command) {
  Outcome r{-1, ""};
  FILE *p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class Programs : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    char tmpl[] = "/tmp/gdtext_test.XXXXXX";
    dir = mkdtemp(tmpl);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const char *name) { return (dir / name).string(); }
  void write(const char *name, const std::string &text) { std::ofstream(path(name)) << text; }
};

TEST_F(Programs, CompileAndDumpRoundTrip) {
  write("g.gdt", "root 1\n1 identifier_node strg=\"main\" lngt=4\n3 cArcSon src=1 dest=1\n");
  Outcome c = run(std::string(GDTEXT) + " " + path("g.gdt") + " " + path("g.gd") + " 2>&1");
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(c.out, "");
  Outcome d = run(std::string(GDDUMP) + " " + path("g.gd") + " 2>&1");
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.out, "root 1\n1 identifier_node strg=\"main\" lngt=4\n3 cArcSon src=1 dest=1\n");
}

TEST_F(Programs, Errors) {
  write("bad.gdt", "0 identifier_node\n1 nonsense\n");
  Outcome c = run(std::string(GDTEXT) + " " + path("bad.gdt") + " " + path("out.gd") + " 2>&1");
  EXPECT_EQ(c.status, 1);
  EXPECT_EQ(c.out, path("bad.gdt") + ":2: unknown kind nonsense\n");
  EXPECT_FALSE(std::filesystem::exists(path("out.gd")));

  Outcome u = run(std::string(GDTEXT) + " 2>&1");
  EXPECT_EQ(u.status, 1);
  EXPECT_EQ(u.out, std::string("usage: ") + GDTEXT + " graph.gdt out.gd\n");

  Outcome m = run(std::string(GDDUMP) + " " + path("missing.gd") + " 2>&1");
  EXPECT_EQ(m.status, 1);
  EXPECT_EQ(m.out, "Could not open " + path("missing.gd") + " for binary read\n");
}

// The build compiles the sample unit with gdtext; read back, it is the graph
// that the text describes.
TEST_F(Programs, SampleUnitFileHoldsTheSampleText) {
  std::ifstream in(SAMPLE_GDT);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  gd_graph g;
  std::string error;
  ASSERT_TRUE(gd_text_compile(text, &g, &error)) << error;
  Outcome d = run(std::string(GDDUMP) + " " + SAMPLE_GD);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.out, gd_text_dump(&g));
  EXPECT_EQ(d.out.substr(0, 7), "root 0\n");
  deallocate_gd_graph(g);
}

}  // namespace
