// Runs one filter on a graph written in the text form and gives back the
// filtered graph in the text form, with the filter's result and what it wrote
// on standard error.
#pragma once

#include <gd/filters/filters.h>

#include <gtest/gtest.h>

#include <string>

#include "graph_fixture.h"

struct filtered_text {
    std::string graph;   // the text form of the graph after the filter
    int result = 0;      // what the filter returned
    std::string errors;  // what it printed on standard error
};

inline filtered_text run_filter_on_text(int (*filter)(gd_graph *), const std::string &text)
{
    text_graph t(text.c_str());
    filtered_text out;
    testing::internal::CaptureStderr();
    out.result = filter(&t.g);
    out.errors = testing::internal::GetCapturedStderr();
    out.graph = t.dump();
    return out;
}
