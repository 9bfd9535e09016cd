// Test graphs written in the text form.
#pragma once

#include <gtest/gtest.h>

#include "text_form.h"

// The graph of a text-form fixture; a fixture that does not compile fails
// the test with the compiler's message and gives the empty graph.
inline gd_graph text_graph(const char *text) {
  gd_graph g = gd_empty_graph();
  std::string error;
  EXPECT_TRUE(gd_text_compile(text, &g, &error)) << error;
  return g;
}
