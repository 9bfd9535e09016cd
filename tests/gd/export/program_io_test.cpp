// The pieces the inspection programs share.
#include "gd/export/program_io.h"

#include <climits>
#include <string>

#include "export_test_support.h"

namespace {

using export_test::capture;

TEST(ProgramIo, NodeNumbers) {
  struct {
    const char *text;
    bool whole;
    bool valid;
    int number;
  } cases[] = {
      {"0", true, true, 0},
      {"17", true, true, 17},
      {"-1", true, true, -1},
      {"5x", true, false, 0},
      {"5x", false, true, 5},
      {"x", true, false, 0},
      {"x", false, true, 0},
      {"2147483647", true, true, INT_MAX},
      {"2147483648", true, false, 0},
      {"4294967296", false, false, 0},
      {"-2147483649", false, false, 0},
      {"99999999999999999999999", true, false, 0},
  };
  for (const auto &c : cases) {
    int n = 12345;
    EXPECT_EQ(gdexport::parse_node_number(c.text, c.whole, &n), c.valid) << c.text << " " << c.whole;
    if (c.valid) {
      EXPECT_EQ(n, c.number) << c.text;
    }
  }
}

TEST(ProgramIo, RecordBytesSixteenToALineAsUnsigned) {
  gd_graph_node rec{};
  for (int b = 0; b < 72; b++) rec.bytes[b] = (unsigned char)(b == 0 ? 0xe9 : b == 71 ? 0xff : b);
  std::string out = capture([&](FILE *f, FILE *) {
                      gdexport::dump_record_bytes(f, rec);
                      return 0;
                    }).out;
  EXPECT_EQ(out,
            " e9  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n"
            " 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f\n"
            " 20 21 22 23 24 25 26 27 28 29 2a 2b 2c 2d 2e 2f\n"
            " 30 31 32 33 34 35 36 37 38 39 3a 3b 3c 3d 3e 3f\n"
            " 40 41 42 43 44 45 46 ff\n");
}

TEST(ProgramIo, TreeVecLengthIsClampedToTheSlots) {
  gd_graph_node rec{};
  struct {
    int length, shown;
    const char *err;
  } cases[] = {{0, 0, ""}, {14, 14, ""}, {-5, -5, ""},
               {15, 14, "prog: node 9: tree_vec length 15 clamped to its 14 slots\n"}};
  for (const auto &c : cases) {
    rec.tree_vec.length = c.length;
    export_test::output o = capture([&](FILE *, FILE *err) { return gdexport::tree_vec_elements(err, "prog", 9, rec); });
    EXPECT_EQ(o.result, c.shown);
    EXPECT_EQ(o.err, c.err);
  }
}

TEST(ProgramIo, LostOutputIsReported) {
  FILE *full = fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  fputs("text that cannot be written\n", full);
  export_test::output o = capture([&](FILE *, FILE *err) { return gdexport::finish_output(full, err, "prog"); });
  fclose(full);
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.err, "prog: error writing standard output\n");

  o = capture([&](FILE *out, FILE *err) {
    fputs("fine\n", out);
    return gdexport::finish_output(out, err, "prog");
  });
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.err, "");
}

}  // namespace
