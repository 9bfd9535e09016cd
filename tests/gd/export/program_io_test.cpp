#include <gtest/gtest.h>
#include "gd/export/program_io.h"
TEST(ProgramIo, Placeholder) { int n; EXPECT_TRUE(gdexport::parse_node_number("5", true, &n)); }
