// Test graphs written in the text form, for the store, filter and export
// tests alike.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "text_form.h"

// The graph of a text-form fixture; a fixture that does not compile fails
// the test with the compiler's message and gives the empty graph.
inline gd_graph compile_text_graph(std::string_view text)
{
    gd_graph g = gd_empty_graph();
    std::string error;
    EXPECT_TRUE(gd_text_compile(text, &g, &error)) << error;
    return g;
}
